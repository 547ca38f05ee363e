// CGNDateTime: clock conversions east and west of UTC and the 1970 and 2038
// edges, display text, and reading dates and times back.
#include <gnutil/datetime.h>
#include <gnutil/lclocale.h>
#include <gnutil/lclst.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include <string>

#include "support/datetime_settings.h"
#include "support/fake_locale_info.h"
#include "support/test_locale.h"
#include "support/test_zone.h"

namespace {

// Converts in the given zone from now on: the process goes threaded and the
// thread's "timezone" variable names the zone. (The system zone of Windows is
// the system's own whatever TZ says, so a test zone has to be the thread's.)
struct ThreadZone {
  explicit ThreadZone(const char* zone) : zone_(zone) {
    OSSetThreaded();
    CGNDateTime::ModuleInit();
    CGNLclSt::Instance()->Init(8);
    CGNLclSt::Instance()->UnsetLocalVariable("timezone");
    CGNLclSt::Instance()->SetLocalVariable("timezone", &zone_);
  }
  ~ThreadZone() { CGNLclSt::Instance()->UnsetLocalVariable("timezone"); }
  CGNString zone_;
};

using namespace gnutil_test;  // NOLINT: the suite's zones, settings and helpers

const long kMonday = 983801229L;  // 2001-03-05 14:07:09 UTC, a Monday

// 年 \x94\x4E, 月 \x8C\x8E, 日 \x93\xFA; 平成 \x95\xBD\x90\xAC.
#define NEN "\x94\x4E"
#define GATSU "\x8C\x8E"
#define NICHI "\x93\xFA"
#define HEISEI "\x95\xBD\x90\xAC"

// The calendar fields as text: year, month 1..12, day, time, week day, and
// (with all) the year day and daylight flag.
std::string Fields(const tm& t, bool all = false) {
  char text[80];
  snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d w%d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
           t.tm_hour, t.tm_min, t.tm_sec, t.tm_wday);
  return all ? text + (" " + std::to_string(t.tm_yday) + " " + std::to_string(t.tm_isdst)) : text;
}

TEST(DateTimeClock, ConversionsBothWays) {
  ThreadZone zone(kZoneEast9);
  tm t = MakeTm(2001, 3, 5, 14, 7, 9);
  EXPECT_EQ(kMonday - 9 * 3600, CGNDateTime::MkTimeTS(&t));
  tm april31 = MakeTm(2001, 4, 31);
  CGNDateTime::MkTimeTS(&april31);
  EXPECT_EQ("2001-5-1 0:0:0 w2", Fields(april31));
  tm beyond = MakeTm(2038, 1, 20);
  EXPECT_EQ(-1, CGNDateTime::MkTimeTS(&beyond));
  EXPECT_EQ(-1, CGNDateTime::MkTimeTS(nullptr));
  // Negative seconds convert as the last second.
  tm negative, last;
  CGNDateTime::LocalTimeTS(-5, negative);
  CGNDateTime::LocalTimeTS(2147483647L, last);
  EXPECT_EQ(Fields(last, true), Fields(negative, true));
  EXPECT_EQ("2038-1-19 12:14:7 w2 18 0", Fields(negative, true));
  // A zone too long for the environment: the system zone.
  CGNString tooLong(std::string(125, 'A').c_str());
  CGNLclSt::Instance()->UnsetLocalVariable("timezone");
  ASSERT_GE(CGNLclSt::Instance()->SetLocalVariable("timezone", &tooLong), 0);
  CGNDateTime::LocalTimeTS(kMonday, t);
  time_t system = kMonday;
  EXPECT_EQ(localtime(&system)->tm_hour, t.tm_hour);
}

