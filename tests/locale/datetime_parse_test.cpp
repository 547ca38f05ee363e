// Reading dates and times back: the free-form parser as users type, the
// format-driven reader with its field readers, and the time scanner, in
// United States English, German and Japanese (Shift-JIS) settings.
#include <gnutil/datetime.h>
#include <gnutil/lclocale.h>
#include <gtest/gtest.h>
#include <string.h>
#include <time.h>

#include <string>

#include "support/datetime_settings.h"
#include "support/test_locale.h"
#include "support/test_zone.h"

namespace {

using gnutil_test::ApplySettings;

constexpr int kToday = -1;  // the current year, month or day

struct ParseCase {
  const char* text;
  unsigned char ok;
  long status;
  int year = 0, month = 0, day = 0;  // month 1..12
  int hour = 0, minute = 0, second = 0;
  int noTime = -1;  // -1: not checked
};

tm Today() {
  tm t;
  CGNDateTime::LocalTimeTS(CGNDateTime::Now(), t);
  return t;
}

void CheckParse(const ParseCase& c) {
  SCOPED_TRACE(c.text);
  tm today = Today();
  CGNDateTime v;
  unsigned char noTime = 9;
  EXPECT_EQ(c.ok, v.parseDateTime(c.text, &noTime, 1));
  EXPECT_EQ(c.status, v.GetDateTimeRangeStatus());
  if (!c.ok) return;
  tm t;
  v.ToTM(&t);
  EXPECT_EQ(c.year == kToday ? today.tm_year + 1900 : c.year, t.tm_year + 1900);
  EXPECT_EQ(c.month == kToday ? today.tm_mon + 1 : c.month, t.tm_mon + 1);
  EXPECT_EQ(c.day == kToday ? today.tm_mday : c.day, t.tm_mday);
  EXPECT_EQ(c.hour, t.tm_hour);
  EXPECT_EQ(c.minute, t.tm_min);
  EXPECT_EQ(c.second, t.tm_sec);
  if (c.noTime >= 0) {
    EXPECT_EQ(c.noTime, noTime);
  }
  // The seconds and the calendar fields agree.
  CGNDateTime back(v.GetSecsFrom70());
  tm b;
  back.ToTM(&b);
  EXPECT_EQ(t.tm_mday, b.tm_mday);
  EXPECT_EQ(t.tm_hour, b.tm_hour);
}

TEST(DateTimeParse, EnglishShapes) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  const ParseCase cases[] = {
      {"3/5/01 2:07:09 PM", 1, 1, 2001, 3, 5, 14, 7, 9, 0},
      {"12/25/99 10:30 PM", 1, 1, 1999, 12, 25, 22, 30, 0, 0},
      {"12-25-1999", 1, 1, 1999, 12, 25, 0, 0, 0, 1},
      {"12/25", 1, 1, kToday, 12, 25, 0, 0, 0, 1},
      {"25 December 1999", 1, 1, 1999, 12, 25, 0, 0, 0, 1},
      {"25 dec 1999", 1, 1, 1999, 12, 25, 0, 0, 0, 1},
      {"Dec 25, 99", 1, 1, 1999, 12, 25, 0, 0, 0, 1},
      {"Saturday, December 25, 1999", 1, 1, 1999, 12, 25, 0, 0, 0, 1},
      {"Tue 12/25/99", 1, 1, 1999, 12, 25, 0, 0, 0, 1},
      {"10:30:15", 1, 1, kToday, kToday, kToday, 10, 30, 15, 0},
      {"PM 3:05", 1, 1, kToday, kToday, kToday, 15, 5, 0, 0},
      {"Tuesday 10:30", 1, 1, kToday, kToday, kToday, 10, 30, 0, 0},
      {"03/05/05", 1, 1, 2005, 3, 5, 0, 0, 0, 1},
      {"1/1/70", 1, 1, 1970, 1, 1, 0, 0, 0, 1},
      {"1/18/2038 3:14:07 AM", 1, 1, 2038, 1, 18, 3, 14, 7, 0},
      {"12/31/37 11:59:59 PM", 1, 1, 2037, 12, 31, 23, 59, 59, 0},
      {"12/25/99 xyz", 1, 1, 1999, 12, 25, 0, 0, 0, 1},
      {"12/25/99 10:30 xyz", 1, 1, 1999, 12, 25, 10, 30, 0, 0},
      {"12/25/99 10:30x", 1, 1, 1999, 12, 25, 10, 30, 0, 0},
      {"12/25/99 10:30PM", 1, 1, 1999, 12, 25, 22, 30, 0, 0},
      {"12/25/99 12:00 AM", 1, 1, 1999, 12, 25, 0, 0, 0, 0},
      {"12/25/99 12 PM", 1, 1, 1999, 12, 25, 12, 0, 0, 0},
      {"12/25/99 0 PM", 1, 1, 1999, 12, 25, 12, 0, 0, 0},
      {"12/25/99 13 PM", 1, 1, 1999, 12, 25, 13, 0, 0, 0},
      {"2/29/2000", 1, 1, 2000, 2, 29, 0, 0, 0, 1},
      {"12/25/99 ", 1, 1, 1999, 12, 25, 0, 0, 0, 1},
      // Failures and their reasons.
      {"", 0, 1},
      {"   ", 0, 1},
      {"2/30/2000", 0, 1},
      {"12/25/69", 0, 2},
      {"12/25/2039", 0, 2},
      {"1/19/2038", 0, 2},
      {"1/18/38 4:00 AM", 0, 4},
      {"12/25/99 24:00", 0, 3},
      {"12/25/99 10:60", 0, 3},
      {"12/25/99 10.30", 0, 5},
      {"PM 3:05x", 0, 5},
      {"Smarch 5 2001", 0, 1},
      {"Dec 0, 99", 0, 1},
      {"25 December", 0, 2},  // the pattern's month reader saw 25 first
      // "12 AM": the word after a number must be a month name.
      {"12 AM", 0, 1},
  };
  for (const ParseCase& c : cases) CheckParse(c);
}

