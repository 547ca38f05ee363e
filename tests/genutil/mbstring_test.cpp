// The multibyte string and file functions in the real legacy locales, on
// real files: long lines, chunk boundaries inside characters and escape
// sequences, and line ends split by the line buffer.
#include "gnutil/mbstring.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "genutil/jaconv_internal.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"
#include "support/test_locale.h"

namespace {

using gnutil::Conversion;

std::string Whole(Conversion c, const std::string& in) {
  std::vector<unsigned char> out(gnutil::MaxConvertedLength(c, in.size()) + 1);
  gnutil::ConversionState st;
  size_t used;
  size_t n = gnutil::ConvertBytes(c, reinterpret_cast<const unsigned char*>(in.data()), in.size(),
                                  out.data(), &st, true, &used);
  return std::string(reinterpret_cast<char*>(out.data()), n);
}

// Equality of long texts, reported by size and first difference rather than
// by the whole texts.
::testing::AssertionResult Same(const std::string& got, const std::string& expected) {
  if (got == expected) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << "sizes " << got.size() << " and " << expected.size()
                                       << ", first difference at byte " << at;
}

std::string CrLfToLf(std::string s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
    out += s[i];
  }
  return out;
}

class FileTest : public ::testing::Test {
 protected:
  std::string Make(const std::string& bytes) {
    std::string path = Name();
    FILE* f = fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (f != nullptr) {
      fwrite(bytes.data(), 1, bytes.size(), f);
      fclose(f);
    }
    return path;
  }
  std::string Name() {
    std::string path = ::testing::TempDir() + "gnutil_mbfile_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                       std::to_string(paths_.size());
    paths_.push_back(path);
    return path;
  }
  static std::string Read(const std::string& path) {
    std::string s;
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr) return "<missing>";
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    fclose(f);
    return s;
  }
  void TearDown() override {
    for (const std::string& p : paths_) remove(p.c_str());
  }
  std::vector<std::string> paths_;
};

// Shift-JIS lines longer than the 2048-byte line buffer, full of half-width
// katakana that double in EUC: nothing may be cut or split.
TEST_F(FileTest, LongShiftJisLinesIntoEucLocale) {
  GNUTIL_USE_LOCALE("ja_JP.eucjp");
  InitMbutil();
  std::string sjis;
  for (int line = 0; line < 5; ++line) {
    for (int i = 0; i < 1500 + line * 7; ++i) sjis += (i % 3 == 0) ? "\xB1" : "\x88\x9F";
    sjis += "\r\n";
  }
  sjis += "last line without end";
  std::string in = Make(sjis);
  std::string out = Name();
  ASSERT_EQ(mbconvertfile2native(in.c_str(), out.c_str(), 0, CODESET_SJIS), 1);
  EXPECT_TRUE(Same(Read(out), CrLfToLf(Whole(Conversion::kSjisToEuc, sjis))));
  ASSERT_EQ(mbconvertfile2native_ex(in.c_str(), out.c_str(), 0, CODESET_SJIS), 1);
  EXPECT_TRUE(Same(Read(out), Whole(Conversion::kSjisToEuc, sjis)));
}

// Every position of a CR LF pair around the end of the line buffer.
TEST_F(FileTest, CrLfSplitByTheLineBuffer) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  for (size_t pad = 2040; pad <= 2050; ++pad) {
    std::string text = std::string(pad, 'x') + "\r\nnext\r\n";
    std::string in = Make(text);
    std::string out = Name();
    ASSERT_EQ(mbconvertfile2native(in.c_str(), out.c_str(), 0, CODESET_SJIS), 1);
    EXPECT_TRUE(Same(Read(out), std::string(pad, 'x') + "\nnext\n")) << pad;
  }
}

// A file whose last byte is a lone CR, and one that is nothing but a CR: the
// conversion ends, and the CR is kept as the text it is.
TEST_F(FileTest, LoneCrAtTheEndOfTheFile) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  for (const std::string& text : {std::string("\r"), std::string("abc\r"),
                                  std::string(2047, 'y') + "\r", std::string(4095, 'z') + "\r"}) {
    std::string in = Make(text);
    std::string out = Name();
    ASSERT_EQ(mbconvertfile2native(in.c_str(), out.c_str(), 0, CODESET_EUC_J), 1);
    EXPECT_TRUE(Same(Read(out), text));
  }
}

