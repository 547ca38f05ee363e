// Reading dates and times back: the free-form parser, the pattern reader, the scanner.
#include <gnutil/datetime.h>
#include <gnutil/lclocale.h>
#include <gtest/gtest.h>
#include <time.h>

#include <string>

#include "support/datetime_settings.h"
#include "support/joined.h"
#include "support/test_locale.h"
#include "support/test_zone.h"

namespace {

using gnutil_test::ApplySettings;
using gnutil_test::Join;

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
  EXPECT_EQ(
      Join(or_(c.year, today.tm_year + 1900), or_(c.month, today.tm_mon + 1),
           or_(c.day, today.tm_mday), c.time, c.noTime, t.tm_mday, t.tm_hour),
      Join(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour * 10000 + t.tm_min * 100 + t.tm_sec,
           c.noTime < 0 ? -1 : noTime, back.tm_mday, back.tm_hour));
}

TEST(DateTimeParse, EnglishShapes) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  // clang-format off
  const ParseCase cases[] = {
      {"3/5/01 2:07:09 PM", 0, 2001, 3, 5, 140709, 0}, {"12-25-1999", 0, 1999, 12, 25, 0, 1},
      {"12/25/99 10:30 PM", 0, 1999, 12, 25, 223000, 0}, {"12/25", 0, kToday, 12, 25, 0, 1},
      {"25 December 1999", 0, 1999, 12, 25, 0, 1}, {"25 dec 1999", 0, 1999, 12, 25, 0, 1},
      {"Dec 25, 99", 0, 1999, 12, 25, 0, 1}, {"Tue 12/25/99", 0, 1999, 12, 25, 0, 1},
      {"Saturday, December 25, 1999", 0, 1999, 12, 25, 0, 1},
      {"10:30:15", 0, kToday, kToday, kToday, 103015, 0},
      {"PM 3:05", 0, kToday, kToday, kToday, 150500, 0},
      {"Tuesday 10:30", 0, kToday, kToday, kToday, 103000, 0}, {"1/1/70", 0, 1970, 1, 1, 0, 1},
      {"1/18/2038 3:14:07 AM", 0, 2038, 1, 18, 31407, 0}, {"12/25/99 xyz", 0, 1999, 12, 25, 0, 1},
      {"12/25/99 10:30 xyz", 0, 1999, 12, 25, 103000, 0},
      {"12/25/99 10:30PM", 0, 1999, 12, 25, 223000, 0}, {"2/29/2000", 0, 2000, 2, 29, 0, 1},
      {"12/25/99 12:00 AM", 0, 1999, 12, 25, 0, 0}, {"12/25/99 12 PM", 0, 1999, 12, 25, 120000, 0},
      {"12/25/99 0 PM", 0, 1999, 12, 25, 120000, 0}, {"12/25/99 13 PM", 0, 1999, 12, 25, 130000, 0},
      // Under "M/d/yy" the pattern takes 10 for the year and the time is :30.
      {"12/25 10:30", 0, 2010, 12, 25, 3000, 0},
      // Failures and their reasons.
      {"", 1}, {"2/30/2000", 1}, {"12/25/69", 2}, {"1/19/2038", 2}, {"1/18/38 4:00 AM", 4},
      {"12/25/99 24:00", 3}, {"12/25/99 10:60", 3}, {"12/25/99 10.30", 5}, {"PM 3:05x", 5},
      {"Smarch 5 2001", 1}, {"Dec 0, 99", 1},
      {"25 December", 2},  // the pattern's month reader saw 25 first
      {"12 AM", 1}};       // the word after a number must be a month name
  // clang-format on
  for (const ParseCase& c : cases) CheckParse(c);
  // With a four-digit year pattern the pattern does not match, and the
  // numeric path keeps the current year.
  CLCGlobalLocale::Instance()->m_shortDateFormat = "M/d/yyyy";
  CheckParse({"12/25 10:30", 0, kToday, 12, 25, 103000, 0});
  // The text is read up to 127 bytes.
  std::string text = "1/2/03";
  text.resize(127, ' ');
  CheckParse({text.c_str(), 0, 2003, 1, 2, 0, 1});
  text += " ";
  CheckParse({text.c_str(), 4});
}

TEST(DateTimeParse, GermanDayFirst) {
  const char* german = gnutil_test::PosixOrWindows("de_DE.iso88591", "C");
  GNUTIL_USE_LOCALE(german);
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kGerman);
  // clang-format off
  const ParseCase cases[] = {
      {"05.03.2001 14:07:09", 0, 2001, 3, 5, 140709, 0}, {"5.3.01", 0, 2001, 3, 5, 0, 1},
      {"5.3", 0, kToday, 3, 5, 0, 1}, {"25. Dezember 1999", 0, 1999, 12, 25, 0, 1},
      {"1. M\xE4rz 2001 8:05", 0, 2001, 3, 1, 80500, 0},
      {"Montag, 5. M\xE4rz 2001", 0, 2001, 3, 5, 0, 1},
      {"14:07", 0, kToday, kToday, kToday, 140700, 0}, {"31.04.2001", 1}, {"05.13.2001", 2},
      {"25. Dezember", 1}};
  // clang-format on
  for (const ParseCase& c : cases) CheckParse(c);
}

