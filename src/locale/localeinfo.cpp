// The table of installed locales and the locale handle classes.
//
// Each installed locale is kept only when the five items that describe it
// can be read; where the platform gives no name of its own (Windows) the
// name is built from them as the runtime's setlocale accepts it.
#include "gnutil/localeinfo.h"

#include <string>

#include "gnutil/ossysinfo.h"
#include "locale/lclocale_internal.h"
#include "platform/localeinfo.h"

CGNList LocaleInfo::m_localeInfoList(10, 10);

namespace {
// When the library is unloaded the table's entries go with it. Defined after
// the list, so it runs before the list itself is destroyed.
struct FreeTableAtUnload {
  ~FreeTableAtUnload() { LocaleInfo::Free(); }
} g_freeTableAtUnload;
}  // namespace

void LocaleInfoAccess::Destroy(LocaleInfo* entry) { delete entry; }

namespace gnutil {
namespace {

// The item's text, asked for its length first as the system's callers do; a
// length of 0 is a failure.
bool ReadItem(unsigned long id, unsigned long what, CGNString* text) {
  long length = OSGetLocaleInfo(id, what, nullptr, 0);
  if (length <= 0) return false;
  std::string buffer(static_cast<size_t>(length), '\0');
  if (OSGetLocaleInfo(id, what, &buffer[0], static_cast<int>(length)) <= 0) return false;
  *text = buffer.c_str();
  return true;
}

void AddInstalledLocale(void*, unsigned long id, const char* platformName) {
  CGNString language, country, codePage, englishLanguage, englishCountry;
  if (!ReadItem(id, lcitem::kSAbbrevLangName, &language) ||
      !ReadItem(id, lcitem::kSAbbrevCtryName, &country) ||
      !ReadItem(id, lcitem::kIDefaultAnsiCodePage, &codePage) ||
      !ReadItem(id, lcitem::kSEngLanguage, &englishLanguage) ||
      !ReadItem(id, lcitem::kSEngCountry, &englishCountry)) {
    return;
  }
  LocaleInfo* entry = nullptr;
  try {
    entry = new LocaleInfo;  // appends itself
  } catch (...) {
    return;
  }
  entry->m_localeId = id;
  if (platformName != nullptr && *platformName != '\0') {
    entry->m_name = platformName;
  } else {
    entry->m_name = language;
    entry->m_name += "_";
    entry->m_name += country;
    entry->m_name += ".";
    entry->m_name += codePage;
  }
  entry->m_description = englishLanguage;
  entry->m_description += " (";
  entry->m_description += englishCountry;
  entry->m_description += ")";
}

}  // namespace
}  // namespace gnutil

LocaleInfo::LocaleInfo() : m_localeId(0) { m_localeInfoList.AddItem(reinterpret_cast<long>(this)); }

LocaleInfo::LocaleInfo(LocaleInfo const& other)
    : m_name(other.m_name), m_description(other.m_description), m_localeId(other.m_localeId) {}

LocaleInfo& LocaleInfo::operator=(LocaleInfo const& other) {
  if (this != &other) {
    m_name = other.m_name;
    m_description = other.m_description;
    m_localeId = other.m_localeId;
  }
  return *this;
}

LocaleInfo::~LocaleInfo() = default;

long LocaleInfo::GetLocaleInfoCount() {
  if (m_localeInfoList.GetCount() == 0)
    gnutil::platform::EnumerateInstalledLocales(gnutil::AddInstalledLocale, nullptr);
  return m_localeInfoList.GetCount();
}

LocaleInfo* LocaleInfo::GetLocaleInfoItem(long index) {
  if (index < 0 || index >= m_localeInfoList.GetCount()) return nullptr;
  return reinterpret_cast<LocaleInfo*>(m_localeInfoList.GetItem(static_cast<int>(index)));
}

void LocaleInfo::Free() {
  for (int i = 0; i < m_localeInfoList.GetCount(); ++i)
    LocaleInfoAccess::Destroy(reinterpret_cast<LocaleInfo*>(m_localeInfoList.GetItem(i)));
  m_localeInfoList.Free();
}

CLCMoney::CLCMoney() : m_value(0) {}
CLCMoney::~CLCMoney() = default;
CLCMoney& CLCMoney::operator=(const CLCMoney& other) {
  m_value = other.m_value;
  return *this;
}

CLCNumber::CLCNumber() : m_value(0) {}
CLCNumber::~CLCNumber() = default;
CLCNumber& CLCNumber::operator=(const CLCNumber& other) {
  m_value = other.m_value;
  return *this;
}

CLCDecimal::CLCDecimal() = default;
CLCDecimal::~CLCDecimal() = default;
CLCDecimal& CLCDecimal::operator=(const CLCDecimal&) { return *this; }

CLCDateTime::CLCDateTime() : m_value1(0), m_value2(0) {}
CLCDateTime::~CLCDateTime() = default;
CLCDateTime& CLCDateTime::operator=(const CLCDateTime& other) {
  m_value1 = other.m_value1;
  m_value2 = other.m_value2;
  return *this;
}

CGNLocale::CGNLocale() : m_pLocale(new CLCLocale) {}
CGNLocale::CGNLocale(const CGNLocale& other) : m_pLocale(new CLCLocale(*other.m_pLocale)) {}
CGNLocale& CGNLocale::operator=(const CGNLocale& other) {
  if (this != &other) *m_pLocale = *other.m_pLocale;
  return *this;
}
CGNLocale::~CGNLocale() { delete m_pLocale; }

CGNMoney::CGNMoney() : m_pMoney(new CLCMoney) {}
CGNMoney::CGNMoney(const CGNMoney& other) : m_pMoney(new CLCMoney) { *m_pMoney = *other.m_pMoney; }
CGNMoney& CGNMoney::operator=(const CGNMoney& other) {
  *m_pMoney = *other.m_pMoney;
  return *this;
}
CGNMoney::~CGNMoney() { delete m_pMoney; }

CGNNumber::CGNNumber() : m_pNumber(new CLCNumber) {}
CGNNumber::CGNNumber(const CGNNumber& other) : m_pNumber(new CLCNumber) {
  *m_pNumber = *other.m_pNumber;
}
CGNNumber& CGNNumber::operator=(const CGNNumber& other) {
  *m_pNumber = *other.m_pNumber;
  return *this;
}
CGNNumber::~CGNNumber() { delete m_pNumber; }
