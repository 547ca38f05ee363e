// Character-aligned cuts: the walk steps through the text one character at a
// time with the code-set rules; with a single-byte code set every byte is a
// character.
#include "genutil/textscan.h"

#include <string.h>

#include "gnutil/mbutil.h"

namespace gnutil {

size_t CharLength(const char* s, size_t n) {
  if (static_cast<unsigned char>(*s) < 0x80) return 1;
  int k = mb_mblen(s, n);
  return k > 1 ? static_cast<size_t>(k) : 1;
}

size_t AlignedPrefix(const char* text, size_t n) {
  if (text == nullptr) return 0;
  size_t len = strnlen(text, n);
  if (len < n) return len;  // the whole text fits
  // Keep whole characters while they end at or before byte n.
  size_t pos = 0;
  while (pos < n) {
    size_t step = static_cast<size_t>(mbbytesinchar(text + pos));
    if (step > n - pos) break;
    pos += step;
  }
  return pos;
}

}  // namespace gnutil
