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
  // A message is written when the trace enables all of its bits, or when it
  // carries all of the trace's bits; never with no output, mask or category.
  const struct {
    unsigned short traceMask;
    char output;
    unsigned short messageMask;
    bool written;
  } cases[] = {{0x0001, 1, 0x0001, true},  {0x00F0, 1, 0x0030, true},  {0x0001, 1, 0xFF01, true},
               {0x0001, 1, 0x0002, false}, {0x00F0, 1, 0x0130, false}, {0x0000, 1, 0x0001, false},
               {0x0001, 0, 0x0001, false}, {0x0001, 1, 0x0000, false}, {0x8000, 1, 0xFF01, true},
               {0x8000, 1, 0x7FFF, false},  // the sign bit
               {0x0003, 3, 0x0002, true}};
  Lines expected;
  for (int i = 0; i < static_cast<int>(sizeof cases / sizeof cases[0]); ++i) {
    const auto& c = cases[i];
    CGNTrace trace;
    trace.DisableDateTime();
    if (c.output != 0) ToFile(trace, 0, c.output);
    trace.ResetMask(static_cast<short>(c.traceMask));
    EXPECT_EQ(trace.IsEnabled(static_cast<short>(c.messageMask)), c.written ? 1 : 0) << i;
    ::testing::internal::CaptureStdout();
    trace.WriteMsg(nullptr, static_cast<short>(c.messageMask), CGNString(), "case %d", i);
    EXPECT_EQ(::testing::internal::GetCapturedStdout().empty(), !(c.written && (c.output & 2)));
    if (c.written && (c.output & 1)) expected.push_back("case " + std::to_string(i));
  }
  EXPECT_EQ(FileLines(), expected);
}

TEST_F(TraceFile, LayoutsInTheFileAndOnStandardOutput) {
  // The standard output differs only after an empty label: it writes " : ".
  const struct {
    const char* label;
    bool where, fileLine, date;
    const char *file, *out;
  } cases[] = {{"label", true, true, true, "label : value 7 of x@", nullptr},
               {"", true, true, true, "value 7 of x@", " : value 7 of x@"},
               {"label", false, true, true, "label : value 7 of x", nullptr},
               {"label", true, false, true, "label : value 7 of x", nullptr},
               {"label", true, true, false, "label : value 7 of x@", nullptr},
               {"", true, true, true, "@", " : @"}};
  CGNTrace trace;
  ToFile(trace, 0, 3);
  trace.ResetMask(1);
  CGNTraceFileLine where(42, "src/main.cpp");
  time_t before = time(nullptr);
  ::testing::internal::CaptureStdout();
  std::string file, out;
  for (const auto& c : cases) {
    trace.ResetFileLine(c.fileLine);
    c.date ? trace.EnableDateTime() : trace.DisableDateTime();
    trace.WriteMsg(c.where ? static_cast<const char*>(where) : nullptr, 1, CGNString(c.label),
                   c.file[0] == '@' ? "" : "value %d of %s", 7, "x");
    const std::string d = c.date ? kDatePattern : "";
    file += d + c.file + "\n";
    out += d + (c.out != nullptr ? c.out : c.file) + "\n";
  }
  std::string shown = ::testing::internal::GetCapturedStdout();
  time_t after = time(nullptr);
  const std::string at = " : Line    42 in src/main.cpp";
  std::string text = Text();
  EXPECT_TRUE(std::regex_match(text, std::regex(std::regex_replace(file, std::regex("@"), at))))
      << text;
  EXPECT_TRUE(std::regex_match(shown, std::regex(std::regex_replace(out, std::regex("@"), at))))
      << shown;
  // The stamp is the local time of the moment of writing; unthreaded, no thread id.
  char earliest[64], latest[64];
  strftime(earliest, sizeof earliest, "%m/%d/%y %H:%M:%S :: ", localtime(&before));
  strftime(latest, sizeof latest, "%m/%d/%y %H:%M:%S :: ", localtime(&after));
  EXPECT_TRUE(text.compare(0, 21, earliest) == 0 || text.compare(0, 21, latest) == 0) << text;
  EXPECT_EQ(text.find("TID"), std::string::npos);
  // A threaded process puts the thread id after the date.
  OSSetThreaded();
  ::testing::internal::CaptureStdout();
  trace.WriteMsg(nullptr, 1, CGNString("t"), "threaded");
  shown = ::testing::internal::GetCapturedStdout();
  const std::string threaded = std::string(kDatePattern) + "TID " +
                               std::to_string(static_cast<int>(OSGetCurrentThreadID())) +
                               " :: t : threaded";
  EXPECT_TRUE(std::regex_match(FileLines().back(), std::regex(threaded))) << FileLines().back();
  EXPECT_TRUE(std::regex_match(shown, std::regex(threaded + "\n"))) << shown;
}

