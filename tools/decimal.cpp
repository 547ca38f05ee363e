// gnutil decimal: decimal number text between the neutral C form and the
// user's regional form, with the process locale's settings.
//
// The library reads leniently (the number in "12abc" is 12, text past 63
// bytes is not seen); the tool first makes sure that the whole text is one
// number in the form it is read in, so that nothing is dropped unseen.
#include "gnutil/decimal.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "gnutil/lclocale.h"
#include "gnutil/mbutil.h"
#include "lines.h"
#include "options.h"

namespace gnutil::tool {
namespace {

const char kDecimalUsage[] =
    "usage: gnutil decimal --to-c [--from-c|--from-regional] [TEXT...]\n"
    "       gnutil decimal --to-regional [--from-c|--from-regional] [--no-grouping]\n"
    "                      [--exponent N] [TEXT...]\n"
    "\n"
    "Converts each TEXT, or each line of standard input when there is no TEXT,\n"
    "and prints one result per line, using the decimal symbol, digit group\n"
    "separator and grouping of the process locale (LC_ALL, LANG).\n"
    "\n"
    "  --to-c            to the neutral form: \".\" as decimal symbol, no digit\n"
    "                    groups, a leading \"-\" (\"1.234,5\" in German gives 1234.5)\n"
    "  --to-regional     to the locale's form (\"-1234.5\" gives -1,234.5 in English)\n"
    "  --from-c          read TEXT in C form: an optional leading \"-\", digits and\n"
    "                    at most one \".\"\n"
    "  --from-regional   read TEXT in the locale's form: digits, the decimal\n"
    "                    symbol, group separators where the grouping puts them\n"
    "                    (or none), a sign as \"-1\", \"1-\" or \"(1)\"\n"
    "                    Without either, a TEXT that only one form reads is read\n"
    "                    in it; one that both read differently (\"1.234\" in\n"
    "                    German) is read in the form converted from: regional\n"
    "                    for --to-c, C for --to-regional.\n"
    "  --no-grouping     no digit group separators\n"
    "  --exponent N      multiply by ten to the power N (the result has no groups)\n"
    "  -h, --help        this text\n"
    "  --                every argument after it is a TEXT\n"
    "\n"
    "A TEXT may start with \"-\" and may have blanks around it; anything else\n"
    "around the number, or a TEXT of more than 63 bytes, is refused (exit\n"
    "status 1; the other TEXTs are still converted).\n";

// The longest text the library reads whole.
constexpr size_t kMaxText = 63;

enum class Form { kAuto, kC, kRegional };

bool ParseExponent(const std::string& text, int* out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long value = strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < INT_MIN || value > INT_MAX) return false;
  *out = static_cast<int>(value);
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string TrimBlanks(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "-", digits and one point at most, with a digit somewhere.
bool IsCForm(const std::string& text) {
  std::string t = TrimBlanks(text);
  size_t i = !t.empty() && t[0] == '-' ? 1 : 0;
  bool digit = false, point = false;
  for (; i < t.size(); ++i) {
    if (IsDigit(t[i])) {
      digit = true;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

bool StartsWith(const std::string& text, size_t at, const std::string& part) {
  return !part.empty() && text.compare(at, part.size(), part) == 0;
}

// The integer digits grouped as the library writes them.
std::string Grouped(const std::string& digits) {
  CGNDecimal number{CGNString(digits.c_str())};
  if (!number.ConvertToRegionalLocale(1)) return "";
  CGNString out;
  number.GetDisplayBuffer(out);
  return std::string(out);
}

// The locale's form: a sign as "-1", "1-" or "(1)", digits with group
// separators where the grouping puts them (or none), the decimal symbol and
// digits after it.
bool IsRegionalForm(const std::string& text) {
  CLCLocale& locale = *CLCGlobalLocale::Instance();
  const std::string decimal(locale.m_decDecimalSymbol), group(locale.m_decDigitGroupSeparator);
  std::string t = TrimBlanks(text);
  if (t.size() >= 2 && t.front() == '(' && t.back() == ')') {
    t = t.substr(1, t.size() - 2);
  } else if (!t.empty() && t.front() == '-') {
    t.erase(0, 1);
  } else if (!t.empty() && t.back() == '-') {
    t.pop_back();
  }
  std::string integer, digits;
  bool separated = false, digit = false;
  size_t i = 0;
  while (i < t.size() && !StartsWith(t, i, decimal)) {
    if (IsDigit(t[i])) {
      integer += t[i];
      digits += t[i++];
    } else if (StartsWith(t, i, group)) {
      integer += group;
      i += group.size();
      separated = true;
    } else {
      return false;
    }
  }
  digit = !digits.empty();
  if (i < t.size()) {
    for (i += decimal.size(); i < t.size(); ++i) {
      if (!IsDigit(t[i])) return false;
      digit = true;
    }
  }
  return digit && (!separated || integer == Grouped(digits));
}

// The text in C form, read as the form says, or empty.
std::string ToC(const std::string& text, bool regional) {
  CGNDecimal number{CGNString(text.c_str())};
  if (!number.ConvertToCLocale(regional ? 1 : 0)) return "";
  CGNString out;
  number.GetDisplayBuffer(out);
  return std::string(out);
}

struct Request {
  bool toC = true;
  Form from = Form::kAuto;
  bool grouping = true;
  bool haveExponent = false;
  int exponent = 0;
};

// Converts one text and prints it: 0, or 1 with a message.
int ConvertOne(const Request& r, const std::string& text) {
  if (text.size() > kMaxText) {
    return DataError("decimal",
                     "'" + text + "' is longer than " + std::to_string(kMaxText) + " bytes");
  }
  bool c = r.from != Form::kRegional && IsCForm(text);
  bool regional = r.from != Form::kC && IsRegionalForm(text);
  std::string cForm;
  if (c && regional) {
    // Both forms read it: the one it is converted from, unless they agree.
    cForm = ToC(text, r.toC);
  } else if (c || regional) {
    cForm = ToC(text, regional);
  }
  if (cForm.empty()) {
    const char* form = r.from == Form::kC          ? " in C form"
                       : r.from == Form::kRegional ? " in the regional form"
                                                   : "";
    return DataError("decimal", "'" + text + "' is not a number" + form);
  }
  if (r.toC) {
    std::printf("%s\n", cForm.c_str());
    return 0;
  }
  CGNDecimal number{CGNString(cForm.c_str())};
  CGNString out;
  number.ConvertToRegionalLocale(r.grouping ? 1 : 0);
  if (r.haveExponent) number.ApplyExponent(r.exponent);
  number.GetDisplayBuffer(out);
  if (out.IsEmpty()) {
    return DataError("decimal", "'" + text + "' times 10^" + std::to_string(r.exponent) +
                                    " has more than 255 digits in a part");
  }
  std::printf("%s\n", static_cast<const char*>(out));
  return 0;
}

}  // namespace

int RunDecimal(const Args& args) {
  enum { kToC = 1, kToRegional, kFromC, kFromRegional, kNoGrouping, kExponent };
  const CommandSyntax syntax{"decimal",
                             kDecimalUsage,
                             {{"to-c", 0, false, kToC},
                              {"to-regional", 0, false, kToRegional},
                              {"from-c", 0, false, kFromC},
                              {"from-regional", 0, false, kFromRegional},
                              {"no-grouping", 0, false, kNoGrouping},
                              {"exponent", 0, true, kExponent}},
                             /*negativeNumbers=*/true};
  CommandLine line;
  int parsed = ParseCommandLine(syntax, args, &line);
  if (parsed != kGoOn) return parsed;
  Request r;
  bool haveMode = false;
  for (const ParsedOption& o : line.options) {
    if (o.id == kToC || o.id == kToRegional) {
      if (haveMode && r.toC != (o.id == kToC))
        return UsageError("decimal", "give one of --to-c and --to-regional");
      r.toC = o.id == kToC;
      haveMode = true;
    } else if (o.id == kFromC || o.id == kFromRegional) {
      Form from = o.id == kFromC ? Form::kC : Form::kRegional;
      if (r.from != Form::kAuto && r.from != from)
        return UsageError("decimal", "give one of --from-c and --from-regional");
      r.from = from;
    } else if (o.id == kNoGrouping) {
      r.grouping = false;
    } else if (o.id == kExponent) {
      if (!ParseExponent(o.value, &r.exponent))
        return UsageError("decimal", "--exponent needs a whole number, not '" + o.value + "'");
      r.haveExponent = true;
    }
  }
  if (!haveMode) return UsageError("decimal", "give --to-c or --to-regional (see --help)");
  if (r.toC && (r.haveExponent || !r.grouping)) {
    return UsageError("decimal", "--exponent and --no-grouping go with --to-regional");
  }
  const Args& texts = line.operands;

  // The user's locale, as a program using the library sets it up.
  InitMbutil();
  CLCGlobalLocale::Instance();

  int status = 0;
  if (!texts.empty()) {
    for (const std::string& text : texts) status |= ConvertOne(r, text);
  } else {
    std::string error;
    FILE* in = OpenInput("-", &error);
    if (in == nullptr) return DataError("decimal", error);
    status |= ForEachLine(in, [&r](const std::string& line) { return ConvertOne(r, line); });
  }
  return FinishOutput("decimal") | status;
}

}  // namespace gnutil::tool
