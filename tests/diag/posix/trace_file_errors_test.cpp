// The trace file when writes fail (a file size limit stands in for a full disk).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "gnutil/gntrace.h"
#include "support/temp_dir.h"

namespace {

class TraceFileErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    trace_.DisableDateTime();
    trace_.ResetMask(1);
  }
  void Write(const char* text) { trace_.WriteMsg(nullptr, 1, CGNString("L"), "%s", text); }

  gnutil_test::TempDir dir_{"gnutil-trace-errors"};
  CGNTrace trace_;
};

TEST_F(TraceFileErrors, ShortWriteNeverJoinsTheNextLine) {
  const std::string path = dir_.File("full.log");
  // Far enough into the file that the captured standard output stays below the limit.
  const std::string earlier = std::string(999, 'x') + "\n";
  gnutil_test::WriteWholeFile(path, earlier);
  CGNString name(path.c_str());
  ASSERT_EQ(trace_.ResetOutput(3, name, 0), 1);
  ::testing::internal::CaptureStdout();
  Write("first");
  // Room for 5 more bytes: the next line stops short and its line end does
  // not fit either; the one after is refused whole. The standard output
  // shows every line, without the file's pending line end.
  signal(SIGXFSZ, SIG_IGN);
  rlimit saved, limited;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  limited = saved;
  limited.rlim_cur = earlier.size() + 10 + 5;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  Write("second, cut");
  Write("third, refused");
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
  Write("fourth");
  Write("fifth");
  EXPECT_EQ(gnutil_test::ReadWholeFile(path),
            earlier + "L : first\nL : s\nL : fourth\nL : fifth\n");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "L : first\nL : second, cut\nL : third, refused\nL : fourth\nL : fifth\n");
}

TEST_F(TraceFileErrors, FileThatCannotBeReopenedAtTheCapStopsFileOutput) {
  const std::string sub = dir_.File("sub");
  ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
  const std::string path = sub + "/capped.log";
  CGNString name(path.c_str());
  ASSERT_EQ(trace_.ResetOutput(1, name, 10), 1);
  Write("past the cap already");
  ASSERT_EQ(unlink(path.c_str()), 0);
  ASSERT_EQ(rmdir(sub.c_str()), 0);
  Write("cannot reopen");
  char output = 0;
  trace_.GetOutput(&output, nullptr, nullptr);
  EXPECT_EQ(output, 1);                 // still asked for ...
  EXPECT_EQ(trace_.ResetOutput(1), 0);  // ... but no file is open
  ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
  Write("dropped");
  ASSERT_EQ(trace_.ResetOutput(1, name, 10), 1);
  Write("back");
  EXPECT_EQ(gnutil_test::ReadWholeFile(path), "L : back\n");
}

}  // namespace