TEST(DateTimeRange, IsValidDate) {
  ThreadZone zone(kZoneUTC);
  const struct {
    int year, month, day;  // years since 1900, month 0..11
    unsigned char expected;
  } cases[] = {{100, 1, 30, 1}, {70, 0, 1, 1}, {69, 11, 31, 0}, {138, 0, 19, 1}, {138, 0, 20, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(c.expected, CGNDateTime::IsValidDate(c.year, c.month, c.day))
        << c.year << "/" << c.month << "/" << c.day;
}

TEST(DateTimeRange, VerifyDateTime) {
  const struct {
    const char* zone;
    tm t;
    unsigned char result;
    long status;
  } cases[] = {{kZoneUTC, MakeTm(2038, 1, 18, 12, 0, 0), 0, 4},
               {kZoneUTC, MakeTm(2038, 1, 18, 3, 14, 7), 1, 1},
               {kZoneUTC, MakeTm(2038, 1, 19, 0, 0, 0), 0, 2},
               {kZoneUTC, MakeTm(2001, 1, 1, 24, 0, 0), 0, 3},
               {kZoneUTC, MakeTm(1969, 12, 31, 0, 0, 0), 0, 2},
               {kZoneUTC, MakeTm(1970, 1, 1, 0, 0, 0), 1, 1},
               {kZoneUTC, MakeTm(2001, 0, 1), 0, 2},
               // West of UTC second 0 falls on 31 December 1969 and MaxTime is 22:14:07.
               // (The Windows runtime's mktime refuses a moment before 1970 UTC.)
               {kZoneWest5, MakeTm(1969, 12, 31, 20, 0, 0), PosixOrWindows<unsigned char>(1, 0), 1},
               {kZoneWest5, MakeTm(2038, 1, 18, 22, 14, 8), 0, 4},
               // East of UTC MaxTime is 12:14:07.
               {kZoneEast9, MakeTm(2038, 1, 18, 12, 14, 7), 1, 1},
               {kZoneEast9, MakeTm(2038, 1, 18, 12, 14, 8), 0, 4}};
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
  if (kWindows) GTEST_SKIP() << "Wine's runtime applies no daylight rules to TZ";
  ThreadZone zone(kZoneUSEastern);
  CGNDateTime v;
  // 2001: summer time began on 1 April at 02:00 in the US Eastern zone.
  tm skipped = MakeTm(2001, 4, 1, 2, 30, 0);
  EXPECT_EQ(0, v.VerifyDay(&skipped));
  EXPECT_EQ(0, v.VerifyDateTime(&skipped));
  EXPECT_EQ(1, v.GetDateTimeRangeStatus());
  for (tm ok : {MakeTm(2001, 7, 4, 12), MakeTm(2001, 10, 28, 1, 30), MakeTm(2001, 1, 15, 12)})
    EXPECT_EQ(1, v.VerifyDay(&ok)) << ok.tm_mon + 1 << "/" << ok.tm_mday;
}

// Without threads the zone is the system's: the thread's variable changes
// nothing, and TZ is left alone.
TEST(DateTimeZone, UnthreadedProcessFollowsTheSystemZone) {
  ScopedSystemZone zone(kZoneUTC);
  ASSERT_EQ(1, CGNLclSt::Instance()->Init(8));
  CGNString west(kZoneWest5);
  ASSERT_GE(CGNLclSt::Instance()->SetLocalVariable("timezone", &west), 0);
  tm t;
  CGNDateTime::LocalTimeTS(kMonday, t);
  time_t tt = kMonday;
  EXPECT_EQ(localtime(&tt)->tm_hour, t.tm_hour);
  CGNDateTime::TimeTS(nullptr);
  EXPECT_STREQ(kZoneUTC, getenv("TZ"));
  CGNLclSt::Instance()->UnsetLocalVariable("timezone");
}

std::string Display(CGNDateTime& v) {
  CGNString s;
  v.GetDisplayBuffer(s);
  return std::string(s);
}

// United States English settings, converting in UTC.
class DateTimeInEnglish : public ::testing::Test {
 protected:
  void SetUp() override { ApplySettings(kEnglishUS); }
  ThreadZone zone_{kZoneUTC};
};

// The display forms (1 short, 2 long, 7 time only) in the real legacy
// locales, one process each.
void CheckForms(const DateSettings& settings,
                std::initializer_list<std::pair<long, const char*>> forms) {
  ThreadZone zone(kZoneUTC);
  ApplySettings(settings);
  for (auto& f : forms) {
    CGNDateTime v(kMonday);
    EXPECT_EQ(1, v.FormatForDisplay(f.first));
    EXPECT_EQ(f.second, Display(v)) << f.first;
  }
}

TEST(DateTimeFormat, FormsInEnglish) {
  DateSettings settings = kEnglishUS;
  CheckForms(
      settings,
      {{1, "3/5/01 2:07:09 PM"}, {2, "Monday, March 05, 2001 2:07:09 PM"}, {7, " 2:07:09 PM"}});
  // The marker first and the hour with a leading zero; the 24-hour clock.
  settings.ampmPrefix = settings.hourLeadingZero = 1;
  CheckForms(settings, {{7, " PM 02:07:09"}});
  settings.timeFormat = "H:mm:ss";
  CheckForms(settings, {{7, " 14:07:09"}});
  EXPECT_EQ(0, CGNDateTime::Is12Hour());
}

TEST(DateTimeFormat, JapaneseShiftJIS) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  CheckForms(kJapanese,
             {{1, "2001/03/05 14:07:09"}, {2, "2001" NEN "3" GATSU "5" NICHI " 14:07:09"}});
}

// Patterns as the short date, for one moment or several.
struct PatternCase {
  const char* pattern;
  long seconds;
  unsigned char result;
  const char* expected;
};

void CheckPatterns(std::initializer_list<PatternCase> cases) {
  CLCLocale& loc = *CLCGlobalLocale::Instance();
  for (const PatternCase& c : cases) {
    loc.m_shortDateFormat = c.pattern;
    CGNDateTime v(c.seconds);
    EXPECT_EQ(c.result, v.FormatDateForDisplay(1)) << c.pattern;
    EXPECT_EQ(c.expected, Display(v)) << c.pattern;
  }
}

TEST_F(DateTimeInEnglish, PatternLanguage) {
  CheckPatterns({{"dd/MM/yyyy", kMonday, 1, "05/03/2001"},
                 {"ddd MMM y", kMonday, 1, "Mon Mar 1"},
                 {"d/MMMMM", kMonday, 0, "5/"},
                 {"yyy", kMonday, 0, ""},
                 {"'Day' d", kMonday, 1, "Day 5"},
                 {"d 'of the month", kMonday, 1, "5 "},
                 {"''d", kMonday, 1, "5"},
                 {"g d", kMonday, 0, ""},
                 {"gg yy", kMonday, 1, "01"},
                 {"", kMonday, 1, ""}});
}

// Years of the Japanese calendar; with the era that began on 1 May 2019 the
// day decides, not the year.
TEST(DateTimeFormat, JapaneseEraYears) {
  UseShiftJisFixedTexts();  // the era names as Shift-JIS bytes
  ThreadZone zone(kZoneUTC);
  ASSERT_EQ(1, CLCLocale::SetEraSource(LC_ERAS_CURRENT));
  ApplySettings(kEnglishUS);
  CLCGlobalLocale::Instance()->m_calendarType = 3;
  CheckPatterns({{"gg yy", kMonday, 1, "13"},            // 2001 is year 13 of the era from 1989
                 {"yyyy", 725846400L, 1, "05"},          // 1993
                 {"y", 599616000L, 1, "1"},              // 1989
                 {"yy/M/d", 567993600L, 1, "63/1/1"},    // 1988, last year of the era from 1926
                 {"yy/M/d", 1556582400L, 1, "31/4/30"},  // 2019-04-30, the old era's last day
                 {"yy/M/d", 1556668800L, 1, "01/5/1"}});
  CLCLocale::SetEraSource(LC_ERAS_CLASSIC);
}

TEST_F(DateTimeInEnglish, SingleFieldWriters) {
  using D = CGNDateTime;
  const struct {
    long seconds;
    unsigned char (D::*write)(CGNString&);
    const char* expected;
  } cases[] = {// Sunday 2001-03-11 00:00:00: the week day counts from Sunday, the
               // names from Monday; midnight is 12 AM.
               {984268800L, &D::WeekDayNum, "1"},  {984268800L, &D::DayAbbrev, "Sun"},
               {984268800L, &D::AMPMMarker, "AM"}, {984268800L, &D::Hour12, "12"},
               {kMonday, &D::WeekDayNum, "2"},     {984268800L, &D::DayName, "Sunday"},
               {kMonday, &D::DayNumLZ, "05"},      {kMonday, &D::MonthAbbrev, "Mar"},
               {kMonday, &D::Year1Digit, "1"},     {kMonday, &D::Year4Digit, "2001"},
               {kMonday, &D::Hour12LZ, "02"},      {kMonday, &D::Hour24, "14"},
               {kMonday, &D::Second, "09"},        {kMonday, &D::AMPMMarker, "PM"}};
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    CGNDateTime v(cases[i].seconds);
    CGNString s("old text");
    EXPECT_EQ(1, (v.*cases[i].write)(s));
    EXPECT_STREQ(cases[i].expected, s) << "row " << i;
  }
}

