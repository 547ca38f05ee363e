// The step over one character of the caller's code set, for ground-floor text
// code that must never split a character nor take a trail byte for ASCII (the
// configuration store's files). The current code set belongs to the string
// layer above, so its step comes down as an argument.
#ifndef GNUTIL_SRC_PLATFORM_CHARSTEP_H
#define GNUTIL_SRC_PLATFORM_CHARSTEP_H

#include <stddef.h>

namespace gnutil {

// Bytes of the character at s, of the n > 0 bytes there: at least 1. Where
// the n bytes end inside a valid start of a character, its whole length
// (more than n); a cut character never ends on the bytes that follow.
using CharStep = size_t (*)(const char* s, size_t n);

// How many of the first n bytes of text (size bytes long) end on a character
// boundary: a character that byte n would split is left out.
inline size_t AlignedCut(const char* text, size_t size, size_t n, CharStep step) {
  if (size <= n) return size;
  size_t pos = 0;
  while (pos < n) {
    size_t k = step(text + pos, size - pos);
    if (k > n - pos) break;
    pos += k;
  }
  return pos;
}

}  // namespace gnutil

#endif  // GNUTIL_SRC_PLATFORM_CHARSTEP_H