// 年 \x94\x4E, 月 \x8C\x8E, 日 \x93\xFA; 平成 \x95\xBD\x90\xAC, 昭和 \x8F\xBA\x98\x61.
#define NEN "\x94\x4E"
#define GATSU "\x8C\x8E"
#define NICHI "\x93\xFA"
#define HEISEI "\x95\xBD\x90\xAC"
#define SHOWA "\x8F\xBA\x98\x61"

TEST(DateTimeParse, JapaneseShiftJIS) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kJapanese);
  const ParseCase cases[] = {
      {"2001/03/05 14:07:09", 0, 2001, 3, 5, 140709, 0},
      {"2001" NEN "3" GATSU "5" NICHI, 0, 2001, 3, 5, 0, 1},
      {"1999" NEN "12" GATSU "25" NICHI " 10:30", 0, 1999, 12, 25, 103000, 0},
      {HEISEI "11" NEN "3" GATSU "5" NICHI, 0, 1999, 3, 5, 0, 1},  // era from 1989
      {SHOWA "63" NEN "12" GATSU "31" NICHI, 0, 1988, 12, 31, 0, 1},
      // Full-width digits: ２００１年３月５日 and ２００１/０３/０５
      {"\x82\x51\x82\x4F\x82\x4F\x82\x50" NEN "\x82\x52" GATSU "\x82\x54" NICHI, 0, 2001, 3, 5, 0,
       1},
      {"\x82\x51\x82\x4F\x82\x4F\x82\x50/\x82\x4F\x82\x52/\x82\x4F\x82\x54", 0, 2001, 3, 5, 0, 1},
      {"3" GATSU "5" NICHI, 0, kToday, 3, 5, 0, 1},
      {"5" NICHI, 0, kToday, kToday, 5, 0, 1},
      {"01" NEN "3" GATSU "5" NICHI, 0, 2001, 3, 5, 0, 1},
      {"2001" NEN "x" GATSU, 1}};
  for (const ParseCase& c : cases) CheckParse(c);
}

TEST(DateTimeReader, DateAgainstAPattern) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  // clang-format off
  const struct {
    const char *pattern, *text;
    long fails;    // 0: read, range status 1; else the status (date and text left alone)
    int date = 0;  // years since 1900, month 0..11, day
    const char* rest = nullptr;
  } cases[] = {
      {"MM/dd/yyyy", "12/25/1999 10:30 PM", 0, 991125, " 10:30 PM"},
      {"M/d/yy", "1/2/03", 0, 1030002, ""}, {"M/d/yy", "1/2/70", 0, 700002, ""},
      {"M/d/yy", " 1 / 2 / 70x", 0, 700002, "x"}, {"dd/MM/yyyy", "25/13/1999", 2},
      {"MM/dd/yyyy", "12-25-1999", 1}, {"MM/dd/yyyy", "12/25/2039", 2},
      {"MM/dd/yyyy", "12/25/1969", 2}, {"MM/dd/yyyy", "12/25/12345", 1},
      {"MM/dd/yyyy", "12/32/1999", 2}, {"MMM d, yy", "Dec 25, 99", 0, 991125, ""},
      {"MMM d, yy", "DEC 25, 99", 1}, {"MMMM d", "December 25", 0, 1001125, ""},
      {"dddd, MMMM dd, yyyy", "Saturday, December 25, 1999!", 0, 991125, "!"},
      {"ddd MMM d", "Sat Dec 25", 0, 1001125, ""}, {"M/d", "12/25 10:30", 0, 1001125, " 10:30"},
      {"M/d/yy", "12/25", 1}, {"'on' M/d", "on 3/5", 0, 1000205, ""}, {"'on' M/d", "at 3/5", 1},
      {"yy/M", "01/3", 1}, {"MMMMM d", "December 25", 1}, {"yyy M d", "001 3 5", 1},
      {"g M d", "3 5", 1}};
  // clang-format on
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
    EXPECT_EQ(Join(c.fails ? c.fails : 1, c.fails ? c.text : c.rest, c.fails ? 1000515 : c.date),
              Join(status, rest, t.tm_year * 10000 + t.tm_mon * 100 + t.tm_mday));
  }
}

