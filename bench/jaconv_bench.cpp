// Throughput of the code conversions and of code-set detection, with glibc
// iconv and ICU converting the same text in the same run, so that the ratios
// come from one machine state.
//
// The texts are generated, of three kinds, each in Shift-JIS (and, converted,
// EUC) and in Big5 (and EUC-TW): "prose", 24 MB that mixes runs of kanji,
// hiragana, katakana, half-width katakana, ASCII words, digits and line
// ends; "dense", 20 MB whose character class is drawn at random for every
// character; "record", 20 MB of business records (codes, half-width
// katakana names, digits, kanji names). Every character is in JIS X 0208 or
// in the Big5 ranges that all three converters map, so none of them takes an
// error path. Before timing, the results are checked against the
// byte-at-a-time path and against iconv (where iconv has the same table).
//
//   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DGNUTIL_BUILD_BENCH=ON
//     -DGNUTIL_BUILD_TESTS=OFF; cmake --build build/bench -j2 --target jaconv_bench &&
//   build/bench/bench/jaconv_bench --benchmark_filter=dense
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <stdio.h>
#include <string.h>
#include <unicode/ucnv.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "genutil/jaconv_internal.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

namespace {

constexpr size_t kTextBytes = 24u << 20;
constexpr size_t kDenseBytes = 20u << 20;

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

// Densely mixed record-style text: the class of every character is drawn
// at random (40% kanji, 30% hiragana and katakana, 8% half-width katakana,
// 20% ASCII letters and digits, 2% line ends), so that it changes every one
// to three characters.
std::string MakeDenseShiftJis() {
  std::mt19937 rng(19);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::string s;
  s.reserve(kDenseBytes + 16);
  while (s.size() < kDenseBytes) {
    int kind = pick(0, 99);
    if (kind < 40) {
      PutJis(&s, pick(0x30, 0x4E), pick(0x21, 0x7E));
    } else if (kind < 55) {
      PutJis(&s, 0x24, pick(0x21, 0x73));
    } else if (kind < 70) {
      PutJis(&s, 0x25, pick(0x21, 0x76));
    } else if (kind < 78) {
      s += static_cast<char>(pick(0xA6, 0xDF));
    } else if (kind < 98) {
      s += "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-"[pick(0, 36)];
    } else {
      s += "\r\n";
    }
  }
  return s;
}

// Business records: a code, a half-width katakana name, digits and a kanji
// name per line, fields separated by ASCII.
std::string MakeRecordShiftJis() {
  std::mt19937 rng(23);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::string s;
  s.reserve(kDenseBytes + 256);
  while (s.size() < kDenseBytes) {
    s += "ABC-";
    for (int n = pick(2, 4); n > 0; --n) s += static_cast<char>('0' + pick(0, 9));
    s += ' ';
    for (int n = pick(3, 10); n > 0; --n) s += static_cast<char>(pick(0xA6, 0xDF));
    s += ' ';
    for (int n = pick(1, 3); n > 0; --n) PutJis(&s, pick(0x30, 0x4E), pick(0x21, 0x7E));
    s += ',';
    for (int n = pick(1, 6); n > 0; --n) s += static_cast<char>('0' + pick(0, 9));
    s += ',';
    for (int n = pick(2, 6); n > 0; --n) s += static_cast<char>(pick(0xA6, 0xDF));
    s += ' ';
    for (int n = pick(2, 4); n > 0; --n) PutJis(&s, pick(0x30, 0x4E), pick(0x21, 0x7E));
    s += "\r\n";
  }
  return s;
}

// A Big5 character of level 1 or 2, avoiding the few that the peers map
// differently or that do not come back as themselves.
void PutBig5(std::string* s, std::mt19937* rng, bool level2) {
  auto pick = [rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(*rng); };
  int column = pick(0, 156);
  char t = static_cast<char>(column < 63 ? 0x40 + column : 0xA1 + column - 63);
  char lead = static_cast<char>(level2 ? pick(0xC9, 0xF8) : pick(0xA4, 0xC5));
  if (lead == '\xC2' && t == '\x55') t = '\x56';
  if ((lead == '\xC9' && t == '\x4A') || (lead == '\xDD' && t == '\xFC')) t = '\x50';
  *s += lead;
  *s += t;
}

// The Chinese counterparts: the class of every character drawn at random
// (45% level 1, 25% level 2, 25% ASCII, 5% line ends) and records.
std::string MakeDenseBig5() {
  std::mt19937 rng(29);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::string s;
  s.reserve(kDenseBytes + 16);
  while (s.size() < kDenseBytes) {
    int kind = pick(0, 99);
    if (kind < 45) {
      PutBig5(&s, &rng, false);
    } else if (kind < 70) {
      PutBig5(&s, &rng, true);
    } else if (kind < 95) {
      s += "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-"[pick(0, 36)];
    } else {
      s += "\n";
    }
  }
  return s;
}

std::string MakeRecordBig5() {
  std::mt19937 rng(31);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::string s;
  s.reserve(kDenseBytes + 256);
  while (s.size() < kDenseBytes) {
    s += "TW-";
    for (int n = pick(2, 5); n > 0; --n) s += static_cast<char>('0' + pick(0, 9));
    s += ' ';
    for (int n = pick(2, 4); n > 0; --n) PutBig5(&s, &rng, pick(0, 3) == 0);
    s += ',';
    for (int n = pick(1, 6); n > 0; --n) s += static_cast<char>('0' + pick(0, 9));
    s += ',';
    for (int n = pick(1, 3); n > 0; --n) PutBig5(&s, &rng, pick(0, 1) == 0);
    s += "\n";
  }
  return s;
}

// The texts of one kind (prose, dense, record) in the four code sets.
enum Kind { kProse, kDense, kRecord, kKinds };

struct Texts {
  std::string sjis, euc, big5, euctw;
  Texts(std::string japanese, std::string chinese)
      : sjis(std::move(japanese)), big5(std::move(chinese)) {
    euc = Convert(sjis, CODESET_SJIS, CODESET_EUC_J);
    euctw = Convert(big5, CODESET_BIG5, CODESET_EUC_TW);
  }
  static std::string Convert(const std::string& in, int from, int to) {
    std::vector<char> out(in.size() * 5 + 16);
    convertStrExt(in.c_str(), from, out.data(), to);
    return out.data();
  }
};

const Texts& Data(int kind) {
  static const Texts prose(MakeShiftJis(), MakeBig5());
  static const Texts dense(MakeDenseShiftJis(), MakeDenseBig5());
  static const Texts record(MakeRecordShiftJis(), MakeRecordBig5());
  return kind == kDense ? dense : kind == kRecord ? record : prose;
}

const std::string& Source(int cs, int kind = kProse) {
  switch (cs) {
    case CODESET_SJIS:
      return Data(kind).sjis;
    case CODESET_EUC_J:
      return Data(kind).euc;
    case CODESET_BIG5:
      return Data(kind).big5;
    default:
      return Data(kind).euctw;
  }
}

// --- The three converters ---------------------------------------------------------

struct Direction {
  const char* name;
  int from, to;
  const char *iconvFrom, *iconvTo, *icuFrom, *icuTo;
  bool iconvSameTable;  // iconv's bytes must equal ours on the generated texts
};

const Direction kDirections[] = {
    {"EucToSjis", CODESET_EUC_J, CODESET_SJIS, "EUC-JP", "SHIFT_JIS", "EUC-JP", "Shift_JIS", true},
    {"SjisToEuc", CODESET_SJIS, CODESET_EUC_J, "SHIFT_JIS", "EUC-JP", "Shift_JIS", "EUC-JP", true},
    // Escape sequences differ (ESC ( B against ESC ( J): speed only.
    {"SjisToJis", CODESET_SJIS, CODESET_JIS, "SHIFT_JIS", "ISO-2022-JP-3", "Shift_JIS",
     "ISO-2022-JP", false},
    {"Big5ToEucTw", CODESET_BIG5, CODESET_EUC_TW, "BIG5", "EUC-TW", "Big5", "EUC-TW", true},
    {"EucTwToBig5", CODESET_EUC_TW, CODESET_BIG5, "EUC-TW", "BIG5", "EUC-TW", "Big5", true},
};

const char* const kKindNames[kKinds] = {"prose", "dense", "record"};

void BM_Gnutil(benchmark::State& state, const Direction& d, int kind) {
  const std::string& in = Source(d.from, kind);
  std::vector<char> out(in.size() * 5 + 16);
  for (auto _ : state) {
    convertStrExt(in.c_str(), d.from, out.data(), d.to);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

// The whole text through iconv into out; false on an error.
bool IconvText(iconv_t cd, const std::string& in, std::vector<char>* out, size_t* written) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* ip = const_cast<char*>(in.data());
  size_t il = in.size();
  char* op = out->data();
  size_t ol = out->size();
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1)) return false;
  *written = static_cast<size_t>(op - out->data());
  return true;
}

