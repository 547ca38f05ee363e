// The locale record's reads of the system. Date and time formatting refresh
// the process-wide record's date settings (8 items) before every formatting,
// so the cost of one refresh matters; on Linux the items come from ICU data
// worked out once per locale. The natural peer is glibc's own locale data
// read with nl_langinfo, the same 8 items.
#include <benchmark/benchmark.h>
#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>

#include "gnutil/lclocale.h"
#include "gnutil/mbutil.h"

namespace {

// The Japanese locale of the tests (LOCPATH=.locales), UTF-8 so every item
// converts.
bool UseJapanese() {
  setenv("LC_ALL", "ja_JP.utf8", 1);
  InitMbutil();
  return setlocale(LC_ALL, "ja_JP.utf8") != nullptr;
}

void BM_RefreshDateSettings(benchmark::State& state) {
  if (!UseJapanese()) state.SkipWithError("ja_JP.utf8 not installed (set LOCPATH)");
  CLCLocale l;
  l.Init();
  for (auto _ : state) {
    l.InitControlPanelDateSettings();
    benchmark::DoNotOptimize(l.m_shortDateFormat);
  }
}
BENCHMARK(BM_RefreshDateSettings);

void BM_GlibcEightItems(benchmark::State& state) {
  if (!UseJapanese()) state.SkipWithError("ja_JP.utf8 not installed (set LOCPATH)");
  const nl_item items[] = {D_FMT, D_T_FMT, T_FMT, DAY_1, ABDAY_1, MON_1, ABMON_1, AM_STR};
  for (auto _ : state) {
    for (nl_item i : items) benchmark::DoNotOptimize(nl_langinfo(i));
  }
}
BENCHMARK(BM_GlibcEightItems);

void BM_InitRecord(benchmark::State& state) {
  if (!UseJapanese()) state.SkipWithError("ja_JP.utf8 not installed (set LOCPATH)");
  CLCLocale l;
  for (auto _ : state) {
    l.Init();
    benchmark::DoNotOptimize(l.m_pEmperors);
  }
}
BENCHMARK(BM_InitRecord);

}  // namespace
BENCHMARK_MAIN();
