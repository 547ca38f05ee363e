// The platform seam for wide-character classification, case and collation.
//
// The string class keeps its wide copy in UTF-16 units on every platform; the
// runtime's own classification works on its wchar_t (UTF-32 on Linux, UTF-16
// on Windows). Characters cross this seam as Unicode code points and every
// answer is that of the process locale, as the runtime's isw* functions give it.
// src/platform/wctype.cpp implements it over the C runtime on both platforms.
#ifndef GNUTIL_SRC_PLATFORM_WCTYPE_H
#define GNUTIL_SRC_PLATFORM_WCTYPE_H

#include <stddef.h>
#include <stdint.h>

namespace gnutil::platform {

enum class CharClass { kAlpha, kAlnum, kDigit, kLower, kUpper, kPrint, kPunct, kSpace, kXDigit };

// The runtime's isw<class> test of the code point in the process locale.
bool IsCharClass(uint32_t cp, CharClass cls);

// towupper / towlower of the code point in the process locale.
uint32_t ToUpperChar(uint32_t cp);
uint32_t ToLowerChar(uint32_t cp);

// wcscoll of two NUL-terminated code-point texts in the process locale:
// negative, 0 or positive.
int CollateChars(const uint32_t* a, const uint32_t* b);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_WCTYPE_H
