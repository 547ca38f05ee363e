// POSIX-only helpers of the locale platform layer, visible to its tests.
#ifndef GNUTIL_SRC_PLATFORM_POSIX_LOCALE_H
#define GNUTIL_SRC_PLATFORM_POSIX_LOCALE_H

namespace gnutil::platform {

// The Windows code page that stands for a glibc codeset name (as given by
// nl_langinfo(CODESET)): SHIFT_JIS 932, BIG5 950, GB2312/GBK/GB18030 936,
// EUC-KR 949, CP1250..CP1258 themselves, anything else 1252.
unsigned CodePageForCodeset(const char* codeset);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_POSIX_LOCALE_H
