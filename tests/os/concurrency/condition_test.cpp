// Condition variables with real threads: counted wake-ups, no memory of a
// signal nobody waited for.
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "support/thread_runner.h"
#include "support/watchdog.h"

namespace {

using gnutil_test::TestThread;
using gnutil_test::WaitUntil;
using std::chrono::milliseconds;

constexpr milliseconds kStaysBlocked{100};

class ConditionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OSSetThreaded();
    mutex_ = OSMutexCreate();
    condition_ = OSConditionCreate();
    ASSERT_NE(mutex_, nullptr);
    ASSERT_NE(condition_, nullptr);
  }
  void TearDown() override {
    OSConditionDestroy(condition_);
    OSMutexDestroy(mutex_);
  }

  // Starts n threads that each wait once; `waiting` counts those inside the
  // wait, `woken` those that came back.
  void StartWaiters(int n, std::vector<std::unique_ptr<TestThread>>& threads) {
    const int target = waiting_ + n;
    for (int i = 0; i < n; ++i) {
      threads.push_back(std::make_unique<TestThread>([this] {
        OSMutexWait(mutex_);
        ++waiting_;
        OSConditionWait(condition_, mutex_);
        ++woken_;
        EXPECT_EQ(OSMutexWaitIsPresentThisThread(mutex_), 1) << "woken without the mutex";
        OSMutexRelease(mutex_);
      }));
    }
    // A waiter counts itself under the mutex and is registered with the
    // condition before it lets the mutex go: once we can take the mutex and
    // see all n, they are all waiting.
    ASSERT_TRUE(WaitUntil([&] {
      OSMutexWait(mutex_);
      bool all = waiting_ == target;
      OSMutexRelease(mutex_);
      return all;
    }));
  }

  _osmutex* mutex_ = nullptr;
  _oscondition* condition_ = nullptr;
  std::atomic<int> waiting_{0};
  std::atomic<int> woken_{0};
};

TEST_F(ConditionTest, SignalWithNoWaiterIsNotRemembered) {
  OSConditionSignal(condition_);
  OSConditionBroadcast(condition_);
  std::vector<std::unique_ptr<TestThread>> threads;
  StartWaiters(1, threads);
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_EQ(woken_, 0) << "an earlier signal woke a later waiter";
  OSConditionSignal(condition_);
  EXPECT_TRUE(WaitUntil([&] { return woken_ == 1; }));
}

TEST_F(ConditionTest, SignalWakesOneAndBroadcastWakesTheRest) {
  std::vector<std::unique_ptr<TestThread>> threads;
  StartWaiters(4, threads);
  OSConditionSignal(condition_);
  ASSERT_TRUE(WaitUntil([&] { return woken_ == 1; }));
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_EQ(woken_, 1) << "one signal woke more than one waiter";
  OSConditionBroadcast(condition_);
  EXPECT_TRUE(WaitUntil([&] { return woken_ == 4; }));
}

TEST_F(ConditionTest, BroadcastWakesEveryWaiter) {
  std::vector<std::unique_ptr<TestThread>> threads;
  StartWaiters(6, threads);
  OSConditionBroadcast(condition_);
  EXPECT_TRUE(WaitUntil([&] { return woken_ == 6; }));
  // The count went back to zero: the next signal is not remembered either.
  OSConditionSignal(condition_);
  std::vector<std::unique_ptr<TestThread>> late;
  StartWaiters(1, late);
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_EQ(woken_, 6);
  OSConditionSignal(condition_);
  EXPECT_TRUE(WaitUntil([&] { return woken_ == 7; }));
}

// A bounded queue: producers and consumers wait on one condition each. The
// queue length stays within bounds under the mutex and nothing is lost.
TEST_F(ConditionTest, StressProducersAndConsumers) {
  _oscondition* notFull = OSConditionCreate();
  constexpr int kCapacity = 4, kPerProducer = 1000, kProducers = 3, kConsumers = 3;
  int queued = 0;
  long produced = 0, consumed = 0;
  std::atomic<int> violations{0};
  {
    std::vector<std::unique_ptr<TestThread>> threads;
    for (int p = 0; p < kProducers; ++p) {
      threads.push_back(std::make_unique<TestThread>([&] {
        for (int i = 0; i < kPerProducer; ++i) {
          OSMutexWait(mutex_);
          while (queued == kCapacity) OSConditionWait(notFull, mutex_);
          ++queued;
          ++produced;
          OSConditionSignal(condition_);
          OSMutexRelease(mutex_);
        }
      }));
    }
    for (int c = 0; c < kConsumers; ++c) {
      threads.push_back(std::make_unique<TestThread>([&] {
        for (int i = 0; i < kPerProducer * kProducers / kConsumers; ++i) {
          OSMutexWait(mutex_);
          while (queued == 0) OSConditionWait(condition_, mutex_);
          if (queued < 1 || queued > kCapacity) ++violations;
          --queued;
          ++consumed;
          OSConditionSignal(notFull);
          OSMutexRelease(mutex_);
        }
      }));
    }
  }
  OSConditionDestroy(notFull);
  EXPECT_EQ(violations, 0);
  EXPECT_EQ(produced, kPerProducer * kProducers);
  EXPECT_EQ(consumed, produced);
  EXPECT_EQ(queued, 0);
}

}  // namespace