TEST(DateTimeFormat, EmptyValueAndValuesFromFields) {
  ApplySettings(kEnglishUS);
  CGNDateTime v;
  EXPECT_EQ(0, v.FormatForDisplay(1));
  EXPECT_EQ("", Display(v));
  ThreadZone zone(kZoneUTC);
  tm afternoon = MakeTm(2001, 3, 5, 14);
  CGNDateTime formatted(&afternoon);
  EXPECT_EQ("3/5/01 2:00:00 PM", Display(formatted));
  EXPECT_EQ(0, formatted.GetSecsFrom70());
  tm distant = MakeTm(2001, 1, 1, 0);
  distant.tm_year = INT_MAX;  // the year saturates at INT_MAX instead of wrapping
  CGNDateTime farValue(&distant);
  EXPECT_EQ("1/1/47 12:00:00 AM", Display(farValue));
}

constexpr int kToday = -1;  // the current year, month or day

struct ParseCase {
  const char* text;
  long fails;                        // 0: read, range status 1; else the status it fails with
  int year = 0, month = 0, day = 0;  // month 1..12
  int time = 0;                      // hhmmss
  int noTime = -1;                   // -1: not checked
};

void CheckParse(const ParseCase& c) {
  SCOPED_TRACE(c.text);
  tm today, t, back;
  CGNDateTime::LocalTimeTS(CGNDateTime::Now(), today);
  CGNDateTime v;
  unsigned char noTime = 9;
  EXPECT_EQ(c.fails == 0, v.parseDateTime(c.text, &noTime, 1));
  EXPECT_EQ(c.fails == 0 ? 1 : c.fails, v.GetDateTimeRangeStatus());
  if (c.fails) return;
  v.ToTM(&t);
  CGNDateTime(v.GetSecsFrom70()).ToTM(&back);  // the seconds and the calendar fields agree
  auto or_ = [](int wanted, int now) { return wanted == kToday ? now : wanted; };
  EXPECT_EQ(t.tm_year + 1900, or_(c.year, today.tm_year + 1900));
  EXPECT_EQ(t.tm_mon + 1, or_(c.month, today.tm_mon + 1));
  EXPECT_EQ(t.tm_mday, or_(c.day, today.tm_mday));
  EXPECT_EQ(t.tm_hour * 10000 + t.tm_min * 100 + t.tm_sec, c.time);
  EXPECT_TRUE(c.noTime < 0 || noTime == c.noTime) << "no time " << int(noTime);
  EXPECT_EQ(Fields(back), Fields(t));
}

