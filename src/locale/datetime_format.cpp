// Date-time display text: the date pattern interpreter, the time composer and
// the single-field writers, all in the conventions of the process-wide locale.
//
// The date pattern is walked character by character in the current code set;
// only a character's first byte is compared with the pattern letters, so a
// multibyte character whose trail byte happens to be a letter is copied, not
// interpreted.
#include <string.h>

#include "gnutil/mbutil.h"
#include "locale/datetime_internal.h"
#include "locale/lclocale_internal.h"

namespace gnutil {

int FindText(const char* text, const char* needle) {
  size_t n = strlen(needle);
  if (n == 0) return -1;
  for (const char* p = text; *p; p += CharBytes(p))
    if (strncmp(p, needle, n) == 0) return static_cast<int>(p - text);
  return -1;
}

bool EqualNoCase(const char* a, size_t aLen, const CGNString& b) {
  const char* bt = b;
  size_t bLen = b.GetLengthInBytes();
  // Only the empty text is equal to the empty text, and the same bytes are
  // the same text in any case.
  if (aLen == 0 || (aLen == bLen && memcmp(a, bt, aLen) == 0)) return aLen == bLen;
  bool ascii = true;
  for (size_t i = 0; i < aLen && ascii; ++i) ascii = static_cast<unsigned char>(a[i]) < 0x80;
  for (size_t i = 0; i < bLen && ascii; ++i) ascii = static_cast<unsigned char>(bt[i]) < 0x80;
  if (ascii) {
    if (aLen != bLen) return false;
    for (size_t i = 0; i < aLen; ++i) {
      char x = a[i], y = bt[i];
      if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
      if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
      if (x != y) return false;
    }
    return true;
  }
  CGNString left(std::string(a, aLen).c_str());
  return left.IsEqualNoCase(b) != 0;
}

// Display text is put together on the stack: a date or a time is short, and
// the rare longer one (long names in a long pattern) moves to the heap.
class DisplayText {
 public:
  void append(const char* p, size_t n) {
    // One byte stays free for the terminator.
    if (!spilled_ && size_ + n < sizeof inline_) {
      // Mostly a digit or two, or a separator: no call for so few bytes.
      for (size_t i = 0; i < n; ++i) inline_[size_ + i] = p[i];
      size_ += n;
      return;
    }
    if (!spilled_) {
      heap_.assign(inline_, size_);
      spilled_ = true;
    }
    heap_.append(p, n);
  }
  void append(const char* from, const char* to) { append(from, static_cast<size_t>(to - from)); }
  // The digit tens (when both) and the digit units.
  void appendDigits(int tens, int units, bool both) {
    if (spilled_ || size_ + 2 >= sizeof inline_) {
      const char digits[2] = {static_cast<char>('0' + tens), static_cast<char>('0' + units)};
      append(both ? digits : digits + 1, both ? 2 : 1);
      return;
    }
    if (both) inline_[size_++] = static_cast<char>('0' + tens);
    inline_[size_++] = static_cast<char>('0' + units);
  }
  DisplayText& operator+=(const char* text) {
    append(text, strlen(text));
    return *this;
  }
  DisplayText& operator+=(char c) {
    append(&c, 1);
    return *this;
  }
  // Appends the text to dest.
  void AppendTo(CGNString& dest) {
    if (spilled_) {
      dest += heap_.c_str();
      return;
    }
    inline_[size_] = '\0';
    dest += inline_;
  }

 private:
  char inline_[128];
  size_t size_ = 0;
  bool spilled_ = false;
  std::string heap_;
};

namespace {

// Empties a display buffer and keeps its memory for the text that follows.
void ClearDisplay(CGNString& buffer) { buffer.SubStrInBytes(buffer.GetLengthInBytes()); }

// "%d", or "%02d" when twoDigits, of n.
void AppendNumber(DisplayText& out, long n, bool twoDigits) {
  if (n >= 0 && n < 100) {
    // Days, months, hours, minutes, seconds and short years.
    int small = static_cast<int>(n);
    out.appendDigits(small / 10, small % 10, twoDigits || small >= 10);
    return;
  }
  char buf[24];
  char* p = buf + sizeof buf;
  unsigned long v = n < 0 ? 0UL - static_cast<unsigned long>(n) : static_cast<unsigned long>(n);
  int digits = 0;
  do {
    *--p = static_cast<char>('0' + v % 10);
    v /= 10;
    ++digits;
  } while (v != 0);
  if (twoDigits && digits < 2) *--p = '0';
  if (n < 0) *--p = '-';
  out.append(p, buf + sizeof buf);
}

void SetNumber(CGNString& dest, long n, bool twoDigits) {
  DisplayText text;
  AppendNumber(text, n, twoDigits);
  dest.Empty();
  text.AppendTo(dest);
}

const CGNString& DatePattern(CLCLocale& loc, long form) {
  static const CGNString kNone;
  switch (form) {
    case 1:
      return loc.m_shortDateFormat;
    case 2:
      return loc.m_longDateFormat;
    case 3:
      return loc.m_longOrShort == 2 ? loc.m_longDateFormat : loc.m_shortDateFormat;
    default:
      return kNone;
  }
}

// Weekday tables of the locale begin with Monday.
long WeekdayIndex(int weekday) { return weekday == 0 ? 6 : weekday - 1; }

// Measures a run of the same single-byte letter starting at p.
int RunLength(const char* p) {
  int n = 1;
  while (p[n] == p[0]) ++n;
  return n;
}

}  // namespace
}  // namespace gnutil

