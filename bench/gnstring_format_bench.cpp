// CGNString::sprintf against snprintf into a std::string (measure, then
// format), for a short result that fits the fixed buffer and a long one that
// needs the heap; and reading escapes back.
#include <benchmark/benchmark.h>
#include <stdio.h>

#include <string>

#include "gnutil/gnstring.h"

namespace {

void BM_sprintf_short(benchmark::State& state) {
  CGNString s;
  for (auto _ : state)
    benchmark::DoNotOptimize(s.sprintf("%s: %d of %d (%5.1f%%)", "copy", 3, 7, 42.5));
}

void BM_snprintf_short(benchmark::State& state) {
  std::string s;
  for (auto _ : state) {
    int n = snprintf(nullptr, 0, "%s: %d of %d (%5.1f%%)", "copy", 3, 7, 42.5);
    s.resize(static_cast<size_t>(n));
    snprintf(&s[0], s.size() + 1, "%s: %d of %d (%5.1f%%)", "copy", 3, 7, 42.5);
    benchmark::DoNotOptimize(s.data());
  }
}

void BM_sprintf_long(benchmark::State& state) {
  std::string arg(static_cast<size_t>(state.range(0)), 'x');
  CGNString s;
  for (auto _ : state) benchmark::DoNotOptimize(s.sprintf("[%s]", arg.c_str()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_snprintf_long(benchmark::State& state) {
  std::string arg(static_cast<size_t>(state.range(0)), 'x');
  std::string s;
  for (auto _ : state) {
    int n = snprintf(nullptr, 0, "[%s]", arg.c_str());
    s.resize(static_cast<size_t>(n));
    snprintf(&s[0], s.size() + 1, "[%s]", arg.c_str());
    benchmark::DoNotOptimize(s.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_UnexpandSpecials(benchmark::State& state) {
  std::string text;
  while (text.size() < 4096) text += "line\\tcell\\n\\065\\\\path ";
  for (auto _ : state) {
    CGNString s(text.c_str());
    s.UnexpandSpecials();
    benchmark::DoNotOptimize(s.GetLength());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size());
}

}  // namespace

BENCHMARK(BM_sprintf_short);
BENCHMARK(BM_snprintf_short);
BENCHMARK(BM_sprintf_long)->Arg(100)->Arg(100000);
BENCHMARK(BM_snprintf_long)->Arg(100)->Arg(100000);
BENCHMARK(BM_UnexpandSpecials);
BENCHMARK_MAIN();
