// The locale record: built-in values, accessors, copying, the era look-ups
// and the tables of format strings. Filling a record from the system and the
// process-wide record are in lclocale_init.cpp.
#include "gnutil/lclocale.h"

#include <ctype.h>
#include <limits.h>
#include <string.h>

#include "gnutil/mbstring.h"
#include "gnutil/mbutil.h"
#include "locale/lclocale_internal.h"

namespace gnutil {
namespace {

const char* kTimeFormats[LC_NUM_TIME_FORMATS] = {"h:mm:ss tt", "hh:mm:ss tt", "H:mm:ss",
                                                 "HH:mm:ss"};

const char* kShortDateFormats[LC_NUM_SHORT_DATE_FORMATS] = {
    "MM/dd/yyyy", "MM/dd/yy", "MM/d/yyyy",  "MM/d/yy",  "M/dd/yyyy",  "M/dd/yy",
    "M/d/yyyy",   "M/d/yy",   "dd/MM/yyyy", "dd/MM/yy", "dd/M/yyyy",  "dd/M/yy",
    "d/MM/yyyy",  "d/MM/yy",  "d/M/yyyy",   "d/M/yy",   "yyyy/MM/dd", "yyyy/MM/d",
    "yyyy/M/dd",  "yyyy/M/d", "yy/MM/dd",   "yy/MM/d",  "yy/M/dd",    "yy/M/d"};

const char* kLongDateFormats[LC_NUM_LONG_DATE_FORMATS] = {
    // Without a day name.
    "dd MMMM, yyyy", "dd MMMM, yy", "dd MMM, yyyy", "dd MMM, yy", "d MMMM, yyyy", "d MMMM, yy",
    "d MMM, yyyy", "d MMM, yy", "MMMM dd, yyyy", "MMMM dd, yy", "MMMM d, yyyy", "MMMM d, yy",
    "MMM dd, yyyy", "MMM dd, yy", "MMM d, yyyy", "MMM d, yy",
    // With the full day name.
    "dddd, MMMM dd, yyyy", "dddd, MMMM dd, yy", "dddd, MMMM d, yyyy", "dddd, MMMM d, yy",
    "dddd, dd MMMM, yyyy", "dddd, dd MMMM, yy", "dddd, d MMMM, yyyy", "dddd, d MMMM, yy",
    "dddd, MMM dd, yyyy", "dddd, MMM dd, yy", "dddd, MMM d, yyyy", "dddd, MMM d, yy",
    "dddd, dd MMM, yyyy", "dddd, dd MMM, yy", "dddd, d MMM, yyyy", "dddd, d MMM, yy",
    // With the abbreviated day name.
    "ddd, MMMM dd, yyyy", "ddd, MMMM dd, yy", "ddd, MMMM d, yyyy", "ddd, MMMM d, yy",
    "ddd, dd MMMM, yyyy", "ddd, dd MMMM, yy", "ddd, d MMMM, yyyy", "ddd, d MMMM, yy",
    "ddd, MMM dd, yyyy", "ddd, MMM dd, yy", "ddd, MMM d, yyyy", "ddd, MMM d, yy",
    "ddd, dd MMM, yyyy", "ddd, dd MMM, yy", "ddd, d MMM, yyyy", "ddd, d MMM, yy"};

const char* const kMonthNames[12] = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};
const char* const kMonthAbbrevs[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kDayNames[7] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                  "Friday", "Saturday", "Sunday"};
const char* const kDayAbbrevs[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

struct LanguageRow {
  const char* prefix;
  int languageClass;
  int languageName;
};

// Compared in this order; the prefixes are the first two letters of the
// system's three-letter abbreviations (JPN gives "jp"). The last row can
// never match a two-character key: kept because callers know the table so.
const LanguageRow kLanguageRows[] = {
    {"da", 4, 11},     {"nl", 4, 12}, {"en", 4, 13}, {"fi", 4, 14},  {"fr", 4, 15},  {"de", 4, 16},
    {"is", 4, 17},     {"it", 4, 18}, {"no", 4, 19}, {"pt", 4, 20},  {"es", 4, 21},  {"sv", 4, 22},
    {"cs", 2, 2},      {"hu", 2, 3},  {"pl", 2, 4},  {"ro", 2, 5},   {"el", 5, 23},  {"et", 9, 27},
    {"lv", 9, 28},     {"lt", 9, 29}, {"sk", 9, 6},  {"sl", 9, 7},   {"be", 3, 8},   {"bg", 3, 9},
    {"ru", 3, 10},     {"tr", 6, 24}, {"ar", 8, 26}, {"jp", 10, 30}, {"ko", 12, 32}, {"zh", 11, 31},
    {"zh-tw", 13, 33},
};

int EraCount(const CEmperor* table) {
  int n = 0;
  if (table == nullptr) return 0;
  while (!const_cast<CEmperor&>(table[n]).IsEmpty()) ++n;
  return n;
}

CEmperor* CopyEraTable(const CEmperor* table) {
  if (table == nullptr) return nullptr;
  int n = EraCount(table);
  CEmperor* copy = new CEmperor[n + 1];
  for (int i = 0; i < n; ++i) copy[i] = table[i];
  return copy;
}

void UnitChar(CLCLocale* locale, JapaneseText which, CGNString& text) {
  if (locale->LocaleIsJapanese())
    text = FixedJapaneseText(which);
  else
    text.Empty();
}

}  // namespace

const CGNString& NameAt(const CGNString* table, long count, long index) {
  static const CGNString kNone;
  return index >= 0 && index < count ? table[index] : kNone;
}

void ClassifyLanguage(const char* abbreviation, int* languageClass, int* languageName) {
  *languageClass = 0;
  *languageName = 0;
  if (abbreviation == nullptr || *abbreviation == '\0') return;
  // The key is the first two characters of the abbreviation.
  size_t keyBytes = 0;
  int keyChars = 0;
  while (keyChars < 2 && abbreviation[keyBytes] != '\0') {
    int n = mbbytesinchar(abbreviation + keyBytes);
    if (n < 1) n = 1;
    for (int i = 0; i < n && abbreviation[keyBytes] != '\0'; ++i) ++keyBytes;
    ++keyChars;
  }
  for (const LanguageRow& row : kLanguageRows) {
    size_t prefixLength = strlen(row.prefix);
    if (prefixLength > static_cast<size_t>(keyChars)) continue;
    bool match = true;
    for (size_t i = 0; i < prefixLength && match; ++i) {
      unsigned char c = static_cast<unsigned char>(abbreviation[i]);
      match = c < 0x80 && tolower(c) == row.prefix[i];
    }
    if (match) {
      *languageClass = row.languageClass;
      *languageName = row.languageName;
      return;
    }
  }
}

}  // namespace gnutil

