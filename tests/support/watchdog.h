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

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace gnutil_test {

class Watchdog : public ::testing::EmptyTestEventListener {
 public:
  Watchdog() : state_(std::make_shared<State>()) {
    const char* env = getenv("GNUTIL_TEST_WATCHDOG_SECONDS");
    if (env != nullptr && atoi(env) > 0) state_->seconds = atoi(env);
    // The thread shares the state, so it outlives the listener that gtest
    // deletes at exit.
    std::thread([state = state_] { Run(*state); }).detach();
  }

  void OnTestStart(const ::testing::TestInfo& info) override {
    std::lock_guard<std::mutex> hold(state_->lock);
    state_->name = std::string(info.test_suite_name()) + "." + info.name();
    state_->deadline = std::chrono::steady_clock::now() + std::chrono::seconds(state_->seconds);
    state_->armed = true;
    state_->wake.notify_all();
  }

  void OnTestEnd(const ::testing::TestInfo&) override {
    std::lock_guard<std::mutex> hold(state_->lock);
    state_->armed = false;
  }

 private:
  struct State {
    int seconds = 60;
    std::mutex lock;
    std::condition_variable wake;
    std::string name;
    std::chrono::steady_clock::time_point deadline;
    bool armed = false;
  };

  static void Run(State& s) {
    std::unique_lock<std::mutex> hold(s.lock);
    for (;;) {
      if (!s.armed) {
        s.wake.wait(hold);
        continue;
      }
      s.wake.wait_until(hold, s.deadline);
      if (s.armed && std::chrono::steady_clock::now() >= s.deadline) {
        fprintf(stderr, "WATCHDOG: %s still running after %d s: a thread is stuck (deadlock?)\n",
                s.name.c_str(), s.seconds);
        fflush(stderr);
        _Exit(3);
      }
    }
  }

  std::shared_ptr<State> state_;
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
