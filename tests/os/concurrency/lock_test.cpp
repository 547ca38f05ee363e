// Recursive mutexes and the held-mutex table, reader/writer locks and
// condition variables, with real threads.
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <string>

#include "support/os_threads.h"

namespace {

using gnutil_test::kStaysBlocked;
using gnutil_test::RunThreads;
using gnutil_test::StaysOutUntil;
using gnutil_test::TestThread;
using gnutil_test::WaitUntil;

struct Mutex {
  _osmutex* m = OSMutexCreate();
  ~Mutex() { OSMutexDestroy(m); }
  void Lock() { OSMutexWait(m); }
  void Unlock() { OSMutexRelease(m); }
  int Held() { return OSMutexWaitIsPresentThisThread(m); }
};

// True when another thread takes and releases m within the bounded wait.
bool OtherThreadCanLock(Mutex& m) {
  std::atomic<bool> got{false};
  TestThread t([&] {
    m.Lock();
    got = true;
    m.Unlock();
  });
  return WaitUntil([&] { return got.load(); });
}

class Locks : public ::testing::Test {
 protected:
  // Threaded before the records are made: records made before stay inert.
  struct Threaded {
    Threaded() { OSSetThreaded(); }
  } threaded_;
  ~Locks() override { OSRWLockDestroy(rw_); }
  Mutex a_, b_;
  _osrdwr* rw_ = OSRWLockCreate();
};

// A release by another thread is refused and reported.
TEST_F(Locks, MutexRecursionDepthIsKeptUntilTheOwnersLastRelease) {
  a_.Lock();
  a_.Lock();
  a_.Unlock();
  EXPECT_EQ(a_.Held(), 1);
  std::atomic<int> seen{-1};
  testing::internal::CaptureStdout();
  TestThread([&] {
    seen = a_.Held();
    a_.Unlock();
  }).Join();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(std::regex_match(out, std::regex("Error [0-9a-f]+\n"))) << out;
  EXPECT_EQ(seen, 0) << "holdings are per thread";
  EXPECT_EQ(a_.Held(), 1);
  EXPECT_TRUE(StaysOutUntil([&] { a_.Unlock(); }, [&] { a_.Lock(); }, [&] { a_.Unlock(); }));
  EXPECT_EQ(a_.Held(), 0);
}

TEST_F(Locks, RemoveThisThreadReleasesEveryLevelOfEveryMutexOnce) {
  Mutex released;
  for (int i = 0; i < 100; ++i) a_.Lock();  // deeper than the free-entry cache
  b_.Lock();
  released.Lock();
  released.Unlock();
  testing::internal::CaptureStdout();
  OSMutexWaitRemoveThisThread();
  OSMutexWaitRemoveThisThread();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "a level released twice";
  EXPECT_EQ(a_.Held() + b_.Held() + released.Held(), 0);
  EXPECT_TRUE(OtherThreadCanLock(a_)) << "still held after the remove-all";
  EXPECT_TRUE(OtherThreadCanLock(b_));
}

TEST_F(Locks, ReadersShareWritersExcludeAndArrivingReadersGoFirst) {
  auto read = [&] { OSRWLockReadWait(rw_); };
  auto unread = [&] { OSRWLockReadRelease(rw_); };
  auto write = [&] { OSRWLockWriteWait(rw_); };
  auto unwrite = [&] { OSRWLockWriteRelease(rw_); };
  write();
  EXPECT_TRUE(StaysOutUntil(unwrite, read, unread));
  write();
  EXPECT_TRUE(StaysOutUntil(unwrite, write, unwrite));
  // Two readers inside: a waiting writer comes in only after both, and a
  // reader arriving meanwhile goes ahead of it.
  std::atomic<int> readers{1};
  std::atomic<bool> writerIn{false}, release{false};
  read();
  TestThread second([&] {
    read();
    ++readers;
    WaitUntil([&] { return release.load(); }, std::chrono::seconds(30));
    --readers;
    unread();
  });
  ASSERT_TRUE(WaitUntil([&] { return readers == 2; })) << "readers must share";
  TestThread writer([&] {
    write();
    writerIn = true;
    EXPECT_EQ(readers, 0);
    unwrite();
  });
  std::this_thread::sleep_for(kStaysBlocked);
  TestThread([&] {
    read();
    unread();
  }).Join();
  --readers;
  unread();
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(writerIn) << "the writer came in while a reader remained";
  release = true;
  EXPECT_TRUE(WaitUntil([&] { return writerIn.load(); }));
  writer.Join();
  // A writer may also read its own lock, and the lock is free afterwards.
  write();
  read();
  unread();
  unwrite();
  TestThread([&] {
    write();
    unwrite();
  }).Join();
}

TEST_F(Locks, ConditionCountsWaitersAndRemembersNoSignal) {
  _oscondition* c = OSConditionCreate();
  std::atomic<int> waiting{0}, woken{0};
  std::vector<std::unique_ptr<TestThread>> threads;
  // A waiter counts itself under the mutex and is registered with the
  // condition before it lets the mutex go: once we can take the mutex and
  // see them all, they are all waiting.
  auto start = [&](int n) {
    const int target = waiting + n;
    for (int i = 0; i < n; ++i) {
      threads.push_back(std::make_unique<TestThread>([&] {
        a_.Lock();
        ++waiting;
        OSConditionWait(c, a_.m);
        ++woken;
        EXPECT_EQ(a_.Held(), 1) << "woken without the mutex";
        a_.Unlock();
      }));
    }
    ASSERT_TRUE(WaitUntil([&] {
      a_.Lock();
      bool all = waiting == target;
      a_.Unlock();
      return all;
    }));
  };
  auto stays = [&](int n) {
    std::this_thread::sleep_for(kStaysBlocked);
    EXPECT_EQ(woken, n);
  };
  OSConditionSignal(c);  // nobody waits: lost
  OSConditionBroadcast(c);
  start(4);
  stays(0);
  OSConditionSignal(c);
  ASSERT_TRUE(WaitUntil([&] { return woken == 1; }));
  stays(1);  // one signal, one waiter
  OSConditionBroadcast(c);
  EXPECT_TRUE(WaitUntil([&] { return woken == 4; }));
  start(1);
  OSConditionSignal(c);
  ASSERT_TRUE(WaitUntil([&] { return woken == 5; }));
  // The count is back to zero: later signals are not remembered either.
  OSConditionSignal(c);
  OSConditionBroadcast(c);
  start(1);
  stays(5);
  OSConditionSignal(c);
  EXPECT_TRUE(WaitUntil([&] { return woken == 6; }));
  threads.clear();
  OSConditionDestroy(c);
}

// Threads lock a few mutexes in index order (so they cannot deadlock), some
// twice over, and let go either level by level or all at once. A counter is
// changed only by the thread holding its mutex, which `inside` checks.
TEST_F(Locks, StressMutexesNestedAndRemovedAllAtOnce) {
  constexpr int kMutexes = 4, kThreads = 6, kRounds = 800;
  Mutex mutexes[kMutexes];
  long counters[kMutexes] = {};
  std::atomic<int> inside[kMutexes] = {};
  std::atomic<int> violations{0};
  RunThreads(kThreads, [&](int t) {
    for (int i = 0; i < kRounds; ++i) {
      const bool removeAll = i % 2 == 0;
      for (int k = 0; k < kMutexes; ++k) {
        if ((i + t + k) % 2 == 0) continue;
        mutexes[k].Lock();
        if (inside[k].fetch_add(1) != 0) ++violations;
        mutexes[k].Lock();  // recursion must not let anyone else in
        ++counters[k];
        if (mutexes[k].Held() != 1) ++violations;
        mutexes[k].Unlock();
      }
      for (int k = kMutexes - 1; k >= 0; --k) {
        if ((i + t + k) % 2 == 0) continue;
        inside[k].fetch_sub(1);
        if (!removeAll) mutexes[k].Unlock();
      }
      if (removeAll) OSMutexWaitRemoveThisThread();
    }
    for (auto& m : mutexes) violations += m.Held();
  });
  EXPECT_EQ(violations, 0);
  EXPECT_EQ(counters[0] + counters[1] + counters[2] + counters[3],
            long{kThreads} * kRounds * kMutexes / 2);
}

// Mixed readers and writers: a writer never overlaps anyone, readers only
// each other, and every reader sees a consistent pair of values.
TEST_F(Locks, StressMixedReadersAndWriters) {
  std::atomic<int> readersIn{0}, writersIn{0}, violations{0};
  long a = 0, b = 0;  // written only under the write lock; a == b always
  std::atomic<long> reads{0};
  RunThreads(8, [&](int t) {
    for (int i = 0; i < 1500; ++i) {
      if (t % 4 == 0) {
        OSRWLockWriteWait(rw_);
        if (writersIn.fetch_add(1) != 0 || readersIn.load() != 0) ++violations;
        ++a, ++b;
        writersIn.fetch_sub(1);
        OSRWLockWriteRelease(rw_);
      } else {
        OSRWLockReadWait(rw_);
        readersIn.fetch_add(1);
        if (writersIn.load() != 0 || a != b) ++violations;
        ++reads;
        readersIn.fetch_sub(1);
        OSRWLockReadRelease(rw_);
      }
    }
  });
  EXPECT_EQ(violations, 0);
  EXPECT_EQ(a, 2 * 1500);
  EXPECT_EQ(reads, 6 * 1500);
}

// A bounded queue: producers and consumers wait on one condition each. The
// queue length stays within bounds under the mutex and nothing is lost.
TEST_F(Locks, StressConditionProducersAndConsumers) {
  _oscondition* notEmpty = OSConditionCreate();
  _oscondition* notFull = OSConditionCreate();
  constexpr int kCapacity = 4, kPerThread = 1000;
  int queued = 0;
  long produced = 0, consumed = 0;
  std::atomic<int> violations{0};
  RunThreads(6, [&](int t) {
    for (int i = 0; i < kPerThread; ++i) {
      a_.Lock();
      if (t % 2 == 0) {
        while (queued == kCapacity) OSConditionWait(notFull, a_.m);
        ++queued, ++produced;
        OSConditionSignal(notEmpty);
      } else {
        while (queued == 0) OSConditionWait(notEmpty, a_.m);
        if (queued < 1 || queued > kCapacity) ++violations;
        --queued, ++consumed;
        OSConditionSignal(notFull);
      }
      a_.Unlock();
    }
  });
  OSConditionDestroy(notFull);
  OSConditionDestroy(notEmpty);
  EXPECT_EQ(violations, 0);
  EXPECT_EQ(produced, 3 * kPerThread);
  EXPECT_EQ(consumed, produced);
}

}  // namespace
