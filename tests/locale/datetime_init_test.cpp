// Dates with the settings that Init reads from the system for the user's
// locale (ICU's data on Linux, the locale information of Windows): whatever
// the system's patterns are, a moment shown in them reads back to the same
// moment.
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

void CheckRoundTrips(const char* locale) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  CLCLocale& l = *CLCGlobalLocale::Instance();
  ASSERT_FALSE(l.Customized());
  for (long form : {1L, 2L}) {
    for (long secs : kMoments) {
      CGNDateTime shown(secs);
      ASSERT_EQ(1, shown.FormatForDisplay(form));
      CGNString text;
      shown.GetDisplayBuffer(text);
      CGNDateTime read;
      EXPECT_EQ(1, read.FromString(text))
          << locale << " form " << form << ": " << static_cast<const char*>(text);
      EXPECT_EQ(secs, read.GetSecsFrom70())
          << locale << " form " << form << ": " << static_cast<const char*>(text);
    }
  }
}

TEST(DateTimeInit, EnglishRoundTrips) {
  const char* english = gnutil_test::PosixOrWindows("en_US.utf8", "C");
  GNUTIL_USE_LOCALE(english);
  CheckRoundTrips(english);
  EXPECT_EQ(1, CGNDateTime::Is12Hour());
}

TEST(DateTimeInit, GermanRoundTrips) {
  GNUTIL_USE_LOCALE("de_DE.iso88591");
  CheckRoundTrips("de_DE.iso88591");
  EXPECT_EQ(0, CGNDateTime::Is12Hour());
}

TEST(DateTimeInit, JapaneseRoundTripsAndMarkers) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  ASSERT_EQ(1, CLCGlobalLocale::Instance()->LocaleIsJapanese());
  CheckRoundTrips("ja_JP.sjis");
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