TEST(DateTimeParse, PatternReadsBeforeTheNumericPath) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  // Under "M/d/yy" the pattern takes 10 for the year and the time is :30.
  CheckParse({"12/25 10:30", 1, 1, 2010, 12, 25, 0, 30, 0, 0});
  // With a four-digit year pattern it does not match, and the numeric path
  // keeps the current year.
  CLCGlobalLocale::Instance()->m_shortDateFormat = "M/d/yyyy";
  CheckParse({"12/25 10:30", 1, 1, kToday, 12, 25, 10, 30, 0, 0});
}

TEST(DateTimeParse, TextLengthLimit) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  std::string text = "1/2/03";
  text.resize(127, ' ');
  CheckParse({text.c_str(), 1, 1, 2003, 1, 2, 0, 0, 0, 1});
  text += " ";
  CheckParse({text.c_str(), 0, 4});
}

TEST(DateTimeParse, GermanDayFirst) {
  const char* german = gnutil_test::PosixOrWindows("de_DE.iso88591", "C");
  GNUTIL_USE_LOCALE(german);
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kGerman);
  const ParseCase cases[] = {
      {"05.03.2001 14:07:09", 1, 1, 2001, 3, 5, 14, 7, 9, 0},
      {"5.3.01", 1, 1, 2001, 3, 5, 0, 0, 0, 1},
      {"5.3", 1, 1, kToday, 3, 5, 0, 0, 0, 1},
      {"25. Dezember 1999", 1, 1, 1999, 12, 25, 0, 0, 0, 1},
      {"1. M\xE4rz 2001 8:05", 1, 1, 2001, 3, 1, 8, 5, 0, 0},
      {"Montag, 5. M\xE4rz 2001", 1, 1, 2001, 3, 5, 0, 0, 0, 1},
      {"14:07", 1, 1, kToday, kToday, kToday, 14, 7, 0, 0},
      {"31.04.2001", 0, 1},
      {"05.13.2001", 0, 2},
      {"25. Dezember", 0, 1},
  };
  for (const ParseCase& c : cases) CheckParse(c);
}

