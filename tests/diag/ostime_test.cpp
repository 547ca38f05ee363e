// Timing: clocks, the OSTime line, the performance log, the cumulative
// counters. What the lines say is checked, not how long anything took: a
// benchmark measures time.
#include "gnutil/ostime.h"

#include <gtest/gtest.h>
#include <string.h>
#include <time.h>

#include <regex>
#include <string>
#include <vector>

#include "support/stdout_capture.h"
#include "support/temp_dir.h"

namespace {

// The division truncates toward zero: -1500 us is -1 ms, not -2.
TEST(OSGetMsTimeDiff, TruncatesTowardZero) {
  const struct {
    long s1, us1, s2, us2, expected;
  } cases[] = {
      {10, 900000, 12, 100000, 1200}, {12, 100000, 10, 900000, -1200}, {3, 1500, 3, 0, -1}};
  for (const auto& c : cases)
    EXPECT_EQ(OSGetMsTimeDiff(c.s1, c.us1, c.s2, c.us2), c.expected) << c.s1 << "," << c.us1;
}

// The wall clock is the calendar time, in milliseconds.
TEST(Clocks, MillisecondStamps) {
  long before = static_cast<long>(time(nullptr)), s = 0, us = 0;
  OSGetTime(s, us);
  EXPECT_TRUE(s >= before && s <= static_cast<long>(time(nullptr))) << s;
  EXPECT_TRUE(us >= 0 && us < 1000000 && us % 1000 == 0) << us;
  EXPECT_GE(OSGetMsTimeDiff(s, us), 0);
}

std::vector<std::string> g_lines;
void Collect(const char* line) { g_lines.push_back(line); }
const std::regex kLine("(.*)time (\\d+) : elapsed ms (\\d+)\r?\n");

// Each test runs in a process of its own: logs switched on stay on only for it.

TEST(OSTimeLog, LineHasLabelSecondsAndElapsed) {
  {
    OSTime off("load");  // logs off: nothing, not even from the destructor
    off.SetLogHandler(Collect);
    off.VaLog("step %d", 2);
    off.Log();
  }
  EXPECT_TRUE(g_lines.empty());
  OSTime::EnableLog(1);
  gnutil_test::StdoutCapture captured;
  {
    OSTime watch("load");
    watch.SetLogHandler(Collect);
    OSTime plain;  // no label and no handler: the standard output
  }
  std::smatch m;
  std::string out = captured.Text();
  ASSERT_TRUE(std::regex_match(out, m, kLine)) << out;
  EXPECT_EQ(m[1], "");
  ASSERT_EQ(g_lines.size(), 1u);
  ASSERT_TRUE(std::regex_match(g_lines[0], m, kLine)) << g_lines[0];
  EXPECT_EQ(m[1], "load : ");
  // An assigned stopwatch has its own label; a long one is cut to fit the
  // line's 9,999 bytes, never the times or the line end.
  OSTime big(std::string(20000, 'a').c_str()), assigned;
  big.SetLogHandler(Collect);
  assigned = big;
  big.Reset();  // drops its label
  assigned.Log();
  ASSERT_EQ(g_lines.size(), 2u);
  EXPECT_EQ(g_lines[1].size(), 9999u);
  EXPECT_TRUE(std::regex_search(g_lines[1], std::regex("a : time \\d+ : elapsed ms \\d+\n$")));
}

TEST(CGNPerf, LogFileLifecycle) {
  gnutil_test::TempDir dir("gnutil-perf");
  const std::string first = dir.File("perf1.log"), second = dir.File("perf2.log");
  gnutil_test::WriteWholeFile(first, "old content\n");
  EXPECT_EQ(CGNPerf::OpenFile(dir.File("no/such/dir/perf.log").c_str()), 0);
  EXPECT_EQ(OSTime::LogEnabled(), 0);  // a failed open does not switch logs on
  ASSERT_EQ(CGNPerf::OpenFile(first.c_str()), 1);
  { CGNPerf p("open"); }
  // Emptied when opened, flushed per line (readable while open), a text
  // stream (CR LF on Windows).
  std::string text = gnutil_test::ReadWholeFile(first);
  std::smatch m;
  EXPECT_TRUE(std::regex_match(text, m, kLine) && m[1] == "open : ") << text;
  ASSERT_EQ(CGNPerf::ChangeFile(second.c_str()), 1);
  { CGNPerf p(CGNString("changed")); }
  CGNPerf::CloseFile();
  CGNPerf::LogHandler("dropped: no log is open\n");
  EXPECT_EQ(gnutil_test::ReadWholeFile(first), text);
  text = gnutil_test::ReadWholeFile(second);
  EXPECT_TRUE(std::regex_match(text, m, kLine) && m[1] == "changed : ") << text;
}

std::string g_events;
long g_stamp[2] = {-1, -1};  // the start stamp handed to the callback
void Record(void* stamp, int event) {
  g_events += (stamp != nullptr ? "s" : "-") + std::to_string(event) + " ";
  if (stamp != nullptr) memcpy(g_stamp, stamp, sizeof g_stamp);
}

TEST(CummPerf, NestedScopesTimeTheOutermostOnly) {
  CGNCummPerf::SetPerfCallBack(Record);
  { CGNCummPerf none; }  // no counter: no events
  long before_s = 0, before_us = 0;
  OSPerfTime(before_s, before_us);
  long counter = 1000000;  // completed scopes add to what the counter holds
  {
    CGNCummPerf outer(&counter);
    EXPECT_EQ(counter, -1);
    { CGNCummPerf inner(&counter); }
    EXPECT_EQ(counter, -1);
  }
  long after_s = 0, after_us = 0;
  OSPerfTime(after_s, after_us);
  EXPECT_GE(counter, 1000000);
  EXPECT_LE(counter, 1000000 + OSGetMsTimeDiff(before_s, before_us, after_s, after_us));
  EXPECT_EQ(g_events, "s55 -55 -66 s66 ");
  // The stamp is the outer scope's start, on the performance clock.
  EXPECT_GE(OSGetMsTimeDiff(before_s, before_us, g_stamp[0], g_stamp[1]), 0);
  EXPECT_GE(OSGetMsTimeDiff(g_stamp[0], g_stamp[1], after_s, after_us), 0);
}

}  // namespace
