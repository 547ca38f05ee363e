// Recursive mutexes and the held-mutex table, reader/writer locks, condition
// variables and the named mutex pool (its bookkeeping also unthreaded).
#include <gnutil/namedmutex.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <regex>
#include <string>

#include "genutil/alloc.h"
#include "support/os_threads.h"
#include "support/stdout_capture.h"

namespace {

using namespace gnutil_test;

struct Mutex {
  _osmutex* m = OSMutexCreate();
  ~Mutex() { OSMutexDestroy(m); }
  void Lock() { OSMutexWait(m); }
  void Unlock() { OSMutexRelease(m); }
  int Held() { return OSMutexWaitIsPresentThisThread(m); }
};

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
  gnutil_test::StdoutCapture captured;
  TestThread([&] {
    seen = a_.Held();
    a_.Unlock();
  }).Join();
  std::string out = captured.Text();
  EXPECT_TRUE(std::regex_match(out, std::regex("Error [0-9a-f]+\n"))) << out;
  EXPECT_EQ(seen, 0) << "holdings are per thread";
  EXPECT_EQ(a_.Held(), 1);
  EXPECT_TRUE(StaysOutUntil([&] { a_.Unlock(); }, [&] { a_.Lock(); }, [&] { a_.Unlock(); }));
  EXPECT_EQ(a_.Held(), 0);
}

// Another thread is held back until the remove-all, which a mutex released
// before must not see again (a second release would be reported).
TEST_F(Locks, RemoveThisThreadReleasesEveryLevelOfEveryMutexOnce) {
  Mutex released;
  for (int i = 0; i < 100; ++i) a_.Lock();  // deeper than the holdings record
  b_.Lock();
  released.Lock();
  released.Unlock();
  gnutil_test::StdoutCapture captured;
  EXPECT_TRUE(StaysOutUntil(
      [] {
        OSMutexWaitRemoveThisThread();
        OSMutexWaitRemoveThisThread();
      },
      [&] { a_.Lock(); }, [&] { a_.Unlock(); }));
  EXPECT_EQ(captured.Text(), "");
  EXPECT_EQ(a_.Held() + b_.Held() + released.Held(), 0);
}

// Releases that do not undo the latest lock, within the holdings record and
// past it: each takes out one level of its own mutex and leaves the newer
// entry; the remove-all then finds exactly the one level left.
TEST_F(Locks, OutOfOrderReleasesForgetOnlyTheirOwnLevel) {
  for (int levelsOfA : {1, 40}) {  // taken before b, released after it
    for (int i = 0; i < levelsOfA; ++i) a_.Lock();
    b_.Lock();
    gnutil_test::StdoutCapture captured;
    for (int i = 0; i < levelsOfA; ++i) a_.Unlock();
    EXPECT_EQ(a_.Held() * 10 + b_.Held(), 1) << levelsOfA;
    OSMutexWaitRemoveThisThread();
    EXPECT_EQ(captured.Text(), "") << levelsOfA;
    EXPECT_EQ(b_.Held(), 0);
    TestThread([&] {  // never comes back if b was left locked
      b_.Lock();
      b_.Unlock();
    })
        .Join();
  }
}

TEST_F(Locks, ReadersShareWritersExclude) {
  auto read = [&] { OSRWLockReadWait(rw_); };
  auto unread = [&] { OSRWLockReadRelease(rw_); };
  auto write = [&] { OSRWLockWriteWait(rw_); };
  auto unwrite = [&] { OSRWLockWriteRelease(rw_); };
  write();
  EXPECT_TRUE(StaysOutUntil(unwrite, read, unread));
  write();
  EXPECT_TRUE(StaysOutUntil(unwrite, write, unwrite));
  read();
  TestThread([&] {  // a second reader comes in beside the first
    read();
    unread();
  })
      .Join();
  EXPECT_TRUE(StaysOutUntil(unread, write, unwrite));
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
  start(4);
  stays(0);
  OSConditionSignal(c);
  ASSERT_TRUE(WaitUntil([&] { return woken == 1; }));
  stays(1);  // one signal, one waiter
  OSConditionBroadcast(c);
  EXPECT_TRUE(WaitUntil([&] { return woken == 4; }));
  // The count is back to zero: later signals are not remembered either.
  OSConditionSignal(c);
  OSConditionBroadcast(c);
  start(1);
  stays(4);
  OSConditionSignal(c);
  EXPECT_TRUE(WaitUntil([&] { return woken == 5; }));
  threads.clear();
  OSConditionDestroy(c);
}

// Mutexes taken in index order (no deadlock), twice over, let go level by
// level or all at once; `inside` checks that one thread at a time holds each.
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
  EXPECT_EQ(std::accumulate(counters, counters + kMutexes, 0L),
            long{kThreads} * kRounds * kMutexes / 2);
}

// A writer never overlaps anyone; every reader sees a consistent pair.
TEST_F(Locks, StressMixedReadersAndWriters) {
  std::atomic<int> readersIn{0}, writersIn{0}, violations{0};
  long a = 0, b = 0;  // written only under the write lock; a == b always
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
        readersIn.fetch_sub(1);
        OSRWLockReadRelease(rw_);
      }
    }
  });
  EXPECT_EQ(violations, 0);
  EXPECT_EQ(a, 2 * 1500);
}

