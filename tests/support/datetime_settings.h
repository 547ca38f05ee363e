// Date and time settings of two real kinds of user, put into the
// process-wide locale the way a program fixes them: Customize for the
// formats, the record's own fields for what the system would give (names,
// separators, markers). Texts are in the process locale's encoding.
#ifndef GNUTIL_TESTS_SUPPORT_DATETIME_SETTINGS_H
#define GNUTIL_TESTS_SUPPORT_DATETIME_SETTINGS_H

#include <gnutil/lclocale.h>

#include <string>

namespace gnutil_test {

struct DateSettings {
  const char *timeFormat, *shortDate, *longDate, *dateSep, *am, *pm;
  long ampmPrefix, hourLeadingZero;
  languageName language;
  const char* const* months;  // 12 full names, January first (null: 1月 .. 12月)
  const char* const* days;    // 7 full names, Monday first
  // Each abbreviation is the name's first bytes (0: the whole name).
  size_t monthAbbrevBytes, dayAbbrevBytes;
};

inline constexpr const char* kEnglishMonths[12] = {"January",   "February", "March",    "April",
                                                   "May",       "June",     "July",     "August",
                                                   "September", "October",  "November", "December"};
inline constexpr const char* kEnglishDays[7] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                "Friday", "Saturday", "Sunday"};

// Shift-JIS: 月曜日 .. 日曜日 (abbreviated 月 .. 日); the months are numbered.
#define GNUTIL_SJIS_GATSU "\x8C\x8E"
inline constexpr const char* kJapaneseDays[7] = {
    "\x8C\x8E\x97\x6A\x93\xFA", "\x89\xCE\x97\x6A\x93\xFA", "\x90\x85\x97\x6A\x93\xFA",
    "\x96\xD8\x97\x6A\x93\xFA", "\x8B\xE0\x97\x6A\x93\xFA", "\x93\x79\x97\x6A\x93\xFA",
    "\x93\xFA\x97\x6A\x93\xFA"};

// United States English: month first, 12-hour clock with the marker after.
inline constexpr DateSettings kEnglishUS = {
    "h:mm:ss tt",     "M/d/yy",       "dddd, MMMM dd, yyyy", "/", "AM", "PM", 0, 0,
    LANGNAME_ENGLISH, kEnglishMonths, kEnglishDays,          3,   3};
// Japanese in Shift-JIS: year first, 24-hour clock; 年 月 日 in the long date;
// 午前 and 午後 as markers.
inline constexpr const char* kJapaneseLongDate = "yyyy'\x94\x4E'M'\x8C\x8E'd'\x93\xFA'";
inline constexpr const char *kGozen = "\x8C\xDF\x91\x4F", *kGogo = "\x8C\xDF\x8C\xE3";
inline constexpr DateSettings kJapanese = {
    "H:mm:ss", "yyyy/MM/dd",      kJapaneseLongDate, "/",           kGozen, kGogo, 0,
    0,         LANGNAME_JAPANESE, nullptr,           kJapaneseDays, 0,      2};

inline void ApplySettings(const DateSettings& s) {
  CLCLocale& l = *CLCGlobalLocale::Instance();
  l.Customize(s.timeFormat, s.shortDate, s.longDate, 1, "", 0, 0, "", "", "", l.m_localeName);
  l.m_dateSep = s.dateSep;
  l.m_timeSep = ":";
  l.m_amString = s.am;
  l.m_pmString = s.pm;
  l.m_ampmPrefix = s.ampmPrefix;
  l.m_hourLeadingZero = s.hourLeadingZero;
  l.m_langName = s.language;
  l.m_calendarType = 1;
  auto abbreviated = [](const char* name, size_t bytes) {
    return std::string(name).substr(0, bytes ? bytes : std::string::npos);
  };
  for (int i = 0; i < 12; ++i) {
    const std::string name = s.months ? s.months[i] : std::to_string(i + 1) + GNUTIL_SJIS_GATSU;
    l.m_monthNames[i] = name.c_str();
    l.m_monthAbbrevs[i] = abbreviated(name.c_str(), s.monthAbbrevBytes).c_str();
  }
  l.m_monthNames[12] = l.m_monthAbbrevs[12] = "";
  for (int i = 0; i < 7; ++i) {
    l.m_dayNames[i] = s.days[i];
    l.m_dayAbbrevs[i] = abbreviated(s.days[i], s.dayAbbrevBytes).c_str();
  }
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_DATETIME_SETTINGS_H
