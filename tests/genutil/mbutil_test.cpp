// Code-set rules: code-set and locale names, the legacy locales, lazy
// initialisation, lead bytes and lengths per code set, stepping through text.
#include "gnutil/mbutil.h"

#include <gtest/gtest.h>
#include <string.h>

#include <tuple>
#include <vector>

#include "genutil/codeset_names.h"
#include "genutil/mbutil_internal.h"
#include "support/jaconv_text.h"
#include "support/joined.h"
#include "support/test_locale.h"

namespace {

using gnutil_test::Join;
using gnutil_test::UseCodeSet;

// CodeSetByName (the tool's: whole names in their usual spellings, any case;
// -1 for a name that only contains one) and mbGetCodeSet (the library's rule:
// the first key anywhere in the name, case kept).
TEST(CodeSetNames, WholeNamesForTheToolTheFirstKeyForTheLibrary) {
  const std::tuple<const char*, int, int> kCases[] = {
      {"SJIS", CODESET_SJIS, CODESET_SJIS},
      {"sjis", CODESET_SJIS, CODESET_NONE},
      {"Shift_JIS", CODESET_SJIS, CODESET_JIS},
      {"shift-jis", CODESET_SJIS, CODESET_NONE},
      {"CP932", CODESET_SJIS, CODESET_NONE},
      {"EUC-JP", CODESET_EUC_J, CODESET_EUC_J},
      {"ISO-2022-JP", CODESET_JIS, CODESET_NONE},
      {"big5", CODESET_BIG5, CODESET_NONE},
      {"EUC-TW", CODESET_EUC_TW, CODESET_EUC_J},
      {"EUC_TW", CODESET_EUC_TW, CODESET_EUC_TW},
      {"euc_h", CODESET_EUC_TW, CODESET_NONE},
      {"EUC_ZH", CODESET_EUC_C, CODESET_EUC_C},
      {"EUC-KR", CODESET_EUC_K, CODESET_EUC_J},
      {"ksc-5601-92", CODESET_KSC_5601_92, CODESET_NONE},
      {"ISO-8859-2", CODESET_8859_2, CODESET_NONE},
      {"8859_10", CODESET_8859_10, CODESET_8859_10},
      {"windows-1251", CODESET_1251, CODESET_1251},
      {"UTF8", CODESET_UTF8, CODESET_UTF8},
      {"FOOBIG5BAR", -1, CODESET_BIG5},
      {"ko_KR.EUC_K", -1, CODESET_EUC_K},
      {"x.1258", -1, CODESET_1258},
      {"xeuc_tw", -1, CODESET_NONE},
      {"1252", -1, CODESET_NONE},
      {"", -1, CODESET_NONE},
      {"8859_1", -1, CODESET_NONE},
  };
  for (const auto& [name, byName, byRule] : kCases) {
    EXPECT_EQ(gnutil::CodeSetByName(name), byName) << name;
    EXPECT_EQ(mbGetCodeSet(name), byRule) << name;
  }
  EXPECT_EQ(gnutil::CodeSetByName(nullptr), -1);
  EXPECT_EQ(mbGetCodeSet(nullptr), CODESET_NONE);
  // Every name of the tool's table finds its code set; the library's keys
  // come first, in the order they are tried.
  size_t count = 0;
  const gnutil::CodeSetName* names = gnutil::CodeSetNames(&count);
  for (size_t i = 0; i < count; ++i) {
    EXPECT_EQ(gnutil::CodeSetByName(names[i].name), names[i].codeset) << names[i].name;
    EXPECT_TRUE(!names[i].key || i == 0 || names[i - 1].key) << names[i].name;
    EXPECT_TRUE(!names[i].key || mbGetCodeSet(names[i].name) == names[i].codeset) << names[i].name;
  }
}

// Windows names (a numeric code page, Chinese spelled out) go by the language
// prefix; a POSIX code set wins over it, an unknown one falls back to it (the
// legacy locales' own names: LocaleDetection).
TEST(LocaleNameRule, PosixCodesetFirstThenTheLanguagePrefix) {
  const std::tuple<int, std::vector<const char*>> kCases[] = {
      {CODESET_SJIS, {"Japanese_Japan.932", "jpn", "ja_JP.SHIFT_JIS", "ja_JP.mystery"}},
      {CODESET_KSC_5601_87, {"Korean_Korea.949"}},
      {CODESET_BIG5, {"zh_TW.Big5", "ZH_tw"}},
      {CODESET_GB, {"zh_CN"}},
      {CODESET_EUC_J, {"ja_JP.EUC-JP"}},
      {CODESET_8859_2, {"cs_CZ.iso88592"}},
      {CODESET_UTF8, {"ja_JP.UTF-8", "zh_TW.utf8", "C.UTF-8"}},
      {CODESET_NONE,
       {"Chinese (Traditional)_Taiwan.950", "C", "English_United States.1252",
        "Czech_Czech Republic.1250", "", "de_DE.iso88591", "de_DE.ISO-8859-1@euro"}},
  };
  for (const auto& [cs, names] : kCases) {
    for (const char* name : names) EXPECT_EQ(gnutil::CodeSetForLocaleName(name), cs) << name;
  }
  EXPECT_EQ(gnutil::CodeSetForLocaleName(nullptr), CODESET_NONE);
}

struct DetectCase {
  const char* locale;
  int posixCodeset;
  int windowsCodeset;  // from the runtime's name, e.g. Japanese_Japan.932
};

void PrintTo(const DetectCase& c, std::ostream* os) { *os << c.locale; }

class LocaleDetection : public ::testing::TestWithParam<DetectCase> {};

TEST_P(LocaleDetection, InitMbutilFollowsTheUsersLocale) {
  GNUTIL_USE_LOCALE(GetParam().locale);
  int expected = gnutil_test::PosixOrWindows(GetParam().posixCodeset, GetParam().windowsCodeset);
  InitMbutilExt(CODESET_EUC_TW);
  EXPECT_EQ(InitMbutil(), CODESET_EUC_TW);  // the previous code set
  EXPECT_EQ(InitMbutilExt(expected), expected);
}

// Windows: Chinese names match no "zh" prefix, Korean is 87 by its language.
INSTANTIATE_TEST_SUITE_P(Locales, LocaleDetection,
                         ::testing::Values(DetectCase{"ja_JP.sjis", CODESET_SJIS, CODESET_SJIS},
                                           DetectCase{"ja_JP.utf8", CODESET_UTF8, 0},
                                           DetectCase{"zh_TW.big5", CODESET_BIG5, CODESET_NONE},
                                           DetectCase{"ko_KR.euckr", CODESET_EUC_K, 0},
                                           DetectCase{"zh_CN.gbk", CODESET_GB, CODESET_NONE},
                                           DetectCase{"zh_TW.euctw", CODESET_EUC_TW, 0},
                                           DetectCase{"ja_JP.eucjp", CODESET_EUC_J, 0},
                                           DetectCase{"C", CODESET_NONE, CODESET_NONE},
                                           DetectCase{"Korean_Korea.949", 0, CODESET_KSC_5601_87}));

TEST(CodeSetState, FirstUseReplacesAnEarlyExtChoice) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // An early choice gives way to the locale at the first lazy initialisation.
  InitMbutilExt(CODESET_BIG5);
  EXPECT_EQ(mbmaxcharlen(), 2);
  EXPECT_EQ(mb_mblen("\xB1", 1), 1);  // half-width katakana: Shift-JIS rules
  EXPECT_EQ(InitMbutilExt(CODESET_NONE), CODESET_SJIS);
}

