// Threads, the thread-data registry, the per-thread named variables, objects
// made on first use and child processes; first the unthreaded mode, where
// every operation is a no-op, and the slot rules of the named variables in
// the process table (unthreaded) and in the calling thread's table.
#include <gnutil/lclst.h>
#include <gnutil/namedmutex.h>
#include <gnutil/osprocess.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <set>
#include <string>

#include "os/thread_internal.h"
#include "support/os_threads.h"

namespace {

using gnutil_test::RunThreads;
using gnutil_test::TestThread;

TEST(Unthreaded, SynchronisationDoesNothingBeforeTheSwitch) {
  EXPECT_EQ(OSIsThreaded(), 0);
  OSMutexDestroy(nullptr);
  OSRWLockDestroy(nullptr);
  OSConditionDestroy(nullptr);
  OSThreadDestroy(nullptr);
  OSThreadTerminateWait(nullptr);
  _osmutex* m = OSMutexCreate();
  _osrdwr* rw = OSRWLockCreate();
  _oscondition* c = OSConditionCreate();
  ASSERT_TRUE(m != nullptr && rw != nullptr && c != nullptr);
  // None of these may block or fail: a writer after a reader, a wait with
  // nobody to signal, a release that nothing preceded.
  OSMutexWait(m);
  OSMutexWait(m);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(m), 0);
  for (int i = 0; i < 3; ++i) OSMutexRelease(m);
  OSMutexWaitRemoveThisThread();
  OSRWLockReadWait(rw);
  OSRWLockWriteWait(rw);
  OSRWLockReadRelease(rw);
  OSRWLockWriteRelease(rw);
  OSConditionWait(c, m);
  OSConditionSignal(c);
  EXPECT_EQ(OSSetThreadData(m), 0);
  EXPECT_EQ(OSGetThreadData(), nullptr);
  // Records made before the switch stay inert after it.
  OSSetThreaded();
  EXPECT_EQ(OSIsThreaded(), 1);
  OSMutexWait(m);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(m), 0);
  OSMutexRelease(m);
  OSRWLockWriteWait(rw);
  OSRWLockWriteWait(rw);
  OSConditionWait(c, m);
  OSConditionDestroy(c);
  OSRWLockDestroy(rw);
  OSMutexDestroy(m);
  // Null records do nothing either way.
  OSMutexWait(nullptr);
  OSMutexRelease(nullptr);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(nullptr), 0);
  OSRWLockReadWait(nullptr);
  OSConditionWait(nullptr, nullptr);
  EXPECT_EQ(OSThreadCreate(nullptr, nullptr, nullptr), nullptr);
  // Switching twice keeps the registry.
  int value = 0;
  ASSERT_EQ(OSSetThreadData(&value), 1);
  OSSetThreaded();
  EXPECT_EQ(OSGetThreadData(), &value);
}

class LclSt : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) OSSetThreaded();
    vars_ = CGNLclSt::Instance();
  }
  void TearDown() override { CGNLclSt::Free(); }
  CGNLclSt* vars_ = nullptr;
};

TEST_P(LclSt, SlotRules) {
  int a = 1, a2 = 2, b = 3, c = 4, d = 5, e = 6;
  EXPECT_EQ(vars_->SetLocalVariable("a", &a), -1) << "no table before Init";
  EXPECT_EQ(vars_->GetLocalVariable(0), nullptr);
  EXPECT_EQ(vars_->GetIndex("a"), -1);
  EXPECT_EQ(vars_->GetVarName(0), nullptr);
  vars_->UnsetLocalVariable("a");
  vars_->UnsetLocalVariable(0L);
  EXPECT_EQ(vars_->Init(0) + vars_->Init(-3), 0);
  ASSERT_EQ(vars_->Init(4), 1);
  EXPECT_EQ(vars_->Init(100), 1);  // kept as it is
  EXPECT_EQ(vars_->SetLocalVariable("a", &a), 0);
  EXPECT_EQ(vars_->SetLocalVariable("b", &b), 1);
  EXPECT_EQ(vars_->SetLocalVariable("a", &a2), -1);
  EXPECT_EQ(vars_->GetLocalVariable("a"), &a);
  EXPECT_EQ(vars_->GetLocalVariable("A"), nullptr);  // exact, case matters
  EXPECT_EQ(vars_->GetIndex("b"), 1);
  EXPECT_STREQ(vars_->GetVarName(1), "b");
  for (long i : {2L, 7L, -1L}) EXPECT_EQ(vars_->GetVarName(i), nullptr) << i;
  EXPECT_EQ(vars_->GetLocalVariable(1), &b);
  EXPECT_EQ(vars_->GetLocalVariable(4), nullptr);

  vars_->UnsetLocalVariable("a");
  EXPECT_EQ(vars_->GetVarName(0), nullptr);
  EXPECT_EQ(vars_->SetLocalVariable("c", &c), 0);
  EXPECT_EQ(vars_->SetLocalVariable("d", &d), 2);
  EXPECT_EQ(vars_->SetLocalVariable("e", &e), 3);
  EXPECT_EQ(vars_->SetLocalVariable("f", &e), -1) << "table full";
  EXPECT_EQ(vars_->ResetLocalVariable(1, const_cast<char*>("b"), &a), -1);
  EXPECT_EQ(vars_->GetLocalVariable("b"), &b);
  vars_->UnsetLocalVariable(nullptr);
  for (long i = 0; i < 4; ++i) EXPECT_EQ(vars_->GetVarName(i), nullptr);
  EXPECT_EQ(vars_->GetLocalVariable("b"), nullptr);
}

