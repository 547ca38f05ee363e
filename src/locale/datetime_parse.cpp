// The free-form date-time parser: dates and times as users type them.
//
// The order of attempts is fixed and callers rely on it: the locale's long
// and short patterns (the format-driven reader), a Japanese date with year,
// month and day markers, then free numeric or month-name words ordered by the
// locale's short pattern; then the two-digit-year window, then the time. The
// order has three consequences that look surprising at first sight and are
// kept on purpose, because existing users type and expect them:
//
// 1. "12/25 10:30" under the short pattern "M/d/yy" is read by the pattern,
//    which tolerates the missing separator before the year and takes "10" as
//    the two-digit year: 25 December 2010 at 00:30, not 10:30 of this year.
//    Only where the pattern does not match (a four-digit year pattern, a
//    long pattern) does the numeric path keep the current year.
// 2. "12 AM" typed alone is not midnight today: the first word is a number,
//    so the second must be a month name or abbreviation; "AM" is neither and
//    the parse fails (status 1). A time with a marker needs its minutes
//    ("12:00 AM").
// 3. A day-first date without a year, such as "25 December", fails; under a
//    month-first short pattern the pattern's month reader sees 25 first and
//    sets status 2 (month out of range), and that status stays, so the
//    failure reports 2 rather than the 1 that a missing year would suggest.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "gnutil/jaconv.h"
#include "locale/datetime_internal.h"

namespace gnutil {
namespace {

constexpr size_t kMaxText = kMaxDateText;
// The text after a word is kept to at most this many characters.
constexpr int kMaxRestChars = 128;

bool StartsWithDigit(std::string_view s) { return !s.empty() && s[0] >= '0' && s[0] <= '9'; }

// Every number of a date or time is read with FieldNumber: a number too large
// for any field reads as kTooLarge (or its negative), which no field accepts,
// so the range check fails it (status 2 for a date field, 3 for a time field)
// instead of the number wrapping into a plausible date. kTooLarge leaves room
// for the arithmetic that follows (years since 1900, era years, month - 1).
constexpr long kTooLarge = 1000000000L;

long Saturated(long value) {
  return value > kTooLarge ? kTooLarge : value < -kTooLarge ? -kTooLarge : value;
}

// atoi's reading (spaces, a sign, digits), saturated at kTooLarge. *used,
// when given, is set to the bytes read up to the end of the digits.
long FieldNumber(std::string_view text, size_t* used = nullptr) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  const bool negative = i < n && text[i] == '-';
  if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
  long value = 0;
  for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < kTooLarge) value = value * 10 + (text[i] - '0');
  }
  if (used != nullptr) *used = i;
  value = Saturated(value);
  return negative ? -value : value;
}

size_t SkipSpaces(std::string_view s, size_t from = 0) {
  while (from < s.size() && s[from] == ' ') ++from;
  return from;
}

// The text from `from` to `end`, cut to kMaxRestChars characters.
std::string_view RestFrom(const char* from, const char* end) {
  if (from >= end) return std::string_view();
  // No more bytes than the limit: no more characters either.
  const char* p = from;
  if (end - from <= kMaxRestChars)
    p = end;
  else
    for (int n = 0; p < end && n < kMaxRestChars; ++n) p += CharBytes(p);
  return std::string_view(from, static_cast<size_t>(p - from));
}

// The n bytes at a and at b are the same (n is the length of a character).
bool SameBytes(const char* a, const char* b, int n) {
  int i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i == n;
}