TEST(CodeSetState, ExplicitFunctionsNeverInitialise) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  EXPECT_EQ(mblenExt("\x82\xA0", 2, CODESET_SJIS), 2);
  EXPECT_EQ(mbGetCodeSet("SJIS"), CODESET_SJIS);
  // Still uninitialised: the current code set is the initial 0.
  EXPECT_EQ(InitMbutilExt(CODESET_NONE), CODESET_NONE);
  // InitMbutilExt gives the previous code set back and takes any number.
  UseCodeSet(CODESET_EUC_J);
  EXPECT_EQ(InitMbutilExt(12345), CODESET_EUC_J);
  EXPECT_EQ(mbmaxcharlen(), 1);
  EXPECT_EQ(InitMbutilExt(CODESET_NONE), 12345);
}

// Lengths at the edges of every rule (a valid prefix gives the full length;
// UTF-8 as Unicode's well-formed sequences); code sets without rules say 1.
TEST(CharLength, EdgesOfEveryRule) {
  const std::tuple<int, int, std::vector<const char*>> kCases[] = {
      {CODESET_SJIS, 2, {"\x82\xA0", "\x82", "\x81\x40", "\xEF\xFC"}},
      {CODESET_SJIS, 1, {"\xB1", "\xDF", "A", "\x7F"}},
      {CODESET_SJIS, -1, {"\x80", "\xA0", "\xF0\x40", "\x82\x3F", "\xEF\xFD"}},
      {CODESET_EUC_J, 3, {"\x8F\xA1\xA1", "\x8F\xA1"}},
      {CODESET_EUC_J, 2, {"\x8E\xA1", "\xA4\xA2", "\xA1"}},
      {CODESET_EUC_J, -1, {"\x8E\xE0", "\xA4\x41", "\x8F\xA1\x41"}},
      {CODESET_EUC_TW, 4, {"\x8E\xA2\xA1\xA1", "\x8E\xB0\xFE\xFE", "\x8E\xA2\xA1"}},
      {CODESET_EUC_TW, 2, {"\xC4\xA1"}},
      {CODESET_EUC_TW, -1, {"\x8E\xA1\xA1\xA1", "\x8E\xB1\xA1\xA1", "\x8E\xA2\xA1\x20"}},
      {CODESET_BIG5, 2, {"\xA4\x40", "\xA4\x7E", "\xA4\xA1"}},
      {CODESET_BIG5, -1, {"\xA4\x7F"}},
      {CODESET_GB, 2, {"\xB0\xA1"}},
      {CODESET_GB, -1, {"\xA4\x40"}},
      {CODESET_EUC_K, 2, {"\xB0\xA1"}},
      {CODESET_EUC_C, -1, {"\xB0\x41"}},
      {CODESET_KSC_5601_92, 2, {"\x84\x7E", "\xD8\xA1", "\xB0\xA1"}},
      {CODESET_KSC_5601_92, -1, {"\x81\x41", "\xD4\xA1"}},
      {CODESET_KSC_5601_87, -1, {"\x81\x41"}},
      {CODESET_JIS, 1, {"\xFF"}},
      {CODESET_8859_2, 1, {"\xE1"}},
      {CODESET_UTF8, 1, {"\x7F"}},
      {CODESET_UTF8, 2, {"\xC2\x80", "\xDF\xBF", "\xC2"}},
      {CODESET_UTF8, 3, {"\xE0\xA0\x80", "\xED\x9F\xBF", "\xEF\xBF\xBF", "\xE0\xA0"}},
      {CODESET_UTF8, 4, {"\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF", "\xF1\x80\x80"}},
      {CODESET_UTF8,
       -1,
       {"\x80", "\xC1\xBF", "\xE0\x9F\x80", "\xED\xA0\x80", "\xF0\x8F\x80\x80", "\xF4\x90\x80\x80",
        "\xF5\x80", "\xC2\x41", "\xE3\x81\x41"}},
  };
  for (const auto& [cs, len, texts] : kCases) {
    for (const char* text : texts) {
      SCOPED_TRACE(gnutil_test::Hex(text) + " in " + std::to_string(cs));
      EXPECT_EQ(mblenExt(text, strlen(text), cs), len);
      UseCodeSet(cs);
      if (cs != CODESET_KSC_5601_87) {  // lenient as the current code set, below
        EXPECT_EQ(mb_mblen(text, strlen(text)), len);
      }
    }
  }
  UseCodeSet(CODESET_SJIS);  // mbbytesinchar never says below one
  EXPECT_EQ(Join(mblenExt(nullptr, 0, CODESET_8859_2), mblenExt("", 1, CODESET_NONE),
                 mb_mblen(nullptr, 4), mb_mblen("", 4), mb_mblen("A", 0), mbbytesinchar("\x80"),
                 mbbytesinchar(""), mbbytesinchartype("\x8F\xA1\xA1", CODESET_EUC_J),
                 mbbytesinchartype("\x8F\x01", CODESET_EUC_J)),
            "1|1|0|0|0|1|1|3|1|");
  UseCodeSet(CODESET_KSC_5601_87);  // 81 5B: between the Latin letter ranges
  EXPECT_EQ(Join(mb_mblen("\x81\x41", 2), mb_mblen("\x81\x5B", 2), mb_mblen("\xFE\xFE", 2)),
            "2|-1|2|");
}

