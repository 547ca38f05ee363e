// CGNString's escapes, formatting, placeholders, line ends and file names:
// tables of {call, input, result, output}; the same in the legacy locales,
// where a trail byte may be a backslash; the sprintf estimate; memory shortage.
#include <gtest/gtest.h>
#include <string.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "genutil/format_estimate.h"
#include "gnutil/gnstring.h"
#include "support/gnstring_fixtures.h"

namespace {

using gnutil::testing::FailAllocationAfter;
using gnutil_test::Bytes;

const std::string kSep = gnutil_test::PosixOrWindows("/", "\\");

// The calls, by letter; P and F give their two parts joined by "|".
// clang-format off
long Call(CGNString& s, char call) {
  CGNString a, b;  // (empty: no allocation)
  switch (call) {
    case 'Q': return s.ExpandQuotes('\''), 0;
    case 'q': return s.UnexpandQuotes('\''), 0;
    case 'B': return s.ExpandQuotes('\\'), 0;
    case 'E': return s.ExpandSpecials(), 0;
    case 'U': return s.UnexpandSpecials(), 0;
    case 'C': return OSClientFormatString(s);
    case 'S': return OSServerFormatString(s);
    case 'c': return s.ClientFormat(), 0;
    case 's': return s.ServerFormat(), 0;
    case 'n': return OSClientGetNumLines(s);
    case 'N': return s.GetNumLines();
    case '8': return s.ForceTo8By3(), 0;
    case 'P': return s.SplitFilePath(s, a), s += ("|" + Bytes(a)).c_str(), 0;  // into itself
    case 'F': return s.SplitFileName(a, b), s = (Bytes(a) + "|" + Bytes(b)).c_str(), 0;
    case 'M': return s.MakeFilePath(s, "a.txt");  // the directory is the string itself
  }
  return -1;
}
// clang-format on

std::string After(const std::string& in, char call) {
  CGNString s(in.c_str());
  Call(s, call);
  return Bytes(s);
}

struct Case {
  char call;
  std::string in;
  long result;
  std::string out;
};

void RunCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    CGNString s(c.in.c_str());
    EXPECT_EQ(Call(s, c.call), c.result) << c.call << " " << c.in;
    EXPECT_EQ(Bytes(s), c.out) << c.call << " " << c.in;
  }
}

// Quotes doubled and undoubled; six escapes written and five read, numeric
// ones in a window of three characters (two above 255), 0 writing nothing.
// Line ends, whose count has a byte for every LF, also one that had its CR.
// File names: separators of both kinds, the first dot for the extension, one
// separator added between directory and name.
// clang-format off
TEST(Format, EscapesLineEndsAndFileNames) {
  RunCases({
      {'Q', "it's", 0, "it''s"}, {'Q', "'x'", 0, "''x''"}, {'q', "a'''b", 0, "a''b"},
      {'Q', "", 0, ""}, {'q', "", 0, ""},
      {'E', "\b\n\f\r\"\\", 0, "\\b\\n\\f\\r\\\"\\\\"}, {'E', "tab\t\x07\x0b", 0, "tab\t\x07\x0b"},
      {'U', "\\n\\t\\r\\b\\\\", 0, "\n\t\r\b\\"}, {'U', "\\f\\\"", 0, "\\f\\\""},
      {'U', "\\q", 0, "\\q"}, {'U', "end\\", 0, "end\\"}, {'U', "\\\\\\n", 0, "\\\n"},
      {'U', "\\x\\n", 0, "\\x\n"}, {'U', "\\065x", 0, "Ax"}, {'U', "\\300", 0, "\0360"},
      {'U', "\\255", 0, "\xff"}, {'U', "\\2599", 0, "\03199"}, {'U', "\\1ab", 0, "\x01"},
      {'U', "\\12", 0, "\x0c"}, {'U', "\\7", 0, "\x07"}, {'U', "a\\000b", 0, "ab"},
      {'U', "\\0091", 0, "\t1"},
      {'C', "a\nb\r\n", 7, "a\r\nb\r\n"}, {'S', "a\r\nb\r\n", 4, "a\nb\n"},
      {'S', "a\rb\r", 4, "a\rb\r"}, {'C', "a\rb\r", 4, "a\rb\r"}, {'C', "a\r\n", 4, "a\r\n"},
      {'C', "", 0, ""}, {'S', "", 0, ""}, {'c', "\nx", 0, "\r\nx"}, {'s', "\r\nx", 0, "\nx"},
      {'n', "\na\n", 1, "\na\n"}, {'N', "\na\n", 1, "\na\n"}, {'n', "a\nb\nc\n", 3, "a\nb\nc\n"},
      {'n', "", 0, ""}, {'N', "a\r\nb\r\n", 2, "a\r\nb\r\n"},
      {'P', "c:\\dir/file.txt", 0, "c:\\dir|file.txt"}, {'P', "readme", 0, "|readme"},
      {'F', "file.txt", 0, "file|txt"}, {'F', "readme", 0, "readme|"},
      {'F', "my.dir\\file", 0, "my|dir\\file"},
      {'M', "c:/dir", 1, "c:/dir" + kSep + "a.txt"}, {'M', "d" + kSep, 1, "d" + kSep + "a.txt"},
      {'M', "", 1, kSep + "a.txt"},
      {'8', "1longfilename.text", 0, "xlongfil.tex"}, {'8', "my file.tar.gz", 0, "myxfilex.gz"},
      {'8', "README.TXT", 0, "README.TXT"}, {'8', ".profile", 0, "xprofile"},
      {'8', "a.b.c", 0, "axb.c"}, {'8', "trailing.", 0, "trailing"},
      {'8', "x-y_z!.c++", 0, "xxyxzx.cxx"}, {'8', "12345678901", 0, "x2345678"}, {'8', "", 0, ""}});
  const std::string text = "line\r\nnext\\path\ttab\bback";  // no form feed or quote
  EXPECT_EQ(After(After(text, 'E'), 'U'), text);
  char buf[] = "a\r\nb\r\r\nc\r";
  EXPECT_EQ(OSDosToUnix(buf), 1);
  EXPECT_STREQ(buf, "a\nb\r\nc\r");
  EXPECT_EQ(OSDosToUnix(nullptr), 0);
}
// clang-format on