TEST(DateTimeReader, FieldReaders) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  using D = CGNDateTime;
  // clang-format off
  const struct {
    unsigned char (D::*reader)(const CGNString&, CGNString&);
    const char* text;
    const char* rest = nullptr;  // null: fails, the text left alone
  } cases[] = {
      {&D::GetMonthNumFromString, " 12/", "/"}, {&D::GetMonthNumFromString, "123"},
      {&D::GetMonthAbbrevFromString, "Marx", "x"}, {&D::GetMonthNameFromString, "Mar"},
      {&D::GetDayNumFromString, "31st", "st"}, {&D::GetDayAbbrevFromString, "Sun,", ","},
      {&D::Get1DigitYearFromString, "5/", "/"}, {&D::Get2DigitYearFromString, "5/"},
      {&D::Get4DigitYearFromString, "12345"}, {&D::GetDateSepFromString, "-x"}};
  // clang-format on
  for (const auto& c : cases) {
    CGNDateTime v;
    CGNString rest;
    EXPECT_EQ(c.rest != nullptr, (v.*c.reader)(c.text, rest)) << c.text;
    EXPECT_EQ(c.rest ? c.rest : c.text, std::string(rest)) << c.text;
  }
  CGNDateTime v;
  CGNString rest;
  EXPECT_EQ(1, v.GetMatchingCharFromString(" ,x", rest, ','));
  EXPECT_EQ("x", std::string(rest));
  EXPECT_EQ(0, v.GetMatchingCharFromString("x", rest, ','));
  EXPECT_EQ("x", std::string(rest));
  // Without the Japanese calendar an era name is not consumed.
  EXPECT_EQ(0, v.GetEmperorFromString(HEISEI "13", rest));
  EXPECT_EQ(HEISEI "13", std::string(rest));
}

TEST(DateTimeReader, TimeScanner) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  const struct {
    const char* text;
    long is24, prefix;
    unsigned char ok;
    long status;
    const char* rest;  // null: not checked
  } cases[] = {{"10:30:15", 0, 0, 1, 1, ""},         {"1:05 PM", 0, 0, 1, 1, ""},
               {"12:05 AM  ", 0, 0, 1, 1, "  "},     {"AM 9:05", 0, 1, 1, 1, ""},
               {"AM 9:05", 0, 0, 0, 1, nullptr},     {"9:05 AM", 0, 1, 0, 1, nullptr},
               {"10:30:", 0, 0, 0, 1, nullptr},      {"10:30 PM x", 0, 0, 0, 1, nullptr},
               {"13:00 PM", 0, 0, 0, 3, "13:00 PM"}, {"24:00", 1, 0, 0, 3, "24:00"},
               {"10:61", 1, 0, 0, 3, "10:61"},       {"10:30 AM", 1, 0, 0, 1, "10:30 AM"},
               {"100:30", 1, 0, 0, 1, nullptr},      {"1:2:3:4", 1, 0, 0, 1, nullptr},
               {"x", 1, 0, 0, 1, nullptr},           {"", 1, 0, 0, 1, nullptr}};
  CLCLocale& loc = *CLCGlobalLocale::Instance();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    loc.m_24HourTime = c.is24;
    loc.m_ampmPrefix = c.prefix;
    CGNDateTime v;
    CGNString rest;
    EXPECT_EQ(c.ok, v.GetTimeFromString(c.text, rest));
    EXPECT_EQ(c.status, v.GetDateTimeRangeStatus());
    if (c.rest) {
      EXPECT_EQ(c.rest, std::string(rest));
    }
  }
}

TEST(DateTimeReader, JapaneseUnitsAndEras) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kJapanese);
  CGNDateTime v;
  CGNString rest;
  // 10時30分15秒
  EXPECT_EQ(1, v.GetTimeFromString("10\x8E\x9E"
                                   "30\x95\xAA"
                                   "15\x95\x62",
                                   rest));
  // 平成13年3月5日 and 昭和63年1月7日 read with an era pattern under the
  // Japanese calendar.
  CLCGlobalLocale::Instance()->m_calendarType = 3;
  const char* pattern = "ggyy'" NEN "'M'" GATSU "'d'" NICHI "'";
  const struct {
    const char* text;
    int date;  // years since 1900, month 0..11, day
  } cases[] = {{HEISEI "13" NEN "3" GATSU "5" NICHI, 1010205},
               {SHOWA "63" NEN "1" GATSU "7" NICHI, 880007}};
  for (const auto& c : cases) {
    CGNDateTime e;
    ASSERT_EQ(1, e.GetDateFromStringUsingFormat(c.text, rest, pattern));
    tm t;
    e.parseTime("0", &t);
    EXPECT_EQ(c.date, t.tm_year * 10000 + t.tm_mon * 100 + t.tm_mday);
  }
  EXPECT_EQ(1, v.GetEmperorFromString(SHOWA, rest));
  EXPECT_EQ("", std::string(rest));
}

// Whatever patterns the system gives a locale, a moment shown in them reads back.
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
