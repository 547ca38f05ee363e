// Diagnostics through the public API: timing, trace and assertions.
#include <gtest/gtest.h>

#include <string>

#include "gnutil/gnassert.h"
#include "gnutil/gntrace.h"
#include "gnutil/ostime.h"

namespace {

std::string g_line;

TEST(Diag, StopwatchAndCounters) {
  EXPECT_EQ(OSGetMsTimeDiff(10, 900000, 12, 100000), 1200);
  long s = 0, us = 0;
  OSGetTime(s, us);
  EXPECT_GT(s, 0);
  OSPerfTime(s, us);
  EXPECT_EQ(us % 1000, 0);

  OSTime::EnableLog(1);
  {
    OSTime watch("load");
    watch.SetLogHandler([](const char* line) { g_line = line; });
  }
  OSTime::EnableLog(0);
  EXPECT_EQ(g_line.rfind("load : time ", 0), 0u) << g_line;

  long counter = 0;
  { CGNCummPerf timing(&counter); }
  EXPECT_GE(counter, 0);
}

TEST(Diag, TraceAndAssert) {
  EXPECT_STREQ(CGNTraceFileLine(42, "a.cpp"), "Line    42 in a.cpp");
  CGNGlobalTrace* trace = CGNGlobalTrace::Instance();
  EXPECT_EQ(trace->ResetOutput(2), 1);
  trace->ResetMask(1);
  trace->DisableDateTime();
  EXPECT_EQ(trace->IsEnabled(static_cast<short>(0xFF01)), 1);
  ::testing::internal::CaptureStdout();
  CGNAssert::Instance()->SetNativeAssert(0);
  EXPECT_EQ(CGNAssert::Instance()->cgnassert(0, "a.cpp", 42), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "cgnassert : Assertion Failure !! : Line    42 in a.cpp\n");
  CGNAssert::Free();
  CGNGlobalTrace::Free();
}

}  // namespace
