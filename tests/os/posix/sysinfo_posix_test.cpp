// The Linux counterparts of the system-information functions: the kernel's
// own descriptions, and swap as the paging file.
#include <gtest/gtest.h>
#include <string.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <string>

#include "gnutil/ossysinfo.h"

namespace {

TEST(PosixSysInfo, NamesMemoryAndHostComeFromTheKernel) {
  struct utsname u;
  ASSERT_EQ(uname(&u), 0);
  CGNString text;
  OSInfo::GetOS(text);
  EXPECT_EQ(std::string(static_cast<const char*>(text)), std::string(u.sysname) + " " + u.release);
  struct sysinfo si;
  ASSERT_EQ(sysinfo(&si), 0);
  unsigned long long total = static_cast<unsigned long long>(si.totalswap) * si.mem_unit;
  OSMemoryStatus status;
  OSGetMemoryStatus(status);
  EXPECT_EQ(status.m_nTotalPageFile,
            total > 0xFFFFFFFFULL ? 0xFFFFFFFFu : static_cast<unsigned>(total));
  EXPECT_LE(status.m_nAvailPageFile, status.m_nTotalPageFile);
  EXPECT_GT(status.m_nMemoryLoad, 0u);
  EXPECT_LE(status.m_nMemoryLoad, 100u);
  char buffer[63];  // always terminated within the 63 bytes
  memset(buffer, 'x', sizeof buffer);
  OSGetHostnameNoDomain(buffer);
  EXPECT_NE(memchr(buffer, '\0', sizeof buffer), nullptr);
}

}  // namespace
