// Shared by the OS concurrency tests: real threads of the library's own
// (TestThread), the watchdog, and the check that a thread is held back by a
// lock until the lock is let go.
#ifndef GNUTIL_TESTS_SUPPORT_OS_THREADS_H
#define GNUTIL_TESTS_SUPPORT_OS_THREADS_H

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "support/thread_runner.h"
#include "support/watchdog.h"

namespace gnutil_test {

// How long a thread that should stay blocked is watched before we believe it.
constexpr std::chrono::milliseconds kStaysBlocked{100};

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
  if (!WaitUntil([&] { return in.load(); }))
    return ::testing::AssertionFailure() << "never came in";
  return ::testing::AssertionSuccess();
}

// Runs body(i) on n threads of the library's own and joins them all.
inline void RunThreads(int n, const std::function<void(int)>& body) {
  std::vector<std::unique_ptr<TestThread>> threads;
  for (int i = 0; i < n; ++i)
    threads.push_back(std::make_unique<TestThread>([&body, i] { body(i); }));
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_OS_THREADS_H
