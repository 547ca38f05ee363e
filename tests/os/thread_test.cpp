// The thread layer in one thread: the unthreaded mode, where every operation
// is a no-op, and records that outlive the switch to threaded mode.
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include "os/thread_internal.h"

namespace {

TEST(UnthreadedTest, SynchronisationDoesNothingBeforeTheSwitch) {
  EXPECT_EQ(OSIsThreaded(), 0);
  _osmutex* m = OSMutexCreate();
  _osrdwr* rw = OSRWLockCreate();
  _oscondition* c = OSConditionCreate();
  ASSERT_NE(m, nullptr);
  ASSERT_NE(rw, nullptr);
  ASSERT_NE(c, nullptr);
  // None of these may block or fail: a writer after a reader, a wait with
  // nobody to signal, a release that nothing preceded.
  OSMutexWait(m);
  OSMutexWait(m);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(m), 0);
  OSMutexRelease(m);
  OSMutexRelease(m);
  OSMutexRelease(m);
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
  OSConditionDestroy(c);
  OSRWLockDestroy(rw);
  OSMutexDestroy(m);
}

TEST(UnthreadedTest, RecordsMadeBeforeTheSwitchStayInert) {
  _osmutex* m = OSMutexCreate();
  _osrdwr* rw = OSRWLockCreate();
  _oscondition* c = OSConditionCreate();
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
}

TEST(UnthreadedTest, DestroyingNullRecordsDoesNothing) {
  OSMutexDestroy(nullptr);
  OSRWLockDestroy(nullptr);
  OSConditionDestroy(nullptr);
  OSThreadDestroy(nullptr);
  OSThreadTerminateWait(nullptr);
  OSSetThreaded();
  OSMutexWait(nullptr);
  OSMutexRelease(nullptr);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(nullptr), 0);
  OSRWLockReadWait(nullptr);
  OSRWLockWriteRelease(nullptr);
  OSConditionSignal(nullptr);
  OSConditionWait(nullptr, nullptr);
  EXPECT_EQ(OSThreadCreate(nullptr, nullptr, nullptr), nullptr);
  OSMutexDestroy(nullptr);
}

TEST(ThreadedTest, SetThreadedTwiceKeepsTheRegistry) {
  OSSetThreaded();
  int value = 0;
  ASSERT_EQ(OSSetThreadData(&value), 1);
  OSSetThreaded();
  EXPECT_EQ(OSIsThreaded(), 1);
  EXPECT_EQ(OSGetThreadData(), &value);
}

TEST(ThreadedTest, RemoveAllReleasesOnlyWhatWasTakenThroughWait) {
  OSSetThreaded();
  _osmutex* a = OSMutexCreate();
  _osmutex* b = OSMutexCreate();
  for (int i = 0; i < 100; ++i) OSMutexWait(a);  // deeper than any entry cache
  OSMutexWait(b);
  OSMutexRelease(b);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(a), 1);
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(b), 0);
  testing::internal::CaptureStdout();
  OSMutexWaitRemoveThisThread();
  OSMutexWaitRemoveThisThread();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "every level released exactly once";
  EXPECT_EQ(OSMutexWaitIsPresentThisThread(a), 0);
  OSMutexDestroy(b);
  OSMutexDestroy(a);
}

}  // namespace
