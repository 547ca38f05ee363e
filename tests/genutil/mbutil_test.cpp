// Multibyte text: code-set and locale names, the legacy locales, lazy
// initialisation, lengths and stepping per code set; the string functions,
// which never split a character, and the file functions on real files, cut
// at every boundary.
#include "gnutil/mbutil.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "genutil/codeset_names.h"
#include "genutil/mbutil_internal.h"
#include "gnutil/codesets.h"
#include "gnutil/mbstring.h"
#include "support/jaconv_text.h"
#include "support/joined.h"
#include "support/temp_dir.h"
#include "support/test_locale.h"

namespace {

using gnutil::Conversion;
using namespace gnutil_test;  // NOLINT: the suite's helpers and code-set names

// CodeSetByName (the tool's: whole names in their usual spellings, any case;
// -1 for a name that only contains one) and mbGetCodeSet (the library's rule:
// the first key anywhere in the name, case kept).
TEST(CodeSetNames, WholeNamesForTheToolTheFirstKeyForTheLibrary) {
  const std::tuple<const char*, int, int> kCases[] = {
      {"Shift_JIS", CODESET_SJIS, CODESET_JIS},
      {"FOOBIG5BAR", -1, CODESET_BIG5},
      {"xeuc_tw", -1, CODESET_NONE},
      {nullptr, -1, CODESET_NONE},
  };
  for (const auto& [name, byName, byRule] : kCases) {
    EXPECT_EQ(gnutil::CodeSetByName(name), byName) << name;
    EXPECT_EQ(mbGetCodeSet(name), byRule) << name;
  }
  // Every key of the table finds its row's code set, by whole name and by
  // mbGetCodeSet's rule, which tries the rows in order.
  size_t count = 0;
  const gnutil::CodeSetRow* rows = gnutil::CodeSetRows(&count);
  for (size_t i = 0; i < count; ++i) {
    for (const char* key : rows[i].keys) {
      if (key == nullptr) continue;
      EXPECT_EQ(gnutil::CodeSetByName(key), rows[i].codeset) << key;
      EXPECT_EQ(mbGetCodeSet(key), rows[i].codeset) << key;
    }
  }
}

// Windows names (a numeric code page, Chinese spelled out) go by the language
// prefix; a POSIX code set wins over it, an unknown one falls back to it (the
// legacy locales' own names: LocaleDetection).
TEST(LocaleNameRule, PosixCodesetFirstThenTheLanguagePrefix) {
  const std::tuple<int, std::vector<const char*>> kCases[] = {
      {CODESET_SJIS, {"Japanese_Japan.932", "jpn", "ja_JP.SHIFT_JIS", "ja_JP.mystery"}},
      {CODESET_KSC_5601_87, {"Korean_Korea.949", "ko_KR.UHC"}},
      {CODESET_EUC_K, {"ko_KR.eucKR"}},
      {CODESET_BIG5, {"zh_TW.Big5", "ZH_tw", "zh_HK.BIG5-HKSCS"}},
      {CODESET_GB, {"zh_CN", "zh_CN.GB18030"}},
      {CODESET_8859_2, {"cs_CZ.iso88592"}},
      {CODESET_UTF8, {"zh_TW.utf8", "C.UTF-8"}},
      {CODESET_NONE,
       {"Chinese (Traditional)_Taiwan.950", "C", "", "de_DE.ISO-8859-1@euro", nullptr}},
  };
  for (const auto& [cs, names] : kCases) {
    for (const char* name : names) EXPECT_EQ(gnutil::CodeSetForLocaleName(name), cs) << name;
  }
}

// InitMbutil follows the user's locale: the code set of a POSIX name, of a
// Windows one (Chinese names match no "zh" prefix, Korean is 87 by its
// language), and mbGetLocaleCodeSet's by code page (Windows: the user's).
// A missing locale skips the rest.
TEST(LocaleDetection, InitMbutilFollowsTheUsersLocale) {
  const struct {
    const char* locale;
    int posix, windows, user;
  } kCases[] = {{"ja_JP.sjis", CODESET_SJIS, CODESET_SJIS, CODESET_SJIS},
                {"ja_JP.utf8", CODESET_UTF8, 0, CODESET_NONE},
                {"zh_TW.big5", CODESET_BIG5, CODESET_NONE, CODESET_BIG5},
                {"ko_KR.euckr", CODESET_EUC_K, 0, CODESET_KSC_5601_92},
                {"zh_CN.gbk", CODESET_GB, CODESET_NONE, CODESET_GB},
                {"zh_TW.euctw", CODESET_EUC_TW, 0, CODESET_NONE},
                {"ja_JP.eucjp", CODESET_EUC_J, 0, CODESET_NONE},
                {"C", CODESET_NONE, CODESET_NONE, CODESET_NONE},
                {"Korean_Korea.949", 0, CODESET_KSC_5601_87, CODESET_KSC_5601_92}};
  for (const auto& c : kCases) {
    if (c.posix == 0 && !kWindows) continue;  // a Windows name
    SCOPED_TRACE(c.locale);
    GNUTIL_USE_LOCALE(c.locale);
    int expected = PosixOrWindows(c.posix, c.windows);
    InitMbutilExt(CODESET_EUC_TW);
    EXPECT_EQ(InitMbutil(), CODESET_EUC_TW);  // the previous code set
    EXPECT_EQ(InitMbutilExt(expected), expected);
    EXPECT_EQ(mbGetLocaleCodeSet(), c.user);
  }
}

// Functions given a code set never initialise; an early choice gives way to
// the locale at the first lazy initialisation.
TEST(CodeSetState, FirstUseReplacesAnEarlyExtChoice) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  EXPECT_EQ(mblenExt("\x82\xA0", 2, CODESET_SJIS), 2);
  EXPECT_EQ(InitMbutilExt(CODESET_BIG5), CODESET_NONE);  // the initial 0
  EXPECT_EQ(mb_mblen("\xB1", 1), 1);                     // half-width katakana: Shift-JIS rules
  EXPECT_EQ(InitMbutilExt(12345), CODESET_SJIS);         // any number is taken
  EXPECT_EQ(mbmaxcharlen(), 1);
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
      {CODESET_KSC_5601_92, 2, {"\x84\x7E", "\xD8\xA1", "\xB0\xA1"}},
      {CODESET_KSC_5601_92, -1, {"\x81\x41", "\xD4\xA1"}},
      {CODESET_KSC_5601_87, -1, {"\x81\x41"}},
      {CODESET_JIS, 1, {"\xFF"}},
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
  EXPECT_EQ(mb_mblen(nullptr, 4), 0);
  EXPECT_EQ(mbbytesinchar("\x80"), 1);
  EXPECT_EQ(mbbytesinchartype("\x8F\x01", CODESET_EUC_J), 1);
  UseCodeSet(CODESET_KSC_5601_87);  // 81 5B: between the Latin letter ranges
  EXPECT_EQ(mb_mblen("\x81\x41", 2), 2);
  EXPECT_EQ(mb_mblen("\x81\x5B", 2), -1);
  EXPECT_EQ(mb_mblen("\xFE\xFE", 2), 2);
}

