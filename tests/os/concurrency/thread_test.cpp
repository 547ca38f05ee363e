// Threads, the thread-data registry, per-thread named variables, objects
// made on first use and child processes, with real threads.
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

TEST_F(Threads, ThreadIdsAreNonZeroAndDistinct) {
  std::atomic<unsigned long> ids[4] = {};
  std::atomic<int> started{0};
  RunThreads(4, [&](int i) {
    ids[i] = OSGetCurrentThreadID();
    ++started;
    // Stay alive until all have their id, so no id can be reused.
    gnutil_test::WaitUntil([&] { return started == 4; });
  });
  std::set<unsigned long> distinct{OSGetCurrentThreadID()};
  for (auto& id : ids) {
    EXPECT_NE(id.load(), 0u);
    distinct.insert(id.load());
  }
  EXPECT_EQ(distinct.size(), 5u);
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
// on different threads, and a thread without a table has none.
TEST_F(Threads, NamedVariablesAreInvisibleAcrossThreads) {
  CGNLclSt* vars = CGNLclSt::Instance();
  ASSERT_EQ(vars->Init(4), 1);
  int mainValue = 0;
  ASSERT_EQ(vars->SetLocalVariable("timezone", &mainValue), 0);
  std::atomic<int> failures{0};
  RunThreads(4, [&](int) {
    int local = 0;
    if (vars->GetLocalVariable("timezone") != nullptr) ++failures;
    if (vars->SetLocalVariable("timezone", &local) != -1) ++failures;  // no table yet
    if (vars->Init(2) != 1) ++failures;
    if (vars->SetLocalVariable("timezone", &local) != 0) ++failures;
    for (int i = 0; i < 1000; ++i) {
      if (vars->GetLocalVariable("timezone") != &local) ++failures;
    }
  });
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(vars->GetLocalVariable("timezone"), &mainValue);
}

// A table handed over through OSThreadCreate becomes the new thread's own.
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
  // The caller's block stays the caller's once the thread has ended.
  free(slots[0].m_pName);
  free(block);
}

// Thread ids are reused (quickly on Windows): a new thread must not find the
// table or the registered value of a thread that has ended.
TEST_F(Threads, ThreadsNeverInheritAnEndedThreadsVariables) {
  CGNLclSt* vars = CGNLclSt::Instance();
  std::atomic<int> failures{0};
  static int marker;
  for (int i = 0; i < 60; ++i) {
    TestThread t([&] {
      if (OSGetThreadData() != nullptr) ++failures;
      if (vars->GetLocalVariable("recflag") != nullptr) ++failures;
      if (vars->Init(1) != 1 || vars->SetLocalVariable("recflag", &marker) != 0) ++failures;
    });
  }
  EXPECT_EQ(failures, 0);
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

TEST(FirstUse, TheGlobalNamedMutexPoolIsMadeOnce) {
  OSSetThreaded();
  ExpectMadeOnce([] { return CGNGlobalNamedMutexPool::GetInstance(); },
                 [] { CGNGlobalNamedMutexPool::Free(); });
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
