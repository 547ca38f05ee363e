// The exact bytes of the code conversions, through the public API only.
#include "gnutil/jaconv.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "gnutil/mbutil.h"

namespace {

const char ESC = '\x1b';

std::string Ext(const std::string& in, int from, int to) {
  std::string out(in.size() * 5 + 16, '\x7f');
  convertStrExt(in.c_str(), from, &out[0], to);
  return std::string(out.c_str());
}

template <typename... T>
std::string Bytes(T... c) {
  return std::string{static_cast<char>(c)...};
}

std::string Str(const char* p) { return p == nullptr ? std::string("<null>") : std::string(p); }

void UseCodeSet(int cs) {
  InitMbutil();
  InitMbutilExt(cs);
}

// Big5 pair of a linear index.
std::string Big5(int index) {
  int column = index % 157;
  return {static_cast<char>(0xA1 + index / 157),
          static_cast<char>(column < 63 ? 0x40 + column : 0xA1 + column - 63)};
}

TEST(JapaneseConversion, ShiftJisAndEucPairs) {
  EXPECT_EQ(Ext("\x82\xA0", CODESET_SJIS, CODESET_EUC_J), "\xA4\xA2");
  EXPECT_EQ(Ext("\xA4\xA2", CODESET_EUC_J, CODESET_SJIS), "\x82\xA0");
  EXPECT_EQ(Ext("\x88\x9F", CODESET_SJIS, CODESET_EUC_J), "\xB0\xA1");
  EXPECT_EQ(Ext("\xEA\xA4", CODESET_SJIS, CODESET_EUC_J), "\xF4\xA6");  // last JIS X 0208 kanji
  EXPECT_EQ(Ext("a\x82\xA0z", CODESET_SJIS, CODESET_EUC_J), "a\xA4\xA2z");
  EXPECT_EQ(Str(convertStr("\x88\x9F", CODESET_SJIS, CODESET_EUC_J)), "\xB0\xA1");
  EXPECT_EQ(Str(convertStr("\xB0\xA1", CODESET_EUC_J, CODESET_SJIS)), "\x88\x9F");
}

TEST(JapaneseConversion, HalfWidthKatakana) {
  EXPECT_EQ(Ext("\xB1", CODESET_SJIS, CODESET_EUC_J), "\x8E\xB1");
  EXPECT_EQ(Ext("\x8E\xB1", CODESET_EUC_J, CODESET_SJIS), "\xB1");
  EXPECT_EQ(Ext("\xB1", CODESET_SJIS, CODESET_JIS),
            Bytes(ESC, '$', 'B', 0x25, 0x22, ESC, '(', 'J'));
  EXPECT_EQ(Ext("\x8E\xB1", CODESET_EUC_J, CODESET_JIS),
            Bytes(ESC, '$', 'B', 0x25, 0x22, ESC, '(', 'J'));
  // A voiced mark stays a character of its own: KA + dakuten, not GA.
  EXPECT_EQ(Ext("\xB6\xDE", CODESET_SJIS, CODESET_JIS),
            Bytes(ESC, '$', 'B', 0x25, 0x2B, 0x21, 0x2B, ESC, '(', 'J'));
  // 0x8E before a byte that is no katakana is copied with it.
  EXPECT_EQ(Ext("\x8E\x41", CODESET_EUC_J, CODESET_SJIS), "\x8E\x41");
  EXPECT_EQ(Ext("\x8E\x41", CODESET_EUC_J, CODESET_JIS), "\x8E\x41");
}

TEST(JapaneseConversion, HalfWidthTableSamples) {
  const struct {
    unsigned char kana;
    const char* full;
  } kCases[] = {{0xA1, "\x81\x42"}, {0xA2, "\x81\x75"}, {0xA3, "\x81\x76"}, {0xA4, "\x81\x41"},
                {0xA5, "\x81\x45"}, {0xA6, "\x83\x92"}, {0xA7, "\x83\x40"}, {0xAF, "\x83\x62"},
                {0xB0, "\x81\x5B"}, {0xB1, "\x83\x41"}, {0xDD, "\x83\x93"}, {0xDE, "\x81\x4A"},
                {0xDF, "\x81\x4B"}};
  for (const auto& c : kCases) {
    std::string kana(1, static_cast<char>(c.kana));
    std::string viaKana = Ext(kana, CODESET_SJIS, CODESET_JIS);
    std::string viaFull = Ext(c.full, CODESET_SJIS, CODESET_JIS);
    EXPECT_EQ(viaKana, viaFull) << std::hex << int{c.kana};
  }
}

TEST(JapaneseConversion, IntoJisEscapesAndLineBreaks) {
  std::string pair = "\x88\x9F";
  EXPECT_EQ(Ext(pair, CODESET_SJIS, CODESET_JIS), Bytes(ESC, '$', 'B', 0x30, 0x21, ESC, '(', 'J'));
  EXPECT_EQ(Ext(pair + "\r\n" + pair, CODESET_SJIS, CODESET_JIS),
            Bytes(ESC, '$', 'B', 0x30, 0x21, ESC, '(', 'J', '\r', '\n', ESC, '$', 'B', 0x30, 0x21,
                  ESC, '(', 'J'));
  EXPECT_EQ(Ext("ab" + pair + pair + "c", CODESET_SJIS, CODESET_JIS),
            Bytes('a', 'b', ESC, '$', 'B', 0x30, 0x21, 0x30, 0x21, ESC, '(', 'J', 'c'));
  EXPECT_EQ(Ext("\xB0\xA1z", CODESET_EUC_J, CODESET_JIS),
            Bytes(ESC, '$', 'B', 0x30, 0x21, ESC, '(', 'J', 'z'));
  EXPECT_EQ(Ext("plain", CODESET_SJIS, CODESET_JIS), "plain");
  // An invalid second byte is copied without a change of mode.
  EXPECT_EQ(Ext("\x82\x20", CODESET_SJIS, CODESET_JIS), "\x82\x20");
  // A text cut inside a character keeps the bytes present.
  EXPECT_EQ(Ext("a\x82", CODESET_SJIS, CODESET_JIS), "a\x82");
  EXPECT_EQ(Ext("a\x82", CODESET_SJIS, CODESET_EUC_J), "a\x82");
}

TEST(JapaneseConversion, OutOfJis) {
  std::string jis{ESC, '$', 'B', 0x30, 0x21, ESC, '(', 'B'};
  EXPECT_EQ(Ext(jis, CODESET_JIS, CODESET_SJIS), "\x88\x9F");
  EXPECT_EQ(Ext(jis, CODESET_JIS, CODESET_EUC_J), "\xB0\xA1");
  EXPECT_EQ(Str(convertStr(jis.c_str(), CODESET_JIS, CODESET_SJIS)), "\x88\x9F");
  EXPECT_EQ(Str(convertStr(jis.c_str(), CODESET_JIS, CODESET_EUC_J)), "\xB0\xA1");
  // ESC $ @ and ESC K also enter two-byte mode; ESC ( J and any other ESC x leave it.
  EXPECT_EQ(Ext(Bytes(ESC, '$', '@', 0x30, 0x21, ESC, '(', 'J', 'a'), CODESET_JIS, CODESET_SJIS),
            "\x88\x9F"
            "a");
  EXPECT_EQ(Ext(Bytes(ESC, 'K', 0x30, 0x21, ESC, 'H', 'a'), CODESET_JIS, CODESET_SJIS),
            "\x88\x9F"
            "a");
  // CR and LF end two-byte mode and are copied.
  EXPECT_EQ(Ext(Bytes(ESC, '$', 'B', 0x30, 0x21, '\n', 0x30, 0x21), CODESET_JIS, CODESET_EUC_J),
            std::string("\xB0\xA1\n") + Bytes(0x30, 0x21));
  // A text that ends inside an escape sequence or a pair keeps its bytes.
  EXPECT_EQ(Ext(Bytes('a', ESC, '$'), CODESET_JIS, CODESET_SJIS), Bytes('a', ESC, '$'));
  EXPECT_EQ(Ext(Bytes(ESC, '$', 'B', 0x30), CODESET_JIS, CODESET_SJIS), "\x30");
}

TEST(ChineseConversion, Big5AndEucTwPairs) {
  EXPECT_EQ(Ext("\xA4\x40", CODESET_BIG5, CODESET_EUC_TW), "\xC4\xA1");  // index 471 -> 1:3290
  EXPECT_EQ(Ext("\xC4\xA1", CODESET_EUC_TW, CODESET_BIG5), "\xA4\x40");
  EXPECT_EQ(Str(convertStr("\xA4\x40", CODESET_BIG5, CODESET_EUC_TW)), "\xC4\xA1");
  EXPECT_EQ(Str(convertStr("\xC4\xA1", CODESET_EUC_TW, CODESET_BIG5)), "\xA4\x40");
  // Single-index rows and the last index of a row.
  EXPECT_EQ(Ext(Big5(148), CODESET_BIG5, CODESET_EUC_TW), "\xA2\xD8");   // 1:149
  EXPECT_EQ(Ext(Big5(149), CODESET_BIG5, CODESET_EUC_TW), "\xA2\xD7");   // 1:148
  EXPECT_EQ(Ext(Big5(1882), CODESET_BIG5, CODESET_EUC_TW), "\xD3\xA2");  // 1:4701
  // Plane 2 and beyond carry 0x8E and the plane.
  EXPECT_EQ(Ext("\xC9\x40", CODESET_BIG5, CODESET_EUC_TW), "\x8E\xA2\xA1\xA1");
  EXPECT_EQ(Ext("\x8E\xA2\xA1\xA1", CODESET_EUC_TW, CODESET_BIG5), "\xC9\x40");
  EXPECT_EQ(Ext(Big5(13932), CODESET_BIG5, CODESET_EUC_TW), "\x8E\xA3\xC3\xB7");  // 3:3218
  // Plane 1 written in the four-byte form is understood too.
  EXPECT_EQ(Ext("\x8E\xA1\xC4\xA1", CODESET_EUC_TW, CODESET_BIG5), "\xA4\x40");
  EXPECT_EQ(Ext("a\xA4\x40z", CODESET_BIG5, CODESET_EUC_TW), "a\xC4\xA1z");
}

TEST(ChineseConversion, GapsAndInvalidPairsBecomeQuestionMarks) {
  EXPECT_EQ(Ext(Big5(441), CODESET_BIG5, CODESET_EUC_TW), "??");
  EXPECT_EQ(Ext(Big5(470), CODESET_BIG5, CODESET_EUC_TW), "??");
  EXPECT_EQ(Ext("\xA4\x30x", CODESET_BIG5, CODESET_EUC_TW), "??x");        // invalid trail
  EXPECT_EQ(Ext("\xF9\xFE", CODESET_BIG5, CODESET_EUC_TW), "??");          // past the last row
  EXPECT_EQ(Ext("\xFE\xFE", CODESET_EUC_TW, CODESET_BIG5), "??");          // no row
  EXPECT_EQ(Ext("\xA4\x41", CODESET_EUC_TW, CODESET_BIG5), "??");          // invalid pair
  EXPECT_EQ(Ext("\x8E\xB1\xA1\xA1", CODESET_EUC_TW, CODESET_BIG5), "??");  // plane 17
  // Bytes that start no character are copied.
  EXPECT_EQ(Ext("\x80\xFF", CODESET_BIG5, CODESET_EUC_TW), "\x80\xFF");
  EXPECT_EQ(Ext("\x80\xFF", CODESET_EUC_TW, CODESET_BIG5), "\x80\xFF");
  // Cut characters keep their bytes.
  EXPECT_EQ(Ext("a\xA4", CODESET_BIG5, CODESET_EUC_TW), "a\xA4");
  EXPECT_EQ(Ext("a\x8E\xA2\xA1", CODESET_EUC_TW, CODESET_BIG5), "a\x8E\xA2\xA1");
}

TEST(ChineseConversion, DuplicateBig5CharactersComeBackAsTheirTwin) {
  EXPECT_EQ(Ext(Big5(6290), CODESET_BIG5, CODESET_EUC_TW), "\xC4\xC2");  // 1:3323
  EXPECT_EQ(Ext("\xC4\xC2", CODESET_EUC_TW, CODESET_BIG5), Big5(504));
  EXPECT_EQ(Ext(Big5(9574), CODESET_BIG5, CODESET_EUC_TW),
            Ext(Big5(9374), CODESET_BIG5, CODESET_EUC_TW));
}

TEST(Conversion, UnsupportedPairsGiveTheTextOrACopy) {
  const char* text = "\x82\xA0";
  EXPECT_EQ(convertStr(text, CODESET_SJIS, CODESET_SJIS), text);
  EXPECT_EQ(convertStr(text, CODESET_SJIS, CODESET_JIS), text);  // only the Ext form writes JIS
  EXPECT_EQ(convertStr(text, CODESET_SJIS, CODESET_GB), text);
  EXPECT_EQ(convertStr(text, CODESET_8859_2, CODESET_SJIS), text);
  EXPECT_EQ(convertStr(text, CODESET_BIG5, CODESET_EUC_J), text);
  EXPECT_EQ(convertStr(nullptr, CODESET_SJIS, CODESET_EUC_J), nullptr);
  EXPECT_EQ(Ext(text, CODESET_SJIS, CODESET_GB), text);
  EXPECT_EQ(Ext(text, CODESET_JIS, CODESET_BIG5), text);
  char buffer[8] = "abc";
  EXPECT_EQ(convertStrExt(buffer, CODESET_SJIS, buffer, CODESET_SJIS), buffer);  // in place copy
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(convertStrExt(nullptr, CODESET_SJIS, buffer, CODESET_EUC_J), buffer);
  EXPECT_STREQ(buffer, "abc");
}

TEST(Conversion, ResultBuffersHoldAnyLength) {
  // 100000 half-width katakana double in EUC: far beyond any fixed buffer.
  std::string kana(100000, '\xB1');
  const char* euc = convertStr(kana.c_str(), CODESET_SJIS, CODESET_EUC_J);
  ASSERT_NE(euc, nullptr);
  ASSERT_EQ(std::string(euc).size(), 200000u);
  EXPECT_EQ(std::string(euc).substr(0, 4), "\x8E\xB1\x8E\xB1");
  const char* back = convertStr(euc, CODESET_EUC_J, CODESET_SJIS);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(std::string(back), kana);
  // Each direction has its own buffer: the first result is still intact.
  EXPECT_EQ(std::string(euc).size(), 200000u);
  std::string big5;
  for (int i = 0; i < 50000; ++i) big5 += "\xC9\x40";
  const char* tw = convertStr(big5.c_str(), CODESET_BIG5, CODESET_EUC_TW);
  ASSERT_NE(tw, nullptr);
  EXPECT_EQ(std::string(tw).size(), 200000u);
}

TEST(Conversion, UnixAndWindowsCodingFollowTheCurrentCodeSet) {
  char out[64];
  for (int cs : {CODESET_EUC_J, CODESET_SJIS}) {
    UseCodeSet(cs);
    EXPECT_EQ(Str(WindowsCodingToUnixCoding("\x82\xA0\xB1")), "\xA4\xA2\x8E\xB1");
    EXPECT_EQ(Str(UnixCodingToWindowsCoding("\xA4\xA2\x8E\xB1")), "\x82\xA0\xB1");
    EXPECT_STREQ(WindowsCodingToUnixCodingExt("\x82\xA0", out), "\xA4\xA2");
    EXPECT_STREQ(UnixCodingToWindowsCodingExt("\xA4\xA2", out), "\x82\xA0");
  }
  for (int cs : {CODESET_BIG5, CODESET_EUC_TW}) {
    UseCodeSet(cs);
    EXPECT_EQ(Str(WindowsCodingToUnixCoding("\xA4\x40")), "\xC4\xA1");
    EXPECT_EQ(Str(UnixCodingToWindowsCoding("\xC4\xA1")), "\xA4\x40");
    EXPECT_STREQ(WindowsCodingToUnixCodingExt("\xA4\x40", out), "\xC4\xA1");
    EXPECT_STREQ(UnixCodingToWindowsCodingExt("\xC4\xA1", out), "\xA4\x40");
  }
  UseCodeSet(CODESET_GB);
  const char* text = "\xB0\xA1";
  const char* copy = UnixCodingToWindowsCoding(text);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, text);  // a copy in the library's buffer
  EXPECT_STREQ(copy, text);
  EXPECT_STREQ(WindowsCodingToUnixCoding(text), text);
  EXPECT_STREQ(WindowsCodingToUnixCodingExt(text, out), text);
}