// Lead bytes start characters longer than one byte, mbmaxcharlen the longest.
TEST(LeadBytes, AgreeWithTheLengthRuleInEveryCodeSet) {
  const int kAll[] = {CODESET_NONE,        CODESET_EUC_J,  CODESET_SJIS,  CODESET_GB,
                      CODESET_BIG5,        CODESET_EUC_TW, CODESET_EUC_K, CODESET_KSC_5601_87,
                      CODESET_KSC_5601_92, CODESET_8859_2, CODESET_UTF8,  CODESET_EUC_OR_SJIS};
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
      {CODESET_SJIS, "a\x82", {{5, 2, 0}}},
      {CODESET_EUC_J, "\x8F\xA1\xA1x", {{0, 0, 3}, {2, 0, 3}}},
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
  for (int c : {0, 127, 0xA1, 0xDF}) EXPECT_TRUE(ismbcprint(c)) << c;
  for (int c : {0xE0, 0x80}) EXPECT_FALSE(ismbcprint(c)) << c;
  UseCodeSet(CODESET_EUC_J);
  EXPECT_TRUE(ismbcprint('a'));
  for (int c : {0xB1, -1}) EXPECT_FALSE(ismbcprint(c)) << c;
}

std::string Tokens(std::string text, const char* delimiters) {
  std::string joined;
  for (char* t = mbstrtok(&text[0], delimiters); t != nullptr; t = mbstrtok(nullptr, delimiters))
    joined += "|" + std::string(t);
  return joined.substr(joined.empty() ? 0 : 1);
}

