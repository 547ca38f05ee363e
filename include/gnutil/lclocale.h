/// \file
/// \ingroup locale
/// The locale record and the process-wide locale.
///
/// CLCLocale holds the regional settings that every date, time and number
/// operation reads: separators, format strings, month and day names, the
/// morning and afternoon markers, the language and its character-set class,
/// the Japanese era table and the decimal-number settings. A new record holds
/// United States English; Init fills it from the system, LoadIniDateTimeSettings
/// overrides it from an initialisation file, and Customize fixes it to the
/// caller's values, after which the automatic sources leave it alone.
///
/// The fields are public: the date, time and number code reads settings that
/// have no accessor of their own (the 24-hour flag, the marker position, the
/// date orders). Change them only through the operations below.
///
/// CLCGlobalLocale::Instance() is the record the library's date, time and
/// number operations use. It is created and filled on first use and is not
/// guarded by a lock: create it before starting threads.
///
/// Texts are in the process locale's encoding. The fixed Japanese texts (the
/// era names, the markers of older systems and the unit characters) are
/// Shift-JIS on Windows; on Linux they follow the process locale where its
/// code set can hold them (EUC-JP, UTF-8) and are Shift-JIS bytes otherwise.
///
/// Where the system has no locale information of its own (Linux), the texts
/// come from ICU's locale data converted to the Windows notation; see
/// docs/LOCALE.md.
#ifndef GNUTIL_LCLOCALE_H
#define GNUTIL_LCLOCALE_H

#include "gnutil/emperor.h"
#include "gnutil/export.h"
#include "gnutil/gnstring.h"

/// Character-set class of a language.
enum languageClass {
  LANGCLASS_UNKNOWN = 0,
  LANGCLASS_CENTRAL_EUROPEAN = 2,
  LANGCLASS_CYRILLIC = 3,
  LANGCLASS_WESTERN_EUROPEAN = 4,
  LANGCLASS_GREEK = 5,
  LANGCLASS_TURKISH = 6,
  LANGCLASS_ARABIC = 8,
  LANGCLASS_BALTIC = 9,
  LANGCLASS_JAPANESE = 10,
  LANGCLASS_SIMPLIFIED_CHINESE = 11,
  LANGCLASS_KOREAN = 12,
  LANGCLASS_TRADITIONAL_CHINESE = 13
};

/// The language of a locale.
enum languageName {
  LANGNAME_UNKNOWN = 0,
  LANGNAME_CZECH = 2,
  LANGNAME_HUNGARIAN = 3,
  LANGNAME_POLISH = 4,
  LANGNAME_ROMANIAN = 5,
  LANGNAME_SLOVAK = 6,
  LANGNAME_SLOVENIAN = 7,
  LANGNAME_BELARUSIAN = 8,
  LANGNAME_BULGARIAN = 9,
  LANGNAME_RUSSIAN = 10,
  LANGNAME_DANISH = 11,
  LANGNAME_DUTCH = 12,
  LANGNAME_ENGLISH = 13,
  LANGNAME_FINNISH = 14,
  LANGNAME_FRENCH = 15,
  LANGNAME_GERMAN = 16,
  LANGNAME_ICELANDIC = 17,
  LANGNAME_ITALIAN = 18,
  LANGNAME_NORWEGIAN = 19,
  LANGNAME_PORTUGUESE = 20,
  LANGNAME_SPANISH = 21,
  LANGNAME_SWEDISH = 22,
  LANGNAME_GREEK = 23,
  LANGNAME_TURKISH = 24,
  LANGNAME_ARABIC = 26,
  LANGNAME_ESTONIAN = 27,
  LANGNAME_LATVIAN = 28,
  LANGNAME_LITHUANIAN = 29,
  LANGNAME_JAPANESE = 30,
  LANGNAME_CHINESE = 31,
  LANGNAME_KOREAN = 32,
  LANGNAME_CHINESE_TAIWAN = 33
};

#define LC_NUM_TIME_FORMATS 4         ///< Entries of CLCLocale::TimeFormats().
#define LC_NUM_SHORT_DATE_FORMATS 24  ///< Entries of CLCLocale::ShortDateFormats().
#define LC_NUM_LONG_DATE_FORMATS 48   ///< Entries of CLCLocale::LongDateFormats().

