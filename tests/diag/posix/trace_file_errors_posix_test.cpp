// The trace file when writes fail (a file size limit stands in for a full disk).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "gnutil/gntrace.h"
#include "support/stdout_capture.h"
#include "support/temp_dir.h"

namespace {

class TraceFileErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(mkdir(sub_.c_str(), 0700), 0);
    trace_.DisableDateTime();
    trace_.ResetMask(1);
  }
  void Write(const char* text) { trace_.WriteMsg(nullptr, 1, CGNString("L"), "%s", text); }

  gnutil_test::TempDir dir_{"gnutil-trace-errors"};
  std::string sub_ = dir_.File("sub");
  std::string path_ = sub_ + "/trace.log";
  CGNString name_{path_.c_str()};
  CGNTrace trace_;
};

TEST_F(TraceFileErrors, ShortWriteNeverJoinsTheNextLine) {
  // Far enough into the file that the captured standard output stays below the limit.
  const std::string earlier = std::string(999, 'x') + "\n";
  gnutil_test::WriteWholeFile(path_, earlier);
  ASSERT_EQ(trace_.ResetOutput(3, name_, 0), 1);
  gnutil_test::StdoutCapture captured;
  Write("first");
  // Room for 5 more bytes: the next line stops short and its line end does
  // not fit either; the one after is refused whole. The standard output
  // shows every line, without the file's pending line end.
  signal(SIGXFSZ, SIG_IGN);
  rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = {earlier.size() + 10 + 5, saved.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  Write("second, cut");
  Write("third, refused");
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
  Write("fourth");
  Write("fifth");
  EXPECT_EQ(gnutil_test::ReadWholeFile(path_),
            earlier + "L : first\nL : s\nL : fourth\nL : fifth\n");
  EXPECT_EQ(captured.Text(),
            "L : first\nL : second, cut\nL : third, refused\nL : fourth\nL : fifth\n");
}

TEST_F(TraceFileErrors, FileThatCannotBeReopenedAtTheCapStopsFileOutput) {
  ASSERT_EQ(trace_.ResetOutput(1, name_, 10), 1);
  Write("past the cap already");
  ASSERT_EQ(unlink(path_.c_str()), 0);
  ASSERT_EQ(rmdir(sub_.c_str()), 0);
  Write("cannot reopen");
  char output = 0;
  trace_.GetOutput(&output, nullptr, nullptr);
  EXPECT_EQ(output, 1);                 // still asked for ...
  EXPECT_EQ(trace_.ResetOutput(1), 0);  // ... but no file is open
  ASSERT_EQ(mkdir(sub_.c_str(), 0700), 0);
  Write("dropped");
  ASSERT_EQ(trace_.ResetOutput(1, name_, 10), 1);
  Write("back");
  EXPECT_EQ(gnutil_test::ReadWholeFile(path_), "L : back\n");
}

// A named pipe as the trace file is refused at once, with or without a
// reader: opened, it would block the open without one, and raise SIGPIPE,
// which kills the program, on the first line after its reader went.
TEST_F(TraceFileErrors, NamedPipeIsRefusedAtOnce) {
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  const struct {
    const char* name;
    bool reader;
  } cases[] = {{.name = "with a reader", .reader = true},
               {.name = "without a reader", .reader = false}};
  for (const auto& c : cases) {
    int reader = c.reader ? open(path_.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    EXPECT_EQ(trace_.ResetOutput(1, name_, 0), 0) << c.name;
    if (reader >= 0) close(reader);
    Write("after the reader went");
    char output = 9;
    trace_.GetOutput(&output, nullptr, nullptr);
    EXPECT_EQ(output, 0) << c.name;
  }
}

}  // namespace