// Cut before a character a copy writes a NUL, else it is strncpy (which
// also copies a lead byte that ends the text).
TEST(MbCopy, NeverSplitsACharacter) {
  const char* kMixed = "a,\xC3\xA9,\xE2\x82\xAC,\xF0\x9D\x84\x9E";  // 1 to 4 bytes
  const std::tuple<int, const char*, size_t, int> kCases[] = {
      {kSjis, "a\x82\xA0", 2, 1},
      {kSjis, "a\x82\xA0", 3, 3},
      {kSjis, "ab", 6, 2},
      {kEuc, "a\x8F\xA1\xA1z", 3, 1},
      {CODESET_UTF8, kMixed, 3, 2},
      {CODESET_UTF8, kMixed, 4, 4},
      {CODESET_UTF8, kMixed, 12, 9},
      {kSjis, "ab\x82", 3, 3},
      {CODESET_EUC_TW, "a\x8E\xA2\xA1\xA1", 4, 1},
  };
  char out[16];
  for (const auto& [cs, src, n, count] : kCases) {
    SCOPED_TRACE(Hex(src) + " n=" + std::to_string(n));
    UseCodeSet(cs);
    std::string expected = std::string(src, count) + std::string(n - count, '\0');
    if (count < static_cast<int>(std::min(n, strlen(src)))) expected.resize(count + 1);
    memset(out, 'x', sizeof out);
    EXPECT_EQ(mbstrncpyi(out, src, n), count);
    EXPECT_EQ(std::string(out, expected.size() + 1), expected + "x");
    memset(out, 'x', sizeof out);
    EXPECT_EQ(mbstrncpy(out, src, n), out);
    EXPECT_EQ(std::string(out, expected.size() + 1), expected + "x");
  }
  EXPECT_EQ(mbstrncpyi(nullptr, "ab", 2), 0);
  EXPECT_EQ(mbstrncpy(out, nullptr, 2), out);
}

int Icmp(const char* a, const char* b, size_t) { return mbstricmp(a, b); }

// A double-byte character is greater than any single byte; mbcharcmp keeps
// the case, and looks at the first bytes only in single-byte code sets.
TEST(MbCompare, CaseLengthAndDoubleBytes) {
  using Compare = int (*)(const char*, const char*, size_t);
  const std::tuple<int, Compare, const char*, const char*, size_t, int> kCases[] = {
      {kSjis, Icmp, "ABC", "abc", 0, 0},
      {kSjis, Icmp, "ab", "abc", 0, -1},
      {kSjis, Icmp, "\x82\xA0", "z", 0, 1},
      {kSjis, Icmp, "abC", "ABd", 0, -1},
      {kSjis, Icmp, nullptr, "a", 0, 0},
      {kSjis, mbstrnicmp, "abcdef", "ABCxyz", 3, 0},
      {kSjis, mbstrnicmp, "abcdef", "ABCxyz", 4, -1},
      {kSjis, mbstrnicmp, "ab", "abc", 5, -1},
      {kSjis, mbstrnicmp, "\x82\xA0X", "\x82\xA0x", 3, 0},
      {kSjis, mbstrnicmp, "\x82\xA0", "\x82\xA2", 2, -1},
      {kSjis, mbcharcmp, "b", "B", 1, 1},
      {CODESET_NONE, mbcharcmp, "a", "b", 5, -1},
  };
  for (const auto& [cs, compare, a, b, n, sign] : kCases) {
    UseCodeSet(cs);
    int r = compare(a, b, n);
    EXPECT_EQ((r > 0) - (r < 0), sign) << cs << " " << (a ? a : "null") << " " << b;
  }
}

