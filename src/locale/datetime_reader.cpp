// The format-driven date reader, the time scanner and the range texts.
//
// Every field reader skips leading spaces (the byte ' ' only), consumes its
// field from the front of the text and leaves the position after it in
// *rest; on failure *rest is the position it was given. Names are compared
// byte for byte, with regard to case, as prefixes of the text.
#include <stdlib.h>
#include <string.h>

#include "locale/datetime_internal.h"

namespace gnutil {
namespace {

const char* SkipSpaces(const char* p) {
  while (*p == ' ') ++p;
  return p;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A run of digits of length min..max after the spaces; a longer run fails
// even when it begins with acceptable digits.
bool ReadDigits(const char* text, const char** end, int min, int max, int* value) {
  const char* p = SkipSpaces(text);
  int n = 0;
  int v = 0;
  while (IsDigit(p[n])) {
    if (n < 9) v = v * 10 + (p[n] - '0');
    ++n;
  }
  if (n < min || n > max) return false;
  *value = v;
  *end = p + n;
  return true;
}

// The index of the first non-empty name that begins the text, or -1.
int MatchName(const CGNString* names, int count, const char* text, const char** end) {
  for (int i = 0; i < count; ++i) {
    // Most names are told apart by their first byte.
    const char* name = names[i];
    if (name[0] != text[0] || name[0] == '\0') continue;
    size_t n = names[i].GetLengthInBytes();
    if (strncmp(text, name, n) == 0) {
      *end = text + n;
      return i;
    }
  }
  return -1;
}

// The era record at an index of the locale's table; an empty record when
// the index lies outside it.
CEmperor EraAt(CLCLocale& loc, long index) {
  if (loc.m_pEmperors && index >= 0 && index < loc.EmperorCount()) return loc.m_pEmperors[index];
  return CEmperor();
}

}  // namespace

bool DateTimeCore::ReadMonthNum(CGNDateTime& v, const char* text, const char** rest) {
  *rest = text;
  int value;
  const char* end;
  if (!ReadDigits(text, &end, 1, 2, &value)) return false;
  Working(v).tm_mon = value - 1;
  *rest = end;
  if (value >= 13) {
    Status(v) = 2;
    return false;
  }
  return true;
}

bool DateTimeCore::ReadDayNum(CGNDateTime& v, const char* text, const char** rest) {
  *rest = text;
  int value;
  const char* end;
  if (!ReadDigits(text, &end, 1, 2, &value)) return false;
  Working(v).tm_mday = value;
  *rest = end;
  if (value >= 32) {
    Status(v) = 2;
    return false;
  }
  return true;
}

bool DateTimeCore::ReadMonthName(CGNDateTime& v, const char* text, const char** rest, bool abbrev) {
  *rest = text;
  CLCLocale& loc = Locale();
  const char* end;
  int i = MatchName(abbrev ? loc.m_monthAbbrevs : loc.m_monthNames, 13, SkipSpaces(text), &end);
  if (i < 0) return false;
  Working(v).tm_mon = i;
  *rest = end;
  return true;
}

bool DateTimeCore::ReadDayName(CGNDateTime&, const char* text, const char** rest, bool abbrev) {
  *rest = text;
  CLCLocale& loc = Locale();
  const char* end;
  if (MatchName(abbrev ? loc.m_dayAbbrevs : loc.m_dayNames, 7, SkipSpaces(text), &end) < 0)
    return false;
  *rest = end;
  return true;
}

bool DateTimeCore::ReadYear(CGNDateTime& v, const char* text, const char** rest, int digits) {
  *rest = text;
  CLCLocale& loc = Locale();
  int value;
  const char* end;
  bool japanese = loc.GetCalendarType() == 3;
  if (digits == 4) {
    if (!ReadDigits(text, &end, 4, 4, &value)) return false;
    long year = value;
    if (japanese) year = loc.GregorianYrFromEmperorYr(EraAt(loc, Era(v)), year);
    *rest = end;
    if (year > 2038 || year < 1900 + CGNDateTime::MinYear()) {
      Status(v) = 2;
      return false;
    }
    Working(v).tm_year = static_cast<int>(year - 1900);
    return true;
  }
  if (!ReadDigits(text, &end, digits, 2, &value)) return false;
  long year = value;
  if (japanese) {
    year = loc.GregorianYrFromEmperorYr(EraAt(loc, Era(v)), year);
    if (year == 0) return false;
    year %= 100;
  }
  if (year < CGNDateTime::MinYear()) year += 100;
  Working(v).tm_year = static_cast<int>(year);
  *rest = end;
  return true;
}

bool DateTimeCore::ReadDateSep(const char* text, const char** rest) {
  *rest = text;
  const CGNString& sep = Locale().m_dateSep;
  size_t n = sep.GetLengthInBytes();
  const char* p = SkipSpaces(text);
  if (n == 0 || strncmp(p, sep, n) != 0) return false;
  *rest = p + n;
  return true;
}

bool DateTimeCore::ReadChar(const char* text, const char** rest, char c) {
  *rest = text;
  const char* p = SkipSpaces(text);
  if (c == '\0' || *p != c) return false;
  *rest = p + 1;
  return true;
}

long DateTimeCore::ReadEra(const char* text, const char** rest) {
  *rest = text;
  CLCLocale& loc = Locale();
  if (!loc.m_pEmperors) return 0;
  const char* p = SkipSpaces(text);
  long count = loc.EmperorCount();
  for (long i = 0; i < count; ++i) {
    CGNString name;
    loc.m_pEmperors[i].Emperor(name);
    size_t n = name.GetLengthInBytes();
    if (n == 0 || strncmp(p, name, n) != 0) continue;
    if (loc.GetCalendarType() != 3) return 0;
    *rest = p + n;
    return i;
  }
  return 0;
}

bool DateTimeCore::ReadUsingFormat(CGNDateTime& v, const char* text, const char** rest,
                                   const char* pattern) {
  tm& w = Working(v);
  const int day = w.tm_mday, month = w.tm_mon, year = w.tm_year;
  const CGNString& sepText = Locale().m_dateSep;
  const char* sep = sepText;
  const size_t sepLen = sepText.GetLengthInBytes();
  const char* cur = text;
  bool quoted = false, dayRead = false, monthRead = false, sepPending = false;
  bool ok = true;
  const char* p = pattern;
  while (*p && ok) {
    const char* next = cur;
    char c = *p;
    if (quoted) {
      if (c == '\'')
        quoted = false;
      else if (c != ' ')
        ok = ReadChar(cur, &next, c);
      ++p;
    } else if (c == ' ') {
      ++p;
    } else if (c == '\'') {
      quoted = true;
      ++p;
    } else if (c == 'M' || c == 'd' || c == 'y') {
      int run = 1;
      while (p[run] == c) ++run;
      p += run;
      if (run >= 5 || (c == 'y' && run == 3)) {
        ok = false;
      } else if (c == 'M') {
        ok = run <= 2 ? ReadMonthNum(v, cur, &next) : ReadMonthName(v, cur, &next, run == 3);
        monthRead = monthRead || ok;
      } else if (c == 'd') {
        ok = run <= 2 ? ReadDayNum(v, cur, &next) : ReadDayName(v, cur, &next, run == 3);
        dayRead = dayRead || ok;
      } else {
        ok = ReadYear(v, cur, &next, run);
      }
      if (ok) sepPending = false;
    } else if (c == 'g') {
      if (p[1] != 'g') {
        ok = false;
      } else {
        Era(v) = ReadEra(cur, &next);
        p += 2;
      }
    } else if (sepLen > 0 && strncmp(p, sep, sepLen) == 0) {
      if (ReadDateSep(cur, &next)) sepPending = true;
      p += sepLen;
    } else {
      ReadChar(cur, &next, c);  // a mismatch is no error
      ++p;
    }
    cur = next;
  }
  if (ok && dayRead && monthRead && !sepPending) {
    *rest = cur;
    return true;
  }
  w.tm_mday = day;
  w.tm_mon = month;
  w.tm_year = year;
  *rest = text;
  return false;
}

bool DateTimeCore::ReadTime(CGNDateTime& v, const char* text, const char** rest) {
  CLCLocale& loc = Locale();
  const CGNString& sepText = loc.m_timeSep;
  const size_t sepLen = sepText.GetLengthInBytes();
  const CGNString* markers[2] = {&loc.m_amString, &loc.m_pmString};
  CGNString units[3];
  loc.HourChar(units[0]);
  loc.MinuteChar(units[1]);
  loc.SecondChar(units[2]);
  int numbers[3] = {0, 0, 0};
  int count = 0;
  bool am = false, pm = false, markerAfter = false, sepPending = false;
  const char* p = text;
  *rest = text;
  for (;;) {
    if (*p == '\0') break;
    if (markerAfter) {
      if (*p != ' ') return false;
      ++p;
      continue;
    }
    if (IsDigit(*p)) {
      int n = 0, value = 0;
      while (IsDigit(p[n])) {
        if (n == 2) return false;
        value = value * 10 + (p[n] - '0');
        ++n;
      }
      if (count == 3) return false;
      numbers[count++] = value;
      sepPending = false;
      p += n;
      *rest = p;
      continue;
    }
    if (sepLen > 0 && strncmp(p, sepText, sepLen) == 0) {
      sepPending = true;
      p += sepLen;
      *rest = p;
      continue;
    }
    int marker = -1;
    for (int i = 0; i < 2 && marker < 0; ++i) {
      size_t n = markers[i]->GetLengthInBytes();
      if (n > 0 && strncmp(p, *markers[i], n) == 0) marker = i;
    }
    if (marker >= 0) {
      bool prefix = loc.m_ampmPrefix != 0;
      if ((count == 0) != prefix) return false;
      (marker == 0 ? am : pm) = true;
      markerAfter = count > 0;
      p += markers[marker]->GetLengthInBytes();
      *rest = p;
      continue;
    }
    if (*p == ' ') {
      ++p;
      continue;
    }
    bool unit = false;
    for (const CGNString& u : units) {
      size_t n = u.GetLengthInBytes();
      if (!unit && n > 0 && strncmp(p, u, n) == 0) {
        p += n;
        *rest = p;
        unit = true;
      }
    }
    if (!unit) return false;
  }
  if (count == 0 || sepPending) return false;
  int hour = numbers[0];
  if (hour > 23 || (hour > 12 && (am || pm)) || numbers[1] > 59 || numbers[2] > 59) {
    Status(v) = 3;
    *rest = text;
    return false;
  }
  if ((am || pm) && loc.m_24HourTime != 0) {
    *rest = text;
    return false;
  }
  if (hour == 12 && am)
    hour = 0;
  else if (hour < 12 && pm)
    hour += 12;
  tm& w = Working(v);
  w.tm_hour = hour;
  w.tm_min = numbers[1];
  w.tm_sec = numbers[2];
  if (numbers[0] == 12) HourField(v) = hour;
  return true;
}

}  // namespace gnutil

using namespace gnutil;

namespace {

// Runs a reader over a CGNString text and hands the rest back as a string.
template <typename Reader>
unsigned char Wrap(const CGNString& text, CGNString& rest, Reader read) {
  const char* start = text;
  const char* end = start;
  bool ok = read(start, &end);
  rest = end;
  return ok;
}

}  // namespace

unsigned char CGNDateTime::GetDateFromString(const CGNString& text, CGNString& rest) {
  rest.Empty();
  if (GetLongDateFromString(text, rest)) return 1;
  rest.Empty();
  return GetShortDateFromString(text, rest);
}

unsigned char CGNDateTime::GetLongDateFromString(const CGNString& text, CGNString& rest) {
  CGNString pattern;
  Locale().DateFormatString(2, pattern);
  return GetDateFromStringUsingFormat(text, rest, pattern);
}

unsigned char CGNDateTime::GetShortDateFromString(const CGNString& text, CGNString& rest) {
  CGNString pattern;
  Locale().DateFormatString(1, pattern);
  return GetDateFromStringUsingFormat(text, rest, pattern);
}

unsigned char CGNDateTime::GetDateFromStringUsingFormat(const CGNString& text, CGNString& rest,
                                                        const CGNString& pattern) {
  CGNString copy(text);  // rest may be the text itself
  return Wrap(copy, rest, [&](const char* t, const char** r) {
    return DateTimeCore::ReadUsingFormat(*this, t, r, pattern);
  });
}

unsigned char CGNDateTime::GetMonthNumFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest, [&](const char* t, const char** r) {
    return DateTimeCore::ReadMonthNum(*this, t, r);
  });
}

