// Shared internals of the date-time formatting and parsing sources.
//
// The readers and the free-form parser work on byte views of the text (a
// pointer into a NUL-terminated buffer) and step over whole characters of the
// current code set, so a trail byte is never mistaken for a letter or a
// delimiter. The public members that take and give CGNString are thin
// wrappers around these.
#ifndef GNUTIL_SRC_LOCALE_DATETIME_INTERNAL_H
#define GNUTIL_SRC_LOCALE_DATETIME_INTERNAL_H

#include <string.h>

#include <string>
#include <string_view>

#include "genutil/textscan.h"
#include "gnutil/datetime.h"
#include "gnutil/lclocale.h"

namespace gnutil {

// Bytes of the character at p (at least 1, never past the terminator: no
// trail byte is NUL).
inline int CharBytes(const char* p) {
  // Every supported code set keeps the bytes below 0x80 single.
  return static_cast<unsigned char>(*p) < 0x80 ? 1 : static_cast<int>(CharLength(p, 4));
}

// The longest text the free-form parser reads; a buffer of kMaxDateText + 1
// bytes holds any text it hands back.
constexpr size_t kMaxDateText = 127;

// Byte offset of the first occurrence of needle in text that starts on a
// character boundary; -1 when there is none (or needle is empty).
int FindText(const char* text, const char* needle);

// Text equality without regard to case, as the locale's names and markers
// are compared.
bool EqualNoCase(const char* a, size_t aLen, const CGNString& b);

// Lets the clock conversions of one operation on the calling thread share
// the zone that the first of them brought in line (see datetime.cpp).
class ZoneScope {
 public:
  ZoneScope();
  ~ZoneScope();
  ZoneScope(const ZoneScope&) = delete;
  ZoneScope& operator=(const ZoneScope&) = delete;
};

// The process-wide locale record.
inline CLCLocale& Locale() { return *CLCGlobalLocale::Instance(); }

// Display text put together on the stack (datetime_format.cpp).
class DisplayText;

// Reaches the private state of CGNDateTime for the internal readers.
class DateTimeCore {
 public:
  static tm& Working(CGNDateTime& v) { return v.m_tm; }
  static long& Status(CGNDateTime& v) { return v.m_rangeStatus; }
  static long& Era(CGNDateTime& v) { return v.m_era; }
  static int& HourField(CGNDateTime& v) { return v.m_hour; }
  static int& MonthField(CGNDateTime& v) { return v.m_month; }

  // Sets the date and time fields (hour to weekday) from t, the year counted
  // from 0 rather than from 1900; all 0 when t is null.
  static void SetFields(CGNDateTime& v, const tm* t);

  // The date (in the given display form) and the time of v, added to out;
  // the date gives 0 when its pattern has a field it cannot show.
  static unsigned char AppendDate(CGNDateTime& v, DisplayText& out, long form);
  static void AppendTime(CGNDateTime& v, DisplayText& out);

  // Format-driven readers: text at the reading position, *rest receives the
  // position after what was consumed (on failure, the position given).
  static bool ReadUsingFormat(CGNDateTime& v, const char* text, const char** rest,
                              const char* pattern);
  static bool ReadTime(CGNDateTime& v, const char* text, const char** rest);
  static bool ReadMonthNum(CGNDateTime& v, const char* text, const char** rest);
  static bool ReadMonthName(CGNDateTime& v, const char* text, const char** rest, bool abbrev);
  static bool ReadDayNum(CGNDateTime& v, const char* text, const char** rest);
  static bool ReadDayName(CGNDateTime& v, const char* text, const char** rest, bool abbrev);
  static bool ReadYear(CGNDateTime& v, const char* text, const char** rest, int digits);
  static bool ReadDateSep(const char* text, const char** rest);
  static bool ReadChar(const char* text, const char** rest, char c);
  static long ReadEra(const char* text, const char** rest);

  // The free-form parser on byte strings. The date parser copies the text
  // after the date into rest (kMaxDateText + 1 bytes), unless the text is
  // too long to be read at all.
  static bool ParseDate(CGNDateTime& v, std::string_view text, char* rest);
  static bool ParseDate(CGNDateTime& v, const std::string& text, std::string& rest);
  static bool ParseNumDate(CGNDateTime& v, int first, std::string& rest);
  static bool ParseCharDate(CGNDateTime& v, const std::string& word, std::string& rest);
  static bool ParseKanjiDate(CGNDateTime& v, const std::string& text, std::string& rest);
  static bool ParseTime(CGNDateTime& v, std::string_view text);
  static int ExtractDateWord(const std::string& text, std::string& word, std::string& rest);
  // The time words are views into the text.
  static int ExtractTimeWord(std::string_view text, std::string_view& word, std::string_view& rest);
  static int FindMarker(std::string_view text, std::string_view& before);
  static int MonthFromName(CGNDateTime& v, const std::string& word, bool abbrev);
  static int DayFromName(const std::string& word, bool abbrev);
};

}  // namespace gnutil

#endif  // GNUTIL_SRC_LOCALE_DATETIME_INTERNAL_H
