// Lists, splitting and replacing against their std:: peers: CGNStringList
// against std::vector<std::string>, Split against a std::string split, and
// Replace (which works on the wide copy and rebuilds the narrow text) against
// a std::string replace loop, on Shift-JIS text in the real Shift-JIS locale.
#include <benchmark/benchmark.h>
#include <locale.h>

#include <string>
#include <vector>

#include "gnutil/gnlist.h"
#include "gnutil/gnstring.h"

namespace {

std::string Fields(size_t count) {
  // Hiragana, kanji and ASCII fields separated by commas.
  static const char* const kFields[] = {"\x82\xA0\x82\xA2", "\x93\xFA\x96\x7B", "text", "123"};
  std::string s;
  for (size_t i = 0; i < count; ++i) {
    if (i) s += ',';
    s += kFields[i % 4];
  }
  return s;
}

bool UseShiftJis(benchmark::State& state) {
  if (setlocale(LC_ALL, "ja_JP.sjis") == nullptr) {
    state.SkipWithError("ja_JP.sjis missing (set LOCPATH)");
    return false;
  }
  return true;
}

void BM_StringList_AddItem(benchmark::State& state) {
  CGNString item("\x82\xA0\x82\xA2 field");
  for (auto _ : state) {
    CGNStringList list(static_cast<unsigned>(state.range(0)), 10);
    for (int64_t i = 0; i < state.range(0); ++i) list.AddItem(item);
    benchmark::DoNotOptimize(list.GetCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Vector_push_back(benchmark::State& state) {
  std::string item("\x82\xA0\x82\xA2 field");
  for (auto _ : state) {
    std::vector<std::string> list;
    list.reserve(static_cast<size_t>(state.range(0)));
    for (int64_t i = 0; i < state.range(0); ++i) list.push_back(item);
    benchmark::DoNotOptimize(list.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The default growth: one reallocation per ten items.
void BM_StringList_AddItemDefaultGrowth(benchmark::State& state) {
  CGNString item("x");
  for (auto _ : state) {
    CGNStringList list;
    for (int64_t i = 0; i < state.range(0); ++i) list.AddItem(item);
    benchmark::DoNotOptimize(list.GetCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Split(benchmark::State& state) {
  if (!UseShiftJis(state)) return;
  CGNString text(Fields(static_cast<size_t>(state.range(0))).c_str());
  CGNStringList list(static_cast<unsigned>(state.range(0)), 10);
  for (auto _ : state) {
    text.Split(list, ",");
    benchmark::DoNotOptimize(list.GetCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.GetLength());
}

void BM_StdSplit(benchmark::State& state) {
  std::string text = Fields(static_cast<size_t>(state.range(0)));
  std::vector<std::string> list;
  for (auto _ : state) {
    list.clear();
    size_t from = 0, at;
    while ((at = text.find(',', from)) != std::string::npos) {
      list.emplace_back(text, from, at - from);
      from = at + 1;
    }
    list.emplace_back(text, from);
    benchmark::DoNotOptimize(list.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size());
}

void BM_Replace(benchmark::State& state) {
  if (!UseShiftJis(state)) return;
  std::string text = Fields(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    CGNString s(text.c_str());
    s.Replace(",", "; ");
    benchmark::DoNotOptimize(s.GetLength());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size());
}

void BM_StdReplace(benchmark::State& state) {
  std::string text = Fields(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    std::string s = text;
    std::string out;
    out.reserve(s.size() * 2);
    size_t from = 0, at;
    while ((at = s.find(',', from)) != std::string::npos) {
      out.append(s, from, at - from).append("; ");
      from = at + 1;
    }
    out.append(s, from);
    benchmark::DoNotOptimize(out.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * text.size());
}

BENCHMARK(BM_StringList_AddItem)->Arg(1000);
BENCHMARK(BM_Vector_push_back)->Arg(1000);
BENCHMARK(BM_StringList_AddItemDefaultGrowth)->Arg(1000)->Arg(10000);
BENCHMARK(BM_Split)->Arg(1000);
BENCHMARK(BM_StdSplit)->Arg(1000);
BENCHMARK(BM_Replace)->Arg(1000);
BENCHMARK(BM_StdReplace)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
