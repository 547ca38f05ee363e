// Filling a locale record as a whole: from the system (Init, the two
// control-panel refreshes), from an initialisation file
// (LoadIniDateTimeSettings), from the caller (Customize), and the
// process-wide record.
//
// Precedence, lowest first: built-in values, the system, the file, the
// caller. A customized record is left alone by the automatic sources except
// Init itself, which always re-reads the system (GetDefaults relies on that).
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "genutil/mbutil_internal.h"
#include "gnutil/lclocale.h"
#include "gnutil/localeinfo.h"
#include "gnutil/mbstring.h"
#include "gnutil/osconfig.h"
#include "gnutil/ossysinfo.h"
#include "locale/lclocale_internal.h"
#include "platform/locale.h"
#include "platform/localeinfo.h"

namespace gnutil {
namespace {

namespace item = lcitem;

long g_eraSource = LC_ERAS_CLASSIC;
testing::LocaleInfoQuery g_query = nullptr;
int g_olderSystem = -1;

bool IsWin95() { return g_olderSystem >= 0 ? g_olderSystem != 0 : OSInfo::OSisWin95() != 0; }
bool IsWin32s() { return g_olderSystem >= 0 ? g_olderSystem != 0 : OSInfo::OSisWin32s() != 0; }

struct FixedText {
  const char* sjis;
  const char* utf8;
};

// Indexed by JapaneseText.
const FixedText kFixedTexts[] = {
    {"\x8C\xDF\x91\x4F", "\xE5\x8D\x88\xE5\x89\x8D"},  // 午前
    {"\x8C\xDF\x8C\xE3", "\xE5\x8D\x88\xE5\xBE\x8C"},  // 午後
    {"\x94\x4E", "\xE5\xB9\xB4"},                      // 年
    {"\x8C\x8E", "\xE6\x9C\x88"},                      // 月
    {"\x93\xFA", "\xE6\x97\xA5"},                      // 日
    {"\x8E\x9E", "\xE6\x99\x82"},                      // 時
    {"\x95\xAA", "\xE5\x88\x86"},                      // 分
    {"\x95\x62", "\xE7\xA7\x92"},                      // 秒
    {"\x95\xBD\x90\xAC", "\xE5\xB9\xB3\xE6\x88\x90"},  // 平成
    {"\x8F\xBA\x98\x61", "\xE6\x98\xAD\xE5\x92\x8C"},  // 昭和
    {"\x97\xDF\x98\x61", "\xE4\xBB\xA4\xE5\x92\x8C"},  // 令和
};

// One query of the system's locale information; false when it fails.
bool Query(unsigned long id, unsigned long what, char* buffer, int size) {
  buffer[0] = '\0';
  long r = g_query != nullptr ? g_query(id, what, buffer, size)
                              : OSGetLocaleInfo(id, what, buffer, size);
  return r != 0;
}

}  // namespace

namespace testing {
void SetLocaleInfoQuery(LocaleInfoQuery query) { g_query = query; }
void SetOlderSystem(int older) { g_olderSystem = older; }
}  // namespace testing

namespace {

// The text in the process locale's code set, or empty when it cannot hold
// every character.
std::string FromUtf8(const char* utf8) {
  std::string out;
  char buffer[16];
  const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
  while (*p != 0) {
    // The table holds only three-byte sequences (CJK characters).
    uint32_t cp = (static_cast<uint32_t>(p[0] & 0x0F) << 12) |
                  (static_cast<uint32_t>(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    p += 3;
    if (platform::MbCurMax() > static_cast<int>(sizeof buffer)) return std::string();
    int n = platform::CodePointToMb(buffer, cp);
    if (n <= 0) return std::string();
    out.append(buffer, static_cast<size_t>(n));
  }
  return out;
}

}  // namespace

CGNString FixedJapaneseText(JapaneseText which) {
  const FixedText& text = kFixedTexts[static_cast<int>(which)];
  // Shift-JIS is both the table's form and, where the platform has it as
  // the process code set, the answer.
  if (platform::FixedTextsFollowProcessLocale() && platform::AnsiCodePage() != 932) {
    std::string converted = FromUtf8(text.utf8);
    if (!converted.empty()) return CGNString(converted.c_str());
  }
  return CGNString(text.sjis);
}

CEmperor* NewEraTable(long source) {
  if (source == LC_ERAS_CURRENT) {
    CEmperor* table = new CEmperor[4];
    table[0].Set(FixedJapaneseText(JapaneseText::kReiwa), 2019, 0);
    table[0].SetFirstDay(5, 1);
    // 平成 ran to 30 April 2019, so 2019 belongs to both eras: whole-year
    // look-ups find the newer one first, date look-ups tell them apart.
    table[1].Set(FixedJapaneseText(JapaneseText::kHeisei), 1989, 31);
    table[2].Set(FixedJapaneseText(JapaneseText::kShowa), 1926, 63);
    return table;
  }
  CEmperor* table = new CEmperor[3];
  table[0].Set(FixedJapaneseText(JapaneseText::kHeisei), 1989, 0);
  table[1].Set(FixedJapaneseText(JapaneseText::kShowa), 1926, 63);
  return table;
}

}  // namespace gnutil

using gnutil::FixedJapaneseText;
using gnutil::JapaneseText;
namespace item = gnutil::lcitem;

void CLCLocale::QueryText(unsigned long what, CGNString& field, int size) {
  char buffer[256];
  if (gnutil::Query(m_localeId, what, buffer, size)) field = buffer;
}

void CLCLocale::QueryNumber(unsigned long what, long& field, int size) {
  char buffer[256];
  if (gnutil::Query(m_localeId, what, buffer, size)) field = atoi(buffer);
}

void CLCLocale::QueryMarkers() {
  QueryText(item::kS1159, m_amString);
  QueryText(item::kS2359, m_pmString);
}

unsigned char CLCLocale::Init() {
  m_langClass = LANGCLASS_UNKNOWN;
  m_langName = LANGNAME_UNKNOWN;

  char buffer[256];
  if (m_localeId != item::kUserDefault &&
      gnutil::Query(m_localeId, item::kSAbbrevLangName, buffer, sizeof buffer)) {
    m_langAbbrev = buffer;
  } else {
    // Where the system has no profile setting of its own (Linux), the
    // user's locale stands in for it; a value in the profile still wins.
    std::string fallback = gnutil::platform::DefaultLanguageAbbreviation();
    OSGetSystemConfig(m_langAbbrev, CGNString(fallback.c_str()), CGNString("intl"),
                      CGNString("sLanguage"));
  }

  int languageClass = 0, languageName = 0;
  gnutil::ClassifyLanguage(m_langAbbrev, &languageClass, &languageName);
  m_langClass = static_cast<::languageClass>(languageClass);
  m_langName = static_cast<::languageName>(languageName);
  m_multiByte = m_langClass >= 10 && m_langClass <= 13 ? 1 : 0;

  QueryNumber(item::kIOptionalCalendar, m_optionalCalendar);
  QueryText(item::kSDate, m_dateSep);
  QueryText(item::kSTime, m_timeSep);
  QueryText(item::kSTimeFormat, m_timeFormat);
  QueryText(item::kSShortDate, m_shortDateFormat);
  QueryText(item::kSLongDate, m_longDateFormat);
  QueryNumber(item::kIDate, m_shortDateOrder);
  QueryNumber(item::kILDate, m_longDateOrder);
  QueryNumber(item::kITime, m_24HourTime);
  QueryNumber(item::kITimeMarkPosn, m_ampmPrefix);
  QueryNumber(item::kICentury, m_century);
  QueryNumber(item::kITLZero, m_hourLeadingZero);
  QueryNumber(item::kIDayLZero, m_dayLeadingZero);
  QueryNumber(item::kIMonLZero, m_monthLeadingZero);
  QueryText(item::kSGrouping, m_decNumDigitsInGroup);
  QueryNumber(item::kINegNumber, m_decNegativeNumFormat);
  long leadingZero = m_decDisplayLeadingZeroes;
  QueryNumber(item::kILZero, leadingZero, 3);
  m_decDisplayLeadingZeroes = static_cast<unsigned char>(leadingZero & 0xFF);
  QueryText(item::kSDecimal, m_decDecimalSymbol);
  QueryText(item::kSThousand, m_decDigitGroupSeparator);

  if (gnutil::IsWin95() && m_langName == LANGNAME_JAPANESE) {
    m_amString = FixedJapaneseText(JapaneseText::kAm);
    m_pmString = FixedJapaneseText(JapaneseText::kPm);
  } else {
    QueryMarkers();
  }

  for (int i = 0; i < 7; ++i) {
    QueryText(item::kSDayName1 + i, m_dayNames[i]);
    QueryText(item::kSAbbrevDayName1 + i, m_dayAbbrevs[i]);
  }
  for (int i = 0; i < 12; ++i) {
    QueryText(item::kSMonthName1 + i, m_monthNames[i]);
    QueryText(item::kSAbbrevMonthName1 + i, m_monthAbbrevs[i]);
  }
  QueryText(item::kSMonthName13, m_monthNames[12]);
  QueryText(item::kSAbbrevMonthName13, m_monthAbbrevs[12]);

  m_longOrShort = 0;
  m_calendarType = 1;

  CEmperor* eras = gnutil::NewEraTable(gnutil::g_eraSource);
  delete[] m_pEmperors;
  m_pEmperors = eras;

  // A new record follows a process-wide record that the caller customized.
  if (!m_customized) {
    CLCGlobalLocale* global = CLCGlobalLocale::Instance();
    if (global != this && global->Customized()) {
      CGNString timeFormat, shortDateFormat, longDateFormat, grouping, decimalSymbol, negativeSign,
          groupSeparator, localeName;
      long longOrShort = 0, negativeNumFormat = 0;
      unsigned char leadingZeroes = 0;
      global->GetDefaults(timeFormat, shortDateFormat, longDateFormat, longOrShort, grouping,
                          negativeNumFormat, leadingZeroes, decimalSymbol, negativeSign,
                          groupSeparator, localeName);
      Customize(timeFormat, shortDateFormat, longDateFormat, longOrShort, grouping,
                negativeNumFormat, leadingZeroes, decimalSymbol, negativeSign, groupSeparator,
                localeName);
    }
  }
  return m_langAbbrev.IsEmpty() ? 0 : 1;
}

void CLCLocale::SetLocale(CGNString name) {
  m_localeName = name;
  // The code-set module sets the process locale to the user's default on
  // its first use; let that happen now, not after the switch.
  gnutil::CurrentCodeSet();
  gnutil::platform::SetProcessLocale(name);
  m_localeId = item::kUserDefault;
  long count = LocaleInfo::GetLocaleInfoCount();
  for (long i = 0; i < count; ++i) {
    LocaleInfo* entry = LocaleInfo::GetLocaleInfoItem(i);
    if (entry != nullptr && entry->m_name.IsEqualNoCase(name)) {
      m_localeId = entry->m_localeId;
      break;
    }
  }
  Init();
}

void CLCLocale::Customize(CGNString timeFormat, CGNString shortDateFormat, CGNString longDateFormat,
                          long longOrShort, CGNString numDigitsInGroup, long negativeNumFormat,
                          unsigned char displayLeadingZeroes, CGNString decimalSymbol,
                          CGNString negativeSign, CGNString digitGroupSeparator,
                          CGNString localeName) {
  if (strcmp(localeName, m_localeName) != 0) SetLocale(localeName);
  if (!timeFormat.IsEmpty()) {
    m_timeFormat = timeFormat;
    m_24HourTime = strchr(m_timeFormat, 'H') != nullptr ? 1 : 0;
  }
  if (!shortDateFormat.IsEmpty()) m_shortDateFormat = shortDateFormat;
  if (!longDateFormat.IsEmpty()) m_longDateFormat = longDateFormat;
  m_longOrShort = longOrShort;
  m_decNumDigitsInGroup = numDigitsInGroup;
  m_decDisplayLeadingZeroes = displayLeadingZeroes;
  m_decNegativeNumFormat = negativeNumFormat;
  if (!decimalSymbol.IsEmpty()) m_decDecimalSymbol = decimalSymbol;
  if (!negativeSign.IsEmpty()) m_decNegativeSign = negativeSign;
  if (!digitGroupSeparator.IsEmpty()) m_decDigitGroupSeparator = digitGroupSeparator;
  m_customized = 1;
}

void CLCLocale::GetDefaults(CGNString& timeFormat, CGNString& shortDateFormat,
                            CGNString& longDateFormat, long& longOrShort,
                            CGNString& numDigitsInGroup, long& negativeNumFormat,
                            unsigned char& displayLeadingZeroes, CGNString& decimalSymbol,
                            CGNString& negativeSign, CGNString& digitGroupSeparator,
                            CGNString& localeName) {
  Init();
  timeFormat = m_timeFormat;
  shortDateFormat = m_shortDateFormat;
  longDateFormat = m_longDateFormat;
  longOrShort = m_longOrShort;
  numDigitsInGroup = m_decNumDigitsInGroup;
  negativeNumFormat = m_decNegativeNumFormat;
  displayLeadingZeroes = m_decDisplayLeadingZeroes;
  decimalSymbol = m_decDecimalSymbol;
  negativeSign = m_decNegativeSign;
  digitGroupSeparator = m_decDigitGroupSeparator;
  localeName = m_localeName;
}

void CLCLocale::InitControlPanelDateSettings() {
  if (m_customized) return;
  QueryText(item::kSDate, m_dateSep);
  QueryText(item::kSShortDate, m_shortDateFormat);
  QueryText(item::kSLongDate, m_longDateFormat);
  QueryNumber(item::kIDate, m_shortDateOrder);
  QueryNumber(item::kILDate, m_longDateOrder);
  QueryNumber(item::kICentury, m_century);
  QueryNumber(item::kIDayLZero, m_dayLeadingZero);
  QueryNumber(item::kIMonLZero, m_monthLeadingZero);
}

void CLCLocale::InitControlPanelTimeSettings() {
  if (m_customized) return;
  QueryText(item::kSTime, m_timeSep);
  QueryText(item::kSTimeFormat, m_timeFormat);
  QueryNumber(item::kITime, m_24HourTime);
  QueryNumber(item::kITimeMarkPosn, m_ampmPrefix);
  QueryNumber(item::kITLZero, m_hourLeadingZero);
  // Older systems give no Japanese markers of their own; Init set fixed ones.
  bool olderSystem = gnutil::IsWin95() || gnutil::IsWin32s();
  if (!(olderSystem && m_langName == LANGNAME_JAPANESE)) QueryMarkers();
}

void CLCLocale::LoadIniDateTimeSettings(char* section, CGNString& file) {
  if (m_customized) return;
  CGNString sectionName(section != nullptr ? section : "");
  auto text = [&](const char* key, CGNString& field) {
    CGNString value;
    OSGetConfig(value, field, sectionName, CGNString(key), file);
    field = value;
  };
  auto number = [&](const char* key, long& field) {
    long value = 0;
    OSGetConfig(value, field, sectionName, CGNString(key), file);
    field = value;
  };
  // An old-style format is converted once; the key then holds "0" and the
  // converted format lives under the new key.
  auto migrate = [&](const char* oldKey, const char* newKey, bool isLong) {
    CGNString old;
    OSGetConfig(old, CGNString(""), sectionName, CGNString(oldKey), file);
    if (old.IsEmpty() || old == "0") return;
    if (isLong)
      ConvertOldImportLongDateFormat(old);
    else
      ConvertOldImportShortDateFormat(old);
    OSSetConfig(0, sectionName, CGNString(oldKey), file);
    OSSetConfig(isLong ? m_longDateFormat : m_shortDateFormat, sectionName, CGNString(newKey),
                file);
  };

  text("DateSeparator", m_dateSep);
  migrate("LongDateFormat", "NewLongDateFormat", true);
  migrate("ShortDateFormat", "NewShortDateFormat", false);
  text("newLongDateFormat", m_longDateFormat);
  text("newShortDateFormat", m_shortDateFormat);
  number("CalendarType", m_calendarType);
  number("DateDisplayMode", m_longOrShort);
  text("TimeSeparator", m_timeSep);
  text("AMString", m_amString);
  text("PMString", m_pmString);
  number("24HourTimeFormat", m_24HourTime);
  number("AMPMPrefix", m_ampmPrefix);
}

void CLCLocale::ConvertOldImportLongDateFormat(CGNString& old) {
  static const char kDayPrefix[] = "ddd' ";
  const char* text = old;
  const char* found = mbstrstr(text, kDayPrefix);
  if (found == text) {
    char next = text[sizeof kDayPrefix - 1];
    if (next == 'd')
      m_longDateFormat = "dddd, d MMMM, yyyy";
    else if (next == 'y')
      m_longDateFormat = "dddd, yyyy MMMM d";
    else
      m_longDateFormat = "dddd, MMMM d, yyyy";
  } else {
    m_longDateFormat = "dddd, MMMM d, yyyy";
  }
}

void CLCLocale::ConvertOldImportShortDateFormat(CGNString& old) {
  CGNString sep = m_dateSep;
  CGNString result;
  switch (old.GetAt(0)) {
    case 'd':
      result = "d";
      result += sep;
      result += "M";
      result += sep;
      result += "yy";
      break;
    case 'y':
      result = "yy";
      result += sep;
      result += "M";
      result += sep;
      result += "d";
      break;
    default:
      result = "M";
      result += sep;
      result += "d";
      result += sep;
      result += "yy";
      break;
  }
  m_shortDateFormat = result;
}

unsigned char CLCLocale::SetEraSource(long source) {
  if (source != LC_ERAS_CLASSIC && source != LC_ERAS_CURRENT) return 0;
  gnutil::g_eraSource = source;
  return 1;
}

long CLCLocale::GetEraSource() { return gnutil::g_eraSource; }

CLCGlobalLocale* CLCGlobalLocale::m_pInstance = nullptr;

CLCGlobalLocale::CLCGlobalLocale() = default;

CLCGlobalLocale::CLCGlobalLocale(const CLCGlobalLocale& other) = default;

CLCGlobalLocale& CLCGlobalLocale::operator=(const CLCGlobalLocale& other) = default;

CLCGlobalLocale* CLCGlobalLocale::Instance() {
  if (m_pInstance == nullptr) {
    m_pInstance = new CLCGlobalLocale;
    m_pInstance->Init();
  }
  return m_pInstance;
}

void CLCGlobalLocale::Free() {
  delete m_pInstance;
  m_pInstance = nullptr;
}