// Byte offset of the first character of s that is one of the characters of
// the delimiter texts; the size of s when none is. ascii holds bytes below
// 0x80 only.
size_t FindDelimiter(std::string_view s, const char* ascii, const CGNString& extra) {
  // The single-byte delimiters in a bitmap; the others (wide) compared whole.
  uint32_t bits[4] = {0, 0, 0, 0};
  auto set = [&bits](unsigned char c) { bits[c >> 5] |= 1u << (c & 31); };
  for (const char* a = ascii; *a; ++a) set(static_cast<unsigned char>(*a));
  const char* ex = extra;
  bool wide = false;
  for (const char* q = ex; *q;) {
    int m = CharBytes(q);
    if (static_cast<unsigned char>(*q) < 0x80)
      set(static_cast<unsigned char>(*q));
    else
      wide = true;
    q += m;
  }
  const char* p = s.data();
  const char* end = p + s.size();
  while (p < end) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x80) {
      if ((bits[c >> 5] >> (c & 31)) & 1) break;
      ++p;
      continue;
    }
    int n = CharBytes(p);
    bool hit = false;
    for (const char* q = ex; wide && *q && !hit;) {
      int m = CharBytes(q);
      hit = m == n && SameBytes(p, q, n);
      q += m;
    }
    if (hit) break;
    p += n;
  }
  return static_cast<size_t>(p - s.data());
}

bool IsDateDelimiterAt(const char* p, const char* end, const CGNString& sep) {
  return p < end && FindDelimiter(std::string_view(p, end - p), ", /.-", sep) == 0;
}

int CountChars(std::string_view s) {
  int chars = 0;
  for (const char *p = s.data(), *end = p + s.size(); p < end; p += CharBytes(p)) ++chars;
  return chars;
}

bool IsMarker(std::string_view word, const CLCLocale& loc) {
  return EqualNoCase(word.data(), word.size(), loc.m_amString) ||
         EqualNoCase(word.data(), word.size(), loc.m_pmString);
}

// FieldNumber over the whole word; false when characters follow the number
// (an empty word is 0).
bool WholeNumber(std::string_view word, long* value) {
  // Plain digits, as a time is typed, need none of the handling of blanks,
  // signs and overflow.
  size_t n = word.size();
  if (n >= 1 && n <= 9) {
    long v = 0;
    size_t i = 0;
    for (; i < n && word[i] >= '0' && word[i] <= '9'; ++i) v = v * 10 + (word[i] - '0');
    if (i == n) {
      *value = v;
      return true;
    }
  }
  size_t used;
  *value = FieldNumber(word, &used);
  return used == n;
}

// The time word at the front of text (after spaces, up to a space or a
// character of the time separator) and the text after its delimiter.
void TimeWord(std::string_view text, std::string_view& word, std::string_view& rest) {
  const CLCLocale& loc = Locale();
  std::string_view t = text.substr(SkipSpaces(text));
  size_t pos = FindDelimiter(t, " ", loc.m_timeSep);
  word = t.substr(0, pos);
  const char* after = t.data() + pos;
  const char* end = text.data() + text.size();
  if (after < end) after += CharBytes(after);
  rest = RestFrom(after, end);
}

// Copies text into a buffer of kMaxText + 1 bytes.
void CopyRest(std::string_view text, char* rest) {
  size_t n = text.size() < kMaxText ? text.size() : kMaxText;
  memcpy(rest, text.data(), n);
  rest[n] = '\0';
}

std::string ToStd(const CGNString& s) { return std::string(s, s.GetLengthInBytes()); }

}  // namespace

int DateTimeCore::ExtractDateWord(const std::string& text, std::string& word, std::string& rest) {
  CLCLocale& loc = Locale();
  std::string_view t = std::string_view(text).substr(SkipSpaces(text));
  size_t pos = FindDelimiter(t, ", /.-", loc.m_dateSep);
  word.assign(t.data(), pos);
  const CGNString& timeSep = loc.m_timeSep;
  if (!timeSep.IsEmpty() && FindText(word.c_str(), timeSep) >= 0) return -1;
  if (IsMarker(word, loc)) return -1;
  const char* after = t.data() + pos;
  const char* end = text.data() + text.size();
  if (after < end) {
    after += CharBytes(after);
    if (IsDateDelimiterAt(after, end, loc.m_dateSep)) after += CharBytes(after);
  }
  std::string r(RestFrom(after, end));
  rest.swap(r);
  return CountChars(word);
}

int DateTimeCore::ExtractTimeWord(std::string_view text, std::string_view& word,
                                  std::string_view& rest) {
  TimeWord(text, word, rest);
  return CountChars(word);
}

