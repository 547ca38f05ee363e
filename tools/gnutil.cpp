// gnutil: command-line access to the library's text services.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "gnutil/version.h"
#include "options.h"
#include "output_file.h"

namespace gnutil::tool {
namespace {

StandardStreams g_standard;

}  // namespace

int Fail(const std::string& message) {
  std::fprintf(stderr, "gnutil: %s\n", message.c_str());
  return 2;
}

FILE* OpenInput(const std::string& path, std::string* error) {
  if (path.empty() || path == "-") {
    if (g_standard.inputClosed) {
      *error = "standard input is closed";
      return nullptr;
    }
    return stdin;
  }
  std::string reason;
  FILE* f = OpenInputStream(path.c_str(), &reason);
  if (f == nullptr) *error = "cannot read '" + path + "': " + reason;
  return f;
}

void CloseInput(FILE* f) {
  if (f != nullptr && f != stdin) std::fclose(f);
}

int FinishOutput(const char* command) {
  bool ok = std::fflush(stdout) == 0 && !std::ferror(stdout);
  int err = errno;
  if (std::fclose(stdout) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok) return 0;
  std::fprintf(stderr, "gnutil: %s: cannot write the standard output: %s\n", command,
               std::strerror(err));
  return 1;
}

}  // namespace gnutil::tool

namespace {

const char kUsage[] =
    "usage: gnutil [-h|--help] [-V|--version]\n"
    "       gnutil <command> [options] [--] [operands]\n"
    "\n"
    "commands:\n"
    "  chars [-c|--codeset NAME] [FILE]\n"
    "        walk a text by the multibyte character rules\n"
    "  detect [-a|--all] FILE...\n"
    "        name the code set of texts: ASCII, UTF-8, UTF-8 (BOM), JIS, EUC,\n"
    "        SJIS, EUC-or-SJIS; --all shows the counts that decide it\n"
    "  convert -f|--from NAME -t|--to NAME [-o|--output OUT] [--invalid=keep|skip|fail] [FILE]\n"
    "        convert between Shift-JIS, EUC, JIS, Big5, EUC-TW, and UTF-8 to and\n"
    "        from each of them; --from auto detects UTF-8 or Japanese\n"
    "  locale [--current-era] [NAME] | --list | --items [ID...]\n"
    "        the locale record, the installed locales, locale-information items\n"
    "  date [--format PATTERN|--iso|--seconds] [--tz ZONE] [--current-era|--classic-eras]\n"
    "       [--now | TEXT...]\n"
    "        read typed and ISO 8601 dates (TEXTs, or lines of standard input)\n"
    "  decimal --to-c|--to-regional [--from-c|--from-regional] [--no-grouping]\n"
    "          [--exponent N] [TEXT...]\n"
    "        decimal numbers between C and regional form (TEXTs, or lines of\n"
    "        standard input)\n"
    "\n"
    "Every command takes --OPTION VALUE and --OPTION=VALUE, -h/--help, and --\n"
    "to end its options. Run 'gnutil <command> --help' for a command's options.\n";

enum TopOption { kVersion = 'V' };

}  // namespace

int main(int argc, char** argv) {
  using namespace gnutil::tool;
  g_standard = gnutil::tool::ClaimStandardStreams();
  CommandSyntax syntax{"", kUsage, {{"version", 'V', false, kVersion}}};
  syntax.optionsFirst = true;
  CommandLine line;
  int status = ParseCommandLine(syntax, Args(argv + 1, argv + argc), &line);
  if (status != kGoOn) return status;
  if (!line.options.empty()) {  // --version
    // The library the loader found; the headers' version too when it differs.
    if (std::strcmp(gnutil::LibraryVersion(), GNUTIL_VERSION_STRING) == 0) {
      std::printf("gnutil %s\n", gnutil::LibraryVersion());
    } else {
      std::printf("gnutil %s (built with the headers of %s)\n", gnutil::LibraryVersion(),
                  GNUTIL_VERSION_STRING);
    }
    return FinishOutput("version");
  }
  if (line.operands.empty()) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  std::string command = line.operands[0];
  Args args(line.operands.begin() + 1, line.operands.end());
  if (command == "help") {
    std::fputs(kUsage, stdout);
    std::fputs(kExitStatusHelp, stdout);
    return FinishOutput("help");
  }
  if (command == "chars") return RunChars(args);
  if (command == "detect") return RunDetect(args);
  if (command == "convert") return RunConvert(args);
  if (command == "locale") return RunLocale(args);
  if (command == "date") return RunDate(args);
  if (command == "decimal") return RunDecimal(args);
  return UsageError("", "unknown command '" + command + "' (see 'gnutil --help')");
}
