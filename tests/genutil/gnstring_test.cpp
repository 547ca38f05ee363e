// CGNString's value: buffers and capacity, copies and the wide (UTF-16) copy,
// bytes and characters in the legacy locales, and allocation failure.
#include "gnutil/gnstring.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <tuple>
#include <vector>

#include "genutil/widetext.h"
#include "support/gnstring_fixtures.h"
#include "support/joined.h"

namespace {

using gnutil::testing::FailAllocationAfter;
using gnutil_test::Bytes;
using gnutil_test::Join;
using gnutil_test::NoFailures;
using gnutil_test::Probe;

TEST(StringValue, DefaultNullAndEmptyShareOneEmptyText) {
  Probe a, b(static_cast<const char*>(nullptr)), c(static_cast<const unsigned short*>(nullptr));
  Probe d("text", 30);
  d.MakeWide();
  d.Empty();
  for (const Probe* p : {&a, &b, &c, &d}) {
    EXPECT_EQ(Join(Bytes(*p), p->Capacity(), p->Wide() == nullptr, p->IsEmpty() != 0,
                   p->Data() == a.Data()),
              "|0|1|1|1|");
  }
}

TEST(StringValue, CapacityRules) {
  Probe reserved("", 50), assigned, abc("abc", 10), s("hello");
  assigned = reserved;
  EXPECT_EQ(Probe(reserved).Capacity(), 0u);  // an empty source gives the initial state
  EXPECT_EQ(assigned.Capacity(), 50u);        // assignment keeps the source's capacity
  EXPECT_EQ(Probe("abc", -5).Capacity(), 3u);
  const char* before = abc.Data();
  abc += "defg";
  EXPECT_EQ(abc.Data(), before);  // no reallocation within capacity
  abc += "hijk";
  EXPECT_EQ(abc.Capacity(), 11u);  // exact growth, no spare room
  s.AllocateBuffer(2);
  EXPECT_EQ(s.GrowBytes(1), 5);  // never below the length
  s.MakeWide();
  EXPECT_EQ(s.GrowChars(1), 5);  // never below the wide length
  EXPECT_EQ(s.GrowChars(40), 40);
  EXPECT_EQ(Bytes(s) + static_cast<char>(s.Wide()[4]), "helloo");
}

// (The edit tables append and assign, also the string's own text.)
TEST(StringValue, AppendingDropsAndCopyingCopiesTheWideCopy) {
  Probe s("abc");
  s.MakeWide();
  s += CGNString();
  EXPECT_NE(s.Wide(), nullptr);  // an empty CGNString: nothing happens
  s += "";
  EXPECT_EQ(s.Wide(), nullptr);  // empty narrow text still discards it
  s.MakeWide();
  Probe b(s), c;
  c.Set(s);
  EXPECT_NE(s.Data(), b.Data());
  EXPECT_NE(s.Wide(), b.Wide());
  EXPECT_NE(c.Data(), s.Data());
  EXPECT_EQ(Bytes(c) + Bytes(b), "abcabc");
}

TEST(StringValue, GetStringNeverOverrunsNorSplits) {
  const std::tuple<int, const char*, unsigned, unsigned> kCases[] = {
      {CODESET_NONE, "abcdef", 4, 3},    {CODESET_NONE, "abcdef", 0, 0},
      {CODESET_NONE, "", 8, 0},          {CODESET_NONE, "ab", 4, 2},
      {CODESET_NONE, "ab", 16, 2},       {CODESET_SJIS, "a\x82\xA0z", 3, 1},
      {CODESET_SJIS, "a\x82\xA0z", 4, 3}};
  InitMbutil();
  for (const auto& [codeset, text, size, copied] : kCases) {
    InitMbutilExt(codeset);
    char buf[16];
    memset(buf, 'Z', sizeof buf);
    EXPECT_EQ(CGNString(text).GetString(buf, size), copied) << text << " " << size;
    EXPECT_EQ(std::string(buf, size ? copied + 1 : 1),
              size ? std::string(text, copied) + '\0' : "Z");
  }
}

// (The edit tables walk failures through SetAt, += and the assignments.)
TEST(StringAllocation, ConstructionThatFailsThrows) {
  NoFailures guard;
  const unsigned short wide[] = {'h', 'i', 0};
  for (int after = 0; after < 3; ++after) {
    FailAllocationAfter(after);
    try {
      CGNString w(wide), copy(w);
      EXPECT_EQ(Bytes(copy), "hi");
    } catch (const GMemoryException&) {
    }
  }
  FailAllocationAfter(0);
  EXPECT_THROW(CGNString("abc"), GMemoryException);
  CGNString s("abc");
  EXPECT_THROW(s.AllocateBuffer(0xFFFFFFFFu), GMemoryException);  // past 32 bits
  EXPECT_EQ(Bytes(s), "abc");
}

// Character access in each legacy locale: first, x, second, y, another.
class LegacyString : public gnutil_test::LegacyText {
 protected:
  std::string Text() const { return Sample() + GetParam().other; }
};

TEST_P(LegacyString, CharactersOneByOneAndTheWideRoundTrip) {
  CGNString s(Text().c_str()), rebuilt;
  EXPECT_EQ(s.GetLength(), Text().size());
  EXPECT_EQ(s.GetNumChars(), 5u);
  EXPECT_EQ(s.GetLengthInChars(), 5u);
  char buf[16];
  for (int i = 0; i < 5; ++i) rebuilt += s.GetCodePageCharAt(i, buf);
  EXPECT_EQ(Bytes(rebuilt), Text());
  EXPECT_STREQ(s.GetCodePageCharAt(5, buf), "");
  EXPECT_STREQ(s.GetCodePageCharAt(-1, buf), "");
  EXPECT_EQ(std::string() + s.GetAt(1) + s.GetAt(2), "x" + b_.substr(0, 1));  // by character

  Probe p(Sample().c_str(), 20);
  EXPECT_TRUE(p.SetCodePageCharAt(0, b_.c_str()));
  EXPECT_FALSE(p.SetCodePageCharAt(4, "z"));  // index == character count
  p.SetAt(2, 'c');                            // a multibyte character replaced by one byte
  EXPECT_EQ(Bytes(p), b_ + "xcy");
  EXPECT_EQ(p.Capacity(), p.GetLength());  // the narrow text was rebuilt

  std::wstring wide(Text().size() + 1, L'\0');  // the wide constructor and +=
  ASSERT_EQ(mbstowcs(&wide[0], Text().c_str(), wide.size()), 5u);
  std::vector<unsigned short> units(wide.begin(), wide.begin() + 6);  // with the NUL
  CGNString w(units.data()), t("<");
  t += units.data();
  EXPECT_EQ(Bytes(w) + Bytes(t), Text() + "<" + Text());
}

TEST_P(LegacyString, LongTextCountsMatchTheRuntimeAndBadBytesSurvive) {
  // Long texts cross many conversion runs.
  std::string text;
  while (text.size() < 20000) text += Text() + " ";
  EXPECT_EQ(CGNString(text.c_str()).GetNumChars(), mbstowcs(nullptr, text.c_str(), 0));
  // 0xFF is invalid in each of these, but Windows gives it a private-use
  // character in code pages 932 and 936; there a lead byte before a space is.
  std::string broken = text + gnutil_test::PosixOrWindows("\xFF", "\x81 ") + text;
  CGNString b(broken.c_str());
  EXPECT_EQ(b.GetNumChars(), broken.size());
  b.SetAt(0, text[0]);
  EXPECT_EQ(Bytes(b), broken);
}

GNUTIL_LEGACY_LOCALES(LegacyString);

TEST(StringUtf8, LongTextWithPairsCountsUtf16Units) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  std::string text;
  while (text.size() < 20000) text += "\xE3\x81\x82\xF0\x9F\x98\x80q";  // 1 + 2 + 1 units
  EXPECT_EQ(CGNString(text.c_str()).GetNumChars(), text.size() / 8 * 4);
}

TEST(WideConversion, SmallRoomNeverOverrunsAfterAPair) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  // Two ASCII, one character beyond the BMP (two units), then more text.
  const char text[] = "((\xF0\x9F\x98\x80xyz";
  unsigned short units[8] = {0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777};
  EXPECT_EQ(gnutil::ToUnits(units, 4, text, strlen(text)), 4u);
  EXPECT_EQ(units[4], 0x7777);
  EXPECT_EQ(gnutil::ToUnits(units, 3, text, strlen(text)), 2u);  // the pair does not fit
}

TEST(WideConversion, IncompleteCharacterAtTheEndIsInvalidNotDropped) {
  GNUTIL_USE_LOCALE("zh_TW.euctw");
  // 0x8E 0xA1 starts a four-byte character that the text cuts short.
  EXPECT_EQ(CGNString("\x8E\xA1").GetNumChars(), 2u);
  CGNString t("\x8E\x8E\xFB\x8E");
  t.Replace("\x8E\xA1", "x");  // must end, and find nothing
  EXPECT_EQ(Bytes(t), "\x8E\x8E\xFB\x8E");
}

}  // namespace