// JIS in chunks: two-byte mode and escape sequences cross the chunk
// boundaries of the _ex conversion, and the bytes equal a whole conversion.
TEST_F(FileTest, JisFileInChunksIntoShiftJisLocale) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  std::string jis;
  for (int i = 0; i < 20000; ++i) {
    jis += "\x1b$B";
    for (int k = 0; k < i % 7 + 1; ++k) jis += "0!$\"";
    jis += "\x1b(Bab";
    if (i % 10 == 0) jis += "\n";
  }
  std::string in = Make(jis);
  std::string out = Name();
  ASSERT_EQ(mbconvertfile2native_ex(in.c_str(), out.c_str(), 0, CODESET_JIS), 1);
  std::string expected = Whole(Conversion::kJisToSjis, jis);
  EXPECT_TRUE(Same(Read(out), expected));
  EXPECT_EQ(expected.find('\x1b'), std::string::npos);
}

// Windows names the Taiwanese locale "Chinese (Traditional)_Taiwan.950",
// which the locale-name rule does not take for Big5, so the tests in that
// locale choose the code set themselves.
TEST_F(FileTest, EucTwFileIntoBig5Locale) {
  GNUTIL_USE_LOCALE("zh_TW.big5");
  InitMbutil();
  InitMbutilExt(CODESET_BIG5);
  std::string tw;
  for (int i = 0; i < 40000; ++i) tw += "\xC4\xA1\x8E\xA2\xA1\xA1z";
  std::string in = Make(tw);
  std::string out = Name();
  ASSERT_EQ(mbconvertfile2native_ex(in.c_str(), out.c_str(), 0, CODESET_EUC_TW), 1);
  std::string expected;
  for (int i = 0; i < 40000; ++i) expected += "\xA4\x40\xC9\x40z";
  EXPECT_TRUE(Same(Read(out), expected));
  // And back, from the Big5 locale into an EUC-TW file.
  std::string back = Name();
  ASSERT_EQ(mbconvertnativefile(out.c_str(), back.c_str(), 0, CODESET_EUC_TW), 1);
  EXPECT_TRUE(Same(Read(back), tw));
}

// mbfgets with a small buffer: pieces never split a character and their
// concatenation is the whole converted text.
TEST_F(FileTest, SmallBufferPiecesConcatenateToTheWhole) {
  GNUTIL_USE_LOCALE("ja_JP.eucjp");
  InitMbutil();
  std::string sjis = "ab\xB1\x88\x9F\xB2\xB3\x82\xA0xyz\n\xB4\xB5\x88\x9F\n";
  for (int n : {5, 6, 7, 8, 64}) {
    FILE* f = fopen(Make(sjis).c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::string all;
    char buf[64];
    while (mbfgets(buf, n, f, CODESET_SJIS) != nullptr) {
      std::string piece = buf;
      ASSERT_LE(piece.size(), static_cast<size_t>(n - 1));
      int offset;
      EXPECT_EQ(mbvalidatestring(piece.c_str(), &offset, CODESET_EUC_J), 1) << n << " " << piece;
      all += piece;
    }
    fclose(f);
    EXPECT_EQ(all, Whole(Conversion::kSjisToEuc, sjis)) << n;
  }
}

// JIS lines delivered in pieces: the shift state, and an escape sequence or
// double-byte pair cut by the buffer, carry over to the next piece, so that
// at every cut position the pieces make the whole-line conversion.
TEST_F(FileTest, JisPiecesKeepTheShiftStateAtEveryCut) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  const std::string jis = "ab\x1b$B0!0\"$\"\x1b(Bcd\x1b$B0#\x1b(B\nx\x1b$B0$\x1b(B\n";
  const std::string expected =
      Whole(Conversion::kJisToSjis, "ab\x1b$B0!0\"$\"\x1b(Bcd\x1b$B0#\x1b(B\n") +
      Whole(Conversion::kJisToSjis, "x\x1b$B0$\x1b(B\n");
  for (int n = 6; n <= static_cast<int>(jis.size()) + 1; ++n) {
    FILE* f = fopen(Make(jis).c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::string all;
    char buf[64];
    while (mbfgets(buf, n, f, CODESET_JIS) != nullptr) {
      ASSERT_LE(strlen(buf), static_cast<size_t>(n - 1));
      all += buf;
    }
    fclose(f);
    EXPECT_EQ(all, expected) << "buffer " << n;
  }
}

// A JIS line far longer than the line buffer of the file conversion.
TEST_F(FileTest, LongJisLineIntoShiftJisLocale) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  std::string line = "\x1b$B";
  for (int i = 0; i < 1500; ++i) line += (i % 3 == 0) ? "0!" : "4A";
  line += "\x1b(B end\n";
  std::string jis = line + "next\n" + line;
  std::string in = Make(jis);
  std::string out = Name();
  ASSERT_EQ(mbconvertfile2native(in.c_str(), out.c_str(), 0, CODESET_JIS), 1);
  EXPECT_TRUE(Same(Read(out), Whole(Conversion::kJisToSjis, jis)));
}

