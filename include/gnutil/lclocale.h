// The locale record and the process-wide locale.
//
// CLCLocale holds the regional settings that every date, time and number
// operation reads: separators, format strings, month and day names, the
// morning and afternoon markers, the language and its character-set class,
// the Japanese era table and the decimal-number settings. A new record holds
// United States English; Init fills it from the system, LoadIniDateTimeSettings
// overrides it from an initialisation file, and Customize fixes it to the
// caller's values, after which the automatic sources leave it alone.
//
// The fields are public: the date, time and number code reads settings that
// have no accessor of their own (the 24-hour flag, the marker position, the
// date orders). Change them only through the operations below.
//
// CLCGlobalLocale::Instance() is the record the library's date, time and
// number operations use. It is created and filled on first use and is not
// guarded by a lock: create it before starting threads.
//
// Texts are in the process locale's encoding. The fixed Japanese texts (the
// era names, the markers of older systems and the unit characters) are
// Shift-JIS on Windows; on Linux they follow the process locale where its
// code set can hold them (EUC-JP, UTF-8) and are Shift-JIS bytes otherwise.
//
// Where the system has no locale information of its own (Linux), the texts
// come from ICU's locale data converted to the Windows notation; see
// docs/LOCALE.md.
#ifndef GNUTIL_LCLOCALE_H
#define GNUTIL_LCLOCALE_H

#include "gnutil/emperor.h"
#include "gnutil/export.h"
#include "gnutil/gnstring.h"

// Character-set class of a language.
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

// The language of a locale.
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

// Lengths of the three tables of format strings offered to users.
#define LC_NUM_TIME_FORMATS 4
#define LC_NUM_SHORT_DATE_FORMATS 24
#define LC_NUM_LONG_DATE_FORMATS 48

// Where Init takes the era table from (CLCLocale::SetEraSource).
//   LC_ERAS_CLASSIC: the built-in table, 平成 (from 1989, still running) and
//     昭和 (1926 to 1988). The default.
//   LC_ERAS_CURRENT: 令和 from 1 May 2019 first; 平成 then ends with 2019,
//     and 30 April 2019 is its last day for the date-based look-ups.
#define LC_ERAS_CLASSIC 0
#define LC_ERAS_CURRENT 1

class GNUTIL_API CLCLocale {
 public:
  CLCLocale();
  CLCLocale(const CLCLocale& other);
  CLCLocale& operator=(const CLCLocale& other);
  ~CLCLocale();

  // The built-in United States English values (all fields but the language,
  // the era table, the customized flag, the locale id and name).
  void InitDefault();

  // --- Filling the whole record ---

  // Fills the record from the system's locale information for m_localeId.
  // 1 when an abbreviated language name was found, else 0.
  unsigned char Init();
  // Switches the process locale (setlocale LC_ALL) and this record to an
  // installed locale (a name from LocaleInfo; any name setlocale accepts).
  void SetLocale(CGNString name);
  // Fixes the record to the caller's values; empty texts keep the present
  // ones, except the grouping, which is always taken. Marks it customized.
  void Customize(CGNString timeFormat, CGNString shortDateFormat, CGNString longDateFormat,
                 long longOrShort, CGNString numDigitsInGroup, long negativeNumFormat,
                 unsigned char displayLeadingZeroes, CGNString decimalSymbol,
                 CGNString negativeSign, CGNString digitGroupSeparator, CGNString localeName);
  // Re-reads the system (Init) and reports what Customize takes.
  void GetDefaults(CGNString& timeFormat, CGNString& shortDateFormat, CGNString& longDateFormat,
                   long& longOrShort, CGNString& numDigitsInGroup, long& negativeNumFormat,
                   unsigned char& displayLeadingZeroes, CGNString& decimalSymbol,
                   CGNString& negativeSign, CGNString& digitGroupSeparator, CGNString& localeName);
  // Refresh the date or the time settings from the system (not customized
  // records only).
  void InitControlPanelDateSettings();
  void InitControlPanelTimeSettings();
  // Overrides date and time settings from a section of an initialisation
  // file and migrates the older format keys (not customized records only).
  void LoadIniDateTimeSettings(char* section, CGNString& file);
  void ConvertOldImportLongDateFormat(CGNString& old);
  void ConvertOldImportShortDateFormat(CGNString& old);

  // --- Single settings ---