TEST_F(DateTimeInEnglish, ParserShapes) {
  const ParseCase cases[] = {
      {"3/5/01 2:07:09 PM", 0, 2001, 3, 5, 140709, 0},
      {"12-25-1999", 0, 1999, 12, 25, 0, 1},
      {"12/25", 0, kToday, 12, 25, 0, 1},
      {"25 dec 1999", 0, 1999, 12, 25, 0, 1},
      {"10:30:15", 0, kToday, kToday, kToday, 103015, 0},
      {"PM 3:05", 0, kToday, kToday, kToday, 150500, 0},
      {"12/25/99 10:30PM", 0, 1999, 12, 25, 223000, 0},
      {"12/25/99 12:00 AM", 0, 1999, 12, 25, 0, 0},
      {"12/25/99 12 PM", 0, 1999, 12, 25, 120000, 0},
      {"12/25/99 0 PM", 0, 1999, 12, 25, 120000, 0},
      {"12/25/99 13 PM", 0, 1999, 12, 25, 130000, 0},
      // Under "M/d/yy" the pattern takes 10 for the year and the time is :30.
      {"12/25 10:30", 0, 2010, 12, 25, 3000, 0},
      {"2/29/2000", 0, 2000, 2, 29, 0, 1},
      // Failures and their reasons.
      {"", 1},
      {"2/30/2000", 1},
      {"12/25/69", 2},
      {"1/18/38 4:00 AM", 4},
      {"12/25/99 10.30", 5},
      {"Smarch 5 2001", 1},
      {"Dec 0, 99", 1},
      {"25 December", 2},  // the pattern's month reader saw 25 first
      {"12 AM", 1},        // the word after a number must be a month name
      // Numbers too large for their field are out of range, never wrapped.
      {"2147483648/1", 2},
      {"1/1/4294967295", 2},
      {"1/1/2020 4294967306:00", 3}};
  for (const ParseCase& c : cases) CheckParse(c);
  // With a four-digit year pattern the pattern does not match, and the
  // numeric path keeps the current year.
  CLCGlobalLocale::Instance()->m_shortDateFormat = "M/d/yyyy";
  CheckParse({"12/25 10:30", 0, kToday, 12, 25, 103000, 0});
  // The text is read up to 127 bytes, a time at its very end included.
  std::string text = "1/2/03";
  text.resize(127, ' ');
  CheckParse({text.c_str(), 0, 2003, 1, 2, 0, 1});
  text += " ";
  CheckParse({text.c_str(), 4});
  CheckParse({(std::string(122, ' ') + "10:30").c_str(), 0, kToday, kToday, kToday, 103000, 0});
  // The text after a word keeps at most 128 characters.
  for (size_t after : {128, 129}) {
    CGNDateTime v;
    CGNString word, rest;
    v.extractTimeWord(("10 " + std::string(after, 'x')).c_str(), word, rest);
    EXPECT_EQ(128u, rest.GetLengthInBytes()) << after;
  }
}