unsigned char CGNDateTime::GetMonthAbbrevFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest, [&](const char* t, const char** r) {
    return DateTimeCore::ReadMonthName(*this, t, r, true);
  });
}

unsigned char CGNDateTime::GetMonthNameFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest, [&](const char* t, const char** r) {
    return DateTimeCore::ReadMonthName(*this, t, r, false);
  });
}

unsigned char CGNDateTime::GetDayNumFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest,
              [&](const char* t, const char** r) { return DateTimeCore::ReadDayNum(*this, t, r); });
}

unsigned char CGNDateTime::GetDayAbbrevFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest, [&](const char* t, const char** r) {
    return DateTimeCore::ReadDayName(*this, t, r, true);
  });
}

unsigned char CGNDateTime::GetDayNameFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest, [&](const char* t, const char** r) {
    return DateTimeCore::ReadDayName(*this, t, r, false);
  });
}

unsigned char CGNDateTime::Get1DigitYearFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest, [&](const char* t, const char** r) {
    return DateTimeCore::ReadYear(*this, t, r, 1);
  });
}

unsigned char CGNDateTime::Get2DigitYearFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest, [&](const char* t, const char** r) {
    return DateTimeCore::ReadYear(*this, t, r, 2);
  });
}

unsigned char CGNDateTime::Get4DigitYearFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest, [&](const char* t, const char** r) {
    return DateTimeCore::ReadYear(*this, t, r, 4);
  });
}