// Lead bytes start characters longer than one byte, mbmaxcharlen the longest.
TEST(LeadBytes, AgreeWithTheLengthRuleInEveryCodeSet) {
  const int kAll[] = {CODESET_NONE,  CODESET_JIS,         CODESET_EUC_J,       CODESET_SJIS,
                      CODESET_GB,    CODESET_EUC_C,       CODESET_BIG5,        CODESET_EUC_TW,
                      CODESET_EUC_K, CODESET_KSC_5601_87, CODESET_KSC_5601_92, CODESET_8859_2,
                      CODESET_1250,  CODESET_UTF8,        CODESET_EUC_OR_SJIS};
  for (int cs : kAll) {
    UseCodeSet(cs);
    int longest = 1;
    for (int b = -128; b < 256; ++b) {
      char c = static_cast<char>(b);
      int len = b > 0 ? mblenExt(&c, 1, cs) : 1;  // a negative int is never a lead byte
      longest = len > longest ? len : longest;
      EXPECT_EQ(isleadbyteExt(b, cs), len > 1 ? 1 : 0) << "cs " << cs << " byte " << b;
      EXPECT_EQ(mb_isleadbyte(b), len > 1 ? 1 : 0) << "cs " << cs << " byte " << b;
    }
    EXPECT_EQ(mbmaxcharlenExt(cs), longest) << cs;
    EXPECT_EQ(mbmaxcharlen(), longest) << cs;
  }
}