using gnutil::JapaneseText;
using gnutil::UnitChar;

CLCLocale::CLCLocale()
    : m_multiByte(0),
      m_unicode(0),
      m_langClass(LANGCLASS_UNKNOWN),
      m_langName(LANGNAME_UNKNOWN),
      m_pEmperors(nullptr),
      m_customized(0),
      m_localeId(1024) {
  InitDefault();
}

CLCLocale::CLCLocale(const CLCLocale& other) : m_pEmperors(nullptr) { CopyFrom(other); }

CLCLocale& CLCLocale::operator=(const CLCLocale& other) {
  if (this != &other) CopyFrom(other);
  return *this;
}

CLCLocale::~CLCLocale() { delete[] m_pEmperors; }

void CLCLocale::CopyFrom(const CLCLocale& other) {
  // The new table is made before anything changes, so a failed allocation
  // leaves this record as it was.
  CEmperor* eras = gnutil::CopyEraTable(other.m_pEmperors);
  delete[] m_pEmperors;
  m_pEmperors = eras;
  m_multiByte = other.m_multiByte;
  m_unicode = other.m_unicode;
  m_langClass = other.m_langClass;
  m_langName = other.m_langName;
  m_langAbbrev = other.m_langAbbrev;
  m_24HourTime = other.m_24HourTime;
  m_ampmPrefix = other.m_ampmPrefix;
  m_hourLeadingZero = other.m_hourLeadingZero;
  m_timeSep = other.m_timeSep;
  m_customized = other.m_customized;
  m_localeName = other.m_localeName;
  m_localeId = other.m_localeId;
  m_calendarType = other.m_calendarType;
  m_optionalCalendar = other.m_optionalCalendar;
  m_dateSep = other.m_dateSep;
  m_timeFormat = other.m_timeFormat;
  m_shortDateFormat = other.m_shortDateFormat;
  m_longDateFormat = other.m_longDateFormat;
  m_shortDateOrder = other.m_shortDateOrder;
  m_longDateOrder = other.m_longDateOrder;
  m_century = other.m_century;
  m_dayLeadingZero = other.m_dayLeadingZero;
  m_monthLeadingZero = other.m_monthLeadingZero;
  m_amString = other.m_amString;
  m_pmString = other.m_pmString;
  for (int i = 0; i < 13; ++i) {
    m_monthNames[i] = other.m_monthNames[i];
    m_monthAbbrevs[i] = other.m_monthAbbrevs[i];
  }
  for (int i = 0; i < 7; ++i) {
    m_dayNames[i] = other.m_dayNames[i];
    m_dayAbbrevs[i] = other.m_dayAbbrevs[i];
  }
  m_longOrShort = other.m_longOrShort;
  m_decNegativeNumFormat = other.m_decNegativeNumFormat;
  m_decDisplayLeadingZeroes = other.m_decDisplayLeadingZeroes;
  m_decDecimalSymbol = other.m_decDecimalSymbol;
  m_decNegativeSign = other.m_decNegativeSign;
  m_decNumDigitsInGroup = other.m_decNumDigitsInGroup;
  m_decDigitGroupSeparator = other.m_decDigitGroupSeparator;
}

