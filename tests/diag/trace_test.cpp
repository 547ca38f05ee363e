// The trace in one thread: mask rule, layouts, outputs, size cap, copies.
#include <gtest/gtest.h>
#include <time.h>

#include <regex>
#include <string>
#include <vector>

#include "gnutil/gntrace.h"
#include "gnutil/osthread.h"
#include "support/temp_dir.h"
#include "support/trace_file.h"

namespace {

using gnutil_test::kDatePattern;
using Lines = std::vector<std::string>;

class TraceFile : public ::testing::Test {
 protected:
  // Switches trace to file output on this test's file.
  void ToFile(CGNTrace& trace, long maxSize = 0, char output = 1) {
    ASSERT_EQ(trace.ResetOutput(output, name_, maxSize), 1);
  }
  Lines FileLines() { return gnutil_test::FileLines(path_); }
  std::string Text() { return gnutil_test::WithoutCR(gnutil_test::ReadWholeFile(path_)); }
  // What GetOutput reports, as "output name cap".
  std::string Output(CGNTrace& trace) {
    char output = 9;
    CGNString name("unset");
    long maxSize = 9;
    trace.GetOutput(&output, &name, &maxSize);
    return std::to_string(output) + " " + static_cast<const char*>(name) + " " +
           std::to_string(maxSize);
  }

  gnutil_test::TempDir dir_{"gnutil-trace"};
  std::string path_ = dir_.File("trace.log");
  CGNString name_{path_.c_str()};
};

TEST_F(TraceFile, MaskRule) {
  const struct {
    unsigned short traceMask;
    char output;
    unsigned short messageMask;
    bool written;
  } cases[] = {{0x0001, 1, 0x0001, true},  // the message's bits are all enabled
               {0x0001, 1, 0xFF01, true},  // the message carries all the trace's bits
               {0x0001, 1, 0x0003, true},  {0x0001, 1, 0x0002, false},  // neither
               {0x0000, 1, 0x0001, false},                              // no mask: nothing
               {0x0001, 0, 0x0001, false},                              // no output: nothing
               {0x0001, 1, 0x0000, false},  // a message without category: nothing
               {0x00F0, 1, 0x0030, true},  {0x00F0, 1, 0x01F0, true},
               {0x00F0, 1, 0x0130, false},  // some bits in common only
               {0xFFFF, 1, 0x8000, true},   // the sign bit is a category like any other
               {0x8001, 1, 0x8000, true},  {0x8000, 1, 0xFF01, true},
               {0x8000, 1, 0x7FFF, false}, {0x0003, 3, 0x0002, true}};  // file and standard output
  Lines expected;
  int index = 0;
  for (const auto& c : cases) {
    CGNTrace trace;
    trace.DisableDateTime();
    if (c.output != 0) ToFile(trace, 0, c.output);
    trace.ResetMask(static_cast<short>(c.traceMask));
    EXPECT_EQ(trace.GetTraceSetting(), static_cast<short>(c.traceMask));
    EXPECT_EQ(trace.IsEnabled(static_cast<short>(c.messageMask)), c.written ? 1 : 0) << index;
    ::testing::internal::CaptureStdout();
    trace.WriteMsg(nullptr, static_cast<short>(c.messageMask), CGNString(), "case %d", index);
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.empty(), !(c.written && (c.output & 2))) << index;
    if (c.written && (c.output & 1)) expected.push_back("case " + std::to_string(index));
    ++index;
  }
  EXPECT_EQ(FileLines(), expected);  // only the written cases, in order
}

TEST_F(TraceFile, LayoutsInTheFileAndOnStandardOutput) {
  CGNTrace trace;
  ToFile(trace, 0, 3);
  trace.ResetMask(1);
  CGNTraceFileLine where(42, "src/main.cpp");
  time_t before = time(nullptr);
  ::testing::internal::CaptureStdout();
  trace.WriteMsg(where, 1, CGNString("label"), "value %d of %s", 7, "x");
  trace.WriteMsg(where, 1, CGNString(), "no label");
  trace.WriteMsg(nullptr, 1, CGNString("label"), "no position");
  trace.DisableFileLine();
  trace.WriteMsg(where, 1, CGNString("label"), "position off");
  trace.ResetFileLine(1);
  trace.DisableDateTime();
  trace.WriteMsg(where, 1, CGNString("label"), "date off");
  trace.EnableDateTime();
  trace.WriteMsg(where, 1, CGNString(), "%s", "");
  std::string out = ::testing::internal::GetCapturedStdout();
  time_t after = time(nullptr);
  const std::string d = kDatePattern;
  const std::string at = " : Line    42 in src/main.cpp";
  const std::string expected[] = {d + "label : value 7 of x" + at, d + "no label" + at,
                                  d + "label : no position",       d + "label : position off",
                                  "label : date off" + at,         d + at};
  Lines lines = FileLines();
  ASSERT_EQ(lines.size(), 6u);
  for (int i = 0; i < 6; ++i)
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(expected[i]))) << lines[i];
  // The standard output writes the separator after an empty label too.
  EXPECT_TRUE(
      std::regex_match(out, std::regex(expected[0] + "\n" + d + " : no label" + at + "\n" +
                                       expected[2] + "\n" + expected[3] + "\n" + expected[4] +
                                       "\n" + d + " :  : Line    42 in src/main.cpp\n")))
      << out;
  // The stamp is the local time of the moment of writing.
  char earliest[64], latest[64];
  strftime(earliest, sizeof earliest, "%m/%d/%y %H:%M:%S :: ", localtime(&before));
  strftime(latest, sizeof latest, "%m/%d/%y %H:%M:%S :: ", localtime(&after));
  std::string stamp = lines[0].substr(0, 21);
  EXPECT_TRUE(stamp == earliest || stamp == latest) << stamp;
  EXPECT_EQ(lines[0].find("TID"), std::string::npos);  // unthreaded: no thread prefix
}

