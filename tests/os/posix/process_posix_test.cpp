// Linux counterparts of the process functions: the command-line splitter,
// children that never become zombies, other children's statuses left alone.
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "gnutil/osprocess.h"
#include "os/process_internal.h"
#include "platform/posix/cmdline.h"
#include "support/cmdline_cases.h"

namespace {

const std::string kChild = GNUTIL_TEST_CHILD;

TEST(CommandLine, SplitsAsWindowsDoes) {
  for (const auto& c : gnutil_test::CommandLineCases()) {
    EXPECT_EQ(gnutil::platform::SplitCommandLine(c.line), c.args) << c.line;
  }
  EXPECT_TRUE(gnutil::platform::SplitCommandLine(" \t ").empty());
  EXPECT_EQ(gnutil::platform::SplitCommandLine("  prog a"),
            (std::vector<std::string>{"prog", "a"}));
}

// Waits up to five seconds until no child of this process has ended without
// being waited for (WNOWAIT: looking does not reap it).
bool NoZombiesSoon() {
  for (int i = 0; i < 500; ++i) {
    siginfo_t info{};
    if (waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(ProcessPosix, NoChildIsLeftAZombie) {
  CGNString error, output;
  ASSERT_EQ(OSRunAsyncProcess(CGNString((kChild + " hello 0").c_str()), error), 1);
  EXPECT_EQ(OSRunSyncProcess(CGNString((kChild + " hello 4").c_str()), output), 4);
  EXPECT_EQ(OSRunAsyncProcess(CGNString("gnutil-no-such-program-xyz"), error), 0);
  EXPECT_EQ(OSRunSyncProcess(CGNString("gnutil-no-such-program-xyz"), output), 1);
  // A child killed by a signal ends with 128 + the signal, as in a shell.
  EXPECT_EQ(OSRunSyncProcess(CGNString("sh -c \"kill -KILL $$\""), output), 128 + 9);
  EXPECT_EQ(OSRunSyncProcess(CGNString((kChild + " burst 300000").c_str()), output), 0);
  // One that outlives the window: it is still waited for when it ends.
  gnutil::SetSyncProcessWindowMsForTesting(100);
  EXPECT_EQ(OSRunSyncProcess(CGNString((kChild + " sleep 600 x").c_str()), output), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  EXPECT_TRUE(NoZombiesSoon()) << "a child was left a zombie";
}

// A child that writes without end: the call keeps to its window, or stops
// when the output reaches the most it may keep (the window is then longer
// than CTest's timeout), and never throws.
TEST(ProcessPosix, EndlessWriterKeepsToTheWindowAndTheLimit) {
  const struct {
    const char* name;
    unsigned long window_ms;
    size_t limit;
  } cases[] = {
      {.name = "window", .window_ms = 300, .limit = SIZE_MAX},
      {.name = "limit", .window_ms = 200000, .limit = 1 << 20},
  };
  for (const auto& c : cases) {
    gnutil::SetSyncProcessWindowMsForTesting(c.window_ms);
    gnutil::SetSyncProcessOutputLimitForTesting(c.limit);
    CGNString output("kept ");
    EXPECT_EQ(OSRunSyncProcess(CGNString("yes"), output), 1) << c.name;
    EXPECT_LE(output.GetLength(), c.limit) << c.name;
    EXPECT_EQ(std::string(output).substr(0, 7), "kept y\n") << c.name;
  }
}

TEST(ProcessPosix, OtherChildrenKeepTheirStatus) {
  pid_t mine = fork();
  ASSERT_GE(mine, 0);
  if (mine == 0) _exit(7);
  CGNString error, output;
  ASSERT_EQ(OSRunAsyncProcess(CGNString((kChild + " hello 0").c_str()), error), 1);
  OSRunSyncProcess(CGNString((kChild + " hello 0").c_str()), output);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  int status = 0;
  ASSERT_EQ(waitpid(mine, &status, 0), mine) << "the library took this child's status";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 7);
}

TEST(ProcessPosix, MissingProgramsGiveTheSystemsTextChildrenANewGroup) {
  CGNString error, output;
  EXPECT_EQ(OSRunAsyncProcess(CGNString("gnutil-no-such-program-xyz a b"), error), 0);
  EXPECT_STREQ(error, "No such file or directory");
  ASSERT_EQ(OSRunSyncProcess(CGNString("sh -c \"cut -d' ' -f5 /proc/self/stat\""), output), 0);
  EXPECT_NE(atol(output), static_cast<long>(getpgrp()));
}

}  // namespace
