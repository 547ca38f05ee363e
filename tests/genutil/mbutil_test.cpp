// The code-set rules: the locale-name rule and detection in the real legacy
// locales, initialisation, lead bytes and character lengths per code set,
// stepping through text.
#include "gnutil/mbutil.h"

#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "genutil/mbutil_internal.h"
#include "support/jaconv_text.h"
#include "support/test_locale.h"

namespace {

using gnutil_test::UseCodeSet;

// Windows names carry a numeric code page and go by the language prefix, which
// does not match the spelled-out Chinese; a POSIX code set wins over the
// prefix; UTF-8 is a code set of its own, whatever the language; an unknown
// encoding falls back to the prefix.
TEST(LocaleNameRule, PosixCodesetFirstThenTheLanguagePrefix) {
  const struct {
    int cs;
    std::vector<const char*> names;
  } kCases[] = {
      // clang-format off
      {CODESET_SJIS, {"Japanese_Japan.932", "jpn", "ja_JP.sjis", "ja_JP.SHIFT_JIS", "ja_JP.mystery"}},
      {CODESET_KSC_5601_87, {"Korean_Korea.949"}}, {CODESET_BIG5, {"zh_TW.Big5", "ZH_tw"}},
      {CODESET_GB, {"zh_CN", "zh_CN.gbk"}}, {CODESET_EUC_J, {"ja_JP.eucjp", "ja_JP.EUC-JP"}},
      {CODESET_EUC_TW, {"zh_TW.euctw"}}, {CODESET_EUC_K, {"ko_KR.euckr"}},
      {CODESET_8859_2, {"cs_CZ.iso88592"}}, {CODESET_UTF8, {"ja_JP.UTF-8", "zh_TW.utf8", "C.UTF-8"}},
      {CODESET_NONE, {"Chinese (Traditional)_Taiwan.950", "C", "English_United States.1252",
                      "Czech_Czech Republic.1250", "", "de_DE.iso88591", "de_DE.ISO-8859-1@euro"}},
      // clang-format on
  };
  for (const auto& c : kCases) {
    for (const char* name : c.names) EXPECT_EQ(gnutil::CodeSetForLocaleName(name), c.cs) << name;
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

// Windows names Chinese in full ("Chinese (Traditional)_Taiwan.950"), which
// no "zh" prefix matches, and Korean by its language only ("ko": 87).
// clang-format off
INSTANTIATE_TEST_SUITE_P(Locales, LocaleDetection, ::testing::Values(
    DetectCase{"ja_JP.sjis", CODESET_SJIS, CODESET_SJIS}, DetectCase{"ja_JP.eucjp", CODESET_EUC_J, 0},
    DetectCase{"zh_TW.big5", CODESET_BIG5, CODESET_NONE}, DetectCase{"zh_TW.euctw", CODESET_EUC_TW, 0},
    DetectCase{"ko_KR.euckr", CODESET_EUC_K, 0}, DetectCase{"zh_CN.gbk", CODESET_GB, CODESET_NONE},
    DetectCase{"ja_JP.utf8", CODESET_UTF8, 0}, DetectCase{"C", CODESET_NONE, CODESET_NONE},
    DetectCase{"Korean_Korea.949", 0, CODESET_KSC_5601_87}));
// clang-format on

TEST(CodeSetState, FirstUseReplacesAnEarlyExtChoice) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // Choosing a code set before anything initialised is overridden by the
  // locale at the first lazily initialising call.
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

// Exact lengths at the edges of every rule, by the explicit function and as
// the current code set. Code sets without rules say 1 for everything.
TEST(CharLength, EdgesOfEveryRule) {
  const struct {
    int cs, len;
    std::vector<const char*> texts;
  } kCases[] = {
      // clang-format off
      {CODESET_SJIS, 2, {"\x82\xA0", "\x82", "\x81\x40", "\xEF\xFC"}}, {CODESET_SJIS, 1, {"\xB1", "\xDF", "A", "\x7F"}},
      {CODESET_SJIS, -1, {"\x80", "\xA0", "\xF0\x40", "\x82\x3F", "\xEF\xFD"}},
      {CODESET_EUC_J, 3, {"\x8F\xA1\xA1", "\x8F\xA1"}}, {CODESET_EUC_J, 2, {"\x8E\xA1", "\xA4\xA2", "\xA1"}},
      {CODESET_EUC_J, -1, {"\x8E\xE0", "\xA4\x41", "\x8F\xA1\x41"}},
      {CODESET_EUC_TW, 4, {"\x8E\xA2\xA1\xA1", "\x8E\xB0\xFE\xFE", "\x8E\xA2\xA1"}}, {CODESET_EUC_TW, 2, {"\xC4\xA1"}},
      {CODESET_EUC_TW, -1, {"\x8E\xA1\xA1\xA1", "\x8E\xB1\xA1\xA1", "\x8E\xA2\xA1\x20"}},
      {CODESET_BIG5, 2, {"\xA4\x40", "\xA4\x7E", "\xA4\xA1"}}, {CODESET_BIG5, -1, {"\xA4\x7F"}},
      {CODESET_GB, 2, {"\xB0\xA1"}}, {CODESET_GB, -1, {"\xA4\x40"}}, {CODESET_EUC_K, 2, {"\xB0\xA1"}},
      {CODESET_EUC_C, -1, {"\xB0\x41"}}, {CODESET_KSC_5601_92, 2, {"\x84\x7E", "\xD8\xA1", "\xB0\xA1"}},
      {CODESET_KSC_5601_92, -1, {"\x81\x41", "\xD4\xA1"}}, {CODESET_KSC_5601_87, -1, {"\x81\x41"}},
      {CODESET_UTF8, -1, {"\xED\xA0\x80"}}, {CODESET_JIS, 1, {"\xFF"}}, {CODESET_8859_2, 1, {"\xE1"}},
      // clang-format on
  };
  for (const auto& c : kCases) {
    for (const char* text : c.texts) {
      SCOPED_TRACE(gnutil_test::Hex(text) + " in " + std::to_string(c.cs));
      EXPECT_EQ(mblenExt(text, strlen(text), c.cs), c.len);
      UseCodeSet(c.cs);
      if (c.cs != CODESET_KSC_5601_87) {  // lenient as the current code set, below
        EXPECT_EQ(mb_mblen(text, strlen(text)), c.len);
      }
    }
  }
  EXPECT_EQ(mblenExt(nullptr, 0, CODESET_8859_2), 1);
  EXPECT_EQ(mblenExt("", 1, CODESET_NONE), 1);
  UseCodeSet(CODESET_SJIS);
  EXPECT_EQ(mb_mblen(nullptr, 4), 0);
  EXPECT_EQ(mb_mblen("", 4), 0);
  EXPECT_EQ(mb_mblen("A", 0), 0);
  EXPECT_EQ(mbbytesinchar("\x80"), 1);  // never below one
  EXPECT_EQ(mbbytesinchar(""), 1);
  EXPECT_EQ(mbbytesinchartype("\x8F\xA1\xA1", CODESET_EUC_J), 3);
  EXPECT_EQ(mbbytesinchartype("\x8F\x01", CODESET_EUC_J), 1);
  UseCodeSet(CODESET_KSC_5601_87);
  EXPECT_EQ(mb_mblen("\x81\x41", 2), 2);
  EXPECT_EQ(mb_mblen("\x81\x5B", 2), -1);  // between the Latin letter ranges
  EXPECT_EQ(mb_mblen("\xFE\xFE", 2), 2);
}

// A byte is a lead byte exactly where a character starting with it is longer
// than one byte, and the longest such character is mbmaxcharlen.
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

// The UTF-8 length rule against Unicode's definition, decoded here the long
// way: every lead byte with representative bytes of every class after it.
int ReferenceUtf8Length(const unsigned char* p, size_t n) {
  unsigned c = p[0];
  int len = c < 0x80 ? 1 : c < 0xC0 ? -1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF8 ? 4 : -1;
  if (len <= 1) return len;
  // The code points the bytes that are there can still become: the missing
  // continuation bytes range over 0x80-0xBF.
  uint32_t lo = c & (0x7Fu >> len), hi = lo;
  for (int i = 1; i < len; ++i) {
    bool there = static_cast<size_t>(i) < n;
    if (there && (p[i] & 0xC0) != 0x80) return -1;
    lo = (lo << 6) | (there ? p[i] & 0x3Fu : 0);
    hi = (hi << 6) | (there ? p[i] & 0x3Fu : 0x3F);
  }
  static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  lo = std::max(lo, kMin[len]);
  hi = std::min(hi, 0x10FFFFu);
  if (lo > hi || (lo >= 0xD800 && hi <= 0xDFFF)) return -1;  // overlong, beyond, surrogate
  return len;
}

TEST(CharLength, Utf8IsUnicodesDefinition) {
  const unsigned char kFollow[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                   0xA0, 0xBF, 0xC0, 0xC2, 0xF4, 0xFF};
  // A prefix shorter than the character gives its full length when what is
  // there is right, as the other rules do.
  for (unsigned lead = 1; lead <= 0xFF; ++lead) {
    for (unsigned char b1 : kFollow) {
      for (unsigned char b2 : kFollow) {
        for (unsigned char b3 : kFollow) {
          const unsigned char bytes[] = {static_cast<unsigned char>(lead), b1, b2, b3};
          for (size_t n = 1; n <= 4; ++n) {
            if (n > 1 && bytes[n - 1] == 0) break;
            ASSERT_EQ(mblenExt(reinterpret_cast<const char*>(bytes), n, CODESET_UTF8),
                      ReferenceUtf8Length(bytes, n))
                << std::hex << lead << " " << int{b1} << " " << int{b2} << " " << int{b3}
                << " n=" << n;
          }
        }
      }
    }
  }
}

// mbidx (start of the character holding a byte) and mbnextidx (the next
// character's start, 0 at the end) at every kind of position: invalid bytes
// step one at a time, a lead byte cut off by the NUL is one byte, the first
// character is measured at index 0 too, and single-byte code sets (the
// EUC-or-Shift-JIS guess among them) give the index back unclamped. 0x84 0x5B
// is one character to the strict rule of mbidx's walk, two to the lenient
// rule of the current code set 11 (KSC 5601-87): stepping still moves on.
TEST(Stepping, IdxAndNextIdx) {
  struct At {
    int index, idx, next;
  };
  const struct {
    int cs;
    const char* text;
    std::vector<At> at;
  } kCases[] = {
      // clang-format off
      {CODESET_SJIS, "ab\x82\xA0\x63", {{0, 0, 1}, {1, 1, 2}, {2, 2, 4}, {3, 2, 4}, {4, 4, 0}, {10, 5, 0}}},
      {CODESET_SJIS, "", {{0, 0, 0}}}, {CODESET_SJIS, "\x80\x80\x80", {{1, 1, 2}, {2, 2, 0}}},
      {CODESET_SJIS, "a\x82", {{5, 2, 0}}}, {CODESET_EUC_J, "\x8F\xA1\xA1x", {{0, 0, 3}, {2, 0, 3}}},
      {CODESET_EUC_J, "\x8F\xA1\xA1", {{0, 0, 0}}}, {CODESET_EUC_OR_SJIS, "abc", {{100, 100, 0}}},
      {CODESET_NONE, "abc", {{100, 100, 0}, {1, 1, 2}, {2, 2, 0}, {3, 3, 0}}},
      {CODESET_KSC_5601_87, "\x84\x5B\x61", {{0, 0, 1}, {1, 0, 2}, {2, 2, 0}}},
      // clang-format on
  };
  for (const auto& c : kCases) {
    UseCodeSet(c.cs);
    for (const At& a : c.at) {
      SCOPED_TRACE(gnutil_test::Hex(c.text) + " at " + std::to_string(a.index));
      EXPECT_EQ(mbidx(c.text, a.index), a.idx);
      EXPECT_EQ(mbnextidx(c.text, a.index), a.next);
      EXPECT_EQ(mbnextchar(c.text, a.index), a.next == 0 ? nullptr : c.text + a.next);
    }
  }
}
TEST(Printable, HalfWidthKatakanaOnlyInShiftJis) {
  const struct {
    int cs, printable;
    std::vector<int> chars;
  } kCases[] = {{CODESET_SJIS, 1, {0, 127, 0xA1, 0xDF}},
                {CODESET_SJIS, 0, {0xE0, 0x80}},
                {CODESET_EUC_J, 1, {'a'}},
                {CODESET_EUC_J, 0, {0xB1, -1}}};
  for (const auto& c : kCases) {
    UseCodeSet(c.cs);
    for (int ch : c.chars) EXPECT_EQ(ismbcprint(ch), c.printable) << c.cs << " " << ch;
  }
}

}  // namespace
