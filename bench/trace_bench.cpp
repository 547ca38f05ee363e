// The trace and the stopwatch against their natural peers, in one run:
//   a disabled trace category          vs an uncontended std::mutex lock + unlock
//   an enabled line, dated, to a file
//   flushed after every line           vs spdlog's basic file sink flushed on every message
//   OSTime start + stop (logs on)      vs two std::chrono::steady_clock reads
// The process is threaded, so trace lines carry the thread id and take the
// trace's mutex and the clock lock, as in the programs that use it. After
// the usual table the program prints each pair's ratio (ours / peer).
#include <benchmark/benchmark.h>
#include <gnutil/datetime.h>
#include <gnutil/gntrace.h>
#include <gnutil/osthread.h>
#include <gnutil/ostime.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>
#include <stdio.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

#include "ratio_reporter.h"

namespace {

const bool kThreaded = [] {
  OSSetThreaded();
  CGNDateTime::ModuleInit();
  return true;
}();

std::string BenchFile(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

void BM_StdMutex_LockUnlock(benchmark::State& state) {
  std::mutex m;
  for (auto _ : state) {
    m.lock();
    m.unlock();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_StdMutex_LockUnlock);

void BM_Trace_Disabled(benchmark::State& state) {
  CGNTrace trace;
  trace.Init();
  std::string path = BenchFile("gnutil-bench-disabled.log");
  CGNString name(path.c_str());
  trace.ResetOutput(1, name, 0);
  trace.ResetMask(0x0001);
  CGNString label("bench");
  int i = 0;
  for (auto _ : state) {
    trace.WriteMsg(nullptr, 0x0002, label, "value %d", ++i);
    benchmark::ClobberMemory();
  }
  trace.ResetOutput(0);
  std::filesystem::remove(path);
}
BENCHMARK(BM_Trace_Disabled);

void BM_Trace_EnabledFlushedLine(benchmark::State& state) {
  CGNTrace trace;
  trace.Init();
  std::string path = BenchFile("gnutil-bench-trace.log");
  std::filesystem::remove(path);
  CGNString name(path.c_str());
  trace.ResetOutput(1, name, 0);
  trace.ResetMask(0x0001);
  CGNString label("bench");
  int i = 0;
  for (auto _ : state) trace.WriteMsg(nullptr, 0x0001, label, "value %d", ++i);
  trace.ResetOutput(0);
  std::filesystem::remove(path);
}
BENCHMARK(BM_Trace_EnabledFlushedLine);

void BM_Spdlog_FlushedLine(benchmark::State& state) {
  std::string path = BenchFile("gnutil-bench-spdlog.log");
  std::filesystem::remove(path);
  {
    auto logger = spdlog::basic_logger_mt("bench", path, true);
    logger->flush_on(spdlog::level::info);
    int i = 0;
    for (auto _ : state) logger->info("value {}", ++i);
    spdlog::drop("bench");
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_Spdlog_FlushedLine);

void BM_Spdlog_Disabled(benchmark::State& state) {
  std::string path = BenchFile("gnutil-bench-spdlog-off.log");
  {
    auto logger = spdlog::basic_logger_mt("bench-off", path, true);
    logger->set_level(spdlog::level::info);
    int i = 0;
    for (auto _ : state) {
      logger->debug("value {}", ++i);
      benchmark::ClobberMemory();
    }
    spdlog::drop("bench-off");
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_Spdlog_Disabled);

void DiscardLine(const char*) {}

void BM_OSTime_StartStop(benchmark::State& state) {
  OSTime::EnableLog(1);
  for (auto _ : state) {
    OSTime watch;
    watch.SetLogHandler(DiscardLine);
  }
  OSTime::EnableLog(0);
}
BENCHMARK(BM_OSTime_StartStop);

void BM_OSTime_StartStop_LogsOff(benchmark::State& state) {
  for (auto _ : state) {
    OSTime watch;
    benchmark::DoNotOptimize(&watch);
  }
}
BENCHMARK(BM_OSTime_StartStop_LogsOff);

void BM_SteadyClock_TwoReads(benchmark::State& state) {
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    auto end = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(end - start);
  }
}
BENCHMARK(BM_SteadyClock_TwoReads);

}  // namespace

int main(int argc, char** argv) {
  return gnutil::bench::RunWithRatios(
      argc, argv,
      {
          {"BM_Trace_Disabled", "BM_StdMutex_LockUnlock", 2.0},
          {"BM_Trace_EnabledFlushedLine", "BM_Spdlog_FlushedLine", 1.5},
          {"BM_Trace_Disabled", "BM_Spdlog_Disabled"},
          {"BM_OSTime_StartStop", "BM_SteadyClock_TwoReads"},
      });
}