// Only the slots before the first free one are checked for the name, so a
// name set again after an earlier slot was freed occurs twice; look-ups take
// the first, and unsetting the name frees both. The name is copied.
TEST_P(LclSt, NameCanOccurTwiceAfterAnEarlierSlotIsFreed) {
  int x = 1, y = 2, z = 3;
  char name[] = "y";
  ASSERT_EQ(vars_->Init(3), 1);
  EXPECT_EQ(vars_->SetLocalVariable("x", &x), 0);
  EXPECT_EQ(vars_->SetLocalVariable(name, &y), 1);
  name[0] = 'Y';
  EXPECT_EQ(vars_->GetLocalVariable("y"), &y);
  vars_->UnsetLocalVariable(0);
  EXPECT_EQ(vars_->SetLocalVariable("y", &z), 0);
  EXPECT_EQ(vars_->GetIndex("y"), 0);
  EXPECT_EQ(vars_->GetLocalVariable("y"), &z);
  vars_->UnsetLocalVariable("y");
  EXPECT_EQ(vars_->GetIndex("y"), -1);
  EXPECT_EQ(vars_->SetLocalVariable("y", &y), 0);
}

// A fresh instance has no process table; a thread keeps its own table.
TEST_P(LclSt, FreeStartsAfreshButNotForTheThreadsTable) {
  int v = 0;
  ASSERT_EQ(vars_->Init(2), 1);
  ASSERT_EQ(vars_->SetLocalVariable("a", &v), 0);
  CGNLclSt::Free();
  vars_ = CGNLclSt::Instance();
  EXPECT_EQ(vars_->GetLocalVariable("a"), GetParam() ? &v : nullptr);
}

INSTANTIATE_TEST_SUITE_P(Modes, LclSt, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Threaded" : "Unthreaded";
                         });

class Threads : public ::testing::Test {
 protected:
  void SetUp() override { OSSetThreaded(); }
};

TEST_F(Threads, ThreadDataIsInPlaceBeforeTheFunctionRunsAndPerThread) {
  EXPECT_EQ(OSSetThreadData(nullptr), 0);
  int value = 0, other = 0, mine = 0;
  void* first = nullptr;
  void* replaced = nullptr;
  TestThread(
      [&] {
        first = OSGetThreadData();
        EXPECT_EQ(OSSetThreadData(&other), 1);
        replaced = OSGetThreadData();
      },
      &value)
      .Join();
  EXPECT_EQ(first, &value);
  EXPECT_EQ(replaced, &other);
  EXPECT_EQ(OSGetThreadData(), nullptr) << "the main thread registered nothing";
  ASSERT_EQ(OSSetThreadData(&mine), 1);
  void* seen = &mine;
  TestThread([&] { seen = OSGetThreadData(); }).Join();
  EXPECT_EQ(seen, nullptr);
  EXPECT_EQ(OSGetThreadData(), &mine);
}

unsigned int ExitsEarly(void* flag) {
  static_cast<std::atomic<int>*>(flag)->store(1);
  OSThreadExit();
  static_cast<std::atomic<int>*>(flag)->store(2);  // never reached
  return 7;
}

TEST_F(Threads, ExitEndsTheThreadWaitingTwiceIsHarmlessDestroyDoesNotWait) {
  std::atomic<int> flag{0};
  _osthread* t = OSThreadCreate(ExitsEarly, &flag, nullptr);
  ASSERT_NE(t, nullptr);
  OSThreadTerminateWait(t);
  OSThreadTerminateWait(t);
  EXPECT_EQ(flag, 1);
  OSThreadDestroy(t);
  t = OSThreadCreate([](void* f) { return static_cast<std::atomic<int>*>(f)->store(3), 0u; }, &flag,
                     nullptr);
  ASSERT_NE(t, nullptr);
  OSThreadDestroy(t);
  EXPECT_TRUE(gnutil_test::WaitUntil([&] { return flag == 3; }));
}