// mbidx and mbnextidx (0 at the end): invalid bytes step one at a time,
// single-byte code sets give the index back unclamped, and where KSC 5601-87's
// lenient rule and mbidx's strict walk disagree (84 5B) stepping moves on.
TEST(Stepping, IdxAndNextIdx) {
  using At = std::tuple<int, int, int>;  // index, mbidx, mbnextidx
  const std::tuple<int, const char*, std::vector<At>> kCases[] = {
      {CODESET_SJIS,
       "ab\x82\xA0\x63",
       {{0, 0, 1}, {1, 1, 2}, {2, 2, 4}, {3, 2, 4}, {4, 4, 0}, {10, 5, 0}}},
      {CODESET_SJIS, "", {{0, 0, 0}}},
      {CODESET_SJIS, "\x80\x80\x80", {{1, 1, 2}, {2, 2, 0}}},
      {CODESET_SJIS, "a\x82", {{5, 2, 0}}},
      {CODESET_EUC_J, "\x8F\xA1\xA1x", {{0, 0, 3}, {2, 0, 3}}},
      {CODESET_EUC_J, "\x8F\xA1\xA1", {{0, 0, 0}}},
      {CODESET_EUC_OR_SJIS, "abc", {{100, 100, 0}}},
      {CODESET_NONE, "abc", {{100, 100, 0}, {1, 1, 2}, {2, 2, 0}, {3, 3, 0}}},
      {CODESET_KSC_5601_87, "\x84\x5B\x61", {{0, 0, 1}, {1, 0, 2}, {2, 2, 0}}},
  };
  for (const auto& [cs, text, at] : kCases) {
    UseCodeSet(cs);
    for (const auto& [index, idx, next] : at) {
      SCOPED_TRACE(gnutil_test::Hex(text) + " at " + std::to_string(index));
      EXPECT_EQ(mbidx(text, index), idx);
      EXPECT_EQ(mbnextidx(text, index), next);
      EXPECT_EQ(mbnextchar(text, index), next == 0 ? nullptr : text + next);
    }
  }
}

TEST(Printable, HalfWidthKatakanaOnlyInShiftJis) {
  UseCodeSet(CODESET_SJIS);
  EXPECT_EQ(Join(ismbcprint(0), ismbcprint(127), ismbcprint(0xA1), ismbcprint(0xDF),
                 ismbcprint(0xE0), ismbcprint(0x80)),
            "1|1|1|1|0|0|");
  UseCodeSet(CODESET_EUC_J);
  EXPECT_EQ(Join(ismbcprint('a'), ismbcprint(0xB1), ismbcprint(-1)), "1|0|0|");
}

}  // namespace