TEST_F(TraceFile, ThreadedProcessLinesCarryTheThreadId) {
  OSSetThreaded();
  CGNTrace trace;
  ASSERT_EQ(trace.Init(), 1);
  ToFile(trace, 0, 3);
  trace.ResetMask(1);
  ::testing::internal::CaptureStdout();
  trace.WriteMsg(nullptr, 1, CGNString("t"), "threaded");
  std::string out = ::testing::internal::GetCapturedStdout();
  const std::string expected = std::string(kDatePattern) + "TID " +
                               std::to_string(static_cast<int>(OSGetCurrentThreadID())) +
                               " :: t : threaded";
  Lines lines = FileLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(std::regex_match(lines[0], std::regex(expected))) << lines[0];
  EXPECT_TRUE(std::regex_match(out, std::regex(expected + "\n"))) << out;
}

TEST_F(TraceFile, OutputsAndFiles) {
  CGNTrace trace;
  EXPECT_EQ("0  0", Output(trace));
  // File output needs an open file.
  EXPECT_EQ(trace.ResetOutput(1), 0);
  EXPECT_EQ(trace.ResetOutput(3), 0);
  EXPECT_EQ("0  0", Output(trace));
  CGNString bad(dir_.File("missing-dir/trace.log").c_str());
  EXPECT_EQ(trace.ResetOutput(1, bad, 0), 0);
  EXPECT_EQ(trace.ResetOutput(1), 0);  // and none is open afterwards
  ToFile(trace, 500);
  EXPECT_EQ("1 " + path_ + " 500", Output(trace));
  ToFile(trace, 700, 3);  // the same file again: only the settings change
  EXPECT_EQ("3 " + path_ + " 700", Output(trace));
  trace.ResetSize(900);
  EXPECT_EQ("3 " + path_ + " 900", Output(trace));
  EXPECT_EQ(trace.ResetOutput(1), 1);  // the file is open
  // 0 closes the file and clears the name and the cap.
  EXPECT_EQ(trace.ResetOutput(0), 1);
  EXPECT_EQ("0  0", Output(trace));
  EXPECT_EQ(trace.ResetOutput(1), 0);
  // 2 alone does the same and keeps the standard output.
  ToFile(trace, 100, 3);
  EXPECT_EQ(trace.ResetOutput(2), 1);
  EXPECT_EQ("2  0", Output(trace));
}

TEST_F(TraceFile, AppendsToWhatIsThere) {
  gnutil_test::WriteWholeFile(path_, "earlier line\n");
  CGNTrace trace;
  trace.DisableDateTime();
  ToFile(trace);
  trace.ResetMask(1);
  trace.WriteMsg(nullptr, 1, CGNString(), "next");
  // Another file, then back: appended again.
  CGNString other(dir_.File("other.log").c_str());
  ASSERT_EQ(trace.ResetOutput(1, other, 0), 1);
  trace.WriteMsg(nullptr, 1, CGNString(), "elsewhere");
  ToFile(trace);
  trace.WriteMsg(nullptr, 1, CGNString(), "back");
  EXPECT_EQ(Text(), "earlier line\nnext\nback\n");
  EXPECT_EQ(gnutil_test::WithoutCR(gnutil_test::ReadWholeFile(dir_.File("other.log"))),
            "elsewhere\n");
}

