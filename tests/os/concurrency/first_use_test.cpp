// Process-wide objects made on first use: when that first use comes from
// several threads at once, there is still exactly one object.
#include <gnutil/lclst.h>
#include <gnutil/namedmutex.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 100;

// Starts kThreads threads that call get() at the same moment and returns the
// distinct results.
template <typename Get>
std::set<void*> FirstUseFromAllAtOnce(Get get) {
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
  return std::set<void*>(seen.begin(), seen.end());
}

TEST(FirstUse, TheGlobalNamedMutexPoolIsMadeOnce) {
  OSSetThreaded();
  for (int round = 0; round < kRounds; ++round) {
    std::set<void*> pools =
        FirstUseFromAllAtOnce([] { return CGNGlobalNamedMutexPool::GetInstance(); });
    ASSERT_EQ(pools.size(), 1u) << "round " << round;
    ASSERT_NE(*pools.begin(), nullptr);
    ASSERT_EQ(*pools.begin(), CGNGlobalNamedMutexPool::GetInstance());
    CGNGlobalNamedMutexPool::Free();
  }
}

TEST(FirstUse, TheLocalStorageTableIsMadeOnce) {
  for (int round = 0; round < kRounds; ++round) {
    std::set<void*> tables = FirstUseFromAllAtOnce([] { return CGNLclSt::Instance(); });
    ASSERT_EQ(tables.size(), 1u) << "round " << round;
    ASSERT_EQ(*tables.begin(), CGNLclSt::Instance());
    CGNLclSt::Free();
  }
}

}  // namespace
