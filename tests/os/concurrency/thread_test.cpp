// The unthreaded mode, the slot rules of the named variables (in the process
// table when unthreaded, the thread's own table when threaded), and with real
// threads: the thread-data registry, objects made on first use, child processes.
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

using namespace gnutil_test;

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
  // None of these may block: a writer after a reader, a wait with no signal.
  OSMutexWait(m);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(m), 0);
  OSRWLockReadWait(rw);
  OSRWLockWriteWait(rw);
  OSConditionWait(c, m);
  EXPECT_EQ(OSSetThreadData(m), 0);
  EXPECT_EQ(OSGetThreadData(), nullptr);
  // Records made before the switch stay inert after it.
  OSSetThreaded();
  OSRWLockWriteWait(rw);
  OSRWLockWriteWait(rw);
  OSConditionWait(c, m);
  OSConditionDestroy(c);
  OSRWLockDestroy(rw);
  OSMutexDestroy(m);
  // Null records do nothing either way.
  OSRWLockReadWait(nullptr);
  OSConditionWait(nullptr, nullptr);
  EXPECT_EQ(OSThreadCreate(nullptr, nullptr, nullptr), nullptr);
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
  vars_->UnsetLocalVariable(nullptr);
  for (long i = 0; i < 4; ++i) EXPECT_EQ(vars_->GetVarName(i), nullptr);
  EXPECT_EQ(vars_->GetLocalVariable("b"), nullptr);
  char name[] = "y";  // the name is copied
  EXPECT_EQ(vars_->SetLocalVariable(name, &b), 0);
  name[0] = 'Y';
  EXPECT_EQ(vars_->GetLocalVariable("y"), &b);
}

INSTANTIATE_TEST_SUITE_P(Modes, LclSt, ::testing::Bool(), ModeName);

class Threads : public ::testing::Test {
 protected:
  void SetUp() override { OSSetThreaded(); }
};

TEST_F(Threads, ThreadDataIsInPlaceBeforeTheFunctionRunsAndPerThread) {
  EXPECT_EQ(OSSetThreadData(nullptr), 0);
  int value = 0, other = 0, mine = 0;
  TestThread(
      [&] {
        EXPECT_EQ(OSGetThreadData(), &value);
        EXPECT_EQ(OSSetThreadData(&other), 1);
        EXPECT_EQ(OSGetThreadData(), &other);
      },
      &value)
      .Join();
  EXPECT_EQ(OSGetThreadData(), nullptr) << "the main thread registered nothing";
  ASSERT_EQ(OSSetThreadData(&mine), 1);
  TestThread([&] { EXPECT_EQ(OSGetThreadData(), nullptr); }).Join();
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
  TestThread(
      [&] {
        CGNLclSt* vars = CGNLclSt::Instance();
        EXPECT_EQ(vars->Init(10), 1);  // already has one: kept as it is
        EXPECT_EQ(vars->SetLocalVariable("recflag", &value), 0);
        EXPECT_EQ(vars->GetLocalVariable("recflag"), &value);
      },
      block)
      .Join();
  auto* slots = reinterpret_cast<CGNLclStSlot*>(block + 1);
  EXPECT_STREQ(slots[0].m_pName, "recflag");
  free(slots[0].m_pName);
  free(block);
}

// Objects made on first use, first used by several threads at once: one.
template <typename Get, typename Free>
void ExpectMadeOnce(Get get, Free free) {
  constexpr int kThreads = 8;
  for (int round = 0; round < 100; ++round) {
    std::atomic<int> ready{0};
    std::vector<void*> seen(kThreads, nullptr);
    RunThreads(kThreads, [&](int t) {
      ++ready;  // all started before any gets
      while (ready.load() < kThreads) std::this_thread::yield();
      seen[static_cast<size_t>(t)] = get();
    });
    ASSERT_EQ(std::set<void*>(seen.begin(), seen.end()).size(), 1u) << "round " << round;
    ASSERT_NE(seen[0], nullptr);
    free();
  }
}

// The global pool is made ready (Init), and Free lets a fresh one follow.
TEST(FirstUse, TheGlobalNamedMutexPoolAndTheLocalStorageTableAreMadeOnce) {
  OSSetThreaded();
  ExpectMadeOnce([] { return CGNGlobalNamedMutexPool::GetInstance(); },
                 [] {
                   EXPECT_EQ(CGNGlobalNamedMutexPool::instance->WaitNamedMutex(CGNString("g")), 1);
                   CGNGlobalNamedMutexPool::instance->RelIfWaitNamedMutex(CGNString("g"));
                   CGNGlobalNamedMutexPool::Free();
                 });
  ExpectMadeOnce([] { return CGNLclSt::Instance(); }, [] { CGNLclSt::Free(); });
}

// Synchronous runs from several threads at once: every run gets a pipe of its
// own (names never collide, even within one millisecond) and its own output.
TEST(ProcessConcurrency, SimultaneousRunsKeepTheirOwnOutput) {
  std::atomic<int> failures{0};
  RunThreads(4, [&](int t) {
    for (int i = 0; i < 6; ++i) {
      CGNString output;
      const std::string line = std::string(GNUTIL_TEST_CHILD) + " hello " + std::to_string(10 + t);
      long code = OSRunSyncProcess(CGNString(line.c_str()), output);
      if (code != 10 + t || std::string(output) != "hello") ++failures;
    }
  });
  EXPECT_EQ(failures, 0);
}

}  // namespace