unsigned char CGNDateTime::GetDateSepFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest,
              [&](const char* t, const char** r) { return DateTimeCore::ReadDateSep(t, r); });
}

unsigned char CGNDateTime::GetMatchingCharFromString(const CGNString& text, CGNString& rest,
                                                     char c) {
  CGNString copy(text);
  return Wrap(copy, rest,
              [&](const char* t, const char** r) { return DateTimeCore::ReadChar(t, r, c); });
}

long CGNDateTime::GetEmperorFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  const char* start = copy;
  const char* end = start;
  long index = DateTimeCore::ReadEra(start, &end);
  rest = end;
  return index;
}

unsigned char CGNDateTime::GetTimeFromString(const CGNString& text, CGNString& rest) {
  CGNString copy(text);
  return Wrap(copy, rest,
              [&](const char* t, const char** r) { return DateTimeCore::ReadTime(*this, t, r); });
}

namespace {

// The display text of a value with its date split off: date keeps the date
// part, and the text after it is returned.
void SplitDisplay(CGNDateTime& value, CGNString& date, CGNString& after) {
  value.GetDisplayBuffer(date);
  after.Empty();
  value.GetDateFromString(date, after);
}

}  // namespace

void CGNDateTime::GetMinMaxDateRange(CGNString& min, CGNString& max, long form) {
  CGNString after;
  CGNDateTime first(0L);
  first.FormatForDisplay(form);
  SplitDisplay(first, min, after);
  if (!after.IsEmpty()) min.Replace(after, "");
  CGNDateTime last(2147483647L);
  last.FormatForDisplay(form);
  SplitDisplay(last, max, after);
  if (!after.IsEmpty()) max.Replace(after, "");
}

void CGNDateTime::GetMinMaxTimeRange(CGNString& min, CGNString& max) {
  tm t;
  memset(&t, 0, sizeof t);
  t.tm_year = 70;
  t.tm_mday = 1;
  CGNString display;
  CGNDateTime first(&t);
  SplitDisplay(first, display, min);
  t.tm_hour = 23;
  t.tm_min = 59;
  t.tm_sec = 59;
  CGNDateTime last(&t);
  SplitDisplay(last, display, max);
}

void CGNDateTime::GetMinMaxDateTimeRange(CGNString& min, CGNString& max, long form) {
  CGNDateTime first(0L);
  first.FormatForDisplay(form);
  first.GetDisplayBuffer(min);
  CGNDateTime last(2147483647L);
  last.FormatForDisplay(form);
  last.GetDisplayBuffer(max);
}
