// The locale record, the process-wide record and the eras through the public
// API.
#include <gtest/gtest.h>

#include "gnutil/decimal.h"
#include "gnutil/lclocale.h"
#include "gnutil/localeinfo.h"

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

TEST(Locale, InstalledLocalesAndTheCurrentEra) {
  // A machine may have no locale but C installed; then the table is empty.
  for (long i = 0; i < LocaleInfo::GetLocaleInfoCount(); ++i)
    EXPECT_FALSE(LocaleInfo::GetLocaleInfoItem(i)->m_name.IsEmpty());
  LocaleInfo::Free();
  ASSERT_EQ(1, CLCLocale::SetEraSource(LC_ERAS_CURRENT));
  CLCLocale l;
  l.Init();
  EXPECT_EQ(3, l.EmperorCount());
  EXPECT_EQ(31, l.EmperorYrFromGregorianDate(2019, 4, 30));
  EXPECT_EQ(1, l.EmperorYrFromGregorianDate(2019, 5, 1));
  CLCLocale::SetEraSource(LC_ERAS_CLASSIC);
}

TEST(Locale, DecimalTextBothWays) {
  CLCGlobalLocale::Instance()->Customize("", "", "", 0, "3;0", 0, 1, ".", "-", ",", "");
  CGNDecimal number(CGNString("(1234567.5)"));
  CGNString out;
  ASSERT_EQ(1, number.ConvertToRegionalLocale(1));
  number.GetDisplayBuffer(out);
  EXPECT_STREQ("-1,234,567.5", out);
  number.ApplyExponent(-2);
  number.GetDisplayBuffer(out);
  EXPECT_STREQ("-12345.675", out);
  EXPECT_EQ(5, CGNDecimal::DetermineNumDecimalChars("1,234 kg"));
}

}  // namespace
