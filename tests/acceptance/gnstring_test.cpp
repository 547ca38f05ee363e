// The exact promises of CGNString, through the public API. Buffer state is
// read through a derived class, as derived code in programs does.
#include "gnutil/gnstring.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "gnutil/mbutil.h"
#include "support/test_locale.h"

namespace {

class Probe : public CGNString {
 public:
  using CGNString::CGNString;
  Probe(const CGNString& s) : CGNString(s) {}
  using CGNString::operator=;
  unsigned Capacity() const { return m_nDataCapacity; }
  const char* Data() const { return m_pData; }
  bool HasWide() const { return m_pwzBuffer != nullptr; }
  unsigned WideLength() const { return m_nWzLength; }
  unsigned WideCapacity() const { return m_nWzCapacity; }
  const unsigned short* Wide() const { return m_pwzBuffer; }
  void MakeWide() const { DuplicateWzBufferFromData(); }
  int GrowBytes(int n) { return ReallocateToNumBytes(n); }
  int GrowChars(int n) { return ReallocateToNumChars(n); }
};

TEST(StringValue, DefaultAndNullAreTheSharedEmptyText) {
  Probe a;
  Probe b(static_cast<const char*>(nullptr));
  Probe c(static_cast<const unsigned short*>(nullptr));
  for (const Probe* p : {&a, &b, &c}) {
    EXPECT_STREQ(static_cast<const char*>(*p), "");
    EXPECT_EQ(p->GetLength(), 0u);
    EXPECT_EQ(p->Capacity(), 0u);
    EXPECT_FALSE(p->HasWide());
    EXPECT_TRUE(p->IsEmpty());
  }
  // All of them point at one shared byte.
  EXPECT_EQ(a.Data(), b.Data());
  EXPECT_EQ(a.Data(), c.Data());
}

TEST(StringValue, CapacityRules) {
  Probe reserved("", 50);
  EXPECT_EQ(reserved.Capacity(), 50u);
  Probe copy(reserved);
  EXPECT_EQ(copy.Capacity(), 0u);  // an empty source gives the initial state
  Probe assigned;
  assigned = reserved;
  EXPECT_EQ(assigned.Capacity(), 50u);  // assignment keeps the source's capacity

  Probe abc("abc", 10);
  EXPECT_EQ(abc.GetLength(), 3u);
  EXPECT_EQ(abc.Capacity(), 10u);
  const char* before = abc.Data();
  abc += "defg";
  EXPECT_EQ(abc.Data(), before);  // no reallocation within capacity
  EXPECT_STREQ(abc, "abcdefg");
  abc += "hijk";
  EXPECT_EQ(abc.Capacity(), 11u);  // exact growth, no spare room

  Probe negative("abc", -5);
  EXPECT_EQ(negative.Capacity(), 3u);

  Probe big("xyz", 20);
  Probe bigCopy(big);
  EXPECT_EQ(bigCopy.Capacity(), 20u);
  Probe fromText;
  fromText = "xyz";
  EXPECT_EQ(fromText.Capacity(), 3u);
}

TEST(StringValue, AllocateBufferAndReallocate) {
  Probe s("hello");
  s.AllocateBuffer(2);
  EXPECT_EQ(s.Capacity(), 5u);
  EXPECT_STREQ(s, "hello");
  s.AllocateBuffer(64);
  EXPECT_EQ(s.Capacity(), 64u);
  EXPECT_STREQ(s, "hello");
  EXPECT_EQ(s.GrowBytes(10), 64);
  EXPECT_EQ(s.GrowBytes(100), 100);
  EXPECT_EQ(s.GetLength(), 5u);

  Probe w("abc");
  w.MakeWide();
  EXPECT_EQ(w.GrowChars(1), 3);  // never below the wide length
  EXPECT_EQ(w.GrowChars(40), 40);
  EXPECT_EQ(w.WideCapacity(), 40u);
  EXPECT_EQ(w.WideLength(), 3u);
  EXPECT_EQ(w.Wide()[0], 'a');
}

TEST(StringValue, AppendingAndTheWideCopy) {
  Probe s("abc");
  s.MakeWide();
  s += CGNString();
  EXPECT_TRUE(s.HasWide());  // empty CGNString: nothing happens
  s += "";
  EXPECT_FALSE(s.HasWide());  // empty narrow text still discards it
  s += static_cast<const char*>(nullptr);
  EXPECT_STREQ(s, "abc");

  unsigned before = s.GetLength();
  s += '\0';
  EXPECT_EQ(s.GetLength(), before + 1);
  EXPECT_STREQ(s, "abc");

  Probe t("xy");
  t += t;  // appending to itself
  EXPECT_STREQ(t, "xyxy");
  t += static_cast<const char*>(t) + 1;
  EXPECT_STREQ(t, "xyxyyxy");
  t = static_cast<const char*>(t) + 2;  // assigning its own tail
  EXPECT_STREQ(t, "xyyxy");

  const unsigned short wide[] = {'d', 'e', 0};
  Probe u("abc");
  u += wide;
  EXPECT_STREQ(u, "abcde");
}

TEST(StringValue, Comparisons) {
  CGNString empty;
  EXPECT_TRUE(empty == static_cast<const char*>(nullptr));
  EXPECT_FALSE(CGNString("a") == static_cast<const char*>(nullptr));
  EXPECT_TRUE(CGNString("a") != static_cast<const char*>(nullptr));
  EXPECT_TRUE(CGNString("abc", 40) == CGNString("abc"));
  EXPECT_TRUE(CGNString("abc") == "abc");
  EXPECT_TRUE(CGNString("abc") != CGNString("abd"));
  CGNString withNul("ab");
  withNul += '\0';
  EXPECT_FALSE(withNul == CGNString("ab"));  // lengths differ
}

TEST(StringValue, NumberReadsLikeAtol) {
  EXPECT_EQ(CGNString("  42abc").Number(), 42);
  EXPECT_EQ(CGNString("").Number(), 0);
  EXPECT_EQ(CGNString("-17").Number(), -17);
  EXPECT_EQ(CGNString("+5x").Number(), 5);
  EXPECT_EQ(CGNString("x5").Number(), 0);
}

TEST(StringValue, GetStringNeverOverrunsNorSplits) {
  char buf[16];
  memset(buf, 'Z', sizeof buf);
  EXPECT_EQ(CGNString("abcdef").GetString(buf, 4), 3u);
  EXPECT_STREQ(buf, "abc");
  buf[0] = 'Q';
  EXPECT_EQ(CGNString("abcdef").GetString(buf, 0), 0u);
  EXPECT_EQ(buf[0], 'Q');
  EXPECT_EQ(CGNString().GetString(buf, 8), 0u);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(CGNString("ab").GetString(buf, 16), 2u);
  EXPECT_STREQ(buf, "ab");

  InitMbutil();
  InitMbutilExt(CODESET_SJIS);
  // Bytes 1 and 2 form one character: a size-3 buffer takes only "a".
  EXPECT_EQ(CGNString("a\x82\xA0z").GetString(buf, 3), 1u);
  EXPECT_STREQ(buf, "a");
  EXPECT_EQ(CGNString("a\x82\xA0z").GetString(buf, 4), 3u);
}

TEST(StringValue, EmptyReturnsToTheInitialState) {
  Probe s("text", 30);
  s.MakeWide();
  s.Empty();
  EXPECT_EQ(s.GetLength(), 0u);
  EXPECT_EQ(s.Capacity(), 0u);
  EXPECT_FALSE(s.HasWide());
  EXPECT_EQ(s.Data(), Probe().Data());
}

TEST(StringValue, CopiesAreDeep) {
  Probe a("shared?");
  a.MakeWide();
  Probe b(a);
  EXPECT_NE(a.Data(), b.Data());
  EXPECT_TRUE(b.HasWide());
  EXPECT_NE(a.Wide(), b.Wide());
  EXPECT_EQ(b.WideLength(), 7u);
  Probe c;
  c.Set(a);
  EXPECT_STREQ(c, "shared?");
  EXPECT_NE(c.Data(), a.Data());
  c = c;  // self-assignment changes nothing
  EXPECT_STREQ(c, "shared?");
}

// Character operations in the real double-byte locale.
class ShiftJisString : public ::testing::Test {
 protected:
  void SetUp() override {
    GNUTIL_USE_LOCALE("ja_JP.sjis");
    InitMbutil();
  }
};

TEST_F(ShiftJisString, BytesAndCharacters) {
  ASSERT_EQ(InitMbutilExt(CODESET_SJIS), CODESET_SJIS);
  CGNString s("\x82\xA0\x82\xA2");  // two hiragana
  EXPECT_EQ(s.GetLength(), 4u);
  EXPECT_EQ(s.GetNumChars(), 2u);
  EXPECT_EQ(s.GetLengthInChars(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(s.GetAt(1)), 0x82);
  char buf[8];
  EXPECT_STREQ(s.GetCodePageCharAt(1, buf), "\x82\xA2");
  EXPECT_STREQ(s.GetCodePageCharAt(2, buf), "");
  EXPECT_STREQ(s.GetCodePageCharAt(-1, buf), "");
  EXPECT_EQ(s.GetAt(2), 0);
}

TEST_F(ShiftJisString, SetCharacterRebuildsNarrowText) {
  Probe s("a\x82\xA0z", 20);
  EXPECT_TRUE(s.SetCodePageCharAt(1, "\x82\xA2"));
  EXPECT_STREQ(s, "a\x82\xA2z");
  s.SetAt(0, 'b');
  EXPECT_STREQ(s, "b\x82\xA2z");
  s.SetAt(1, 'c');  // a double-byte character replaced by one byte
  EXPECT_STREQ(s, "bcz");
  EXPECT_EQ(s.GetLength(), 3u);

  Probe t("ab", 20);
  EXPECT_FALSE(t.SetCodePageCharAt(2, "x"));  // index == character count
  EXPECT_STREQ(t, "ab");
  EXPECT_EQ(t.Capacity(), 2u);  // but the narrow text was rebuilt
}

TEST_F(ShiftJisString, HalfWidthKatakanaIsOneCharacter) {
  CGNString s("\xB1\xB2\xB3");
  EXPECT_EQ(s.GetNumChars(), 3u);
  EXPECT_EQ(static_cast<unsigned char>(s.GetAt(2)), 0xB3);
}

TEST_F(ShiftJisString, InvalidTextCountsBytesAndSurvivesEditing) {
  CGNString s("x\x82");  // lead byte without its trail byte
  EXPECT_EQ(s.GetNumChars(), 2u);
  s.SetAt(0, 'y');
  EXPECT_EQ(s.GetLength(), 2u);
  EXPECT_EQ(memcmp(static_cast<const char*>(s), "y\x82", 3), 0);
}

TEST_F(ShiftJisString, WideConstructionRoundTrips) {
  const unsigned short hiragana[] = {0x3042, 0x3044, 'A', 0};
  CGNString s(hiragana);
  EXPECT_STREQ(s,
               "\x82\xA0\x82\xA2"
               "A");
  EXPECT_EQ(s.GetNumChars(), 3u);
  // A character the locale cannot hold is left out.
  const unsigned short hangul[] = {'a', 0xAC00, 'b', 0};
  EXPECT_STREQ(CGNString(hangul), "ab");
}

struct LocaleCase {
  const char* locale;
  const char* text;
  unsigned bytes;
  unsigned chars;
};

void PrintTo(const LocaleCase& c, std::ostream* os) { *os << c.locale; }

class LegacyLocaleString : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LegacyLocaleString, CountsAndCharacters) {
  const LocaleCase& c = GetParam();
  GNUTIL_USE_LOCALE(c.locale);
  InitMbutil();
  CGNString s(c.text);
  EXPECT_EQ(s.GetLength(), c.bytes);
  EXPECT_EQ(s.GetNumChars(), c.chars);
  // Every character read back and written again leaves the text as it was.
  CGNString rebuilt;
  char buf[16];
  for (unsigned i = 0; i < c.chars; ++i) rebuilt += s.GetCodePageCharAt(static_cast<int>(i), buf);
  EXPECT_STREQ(rebuilt, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LegacyLocaleString,
    ::testing::Values(LocaleCase{"ja_JP.eucjp", "a\xA4\xA2\x8E\xB1\x8F\xB0\xA1", 8, 4},
                      LocaleCase{"zh_TW.big5", "\xA4\x40\xA4\xA4x", 5, 3},
                      LocaleCase{"zh_TW.euctw", "\xC4\xA1\x8E\xA2\xA1\xA1z", 7, 3},
                      LocaleCase{"ko_KR.euckr", "\xB0\xA1\xB3\xAA!", 5, 3},
                      LocaleCase{"zh_CN.gbk", "\xD6\xD0\xCE\xC4", 4, 2},
                      LocaleCase{"ja_JP.utf8", "\xE3\x81\x82\xF0\x9F\x98\x80", 7, 3}),
    [](const ::testing::TestParamInfo<LocaleCase>& info) {
      std::string name = info.param.locale;
      for (char& ch : name) {
        if (ch == '.' || ch == '_') ch = '_';
      }
      return name;
    });

}  // namespace
