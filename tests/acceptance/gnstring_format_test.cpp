// The exact promises of CGNString's escapes, formatting, string resources,
// line ends and file names, through the public API. The string resources
// come from this program's own table (acceptance.rc).
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"
#include "gnutil/osresource.h"
#include "support/test_locale.h"

namespace {

class Probe : public CGNString {
 public:
  using CGNString::CGNString;
  using CGNString::operator=;
  unsigned Capacity() const { return m_nDataCapacity; }
  bool HasWide() const { return m_pwzBuffer != nullptr; }
};

std::string Bytes(const CGNString& s) {
  return std::string(static_cast<const char*>(s), s.GetLength());
}

std::string Unexpand(const std::string& in) {
  CGNString s(in.c_str());
  s.UnexpandSpecials();
  return Bytes(s);
}

std::string Expand(const std::string& in) {
  CGNString s(in.c_str());
  s.ExpandSpecials();
  return Bytes(s);
}

#if defined(_WIN32)
const char kSep[] = "\\";
#else
const char kSep[] = "/";
#endif

// --- Quotes and escapes ---

TEST(Quotes, DoubledAndUndoubled) {
  CGNString s("it's");
  s.ExpandQuotes('\'');
  EXPECT_EQ("it''s", Bytes(s));
  s.UnexpandQuotes('\'');
  EXPECT_EQ("it's", Bytes(s));

  CGNString three("a'''b");
  three.UnexpandQuotes('\'');
  EXPECT_EQ("a''b", Bytes(three));

  CGNString edges("\"x\"");
  edges.ExpandQuotes('"');
  EXPECT_EQ("\"\"x\"\"", Bytes(edges));

  CGNString empty;
  empty.ExpandQuotes('\'');
  empty.UnexpandQuotes('\'');
  EXPECT_EQ("", Bytes(empty));
}

TEST(Specials, ExpandWritesSixEscapes) {
  EXPECT_EQ("a\\nb", Expand("a\nb"));
  EXPECT_EQ("tab\there", Expand("tab\there"));
  EXPECT_EQ("\\b\\n\\f\\r\\\"\\\\", Expand("\b\n\f\r\"\\"));
  EXPECT_EQ("\x07\x0b", Expand("\x07\x0b"));  // others stay
}

TEST(Specials, UnexpandReadsTheSimpleEscapes) {
  EXPECT_EQ("\n\t\r\b\\", Unexpand("\\n\\t\\r\\b\\\\"));
  EXPECT_EQ("\\q", Unexpand("\\q"));
  EXPECT_EQ("end\\", Unexpand("end\\"));
  EXPECT_EQ("\\", Unexpand("\\"));
  // ExpandSpecials writes these, but they are not read back.
  EXPECT_EQ("\\f\\\"", Unexpand("\\f\\\""));
  // The character after an unread backslash is read as usual.
  EXPECT_EQ("\\\n", Unexpand("\\\\\\n"));
  EXPECT_EQ("\\x\n", Unexpand("\\x\\n"));
}

TEST(Specials, NumericEscapesReadAWindowOfThree) {
  EXPECT_EQ("Ax", Unexpand("\\065x"));
  // Above 255 the window is two characters.
  EXPECT_EQ(std::string("\x1e") + "0", Unexpand("\\300"));
  EXPECT_EQ("\xff", Unexpand("\\255"));
  EXPECT_EQ(std::string("\x19") + "99", Unexpand("\\2599"));  // 25, then the 9s
  EXPECT_EQ("\x01", Unexpand("\\1ab"));                       // non-digits in the window drop
  EXPECT_EQ("\x0c", Unexpand("\\12"));                        // fewer characters at the end
  EXPECT_EQ("\x07", Unexpand("\\7"));
  EXPECT_EQ("ab", Unexpand("a\\000b"));  // the value 0 appends nothing
  EXPECT_EQ(std::string("\x09") + "1", Unexpand("\\0091"));
}

TEST(Specials, RoundTripWithoutFormFeedOrQuote) {
  const std::string text = "line\r\nnext\\path\ttab\bback";
  EXPECT_EQ(text, Unexpand(Expand(text)));
}

// --- Formatting ---

TEST(Sprintf, FormatsAndReturnsTheCount) {
  CGNString s;
  EXPECT_EQ(8, s.sprintf("%d-%s-%c", 42, "abc", 'z'));
  EXPECT_EQ("42-abc-z", Bytes(s));
  EXPECT_EQ(11, s.sprintf("%5.1f|%-4x|", 2.5, 255u));
  EXPECT_EQ("  2.5|ff  |", Bytes(s));
}

TEST(Sprintf, EmptyResultLeavesTheStringAlone) {
  CGNString s("keep");
  EXPECT_EQ(0, s.sprintf("%s", ""));
  EXPECT_EQ("keep", Bytes(s));
  EXPECT_EQ(0, s.sprintf2("%s", ""));
  EXPECT_EQ("keep", Bytes(s));
}

TEST(Sprintf, HundredThousandCharacterArgumentIsComplete) {
  std::string big(100000, 'q');
  big[99999] = 'Z';
  CGNString s;
  EXPECT_EQ(100002, s.sprintf("[%s]", big.c_str()));
  EXPECT_EQ(100002u, s.GetLength());
  EXPECT_EQ("[" + big + "]", Bytes(s));
}

TEST(Sprintf, OutputBeyondTheEstimateIsComplete) {
  // An E conversion counts 4 bytes in the estimate; a width makes it long.
  CGNString s;
  EXPECT_EQ(9000, s.sprintf("%9000.2E", 1.5));
  EXPECT_EQ(9000u, s.GetLength());
  EXPECT_EQ("1.50E+00", Bytes(s).substr(8992));
  // Just under the fixed buffer by the estimate, just over it in truth.
  std::string pad(8185, 'a');
  EXPECT_EQ(8197, s.sprintf("%s%E", pad.c_str(), 1.0));
  EXPECT_EQ(pad + "1.000000E+00", Bytes(s));
  // Over it by the estimate, and further over in truth.
  pad.assign(8190, 'b');
  EXPECT_EQ(8202, s.sprintf("%s%E", pad.c_str(), 1.0));
  EXPECT_EQ(pad + "1.000000E+00", Bytes(s));
}

TEST(Sprintf2, LongerThanItsBufferIsStillComplete) {
  std::string big(20000, 'w');
  CGNString s;
  EXPECT_EQ(20000, s.sprintf2("%s", big.c_str()));
  EXPECT_EQ(big, Bytes(s));
  EXPECT_EQ(5, s.sprintf2("%05d", 7));
  EXPECT_EQ("00007", Bytes(s));
}

// --- String resources ---

TEST(LoadStringResource, ReplacesNumberedPlaceholders) {
  CGNString s;
  s.LoadStringResource(1, "3", "7");
  EXPECT_EQ("3 of 7", Bytes(s));
  s.LoadStringResource(1, "3");
  EXPECT_EQ("3 of ", Bytes(s));
  s.LoadStringResource(1);
  EXPECT_EQ("$1 of $2", Bytes(s));  // no arguments: left as loaded
}

TEST(LoadStringResource, PlaceholderForms) {
  CGNString s;
  // $01 is 1; $3 has no argument; $10 has none either; $100 is text.
  s.LoadStringResource(2, "a", "b");
  EXPECT_EQ("a|a||b$100|$|$x|$", Bytes(s));
  s.LoadStringResource(2, "a", "", "c");
  EXPECT_EQ("a|a|c|$100|$|$x|$", Bytes(s));  // an empty argument writes nothing
  s.LoadStringResource(3, "1", "2", "3", "4", "5", "6", "7", "8", "9", "ten");
  EXPECT_EQ("ten 1 9", Bytes(s));
  // Arguments end at the first null one.
  s.LoadStringResource(3, "1", nullptr, "3", "4", "5", "6", "7", "8", "9", "ten");
  EXPECT_EQ(" 1 ", Bytes(s));
}

TEST(LoadStringResource, ResultHoldsAtMost1999Bytes) {
  std::string big(3000, 'y');
  CGNString s;
  s.LoadStringResource(1, big.c_str(), "7");
  EXPECT_EQ(1999u, s.GetLength());
  EXPECT_EQ(big.substr(0, 1999), Bytes(s));
  std::string almost(1996, 'y');
  s.LoadStringResource(1, almost.c_str(), "7");
  EXPECT_EQ(almost + " of", Bytes(s));
}

TEST(LoadStringResource, MissingResourceKeepsTheText) {
  CGNString s("$1 stays");
  s.LoadStringResource(999, "x");
  EXPECT_EQ("x stays", Bytes(s));
}

// --- Line ends ---

TEST(LineEnds, ClientAndServerForms) {
  CGNString s(std::string("a\nb\r\n").c_str());
  EXPECT_EQ(7, OSClientFormatString(s));
  EXPECT_EQ("a\r\nb\r\n", Bytes(s));
  EXPECT_EQ(4, OSServerFormatString(s));
  EXPECT_EQ("a\nb\n", Bytes(s));

  CGNString first("\nx");
  first.ClientFormat();
  EXPECT_EQ("\r\nx", Bytes(first));
  first.ServerFormat();
  EXPECT_EQ("\nx", Bytes(first));

  CGNString lone("a\rb\r");
  EXPECT_EQ(4, OSServerFormatString(lone));  // a CR alone stays
  EXPECT_EQ(4, OSClientFormatString(lone));

  // The result counts one byte for every LF, also one that had its CR.
  CGNString done("a\r\n");
  EXPECT_EQ(4, OSClientFormatString(done));
  EXPECT_EQ("a\r\n", Bytes(done));

  CGNString empty;
  EXPECT_EQ(0, OSClientFormatString(empty));
  EXPECT_EQ(0, OSServerFormatString(empty));
}

TEST(LineEnds, CountingLines) {
  CGNString s("\na\n");
  EXPECT_EQ(1, OSClientGetNumLines(s));
  EXPECT_EQ(1, s.GetNumLines());
  CGNString three("a\nb\nc\n");
  EXPECT_EQ(3, OSClientGetNumLines(three));
  CGNString none;
  EXPECT_EQ(0, OSClientGetNumLines(none));
  CGNString crlf("a\r\nb\r\n");
  EXPECT_EQ(2, crlf.GetNumLines());
}

TEST(LineEnds, DosToUnixInPlace) {
  char buf[] = "a\r\nb\r\r\nc\r";
  EXPECT_EQ(1, OSDosToUnix(buf));
  EXPECT_STREQ("a\nb\r\nc\r", buf);
  EXPECT_EQ(0, OSDosToUnix(nullptr));
}

TEST(PlatformLength, JapaneseTextIsMeasuredOnTheServer) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  // Half-width katakana take one byte in Shift-JIS and two in EUC.
  char kana[] = "\xb1\xb2\xb3";
  EXPECT_EQ(3, OSFindPlatformStringLength(kana, 6));
  EXPECT_EQ(2, OSFindPlatformStringLength(kana, 4));
  EXPECT_EQ(1, OSFindPlatformStringLength(kana, 2));
  // Two-byte characters are two bytes on both hosts.
  char hyo[] = "a\x95\x5c";
  EXPECT_EQ(3, OSFindPlatformStringLength(hyo, 3));
  EXPECT_EQ(0, OSFindPlatformStringLength(nullptr, 3));
  EXPECT_EQ(0, OSFindPlatformStringLength(hyo, 0));
}