TEST(DateTimeParse, JapaneseShiftJIS) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kJapanese);
  const ParseCase cases[] = {
      {"2001/03/05 14:07:09", 1, 1, 2001, 3, 5, 14, 7, 9, 0},
      {"2001\x94\x4E"
       "3\x8C\x8E"
       "5\x93\xFA",
       1, 1, 2001, 3, 5, 0, 0, 0, 1},
      {"1999\x94\x4E"
       "12\x8C\x8E"
       "25\x93\xFA 10:30",
       1, 1, 1999, 12, 25, 10, 30, 0, 0},
      // 平成11年3月5日: era year 11 of the era that began in 1989.
      {"\x95\xBD\x90\xAC"
       "11\x94\x4E"
       "3\x8C\x8E"
       "5\x93\xFA",
       1, 1, 1999, 3, 5, 0, 0, 0, 1},
      // 昭和63年12月31日
      {"\x8F\xBA\x98\x61"
       "63\x94\x4E"
       "12\x8C\x8E"
       "31\x93\xFA",
       1, 1, 1988, 12, 31, 0, 0, 0, 1},
      // Full-width digits: ２００１年３月５日
      {"\x82\x51\x82\x4F\x82\x4F\x82\x50\x94\x4E\x82\x52\x8C\x8E\x82\x54\x93\xFA", 1, 1, 2001, 3, 5,
       0, 0, 0, 1},
      // ２００１/０３/０５
      {"\x82\x51\x82\x4F\x82\x4F\x82\x50/\x82\x4F\x82\x52/\x82\x4F\x82\x54", 1, 1, 2001, 3, 5, 0, 0,
       0, 1},
      {"3\x8C\x8E"
       "5\x93\xFA",
       1, 1, kToday, 3, 5, 0, 0, 0, 1},
      {"5\x93\xFA", 1, 1, kToday, kToday, 5, 0, 0, 0, 1},
      {"01\x94\x4E"
       "3\x8C\x8E"
       "5\x93\xFA",
       1, 1, 2001, 3, 5, 0, 0, 0, 1},
      {"2001\x94\x4E"
       "x\x8C\x8E",
       0, 1},
  };
  for (const ParseCase& c : cases) CheckParse(c);
}

struct ReaderCase {
  const char* pattern;
  const char* text;
  unsigned char ok;
  long status;
  int year, month, day;  // years since 1900, month 0..11; unchanged on failure
  const char* rest;
};

TEST(DateTimeReader, DateAgainstAPattern) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  const ReaderCase cases[] = {
      {"MM/dd/yyyy", "12/25/1999 10:30 PM", 1, 1, 99, 11, 25, " 10:30 PM"},
      {"M/d/yy", "1/2/03", 1, 1, 103, 0, 2, ""},
      {"M/d/yy", "1/2/70", 1, 1, 70, 0, 2, ""},
      {"M/d/yy", " 1 / 2 / 70x", 1, 1, 70, 0, 2, "x"},
      {"dd/MM/yyyy", "25/13/1999", 0, 2, 100, 5, 15, "25/13/1999"},
      {"MM/dd/yyyy", "12-25-1999", 0, 1, 100, 5, 15, "12-25-1999"},
      {"MM/dd/yyyy", "12/25/2039", 0, 2, 100, 5, 15, "12/25/2039"},
      {"MM/dd/yyyy", "12/25/1969", 0, 2, 100, 5, 15, "12/25/1969"},
      {"MM/dd/yyyy", "12/25/12345", 0, 1, 100, 5, 15, "12/25/12345"},
      {"MM/dd/yyyy", "12/32/1999", 0, 2, 100, 5, 15, "12/32/1999"},
      {"MMM d, yy", "Dec 25, 99", 1, 1, 99, 11, 25, ""},
      {"MMM d, yy", "DEC 25, 99", 0, 1, 100, 5, 15, "DEC 25, 99"},
      {"MMMM d", "December 25", 1, 1, 100, 11, 25, ""},
      {"dddd, MMMM dd, yyyy", "Saturday, December 25, 1999!", 1, 1, 99, 11, 25, "!"},
      {"ddd MMM d", "Sat Dec 25", 1, 1, 100, 11, 25, ""},
      {"M/d", "12/25 10:30", 1, 1, 100, 11, 25, " 10:30"},
      {"M/d/yy", "12/25", 0, 1, 100, 5, 15, "12/25"},
      {"'on' M/d", "on 3/5", 1, 1, 100, 2, 5, ""},
      {"'on' M/d", "at 3/5", 0, 1, 100, 5, 15, "at 3/5"},
      {"yy/M", "01/3", 0, 1, 100, 5, 15, "01/3"},
      {"MMMMM d", "December 25", 0, 1, 100, 5, 15, "December 25"},
      {"yyy M d", "001 3 5", 0, 1, 100, 5, 15, "001 3 5"},
      {"g M d", "3 5", 0, 1, 100, 5, 15, "3 5"},
  };
  for (const ReaderCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pattern << " | " << c.text);
    CGNDateTime v;
    tm start;
    v.ToTM(&start);
    // A known working date, so that a failure can be seen to restore it.
    CGNString seed;
    v.GetDateFromStringUsingFormat("6/15/2000", seed, "M/d/yyyy");
    CGNString rest("junk");
    EXPECT_EQ(c.ok, v.GetDateFromStringUsingFormat(c.text, rest, c.pattern));
    EXPECT_EQ(c.status, v.GetDateTimeRangeStatus());
    EXPECT_EQ(c.rest, std::string(rest));
    tm t;
    v.parseTime("0", &t);  // copies the working date out
    EXPECT_EQ(c.year, t.tm_year);
    EXPECT_EQ(c.month, t.tm_mon);
    EXPECT_EQ(c.day, t.tm_mday);
  }
}

