// The locale record, the process-wide record and the eras through the public
// API.
#include <gtest/gtest.h>

#include "gnutil/lclocale.h"

namespace {

TEST(Locale, ProcessWideRecordWithEras) {
  CLCGlobalLocale* global = CLCGlobalLocale::Instance();
  ASSERT_NE(global, nullptr);
  EXPECT_EQ(global, CLCGlobalLocale::Instance());
  EXPECT_EQ(1, global->GetCalendarType());
  EXPECT_EQ(1995, global->GregorianYrFromEmperorYr(global->m_pEmperors[1], 70));
  EXPECT_EQ(11, global->EmperorYrFromGregorianYr(1999));
  CLCGlobalLocale::Free();
  EXPECT_EQ(0, CLCGlobalLocale::Instance()->Customized());
  CLCGlobalLocale::Free();
}

TEST(Locale, BuiltInRecordAndTables) {
  CLCLocale l;
  CGNString s;
  l.DateFormatString(s);
  EXPECT_STREQ("M/d/yy", s);
  EXPECT_STREQ("ddd, d MMM, yy", CLCLocale::LongDateFormats()[LC_NUM_LONG_DATE_FORMATS - 1]);
  CEmperor era(CGNString("x"), 1926, 63);
  EXPECT_EQ(63, era.EmperorYrFromGregorianYr(1988));
}

}  // namespace
