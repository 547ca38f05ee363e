// gnutil date: reads dates and times as a user of the process locale types
// them, or in ISO 8601, and shows them back in that locale's conventions.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "commands.h"
#include "gnutil/datetime.h"
#include "gnutil/lclocale.h"
#include "gnutil/lclst.h"
#include "gnutil/mbutil.h"
#include "gnutil/osthread.h"
#include "lines.h"
#include "options.h"
#include "terminal.h"

namespace gnutil::tool {
namespace {

const char kDateUsage[] =
    "usage: gnutil date [OPTION...] [--now | TEXT...]\n"
    "\n"
    "Reads each TEXT, or each line of standard input when there is no TEXT, as\n"
    "a user of the process locale (LC_ALL, LANG) types a date and time, or in\n"
    "ISO 8601 (2001-03-05, 2001-03-05T14:07:09, with Z or an offset such as\n"
    "+09:00), and prints its display form, the range status and the seconds\n"
    "since 1970.\n"
    "\n"
    "  --now             the current moment instead of a text\n"
    "  --format PATTERN  print only the date and time in PATTERN: d dd ddd dddd,\n"
    "                    M MM MMM MMMM, y yy yyyy, gg (the era), h hh H HH mm ss\n"
    "                    tt, 'quoted text'; other characters are copied\n"
    "  --iso             print only the moment in ISO 8601 with its UTC offset\n"
    "  --seconds         print only the seconds since 1970\n"
    "  --tz ZONE         convert in ZONE (TZ syntax, for example EST5EDT or JST-9)\n"
    "  --current-era     the era table with the era that began on 1 May 2019\n"
    "                    (the default)\n"
    "  --classic-eras    the library's built-in era table, which ends with the era\n"
    "                    that began in 1989\n"
    "  -h, --help        this text\n"
    "  --                every argument after it is a TEXT\n"
    "\n"
    "Dates run from 1970 to 18 January 2038. A TEXT that is not a date, or out\n"
    "of range, gives exit status 1 (the others are still read); a bad PATTERN\n"
    "is a usage error.\n";

const char* StatusMeaning(long status) {
  switch (status) {
    case 1:
      return "not a date or time that exists";
    case 2:
      return "a date field is out of range, or the date is outside 1970 to 18 January 2038";
    case 3:
      return "a time field is out of range";
    case 4:
      return "past the last supported moment of 2038, or longer than 127 bytes";
    case 5:
      return "characters after a time number";
    default:
      return "unknown";
  }
}

enum class Output { kReport, kPattern, kIso, kSeconds };

// One run of a pattern: the field writer, or literal text.
using Writer = unsigned char (CGNDateTime::*)(CGNString&);
struct Field {
  const char* run;
  Writer writer;
};
const Field kFields[] = {
    {"dddd", &CGNDateTime::DayName},    {"ddd", &CGNDateTime::DayAbbrev},
    {"dd", &CGNDateTime::DayNumLZ},     {"d", &CGNDateTime::DayNum},
    {"MMMM", &CGNDateTime::MonthName},  {"MMM", &CGNDateTime::MonthAbbrev},
    {"MM", &CGNDateTime::MonthNumLZ},   {"M", &CGNDateTime::MonthNum},
    {"yyyy", &CGNDateTime::Year4Digit}, {"yy", &CGNDateTime::Year2Digit},
    {"y", &CGNDateTime::Year1Digit},    {"gg", &CGNDateTime::Emperor},
    {"hh", &CGNDateTime::Hour12LZ},     {"h", &CGNDateTime::Hour12},
    {"HH", &CGNDateTime::Hour24LZ},     {"H", &CGNDateTime::Hour24},
    {"mm", &CGNDateTime::Minute},       {"ss", &CGNDateTime::Second},
    {"tt", &CGNDateTime::AMPMMarker},
};

bool IsPatternLetter(char c) {
  for (const Field& f : kFields)
    if (f.run[0] == c) return true;
  return false;
}

// One field of value. Where the pattern shows the era, the era and the years
// are those of the era containing the day (eras begin within a year).
std::string WriteField(CGNDateTime& value, const Field& field, bool eraPattern) {
  char c = field.run[0];
  if (eraPattern && (c == 'g' || c == 'y')) {
    tm day = {};
    CGNDateTime::LocalTimeTS(value.GetSecsFrom70(), day);
    CLCLocale& locale = *CLCGlobalLocale::Instance();
    long year = day.tm_year + 1900L, month = day.tm_mon + 1L;
    if (c == 'g') {
      CGNString name;
      locale.EmperorFromGregorianDate(year, month, day.tm_mday, name);
      return JapaneseForTerminal(std::string(name), LibraryCodeSet());
    }
    char text[24];
    std::snprintf(text, sizeof text, std::string(field.run) == "yy" ? "%02ld" : "%ld",
                  locale.EmperorYrFromGregorianDate(year, month, day.tm_mday));
    return text;
  }
  CGNString text;
  (value.*field.writer)(text);
  return std::string(text);
}

// Writes value in pattern, or, with a null value, only checks the pattern.
// False, with the reason, for a run of a pattern letter that means nothing
// ("yyy", "m") or an apostrophe that is never closed.
bool FormatPattern(const std::string& pattern, CGNDateTime* value, std::string* out,
                   std::string* error) {
  bool eraPattern = pattern.find("gg") != std::string::npos;
  size_t i = 0;
  while (i < pattern.size()) {
    char c = pattern[i];
    if (c == '\'') {
      size_t close = pattern.find('\'', i + 1);
      if (close == std::string::npos) {
        *error = "unterminated quoted text in the pattern '" + pattern + "'";
        return false;
      }
      out->append(pattern, i + 1, close - i - 1);
      i = close + 1;
    } else if (IsPatternLetter(c)) {
      size_t run = pattern.find_first_not_of(c, i) - i;
      if (i + run > pattern.size()) run = pattern.size() - i;
      const Field* field = nullptr;
      for (const Field& f : kFields)
        if (f.run[0] == c && std::string(f.run).size() == run) field = &f;
      if (field == nullptr) {
        *error = "'" + pattern.substr(i, run) + "' means nothing in the pattern '" + pattern + "'";
        return false;
      }
      if (value != nullptr) *out += WriteField(*value, *field, eraPattern);
      i += run;
    } else {
      // A whole character, so that a trailing byte of a two-byte character
      // is never taken for a letter.
      int n = mb_mblen(pattern.c_str() + i, pattern.size() - i);
      if (n < 1) n = 1;
      out->append(pattern, i, static_cast<size_t>(n));
      i += static_cast<size_t>(n);
    }
  }
  return true;
}

long DaysFromCivil(long y, long m, long d) {
  y -= m <= 2;
  long era = (y >= 0 ? y : y - 399) / 400;
  long yoe = y - era * 400;
  long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool TakeNumber(const std::string& t, size_t* at, size_t digits, long* out) {
  if (*at + digits > t.size()) return false;
  long v = 0;
  for (size_t k = 0; k < digits; ++k) {
    char c = t[*at + k];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *at += digits;
  *out = v;
  return true;
}

bool Take(const std::string& t, size_t* at, char c) {
  if (*at < t.size() && t[*at] == c) {
    ++*at;
    return true;
  }
  return false;
}

// Texts that start as ISO 8601 dates do: four digits and "-".
bool LooksIso(const std::string& t) {
  size_t at = 0;
  long year;
  return TakeNumber(t, &at, 4, &year) && Take(t, &at, '-');
}

// Reads YYYY-MM-DD[(T| )HH:MM[:SS]][Z|(+|-)HH[[:]MM]] into the moment it
// names, in the zone of the conversions when it has no zone of its own.
bool ReadIso(const std::string& t, long* secs, std::string* error) {
  size_t at = 0;
  long y, mo, d, h = 0, mi = 0, s = 0, offset = 0;
  bool zoned = false;
  bool ok = TakeNumber(t, &at, 4, &y) && Take(t, &at, '-') && TakeNumber(t, &at, 2, &mo) &&
            Take(t, &at, '-') && TakeNumber(t, &at, 2, &d);
  if (ok && (Take(t, &at, 'T') || Take(t, &at, ' '))) {
    ok = TakeNumber(t, &at, 2, &h) && Take(t, &at, ':') && TakeNumber(t, &at, 2, &mi) &&
         (!Take(t, &at, ':') || TakeNumber(t, &at, 2, &s));
    if (ok && Take(t, &at, 'Z')) {
      zoned = true;
    } else if (ok && at < t.size() && (t[at] == '+' || t[at] == '-')) {
      long sign = t[at++] == '-' ? -1 : 1, oh = 0, om = 0;
      ok = TakeNumber(t, &at, 2, &oh) &&
           (at == t.size() || (Take(t, &at, ':'), TakeNumber(t, &at, 2, &om))) && oh <= 14 &&
           om <= 59;
      offset = sign * (oh * 3600 + om * 60);
      zoned = true;
    }
  }
  if (!ok || at != t.size()) {
    *error = "not an ISO 8601 date or date-time (2001-03-05, 2001-03-05T14:07:09+09:00)";
    return false;
  }
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (mo < 1 || mo > 12 || d < 1 || d > kDays[mo - 1] || (mo == 2 && d == 29 && !leap) || h > 23 ||
      mi > 59 || s > 59) {
    *error = "a date or time field is out of range";
    return false;
  }
  if (zoned) {
    *secs = DaysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s - offset;
  } else {
    tm fields = {};
    fields.tm_year = static_cast<int>(y - 1900);
    fields.tm_mon = static_cast<int>(mo - 1);
    fields.tm_mday = static_cast<int>(d);
    fields.tm_hour = static_cast<int>(h);
    fields.tm_min = static_cast<int>(mi);
    fields.tm_sec = static_cast<int>(s);
    fields.tm_isdst = -1;
    *secs = y < 1969 || y > 2038 ? -1 : CGNDateTime::MkTimeTS(&fields);
    tm back = {};
    if (*secs >= 0) CGNDateTime::LocalTimeTS(*secs, back);
    if (*secs >= 0 && (back.tm_hour != h || back.tm_min != mi || back.tm_mday != d)) {
      *error = "the local time does not exist (a clock change skips it)";
      return false;
    }
  }
  if (*secs < 0 || *secs > 2147483647L) {
    *error = "outside 1970 to 19 January 2038";
    return false;
  }
  return true;
}

// The moment with its offset from UTC in the zone of the conversions.
std::string IsoText(long secs) {
  tm local = {};
  CGNDateTime::LocalTimeTS(secs, local);
  long asUtc = DaysFromCivil(local.tm_year + 1900L, local.tm_mon + 1L, local.tm_mday) * 86400 +
               local.tm_hour * 3600L + local.tm_min * 60L + local.tm_sec;
  long offset = (asUtc - secs) / 60;
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  std::string out = text;
  if (offset == 0) return out + "Z";
  std::snprintf(text, sizeof text, "%c%02ld:%02ld", offset < 0 ? '-' : '+', labs(offset) / 60,
                labs(offset) % 60);
  return out + text;
}

struct Request {
  Output output = Output::kReport;
  std::string pattern;
};

void Show(const Request& r, CGNDateTime& value, const std::string& label) {
  long secs = value.GetSecsFrom70();
  std::string shown;
  switch (r.output) {
    case Output::kPattern: {
      std::string unused;
      FormatPattern(r.pattern, &value, &shown, &unused);
      std::printf("%s\n", shown.c_str());
      break;
    }
    case Output::kIso:
      std::printf("%s\n", IsoText(secs).c_str());
      break;
    case Output::kSeconds:
      std::printf("%ld\n", secs);
      break;
    case Output::kReport: {
      CGNString display;
      value.GetDisplayBuffer(display);
      std::printf("%s -> %s (status %ld, %ld s since 1970)\n", label.c_str(),
                  static_cast<const char*>(display), value.GetDateTimeRangeStatus(), secs);
      break;
    }
  }
  std::fflush(stdout);  // in order with the messages on standard error
}

// Reads and shows one text: 0, or 1 with a message.
int ReadOne(const Request& r, const std::string& text) {
  if (LooksIso(text)) {
    long secs = 0;
    std::string error;
    if (!ReadIso(text, &secs, &error)) {
      return DataError("date", "'" + text + "': " + error);
    }
    CGNDateTime value(secs);
    value.FormatForDisplay(3);
    Show(r, value, "'" + text + "'");
    return 0;
  }
  CGNDateTime value;
  if (!value.FromString(text.c_str())) {
    long range = value.GetDateTimeRangeStatus();
    return DataError(
        "date", "'" + text + "': status " + std::to_string(range) + ": " + StatusMeaning(range));
  }
  Show(r, value, "'" + text + "'");
  return 0;
}

}  // namespace

int RunDate(const Args& args) {
  enum { kNow = 1, kFormat, kIso, kSeconds, kZone, kCurrentEra, kClassicEras };
  const CommandSyntax syntax{"date",
                             kDateUsage,
                             {{"now", 0, false, kNow},
                              {"format", 0, true, kFormat},
                              {"iso", 0, false, kIso},
                              {"seconds", 0, false, kSeconds},
                              {"tz", 0, true, kZone},
                              {"current-era", 0, false, kCurrentEra},
                              {"classic-eras", 0, false, kClassicEras}}};
  CommandLine line;
  int parsed = ParseCommandLine(syntax, args, &line);
  if (parsed != kGoOn) return parsed;
  std::string zone;
  Request r;
  bool now = false, haveZone = false;
  int outputs = 0;
  long eras = LC_ERAS_CURRENT;
  for (const ParsedOption& o : line.options) {
    switch (o.id) {
      case kNow:
        now = true;
        break;
      case kFormat:
        r.pattern = o.value;
        r.output = Output::kPattern;
        ++outputs;
        break;
      case kIso:
      case kSeconds:
        r.output = o.id == kIso ? Output::kIso : Output::kSeconds;
        ++outputs;
        break;
      case kZone:
        zone = o.value;
        haveZone = true;
        break;
      default:
        eras = o.id == kCurrentEra ? LC_ERAS_CURRENT : LC_ERAS_CLASSIC;
        break;
    }
  }
  const Args& texts = line.operands;
  if (now && !texts.empty()) return UsageError("date", "give either --now or TEXT");
  if (outputs > 1) return UsageError("date", "give one of --format, --iso and --seconds");
  if (haveZone && (zone.empty() || zone.size() > 124))
    return UsageError("date", "--tz needs a zone name of 1 to 124 bytes");

  InitMbutil();
  CLCLocale::SetEraSource(eras);
  CLCGlobalLocale::Instance();
  if (r.output == Output::kPattern) {
    std::string unused, error;
    if (!FormatPattern(r.pattern, nullptr, &unused, &error)) return UsageError("date", error);
  }
  CGNString zoneName(zone.c_str());
  if (haveZone) {
    // A zone of its own is the calling thread's "timezone" variable, which
    // the conversions follow only in a threaded process.
    OSSetThreaded();
    CGNDateTime::ModuleInit();
    CGNLclSt::Instance()->Init(4);
    CGNLclSt::Instance()->SetLocalVariable("timezone", &zoneName);
  }

  int status = 0;
  if (now) {
    CGNDateTime value(CGNDateTime::Now());
    value.FormatForDisplay(3);
    Show(r, value, "now");
  } else if (!texts.empty()) {
    for (const std::string& text : texts) status |= ReadOne(r, text);
  } else {
    std::string error;
    FILE* in = OpenInput("-", &error);
    if (in == nullptr) return DataError("date", error);
    status |= ForEachLine(in, [&r](const std::string& line) { return ReadOne(r, line); });
  }
  if (haveZone) CGNLclSt::Instance()->UnsetLocalVariable("timezone");
  return FinishOutput("date") | status;
}

}  // namespace gnutil::tool
