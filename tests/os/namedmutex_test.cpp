// The named mutex pool in one thread: records, counts and clean-up.
#include <gnutil/namedmutex.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include "genutil/alloc.h"

namespace {

// Sees the pool's list, which is protected.
class Pool : public CGNNamedMutexPool {
 public:
  int Names() const { return m_list.GetCount(); }
};

class NamedMutexTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) OSSetThreaded();
    ASSERT_EQ(pool_.Init(), 1);
  }
  Pool pool_;
};

TEST_P(NamedMutexTest, RecursiveWaitNeedsAsManyReleases) {
  CGNString a("alpha");
  ASSERT_EQ(pool_.WaitNamedMutex(a), 1);
  ASSERT_EQ(pool_.WaitNamedMutex(CGNString("alpha")), 1);
  EXPECT_EQ(pool_.Names(), 1);
  pool_.ReleaseNamedMutex(a);
  EXPECT_EQ(pool_.Names(), 1) << "one user left";
  pool_.ReleaseNamedMutex(a);
  EXPECT_EQ(pool_.Names(), 0);
  pool_.ReleaseNamedMutex(a);  // gone: ignored
  EXPECT_EQ(pool_.Names(), 0);
}

TEST_P(NamedMutexTest, NamesAreDistinctAndExact) {
  ASSERT_EQ(pool_.WaitNamedMutex(CGNString("a")), 1);
  ASSERT_EQ(pool_.WaitNamedMutex(CGNString("A")), 1);
  ASSERT_EQ(pool_.WaitNamedMutex(CGNString("")), 1);
  EXPECT_EQ(pool_.Names(), 3);
  pool_.ReleaseNamedMutex(CGNString("A"));
  pool_.ReleaseNamedMutex(CGNString("a"));
  pool_.ReleaseNamedMutex(CGNString(""));
  EXPECT_EQ(pool_.Names(), 0);
}

TEST_P(NamedMutexTest, RelIfWaitReleasesOnlyAHeldName) {
  pool_.RelIfWaitNamedMutex(CGNString("never"));
  pool_.ReleaseNamedMutex(CGNString("never"));
  EXPECT_EQ(pool_.Names(), 0);
  ASSERT_EQ(pool_.WaitNamedMutex(CGNString("held")), 1);
  pool_.RelIfWaitNamedMutex(CGNString("held"));
  EXPECT_EQ(pool_.Names(), 0);
}

TEST_P(NamedMutexTest, ARecordThatCannotBeMadeFailsTheWait) {
  ASSERT_EQ(pool_.WaitNamedMutex(CGNString("first")), 1);
  const CGNString second("second");
  int failures = 0;
  for (int n = 0; n < 4; ++n) {
    gnutil::testing::FailAllocationAfter(n);
    unsigned char ok = pool_.WaitNamedMutex(second);
    gnutil::testing::FailAllocationAfter(-1);
    if (ok) {
      pool_.ReleaseNamedMutex(second);
    } else {
      ++failures;
      EXPECT_EQ(pool_.Names(), 1) << "a failed wait left a record behind";
    }
  }
  EXPECT_GE(failures, 1);
  pool_.ReleaseNamedMutex(CGNString("first"));
  EXPECT_EQ(pool_.Names(), 0);
}

TEST_P(NamedMutexTest, PoolWithoutInitRefusesToWait) {
  Pool bare;
  EXPECT_EQ(bare.WaitNamedMutex(CGNString("x")), 0);
  bare.ReleaseNamedMutex(CGNString("x"));
  bare.RelIfWaitNamedMutex(CGNString("x"));
  EXPECT_EQ(bare.Names(), 0);
}

TEST_P(NamedMutexTest, GlobalPoolIsOneUntilFreed) {
  CGNGlobalNamedMutexPool* pool = CGNGlobalNamedMutexPool::GetInstance();
  ASSERT_NE(pool, nullptr);
  EXPECT_EQ(CGNGlobalNamedMutexPool::GetInstance(), pool);
  EXPECT_EQ(CGNGlobalNamedMutexPool::instance, pool);
  ASSERT_EQ(pool->WaitNamedMutex(CGNString("g")), 1);
  pool->ReleaseNamedMutex(CGNString("g"));
  CGNGlobalNamedMutexPool::Free();
  EXPECT_EQ(CGNGlobalNamedMutexPool::instance, nullptr);
  ASSERT_NE(CGNGlobalNamedMutexPool::GetInstance(), nullptr);
  CGNGlobalNamedMutexPool::Free();
}

INSTANTIATE_TEST_SUITE_P(Modes, NamedMutexTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Threaded" : "Unthreaded";
                         });

}  // namespace