TEST(DateTimeReader, FieldReaders) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  using Reader = unsigned char (CGNDateTime::*)(const CGNString&, CGNString&);
  struct {
    Reader reader;
    const char* text;
    unsigned char ok;
    const char* rest;
  } const cases[] = {
      {&CGNDateTime::GetMonthNumFromString, " 12/", 1, "/"},
      {&CGNDateTime::GetMonthNumFromString, "123", 0, "123"},
      {&CGNDateTime::GetMonthNumFromString, "\t1", 0, "\t1"},
      {&CGNDateTime::GetMonthAbbrevFromString, "Marx", 1, "x"},
      {&CGNDateTime::GetMonthNameFromString, "Mar", 0, "Mar"},
      {&CGNDateTime::GetDayNumFromString, "31st", 1, "st"},
      {&CGNDateTime::GetDayAbbrevFromString, "Sun,", 1, ","},
      {&CGNDateTime::GetDayNameFromString, "  Sunday", 1, ""},
      {&CGNDateTime::Get1DigitYearFromString, "5/", 1, "/"},
      {&CGNDateTime::Get2DigitYearFromString, "5/", 0, "5/"},
      {&CGNDateTime::Get4DigitYearFromString, "2001", 1, ""},
      {&CGNDateTime::Get4DigitYearFromString, "12345", 0, "12345"},
      {&CGNDateTime::GetDateSepFromString, " /x", 1, "x"},
      {&CGNDateTime::GetDateSepFromString, "-x", 0, "-x"},
      {&CGNDateTime::GetTimeFromString, "10:30:15", 1, ""},
  };
  for (const auto& c : cases) {
    CGNDateTime v;
    CGNString rest;
    EXPECT_EQ(c.ok, (v.*c.reader)(c.text, rest)) << c.text;
    EXPECT_EQ(c.rest, std::string(rest)) << c.text;
  }
  CGNDateTime v;
  CGNString rest;
  EXPECT_EQ(1, v.GetMatchingCharFromString(" ,x", rest, ','));
  EXPECT_EQ("x", std::string(rest));
  EXPECT_EQ(0, v.GetMatchingCharFromString("x", rest, ','));
  EXPECT_EQ("x", std::string(rest));
  // Without the Japanese calendar an era name is not consumed.
  EXPECT_EQ(0, v.GetEmperorFromString("\x95\xBD\x90\xAC"
                                      "13",
                                      rest));
  EXPECT_EQ(
      "\x95\xBD\x90\xAC"
      "13",
      std::string(rest));
}

struct TimeCase {
  const char* text;
  long is24, prefix;
  unsigned char ok;
  long status;
  const char* rest;  // null: not checked
};

