// The initialisation-file engine: lookups and edits on the text of a file.
//
// This is the profile behaviour that programs see on Windows, written once so
// that the Linux store can offer it and tests can hold it against the real
// thing:
//   - a line "[name]" opens a section; "key=value" is an entry; a line whose
//     first non-blank byte is ';' is a comment; any other line is a key
//     without a value, which reads as missing but hides later entries of
//     its name;
//   - section and key names compare without regard to the case of ASCII
//     letters (bytes of multibyte characters compare exactly), and blanks
//     around names and values do not count;
//   - a value enclosed in a matching pair of quotes (' or ") loses them;
//   - only the first section of a name is searched, and its first entry of
//     the key wins; lines before the first section form the section with the
//     empty name;
//   - a line starting with '[' but holding no ']' opens no section;
//   - an edit changes one line (or adds one or a section at the end) and keeps
//     every other byte of the file, comments, order and line ends included.
// The functions work on bytes in memory; reading, locking and replacing the
// file belong to the store (platform/posix/config.cpp). Characters are
// stepped over with the caller's step (its current code set).
#ifndef GNUTIL_SRC_PLATFORM_INI_H
#define GNUTIL_SRC_PLATFORM_INI_H

#include <string>
#include <string_view>

#include "platform/charstep.h"

namespace gnutil::ini {

// True when a and b are the same bytes but for the case of ASCII letters
// outside multibyte characters.
bool EqualNoCase(std::string_view a, std::string_view b, CharStep step);

// True when a and b name the same section or key: EqualNoCase after trimming
// blanks.
bool NamesEqual(std::string_view a, std::string_view b, CharStep step);

// Looks key up in section. True with the value (trimmed, unquoted) in *value
// when the file has the entry; false leaves *value untouched.
bool Find(std::string_view text, std::string_view section, std::string_view key, std::string* value,
          CharStep step);

// The file text with key set to value in section, creating the entry or the
// section at need. False, with *out untouched, when the write could not be
// read back as written: a line break in any of the three, or a key holding
// '=' or starting with '[' or ';'.
bool Set(std::string_view text, std::string_view section, std::string_view key,
         std::string_view value, std::string* out, CharStep step);

}  // namespace gnutil::ini

#endif  // GNUTIL_SRC_PLATFORM_INI_H