int DateTimeCore::FindMarker(std::string_view text, std::string_view& before) {
  CLCLocale& loc = Locale();
  std::string_view t = text.substr(SkipSpaces(text));
  size_t pos = 0;
  const CGNString& sepText = loc.m_timeSep;
  const char* timeSep = sepText;
  size_t sepLen = sepText.GetLengthInBytes();
  while (pos < t.size()) {
    char c = t[pos];
    if (c == ' ' || (c >= '0' && c <= '9')) {
      ++pos;
      continue;
    }
    // A character of the time separator.
    int n = CharBytes(t.data() + pos);
    bool inSep = false;
    for (size_t k = 0; k + n <= sepLen && !inSep; k += CharBytes(timeSep + k))
      inSep = SameBytes(t.data() + pos, timeSep + k, n);
    if (!inSep) break;
    pos += n;
  }
  before = t.substr(0, pos);
  std::string_view marker = t.substr(pos);
  if (EqualNoCase(marker.data(), marker.size(), loc.m_amString)) return 1;
  if (EqualNoCase(marker.data(), marker.size(), loc.m_pmString)) return 2;
  return 0;
}

int DateTimeCore::MonthFromName(CGNDateTime& v, const std::string& word, bool abbrev) {
  CLCLocale& loc = Locale();
  const CGNString* names = abbrev ? loc.m_monthAbbrevs : loc.m_monthNames;
  for (int i = 0; i < 12; ++i) {
    if (names[i].IsEmpty()) continue;
    if (EqualNoCase(word.data(), word.size(), names[i])) {
      MonthField(v) = i;
      Working(v).tm_mon = i;
      return i;
    }
  }
  return 12;
}

int DateTimeCore::DayFromName(const std::string& word, bool abbrev) {
  CLCLocale& loc = Locale();
  const CGNString* names = abbrev ? loc.m_dayAbbrevs : loc.m_dayNames;
  for (int i = 0; i < 7; ++i) {
    if (names[i].IsEmpty()) continue;
    if (EqualNoCase(word.data(), word.size(), names[i])) return i;
  }
  return 7;
}

bool DateTimeCore::ParseNumDate(CGNDateTime& v, int first, std::string& rest) {
  tm& w = Working(v);
  std::string w2, w3, after;
  if (ExtractDateWord(rest, w2, after) >= 0) rest = after;
  long second;
  if (!WholeNumber(w2, &second)) {
    // Day, month name, year.
    w.tm_mday = first;
    if (MonthFromName(v, w2, false) == 12 && MonthFromName(v, w2, true) == 12) return false;
    if (ExtractDateWord(rest, w3, after) >= 0) rest = after;
    if (!StartsWithDigit(w3)) return false;
    w.tm_year = static_cast<int>(FieldNumber(w3.c_str()));
    return true;
  }
  CGNString shortPattern;
  Locale().DateFormatString(1, shortPattern);
  char order = shortPattern.IsEmpty() ? '\0' : static_cast<const char*>(shortPattern)[0];
  switch (order) {
    case 'M':
      w.tm_mon = first - 1;
      w.tm_mday = static_cast<int>(second);
      break;
    case 'd':
      w.tm_mday = first;
      w.tm_mon = static_cast<int>(second) - 1;
      break;
    case 'y':
      w.tm_year = first;
      w.tm_mon = static_cast<int>(second) - 1;
      break;
    default:
      return true;
  }
  int split = ExtractDateWord(rest, w3, after);
  if (order == 'y') {
    if (split >= 0) rest = after;
    if (!StartsWithDigit(w3)) return false;
    w.tm_mday = static_cast<int>(FieldNumber(w3.c_str()));
    return true;
  }
  // A third word that is a time or a marker is no year: it stays in rest.
  if (split >= 0) {
    rest = after;
    if (StartsWithDigit(w3)) w.tm_year = static_cast<int>(FieldNumber(w3.c_str()));
  }
  return true;
}

