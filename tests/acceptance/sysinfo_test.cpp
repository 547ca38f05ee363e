// System information, keep-awake and build versions through the public API.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "gnutil/ossysinfo.h"

namespace {

TEST(SysInfo, ProcessorAndSystemAreNamed) {
  CGNString hardware, os;
  OSInfo::GetHardware(hardware);
  OSInfo::GetOS(os);
  EXPECT_FALSE(hardware.IsEmpty());
  EXPECT_FALSE(os.IsEmpty());
  EXPECT_EQ(OSInfo::OSisWin32s(), 0);
  EXPECT_EQ(OSInfo::OSisWin95(), 0);
}

TEST(SysInfo, MemoryStatusLeavesTheFirstFieldAlone) {
  OSMemoryStatus status;
  status.m_nReserved = 12345;
  status.m_nMemoryLoad = 1000;
  status.m_nTotalPageFile = 0;
  status.m_nAvailPageFile = 0xFFFFFFFFu;
  OSGetMemoryStatus(status);
  EXPECT_EQ(status.m_nReserved, 12345u);
  EXPECT_LE(status.m_nMemoryLoad, 100u);
  // The paging-file figures are the system's own; on Windows they saturate
  // in ways of their own on machines with more than 4 GiB.
}

TEST(SysInfo, HostNameIsATerminatedTextWithin63Bytes) {
  char buffer[63];
  memset(buffer, 'x', sizeof buffer);
  OSGetHostnameNoDomain(buffer);
  EXPECT_NE(memchr(buffer, '\0', sizeof buffer), nullptr);
}

TEST(SysInfo, FileWithoutVersionInformationGivesVersionZero) {
  COSBuildVersion v("no-such-module-file.dll");
  EXPECT_STREQ(v.GetVersionString(), "Version 0.00.00");
  EXPECT_EQ(v.Init(), 0);
  EXPECT_EQ(v.GetVersionMajorNumber(), 0);
  EXPECT_EQ(v.GetVersionMinorNumber(), 0);
  EXPECT_EQ(v.GetVersionMaintenanceNumber(), 0);
  EXPECT_EQ(v.GetVersionPatchNumber(), 0);
  EXPECT_EQ(v.GetVersionBuildNumber(), 0);
  EXPECT_STREQ(v.GetVersionString(), "Version 0.00.00");

  COSBuildVersion copy(v);
  copy = v;
  EXPECT_STREQ(copy.GetVersionString(), "Version 0.00.00");
  COSBuildVersion none(nullptr);
  EXPECT_EQ(none.Init(), 0);
}

TEST(SysInfo, KeepAwakeObjectsComeAndGo) {
  OSKeepAwake owner(0);
  for (int i = 0; i < 3; ++i) {
    OSKeepAwake a;
    OSKeepAwake b(1);
    OSKeepAwake c(0);
  }
}

}  // namespace
