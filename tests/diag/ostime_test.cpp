// Timing: clocks, the OSTime line, the performance log, the cumulative counters.
#include "gnutil/ostime.h"

#include <gtest/gtest.h>
#include <time.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace {

TEST(OSGetMsTimeDiff, TruncatesTowardZero) {
  const struct {
    long s1, us1, s2, us2, expected;
  } cases[] = {{10, 900000, 12, 100000, 1200},
               {12, 100000, 10, 900000, -1200},
               {0, 0, 0, 999000, 999},
               {10, 100000, 10, 99000, -1},
               {3, 1500, 3, 0, -1}};  // -1500 us truncates to -1, not -2
  for (const auto& c : cases) {
    EXPECT_EQ(OSGetMsTimeDiff(c.s1, c.us1, c.s2, c.us2), c.expected) << c.s1 << "," << c.us1;
  }
}

// Both clocks give millisecond stamps; the wall clock is the calendar time.
TEST(Clocks, MillisecondStamps) {
  long before = static_cast<long>(time(nullptr));
  long s[4] = {0}, us[4] = {0};
  OSGetTime(s[0], us[0]);
  OSPerfTime(s[1], us[1]);
  EXPECT_GE(s[0], before);
  EXPECT_LE(s[0], static_cast<long>(time(nullptr)));
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  OSGetTime(s[2], us[2]);
  OSPerfTime(s[3], us[3]);
  for (long u : us) EXPECT_TRUE(u >= 0 && u < 1000000 && u % 1000 == 0) << u;
  for (int i = 0; i < 2; ++i) {
    long elapsed = OSGetMsTimeDiff(s[i], us[i], s[i + 2], us[i + 2]);
    EXPECT_GE(elapsed, 35) << i;  // tick counts may be a tick coarse
    EXPECT_LT(elapsed, 5000) << i;
  }
  EXPECT_GE(OSGetMsTimeDiff(s[0], us[0]), 35);
}

std::vector<std::string> g_lines;
void Collect(const char* line) { g_lines.push_back(line); }

class OSTimeLog : public ::testing::Test {
 protected:
  void SetUp() override { g_lines.clear(); }
  void TearDown() override { OSTime::EnableLog(0); }
};

