// The named mutex pool: records, counts and clean-up in one thread (with and
// without threads switched on), exclusion per name with real threads.
#include <gnutil/namedmutex.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "genutil/alloc.h"
#include "support/os_threads.h"

namespace {

using gnutil_test::StaysOutUntil;
using gnutil_test::TestThread;
using gnutil_test::WaitUntil;

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
  bare.Release("x");
  bare.RelIfWaitNamedMutex(CGNString("x"));
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

INSTANTIATE_TEST_SUITE_P(Modes, NamedMutex, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Threaded" : "Unthreaded";
                         });

class NamedMutexThreads : public ::testing::Test {
 protected:
  void SetUp() override {
    OSSetThreaded();
    ASSERT_EQ(pool_.Init(), 1);
  }
  Pool pool_;
};

// A release by a thread that does not hold the name is refused and changes
// nothing; a second waiter is held back until the holder lets go, then the
// name goes; meanwhile other names can be taken and released.
TEST_F(NamedMutexThreads, WaitersOnANameExcludeEachOtherOnly) {
  ASSERT_TRUE(pool_.Wait("busy"));
  testing::internal::CaptureStdout();
  TestThread([&] {
    pool_.Release("busy");
    pool_.RelIfWaitNamedMutex(CGNString("busy"));
  }).Join();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(std::regex_match(out, std::regex("(Error [0-9a-f]+\n){2}"))) << out;
  EXPECT_TRUE(StaysOutUntil(
      [&] {
        EXPECT_EQ(pool_.Names(), 1);
        TestThread([&] {
          EXPECT_TRUE(pool_.Wait("other"));
          pool_.Release("other");
        }).Join();
        pool_.Release("busy");
      },
      [&] { EXPECT_TRUE(pool_.Wait("busy")); }, [&] { pool_.Release("busy"); }));
  EXPECT_TRUE(WaitUntil([&] { return pool_.Names() == 0; }));
}

// Many threads over a few names: each name's counter is changed only by the
// thread holding it, and the pool is empty at the end.
TEST_F(NamedMutexThreads, StressManyThreadsManyNames) {
  constexpr int kNames = 16, kThreads = 8, kRounds = 600;
  long counters[kNames] = {};
  std::atomic<int> inside[kNames] = {};
  std::atomic<int> violations{0};
  gnutil_test::RunThreads(kThreads, [&](int t) {
    for (int i = 0; i < kRounds; ++i) {
      const int k = (i * 7 + t * 3) % kNames;
      const std::string text = "name" + std::to_string(k);
      const char* name = text.c_str();
      if (!pool_.Wait(name)) {
        ++violations;
        continue;
      }
      if (inside[k].fetch_add(1) != 0) ++violations;
      ++counters[k];
      if (i % 5 == 0) {  // nested, as a recursive caller would
        pool_.Wait(name);
        pool_.Release(name);
      }
      inside[k].fetch_sub(1);
      // A nested release clears the held mark, so only an unnested hold can
      // be let go with RelIfWait.
      if (i % 3 == 0 && i % 5 != 0) {
        pool_.RelIfWaitNamedMutex(CGNString(name));
      } else {
        pool_.Release(name);
      }
    }
  });
  EXPECT_EQ(violations, 0);
  long total = 0;
  for (long c : counters) total += c;
  EXPECT_EQ(total, long{kThreads} * kRounds);
  EXPECT_EQ(pool_.Names(), 0) << "records left after every user released";
}

}  // namespace