TEST(PlatformLength, OtherLanguagesKeepTheLength) {
  GNUTIL_USE_LOCALE("en_US.utf8");
  char text[] = "abc";
  EXPECT_EQ(2, OSFindPlatformStringLength(text, 2));
  EXPECT_EQ(7, OSFindPlatformStringLength(text, 7));
}

// --- File names ---

TEST(FileNames, SplitPathAndName) {
  CGNString path("c:\\dir/file.txt"), dir, name, base, ext;
  path.SplitFilePath(dir, name);
  EXPECT_EQ("c:\\dir", Bytes(dir));
  EXPECT_EQ("file.txt", Bytes(name));
  name.SplitFileName(base, ext);
  EXPECT_EQ("file", Bytes(base));
  EXPECT_EQ("txt", Bytes(ext));

  CGNString plain("readme"), d("old"), n;
  plain.SplitFilePath(d, n);
  EXPECT_EQ("", Bytes(d));
  EXPECT_EQ("readme", Bytes(n));
  plain.SplitFileName(base, ext);
  EXPECT_EQ("readme", Bytes(base));
  EXPECT_EQ("", Bytes(ext));

  CGNString dotted("my.dir\\file");
  dotted.SplitFileName(base, ext);  // separators are not looked at
  EXPECT_EQ("my", Bytes(base));
  EXPECT_EQ("dir\\file", Bytes(ext));
}

