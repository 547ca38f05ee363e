// The text forms of the Linux stores, on file text: the initialisation-file
// engine's lookups and one-line edits, the registry store's model and form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "genutil/textscan.h"
#include "gnutil/mbutil.h"
#include "platform/ini.h"
#include "platform/regstore.h"
#include "support/test_locale.h"

namespace {

using gnutil::CharLength;

std::string Get(const std::string& text, const char* section, const char* key) {
  std::string v;
  return gnutil::ini::Find(text, section, key, &v, CharLength) ? v : std::string("<none>");
}

std::string Put(const std::string& text, const char* section, const char* key, const char* value) {
  std::string out = "<unchanged>";
  EXPECT_TRUE(gnutil::ini::Set(text, section, key, value, &out, CharLength)) << text;
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
    "[main]\nk=third\nonly=here\n";

TEST(IniFind, Lookups) {
  // Names ignore case and surrounding blanks; values are trimmed and lose
  // one pair of matching quotes; the first section and entry win; lines
  // before any header are the nameless section.
  const struct {
    std::string text;
    const char *section, *key, *expected;
  } cases[] = {
      {kText, "MAIN ", " name", "Value with spaces"},
      {kText, "Main", "quoted", "  kept blanks "},
      {kText, "Main", "Single", "x"},
      {kText, "Main", "Mismatched", "\"x'"},
      {kText, "Main", "Equals", "a=b"},
      {kText, "Main", "NoEquals", "<none>"},
      {kText, "Main", ";Commented", "<none>"},
      {kText, "main", "k", "first"},
      {kText, "main", "only", "<none>"},
      {kText, "", "Orphan", "1"},
      {"[a]\n = e\n", "A", " ", "e"},
      {"[s]\nk\nk=1\n", "s", "k", "<none>"},  // a key without value hides the next
      {"[s]\r\nk=v\r\n", "s", "k", "v"},
      {"[s]\nk=v", "s", "k", "v"},
      {"\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "v"},
      {"[s\nk=v", "s", "k", "<none>"},  // an unclosed header opens no section
      {"[a]b]\nk=v", "a]b", "k", "v"},
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
      {"[Main]\r\n  Width = 10 ; not a comment\r\n\r\n[Other]\r\nWidth=1\r\n", "MAIN", "width",
       "640", "[Main]\r\n  Width = 640\r\n\r\n[Other]\r\nWidth=1\r\n"},
      // A key without value gets one.
      {"[s]\n  k  \r\nk=old\n", "s", "K", "v", "[s]\n  k=v\r\nk=old\n"},
      // A new key goes after the section's last entry, in the file's line ends.
      {"[a]\r\nx=1\r\n; note\r\n\r\n[b]\r\ny=2\r\n", "A", "z", "3",
       "[a]\r\nx=1\r\n; note\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"},
      {"[a]\nx=1", "a", "z", "3", "[a]\nx=1\nz=3\n"},
      // The nameless section is the top of the file.
      {"; top\nk=1\n\n[a]\nk=2\n", "", "k", "3", "; top\nk=3\n\n[a]\nk=2\n"},
      {"; top\n\n[a]\n", "", "n", "1", "; top\nn=1\n\n[a]\n"},
      {"\xEF\xBB\xBF[a]\n", "", "n", "1", "\xEF\xBB\xBFn=1\n[a]\n"},
      {"x", "", "n", "1", "x\nn=1\n"},
      // A missing section is appended after a blank line.
      {"", " New ", " key ", "v", "[New]\nkey=v\n"},
      {"[a]\nx=1", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
      {"[a]\nx=1\n\n", "b", "k", "v", "[a]\nx=1\n\n[b]\nk=v\n"},
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
    EXPECT_FALSE(gnutil::ini::Set("", r.section, r.key, r.value, &out, CharLength)) << r.key;
    EXPECT_EQ(out, "untouched");
  }
  std::string text = "[s]\nk=old\n";
  for (const char* v : {"", "plain", "a=b", "[x]", "; semi", "\"quoted\"", "x y"}) {
    text = Put(text, "s", "k", v);
    EXPECT_EQ(Get(text, "S", "K"), std::string(v) == "\"quoted\"" ? "quoted" : v) << v;
  }
}

TEST(IniNames, DoubleByteTrailBytesDoNotFold) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // Two katakana whose trail bytes are 'A' and 'a'.
  EXPECT_FALSE(gnutil::ini::NamesEqual("\x83\x41", "\x83\x61", CharLength));
  EXPECT_TRUE(gnutil::ini::NamesEqual("\x83\x41Key", "\x83\x41KEY", CharLength));
  EXPECT_EQ(Get("[s]\n\x83\x41=1\n\x83\x61=2\n", "s", "\x83\x61"), "2");
}

using gnutil::reg::Key;
using Path = std::vector<std::string>;

// The parts of a key path, or "<refused>".
Path Split(std::string_view path) {
  Path parts;
  return gnutil::reg::SplitPath(path, &parts, CharLength) ? parts : Path{"<refused>"};
}

// The store with the current code set's step.
struct Store : gnutil::reg::Store {
  Store() : gnutil::reg::Store(CharLength) {}
};

TEST(RegPath, SplitsAtBackslashesAndRefusesWhatWindowsRefuses) {
  EXPECT_EQ(Split("Software\\Vendor\\\\Product\\"), (Path{"Software", "Vendor", "Product"}));
  EXPECT_EQ(Split(""), Path{});
  EXPECT_EQ(Split(" spaced ]name"), Path{" spaced ]name"});
  EXPECT_EQ(Split("\\Software"), Path{"<refused>"});
  EXPECT_EQ(Split("a\nb"), Path{"<refused>"});
  EXPECT_EQ(Split(std::string(255, 'k')), Path{std::string(255, 'k')});
  EXPECT_EQ(Split("x\\" + std::string(256, 'k')), Path{"<refused>"});
}

// In Shift-JIS and Big5 the second byte of a character can be 0x5C: such a
// character is part of a key name, not a separator, and the store's text
// form reads it back as the same key.
struct TrailBackslash {
  const char* locale;
  const char* path;
  Path parts;
  Path bytewise;  // what splitting at every byte 0x5C gave
};

TEST(RegPath, SplitsByCharactersOfTheCurrentCodeSet) {
  const TrailBackslash kCases[] = {
      {"ja_JP.sjis", "A\x95\\B", {"A\x95\\B"}, {"A\x95", "B"}},  // A表B
      {"ja_JP.sjis", "A\x95\\\\B", {"A\x95\\", "B"}, {"A\x95", "B"}},
      {"zh_TW.big5", "X\xA5\\\\Y", {"X\xA5\\", "Y"}, {"X\xA5", "Y"}},  // 功
  };
  for (const TrailBackslash& c : kCases) {
    GNUTIL_USE_LOCALE(c.locale);
    InitMbutil();
    if (std::string(c.locale) == "zh_TW.big5") InitMbutilExt(CODESET_BIG5);
    EXPECT_EQ(Split(c.path), c.parts) << c.path;

    Store s;
    s.SetValue(s.CreateKey(c.parts), "v", "1");
    s.SetValue(s.CreateKey(c.bytewise), "v", "2");
    EXPECT_EQ(s.FindValue(*s.FindKey(c.parts), "v")->data, "1") << c.path;
    Store back;
    EXPECT_TRUE(back.Parse(s.Serialize()));
    ASSERT_NE(back.FindKey(c.parts), nullptr) << c.path;
    EXPECT_NE(back.FindValue(*back.FindKey(c.parts), "v"), nullptr);
  }
}

TEST(RegStore, TextFormRoundTripsEveryByte) {
  Store s;
  std::string awkward;
  for (int c = 1; c < 256; ++c) awkward.push_back(static_cast<char>(c));
  Key* k = s.CreateKey({"K]ey", "Sub key"});
  s.SetValue(k, "", "default value");
  s.SetValue(k, awkward, awkward);
  s.SetValue(s.CreateKey({}), "at root", "r");
  s.CreateKey({"Empty"});

  std::string text = s.Serialize();
  Store back;
  ASSERT_TRUE(back.Parse(text)) << text;
  EXPECT_EQ(back.Serialize(), text);
  const Key* k2 = back.FindKey({"k]ey", "SUB KEY"});
  ASSERT_NE(k2, nullptr);
  EXPECT_EQ(back.FindValue(*k2, awkward)->data, awkward);
}

TEST(RegStore, DamagedLinesAreReportedAndCostOnlyWhatTheyHeld) {
  Store s;
  EXPECT_FALSE(
      s.Parse("[Good]\n"
              "\"a\"=\"1\"\n"
              "\"b\"=\"unterminated\n"
              "\"c\"=\"bad \\q escape\"\n"
              "\"d\"=\"nul \\x00\"\n"
              "[\\Bad]\n"
              "\"lost\"=\"x\"\n"
              "[Good\\More]\r\n"
              "\"e\"=\"5\"  \r\n"
              "\"f\"=\"6\"\r\n"));
  const Key* good = s.FindKey({"Good"});
  ASSERT_NE(good, nullptr);
  EXPECT_EQ(good->values.size(), 1u);
  const Key* more = s.FindKey({"Good", "More"});
  ASSERT_NE(more, nullptr);
  ASSERT_EQ(more->values.size(), 1u);  // trailing blanks after a value are not ours
  EXPECT_EQ(more->values[0].data, "6");
}

}  // namespace
