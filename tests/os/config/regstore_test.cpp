// The registry store's model and text form.
#include "os/config/regstore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gnutil/mbutil.h"
#include "support/test_locale.h"

namespace {

using gnutil::reg::Key;
using gnutil::reg::SplitPath;
using gnutil::reg::Store;
using Path = std::vector<std::string>;

TEST(RegPath, SplitsAtBackslashesAndRefusesWhatWindowsRefuses) {
  Path p;
  EXPECT_TRUE(SplitPath("Software\\Vendor\\\\Product\\", &p));
  EXPECT_EQ(p, (Path{"Software", "Vendor", "Product"}));
  EXPECT_TRUE(SplitPath("", &p));
  EXPECT_TRUE(p.empty());
  EXPECT_TRUE(SplitPath(" spaced ]name", &p));
  EXPECT_EQ(p, (Path{" spaced ]name"}));
  EXPECT_FALSE(SplitPath("\\Software", &p));
  EXPECT_FALSE(SplitPath("a\nb", &p));
  EXPECT_TRUE(SplitPath(std::string(255, 'k'), &p));
  EXPECT_FALSE(SplitPath("x\\" + std::string(256, 'k'), &p));
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
      // clang-format off
      {"ja_JP.sjis", "Soft\\" "\x83\\" "\x95\\", {"Soft", "\x83\\\x95\\"}, {"Soft", "\x83", "\x95"}},
      // clang-format on
      {"ja_JP.sjis", "A\x95\\\\B", {"A\x95\\", "B"}, {"A\x95", "B"}},
      {"zh_TW.big5", "X\xA5\\\\Y", {"X\xA5\\", "Y"}, {"X\xA5", "Y"}},  // 功
  };
  for (const TrailBackslash& c : kCases) {
    GNUTIL_USE_LOCALE(c.locale);
    InitMbutil();
    if (std::string(c.locale) == "zh_TW.big5") InitMbutilExt(CODESET_BIG5);
    Path p;
    EXPECT_TRUE(SplitPath(c.path, &p)) << c.path;
    EXPECT_EQ(p, c.parts) << c.path;

    // The key that a split at the trail byte would make is another key.
    Store s;
    Store::SetValue(s.CreateKey(c.parts), "v", "1");
    Store::SetValue(s.CreateKey(c.bytewise), "v", "2");
    EXPECT_EQ(Store::FindValue(*s.FindKey(c.parts), "v")->data, "1") << c.path;
    Store back;
    EXPECT_TRUE(back.Parse(s.Serialize()));
    ASSERT_NE(back.FindKey(p), nullptr) << c.path;
    EXPECT_NE(Store::FindValue(*back.FindKey(p), "v"), nullptr);
  }
}

TEST(RegStore, KeysAndValuesIgnoreCaseKeepFirstSpellingAndOrder) {
  Store s;
  Key* k = s.CreateKey({"Software", "Vendor"});
  ASSERT_NE(k, nullptr);
  EXPECT_NE(s.FindKey({"software"}), nullptr);  // parents exist
  EXPECT_EQ(s.FindKey({"SOFTWARE", "vendor"}), k);
  EXPECT_EQ(s.CreateKey({"SOFTWARE", "VENDOR", "New"})->path, (Path{"Software", "Vendor", "New"}));
  EXPECT_EQ(s.FindKey({"Other"}), nullptr);
  ASSERT_NE(s.FindKey({}), nullptr);

  EXPECT_TRUE(Store::SetValue(k, "b", "1"));
  EXPECT_TRUE(Store::SetValue(k, "A", "2"));
  EXPECT_TRUE(Store::SetValue(k, "B", "3"));  // same value, keeps its place and first name
  ASSERT_EQ(k->values.size(), 2u);
  EXPECT_EQ(k->values[0].name, "b");
  EXPECT_EQ(k->values[0].data, "3");
  EXPECT_EQ(Store::FindValue(*k, "a")->data, "2");
  EXPECT_FALSE(Store::DeleteValue(k, "missing"));
  EXPECT_TRUE(Store::DeleteValue(k, "B"));
  EXPECT_EQ(Store::FindValue(*k, "b"), nullptr);
  EXPECT_FALSE(Store::SetValue(k, std::string(16384, 'n'), "x"));
}

TEST(RegStore, TextFormRoundTripsEveryByte) {
  Store s;
  std::string awkward;
  for (int c = 1; c < 256; ++c) awkward.push_back(static_cast<char>(c));
  Key* k = s.CreateKey({"K]ey", "Sub key"});
  Store::SetValue(k, "", "default value");
  Store::SetValue(k, awkward, awkward);
  Store::SetValue(s.CreateKey({}), "at root", "r");
  s.CreateKey({"Empty"});

  std::string text = s.Serialize();
  Store back;
  ASSERT_TRUE(back.Parse(text)) << text;
  EXPECT_EQ(back.Serialize(), text);
  const Key* k2 = back.FindKey({"k]ey", "SUB KEY"});
  ASSERT_NE(k2, nullptr);
  EXPECT_EQ(Store::FindValue(*k2, awkward)->data, awkward);
  EXPECT_EQ(Store::FindValue(*k2, "")->data, "default value");
  EXPECT_NE(back.FindKey({"Empty"}), nullptr);
  EXPECT_EQ(Store::FindValue(*back.FindKey({}), "at root")->data, "r");
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