TEST(FileNames, SplitIntoItself) {
  CGNString path("a/b/c.txt"), name;
  path.SplitFilePath(path, name);
  EXPECT_EQ("a/b", Bytes(path));
  EXPECT_EQ("c.txt", Bytes(name));
}

TEST(FileNames, MakeFilePathAddsOneSeparator) {
  const std::string dir = std::string("c:") + kSep + "dir";
  Probe s;
  EXPECT_EQ(1, s.MakeFilePath(CGNString(dir.c_str()), CGNString("a.txt")));
  EXPECT_EQ(dir + kSep + "a.txt", Bytes(s));
  EXPECT_GE(s.Capacity(), dir.size() + 5 + 1);
  s.MakeFilePath(CGNString((dir + kSep).c_str()), CGNString("a.txt"));
  EXPECT_EQ(dir + kSep + "a.txt", Bytes(s));
  s.MakeFilePath(CGNString(), CGNString("a.txt"));
  EXPECT_EQ(std::string(kSep) + "a.txt", Bytes(s));
  // The directory may be the string itself.
  s = "base";
  s.MakeFilePath(s, CGNString("leaf"));
  EXPECT_EQ(std::string("base") + kSep + "leaf", Bytes(s));
  EXPECT_FALSE(s.HasWide());
}

