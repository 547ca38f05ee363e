// Win32 side of the wide-character seam: the CRT's wctype functions and
// wcscoll of the process locale. wchar_t is a UTF-16 unit here, so characters
// beyond the BMP belong to no class and have no case, and collation works on
// the UTF-16 form of the texts.
#include <wchar.h>
#include <wctype.h>

#include <vector>

#include "os/platform_wctype.h"

namespace gnutil::platform {

namespace {

std::vector<wchar_t> ToUtf16(const uint32_t* s) {
  std::vector<wchar_t> out;
  for (; *s != 0; ++s) {
    uint32_t cp = *s;
    if (cp > 0xFFFF && cp <= 0x10FFFF) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 | (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 | (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(cp));
    }
  }
  out.push_back(0);
  return out;
}

}  // namespace

bool IsCharClass(uint32_t cp, CharClass cls) {
  if (cp > 0xFFFF) return false;
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
  if (cp > 0xFFFF) return cp;
  return static_cast<uint32_t>(towupper(static_cast<wint_t>(cp)));
}

uint32_t ToLowerChar(uint32_t cp) {
  if (cp > 0xFFFF) return cp;
  return static_cast<uint32_t>(towlower(static_cast<wint_t>(cp)));
}

int CollateChars(const uint32_t* a, const uint32_t* b) {
  std::vector<wchar_t> wa = ToUtf16(a);
  std::vector<wchar_t> wb = ToUtf16(b);
  return wcscoll(wa.data(), wb.data());
}

}  // namespace gnutil::platform
