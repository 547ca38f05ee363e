// Shared helpers of the code-set, multibyte string and conversion suites:
// conversions to std::string, and random texts of one code set drawn by
// character class with chosen weights (prose-like runs, dense alternation or
// junk bytes).
#ifndef GNUTIL_TESTS_SUPPORT_JACONV_TEXT_H
#define GNUTIL_TESTS_SUPPORT_JACONV_TEXT_H

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "genutil/jaconv_internal.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

namespace gnutil_test {

// Short names for the code sets that the converters know, for tables.
constexpr int kSjis = CODESET_SJIS, kEuc = CODESET_EUC_J, kJis = CODESET_JIS, kBig5 = CODESET_BIG5,
              kTw = CODESET_EUC_TW;

// Sets the current code set after the first lazy initialisation, so that the
// order of initialisation cannot change the outcome.
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

// The byte converter on the whole text at once.
inline std::string Whole(gnutil::Conversion c, const std::string& in) {
  std::vector<unsigned char> out(gnutil::MaxConvertedLength(c, in.size()) + 1);
  gnutil::ConversionState st;
  size_t used = 0;
  size_t n = gnutil::ConvertBytes(c, reinterpret_cast<const unsigned char*>(in.data()), in.size(),
                                  out.data(), &st, true, &used);
  EXPECT_EQ(used, in.size());
  EXPECT_LE(n, gnutil::MaxConvertedLength(c, in.size()));
  return std::string(reinterpret_cast<char*>(out.data()), n);
}

// The Big5 pair of a linear index (157 characters a row, trail 40-7E, A1-FE).
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

// Relative weights of the character classes. "kana" is the code set's
// second kind of character: half-width katakana in Shift-JIS and EUC, a
// shift between one- and two-byte mode in JIS, a pair with a trail below
// 0x80 in Big5, a plane 2-4 character in EUC-TW. "junk" is any byte.
struct Mix {
  int ascii, lineEnd, kana, pair, junk;
};

constexpr Mix kDefaultMix{3, 1, 2, 4, 0};

// `chars` characters of the code set cs (JIS, EUC-J, Shift-JIS, Big5, EUC-TW).
inline std::string SampleText(int cs, std::mt19937* rng, size_t chars, Mix mix = kDefaultMix) {
  std::string s;
  std::discrete_distribution<int> pick({double(mix.ascii), double(mix.lineEnd), double(mix.kana),
                                        double(mix.pair), double(mix.junk)});
  auto byte = [&](int lo, int hi) {
    return static_cast<char>(std::uniform_int_distribution<int>(lo, hi)(*rng));
  };
  bool two = false;  // JIS mode
  for (size_t i = 0; i < chars; ++i) {
    int k = pick(*rng);
    if (k == 4) {
      s += byte(0, 255);
      continue;
    }
    switch (cs) {
      case CODESET_SJIS:
        if (k == 0) s += byte(0x20, 0x7E);
        if (k == 1) s += "\r\n";
        if (k == 2) s += byte(0xA1, 0xDF);
        if (k == 3) s += std::string{byte(0x81, 0x9F), byte(0x40, 0xFC)};
        break;
      case CODESET_EUC_J:
        if (k == 0) s += byte(0x20, 0x7E);
        if (k == 1) s += "\n";
        if (k == 2) s += std::string{'\x8E', byte(0xA1, 0xDF)};
        if (k == 3) s += std::string{byte(0xA1, 0xFE), byte(0xA1, 0xFE)};
        break;
      case CODESET_JIS:
        if (k == 2) {
          s += two ? "\x1b(J" : "\x1b$B";
          two = !two;
        } else if (k == 1) {
          s += "\n";
          two = false;
        } else if (two) {
          s += std::string{byte(0x21, 0x7E), byte(0x21, 0x7E)};
        } else {
          s += byte(0x20, 0x7E);
        }
        break;
      case CODESET_BIG5:
        if (k == 0) s += byte(0x20, 0x7E);
        if (k == 1) s += "\r\n";
        if (k == 2) s += std::string{byte(0xA1, 0xF9), byte(0x40, 0x7E)};
        if (k == 3) s += std::string{byte(0xA1, 0xF9), byte(0xA1, 0xFE)};
        break;
      case CODESET_EUC_TW:
        if (k == 0) s += byte(0x20, 0x7E);
        if (k == 1) s += "\n";
        if (k == 2) s += std::string{'\x8E', byte(0xA1, 0xA4), byte(0xA1, 0xFE), byte(0xA1, 0xFE)};
        if (k == 3) s += std::string{byte(0xA1, 0xFE), byte(0xA1, 0xFE)};
        break;
    }
  }
  return s;
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_JACONV_TEXT_H
