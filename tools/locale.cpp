// gnutil locale: the locale record as Init (or SetLocale NAME) fills it, the
// installed-locale table, and the raw locale-information items.
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "commands.h"
#include "gnutil/codesets.h"
#include "gnutil/lclocale.h"
#include "gnutil/localeinfo.h"
#include "gnutil/mbutil.h"
#include "gnutil/ossysinfo.h"
#include "options.h"
#include "terminal.h"

namespace gnutil::tool {
namespace {

const char kLocaleUsage[] =
    "usage: gnutil locale [--current-era] [NAME]   the locale record (of NAME, or the user's)\n"
    "       gnutil locale --list                   the installed locales\n"
    "       gnutil locale --items [ID...]          locale-information items (hex ids)\n"
    "\n"
    "Texts are shown in the terminal's encoding (that of LC_ALL, LANG): those of\n"
    "a NAME in another code set are converted, and bytes the terminal cannot\n"
    "show are written in hexadecimal (<95 BD 90 AC>).\n"
    "\n"
    "  --current-era   the era table with the era that began on 1 May 2019\n"
    "  --list          the installed locales\n"
    "  --items         the raw locale-information items of the given ids\n"
    "  -h, --help      this text\n";

// Every item the locale record reads, and the ones that describe an
// installed locale.
const unsigned long kItems[] = {
    0x3,  0x7,  0x1004, 0x1001, 0x1002, 0x100B, 0x1D, 0x1E, 0x1003, 0x1F,   0x20,
    0x21, 0x22, 0x23,   0x1005, 0x24,   0x25,   0x26, 0x27, 0x10,   0x1010, 0x12,
    0xE,  0xF,  0x28,   0x29,   0x2A,   0x2B,   0x2C, 0x2D, 0x2E,   0x2F,   0x30,
    0x31, 0x32, 0x33,   0x34,   0x35,   0x36,   0x37, 0x38, 0x39,   0x3A,   0x3B,
    0x3C, 0x3D, 0x3E,   0x3F,   0x40,   0x41,   0x42, 0x43, 0x100E, 0x44,   0x45,
    0x46, 0x47, 0x48,   0x49,   0x4A,   0x4B,   0x4C, 0x4D, 0x4E,   0x4F,   0x100F,
};

// Texts of the record, in the code set of its locale, shown in the
// terminal's.
int g_recordCodeSet = 0;

// The code set a locale name ends in ("ja_JP.sjis"), or none.
int CodeSetOfLocaleName(const std::string& name) {
  size_t dot = name.find('.');
  if (dot == std::string::npos) return CODESET_NONE;
  int codeSet = CodeSetByName(name.substr(dot + 1, name.find('@', dot) - dot - 1).c_str());
  return codeSet < 0 ? CODESET_NONE : codeSet;
}

void Line(const char* label, const std::string& text) {
  printf("%-14s %s\n", label, ForTerminal(text, g_recordCodeSet).c_str());
}

std::string Quoted(const CGNString& s) { return "\"" + std::string(s) + "\""; }

std::string Number(long n) { return std::to_string(n); }

int PrintRecord(CLCLocale& l) {
  char hex[16];
  snprintf(hex, sizeof hex, "0x%04lx", l.GetLocaleId());
  Line("locale", l.m_localeName.IsEmpty() ? "(the user's)" : std::string(l.m_localeName));
  Line("identifier", hex);
  Line("language", Quoted(l.m_langAbbrev) + "  class " + Number(l.GetLang()) + "  name " +
                       Number(l.GetLangName()) + "  multibyte " + Number(l.IsMultiByte()));
  Line("date", "separator " + Quoted(l.m_dateSep) + "  short " + Quoted(l.m_shortDateFormat) +
                   "  long " + Quoted(l.m_longDateFormat));
  Line("", "order short " + Number(l.m_shortDateOrder) + " long " + Number(l.m_longDateOrder) +
               "  century " + Number(l.m_century) + "  day zero " + Number(l.m_dayLeadingZero) +
               "  month zero " + Number(l.m_monthLeadingZero));
  Line("time", "separator " + Quoted(l.m_timeSep) + "  format " + Quoted(l.m_timeFormat) +
                   "  24-hour " + Number(l.m_24HourTime) + "  marker first " +
                   Number(l.m_ampmPrefix) + "  hour zero " + Number(l.m_hourLeadingZero));
  Line("markers", "AM " + Quoted(l.m_amString) + "  PM " + Quoted(l.m_pmString));
  std::string months, monthAbbrevs, days, dayAbbrevs;
  for (int i = 0; i < 12; ++i) {
    months += (i ? " " : "") + std::string(l.m_monthNames[i]);
    monthAbbrevs += (i ? " " : "") + std::string(l.m_monthAbbrevs[i]);
  }
  for (int i = 0; i < 7; ++i) {
    days += (i ? " " : "") + std::string(l.m_dayNames[i]);
    dayAbbrevs += (i ? " " : "") + std::string(l.m_dayAbbrevs[i]);
  }
  Line("months", months);
  Line("", monthAbbrevs);
  Line("days", days);
  Line("", dayAbbrevs);
  std::string eras;
  for (long i = 0; i < l.EmperorCount(); ++i) {
    CEmperor& e = l.m_pEmperors[i];
    CGNString name;
    e.Emperor(name);
    std::string from = Number(e.GetFirstYear());
    if (e.GetFirstMonth() != 1 || e.GetFirstDay() != 1)
      from += "-" + Number(e.GetFirstMonth()) + "-" + Number(e.GetFirstDay());
    std::string to = e.GetSpan() != 0 ? Number(e.GetFirstYear() + e.GetSpan() - 1) : "";
    eras += (i ? "  " : "") + JapaneseForTerminal(std::string(name), g_recordCodeSet) + " " + from +
            ".." + to;
  }
  printf("%-14s %s\n", "eras", eras.c_str());  // converted name by name
  Line("calendar", Number(l.GetCalendarType()) + "  optional " + Number(l.m_optionalCalendar));
  Line("decimal", "symbol " + Quoted(l.m_decDecimalSymbol) + "  group separator " +
                      Quoted(l.m_decDigitGroupSeparator) + "  grouping " +
                      Quoted(l.m_decNumDigitsInGroup));
  Line("", "negative sign " + Quoted(l.m_decNegativeSign) + "  format " +
               Number(l.m_decNegativeNumFormat) + "  leading zero " +
               Number(l.m_decDisplayLeadingZeroes));
  if (l.LocaleIsJapanese()) {
    CGNString y, mo, d, h, mi, s;
    l.YearChar(y);
    l.MonthChar(mo);
    l.DayChar(d);
    l.HourChar(h);
    l.MinuteChar(mi);
    l.SecondChar(s);
    Line("units", std::string(y) + " " + std::string(mo) + " " + std::string(d) + " " +
                      std::string(h) + " " + std::string(mi) + " " + std::string(s));
  }
  return 0;
}

int PrintList() {
  long n = LocaleInfo::GetLocaleInfoCount();
  for (long i = 0; i < n; ++i) {
    LocaleInfo* e = LocaleInfo::GetLocaleInfoItem(i);
    printf("%-24s 0x%04lx  %s\n", static_cast<const char*>(e->m_name), e->m_localeId,
           static_cast<const char*>(e->m_description));
  }
  LocaleInfo::Free();
  return 0;
}

// One line per item: "ID ITEM ok TEXT" or "ID ITEM fail".
int PrintItems(const Args& ids) {
  Args all = ids;
  if (all.empty()) all = {"409", "411", "404", "412", "804", "407", "40c"};
  for (const std::string& id : all) {
    char* end = nullptr;
    unsigned long lcid = strtoul(id.c_str(), &end, 16);
    if (end == id.c_str() || *end != '\0')
      return UsageError("locale", "not a hexadecimal locale id: " + id);
    for (unsigned long item : kItems) {
      char buffer[256];
      long r = OSGetLocaleInfo(lcid, item, buffer, sizeof buffer);
      if (r > 0)
        printf("%04lx %04lx ok %s\n", lcid, item, buffer);
      else
        printf("%04lx %04lx fail\n", lcid, item);
    }
  }
  return 0;
}

}  // namespace

int RunLocale(const Args& args) {
  enum { kList = 1, kItems, kCurrentEra };
  const CommandSyntax syntax{"locale",
                             kLocaleUsage,
                             {{"list", 0, false, kList},
                              {"items", 0, false, kItems},
                              {"current-era", 0, false, kCurrentEra}}};
  CommandLine line;
  int parsed = ParseCommandLine(syntax, args, &line);
  if (parsed != kGoOn) return parsed;
  bool list = false, items = false, currentEra = false;
  for (const ParsedOption& o : line.options) {
    list = list || o.id == kList;
    items = items || o.id == kItems;
    currentEra = currentEra || o.id == kCurrentEra;
  }
  const Args& rest = line.operands;
  InitMbutil();  // the process locale becomes the user's
  g_recordCodeSet = TerminalCodeSet();
  if (items) {
    int status = PrintItems(rest);
    return status != 0 ? status : FinishOutput("locale");
  }
  if (list) {
    if (!rest.empty()) return UsageError("locale", "--list takes no locale name");
    PrintList();
    return FinishOutput("locale");
  }
  if (rest.size() > 1) return UsageError("locale", "one locale name at most");
  if (currentEra) CLCLocale::SetEraSource(LC_ERAS_CURRENT);
  CLCLocale record;
  if (!rest.empty()) {
    if (setlocale(LC_ALL, rest[0].c_str()) == nullptr)
      return UsageError("locale",
                        "locale '" + rest[0] + "' is not installed (see 'gnutil locale --list')");
    InitMbutil();
    record.SetLocale(CGNString(rest[0].c_str()));
    g_recordCodeSet = CodeSetOfLocaleName(rest[0]);
  } else {
    record.Init();
  }
  PrintRecord(record);
  return FinishOutput("locale");
}

}  // namespace gnutil::tool
