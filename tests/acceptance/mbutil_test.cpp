// The exact promises of the code-set module, through the public API only.
#include "gnutil/mbutil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every test that depends on the current code set sets it itself, after
// InitMbutil, so the order of initialisation cannot change the outcome.
void UseCodeSet(int cs) {
  InitMbutil();
  InitMbutilExt(cs);
}

int Len(const char* bytes, size_t n) { return mb_mblen(bytes, n); }

TEST(CodeSetNames, SearchIsOrderedSubstringAndCaseSensitive) {
  EXPECT_EQ(mbGetCodeSet("ja_JP.EUC_J"), CODESET_EUC_J);
  EXPECT_EQ(mbGetCodeSet("SJIS"), CODESET_SJIS);
  EXPECT_EQ(mbGetCodeSet("JIS"), CODESET_JIS);
  EXPECT_EQ(mbGetCodeSet("ko_KR.EUC_K"), CODESET_EUC_K);
  EXPECT_EQ(mbGetCodeSet("zh_TW.EUC_TW"), CODESET_EUC_TW);
  EXPECT_EQ(mbGetCodeSet("EUC_H"), CODESET_EUC_TW);
  EXPECT_EQ(mbGetCodeSet("EUC_ZH"), CODESET_EUC_C);
  EXPECT_EQ(mbGetCodeSet("8859_10"), CODESET_8859_10);
  EXPECT_EQ(mbGetCodeSet("8859_2"), CODESET_8859_2);
  EXPECT_EQ(mbGetCodeSet("x.1258"), CODESET_1258);
  EXPECT_EQ(mbGetCodeSet("BIG5"), CODESET_BIG5);
  EXPECT_EQ(mbGetCodeSet("GB2312"), CODESET_GB);
  EXPECT_EQ(mbGetCodeSet("KSC_5601_92"), CODESET_KSC_5601_92);
  EXPECT_EQ(mbGetCodeSet("1252"), CODESET_NONE);
  EXPECT_EQ(mbGetCodeSet("sjis"), CODESET_NONE);
  EXPECT_EQ(mbGetCodeSet(""), CODESET_NONE);
  EXPECT_EQ(mbGetCodeSet(nullptr), CODESET_NONE);
}

TEST(CodeSetState, InitMbutilExtReturnsPreviousAndAcceptsAnything) {
  InitMbutil();
  InitMbutilExt(CODESET_EUC_J);
  EXPECT_EQ(InitMbutilExt(CODESET_SJIS), CODESET_EUC_J);
  EXPECT_EQ(InitMbutilExt(12345), CODESET_SJIS);
  EXPECT_EQ(mbmaxcharlen(), 1);
  EXPECT_EQ(InitMbutilExt(CODESET_NONE), 12345);
}

TEST(CodeSetState, EucOrSjisClearsTheMultibyteFlag) {
  UseCodeSet(CODESET_EUC_OR_SJIS);
  // With the flag clear mbidx gives the index back unclamped.
  EXPECT_EQ(mbidx("abc", 100), 100);
  UseCodeSet(CODESET_SJIS);
  EXPECT_EQ(mbidx("abc", 100), 3);
}

TEST(CodeSetState, MaxCharLenPerCodeSet) {
  const struct {
    int cs, len;
  } kCases[] = {{CODESET_NONE, 1},        {CODESET_JIS, 1},         {CODESET_EUC_J, 3},
                {CODESET_SJIS, 2},        {CODESET_EUC_OR_SJIS, 1}, {CODESET_GB, 2},
                {CODESET_EUC_C, 2},       {CODESET_BIG5, 2},        {CODESET_EUC_TW, 4},
                {CODESET_KSC_5601_87, 2}, {CODESET_KSC_5601_92, 2}, {CODESET_EUC_K, 2},
                {CODESET_8859_5, 1},      {CODESET_1251, 1},        {CODESET_UTF8, 4}};
  for (const auto& c : kCases) {
    EXPECT_EQ(mbmaxcharlenExt(c.cs), c.len) << c.cs;
    UseCodeSet(c.cs);
    EXPECT_EQ(mbmaxcharlen(), c.len) << c.cs;
  }
}

