// The concurrency layer's promises, through the public headers only and with
// real threads: the two modes, recursive mutexes and the release of all
// holdings, reader/writer sharing, counted wake-ups, per-thread named
// variables and the named mutex pool.
#include <gnutil/gnutil.h>
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

constexpr std::chrono::milliseconds kStaysBlocked{100};

// True when another thread takes and releases m within the bounded wait.
bool OtherThreadCanLock(_osmutex* m) {
  std::atomic<bool> got{false};
  TestThread t([&] {
    OSMutexWait(m);
    got = true;
    OSMutexRelease(m);
  });
  return WaitUntil([&] { return got.load(); });
}

TEST(ConcurrencyAcceptance, UnthreadedModeMakesEveryOperationANoOp) {
  EXPECT_EQ(OSIsThreaded(), 0);
  _osmutex* m = OSMutexCreate();
  _oscondition* c = OSConditionCreate();
  _osrdwr* rw = OSRWLockCreate();
  OSMutexWait(m);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(m), 0);
  OSConditionWait(c, m);  // returns at once
  OSRWLockWriteWait(rw);
  OSRWLockReadWait(rw);
  OSMutexDestroy(m);
  OSConditionDestroy(c);
  OSRWLockDestroy(rw);
  OSMutexDestroy(nullptr);
  OSRWLockDestroy(nullptr);
  OSConditionDestroy(nullptr);
  OSThreadDestroy(nullptr);
}

TEST(ConcurrencyAcceptance, MutexIsRecursiveAndRemoveAllReleasesEveryLevel) {
  OSSetThreaded();
  EXPECT_EQ(OSIsThreaded(), 1);
  _osmutex* a = OSMutexCreate();
  _osmutex* b = OSMutexCreate();
  OSMutexWait(a);
  OSMutexWait(a);
  OSMutexRelease(a);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(a), 1);
  {
    std::atomic<bool> got{false};
    TestThread other([&] {
      OSMutexWait(a);
      got = true;
      OSMutexRelease(a);
    });
    std::this_thread::sleep_for(kStaysBlocked);
    EXPECT_FALSE(got) << "one release of two freed the mutex";
    OSMutexRelease(a);
    EXPECT_EQ(OSMutexWaitIsPresentThisThread(a), 0);
    EXPECT_TRUE(WaitUntil([&] { return got.load(); }));
  }

  OSMutexWait(a);
  OSMutexWait(a);
  OSMutexWait(b);
  OSMutexWaitRemoveThisThread();
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(a), 0);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(b), 0);
  EXPECT_TRUE(OtherThreadCanLock(a));
  EXPECT_TRUE(OtherThreadCanLock(b));
  OSMutexDestroy(b);
  OSMutexDestroy(a);
}

TEST(ConcurrencyAcceptance, FailedReleaseIsReportedOnStandardOutput) {
  OSSetThreaded();
  _osmutex* m = OSMutexCreate();
  testing::internal::CaptureStdout();
  OSMutexRelease(m);  // not held by anyone
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(std::regex_match(out, std::regex("Error [0-9a-f]+\n"))) << out;
  OSMutexDestroy(m);
}