// A bounded queue: producers and consumers wait on one condition each.
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

class Pool : public CGNNamedMutexPool {
 public:
  // Under the pool mutex, as every reader of the list must be.
  int Names() {
    OSMutexWait(m_pPoolMutex);
    int n = m_list.GetCount();
    OSMutexRelease(m_pPoolMutex);
    return n;
  }
  bool Wait(const char* name) { return WaitNamedMutex(CGNString(name)) == 1; }
  void Release(const char* name) { ReleaseNamedMutex(CGNString(name)); }
};

class NamedMutex : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) OSSetThreaded();
    ASSERT_EQ(pool_.Init(), 1);
  }
  Pool pool_;
};

TEST_P(NamedMutex, NamesAreExactAndRecursiveWaitsNeedAsManyReleases) {
  ASSERT_TRUE(pool_.Wait("alpha") && pool_.Wait("alpha"));
  ASSERT_TRUE(pool_.Wait("ALPHA") && pool_.Wait(""));
  EXPECT_EQ(pool_.Names(), 3);
  pool_.Release("alpha");
  EXPECT_EQ(pool_.Names(), 3) << "one user left";
  for (const char* name : {"alpha", "ALPHA", "", "alpha"}) pool_.Release(name);  // the last: gone
  EXPECT_EQ(pool_.Names(), 0);
  pool_.RelIfWaitNamedMutex(CGNString("never"));
  ASSERT_TRUE(pool_.Wait("held"));
  pool_.RelIfWaitNamedMutex(CGNString("held"));
  EXPECT_EQ(pool_.Names(), 0);
  Pool bare;  // no Init: refuses to wait
  EXPECT_FALSE(bare.Wait("x"));
}

TEST_P(NamedMutex, ARecordThatCannotBeMadeFailsTheWait) {
  ASSERT_TRUE(pool_.Wait("first"));
  const CGNString second("second");
  int failures = 0;
  for (int n = 0; n < 4; ++n) {
    gnutil::testing::FailAllocationAfter(n);
    bool ok = pool_.WaitNamedMutex(second) == 1;
    gnutil::testing::FailAllocationAfter(-1);
    if (ok) {
      pool_.ReleaseNamedMutex(second);
    } else {
      ++failures;
      EXPECT_EQ(pool_.Names(), 1) << "a failed wait left a record behind";
    }
  }
  EXPECT_GE(failures, 1);
  pool_.Release("first");
  EXPECT_EQ(pool_.Names(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, NamedMutex, ::testing::Bool(), ModeName);

// A release by a thread that does not hold the name is refused and changes
// nothing: a second waiter is held back until the holder lets go, then the
// name goes.
TEST_F(Locks, NamedMutexIsReleasedByItsHolderOnly) {
  Pool pool;
  ASSERT_EQ(pool.Init(), 1);
  ASSERT_TRUE(pool.Wait("busy"));
  gnutil_test::StdoutCapture captured;
  TestThread([&] {
    pool.Release("busy");
    pool.RelIfWaitNamedMutex(CGNString("busy"));
  }).Join();
  std::string out = captured.Text();
  EXPECT_TRUE(std::regex_match(out, std::regex("(Error [0-9a-f]+\n){2}"))) << out;
  EXPECT_TRUE(StaysOutUntil([&] { pool.Release("busy"); }, [&] { EXPECT_TRUE(pool.Wait("busy")); },
                            [&] { pool.Release("busy"); }));
  EXPECT_TRUE(WaitUntil([&] { return pool.Names() == 0; }));
}

// Each name is held by one thread at a time; the pool is empty at the end.
TEST_F(Locks, StressNamedMutexesManyThreadsManyNames) {
  Pool pool;
  ASSERT_EQ(pool.Init(), 1);
  constexpr int kNames = 16, kThreads = 8, kRounds = 600;
  long counters[kNames] = {};
  std::atomic<int> inside[kNames] = {};
  std::atomic<int> violations{0};
  RunThreads(kThreads, [&](int t) {
    for (int i = 0; i < kRounds; ++i) {
      const int k = (i * 7 + t * 3) % kNames;
      const std::string text = "name" + std::to_string(k);
      const char* name = text.c_str();
      if (!pool.Wait(name)) ++violations;
      if (inside[k].fetch_add(1) != 0) ++violations;
      ++counters[k];
      if (i % 5 == 0) {  // nested, as a recursive caller would
        pool.Wait(name);
        pool.Release(name);
      }
      inside[k].fetch_sub(1);
      // A nested release clears the held mark, so only an unnested hold can
      // be let go with RelIfWait.
      if (i % 3 == 0 && i % 5 != 0)
        pool.RelIfWaitNamedMutex(CGNString(name));
      else
        pool.Release(name);
    }
  });
  EXPECT_EQ(violations, 0);
  EXPECT_EQ(std::accumulate(counters, counters + kNames, 0L), long{kThreads} * kRounds);
  EXPECT_EQ(pool.Names(), 0) << "records left after every user released";
}

}  // namespace