void CLCLocale::InitDefault() {
  m_24HourTime = 0;
  m_ampmPrefix = 0;
  m_hourLeadingZero = 0;
  m_timeSep = ":";
  m_calendarType = 1;
  m_optionalCalendar = 0;
  m_dateSep = "/";
  m_timeFormat = "hh:mm:ss tt";
  m_shortDateFormat = "M/d/yy";
  m_longDateFormat = "dddd, MMMM dd, yyyy";
  m_shortDateOrder = 0;
  m_longDateOrder = 0;
  m_century = 0;
  m_dayLeadingZero = 0;
  m_monthLeadingZero = 0;
  m_amString = "AM";
  m_pmString = "PM";
  for (int i = 0; i < 12; ++i) {
    m_monthNames[i] = gnutil::kMonthNames[i];
    m_monthAbbrevs[i] = gnutil::kMonthAbbrevs[i];
  }
  m_monthNames[12].Empty();
  m_monthAbbrevs[12].Empty();
  for (int i = 0; i < 7; ++i) {
    m_dayNames[i] = gnutil::kDayNames[i];
    m_dayAbbrevs[i] = gnutil::kDayAbbrevs[i];
  }
  m_longOrShort = 0;
  m_decNegativeNumFormat = 0;
  m_decDisplayLeadingZeroes = 0;
  m_decDecimalSymbol = ".";
  m_decNegativeSign = "-";
  m_decNumDigitsInGroup.Empty();
  m_decDigitGroupSeparator = ",";
}

unsigned char CLCLocale::Customized() { return m_customized; }

void CLCLocale::SetCustomized(unsigned char customized) { m_customized = customized; }

unsigned char CLCLocale::TimeFormatString(CGNString& format) {
  format = m_timeFormat;
  return 1;
}

unsigned char CLCLocale::DateFormatString(CGNString& format) {
  return DateFormatString(m_longOrShort, format);
}

unsigned char CLCLocale::DateFormatString(long which, CGNString& format) {
  format = which == 2 ? m_longDateFormat : m_shortDateFormat;
  return 1;
}

void CLCLocale::SetDateFormatString(long which, CGNString format) {
  (which == 2 ? m_longDateFormat : m_shortDateFormat) = format;
}

unsigned char CLCLocale::AMPMMarker(long which, CGNString& marker) {
  marker = which != 0 ? m_pmString : m_amString;
  return 1;
}

void CLCLocale::SetAMPMMarker(long which, CGNString marker) {
  (which != 0 ? m_pmString : m_amString) = marker;
}

CGNString CLCLocale::GetAMString() { return m_amString; }

CGNString CLCLocale::GetPMString() { return m_pmString; }

unsigned char CLCLocale::MonthName(long month, CGNString& name) {
  name = gnutil::NameAt(m_monthNames, 13, month);
  return 1;
}

unsigned char CLCLocale::MonthAbbrev(long month, CGNString& name) {
  name = gnutil::NameAt(m_monthAbbrevs, 13, month);
  return 1;
}

unsigned char CLCLocale::DayName(long day, CGNString& name) {
  name = gnutil::NameAt(m_dayNames, 7, day);
  return 1;
}

unsigned char CLCLocale::DayAbbrev(long day, CGNString& name) {
  name = gnutil::NameAt(m_dayAbbrevs, 7, day);
  return 1;
}

unsigned char CLCLocale::DateSep(CGNString& sep) {
  sep = m_dateSep;
  return 1;
}

void CLCLocale::SetDateSep(CGNString sep) { m_dateSep = sep; }

unsigned char CLCLocale::TimeSep(CGNString& sep) {
  sep = m_timeSep;
  return 1;
}

void CLCLocale::SetTimeSep(CGNString sep) { m_timeSep = sep; }

long CLCLocale::GetCalendarType() { return m_calendarType; }

void CLCLocale::SetCalendarType(long type) { m_calendarType = type; }

long CLCLocale::LongOrShort() { return m_longOrShort; }

void CLCLocale::SetLongOrShort(long which) { m_longOrShort = which; }

unsigned char CLCLocale::GetDecDecimalSymbol(CGNString& symbol) {
  symbol = m_decDecimalSymbol;
  return 1;
}