TEST(DateTimeReader, TimeScanner) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  const TimeCase cases[] = {
      {"10:30:15", 0, 0, 1, 1, ""},         {"1:05 PM", 0, 0, 1, 1, ""},
      {"12:05 AM  ", 0, 0, 1, 1, "  "},  // spaces are skipped, not consumed       {"AM 9:05", 0, 1,
                                         // 1, 1, ""},
      {"AM 9:05", 0, 0, 0, 1, nullptr},     {"9:05 AM", 0, 1, 0, 1, nullptr},
      {"10:30:", 0, 0, 0, 1, nullptr},      {"10:30 PM x", 0, 0, 0, 1, nullptr},
      {"13:00 PM", 0, 0, 0, 3, "13:00 PM"}, {"24:00", 1, 0, 0, 3, "24:00"},
      {"10:61", 1, 0, 0, 3, "10:61"},       {"10:30 AM", 1, 0, 0, 1, "10:30 AM"},
      {"100:30", 1, 0, 0, 1, nullptr},      {"1:2:3:4", 1, 0, 0, 1, nullptr},
      {"x", 1, 0, 0, 1, nullptr},           {"", 1, 0, 0, 1, nullptr},
  };
  CLCLocale& loc = *CLCGlobalLocale::Instance();
  for (const TimeCase& c : cases) {
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
  EXPECT_EQ(1, v.parseDateTime("2001/03/05 10:30", nullptr, 1));
  // 平成13年3月5日 read with an era pattern under the Japanese calendar.
  CLCLocale& loc = *CLCGlobalLocale::Instance();
  loc.m_calendarType = 3;
  const char* pattern = "ggyy'\x94\x4E'M'\x8C\x8E'd'\x93\xFA'";
  CGNDateTime e;
  ASSERT_EQ(1, e.GetDateFromStringUsingFormat("\x95\xBD\x90\xAC"
                                              "13\x94\x4E"
                                              "3\x8C\x8E"
                                              "5\x93\xFA",
                                              rest, pattern));
  tm t;
  e.parseTime("0", &t);
  EXPECT_EQ(101, t.tm_year);
  EXPECT_EQ(2, t.tm_mon);
  EXPECT_EQ(5, t.tm_mday);
  CGNDateTime s;
  ASSERT_EQ(1, s.GetDateFromStringUsingFormat("\x8F\xBA\x98\x61"
                                              "63\x94\x4E"
                                              "1\x8C\x8E"
                                              "7\x93\xFA",
                                              rest, pattern));
  s.parseTime("0", &t);
  EXPECT_EQ(88, t.tm_year);
  EXPECT_EQ(1, s.GetEmperorFromString("\x8F\xBA\x98\x61", rest));
  EXPECT_EQ("", std::string(rest));
}

TEST(DateTimeParse, WordSplitting) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  CGNDateTime v;
  struct {
    const char* text;
    int result;
    const char* word;
    const char* rest;
  } const cases[] = {
      {"12/25/99", 2, "12", "25/99"},
      {"  Dec 25, 99", 3, "Dec", "25, 99"},
      {"Dec, 25", 3, "Dec", "25"},
      {"10:30 PM", -1, "10:30", "unchanged"},
      {"pm 3", -1, "pm", "unchanged"},
      {"1999", 4, "1999", ""},
      {"", 0, "", ""},
  };
  for (const auto& c : cases) {
    CGNString word, rest("unchanged");
    EXPECT_EQ(c.result, v.extractDateWord(c.text, word, rest)) << c.text;
    EXPECT_EQ(c.word, std::string(word)) << c.text;
    EXPECT_EQ(c.rest, std::string(rest)) << c.text;
  }
  CGNString word, rest;
  EXPECT_EQ(2, v.extractTimeWord(" 10:30 PM", word, rest));
  EXPECT_EQ("10", std::string(word));
  EXPECT_EQ("30 PM", std::string(rest));
  EXPECT_EQ(11, v.getMonthFromName("DECEMBER"));
  EXPECT_EQ(12, v.getMonthFromName("Dec"));
  EXPECT_EQ(11, v.getMonthFromAbbrev("dec"));
  EXPECT_EQ(6, v.getDayFromName("sunday"));
  EXPECT_EQ(7, v.getDayFromAbbrev("Sunday"));
}

}  // namespace
