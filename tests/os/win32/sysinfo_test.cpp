// System information on Windows, held against the system's own answers.
#include <gtest/gtest.h>
// winsock2.h must come before windows.h.
// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on
#include <string.h>

#include "gnutil/ossysinfo.h"

namespace {

TEST(Win32SysInfo, ProcessorPlatformMemoryAndLocaleMatchTheSystem) {
  SYSTEM_INFO si;
  GetSystemInfo(&si);
  CGNString text;
  OSInfo::GetHardware(text);
  EXPECT_FALSE(text.IsEmpty());
  if (si.dwProcessorType == 586) {  // what Wine reports
    EXPECT_STREQ(text, "PC Pentium");
  }
  OSInfo::GetOS(text);
  EXPECT_STREQ(text, "Windows NT or NT Server");
  EXPECT_EQ(OSInfo::OSisWin95() + OSInfo::OSisWin32s(), 0);
  MEMORYSTATUS ms;
  ms.dwLength = sizeof ms;
  GlobalMemoryStatus(&ms);
  OSMemoryStatus status;
  status.m_nReserved = 77;
  OSGetMemoryStatus(status);
  EXPECT_EQ(status.m_nReserved, 77u);
  EXPECT_EQ(status.m_nTotalPageFile, ms.dwTotalPageFile);
  EXPECT_LE(status.m_nMemoryLoad, 100u);
  char ours[64], theirs[64];
  long n = OSGetLocaleInfo(0x409, LOCALE_SDECIMAL, ours, sizeof ours);
  EXPECT_EQ(n, GetLocaleInfoA(0x409, LOCALE_SDECIMAL, theirs, sizeof theirs));
  EXPECT_STREQ(ours, theirs);
  EXPECT_EQ(OSGetLocaleInfo(0x411, LOCALE_SDECIMAL, ours, 0), 2);  // size query
}

// Windows refuses gethostname before WSAStartup, which leaves the name
// empty; Wine answers anyway. Either way the buffer holds the system's
// answer, never leftovers.
TEST(Win32SysInfo, HostNameBeforeAndAfterTheSocketsLibraryStarts) {
  WSADATA data;
  for (int started = 0; started < 2; ++started) {
    if (started) {
      ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    }
    char expect[64], buffer[63];
    if (gethostname(expect, 63) != 0) expect[0] = '\0';
    memset(buffer, 'x', sizeof buffer);
    OSGetHostnameNoDomain(buffer);
    EXPECT_STREQ(buffer, expect) << started;
  }
  WSACleanup();
}

}  // namespace
