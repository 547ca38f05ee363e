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
  EXPECT_TRUE(Set(text, section, key, value, &out)) << text;
  return out;
}

const char kText[] =
    "Orphan=1\n"
    "; leading comment\n"
    "  [ Main ]  \n"
    "Name = Value with spaces  \n"
    "\tQuoted=\"  kept blanks \"\n"
    "Single='x'\nMismatched=\"x'\nLone=\"\nEmpty=\nEquals=a=b\nNoEquals\n;Commented=1\n"
    "k=first\nk=second\n"
    "[b]\nk=b\n"
    "[main]\nk=third\nonly=here\n";

TEST(IniFind, Lookups) {
  // Names ignore case and surrounding blanks; values are trimmed and lose
  // one pair of matching quotes; the first section and entry win; lines
  // before any header are the nameless section.
  const struct {
    std::string text;
    const char *section, *key, *expected;
  } cases[] = {
      // clang-format off
      {kText, "main", "NAME", "Value with spaces"}, {kText, "MAIN ", " name", "Value with spaces"},
      {kText, "Main", "quoted", "  kept blanks "},  {kText, "Main", "Single", "x"},
      {kText, "Main", "Mismatched", "\"x'"},        {kText, "Main", "Lone", "\""},
      {kText, "Main", "Empty", ""},                 {kText, "Main", "Equals", "a=b"},
      {kText, "Main", "NoEquals", "<none>"},        {kText, "Main", "Commented", "<none>"},
      {kText, "Main", ";Commented", "<none>"},      {kText, "Other", "Name", "<none>"},
      {kText, "main", "k", "first"},                {kText, "main", "only", "<none>"},
      {kText, "b", "k", "b"},                       {kText, "", "Orphan", "1"},
      {kText, "main", "", "<none>"},                {"[a]\n = e\n", "A", " ", "e"},
      {"[s]\nk\nk=1\n", "s", "k", "<none>"},  // a key without value hides the next
      {"[s]\r\nk=v\r\n", "s", "k", "v"},            {"[s]\nk=v", "s", "k", "v"},
      {"\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "v"},    {"[s", "s", "k", "<none>"},
      {"[s\nk=v", "s", "k", "<none>"},  // an unclosed header opens no section
      {"[s]\n[t\nk=v", "s", "k", "v"},              {"[a]b]\nk=v", "a]b", "k", "v"},
      {"", "s", "k", "<none>"},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Get(c.text, c.section, c.key), c.expected)
        << c.section << " " << c.key << " in " << c.text;
  }
}

TEST(IniSet, EditsOneLineAndKeepsEveryOtherByte) {
  const struct {
    const char *text, *section, *key, *value, *expected;
  } cases[] = {
      // clang-format off
      {"; settings\r\n[Main]\r\n  Width = 10 ; not a comment\r\nHeight=20\r\n\r\n[Other]\r\nWidth=1\r\n",
       "MAIN", "width", "640",
       "; settings\r\n[Main]\r\n  Width = 640\r\nHeight=20\r\n\r\n[Other]\r\nWidth=1\r\n"},
      // A key without value gets one.
      {"[s]\n  k  \r\nk=old\n", "s", "K", "v", "[s]\n  k=v\r\nk=old\n"},
      // A new key goes after the section's last entry, in the file's line ends.
      {"[a]\r\nx=1\r\n; note\r\n\r\n[b]\r\ny=2\r\n", "A", "z", "3", "[a]\r\nx=1\r\n; note\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"},
      {"[a]\nx=1", "a", "z", "3", "[a]\nx=1\nz=3\n"},  {"[a]", "a", "z", "3", "[a]\nz=3\n"},
      {"[a]\n[b]\n", "b", "z", "3", "[a]\n[b]\nz=3\n"},
      // The nameless section is the top of the file.
      {"; top\nk=1\n\n[a]\nk=2\n", "", "k", "3", "; top\nk=3\n\n[a]\nk=2\n"},
      {"; top\n\n[a]\n", "", "n", "1", "; top\nn=1\n\n[a]\n"},  {"[a]\n", " ", "n", "1", "n=1\n[a]\n"},
      {"\xEF\xBB\xBF[a]\n", "", "n", "1", "\xEF\xBB\xBFn=1\n[a]\n"},  {"x", "", "n", "1", "x\nn=1\n"},
      // A missing section is appended after a blank line.
      {"", " New ", " key ", "v", "[New]\nkey=v\n"},  {"[a]\nx=1", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
      {"[a]\nx=1\n\n", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
      {"\xEF\xBB\xBF", "b", "k", "v", "\xEF\xBB\xBF\n[b]\nk=v\n"},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(Put(c.text, c.section, c.key, c.value), c.expected);
}

TEST(IniSet, WritesThatCouldNotReadBackAreRefusedAndTheRestDo) {
  const struct {
    const char *section, *key, *value;
  } refused[] =
      {
          {"s", "k", "two\nlines"},   {"s", "k", "cr\r"}, {"s\n", "k", "v"},
          {"s", "a=b", "v"},          {"s", "[k", "v"},   {"s", " ;k", "v"},
          {"", "\xEF\xBB\xBFk", "v"},  // would read as a BOM
      };
  for (const auto& r : refused) {
    std::string out = "untouched";
    EXPECT_FALSE(Set("", r.section, r.key, r.value, &out)) << r.key << "=" << r.value;
    EXPECT_EQ(out, "untouched");
  }
  std::string text = "[s]\nk=old\n";
  for (const char* v : {"", "plain", "a=b", "[x]", "; semi", "\"quoted\"", "x y"}) {
    text = Put(text, "s", "k", v);
    EXPECT_EQ(Get(text, "S", "K"), std::string(v) == "\"quoted\"" ? "quoted" : v) << v;
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
