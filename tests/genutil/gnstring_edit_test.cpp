// Searching and editing beyond the public promises: allocation failure in the
// middle of an edit, bytes the locale rejects, characters outside the BMP and
// the character-aligned byte cuts under each code set's rules.
#include <gtest/gtest.h>
#include <string.h>

#include <functional>
#include <string>

#include "genutil/alloc.h"
#include "genutil/textscan.h"
#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"
#include "support/test_locale.h"

namespace {

using gnutil::testing::FailAllocationAfter;

struct NoFailures {
  ~NoFailures() { FailAllocationAfter(-1); }
};

std::string Bytes(const CGNString& s) { return std::string(s, s.GetLength()); }

TEST(EditAllocation, AFailedEditLeavesTheValue) {
  NoFailures guard;
  // Walk the failure through every allocation of each edit: whatever fails,
  // the text is either the old value or the finished result.
  struct Edit {
    const char* name;
    void (*run)(CGNString&);
    const char* result;
  };
  const Edit kEdits[] = {
      {"Replace", [](CGNString& s) { s.Replace("b", "XY"); }, "aXYcaXYc"},
      {"InsertAt", [](CGNString& s) { s.InsertAt(1, CGNString("--")); }, "a--bcabc"},
      {"RemoveAt", [](CGNString& s) { s.RemoveAt(1, 2); }, "aabc"},
      {"ToUpper", [](CGNString& s) { s.ToUpper(); }, "ABCABC"},
      {"Truncate", [](CGNString& s) { s.Truncate(2); }, "ab"},
      {"TruncateAt", [](CGNString& s) { s.TruncateAt('c'); }, "ab"},
      {"SubStr", [](CGNString& s) { s.SubStr(1, 3); }, "bca"},
      {"CopyNChars", [](CGNString& s) { s.CopyNChars("xyz", 2); }, "xy"},
      {"CopyUntil", [](CGNString& s) { s.CopyUntil("k=v", '='); }, "k"},
  };
  for (const Edit& e : kEdits) {
    bool finished = false;
    for (int after = 0; after < 12 && !finished; ++after) {
      CGNString s("abcabc");
      FailAllocationAfter(after);
      try {
        e.run(s);
        finished = true;
        FailAllocationAfter(-1);
        EXPECT_STREQ(s, e.result) << e.name;
      } catch (const GMemoryException&) {
        FailAllocationAfter(-1);
        EXPECT_STREQ(s, "abcabc") << e.name << " failing after " << after;
        EXPECT_EQ(s.GetNumChars(), 6u) << e.name;
      }
    }
    EXPECT_TRUE(finished) << e.name;
  }
}

TEST(EditAllocation, ReadsThatFailThrow) {
  NoFailures guard;
  CGNString s("abc");
  FailAllocationAfter(0);
  EXPECT_THROW(s.Find("b"), GMemoryException);
  CGNString t("abc");
  FailAllocationAfter(0);
  EXPECT_THROW(t.IsAlphaAt(-1), GMemoryException);
}

TEST(EditInvalidBytes, RejectedBytesSurviveCharacterEdits) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // 0x82 followed by a blank is not a character in Shift-JIS; each rejected
  // byte counts as one character and comes back unchanged.
  CGNString s("a\x82 b");
  s.Replace("b", "c");
  EXPECT_EQ(Bytes(s), "a\x82 c");
  s.ToUpper();
  EXPECT_EQ(Bytes(s), "A\x82 C");
  EXPECT_EQ(s.Find(" "), 2);
  EXPECT_FALSE(s.IsAlphaAt(1));
  EXPECT_EQ(s.InsertAt(4, CGNString("!")), 1);
  EXPECT_EQ(Bytes(s), "A\x82 C!");
}

// Text that mixes characters and rejected bytes has fewer wide units than
// GetNumChars (which counts its bytes): no edit may lose a byte of either
// operand, and GetNumChars is still a valid place to insert at the end.
struct RejectedEdit {
  const char* name;
  std::string text;
  std::function<void(CGNString&)> edit;
  std::string expected;
};

