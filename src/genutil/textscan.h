// Character-aligned cuts of narrow text by the code-set rules of the current
// code set, for the string class's byte operations (searching is mbstrstr's).
#ifndef GNUTIL_SRC_GENUTIL_TEXTSCAN_H
#define GNUTIL_SRC_GENUTIL_TEXTSCAN_H

#include <stddef.h>

namespace gnutil {

// The number of bytes of text (at most n, and not beyond its NUL) that end on
// a character boundary: a character that byte n would split is left out.
size_t AlignedPrefix(const char* text, size_t n);

}  // namespace gnutil

#endif  // GNUTIL_SRC_GENUTIL_TEXTSCAN_H
