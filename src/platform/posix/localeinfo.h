// POSIX-only: locale information in the Windows form, from ICU's CLDR data.
//
// Linux has no locale-information service of its own. GetLocaleInfoText
// answers the Windows items (LOCALE_SSHORTDATE, LOCALE_IDATE, ...) for a
// Windows locale identifier from ICU: the patterns are converted to the
// Windows picture notation and the numeric items derived from them. The
// three-letter language abbreviations and the ANSI code pages, which CLDR
// does not have, come from a table of our own beside the language-id table.
#ifndef GNUTIL_SRC_PLATFORM_POSIX_LOCALEINFO_H
#define GNUTIL_SRC_PLATFORM_POSIX_LOCALEINFO_H

#include <string>

namespace gnutil::platform {

// An ICU date or time pattern (UTF-8) in the Windows picture notation:
// y and yyy+ become yyyy, weekdays ddd/dddd, a tt, literal letters quoted
// (other literal text, CJK characters included, stays as it is, as Windows
// gives it); zones and fractions of seconds are dropped.
std::string WindowsPicture(const std::string& icuPattern);

// The letters that are fields in either notation: ASCII letters, whatever
// the locale.
inline bool IsPatternLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The text of one item for a locale identifier, UTF-8. False when the
// identifier is unknown or the item is not one we answer.
bool LocaleInfoUtf8(unsigned long lcid, unsigned long item, std::string* text);

// Windows' three-letter abbreviation of a language id ("ENU", "JPN") and its
// ANSI code page (0 for languages that have only Unicode); null when the
// primary language is not in the table.
const char* LanguageAbbreviation(unsigned short langId, unsigned* ansiCodePage);

// The user's locale for locale information (LOCALE_USER_DEFAULT): LC_ALL,
// LC_TIME, LANG, the first set and not empty; "C" when none is.
const char* UserTimeLocaleName();

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_POSIX_LOCALEINFO_H
