// The trace: mask rule, layouts, outputs, size cap, and two processes writing
// one file (this program started again as the writers; it has its own main,
// which keeps its path and the writer's settings).
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <future>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "gnutil/datetime.h"
#include "gnutil/gntrace.h"
#include "gnutil/osthread.h"
#include "support/stdout_capture.h"
#include "support/temp_dir.h"
#include "support/trace_file.h"

namespace {

constexpr const char* kDatePattern = "\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d :: ";
using Lines = std::vector<std::string>;

constexpr int kProcessLines = 5000;
std::string g_program, g_lastArgument;  // set by main

class TraceFile : public ::testing::Test {
 protected:
  // trace_ on this test's file, mask 1, no date.
  void Open(long maxSize = 0, char output = 1) {
    trace_.DisableDateTime();
    trace_.ResetMask(1);
    ASSERT_EQ(trace_.ResetOutput(output, name_, maxSize), 1);
  }
  void Write(const char* text) { trace_.WriteMsg(nullptr, 1, CGNString(), "%s", text); }
  Lines FileLines() { return gnutil_test::FileLines(path_); }

  // Runs two writer processes at once on the file; false when one failed.
  bool RunWriters(long cap) {
    auto run = [this, cap](int w) {
      return std::system((g_program +  // no quoting: no spaces
                          " --gtest_filter=TraceProcess.DISABLED_Writer"
                          " --gtest_also_run_disabled_tests --trace-writer=" +
                          std::to_string(w) + "," + std::to_string(cap) + "," + path_)
                             .c_str());
    };
    auto first = std::async(std::launch::async, run, 0);
    return run(1) == 0 && first.get() == 0;
  }

