// CGNDateTime: a date and time of day between 1970 and 19 January 2038,
// kept as calendar fields and, when known, as seconds since 1970; with the
// clock conversions (TimeTS, LocalTimeTS, MkTimeTS) that every date operation
// of the library goes through, in the calling thread's time zone.
//
// The time zone of a conversion is the calling thread's "timezone" variable
// of CGNLclSt (a CGNString* holding a TZ-style zone name) when the process is
// threaded and the variable is set, and the system zone otherwise. The clock
// lock osMutexLocalTime (made by ModuleInit) serialises every conversion with
// its zone switch.
#ifndef GNUTIL_DATETIME_H
#define GNUTIL_DATETIME_H

#include <time.h>

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

struct _osmutex;
class CLCLocale;
namespace gnutil {
class DateTimeCore;
}

/// Two consequences of the range rules, kept on purpose because callers rely
/// on those rules: the year is bounded by MinYear() and the time of day in
/// 2038 by MaxTime(), not by the seconds themselves.
/// - West of UTC, second 0 falls on 31 December 1969 (MinYear() is 69), so a
///   1969 date is accepted there although its seconds are negative; negative
///   seconds then convert as the last second, so the value displays as
///   January 2038. In EST5, "12/31/1969 6:00 PM" parses (range status 1,
///   seconds -3600) and displays as "1/18/2038 10:14:07 PM".
/// - Any 2038 time of day later than MaxTime() is refused with range status
///   4, whatever the day: in UTC, "1/1/2038 4:00 AM" is refused although
///   "1/18/2038 3:00 AM" is accepted.
class GNUTIL_API CGNDateTime {
 public:
  // Empty value; the working time holds today's local date at 00:00:00.
  CGNDateTime();
  // The same; the locale is not used (every operation reads the process-wide
  // locale).
  explicit CGNDateTime(CLCLocale* unused);
  // The moment secsFrom70, broken down in local time.
  explicit CGNDateTime(long secsFrom70);
  // The fields of t (years since 1900), formatted for display with form 3.
  explicit CGNDateTime(tm* t);
  ~CGNDateTime();

  void Empty();
  unsigned char IsEmpty();
  long GetSecsFrom70();
  void GetDisplayBuffer(CGNString& dest);
  // 1 no range problem, 2 date out of range, 3 time field out of range, 4 past
  // the last time of day in 2038 or text too long, 5 characters after a time
  // number. Meaningful after a parse or VerifyDateTime.
  long GetDateTimeRangeStatus();
  // The current local time with the value's date and time of day.
  void ToTM(tm* t);

  // Creates the clock lock unless it exists; 0 when it cannot be created.
  static unsigned char ModuleInit();
  static long TimeTS(long* t);
  // Negative seconds convert as 2147483647; a time the runtime cannot
  // convert gives nine zero members.
  static void LocalTimeTS(const long& secs, tm& result);
  // -1 when the runtime rejects the time (or it lies outside 32-bit seconds).
  static long MkTimeTS(tm* t);
  static long Now();
  static long GetLocalMidnightToday();
  // Years since 1900 of second 0 in local time: 70, or 69 west of UTC.
  static int MinYear();
  // The local time of day of second 2147483647.
  static void MaxTime(int* hour, int* minute, int* second);
  // year as years since 1900, month 0..11; the day is not checked against
  // the month's length.
  static unsigned char IsValidDate(int year, int month, int day);

  static unsigned char Is12Hour();
  static unsigned char TimeSep(CGNString& dest);

  unsigned char VerifyDay(tm* t);
  unsigned char VerifyDateTime(tm* t);

  // --- Display text in the process-wide locale's conventions ---
  // Forms: 1 short date pattern, 2 long, 3 the locale's choice, any other
  // no date part. The text goes to the display buffer.
  unsigned char FormatForDisplay(long form);
  unsigned char FormatDateForDisplay(long form);
  unsigned char FormatTimeForDisplay();
  unsigned char AddDateString(long form);
  unsigned char AddTimeString();