bool DateTimeCore::ParseCharDate(CGNDateTime& v, const std::string& word, std::string& rest) {
  if (DayFromName(word, false) != 7 || DayFromName(word, true) != 7) {
    // A leading weekday is skipped, not checked against the date.
    std::string text = rest;
    return ParseDate(v, text, rest);
  }
  if (MonthFromName(v, word, false) == 12 && MonthFromName(v, word, true) == 12) return false;
  tm& w = Working(v);
  std::string w2, w3, after;
  if (ExtractDateWord(rest, w2, after) >= 0) rest = after;
  w.tm_mday = static_cast<int>(FieldNumber(w2.c_str()));
  int split = ExtractDateWord(rest, w3, after);
  if (split >= 0) rest = after;
  if (w.tm_mday == 0) return false;
  const CGNString& timeSep = Locale().m_timeSep;
  bool isTime = !timeSep.IsEmpty() && FindText(w3.c_str(), timeSep) >= 0;
  if (!w3.empty() && !isTime && StartsWithDigit(w3))
    w.tm_year = static_cast<int>(FieldNumber(w3.c_str()));
  return true;
}

bool DateTimeCore::ParseKanjiDate(CGNDateTime& v, const std::string& text, std::string& rest) {
  CLCLocale& loc = Locale();
  CGNString yearMark, monthMark, dayMark;
  loc.YearChar(yearMark);
  if (yearMark.IsEmpty()) return false;
  loc.MonthChar(monthMark);
  loc.DayChar(dayMark);
  tm& w = Working(v);
  bool found = false;
  std::string cur = text;
  int p = FindText(cur.c_str(), yearMark);
  if (p > 0) {
    const CEmperor* era = nullptr;
    long count = loc.m_pEmperors ? loc.EmperorCount() : 0;
    for (long i = 0; i < count && !era; ++i) {
      CGNString name;
      loc.m_pEmperors[i].Emperor(name);
      if (name.IsEmpty()) continue;
      int at = FindText(cur.c_str(), name);
      if (at >= 0 && at < p) era = &loc.m_pEmperors[i];
    }
    // The era name, two characters, opens the text.
    size_t from = 0;
    if (era)
      for (int k = 0; k < 2 && from < cur.size(); ++k) from += CharBytes(cur.c_str() + from);
    std::string number = cur.substr(from, p > static_cast<int>(from) ? p - from : 0);
    number = number.substr(SkipSpaces(number));
    if (!StartsWithDigit(number)) return false;
    long year = FieldNumber(number.c_str());
    if (era) year = Saturated(loc.GregorianYrFromEmperorYr(*era, year));
    w.tm_year = static_cast<int>(year);
    cur = cur.substr(p + yearMark.GetLengthInBytes());
    found = true;
  }
  const CGNString* marks[2] = {&monthMark, &dayMark};
  for (int part = 0; part < 2; ++part) {
    int q = FindText(cur.c_str(), *marks[part]);
    if (q <= 0) continue;
    std::string number = cur.substr(0, q);
    number = number.substr(SkipSpaces(number));
    if (!StartsWithDigit(number)) return false;
    int n = static_cast<int>(FieldNumber(number.c_str()));
    if (part == 0)
      w.tm_mon = n - 1;
    else
      w.tm_mday = n;
    cur = cur.substr(q + marks[part]->GetLengthInBytes());
    found = true;
  }
  rest = cur;
  return found;
}

