// Decimal text from C form to the grouped regional form and back, with ICU
// (number::NumberFormatter formatting a decimal string; DecimalFormat parsing
// to a decimal string) and printf's "%'.9f" in the same run. The number is
// -1234567890.123456789 with English settings; all peers start from and end
// at narrow text, as callers hold it (ICU's parse gives its exact digits in
// scientific notation, -1.234567890123456789E+9).
//
// printf goes through a double and is not exact here (its last digits are
// 716, not 789): it is a speed reference only. ICU is asked for every digit
// (Precision::unlimited); its default would round to six places.
//
//   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DGNUTIL_BUILD_BENCH=ON
//     -DGNUTIL_BUILD_TESTS=OFF; cmake --build build/bench -j2 --target decimal_bench &&
//   LOCPATH=$PWD/.locales build/bench/bench/decimal_bench
#include <benchmark/benchmark.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <unicode/decimfmt.h>
#include <unicode/fmtable.h>
#include <unicode/numberformatter.h>
#include <unicode/unistr.h>

#include <memory>
#include <string>

#include "gnutil/decimal.h"
#include "gnutil/lclocale.h"

namespace {

const char kCForm[] = "-1234567890.123456789";
const char kRegional[] = "-1,234,567,890.123456789";

void UseEnglishSettings() {
  CLCGlobalLocale* locale = CLCGlobalLocale::Instance();
  CGNString timeFormat, shortDate, longDate, digitsInGroup, decimalSymbol, negativeSign,
      groupSeparator, localeName;
  long longOrShort = 0;
  long negativeFormat = 0;
  unsigned char leadingZeroes = 0;
  locale->GetDefaults(timeFormat, shortDate, longDate, longOrShort, digitsInGroup, negativeFormat,
                      leadingZeroes, decimalSymbol, negativeSign, groupSeparator, localeName);
  locale->Customize(timeFormat, shortDate, longDate, longOrShort, CGNString("3;0"), negativeFormat,
                    leadingZeroes, CGNString("."), negativeSign, CGNString(","), localeName);
}

void Check(bool ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "decimal_bench: %s\n", what);
    abort();
  }
}

void BM_GnutilFormat(benchmark::State& state) {
  UseEnglishSettings();
  CGNDecimal number{CGNString(kCForm)};
  CGNString out;
  for (auto _ : state) {
    number.ConvertToRegionalLocale(1);
    number.GetDisplayBuffer(out);
    benchmark::DoNotOptimize(static_cast<const char*>(out));
  }
  Check(out == kRegional, "gnutil format differs");
}
BENCHMARK(BM_GnutilFormat);

void BM_GnutilParse(benchmark::State& state) {
  UseEnglishSettings();
  CGNDecimal number{CGNString(kRegional)};
  CGNString out;
  for (auto _ : state) {
    number.ConvertToCLocale(0);
    number.GetDisplayBuffer(out);
    benchmark::DoNotOptimize(static_cast<const char*>(out));
  }
  Check(out == kCForm, "gnutil parse differs");
}
BENCHMARK(BM_GnutilParse);

void BM_IcuNumberFormatter(benchmark::State& state) {
  UErrorCode status = U_ZERO_ERROR;
  icu::number::LocalizedNumberFormatter formatter =
      icu::number::NumberFormatter::withLocale(icu::Locale("en_US"))
          .precision(icu::number::Precision::unlimited());
  std::string out;
  for (auto _ : state) {
    out.clear();
    formatter.formatDecimal(kCForm, status).toString(status).toUTF8String(out);
    benchmark::DoNotOptimize(out.data());
  }
  Check(U_SUCCESS(status) && out == kRegional, "ICU format differs");
}
BENCHMARK(BM_IcuNumberFormatter);

void BM_IcuDecimalFormatParse(benchmark::State& state) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::NumberFormat> format(
      icu::NumberFormat::createInstance(icu::Locale("en_US"), status));
  Check(U_SUCCESS(status), "no ICU DecimalFormat");
  std::string out;
  for (auto _ : state) {
    icu::Formattable value;
    format->parse(icu::UnicodeString::fromUTF8(kRegional), value, status);
    icu::StringPiece digits = value.getDecimalNumber(status);
    out.assign(digits.data(), static_cast<size_t>(digits.size()));
    benchmark::DoNotOptimize(out.data());
  }
  // Every digit, in ICU's scientific notation.
  Check(U_SUCCESS(status) && out == "-1.234567890123456789E+9", "ICU parse differs");
}
BENCHMARK(BM_IcuDecimalFormatParse);

void BM_PrintfGrouped(benchmark::State& state) {
  Check(setlocale(LC_NUMERIC, "en_US.UTF-8") != nullptr, "en_US.UTF-8 missing (set LOCPATH)");
  double value = strtod(kCForm, nullptr);
  char out[64];
  for (auto _ : state) {
    snprintf(out, sizeof out, "%'.9f", value);
    benchmark::DoNotOptimize(out);
  }
  Check(std::string(out) == "-1,234,567,890.123456717", "printf differs");
  setlocale(LC_NUMERIC, "C");
}
BENCHMARK(BM_PrintfGrouped);

}  // namespace

BENCHMARK_MAIN();
