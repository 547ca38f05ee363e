// The platform seam for the user's language.
//
// Windows has a user default language id of its own; Linux derives one from
// the user's locale through the table in src/platform/posix/langid.h, which the
// locale subsystem shares so that both agree on what a locale name means.
#ifndef GNUTIL_SRC_PLATFORM_LANGID_H
#define GNUTIL_SRC_PLATFORM_LANGID_H

namespace gnutil::platform {

// The user's default language id (primary language in the low 10 bits,
// sub-language above), as GetUserDefaultLangID gives it.
unsigned short UserDefaultLangID();

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_LANGID_H
