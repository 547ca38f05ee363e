// Free-form parse plus display of a typed date and time, against the
// natural peers doing the same round trip: glibc (strptime + mktime +
// strftime of the same text, with an explicit format, where ours reads free
// text) and ICU (SimpleDateFormat parse and format). Ours turns the wall time
// into seconds as mktime does (and checks the day against the zone); glibc's
// mktime re-reads the zone on every call (a stat of /etc/localtime with TZ
// unset), so the strptime + strftime pair alone is shown as well: the lower
// bound of the text work, without the conversion. In US English, and in
// Japanese with Shift-JIS text in the real ja_JP.sjis locale (set LOCPATH),
// including ICU's Japanese imperial calendar against our era dates.
#include <benchmark/benchmark.h>
#include <locale.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

#include <memory>
#include <string>

#include "gnutil/datetime.h"
#include "gnutil/lclocale.h"
#include "gnutil/mbutil.h"
#include "ratio_reporter.h"

namespace {

const char kEnglishText[] = "3/5/01 2:07:09 PM";
// 2001年3月5日 14:07:09 and 平成13年3月5日 14:07:09 in Shift-JIS.
const char kJapaneseText[] =
    "2001\x94\x4E"
    "3\x8C\x8E"
    "5\x93\xFA 14:07:09";
const char kEraText[] =
    "\x95\xBD\x90\xAC"
    "13\x94\x4E"
    "3\x8C\x8E"
    "5\x93\xFA 14:07:09";
// The display form of both Japanese texts (short date pattern yyyy/MM/dd).
const char kJapaneseShown[] = "2001/03/05 14:07:09";

// The process locale and the process-wide record as a program of that user
// fixes them; switched only when a benchmark needs the other one.
bool UseLocale(benchmark::State& state, bool japanese) {
  static int current = -1;
  if (current == static_cast<int>(japanese)) return true;
  // The user's default locale, as the program of such a user starts: the
  // code set follows it and the record (era names included) is read for it.
  const char* name = japanese ? "ja_JP.sjis" : "C";
  setenv("LC_ALL", name, 1);
  InitMbutil();
  if (!setlocale(LC_ALL, nullptr) || strcmp(setlocale(LC_ALL, nullptr), name) != 0) {
    state.SkipWithError("ja_JP.sjis missing (set LOCPATH)");
    return false;
  }
  CLCGlobalLocale::Instance()->Init();
  CLCLocale& l = *CLCGlobalLocale::Instance();
  if (japanese) {
    l.Customize("H:mm:ss", "yyyy/MM/dd", "yyyy'\x94\x4E'M'\x8C\x8E'd'\x93\xFA'", 1, "", 0, 0, "",
                "", "", l.m_localeName);
    l.m_langName = LANGNAME_JAPANESE;
  } else {
    l.Customize("h:mm:ss tt", "M/d/yy", "dddd, MMMM dd, yyyy", 1, "", 0, 0, "", "", "",
                l.m_localeName);
    l.m_langName = LANGNAME_ENGLISH;
  }
  current = japanese;
  return true;
}

// Ours also checks its display text against the one it has always shown.
void Ours(benchmark::State& state, const char* text, bool japanese, const char* shown) {
  if (!UseLocale(state, japanese)) return;
  CGNString input(text), display;
  CGNDateTime value;
  if (!value.FromString(input)) {
    state.SkipWithError("not parsed");
    return;
  }
  for (auto _ : state) {
    value.FromString(input);
    value.GetDisplayBuffer(display);
    benchmark::DoNotOptimize(display);
  }
  if (strcmp(display, shown) != 0) state.SkipWithError("display text differs");
}

// strptime and strftime of the fixed pattern; with toSeconds, also the wall
// time turned into seconds in the zone (mktime), the work ours does too.
void Glibc(benchmark::State& state, const char* text, const char* format, bool japanese,
           bool toSeconds = true) {
  if (!UseLocale(state, japanese)) return;
  char out[128];
  for (auto _ : state) {
    tm t;
    memset(&t, 0, sizeof t);
    if (!strptime(text, format, &t)) {
      state.SkipWithError("not parsed");
      return;
    }
    if (toSeconds) {
      t.tm_isdst = -1;
      time_t secs = mktime(&t);
      benchmark::DoNotOptimize(secs);
    }
    strftime(out, sizeof out, format, &t);
    benchmark::DoNotOptimize(out);
  }
}

void Icu(benchmark::State& state, const icu::Locale& locale, const char* pattern,
         const icu::UnicodeString& text) {
  UErrorCode status = U_ZERO_ERROR;
  icu::SimpleDateFormat format(icu::UnicodeString::fromUTF8(pattern), locale, status);
  if (U_FAILURE(status)) {
    state.SkipWithError("no format");
    return;
  }
  icu::UnicodeString out;
  for (auto _ : state) {
    status = U_ZERO_ERROR;
    UDate when = format.parse(text, status);
    if (U_FAILURE(status)) {
      state.SkipWithError("not parsed");
      return;
    }
    out.remove();
    format.format(when, out);
    benchmark::DoNotOptimize(out);
  }
}

void BM_RoundTrip_EnUS_Ours(benchmark::State& state) {
  Ours(state, kEnglishText, false, kEnglishText);
}
void BM_RoundTrip_EnUS_Glibc(benchmark::State& state) {
  Glibc(state, kEnglishText, "%m/%d/%y %I:%M:%S %p", false);
}
void BM_RoundTrip_EnUS_GlibcText(benchmark::State& state) {
  Glibc(state, kEnglishText, "%m/%d/%y %I:%M:%S %p", false, false);
}
void BM_RoundTrip_EnUS_ICU(benchmark::State& state) {
  Icu(state, icu::Locale::getUS(), "M/d/yy h:mm:ss a", icu::UnicodeString::fromUTF8(kEnglishText));
}
void BM_RoundTrip_JaJP_Ours(benchmark::State& state) {
  Ours(state, kJapaneseText, true, kJapaneseShown);
}
void BM_RoundTrip_JaJP_Glibc(benchmark::State& state) {
  Glibc(state, kJapaneseText, "%Y\x94\x4E%m\x8C\x8E%d\x93\xFA %H:%M:%S", true);
}
void BM_RoundTrip_JaJP_GlibcText(benchmark::State& state) {
  Glibc(state, kJapaneseText, "%Y\x94\x4E%m\x8C\x8E%d\x93\xFA %H:%M:%S", true, false);
}
void BM_RoundTrip_JaJP_ICU(benchmark::State& state) {
  Icu(state, icu::Locale::getJapan(),
      "y\xE5\xB9\xB4M\xE6\x9C\x88"
      "d\xE6\x97\xA5 H:mm:ss",
      icu::UnicodeString::fromUTF8("2001\xE5\xB9\xB4"
                                   "3\xE6\x9C\x88"
                                   "5\xE6\x97\xA5 14:07:09"));
}
void BM_RoundTrip_JaJPEra_Ours(benchmark::State& state) {
  Ours(state, kEraText, true, kJapaneseShown);
}
void BM_RoundTrip_JaJPEra_ICU(benchmark::State& state) {
  Icu(state, icu::Locale("ja_JP@calendar=japanese"),
      "GGGGy\xE5\xB9\xB4M\xE6\x9C\x88"
      "d\xE6\x97\xA5 H:mm:ss",
      icu::UnicodeString::fromUTF8("\xE5\xB9\xB3\xE6\x88\x90"
                                   "13\xE5\xB9\xB4"
                                   "3\xE6\x9C\x88"
                                   "5\xE6\x97\xA5 14:07:09"));
}

BENCHMARK(BM_RoundTrip_EnUS_Ours);
BENCHMARK(BM_RoundTrip_EnUS_Glibc);
BENCHMARK(BM_RoundTrip_EnUS_GlibcText);
BENCHMARK(BM_RoundTrip_EnUS_ICU);
BENCHMARK(BM_RoundTrip_JaJP_Ours);
BENCHMARK(BM_RoundTrip_JaJP_Glibc);
BENCHMARK(BM_RoundTrip_JaJP_GlibcText);
BENCHMARK(BM_RoundTrip_JaJP_ICU);
BENCHMARK(BM_RoundTrip_JaJPEra_Ours);
BENCHMARK(BM_RoundTrip_JaJPEra_ICU);

}  // namespace

// Goals: en-US within 2.5x of glibc's text work and at most 1/14 of ICU, ja-JP
// at most 1/8 of ICU.
int main(int argc, char** argv) {
  return gnutil::bench::RunWithRatios(
      argc, argv,
      {{"BM_RoundTrip_EnUS_Ours", "BM_RoundTrip_EnUS_Glibc"},
       {"BM_RoundTrip_EnUS_Ours", "BM_RoundTrip_EnUS_GlibcText", 2.5},
       {"BM_RoundTrip_EnUS_Ours", "BM_RoundTrip_EnUS_ICU"},
       {"BM_RoundTrip_JaJP_Ours", "BM_RoundTrip_JaJP_Glibc"},
       {"BM_RoundTrip_JaJP_Ours", "BM_RoundTrip_JaJP_GlibcText"},
       {"BM_RoundTrip_JaJP_Ours", "BM_RoundTrip_JaJP_ICU"},
       {"BM_RoundTrip_JaJPEra_Ours", "BM_RoundTrip_JaJPEra_ICU"}});
}