TEST(DateTimeParse, JapaneseShiftJIS) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  ThreadZone zone(kZoneUTC);
  ApplySettings(kJapanese);
  // The plain year-first forms are read back in DateTimeInit; here the units,
  // eras, full-width digits and overflowing fields.
  const ParseCase cases[] = {
      {"1999" NEN "12" GATSU "25" NICHI " 10:30", 0, 1999, 12, 25, 103000, 0},
      {HEISEI "11" NEN "3" GATSU "5" NICHI " 14:07", 0, 1999, 3, 5, 140700, 0},  // era from 1989
      // Full-width digits: ２００１年３月５日
      {"\x82\x51\x82\x4F\x82\x4F\x82\x50" NEN "\x82\x52" GATSU "\x82\x54" NICHI, 0, 2001, 3, 5, 0,
       1},
      {"3" GATSU "5" NICHI, 0, kToday, 3, 5, 0, 1},
      {"5" NICHI, 0, kToday, kToday, 5, 0, 1},
      {"2001" NEN "x" GATSU, 1},
      {HEISEI "9223372036854775807" NEN "1" GATSU "1" NICHI, 2},
      {"2001" NEN "4294967297" GATSU "1" NICHI, 2}};
  for (const ParseCase& c : cases) CheckParse(c);
  // A double-byte time separator (a kanji) splits the time too.
  CLCGlobalLocale::Instance()->m_timeSep = "\x8E\x9E";
  CheckParse({"2001/03/05 14\216\23607", 0, 2001, 3, 5, 140700, 0});
  CGNDateTime v;
  CGNString rest;
  // 平成13年3月5日 read with an era pattern under the Japanese calendar.
  CLCGlobalLocale::Instance()->m_calendarType = 3;
  ASSERT_EQ(1, v.GetDateFromStringUsingFormat(HEISEI "13" NEN "3" GATSU "5" NICHI, rest,
                                              "ggyy'" NEN "'M'" GATSU "'d'" NICHI "'"));
  tm t;
  v.parseTime("0", &t);
  EXPECT_EQ(1010205, t.tm_year * 10000 + t.tm_mon * 100 + t.tm_mday);
}