  // Single fields; each replaces dest's text and returns 1.
  unsigned char Emperor(CGNString& dest);
  unsigned char Year1Digit(CGNString& dest);
  unsigned char Year2Digit(CGNString& dest);
  unsigned char Year4Digit(CGNString& dest);
  unsigned char MonthNum(CGNString& dest);
  unsigned char MonthNumLZ(CGNString& dest);
  unsigned char MonthAbbrev(CGNString& dest);
  unsigned char MonthName(CGNString& dest);
  unsigned char DayNum(CGNString& dest);
  unsigned char DayNumLZ(CGNString& dest);
  unsigned char WeekDayNum(CGNString& dest);
  unsigned char DayAbbrev(CGNString& dest);
  unsigned char DayName(CGNString& dest);
  unsigned char DateSep(CGNString& dest);
  unsigned char Hour12(CGNString& dest);
  unsigned char Hour12LZ(CGNString& dest);
  unsigned char Hour24(CGNString& dest);
  unsigned char Hour24LZ(CGNString& dest);
  unsigned char Minute(CGNString& dest);
  unsigned char Second(CGNString& dest);
  unsigned char AMPMMarker(CGNString& dest);

  // --- Free-form text as users type it ---
  // Longer than 127 bytes fails with range status 4.
  unsigned char FromString(const CGNString& text);
  unsigned char FromString(const CGNString& text, const CGNString& unused);
  // noTime (when not null) receives 1 when the text held no time.
  unsigned char parseDateTime(const CGNString& text, unsigned char* noTime, int form);
  unsigned char parseDate(CGNString text, CGNString& rest);
  unsigned char parseNumDate(int first, CGNString& rest);
  unsigned char parseCharDate(CGNString word, CGNString& rest);
  unsigned char parseKanjiDate(CGNString text, CGNString& rest);
  unsigned char parseTime(CGNString text);
  unsigned char parseTime(CGNString text, tm* result);
  int extractDateWord(CGNString text, CGNString& word, CGNString& rest);
  int extractTimeWord(CGNString text, CGNString& word, CGNString& rest);
  // 0..11 (and stored as the month), or 12 when no name matches.
  int getMonthFromName(CGNString word);
  int getMonthFromAbbrev(CGNString word);
  // 0 (Monday)..6, or 7 when no name matches.
  int getDayFromName(CGNString word);
  int getDayFromAbbrev(CGNString word);

  // --- Dates read against a pattern, and times by scanning ---
  unsigned char GetDateFromString(const CGNString& text, CGNString& rest);
  unsigned char GetLongDateFromString(const CGNString& text, CGNString& rest);
  unsigned char GetShortDateFromString(const CGNString& text, CGNString& rest);
  unsigned char GetDateFromStringUsingFormat(const CGNString& text, CGNString& rest,
                                             const CGNString& pattern);
  unsigned char GetMonthNumFromString(const CGNString& text, CGNString& rest);
  unsigned char GetMonthAbbrevFromString(const CGNString& text, CGNString& rest);
  unsigned char GetMonthNameFromString(const CGNString& text, CGNString& rest);
  unsigned char GetDayNumFromString(const CGNString& text, CGNString& rest);
  unsigned char GetDayAbbrevFromString(const CGNString& text, CGNString& rest);
  unsigned char GetDayNameFromString(const CGNString& text, CGNString& rest);
  unsigned char Get1DigitYearFromString(const CGNString& text, CGNString& rest);
  unsigned char Get2DigitYearFromString(const CGNString& text, CGNString& rest);
  unsigned char Get4DigitYearFromString(const CGNString& text, CGNString& rest);
  unsigned char GetDateSepFromString(const CGNString& text, CGNString& rest);
  unsigned char GetMatchingCharFromString(const CGNString& text, CGNString& rest, char c);
  long GetEmperorFromString(const CGNString& text, CGNString& rest);
  unsigned char GetTimeFromString(const CGNString& text, CGNString& rest);

  // The first and last supported dates, times of day and moments as display
  // text.
  static void GetMinMaxDateRange(CGNString& min, CGNString& max, long form);
  static void GetMinMaxTimeRange(CGNString& min, CGNString& max);
  static void GetMinMaxDateTimeRange(CGNString& min, CGNString& max, long form);

  static _osmutex* osMutexLocalTime;

 private:
  friend class gnutil::DateTimeCore;

  // Returns the marker code (0 none, 1 AM, 2 PM); before receives the text
  // before the marker.
  int FindAMPMMarker(CGNString text, CGNString& before);
  void SetWorkingTimeToToday();

  int m_hour;
  int m_minute;
  int m_second;
  int m_year;
  int m_month;
  int m_day;
  int m_weekday;
  CGNString m_displayBuffer;
  tm m_tm;
  long m_secsFrom70;
  long m_era;
  long m_rangeStatus;
};

#endif  // GNUTIL_DATETIME_H