// Case changes and searches see whole characters only.
TEST(MbSearch, WholeCharactersOnly) {
  UseCodeSet(kSjis);
  char word[] = "ab\x83\x61Z";  // 0x83 0x61 is KATAKANA DI, its trail byte 'a'
  EXPECT_EQ(mbstrtoupper(word), 5);
  EXPECT_STREQ(word, "AB\x83\x61Z");
  EXPECT_EQ(mbstrtolower(word), 5);
  EXPECT_STREQ(word, "ab\x83\x61z");
  char cut[] = "ab\x83";
  EXPECT_EQ(mbstrtoupper(cut), 0);
  auto at = [](const char* t, const char* p) { return p != nullptr ? p - t : -1; };
  const char text[] = "\x83\x61\x83\x62\x61";  // the pair 0x61 0x83 spans two characters
  const char repeated[] = "xa\x83\x61xa", set[] = "\x83\x61x\x82\xA0y";
  // A lead byte alone is half a character.
  EXPECT_EQ(at(text, mbstrstr(text, "\x61\x83")), -1);
  EXPECT_EQ(at(text, mbstrstr(text, "\x83\x62")), 2);
  EXPECT_EQ(at(text, mbstrchr(text, 'a')), 4);
  EXPECT_EQ(at(text, mbstrrchr(text, static_cast<signed char>(0x83))), 2);
  EXPECT_EQ(at(text, mbstrstr(text, "\x83")), -1);
  EXPECT_EQ(at(repeated, mbstrrstr(repeated, "xa")), 4);
  EXPECT_EQ(at(set, mbstrpbrk(set, "yx")), 2);
  EXPECT_EQ(at(set, mbstrpbrk(set, "\x82\xA0")), 3);
  EXPECT_EQ(mbstrcspn(set, "y"), 5);
  EXPECT_EQ(mbstrstr(nullptr, "a"), nullptr);
  // Adjacent delimiters give an empty token; a leading one is skipped once.
  EXPECT_EQ(
      Join(Tokens("a,,b", ","), Tokens("a\x83\x61\x61z", "a"), Tokens("x\x81\x41y", "\x81\x41")),
      "a||b|\x83\x61|z|x|y|");
  EXPECT_EQ(mbstrtok(nullptr, ","), nullptr);
}

TEST(MbValidate, FirstInvalidOrCutCharacter) {
  const std::tuple<const char*, int, int, int> kCases[] = {
      {"ab\x82\xA0\xB1", kSjis, 1, -1},       {"ab\x82", kSjis, 0, 2},
      {"a\x82\xA0\x80z", kSjis, 0, 3},        {"\x82\x20", kSjis, 0, 0},
      {"a\x8F\xA1\xA1", kEuc, 1, -1},         {"a\x8F\xA1", kEuc, 0, 1},
      {"ok\xED\xA0\x80", CODESET_UTF8, 0, 2},
  };
  UseCodeSet(kSjis);
  for (const auto& [text, cs, valid, offset] : kCases) {
    int at = -1;
    EXPECT_EQ(mbvalidatestring(text, &at, cs), valid) << Hex(text);
    EXPECT_EQ(at, offset) << Hex(text);
  }
  int offset;
  EXPECT_EQ(mbvalidatestring(nullptr, &offset, kSjis), 0);
  UseCodeSet(CODESET_NONE);
  EXPECT_EQ(mbvalidatestring("\x82", &offset, kSjis), 1);  // single-byte: all valid
}

// The sum of the EUC-J bytes of the text in the locale's code set.
TEST(MbChecksum, SumOfTheEucBytes) {
  EXPECT_EQ(AccumulateAsciiForStr(nullptr), 0);
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  EXPECT_EQ(AccumulateAsciiForStr("a\x82\xA0\xB1"), 'a' + 0xA4 + 0xA2 + 0x8E + 0xB1);
}

TEST(MbSingleByteLocale, PlainFunctionsFollowTheLocale) {
  GNUTIL_USE_LOCALE("cs_CZ.iso88592");
  InitMbutil();
  char text[] = "\xE1\x62\x63";  // a with acute, b, c
  EXPECT_EQ(mbstrtoupper(text), 3);
  EXPECT_STREQ(text, "\xC1\x42\x43");
  EXPECT_EQ(mbstricmp("\xE1", "\xC1"), 0);
  EXPECT_EQ(Tokens(",a,,b", ","), "a|b");  // strtok: leading and repeated delimiters skipped
  // UTF-8 walks by characters.
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  InitMbutil();
  EXPECT_EQ(mbstrrchr("\xE6\x97\xA5\xE3\x83\x86", 0x83), nullptr);  // 日テ
  const char* mixed = "a,\xC3\xA9,\xE2\x82\xAC,\xF0\x9D\x84\x9E,\xE2\x82\xAC\xC3\xA9";
  EXPECT_EQ(Tokens(mixed, ","), "a|\xC3\xA9|\xE2\x82\xAC|\xF0\x9D\x84\x9E|\xE2\x82\xAC\xC3\xA9");
  EXPECT_EQ(mbstrstr(mixed, "\xA9,"), nullptr);  // not the separator found inside é
}