/// Era source of CLCLocale::SetEraSource: the built-in table, 平成 (from
/// 1989, still running) and 昭和 (1926 to 1988). The default.
#define LC_ERAS_CLASSIC 0
/// Era source of CLCLocale::SetEraSource: 令和 from 1 May 2019 first; 平成
/// then ends with 2019, and 30 April 2019 is its last day for the date-based
/// look-ups.
#define LC_ERAS_CURRENT 1

/// A locale settings record: separators, formats, names, markers, eras and
/// decimal settings, in the process locale's encoding.
class GNUTIL_API CLCLocale {
 public:
  /// A record holding United States English, not yet read from the system.
  CLCLocale();
  /// A deep copy, era table included.
  CLCLocale(const CLCLocale& other);
  /// Deep assignment, era table included.
  CLCLocale& operator=(const CLCLocale& other);
  /// Frees the era table.
  ~CLCLocale();

  /// The built-in United States English values (all fields but the language,
  /// the era table, the customized flag, the locale id and name).
  void InitDefault();

  // --- Filling the whole record ---

  /// Fills the record from the system's locale information for m_localeId.
  /// 1 when an abbreviated language name was found, else 0.
  unsigned char Init();
  /// Switches the process locale (setlocale LC_ALL) and this record to an
  /// installed locale (a name from LocaleInfo; any name setlocale accepts).
  void SetLocale(CGNString name);
  /// Fixes the record to the caller's values; empty texts keep the present
  /// ones, except the grouping, which is always taken. Marks it customized.
  void Customize(CGNString timeFormat, CGNString shortDateFormat, CGNString longDateFormat,
                 long longOrShort, CGNString numDigitsInGroup, long negativeNumFormat,
                 unsigned char displayLeadingZeroes, CGNString decimalSymbol,
                 CGNString negativeSign, CGNString digitGroupSeparator, CGNString localeName);
  /// Re-reads the system (Init) and reports what Customize takes.
  void GetDefaults(CGNString& timeFormat, CGNString& shortDateFormat, CGNString& longDateFormat,
                   long& longOrShort, CGNString& numDigitsInGroup, long& negativeNumFormat,
                   unsigned char& displayLeadingZeroes, CGNString& decimalSymbol,
                   CGNString& negativeSign, CGNString& digitGroupSeparator, CGNString& localeName);
  ///@{
  /// Refresh the date or the time settings from the system (not customized
  /// records only).
  void InitControlPanelDateSettings();
  void InitControlPanelTimeSettings();
  ///@}
  /// Overrides date and time settings from a section of an initialisation
  /// file and migrates the older format keys (not customized records only).
  void LoadIniDateTimeSettings(char* section, CGNString& file);
  ///@{
  /// Rewrites a long or short date format of the older key notation into the
  /// pattern language, in place.
  void ConvertOldImportLongDateFormat(CGNString& old);
  void ConvertOldImportShortDateFormat(CGNString& old);
  ///@}

  // --- Single settings ---
  // The accessors that fill a CGNString& return 1.