TEST_F(OSTimeLog, LineHasLabelSecondsAndElapsed) {
  {
    OSTime off("load");  // logs off: nothing, not even from the destructor
    off.SetLogHandler(Collect);
    off.VaLog("step %d", 2);
  }
  EXPECT_TRUE(g_lines.empty());
  OSTime::EnableLog(1);
  long start = OSTime::m_startTime;
  OSTime::EnableLog(1);  // no change: the seconds still count from the first
  EXPECT_EQ(OSTime::m_startTime, start);
  {
    OSTime watch("load");
    watch.SetLogHandler(Collect);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_EQ(g_lines.size(), 1u);
  std::smatch m;
  ASSERT_TRUE(
      std::regex_match(g_lines[0], m, std::regex("load : time (\\d+) : elapsed ms (\\d+)\n")))
      << g_lines[0];
  EXPECT_LE(std::stol(m[1]), 2);
  EXPECT_GE(std::stol(m[2]), 15);
}

TEST_F(OSTimeLog, WithoutLabelOrHandlerGoesToStandardOutput) {
  OSTime::EnableLog(1);
  ::testing::internal::CaptureStdout();
  {
    OSTime watch;
    watch.Log();
  }
  fflush(stdout);
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_TRUE(std::regex_match(out, std::regex("(time \\d+ : elapsed ms \\d+\n){2}"))) << out;
}

TEST_F(OSTimeLog, LabelForms) {
  OSTime::EnableLog(1);
  OSTime watch;
  watch.SetLogHandler(Collect);
  watch.Log("first");
  watch.Log(CGNString("second"));
  watch.VaLog("third %d/%s", 3, "x");
  watch.SetVaTraceMsg("%s", "");  // empty result: the label stays
  watch.Log();
  watch.Reset();  // drops the label
  watch.Log();
  watch.SetTraceMsg(CGNString("fifth"));
  OSTime copy(watch);
  watch.SetTraceMsg("sixth");
  copy.Log();
  const char* expected[] = {"first : time",     "second : time", "third 3/x : time",
                            "third 3/x : time", "time",          "fifth : time"};
  ASSERT_EQ(g_lines.size(), 6u);
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(g_lines[i].rfind(expected[i], 0), 0u) << g_lines[i];
}

TEST_F(OSTimeLog, LongLabelsAreCutAndAssignmentCopiesTheLabel) {
  OSTime::EnableLog(1);
  OSTime watch;
  watch.SetLogHandler(Collect);
  std::string big(20000, 'a');
  watch.VaLog("%s", big.c_str());  // the label keeps 10015 bytes, the line at most 9999
  watch.Log(big.c_str());
  EXPECT_EQ(g_lines, std::vector<std::string>(2, std::string(9999, 'a')));
  g_lines.clear();
  OSTime a("alpha");
  a.SetLogHandler(Collect);
  {
    OSTime b("beta");
    b = a;  // b now logs as alpha through Collect, with its own label copy
    b = b;
  }
  a.Log();
  ASSERT_EQ(g_lines.size(), 2u);
  EXPECT_EQ(g_lines[0].rfind("alpha : time", 0), 0u);
  EXPECT_EQ(g_lines[1].rfind("alpha : time", 0), 0u);
  OSTime::EnableLog(0);  // the destructors then write nothing
}

TEST(CGNPerf, LogFileLifecycle) {
  gnutil_test::TempDir dir("gnutil-perf");
  const std::string first = dir.File("perf1.log"), second = dir.File("perf2.log");
  gnutil_test::WriteWholeFile(first, "old content\n");
  EXPECT_EQ(CGNPerf::OpenFile(dir.File("no/such/dir/perf.log").c_str()), 0);
  EXPECT_EQ(OSTime::LogEnabled(), 0);  // a failed open does not switch logs on
  ASSERT_EQ(CGNPerf::OpenFile(first.c_str()), 1);
  EXPECT_EQ(OSTime::LogEnabled(), 1);
  { CGNPerf p("open"); }
  // Emptied when opened, flushed per line (readable while open), a text
  // stream (CR LF on Windows).
  std::string text = gnutil_test::ReadWholeFile(first);
  EXPECT_TRUE(std::regex_match(text, std::regex("open : time \\d+ : elapsed ms \\d+\r?\n")))
      << text;
  ASSERT_EQ(CGNPerf::ChangeFile(second.c_str()), 1);
  { CGNPerf p(CGNString("changed")); }
  CGNPerf::CloseFile();
  EXPECT_EQ(CGNPerf::perfFile, nullptr);
  EXPECT_EQ(OSTime::LogEnabled(), 1);
  { CGNPerf p; }  // no log open: dropped
  CGNPerf::LogHandler("direct\n");
  EXPECT_EQ(gnutil_test::ReadWholeFile(first), text);
  EXPECT_TRUE(std::regex_match(gnutil_test::ReadWholeFile(second),
                               std::regex("changed : time \\d+ : elapsed ms \\d+\r?\n")));
  OSTime::EnableLog(0);
}

std::string g_events;
long g_stamp[2] = {-1, -1};  // the start stamp handed to the callback
void Record(void* stamp, int event) {
  g_events += (stamp != nullptr ? "s" : "-") + std::to_string(event) + " ";
  if (stamp != nullptr && event == 55) {
    g_stamp[0] = static_cast<const long*>(stamp)[0];
    g_stamp[1] = static_cast<const long*>(stamp)[1];
  }
}

TEST(CummPerf, NestedScopesTimeTheOutermostOnly) {
  CGNCummPerf::SetPerfCallBack(Record);
  { CGNCummPerf none; }  // no counter: no events
  EXPECT_EQ(g_events, "");
  long counter = 1000;  // completed scopes add to what the counter holds
  long before_s = 0, before_us = 0, after_s = 0, after_us = 0;
  OSPerfTime(before_s, before_us);
  {
    CGNCummPerf outer(&counter);
    EXPECT_EQ(counter, -1);
    {
      CGNCummPerf inner(&counter);
      EXPECT_EQ(counter, -1);
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    EXPECT_EQ(counter, -1);
  }
  OSPerfTime(after_s, after_us);
  CGNCummPerf::SetPerfCallBack(nullptr);
  EXPECT_GE(counter, 1025);
  EXPECT_LT(counter, 6000);
  EXPECT_EQ(g_events, "s55 -55 -66 s66 ");
  // The stamp is the outer scope's start, on the performance clock.
  EXPECT_GE(OSGetMsTimeDiff(before_s, before_us, g_stamp[0], g_stamp[1]), 0);
  EXPECT_GE(OSGetMsTimeDiff(g_stamp[0], g_stamp[1], after_s, after_us), 25);
  EXPECT_EQ(g_stamp[1] % 1000, 0);
}

}  // namespace