class MbFiles : public ::testing::Test {
 protected:
  std::string Make(const std::string& bytes) {
    std::string path = Name();
    WriteFile(path, bytes);
    return path;
  }
  std::string Name() { return dir_ / std::to_string(files_++); }
  TempDir dir_;
  int files_ = 0;
};

TEST_F(MbFiles, PutsAndReadString) {
  UseCodeSet(kSjis);
  std::string path = Name();
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  EXPECT_GE(mbfputs("\x82\xA0\n", f, kEuc), 0);
  EXPECT_GE(mbfputs("\x88\x9F\n", f, kJis), 0);
  EXPECT_GE(mbfputs("abc\x82\xA0", f, CODESET_NONE), 0);
  EXPECT_EQ(mbfputs(nullptr, f, kEuc), 0);
  fclose(f);
  EXPECT_EQ(ReadWholeFile(path), "\xA4\xA2\n\x1b$B0!\x1b(J\nabc\x82\xA0");
  f = fopen(Make("abc\x82\xA0").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buf[8];
  for (const char* piece : {"abc", "\x82\xA0", ""}) {
    EXPECT_EQ(mbfreadstring(buf, 4, f), static_cast<int>(strlen(piece)));
    EXPECT_STREQ(buf, piece);
  }
  fclose(f);
}

// In UTF-8 a read that ends inside a character gives the whole character
// back to the file, wherever the cut falls.
TEST_F(MbFiles, Utf8ReadGivesBackEveryCutCharacter) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  for (const std::string bytes : {"\xC3\xA9", "\xE6\x97\xA5", "\xF0\x9D\x84\x9E"}) {
    const std::string path = Make("ab" + bytes);
    for (int cut = 1; cut <= static_cast<int>(bytes.size()); ++cut) {
      SCOPED_TRACE(Hex(bytes) + " cut after " + std::to_string(cut));
      const bool whole = cut == static_cast<int>(bytes.size());
      FILE* f = fopen(path.c_str(), "rb");
      ASSERT_NE(f, nullptr);
      char buf[8];
      EXPECT_EQ(mbfreadstring(buf, 2 + cut, f), whole ? 2 + cut : 2);
      EXPECT_EQ(mbfreadstring(buf, 7, f), whole ? 0 : static_cast<int>(bytes.size()));
      fclose(f);
    }
  }
}

std::string Repeat(const std::string& piece, int times) {
  std::string s;
  while (times-- > 0) s += piece;
  return s;
}

// File conversions by line (CR LF to LF) and in chunks (every byte kept), and
// back, give the whole-text conversion; lines are longer than the buffer. (A
// missing locale skips the rest.)
TEST_F(MbFiles, ConversionsEqualTheWholeTextConversion) {
  const struct {
    const char* locale;
    int native, file;  // Windows' Taiwanese locale name gives no code set
    std::string text;
  } kCases[] = {
      {"ja_JP.eucjp", kEuc, kSjis,
       Repeat(Repeat("\xB1\x88\x9F\x88\x9F", 520) + "\r\na", 5) + "last line without end"},
      {"ja_JP.sjis", kSjis, kJis, Repeat(Repeat("\x1b$B0!$\"4A\x1b(Bab", 300) + "\n", 70)},
      {"zh_TW.big5", CODESET_BIG5, CODESET_EUC_TW, Repeat("\xC4\xA1\x8E\xA2\xA1\xA1z", 40000)}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.locale);
    GNUTIL_USE_LOCALE(c.locale);
    UseCodeSet(c.native);
    Conversion to = gnutil::ConversionFor(c.file, c.native);
    std::string in = Make(c.text), out = Name(), back = Name();
    ASSERT_EQ(mbconvertfile2native(in.c_str(), out.c_str(), 0, c.file), 1);
    EXPECT_TRUE(Same(ReadWholeFile(out), Replace(Pieces(to, c.text), "\r\n", "\n")));
    ASSERT_EQ(mbconvertfile2native_ex(in.c_str(), out.c_str(), 0, c.file), 1);
    std::string native = ReadWholeFile(out);
    EXPECT_TRUE(Same(native, Pieces(to, c.text)));
    ASSERT_EQ(mbconvertnativefile(out.c_str(), back.c_str(), 0, c.file), 1);
    // Text mode may write line ends as CR LF where the platform does so.
    if (!kWindows || c.text.find('\n') == std::string::npos) {
      EXPECT_TRUE(
          Same(ReadWholeFile(back), Pieces(gnutil::ConversionFor(c.native, c.file), native)));
    }
  }
}