TEST(FullWidthNumbers, ShiftJisDigitsAndSeparators) {
  UseCodeSet(CODESET_SJIS);
  char out[64];
  EXPECT_EQ(ConvertMBNumberToSBNumber("\x82\x50\x82\x51", out), 0);
  EXPECT_STREQ(out, "12");
  ConvertMBNumberToSBNumber(
      "\x82\x4F\x81\x5E\x82\x58\x81\x46\x88\x9F"
      "x\xB1",
      out);
  EXPECT_STREQ(out,
               "0/9:\x88\x9F"
               "x\xB1");
  ConvertMBNumberToSBNumber("", out);
  EXPECT_STREQ(out, "");
}

TEST(FullWidthNumbers, EveryTable) {
  const struct {
    int cs;
    const char* in;
    const char* out;
  } kCases[] = {
      {CODESET_EUC_J, "\xA3\xB1\xA1\xA5\xA3\xB9\xA1\xBF\xA1\xA1\xA1\xCA\x8E\xA1\xA1\xCB",
       "1.9/ (.)"},
      {CODESET_GB, "\xA3\xB0\xA3\xBA\xA3\xAF\xA3\xA8\xA3\xA9\xA3\xAE", "0:/()."},
      {CODESET_KSC_5601_92, "\xA3\xB5\xA3\xAE", "5."},
      {CODESET_BIG5, "\xA2\xAF\xA2\xB8\xA1\x52\xA2\x41\xA1\x5D\xA1\x5E\xA1\x4F", "09:/()."},
      {CODESET_EUC_TW, "\xA2\xB0\xA1\xA5\xA1\xA8", "1.:"},
      // No table: copied as it is.
      {CODESET_EUC_K, "\xA3\xB1", "\xA3\xB1"},
  };
  for (const auto& c : kCases) {
    UseCodeSet(c.cs);
    char out[64];
    ConvertMBNumberToSBNumber(c.in, out);
    EXPECT_STREQ(out, c.out) << "code set " << c.cs;
  }
  // In place, because the result never grows.
  UseCodeSet(CODESET_SJIS);
  char text[] = "a\x82\x53\x82\x54z";
  ConvertMBNumberToSBNumber(text, text);
  EXPECT_STREQ(text, "a45z");
}

