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

TEST(Win32SysInfo, VersionRecordSplitsTheFirstNumberIntoTwoBytes) {
  std::string dll = BesideTheTests("gnutil_version_probe.dll");
  ASSERT_NE(GetFileAttributesA(dll.c_str()), INVALID_FILE_ATTRIBUTES) << dll;
  COSBuildVersion v(dll.c_str());
  EXPECT_STREQ(v.GetVersionString(), "Version 0.00.00");  // nothing read yet
  ASSERT_EQ(v.Init(), 1);
  EXPECT_EQ(v.GetVersionMajorNumber(), 5);
  EXPECT_EQ(v.GetVersionMinorNumber(), 1);
  EXPECT_EQ(v.GetVersionMaintenanceNumber(), 3);
  EXPECT_EQ(v.GetVersionPatchNumber(), 2);
  EXPECT_EQ(v.GetVersionBuildNumber(), 9);
  EXPECT_STREQ(v.GetVersionString(), "Version 5.01.03");
  COSBuildVersion copy(v);
  EXPECT_STREQ(copy.GetVersionString(), "Version 5.01.03");
}

TEST(Win32SysInfo, TheLibrarysOwnFileCarriesItsVersion) {
  COSBuildVersion v(BesideTheTests("gnutil.dll").c_str());
  ASSERT_EQ(v.Init(), 1);
  char expect[32];
  snprintf(expect, sizeof expect, "Version %d.%02d.%02d", GNUTIL_VERSION_MAJOR,
           GNUTIL_VERSION_MINOR, GNUTIL_VERSION_PATCH);
  EXPECT_STREQ(v.GetVersionString(), expect);
}

TEST(Win32SysInfo, ModuleWithoutAVersionRecordGivesVersionZero) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  COSBuildVersion me(self);  // the test program has no version resource
  EXPECT_EQ(me.Init(), 0);
  EXPECT_STREQ(me.GetVersionString(), "Version 0.00.00");
}

TEST(Win32SysInfo, ProcessorAndPlatformMatchTheSystem) {
  SYSTEM_INFO si;
  GetSystemInfo(&si);
  const char* expect = "Unknown";
  switch (si.dwProcessorType) {
    case 386:
      expect = "PC 80386";
      break;
    case 486:
      expect = "PC i486";
      break;
    case 586:
      expect = "PC Pentium";
      break;
    case 4000:
      expect = "MIPS R4000";
      break;
    case 21064:
      expect = "Alpha 21064";
      break;
  }
  CGNString text;
  OSInfo::GetHardware(text);
  EXPECT_STREQ(text, expect);
  OSInfo::GetOS(text);
  EXPECT_STREQ(text, "Windows NT or NT Server");
  EXPECT_EQ(OSInfo::OSisWin95(), 0);
  EXPECT_EQ(OSInfo::OSisWin32s(), 0);
}

TEST(Win32SysInfo, MemoryStatusIsTheSystemsPagingFile) {
  MEMORYSTATUS ms;
  ms.dwLength = sizeof ms;
  GlobalMemoryStatus(&ms);
  OSMemoryStatus status;
  status.m_nReserved = 77;
  OSGetMemoryStatus(status);
  EXPECT_EQ(status.m_nReserved, 77u);
  EXPECT_EQ(status.m_nTotalPageFile, ms.dwTotalPageFile);
  EXPECT_LE(status.m_nMemoryLoad, 100u);
}

TEST(Win32SysInfo, HostNameBeforeTheSocketsLibraryStartsIsWhatTheSystemSays) {
  // Windows refuses gethostname before WSAStartup, which leaves the name
  // empty; Wine answers anyway. Either way the buffer holds the system's
  // answer, never leftovers.
  char expect[64];
  if (gethostname(expect, 63) != 0) expect[0] = '\0';
  char buffer[63];
  memset(buffer, 'x', sizeof buffer);
  OSGetHostnameNoDomain(buffer);
  EXPECT_STREQ(buffer, expect);
}

TEST(Win32SysInfo, HostNameAfterTheSocketsLibraryStarts) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  char expect[64] = "";
  ASSERT_EQ(gethostname(expect, 63), 0);
  char buffer[63];
  OSGetHostnameNoDomain(buffer);
  EXPECT_STREQ(buffer, expect);
  WSACleanup();
}

TEST(Win32SysInfo, LocaleInformationPassesThrough) {
  char ours[64], theirs[64];
  long n = OSGetLocaleInfo(0x409, LOCALE_SDECIMAL, ours, sizeof ours);
  int m = GetLocaleInfoA(0x409, LOCALE_SDECIMAL, theirs, sizeof theirs);
  EXPECT_EQ(n, m);
  EXPECT_STREQ(ours, theirs);
  EXPECT_STREQ(ours, ".");
  EXPECT_EQ(OSGetLocaleInfo(0x411, LOCALE_SDECIMAL, ours, 0), 2);  // size query
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
