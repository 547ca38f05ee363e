// The trace file when writes fail (a file size limit stands in for a full
// disk), and when another writer empties it at the cap.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <string>
#include <thread>

#include "gnutil/gntrace.h"
#include "support/stdout_capture.h"
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
  std::string path_ = dir_.File("trace.log");
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

// A writer that finds the file at the cap waits for the truncation lock (an
// advisory flock); when the writer that held it has emptied the file, it
// finds the file below the cap and keeps the line just written there. Here
// the test is that other writer, and waits until the kernel lists the trace's
// thread as waiting for its lock.
TEST_F(TraceFileErrors, WriterThatWaitedAtTheCapKeepsTheOtherWritersLine) {
  gnutil_test::WriteWholeFile(path_, std::string(99, 'x') + "\n");
  ASSERT_EQ(trace_.ResetOutput(1, name_, 100), 1);
  const int fd = open(path_.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  if (gnutil_test::ReadWholeFile("/proc/locks").empty()) {  // it lists ours at least
    close(fd);
    GTEST_SKIP() << "the kernel's list of locks cannot be read";
  }
  std::thread writer([this] { Write("waited"); });
  struct stat st;
  ASSERT_EQ(fstat(fd, &st), 0);
  // A waiter's line in the list: "-> FLOCK ... <device>:<inode> ...".
  const std::regex waiting("-> FLOCK[^\\n]*:" + std::to_string(st.st_ino) + " ");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (bool seen = false; !seen && std::chrono::steady_clock::now() < deadline;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    seen = std::regex_search(gnutil_test::ReadWholeFile("/proc/locks"), waiting);
  }
  EXPECT_EQ(ftruncate(fd, 0), 0);
  EXPECT_EQ(write(fd, "L : fresh\n", 10), 10);
  flock(fd, LOCK_UN);
  writer.join();
  close(fd);
  EXPECT_EQ(gnutil_test::ReadWholeFile(path_), "L : fresh\nL : waited\n");
}

// A named pipe as the trace file is refused at once, with or without a
// reader: opened, it would block the open without one, and raise SIGPIPE,
// which kills the program, on the first line after its reader went.
TEST_F(TraceFileErrors, NamedPipeIsRefusedAtOnce) {
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  for (const bool withReader : {true, false}) {
    int reader = withReader ? open(path_.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    EXPECT_EQ(trace_.ResetOutput(1, name_, 0), 0) << withReader;
    if (reader >= 0) close(reader);
    Write("after the reader went");
    char output = 9;
    trace_.GetOutput(&output, nullptr, nullptr);
    EXPECT_EQ(output, 0) << withReader;
  }
}

}  // namespace
