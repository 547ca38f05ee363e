// The platform seam of the locale records: locale information, installed
// locales, switching the process locale by name, and where the user's
// language abbreviation and the fixed Japanese texts come from.
#ifndef GNUTIL_SRC_PLATFORM_LOCALEINFO_H
#define GNUTIL_SRC_PLATFORM_LOCALEINFO_H

#include <string>

namespace gnutil::platform {

// GetLocaleInfoA's contract: the text of one item for a locale identifier in
// the process's code set; the length with its terminator, or with size 0
// the length needed; 0 on failure (also when the buffer is too small).
long GetLocaleInfoText(unsigned long lcid, unsigned long type, char* buffer, int size);

// Calls visit once per installed locale, in the platform's order, with its
// locale identifier and the name setlocale knows it by. On Windows the name
// is empty: callers build it from the locale's items.
using InstalledLocaleVisitor = void (*)(void* context, unsigned long id, const char* name);
void EnumerateInstalledLocales(InstalledLocaleVisitor visit, void* context);

// Asks for the process locale (the answer is not used), then sets every
// category to name. False when the runtime refuses the name.
bool SetProcessLocale(const char* name);

// The user's language abbreviation when the system profile does not set
// one: empty on Windows (which always sets it), the abbreviation of the
// user's locale on Linux (JPN in ja_JP.*).
std::string DefaultLanguageAbbreviation();

// Whether the locale records deliver their fixed Japanese texts in the
// process locale's code set where it can hold them (Linux), or always as
// Shift-JIS (Windows).
bool FixedTextsFollowProcessLocale();

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_LOCALEINFO_H
