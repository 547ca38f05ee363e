// LoadStringResource's placeholders over any template and arguments. A
// missing resource leaves the template as the string's text, so the fuzzer
// supplies it directly. With no multibyte code set (and the C locale) every
// byte is a character, and the result must equal a plain model of the rules.
#include <locale.h>
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"

namespace {

std::string Model(const std::string& t, const std::vector<std::string>& args) {
  const size_t kLimit = 1999;
  std::string out;
  size_t i = 0;
  while (i < t.size() && out.size() < kLimit) {
    if (t[i] == '$') {
      size_t d = 0;
      while (d < 3 && i + 1 + d < t.size() && t[i + 1 + d] >= '0' && t[i + 1 + d] <= '9') ++d;
      if (d == 1 || d == 2) {
        int n = t[i + 1] - '0';
        if (d == 2) n = n * 10 + (t[i + 2] - '0');
        i += 1 + d;
        if (n >= 1 && n <= static_cast<int>(args.size())) {
          out += args[static_cast<size_t>(n) - 1];
          if (out.size() >= kLimit) {
            out.resize(kLimit);
            break;
          }
        }
        continue;
      }
    }
    out += t[i++];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The user's locale may well be UTF-8, whose code set cuts arguments at
  // character boundaries: choose none after the first use has looked.
  static const bool kSingleByte = [] {
    InitMbutil();
    InitMbutilExt(CODESET_NONE);
    return true;
  }();
  (void)kSingleByte;
  setlocale(LC_ALL, "C");
  // Pieces separated by NUL: the template, then up to ten arguments. Long
  // arguments come from repeating a piece, so the limit is reached often.
  std::vector<std::string> pieces;
  std::string cur;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.push_back(cur);
      cur.clear();
    } else {
      cur += static_cast<char>(data[i]);
    }
  }
  pieces.push_back(cur);
  std::string templ = pieces[0];
  std::vector<std::string> args;
  for (size_t k = 1; k < pieces.size() && args.size() < 10; ++k) {
    std::string a = pieces[k];
    if (!a.empty() && a[0] == '*') a = std::string(static_cast<size_t>(a.size()) * 97, a.back());
    args.push_back(a);
  }
  // Arguments end at the first null one; empty ones are real arguments.
  const char* p[10] = {};
  for (size_t k = 0; k < args.size(); ++k) p[k] = args[k].c_str();

  CGNString s(templ.c_str());
  s.LoadStringResource(60000, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8], p[9]);
  std::string got(static_cast<const char*>(s), s.GetLength());
  std::string want = args.empty() ? templ : Model(templ, args);
  if (got != want) abort();
  return 0;
}
