// The initialisation-file engine: lookups and one-line edits on file text.
#include "os/config/ini.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_locale.h"

namespace {

using gnutil::ini::Find;
using gnutil::ini::NamesEqual;
using gnutil::ini::Set;

std::string Get(const std::string& text, const char* section, const char* key) {
  std::string v;
  return Find(text, section, key, &v) ? v : std::string("<none>");
}

std::string Put(const std::string& text, const char* section, const char* key, const char* value) {
  std::string out = "<unchanged>";
  EXPECT_TRUE(Set(text, section, key, value, &out));
  return out;
}

TEST(IniFind, NamesIgnoreCaseAndBlanksValuesAreTrimmedAndUnquoted) {
  const std::string text =
      "; leading comment\n"
      "  [ Main ]  \n"
      "Name = Value with spaces  \n"
      "\tQuoted=\"  kept blanks \"\n"
      "Single='x'\n"
      "Mismatched=\"x'\n"
      "Lone=\"\n"
      "Empty=\n"
      "Equals=a=b\n"
      "NoEquals\n"
      ";Commented=1\n";
  EXPECT_EQ(Get(text, "main", "NAME"), "Value with spaces");
  EXPECT_EQ(Get(text, "MAIN ", " name"), "Value with spaces");
  EXPECT_EQ(Get(text, "Main", "quoted"), "  kept blanks ");
  EXPECT_EQ(Get(text, "Main", "Single"), "x");
  EXPECT_EQ(Get(text, "Main", "Mismatched"), "\"x'");
  EXPECT_EQ(Get(text, "Main", "Lone"), "\"");
  EXPECT_EQ(Get(text, "Main", "Empty"), "");
  EXPECT_EQ(Get(text, "Main", "Equals"), "a=b");
  EXPECT_EQ(Get(text, "Main", "NoEquals"), "<none>");
  EXPECT_EQ(Get("[s]\nk\nk=1\n", "s", "k"), "<none>");  // a key without value hides the next
  EXPECT_EQ(Get(text, "Main", "Commented"), "<none>");
  EXPECT_EQ(Get(text, "Main", ";Commented"), "<none>");
  EXPECT_EQ(Get(text, "Other", "Name"), "<none>");
}

TEST(IniFind, FirstSectionAndFirstEntryWinLinesBeforeAnyHeaderAreTheNamelessSection) {
  const std::string text =
      "Orphan=1\n"
      "[a]\nk=first\nk=second\n"
      "[b]\nk=b\n"
      "[A]\nk=third\nonly=here\n";
  EXPECT_EQ(Get(text, "a", "k"), "first");
  EXPECT_EQ(Get(text, "a", "only"), "<none>");
  EXPECT_EQ(Get(text, "b", "k"), "b");
  EXPECT_EQ(Get(text, "", "Orphan"), "1");  // before any header: the nameless section
  EXPECT_EQ(Get(text, "a", ""), "<none>");
  EXPECT_EQ(Get("[a]\n = e\n", "A", " "), "e");
}

TEST(IniFind, LineEndsLastLineWithoutNewlineAndByteOrderMark) {
  EXPECT_EQ(Get("[s]\r\nk=v\r\n", "s", "k"), "v");
  EXPECT_EQ(Get("[s]\nk=v", "s", "k"), "v");
  EXPECT_EQ(Get("\xEF\xBB\xBF[s]\nk=v\n", "s", "k"), "v");
  EXPECT_EQ(Get("[s", "s", "k"), "<none>");
  EXPECT_EQ(Get("[s\nk=v", "s", "k"), "<none>");  // an unclosed header opens no section
  EXPECT_EQ(Get("[s]\n[t\nk=v", "s", "k"), "v");
  EXPECT_EQ(Get("[a]b]\nk=v", "a]b", "k"), "v");
  EXPECT_EQ(Get("", "s", "k"), "<none>");
}

TEST(IniSet, ReplacesOnlyTheValueKeepingEveryOtherByte) {
  const std::string text =
      "; settings\r\n"
      "[Main]\r\n"
      "  Width = 10 ; not a comment\r\n"
      "Height=20\r\n"
      "\r\n"
      "[Other]\r\n"
      "Width=1\r\n";
  EXPECT_EQ(Put(text, "MAIN", "width", "640"),
            "; settings\r\n"
            "[Main]\r\n"
            "  Width = 640\r\n"
            "Height=20\r\n"
            "\r\n"
            "[Other]\r\n"
            "Width=1\r\n");
}

TEST(IniSet, AKeyWithoutValueGetsOne) {
  EXPECT_EQ(Put("[s]\n  k  \r\nk=old\n", "s", "K", "v"), "[s]\n  k=v\r\nk=old\n");
}

TEST(IniSet, NewKeyGoesAfterTheSectionsLastEntryInTheFilesLineEnds) {
  EXPECT_EQ(Put("[a]\r\nx=1\r\n; note\r\n\r\n[b]\r\ny=2\r\n", "A", "z", "3"),
            "[a]\r\nx=1\r\n; note\r\nz=3\r\n\r\n[b]\r\ny=2\r\n");
  EXPECT_EQ(Put("[a]\nx=1", "a", "z", "3"), "[a]\nx=1\nz=3\n");
  EXPECT_EQ(Put("[a]", "a", "z", "3"), "[a]\nz=3\n");
  EXPECT_EQ(Put("[a]\n[b]\n", "b", "z", "3"), "[a]\n[b]\nz=3\n");
}

TEST(IniSet, TheNamelessSectionIsTheTopOfTheFile) {
  EXPECT_EQ(Put("; top\nk=1\n\n[a]\nk=2\n", "", "k", "3"), "; top\nk=3\n\n[a]\nk=2\n");
  EXPECT_EQ(Put("; top\n\n[a]\n", "", "n", "1"), "; top\nn=1\n\n[a]\n");
  EXPECT_EQ(Put("[a]\n", " ", "n", "1"), "n=1\n[a]\n");
  EXPECT_EQ(Put("\xEF\xBB\xBF[a]\n", "", "n", "1"), "\xEF\xBB\xBFn=1\n[a]\n");
  EXPECT_EQ(Put("x", "", "n", "1"), "x\nn=1\n");
}

TEST(IniSet, MissingSectionIsAppendedAfterABlankLine) {
  EXPECT_EQ(Put("", " New ", " key ", "v"), "[New]\nkey=v\n");
  EXPECT_EQ(Put("[a]\nx=1", "b", "k", "v"), "[a]\nx=1\n\n[b]\nk=v\n");
  EXPECT_EQ(Put("[a]\nx=1\n\n", "b", "k", "v"), "[a]\nx=1\n\n[b]\nk=v\n");
  EXPECT_EQ(Put("\xEF\xBB\xBF", "b", "k", "v"), "\xEF\xBB\xBF\n[b]\nk=v\n");
}

TEST(IniSet, WritesThatCouldNotReadBackAreRefused) {
  std::string out = "untouched";
  EXPECT_FALSE(Set("", "s", "k", "two\nlines", &out));
  EXPECT_FALSE(Set("", "s", "k", "cr\r", &out));
  EXPECT_FALSE(Set("", "s\n", "k", "v", &out));
  EXPECT_FALSE(Set("", "s", "a=b", "v", &out));
  EXPECT_FALSE(Set("", "s", "[k", "v", &out));
  EXPECT_FALSE(Set("", "s", " ;k", "v", &out));
  EXPECT_FALSE(Set("", "", "\xEF\xBB\xBFk", "v", &out));  // would read as a byte-order mark
  EXPECT_EQ(out, "untouched");
}

TEST(IniSet, EveryWriteReadsBack) {
  // Round trips through odd but legal names and values.
  const char* values[] = {"", "plain", "a=b", "[x]", "; semi", "\"quoted\"", "x y"};
  std::string text = "[s]\nk=old\n";
  for (const char* v : values) {
    text = Put(text, "s", "k", v);
    std::string expect = v;
    if (expect == "\"quoted\"") expect = "quoted";
    EXPECT_EQ(Get(text, "S", "K"), expect) << v;
  }
  text = Put(text, "sec]tion", "key ]", "v");
  EXPECT_EQ(Get(text, "sec]tion", "key ]"), "v");
}

TEST(IniNames, DoubleByteTrailBytesDoNotFold) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // 0x83 0x41 and 0x83 0x61 are two different katakana whose trail bytes
  // happen to be 'A' and 'a'.
  EXPECT_FALSE(NamesEqual("\x83\x41", "\x83\x61"));
  EXPECT_TRUE(NamesEqual("\x83\x41Key", "\x83\x41KEY"));
  EXPECT_EQ(Get("[s]\n\x83\x41=1\n\x83\x61=2\n", "s", "\x83\x61"), "2");
}

}  // namespace