TEST(FileNames, ForceTo8By3) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"1longfilename.text", "xlongfil.tex"},
      {"my file.tar.gz", "myxfilex.gz"},
      {"readme", "readme"},
      {"README.TXT", "README.TXT"},
      {".profile", "xprofile"},
      {"a.b.c", "axb.c"},
      {"trailing.", "trailing"},
      {"x-y_z!.c++", "xxyxzx.cxx"},
      {"12345678901", "x2345678"},
      {"", ""},
  };
  for (const Case& c : cases) {
    CGNString s(c.in);
    s.ForceTo8By3();
    EXPECT_EQ(c.out, Bytes(s)) << c.in;
  }
}

// --- In a double-byte locale ---

// In Shift-JIS the second byte of 表 (0x95 0x5C) is a backslash.
const char kHyo[] = "\x95\x5c";

TEST(ShiftJis, SecondBytesAreNotEscapesOrSeparators) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  const std::string text = std::string("a") + kHyo + "n";
  EXPECT_EQ(text, Unexpand(text));
  CGNString q(text.c_str());
  q.ExpandQuotes('\\');
  EXPECT_EQ(text, Bytes(q));
  EXPECT_EQ(text, Expand(text));

  CGNString path((std::string("c:\\") + kHyo + "\\f.txt").c_str()), dir, name;
  path.SplitFilePath(dir, name);
  EXPECT_EQ(std::string("c:\\") + kHyo, Bytes(dir));
  EXPECT_EQ("f.txt", Bytes(name));

  CGNString made;
  made.MakeFilePath(CGNString((std::string("d") + kHyo).c_str()), CGNString("x"));
  EXPECT_EQ(std::string("d") + kHyo + kSep + "x", Bytes(made));
}

TEST(ShiftJis, EightThreeKeepsWholeCharacters) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // 日本語ファイル.テキスト: letters all, cut at 8 and 3 bytes.
  CGNString s("\x93\xfa\x96\x7b\x8c\xea\x83\x74\x83\x40\x83\x43\x83\x8b.\x83\x65\x83\x4c");
  s.ForceTo8By3();
  EXPECT_EQ("\x93\xfa\x96\x7b\x8c\xea\x83\x74.\x83\x65", Bytes(s));
}

TEST(ShiftJis, PlaceholderCutKeepsWholeCharacters) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  std::string big;
  for (int i = 0; i < 1500; ++i) big += kHyo;
  CGNString s;
  s.LoadStringResource(4, big.c_str());
  // "x" then 999 whole characters fill the 1999 bytes exactly.
  EXPECT_EQ(1999u, s.GetLength());
  CGNString t;
  t.LoadStringResource(1, big.c_str());  // starts at 0: 1999 splits a character
  EXPECT_EQ(1998u, t.GetLength());
}

}  // namespace
