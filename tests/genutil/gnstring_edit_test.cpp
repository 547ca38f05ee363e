// CGNString's classification, searching and editing: tables of {text, call,
// result, bytes} walked through every allocation failure, also by characters in
// the legacy locales, in rejected text and beyond the BMP; aligned byte cuts.
#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include <string>
#include <tuple>

#include "genutil/textscan.h"
#include "gnutil/gnstring.h"
#include "support/gnstring_fixtures.h"

namespace {

using gnutil::testing::FailAllocationAfter;
using gnutil_test::Bytes;
using gnutil_test::Probe;

// A call on s, holding text: READ gives a result and changes nothing, EDIT
// changes s, ROW does both, PART writes into d (holding "old"). In texts, 1, 2,
// L, U and T stand for g1, g2, gL, gU and gT (X expands them; legacy rows set them).
const char *g1 = "1", *g2 = "2", *gL = "L", *gU = "U", *gT = "T";
constexpr long kAny = LONG_MIN;  // a result not looked at
const char* const kNull = nullptr;
struct Row {
  const char* text;
  const char* call;
  long (*run)(CGNString& s, CGNString& d);
  long result;
  std::string expected;  // s afterwards, or d for a PART
  bool part;
};
// clang-format off
#define ROW_(text, call, value, result, expected, part)                                     \
  {text, #call, [](CGNString& s, CGNString& d) -> long { return (void)s, (void)d, value; }, \
   result, expected, part}
// clang-format on
#define ROW(text, call, result, expected) ROW_(text, call, (call), result, expected, false)
#define READ(text, call, result) ROW_(text, call, (call), result, text, false)
#define EDIT(text, call, expected) ROW_(text, call, ((call), 0L), 0, expected, false)
#define PART(text, call, expected) ROW_(text, call, ((call), 0L), 0, expected, true)

std::string Expand(const std::string& in) {
  static const char kKeys[] = "12LUT";
  const char* const* kChars[] = {&g1, &g2, &gL, &gU, &gT};
  std::string out;
  for (char c : in) {
    const char* key = c != '\0' ? strchr(kKeys, c) : nullptr;
    out += key != nullptr ? std::string(*kChars[key - kKeys]) : std::string(1, c);
  }
  return out;
}
#define X(text) Expand(text).c_str()

// Runs each row, and again with each allocation failing in turn: a call that
// throws leaves s and d as they were.
template <size_t n>
void RunRows(const Row (&rows)[n], bool expand) {
  for (const Row& r : rows) {
    const std::string text = expand ? Expand(r.text) : r.text;
    const std::string expected = expand ? Expand(r.expected) : r.expected;
    SCOPED_TRACE(std::string(r.text) + " " + r.call);
    bool finished = false;
    for (int after = -1; after < 12 && !finished; ++after) {
      CGNString s(text.c_str()), d("old");
      FailAllocationAfter(after);
      try {
        long result = r.run(s, d);
        FailAllocationAfter(-1);
        finished = after >= 0;
        EXPECT_TRUE(r.result == kAny || result == r.result) << "result " << result;
        EXPECT_EQ(Bytes(r.part ? d : s), expected);
        EXPECT_TRUE(!r.part || Bytes(s) == text) << "the source changed";
      } catch (const GMemoryException&) {
        FailAllocationAfter(-1);
        EXPECT_EQ(Bytes(s), text) << "failing after " << after;
        EXPECT_EQ(Bytes(d), "old") << "failing after " << after;
      }
    }
  }
}

TEST(Classification, OneCharacterOrAll) {
  using Test = unsigned char (CGNString::*)(int) const;
  const Test kTests[] = {&CGNString::IsAlphaAt, &CGNString::IsAlphaNumAt, &CGNString::IsDigitAt,
                         &CGNString::IsLowerAt, &CGNString::IsUpperAt,    &CGNString::IsPrintAt,
                         &CGNString::IsPunctAt, &CGNString::IsSpaceAt,    &CGNString::IsXDigitAt};
  // -1: every character. Expected: alpha alnum digit lower upper print punct
  // space xdigit ('-': either; Windows prints a tab).
  const std::tuple<const char*, int, const char*> kCases[] = {
      {"", -1, "110111011"},      {"", 0, "000000000"},        {"123", -1, "011001001"},
      {"123", 2, "011001001"},    {"123", 3, "000000000"},     {"123", -2, "000000000"},
      {"aB1 .f", 0, "110101001"}, {"aB1 .f", 1, "110011001"},  {"aB1 .f", 3, "000001010"},
      {"aB1 .f", 4, "000001100"}, {"aB1 .f", -1, "000001000"}, {"a\x01z", -1, "000000000"},
      {" \t\n", -1, "00000-010"}, {"!?", -1, "000001100"}};
  for (const auto& [text, index, expect] : kCases) {
    CGNString s(text);
    for (size_t t = 0; t < 9; ++t) {
      if (expect[t] == '-') continue;
      EXPECT_EQ((s.*kTests[t])(index), expect[t] - '0') << text << " " << index << " " << t;
    }
  }
}

// clang-format off
TEST(Edit, Reads) {
  // Find: from a start below the count; FindFirstOf/NotOf: how many from start
  // (out of range: the count); ReverseFind: the first character of its argument;
  // == compares lengths too; Number reads like atol.
  const Row kRows[] = {
      READ("abcabc", s.Find("bc"), 1), READ("abcabc", s.Find("bc", 2), 4),
      READ("abcabc", s.Find("bc", 5), -1), READ("abcabc", s.Find("", 3), 3),
      READ("abcabc", s.Find("", 6), -1), READ("abcabc", s.Find("a", -1), -1),
      READ("abcabc", s.Find(static_cast<const char*>(nullptr)), 0),
      READ("abcabc", s.Find(CGNString("cab")), 2), READ("", s.Find("", 0), -1),
      READ("abcabc", s.StrChr(3, 'c'), 5), READ("abcabc", s.StrChr(6, 'c'), -1),
      READ("abcabc", s.ReverseFind("b"), 4), READ("abcabc", s.ReverseFind("ca"), 5),
      READ("abcabc", s.ReverseFind("z"), -1), READ("Hello", s.IsEqualNoCase("hELLO"), 1),
      READ("ab  cd", s.FindFirstNotOf(" ", 2), 2), READ("ab  cd", s.FindFirstOf(" ", 0), 2),
      READ("ab  cd", s.FindFirstOf(" ", 4), 2), READ("ab  cd", s.FindFirstOf("dc", 1), 3),
      READ("ab  cd", s.FindFirstOf(" ", -1), 6), READ("ab  cd", s.FindFirstNotOf(" ", 9), 6),
      READ("ab  cd", s.FindFirstOf("", 0), 6), READ("ab  cd", s.FindFirstNotOf("", 1), 0),
      READ("Hello", s.IsEqualNoCase("Hello!"), 0), READ("", s.IsEqualNoCase(CGNString()), 1),
      READ("abc", s.Collate("abd") < 0, 1),
      READ("b", s.Collate("a") > 0, 1), READ("", s.Collate("a") < 0, 1),
      READ("a19b", s.IsNumAt(1) + 2 * s.IsNumAt(2) + 4 * s.IsNumAt(0) + 8 * s.IsNumAt(4), 3),
      READ("abc1", s.IsAlpha(), 1), READ("ab c", s.IsAlpha(), 0), READ("ab_", s.IsAlpha(), 0),
      READ("", s == kNull, 1), READ("a", s == kNull, 0), READ("a", s != kNull, 1),
      READ("abc", s == "abc", 1), READ("abc", s != "abd", 1),
      READ("abc", s == CGNString("abc", 40), 1), READ("ab", s == (CGNString("ab") += '\0'), 0),
      READ("  42abc", s.Number(), 42), READ("", s.Number(), 0), READ("-17", s.Number(), -17),
      READ("+5x", s.Number(), 5), READ("x5", s.Number(), 0)};
  RunRows(kRows, false);
}

TEST(Edit, Parts) {
  // A negative SubStr count means to the end, a negative MidString start is
  // past any end; the trims remove only blanks.
  const Row kRows[] = {
      PART("abcdef", s.SubStr(d, 2, 3), "cde"), PART("abcdef", s.SubStr(d, 6, 1), ""),
      PART("abcdef", s.SubStr(d, 2, -7), "cdef"), PART("abcdef", s.SubStr(d, 4, 100), "ef"),
      PART("abcdef", s.MidString(d, 1, 2), "bc"), PART("abcdef", s.MidString(d, -1, 2), ""),
      PART("abc", s.LeftString(d, 2), "ab"), PART("abc", s.RightString(d, 2), "bc"),
      PART("abc", s.RightString(d, 0), ""), PART("abc", s.RightString(d, 10), "abc"),
      PART("abcdef", s.LeftStringInBytes(d, 4), "abcd"),
      PART("abcdef", s.LeftStringInBytes(d, 0), ""), PART("abc", s.LeftStringInBytes(d, 10), "abc"),
      PART("  a b  ", s.LeftTrim(d), "a b  "), PART("  a b  ", s.RightTrim(d), "  a b"),
      PART("  a b  ", s.LeftRightTrim(d), "a b"), PART("\t a \t", s.LeftRightTrim(d), "\t a \t"),
      PART("    ", s.LeftTrim(d), ""), PART("    ", s.RightTrim(d), ""),
      EDIT(" xy ", s.LeftRightTrim(s), "xy"), EDIT("xy", s.LeftString(s, 1), "x")};
  RunRows(kRows, false);
}

TEST(Edit, InPlace) {
  static const unsigned short kWide[] = {'w', 'x', 'y', 'z', 0}, kDE[] = {'d', 'e', 0};
  // TruncateAt: the first character of its argument; InsertAt: the number of
  // characters inserted, as an unsigned char; Replace never searches what it
  // put in; CopyNBytes pads with NUL.
  const Row kRows[] = {
      EDIT("abcdef", s.SetAt(2, 'X'), "abXdef"), EDIT("abc", s += "tail", "abctail"),
      EDIT("abc", s = "other", "other"), EDIT("abc", s = CGNString(s), "abc"),
      EDIT("xy", s += s, "xyxy"), EDIT("xy", s += static_cast<const char*>(s) + 1, "xyy"),
      EDIT("xyz", s = static_cast<const char*>(s) + 2, "z"), EDIT("abc", s.Set(s), "abc"),
      EDIT("abc", s += kDE, "abcde"), EDIT("abc", s += kNull, "abc"),
      EDIT("abc", s += '\0', std::string("abc\0", 4)),
      EDIT("abcdef", s.SubStr(1, 3), "bcd"), EDIT("abcdef", s.SubStrInBytes(1, 2), "bc"),
      EDIT("abcdef", s.SubStrInBytes(3), "def"), EDIT("abcdef", s.SubStrInBytes(1, 0), ""),
      EDIT("abcdef", s.SubStrInBytes(9, 1), ""), EDIT("abcdef", s.Truncate(10), "abcdef"),
      EDIT("abcdef", s.Truncate(4), "abcd"), EDIT("k=v=x", s.TruncateAt('='), "k"),
      EDIT("k=v=x", s.TruncateAt("z"), "k=v=x"), EDIT("key", s.TruncateAt("ey"), "k"),
      EDIT("abc def", s.ToUpper(), "ABC DEF"), EDIT("ABC DEF", s.ToLower(4), "ABC dEF"),
      EDIT("xyz", s.ToUpper(-5), "xyz"), ROW("abc", s.InsertAt(0, ""), 0, "abc"),
      ROW("abc", s.InsertAt(4, "x"), 0, "abc"), ROW("abc", s.InsertAt(-1, "x"), 0, "abc"),
      ROW("abc", s.InsertAt(3, "de"), 2, "abcde"), ROW("abc", s.InsertAt(1, "XY"), 2, "aXYbc"),
      ROW("abc", s.InsertAt(0, s), 3, "abcabc"),
      ROW("ab", s.InsertAt(1, std::string(300, 'z').c_str()), 300 % 256,
          "a" + std::string(300, 'z') + "b"),
      ROW("abcdef", s.RemoveAt(1, 100), 1, "a"), ROW("abcdef", s.RemoveAt(2, 2), 1, "abef"),
      ROW("abcdef", s.RemoveAt(6, 1), 0, "abcdef"), ROW("abcdef", s.RemoveAt(-1, 1), 0, "abcdef"),
      ROW("abcdef", s.RemoveAt(0, -1), 0, "abcdef"), EDIT("aaaa", s.Replace("aa", "a"), "aa"),
      EDIT("aaa", s.Replace("aa", "b"), "ba"), EDIT("xaxbx", s.Replace("x", nullptr), "ab"),
      EDIT("abab", s.Replace("ab", "abab"), "abababab"), EDIT("keep", s.Replace("", "x"), "keep"),
      EDIT("keep", s.Replace(nullptr, "x"), "keep"), EDIT("keep", s.Replace("keep", ""), ""),
      EDIT("a-b-c", s.Replace('-', '+'), "a+b+c"), EDIT("", s.CopyUntil("k=v", "="), "k"),
      EDIT("", s.CopyUntil("no stop", "#"), "no stop"), EDIT("", s.CopyUntil("a::b", "::"), "a"),
      EDIT("x", s.CopyUntil(nullptr, "x"), ""), EDIT("", s.CopyUntil("line\nnext", '\n'), "line"),
      EDIT("x=", s.AppendUntil("1;2", ";"), "x=1"), EDIT("x=", s.AppendUntil("abc", 'c'), "x=ab"),
      EDIT("", s.CopyNBytes("ab", 4), std::string("ab\0\0", 4)),
      EDIT("", s.CopyNBytes("abcdef", 3), "abc"), EDIT("abc", s.CopyNBytes(s, 2), "ab"),
      EDIT("abc", s.CopyNBytes(nullptr, 3), ""), EDIT("", s.CopyNChars("ab", 10), "ab"),
      EDIT("", s.CopyNChars(kWide, 2), "wx"), EDIT("abc", s.CopyNChars(kNull, 2), ""),
      EDIT("wx", s.AppendNChars("12345", 2), "wx12")};
  RunRows(kRows, false);
}
// clang-format on

TEST(Edit, BuffersAfterwards) {
  Probe s("abc def", 40);
  s.ToUpper();
  EXPECT_EQ(s.Capacity(), 7u);  // rebuilt: capacity = length
  s.SubStrInBytes(0, 2);        // drops the wide copy that ToUpper made
  EXPECT_EQ(s.Wide(), nullptr);
  EXPECT_EQ(s.GetNumChars(), 2u);
}

// The same calls by characters, in each legacy locale.
class LegacyEdit : public gnutil_test::LegacyText {
 protected:
  void SetUp() override {
    LegacyText::SetUp();
    g1 = GetParam().first;
    g2 = GetParam().second;
    gL = GetParam().fullLower;
    gU = GetParam().fullUpper;
    gT = g2 + strlen(g2) - 1;  // its trail byte
  }
};

// clang-format off
TEST_P(LegacyEdit, CallsCountCharacters) {
  // A byte count ending inside a character keeps nothing of it; a stop text
  // equal to a trail byte (ASCII in Shift-JIS and Big5) does not match inside
  // the character.
  const Row kRows[] = {
      PART("1x2y", s.SubStr(d, 1, 2), "x2"), PART("1x2y", s.LeftString(d, 3), "1x2"),
      PART("1x2y", s.RightString(d, 2), "2y"), PART("1x2y", s.MidString(d, 2, 1), "2"),
      PART("1x2y", s.LeftStringInBytes(d, strlen(g1) - 1), ""),
      PART("1x2y", s.LeftStringInBytes(d, strlen(g1) + 2), "1x"),
      READ("1x2y", s.GetNumChars(), 4), READ("1x2y", s.Find(g2), 2), READ("1x2y", s.Find("y"), 3),
      READ("1x2y", s.Find(g2, 3), -1), READ("1x2y", s.StrChr(0, 'y'), 3),
      READ("1x2y", s.ReverseFind(g1), 0), READ("1x2y", s.FindFirstOf(g2, 0), 2),
      READ("1x2y", s.FindFirstNotOf(g1, 0), 1), EDIT("1x2y", s.Truncate(2), "1x"),
      EDIT("1x2y", s.TruncateAt(g2), "1x"), ROW("1x2y", s.InsertAt(1, g2), 1, "12x2y"),
      ROW("1x2y", s.RemoveAt(0, 2), 1, "2y"), EDIT("1x2y", s.Replace(g2, "--"), "1x--y"),
      EDIT("x--y", s.Replace("--", g1), "x1y"), EDIT("", s.CopyNChars(X("1x2y"), 3), "1x2"),
      EDIT("1x2", s.AppendNChars(X("1x2y"), 1), "1x21"), EDIT("", s.CopyUntil(X("1=2"), '='), "1"),
      EDIT("", s.CopyUntil(X("2Tz"), gT), "2"), READ("La", s.IsLowerAt(0), 1),
      READ("La", s.IsEqualNoCase(X("UA")), 1), READ("UA", s.IsUpperAt(-1), 1),
      EDIT("La", s.ToUpper(), "UA"), EDIT("UA", s.ToLower(1), "Ua")};
  RunRows(kRows, true);
}

GNUTIL_LEGACY_LOCALES(LegacyEdit);

// Text that mixes characters and bytes the locale rejects has fewer wide
// units than GetNumChars (which counts its bytes): no edit may lose a byte of
// either operand, and GetNumChars is still a valid place to insert at the end.
TEST(EditRejectedBytes, NoEditLosesAByte) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  g1 = "\x82\xA0\x82";  // a character, then a lead byte with no trail byte
  static const unsigned short kHangul[] = {'a', 0xAC00, 'b', 0};
  const Row kRows[] = {
      ROW("1", s.InsertAt(s.GetNumChars(), "Z"), 1, "1Z"), ROW("1", s.InsertAt(2, "Z"), 1, "1Z"),
      ROW("1", s.InsertAt(s.GetNumChars() + 1, "Z"), 0, "1"),
      ROW("a1 b1", s.InsertAt(1, s), kAny, "aa1 b11 b1"), ROW("xy", s.InsertAt(1, g1), kAny, "x1y"),
      EDIT("a-b-", s.Replace("-", g1), "a1b1"),
      EDIT("a1 b1", s.Replace(X("1 "), "+"), "a+b1"),
      EDIT("a1 b1", s.RightString(s, 2), "1"), ROW("a1 b1", s.RemoveAt(0, 2), 1, "\x82 b1"),
      EDIT("a\x82 b", s.Replace("b", "c"), "a\x82 c"), EDIT("a\x82 b", s.ToUpper(), "A\x82 B"),
      READ("a1 b1", s.Find(X("1 ")), 1), READ("a\x82 b", s.IsAlphaAt(1), 0),
      EDIT("", s = CGNString(kHangul), "ab")};  // a character the code set lacks is left out
  RunRows(kRows, true);
}

