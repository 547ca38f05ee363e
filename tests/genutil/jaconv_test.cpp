// Streaming conversion and incremental detection: a text cut into pieces at
// any point converts to the same bytes as the whole, and the locale-driven
// entry points pick the right direction in the real legacy locales.
#include "gnutil/jaconv.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "genutil/jaconv_internal.h"
#include "gnutil/mbutil.h"
#include "support/test_locale.h"

namespace {

using gnutil::Conversion;
using gnutil::ConversionFor;
using gnutil::ConversionState;
using gnutil::ConvertBytes;
using gnutil::JpCodeDetector;
using gnutil::MaxConvertedLength;

std::string Whole(Conversion c, const std::string& in) {
  std::vector<unsigned char> out(MaxConvertedLength(c, in.size()) + 1);
  ConversionState st;
  size_t used = 0;
  size_t n = ConvertBytes(c, reinterpret_cast<const unsigned char*>(in.data()), in.size(),
                          out.data(), &st, true, &used);
  EXPECT_EQ(used, in.size());
  EXPECT_LE(n, MaxConvertedLength(c, in.size()));
  return std::string(reinterpret_cast<char*>(out.data()), n);
}

// Feeds the text in pieces ending at the given cuts, carrying unconsumed
// bytes over as a stream reader does.
std::string Pieces(Conversion c, const std::string& in, const std::vector<size_t>& cuts) {
  std::string result;
  std::string pending;
  ConversionState st;
  size_t from = 0;
  for (size_t k = 0; k <= cuts.size(); ++k) {
    size_t to = k < cuts.size() ? cuts[k] : in.size();
    bool last = k == cuts.size();
    pending += in.substr(from, to - from);
    from = to;
    std::vector<unsigned char> out(MaxConvertedLength(c, pending.size()) + 1);
    size_t used = 0;
    size_t n = ConvertBytes(c, reinterpret_cast<const unsigned char*>(pending.data()),
                            pending.size(), out.data(), &st, last, &used);
    EXPECT_LE(n, MaxConvertedLength(c, pending.size()));
    result.append(reinterpret_cast<char*>(out.data()), n);
    pending.erase(0, used);
  }
  EXPECT_TRUE(pending.empty());
  return result;
}

// A text of the source code set: ASCII, line ends, pairs, katakana, escapes.
std::string Sample(int cs, std::mt19937* rng, size_t chars) {
  std::string s;
  std::uniform_int_distribution<int> pick(0, 9);
  auto byte = [&](int lo, int hi) {
    return static_cast<char>(std::uniform_int_distribution<int>(lo, hi)(*rng));
  };
  bool two = false;
  for (size_t i = 0; i < chars; ++i) {
    int k = pick(*rng);
    switch (cs) {
      case CODESET_SJIS:
        if (k < 3)
          s += byte(0x20, 0x7E);
        else if (k < 4)
          s += "\r\n";
        else if (k < 6)
          s += byte(0xA1, 0xDF);
        else
          s += std::string{byte(0x81, 0x9F), byte(0x40, 0xFC)};
        break;
      case CODESET_EUC_J:
        if (k < 3)
          s += byte(0x20, 0x7E);
        else if (k < 4)
          s += "\n";
        else if (k < 6)
          s += std::string{'\x8E', byte(0xA1, 0xDF)};
        else
          s += std::string{byte(0xA1, 0xFE), byte(0xA1, 0xFE)};
        break;
      case CODESET_JIS:
        if (k < 2) {
          s += two ? "\x1b(J" : "\x1b$B";
          two = !two;
        } else if (k < 3) {
          s += "\n";
          two = false;
        } else if (two) {
          s += std::string{byte(0x21, 0x7E), byte(0x21, 0x7E)};
        } else {
          s += byte(0x20, 0x7E);
        }
        break;
      case CODESET_BIG5:
        if (k < 3)
          s += byte(0x20, 0x7E);
        else
          s += std::string{byte(0xA1, 0xF9), k < 6 ? byte(0x40, 0x7E) : byte(0xA1, 0xFE)};
        break;
      case CODESET_EUC_TW:
        if (k < 3)
          s += byte(0x20, 0x7E);
        else if (k < 5)
          s += std::string{'\x8E', byte(0xA1, 0xA4), byte(0xA1, 0xFE), byte(0xA1, 0xFE)};
        else
          s += std::string{byte(0xA1, 0xFE), byte(0xA1, 0xFE)};
        break;
    }
  }
  return s;
}

TEST(StreamingConversion, EveryCutGivesTheSameBytesAsTheWhole) {
  const int kPairs[][2] = {{CODESET_SJIS, CODESET_EUC_J},  {CODESET_SJIS, CODESET_JIS},
                           {CODESET_EUC_J, CODESET_SJIS},  {CODESET_EUC_J, CODESET_JIS},
                           {CODESET_JIS, CODESET_SJIS},    {CODESET_JIS, CODESET_EUC_J},
                           {CODESET_BIG5, CODESET_EUC_TW}, {CODESET_EUC_TW, CODESET_BIG5}};
  std::mt19937 rng(42);
  for (const auto& pair : kPairs) {
    Conversion c = ConversionFor(pair[0], pair[1]);
    ASSERT_NE(c, Conversion::kCopy);
    for (int round = 0; round < 20; ++round) {
      std::string text = Sample(pair[0], &rng, 40);
      std::string whole = Whole(c, text);
      for (size_t cut = 0; cut <= text.size(); ++cut) {
        ASSERT_EQ(Pieces(c, text, {cut}), whole) << pair[0] << "->" << pair[1] << " cut " << cut;
      }
      // Many small pieces, including pieces shorter than one character.
      std::vector<size_t> cuts;
      for (size_t p = 1; p < text.size(); p += 1 + rng() % 3) cuts.push_back(p);
      ASSERT_EQ(Pieces(c, text, cuts), whole);
    }
  }
}

TEST(StreamingConversion, PublicFormMatchesTheByteConverter) {
  std::mt19937 rng(7);
  std::string text = Sample(CODESET_SJIS, &rng, 500);
  std::string out(MaxConvertedLength(Conversion::kSjisToJis, text.size()) + 1, '\0');
  convertStrExt(text.c_str(), CODESET_SJIS, &out[0], CODESET_JIS);
  EXPECT_EQ(std::string(out.c_str()), Whole(Conversion::kSjisToJis, text));
}

TEST(StreamingConversion, JisOutputBoundIsTight) {
  // Half-width katakana between single bytes: the worst case of the bound.
  std::string text;
  for (int i = 0; i < 100; ++i)
    text +=
        "\xB1"
        "a";
  text += "\xB1";
  std::string jis = Whole(Conversion::kSjisToJis, text);
  EXPECT_EQ(jis.size(), MaxConvertedLength(Conversion::kSjisToJis, text.size()));
}

TEST(Detector, PiecesGiveTheSameResultAsTheWhole) {
  const std::string kTexts[] = {
      "\xB0\xE0\xA1\xB0\xA1\xFD",  "abc\x1b$B", "\xB1\xB1\x8E", "\xE0\x1b$B", "\xB1",
      "\xA4\xA2\xA4\xA4\n\xB0\xA1"};
  for (const std::string& text : kTexts) {
    JpCodeDetector whole;
    whole.Feed(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    whole.Finish();
    JpCodeDetector bytewise;
    for (size_t i = 0; i < text.size() && !bytewise.Decided();) {
      i += bytewise.Feed(reinterpret_cast<const unsigned char*>(text.data()) + i, 1);
    }
    bytewise.Finish();
    EXPECT_EQ(bytewise.Result(), whole.Result()) << text;
  }
  // An escape right after a kana-range byte and E0-EF is still seen.
  JpCodeDetector d;
  std::string text = "\xB0\xE0\x1b$B";
  d.Feed(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  EXPECT_EQ(d.Result(), CODESET_JIS);
}

struct LocaleCase {
  const char* locale;
  int codeset;  // what the locale stands for (Windows names Taiwan's so that InitMbutil gives 0)
  const char* windows;
  const char* unix;
};

class UnixWindowsInLocale : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(UnixWindowsInLocale, ConvertsByTheLocaleCodeSet) {
  GNUTIL_USE_LOCALE(GetParam().locale);
  InitMbutil();
  InitMbutilExt(GetParam().codeset);
  EXPECT_STREQ(WindowsCodingToUnixCoding(GetParam().windows), GetParam().unix);
  EXPECT_STREQ(UnixCodingToWindowsCoding(GetParam().unix), GetParam().windows);
}

INSTANTIATE_TEST_SUITE_P(
    Legacy, UnixWindowsInLocale,
    ::testing::Values(
        LocaleCase{"ja_JP.sjis", CODESET_SJIS, "\x82\xA0\xB1", "\xA4\xA2\x8E\xB1"},
        LocaleCase{"ja_JP.eucjp", CODESET_EUC_J, "\x82\xA0\xB1", "\xA4\xA2\x8E\xB1"},
        LocaleCase{"zh_TW.big5", CODESET_BIG5, "\xA4\x40\xC9\x40", "\xC4\xA1\x8E\xA2\xA1\xA1"},
        LocaleCase{"zh_TW.euctw", CODESET_EUC_TW, "\xA4\x40\xC9\x40", "\xC4\xA1\x8E\xA2\xA1\xA1"},
        LocaleCase{"ko_KR.euckr", CODESET_EUC_K, "\xB0\xA1", "\xB0\xA1"},
        LocaleCase{"zh_CN.gbk", CODESET_GB, "\xB0\xA1", "\xB0\xA1"}));

TEST(FullWidthNumbersInLocale, ShiftJisLocale) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  char out[32];
  ConvertMBNumberToSBNumber("\x82\x51\x82\x4F\x82\x51\x82\x56\x81\x5E\x82\x50", out);
  EXPECT_STREQ(out, "2027/1");
}

}  // namespace
