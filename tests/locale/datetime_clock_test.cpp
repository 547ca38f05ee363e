// CGNDateTime's clock conversions east and west of UTC, and the 1970 and 2038 edges.
#include <gnutil/datetime.h>
#include <gnutil/lclst.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "support/datetime_settings.h"
#include "support/test_locale.h"
#include "support/test_zone.h"

namespace {

using gnutil_test::ThreadZone;

tm MakeTm(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  tm t;
  memset(&t, 0, sizeof t);
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return t;
}

// The calendar fields as text: year, month 1..12, day, time, week day, and
// (with all) the year day and daylight flag.
std::string Fields(const tm& t, bool all = false) {
  char text[80];
  snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d w%d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
           t.tm_hour, t.tm_min, t.tm_sec, t.tm_wday);
  return all ? text + (" " + std::to_string(t.tm_yday) + " " + std::to_string(t.tm_isdst)) : text;
}

TEST(DateTimeValue, SecondZeroInZonesEastAndWest) {
  const struct {
    const char *zone, *fields;
    int minYear;
  } cases[] = {{gnutil_test::kZoneUTC, "1970-1-1 0:0:0 w4", 70},
               {gnutil_test::kZoneWest5, "1969-12-31 19:0:0 w3", 69},
               {gnutil_test::kZoneEast9, "1970-1-1 9:0:0 w4", 70}};
  for (const auto& c : cases) {
    ThreadZone zone(c.zone);
    CGNDateTime v(0L);
    tm t;
    v.ToTM(&t);
    EXPECT_EQ(c.fields, Fields(t)) << c.zone;
    EXPECT_EQ(c.minYear, CGNDateTime::MinYear()) << c.zone;
    EXPECT_EQ(0, v.GetSecsFrom70());
  }
}

TEST(DateTimeClock, NegativeSecondsConvertAsTheLastSecond) {
  ThreadZone zone(gnutil_test::kZoneUTC);
  tm a, b;
  CGNDateTime::LocalTimeTS(-5, a);
  CGNDateTime::LocalTimeTS(2147483647L, b);
  EXPECT_EQ(Fields(b, true), Fields(a, true));
  EXPECT_EQ("2038-1-19 3:14:7 w2 18 0", Fields(a, true));
  int h, m, s;
  CGNDateTime::MaxTime(&h, &m, &s);
  EXPECT_EQ(31407, h * 10000 + m * 100 + s);
}

TEST(DateTimeClock, MkTimeRoundTripsAndNormalises) {
  ThreadZone zone(gnutil_test::kZoneEast9);
  tm t = MakeTm(2001, 3, 5, 14, 7, 9);
  long s = CGNDateTime::MkTimeTS(&t);
  EXPECT_EQ(983801229L - 9 * 3600, s);
  tm back;
  CGNDateTime::LocalTimeTS(s, back);
  EXPECT_EQ("2001-3-5 14:7:9 w1", Fields(back));
  tm april31 = MakeTm(2001, 4, 31);
  CGNDateTime::MkTimeTS(&april31);
  EXPECT_EQ("2001-5-1 0:0:0 w2", Fields(april31));
  tm beyond = MakeTm(2038, 1, 20);
  EXPECT_EQ(-1, CGNDateTime::MkTimeTS(&beyond));
  EXPECT_EQ(-1, CGNDateTime::MkTimeTS(nullptr));
  // A typed date is read in the thread's zone.
  gnutil_test::ApplySettings(gnutil_test::kEnglishUS);
  CGNDateTime typed;
  ASSERT_EQ(1, typed.FromString("3/5/01 2:07:09 PM"));
  EXPECT_EQ(983801229L - 9 * 3600, typed.GetSecsFrom70());
}

TEST(DateTimeClock, MidnightTodayAndNow) {
  long now = CGNDateTime::Now();
  long midnight = CGNDateTime::GetLocalMidnightToday();
  EXPECT_LE(midnight, now);
  EXPECT_LT(now - midnight, 86400 + 5);
  long t = 0;
  EXPECT_GE(CGNDateTime::TimeTS(&t), now);
  EXPECT_GE(t, now);
}