TEST(LeadBytes, RangesPerCodeSet) {
  struct Range {
    int cs;
    int lo, hi;
  };
  const Range kLead[] = {{CODESET_EUC_J, 0xA1, 0xFE},       {CODESET_EUC_J, 0x8E, 0x8F},
                         {CODESET_SJIS, 0x81, 0x9F},        {CODESET_SJIS, 0xE0, 0xEF},
                         {CODESET_GB, 0xA1, 0xFE},          {CODESET_EUC_C, 0xA1, 0xFE},
                         {CODESET_BIG5, 0xA1, 0xFE},        {CODESET_EUC_K, 0xA1, 0xFE},
                         {CODESET_EUC_TW, 0xA1, 0xFE},      {CODESET_EUC_TW, 0x8E, 0x8E},
                         {CODESET_KSC_5601_92, 0x84, 0xD3}, {CODESET_KSC_5601_92, 0xD8, 0xDE},
                         {CODESET_KSC_5601_92, 0xE0, 0xF9}};
  const int kAll[] = {CODESET_NONE,        CODESET_JIS,   CODESET_EUC_J,  CODESET_SJIS,
                      CODESET_GB,          CODESET_EUC_C, CODESET_BIG5,   CODESET_EUC_TW,
                      CODESET_KSC_5601_92, CODESET_EUC_K, CODESET_8859_2, CODESET_1250};
  for (int cs : kAll) {
    UseCodeSet(cs);
    for (int b = -128; b < 256; ++b) {
      bool expected = false;
      for (const Range& r : kLead) expected |= r.cs == cs && b >= r.lo && b <= r.hi;
      EXPECT_EQ(isleadbyteExt(b, cs), expected ? 1 : 0) << "cs " << cs << " byte " << b;
      EXPECT_EQ(mb_isleadbyte(b), expected ? 1 : 0) << "cs " << cs << " byte " << b;
    }
  }
}

TEST(LeadBytes, SignedCharIsNeverALeadByte) {
  UseCodeSet(CODESET_BIG5);
  EXPECT_EQ(mb_isleadbyte(0xA1), 1);
  EXPECT_EQ(mb_isleadbyte(-95), 0);
  UseCodeSet(CODESET_KSC_5601_87);
  EXPECT_EQ(mb_isleadbyte(0x84), 1);
  EXPECT_EQ(mb_isleadbyte(0x83), 0);
}

TEST(CharLength, ShiftJis) {
  UseCodeSet(CODESET_SJIS);
  EXPECT_EQ(Len("\x82\xA0", 2), 2);
  EXPECT_EQ(Len("\xB1", 1), 1);
  EXPECT_EQ(Len("\x80", 1), -1);
  EXPECT_EQ(Len("\xA0", 1), -1);
  EXPECT_EQ(Len("\xF0\x40", 2), -1);
  EXPECT_EQ(Len("\x82", 1), 2);
  EXPECT_EQ(Len("\x82\x3F", 2), -1);
  EXPECT_EQ(Len("\xEF\xFC", 2), 2);
  EXPECT_EQ(Len("\xEF\xFD", 2), -1);
  EXPECT_EQ(Len("A", 1), 1);
}

TEST(CharLength, CommonZeroCases) {
  UseCodeSet(CODESET_SJIS);
  EXPECT_EQ(Len(nullptr, 4), 0);
  EXPECT_EQ(Len("", 4), 0);
  EXPECT_EQ(Len("A", 0), 0);
  // Code sets without rules say 1 for everything, even null and NUL.
  EXPECT_EQ(mblenExt(nullptr, 0, CODESET_8859_2), 1);
  EXPECT_EQ(mblenExt("", 1, CODESET_NONE), 1);
  EXPECT_EQ(mblenExt("\xFF", 1, CODESET_JIS), 1);
}

