// Character-aligned searching and copying inside narrow text, by the code-set
// rules of the current code set. The string and list classes use these where
// a delimiter must never match inside a multibyte character.
#ifndef GNUTIL_SRC_GENUTIL_TEXTSCAN_H
#define GNUTIL_SRC_GENUTIL_TEXTSCAN_H

#include <stddef.h>

namespace gnutil {

// The first occurrence of sought in text that starts on a character boundary
// and covers whole characters only; null when there is none. An empty sought
// text is found at the start. Null text: null; null sought: text.
const char* FindAligned(const char* text, const char* sought);

// The number of bytes of text (at most n, and not beyond its NUL) that end on
// a character boundary: a character that byte n would split is left out.
size_t AlignedPrefix(const char* text, size_t n);

// strcoll of two narrow texts in the process locale; null counts as empty.
int CollateNarrow(const char* a, const char* b);

}  // namespace gnutil

#endif  // GNUTIL_SRC_GENUTIL_TEXTSCAN_H
