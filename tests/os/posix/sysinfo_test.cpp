// The Linux counterparts of the system-information functions: the kernel's
// own descriptions, and swap as the paging file.
#include <gtest/gtest.h>
#include <string.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <string>

#include "gnutil/ossysinfo.h"

namespace {

TEST(PosixSysInfo, NamesMemoryAndHostComeFromTheKernel) {
  struct utsname u;
  ASSERT_EQ(uname(&u), 0);
  CGNString text;
  OSInfo::GetHardware(text);
  EXPECT_STREQ(text, u.machine);
  OSInfo::GetOS(text);
  EXPECT_EQ(std::string(static_cast<const char*>(text)), std::string(u.sysname) + " " + u.release);
  EXPECT_EQ(OSInfo::OSisWin95() + OSInfo::OSisWin32s(), 0);

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

}  // namespace
