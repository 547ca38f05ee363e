// The thread layer against the standard library's peers, in one run:
//   OSMutexWait/OSMutexRelease (uncontended)  vs std::recursive_mutex
//   the same, one mutex shared by 2/4/8 threads vs std::recursive_mutex
//   OSRWLockReadWait/ReadRelease (uncontended) vs std::shared_mutex::lock_shared
//   CGNNamedMutexPool, 1/2/8 threads, 16 names vs std::mutex + unordered_map of mutexes
// After the usual table the program prints each pair's ratio (ours / peer,
// per operation, in real and in CPU time).
#include <benchmark/benchmark.h>
#include <gnutil/namedmutex.h>
#include <gnutil/osthread.h>

#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "ratio_reporter.h"

namespace {

constexpr int kNames = 16;

// The process goes threaded before any benchmark creates an object.
const bool kThreaded = [] {
  OSSetThreaded();
  return true;
}();

void BM_OSMutex_Uncontended(benchmark::State& state) {
  _osmutex* m = OSMutexCreate();
  for (auto _ : state) {
    OSMutexWait(m);
    OSMutexRelease(m);
  }
  OSMutexDestroy(m);
}
BENCHMARK(BM_OSMutex_Uncontended);

void BM_StdRecursiveMutex_Uncontended(benchmark::State& state) {
  std::recursive_mutex m;
  for (auto _ : state) {
    m.lock();
    m.unlock();
  }
}
BENCHMARK(BM_StdRecursiveMutex_Uncontended);

// One mutex shared by every thread of the run; each critical section is a
// few increments, so the threads really meet on the lock.
_osmutex* g_shared = nullptr;
std::recursive_mutex g_stdShared;
long g_counter = 0;

void BM_OSMutex_Contended(benchmark::State& state) {
  if (state.thread_index() == 0) g_shared = OSMutexCreate();
  for (auto _ : state) {
    OSMutexWait(g_shared);
    benchmark::DoNotOptimize(++g_counter);
    OSMutexRelease(g_shared);
  }
  if (state.thread_index() == 0) {
    OSMutexDestroy(g_shared);
    g_shared = nullptr;
  }
}
BENCHMARK(BM_OSMutex_Contended)->Threads(2)->Threads(4)->Threads(8)->UseRealTime();

void BM_StdRecursiveMutex_Contended(benchmark::State& state) {
  for (auto _ : state) {
    g_stdShared.lock();
    benchmark::DoNotOptimize(++g_counter);
    g_stdShared.unlock();
  }
}
BENCHMARK(BM_StdRecursiveMutex_Contended)->Threads(2)->Threads(4)->Threads(8)->UseRealTime();

void BM_OSRWLockRead_Uncontended(benchmark::State& state) {
  _osrdwr* rw = OSRWLockCreate();
  for (auto _ : state) {
    OSRWLockReadWait(rw);
    OSRWLockReadRelease(rw);
  }
  OSRWLockDestroy(rw);
}
BENCHMARK(BM_OSRWLockRead_Uncontended);

void BM_StdSharedMutexRead_Uncontended(benchmark::State& state) {
  std::shared_mutex m;
  for (auto _ : state) {
    m.lock_shared();
    m.unlock_shared();
  }
}
BENCHMARK(BM_StdSharedMutexRead_Uncontended);

// --- Named mutexes: each thread walks the 16 names from its own offset ---

CGNNamedMutexPool* g_pool = nullptr;
std::vector<CGNString>* g_poolNames = nullptr;

void BM_NamedMutexPool(benchmark::State& state) {
  if (state.thread_index() == 0) {
    g_pool = new CGNNamedMutexPool();
    g_pool->Init();
    g_poolNames = new std::vector<CGNString>();
    for (int i = 0; i < kNames; ++i)
      g_poolNames->emplace_back(("name" + std::to_string(i)).c_str());
  }
  int i = state.thread_index() * 5;
  for (auto _ : state) {
    const CGNString& name = (*g_poolNames)[i++ % kNames];
    g_pool->WaitNamedMutex(name);
    g_pool->ReleaseNamedMutex(name);
  }
  if (state.thread_index() == 0) {
    delete g_pool;
    delete g_poolNames;
  }
}
BENCHMARK(BM_NamedMutexPool)->Threads(1)->Threads(2)->Threads(8)->UseRealTime();

// The natural peer: one map mutex, a mutex per name made on first use and
// kept (it never needs to be freed, which makes the peer cheaper).
struct MutexMap {
  std::mutex guard;
  std::unordered_map<std::string, std::unique_ptr<std::mutex>> mutexes;
  std::mutex& Get(const std::string& name) {
    std::lock_guard<std::mutex> hold(guard);
    auto& slot = mutexes[name];
    if (!slot) slot = std::make_unique<std::mutex>();
    return *slot;
  }
};
MutexMap* g_map = nullptr;
std::vector<std::string>* g_mapNames = nullptr;

void BM_StdMutexMap(benchmark::State& state) {
  if (state.thread_index() == 0) {
    g_map = new MutexMap();
    g_mapNames = new std::vector<std::string>();
    for (int i = 0; i < kNames; ++i) g_mapNames->push_back("name" + std::to_string(i));
  }
  int i = state.thread_index() * 5;
  for (auto _ : state) {
    std::mutex& m = g_map->Get((*g_mapNames)[i++ % kNames]);
    m.lock();
    m.unlock();
  }
  if (state.thread_index() == 0) {
    delete g_map;
    delete g_mapNames;
  }
}
BENCHMARK(BM_StdMutexMap)->Threads(1)->Threads(2)->Threads(8)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  std::vector<gnutil::bench::RatioPair> pairs = {
      {"BM_OSMutex_Uncontended", "BM_StdRecursiveMutex_Uncontended"},
      {"BM_OSRWLockRead_Uncontended", "BM_StdSharedMutexRead_Uncontended"},
  };
  for (const char* t : {"2", "4", "8"}) {
    std::string suffix = std::string("/real_time/threads:") + t;
    pairs.push_back({"BM_OSMutex_Contended" + suffix, "BM_StdRecursiveMutex_Contended" + suffix});
  }
  for (const char* t : {"1", "2", "8"}) {
    std::string suffix = std::string("/real_time/threads:") + t;
    pairs.push_back({"BM_NamedMutexPool" + suffix, "BM_StdMutexMap" + suffix});
  }
  return gnutil::bench::RunWithRatios(argc, argv, pairs);
}
