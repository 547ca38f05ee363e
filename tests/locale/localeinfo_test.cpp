// The installed-locale table and records filled by the system.
#include "gnutil/localeinfo.h"

#include <gtest/gtest.h>

#include <string>

#include "gnutil/lclocale.h"
#include "gnutil/osconfig.h"
#include "locale/lclocale_internal.h"
#include "support/joined.h"
#include "support/test_locale.h"

namespace {

TEST(InstalledLocales, FilledOnceAndAgainAfterFree) {
  long count = LocaleInfo::GetLocaleInfoCount();
  ASSERT_GT(count, 0);
  LocaleInfo* first = LocaleInfo::GetLocaleInfoItem(0);
  EXPECT_EQ(first, LocaleInfo::GetLocaleInfoItem(0));  // not enumerated again
  EXPECT_EQ(nullptr, LocaleInfo::GetLocaleInfoItem(count));
  EXPECT_EQ(nullptr, LocaleInfo::GetLocaleInfoItem(-1));
  // C and POSIX are no language's locales (the test locales include C.utf8).
  for (long i = 0; i < count; ++i) {
    const std::string name(LocaleInfo::GetLocaleInfoItem(i)->m_name);
    EXPECT_TRUE(name != "C" && name != "POSIX" && name.rfind("C.", 0) && name.rfind("POSIX.", 0))
        << name;
  }

  // A copy is the caller's, not the table's; a new entry is the table's.
  LocaleInfo* copy = new LocaleInfo(*first);
  EXPECT_EQ(count, LocaleInfo::GetLocaleInfoCount());
  LocaleInfoAccess::Destroy(copy);
  LocaleInfo* added = new LocaleInfo;
  EXPECT_EQ(count + 1, LocaleInfo::GetLocaleInfoCount());
  EXPECT_EQ(added, LocaleInfo::GetLocaleInfoItem(count));

  LocaleInfo::Free();
  EXPECT_EQ(0, LocaleInfo::m_localeInfoList.GetCount());
  EXPECT_EQ(count, LocaleInfo::GetLocaleInfoCount());
  LocaleInfo::Free();
}

TEST(InstalledLocales, EnglishUnitedStates) {
  const std::string name = gnutil_test::PosixOrWindows("en_US.utf8", "ENU_USA.1252");
  const LocaleInfo* found = nullptr;
  for (long i = 0; i < LocaleInfo::GetLocaleInfoCount() && !found; ++i)
    if (std::string(LocaleInfo::GetLocaleInfoItem(i)->m_name) == name)
      found = LocaleInfo::GetLocaleInfoItem(i);
  if (found == nullptr && !gnutil_test::kWindows && !gnutil_test::LocalesRequired())
    GTEST_SKIP() << "no " << name;
  ASSERT_NE(nullptr, found) << name;
  EXPECT_EQ(0x409ul, found->m_localeId);
  EXPECT_STREQ("English (United States)", found->m_description);
  LocaleInfo::Free();
}

struct JapaneseCase {
  const char *locale, *am, *era, *year;  // 午前, 平成, 年
};

class JapaneseRecord : public ::testing::TestWithParam<JapaneseCase> {};

// A Japanese program reads its fixed texts in its own encoding on Linux; on
// Windows they are Shift-JIS, the user's code page.
TEST_P(JapaneseRecord, FixedTextsInTheProcessCodeSet) {
  const JapaneseCase& c = GetParam();
  GNUTIL_USE_LOCALE(c.locale);
  CLCLocale l;
  l.m_localeId = 0x411;
  l.Init();
  CGNString era, year, name;
  l.Emperor(0, era);
  l.YearChar(year);
  unsigned char found = l.EmperorFromGregorianYr(1999, name);
  EXPECT_EQ(gnutil_test::Join(1, c.am, c.era, c.year, 1, c.era),
            gnutil_test::Join(l.LocaleIsJapanese(), l.m_amString, era, year, found, name));
}

INSTANTIATE_TEST_SUITE_P(Locales, JapaneseRecord,
                         ::testing::Values(JapaneseCase{"ja_JP.sjis", "\x8C\xDF\x91\x4F",
                                                        "\x95\xBD\x90\xAC", "\x94\x4E"},
                                           JapaneseCase{"ja_JP.eucjp", "\xB8\xE1\xC1\xB0",
                                                        "\xCA\xBF\xC0\xAE", "\xC7\xAF"},
                                           JapaneseCase{"ja_JP.utf8", "\xE5\x8D\x88\xE5\x89\x8D",
                                                        "\xE5\xB9\xB3\xE6\x88\x90",
                                                        "\xE5\xB9\xB4"}));

TEST(SetLocaleByName, SwitchesProcessAndRecord) {
  GNUTIL_USE_LOCALE("C");
  const char* name = gnutil_test::PosixOrWindows("ja_JP.sjis", "JPN_JPN.932");
  if (gnutil_test::kWindows) GTEST_SKIP() << "the runtime's names are checked on Linux";
  CLCLocale l;
  l.SetLocale(CGNString(name));
  if (l.GetLocaleId() == 1024 && !gnutil_test::LocalesRequired()) GTEST_SKIP() << "no " << name;
  // The afternoon marker in Shift-JIS, the new process code set.
  EXPECT_EQ(gnutil_test::Join(0x411, name, "JPN", "yyyy/M/d", "\x8C\xDF\x8C\xE3"),
            gnutil_test::Join(l.GetLocaleId(), l.m_localeName, l.m_langAbbrev, l.m_shortDateFormat,
                              l.m_pmString));

  LocaleInfo::Free();
}

}  // namespace
