// The named mutex pool with real threads: exclusion per name, independence
// of names, clean-up when the last user leaves.
#include <gnutil/namedmutex.h>
#include <gnutil/osthread.h>
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
using std::chrono::milliseconds;

constexpr milliseconds kStaysBlocked{100};

class Pool : public CGNNamedMutexPool {
 public:
  // Under the pool mutex, as every reader of the list must be.
  int Names() {
    OSMutexWait(m_pPoolMutex);
    int n = m_list.GetCount();
    OSMutexRelease(m_pPoolMutex);
    return n;
  }
};

class NamedMutexPoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OSSetThreaded();
    ASSERT_EQ(pool_.Init(), 1);
  }
  Pool pool_;
};

TEST_F(NamedMutexPoolTest, SecondWaiterBlocksUntilTheFirstReleasesThenTheNameGoes) {
  const CGNString name("job");
  ASSERT_EQ(pool_.WaitNamedMutex(name), 1);
  std::atomic<bool> got{false};
  TestThread second([&] {
    EXPECT_EQ(pool_.WaitNamedMutex(name), 1);
    got = true;
    pool_.ReleaseNamedMutex(name);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(got);
  EXPECT_EQ(pool_.Names(), 1);
  pool_.ReleaseNamedMutex(name);
  EXPECT_TRUE(WaitUntil([&] { return got.load(); }));
  second.Join();
  EXPECT_EQ(pool_.Names(), 0);
}

// A thread blocked on one name holds nothing else up: other names can be
// taken and released meanwhile.
TEST_F(NamedMutexPoolTest, AThreadBlockedOnANameDoesNotBlockThePool) {
  const CGNString busy("busy"), other("other");
  ASSERT_EQ(pool_.WaitNamedMutex(busy), 1);
  std::atomic<bool> blockedGot{false}, otherDone{false};
  TestThread blocked([&] {
    pool_.WaitNamedMutex(busy);
    blockedGot = true;
    pool_.ReleaseNamedMutex(busy);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  TestThread free([&] {
    EXPECT_EQ(pool_.WaitNamedMutex(other), 1);
    pool_.ReleaseNamedMutex(other);
    otherDone = true;
  });
  EXPECT_TRUE(WaitUntil([&] { return otherDone.load(); }));
  EXPECT_FALSE(blockedGot);
  pool_.ReleaseNamedMutex(busy);
  EXPECT_TRUE(WaitUntil([&] { return blockedGot.load(); }));
}

TEST_F(NamedMutexPoolTest, ReleaseByAThreadThatDoesNotHoldTheNameChangesNothing) {
  const CGNString name("mine");
  ASSERT_EQ(pool_.WaitNamedMutex(name), 1);
  testing::internal::CaptureStdout();
  TestThread stranger([&] {
    pool_.ReleaseNamedMutex(name);
    pool_.RelIfWaitNamedMutex(name);
  });
  stranger.Join();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(std::regex_match(out, std::regex("(Error [0-9a-f]+\n){2}"))) << out;
  EXPECT_EQ(pool_.Names(), 1);

  std::atomic<bool> got{false};
  TestThread waiter([&] {
    pool_.WaitNamedMutex(name);
    got = true;
    pool_.ReleaseNamedMutex(name);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(got) << "a stranger's release let another thread in";
  pool_.ReleaseNamedMutex(name);
  EXPECT_TRUE(WaitUntil([&] { return got.load(); }));
  waiter.Join();
  EXPECT_EQ(pool_.Names(), 0);
}

// Many threads over a few names: each name's counter is changed only by the
// thread holding it, and the pool is empty at the end.
TEST_F(NamedMutexPoolTest, StressManyThreadsManyNames) {
  constexpr int kNames = 16, kThreads = 8, kRounds = 600;
  CGNString names[kNames];
  for (int i = 0; i < kNames; ++i) names[i] = ("name" + std::to_string(i)).c_str();
  long counters[kNames] = {};
  std::atomic<int> inside[kNames] = {};
  std::atomic<int> violations{0};
  {
    std::vector<std::unique_ptr<TestThread>> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.push_back(std::make_unique<TestThread>([&, t] {
        for (int i = 0; i < kRounds; ++i) {
          int k = (i * 7 + t * 3) % kNames;
          if (!pool_.WaitNamedMutex(names[k])) {
            ++violations;
            continue;
          }
          if (inside[k].fetch_add(1) != 0) ++violations;
          ++counters[k];
          if (i % 5 == 0) {  // nested, as a recursive caller would
            pool_.WaitNamedMutex(names[k]);
            pool_.ReleaseNamedMutex(names[k]);
          }
          inside[k].fetch_sub(1);
          // A nested release clears the held mark, so only an unnested hold
          // can be let go with RelIfWait.
          if (i % 3 == 0 && i % 5 != 0) {
            pool_.RelIfWaitNamedMutex(names[k]);
          } else {
            pool_.ReleaseNamedMutex(names[k]);
          }
        }
      }));
    }
  }
  EXPECT_EQ(violations, 0);
  long total = 0;
  for (long c : counters) total += c;
  EXPECT_EQ(total, long{kThreads} * kRounds);
  EXPECT_EQ(pool_.Names(), 0) << "records left after every user released";
}

}  // namespace
