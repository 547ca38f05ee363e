// Whether a Windows test program runs under Wine, for the few places where
// Wine's behaviour differs from Windows and a test states both.
#ifndef GNUTIL_TESTS_SUPPORT_WIN32_UNDER_WINE_H
#define GNUTIL_TESTS_SUPPORT_WIN32_UNDER_WINE_H

#include <windows.h>

namespace gnutil_test {

inline bool RunsUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_WIN32_UNDER_WINE_H
