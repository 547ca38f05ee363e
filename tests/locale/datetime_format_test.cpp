// Display text of dates and times: patterns, times, single fields, era years.
#include <gnutil/datetime.h>
#include <gnutil/lclocale.h>
#include <gtest/gtest.h>

#include <string>

#include "support/datetime_settings.h"
#include "support/fake_locale_info.h"
#include "support/test_locale.h"
#include "support/test_zone.h"

namespace {

using gnutil_test::ApplySettings;

const long kMonday = 983801229L;  // 2001-03-05 14:07:09 UTC, a Monday
const char kHeisei[] = "\x95\xBD\x90\xAC";

std::string Display(CGNDateTime& v) {
  CGNString s;
  v.GetDisplayBuffer(s);
  return std::string(s);
}

// The display forms (1 short, 2 long, 7 time only) in the real legacy
// locales, one process each.
void CheckForms(const gnutil_test::DateSettings& settings,
                std::initializer_list<std::pair<long, const char*>> forms) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(settings);
  for (auto& f : forms) {
    CGNDateTime v(kMonday);
    EXPECT_EQ(1, v.FormatForDisplay(f.first));
    EXPECT_EQ(f.second, Display(v)) << f.first;
  }
}

TEST(DateTimeFormat, FormsInEnglish) {
  CheckForms(
      gnutil_test::kEnglishUS,
      {{1, "3/5/01 2:07:09 PM"}, {2, "Monday, March 05, 2001 2:07:09 PM"}, {7, " 2:07:09 PM"}});
}

TEST(DateTimeFormat, GermanDayFirst24Hour) {
  GNUTIL_USE_LOCALE(gnutil_test::PosixOrWindows("de_DE.iso88591", "C"));
  CheckForms(gnutil_test::kGerman,
             {{1, "05.03.2001 14:07:09"}, {2, "Montag, 5. M\xE4rz 2001 14:07:09"}});
}

TEST(DateTimeFormat, JapaneseShiftJIS) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  CheckForms(gnutil_test::kJapanese, {{1, "2001/03/05 14:07:09"},
                                      {2,
                                       "2001\x94\x4E"
                                       "3\x8C\x8E"
                                       "5\x93\xFA 14:07:09"}});
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

TEST(DateTimeFormat, PatternLanguage) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  // clang-format off
  const struct {
    const char* pattern;
    unsigned char result;
    const char* expected;
  } cases[] = {
      {"dd/MM/yyyy", 1, "05/03/2001"}, {"ddd MMM y", 1, "Mon Mar 1"}, {"d/MMMMM", 0, "5/"},
      {"yyy", 0, ""}, {"ddddd", 0, ""}, {"'Day' d", 1, "Day 5"}, {"d 'of the month", 1, "5 "},
      {"''d", 1, "5"}, {"WW d", 1, " 5"}, {"W d", 0, ""}, {"g d", 0, ""}, {"gg yy", 1, "01"},
      {"", 1, ""}};
  // clang-format on
  for (auto& c : cases) CheckPatterns({{c.pattern, kMonday, c.result, c.expected}});
}

TEST(DateTimeFormat, JapaneseEraYears) {
  gnutil_test::UseShiftJisFixedTexts();  // the era names as Shift-JIS bytes
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  ASSERT_NE(nullptr, CLCGlobalLocale::Instance()->m_pEmperors);
  CLCGlobalLocale::Instance()->m_calendarType = 3;
  CheckPatterns({{"gg yy", kMonday, 1, "13"},            // 2001 is year 13 of the era from 1989
                 {"yyyy", 725846400L, 1, "05"},          // 1993
                 {"y", 599616000L, 1, "1"},              // 1989
                 {"yy/M/d", 567993600L, 1, "63/1/1"}});  // 1988, last year of the era from 1926
  for (long seconds : {kMonday, -1L}) {                  // -1: 2038, still the running era
    CGNDateTime v(seconds);
    CGNString era("unchanged");
    v.Emperor(era);
    EXPECT_EQ(std::string(kHeisei), std::string(era));
  }
}

// With the era that began on 1 May 2019, the day decides, not the year.
TEST(DateTimeFormat, CurrentEraChangesOnItsFirstDay) {
  gnutil_test::UseShiftJisFixedTexts();
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ASSERT_EQ(1, CLCLocale::SetEraSource(LC_ERAS_CURRENT));
  CLCGlobalLocale::Free();
  ApplySettings(gnutil_test::kEnglishUS);
  CLCGlobalLocale::Instance()->m_calendarType = 3;
  CheckPatterns({{"yy/M/d", 1556582400L, 1, "31/4/30"},  // 2019-04-30, the old era's last day
                 {"yy/M/d", 1556668800L, 1, "01/5/1"}});
  CGNDateTime v(1556668800L);
  CGNString era;
  v.Emperor(era);
  EXPECT_STREQ("\x97\xDF\x98\x61", era);
  CLCLocale::SetEraSource(LC_ERAS_CLASSIC);
}