TEST_F(TraceFile, SizeCapEmptiesTheFileFirst) {
  gnutil_test::WriteWholeFile(path_, std::string(149, 'x') + "\n");
  CGNTrace trace;
  trace.DisableDateTime();
  ToFile(trace, 100);
  trace.ResetMask(1);
  trace.WriteMsg(nullptr, 1, CGNString(), "first after the cap");
  EXPECT_EQ(Text(), "first after the cap\n");
  // Below the cap lines are appended; the line that finds it reached starts
  // the file afresh.
  std::string forty(39, 'y');
  trace.WriteMsg(nullptr, 1, CGNString(), "%s", forty.c_str());
  trace.WriteMsg(nullptr, 1, CGNString(), "%s", forty.c_str());
  EXPECT_EQ(FileLines().size(), 3u);
  trace.WriteMsg(nullptr, 1, CGNString(), "fresh");
  EXPECT_EQ(Text(), "fresh\n");
  trace.ResetSize(0);  // no cap: the file grows
  for (int i = 0; i < 20; ++i) trace.WriteMsg(nullptr, 1, CGNString(), "%s", forty.c_str());
  EXPECT_EQ(FileLines().size(), 21u);
}

TEST_F(TraceFile, LongMessagesAndTheResourceForm) {
  CGNTrace trace;
  ToFile(trace);
  trace.ResetMask(1);
  std::string big(100000, 'm');
  trace.WriteMsg(CGNTraceFileLine(1, "f"), 1, CGNString("big"), "<%s>", big.c_str());
  trace.DisableDateTime();
  trace.WriteMsg(nullptr, 1, CGNString("res"), 7001L, "files", 3);
  trace.WriteMsg(nullptr, 2, CGNString("res"), 7001L, "disabled", 4);
  trace.WriteMsg(nullptr, 1, CGNString("res"), 7999L);  // no such string: empty message
  Lines lines = FileLines();
  ASSERT_EQ(lines.size(), 3u);
  ASSERT_GT(lines[0].size(), 21u);
  EXPECT_TRUE(std::regex_match(lines[0].substr(0, 21), std::regex(kDatePattern)));
  EXPECT_EQ(lines[0].substr(21), "big : <" + big + "> : Line     1 in f");
  EXPECT_EQ(Lines(lines.begin() + 1, lines.end()), (Lines{"res : count of files is 3", "res : "}));
}

TEST_F(TraceFile, CopiesTakeTheSettingsOnly) {
  CGNTrace original;
  original.DisableDateTime();
  ToFile(original, 4000);
  original.ResetMask(0x10);
  CGNTrace copy(original);
  EXPECT_EQ("1 " + path_ + " 4000", Output(copy));
  EXPECT_EQ(copy.GetTraceSetting(), 0x10);
  copy.WriteMsg(nullptr, 0x10, CGNString(), "copy without a file");
  original.WriteMsg(nullptr, 0x10, CGNString(), "original");
  ToFile(copy, 4000);  // its own ResetOutput opens the file for it
  copy.WriteMsg(nullptr, 0x10, CGNString(), "copy");
  CGNTrace assigned;
  ASSERT_EQ(assigned.Init(), 1);
  CGNString other(dir_.File("assigned.log").c_str());
  ASSERT_EQ(assigned.ResetOutput(1, other, 0), 1);
  assigned = original;  // its own file goes: the name is the original's now
  assigned = assigned;
  assigned.WriteMsg(nullptr, 0x10, CGNString(), "assigned without a file");
  ToFile(assigned);
  assigned.WriteMsg(nullptr, 0x10, CGNString(), "assigned");
  EXPECT_EQ(FileLines(), (Lines{"original", "copy", "assigned"}));
  EXPECT_EQ(gnutil_test::ReadWholeFile(dir_.File("assigned.log")), "");
}

TEST(TraceFileLine, TextAndGlobalTrace) {
  EXPECT_STREQ(CGNTraceFileLine(42, "file.cpp"), "Line    42 in file.cpp");
  EXPECT_STREQ(CGNTraceFileLine(123456, "x"), "Line 123456 in x");
  EXPECT_STREQ(CGNTraceFileLine(-1, "neg.cpp"), "Line    -1 in neg.cpp");
  EXPECT_STREQ(CGNTraceFileLine(0, nullptr), "Line     0 in ");
  CGNTraceFileLine a(1, "a");
  CGNTraceFileLine b(a);
  EXPECT_STREQ(b, "Line     1 in a");
  b = CGNTraceFileLine(2, "b");
  EXPECT_STREQ(b, "Line     2 in b");

  CGNGlobalTrace* first = CGNGlobalTrace::Instance();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(CGNGlobalTrace::Instance(), first);
  EXPECT_EQ(CGNGlobalTrace::m_pInstance, first);
  first->ResetMask(3);
  EXPECT_EQ(first->IsEnabled(1), 0);  // created off
  CGNGlobalTrace::Free();
  EXPECT_EQ(CGNGlobalTrace::m_pInstance, nullptr);
  CGNGlobalTrace::Free();  // nothing left to free
  EXPECT_EQ(CGNGlobalTrace::Instance()->GetTraceSetting(), 0);
  CGNGlobalTrace::Free();
}

}  // namespace
