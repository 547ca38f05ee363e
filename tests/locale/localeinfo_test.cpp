// The installed-locale table.
#include "gnutil/localeinfo.h"

#include <gtest/gtest.h>

#include <string>

#include "locale/lclocale_internal.h"

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

}  // namespace
