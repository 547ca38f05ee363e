// Character steps and character-aligned cuts of narrow text by the rules of
// the current code set, for the string class's byte operations (searching is
// mbstrstr's) and for the text code that needs whole characters.
#ifndef GNUTIL_SRC_GENUTIL_TEXTSCAN_H
#define GNUTIL_SRC_GENUTIL_TEXTSCAN_H

#include <stddef.h>

namespace gnutil {

// Bytes of the character at s in the current code set, of the n > 0 bytes
// there: at least 1 (an invalid byte is a character of its own). A byte below
// 0x80 is one character; a valid start that the n bytes cut short gives the
// character's whole length. This is the one character step of the library's
// internal text code, and the one its ground floor is handed
// (platform/charstep.h).
size_t CharLength(const char* s, size_t n);

// The number of bytes of text (at most n, and not beyond its NUL) that end on
// a character boundary: a character that byte n would split is left out.
size_t AlignedPrefix(const char* text, size_t n);

}  // namespace gnutil

#endif  // GNUTIL_SRC_GENUTIL_TEXTSCAN_H