  /// 1 when Customize fixed the record.
  unsigned char Customized();
  /// Sets or clears the customized flag.
  void SetCustomized(unsigned char customized);
  /// The time format string.
  unsigned char TimeFormatString(CGNString& format);
  /// The long format when LongOrShort() is 2, else the short one.
  unsigned char DateFormatString(CGNString& format);
  /// The long format when which is 2, else the short one.
  unsigned char DateFormatString(long which, CGNString& format);
  /// Sets the long (which 2) or the short date format string.
  void SetDateFormatString(long which, CGNString format);
  /// The afternoon marker when which is non-zero, else the morning one.
  unsigned char AMPMMarker(long which, CGNString& marker);
  /// Sets the afternoon (which non-zero) or the morning marker.
  void SetAMPMMarker(long which, CGNString marker);
  /// A copy of the morning marker.
  CGNString GetAMString();
  /// A copy of the afternoon marker.
  CGNString GetPMString();
  ///@{
  /// Full and abbreviated month and day names. Month 0 is January, 12 the
  /// thirteenth month; day 0 is Monday, 6 Sunday. An index outside those
  /// gives an empty text.
  unsigned char MonthName(long month, CGNString& name);
  unsigned char MonthAbbrev(long month, CGNString& name);
  unsigned char DayName(long day, CGNString& name);
  unsigned char DayAbbrev(long day, CGNString& name);
  ///@}
  /// The date separator.
  unsigned char DateSep(CGNString& sep);
  /// Sets the date separator.
  void SetDateSep(CGNString sep);
  /// The time separator.
  unsigned char TimeSep(CGNString& sep);
  /// Sets the time separator.
  void SetTimeSep(CGNString sep);
  /// The calendar type (3: Japanese era calendar).
  long GetCalendarType();
  /// Sets the calendar type.
  void SetCalendarType(long type);
  /// Which date format is the default: 2 long, any other value short.
  long LongOrShort();
  /// Sets which date format is the default.
  void SetLongOrShort(long which);
  /// The decimal symbol.
  unsigned char GetDecDecimalSymbol(CGNString& symbol);
  /// The digit group separator.
  unsigned char GetDecDigitGroupSeparator(CGNString& separator);
  /// 1 when a 0 is shown before the decimal symbol of a number below 1.
  unsigned char GetDecDisplayLeadingZeroes();
  /// The layout of negative numbers, 0 to 4.
  long GetDecNegativeNumFormat();
  /// The negative sign.
  unsigned char GetDecNegativeSign(CGNString& sign);
  /// The digit grouping as the system gives it ("3;0").
  unsigned char GetDecNumDigitsInGroup(CGNString& grouping);
  /// The numeric system locale identifier.
  unsigned long GetLocaleId();
  /// 1 when the language belongs to a multibyte class.
  unsigned char IsMultiByte() const;
  /// The Unicode flag (always 0 as the library fills records).
  unsigned char IsUnicode() const;
  /// The character-set class of the language.
  languageClass GetLang();
  /// The language.
  languageName GetLangName();
  /// 1 when the language is English.
  unsigned char LocaleIsEnglish();
  /// 1 when the language is Japanese.
  unsigned char LocaleIsJapanese();
  /// The first two bytes of the abbreviated language name ("EN" for ENU);
  /// buffer holds at least 3 bytes.
  void GetFileSuffix(char* buffer);
  /// The Japanese unit characters 年 月 日 時 分 秒 for a Japanese locale,
  /// else empty.
  ///@{
  void YearChar(CGNString& text);
  void MonthChar(CGNString& text);
  void DayChar(CGNString& text);
  void HourChar(CGNString& text);
  void MinuteChar(CGNString& text);
  void SecondChar(CGNString& text);
  ///@}

  // --- Eras (the table exists after Init) ---

  /// The name of the era at the index (0 the newest). An index past the
  /// table, or no table yet, gives an empty name. Returns 1.
  unsigned char Emperor(long index, CGNString& name);
  /// The number of eras in the table, the ending empty record not counted.
  long EmperorCount();
  /// The first era containing the year; 0 (name unchanged) when none does.
  unsigned char EmperorFromGregorianYr(long year, CGNString& name);
  /// The era year in the first era containing the year; the year itself when
  /// none does.
  long EmperorYrFromGregorianYr(long year);
  /// Era year + first year - 1, with no range check.
  long GregorianYrFromEmperorYr(CEmperor era, long eraYear);
  ///@{
  /// The same look-ups by date, for eras that begin within a year. Both
  /// return what their year-based twins return when no era fits; *index (when
  /// not null) receives the era's index, or -1.
  unsigned char EmperorFromGregorianDate(long year, long month, long day, CGNString& name,
                                         long* index = nullptr);
  long EmperorYrFromGregorianDate(long year, long month, long day);
  ///@}

  /// The era table that Init builds from now on, in every record of the
  /// process (LC_ERAS_CLASSIC or LC_ERAS_CURRENT); 0 for any other value.
  /// Records already filled keep theirs until their next Init.
  static unsigned char SetEraSource(long source);
  /// The era source that Init uses.
  static long GetEraSource();

  ///@{
  /// The format strings offered to users for times, short dates and long
  /// dates (LC_NUM_..._FORMATS entries each).
  static const char** TimeFormats();
  static const char** ShortDateFormats();
  static const char** LongDateFormats();
  ///@}

  // --- Fields ---

