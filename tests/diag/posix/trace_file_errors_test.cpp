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
  void Write(const char* text) { trace_.WriteMsg(nullptr, 1, CGNString(), "%s", text); }
  // Runs write with room for only `room` bytes in files (as on a full disk).
  template <typename F>
  void WithFileLimit(rlim_t room, F write) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = room;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    write();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);
  }

  gnutil_test::TempDir dir_{"gnutil-trace-errors"};
  CGNTrace trace_;
};

TEST_F(TraceFileErrors, ShortWriteNeverJoinsTheNextLine) {
  const std::string path = dir_.File("full.log");
  CGNString name(path.c_str());
  ASSERT_EQ(trace_.ResetOutput(1, name, 0), 1);
  Write("first line");
  // The process may write 5 more bytes to files: the next line stops short
  // and its line end does not fit either; the one after is refused whole.
  WithFileLimit(11 + 5, [&] {
    Write("second line, cut");
    Write("third line, refused");
  });
  Write("fourth line");
  Write("fifth line");
  EXPECT_EQ(gnutil_test::ReadWholeFile(path), "first line\nsecon\nfourth line\nfifth line\n");
}

TEST_F(TraceFileErrors, CutLineEndedAtOnceWhenRoomRemains) {
  const std::string path = dir_.File("room.log");
  CGNString name(path.c_str());
  ASSERT_EQ(trace_.ResetOutput(1, name, 0), 1);
  // A line longer than what is left, then a short one that fits: the cut
  // piece must still end before the short line begins.
  WithFileLimit(8, [&] { Write("abcdefghijklmnop"); });
  Write("ok");
  EXPECT_EQ(gnutil_test::ReadWholeFile(path), "abcdefgh\nok\n");
}

TEST_F(TraceFileErrors, DeviceWithoutRoomIsIgnored) {
  CGNString full("/dev/full");
  ASSERT_EQ(trace_.ResetOutput(3, full, 0), 1);
  ::testing::internal::CaptureStdout();
  Write("lost in the file, shown on the output");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), " : lost in the file, shown on the output\n");
}

TEST_F(TraceFileErrors, FileThatCannotBeReopenedAtTheCapStopsFileOutput) {
  const std::string sub = dir_.File("sub");
  ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
  const std::string path = sub + "/capped.log";
  CGNString name(path.c_str());
  ASSERT_EQ(trace_.ResetOutput(1, name, 10), 1);
  Write("past the cap already");
  // The directory goes: the file cannot be made again when the cap is hit.
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
  EXPECT_EQ(gnutil_test::ReadWholeFile(path), "back\n");
}

}  // namespace