using namespace gnutil;

CGNDateTime::CGNDateTime(tm* t) : m_secsFrom70(0), m_era(0), m_rangeStatus(1) {
  DateTimeCore::SetFields(*this, t);
  SetWorkingTimeToToday();
  FormatForDisplay(3);
}

unsigned char CGNDateTime::Is12Hour() { return Locale().m_24HourTime == 0; }

unsigned char CGNDateTime::TimeSep(CGNString& dest) {
  dest = Locale().m_timeSep;
  return 1;
}

unsigned char CGNDateTime::FormatForDisplay(long form) {
  ClearDisplay(m_displayBuffer);
  if (IsEmpty()) return 0;
  DisplayText out;
  DateTimeCore::AppendDate(*this, out, form);
  out += ' ';
  DateTimeCore::AppendTime(*this, out);
  out.AppendTo(m_displayBuffer);
  return 1;
}

unsigned char CGNDateTime::FormatDateForDisplay(long form) {
  if (IsEmpty()) return 0;
  ClearDisplay(m_displayBuffer);
  return AddDateString(form);
}

unsigned char CGNDateTime::FormatTimeForDisplay() {
  if (IsEmpty()) return 0;
  ClearDisplay(m_displayBuffer);
  return AddTimeString();
}

namespace {

// The year that the year writers show: the era year under the Japanese era
// calendar. Looked up by the whole date (month counted from 1), since an era
// may begin within a year (1 May 2019); with only whole-year eras it is the
// year-based answer.
long ShownYear(CLCLocale& loc, int year, int month, int day) {
  return loc.GetCalendarType() == 3 ? loc.EmperorYrFromGregorianDate(year, month, day) : year;
}

}  // namespace

unsigned char CGNDateTime::AddDateString(long form) {
  DisplayText out;
  unsigned char result = DateTimeCore::AppendDate(*this, out, form);
  out.AppendTo(m_displayBuffer);
  return result;
}

unsigned char CGNDateTime::AddTimeString() {
  DisplayText out;
  DateTimeCore::AppendTime(*this, out);
  out.AppendTo(m_displayBuffer);
  return 1;
}

unsigned char DateTimeCore::AppendDate(CGNDateTime& v, DisplayText& out, long form) {
  CLCLocale& loc = Locale();
  loc.InitControlPanelDateSettings();
  const CGNString& patternText = DatePattern(loc, form);
  const char* pattern = patternText;
  unsigned char result = 1;
  bool quoted = false;
  const char* quoteStart = nullptr;
  const char* p = pattern;
  while (*p) {
    char c = *p;
    if (c == '\'') {
      if (quoted)
        out.append(quoteStart, p);
      else
        quoteStart = p + 1;
      quoted = !quoted;
      ++p;
      continue;
    }
    if (quoted) {
      p += CharBytes(p);
      continue;
    }
    if (c == 'd' || c == 'M' || c == 'y') {
      int run = RunLength(p);
      if (run >= 5 || (c == 'y' && run == 3)) {
        result = 0;
        break;
      }
      if (c == 'd') {
        if (run <= 2)
          AppendNumber(out, v.m_day, run == 2);
        else
          out += NameAt(run == 3 ? loc.m_dayAbbrevs : loc.m_dayNames, 7, WeekdayIndex(v.m_weekday));
      } else if (c == 'M') {
        if (run <= 2)
          AppendNumber(out, v.m_month + 1, run == 2);
        else
          out += NameAt(run == 3 ? loc.m_monthAbbrevs : loc.m_monthNames, 13, v.m_month);
      } else {
        long year = ShownYear(loc, v.m_year, v.m_month + 1, v.m_day);
        if (run == 4)
          AppendNumber(out, year, true);
        else
          AppendNumber(out, year % 100, run == 2);
      }
      p += run;
      continue;
    }
    if (c == 'g' || c == 'W') {
      if (p[1] != c) {
        result = 0;
        break;
      }
      if (c == 'g') {
        // The era itself shows no text here, and the character after it
        // (normally a space) goes with it.
        p += 2;
        if (*p) p += CharBytes(p);
      } else {
        p += p[2] == 'W' ? 1 : 2;
      }
      continue;
    }
    int n = CharBytes(p);
    out.append(p, n);
    p += n;
  }
  return result;
}

