// For the OS concurrency tests: bounded waits (a deadlock is left to CTest's
// per-test timeout), and the check that a lock holds a thread back.
#ifndef GNUTIL_TESTS_SUPPORT_OS_THREADS_H
#define GNUTIL_TESTS_SUPPORT_OS_THREADS_H

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/thread_runner.h"

namespace gnutil_test {

// How long a thread that should stay blocked is watched before we believe it.
constexpr std::chrono::milliseconds kStaysBlocked{100};

// Polls pred until it holds or timeout passes; the result of the last poll.
template <typename Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  auto end = std::chrono::steady_clock::now() + timeout;
  while (!pred()) {
    if (std::chrono::steady_clock::now() >= end) return pred();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Runs enter() then leave() on another thread: success when that thread has
// not come through enter() after kStaysBlocked, and does once open() has run.
inline ::testing::AssertionResult StaysOutUntil(const std::function<void()>& open,
                                                const std::function<void()>& enter,
                                                const std::function<void()>& leave) {
  std::atomic<bool> in{false};
  TestThread other([&] {
    enter();
    in = true;
    leave();
  });
  std::this_thread::sleep_for(kStaysBlocked);
  if (in) return ::testing::AssertionFailure() << "came in while it should have waited";
  open();
  if (WaitUntil([&] { return in.load(); })) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "never came in";
}

// Names the runs of a test with threads off (false) and on (true).
inline std::string ModeName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "Threaded" : "Unthreaded";
}

// Runs body(i) on n threads of the library's own and joins them all.
inline void RunThreads(int n, const std::function<void(int)>& body) {
  std::vector<std::unique_ptr<TestThread>> threads;
  for (int i = 0; i < n; ++i)
    threads.push_back(std::make_unique<TestThread>([&body, i] { body(i); }));
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_OS_THREADS_H