TEST(CharLength, EucJapanese) {
  UseCodeSet(CODESET_EUC_J);
  EXPECT_EQ(Len("\x8F\xA1\xA1", 3), 3);
  EXPECT_EQ(Len("\x8E\xE0", 2), -1);
  EXPECT_EQ(Len("\x8E\xA1", 2), 2);
  EXPECT_EQ(Len("\x8F\xA1", 2), 3);
  EXPECT_EQ(Len("\xA4\xA2", 2), 2);
  EXPECT_EQ(Len("\xA4\x41", 2), -1);
  EXPECT_EQ(Len("\x8F\xA1\x41", 3), -1);
  EXPECT_EQ(Len("\xA1", 1), 2);
}

TEST(CharLength, EucTaiwanFourByteForm) {
  EXPECT_EQ(mblenExt("\x8E\xA2\xA1\xA1", 4, CODESET_EUC_TW), 4);
  EXPECT_EQ(mblenExt("\x8E\xA1\xA1\xA1", 4, CODESET_EUC_TW), -1);
  EXPECT_EQ(mblenExt("\x8E\xB0\xFE\xFE", 4, CODESET_EUC_TW), 4);
  EXPECT_EQ(mblenExt("\x8E\xB1\xA1\xA1", 4, CODESET_EUC_TW), -1);
  EXPECT_EQ(mblenExt("\x8E\xA2\xA1", 3, CODESET_EUC_TW), 4);
  EXPECT_EQ(mblenExt("\x8E\xA2\xA1\x20", 4, CODESET_EUC_TW), -1);
  EXPECT_EQ(mblenExt("\xC4\xA1", 2, CODESET_EUC_TW), 2);
}

TEST(CharLength, Big5AcceptsLowTrailBytes) {
  EXPECT_EQ(mblenExt("\xA4\x40", 2, CODESET_BIG5), 2);
  EXPECT_EQ(mblenExt("\xA4\x7E", 2, CODESET_BIG5), 2);
  EXPECT_EQ(mblenExt("\xA4\x7F", 2, CODESET_BIG5), -1);
  EXPECT_EQ(mblenExt("\xA4\xA1", 2, CODESET_BIG5), 2);
  EXPECT_EQ(mblenExt("\xA4\x40", 2, CODESET_GB), -1);
  EXPECT_EQ(mblenExt("\xB0\xA1", 2, CODESET_GB), 2);
  EXPECT_EQ(mblenExt("\xB0\xA1", 2, CODESET_EUC_K), 2);
  EXPECT_EQ(mblenExt("\xB0\x41", 2, CODESET_EUC_C), -1);
}

TEST(CharLength, KoreanLenientOnlyAsCurrentCodeSet87) {
  EXPECT_EQ(mblenExt("\x81\x41", 2, CODESET_KSC_5601_87), -1);
  EXPECT_EQ(mblenExt("\x81\x41", 2, CODESET_KSC_5601_92), -1);
  UseCodeSet(CODESET_KSC_5601_87);
  EXPECT_EQ(Len("\x81\x41", 2), 2);
  EXPECT_EQ(Len("\x81\x5B", 2), -1);  // between the Latin letter ranges
  EXPECT_EQ(Len("\xFE\xFE", 2), 2);
  UseCodeSet(CODESET_KSC_5601_92);
  EXPECT_EQ(Len("\x84\x7E", 2), 2);
  EXPECT_EQ(Len("\xD4\xA1", 2), -1);
  EXPECT_EQ(Len("\xB0\xA1", 2), 2);
}

TEST(CharLength, BytesInCharNeverBelowOne) {
  UseCodeSet(CODESET_SJIS);
  EXPECT_EQ(mbbytesinchar("\x80"), 1);
  EXPECT_EQ(mbbytesinchar(""), 1);
  EXPECT_EQ(mbbytesinchar("\x82\xA0"), 2);
  EXPECT_EQ(mbbytesinchartype("\x8F\xA1\xA1", CODESET_EUC_J), 3);
  EXPECT_EQ(mbbytesinchartype("\x8F\x01", CODESET_EUC_J), 1);
}

