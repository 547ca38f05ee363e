// Internals of the code-set module, shared with the string class and tests.
#ifndef GNUTIL_SRC_GENUTIL_MBUTIL_INTERNAL_H
#define GNUTIL_SRC_GENUTIL_MBUTIL_INTERNAL_H

namespace gnutil {

// The code set that a process-locale name stands for.
//
// Windows-style names ("Japanese_Japan.932") go by their language prefix:
// "ja"/"jpn" Shift-JIS, "ko" KSC 5601-87, "zh_tw" Big5, other "zh" GB.
// POSIX names carry their real encoding after the dot ("ja_JP.eucjp"); where
// that encoding is one of ours it wins over the prefix, because the string
// class converts with the locale's real encoding and the byte rules must agree
// with it. A UTF-8 locale gives CODESET_UTF8 (a POSIX name; Windows names
// carry code pages, and 65001 is not one of those seen here).
int CodeSetForLocaleName(const char* name);

// The current code set, initialising the module first when needed.
int CurrentCodeSet();

// The current code set as it stands, without initialising: the conversions
// between Unix and Windows coding read it this way.
int CurrentCodeSetNoInit();

// The multibyte flag, initialising the module first when needed. When it is
// clear the multibyte string functions fall back to the plain C functions.
bool MultibyteFlag();

}  // namespace gnutil

#endif  // GNUTIL_SRC_GENUTIL_MBUTIL_INTERNAL_H