void BM_Iconv(benchmark::State& state, const Direction& d, int kind) {
  const std::string& in = Source(d.from, kind);
  std::vector<char> out(in.size() * 5 + 16);
  iconv_t cd = iconv_open(d.iconvTo, d.iconvFrom);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv_open failed");
    return;
  }
  for (auto _ : state) {
    size_t written;
    if (!IconvText(cd, in, &out, &written)) {
      state.SkipWithError("iconv failed on the text");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_Icu(benchmark::State& state, const Direction& d, int kind) {
  const std::string& in = Source(d.from, kind);
  std::vector<char> out(in.size() * 5 + 16);
  UErrorCode err = U_ZERO_ERROR;
  UConverter* source = ucnv_open(d.icuFrom, &err);
  UConverter* target = ucnv_open(d.icuTo, &err);
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

// Before timing: on every text, the fast path gives the bytes of the
// byte-at-a-time path, and of iconv where iconv has the same table. Prints
// one line per text and direction; false on any difference.
bool CheckIdentical() {
  bool ok = true;
  for (int kind = 0; kind < kKinds; ++kind) {
    for (const Direction& d : kDirections) {
      const std::string& in = Source(d.from, kind);
      gnutil::Conversion c = gnutil::ConversionFor(d.from, d.to);
      std::vector<unsigned char> fast(gnutil::MaxConvertedLength(c, in.size()) + 1);
      std::vector<unsigned char> scalar(fast.size());
      gnutil::ConversionState s1, s2;
      size_t used;
      const unsigned char* p = reinterpret_cast<const unsigned char*>(in.data());
      size_t nf = gnutil::ConvertBytes(c, p, in.size(), fast.data(), &s1, true, &used);
      size_t ns = gnutil::ConvertBytesScalar(c, p, in.size(), scalar.data(), &s2, true, &used);
      bool sameScalar = nf == ns && memcmp(fast.data(), scalar.data(), nf) == 0;
      const char* iconvResult = "not compared";
      if (d.iconvSameTable) {
        std::vector<char> out(in.size() * 5 + 16);
        size_t written = 0;
        iconv_t cd = iconv_open(d.iconvTo, d.iconvFrom);
        bool same = cd != reinterpret_cast<iconv_t>(-1) && IconvText(cd, in, &out, &written) &&
                    written == nf && memcmp(out.data(), fast.data(), nf) == 0;
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
        iconvResult = same ? "identical" : "DIFFERENT";
        ok = ok && same;
      }
      ok = ok && sameScalar;
      fprintf(stderr, "%-12s %-6s %5.1f MB  scalar path: %s  iconv: %s\n", d.name, kKindNames[kind],
              in.size() / 1048576.0, sameScalar ? "identical" : "DIFFERENT", iconvResult);
    }
  }
  return ok;
}

void RegisterConversions() {
  for (int kind = 0; kind < kKinds; ++kind) {
    for (const Direction& d : kDirections) {
      std::string name = std::string(d.name) + "/" + kKindNames[kind] + "/";
      benchmark::RegisterBenchmark((name + "gnutil").c_str(), BM_Gnutil, d, kind)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark((name + "icu").c_str(), BM_Icu, d, kind)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark((name + "iconv").c_str(), BM_Iconv, d, kind)
          ->Unit(benchmark::kMillisecond);
    }
  }
}

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

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!CheckIdentical()) {
    fprintf(stderr, "conversion results differ: no timing\n");
    return 1;
  }
  RegisterConversions();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