  /// The language belongs to a multibyte class (class 10 to 13 inclusive) (IsMultiByte).
  unsigned char m_multiByte;
  /// Read by IsUnicode; construction sets it to 0 and no operation of the locale Parts changes
  /// it.
  unsigned char m_unicode;
  /// Character-set class of the language, see the language table (GetLang).
  languageClass m_langClass;
  /// The language, see the language table (GetLangName).
  languageName m_langName;
  /// The system's abbreviated language name (on the platform three letters, for example ENU for
  /// United States English).
  CGNString m_langAbbrev;
  /// 1 = 24-hour clock, 0 = 12-hour clock with markers.
  long m_24HourTime;
  /// 1 = marker stands before the time, 0 = after it.
  long m_ampmPrefix;
  /// 1 = hours are shown with a leading zero.
  long m_hourLeadingZero;
  /// Time separator.
  CGNString m_timeSep;
  /// Japanese era table, ended by an empty record; null until Init.
  CEmperor* m_pEmperors;
  /// The settings were fixed by Customize (Customized).
  unsigned char m_customized;
  /// Name of the locale chosen by SetLocale.
  CGNString m_localeName;
  /// Numeric system locale identifier (GetLocaleId).
  unsigned long m_localeId;
  /// Calendar type (GetCalendarType).
  long m_calendarType;
  /// The system's optional calendar type.
  long m_optionalCalendar;
  /// Date separator.
  CGNString m_dateSep;
  /// Time format string.
  CGNString m_timeFormat;
  /// Short date format string.
  CGNString m_shortDateFormat;
  /// Long date format string.
  CGNString m_longDateFormat;
  /// Order of the parts of a short date: 0 month-day-year, 1 day-month-year, 2 year-month-day.
  long m_shortDateOrder;
  /// The same for long dates.
  long m_longDateOrder;
  /// 1 = years are shown with four digits.
  long m_century;
  /// 1 = day numbers are shown with a leading zero.
  long m_dayLeadingZero;
  /// 1 = month numbers are shown with a leading zero.
  long m_monthLeadingZero;
  /// Morning marker.
  CGNString m_amString;
  /// Afternoon marker.
  CGNString m_pmString;
  /// Month names, January first; the 13th serves calendars with 13 months.
  CGNString m_monthNames[13];
  /// Abbreviated month names.
  CGNString m_monthAbbrevs[13];
  /// Day names, Monday first (index 0 is Monday, index 6 Sunday).
  CGNString m_dayNames[7];
  /// Abbreviated day names, Monday first.
  CGNString m_dayAbbrevs[7];
  /// Which date format is the default: 2 = long, any other value = short (LongOrShort).
  long m_longOrShort;
  /// Layout of negative numbers, 0 to 4.
  long m_decNegativeNumFormat;
  /// Show a 0 before the decimal symbol when there is no integer digit.
  unsigned char m_decDisplayLeadingZeroes;
  /// Decimal symbol.
  CGNString m_decDecimalSymbol;
  /// Negative sign.
  CGNString m_decNegativeSign;
  /// Digit grouping as the system gives it, for example 3;0.
  CGNString m_decNumDigitsInGroup;
  /// Digit group separator.
  CGNString m_decDigitGroupSeparator;

 private:
  void CopyFrom(const CLCLocale& other);
  void QueryText(unsigned long item, CGNString& field, int size = 256);
  void QueryNumber(unsigned long item, long& field, int size = 256);
  void QueryMarkers();
};

/// The process-wide locale record.
class GNUTIL_API CLCGlobalLocale : public CLCLocale {
 public:
  /// A record as CLCLocale makes it; use Instance for the process-wide one.
  CLCGlobalLocale();
  /// A copy of the record.
  CLCGlobalLocale(const CLCGlobalLocale& other);
  /// Copies the record.
  CLCGlobalLocale& operator=(const CLCGlobalLocale& other);

  /// The record, created and filled (Init) on first use. The pointer is
  /// stored before Init runs, so Init's own look-up finds this record.
  static CLCGlobalLocale* Instance();
  /// Destroys the record; the next Instance creates a fresh one.
  static void Free();

 protected:
  static CLCGlobalLocale* m_pInstance;  ///< The record, or null before Instance.
};

#endif  // GNUTIL_LCLOCALE_H