TEST(EditInvalidBytes, NoEditLosesAByteOfRejectedText) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  const std::string cut = "\x82\xA0\x82";  // あ and a lead byte with no trail
  const std::string mixed = "a\x82\xA0\x82 b\x82\xA0\x82";
  const RejectedEdit kEdits[] = {
      {"insert at GetNumChars", cut, [](CGNString& s) { s.InsertAt(s.GetNumChars(), "Z"); },
       cut + "Z"},
      {"insert at the last unit", cut, [](CGNString& s) { s.InsertAt(2, "Z"); }, cut + "Z"},
      {"insert into itself", mixed, [](CGNString& s) { s.InsertAt(1, s); },
       "a" + mixed + "\x82\xA0\x82 b\x82\xA0\x82"},
      {"insert rejected text", "xy", [&](CGNString& s) { s.InsertAt(1, cut.c_str()); },
       "x" + cut + "y"},
      {"replace with rejected text", "a-b-", [&](CGNString& s) { s.Replace("-", cut.c_str()); },
       "a" + cut + "b" + cut},
      {"replace rejected text", mixed, [&](CGNString& s) { s.Replace((cut + " ").c_str(), "+"); },
       "a+b" + cut},
      {"right string", mixed, [](CGNString& s) { s.RightString(s, 2); }, cut},
      {"remove", mixed, [](CGNString& s) { s.RemoveAt(0, 2); }, "\x82 b" + cut},
  };
  for (const RejectedEdit& e : kEdits) {
    CGNString s(e.text.c_str());
    e.edit(s);
    EXPECT_EQ(Bytes(s), e.expected) << e.name;
  }
  CGNString s(mixed.c_str());
  EXPECT_EQ(s.Find((cut + " ").c_str()), 1);
  EXPECT_EQ(s.InsertAt(static_cast<int>(s.GetNumChars()) + 1, "Z"), 0);
  EXPECT_EQ(Bytes(s), mixed);
}

TEST(EditUnicode, CharactersBeyondTheBmpTakeTwoIndexes) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  const std::string clef = "\xF0\x9D\x84\x9E";  // U+1D11E
  CGNString s(("a" + clef + "b").c_str());
  EXPECT_EQ(s.GetNumChars(), 4u);
  EXPECT_EQ(s.Find(clef.c_str()), 1);
  EXPECT_EQ(s.Find("b"), 3);
  EXPECT_EQ(s.ReverseFind(clef.c_str()), 1);
  CGNString t(s);
  t.TruncateAt(clef.c_str());
  EXPECT_STREQ(t, "a");
  t = s;
  t.Replace(clef.c_str(), "-");
  EXPECT_STREQ(t, "a-b");
  t = s;
  t.ToUpper();
  EXPECT_EQ(Bytes(t), "A" + clef + "B");
  EXPECT_LT(CGNString("a").Collate(s), 0);
}

TEST(EditUnicode, CopyNCharsStopsInsideThePairThatDoesNotFit) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  const std::string clef = "\xF0\x9D\x84\x9E";  // two units
  const std::string text = "a" + clef + "bcd";
  CGNString s;
  s.CopyNChars(text.c_str(), 3);  // a pair before the last unit that fits
  EXPECT_EQ(Bytes(s), "a" + clef);
  s.CopyNChars(text.c_str(), 2);  // the pair does not fit whole
  EXPECT_EQ(Bytes(s), "a");
  s.CopyNChars(text.c_str(), 4);
  EXPECT_EQ(Bytes(s), "a" + clef + "b");
}

TEST(EditUnicode, CaseAndClassInUtf8) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  CGNString s("\xC3\xA9t\xC3\xA9");  // été
  EXPECT_TRUE(s.IsAlphaAt(-1));
  EXPECT_TRUE(s.IsLowerAt(0));
  s.ToUpper();
  EXPECT_STREQ(s, "\xC3\x89T\xC3\x89");
  EXPECT_TRUE(s.IsEqualNoCase(CGNString("\xC3\xA9T\xC3\xA9")));
  EXPECT_EQ(s.GetLength(), 5u);
  EXPECT_EQ(s.GetNumChars(), 3u);
}

// Byte cuts under each code set's rules.
TEST(AlignedPrefix, CutsBeforeASplitCharacter) {
  InitMbutil();
  InitMbutilExt(CODESET_EUC_TW);
  // a, a four-byte EUC-TW character, b
  const char text[] =
      "a\x8E\xA2\xA1\xA1"
      "b";
  EXPECT_EQ(gnutil::AlignedPrefix(text, 0), 0u);
  EXPECT_EQ(gnutil::AlignedPrefix(text, 1), 1u);
  EXPECT_EQ(gnutil::AlignedPrefix(text, 3), 1u);
  EXPECT_EQ(gnutil::AlignedPrefix(text, 4), 1u);
  EXPECT_EQ(gnutil::AlignedPrefix(text, 5), 5u);
  EXPECT_EQ(gnutil::AlignedPrefix(text, 100), 6u);
  EXPECT_EQ(gnutil::AlignedPrefix("ab\0cd", 4), 2u);  // stops at a NUL
  EXPECT_EQ(gnutil::AlignedPrefix(nullptr, 4), 0u);
}

TEST(AlignedPrefix, LoneLeadByteAtTheEndIsKept) {
  InitMbutil();
  InitMbutilExt(CODESET_SJIS);
  // As a string copy of n bytes would: the text ends there, nothing is split.
  EXPECT_EQ(gnutil::AlignedPrefix("ab\x82", 3), 3u);
  EXPECT_EQ(gnutil::AlignedPrefix("ab\x82\xA0", 3), 2u);
}

}  // namespace