void DateTimeCore::AppendTime(CGNDateTime& v, DisplayText& out) {
  CLCLocale& loc = Locale();
  loc.InitControlPanelTimeSettings();
  const CGNString& marker = v.m_hour <= 11 ? loc.m_amString : loc.m_pmString;
  bool twelve = loc.m_24HourTime == 0;
  bool leadingZero = loc.m_hourLeadingZero != 0;
  if (twelve && loc.m_ampmPrefix != 0) {
    out += marker;
    out += ' ';
  }
  int hour = twelve ? (v.m_hour % 12 == 0 ? 12 : v.m_hour % 12) : v.m_hour;
  AppendNumber(out, hour, leadingZero);
  out += loc.m_timeSep;
  AppendNumber(out, v.m_minute, true);
  out += loc.m_timeSep;
  AppendNumber(out, v.m_second, true);
  if (twelve && loc.m_ampmPrefix == 0) {
    out += ' ';
    out += marker;
  }
}

unsigned char CGNDateTime::Emperor(CGNString& dest) {
  Locale().EmperorFromGregorianDate(m_year, m_month + 1, m_day, dest);
  return 1;
}

unsigned char CGNDateTime::Year1Digit(CGNString& dest) {
  SetNumber(dest, ShownYear(Locale(), m_year, m_month + 1, m_day) % 100, false);
  return 1;
}

unsigned char CGNDateTime::Year2Digit(CGNString& dest) {
  SetNumber(dest, ShownYear(Locale(), m_year, m_month + 1, m_day) % 100, true);
  return 1;
}

unsigned char CGNDateTime::Year4Digit(CGNString& dest) {
  SetNumber(dest, ShownYear(Locale(), m_year, m_month + 1, m_day), true);
  return 1;
}

unsigned char CGNDateTime::MonthNum(CGNString& dest) {
  SetNumber(dest, m_month + 1, false);
  return 1;
}

unsigned char CGNDateTime::MonthNumLZ(CGNString& dest) {
  SetNumber(dest, m_month + 1, true);
  return 1;
}

unsigned char CGNDateTime::MonthAbbrev(CGNString& dest) {
  dest = NameAt(Locale().m_monthAbbrevs, 13, m_month);
  return 1;
}

unsigned char CGNDateTime::MonthName(CGNString& dest) {
  dest = NameAt(Locale().m_monthNames, 13, m_month);
  return 1;
}

unsigned char CGNDateTime::DayNum(CGNString& dest) {
  SetNumber(dest, m_day, false);
  return 1;
}

unsigned char CGNDateTime::DayNumLZ(CGNString& dest) {
  SetNumber(dest, m_day, true);
  return 1;
}

unsigned char CGNDateTime::WeekDayNum(CGNString& dest) {
  SetNumber(dest, m_weekday + 1, false);
  return 1;
}

unsigned char CGNDateTime::DayAbbrev(CGNString& dest) {
  dest = NameAt(Locale().m_dayAbbrevs, 7, WeekdayIndex(m_weekday));
  return 1;
}

unsigned char CGNDateTime::DayName(CGNString& dest) {
  dest = NameAt(Locale().m_dayNames, 7, WeekdayIndex(m_weekday));
  return 1;
}

unsigned char CGNDateTime::DateSep(CGNString& dest) {
  dest = Locale().m_dateSep;
  return 1;
}

unsigned char CGNDateTime::Hour12(CGNString& dest) {
  SetNumber(dest, m_hour % 12 == 0 ? 12 : m_hour % 12, false);
  return 1;
}

unsigned char CGNDateTime::Hour12LZ(CGNString& dest) {
  SetNumber(dest, m_hour % 12 == 0 ? 12 : m_hour % 12, true);
  return 1;
}

unsigned char CGNDateTime::Hour24(CGNString& dest) {
  SetNumber(dest, m_hour, false);
  return 1;
}

unsigned char CGNDateTime::Hour24LZ(CGNString& dest) {
  SetNumber(dest, m_hour, true);
  return 1;
}

unsigned char CGNDateTime::Minute(CGNString& dest) {
  SetNumber(dest, m_minute, true);
  return 1;
}

unsigned char CGNDateTime::Second(CGNString& dest) {
  SetNumber(dest, m_second, true);
  return 1;
}

unsigned char CGNDateTime::AMPMMarker(CGNString& dest) {
  CLCLocale& loc = Locale();
  dest = m_hour <= 11 ? loc.m_amString : loc.m_pmString;
  return 1;
}
