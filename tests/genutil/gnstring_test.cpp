// CGNString under allocation failure and with text that the locale rejects.
#include "gnutil/gnstring.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "genutil/alloc.h"
#include "genutil/widetext.h"
#include "support/test_locale.h"

namespace {

using gnutil::testing::FailAllocationAfter;

struct NoFailures {
  ~NoFailures() { FailAllocationAfter(-1); }
};

TEST(StringAllocation, EveryFailedAllocationThrows) {
  NoFailures guard;
  FailAllocationAfter(0);
  EXPECT_THROW(CGNString("abc"), GMemoryException);

  CGNString s("abc");
  FailAllocationAfter(0);
  EXPECT_THROW(s += "defgh", GMemoryException);
  EXPECT_STREQ(s, "abc");  // a failed append leaves the value as it was

  FailAllocationAfter(0);
  EXPECT_THROW(s = "other", GMemoryException);
  EXPECT_STREQ(s, "abc");

  FailAllocationAfter(0);
  EXPECT_THROW({ CGNString copy(s); }, GMemoryException);

  FailAllocationAfter(0);
  EXPECT_THROW(s.GetNumChars() == 0 ? void() : s.SetAt(0, 'x'), GMemoryException);

  const unsigned short wide[] = {'h', 'i', 0};
  for (int after = 0; after < 3; ++after) {
    FailAllocationAfter(after);
    try {
      CGNString w(wide);
      EXPECT_STREQ(w, "hi");
    } catch (const GMemoryException&) {
    }
  }
}

TEST(StringAllocation, EveryAllocationPointOfAnEditCanFail) {
  NoFailures guard;
  // Walk the failure through each allocation of a character edit; whatever
  // fails, nothing leaks (the sanitizer run checks) and the text is intact.
  for (int after = 0; after < 6; ++after) {
    CGNString s("abcdef");
    FailAllocationAfter(after);
    try {
      s.SetAt(2, 'X');
      s += "tail";
      CGNString copy(s);
      copy = s;
    } catch (const GMemoryException&) {
    }
    FailAllocationAfter(-1);
    std::string text = static_cast<const char*>(s);
    EXPECT_TRUE(text == "abcdef" || text == "abXdef" || text == "abXdeftail") << text;
  }
}

TEST(StringAllocation, LengthsBeyond32BitsAreRefused) {
  CGNString s("x");
  EXPECT_THROW(s.AllocateBuffer(0xFFFFFFFFu), GMemoryException);
  EXPECT_STREQ(s, "x");
}

TEST(StringCLocale, HighBytesAreKeptThroughCharacterEdits) {
  GNUTIL_USE_LOCALE("C");
  CGNString s("caf\xE9!");
  EXPECT_EQ(s.GetNumChars(), 5u);  // invalid in ASCII: counted in bytes
  s.SetAt(0, 'C');
  EXPECT_STREQ(s, "Caf\xE9!");
  EXPECT_EQ(static_cast<unsigned char>(s.GetAt(3)), 0xE9);
}

}  // namespace

namespace {

// Long texts cross many conversion runs; the counts must match the C
// runtime's own, and a bad byte far into the text must survive an edit.
struct LongCase {
  const char* locale;
  const char* piece;
};

void PrintTo(const LongCase& c, std::ostream* os) { *os << c.locale; }

class LongText : public ::testing::TestWithParam<LongCase> {};

TEST_P(LongText, CountsMatchTheRuntimeAndBadBytesSurvive) {
  GNUTIL_USE_LOCALE(GetParam().locale);
  std::string text;
  while (text.size() < 20000) text += GetParam().piece;
  CGNString s(text.c_str());
  // The runtime counts wchar_t; characters beyond the BMP are two UTF-16 units.
  std::wstring wide(text.size() + 1, L'\0');
  size_t n = mbstowcs(&wide[0], text.c_str(), wide.size());
  ASSERT_NE(n, static_cast<size_t>(-1));
  size_t units = n;
  // (A function, because with a 16-bit wchar_t the test is always false.)
  auto beyondBmp = [](unsigned long c) { return c > 0xFFFF; };
  for (size_t i = 0; i < n; ++i) units += beyondBmp(static_cast<unsigned long>(wide[i])) ? 1 : 0;
  EXPECT_EQ(s.GetNumChars(), units);

  // 0xFF is invalid in each of these, but Windows gives it a private-use
  // character in code pages 932 and 936; there a lead byte before a space is.
  std::string broken = text + gnutil_test::PosixOrWindows("\xFF", "\x81 ") + text;
  CGNString b(broken.c_str());
  EXPECT_EQ(b.GetNumChars(), broken.size());
  b.SetAt(0, text[0]);
  EXPECT_EQ(std::string(static_cast<const char*>(b)), broken);
}

INSTANTIATE_TEST_SUITE_P(Locales, LongText,
                         ::testing::Values(LongCase{"ja_JP.sjis", "\x82\xA0\x93\xFA\xB1 ab"},
                                           LongCase{"ja_JP.eucjp", "\xA4\xA2\x8E\xB1\x8F\xB0\xA1z"},
                                           LongCase{"zh_TW.big5", "\xA4\x40\xA4\xA4x"},
                                           LongCase{"zh_TW.euctw", "\xC4\xA1\x8E\xA2\xA1\xA1z"},
                                           LongCase{"ko_KR.euckr", "\xB0\xA1\xB3\xAA!"},
                                           LongCase{"zh_CN.gbk", "\xD6\xD0\xCE\xC4 "},
                                           LongCase{"ja_JP.utf8",
                                                    "\xE3\x81\x82\xF0\x9F\x98\x80q"}));

}  // namespace

namespace {

TEST(WideConversion, SmallRoomNeverOverrunsAfterAPair) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  // Two ASCII, one character beyond the BMP (two units), then more text:
  // converting into exactly four units must stop there.
  const char text[] = "((\xF0\x9F\x98\x80xyz";
  unsigned short units[8] = {0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777};
  EXPECT_EQ(gnutil::ToUnits(units, 4, text, strlen(text)), 4u);
  EXPECT_EQ(units[4], 0x7777);
  EXPECT_EQ(gnutil::ToUnits(units, 3, text, strlen(text)), 2u);  // the pair does not fit
}

}  // namespace
