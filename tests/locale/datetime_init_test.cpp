// Whatever patterns the system gives a locale, a moment shown in them reads back.
#include <gnutil/datetime.h>
#include <gnutil/lclocale.h>
#include <gtest/gtest.h>

#include <string>

#include "support/test_locale.h"
#include "support/test_zone.h"

namespace {

const long kMoments[] = {983801229L,   // 2001-03-05 14:07:09, a Monday
                         946080000L,   // 1999-12-25 00:00:00
                         2147396400L,  // 2038-01-18 03:00:00, before the last time of day
                         3600L};       // 1970-01-01 01:00:00

struct InitCase {
  const char* locale;
  int is12Hour;  // -1: not checked
};

class DateTimeInit : public ::testing::TestWithParam<InitCase> {};

TEST_P(DateTimeInit, RoundTrips) {
  const char* locale = GetParam().locale;
  GNUTIL_USE_LOCALE(locale);
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ASSERT_FALSE(CLCGlobalLocale::Instance()->Customized());
  for (long form : {1L, 2L}) {
    for (long secs : kMoments) {
      CGNDateTime shown(secs);
      ASSERT_EQ(1, shown.FormatForDisplay(form));
      CGNString text;
      shown.GetDisplayBuffer(text);
      SCOPED_TRACE(testing::Message() << locale << " form " << form << ": " << text);
      CGNDateTime read;
      EXPECT_EQ(1, read.FromString(text));
      EXPECT_EQ(secs, read.GetSecsFrom70());
    }
  }
  if (GetParam().is12Hour >= 0) {
    EXPECT_EQ(GetParam().is12Hour, CGNDateTime::Is12Hour());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Locales, DateTimeInit,
    ::testing::Values(InitCase{gnutil_test::PosixOrWindows("en_US.utf8", "C"), 1},
                      InitCase{"de_DE.iso88591", 0}, InitCase{"ja_JP.sjis", -1}));

TEST(DateTimeInitJapanese, EraDateWithTime) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  ASSERT_EQ(1, CLCGlobalLocale::Instance()->LocaleIsJapanese());
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  CGNDateTime v;
  // 平成13年3月5日 14時07分 is not a time word, but 平成13年3月5日 14:07 is.
  ASSERT_EQ(1, v.FromString("\x95\xBD\x90\xAC"
                            "13\x94\x4E"
                            "3\x8C\x8E"
                            "5\x93\xFA 14:07"));
  EXPECT_EQ(983801220L, v.GetSecsFrom70());
}

}  // namespace
