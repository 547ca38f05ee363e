// Character-aligned search and copy. The walk steps through the text one
// character at a time with the code-set rules, so a candidate match always
// starts on a lead byte; with a single-byte code set every byte is a
// character and this is plain strstr.
#include "genutil/textscan.h"

#include <string.h>

#include "genutil/mbutil_internal.h"
#include "gnutil/mbutil.h"

namespace gnutil {
namespace {

// Does the text at t start with the whole of sought? Every character of the
// sought text must match with all of its bytes.
bool MatchesAt(const char* t, const char* sought) {
  size_t i = 0;
  while (sought[i] != '\0') {
    size_t len = static_cast<size_t>(mbbytesinchar(sought + i));
    for (size_t k = 0; k < len; ++k) {
      if (sought[i + k] == '\0' || t[i + k] != sought[i + k]) return false;
    }
    i += len;
  }
  return true;
}

}  // namespace

const char* FindAligned(const char* text, const char* sought) {
  if (text == nullptr) return nullptr;
  if (sought == nullptr || sought[0] == '\0') return text;
  CurrentCodeSet();  // the byte rules below need the module initialised
  const char first = sought[0];
  for (const char* p = text; *p != '\0';) {
    if (*p == first && MatchesAt(p, sought)) return p;
    // Step over the whole character, never past the NUL. No code set has a
    // lead byte below 0x80, so ASCII needs no rule lookup.
    if (static_cast<unsigned char>(*p) < 0x80) {
      ++p;
      continue;
    }
    size_t len = static_cast<size_t>(mbbytesinchar(p));
    for (size_t k = 0; k < len && *p != '\0'; ++k) ++p;
  }
  return nullptr;
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

int CollateNarrow(const char* a, const char* b) {
  CurrentCodeSet();  // the first use sets the process locale
  return strcoll(a != nullptr ? a : "", b != nullptr ? b : "");
}

}  // namespace gnutil
