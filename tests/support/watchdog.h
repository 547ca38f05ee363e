// A watchdog for tests that run real threads: a deadlock must fail the test
// with a clear message instead of hanging the run until CTest kills it.
//
// Including this header arms a listener that gives every test a deadline
// (GNUTIL_TEST_WATCHDOG_SECONDS, default 60). A test still running when it
// passes is reported on stderr and the process ends with exit code 3; since
// every test runs in its own process, only that test fails.
//
// Also here: WaitUntil, the bounded wait that tests use instead of sleeping.
#ifndef GNUTIL_TESTS_SUPPORT_WATCHDOG_H
#define GNUTIL_TESTS_SUPPORT_WATCHDOG_H

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace gnutil_test {

class Watchdog : public ::testing::EmptyTestEventListener {
 public:
  // One sleeping thread per test: it fires only if its test is the one
  // still running. The counter is static, so it outlives the listener.
  void OnTestStart(const ::testing::TestInfo& info) override {
    const char* env = getenv("GNUTIL_TEST_WATCHDOG_SECONDS");
    const int seconds = env != nullptr && atoi(env) > 0 ? atoi(env) : 60;
    const int test = ++started_;
    running_ = test;
    std::string name = std::string(info.test_suite_name()) + "." + info.name();
    std::thread([=] {
      std::this_thread::sleep_for(std::chrono::seconds(seconds));
      if (running_ != test) return;
      fprintf(stderr, "WATCHDOG: %s still running after %d s: a thread is stuck (deadlock?)\n",
              name.c_str(), seconds);
      fflush(stderr);
      _Exit(3);
    }).detach();
  }
  void OnTestEnd(const ::testing::TestInfo&) override { running_ = 0; }

 private:
  static inline std::atomic<int> started_{0}, running_{0};  // tests started, the one running
};

inline const bool kWatchdogInstalled = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
  return true;
}();

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

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_WATCHDOG_H