std::string Load(const char* loaded, std::vector<const char*> a) {
  a.resize(10, nullptr);
  CGNString s(loaded);  // no string 999 in this program: the text stays as loaded
  s.LoadStringResource(999, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
  return Bytes(s);
}

TEST(Format, Placeholders) {
  EXPECT_EQ(Load("$1 of $2", {"3", "7"}), "3 of 7");
  EXPECT_EQ(Load("$1 of $2", {"3"}), "3 of ");
  EXPECT_EQ(Load("$1 of $2", {}), "$1 of $2");
  // $01 is 1; $3 has no argument; $100 is text; an empty argument writes nothing.
  EXPECT_EQ(Load("$01|$1|$3|$2$100|$|$x|$", {"a", "b"}), "a|a||b$100|$|$x|$");
  EXPECT_EQ(Load("$01|$1|$3|$2$100|$|$x|$", {"a", "", "c"}), "a|a|c|$100|$|$x|$");
  EXPECT_EQ(Load("$10 $1 $9", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "ten"}), "ten 1 9");
  EXPECT_EQ(Load("$10 $1 $9", {"1", nullptr, "3", "4", "5", "6", "7", "8", "9", "ten"}), " 1 ");
  const std::string big(3000, 'y');  // at most 1999 bytes
  EXPECT_EQ(Load("$1 of $2", {big.c_str(), "7"}), big.substr(0, 1999));
  EXPECT_EQ(Load("$1 of $2", {big.c_str() + 1004, "7"}), big.substr(1004) + " of");
}

TEST(Format, Sprintf) {
  CGNString s("keep");
  auto result = [&s](int n) { return std::to_string(n) + ":" + Bytes(s); };
  EXPECT_EQ(result(s.sprintf("%s", "")), "0:keep");  // an empty result leaves the string alone
  EXPECT_EQ(result(s.sprintf2("%s", "")), "0:keep");
  EXPECT_EQ(result(s.sprintf(nullptr)), "-1:keep");
  EXPECT_EQ(result(s.sprintf("%d-%s-%c|%5.1f|%-4x|", 42, "abc", 'z', 2.5, 255u)),
            "20:42-abc-z|  2.5|ff  |");
  EXPECT_EQ(result(s.sprintf("a%cb", 0)), std::string("3:a\0b", 5));
  EXPECT_EQ(result(s.sprintf2("%05d", 7)), "5:00007");
  // Long results, and results beyond the estimate (an E conversion counts 4).
  std::string big(100000, 'q');
  EXPECT_EQ(result(s.sprintf("[%s]", big.c_str())), "100002:[" + big + "]");
  EXPECT_EQ(result(s.sprintf2("%s", big.c_str())), "100000:" + big);
  EXPECT_EQ(result(s.sprintf("%9000.2E", 1.5)), "9000:" + std::string(8992, ' ') + "1.50E+00");
  for (size_t pad : {8185u, 8190u}) {  // just under and over the fixed buffer by the estimate
    big.assign(pad, 'b');
    EXPECT_EQ(result(s.sprintf("%s%E", big.c_str(), 1.0)),
              std::to_string(pad + 12) + ":" + big + "1.000000E+00");
  }
}

// Arguments from lists, recording what the estimate took.
struct ListArgs : gnutil::FormatArgs {
  std::vector<int> ints;
  std::vector<const char*> strings;
  std::string taken;
  size_t i = 0, s = 0;
  int NextInt() override { return taken += 'i', i < ints.size() ? ints[i++] : 0; }
  void SkipInteger(int length) override { taken += length == 0 ? 'd' : static_cast<char>(length); }
  void SkipDouble(bool longDouble) override { taken += longDouble ? 'D' : 'f'; }
  void SkipPointer() override { taken += 'p'; }
  const char* NextString() override { return taken += 's', s < strings.size() ? strings[s++] : ""; }
  const wchar_t* NextWideString() override { return taken += 'w', L"wide"; }
};

