// The Linux counterparts of the system-information functions: the kernel's
// own descriptions, swap as the paging file, the version note of our build,
// and no keep-awake request to hold.
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

TEST(PosixSysInfo, NamesMemoryAndHostComeFromTheKernelAndNothingKeepsAwake) {
  struct utsname u;
  ASSERT_EQ(uname(&u), 0);
  CGNString text;
  OSInfo::GetHardware(text);
  EXPECT_STREQ(text, u.machine);
  OSInfo::GetOS(text);
  EXPECT_EQ(std::string(static_cast<const char*>(text)), std::string(u.sysname) + " " + u.release);
  EXPECT_EQ(OSInfo::OSisWin95() + OSInfo::OSisWin32s(), 0);
  {
    OSKeepAwake a, b(1);  // nothing to hold on Linux
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
  }
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);

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

  char expect[256] = "", buffer[63];
  ASSERT_EQ(gethostname(expect, sizeof expect), 0);
  memset(buffer, 'x', sizeof buffer);
  OSGetHostnameNoDomain(buffer);
  ASSERT_NE(memchr(buffer, '\0', sizeof buffer), nullptr);
  if (strlen(expect) < 63) {
    EXPECT_STREQ(buffer, expect);
  }
}

// The probe module is built with file version 1281.3.2.9: the first number
// splits into two bytes, 5 and 1.
TEST(PosixSysInfo, VersionNotes) {
  char library[32];
  snprintf(library, sizeof library, "Version %d.%02d.%02d", GNUTIL_VERSION_MAJOR,
           GNUTIL_VERSION_MINOR, GNUTIL_VERSION_PATCH);
  const struct {
    const char* file;
    int init;
    const char* text;
  } cases[] = {{GNUTIL_VERSION_PROBE, 1, "Version 5.01.03"},
               {GNUTIL_SHARED_LIBRARY, 1, library},
               {"/proc/self/exe", 0, "Version 0.00.00"},
               {"/etc/hostname", 0, "Version 0.00.00"},
               {"/", 0, "Version 0.00.00"}};
  for (const auto& c : cases) {
    COSBuildVersion v(c.file);
    EXPECT_EQ(v.Init(), c.init) << c.file;
    EXPECT_STREQ(v.GetVersionString(), c.text);
  }
  COSBuildVersion v(GNUTIL_VERSION_PROBE);
  ASSERT_EQ(v.Init(), 1);
  EXPECT_EQ(v.GetVersionMajorNumber() * 10000 + v.GetVersionMinorNumber() * 1000 +
                v.GetVersionMaintenanceNumber() * 100 + v.GetVersionPatchNumber() * 10 +
                v.GetVersionBuildNumber(),
            51329);
}

}  // namespace
