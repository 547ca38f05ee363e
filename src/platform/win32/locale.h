// Win32-only helpers of the locale platform layer, visible to its tests.
#ifndef GNUTIL_SRC_PLATFORM_WIN32_LOCALE_H
#define GNUTIL_SRC_PLATFORM_WIN32_LOCALE_H

namespace gnutil::platform {

// The code page of the runtime's LC_CTYPE category: what setlocale chose
// (932 for Japanese_Japan.932), or 0 in the C locale, where every byte stands
// for the character of the same number.
unsigned RuntimeCodePage();

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_WIN32_LOCALE_H