TEST(EditUnicode, CharactersBeyondTheBmpTakeTwoIndexes) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  g1 = "\xF0\x9D\x84\x9E";  // U+1D11E, two units
  g2 = "\xC3\xA9";          // e acute, and its capital
  gU = "\xC3\x89";
  const Row kRows[] = {
      READ("a1b", s.GetNumChars(), 4), READ("a1b", s.Find(g1), 1), READ("a1b", s.Find("b"), 3),
      READ("a1b", s.ReverseFind(g1), 1), READ("a", s.Collate(X("a1b")) < 0, 1),
      EDIT("a1b", s.TruncateAt(g1), "a"), EDIT("a1b", s.Replace(g1, "-"), "a-b"),
      EDIT("a1b", s.ToUpper(), "A1B"), EDIT("", s.CopyNChars(X("a1bcd"), 2), "a"),
      EDIT("", s.CopyNChars(X("a1bcd"), 3), "a1"),
      EDIT("", s.CopyNChars(X("a1bcd"), 4), "a1b"),
      READ("2x2", s.IsAlphaAt(-1), 1), EDIT("2x2", s.ToUpper(), "UXU"),
      READ("UXU", s.IsEqualNoCase(X("2X2")), 1)};
  RunRows(kRows, true);
}
// clang-format on

TEST(AlignedPrefix, CutsBeforeASplitCharacter) {
  InitMbutil();
  InitMbutilExt(CODESET_EUC_TW);
  const char text[] =
      "a\x8E\xA2\xA1\xA1"
      "b";  // a, a four-byte character, b
  const size_t kCuts[][2] = {{0, 0}, {1, 1}, {3, 1}, {4, 1}, {5, 5}, {100, 6}};
  for (const auto& c : kCuts) EXPECT_EQ(gnutil::AlignedPrefix(text, c[0]), c[1]) << c[0];
  EXPECT_EQ(gnutil::AlignedPrefix("ab\0cd", 4), 2u);  // stops at a NUL
  EXPECT_EQ(gnutil::AlignedPrefix(nullptr, 4), 0u);
  InitMbutilExt(CODESET_SJIS);
  // As a string copy of n bytes would: the text ends there, nothing is split.
  EXPECT_EQ(gnutil::AlignedPrefix("ab\x82", 3), 3u);
  EXPECT_EQ(gnutil::AlignedPrefix("ab\x82\xA0", 3), 2u);
}

}  // namespace