// A CR without LF is text, also at the end of files of every size around the
// line buffer, and a CR LF pair is split by the buffer at every position.
TEST_F(MbFiles, LineEnds) {
  UseCodeSet(kEuc);
  std::string in = Make("\x82\xA0\r\nb\r\n\rc\r"), out = Name();
  EXPECT_EQ(mbconvertfile2native(in.c_str(), out.c_str(), 0, kSjis), 1);
  EXPECT_EQ(ReadWholeFile(out), "\xA4\xA2\nb\n\rc\r");
  EXPECT_EQ(mbconvertfile2native(in.c_str(), out.c_str(), 1, kSjis), 1);  // appended
  EXPECT_EQ(ReadWholeFile(out), "\xA4\xA2\nb\n\rc\r\xA4\xA2\nb\n\rc\r");
  EXPECT_EQ(mbconvertfile2native("/nonexistent/gnutil", out.c_str(), 0, kSjis), 0);
  EXPECT_EQ(mbconvertfile2native_ex(in.c_str(), out.c_str(), 0, CODESET_NONE), 0);
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  for (size_t pad = 2040; pad <= 2050; ++pad) {
    in = Make(std::string(pad, 'x') + "\r\nnext\r\n");
    ASSERT_EQ(mbconvertfile2native(in.c_str(), out.c_str(), 0, kSjis), 1);
    EXPECT_TRUE(Same(ReadWholeFile(out), std::string(pad, 'x') + "\nnext\n")) << pad;
  }
  for (size_t pad : {0, 3, 2047, 4095}) {
    std::string text = std::string(pad, 'y') + "\r";
    ASSERT_EQ(mbconvertfile2native(Make(text).c_str(), out.c_str(), 0, kEuc), 1);
    EXPECT_TRUE(Same(ReadWholeFile(out), text)) << pad;
  }
}

// mbfgets pieces of every size never split a character; JIS shift states and
// cut escapes carry over, and the pieces make the whole conversion.
TEST_F(MbFiles, PiecesOfEverySizeMakeTheWholeLine) {
  // Locale (a missing one skips the rest), smallest buffer (JIS needs room for
  // an escape and a pair), code sets of the locale and of the file, text.
  const std::tuple<const char*, int, int, int, std::string> kCases[] = {
      {"ja_JP.sjis", 6, kSjis, kJis, "ab\x1b$B0!0\"$\"\x1b(Bcd\x1b$B0#\x1b(B\nx\x1b$B0$\x1b(B\n"},
      {"ja_JP.eucjp", 5, kEuc, kSjis, "ab\xB1\x88\x9F\xB2\xB3\x82\xA0xyz\n\xB4\xB5\x88\x9F\n"}};
  for (const auto& [locale, smallest, native, file, text] : kCases) {
    GNUTIL_USE_LOCALE(locale);
    InitMbutil();
    Conversion to = gnutil::ConversionFor(file, native);
    size_t line = text.find('\n') + 1;
    std::string expected = Pieces(to, text.substr(0, line)) + Pieces(to, text.substr(line));
    for (int n = smallest; n <= static_cast<int>(text.size()) + 1; ++n) {
      FILE* f = fopen(Make(text).c_str(), "rb");
      ASSERT_NE(f, nullptr);
      std::string all;
      char buf[64];
      int offset;
      while (mbfgets(buf, n, f, file) != nullptr) {
        ASSERT_LE(strlen(buf), static_cast<size_t>(n - 1));
        EXPECT_EQ(mbvalidatestring(buf, &offset, native), 1) << n << " " << buf;
        all += buf;
      }
      fclose(f);
      EXPECT_EQ(all, expected) << locale << " buffer " << n;
    }
  }
}

}  // namespace
