// The exact promises of the multibyte string functions, public API only.
#include "gnutil/mbstring.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

namespace {

void UseCodeSet(int cs) {
  InitMbutil();
  InitMbutilExt(cs);
}

// a, Shift-JIS HIRAGANA A (0x82 0xA0), b
const char kSjisText[] =
    "a\x82\xA0"
    "b";

TEST(MbCopy, NeverSplitsACharacter) {
  UseCodeSet(CODESET_SJIS);
  char out[8];
  memset(out, 'x', sizeof out);
  EXPECT_EQ(mbstrncpy(out, kSjisText, 2), out);
  EXPECT_STREQ(out, "a");
  memset(out, 'x', sizeof out);
  EXPECT_EQ(mbstrncpyi(out, kSjisText, 2), 1);
  EXPECT_STREQ(out, "a");
  // A cut after the character: strncpy, no NUL added.
  memset(out, 'x', sizeof out);
  EXPECT_EQ(mbstrncpyi(out, kSjisText, 3), 3);
  EXPECT_EQ(std::string(out, 4), "a\x82\xA0x");
  // A short source: strncpy pads with NULs, the count is the source length.
  memset(out, 'x', sizeof out);
  EXPECT_EQ(mbstrncpyi(out, "ab", 6), 2);
  EXPECT_EQ(std::string(out, 7), std::string("ab\0\0\0\0x", 7));
  EXPECT_EQ(mbstrncpyi(nullptr, "ab", 2), 0);
  EXPECT_EQ(mbstrncpy(out, nullptr, 2), out);
}

TEST(MbCopy, ThreeByteEucCharacter) {
  UseCodeSet(CODESET_EUC_J);
  char out[8];
  EXPECT_EQ(mbstrncpyi(out, "a\x8F\xA1\xA1z", 3), 1);
  EXPECT_STREQ(out, "a");
}

TEST(MbCompare, CaseAndLength) {
  UseCodeSet(CODESET_SJIS);
  EXPECT_EQ(mbstricmp("ABC", "abc"), 0);
  EXPECT_EQ(mbstricmp("ab", "abc"), -1);
  EXPECT_EQ(mbstricmp("abc", "ab"), 1);
  // A double-byte character is greater than any single byte.
  EXPECT_EQ(mbstricmp("\x82\xA0", "z"), 1);
  EXPECT_EQ(mbstricmp("\x82\xA0", "\x82\xA0"), 0);
  EXPECT_EQ(mbstricmp(nullptr, "a"), 0);
  EXPECT_EQ(mbstrnicmp("abcdef", "ABCxyz", 3), 0);
  EXPECT_NE(mbstrnicmp("abcdef", "ABCxyz", 4), 0);
  EXPECT_EQ(mbstrnicmp("", "a", 0), -1);
  EXPECT_EQ(mbstrnicmp("a", "", 0), 0);
  EXPECT_EQ(mbstrnicmp("ab", "abc", 5), -1);
  EXPECT_EQ(mbstrnicmp("\x82\xA0X", "\x82\xA0x", 3), 0);
  EXPECT_LT(mbstrnicmp("\x82\xA0", "\x82\xA2", 2), 0);
  EXPECT_EQ(mbcharcmp("abc", "abd", 2), 0);
  EXPECT_LT(mbcharcmp("abc", "abd", 3), 0);
  EXPECT_GT(mbcharcmp("b", "B", 1), 0);  // with case
  EXPECT_EQ(mbcharcmp("x", "y", 0), 0);
  EXPECT_EQ(mbstrcoll("a", "a"), 0);
}

TEST(MbCompare, PlainWhenSingleByte) {
  UseCodeSet(CODESET_NONE);
  EXPECT_EQ(mbstricmp("ABC", "abc"), 0);
  EXPECT_LT(mbstricmp("ab", "abc"), 0);
  EXPECT_EQ(mbcharcmp("a", "b", 5), -1);  // first bytes only
  EXPECT_EQ(mbcharcmp("b", "a", 5), 1);
}

TEST(MbCase, OnlySingleByteCharactersChange) {
  UseCodeSet(CODESET_SJIS);
  // 0x83 0x61 is KATAKANA DI; its trail byte is 'a' and must stay.
  char text[] =
      "ab\x83"
      "aZ";
  EXPECT_EQ(mbstrtoupper(text), 5);
  EXPECT_STREQ(text,
               "AB\x83"
               "aZ");
  EXPECT_EQ(mbstrtolower(text), 5);
  EXPECT_STREQ(text,
               "ab\x83"
               "az");
  char cut[] = "ab\x83";
  EXPECT_EQ(mbstrtoupper(cut), 0);
  EXPECT_EQ(mbstrtoupper(nullptr), 0);
}

TEST(MbSearch, MatchesNeverStartInsideACharacter) {
  UseCodeSet(CODESET_SJIS);
  // 0x83 0x61 0x83 0x62: the pair 0x61 0x83 spans two characters.
  const char text[] =
      "\x83\x61\x83\x62"
      "a";
  EXPECT_EQ(mbstrstr(text, "\x61\x83"), nullptr);
  EXPECT_EQ(mbstrstr(text, "\x83\x62"), text + 2);
  EXPECT_EQ(mbstrstr(text, "a"), text + 4);
  EXPECT_EQ(mbstrchr(text, 'a'), text + 4);
  EXPECT_EQ(mbstrrchr(text, static_cast<signed char>(0x83)), text + 2);
  EXPECT_EQ(mbstrstr(text, ""), text);
  EXPECT_EQ(mbstrstr(text, nullptr), text);
  EXPECT_EQ(mbstrstr(nullptr, "a"), nullptr);
  // A lead byte alone never matches half a character.
  EXPECT_EQ(mbstrstr(text, "\x83"), nullptr);
  const char* plain = "xaxbxa";
  EXPECT_EQ(mbstrrstr(plain, "xa"), plain + 4);
  const char repeated[] = "xa\x83\x61xa";
  EXPECT_EQ(mbstrrstr(repeated, "xa"), repeated + 4);
  const char* lines = "line1\nline2";
  EXPECT_EQ(mbstrstr(lines, "\n"), lines + 5);
}

TEST(MbSearch, SetsMatchWholeCharacters) {
  UseCodeSet(CODESET_SJIS);
  const char text[] = "\x83\x61x\x82\xA0y";
  EXPECT_EQ(mbstrpbrk(text, "a"), nullptr);  // 'a' is only a trail byte here
  EXPECT_EQ(mbstrpbrk(text, "yx"), text + 2);
  EXPECT_EQ(mbstrpbrk(text, "\x82\xA0"), text + 3);
  EXPECT_EQ(mbstrcspn(text, "y"), 5u);
  EXPECT_EQ(mbstrcspn(text, "q"), strlen(text));
  EXPECT_EQ(mbstrpbrk(nullptr, "a"), nullptr);
}

TEST(MbTokens, AdjacentDelimitersGiveEmptyTokens) {
  UseCodeSet(CODESET_SJIS);
  char text[] = "a,,b";
  EXPECT_STREQ(mbstrtok(text, ","), "a");
  EXPECT_STREQ(mbstrtok(nullptr, ","), "");
  EXPECT_STREQ(mbstrtok(nullptr, ","), "b");
  EXPECT_EQ(mbstrtok(nullptr, ","), nullptr);
  // A leading delimiter is skipped once; a trail byte is no delimiter.
  char text2[] =
      "a\x83\x61"
      "az";
  EXPECT_STREQ(mbstrtok(text2, "a"), "\x83\x61");
  EXPECT_STREQ(mbstrtok(nullptr, "a"), "z");
  EXPECT_EQ(mbstrtok(nullptr, "a"), nullptr);
  // A double-byte delimiter is skipped whole.
  char text3[] = "x\x81\x41y";
  EXPECT_STREQ(mbstrtok(text3, "\x81\x41"), "x");
  EXPECT_STREQ(mbstrtok(nullptr, "\x81\x41"), "y");
  EXPECT_EQ(mbstrtok(nullptr, "\x81\x41"), nullptr);
}

TEST(MbValidate, FirstInvalidOrCutCharacter) {
  UseCodeSet(CODESET_SJIS);
  int offset = -1;
  EXPECT_EQ(mbvalidatestring("ab\x82\xA0\xB1", &offset, CODESET_SJIS), 1);
  EXPECT_EQ(mbvalidatestring("ab\x82", &offset, CODESET_SJIS), 0);
  EXPECT_EQ(offset, 2);
  EXPECT_EQ(mbvalidatestring("a\x82\xA0\x80z", &offset, CODESET_SJIS), 0);
  EXPECT_EQ(offset, 3);
  EXPECT_EQ(mbvalidatestring("\x82\x20", &offset, CODESET_SJIS), 0);
  EXPECT_EQ(offset, 0);
  EXPECT_EQ(mbvalidatestring("a\x8F\xA1\xA1", &offset, CODESET_EUC_J), 1);
  EXPECT_EQ(mbvalidatestring("a\x8F\xA1", &offset, CODESET_EUC_J), 0);
  EXPECT_EQ(offset, 1);
  EXPECT_EQ(mbvalidatestring(nullptr, &offset, CODESET_SJIS), 0);
  EXPECT_EQ(mbvalidatestring("a", nullptr, CODESET_SJIS), 0);
  UseCodeSet(CODESET_NONE);
  EXPECT_EQ(mbvalidatestring("\x82", &offset, CODESET_SJIS), 1);
}

TEST(MbChecksum, SumOfBytes) {
  for (int cs : {CODESET_NONE, CODESET_SJIS, CODESET_EUC_J, CODESET_BIG5, CODESET_8859_2}) {
    UseCodeSet(cs);
    EXPECT_EQ(AccumulateAsciiForStr("abc"), 294) << cs;
  }
  EXPECT_EQ(AccumulateAsciiForStr(""), 0);
  EXPECT_EQ(AccumulateAsciiForStr(nullptr), 0);
}

TEST(MbNativeString, ConvertsFromTheCurrentCodeSet) {
  UseCodeSet(CODESET_SJIS);
  char out[32];
  EXPECT_EQ(mbconvertnativestring(out, "\x82\xA0", CODESET_EUC_J), 1);
  EXPECT_STREQ(out, "\xA4\xA2");
  EXPECT_EQ(mbconvertnativestring(out, "\x88\x9F", CODESET_JIS), 1);
  EXPECT_STREQ(out, "\x1b$B0!\x1b(J");
  EXPECT_EQ(mbconvertnativestring(nullptr, "a", CODESET_EUC_J), 0);
  UseCodeSet(CODESET_NONE);
  EXPECT_EQ(mbconvertnativestring(out, "\x82\xA0", CODESET_EUC_J), 1);
  EXPECT_STREQ(out, "\x82\xA0");
}

// A real file with the given bytes; removed at the end of the test.
class TempFiles : public ::testing::Test {
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
    std::string path = ::testing::TempDir() + "gnutil_mbstring_" +
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

using MbFiles = TempFiles;

TEST_F(MbFiles, ReadStringLeavesACutCharacterForTheNextRead) {
  UseCodeSet(CODESET_SJIS);
  FILE* f = fopen(Make("abc\x82\xA0").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buf[8];
  EXPECT_EQ(mbfreadstring(buf, 4, f), 3);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(mbfreadstring(buf, 4, f), 2);
  EXPECT_STREQ(buf, "\x82\xA0");
  EXPECT_EQ(mbfreadstring(buf, 4, f), 0);
  fclose(f);
}

TEST_F(MbFiles, LinesAreConvertedFromTheFileCodeSet) {
  UseCodeSet(CODESET_EUC_J);
  FILE* f = fopen(Make("\x82\xA0\xB1\nplain\n").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buf[64];
  ASSERT_NE(mbfgets(buf, sizeof buf, f, CODESET_SJIS), nullptr);
  EXPECT_STREQ(buf, "\xA4\xA2\x8E\xB1\n");
  ASSERT_NE(mbfgets(buf, sizeof buf, f, CODESET_SJIS), nullptr);
  EXPECT_STREQ(buf, "plain\n");
  EXPECT_EQ(mbfgets(buf, sizeof buf, f, CODESET_SJIS), nullptr);
  fclose(f);
}

TEST_F(MbFiles, PutsConvertsToTheFileCodeSet) {
  UseCodeSet(CODESET_SJIS);
  std::string path = Name();
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  EXPECT_GE(mbfputs("\x82\xA0\n", f, CODESET_EUC_J), 0);
  EXPECT_GE(mbfputs("\x88\x9F\n", f, CODESET_JIS), 0);
  EXPECT_GE(mbfputs("\x82\xA0", f, CODESET_NONE), 0);
  EXPECT_EQ(mbfputs(nullptr, f, CODESET_EUC_J), 0);
  fclose(f);
  EXPECT_EQ(Read(path), "\xA4\xA2\n\x1b$B0!\x1b(J\n\x82\xA0");
}

TEST_F(MbFiles, FileToNativeTurnsCrLfIntoLf) {
  UseCodeSet(CODESET_EUC_J);
  std::string in = Make("\x82\xA0\r\nb\r\n\rc\r");
  std::string out = Name();
  EXPECT_EQ(mbconvertfile2native(in.c_str(), out.c_str(), 0, CODESET_SJIS), 1);
  // A CR without LF is text, also the one that ends the file.
  EXPECT_EQ(Read(out), "\xA4\xA2\nb\n\rc\r");
  EXPECT_EQ(mbconvertfile2native(in.c_str(), out.c_str(), 1, CODESET_SJIS), 1);
  EXPECT_EQ(Read(out), "\xA4\xA2\nb\n\rc\r\xA4\xA2\nb\n\rc\r");
  EXPECT_EQ(mbconvertfile2native("/nonexistent/gnutil", out.c_str(), 0, CODESET_SJIS), 0);
}

TEST_F(MbFiles, FileToNativeInChunksKeepsEveryByte) {
  UseCodeSet(CODESET_EUC_J);
  std::string sjis;
  for (int i = 0; i < 30000; ++i)
    sjis +=
        "\x88\x9F\xB1"
        "a\r\n";
  std::string in = Make(sjis);
  std::string out = Name();
  EXPECT_EQ(mbconvertfile2native_ex(in.c_str(), out.c_str(), 0, CODESET_SJIS), 1);
  std::string expected;
  for (int i = 0; i < 30000; ++i)
    expected +=
        "\xB0\xA1\x8E\xB1"
        "a\r\n";
  std::string got = Read(out);
  EXPECT_TRUE(got == expected) << "sizes " << got.size() << " and " << expected.size();
  EXPECT_EQ(mbconvertfile2native_ex(in.c_str(), out.c_str(), 0, CODESET_NONE), 0);
}

TEST_F(MbFiles, NativeToFile) {
  UseCodeSet(CODESET_SJIS);
  std::string in = Make("\x82\xA0\nx\n");
  std::string out = Name();
  EXPECT_EQ(mbconvertnativefile(in.c_str(), out.c_str(), 0, CODESET_EUC_J), 1);
  std::string converted = Read(out);
  // Text mode may write line ends as CR LF where the platform does so.
  EXPECT_TRUE(converted == "\xA4\xA2\nx\n" || converted == "\xA4\xA2\r\nx\r\n") << converted;
  EXPECT_EQ(mbconvertnativefile("/nonexistent/gnutil", out.c_str(), 0, CODESET_EUC_J), 0);
}

}  // namespace