TEST(DateTimeRange, IsValidDate) {
  ThreadZone zone(gnutil_test::kZoneUTC);
  const struct {
    int year, month, day;
    unsigned char expected;
  } cases[] = {{100, 1, 30, 1}, {70, 0, 1, 1}, {69, 11, 31, 0}, {138, 0, 19, 1}, {138, 0, 20, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, CGNDateTime::IsValidDate(c.year, c.month, c.day))
        << c.year << "/" << c.month << "/" << c.day;
}

TEST(DateTimeRange, VerifyDateTime) {
  const char* utc = gnutil_test::kZoneUTC;
  const char* west = gnutil_test::kZoneWest5;
  const char* east = gnutil_test::kZoneEast9;
  // clang-format off
  const struct {
    const char* zone;
    tm t;
    unsigned char result;
    long status;
  } cases[] = {
      {utc, MakeTm(2038, 1, 18, 12, 0, 0), 0, 4}, {utc, MakeTm(2038, 1, 18, 3, 14, 7), 1, 1},
      {utc, MakeTm(2038, 1, 19, 0, 0, 0), 0, 2}, {utc, MakeTm(2001, 4, 31), 0, 1},
      {utc, MakeTm(2039, 13, 40, 10, 60, 0), 0, 3}, {utc, MakeTm(2001, 1, 1, 24, 0, 0), 0, 3},
      {utc, MakeTm(1969, 12, 31, 0, 0, 0), 0, 2}, {utc, MakeTm(1970, 1, 1, 0, 0, 0), 1, 1},
      {utc, MakeTm(2000, 2, 29), 1, 1}, {utc, MakeTm(2001, 0, 1), 0, 2},
      // West of UTC second 0 falls on 31 December 1969 and MaxTime is 22:14:07.
      // (The Windows runtime's mktime refuses a moment before 1970 UTC.)
      {west, MakeTm(1969, 12, 31, 20, 0, 0), gnutil_test::PosixOrWindows<unsigned char>(1, 0), 1},
      {west, MakeTm(2038, 1, 18, 22, 14, 8), 0, 4},
      // East of UTC MaxTime is 12:14:07.
      {east, MakeTm(2038, 1, 18, 12, 14, 7), 1, 1},
      {east, MakeTm(2038, 1, 18, 12, 14, 8), 0, 4}};
  // clang-format on
  for (const auto& c : cases) {
    ThreadZone zone(c.zone);
    CGNDateTime v;
    tm t = c.t;
    SCOPED_TRACE(std::string(c.zone) + " " + Fields(t));
    EXPECT_EQ(c.result, v.VerifyDateTime(&t));
    EXPECT_EQ(c.status, v.GetDateTimeRangeStatus());
    EXPECT_EQ(Fields(c.t, true), Fields(t, true));
  }
}

TEST(DateTimeRange, VerifyDayRejectsTheHourSkippedByDaylightSaving) {
  if (gnutil_test::kWindows) GTEST_SKIP() << "Wine's runtime applies no daylight rules to TZ";
  ThreadZone zone(gnutil_test::kZoneUSEastern);
  CGNDateTime v;
  // 2001: summer time began on 1 April at 02:00 in the US Eastern zone.
  tm skipped = MakeTm(2001, 4, 1, 2, 30, 0);
  EXPECT_EQ(0, v.VerifyDay(&skipped));
  EXPECT_EQ(0, v.VerifyDateTime(&skipped));
  EXPECT_EQ(1, v.GetDateTimeRangeStatus());
  for (tm ok : {MakeTm(2001, 7, 4, 12), MakeTm(2001, 10, 28, 1, 30), MakeTm(2001, 1, 15, 12)})
    EXPECT_EQ(1, v.VerifyDay(&ok)) << ok.tm_mon + 1 << "/" << ok.tm_mday;
}

TEST(DateTimeZone, UnthreadedProcessNeverTouchesTheEnvironment) {
  gnutil_test::ScopedSystemZone zone(gnutil_test::kZoneUTC);
  ASSERT_EQ(1, CGNLclSt::Instance()->Init(8));
  CGNString west(gnutil_test::kZoneWest5);
  ASSERT_GE(CGNLclSt::Instance()->SetLocalVariable("timezone", &west), 0);
  tm t;
  CGNDateTime::LocalTimeTS(983801229L, t);
  time_t tt = 983801229L;
  EXPECT_EQ(localtime(&tt)->tm_hour, t.tm_hour);  // the variable changes nothing
  CGNDateTime::TimeTS(nullptr);
  EXPECT_STREQ(gnutil_test::kZoneUTC, getenv("TZ"));
  CGNLclSt::Instance()->UnsetLocalVariable("timezone");
}

TEST(DateTimeZone, ThreadedProcessSwitchesToTheThreadsZone) {
  OSSetThreaded();
  ASSERT_EQ(1, CGNDateTime::ModuleInit());
  ASSERT_EQ(1, CGNDateTime::ModuleInit());
  ASSERT_NE(nullptr, CGNDateTime::osMutexLocalTime);
  gnutil_test::ScopedSystemZone zone(gnutil_test::kZoneUTC);
  CGNDateTime::TimeTS(nullptr);  // back to the machine's zone
  EXPECT_EQ(nullptr, getenv("TZ"));
  ASSERT_EQ(1, CGNLclSt::Instance()->Init(8));
  CGNString west(gnutil_test::kZoneWest5);
  ASSERT_GE(CGNLclSt::Instance()->SetLocalVariable("timezone", &west), 0);
  const long secs = 983801229L;  // 14:07:09 UTC
  tm t;
  CGNDateTime::LocalTimeTS(secs, t);
  EXPECT_EQ(9, t.tm_hour);
  EXPECT_STREQ(gnutil_test::kZoneWest5, getenv("TZ"));
  tm local = MakeTm(2001, 3, 5, 9, 7, 9);
  EXPECT_EQ(secs, CGNDateTime::MkTimeTS(&local));
  CGNDateTime::TimeTS(nullptr);
  EXPECT_EQ(nullptr, getenv("TZ"));
  // An empty variable, or one too long for the environment: the system zone.
  CGNLclSt::Instance()->UnsetLocalVariable("timezone");
  CGNString tooLong(std::string(125, 'A').c_str());
  ASSERT_GE(CGNLclSt::Instance()->SetLocalVariable("timezone", &tooLong), 0);
  CGNDateTime::LocalTimeTS(secs, t);
  time_t ts = secs;
  EXPECT_EQ(localtime(&ts)->tm_hour, t.tm_hour);
  CGNLclSt::Instance()->UnsetLocalVariable("timezone");
}

}  // namespace
