// Language ids from locale names: the one table Linux has for them.
#include "platform/posix/langid.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>

#include "platform/langid.h"

namespace {

using gnutil::platform::LangIDForLocaleName;
using gnutil::platform::LocaleNameForLangID;

TEST(LangId, CommonLocales) {
  EXPECT_EQ(0x0411, LangIDForLocaleName("ja_JP"));
  EXPECT_EQ(0x0411, LangIDForLocaleName("ja_JP.sjis"));
  EXPECT_EQ(0x0411, LangIDForLocaleName("ja_JP.eucjp"));
  EXPECT_EQ(0x0409, LangIDForLocaleName("en_US.UTF-8"));
  EXPECT_EQ(0x0809, LangIDForLocaleName("en_GB.ISO-8859-1"));
  EXPECT_EQ(0x0404, LangIDForLocaleName("zh_TW.big5"));
  EXPECT_EQ(0x0404, LangIDForLocaleName("zh_TW.euctw"));
  EXPECT_EQ(0x0804, LangIDForLocaleName("zh_CN.gbk"));
  EXPECT_EQ(0x0c04, LangIDForLocaleName("zh_HK.big5hkscs"));
  EXPECT_EQ(0x0412, LangIDForLocaleName("ko_KR.euckr"));
  EXPECT_EQ(0x0407, LangIDForLocaleName("de_DE.UTF-8"));
  EXPECT_EQ(0x0c07, LangIDForLocaleName("de_AT@euro"));
  EXPECT_EQ(0x040c, LangIDForLocaleName("fr_FR"));
  EXPECT_EQ(0x0c0c, LangIDForLocaleName("fr_CA.UTF-8"));
  EXPECT_EQ(0x0c0a, LangIDForLocaleName("es_ES"));
  EXPECT_EQ(0x0419, LangIDForLocaleName("ru_RU.KOI8-R"));
  EXPECT_EQ(0x0405, LangIDForLocaleName("cs_CZ.iso88592"));
  EXPECT_EQ(0x0416, LangIDForLocaleName("pt_BR"));
  EXPECT_EQ(0x0816, LangIDForLocaleName("pt_PT"));
}

TEST(LangId, LanguageWithoutKnownTerritoryTakesItsMainOne) {
  EXPECT_EQ(0x0411, LangIDForLocaleName("ja"));
  EXPECT_EQ(0x0407, LangIDForLocaleName("de_BE"));
  EXPECT_EQ(0x0804, LangIDForLocaleName("zh_CN") & 0xffff);
  EXPECT_EQ(0x0404, LangIDForLocaleName("zh"));  // the first Chinese entry
  EXPECT_EQ(0x0409, LangIDForLocaleName("en"));
}

TEST(LangId, NeutralAndUnknownNames) {
  EXPECT_EQ(0x0409, LangIDForLocaleName("C"));
  EXPECT_EQ(0x0409, LangIDForLocaleName("C.UTF-8"));
  EXPECT_EQ(0x0409, LangIDForLocaleName("POSIX"));
  EXPECT_EQ(0x0409, LangIDForLocaleName(""));
  EXPECT_EQ(0x0409, LangIDForLocaleName(nullptr));
  EXPECT_EQ(0x0c00, LangIDForLocaleName("xx_YY"));
  EXPECT_EQ(0x0c00, LangIDForLocaleName("j"));  // a prefix of "ja" is not "ja"
}

TEST(LangId, BackToLocaleNames) {
  EXPECT_STREQ("ja_JP", LocaleNameForLangID(0x0411));
  EXPECT_STREQ("ja_JP", LocaleNameForLangID(0x0011));
  EXPECT_STREQ("zh_CN", LocaleNameForLangID(0x0804));
  EXPECT_STREQ("zh_TW", LocaleNameForLangID(0x0404));
  EXPECT_STREQ("en_US", LocaleNameForLangID(0x0009));
  EXPECT_EQ(nullptr, LocaleNameForLangID(0x00ff));
}

TEST(LangId, TableIsConsistent) {
  size_t count = 0;
  const gnutil::platform::LanguageEntry* table = gnutil::platform::LanguageTable(&count);
  ASSERT_GT(count, 100u);
  std::set<std::string> names;
  for (size_t i = 0; i < count; ++i) {
    EXPECT_TRUE(names.insert(table[i].locale).second) << table[i].locale;
    // Every name maps to its own id, except where two names share one.
    if (strcmp(table[i].locale, "no_NO") != 0) {
      EXPECT_EQ(table[i].langId, LangIDForLocaleName(table[i].locale)) << table[i].locale;
      EXPECT_STREQ(table[i].locale, LocaleNameForLangID(table[i].langId));
    }
  }
}

TEST(LangId, UserLocaleFollowsThePosixPrecedence) {
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  unsetenv("LANG");
  EXPECT_EQ(0x0409, gnutil::platform::UserDefaultLangID());
  setenv("LANG", "ko_KR.euckr", 1);
  EXPECT_EQ(0x0412, gnutil::platform::UserDefaultLangID());
  setenv("LC_MESSAGES", "zh_TW.big5", 1);
  EXPECT_EQ(0x0404, gnutil::platform::UserDefaultLangID());
  setenv("LC_ALL", "", 1);  // set but empty does not count
  EXPECT_EQ(0x0404, gnutil::platform::UserDefaultLangID());
  setenv("LC_ALL", "ja_JP.sjis", 1);
  EXPECT_EQ(0x0411, gnutil::platform::UserDefaultLangID());
}

}  // namespace
