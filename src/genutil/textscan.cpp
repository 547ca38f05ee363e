// Character-aligned cuts: the walk steps through the text one character at a
// time with the code-set rules; with a single-byte code set every byte is a
// character.
#include "genutil/textscan.h"

#include <string.h>

#include "gnutil/mbutil.h"
#include "platform/charstep.h"

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
  // A character that starts before byte n ends within the code set's longest
  // character after it; the terminator counts as a byte of the text, so that
  // a step sees it as a bad trail byte rather than as room for one.
  size_t more = strnlen(text + n, static_cast<size_t>(mbmaxcharlen()));
  return AlignedCut(text, n + more + 1, n, CharLength);
}

}  // namespace gnutil
