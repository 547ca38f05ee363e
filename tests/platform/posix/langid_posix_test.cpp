// Locale names on Linux: the language ids of the one table Linux has for them,
// and the code page standing in for the Windows ANSI code page.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/langid.h"
#include "platform/posix/langid.h"
#include "platform/posix/locale.h"

namespace {

using gnutil::platform::LangIDForLocaleName;
using gnutil::platform::LocaleNameForLangID;

// The code set and modifier suffixes, the language alone (its main
// territory), and the fallbacks for neutral and unknown names.
TEST(LangId, FromLocaleNames) {
  const struct {
    const char* name;
    unsigned id;
  } cases[] = {{"ja_JP.sjis", 0x0411}, {"zh_HK.big5hkscs", 0x0c04},
               {"de_AT@euro", 0x0c07}, {"ja", 0x0411},
               {"de_BE", 0x0407},      {"C", 0x0409},
               {"C.UTF-8", 0x0409},    {"POSIX", 0x0409},
               {"", 0x0409},           {"xx_YY", 0x0c00},
               {"j", 0x0c00}};  // a prefix of "ja" is not "ja"
  for (const auto& c : cases)
    EXPECT_EQ(c.id, static_cast<unsigned>(LangIDForLocaleName(c.name))) << c.name;
  EXPECT_EQ(0x0409, LangIDForLocaleName(nullptr));
  // Back to a name; a primary language id alone names its main territory.
  EXPECT_STREQ("ko_KR", LocaleNameForLangID(0x0412));
  EXPECT_STREQ("ja_JP", LocaleNameForLangID(0x0011));
  EXPECT_STREQ("en_US", LocaleNameForLangID(0x0009));
  EXPECT_EQ(nullptr, LocaleNameForLangID(0x00ff));
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

TEST(PosixCodePage, CodesetNamesMapToCodePages) {
  const struct {
    const char* codeset;
    unsigned page;
  } cases[] = {{"SHIFT_JIS", 932}, {"BIG5", 950},    {"GBK", 936},     {"GB18030", 936},
               {"EUC-KR", 949},    {"CP1251", 1251}, {"CP1259", 1252}, {"EUC-JP", 1252}};
  for (const auto& c : cases)
    EXPECT_EQ(c.page, gnutil::platform::CodePageForCodeset(c.codeset)) << c.codeset;
  EXPECT_EQ(1252u, gnutil::platform::CodePageForCodeset(nullptr));
}

}  // namespace
