// CGNString: buffers, copies and the wide copy, classification, tables of
// edits and formats walked through every allocation failure (also in the
// legacy locales, in rejected text and beyond the BMP), the sprintf estimate.
#include "gnutil/gnstring.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <tuple>
#include <vector>

#include "genutil/widetext.h"
#include "support/gnstring_fixtures.h"

namespace {

using gnutil::testing::FailAllocationAfter;
using namespace gnutil_test;  // NOLINT: the suite's fixtures and helpers

TEST(StringValue, GetStringNeverOverrunsNorSplits) {
  const std::tuple<int, const char*, unsigned, unsigned> kCases[] = {
      {CODESET_NONE, "abcdef", 0, 0},
      {CODESET_NONE, "ab", 4, 2},
      {CODESET_SJIS, "a\x82\xA0z", 3, 1},
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

// Characters of each legacy locale, also as the characters of the edit tables.
const char *g1 = "1", *g2 = "2", *gL = "L", *gU = "U", *gT = "T";
class LegacyString : public LegacyText {
 protected:
  void SetUp() override {
    LegacyText::SetUp();
    g1 = GetParam().first;
    g2 = GetParam().second;
    gL = GetParam().fullLower;
    gU = GetParam().fullUpper;
    gT = g2 + strlen(g2) - 1;  // its trail byte
  }
  // first, x, second, y, another
  std::string Text() const { return Sample() + GetParam().other; }
};

TEST_P(LegacyString, CharactersOneByOneAndTheWideRoundTrip) {
  CGNString s(Text().c_str()), rebuilt;
  EXPECT_EQ(s.GetNumChars(), 5u);
  char buf[16];
  for (int i = 0; i < 5; ++i) rebuilt += s.GetCodePageCharAt(i, buf);
  EXPECT_EQ(Bytes(rebuilt), Text());

  CGNString p(Sample().c_str(), 20);
  EXPECT_TRUE(p.SetCodePageCharAt(0, b_.c_str()));
  EXPECT_FALSE(p.SetCodePageCharAt(4, "z"));  // index == character count
  p.SetAt(2, 'c');                            // a multibyte character replaced by one byte
  EXPECT_EQ(Bytes(p), b_ + "xcy");

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
  std::string broken = text + PosixOrWindows("\xFF", "\x81 ") + text;
  CGNString b(broken.c_str());
  EXPECT_EQ(b.GetNumChars(), broken.size());
  b.SetAt(0, text[0]);
  EXPECT_EQ(Bytes(b), broken);
}

GNUTIL_LEGACY_LOCALES(LegacyString);

TEST(WideConversion, SmallRoomNeverOverrunsAfterAPair) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  // Two ASCII, one character beyond the BMP (two units), then more text.
  const char text[] = "((\xF0\x9F\x98\x80xyz";
  unsigned short units[8] = {0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777, 0x7777};
  EXPECT_EQ(gnutil::ToUnits(units, 4, text, strlen(text)), 4u);
  EXPECT_EQ(units[4], 0x7777);
  EXPECT_EQ(gnutil::ToUnits(units, 3, text, strlen(text)), 2u);  // the pair does not fit
  std::string text2;  // pairs across many conversion runs
  while (text2.size() < 20000) text2 += "\xE3\x81\x82\xF0\x9F\x98\x80q";  // 1 + 2 + 1 units
  EXPECT_EQ(CGNString(text2.c_str()).GetNumChars(), text2.size() / 8 * 4);
}

TEST(WideConversion, IncompleteCharacterAtTheEndIsInvalidNotDropped) {
  GNUTIL_USE_LOCALE("zh_TW.euctw");
  // 0x8E 0xA1 starts a four-byte character that the text cuts short.
  EXPECT_EQ(CGNString("\x8E\xA1").GetNumChars(), 2u);
  CGNString t("\x8E\x8E\xFB\x8E");
  t.Replace("\x8E\xA1", "x");  // must end, and find nothing
  EXPECT_EQ(Bytes(t), "\x8E\x8E\xFB\x8E");
}

// A call on s, holding text: READ gives a result and changes nothing, EDIT
// changes s, ROW does both, PART writes into d (holding "old"). In texts, 1, 2,
// L, U and T stand for g1, g2, gL, gU and gT (X expands them; legacy rows set them).
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
void RunRows(const Row (&rows)[n], bool expand, bool walk = true) {
  for (const Row& r : rows) {
    const std::string text = expand ? Expand(r.text) : r.text;
    const std::string expected = expand ? Expand(r.expected) : r.expected;
    SCOPED_TRACE(std::string(r.text) + " " + r.call);
    bool finished = false;
    for (int after = -1; after < (walk ? 12 : 0) && !finished; ++after) {
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

TEST(Edit, Reads) {
  // Find: from a start below the count; FindFirstOf/NotOf: how many from start
  // (out of range: the count); ReverseFind: the first character of its argument;
  // == compares lengths too; Number reads like atol.
  const Row kRows[] = {
      READ("abcabc", s.Find("bc", 2), 4),
      READ("abcabc", s.Find("", 6), -1),
      READ("abcabc", s.Find(static_cast<const char*>(nullptr)), 0),
      READ("abcabc", s.StrChr(3, 'c'), 5),
      READ("abcabc", s.ReverseFind("ca"), 5),
      READ("Hello", s.IsEqualNoCase("hELLO"), 1),
      READ("ab  cd", s.FindFirstNotOf(" ", 2), 2),
      READ("ab  cd", s.FindFirstOf("dc", 1), 3),
      READ("ab  cd", s.FindFirstOf(" ", -1), 6),
      READ("ab  cd", s.FindFirstOf("", 0), 6),
      READ("a19b", s.IsNumAt(1) + 2 * s.IsNumAt(2) + 4 * s.IsNumAt(0) + 8 * s.IsNumAt(4), 3),
      READ("", s == kNull, 1),
      READ("ab", s == (CGNString("ab") += '\0'), 0),
      READ("  42abc", s.Number(), 42)};
  RunRows(kRows, false);
}

TEST(Edit, Parts) {
  // A negative SubStr count means to the end, a negative MidString start is
  // past any end; the trims remove only blanks.
  const Row kRows[] = {
      PART("abcdef", s.SubStr(d, 2, 3), "cde"),       PART("abcdef", s.SubStr(d, 2, -7), "cdef"),
      PART("abcdef", s.MidString(d, -1, 2), ""),      PART("    ", s.RightTrim(d), ""),
      PART("abc", s.RightString(d, 2), "bc"),         PART("abc", s.RightString(d, 10), "abc"),
      PART("  a b  ", s.LeftTrim(d), "a b  "),        PART("  a b  ", s.RightTrim(d), "  a b"),
      PART("\t a \t", s.LeftRightTrim(d), "\t a \t"), EDIT(" xy ", s.LeftRightTrim(s), "xy")};
  RunRows(kRows, false);
}

TEST(Edit, InPlace) {
  static const unsigned short kWide[] = {'w', 'x', 'y', 'z', 0};
  // TruncateAt: the first character of its argument; InsertAt: the number of
  // characters inserted, as an unsigned char; Replace never searches what it
  // put in; CopyNBytes pads with NUL.
  const Row kRows[] = {EDIT("abcdef", s.SetAt(2, 'X'), "abXdef"),
                       EDIT("xy", s += s, "xyxy"),
                       EDIT("xy", s += static_cast<const char*>(s) + 1, "xyy"),
                       EDIT("xyz", s = static_cast<const char*>(s) + 2, "z"),
                       EDIT("abc", s += '\0', std::string("abc\0", 4)),
                       EDIT("abcdef", s.SubStrInBytes(1, 2), "bc"),
                       EDIT("abcdef", s.SubStrInBytes(1, 0), ""),
                       EDIT("k=v=x", s.TruncateAt('='), "k"),
                       EDIT("key", s.TruncateAt("ey"), "k"),
                       EDIT("ABC DEF", s.ToLower(4), "ABC dEF"),
                       ROW("abc", s.InsertAt(4, "x"), 0, "abc"),
                       ROW("abc", s.InsertAt(3, "de"), 2, "abcde"),
                       ROW("abc", s.InsertAt(0, s), 3, "abcabc"),
                       ROW("ab", s.InsertAt(1, std::string(300, 'z').c_str()), 300 % 256,
                           "a" + std::string(300, 'z') + "b"),
                       ROW("abcdef", s.RemoveAt(1, 100), 1, "a"),
                       EDIT("xaxbx", s.Replace("x", nullptr), "ab"),
                       EDIT("abab", s.Replace("ab", "abab"), "abababab"),
                       EDIT("keep", s.Replace("", "x"), "keep"),
                       EDIT("a-b-c", s.Replace('-', '+'), "a+b+c"),
                       EDIT("", s.CopyUntil("a::b", "::"), "a"),
                       EDIT("x=", s.AppendUntil("1;2", ";"), "x=1"),
                       EDIT("", s.CopyNBytes("ab", 4), std::string("ab\0\0", 4)),
                       EDIT("abc", s.CopyNBytes(s, 2), "ab"),
                       EDIT("", s.CopyNChars(kWide, 2), "wx"),
                       EDIT("wx", s.AppendNChars("12345", 2), "wx12")};
  RunRows(kRows, false);
}

// The same calls by characters, in each legacy locale.

TEST_P(LegacyString, EditsCountCharacters) {
  // A byte count ending inside a character keeps nothing of it; a stop text
  // equal to a trail byte (ASCII in Shift-JIS and Big5) does not match inside
  // the character.
  const Row kRows[] = {PART("1x2y", s.SubStr(d, 1, 2), "x2"),
                       PART("1x2y", s.LeftStringInBytes(d, strlen(g1) - 1), ""),
                       PART("1x2y", s.LeftStringInBytes(d, strlen(g1) + 2), "1x"),
                       READ("1x2y", s.ReverseFind(g1), 0),
                       EDIT("1x2y", s.TruncateAt(g2), "1x"),
                       ROW("1x2y", s.InsertAt(1, g2), 1, "12x2y"),
                       ROW("1x2y", s.RemoveAt(0, 2), 1, "2y"),
                       EDIT("1x2y", s.Replace(g2, "--"), "1x--y"),
                       EDIT("x--y", s.Replace("--", g1), "x1y"),
                       EDIT("", s.CopyNChars(X("1x2y"), 3), "1x2"),
                       EDIT("", s.CopyUntil(X("2Tz"), gT), "2"),
                       READ("La", s.IsEqualNoCase(X("UA")), 1),
                       EDIT("La", s.ToUpper(), "UA")};
  RunRows(kRows, true);
}

// Rejected bytes give fewer wide units than GetNumChars (which counts them):
// no edit loses a byte of either operand, and GetNumChars is still the end.
TEST(EditRejectedBytes, NoEditLosesAByte) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  g1 = "\x82\xA0\x82";  // a character, then a lead byte with no trail byte
  static const unsigned short kHangul[] = {'a', 0xAC00, 'b', 0};
  const Row kRows[] = {
      ROW("1", s.InsertAt(s.GetNumChars(), "Z"), 1, "1Z"),
      ROW("1", s.InsertAt(s.GetNumChars() + 1, "Z"), 0, "1"),
      ROW("a1 b1", s.InsertAt(1, s), kAny, "aa1 b11 b1"),
      ROW("xy", s.InsertAt(1, g1), kAny, "x1y"),
      EDIT("a-b-", s.Replace("-", g1), "a1b1"),
      EDIT("a1 b1", s.Replace(X("1 "), "+"), "a+b1"),
      EDIT("a1 b1", s.RightString(s, 2), "1"),
      ROW("a1 b1", s.RemoveAt(0, 2), 1, "\x82 b1"),
      EDIT("a\x82 b", s.ToUpper(), "A\x82 B"),
      READ("a1 b1", s.Find(X("1 ")), 1),
      EDIT("", s = CGNString(kHangul), "ab")};  // a character the code set lacks is left out
  RunRows(kRows, true);
}

// (glibc's UTF-8 decoder accepts sequences beyond U+10FFFF; the wide copy
// carries their bytes one by one, and no edit loses one of them.)
TEST(EditUnicode, CharactersBeyondTheBmpTakeTwoIndexes) {
  GNUTIL_USE_LOCALE("ja_JP.utf8");
  g1 = "\xF0\x9D\x84\x9E";  // U+1D11E, two units
  g2 = "\xC3\xA9";          // e acute, and its capital
  gU = "\xC3\x89";
  const Row kRows[] = {READ("a1b", s.GetNumChars(), 4),
                       READ("a1b", s.Find(g1), 1),
                       READ("a", s.Collate(X("a1b")) < 0, 1),
                       EDIT("a1b", s.TruncateAt(g1), "a"),
                       EDIT("a1b", s.Replace(g1, "-"), "a-b"),
                       EDIT("", s.CopyNChars(X("a1bcd"), 4), "a1b"),
                       EDIT("2x2", s.ToUpper(), "UXU"),
                       READ("UXU", s.IsEqualNoCase(X("2X2")), 1),
                       EDIT("\n\xf5\x8b\x8d\x8b\xf8\x88\x80\x80\x80",
                            (s.ExpandQuotes('\''), s.ExpandSpecials(), s.UnexpandSpecials()),
                            "\n\xf5\x8b\x8d\x8b\xf8\x88\x80\x80\x80")};
  RunRows(kRows, true);
}

const std::string kSep = PosixOrWindows("/", "\\");
const char* const kDirWithSep = PosixOrWindows("d/", "d\\");

long SplitName(CGNString& s) {
  CGNString name, extension;
  s.SplitFileName(name, extension);
  return s = (Bytes(name) + "|" + Bytes(extension)).c_str(), 0;
}

// Six escapes written and five read, numeric ones in a window of three
// characters; line counts with a byte for every LF; file names split at either
// separator and the first dot, joined by exactly one separator.
TEST(Format, EscapesLineEndsAndFileNames) {
  const Row kRows[] = {
      EDIT("it's", s.ExpandQuotes('\''), "it''s"),
      EDIT("a'''b", s.UnexpandQuotes('\''), "a''b"),
      EDIT("\b\n\f\r\"\\", s.ExpandSpecials(), "\\b\\n\\f\\r\\\"\\\\"),
      EDIT("tab\t\x07\x0b", s.ExpandSpecials(), "tab\t\x07\x0b"),
      EDIT("\\n\\t\\r\\b\\\\", s.UnexpandSpecials(), "\n\t\r\b\\"),
      EDIT("\\q", s.UnexpandSpecials(), "\\q"),
      EDIT("\\300", s.UnexpandSpecials(), "\0360"),
      EDIT("a\\000b", s.UnexpandSpecials(), "ab"),
      ROW("a\nb\r\n", OSClientFormatString(s), 7, "a\r\nb\r\n"),
      ROW("a\r\nb\r\n", OSServerFormatString(s), 4, "a\nb\n"),
      ROW("a\rb\r", OSServerFormatString(s), 4, "a\rb\r"),
      READ("\na\n", OSClientGetNumLines(s), 1),
      READ("a\r\nb\r\n", s.GetNumLines(), 2),
      EDIT("c:\\dir/file.txt", (s.SplitFilePath(s, d), s += "|", s += d), "c:\\dir|file.txt"),
      EDIT("file.txt", SplitName(s), "file|txt"),
      EDIT("my.dir\\file", SplitName(s), "my|dir\\file"),
      ROW("c:/dir", s.MakeFilePath(s, "a.txt"), 1, "c:/dir" + kSep + "a.txt"),
      ROW(kDirWithSep, s.MakeFilePath(s, "a.txt"), 1, kDirWithSep + std::string("a.txt")),
      EDIT("1longfilename.text", s.ForceTo8By3(), "xlongfil.tex"),
      EDIT("x-y_z!.c++", s.ForceTo8By3(), "xxyxzx.cxx")};
  RunRows(kRows, false, false);  // (the walk of failures: FormatShortage)
  char buf[] = "a\r\nb\r\r\nc\r";
  EXPECT_EQ(OSDosToUnix(buf), 1);
  EXPECT_STREQ(buf, "a\nb\r\nc\r");
}

TEST(Format, Sprintf) {
  CGNString s("keep");
  auto result = [&s](int n) { return std::to_string(n) + ":" + Bytes(s); };
  EXPECT_EQ(result(s.sprintf("%s", "")), "0:keep");  // an empty result leaves the string alone
  EXPECT_EQ(result(s.sprintf(nullptr)), "-1:keep");
  EXPECT_EQ(result(s.sprintf("%d-%s-%c|%5.1f|%-4x|", 42, "abc", 'z', 2.5, 255u)),
            "20:42-abc-z|  2.5|ff  |");
  // Long results, and results beyond the estimate (an E conversion counts 4).
  std::string big(100000, 'q');
  EXPECT_EQ(result(s.sprintf("%9000.2E", 1.5)), "9000:" + std::string(8992, ' ') + "1.50E+00");
  for (size_t pad : {8185u, 8190u}) {  // just under and over the fixed buffer by the estimate
    big.assign(pad, 'b');
    EXPECT_EQ(result(s.sprintf("%s%E", big.c_str(), 1.0)),
              std::to_string(pad + 12) + ":" + big + "1.000000E+00");
  }
}

TEST(FormatShortage, ScratchFailsSilentlyTheRestThrows) {
  CGNString s("it's \"x\"\n"), f;
  s.ExpandQuotes('a');  // builds the wide copy
  for (int edit = 0; edit < 3; ++edit) {
    FailAllocationAfter(0);
    edit == 0 ? s.ExpandQuotes('\'') : edit == 1 ? s.UnexpandQuotes('\'') : s.ExpandSpecials();
    EXPECT_EQ(Bytes(s), "it's \"x\"\n") << edit;
  }
  for (bool unexpand : {true, false}) {
    CGNString lines("a\\nb\n");
    FailAllocationAfter(0);
    EXPECT_THROW(unexpand ? lines.UnexpandSpecials() : lines.ClientFormat(), GMemoryException);
    EXPECT_EQ(Bytes(lines), "a\\nb\n");
  }
  FailAllocationAfter(0);
  EXPECT_THROW(f.sprintf("%9000d", 1), GMemoryException);  // beyond the fixed buffer
  EXPECT_TRUE(f.IsEmpty());
  FailAllocationAfter(1);  // a short result needs no heap before the string's own buffer
  EXPECT_EQ(f.sprintf("%d", 123), 3);
  FailAllocationAfter(-1);
  EXPECT_EQ(Bytes(f), "123");
}

// A trail byte that is a backslash (Shift-JIS, Big5) is neither an escape nor
// a separator.
TEST_P(LegacyString, TrailBytesAreNotEscapesOrSeparators) {
  const std::string k = strchr(GetParam().other, '\\') ? GetParam().other : b_;
  CGNString s(("a" + k + "n").c_str()), path(("c:\\" + k + "\\f.txt").c_str()), name;
  s.UnexpandSpecials();
  s.ExpandSpecials();
  s.ExpandQuotes('\\');
  EXPECT_EQ(Bytes(s), "a" + k + "n");
  path.SplitFilePath(path, name);
  EXPECT_EQ(Bytes(path) + "|" + Bytes(name), "c:\\" + k + "|f.txt");
  CGNString dir(("d" + k).c_str());
  EXPECT_EQ(dir.MakeFilePath(dir, "a.txt"), 1);
  EXPECT_EQ(Bytes(dir), "d" + k + kSep + "a.txt");
}

TEST(FormatShiftJis, CutsKeepWholeCharacters) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  // 日本語ファイル.テキスト: cut at 8 and 3 bytes.
  CGNString name("\x93\xfa\x96\x7b\x8c\xea\x83\x74\x83\x40\x83\x43\x83\x8b.\x83\x65\x83\x4c");
  name.ForceTo8By3();
  EXPECT_EQ(Bytes(name), "\x93\xfa\x96\x7b\x8c\xea\x83\x74.\x83\x65");
  // The server's length of n bytes: half-width katakana take one byte in
  // Shift-JIS and two in EUC.
  char kana[] = "\xb1\xb2\xb3", hyo[] = "a\x95\x5c";
  const std::tuple<char*, int, int> kLengths[] = {
      {kana, 6, 3}, {kana, 4, 2}, {hyo, 3, 3}, {hyo, 0, 0}, {nullptr, 3, 0}};
  for (const auto& [text, n, length] : kLengths) {
    EXPECT_EQ(OSFindPlatformStringLength(text, n), length) << n;
  }
}

}  // namespace