TEST(MaxStringLength, ByCodeSet) {
  UseCodeSet(CODESET_SJIS);
  EXPECT_EQ(MaxStringLengthOnWinAndUnix("a\xB1"), 3);
  EXPECT_EQ(MaxStringLengthOnWinAndUnix("\x82\xA0"), 2);
  EXPECT_EQ(MaxStringLengthOnWinAndUnix(""), 0);
  UseCodeSet(CODESET_BIG5);
  EXPECT_EQ(MaxStringLengthOnWinAndUnix("\xC9\x40"), 4);
  EXPECT_EQ(MaxStringLengthOnWinAndUnix("\xA4\x40"), 2);
  UseCodeSet(CODESET_EUC_TW);
  EXPECT_EQ(MaxStringLengthOnWinAndUnix("\x8E\xA2\xA1\xA1"), 4);
  UseCodeSet(CODESET_EUC_J);
  EXPECT_EQ(MaxStringLengthOnWinAndUnix("\x8E\xB1"), 2);
}

// DetectJPCodeType reads a real file.
int Detect(const std::string& bytes, long* position = nullptr) {
  FILE* f = tmpfile();
  if (f == nullptr) return -1;
  fwrite(bytes.data(), 1, bytes.size(), f);
  rewind(f);
  int cs = DetectJPCodeType(f);
  if (position != nullptr) *position = ftell(f);
  fclose(f);
  return cs;
}