// Each thread's variables are its own: the same name holds different values
// on different threads, and a new thread has no table, even when it is given
// the id of one that has ended (ids are reused quickly on Windows).
TEST_F(Threads, NamedVariablesAreInvisibleAcrossThreadsAndNotInherited) {
  CGNLclSt* vars = CGNLclSt::Instance();
  ASSERT_EQ(vars->Init(4), 1);
  int mainValue = 0;
  ASSERT_EQ(vars->SetLocalVariable("timezone", &mainValue), 0);
  std::atomic<int> failures{0};
  for (int round = 0; round < 15; ++round) {
    RunThreads(4, [&](int) {
      int local = 0;
      if (OSGetThreadData() != nullptr || vars->GetLocalVariable("timezone") != nullptr) ++failures;
      if (vars->SetLocalVariable("timezone", &local) != -1) ++failures;  // no table yet
      if (vars->Init(2) != 1 || vars->SetLocalVariable("timezone", &local) != 0) ++failures;
      for (int i = 0; i < 100; ++i) {
        if (vars->GetLocalVariable("timezone") != &local) ++failures;
      }
    });
  }
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(vars->GetLocalVariable("timezone"), &mainValue);
}

// A table handed over through OSThreadCreate becomes the new thread's own,
// and stays the caller's once the thread has ended.
TEST_F(Threads, TableGivenAtCreationIsTheThreadsTable) {
  auto* block =
      static_cast<CGNLclStBlock*>(calloc(1, sizeof(CGNLclStBlock) + 3 * sizeof(CGNLclStSlot)));
  block->m_count = 3;
  int value = 0;
  long index = -2;
  void* seen = nullptr;
  TestThread(
      [&] {
        CGNLclSt* vars = CGNLclSt::Instance();
        EXPECT_EQ(vars->Init(10), 1);  // already has one: kept as it is
        index = vars->SetLocalVariable("recflag", &value);
        seen = vars->GetLocalVariable("recflag");
      },
      block)
      .Join();
  EXPECT_EQ(index, 0);
  EXPECT_EQ(seen, &value);
  auto* slots = reinterpret_cast<CGNLclStSlot*>(block + 1);
  EXPECT_STREQ(slots[0].m_pName, "recflag");
  EXPECT_EQ(block->m_count, 3);
  free(slots[0].m_pName);
  free(block);
}

// Process-wide objects made on first use: when that first use comes from
// several threads at once, there is still exactly one object.
template <typename Get, typename Free>
void ExpectMadeOnce(Get get, Free free) {
  constexpr int kThreads = 8;
  for (int round = 0; round < 100; ++round) {
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<void*> seen(kThreads, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        ready.fetch_add(1);
        while (!go.load()) std::this_thread::yield();
        seen[static_cast<size_t>(t)] = get();
      });
    }
    while (ready.load() < kThreads) std::this_thread::yield();
    go.store(true);
    for (std::thread& th : threads) th.join();
    ASSERT_EQ(std::set<void*>(seen.begin(), seen.end()).size(), 1u) << "round " << round;
    ASSERT_EQ(seen[0], get());
    ASSERT_NE(seen[0], nullptr);
    free();
  }
}

// The global pool is made ready (Init) and its published copy goes with Free.
TEST(FirstUse, TheGlobalNamedMutexPoolIsMadeOnce) {
  OSSetThreaded();
  ExpectMadeOnce([] { return CGNGlobalNamedMutexPool::GetInstance(); },
                 [] {
                   CGNGlobalNamedMutexPool* pool = CGNGlobalNamedMutexPool::instance;
                   EXPECT_EQ(pool->WaitNamedMutex(CGNString("g")), 1);
                   pool->RelIfWaitNamedMutex(CGNString("g"));
                   CGNGlobalNamedMutexPool::Free();
                   EXPECT_EQ(CGNGlobalNamedMutexPool::instance, nullptr);
                 });
}

TEST(FirstUse, TheLocalStorageTableIsMadeOnce) {
  ExpectMadeOnce([] { return CGNLclSt::Instance(); }, [] { CGNLclSt::Free(); });
}

// Synchronous runs from several threads at once: every run gets a pipe of its
// own (names never collide, even within one millisecond) and its own output.
TEST(ProcessConcurrency, SimultaneousRunsKeepTheirOwnOutput) {
  std::vector<int> failures(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 6; ++i) {
        CGNString output;
        const std::string line =
            std::string(GNUTIL_TEST_CHILD) + " hello " + std::to_string(10 + t);
        long code = OSRunSyncProcess(CGNString(line.c_str()), output);
        if (code != 10 + t || std::string(output) != "hello") ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
}

}  // namespace
