// Character counting and the wide copy of CGNString against the C runtime's
// own conversion (mbstowcs), on Shift-JIS text in the real Shift-JIS locale.
#include <benchmark/benchmark.h>
#include <locale.h>
#include <stdlib.h>

#include <string>

#include "gnutil/gnstring.h"

namespace {

std::string MixedShiftJis(size_t bytes) {
  // Hiragana, kanji, half-width katakana and ASCII in turn.
  static const char kPiece[] = "\x82\xA0\x82\xA2\x93\xFA\x96\x7B\xB1\xB2 text 123 ";
  std::string s;
  while (s.size() < bytes) s += kPiece;
  return s;
}

bool UseShiftJis(benchmark::State& state) {
  if (setlocale(LC_ALL, "ja_JP.sjis") == nullptr) {
    state.SkipWithError("ja_JP.sjis missing (set LOCPATH)");
    return false;
  }
  return true;
}

void BM_GetNumChars(benchmark::State& state) {
  if (!UseShiftJis(state)) return;
  CGNString s(MixedShiftJis(1 << 20).c_str());
  for (auto _ : state) benchmark::DoNotOptimize(s.GetNumChars());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * s.GetLength());
}

void BM_mbstowcs_count(benchmark::State& state) {
  if (!UseShiftJis(state)) return;
  std::string s = MixedShiftJis(1 << 20);
  for (auto _ : state) benchmark::DoNotOptimize(mbstowcs(nullptr, s.c_str(), 0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * s.size());
}

void BM_WideCopyAndRebuild(benchmark::State& state) {
  if (!UseShiftJis(state)) return;
  std::string text = MixedShiftJis(1 << 20);
  for (auto _ : state) {
    CGNString s(text.c_str());
    s.SetAt(0, 'x');  // builds the wide copy, then the narrow text from it
    benchmark::DoNotOptimize(s.GetLength());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size());
}

BENCHMARK(BM_GetNumChars);
BENCHMARK(BM_mbstowcs_count);
BENCHMARK(BM_WideCopyAndRebuild);

}  // namespace

BENCHMARK_MAIN();