bool DateTimeCore::ParseDate(CGNDateTime& v, std::string_view text, char* rest) {
  if (text.size() > kMaxText) {
    Status(v) = 4;
    return false;
  }
  rest[0] = '\0';
  char converted[kMaxText + 1];
  CopyRest(text, converted);
  unsigned char high = 0;
  for (char c : text) high |= static_cast<unsigned char>(c);
  // Only text with bytes above 0x7F can hold a full-width digit to turn; the
  // conversion works in place.
  if (high >= 0x80) ConvertMBNumberToSBNumber(converted, converted);
  CLCLocale& loc = Locale();
  const char* after;
  if (ReadUsingFormat(v, converted, &after, loc.m_longDateFormat) ||
      ReadUsingFormat(v, converted, &after, loc.m_shortDateFormat)) {
    CopyRest(after, rest);
    return true;
  }
  std::string conv(converted);
  std::string r;
  bool ok;
  if (ParseKanjiDate(v, conv, r)) {
    ok = true;
  } else {
    std::string word;
    if (ExtractDateWord(conv, word, r) < 0) {
      CopyRest(text, rest);
      return true;
    }
    if (StartsWithDigit(word))
      ok = ParseNumDate(v, static_cast<int>(FieldNumber(word)), r);
    else
      ok = ParseCharDate(v, word, r);
  }
  CopyRest(r, rest);
  // The year as typed becomes years since 1900; two digits below the first
  // supported year belong to the next century.
  int m = CGNDateTime::MinYear();
  int& y = Working(v).tm_year;
  if (y >= 1900)
    y = y >= 1900 + m ? y - 1900 : y - 2000;
  else if (y < m)
    y += 100;
  return ok;
}

bool DateTimeCore::ParseDate(CGNDateTime& v, const std::string& text, std::string& rest) {
  char r[kMaxText + 1];
  bool ok = ParseDate(v, std::string_view(text), r);
  if (text.size() <= kMaxText) rest = r;
  return ok;
}

bool DateTimeCore::ParseTime(CGNDateTime& v, std::string_view text) {
  CLCLocale& loc = Locale();
  tm& w = Working(v);
  std::string_view word, rest;
  TimeWord(text, word, rest);
  int marker = 0;
  if (!word.empty() && !StartsWithDigit(word)) {
    if (EqualNoCase(word.data(), word.size(), loc.m_amString))
      marker = 1;
    else if (EqualNoCase(word.data(), word.size(), loc.m_pmString))
      marker = 2;
    else
      return false;
    TimeWord(rest, word, rest);
  } else {
    std::string_view before;
    marker = FindMarker(rest, before);
    rest = before;
  }
  long hour;
  if (!WholeNumber(word, &hour)) {
    Status(v) = 5;
    return false;
  }
  w.tm_hour = static_cast<int>(hour);
  TimeWord(rest, word, rest);
  if (word.empty()) {
    w.tm_min = w.tm_sec = 0;
  } else if (StartsWithDigit(word)) {
    long minute;
    if (!WholeNumber(word, &minute)) {
      Status(v) = 5;
      return false;
    }
    w.tm_min = static_cast<int>(minute);
    TimeWord(rest, word, rest);
    if (word.empty()) {
      w.tm_sec = 0;
    } else if (StartsWithDigit(word)) {
      long second;
      if (!WholeNumber(word, &second)) {
        Status(v) = 5;
        return false;
      }
      w.tm_sec = static_cast<int>(second);
    }
  }
  if (w.tm_hour < 12 && marker == 2)
    w.tm_hour += 12;
  else if (w.tm_hour == 12 && marker == 1)
    w.tm_hour = 0;
  return true;
}

}  // namespace gnutil

using namespace gnutil;

unsigned char CGNDateTime::FromString(const CGNString& text) {
  return parseDateTime(text, nullptr, 3);
}

unsigned char CGNDateTime::FromString(const CGNString& text, const CGNString&) {
  return parseDateTime(text, nullptr, 3);
}

