// The wide-character seam over the C runtime's wctype functions and wcscoll of
// the process locale, the same calls on every platform. Only the width of
// wchar_t differs: glibc's holds a whole code point; the Windows runtime's is
// a UTF-16 unit, so there characters beyond the BMP belong to no class and
// have no case, and collation works on the UTF-16 form of the texts.
#include "platform/wctype.h"

#include <wchar.h>
#include <wctype.h>

#include <vector>

#include "platform/utf16.h"

namespace gnutil::platform {

namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

// Code points the runtime's wchar_t cannot hold as one unit.
bool BeyondRuntime(uint32_t cp) { return kWideIsUtf16 && cp > 0xFFFF; }

std::vector<wchar_t> ToRuntimeWide(const uint32_t* s) {
  std::vector<wchar_t> out;
  for (; *s != 0; ++s) {
    if (BeyondRuntime(*s) && utf16::NeedsPair(*s)) {
      out.push_back(static_cast<wchar_t>(utf16::HighOf(*s)));
      out.push_back(static_cast<wchar_t>(utf16::LowOf(*s)));
    } else {
      out.push_back(static_cast<wchar_t>(*s));
    }
  }
  out.push_back(0);
  return out;
}

}  // namespace

bool IsCharClass(uint32_t cp, CharClass cls) {
  if (BeyondRuntime(cp)) return false;
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
  if (BeyondRuntime(cp)) return cp;
  return static_cast<uint32_t>(towupper(static_cast<wint_t>(cp)));
}

uint32_t ToLowerChar(uint32_t cp) {
  if (BeyondRuntime(cp)) return cp;
  return static_cast<uint32_t>(towlower(static_cast<wint_t>(cp)));
}

int CollateChars(const uint32_t* a, const uint32_t* b) {
  std::vector<wchar_t> wa = ToRuntimeWide(a);
  std::vector<wchar_t> wb = ToRuntimeWide(b);
  return wcscoll(wa.data(), wb.data());
}

}  // namespace gnutil::platform