TEST(MbChecksumInLocale, JapaneseTextSumsTheSameOnEveryHost) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  int windows = AccumulateAsciiForStr("a\x82\xA0\xB1");
  EXPECT_EQ(windows, 'a' + 0xA4 + 0xA2 + 0x8E + 0xB1);
}

TEST(MbChecksumInLocale, EucHost) {
  GNUTIL_USE_LOCALE("ja_JP.eucjp");
  InitMbutil();
  EXPECT_EQ(AccumulateAsciiForStr("a\xA4\xA2\x8E\xB1"), 'a' + 0xA4 + 0xA2 + 0x8E + 0xB1);
}

TEST(MbSingleByteLocale, PlainFunctionsFollowTheLocale) {
  GNUTIL_USE_LOCALE("cs_CZ.iso88592");
  InitMbutil();
  char text[] =
      "\xE1"
      "bc";  // a with acute
  EXPECT_EQ(mbstrtoupper(text), 3);
  EXPECT_STREQ(text,
               "\xC1"
               "BC");
  EXPECT_EQ(mbstricmp("\xE1", "\xC1"), 0);
  char tokens[] = ",a,,b";
  EXPECT_STREQ(mbstrtok(tokens, ","), "a");  // strtok: leading and repeated delimiters skipped
  EXPECT_STREQ(mbstrtok(nullptr, ","), "b");
  int offset;
  EXPECT_EQ(mbvalidatestring("\x82", &offset, CODESET_SJIS), 1);
}

TEST(MbBig5Locale, TrailBytesInTheAsciiRange) {
  GNUTIL_USE_LOCALE("zh_TW.big5");
  InitMbutil();
  InitMbutilExt(CODESET_BIG5);
  // Big5 0xA4 0x5C has a backslash as its trail byte.
  const char path[] =
      "C:\\dir\xA4\x5C"
      "file";
  EXPECT_EQ(mbstrrchr(path, '\\'), path + 2);
  EXPECT_EQ(mbstrstr(path, "\\f"), nullptr);
  char copy[8];
  EXPECT_EQ(mbstrncpyi(copy, path, 7), 6);
  EXPECT_STREQ(copy, "C:\\dir");
}

// In a UTF-8 locale the walking functions step by characters of every
// length: a byte that only occurs inside characters is never found, and no
// copy or token cuts a character in half.
TEST(MbUtf8Locale, WalksByCharacters) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  EXPECT_EQ(InitMbutil(), CODESET_NONE);
  EXPECT_EQ(InitMbutilExt(CODESET_UTF8), CODESET_UTF8);  // what InitMbutil chose
  // 日本語テキスト: seven characters of three bytes.
  const char text[] =
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88";
  EXPECT_EQ(mbstrchr(text, 0xA5), nullptr);
  EXPECT_EQ(mbstrrchr(text, 0x83), nullptr);
  int steps = 0;
  for (const char* p = text; p != nullptr && *p != '\0'; p = mbnextchar(p, 0)) ++steps;
  EXPECT_EQ(steps, 7);
  // Characters of 1, 2, 3 and 4 bytes, and separators between them.
  const std::string mixed = "a,\xC3\xA9,\xE2\x82\xAC,\xF0\x9D\x84\x9E,\xE2\x82\xAC\xC3\xA9";
  struct Cut {
    size_t bytes;
    const char* kept;
  };
  const Cut kCuts[] = {{3, "a,"},
                       {4, "a,\xC3\xA9"},
                       {7, "a,\xC3\xA9,"},
                       {8, "a,\xC3\xA9,\xE2\x82\xAC"},
                       {12, "a,\xC3\xA9,\xE2\x82\xAC,"},
                       {13, "a,\xC3\xA9,\xE2\x82\xAC,\xF0\x9D\x84\x9E"}};
  for (const Cut& c : kCuts) {
    char copy[32];
    EXPECT_EQ(mbstrncpyi(copy, mixed.c_str(), c.bytes), static_cast<int>(strlen(c.kept)))
        << c.bytes;
    EXPECT_STREQ(copy, c.kept) << c.bytes;
  }
  std::vector<char> work(mixed.begin(), mixed.end());
  work.push_back('\0');
  std::vector<std::string> tokens;
  for (char* t = mbstrtok(work.data(), ","); t != nullptr; t = mbstrtok(nullptr, ","))
    tokens.push_back(t);
  EXPECT_EQ(tokens, (std::vector<std::string>{"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9D\x84\x9E",
                                              "\xE2\x82\xAC\xC3\xA9"}));
  // The lead byte of é (C3) is not the separator found inside it.
  EXPECT_EQ(mbstrstr(mixed.c_str(), "\xA9,"), nullptr);
  int offset = -1;
  EXPECT_EQ(mbvalidatestring("ok\xED\xA0\x80", &offset, CODESET_UTF8), 0);  // a surrogate
  EXPECT_EQ(offset, 2);
}

}  // namespace
