// System information on Windows, held against the system's own answers.
#include <gtest/gtest.h>
// winsock2.h must come before windows.h.
// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on
#include <stdio.h>
#include <string.h>

#include <string>

#include "gnutil/ossysinfo.h"
#include "os/sysinfo_internal.h"

namespace {

std::string BesideTheTests(const char* name) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of("\\/") + 1) + name;
}

// The probe module is built with file version 1281.3.2.9: the first number
// splits into two bytes, 5 and 1. The test program has no version resource.
TEST(Win32SysInfo, VersionRecords) {
  char library[32], self[MAX_PATH];
  snprintf(library, sizeof library, "Version %d.%02d.%02d", GNUTIL_VERSION_MAJOR,
           GNUTIL_VERSION_MINOR, GNUTIL_VERSION_PATCH);
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const struct {
    std::string file;
    int init;
    const char* text;
  } cases[] = {{BesideTheTests("gnutil_version_probe.dll"), 1, "Version 5.01.03"},
               {BesideTheTests("gnutil.dll"), 1, library},
               {self, 0, "Version 0.00.00"}};
  for (const auto& c : cases) {
    COSBuildVersion v(c.file.c_str());
    EXPECT_STREQ(v.GetVersionString(), "Version 0.00.00");  // nothing read yet
    EXPECT_EQ(v.Init(), c.init) << c.file;
    EXPECT_STREQ(COSBuildVersion(v).GetVersionString(), c.text);
  }
  COSBuildVersion v(cases[0].file.c_str());
  ASSERT_EQ(v.Init(), 1);
  EXPECT_EQ(v.GetVersionMajorNumber(), 5);
  EXPECT_EQ(v.GetVersionMinorNumber(), 1);
  EXPECT_EQ(v.GetVersionMaintenanceNumber(), 3);
  EXPECT_EQ(v.GetVersionPatchNumber(), 2);
  EXPECT_EQ(v.GetVersionBuildNumber(), 9);
}

TEST(Win32SysInfo, ProcessorPlatformMemoryAndLocaleMatchTheSystem) {
  SYSTEM_INFO si;
  GetSystemInfo(&si);
  const char* expect = si.dwProcessorType == 586 ? "PC Pentium" : nullptr;  // what Wine reports
  CGNString text;
  OSInfo::GetHardware(text);
  EXPECT_STREQ(text, expect != nullptr ? expect : static_cast<const char*>(text));
  EXPECT_FALSE(text.IsEmpty());
  OSInfo::GetOS(text);
  EXPECT_STREQ(text, "Windows NT or NT Server");
  EXPECT_EQ(OSInfo::OSisWin95(), 0);
  EXPECT_EQ(OSInfo::OSisWin32s(), 0);
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
  EXPECT_STREQ(ours, ".");
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

TEST(Win32SysInfo, KeepAwakeUsesTheRealFunctionAndCountsRequests) {
  {
    OSKeepAwake owner(0);
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
    {
      OSKeepAwake a;
      OSKeepAwake b;
      EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 2);
    }
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
  }
  OSKeepAwake later;  // the set-up stays marked as made; the function is still called
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 1);
}

}  // namespace
