// Helpers of the code-set, multibyte string and conversion suites, and
// random texts of one code set drawn by character class with chosen weights.
#ifndef GNUTIL_TESTS_SUPPORT_JACONV_TEXT_H
#define GNUTIL_TESTS_SUPPORT_JACONV_TEXT_H

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "genutil/jaconv_internal.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

#if __has_include(<iconv.h>)
#include <iconv.h>
#define GNUTIL_HAVE_ICONV 1
#endif

namespace gnutil_test {

constexpr int kSjis = CODESET_SJIS, kEuc = CODESET_EUC_J, kJis = CODESET_JIS, kBig5 = CODESET_BIG5,
              kTw = CODESET_EUC_TW;

// The current code set, set after the first lazy initialisation.
inline void UseCodeSet(int cs) {
  InitMbutil();
  InitMbutilExt(cs);
}

// convertStrExt into a buffer filled with 0x7F, so that a missing NUL shows.
inline std::string Ext(const std::string& in, int from, int to) {
  std::string out(in.size() * 5 + 16, '\x7f');
  convertStrExt(in.c_str(), from, &out[0], to);
  return out.c_str();
}

using Converter = size_t (*)(gnutil::Conversion, const unsigned char*, size_t, unsigned char*,
                             gnutil::ConversionState*, bool, size_t*);

// A byte converter on the text fed in pieces ending at the cuts (none: the
// whole text at once), unconsumed bytes carried over.
inline std::string Pieces(gnutil::Conversion c, const std::string& in,
                          const std::vector<size_t>& cuts = {},
                          Converter convert = gnutil::ConvertBytes) {
  std::string result, pending;
  gnutil::ConversionState st;
  size_t from = 0;
  for (size_t k = 0; k <= cuts.size(); ++k) {
    size_t to = k < cuts.size() ? cuts[k] : in.size();
    pending += in.substr(from, to - from);
    from = to;
    std::vector<unsigned char> out(gnutil::MaxConvertedLength(c, pending.size()) + 1);
    size_t used = 0;
    size_t n = convert(c, reinterpret_cast<const unsigned char*>(pending.data()), pending.size(),
                       out.data(), &st, k == cuts.size(), &used);
    EXPECT_LE(n, gnutil::MaxConvertedLength(c, pending.size()));
    result.append(reinterpret_cast<char*>(out.data()), n);
    pending.erase(0, used);
  }
  EXPECT_TRUE(pending.empty());
  return result;
}

// The Big5 pair of a linear index (157 a row: trail 40-7E, then A1-FE).
inline std::string Big5(int index) {
  int column = index % 157;
  return {static_cast<char>(0xA1 + index / 157),
          static_cast<char>(column < 63 ? 0x40 + column : 0xA1 + column - 63)};
}

inline std::string Hex(const std::string& s) {
  std::string h;
  for (unsigned char c : s) h += "0123456789ABCDEF"[c >> 4], h += "0123456789ABCDEF"[c & 15];
  return h;
}

inline std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size())
    s.replace(p, from.size(), to);
  return s;
}

// Equality of long texts, reported by sizes and first difference.
inline ::testing::AssertionResult Same(const std::string& got, const std::string& expected) {
  if (got == expected) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << "sizes " << got.size() << " and " << expected.size()
                                       << ", first difference at byte " << at;
}

#ifdef GNUTIL_HAVE_ICONV
// The text through iconv (shift state closed); false when iconv has no mapping
// for all of it.
inline bool Iconv(const char* to, const char* from, const std::string& in, std::string* out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out->assign(in.size() * 4 + 16, '\0');
  char* ip = const_cast<char*>(in.data());
  char* op = &(*out)[0];
  size_t il = in.size(), ol = out->size();
  bool ok = iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && il == 0 &&
            iconv(cd, nullptr, nullptr, &op, &ol) != static_cast<size_t>(-1);
  iconv_close(cd);
  out->resize(out->size() - ol);
  return ok;
}
#endif

// Weights of the character classes. "kana" is the second kind (half-width
// katakana, a JIS shift, Big5 with a low trail, EUC-TW planes 2-4).
struct Mix {
  int ascii, lineEnd, kana, pair, junk;
};

constexpr Mix kDefaultMix{3, 1, 2, 4, 0};

// `chars` characters of the code set cs (JIS, EUC-J, Shift-JIS, Big5, EUC-TW).
inline std::string SampleText(int cs, std::mt19937* rng, size_t chars, Mix mix = kDefaultMix) {
  std::discrete_distribution<int> pick({double(mix.ascii), double(mix.lineEnd), double(mix.kana),
                                        double(mix.pair), double(mix.junk)});
  // The byte ranges of a character of each class but ASCII and junk.
  using Bytes = std::vector<std::pair<int, int>>;
  Bytes kana, pair{{0xA1, 0xFE}, {0xA1, 0xFE}};
  const char* lineEnd = cs == CODESET_SJIS || cs == CODESET_BIG5 ? "\r\n" : "\n";
  if (cs == CODESET_SJIS) kana = {{0xA1, 0xDF}}, pair = {{0x81, 0x9F}, {0x40, 0xFC}};
  if (cs == CODESET_EUC_J) kana = {{0x8E, 0x8E}, {0xA1, 0xDF}};
  if (cs == CODESET_BIG5) kana = {{0xA1, 0xF9}, {0x40, 0x7E}}, pair = {{0xA1, 0xF9}, {0xA1, 0xFE}};
  if (cs == CODESET_EUC_TW) kana = {{0x8E, 0x8E}, {0xA1, 0xA4}, {0xA1, 0xFE}, {0xA1, 0xFE}};
  if (cs == CODESET_JIS) pair = {{0x21, 0x7E}, {0x21, 0x7E}};
  auto byte = [&](int lo, int hi) {
    return static_cast<char>(lo == hi ? lo : std::uniform_int_distribution<int>(lo, hi)(*rng));
  };
  std::string s;
  bool two = false;  // JIS: in two-byte mode, where only pairs are written
  for (size_t i = 0; i < chars; ++i) {
    int k = pick(*rng);
    if (k == 4) {
      s += byte(0, 255);
    } else if (k == 1) {
      s += lineEnd;
      two = false;
    } else if (cs == CODESET_JIS && k == 2) {
      s += two ? "\x1b(J" : "\x1b$B";  // JIS's second kind: a shift
      two = !two;
    } else if (k == 0 && !two) {
      s += byte(0x20, 0x7E);
    } else {
      for (auto range : k == 2 ? kana : pair) s += byte(range.first, range.second);
    }
  }
  return s;
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_JACONV_TEXT_H
