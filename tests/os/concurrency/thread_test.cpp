// Threads, the thread-data registry and per-thread named variables, with
// real threads.
#include <gnutil/lclst.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <memory>
#include <set>
#include <vector>

#include "os/thread_internal.h"
#include "support/thread_runner.h"
#include "support/watchdog.h"

namespace {

using gnutil_test::TestThread;

class ThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { OSSetThreaded(); }
};

TEST_F(ThreadTest, ThreadDataIsInPlaceBeforeTheFunctionRuns) {
  int value = 0, other = 0;
  void* first = nullptr;
  void* replaced = nullptr;
  TestThread t(
      [&] {
        first = OSGetThreadData();
        EXPECT_EQ(OSSetThreadData(&other), 1);
        replaced = OSGetThreadData();
      },
      &value);
  t.Join();
  EXPECT_EQ(first, &value);
  EXPECT_EQ(replaced, &other);
  EXPECT_EQ(OSGetThreadData(), nullptr) << "the main thread registered nothing";
}

TEST_F(ThreadTest, RegistryRefusesNullAndKeepsThreadsApart) {
  EXPECT_EQ(OSSetThreadData(nullptr), 0);
  int mine = 0;
  ASSERT_EQ(OSSetThreadData(&mine), 1);
  void* seen = &mine;
  TestThread t([&] { seen = OSGetThreadData(); });
  t.Join();
  EXPECT_EQ(seen, nullptr);
  EXPECT_EQ(OSGetThreadData(), &mine);
}

TEST_F(ThreadTest, ThreadIdsAreNonZeroAndDistinct) {
  std::atomic<unsigned long> ids[4] = {};
  {
    std::vector<std::unique_ptr<TestThread>> threads;
    std::atomic<int> started{0};
    for (auto& id : ids) {
      threads.push_back(std::make_unique<TestThread>([&] {
        id = OSGetCurrentThreadID();
        ++started;
        // Stay alive until all have their id, so no id can be reused.
        gnutil_test::WaitUntil([&] { return started == 4; });
      }));
    }
  }
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

TEST_F(ThreadTest, ExitEndsTheThreadAndWaitingTwiceIsHarmless) {
  std::atomic<int> flag{0};
  _osthread* t = OSThreadCreate(ExitsEarly, &flag, nullptr);
  ASSERT_NE(t, nullptr);
  OSThreadTerminateWait(t);
  OSThreadTerminateWait(t);
  EXPECT_EQ(flag, 1);
  OSThreadDestroy(t);
}

unsigned int Finish(void* flag) {
  static_cast<std::atomic<bool>*>(flag)->store(true);
  return 0;
}

TEST_F(ThreadTest, DestroyWithoutWaitingLeavesTheThreadRunning) {
  std::atomic<bool> flag{false};
  _osthread* t = OSThreadCreate(Finish, &flag, nullptr);
  ASSERT_NE(t, nullptr);
  OSThreadDestroy(t);
  EXPECT_TRUE(gnutil_test::WaitUntil([&] { return flag.load(); }));
}

// Each thread's variables are its own: the same name holds different values
// on different threads, and a thread without a table has none.
TEST_F(ThreadTest, NamedVariablesAreInvisibleAcrossThreads) {
  CGNLclSt* vars = CGNLclSt::Instance();
  ASSERT_EQ(vars->Init(4), 1);
  int mainValue = 0;
  ASSERT_EQ(vars->SetLocalVariable("timezone", &mainValue), 0);

  std::atomic<int> failures{0};
  {
    std::vector<std::unique_ptr<TestThread>> threads;
    for (int t = 0; t < 4; ++t) {
      threads.push_back(std::make_unique<TestThread>([&] {
        int local = 0;
        if (vars->GetLocalVariable("timezone") != nullptr) ++failures;
        if (vars->SetLocalVariable("timezone", &local) != -1) ++failures;  // no table yet
        if (vars->Init(2) != 1) ++failures;
        if (vars->SetLocalVariable("timezone", &local) != 0) ++failures;
        for (int i = 0; i < 1000; ++i) {
          if (vars->GetLocalVariable("timezone") != &local) ++failures;
        }
      }));
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(vars->GetLocalVariable("timezone"), &mainValue);
}

// A table handed over through OSThreadCreate becomes the new thread's own.
TEST_F(ThreadTest, TableGivenAtCreationIsTheThreadsTable) {
  auto* block =
      static_cast<CGNLclStBlock*>(calloc(1, sizeof(CGNLclStBlock) + 3 * sizeof(CGNLclStSlot)));
  block->m_count = 3;
  int value = 0;
  long index = -2;
  void* seen = nullptr;
  TestThread t(
      [&] {
        CGNLclSt* vars = CGNLclSt::Instance();
        EXPECT_EQ(vars->Init(10), 1);  // already has one: kept as it is
        index = vars->SetLocalVariable("recflag", &value);
        seen = vars->GetLocalVariable("recflag");
      },
      block);
  t.Join();
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
TEST_F(ThreadTest, ThreadsNeverInheritAnEndedThreadsVariables) {
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

}  // namespace
