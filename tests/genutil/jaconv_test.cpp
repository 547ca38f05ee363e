// Streaming conversion and incremental detection: a text cut into pieces at
// any point converts to the same bytes as the whole, and the locale-driven
// entry points pick the right direction in the real legacy locales.
#include "gnutil/jaconv.h"

#include <gtest/gtest.h>
#include <string.h>

#include <random>
#include <string>
#include <vector>

#include "genutil/jaconv_internal.h"
#include "gnutil/mbutil.h"
#include "support/jaconv_text.h"
#include "support/test_locale.h"

namespace {

using gnutil::Conversion;
using gnutil::ConversionFor;
using gnutil::ConversionState;
using gnutil::ConvertBytes;
using gnutil::JpCodeDetector;
using gnutil::MaxConvertedLength;
using gnutil_test::SampleText;

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
      std::string text = SampleText(pair[0], &rng, 40);
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
  std::string text = SampleText(CODESET_SJIS, &rng, 500);
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

// --- In place ------------------------------------------------------------------

const int kCodeSets[] = {CODESET_NONE, CODESET_JIS,  CODESET_EUC_J,
                         CODESET_SJIS, CODESET_BIG5, CODESET_EUC_TW};

std::string Separate(const std::string& text, int from, int to) {
  std::vector<char> out(5 * text.size() + 16);
  convertStrExt(text.c_str(), from, out.data(), to);
  return out.data();
}

// The source in place, and the source overlapping the destination from
// either side (by an odd and an even distance): the same bytes as a separate
// destination, for every pair of code sets and texts longer than any
// scratch buffer on the stack.
TEST(InPlaceConversion, EveryPairGivesTheBytesOfASeparateDestination) {
  const size_t kShifts[] = {0, 1, 2, 7, 64};
  std::mt19937 rng(11);
  for (int from : kCodeSets) {
    int source = from == CODESET_NONE ? CODESET_SJIS : from;
    for (int to : kCodeSets) {
      for (size_t chars : {size_t(0), size_t(1), size_t(30), size_t(2000)}) {
        std::string text = SampleText(source, &rng, chars);
        std::string expected = Separate(text, from, to);
        for (size_t shift : kShifts) {
          for (int srcFirst = 0; srcFirst < 2; ++srcFirst) {
            if (shift == 0 && srcFirst) continue;
            std::vector<char> buf(5 * text.size() + 16 + shift);
            char* src = buf.data() + (srcFirst ? 0 : shift);
            char* dst = buf.data() + (srcFirst ? shift : 0);
            memcpy(src, text.c_str(), text.size() + 1);
            ASSERT_EQ(convertStrExt(src, from, dst, to), dst);
            ASSERT_EQ(std::string(dst), expected)
                << from << "->" << to << " chars " << chars << " shift " << shift;
          }
        }
      }
    }
  }
}

// A result of the library's own buffers is a valid input, the same
// direction's buffer included.
TEST(InPlaceConversion, ResultBuffersAcceptTheirOwnResults) {
  const int kPairs[][2] = {{CODESET_SJIS, CODESET_EUC_J},  {CODESET_EUC_J, CODESET_SJIS},
                           {CODESET_JIS, CODESET_SJIS},    {CODESET_JIS, CODESET_EUC_J},
                           {CODESET_BIG5, CODESET_EUC_TW}, {CODESET_EUC_TW, CODESET_BIG5}};
  std::mt19937 rng(12);
  for (const auto& first : kPairs) {
    for (const auto& second : kPairs) {
      // Second-kind characters only (first, while the buffers are new) make
      // Shift-JIS katakana double, so that the buffer must grow under its
      // own result.
      for (gnutil_test::Mix mix : {gnutil_test::Mix{0, 0, 1, 0, 0}, gnutil_test::kDefaultMix}) {
        std::string text = SampleText(first[0], &rng, 3000, mix);
        // The chained call first, while the buffer is no larger than the
        // first result needed.
        char* chained =
            convertStr(convertStr(text.c_str(), first[0], first[1]), second[0], second[1]);
        ASSERT_NE(chained, nullptr);
        std::string result = chained;
        std::string once = convertStr(text.c_str(), first[0], first[1]);
        ASSERT_EQ(result, std::string(convertStr(once.c_str(), second[0], second[1])))
            << first[0] << "->" << first[1] << " then " << second[0] << "->" << second[1];
      }
    }
  }
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
  // In place, and on the library's own results.
  char buf[64];
  strcpy(buf, GetParam().unix);
  EXPECT_STREQ(UnixCodingToWindowsCodingExt(buf, buf), GetParam().windows);
  EXPECT_STREQ(WindowsCodingToUnixCodingExt(buf, buf), GetParam().unix);
  std::string twice = UnixCodingToWindowsCoding(GetParam().windows);
  EXPECT_EQ(std::string(UnixCodingToWindowsCoding(UnixCodingToWindowsCoding(GetParam().unix))),
            twice);
  twice = WindowsCodingToUnixCoding(GetParam().unix);
  EXPECT_EQ(std::string(WindowsCodingToUnixCoding(WindowsCodingToUnixCoding(GetParam().windows))),
            twice);
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
