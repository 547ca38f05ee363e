// Throughput of the code conversions and of code-set detection, with glibc
// iconv and ICU converting the same text in the same run, so that the ratios
// come from one machine state.
//
// The text is generated: 24 MB of Japanese that mixes kanji, hiragana,
// katakana, half-width katakana, ASCII words, digits and line ends, in
// Shift-JIS (and, converted, in EUC); and 24 MB of Traditional Chinese in
// Big5 (and EUC-TW). Every character is in JIS X 0208 or in the Big5 ranges
// that all three converters map, so none of them takes an error path.
//
//   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DGNUTIL_BUILD_BENCH=ON
//     -DGNUTIL_BUILD_TESTS=OFF; cmake --build build/bench -j2 --target jaconv_bench &&
//   build/bench/bench/jaconv_bench
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <stdio.h>
#include <unicode/ucnv.h>

#include <random>
#include <string>
#include <vector>

#include "genutil/jaconv_internal.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

namespace {

constexpr size_t kTextBytes = 24u << 20;

// Appends the Shift-JIS form of JIS row/cell (j1, j2).
void PutJis(std::string* s, int j1, int j2) {
  int s1 = (j1 + 1) / 2 + (j1 < 0x5F ? 0x70 : 0xB0);
  int s2 = j2 + ((j1 & 1) ? (j2 > 0x5F ? 0x20 : 0x1F) : 0x7E);
  *s += static_cast<char>(s1);
  *s += static_cast<char>(s2);
}

std::string MakeShiftJis() {
  std::mt19937 rng(2026);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::string s;
  s.reserve(kTextBytes + 256);
  size_t lineStart = 0;
  const char* kWords[] = {"the ", "data ", "GNU ", "2026 ", "ID-", "OK ", "v1.2 ", "http://x.jp/ "};
  while (s.size() < kTextBytes) {
    int kind = pick(0, 99);
    if (kind < 35) {  // kanji, level 1 (rows 0x30-0x4F)
      for (int n = pick(1, 4); n > 0; --n) PutJis(&s, pick(0x30, 0x4E), pick(0x21, 0x7E));
    } else if (kind < 65) {  // hiragana
      for (int n = pick(1, 6); n > 0; --n) PutJis(&s, 0x24, pick(0x21, 0x73));
    } else if (kind < 75) {  // katakana
      for (int n = pick(2, 6); n > 0; --n) PutJis(&s, 0x25, pick(0x21, 0x76));
    } else if (kind < 80) {  // half-width katakana
      for (int n = pick(2, 6); n > 0; --n) s += static_cast<char>(pick(0xA6, 0xDF));
    } else if (kind < 88) {  // punctuation
      PutJis(&s, 0x21, pick(0x21, 0x2B));
    } else {
      s += kWords[pick(0, 7)];
    }
    if (s.size() - lineStart > 70) {
      s += "\r\n";
      lineStart = s.size();
    }
  }
  return s;
}

// Big5 text: ideographs of the level 1 and level 2 blocks, symbols, ASCII.
std::string MakeBig5() {
  std::mt19937 rng(1911);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  auto trail = [&]() {
    int column = pick(0, 156);
    return static_cast<char>(column < 63 ? 0x40 + column : 0xA1 + column - 63);
  };
  std::string s;
  s.reserve(kTextBytes + 256);
  size_t lineStart = 0;
  while (s.size() < kTextBytes) {
    int kind = pick(0, 99);
    if (kind < 60) {
      for (int n = pick(1, 6); n > 0; --n) {
        char lead = static_cast<char>(pick(0xA4, 0xC5));  // level 1 (C6 holds the gap)
        char t = trail();
        if (lead == '\xC2' && t == '\x55') t = '\x56';  // mapped differently by iconv
        s += lead;
        s += t;
      }
    } else if (kind < 80) {
      for (int n = pick(1, 4); n > 0; --n) {
        char lead = static_cast<char>(pick(0xC9, 0xF8));  // level 2, plane 2
        char t = trail();
        // The two duplicate characters do not come back as themselves.
        if ((lead == '\xC9' && t == '\x4A') || (lead == '\xDD' && t == '\xFC')) t = '\x50';
        s += lead;
        s += t;
      }
    } else if (kind < 88) {
      s += "\xA1\x41";  // full-width comma
    } else {
      s += "Taipei 101 ";
    }
    if (s.size() - lineStart > 70) {
      s += "\n";
      lineStart = s.size();
    }
  }
  return s;
}

struct Texts {
  std::string sjis, euc, big5, euctw;
  Texts() {
    sjis = MakeShiftJis();
    euc = Convert(sjis, CODESET_SJIS, CODESET_EUC_J);
    big5 = MakeBig5();
    euctw = Convert(big5, CODESET_BIG5, CODESET_EUC_TW);
  }
  static std::string Convert(const std::string& in, int from, int to) {
    std::vector<char> out(in.size() * 5 + 16);
    convertStrExt(in.c_str(), from, out.data(), to);
    return out.data();
  }
};

const Texts& Data() {
  static const Texts texts;
  return texts;
}

const std::string& Source(int cs) {
  switch (cs) {
    case CODESET_SJIS:
      return Data().sjis;
    case CODESET_EUC_J:
      return Data().euc;
    case CODESET_BIG5:
      return Data().big5;
    default:
      return Data().euctw;
  }
}

// --- gnutil ------------------------------------------------------------------

void BM_Gnutil(benchmark::State& state, int from, int to) {
  const std::string& in = Source(from);
  std::vector<char> out(in.size() * 5 + 16);
  for (auto _ : state) {
    convertStrExt(in.c_str(), from, out.data(), to);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

BENCHMARK_CAPTURE(BM_Gnutil, EucToSjis, CODESET_EUC_J, CODESET_SJIS)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Gnutil, SjisToEuc, CODESET_SJIS, CODESET_EUC_J)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Gnutil, SjisToJis, CODESET_SJIS, CODESET_JIS)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Gnutil, Big5ToEucTw, CODESET_BIG5, CODESET_EUC_TW)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Gnutil, EucTwToBig5, CODESET_EUC_TW, CODESET_BIG5)
    ->Unit(benchmark::kMillisecond);

