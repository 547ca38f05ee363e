// One getopt_long parser for the commands of the gnutil tool (options.h).
#include "options.h"

#include <getopt.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

namespace gnutil::tool {

const char kExitStatusHelp[] =
    "\n"
    "Exit status: 0 success; 1 the data could not be handled or the output\n"
    "could not be written (invalid input under a strict policy, unreadable\n"
    "input, lost output, a date or number that is not one); 2 usage error.\n";

namespace {

constexpr int kHelpId = 'h';
constexpr int kHelpLongId = 0xFF;  // --help, apart from -h as every long option
// Ids of long options without a short form, kept out of the character range
// so that getopt_long cannot confuse them with short options.
constexpr int kLongOnlyBase = 0x100;

bool LooksNegativeNumber(const std::string& a) {
  return a.size() > 1 && a[0] == '-' &&
         ((a[1] >= '0' && a[1] <= '9') ||
          (a[1] == '.' && a.size() > 2 && a[2] >= '0' && a[2] <= '9'));
}

const OptionSpec* FindLong(const CommandSyntax& syntax, const std::string& text) {
  // "--name", "--name=value", or a unique abbreviation of name, as getopt_long takes.
  std::string name =
      text.substr(2, text.find('=') == std::string::npos ? std::string::npos : text.find('=') - 2);
  const OptionSpec* found = nullptr;
  for (const OptionSpec& o : syntax.options) {
    if (name == o.name) return &o;
    if (!name.empty() && std::strncmp(o.name, name.c_str(), name.size()) == 0) {
      if (found != nullptr) return nullptr;
      found = &o;
    }
  }
  return found;
}

// Whether args[i] is the value of the option before it ("--exponent -1").
bool IsOptionValue(const CommandSyntax& syntax, const Args& args, size_t i) {
  if (i == 0) return false;
  const std::string& prev = args[i - 1];
  if (prev.size() > 2 && prev.compare(0, 2, "--") == 0) {
    const OptionSpec* o = FindLong(syntax, prev);
    return o != nullptr && o->takesValue && prev.find('=') == std::string::npos;
  }
  if (prev.size() == 2 && prev[0] == '-') {
    for (const OptionSpec& o : syntax.options) {
      if (o.shortName == prev[1]) return o.takesValue;
    }
  }
  return false;
}

// The name of an option by the id getopt_long gave: "--name" for a long
// one, "-c" for a short one.
std::string OptionName(const CommandSyntax& syntax, int c) {
  if (c >= kLongOnlyBase) {
    return std::string("--") + syntax.options[static_cast<size_t>(c - kLongOnlyBase)].name;
  }
  return std::string("-") + static_cast<char>(c);
}

std::string HelpCommand(const CommandSyntax& syntax) {
  return *syntax.command != '\0' ? std::string("gnutil ") + syntax.command + " --help"
                                 : std::string("gnutil --help");
}

}  // namespace

int UsageError(const char* command, const std::string& what) {
  DataError(command, what);
  return kExitUsage;
}

int DataError(const char* command, const std::string& what) {
  // The dispatcher itself has no command name.
  std::fprintf(stderr, "gnutil: %s%s%s\n", command, *command != '\0' ? ": " : "", what.c_str());
  return kExitData;
}

int ParseCommandLine(const CommandSyntax& syntax, const Args& args, CommandLine* out) {
  // getopt_long wants a writable argv; an argument masked as a negative
  // number is handed over with a prefix that cannot start an option.
  std::vector<std::string> storage;
  storage.reserve(args.size() + 1);
  storage.push_back("gnutil");
  std::set<size_t> masked;
  bool ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") ended = true;
    if (!ended && syntax.negativeNumbers && LooksNegativeNumber(args[i]) &&
        !IsOptionValue(syntax, args, i)) {
      masked.insert(storage.size());
      storage.push_back(" " + args[i]);
    } else {
      storage.push_back(args[i]);
    }
  }
  std::vector<char*> argv;
  for (std::string& s : storage) argv.push_back(&s[0]);
  argv.push_back(nullptr);
  std::set<const char*> maskedPointers;
  for (size_t k : masked) maskedPointers.insert(argv[k]);

  // "+" stops at the first operand where the syntax wants it, ":" reports a
  // missing value apart from an unknown option.
  std::string shorts = syntax.optionsFirst ? "+:h" : ":h";
  std::vector<option> longs;
  longs.push_back({"help", no_argument, nullptr, kHelpLongId});
  for (size_t k = 0; k < syntax.options.size(); ++k) {
    const OptionSpec& o = syntax.options[k];
    if (o.shortName != 0) {
      shorts += o.shortName;
      if (o.takesValue) shorts += ':';
    }
    // Long options have ids of their own, apart from the short ones, so that
    // an error names the form the user typed.
    longs.push_back({o.name, o.takesValue ? required_argument : no_argument, nullptr,
                     kLongOnlyBase + static_cast<int>(k)});
  }
  longs.push_back({nullptr, 0, nullptr, 0});

  opterr = 0;
  optind = 0;  // starts a new scan (glibc and mingw alike)
  int argc = static_cast<int>(argv.size() - 1);
  for (;;) {
    int c = getopt_long(argc, argv.data(), shorts.c_str(), longs.data(), nullptr);
    if (c == -1) break;
    if (c == kHelpId || c == kHelpLongId) {
      std::fputs(syntax.usage, stdout);
      std::fputs(kExitStatusHelp, stdout);
      return FinishOutput(*syntax.command != '\0' ? syntax.command : "help");
    }
    if (c == ':') {
      return UsageError(syntax.command,
                        "option '" + OptionName(syntax, optopt) + "' needs a value");
    }
    if (c == '?') {
      if (optopt == kHelpLongId)
        return UsageError(syntax.command, "option '--help' takes no value");
      if (optopt >= kLongOnlyBase) {  // a long option given a value it does not take
        return UsageError(syntax.command,
                          "option '" + OptionName(syntax, optopt) + "' takes no value");
      }
      std::string text = optopt != 0 ? std::string("-") + static_cast<char>(optopt)
                                     : std::string(argv[optind - 1]);
      return UsageError(syntax.command, "unknown option '" + text.substr(0, text.find('=')) +
                                            "' (see '" + HelpCommand(syntax) + "')");
    }
    int id = c;
    if (c >= kLongOnlyBase) {
      id = syntax.options[static_cast<size_t>(c - kLongOnlyBase)].id;
    } else {
      for (const OptionSpec& o : syntax.options) {
        if (o.shortName == c) id = o.id;
      }
    }
    out->options.push_back({id, optarg != nullptr ? std::string(optarg) : std::string()});
  }
  for (int k = optind; k < argc; ++k) {
    const char* a = argv[static_cast<size_t>(k)];
    out->operands.push_back(maskedPointers.count(a) != 0 ? std::string(a + 1) : std::string(a));
  }
  return kGoOn;
}

}  // namespace gnutil::tool
