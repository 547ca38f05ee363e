// Diagnostics through the public API: timing.
#include <gtest/gtest.h>

#include <string>

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

}  // namespace