unsigned char CLCLocale::GetDecDigitGroupSeparator(CGNString& separator) {
  separator = m_decDigitGroupSeparator;
  return 1;
}

unsigned char CLCLocale::GetDecDisplayLeadingZeroes() { return m_decDisplayLeadingZeroes; }

long CLCLocale::GetDecNegativeNumFormat() { return m_decNegativeNumFormat; }

unsigned char CLCLocale::GetDecNegativeSign(CGNString& sign) {
  sign = m_decNegativeSign;
  return 1;
}

unsigned char CLCLocale::GetDecNumDigitsInGroup(CGNString& grouping) {
  grouping = m_decNumDigitsInGroup;
  return 1;
}

unsigned long CLCLocale::GetLocaleId() { return m_localeId; }

unsigned char CLCLocale::IsMultiByte() const { return m_multiByte; }

unsigned char CLCLocale::IsUnicode() const { return m_unicode; }

languageClass CLCLocale::GetLang() { return m_langClass; }

languageName CLCLocale::GetLangName() { return m_langName; }

unsigned char CLCLocale::LocaleIsEnglish() { return m_langName == LANGNAME_ENGLISH ? 1 : 0; }

unsigned char CLCLocale::LocaleIsJapanese() { return m_langName == LANGNAME_JAPANESE ? 1 : 0; }

void CLCLocale::GetFileSuffix(char* buffer) {
  if (buffer == nullptr) return;
  memset(buffer, 0, 3);
  mbstrncpy(buffer, m_langAbbrev, 2);
  buffer[2] = '\0';
}

void CLCLocale::YearChar(CGNString& text) { UnitChar(this, JapaneseText::kYear, text); }
void CLCLocale::MonthChar(CGNString& text) { UnitChar(this, JapaneseText::kMonth, text); }
void CLCLocale::DayChar(CGNString& text) { UnitChar(this, JapaneseText::kDay, text); }
void CLCLocale::HourChar(CGNString& text) { UnitChar(this, JapaneseText::kHour, text); }
void CLCLocale::MinuteChar(CGNString& text) { UnitChar(this, JapaneseText::kMinute, text); }
void CLCLocale::SecondChar(CGNString& text) { UnitChar(this, JapaneseText::kSecond, text); }

unsigned char CLCLocale::Emperor(long index, CGNString& name) {
  if (index >= 0 && index < EmperorCount())
    m_pEmperors[index].Emperor(name);
  else
    name.Empty();
  return 1;
}

long CLCLocale::EmperorCount() { return gnutil::EraCount(m_pEmperors); }

unsigned char CLCLocale::EmperorFromGregorianYr(long year, CGNString& name) {
  long n = EmperorCount();
  for (long i = 0; i < n; ++i) {
    if (m_pEmperors[i].EmperorYrFromGregorianYr(year) != 0) {
      m_pEmperors[i].Emperor(name);
      return 1;
    }
  }
  return 0;
}

long CLCLocale::EmperorYrFromGregorianYr(long year) {
  long n = EmperorCount();
  for (long i = 0; i < n; ++i) {
    long eraYear = m_pEmperors[i].EmperorYrFromGregorianYr(year);
    if (eraYear != 0) return eraYear;
  }
  return year;
}

long CLCLocale::GregorianYrFromEmperorYr(CEmperor era, long eraYear) {
  // An era year read from text may be any number: a sum past the range of
  // long saturates rather than wrapping into a plausible year.
  long base, year;
  if (__builtin_sub_overflow(era.GetFirstYear(), 1L, &base) ||
      __builtin_add_overflow(eraYear, base, &year)) {
    return eraYear < 0 ? LONG_MIN : LONG_MAX;
  }
  return year;
}

unsigned char CLCLocale::EmperorFromGregorianDate(long year, long month, long day, CGNString& name,
                                                  long* index) {
  long n = EmperorCount();
  for (long i = 0; i < n; ++i) {
    if (m_pEmperors[i].EmperorYrFromGregorianDate(year, month, day) != 0) {
      m_pEmperors[i].Emperor(name);
      if (index != nullptr) *index = i;
      return 1;
    }
  }
  if (index != nullptr) *index = -1;
  return 0;
}

long CLCLocale::EmperorYrFromGregorianDate(long year, long month, long day) {
  long n = EmperorCount();
  for (long i = 0; i < n; ++i) {
    long eraYear = m_pEmperors[i].EmperorYrFromGregorianDate(year, month, day);
    if (eraYear != 0) return eraYear;
  }
  return year;
}

const char** CLCLocale::TimeFormats() { return gnutil::kTimeFormats; }

const char** CLCLocale::ShortDateFormats() { return gnutil::kShortDateFormats; }

const char** CLCLocale::LongDateFormats() { return gnutil::kLongDateFormats; }