TEST(DateTimeFormat, TimeComposer) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  const struct {
    int hour;
    long is24, prefix, leadingZero;
    const char* expected;
  } cases[] = {{0, 0, 0, 0, "12:07:09 AM"},  {12, 0, 0, 0, "12:07:09 PM"},
               {23, 0, 0, 0, "11:07:09 PM"}, {9, 0, 0, 1, "09:07:09 AM"},
               {14, 0, 1, 0, "PM 2:07:09"},  {14, 1, 0, 1, "14:07:09"},
               {5, 1, 0, 0, "5:07:09"},      {5, 1, 1, 1, "05:07:09"}};
  CLCLocale& loc = *CLCGlobalLocale::Instance();
  for (const auto& c : cases) {
    loc.m_24HourTime = c.is24;
    loc.m_ampmPrefix = c.prefix;
    loc.m_hourLeadingZero = c.leadingZero;
    CGNDateTime v(kMonday - 14 * 3600L + c.hour * 3600L);
    EXPECT_EQ(1, v.FormatTimeForDisplay());
    EXPECT_EQ(c.expected, Display(v)) << c.hour;
    EXPECT_EQ(c.is24 ? 0 : 1, CGNDateTime::Is12Hour());
  }
}

TEST(DateTimeFormat, SingleFieldWriters) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  using D = CGNDateTime;
  using Writer = unsigned char (D::*)(CGNString&);
  auto write = [](long seconds, std::initializer_list<Writer> writers) {
    CGNDateTime v(seconds);
    std::string all;
    for (Writer w : writers) {
      CGNString s("old text");
      EXPECT_EQ(1, (v.*w)(s));
      all += std::string(s) + "|";
    }
    return all;
  };
  EXPECT_EQ(
      "1|Sunday|Sun|AM|12|",  // 2001-03-11 00:00:00, a Sunday
      write(984268800L, {&D::WeekDayNum, &D::DayName, &D::DayAbbrev, &D::AMPMMarker, &D::Hour12}));
  EXPECT_EQ("2|5|05|3|03|March|Mar|1|01|2001|2|02|14|14|07|09|PM|/|",
            write(kMonday, {&D::WeekDayNum, &D::DayNum, &D::DayNumLZ, &D::MonthNum, &D::MonthNumLZ,
                            &D::MonthName, &D::MonthAbbrev, &D::Year1Digit, &D::Year2Digit,
                            &D::Year4Digit, &D::Hour12, &D::Hour12LZ, &D::Hour24, &D::Hour24LZ,
                            &D::Minute, &D::Second, &D::AMPMMarker, &D::DateSep}));
  CGNString sep;
  EXPECT_EQ(1, CGNDateTime::TimeSep(sep));
  EXPECT_STREQ(":", sep);
}

TEST(DateTimeFormat, EmptyValueAndValuesFromFields) {
  ApplySettings(gnutil_test::kEnglishUS);
  CGNDateTime v;
  EXPECT_EQ(0, v.FormatForDisplay(1));
  EXPECT_EQ("", Display(v));
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  CGNDateTime full(kMonday);
  full.FormatForDisplay(1);
  full.Empty();
  EXPECT_EQ("", Display(full));
  tm t{};
  CGNDateTime fromTm(&t);  // year 1900: not empty, shown as it is
  EXPECT_EQ("1/0/00 12:00:00 AM", Display(fromTm));
  t.tm_year = 101;
  t.tm_mon = 2;
  t.tm_mday = 5;
  t.tm_hour = 14;
  CGNDateTime formatted(&t);
  EXPECT_EQ("3/5/01 2:00:00 PM", Display(formatted));
  EXPECT_EQ(0, formatted.GetSecsFrom70());
}

TEST(DateTimeFormat, FirstAndLastSupportedMoments) {
  gnutil_test::ThreadZone zone(gnutil_test::kZoneUTC);
  ApplySettings(gnutil_test::kEnglishUS);
  CGNString min, max;
  CGNDateTime::GetMinMaxDateRange(min, max, 1);
  EXPECT_EQ("1/1/70 1/19/38", std::string(min) + " " + std::string(max));
  CGNDateTime::GetMinMaxTimeRange(min, max);
  EXPECT_EQ(" 12:00:00 AM| 11:59:59 PM", std::string(min) + "|" + std::string(max));
  CGNDateTime::GetMinMaxDateTimeRange(min, max, 1);
  EXPECT_EQ("1/1/70 12:00:00 AM|1/19/38 3:14:07 AM", std::string(min) + "|" + std::string(max));
}

}  // namespace
