// POSIX-only: the table between locale names and Windows language ids.
//
// Linux has no language ids of its own, so the user's default language id is
// read from the user's locale name through this one table. The locale
// subsystem uses the same table to go the other way.
#ifndef GNUTIL_SRC_PLATFORM_POSIX_LANGID_H
#define GNUTIL_SRC_PLATFORM_POSIX_LANGID_H

#include <stddef.h>

namespace gnutil::platform {

struct LanguageEntry {
  const char* locale;  // language_TERRITORY, e.g. "ja_JP"
  unsigned short langId;
};

// The table. For each language the first entry is its main territory, which
// a locale name without (or with an unknown) territory maps to.
const LanguageEntry* LanguageTable(size_t* count);

// Language id for a POSIX locale name ("ja_JP.sjis", "de_AT@euro", "fr").
// C and POSIX give 0x0409; an unknown language 0x0c00 (the custom default).
unsigned short LangIDForLocaleName(const char* name);

// The locale name (language_TERRITORY) of a language id; for an id the table
// lacks, the main territory of its primary language; null when the primary
// language is unknown too.
const char* LocaleNameForLangID(unsigned short langId);

// The user's locale name from the environment: LC_ALL, LC_MESSAGES, LANG,
// the first one set and not empty; "C" when none is.
const char* UserLocaleName();

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_POSIX_LANGID_H