TEST(ConcurrencyAcceptance, ReadersShareWritersWait) {
  OSSetThreaded();
  _osrdwr* rw = OSRWLockCreate();
  std::atomic<int> readers{0};
  std::atomic<bool> release{false}, writerIn{false};
  std::vector<std::unique_ptr<TestThread>> threads;
  for (int i = 0; i < 2; ++i) {
    threads.push_back(std::make_unique<TestThread>([&] {
      OSRWLockReadWait(rw);
      ++readers;
      WaitUntil([&] { return release.load(); }, std::chrono::seconds(30));
      --readers;
      OSRWLockReadRelease(rw);
    }));
  }
  ASSERT_TRUE(WaitUntil([&] { return readers == 2; }));
  TestThread writer([&] {
    OSRWLockWriteWait(rw);
    writerIn = true;
    EXPECT_EQ(readers, 0);
    std::this_thread::sleep_for(kStaysBlocked);
    OSRWLockWriteRelease(rw);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(writerIn);
  release = true;
  ASSERT_TRUE(WaitUntil([&] { return writerIn.load(); }));
  // While the writer holds it, a reader waits.
  std::atomic<bool> readerIn{false};
  TestThread reader([&] {
    OSRWLockReadWait(rw);
    readerIn = true;
    OSRWLockReadRelease(rw);
  });
  writer.Join();
  EXPECT_TRUE(WaitUntil([&] { return readerIn.load(); }));
  reader.Join();
  threads.clear();
  OSRWLockDestroy(rw);
}

TEST(ConcurrencyAcceptance, SignalIsNotRememberedAndBroadcastWakesAll) {
  OSSetThreaded();
  _osmutex* m = OSMutexCreate();
  _oscondition* c = OSConditionCreate();
  OSConditionSignal(c);  // nobody waits: lost
  int waiting = 0;
  std::atomic<int> woken{0};
  std::vector<std::unique_ptr<TestThread>> threads;
  for (int i = 0; i < 3; ++i) {
    threads.push_back(std::make_unique<TestThread>([&] {
      OSMutexWait(m);
      ++waiting;
      OSConditionWait(c, m);
      ++woken;
      OSMutexRelease(m);
    }));
  }
  ASSERT_TRUE(WaitUntil([&] {
    OSMutexWait(m);
    bool all = waiting == 3;
    OSMutexRelease(m);
    return all;
  }));
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_EQ(woken, 0);
  OSConditionBroadcast(c);
  EXPECT_TRUE(WaitUntil([&] { return woken == 3; }));
  threads.clear();
  OSConditionDestroy(c);
  OSMutexDestroy(m);
}

TEST(ConcurrencyAcceptance, NamedVariablesArePerThread) {
  OSSetThreaded();
  CGNLclSt* vars = CGNLclSt::Instance();
  int mine = 0;
  ASSERT_EQ(vars->Init(2), 1);
  ASSERT_EQ(vars->SetLocalVariable("timezone", &mine), 0);
  void* seen = &mine;
  long setThere = 0;
  int theirs = 0;
  TestThread t([&] {
    seen = vars->GetLocalVariable("timezone");
    vars->Init(2);
    setThere = vars->SetLocalVariable("timezone", &theirs);
  });
  t.Join();
  EXPECT_EQ(seen, nullptr);
  EXPECT_EQ(setThere, 0);
  EXPECT_EQ(vars->GetLocalVariable("timezone"), &mine);
}

class CountingPool : public CGNNamedMutexPool {
 public:
  int Names() const { return m_list.GetCount(); }
};

TEST(ConcurrencyAcceptance, NamedMutexPoolExcludesAndCleansUp) {
  OSSetThreaded();
  CountingPool pool;
  ASSERT_EQ(pool.Init(), 1);
  const CGNString name("resource");
  ASSERT_EQ(pool.WaitNamedMutex(name), 1);
  ASSERT_EQ(pool.WaitNamedMutex(name), 1);
  pool.ReleaseNamedMutex(name);
  EXPECT_EQ(pool.Names(), 1);
  std::atomic<bool> got{false};
  TestThread other([&] {
    pool.WaitNamedMutex(name);
    got = true;
    pool.ReleaseNamedMutex(name);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(got);
  pool.RelIfWaitNamedMutex(CGNString("unknown"));
  pool.ReleaseNamedMutex(CGNString("unknown"));
  pool.ReleaseNamedMutex(name);
  EXPECT_TRUE(WaitUntil([&] { return got.load(); }));
  other.Join();
  EXPECT_EQ(pool.Names(), 0);

  CGNGlobalNamedMutexPool* global = CGNGlobalNamedMutexPool::GetInstance();
  ASSERT_NE(global, nullptr);
  EXPECT_EQ(CGNGlobalNamedMutexPool::GetInstance(), global);
  ASSERT_EQ(global->WaitNamedMutex(name), 1);
  global->RelIfWaitNamedMutex(name);
  CGNGlobalNamedMutexPool::Free();
}

}  // namespace