  unsigned char Customized();
  void SetCustomized(unsigned char customized);
  unsigned char TimeFormatString(CGNString& format);
  // The long format when LongOrShort() is 2, else the short one.
  unsigned char DateFormatString(CGNString& format);
  // The long format when which is 2, else the short one.
  unsigned char DateFormatString(long which, CGNString& format);
  void SetDateFormatString(long which, CGNString format);
  // The afternoon marker when which is non-zero, else the morning one.
  unsigned char AMPMMarker(long which, CGNString& marker);
  void SetAMPMMarker(long which, CGNString marker);
  CGNString GetAMString();
  CGNString GetPMString();
  // Month 0 is January, 12 the thirteenth month; day 0 is Monday, 6 Sunday.
  // An index outside those gives an empty text.
  unsigned char MonthName(long month, CGNString& name);
  unsigned char MonthAbbrev(long month, CGNString& name);
  unsigned char DayName(long day, CGNString& name);
  unsigned char DayAbbrev(long day, CGNString& name);
  unsigned char DateSep(CGNString& sep);
  void SetDateSep(CGNString sep);
  unsigned char TimeSep(CGNString& sep);
  void SetTimeSep(CGNString sep);
  long GetCalendarType();
  void SetCalendarType(long type);
  long LongOrShort();
  void SetLongOrShort(long which);
  unsigned char GetDecDecimalSymbol(CGNString& symbol);
  unsigned char GetDecDigitGroupSeparator(CGNString& separator);
  unsigned char GetDecDisplayLeadingZeroes();
  long GetDecNegativeNumFormat();
  unsigned char GetDecNegativeSign(CGNString& sign);
  unsigned char GetDecNumDigitsInGroup(CGNString& grouping);
  unsigned long GetLocaleId();
  unsigned char IsMultiByte() const;
  unsigned char IsUnicode() const;
  languageClass GetLang();
  languageName GetLangName();
  unsigned char LocaleIsEnglish();
  unsigned char LocaleIsJapanese();
  // The first two bytes of the abbreviated language name ("EN" for ENU);
  // buffer holds at least 3 bytes.
  void GetFileSuffix(char* buffer);
  // The Japanese unit characters 年 月 日 時 分 秒 for a Japanese locale,
  // else empty.
  void YearChar(CGNString& text);
  void MonthChar(CGNString& text);
  void DayChar(CGNString& text);
  void HourChar(CGNString& text);
  void MinuteChar(CGNString& text);
  void SecondChar(CGNString& text);

  // --- Eras (the table exists after Init) ---

  // The name of the era at the index (0 the newest). An index past the
  // table, or no table yet, gives an empty name. Returns 1.
  unsigned char Emperor(long index, CGNString& name);
  // The number of eras in the table, the ending empty record not counted.
  long EmperorCount();
  // The first era containing the year; 0 (name unchanged) when none does.
  unsigned char EmperorFromGregorianYr(long year, CGNString& name);
  // The era year in the first era containing the year; the year itself when
  // none does.
  long EmperorYrFromGregorianYr(long year);
  // Era year + first year - 1, with no range check.
  long GregorianYrFromEmperorYr(CEmperor era, long eraYear);
  // The same look-ups by date, for eras that begin within a year. Both
  // return what their year-based twins return when no era fits; *index (when
  // not null) receives the era's index, or -1.
  unsigned char EmperorFromGregorianDate(long year, long month, long day, CGNString& name,
                                         long* index = nullptr);
  long EmperorYrFromGregorianDate(long year, long month, long day);

  // The era table that Init builds from now on, in every record of the
  // process (LC_ERAS_CLASSIC or LC_ERAS_CURRENT); 0 for any other value.
  // Records already filled keep theirs until their next Init.
  static unsigned char SetEraSource(long source);
  static long GetEraSource();

  // --- Format tables offered to users (LC_NUM_..._FORMATS entries each) ---

  static const char** TimeFormats();
  static const char** ShortDateFormats();
  static const char** LongDateFormats();

  // --- Fields ---

  unsigned char m_multiByte;
  unsigned char m_unicode;
  languageClass m_langClass;
  languageName m_langName;
  CGNString m_langAbbrev;
  long m_24HourTime;
  long m_ampmPrefix;
  long m_hourLeadingZero;
  CGNString m_timeSep;
  CEmperor* m_pEmperors;
  unsigned char m_customized;
  CGNString m_localeName;
  unsigned long m_localeId;
  long m_calendarType;
  long m_optionalCalendar;
  CGNString m_dateSep;
  CGNString m_timeFormat;
  CGNString m_shortDateFormat;
  CGNString m_longDateFormat;
  long m_shortDateOrder;
  long m_longDateOrder;
  long m_century;
  long m_dayLeadingZero;
  long m_monthLeadingZero;
  CGNString m_amString;
  CGNString m_pmString;
  CGNString m_monthNames[13];
  CGNString m_monthAbbrevs[13];
  CGNString m_dayNames[7];
  CGNString m_dayAbbrevs[7];
  long m_longOrShort;
  long m_decNegativeNumFormat;
  unsigned char m_decDisplayLeadingZeroes;
  CGNString m_decDecimalSymbol;
  CGNString m_decNegativeSign;
  CGNString m_decNumDigitsInGroup;
  CGNString m_decDigitGroupSeparator;

 private:
  void CopyFrom(const CLCLocale& other);
  void QueryText(unsigned long item, CGNString& field, int size = 256);
  void QueryNumber(unsigned long item, long& field, int size = 256);
  void QueryMarkers();
};

// The process-wide locale record.
class GNUTIL_API CLCGlobalLocale : public CLCLocale {
 public:
  CLCGlobalLocale();
  CLCGlobalLocale(const CLCGlobalLocale& other);
  CLCGlobalLocale& operator=(const CLCGlobalLocale& other);

  // The record, created and filled (Init) on first use. The pointer is
  // stored before Init runs, so Init's own look-up finds this record.
  static CLCGlobalLocale* Instance();
  // Destroys the record; the next Instance creates a fresh one.
  static void Free();

 protected:
  static CLCGlobalLocale* m_pInstance;
};

#endif  // GNUTIL_LCLOCALE_H