TEST_F(TraceFile, OutputsAndFiles) {
  gnutil_test::WriteWholeFile(path_, "earlier line\n");
  CGNTrace trace;
  trace.DisableDateTime();
  trace.ResetMask(1);
  EXPECT_EQ("0  0", Output(trace));
  EXPECT_EQ(trace.ResetOutput(1), 0);  // file output needs an open file
  EXPECT_EQ("0  0", Output(trace));
  CGNString bad(dir_.File("missing-dir/trace.log").c_str());
  EXPECT_EQ(trace.ResetOutput(1, bad, 0), 0);
  EXPECT_EQ(trace.ResetOutput(1), 0);
  ToFile(trace, 500);
  EXPECT_EQ("1 " + path_ + " 500", Output(trace));
  trace.WriteMsg(nullptr, 1, CGNString(), "appended");
  ToFile(trace, 700);  // the same file again: only the settings change
  EXPECT_EQ("1 " + path_ + " 700", Output(trace));
  CGNString other(dir_.File("other.log").c_str());
  ASSERT_EQ(trace.ResetOutput(1, other, 0), 1);
  trace.WriteMsg(nullptr, 1, CGNString(), "elsewhere");
  ToFile(trace);
  trace.WriteMsg(nullptr, 1, CGNString(), "back");
  EXPECT_EQ(Text(), "earlier line\nappended\nback\n");
  EXPECT_EQ(gnutil_test::WithoutCR(gnutil_test::ReadWholeFile(dir_.File("other.log"))),
            "elsewhere\n");
  // 0 closes the file and clears the name and the cap; 2 alone does the same
  // and keeps the standard output.
  EXPECT_EQ(trace.ResetOutput(0), 1);
  EXPECT_EQ("0  0", Output(trace));
  EXPECT_EQ(trace.ResetOutput(1), 0);
  ToFile(trace, 100, 3);
  EXPECT_EQ(trace.ResetOutput(2), 1);
  EXPECT_EQ("2  0", Output(trace));
}

TEST_F(TraceFile, SizeCapEmptiesTheFileFirst) {
  gnutil_test::WriteWholeFile(path_, std::string(149, 'x') + "\n");
  CGNTrace trace;
  trace.DisableDateTime();
  ToFile(trace, 100);
  trace.ResetMask(1);
  trace.WriteMsg(nullptr, 1, CGNString(), "first after the cap");
  EXPECT_EQ(Text(), "first after the cap\n");
  // Below the cap lines are appended; the line that finds it reached (100
  // bytes exactly) starts the file afresh.
  std::string forty(39, 'y');
  trace.WriteMsg(nullptr, 1, CGNString(), "%s", forty.c_str());
  trace.WriteMsg(nullptr, 1, CGNString(), "%s", forty.c_str());
  EXPECT_EQ(FileLines().size(), 3u);
  trace.WriteMsg(nullptr, 1, CGNString(), "fresh");
  EXPECT_EQ(Text(), "fresh\n");
  trace.ResetSize(0);  // no cap: the file grows
  for (int i = 0; i < 3; ++i) trace.WriteMsg(nullptr, 1, CGNString(), "%s", forty.c_str());
  EXPECT_EQ(FileLines().size(), 4u);
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
  ToFile(copy, 4000);  // the same name, but its own ResetOutput opens the file
  copy.WriteMsg(nullptr, 0x10, CGNString(), "copy");
  CGNTrace assigned;
  ASSERT_EQ(assigned.Init(), 1);
  CGNString other(dir_.File("assigned.log").c_str());
  ASSERT_EQ(assigned.ResetOutput(1, other, 0), 1);
  assigned = original;  // its own file goes: the name is the original's now
  assigned = assigned;
  assigned.WriteMsg(nullptr, 0x10, CGNString(), "assigned without a file");
  EXPECT_EQ(FileLines(), (Lines{"original", "copy"}));
  EXPECT_EQ(gnutil_test::ReadWholeFile(dir_.File("assigned.log")), "");
}

TEST(TraceFileLine, TextAndGlobalTrace) {
  EXPECT_STREQ(CGNTraceFileLine(42, "file.cpp"), "Line    42 in file.cpp");
  EXPECT_STREQ(CGNTraceFileLine(123456, "x"), "Line 123456 in x");
  EXPECT_STREQ(CGNTraceFileLine(0, nullptr), "Line     0 in ");
  CGNTraceFileLine a(1, "a");
  EXPECT_STREQ(CGNTraceFileLine(a), "Line     1 in a");

  CGNGlobalTrace* first = CGNGlobalTrace::Instance();
  EXPECT_EQ(CGNGlobalTrace::Instance(), first);
  first->ResetMask(3);
  EXPECT_EQ(first->IsEnabled(1), 0);  // created off
  CGNGlobalTrace::Free();
  EXPECT_EQ(CGNGlobalTrace::m_pInstance, nullptr);
  CGNGlobalTrace::Free();  // nothing left to free
  EXPECT_EQ(CGNGlobalTrace::Instance()->GetTraceSetting(), 0);
  CGNGlobalTrace::Free();
}

}  // namespace