TEST_F(DateTimeInEnglish, DateAgainstAPattern) {
  const struct {
    const char *pattern, *text;
    long fails;    // 0: read, range status 1; else the status (date and text left alone)
    int date = 0;  // years since 1900, month 0..11, day
    const char* rest = nullptr;
  } cases[] = {{"MM/dd/yyyy", "12/25/1999 10:30 PM", 0, 991125, " 10:30 PM"},
               {"M/d/yy", " 1 / 2 / 70x", 0, 700002, "x"},
               {"dd/MM/yyyy", "25/13/1999", 2},
               {"MM/dd/yyyy", "12-25-1999", 1},
               {"MM/dd/yyyy", "12/25/2039", 2},
               {"M/d", "123/5", 1},
               {"MMM d, yy", "Dec 25, 99", 0, 991125, ""},
               {"MMM d, yy", "DEC 25, 99", 1},
               {"MMMM d", "December 25", 0, 1001125, ""},
               {"dddd, MMMM dd, yyyy", "Saturday, December 25, 1999!", 0, 991125, "!"},
               {"'on' M/d", "on 3/5", 0, 1000205, ""},
               {"MMMMM d", "December 25", 1},
               {"M/d/", "3/5/", 1}};  // a separator with no field after it
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pattern << " | " << c.text);
    CGNDateTime v;
    // A known working date, so that a failure can be seen to restore it.
    CGNString rest("junk");
    v.GetDateFromStringUsingFormat("6/15/2000", rest, "M/d/yyyy");
    EXPECT_EQ(c.fails == 0, v.GetDateFromStringUsingFormat(c.text, rest, c.pattern));
    const long status = v.GetDateTimeRangeStatus();
    tm t;
    v.parseTime("0", &t);  // copies the working date out
    EXPECT_EQ(status, c.fails ? c.fails : 1);
    EXPECT_EQ(std::string(rest), c.fails ? c.text : c.rest);
    EXPECT_EQ(t.tm_year * 10000 + t.tm_mon * 100 + t.tm_mday, c.fails ? 1000515 : c.date);
  }
  // Without the Japanese calendar an era name (the record's own) is not consumed.
  CGNString era;
  CLCGlobalLocale::Instance()->Init();
  CLCGlobalLocale::Instance()->Emperor(1, era);
  ASSERT_FALSE(era.IsEmpty());
  const std::string text = std::string(era) + "13";
  CGNDateTime v;
  CGNString rest;
  EXPECT_EQ(0, v.GetEmperorFromString(text.c_str(), rest));
  EXPECT_EQ(text, std::string(rest));
}

TEST_F(DateTimeInEnglish, TimeScanner) {
  const struct {
    const char* text;
    long is24, prefix;
    unsigned char ok;
    long status;
    const char* rest;  // null: not checked
  } cases[] = {{"12:05 AM  ", 0, 0, 1, 1, "  "},     {"AM 9:05", 0, 1, 1, 1, ""},
               {"AM 9:05", 0, 0, 0, 1, nullptr},     {"9:05 AM", 0, 1, 0, 1, nullptr},
               {"10:30:", 0, 0, 0, 1, nullptr},      {"13:00 PM", 0, 0, 0, 3, "13:00 PM"},
               {"10:30 AM", 1, 0, 0, 1, "10:30 AM"}, {"1:2:3:4", 1, 0, 0, 1, nullptr}};
  CLCLocale& loc = *CLCGlobalLocale::Instance();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    loc.m_24HourTime = c.is24;
    loc.m_ampmPrefix = c.prefix;
    CGNDateTime v;
    CGNString rest;
    EXPECT_EQ(c.ok, v.GetTimeFromString(c.text, rest));
    EXPECT_EQ(c.status, v.GetDateTimeRangeStatus());
    EXPECT_TRUE(!c.rest || c.rest == std::string(rest)) << "rest " << std::string(rest);
  }
}

// Whatever patterns the system gives a locale, a moment shown in them reads back.
const long kMoments[] = {983801229L,   // 2001-03-05 14:07:09, a Monday
                         946080000L,   // 1999-12-25 00:00:00
                         2147396400L,  // 2038-01-18 03:00:00, before the last time of day
                         3600L};       // 1970-01-01 01:00:00

// (A missing locale skips the rest.)
TEST(DateTimeInit, RoundTrips) {
  for (const char* locale : {PosixOrWindows("en_US.utf8", "C"), "de_DE.iso88591", "ja_JP.sjis"}) {
    GNUTIL_USE_LOCALE(locale);
    CLCGlobalLocale::Free();  // the next use reads the system's settings again
    ThreadZone zone(kZoneUTC);
    ASSERT_FALSE(CLCGlobalLocale::Instance()->Customized());
    for (long form : {1L, 2L}) {
      for (long secs : kMoments) {
        CGNDateTime shown(secs);
        ASSERT_EQ(1, shown.FormatForDisplay(form));
        const std::string text = Display(shown);
        SCOPED_TRACE(testing::Message() << locale << " form " << form << ": " << text);
        CGNDateTime read;
        EXPECT_EQ(1, read.FromString(text.c_str()));
        EXPECT_EQ(secs, read.GetSecsFrom70());
      }
    }
  }
}

}  // namespace
