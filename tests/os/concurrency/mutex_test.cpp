// Recursive mutexes and the held-mutex table, with real threads.
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/thread_runner.h"
#include "support/watchdog.h"

namespace {

using gnutil_test::TestThread;
using gnutil_test::WaitUntil;
using std::chrono::milliseconds;

// How long a thread that should stay blocked is watched before we believe it.
constexpr milliseconds kStaysBlocked{100};

struct Mutex {
  _osmutex* m = OSMutexCreate();
  ~Mutex() { OSMutexDestroy(m); }
};

class MutexTest : public ::testing::Test {
 protected:
  void SetUp() override { OSSetThreaded(); }
};

TEST_F(MutexTest, RecursionDepthIsKeptUntilTheLastRelease) {
  Mutex a;
  OSMutexWait(a.m);
  OSMutexWait(a.m);
  OSMutexRelease(a.m);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(a.m), 1);

  std::atomic<bool> got{false};
  TestThread other([&] {
    OSMutexWait(a.m);
    got = true;
    EXPECT_EQ(OSMutexWaitIsPresentThisThread(a.m), 1);
    OSMutexRelease(a.m);
    EXPECT_EQ(OSMutexWaitIsPresentThisThread(a.m), 0);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(got) << "one release of two must not free the mutex";
  OSMutexRelease(a.m);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(a.m), 0);
  EXPECT_TRUE(WaitUntil([&] { return got.load(); }));
}

TEST_F(MutexTest, RemoveThisThreadReleasesEveryLevelOfEveryMutex) {
  Mutex a, b, untouched;
  OSMutexWait(a.m);
  OSMutexWait(a.m);
  OSMutexWait(b.m);
  OSMutexWaitRemoveThisThread();
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(a.m), 0);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(b.m), 0);

  // Another thread can now take both, and a later remove-all on this thread
  // has nothing left to release.
  TestThread other([&] {
    OSMutexWait(a.m);
    OSMutexWait(b.m);
    OSMutexWaitRemoveThisThread();
  });
  other.Join();
  EXPECT_TRUE(other.finished());
  OSMutexWaitRemoveThisThread();
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(untouched.m), 0);
}

TEST_F(MutexTest, HoldingsArePerThread) {
  Mutex a;
  OSMutexWait(a.m);
  std::atomic<int> seen{-1};
  TestThread other([&] { seen = OSMutexWaitIsPresentThisThread(a.m); });
  other.Join();
  EXPECT_EQ(seen, 0);
  OSMutexRelease(a.m);
}

// Threads whose ids fall into the same bucket of the held-mutex table must
// neither see nor release each other's mutexes.
TEST_F(MutexTest, ThreadInTheSameBucketKeepsItsOwnHoldings) {
  Mutex mine, theirs;
  OSMutexWait(mine.m);
  const unsigned long bucket = OSGetCurrentThreadID() % 211;
  std::atomic<bool> found{false};
  for (int attempt = 0; attempt < 3000 && !found; ++attempt) {
    TestThread probe([&] {
      if (OSGetCurrentThreadID() % 211 != bucket) return;
      found = true;
      EXPECT_EQ(OSMutexWaitIsPresentThisThread(mine.m), 0);
      OSMutexWait(theirs.m);
      OSMutexWaitRemoveThisThread();
      EXPECT_EQ(OSMutexWaitIsPresentThisThread(theirs.m), 0);
    });
  }
  if (!found) GTEST_SKIP() << "no thread id fell into this thread's bucket";
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(mine.m), 1);
  std::atomic<bool> got{false};
  TestThread other([&] {
    OSMutexWait(mine.m);
    got = true;
    OSMutexRelease(mine.m);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(got) << "the neighbour's remove-all released this thread's mutex";
  OSMutexRelease(mine.m);
  EXPECT_TRUE(WaitUntil([&] { return got.load(); }));
}

TEST_F(MutexTest, ReleaseByAThreadThatDoesNotOwnItIsRefusedAndReported) {
  Mutex a;
  OSMutexWait(a.m);
  testing::internal::CaptureStdout();
  TestThread other([&] { OSMutexRelease(a.m); });
  other.Join();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(std::regex_match(out, std::regex("Error [0-9a-f]+\n"))) << out;
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(a.m), 1);

  std::atomic<bool> got{false};
  TestThread waiter([&] {
    OSMutexWait(a.m);
    got = true;
    OSMutexRelease(a.m);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(got) << "the refused release freed the mutex";
  OSMutexRelease(a.m);
  EXPECT_TRUE(WaitUntil([&] { return got.load(); }));
}

// Many threads, nested locking: the counter is changed only by the thread
// that holds the mutex, which the inside count checks every time.
TEST_F(MutexTest, StressExclusionWithNestedLocks) {
  Mutex a;
  constexpr int kThreads = 8;
  constexpr int kRounds = 2000;
  long counter = 0;
  std::atomic<int> inside{0};
  std::atomic<int> violations{0};
  {
    std::vector<std::unique_ptr<TestThread>> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.push_back(std::make_unique<TestThread>([&] {
        for (int i = 0; i < kRounds; ++i) {
          OSMutexWait(a.m);
          if (inside.fetch_add(1) != 0) ++violations;
          OSMutexWait(a.m);  // recursion must not let anyone else in
          ++counter;
          if (OSMutexWaitIsPresentThisThread(a.m) != 1) ++violations;
          OSMutexRelease(a.m);
          inside.fetch_sub(1);
          OSMutexRelease(a.m);
        }
        if (OSMutexWaitIsPresentThisThread(a.m) != 0) ++violations;
      }));
    }
  }
  EXPECT_EQ(violations, 0);
  EXPECT_EQ(counter, long{kThreads} * kRounds);
}

// Threads that lock several mutexes and give them all back with one call.
TEST_F(MutexTest, StressRemoveAllAcrossThreads) {
  constexpr int kMutexes = 4;
  Mutex mutexes[kMutexes];
  long counters[kMutexes] = {};
  std::atomic<int> inside[kMutexes] = {};
  std::atomic<int> violations{0};
  {
    std::vector<std::unique_ptr<TestThread>> threads;
    for (int t = 0; t < 6; ++t) {
      threads.push_back(std::make_unique<TestThread>([&, t] {
        for (int i = 0; i < 500; ++i) {
          // Always in index order, so the threads cannot deadlock.
          for (int k = 0; k < kMutexes; ++k) {
            if ((i + t + k) % 2 == 0) continue;
            OSMutexWait(mutexes[k].m);
            if (inside[k].fetch_add(1) != 0) ++violations;
            ++counters[k];
          }
          for (int k = 0; k < kMutexes; ++k) {
            if ((i + t + k) % 2 != 0) inside[k].fetch_sub(1);
          }
          OSMutexWaitRemoveThisThread();
        }
        for (auto& m : mutexes) {
          if (OSMutexWaitIsPresentThisThread(m.m) != 0) ++violations;
        }
      }));
    }
  }
  EXPECT_EQ(violations, 0);
  long total = 0;
  for (long c : counters) total += c;
  EXPECT_EQ(total, 6L * 500 * kMutexes / 2);
}

}  // namespace
