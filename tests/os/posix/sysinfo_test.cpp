// The Linux counterparts of the system-information functions: the kernel's
// own descriptions, swap as the paging file, and no keep-awake or version
// record to find.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <string>

#include "gnutil/ossysinfo.h"
#include "os/sysinfo_internal.h"

namespace {

TEST(PosixSysInfo, NamesComeFromTheKernel) {
  struct utsname u;
  ASSERT_EQ(uname(&u), 0);
  CGNString text;
  OSInfo::GetHardware(text);
  EXPECT_STREQ(text, u.machine);
  OSInfo::GetOS(text);
  EXPECT_EQ(std::string(static_cast<const char*>(text)), std::string(u.sysname) + " " + u.release);
  EXPECT_EQ(OSInfo::OSisWin95(), 0);
  EXPECT_EQ(OSInfo::OSisWin32s(), 0);
}

TEST(PosixSysInfo, PagingFileFiguresAreSwap) {
  struct sysinfo si;
  ASSERT_EQ(sysinfo(&si), 0);
  unsigned long long total = static_cast<unsigned long long>(si.totalswap) * si.mem_unit;
  OSMemoryStatus status;
  status.m_nReserved = 0xABCD;
  OSGetMemoryStatus(status);
  EXPECT_EQ(status.m_nReserved, 0xABCDu);
  EXPECT_EQ(status.m_nTotalPageFile,
            total > 0xFFFFFFFFULL ? 0xFFFFFFFFu : static_cast<unsigned>(total));
  EXPECT_LE(status.m_nAvailPageFile, status.m_nTotalPageFile);
  EXPECT_GT(status.m_nMemoryLoad, 0u);
  EXPECT_LE(status.m_nMemoryLoad, 100u);
}

TEST(PosixSysInfo, HostNameIsTheKernelsAndFitsTheBuffer) {
  char expect[256] = "";
  ASSERT_EQ(gethostname(expect, sizeof expect), 0);
  char buffer[63];
  memset(buffer, 'x', sizeof buffer);
  OSGetHostnameNoDomain(buffer);
  ASSERT_NE(memchr(buffer, '\0', sizeof buffer), nullptr);
  if (strlen(expect) < 63) {
    EXPECT_STREQ(buffer, expect);
  }
}

TEST(PosixSysInfo, VersionNoteSplitsTheFirstNumberIntoTwoBytes) {
  COSBuildVersion v(GNUTIL_VERSION_PROBE);
  ASSERT_EQ(v.Init(), 1);
  EXPECT_EQ(v.GetVersionMajorNumber(), 5);
  EXPECT_EQ(v.GetVersionMinorNumber(), 1);
  EXPECT_EQ(v.GetVersionMaintenanceNumber(), 3);
  EXPECT_EQ(v.GetVersionPatchNumber(), 2);
  EXPECT_EQ(v.GetVersionBuildNumber(), 9);
  EXPECT_STREQ(v.GetVersionString(), "Version 5.01.03");
}

TEST(PosixSysInfo, TheLibrarysOwnFileCarriesItsVersion) {
  COSBuildVersion v(GNUTIL_SHARED_LIBRARY);
  ASSERT_EQ(v.Init(), 1);
  char expect[32];
  snprintf(expect, sizeof expect, "Version %d.%02d.%02d", GNUTIL_VERSION_MAJOR,
           GNUTIL_VERSION_MINOR, GNUTIL_VERSION_PATCH);
  EXPECT_STREQ(v.GetVersionString(), expect);
}

TEST(PosixSysInfo, FilesWithoutAVersionNoteGiveVersionZero) {
  for (const char* file : {"/proc/self/exe", "/etc/hostname", "/", "/no/such/file"}) {
    COSBuildVersion v(file);
    EXPECT_EQ(v.Init(), 0) << file;
    EXPECT_STREQ(v.GetVersionString(), "Version 0.00.00");
  }
}

TEST(PosixSysInfo, KeepAwakeHoldsNoRequest) {
  {
    OSKeepAwake a;
    OSKeepAwake b(1);
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
  }
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
}

}  // namespace
