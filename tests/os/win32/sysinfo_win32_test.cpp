// System information on Windows, held against the system's own answers.
#include <gtest/gtest.h>
#include <windows.h>

#include "gnutil/ossysinfo.h"

namespace {

TEST(Win32SysInfo, ProcessorPlatformAndMemoryMatchTheSystem) {
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
  OSGetMemoryStatus(status);
  EXPECT_EQ(status.m_nTotalPageFile, ms.dwTotalPageFile);
  EXPECT_LE(status.m_nMemoryLoad, 100u);
}

}  // namespace
