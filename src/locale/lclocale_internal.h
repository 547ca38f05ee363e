// Internal pieces shared by the locale record's sources.
#ifndef GNUTIL_SRC_LOCALE_LCLOCALE_INTERNAL_H
#define GNUTIL_SRC_LOCALE_LCLOCALE_INTERNAL_H

#include "gnutil/emperor.h"
#include "gnutil/gnstring.h"

class LocaleInfo;

// Destroys an installed-locale entry (their destructor is private: the table
// owns them). For the table's Free and for tests of copies.
struct LocaleInfoAccess {
  static void Destroy(LocaleInfo* entry);
};

namespace gnutil {

// Locale-information items, by the system's numbers (LOCALE_SABBREVLANGNAME
// and so on), and LOCALE_USER_DEFAULT.
namespace lcitem {
constexpr unsigned long kUserDefault = 0x400;
constexpr unsigned long kSAbbrevLangName = 0x3;
constexpr unsigned long kSAbbrevCtryName = 0x7;
constexpr unsigned long kSDecimal = 0xE;
constexpr unsigned long kSThousand = 0xF;
constexpr unsigned long kSGrouping = 0x10;
constexpr unsigned long kILZero = 0x12;
constexpr unsigned long kSDate = 0x1D;
constexpr unsigned long kSTime = 0x1E;
constexpr unsigned long kSShortDate = 0x1F;
constexpr unsigned long kSLongDate = 0x20;
constexpr unsigned long kIDate = 0x21;
constexpr unsigned long kILDate = 0x22;
constexpr unsigned long kITime = 0x23;
constexpr unsigned long kICentury = 0x24;
constexpr unsigned long kITLZero = 0x25;
constexpr unsigned long kIDayLZero = 0x26;
constexpr unsigned long kIMonLZero = 0x27;
constexpr unsigned long kS1159 = 0x28;
constexpr unsigned long kS2359 = 0x29;
constexpr unsigned long kSDayName1 = 0x2A;          // Monday; 0x30 Sunday
constexpr unsigned long kSAbbrevDayName1 = 0x31;    // to 0x37
constexpr unsigned long kSMonthName1 = 0x38;        // to 0x43
constexpr unsigned long kSAbbrevMonthName1 = 0x44;  // to 0x4F
constexpr unsigned long kSEngLanguage = 0x1001;
constexpr unsigned long kSEngCountry = 0x1002;
constexpr unsigned long kSTimeFormat = 0x1003;
constexpr unsigned long kIDefaultAnsiCodePage = 0x1004;
constexpr unsigned long kITimeMarkPosn = 0x1005;
constexpr unsigned long kIOptionalCalendar = 0x100B;
constexpr unsigned long kSMonthName13 = 0x100E;
constexpr unsigned long kSAbbrevMonthName13 = 0x100F;
constexpr unsigned long kINegNumber = 0x1010;
}  // namespace lcitem

// The locale record's fixed Japanese texts.
enum class JapaneseText {
  kAm,      // 午前
  kPm,      // 午後
  kYear,    // 年
  kMonth,   // 月
  kDay,     // 日
  kHour,    // 時
  kMinute,  // 分
  kSecond,  // 秒
  kHeisei,  // 平成
  kShowa,   // 昭和
  kReiwa,   // 令和
};

// The text in Shift-JIS, or in the process locale's code set where the
// platform delivers fixed texts that way and the code set holds it.
CGNString FixedJapaneseText(JapaneseText which);

// A new era table for the source (LC_ERAS_...), ended by an empty record;
// released with delete[].
CEmperor* NewEraTable(long source);

// Language class and name for an abbreviated language name ("JPN"); both 0
// when the table has no row for it.
void ClassifyLanguage(const char* abbreviation, int* languageClass, int* languageName);

// Entry index of a name table of count entries (month and day names). The
// tables are read with no range test of the caller's own; an index outside
// them gives an empty text rather than reading past the array.
const CGNString& NameAt(const CGNString* table, long count, long index);

namespace testing {
// Replaces the system's locale information (OSGetLocaleInfo) for the locale
// records; null restores it.
using LocaleInfoQuery = long (*)(unsigned long id, unsigned long what, char* buffer, int size);
void SetLocaleInfoQuery(LocaleInfoQuery query);
// Makes the records see an older system (OSisWin95 and OSisWin32s true) or
// not; -1 asks the system again.
void SetOlderSystem(int older);
}  // namespace testing

}  // namespace gnutil

#endif  // GNUTIL_SRC_LOCALE_LCLOCALE_INTERNAL_H