TEST(Detection, CodeSetsOfSmallFiles) {
  EXPECT_EQ(Detect("plain ASCII text\n"), CODESET_NONE);
  EXPECT_EQ(Detect(""), CODESET_NONE);
  EXPECT_EQ(Detect(Bytes(ESC, '$', 'B', 0x30, 0x21)), CODESET_JIS);
  EXPECT_EQ(Detect(Bytes(ESC, '$', '@')), CODESET_JIS);
  EXPECT_EQ(Detect(Bytes('a', ESC, 'K')), CODESET_JIS);
  EXPECT_EQ(Detect(Bytes(ESC, '(', 'B')), CODESET_NONE);
  EXPECT_EQ(Detect("\xB0\xA1"), CODESET_EUC_OR_SJIS);
  EXPECT_EQ(Detect("\x82\xA0"), CODESET_SJIS);
  EXPECT_EQ(Detect("\xB0\xF0"), CODESET_EUC_J);
  EXPECT_EQ(Detect("\xF4\xA1"), CODESET_EUC_J);
  EXPECT_EQ(Detect("\xB1"), CODESET_SJIS);  // a kana byte at the end
  EXPECT_EQ(Detect("\xB1"
                   "a"),
            CODESET_SJIS);
  EXPECT_EQ(Detect("\x8E\xB1"), CODESET_EUC_OR_SJIS);
  EXPECT_EQ(Detect("\x8E\x40"), CODESET_SJIS);
  EXPECT_EQ(Detect("\xE0\x40"), CODESET_SJIS);
  EXPECT_EQ(Detect("\xE0\xFD"), CODESET_EUC_J);
  EXPECT_EQ(Detect("\xE0\xA1"), CODESET_EUC_OR_SJIS);
  // After a kana byte and a byte E0-EF, further bytes decide.
  EXPECT_EQ(Detect("\xB0\xE0\xA1\xFD"), CODESET_EUC_J);
  EXPECT_EQ(Detect("\xB0\xE0\xA1\x88"), CODESET_SJIS);
  EXPECT_EQ(Detect("\xB0\xE0\xA1\xB0"), CODESET_EUC_OR_SJIS);
}

TEST(Detection, StopsAfterTheDecidingByte) {
  long position = -1;
  EXPECT_EQ(Detect("ab\x82\xA0" + std::string(100000, 'x'), &position), CODESET_SJIS);
  EXPECT_EQ(position, 3);
  EXPECT_EQ(Detect(std::string(70000, 'y') + Bytes(ESC, '$', 'B') + "zz", &position), CODESET_JIS);
  EXPECT_EQ(position, 70003);
  // Ambiguous to the end: the whole file is read.
  EXPECT_EQ(Detect(std::string(50000, '\xA4') + "rest", &position), CODESET_EUC_OR_SJIS);
  EXPECT_EQ(position, 50004);
}

TEST(Detection, NullStream) { EXPECT_EQ(DetectJPCodeType(nullptr), CODESET_NONE); }

}  // namespace
