/// \file
/// \ingroup datetime
/// CGNDateTime: a date and time of day between 1970 and 19 January 2038,
/// kept as calendar fields and, when known, as seconds since 1970; with the
/// clock conversions (TimeTS, LocalTimeTS, MkTimeTS) that every date operation
/// of the library goes through, in the calling thread's time zone.
///
/// The time zone of a conversion is the calling thread's "timezone" variable
/// of CGNLclSt (a CGNString* holding a TZ-style zone name) when the process is
/// threaded and the variable is set, and the system zone otherwise. The clock
/// lock osMutexLocalTime (made by ModuleInit) serialises every conversion with
/// its zone switch.
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

/// A local date and time within 1970 to 18 January 2038: calendar fields,
/// seconds since 1970, a display buffer and the range status of the last
/// check. Reads every name, separator and pattern from the process-wide
/// locale (CLCGlobalLocale), in its encoding.
///
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
  /// Empty value; the working time holds today's local date at 00:00:00.
  CGNDateTime();
  /// The same; the locale is not used (every operation reads the process-wide
  /// locale).
  explicit CGNDateTime(CLCLocale* unused);
  /// The moment secsFrom70, broken down in local time.
  explicit CGNDateTime(long secsFrom70);
  /// The fields of t (years since 1900), formatted for display with form 3.
  explicit CGNDateTime(tm* t);
  /// Releases the display buffer.
  ~CGNDateTime();

  /// Makes the value empty (fields 0, working time today at 00:00:00).
  void Empty();
  /// 1 when the value is empty.
  unsigned char IsEmpty();
  /// The seconds since 1970 (UTC) of the value.
  long GetSecsFrom70();
  /// Copies the display text of the last formatting or parse into dest.
  void GetDisplayBuffer(CGNString& dest);
  /// 1 no range problem, 2 date out of range, 3 time field out of range, 4 past
  /// the last time of day in 2038 or text too long, 5 characters after a time
  /// number. Meaningful after a parse or VerifyDateTime.
  long GetDateTimeRangeStatus();
  /// The current local time with the value's date and time of day.
  void ToTM(tm* t);

  /// Creates the clock lock unless it exists; 0 when it cannot be created.
  static unsigned char ModuleInit();
  /// The current time in seconds since 1970, also stored in *t when t is not
  /// null; under the clock lock.
  static long TimeTS(long* t);
  /// Negative seconds convert as 2147483647; a time the runtime cannot
  /// convert gives nine zero members.
  static void LocalTimeTS(const long& secs, tm& result);
  /// -1 when the runtime rejects the time (or it lies outside 32-bit seconds).
  static long MkTimeTS(tm* t);
  /// The current time in seconds since 1970 (TimeTS).
  static long Now();
  /// The seconds since 1970 of today's local midnight.
  static long GetLocalMidnightToday();
  /// Years since 1900 of second 0 in local time: 70, or 69 west of UTC.
  static int MinYear();
  /// The local time of day of second 2147483647.
  static void MaxTime(int* hour, int* minute, int* second);
  /// year as years since 1900, month 0..11; the day is not checked against
  /// the month's length.
  static unsigned char IsValidDate(int year, int month, int day);

  /// 1 when the process-wide locale shows times with 12 hours.
  static unsigned char Is12Hour();
  /// The process-wide locale's time separator into dest; returns 1.
  static unsigned char TimeSep(CGNString& dest);

  /// 1 when the calendar day and time of t exist in local time; t is not
  /// changed.
  unsigned char VerifyDay(tm* t);
  /// Checks t against the field bounds and the supported range, sets the
  /// range status, and returns 1 when every check passes.
  unsigned char VerifyDateTime(tm* t);

  // --- Display text in the process-wide locale's conventions ---

  /// Date and time into the display buffer. Forms: 1 short date pattern, 2
  /// long, 3 the locale's choice, any other no date part. 0 for an empty
  /// value (the buffer is then unchanged).
  unsigned char FormatForDisplay(long form);
  /// The date alone into the display buffer; 0 for an empty value.
  unsigned char FormatDateForDisplay(long form);
  /// The time alone into the display buffer; 0 for an empty value.
  unsigned char FormatTimeForDisplay();
  /// Appends the date part of the form to the display buffer.
  unsigned char AddDateString(long form);
  /// Appends the time part to the display buffer; returns 1.
  unsigned char AddTimeString();

  ///@{
  /// One field as the pattern language writes it (era name, years of 1, 2
  /// or 4 digits, month and day numbers with or without a leading zero,
  /// names, abbreviations, weekday number 1 Sunday to 7, separators, hours,
  /// minutes, seconds, marker); each replaces dest's text and returns 1.
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
  ///@}

  // --- Free-form text as users type it ---

  ///@{
  /// Reads a date and time as a user of the process-wide locale types it
  /// ("3/5/01 2:07 PM", era dates, full-width digits) and fills the display
  /// buffer with form 3. 0 on failure, with the reason in the range status;
  /// text longer than 127 bytes fails with range status 4.
  unsigned char FromString(const CGNString& text);
  unsigned char FromString(const CGNString& text, const CGNString& unused);
  ///@}
  /// FromString with a display form; noTime (when not null) receives 1 when
  /// the text held no time.
  unsigned char parseDateTime(const CGNString& text, unsigned char* noTime, int form);
  /// Reads the date at the start of text; rest receives what follows. 0 when
  /// there is no date.
  unsigned char parseDate(CGNString text, CGNString& rest);
  /// Completes a date whose first word was the number first; rest holds the
  /// text after that word on entry and after the date on return.
  unsigned char parseNumDate(int first, CGNString& rest);
  /// Completes a date whose first word is a month or day name.
  unsigned char parseCharDate(CGNString word, CGNString& rest);
  /// Reads a date written with the Japanese year, month and day markers.
  unsigned char parseKanjiDate(CGNString text, CGNString& rest);
  ///@{
  /// Reads a time into the working time (and into *result when given); 0
  /// when the text is no time.
  unsigned char parseTime(CGNString text);
  unsigned char parseTime(CGNString text, tm* result);
  ///@}
  /// Splits off the first date word and the text after it; the word's length
  /// in characters, or -1 when the first word is no date word.
  int extractDateWord(CGNString text, CGNString& word, CGNString& rest);
  /// Splits off the first time word and the text after it; the word's length
  /// in characters.
  int extractTimeWord(CGNString text, CGNString& word, CGNString& rest);
  ///@{
  /// The month of a full or abbreviated name of the locale: 0..11 (and
  /// stored as the month), or 12 when no name matches.
  int getMonthFromName(CGNString word);
  int getMonthFromAbbrev(CGNString word);
  ///@}
  ///@{
  /// The weekday of a full or abbreviated name of the locale: 0 (Monday)..6,
  /// or 7 when no name matches.
  int getDayFromName(CGNString word);
  int getDayFromAbbrev(CGNString word);
  ///@}

  // --- Dates read against a pattern, and times by scanning ---

  /// The locale's long date pattern, else its short one, read at the start
  /// of text; rest receives what follows. 1 on success, else 0.
  unsigned char GetDateFromString(const CGNString& text, CGNString& rest);
  ///@{
  /// The locale's long or short date pattern read at the start of text.
  unsigned char GetLongDateFromString(const CGNString& text, CGNString& rest);
  unsigned char GetShortDateFromString(const CGNString& text, CGNString& rest);
  ///@}
  /// Reads text against a pattern of the pattern language; rest receives
  /// the text after the date. 1 on success, else 0.
  unsigned char GetDateFromStringUsingFormat(const CGNString& text, CGNString& rest,
                                             const CGNString& pattern);
  ///@{
  /// Readers of one pattern field at the start of text (month number,
  /// abbreviation or name; day; weekday; year of 1, 2 or 4 digits; the date
  /// separator; one given byte; the era name; a time). Each stores the field,
  /// sets rest to what follows and returns 1, or 0 when the field is not
  /// there (a value out of range also sets the range status);
  /// GetEmperorFromString returns the era's index.
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
  ///@}

  /// The first and last supported dates, times of day and moments as display
  /// text.
  ///@{
  static void GetMinMaxDateRange(CGNString& min, CGNString& max, long form);
  static void GetMinMaxTimeRange(CGNString& min, CGNString& max);
  static void GetMinMaxDateTimeRange(CGNString& min, CGNString& max, long form);
  ///@}

  /// The clock lock that serialises every clock conversion with its
  /// time-zone switch; made by ModuleInit.
  static _osmutex* osMutexLocalTime;

 private:
  friend class gnutil::DateTimeCore;

  /// Returns the marker code (0 none, 1 AM, 2 PM); before receives the text
  /// before the marker.
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