unsigned char CGNDateTime::parseDateTime(const CGNString& text, unsigned char* noTime, int form) {
  if (noTime) *noTime = 0;
  m_rangeStatus = 1;
  ZoneScope zone;
  long now = TimeTS(nullptr);
  tm today;
  LocalTimeTS(now, today);
  m_tm.tm_mday = today.tm_mday;
  m_tm.tm_mon = today.tm_mon;
  m_tm.tm_year = today.tm_year;
  char rest[kMaxDateText + 1];
  const char* bytes = text;
  if (!DateTimeCore::ParseDate(*this, std::string_view(bytes, text.GetLengthInBytes()), rest))
    return 0;
  std::string_view timeText(rest);
  bool parsed = !timeText.empty() && DateTimeCore::ParseTime(*this, timeText);
  if (!parsed) {
    if (m_rangeStatus == 5) return 0;
    m_tm.tm_hour = m_tm.tm_min = m_tm.tm_sec = 0;
    if (noTime) *noTime = 1;
  } else if (noTime) {
    *noTime = SkipSpaces(timeText) == timeText.size();
  }
  if (!VerifyDateTime(&m_tm)) return 0;
  m_tm.tm_isdst = -1;
  m_secsFrom70 = MkTimeTS(&m_tm);
  if (m_secsFrom70 == -1) return 0;
  tm t;
  LocalTimeTS(m_secsFrom70, t);
  DateTimeCore::SetFields(*this, &t);
  // Back to today at midnight, as outside parsing.
  m_tm = today;
  m_tm.tm_hour = m_tm.tm_min = m_tm.tm_sec = 0;
  FormatForDisplay(form);
  return 1;
}

unsigned char CGNDateTime::parseDate(CGNString text, CGNString& rest) {
  std::string r;
  bool ok = DateTimeCore::ParseDate(*this, ToStd(text), r);
  rest = r.c_str();
  return ok;
}

unsigned char CGNDateTime::parseNumDate(int first, CGNString& rest) {
  std::string r = ToStd(rest);
  bool ok = DateTimeCore::ParseNumDate(*this, first, r);
  rest = r.c_str();
  return ok;
}

unsigned char CGNDateTime::parseCharDate(CGNString word, CGNString& rest) {
  std::string r = ToStd(rest);
  bool ok = DateTimeCore::ParseCharDate(*this, ToStd(word), r);
  rest = r.c_str();
  return ok;
}

unsigned char CGNDateTime::parseKanjiDate(CGNString text, CGNString& rest) {
  std::string r;
  bool ok = DateTimeCore::ParseKanjiDate(*this, ToStd(text), r);
  if (ok) rest = r.c_str();
  return ok;
}

unsigned char CGNDateTime::parseTime(CGNString text) {
  return DateTimeCore::ParseTime(*this, ToStd(text));
}

unsigned char CGNDateTime::parseTime(CGNString text, tm* result) {
  if (!DateTimeCore::ParseTime(*this, ToStd(text))) return 0;
  if (result) {
    result->tm_sec = m_tm.tm_sec;
    result->tm_min = m_tm.tm_min;
    result->tm_hour = m_tm.tm_hour;
    result->tm_mday = m_tm.tm_mday;
    result->tm_mon = m_tm.tm_mon;
    result->tm_year = m_tm.tm_year;
    result->tm_wday = m_tm.tm_wday;
  }
  return 1;
}

int CGNDateTime::extractDateWord(CGNString text, CGNString& word, CGNString& rest) {
  std::string w, r;
  int n = DateTimeCore::ExtractDateWord(ToStd(text), w, r);
  word = w.c_str();
  if (n >= 0) rest = r.c_str();
  return n;
}

int CGNDateTime::extractTimeWord(CGNString text, CGNString& word, CGNString& rest) {
  std::string t = ToStd(text);
  std::string_view w, r;
  int n = DateTimeCore::ExtractTimeWord(t, w, r);
  word = std::string(w).c_str();
  rest = std::string(r).c_str();
  return n;
}

int CGNDateTime::FindAMPMMarker(CGNString text, CGNString& before) {
  std::string t = ToStd(text);
  std::string_view b;
  int code = DateTimeCore::FindMarker(t, b);
  before = std::string(b).c_str();
  return code;
}

int CGNDateTime::getMonthFromName(CGNString word) {
  return DateTimeCore::MonthFromName(*this, ToStd(word), false);
}

int CGNDateTime::getMonthFromAbbrev(CGNString word) {
  return DateTimeCore::MonthFromName(*this, ToStd(word), true);
}

int CGNDateTime::getDayFromName(CGNString word) {
  return DateTimeCore::DayFromName(ToStd(word), false);
}

int CGNDateTime::getDayFromAbbrev(CGNString word) {
  return DateTimeCore::DayFromName(ToStd(word), true);
}
