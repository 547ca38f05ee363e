// gnutil decimal: decimal number text between the neutral C form and the
// user's regional form, with the process locale's settings.
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

namespace gnutil::tool {
namespace {

const char kDecimalUsage[] =
    "usage: gnutil decimal --to-c TEXT...\n"
    "       gnutil decimal --to-regional [--no-grouping] [--exponent N] TEXT...\n"
    "\n"
    "Converts each TEXT and prints one result per line, using the decimal\n"
    "symbol, digit group separator and grouping of the process locale.\n"
    "\n"
    "  --to-c          to the neutral form: \".\" as decimal symbol, no digit\n"
    "                  groups, a leading \"-\" (\"1.234,5\" in German gives 1234.5)\n"
    "  --to-regional   to the locale's form (\"-1234.5\" gives -1,234.5 in English)\n"
    "  --no-grouping   no digit group separators\n"
    "  --exponent N    multiply by ten to the power N (the result has no groups)\n"
    "  --              every argument after it is a TEXT\n"
    "\n"
    "A TEXT may start with \"-\". Only the first 63 bytes of a TEXT are read.\n"
    "A TEXT that is not a number is named on standard error and the exit\n"
    "status is 1; a usage error gives 2.\n";

// An argument that starts like a number ("-12", "-.5", "--1") is a TEXT.
bool LooksLikeOption(const std::string& a) {
  if (a.size() < 2 || a[0] != '-') return false;
  size_t i = a[1] == '-' ? 2 : 1;
  return i < a.size() && ((a[i] >= 'a' && a[i] <= 'z') || (a[i] >= 'A' && a[i] <= 'Z'));
}

bool ParseExponent(const std::string& text, int* out) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long value = strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < INT_MIN || value > INT_MAX) return false;
  *out = static_cast<int>(value);
  return true;
}

}  // namespace

int RunDecimal(const Args& args) {
  enum class Mode { kNone, kToC, kToRegional } mode = Mode::kNone;
  bool grouping = true;
  bool haveExponent = false;
  int exponent = 0;
  std::vector<std::string> texts;
  bool textsOnly = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (textsOnly || !LooksLikeOption(a)) {
      if (a == "--" && !textsOnly) {
        textsOnly = true;
      } else {
        texts.push_back(a);
      }
    } else if (a == "--help" || a == "-h") {
      std::fputs(kDecimalUsage, stdout);
      return 0;
    } else if (a == "--to-c" || a == "--to-regional") {
      Mode wanted = a == "--to-c" ? Mode::kToC : Mode::kToRegional;
      if (mode != Mode::kNone && mode != wanted) {
        return Fail("decimal: give one of --to-c and --to-regional");
      }
      mode = wanted;
    } else if (a == "--no-grouping") {
      grouping = false;
    } else if (a == "--exponent" || a.rfind("--exponent=", 0) == 0) {
      std::string value;
      if (a == "--exponent") {
        if (i + 1 >= args.size()) return Fail("decimal: --exponent needs a number");
        value = args[++i];
      } else {
        value = a.substr(11);
      }
      if (!ParseExponent(value, &exponent)) {
        return Fail("decimal: --exponent needs a whole number, not '" + value + "'");
      }
      haveExponent = true;
    } else {
      return Fail("decimal: unknown option '" + a + "'");
    }
  }
  if (mode == Mode::kNone) return Fail("decimal: give --to-c or --to-regional (see --help)");
  if (mode == Mode::kToC && (haveExponent || !grouping)) {
    return Fail("decimal: --exponent and --no-grouping go with --to-regional");
  }
  if (texts.empty()) return Fail("decimal: no TEXT given");

  // The user's locale, as a program using the library sets it up.
  InitMbutil();
  CLCGlobalLocale::Instance();

  int status = 0;
  for (const std::string& text : texts) {
    CGNDecimal number{CGNString(text.c_str())};
    unsigned char ok = mode == Mode::kToC ? number.ConvertToCLocale(0)
                                          : number.ConvertToRegionalLocale(grouping ? 1 : 0);
    CGNString out;
    if (ok && haveExponent) {
      number.ApplyExponent(exponent);
      number.GetDisplayBuffer(out);
      if (out.IsEmpty()) {
        std::fprintf(stderr,
                     "gnutil: decimal: '%s' times 10^%d has more than 255 digits in a part\n",
                     text.c_str(), exponent);
        status = 1;
        continue;
      }
    }
    if (!ok) {
      std::fprintf(stderr, "gnutil: decimal: '%s' is not a number\n", text.c_str());
      status = 1;
      continue;
    }
    number.GetDisplayBuffer(out);
    std::printf("%s\n", static_cast<const char*>(out));
  }
  return status;
}

}  // namespace gnutil::tool
