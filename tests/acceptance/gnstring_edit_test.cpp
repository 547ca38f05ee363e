// The exact promises of CGNString's searching and editing, through the public
// API: indexes, counts, return values and the bytes that result, in the C
// locale and in the legacy double-byte locales where characters and bytes
// differ.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"
#include "support/test_locale.h"

namespace {

class Probe : public CGNString {
 public:
  using CGNString::CGNString;
  using CGNString::operator=;
  unsigned Capacity() const { return m_nDataCapacity; }
  bool HasWide() const { return m_pwzBuffer != nullptr; }
};

std::string Bytes(const CGNString& s) { return std::string(s, s.GetLength()); }

// --- Classification ---

TEST(Classification, MinusOneAndEmptyStringRules) {
  CGNString empty;
  EXPECT_TRUE(empty.IsAlphaAt(-1));
  EXPECT_TRUE(empty.IsAlphaNumAt(-1));
  EXPECT_TRUE(empty.IsLowerAt(-1));
  EXPECT_TRUE(empty.IsUpperAt(-1));
  EXPECT_TRUE(empty.IsPrintAt(-1));
  EXPECT_TRUE(empty.IsSpaceAt(-1));
  EXPECT_TRUE(empty.IsXDigitAt(-1));
  EXPECT_FALSE(empty.IsDigitAt(-1));
  EXPECT_FALSE(empty.IsPunctAt(-1));
  EXPECT_FALSE(empty.IsAlphaAt(0));
  EXPECT_FALSE(empty.IsAlpha());

  CGNString digits("123");
  EXPECT_TRUE(digits.IsDigitAt(-1));
  EXPECT_TRUE(digits.IsDigitAt(2));
  EXPECT_FALSE(digits.IsDigitAt(5));
  EXPECT_FALSE(digits.IsDigitAt(3));
  EXPECT_FALSE(digits.IsDigitAt(-2));
  EXPECT_TRUE(digits.IsXDigitAt(-1));
}

TEST(Classification, EachTestOnOneCharacterOrAll) {
  CGNString s("aB1 .f");
  EXPECT_TRUE(s.IsAlphaAt(0));
  EXPECT_FALSE(s.IsAlphaAt(2));
  EXPECT_TRUE(s.IsLowerAt(0));
  EXPECT_FALSE(s.IsLowerAt(1));
  EXPECT_TRUE(s.IsUpperAt(1));
  EXPECT_TRUE(s.IsAlphaNumAt(2));
  EXPECT_TRUE(s.IsSpaceAt(3));
  EXPECT_TRUE(s.IsPunctAt(4));
  EXPECT_TRUE(s.IsXDigitAt(5));
  EXPECT_TRUE(s.IsPrintAt(-1));
  EXPECT_FALSE(s.IsAlphaAt(-1));
  // A control character (not a tab: the Windows runtime counts tab as a
  // printable blank).
  EXPECT_FALSE(CGNString("a\x01z").IsPrintAt(-1));
  EXPECT_TRUE(CGNString(" \t\n").IsSpaceAt(-1));
  EXPECT_TRUE(CGNString("!?").IsPunctAt(-1));
}

TEST(Classification, IsAlphaMeansLettersAndDigits) {
  Probe s("abc1");
  EXPECT_TRUE(s.IsAlpha());
  EXPECT_TRUE(s.HasWide());
  EXPECT_FALSE(CGNString("ab c").IsAlpha());
  EXPECT_FALSE(CGNString("ab_").IsAlpha());
}

TEST(Classification, IsNumAtBoundInBytes) {
  CGNString s("a1b2");
  EXPECT_FALSE(s.IsNumAt(0));
  EXPECT_TRUE(s.IsNumAt(1));
  EXPECT_TRUE(s.IsNumAt(3));
  EXPECT_FALSE(s.IsNumAt(4));
  CGNString empty;
  EXPECT_FALSE(empty.IsNumAt(0));
}

// --- Case and comparison ---

TEST(Case, WholeStringOneCharacterOrNone) {
  Probe s("abc def", 40);
  s.ToUpper();
  EXPECT_STREQ(s, "ABC DEF");
  EXPECT_EQ(s.Capacity(), 7u);  // rebuilt: capacity = length
  s.ToLower(4);
  EXPECT_STREQ(s, "ABC dEF");
  Probe t("xyz", 10);
  t.ToUpper(3);  // no character changes, but the text is rebuilt
  EXPECT_STREQ(t, "xyz");
  EXPECT_EQ(t.Capacity(), 3u);
  t.ToUpper(-5);
  EXPECT_STREQ(t, "xyz");
  Probe empty("", 10);
  empty.ToUpper();  // an empty string is left alone
  EXPECT_EQ(empty.Capacity(), 10u);
}

TEST(Case, IsEqualNoCaseAndCollate) {
  EXPECT_TRUE(CGNString("Hello").IsEqualNoCase("hELLO"));
  EXPECT_FALSE(CGNString("Hello").IsEqualNoCase("Hello!"));
  EXPECT_FALSE(CGNString("Hello").IsEqualNoCase("Hellp"));
  EXPECT_TRUE(CGNString().IsEqualNoCase(CGNString()));

  EXPECT_LT(CGNString("abc").Collate("abd"), 0);
  EXPECT_GT(CGNString("b").Collate("a"), 0);
  EXPECT_EQ(CGNString("same").Collate("same"), 0);
  EXPECT_LT(CGNString("").Collate("a"), 0);
}

// --- Parts of a string ---

TEST(SubStrings, SubStrCountsAreUnsigned) {
  CGNString s("abcdef");
  CGNString d("old");
  s.SubStr(d, 2, -1);
  EXPECT_STREQ(d, "cdef");
  s.SubStr(d, 2, 3);
  EXPECT_STREQ(d, "cde");
  s.SubStr(d, 6, 1);
  EXPECT_STREQ(d, "");
  EXPECT_EQ(d.GetLength(), 0u);
  s.SubStr(d, 2, -7);  // every negative count means "to the end"
  EXPECT_STREQ(d, "cdef");
  s.SubStr(d, 0, 0);
  EXPECT_STREQ(d, "");
  s.SubStr(d, 4, 100);
  EXPECT_STREQ(d, "ef");
  s.MidString(d, 1, 2);
  EXPECT_STREQ(d, "bc");
  s.MidString(d, -1, 2);  // a negative start is past any end
  EXPECT_STREQ(d, "");
  EXPECT_STREQ(s, "abcdef");

  CGNString in("abcdef");
  in.SubStr(1, 3);
  EXPECT_STREQ(in, "bcd");
  in.SubStr(0);
  EXPECT_STREQ(in, "bcd");
}

TEST(SubStrings, LeftAndRight) {
  CGNString s("abc");
  CGNString d;
  s.RightString(d, 10);
  EXPECT_STREQ(d, "abc");
  s.RightString(d, 2);
  EXPECT_STREQ(d, "bc");
  s.RightString(d, 0);
  EXPECT_STREQ(d, "");
  s.LeftString(d, 2);
  EXPECT_STREQ(d, "ab");
  s.LeftString(d, 10);
  EXPECT_STREQ(d, "abc");
  s.LeftString(s, 1);  // into itself
  EXPECT_STREQ(s, "a");
}

TEST(SubStrings, InBytes) {
  CGNString s("abcdef");
  s.SubStrInBytes(1, 2);
  EXPECT_STREQ(s, "bc");
  EXPECT_EQ(s.GetLength(), 2u);

  CGNString t("abcdef");
  t.SubStrInBytes(3);
  EXPECT_STREQ(t, "def");
  t.SubStrInBytes(1, 50);
  EXPECT_STREQ(t, "ef");
  t.SubStrInBytes(9, 1);
  EXPECT_STREQ(t, "");
  EXPECT_EQ(t.GetLength(), 0u);

  Probe w("abc");
  w.IsAlpha();  // make the wide copy
  w.SubStrInBytes(0, 2);
  EXPECT_FALSE(w.HasWide());
  EXPECT_EQ(w.GetNumChars(), 2u);

  Probe d;
  CGNString("abc").LeftStringInBytes(d, 10);
  EXPECT_STREQ(d, "abc");
  EXPECT_EQ(d.GetLength(), 3u);
  EXPECT_GE(d.Capacity(), 11u);  // room for n + 1 bytes
  CGNString("abcdef").LeftStringInBytes(d, 4);
  EXPECT_STREQ(d, "abcd");
  EXPECT_EQ(d.GetLength(), 4u);
  CGNString("abcdef").LeftStringInBytes(d, 0);
  EXPECT_STREQ(d, "");
  EXPECT_EQ(d.GetLength(), 0u);
}

// --- Trimming ---

TEST(Trim, OnlyBlanks) {
  CGNString s("  a b  ");
  CGNString d;
  s.LeftTrim(d);
  EXPECT_STREQ(d, "a b  ");
  s.RightTrim(d);
  EXPECT_STREQ(d, "  a b");
  s.LeftRightTrim(d);
  EXPECT_STREQ(d, "a b");
  EXPECT_STREQ(s, "  a b  ");

  CGNString tabs("\t a \t");
  tabs.LeftRightTrim(d);
  EXPECT_STREQ(d, "\t a \t");  // a tab is never trimmed

  CGNString blanks("    ");
  blanks.LeftTrim(d);
  EXPECT_STREQ(d, "");
  blanks.RightTrim(d);
  EXPECT_STREQ(d, "");
  blanks.LeftRightTrim(d);
  EXPECT_EQ(d.GetLength(), 0u);

  CGNString self(" x ");
  self.LeftRightTrim(self);
  EXPECT_STREQ(self, "x");
}

// --- Truncation ---

TEST(Truncation, CountsAndCharacters) {
  CGNString s("abcdef");
  s.Truncate(10);
  EXPECT_STREQ(s, "abcdef");
  s.Truncate(4);
  EXPECT_STREQ(s, "abcd");
  s.Truncate(0);
  EXPECT_STREQ(s, "");

  CGNString t("key=value=x");
  t.TruncateAt('=');
  EXPECT_STREQ(t, "key");
  t.TruncateAt("z");
  EXPECT_STREQ(t, "key");
  t.TruncateAt("ey");  // only the first character counts
  EXPECT_STREQ(t, "k");
  CGNString u("abc");
  u.TruncateAt('a');
  EXPECT_STREQ(u, "");
}

// --- Searching ---

TEST(Searching, FindStartRules) {
  CGNString s("abcabc");
  EXPECT_EQ(s.Find("bc"), 1);
  EXPECT_EQ(s.Find("bc", 2), 4);
  EXPECT_EQ(s.Find("bc", 5), -1);
  EXPECT_EQ(s.Find("", 0), 0);
  EXPECT_EQ(s.Find("", 3), 3);
  EXPECT_EQ(s.Find("", 6), -1);  // start equal to the count
  EXPECT_EQ(s.Find("a", -1), -1);
  EXPECT_EQ(s.Find("abcabcd"), -1);
  EXPECT_EQ(s.Find(static_cast<const char*>(nullptr)), 0);
  EXPECT_EQ(s.Find(CGNString("cab")), 2);
  EXPECT_EQ(CGNString().Find("", 0), -1);

  EXPECT_EQ(s.StrChr(0, 'c'), 2);
  EXPECT_EQ(s.StrChr(3, 'c'), 5);
  EXPECT_EQ(s.StrChr(6, 'c'), -1);
  EXPECT_EQ(s.StrChr(0, 'z'), -1);

  EXPECT_EQ(s.ReverseFind("b"), 4);
  EXPECT_EQ(s.ReverseFind("a"), 3);
  EXPECT_EQ(s.ReverseFind("z"), -1);
  EXPECT_EQ(s.ReverseFind("ca"), 5);  // the first character of the argument
}

TEST(Searching, FindFirstOfCountsFromStart) {
  CGNString s("ab  cd");
  CGNString blank(" ");
  EXPECT_EQ(s.FindFirstNotOf(blank, 2), 2);  // two blanks skipped, not index 4
  EXPECT_EQ(s.FindFirstNotOf(blank, 0), 0);
  EXPECT_EQ(s.FindFirstOf(blank, 0), 2);
  EXPECT_EQ(s.FindFirstOf(blank, 4), 2);  // none left: the characters from start
  EXPECT_EQ(s.FindFirstOf(CGNString("dc"), 1), 3);
  EXPECT_EQ(s.FindFirstOf(blank, 6), 6);  // start out of range: the count
  EXPECT_EQ(s.FindFirstOf(blank, -1), 6);
  EXPECT_EQ(s.FindFirstNotOf(blank, 9), 6);
  EXPECT_EQ(s.FindFirstOf(CGNString(), 0), 6);
  EXPECT_EQ(s.FindFirstNotOf(CGNString(), 1), 0);
}

// --- Changing ---

TEST(Changing, InsertAt) {
  CGNString s("abc");
  EXPECT_EQ(s.InsertAt(0, CGNString("")), 0);
  EXPECT_STREQ(s, "abc");
  EXPECT_EQ(s.InsertAt(4, CGNString("x")), 0);
  EXPECT_EQ(s.InsertAt(-1, CGNString("x")), 0);
  EXPECT_STREQ(s, "abc");
  EXPECT_EQ(s.InsertAt(3, CGNString("de")), 2);
  EXPECT_STREQ(s, "abcde");
  EXPECT_EQ(s.InsertAt(1, CGNString("XY")), 2);
  EXPECT_STREQ(s, "aXYbcde");
  EXPECT_EQ(s.InsertAt(0, s), 7);  // inserting itself
  EXPECT_STREQ(s, "aXYbcdeaXYbcde");

  CGNString big(std::string(300, 'z').c_str());
  CGNString t("ab");
  EXPECT_EQ(t.InsertAt(1, big), 300 % 256);  // the count wraps as unsigned char
  EXPECT_EQ(t.GetLength(), 302u);
}

TEST(Changing, RemoveAt) {
  CGNString s("abcdef");
  EXPECT_TRUE(s.RemoveAt(1, 100));
  EXPECT_STREQ(s, "a");
  CGNString t("abcdef");
  EXPECT_FALSE(t.RemoveAt(6, 1));
  EXPECT_FALSE(t.RemoveAt(-1, 1));
  EXPECT_TRUE(t.RemoveAt(2, 2));
  EXPECT_STREQ(t, "abef");
  EXPECT_TRUE(t.RemoveAt(0, 0));
  EXPECT_STREQ(t, "abef");
  EXPECT_FALSE(t.RemoveAt(0, -1));
  EXPECT_STREQ(t, "abef");
}

TEST(Changing, ReplaceNeverSearchesTheReplacement) {
  CGNString s("aaaa");
  s.Replace("aa", "a");
  EXPECT_STREQ(s, "aa");
  CGNString t("xaxbx");
  t.Replace("x", nullptr);
  EXPECT_STREQ(t, "ab");
  CGNString u("a.b.c");
  u.Replace(".", "..");
  EXPECT_STREQ(u, "a..b..c");
  CGNString v("abab");
  v.Replace("ab", "abab");
  EXPECT_STREQ(v, "abababab");
  CGNString w("keep");
  w.Replace("", "x");
  EXPECT_STREQ(w, "keep");
  w.Replace(nullptr, "x");
  EXPECT_STREQ(w, "keep");
  w.Replace("keep", "");
  EXPECT_STREQ(w, "");
  CGNString overlap("aaa");
  overlap.Replace("aa", "b");
  EXPECT_STREQ(overlap, "ba");

  CGNString c("a-b-c");
  c.Replace('-', '+');
  EXPECT_STREQ(c, "a+b+c");
}

// --- Copying ---

TEST(Copying, UntilStopText) {
  Probe s;
  s.CopyUntil("key=value", "=");
  EXPECT_STREQ(s, "key");
  EXPECT_EQ(s.Capacity(), 3u);
  EXPECT_FALSE(s.HasWide());
  s.CopyUntil("no stop", "#");
  EXPECT_STREQ(s, "no stop");
  s.CopyUntil("a::b", "::");
  EXPECT_STREQ(s, "a");
  s.CopyUntil("line\nnext", '\n');
  EXPECT_STREQ(s, "line");
  s.CopyUntil(nullptr, "x");
  EXPECT_STREQ(s, "");
  s.CopyUntil("whole", "");
  EXPECT_STREQ(s, "whole");

  CGNString a("x=");
  a.AppendUntil("1;2", ";");
  EXPECT_STREQ(a, "x=1");
  a.AppendUntil("abc", 'c');
  EXPECT_STREQ(a, "x=1ab");
}

TEST(Copying, NBytesPadsWithNul) {
  Probe s;
  s.CopyNBytes("ab", 4);
  EXPECT_EQ(s.GetLength(), 4u);
  EXPECT_EQ(s.Capacity(), 4u);
  EXPECT_EQ(Bytes(s), std::string("ab\0\0", 4));
  s.CopyNBytes("abcdef", 3);
  EXPECT_STREQ(s, "abc");
  s.CopyNBytes(s, 2);  // its own text
  EXPECT_STREQ(s, "ab");
  EXPECT_EQ(s.GetLength(), 2u);
  s.CopyNBytes(nullptr, 3);
  EXPECT_EQ(s.GetLength(), 0u);
  EXPECT_EQ(s.Capacity(), 0u);
}

TEST(Copying, NChars) {
  CGNString s;
  s.CopyNChars("abcdef", 3);
  EXPECT_STREQ(s, "abc");
  s.CopyNChars("ab", 10);
  EXPECT_STREQ(s, "ab");
  const unsigned short wide[] = {'w', 'x', 'y', 'z', 0};
  s.CopyNChars(wide, 2);
  EXPECT_STREQ(s, "wx");
  s.AppendNChars("12345", 2);
  EXPECT_STREQ(s, "wx12");
  s.CopyNChars(static_cast<const char*>(nullptr), 2);
  EXPECT_STREQ(s, "");
}

// --- The legacy locales: characters of two (or more) bytes ---

struct LegacyCase {
  const char* locale;
  int codeset;            // the code set whose byte rules the locale follows
  const char* first;      // a multibyte character
  const char* second;     // another one (in Shift-JIS and Big5 its trail byte
                          // is an ASCII character)
  const char* fullLower;  // full-width a
  const char* fullUpper;  // full-width A
};

void PrintTo(const LegacyCase& c, std::ostream* os) { *os << c.locale; }

class LegacyText : public ::testing::TestWithParam<LegacyCase> {
 protected:
  void SetUp() override {
    GNUTIL_USE_LOCALE(GetParam().locale);
    // Byte cuts follow the code set's rules; name it, so that they do not
    // depend on how the platform spells the locale's name.
    InitMbutil();
    InitMbutilExt(GetParam().codeset);
    a_ = GetParam().first;
    b_ = GetParam().second;
  }
  // first, x, second, y
  std::string Sample() const { return a_ + "x" + b_ + "y"; }
  std::string a_, b_;
};

TEST_P(LegacyText, CharacterCountsAndParts) {
  CGNString s(Sample().c_str());
  EXPECT_EQ(s.GetNumChars(), 4u);
  EXPECT_EQ(s.GetLength(), a_.size() + b_.size() + 2);

  CGNString d;
  s.SubStr(d, 1, 2);
  EXPECT_EQ(Bytes(d), "x" + b_);
  s.LeftString(d, 3);
  EXPECT_EQ(Bytes(d), a_ + "x" + b_);
  s.RightString(d, 2);
  EXPECT_EQ(Bytes(d), b_ + "y");
  s.MidString(d, 2, 1);
  EXPECT_EQ(Bytes(d), b_);

  CGNString t(Sample().c_str());
  t.Truncate(2);
  EXPECT_EQ(Bytes(t), a_ + "x");
  CGNString u(Sample().c_str());
  u.TruncateAt(b_.c_str());
  EXPECT_EQ(Bytes(u), a_ + "x");
}

TEST_P(LegacyText, LeftStringInBytesNeverSplitsACharacter) {
  CGNString s(Sample().c_str());
  CGNString d;
  // A byte count that ends inside the first character keeps nothing of it.
  s.LeftStringInBytes(d, static_cast<unsigned>(a_.size() - 1));
  EXPECT_EQ(d.GetLength(), 0u);
  s.LeftStringInBytes(d, static_cast<unsigned>(a_.size()));
  EXPECT_EQ(Bytes(d), a_);
  // x, then a count ending inside the second character.
  s.LeftStringInBytes(d, static_cast<unsigned>(a_.size() + 2));
  EXPECT_EQ(Bytes(d), a_ + "x");
  EXPECT_EQ(d.GetLength(), a_.size() + 1);
}

TEST_P(LegacyText, SearchesCountCharacters) {
  CGNString s(Sample().c_str());
  EXPECT_EQ(s.Find(b_.c_str()), 2);
  EXPECT_EQ(s.Find("y"), 3);
  EXPECT_EQ(s.Find(b_.c_str(), 3), -1);
  EXPECT_EQ(s.StrChr(0, 'y'), 3);
  EXPECT_EQ(s.ReverseFind(a_.c_str()), 0);
  EXPECT_EQ(s.FindFirstOf(CGNString(b_.c_str()), 0), 2);
  EXPECT_EQ(s.FindFirstOf(CGNString("y"), 1), 2);
  EXPECT_EQ(s.FindFirstNotOf(CGNString(a_.c_str()), 0), 1);
}

TEST_P(LegacyText, EditsCountCharacters) {
  CGNString s(Sample().c_str());
  EXPECT_EQ(s.InsertAt(1, CGNString(b_.c_str())), 1);
  EXPECT_EQ(Bytes(s), a_ + b_ + "x" + b_ + "y");
  EXPECT_TRUE(s.RemoveAt(0, 2));
  EXPECT_EQ(Bytes(s), "x" + b_ + "y");
  s.Replace(b_.c_str(), "--");
  EXPECT_EQ(Bytes(s), "x--y");
  s.Replace("--", a_.c_str());
  EXPECT_EQ(Bytes(s), "x" + a_ + "y");
  EXPECT_EQ(s.GetNumChars(), 3u);

  CGNString c;
  c.CopyNChars(Sample().c_str(), 3);
  EXPECT_EQ(Bytes(c), a_ + "x" + b_);
  c.AppendNChars(Sample().c_str(), 1);
  EXPECT_EQ(Bytes(c), a_ + "x" + b_ + a_);
}

TEST_P(LegacyText, CaseOfFullWidthLetters) {
  std::string lower = std::string(GetParam().fullLower) + "a";
  std::string upper = std::string(GetParam().fullUpper) + "A";
  CGNString s(lower.c_str());
  EXPECT_TRUE(s.IsLowerAt(0));
  EXPECT_TRUE(s.IsEqualNoCase(CGNString(upper.c_str())));
  s.ToUpper();
  EXPECT_EQ(Bytes(s), upper);
  EXPECT_TRUE(s.IsUpperAt(-1));
  s.ToLower(1);
  EXPECT_EQ(Bytes(s), std::string(GetParam().fullUpper) + "a");
}

TEST_P(LegacyText, UntilAndSplitSearchWholeCharacters) {
  // The stop text is the last byte of the second character: in the code sets
  // whose trail bytes include ASCII it must not match inside that character.
  std::string trail = b_.substr(b_.size() - 1);
  std::string text = b_ + trail + "z";
  CGNString s;
  s.CopyUntil(text.c_str(), trail.c_str());
  if (static_cast<unsigned char>(trail[0]) < 0x80) {
    EXPECT_EQ(Bytes(s), b_);
  }
  CGNString plain;
  plain.CopyUntil((a_ + "=" + b_).c_str(), '=');
  EXPECT_EQ(Bytes(plain), a_);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LegacyText,
    ::testing::Values(
        LegacyCase{"ja_JP.sjis", CODESET_SJIS, "\x82\xA0", "\x95\x5C", "\x82\x81", "\x82\x60"},
        LegacyCase{"ja_JP.eucjp", CODESET_EUC_J, "\xA4\xA2", "\x8F\xB0\xA1", "\xA3\xE1",
                   "\xA3\xC1"},
        LegacyCase{"zh_TW.big5", CODESET_BIG5, "\xA4\xA4", "\xA4\x40", "\xA2\xE9", "\xA2\xCF"},
        LegacyCase{"ko_KR.euckr", CODESET_EUC_K, "\xB0\xA1", "\xF1\xE9", "\xA3\xE1", "\xA3\xC1"},
        LegacyCase{"zh_CN.gbk", CODESET_GB, "\xD6\xD0", "\xD2\xBB", "\xA3\xE1", "\xA3\xC1"},
        LegacyCase{"zh_TW.euctw", CODESET_EUC_TW, "\xC4\xA1", "\x8E\xA2\xA1\xA1", "\xA4\xDB",
                   "\xA4\xC1"}),
    [](const ::testing::TestParamInfo<LegacyCase>& info) {
      std::string name = info.param.locale;
      for (char& c : name) {
        if (c == '.') c = '_';
      }
      return name;
    });

TEST(LegacyBytes, LeftStringInBytesOfMixedText) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // a single-byte character, then a double-byte one
  CGNString s("a\x82\xA0");
  CGNString d;
  s.LeftStringInBytes(d, 2);
  EXPECT_STREQ(d, "a");
  EXPECT_EQ(d.GetLength(), 1u);
  s.LeftStringInBytes(d, 10);
  EXPECT_EQ(d.GetLength(), 3u);
}

TEST(LegacyBytes, TrimKeepsDoubleByteCharacters) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // 0x81 0x40 is the full-width blank: a character, not a blank.
  CGNString s("  \x81\x40x\x81\x40  ");
  CGNString d;
  s.LeftRightTrim(d);
  EXPECT_EQ(Bytes(d), "\x81\x40x\x81\x40");
}

}  // namespace
