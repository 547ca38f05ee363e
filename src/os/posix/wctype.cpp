// POSIX side of the wide-character seam: glibc's wctype functions and wcscoll
// of the process locale. wchar_t holds a whole code point here.
#include <wchar.h>
#include <wctype.h>

#include "os/platform_wctype.h"

namespace gnutil::platform {

bool IsCharClass(uint32_t cp, CharClass cls) {
  wint_t c = static_cast<wint_t>(cp);
  switch (cls) {
    case CharClass::kAlpha:
      return iswalpha(c) != 0;
    case CharClass::kAlnum:
      return iswalnum(c) != 0;
    case CharClass::kDigit:
      return iswdigit(c) != 0;
    case CharClass::kLower:
      return iswlower(c) != 0;
    case CharClass::kUpper:
      return iswupper(c) != 0;
    case CharClass::kPrint:
      return iswprint(c) != 0;
    case CharClass::kPunct:
      return iswpunct(c) != 0;
    case CharClass::kSpace:
      return iswspace(c) != 0;
    case CharClass::kXDigit:
      return iswxdigit(c) != 0;
  }
  return false;
}

uint32_t ToUpperChar(uint32_t cp) {
  return static_cast<uint32_t>(towupper(static_cast<wint_t>(cp)));
}

uint32_t ToLowerChar(uint32_t cp) {
  return static_cast<uint32_t>(towlower(static_cast<wint_t>(cp)));
}

int CollateChars(const uint32_t* a, const uint32_t* b) {
  static_assert(sizeof(wchar_t) == sizeof(uint32_t), "glibc's wchar_t holds a code point");
  return wcscoll(reinterpret_cast<const wchar_t*>(a), reinterpret_cast<const wchar_t*>(b));
}

}  // namespace gnutil::platform
