// Synchronous runs from several threads at once: every run gets a pipe of its
// own (names never collide, even within one millisecond) and its own output.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "gnutil/osprocess.h"

namespace {

const std::string kChild = GNUTIL_TEST_CHILD;

TEST(ProcessConcurrency, SimultaneousRunsKeepTheirOwnOutput) {
  constexpr int kThreads = 4;
  constexpr int kRuns = 6;
  std::vector<int> failures(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < kRuns; ++i) {
        CGNString output;
        long code = OSRunSyncProcess(
            CGNString((kChild + " hello " + std::to_string(10 + t)).c_str()), output);
        if (code != 10 + t || std::string(output) != "hello") ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
}

}  // namespace