  gnutil_test::TempDir dir_{"gnutil-trace"};
  std::string path_ = dir_.File("trace.log");
  CGNString name_{path_.c_str()};
  CGNTrace trace_;
};

TEST_F(TraceFile, MaskRule) {
  // Written when the trace has all the message's bits or the message all the trace's.
  const struct {
    unsigned short traceMask, messageMask;
    bool written;
  } cases[] = {{0x0001, 0x0001, true},  {0x00F0, 0x0030, true},  {0x0001, 0xFF01, true},
               {0x0001, 0x0002, false}, {0x00F0, 0x0130, false}, {0x0000, 0x0001, false},
               {0x0001, 0x0000, false}, {0x8000, 0xFF01, true},  {0x8000, 0x7FFF, false},
               {0xFFFF, 0x8000, true}};  // the sign bit, either side
  gnutil_test::WriteWholeFile(path_, "earlier line\n");
  Open();
  Lines expected{"earlier line"};  // appended to
  for (int i = 0; i < static_cast<int>(sizeof cases / sizeof cases[0]); ++i) {
    trace_.ResetMask(static_cast<short>(cases[i].traceMask));
    trace_.WriteMsg(nullptr, static_cast<short>(cases[i].messageMask), CGNString(), "case %d", i);
    if (cases[i].written) expected.push_back("case " + std::to_string(i));
  }
  EXPECT_EQ(FileLines(), expected);
}

TEST_F(TraceFile, LayoutsInTheFileAndOnStandardOutput) {
  const struct {
    const char* label;
    bool where, fileLine, date;
    const char* line;  // @: the position
  } cases[] = {{"label", true, true, true, "label : value 7 of x@"},
               {"", true, true, true, "value 7 of x@"},
               {"label", false, true, true, "label : value 7 of x"},
               {"label", true, false, true, "label : value 7 of x"},
               {"label", true, true, false, "label : value 7 of x@"}};
  Open(0, 3);
  CGNTraceFileLine where(42, "src/main.cpp");
  time_t before = time(nullptr);
  gnutil_test::StdoutCapture captured;
  std::string file, out;
  for (const auto& c : cases) {
    trace_.ResetFileLine(c.fileLine);
    c.date ? trace_.EnableDateTime() : trace_.DisableDateTime();
    trace_.WriteMsg(c.where ? static_cast<const char*>(where) : nullptr, 1, CGNString(c.label),
                    c.line[0] == '@' ? "" : "value %d of %s", 7, "x");
    const std::string d = c.date ? kDatePattern : "";
    file += d + c.line + "\n";
    out += d + (c.label[0] == '\0' ? " : " : "") + c.line + "\n";  // " : " after an empty label
  }
  std::string shown = captured.Text();
  time_t after = time(nullptr);
  const std::string at = " : Line    42 in src/main.cpp";
  std::string text = gnutil_test::WithoutCR(gnutil_test::ReadWholeFile(path_));
  EXPECT_TRUE(std::regex_match(text, std::regex(std::regex_replace(file, std::regex("@"), at))))
      << text;
  EXPECT_TRUE(std::regex_match(shown, std::regex(std::regex_replace(out, std::regex("@"), at))))
      << shown;
  // The stamp is the local time of the moment of writing; unthreaded, no thread id.
  char earliest[64], latest[64];
  strftime(earliest, sizeof earliest, "%m/%d/%y %H:%M:%S :: ", localtime(&before));
  strftime(latest, sizeof latest, "%m/%d/%y %H:%M:%S :: ", localtime(&after));
  EXPECT_TRUE(text.compare(0, 21, earliest) == 0 || text.compare(0, 21, latest) == 0) << text;
  EXPECT_EQ(text.find("TID"), std::string::npos);  // threaded: see ExpectWriterLines
  // 2 alone closes the file and keeps the standard output; file output needs
  // an open file, which a name that cannot be opened does not give.
  EXPECT_EQ(trace_.ResetOutput(2), 1);
  EXPECT_EQ(trace_.ResetOutput(1), 0);
  CGNString bad(dir_.File("missing-dir/trace.log").c_str());
  EXPECT_EQ(trace_.ResetOutput(3, bad, 0), 0);
  char output = 9;
  trace_.GetOutput(&output, nullptr, nullptr);
  EXPECT_EQ(output, 2);
  EXPECT_EQ(trace_.ResetOutput(0), 1);
  EXPECT_EQ(trace_.IsEnabled(1), 0);
}

TEST_F(TraceFile, FileStartsAfreshAtTheCapAndAfterRotation) {
  gnutil_test::WriteWholeFile(path_, std::string(149, 'x') + "\n");
  Open(100);
  Write("first after the cap");
  EXPECT_EQ(FileLines(), Lines{"first after the cap"});
  // Below the cap lines are appended; the line that finds it reached (100
  // bytes exactly) starts the file afresh.
  std::string forty(39, 'y');
  Write(forty.c_str());
  Write(forty.c_str());
  EXPECT_EQ(FileLines().size(), 3u);
  Write("fresh");
  EXPECT_EQ(FileLines(), Lines{"fresh"});
  // A file rotated (renamed away) or removed behind the trace's back: the
  // next line is in a new file at the path.
  for (const char* how : {"rotated", "removed"}) {
    if (std::string(how) == "rotated")
      std::filesystem::rename(path_, path_ + ".1");
    else
      std::filesystem::remove(path_);
    Write(how);
    EXPECT_EQ(FileLines(), Lines{how});
  }
  EXPECT_EQ(gnutil_test::FileLines(path_ + ".1"), Lines{"fresh"});
}

TEST_F(TraceFile, LongMessagesAndTheResourceForm) {
  Open();
  std::string big(100000, 'm');
  trace_.WriteMsg(CGNTraceFileLine(1, nullptr), 1, CGNString("big"), "<%s>", big.c_str());
  trace_.WriteMsg(nullptr, 1, CGNString("res"), 7001L, "files", 3);
  trace_.WriteMsg(nullptr, 2, CGNString("res"), 7001L, "disabled", 4);
  trace_.WriteMsg(nullptr, 1, CGNString("res"), 7999L);  // no such string: empty message
  EXPECT_EQ(FileLines(),
            (Lines{"big : <" + big + "> : Line     1 in ", "res : count of files is 3", "res : "}));
}

// Run only as a writer process (--trace-writer=<writer>,<cap>,<file>).
TEST(TraceProcess, DISABLED_Writer) {
  const std::string& arg = g_lastArgument;
  int writer = -1, used = 0;
  long cap = 0;
  ASSERT_EQ(sscanf(arg.c_str(), "--trace-writer=%d,%ld,%n", &writer, &cap, &used), 2) << arg;
  const std::string path = arg.substr(used);
  OSSetThreaded();
  CGNDateTime::ModuleInit();
  CGNTrace trace;
  CGNString name(path.c_str()), label("w");
  ASSERT_EQ(trace.Init(), 1);
  ASSERT_EQ(trace.ResetOutput(1, name, cap), 1);
  trace.ResetMask(1);
  // Start together: each writer waits (a while at most) for the other.
  gnutil_test::WriteWholeFile(path + ".ready" + std::to_string(writer), "");
  const std::string other = path + ".ready" + std::to_string(1 - writer);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!gnutil_test::Exists(other) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
  }
  for (int j = 0; j < kProcessLines; ++j) {
    trace.WriteMsg(nullptr, 1, label, "%s", gnutil_test::TraceMessage(writer, j).c_str());
  }
}

// Two processes appending to one file lose no line and tear none, also when
// they empty it at the cap.
TEST_F(TraceFile, ProcessesWriteEveryLineWhole) {
  ASSERT_TRUE(RunWriters(0));
  gnutil_test::ExpectWriterLines(path_, 2, kProcessLines);
}

TEST_F(TraceFile, ProcessesReachingTheCapWriteEveryLineWhole) {
  ASSERT_TRUE(RunWriters(8192));
  gnutil_test::ExpectWriterLines(path_, 2, kProcessLines, true);
}

}  // namespace

// Defined here, the program's main is not taken from gtest_main.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  g_program = argv[0];
  g_lastArgument = argv[argc - 1];
  return RUN_ALL_TESTS();
}
