// Locale information on Linux: the Windows items answered from ICU. The
// pattern conversion is icu_picture.cpp, the installed locales
// installed_locales.cpp.
//
// Each locale's items are worked out once, as UTF-8, and kept; a query then
// only converts the text to the process locale's code set. A character that
// code set cannot hold fails the query, as the Windows "A" function would
// rather than hand back a '?'.
#include "platform/posix/localeinfo.h"

#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <unicode/udat.h>
#include <unicode/udatpg.h>
#include <unicode/uloc.h>
#include <unicode/unum.h>
#include <unicode/ustring.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "platform/localeinfo.h"
#include "platform/posix/langid.h"

namespace gnutil::platform {
namespace {

// The item numbers answered here (the system's LOCALE_... constants).
enum Item : unsigned long {
  kSAbbrevLangName = 0x3,
  kSAbbrevCtryName = 0x7,
  kSDecimal = 0xE,
  kSThousand = 0xF,
  kSGrouping = 0x10,
  kILZero = 0x12,
  kSDate = 0x1D,
  kSTime = 0x1E,
  kSShortDate = 0x1F,
  kSLongDate = 0x20,
  kIDate = 0x21,
  kILDate = 0x22,
  kITime = 0x23,
  kICentury = 0x24,
  kITLZero = 0x25,
  kIDayLZero = 0x26,
  kIMonLZero = 0x27,
  kS1159 = 0x28,
  kS2359 = 0x29,
  kSDayName1 = 0x2A,
  kSAbbrevDayName1 = 0x31,
  kSMonthName1 = 0x38,
  kSAbbrevMonthName1 = 0x44,
  kSEngLanguage = 0x1001,
  kSEngCountry = 0x1002,
  kSTimeFormat = 0x1003,
  kIDefaultAnsiCodePage = 0x1004,
  kITimeMarkPosn = 0x1005,
  kIOptionalCalendar = 0x100B,
  kSMonthName13 = 0x100E,
  kSAbbrevMonthName13 = 0x100F,
  kINegNumber = 0x1010,
};

constexpr unsigned long kUserDefault = 0x400;
constexpr unsigned long kSystemDefault = 0x800;

struct PrimaryLanguage {
  unsigned short primary;
  const char* abbreviation;  // of the main territory
  unsigned codePage;
};

// Windows' abbreviations: two letters of the language and one of the
// territory. The code page is the language's "ANSI" one; 0 for languages
// Windows serves with Unicode only.
const PrimaryLanguage kPrimaries[] = {
    {0x01, "ARA", 1256}, {0x02, "BGR", 1251}, {0x03, "CAT", 1252}, {0x04, "CHT", 950},
    {0x05, "CSY", 1250}, {0x06, "DAN", 1252}, {0x07, "DEU", 1252}, {0x08, "ELL", 1253},
    {0x09, "ENU", 1252}, {0x0a, "ESN", 1252}, {0x0b, "FIN", 1252}, {0x0c, "FRA", 1252},
    {0x0d, "HEB", 1255}, {0x0e, "HUN", 1250}, {0x0f, "ISL", 1252}, {0x10, "ITA", 1252},
    {0x11, "JPN", 932},  {0x12, "KOR", 949},  {0x13, "NLD", 1252}, {0x14, "NOR", 1252},
    {0x15, "PLK", 1250}, {0x16, "PTB", 1252}, {0x17, "RMC", 1252}, {0x18, "ROM", 1250},
    {0x19, "RUS", 1251}, {0x1a, "HRV", 1250}, {0x1b, "SKY", 1250}, {0x1c, "SQI", 1250},
    {0x1d, "SVE", 1252}, {0x1e, "THA", 874},  {0x1f, "TRK", 1254}, {0x20, "URD", 1256},
    {0x21, "IND", 1252}, {0x22, "UKR", 1251}, {0x23, "BEL", 1251}, {0x24, "SLV", 1250},
    {0x25, "ETI", 1257}, {0x26, "LVI", 1257}, {0x27, "LTH", 1257}, {0x28, "TAJ", 1251},
    {0x29, "FAR", 1256}, {0x2a, "VIT", 1258}, {0x2b, "HYE", 0},    {0x2c, "AZE", 1254},
    {0x2d, "EUQ", 1252}, {0x2f, "MKI", 1251}, {0x32, "TSN", 1252}, {0x34, "XHO", 1252},
    {0x35, "ZUL", 1252}, {0x36, "AFK", 1252}, {0x37, "KAT", 0},    {0x38, "FOS", 1252},
    {0x39, "HIN", 0},    {0x3a, "MLT", 0},    {0x3c, "IRE", 1252}, {0x3e, "MSL", 1252},
    {0x3f, "KKZ", 1251}, {0x40, "KYR", 1251}, {0x41, "SWK", 1252}, {0x42, "TUK", 1250},
    {0x43, "UZB", 1254}, {0x44, "TTT", 1251}, {0x45, "BNG", 0},    {0x46, "PAN", 0},
    {0x47, "GUJ", 0},    {0x48, "ORI", 0},    {0x49, "TAI", 0},    {0x4a, "TEL", 0},
    {0x4b, "KDI", 0},    {0x4c, "MYM", 0},    {0x4d, "ASM", 0},    {0x4e, "MAR", 0},
    {0x50, "MNN", 1251}, {0x52, "CYM", 1252}, {0x53, "KHM", 0},    {0x54, "LAO", 0},
    {0x56, "GLC", 1252}, {0x5b, "SIN", 0},    {0x5e, "AMH", 0},    {0x61, "NEP", 0},
    {0x62, "FYN", 1252}, {0x63, "PAS", 0},    {0x64, "FPO", 1252}, {0x68, "HAU", 1252},
    {0x6a, "YOR", 1252}, {0x70, "IBO", 1252},
};

struct Territory {
  unsigned short langId;
  const char* abbreviation;
  unsigned codePage;  // 0: the primary language's
};

// Territories whose abbreviation (or code page) differs from the main one's.
const Territory kTerritories[] = {
    {0x0801, "ARI", 0},   {0x0c01, "ARE", 0},   {0x1001, "ARL", 0},   {0x1401, "ARG", 0},
    {0x1801, "ARM", 0},   {0x1c01, "ART", 0},   {0x2001, "ARO", 0},   {0x2401, "ARY", 0},
    {0x2801, "ARS", 0},   {0x2c01, "ARJ", 0},   {0x3001, "ARB", 0},   {0x3401, "ARK", 0},
    {0x3801, "ARU", 0},   {0x3c01, "ARH", 0},   {0x4001, "ARQ", 0},   {0x0804, "CHS", 936},
    {0x0c04, "ZHH", 950}, {0x1004, "ZHI", 936}, {0x1404, "ZHM", 950}, {0x0807, "DES", 0},
    {0x0c07, "DEA", 0},   {0x1007, "DEL", 0},   {0x1407, "DEC", 0},   {0x0809, "ENG", 0},
    {0x0c09, "ENA", 0},   {0x1009, "ENC", 0},   {0x1409, "ENZ", 0},   {0x1809, "ENI", 0},
    {0x1c09, "ENS", 0},   {0x2009, "ENJ", 0},   {0x2809, "ENL", 0},   {0x2c09, "ENT", 0},
    {0x3009, "ENW", 0},   {0x3409, "ENP", 0},   {0x4009, "ENN", 0},   {0x4409, "ENM", 0},
    {0x4809, "ENE", 0},   {0x040a, "ESP", 0},   {0x080a, "ESM", 0},   {0x100a, "ESG", 0},
    {0x140a, "ESC", 0},   {0x180a, "ESA", 0},   {0x1c0a, "ESD", 0},   {0x200a, "ESV", 0},
    {0x240a, "ESO", 0},   {0x280a, "ESR", 0},   {0x2c0a, "ESS", 0},   {0x300a, "ESF", 0},
    {0x340a, "ESL", 0},   {0x380a, "ESY", 0},   {0x3c0a, "ESZ", 0},   {0x400a, "ESB", 0},
    {0x440a, "ESE", 0},   {0x480a, "ESH", 0},   {0x4c0a, "ESI", 0},   {0x500a, "ESU", 0},
    {0x540a, "EST", 0},   {0x080c, "FRB", 0},   {0x0c0c, "FRC", 0},   {0x100c, "FRS", 0},
    {0x140c, "FRL", 0},   {0x180c, "FRM", 0},   {0x0810, "ITS", 0},   {0x0813, "NLB", 0},
    {0x0814, "NON", 0},   {0x0816, "PTG", 0},   {0x241a, "SRM", 0},   {0x141a, "BSB", 0},
    {0x081d, "SVF", 0},   {0x083c, "IRE", 0},   {0x0845, "BNB", 0},
};

std::string Utf8(const UChar* text, int32_t length) {
  std::string out;
  if (length <= 0) return out;
  UErrorCode status = U_ZERO_ERROR;
  int32_t needed = 0;
  u_strToUTF8(nullptr, 0, &needed, text, length, &status);
  if (needed <= 0) return out;
  out.resize(static_cast<size_t>(needed));
  status = U_ZERO_ERROR;
  u_strToUTF8(&out[0], needed, nullptr, text, length, &status);
  if (U_FAILURE(status)) out.clear();
  return out;
}

// A text that an ICU call writes into a UChar buffer.
template <typename Call>
std::string IcuText(Call call) {
  UChar buffer[256];
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = call(buffer, 256, &status);
  if (U_FAILURE(status) || length > 256) return std::string();
  return Utf8(buffer, length);
}

// The fields of a Windows picture in order, each with the literal text
// that comes before it (quotes removed).
struct Field {
  char letter;
  size_t width;
  std::string before;
};

std::vector<Field> Fields(const std::string& picture) {
  std::vector<Field> fields;
  std::string literal;
  for (size_t i = 0; i < picture.size();) {
    char c = picture[i];
    if (c == '\'') {
      size_t end = picture.find('\'', i + 1);
      if (end == std::string::npos) end = picture.size();
      literal += picture.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    if (IsPatternLetter(c)) {
      size_t run = 1;
      while (i + run < picture.size() && picture[i + run] == c) ++run;
      fields.push_back({c, run, literal});
      literal.clear();
      i += run;
      continue;
    }
    literal += c;
    ++i;
  }
  return fields;
}

bool IsDateNumber(const Field& f) {
  return f.letter == 'y' || f.letter == 'M' || (f.letter == 'd' && f.width <= 2);
}

bool IsTimeNumber(const Field& f) {
  return f.letter == 'h' || f.letter == 'H' || f.letter == 'm' || f.letter == 's';
}

// The literal between the first two fields of a kind, when they follow
// each other.
std::string Separator(const std::vector<Field>& fields, bool (*kind)(const Field&)) {
  for (size_t i = 0; i + 1 < fields.size(); ++i) {
    if (kind(fields[i])) return kind(fields[i + 1]) ? fields[i + 1].before : std::string();
  }
  return std::string();
}

size_t Widest(const std::vector<Field>& fields, char letter, size_t below = 100) {
  size_t widest = 0;
  for (const Field& f : fields) {
    if (f.letter == letter && f.width < below && f.width > widest) widest = f.width;
  }
  return widest;
}

// 0 month-day-year, 1 day-month-year, 2 year-month-day, from which number
// comes first (a day name is not a day number).
std::string DateOrder(const std::string& picture) {
  for (const Field& f : Fields(picture)) {
    if (!IsDateNumber(f)) continue;
    return f.letter == 'y' ? "2" : f.letter == 'd' ? "1" : "0";
  }
  return "0";
}

using ItemMap = std::map<unsigned long, std::string>;

void AddDerivedItems(ItemMap* items) {
  ItemMap& m = *items;
  std::vector<Field> shortDate = Fields(m[kSShortDate]);
  std::vector<Field> time = Fields(m[kSTimeFormat]);
  m[kSDate] = Separator(shortDate, IsDateNumber);
  m[kSTime] = Separator(time, IsTimeNumber);
  m[kIDate] = DateOrder(m[kSShortDate]);
  m[kILDate] = DateOrder(m[kSLongDate]);
  m[kICentury] = Widest(shortDate, 'y') >= 4 ? "1" : "0";
  m[kIDayLZero] = Widest(shortDate, 'd', 3) == 2 ? "1" : "0";
  m[kIMonLZero] = Widest(shortDate, 'M', 3) == 2 ? "1" : "0";
  bool is24 = Widest(time, 'H') > 0;
  m[kITime] = is24 ? "1" : "0";
  m[kITLZero] = Widest(time, is24 ? 'H' : 'h') >= 2 ? "1" : "0";
  std::string markerFirst = "0";
  for (const Field& f : time) {
    if (f.letter == 't') markerFirst = "1";
    if (f.letter == 't' || f.letter == 'h' || f.letter == 'H') break;
  }
  m[kITimeMarkPosn] = markerFirst;
}

// The calendar Windows offers beside the Gregorian one: the Japanese era
// calendar (3), the Taiwan calendar (4), the Korean one (5).
std::string OptionalCalendar(unsigned short langId) {
  switch (langId) {
    case 0x0411:
      return "3";
    case 0x0404:
      return "4";
    case 0x0412:
      return "5";
    default:
      return "0";
  }
}

bool BuildItems(const char* icuLocale, unsigned short langId, ItemMap* items) {
  ItemMap& m = *items;
  UErrorCode status = U_ZERO_ERROR;
  UDateFormat* date = udat_open(UDAT_NONE, UDAT_SHORT, icuLocale, nullptr, 0, nullptr, 0, &status);
  UDateFormat* longDate =
      udat_open(UDAT_NONE, UDAT_FULL, icuLocale, nullptr, 0, nullptr, 0, &status);
  UDateFormat* time = udat_open(UDAT_MEDIUM, UDAT_NONE, icuLocale, nullptr, 0, nullptr, 0, &status);
  UNumberFormat* number = unum_open(UNUM_DECIMAL, nullptr, 0, icuLocale, nullptr, &status);
  bool ok = U_SUCCESS(status);
  if (ok) {
    auto pattern = [](UDateFormat* f) {
      return WindowsPicture(IcuText(
          [f](UChar* b, int32_t n, UErrorCode* s) { return udat_toPattern(f, 0, b, n, s); }));
    };
    // The short date is the locale's all-numeric date with the full year,
    // as Windows has it ("M/d/yyyy"), not CLDR's short form ("M/d/yy").
    UDateTimePatternGenerator* generator = udatpg_open(icuLocale, &status);
    if (generator != nullptr && U_SUCCESS(status)) {
      static const UChar kSkeleton[] = {'y', 'M', 'd', 0};
      m[kSShortDate] = WindowsPicture(IcuText([generator](UChar* b, int32_t n, UErrorCode* s) {
        return udatpg_getBestPattern(generator, kSkeleton, 3, b, n, s);
      }));
      udatpg_close(generator);
    }
    status = U_ZERO_ERROR;
    if (m[kSShortDate].empty()) m[kSShortDate] = pattern(date);
    m[kSLongDate] = pattern(longDate);
    m[kSTimeFormat] = pattern(time);
    auto symbol = [date](UDateFormatSymbolType type, int32_t index) {
      return IcuText([&](UChar* b, int32_t n, UErrorCode* s) {
        return udat_getSymbols(date, type, index, b, n, s);
      });
    };
    m[kS1159] = symbol(UDAT_AM_PMS, 0);
    m[kS2359] = symbol(UDAT_AM_PMS, 1);
    for (int day = 0; day < 7; ++day) {
      int icuDay = day == 6 ? 1 : day + 2;  // ICU counts from Sunday = 1
      m[kSDayName1 + day] = symbol(UDAT_WEEKDAYS, icuDay);
      m[kSAbbrevDayName1 + day] = symbol(UDAT_SHORT_WEEKDAYS, icuDay);
    }
    for (int month = 0; month < 12; ++month) {
      m[kSMonthName1 + month] = symbol(UDAT_MONTHS, month);
      // Windows' abbreviations are the stand-alone ones (German "Mär", not
      // "März"; "Jan", not "Jan.").
      m[kSAbbrevMonthName1 + month] = symbol(UDAT_STANDALONE_SHORT_MONTHS, month);
    }
    m[kSMonthName13] = "";
    m[kSAbbrevMonthName13] = "";
    m[kIOptionalCalendar] = OptionalCalendar(langId);

    auto numberSymbol = [number](UNumberFormatSymbol which) {
      return IcuText([&](UChar* b, int32_t n, UErrorCode* s) {
        return unum_getSymbol(number, which, b, n, s);
      });
    };
    m[kSDecimal] = numberSymbol(UNUM_DECIMAL_SEPARATOR_SYMBOL);
    // Windows separates thousands with U+00A0 where CLDR has the narrow
    // U+202F (French), which no single-byte code page holds.
    m[kSThousand] = numberSymbol(UNUM_GROUPING_SEPARATOR_SYMBOL);
    if (m[kSThousand] == "\xE2\x80\xAF") m[kSThousand] = "\xC2\xA0";
    int32_t primary = unum_getAttribute(number, UNUM_GROUPING_SIZE);
    int32_t secondary = unum_getAttribute(number, UNUM_SECONDARY_GROUPING_SIZE);
    std::string grouping = std::to_string(primary > 0 ? primary : 0);
    if (secondary > 0 && secondary != primary) grouping += ";" + std::to_string(secondary);
    m[kSGrouping] = primary > 0 ? grouping + ";0" : grouping;
    m[kILZero] = "1";
    m[kINegNumber] = "1";

    char buffer[128];
    status = U_ZERO_ERROR;
    int32_t n = uloc_getDisplayLanguage(icuLocale, "en", nullptr, 0, &status);
    (void)n;
    m[kSEngLanguage] = IcuText([&](UChar* b, int32_t cap, UErrorCode* s) {
      return uloc_getDisplayLanguage(icuLocale, "en", b, cap, s);
    });
    // Windows names Chinese by its script: "Chinese (Simplified)".
    if ((langId & 0x3FF) == 0x04) {
      char full[ULOC_FULLNAME_CAPACITY];
      status = U_ZERO_ERROR;
      uloc_addLikelySubtags(icuLocale, full, sizeof full, &status);
      std::string script = IcuText([&](UChar* b, int32_t cap, UErrorCode* s) {
        return uloc_getDisplayScript(full, "en", b, cap, s);
      });
      if (U_SUCCESS(status) && !script.empty()) {
        size_t space = script.find(' ');  // "Simplified Han"
        m[kSEngLanguage] += " (" + script.substr(0, space) + ")";
      }
      status = U_ZERO_ERROR;
    }
    m[kSEngCountry] = IcuText([&](UChar* b, int32_t cap, UErrorCode* s) {
      return uloc_getDisplayCountry(icuLocale, "en", b, cap, s);
    });
    snprintf(buffer, sizeof buffer, "%s", uloc_getISO3Country(icuLocale));
    m[kSAbbrevCtryName] = buffer;
    unsigned codePage = 0;
    const char* abbreviation = LanguageAbbreviation(langId, &codePage);
    if (abbreviation != nullptr) {
      m[kSAbbrevLangName] = abbreviation;
      m[kIDefaultAnsiCodePage] = std::to_string(codePage);
    }
    AddDerivedItems(items);
  }
  if (date != nullptr) udat_close(date);
  if (longDate != nullptr) udat_close(longDate);
  if (time != nullptr) udat_close(time);
  if (number != nullptr) unum_close(number);
  return ok;
}

std::mutex g_mutex;
std::map<unsigned short, ItemMap>* g_cache = nullptr;  // guarded by g_mutex

// The language id and ICU locale of a locale identifier; false when unknown.
bool Resolve(unsigned long lcid, unsigned short* langId, std::string* icuLocale) {
  unsigned long id = lcid & 0xFFFF;
  if (id == kUserDefault || id == kSystemDefault || id == 0)
    id = LangIDForLocaleName(UserTimeLocaleName());
  const char* name = LocaleNameForLangID(static_cast<unsigned short>(id));
  if (name != nullptr) {
    *icuLocale = name;
  } else {
    char buffer[ULOC_FULLNAME_CAPACITY];
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = uloc_getLocaleForLCID(static_cast<uint32_t>(id), buffer, sizeof buffer, &status);
    if (U_FAILURE(status) || n <= 0) return false;
    *icuLocale = buffer;
  }
  *langId = static_cast<unsigned short>(id);
  return true;
}

// The language id a locale identifier stands for, without checking that we
// know it; the user's default is looked up in the language table only when
// the environment names another locale than last time.
unsigned short LangIdOf(unsigned long lcid) {
  unsigned long id = lcid & 0xFFFF;
  if (id != kUserDefault && id != kSystemDefault && id != 0) return static_cast<unsigned short>(id);
  static std::mutex mutex;
  static std::string* lastName = new std::string;  // kept for the process
  static unsigned short lastId = 0;
  const char* name = UserTimeLocaleName();
  std::lock_guard<std::mutex> lock(mutex);
  if (lastId == 0 || *lastName != name) {
    *lastName = name;
    lastId = LangIDForLocaleName(name);
  }
  return lastId;
}

// UTF-8 to the process locale's code set; false when a character has no
// form there.
bool ToProcessCodeSet(const std::string& utf8, std::string* out) {
  bool ascii = true;
  for (unsigned char c : utf8) ascii = ascii && c < 0x80;
  const char* codeset = nl_langinfo(CODESET);
  if (ascii || strcmp(codeset, "UTF-8") == 0) {
    *out = utf8;
    return true;
  }
  iconv_t cd = iconv_open(codeset, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::vector<char> buffer(utf8.size() * 4 + 16);
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* o = buffer.data();
  size_t outLeft = buffer.size();
  size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  bool ok = r != static_cast<size_t>(-1) && inLeft == 0;
  if (ok) ok = iconv(cd, nullptr, nullptr, &o, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!ok) return false;
  out->assign(buffer.data(), static_cast<size_t>(o - buffer.data()));
  return true;
}

}  // namespace

bool SetProcessLocale(const char* name) {
  setlocale(LC_ALL, nullptr);
  return setlocale(LC_ALL, name) != nullptr;
}

std::string DefaultLanguageAbbreviation() {
  std::string text;
  if (!LocaleInfoUtf8(kUserDefault, kSAbbrevLangName, &text)) text.clear();
  return text;
}

bool FixedTextsFollowProcessLocale() { return true; }

const char* LanguageAbbreviation(unsigned short langId, unsigned* ansiCodePage) {
  const PrimaryLanguage* primary = nullptr;
  for (const PrimaryLanguage& p : kPrimaries) {
    if (p.primary == (langId & 0x3FF)) primary = &p;
  }
  if (primary == nullptr) return nullptr;
  *ansiCodePage = primary->codePage;
  for (const Territory& t : kTerritories) {
    if (t.langId == langId) {
      if (t.codePage != 0) *ansiCodePage = t.codePage;
      return t.abbreviation;
    }
  }
  return primary->abbreviation;
}

const char* UserTimeLocaleName() {
  for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* v = getenv(var);
    if (v != nullptr && *v != '\0') return v;
  }
  return "C";
}

bool LocaleInfoUtf8(unsigned long lcid, unsigned long item, std::string* text) {
  unsigned short langId = 0;
  std::string icuLocale;
  if (!Resolve(lcid, &langId, &icuLocale)) return false;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_cache == nullptr) g_cache = new std::map<unsigned short, ItemMap>;  // kept for the process
  auto it = g_cache->find(langId);
  if (it == g_cache->end()) {
    ItemMap items;
    if (!BuildItems(icuLocale.c_str(), langId, &items)) return false;
    it = g_cache->emplace(langId, std::move(items)).first;
  }
  auto found = it->second.find(item);
  if (found == it->second.end()) return false;
  *text = found->second;
  return true;
}

long GetLocaleInfoText(unsigned long lcid, unsigned long type, char* buffer, int size) {
  if (size < 0 || (size > 0 && buffer == nullptr)) return 0;
  if (size > 0) buffer[0] = '\0';
  // The converted texts are kept per locale, code set and item, since date
  // formatting asks for the same items before every formatting.
  struct Converted {
    bool ok;
    std::string text;
  };
  static std::mutex mutex;
  static auto* cache = new std::map<std::string, Converted>;  // kept for the process
  unsigned short langId = LangIdOf(lcid);
  std::string key =
      std::string(nl_langinfo(CODESET)) + "/" + std::to_string(langId) + "/" + std::to_string(type);
  Converted converted{false, std::string()};
  {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = cache->find(key);
    if (it != cache->end()) converted = it->second;
  }
  if (converted.text.empty() && !converted.ok) {
    std::string utf8;
    converted.ok = LocaleInfoUtf8(langId, type, &utf8) && ToProcessCodeSet(utf8, &converted.text);
    // Only answers are kept: an item that failed is asked again next time.
    if (converted.ok) {
      std::lock_guard<std::mutex> lock(mutex);
      cache->emplace(key, converted);
    }
  }
  if (!converted.ok) return 0;
  long needed = static_cast<long>(converted.text.size()) + 1;
  if (size == 0) return needed;
  if (needed > size) return 0;
  memcpy(buffer, converted.text.c_str(), static_cast<size_t>(needed));
  return needed;
}

}  // namespace gnutil::platform