// --- glibc iconv ---------------------------------------------------------------

void BM_Iconv(benchmark::State& state, int from, const char* fromName, const char* toName) {
  const std::string& in = Source(from);
  std::vector<char> out(in.size() * 5 + 16);
  iconv_t cd = iconv_open(toName, fromName);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv_open failed");
    return;
  }
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* ip = const_cast<char*>(in.data());
    size_t il = in.size();
    char* op = out.data();
    size_t ol = out.size();
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1)) {
      state.SkipWithError("iconv failed on the text");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

BENCHMARK_CAPTURE(BM_Iconv, EucToSjis, CODESET_EUC_J, "EUC-JP", "SHIFT_JIS")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Iconv, EucToCp932, CODESET_EUC_J, "EUC-JP", "CP932")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Iconv, SjisToEuc, CODESET_SJIS, "SHIFT_JIS", "EUC-JP")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Iconv, SjisToJis, CODESET_SJIS, "SHIFT_JIS", "ISO-2022-JP-3")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Iconv, Big5ToEucTw, CODESET_BIG5, "BIG5", "EUC-TW")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Iconv, EucTwToBig5, CODESET_EUC_TW, "EUC-TW", "BIG5")
    ->Unit(benchmark::kMillisecond);

// --- ICU -------------------------------------------------------------------------

void BM_Icu(benchmark::State& state, int from, const char* fromName, const char* toName) {
  const std::string& in = Source(from);
  std::vector<char> out(in.size() * 5 + 16);
  UErrorCode err = U_ZERO_ERROR;
  UConverter* source = ucnv_open(fromName, &err);
  UConverter* target = ucnv_open(toName, &err);
  if (U_FAILURE(err)) {
    state.SkipWithError(u_errorName(err));
    ucnv_close(source);
    ucnv_close(target);
    return;
  }
  for (auto _ : state) {
    char* op = out.data();
    const char* ip = in.data();
    err = U_ZERO_ERROR;
    ucnv_convertEx(target, source, &op, out.data() + out.size(), &ip, in.data() + in.size(),
                   nullptr, nullptr, nullptr, nullptr, true, true, &err);
    if (U_FAILURE(err)) {
      state.SkipWithError(u_errorName(err));
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  ucnv_close(source);
  ucnv_close(target);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

BENCHMARK_CAPTURE(BM_Icu, EucToSjis, CODESET_EUC_J, "EUC-JP", "Shift_JIS")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Icu, SjisToEuc, CODESET_SJIS, "Shift_JIS", "EUC-JP")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Icu, SjisToJis, CODESET_SJIS, "Shift_JIS", "ISO-2022-JP")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Icu, Big5ToEucTw, CODESET_BIG5, "Big5", "EUC-TW")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Icu, EucTwToBig5, CODESET_EUC_TW, "EUC-TW", "Big5")
    ->Unit(benchmark::kMillisecond);

// --- Detection -------------------------------------------------------------------

// A file that stays ambiguous to its end: EUC hiragana, katakana and
// punctuation whose bytes all lie in 0xA1-0xDF, between ASCII words.
// DetectJPCodeType must read all of it.
class AmbiguousFile {
 public:
  AmbiguousFile() {
    std::mt19937 rng(6);
    std::string s;
    s.reserve(kTextBytes + 64);
    while (s.size() < kTextBytes) {
      int n = std::uniform_int_distribution<int>(1, 8)(rng);
      for (int k = 0; k < n; ++k) {
        s += static_cast<char>(std::uniform_int_distribution<int>(0xA1, 0xA5)(rng));
        s += static_cast<char>(std::uniform_int_distribution<int>(0xA1, 0xDF)(rng));
      }
      s += (rng() & 7) == 0 ? "\n" : " word ";
    }
    size_ = s.size();
    file_ = tmpfile();
    if (file_ != nullptr) fwrite(s.data(), 1, s.size(), file_);
  }
  ~AmbiguousFile() {
    if (file_ != nullptr) fclose(file_);
  }
  FILE* file() const { return file_; }
  size_t size() const { return size_; }

 private:
  FILE* file_ = nullptr;
  size_t size_ = 0;
};

void BM_DetectWorstCase(benchmark::State& state) {
  static AmbiguousFile file;
  if (file.file() == nullptr) {
    state.SkipWithError("no temporary file");
    return;
  }
  for (auto _ : state) {
    rewind(file.file());
    int cs = DetectJPCodeType(file.file());
    if (cs != CODESET_EUC_OR_SJIS) {
      state.SkipWithError("the file did not stay ambiguous");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_DetectWorstCase)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