// A string counts its length raised to the width and cut to the precision
// (null: "(null)"); an unknown conversion ends the walk; huge widths saturate.
// clang-format off
TEST(FormatEstimate, TakesTheArgumentsPrintfTakes) {
  // Format, ints, strings, estimate (0: not looked at), arguments taken.
  const std::tuple<const char*, std::vector<int>, std::vector<const char*>, size_t, const char*>
      kCases[] = {
      {"%d %ld %lld %Lf %E %hd %zu %jd %td %c %p %n %s %m %.*f", {}, {}, 0, "dlLDfdzjtdppsif"},
      {"%*.*s", {12, 2}, {"abcdef"}, 2, "iis"}, {"%10s%s", {}, {"abc", nullptr}, 16, "ss"},
      {"%ls", {}, {}, 4, "w"}, {"%d%y%s", {}, {}, 36, "d"}, {"abc%-5", {}, {}, 3, ""},
      {"%99999999999999999999999d%99999999999999999999s", {}, {""}, size_t(-1) / 4, "ds"}};
  for (const auto& [format, ints, strings, expected, taken] : kCases) {
    ListArgs args;
    args.ints = ints;
    args.strings = strings;
    const size_t estimate = gnutil::EstimateFormattedLength(format, args);
    EXPECT_EQ(expected ? estimate : 0, expected) << format;
    EXPECT_EQ(args.taken, taken) << format;
  }
  EXPECT_EQ(gnutil::EstimateFormattedLength(nullptr, *std::make_unique<ListArgs>()), 0u);
}
// clang-format on

TEST(FormatShortage, ScratchFailsSilentlyTheRestThrows) {
  CGNString s("it's \"x\"\n"), f;
  s.ExpandQuotes('a');  // builds the wide copy
  for (char call : {'Q', 'q', 'E'}) {
    FailAllocationAfter(0);
    Call(s, call);
    EXPECT_EQ(Bytes(s), "it's \"x\"\n") << call;
  }
  for (char call : {'U', 'c'}) {
    CGNString lines("a\\nb\n");
    FailAllocationAfter(0);
    EXPECT_THROW(Call(lines, call), GMemoryException);
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

// glibc's UTF-8 decoder accepts sequences beyond U+10FFFF; the wide copy
// carries their bytes one by one, and no edit loses one of them.
TEST(FormatWideCopy, BytesBeyondUnicodeSurviveAnEdit) {
  GNUTIL_USE_LOCALE("C.UTF-8");
  const std::string text = "\n\xf5\x8b\x8d\x8b\xf8\x88\x80\x80\x80";
  EXPECT_EQ(After(After(After(text, 'Q'), 'E'), 'U'), text);
}

// A trail byte that is a backslash (Shift-JIS, Big5) is neither an escape nor
// a separator.
class LegacyFormat : public gnutil_test::LegacyText {};

TEST_P(LegacyFormat, TrailBytesAreNotEscapesOrSeparators) {
  const std::string k = strchr(GetParam().other, '\\') ? GetParam().other : b_;
  RunCases({{'U', "a" + k + "n", 0, "a" + k + "n"},
            {'E', "a" + k + "n", 0, "a" + k + "n"},
            {'P', "c:\\" + k + "\\f.txt", 0, "c:\\" + k + "|f.txt"},
            {'B', "a" + k + "n", 0, "a" + k + "n"},
            {'M', "d" + k, 1, "d" + k + kSep + "a.txt"}});
}

GNUTIL_LEGACY_LOCALES(LegacyFormat);

TEST(FormatShiftJis, CutsKeepWholeCharacters) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  // 日本語ファイル.テキスト: cut at 8 and 3 bytes.
  EXPECT_EQ(After("\x93\xfa\x96\x7b\x8c\xea\x83\x74\x83\x40\x83\x43\x83\x8b.\x83\x65\x83\x4c", '8'),
            "\x93\xfa\x96\x7b\x8c\xea\x83\x74.\x83\x65");
  std::string big;
  for (int i = 0; i < 1500; ++i) big += "\x95\x5c";
  EXPECT_EQ(Load("x$1", {big.c_str()}).size(), 1999u);  // x and 999 characters
  EXPECT_EQ(Load("$1", {big.c_str()}).size(), 1998u);   // 1999 would split one
  // The server's length of n bytes: half-width katakana take one byte in
  // Shift-JIS and two in EUC.
  char kana[] = "\xb1\xb2\xb3", hyo[] = "a\x95\x5c";
  const std::tuple<char*, int, int> kLengths[] = {{kana, 6, 3}, {kana, 4, 2}, {kana, 2, 1},
                                                  {hyo, 3, 3},  {hyo, 0, 0},  {nullptr, 3, 0}};
  for (const auto& [text, n, length] : kLengths) {
    EXPECT_EQ(OSFindPlatformStringLength(text, n), length) << n;
  }
}

}  // namespace
