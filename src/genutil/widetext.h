// Conversion between narrow text in the process locale and 16-bit wide text.
//
// The wide copy of a string is UTF-16 on every platform. Bytes that are not
// valid in the locale are carried through the wide copy as the lone surrogates
// U+DC00 + byte, so that rebuilding the narrow text from the wide copy gives
// back exactly the bytes it came from.
#ifndef GNUTIL_SRC_GENUTIL_WIDETEXT_H
#define GNUTIL_SRC_GENUTIL_WIDETEXT_H

#include <stddef.h>

namespace gnutil {

constexpr size_t kInvalidText = static_cast<size_t>(-1);

// UTF-16 units in the first len bytes of s (up to an embedded NUL), or
// kInvalidText when the bytes are not valid in the process locale.
size_t CountUnits(const char* s, size_t len);

// Converts s into dst (room for cap units) and returns the units written.
// Invalid bytes are escaped one unit each; dst is not NUL-terminated.
size_t ToUnits(unsigned short* dst, size_t cap, const char* s, size_t len);

// Length of a NUL-terminated wide text.
size_t UnitsLength(const unsigned short* w);

// Writes the narrow form of the units up to the first NUL (at most len units)
// into dst, which has room for len * MbCurMax bytes, and returns the bytes
// written. Units with no form in the locale are left out.
size_t ToNarrow(char* dst, const unsigned short* w, size_t len);

// The narrow form of the character at w[0] (w[1] completes a surrogate pair);
// out has room for MbCurMax bytes. Returns its length, or 0 when it has none.
size_t CharToNarrow(char* out, const unsigned short* w, size_t avail);

}  // namespace gnutil

#endif  // GNUTIL_SRC_GENUTIL_WIDETEXT_H