TEST(Stepping, IdxAndNextIdxInShiftJis) {
  UseCodeSet(CODESET_SJIS);
  const char text[] =
      "ab\x82\xA0"
      "c";
  EXPECT_EQ(mbidx(text, 3), 2);
  EXPECT_EQ(mbidx(text, 2), 2);
  EXPECT_EQ(mbidx(text, 10), 5);
  EXPECT_EQ(mbidx(text, 0), 0);
  EXPECT_EQ(mbnextidx(text, 2), 4);
  EXPECT_EQ(mbnextidx(text, 3), 4);
  EXPECT_EQ(mbnextidx(text, 0), 1);
  EXPECT_EQ(mbnextidx(text, 4), 0);
  EXPECT_EQ(mbnextchar(text, 4), nullptr);
  EXPECT_EQ(mbnextchar(text, 1), text + 2);
  EXPECT_EQ(mbnextidx("", 0), 0);
}

TEST(Stepping, FirstCharacterWideAtIndexZero) {
  UseCodeSet(CODESET_EUC_J);
  EXPECT_EQ(mbnextidx("\x8F\xA1\xA1x", 0), 3);
  EXPECT_EQ(mbnextidx("\x8F\xA1\xA1", 0), 0);
  EXPECT_EQ(mbidxtype("\x8F\xA1\xA1x", 2, CODESET_EUC_J), 0);
}

TEST(Stepping, InvalidTextAdvancesByteByByte) {
  UseCodeSet(CODESET_SJIS);
  const char text[] = "\x80\x80\x80";
  EXPECT_EQ(mbnextidx(text, 0), 1);
  EXPECT_EQ(mbnextidx(text, 1), 2);
  EXPECT_EQ(mbnextidx(text, 2), 0);
  // A lead byte cut off by the NUL is one byte.
  EXPECT_EQ(mbidx("a\x82", 5), 2);
}

TEST(Stepping, SingleByteFlagGivesIndexPlusOne) {
  UseCodeSet(CODESET_NONE);
  EXPECT_EQ(mbidx("abc", 100), 100);
  EXPECT_EQ(mbnextidx("abc", 1), 2);
  EXPECT_EQ(mbnextidx("abc", 2), 0);
  EXPECT_EQ(mbnextidx("abc", 3), 0);
  EXPECT_EQ(mbnextidx("abc", 50), 0);
}

TEST(Stepping, AlwaysAdvancesEvenWhereKoreanRulesDisagree) {
  // 0x84 0x5B is one character to the strict rule of the walk, two to the
  // lenient rule of the current code set 11: stepping must still move on.
  UseCodeSet(CODESET_KSC_5601_87);
  const char text[] =
      "\x84\x5B"
      "ab";
  int steps = 0;
  int prev = 0;
  for (int i = mbnextidx(text, 0); i != 0 && steps < 10; i = mbnextidx(text, i), ++steps) {
    EXPECT_GT(i, prev);
    prev = i;
  }
  EXPECT_LT(steps, 10);
  EXPECT_EQ(prev, 3);
}

TEST(Printable, HalfWidthKatakanaOnlyInShiftJis) {
  UseCodeSet(CODESET_SJIS);
  EXPECT_EQ(ismbcprint(0), 1);
  EXPECT_EQ(ismbcprint(127), 1);
  EXPECT_EQ(ismbcprint(0xA1), 1);
  EXPECT_EQ(ismbcprint(0xDF), 1);
  EXPECT_EQ(ismbcprint(0xE0), 0);
  EXPECT_EQ(ismbcprint(0x80), 0);
  UseCodeSet(CODESET_EUC_J);
  EXPECT_EQ(ismbcprint(0xB1), 0);
  EXPECT_EQ(ismbcprint('a'), 1);
  EXPECT_EQ(ismbcprint(-1), 0);
}

}  // namespace
