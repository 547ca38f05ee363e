// The glibc clock seam against glibc: MakeTime as mktime, LocalTime as localtime_r,
// across daylight saving transitions and TZ changes without tzset.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include <string>

#include "platform/timezone.h"
#include "support/test_zone.h"

namespace {

struct Moment {
  int year, mon, mday, hour, min, sec;
};

// Every member of a struct tm that glibc fills, as text.
std::string Fields(const tm& t) {
  char text[96];
  snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d wday %d yday %d dst %d off %ld", t.tm_year,
           t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_wday, t.tm_yday, t.tm_isdst,
           static_cast<long>(t.tm_gmtoff));
  return text;
}

TEST(PosixClock, MakeTimeMatchesMktime) {
  const char* zones[] = {"UTC0",
                         "EST5",
                         "JST-9",
                         "America/New_York",
                         "Europe/Berlin",
                         "Australia/Lord_Howe",
                         "EST5EDT,M3.2.0,M11.1.0",
                         "America/Sao_Paulo"};
  const Moment fields[] = {
      {101, 3, 1, 2, 30, 0},  {101, 3, 1, 1, 59, 59},   {101, 3, 1, 3, 0, 0},
      {101, 9, 28, 1, 30, 0}, {101, 9, 28, 2, 30, 0},   {120, 2, 8, 2, 30, 0},
      {120, 10, 1, 1, 30, 0}, {120, 2, 29, 2, 30, 0},   {120, 9, 25, 2, 30, 0},
      {70, 0, 1, 0, 0, 0},    {99, 11, 31, 23, 59, 59}, {69, 11, 31, 19, 0, 0},
      {138, 0, 19, 3, 14, 7}, {101, 12, 1, 0, 0, 0},    {101, 0, 0, 25, -5, 70},
      {101, -1, 15, 0, 0, 0}, {120, 3, 5, 2, 15, 0},    {119, 9, 6, 2, 15, 0},
  };
  for (const char* zone : zones) {
    gnutil_test::ScopedSystemZone scoped(zone);
    for (const Moment& f : fields) {
      for (int isdst = -1; isdst <= 1; ++isdst) {
        // The rows hold the raw fields: years since 1900, months from 0.
        tm mine = gnutil_test::MakeTm(f.year + 1900, f.mon + 1, f.mday, f.hour, f.min, f.sec);
        mine.tm_isdst = isdst;
        tm theirs = mine;
        SCOPED_TRACE(testing::Message() << zone << " " << Fields(mine));
        long long expected = mktime(&theirs);
        EXPECT_EQ(expected, gnutil::platform::MakeTime(mine));
        EXPECT_EQ(Fields(theirs), Fields(mine));
      }
    }
  }
}

// The seam notices a TZ changed without tzset, and leaves an equal zone alone.
TEST(PosixClock, FollowsTZWithoutTzset) {
  gnutil_test::ScopedSystemZone scoped("UTC0");
  tm t;
  ASSERT_TRUE(gnutil::platform::LocalTime(0, t) && t.tm_hour == 0);
  setenv("TZ", "JST-9", 1);
  ASSERT_TRUE(gnutil::platform::LocalTime(0, t));
  EXPECT_EQ(9, t.tm_hour);
  gnutil::platform::ApplyZone("EST5");
  const char* before = getenv("TZ");
  EXPECT_STREQ("EST5", before);
  gnutil::platform::ApplyZone("EST5");
  EXPECT_EQ(before, getenv("TZ"));  // not even rewritten
  gnutil::platform::ApplyZone("");
  EXPECT_EQ(nullptr, getenv("TZ"));
}

// LocalTime answers from its remembered stretches for moments near ones it
// converted before; every answer must still be glibc's.
TEST(PosixClock, LocalTimeMatchesLocaltimeR) {
  const char* zones[] = {"UTC0", "America/New_York", "Europe/Berlin", "Australia/Lord_Howe",
                         "Asia/Kolkata"};
  for (const char* zone : zones) {
    gnutil_test::ScopedSystemZone scoped(zone);
    for (long long t = -86400; t < 2147483647LL; t += 7919LL * 613) {
      for (long long d : {0LL, 1LL, 3599LL, 86399LL}) {
        tm mine, theirs;
        time_t tt = static_cast<time_t>(t + d);
        ASSERT_TRUE(gnutil::platform::LocalTime(t + d, mine));
        ASSERT_NE(nullptr, localtime_r(&tt, &theirs));
        ASSERT_EQ(Fields(theirs), Fields(mine)) << zone << " " << t + d;
      }
    }
  }
}

}  // namespace
