// The thread layer in one thread: the unthreaded mode, where every operation
// is a no-op, records that outlive the switch to threaded mode, and the slot
// rules of the named variables in the process table (unthreaded) and in the
// calling thread's table (threaded).
#include <gnutil/lclst.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include "os/thread_internal.h"

namespace {

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
  OSRWLockReadRelease(rw);
  OSRWLockWriteRelease(rw);
  OSConditionWait(c, m);
  OSConditionSignal(c);
  OSConditionBroadcast(c);
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
  OSRWLockWriteRelease(nullptr);
  OSConditionSignal(nullptr);
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

TEST_P(LclSt, NothingWorksBeforeInit) {
  int v = 0;
  EXPECT_EQ(vars_->SetLocalVariable("a", &v), -1);
  EXPECT_EQ(vars_->GetLocalVariable("a"), nullptr);
  EXPECT_EQ(vars_->GetLocalVariable(0), nullptr);
  EXPECT_EQ(vars_->GetIndex("a"), -1);
  EXPECT_EQ(vars_->GetVarName(0), nullptr);
  vars_->UnsetLocalVariable("a");
  vars_->UnsetLocalVariable(nullptr);
  vars_->UnsetLocalVariable(0L);
  EXPECT_EQ(vars_->Init(0), 0);
  EXPECT_EQ(vars_->Init(-3), 0);
  EXPECT_EQ(vars_->SetLocalVariable("a", &v), -1);
}

TEST_P(LclSt, SlotRules) {
  int a = 1, a2 = 2, b = 3, c = 4, d = 5, e = 6;
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

TEST_P(LclSt, InstanceIsOneAndFreeStartsAfresh) {
  EXPECT_EQ(CGNLclSt::Instance(), vars_);
  int v = 0;
  ASSERT_EQ(vars_->Init(2), 1);
  ASSERT_EQ(vars_->SetLocalVariable("a", &v), 0);
  CGNLclSt& same = *vars_;
  same = *CGNLclSt::Instance();  // copies the fields onto themselves
  EXPECT_EQ(vars_->GetLocalVariable("a"), &v);
  CGNLclSt::Free();
  vars_ = CGNLclSt::Instance();
  // A fresh instance has no process table; a thread keeps its own table.
  EXPECT_EQ(vars_->GetLocalVariable("a"), GetParam() ? &v : nullptr);
}

INSTANTIATE_TEST_SUITE_P(Modes, LclSt, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Threaded" : "Unthreaded";
                         });

}  // namespace
