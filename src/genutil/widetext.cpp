#include "genutil/widetext.h"

#include <stdint.h>

#include "os/platform_locale.h"

namespace gnutil {
namespace {

inline bool IsHigh(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool IsLow(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }
inline bool IsEscapedByte(unsigned u) { return u >= 0xDC00 && u <= 0xDCFF; }

}  // namespace

size_t CountUnits(const char* s, size_t len) {
  size_t units = 0;
  size_t pos = 0;
  while (pos < len) {
    uint32_t cp = 0;
    // The byte after the text is its NUL, so len - pos + 1 never reads past it.
    int r = platform::MbToCodePoint(&cp, s + pos, len - pos + 1);
    // glibc decodes the old 5- and 4-byte forms beyond U+10FFFF (and CESU
    // surrogates); ToUnits escapes those byte by byte, so they count as invalid.
    if (r < 0 || (r > 0 && (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))) {
      return kInvalidText;
    }
    if (r == 0) break;
    units += cp > 0xFFFF ? 2 : 1;
    pos += static_cast<size_t>(r);
  }
  return units;
}

size_t ToUnits(unsigned short* dst, size_t cap, const char* s, size_t len) {
  size_t out = 0;
  size_t pos = 0;
  while (pos < len && out < cap) {
    uint32_t cp = 0;
    int r = platform::MbToCodePoint(&cp, s + pos, len - pos + 1);
    if (r == 0) break;
    if (r < 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      dst[out++] = static_cast<unsigned short>(0xDC00 | static_cast<unsigned char>(s[pos]));
      ++pos;
      continue;
    }
    if (cp > 0xFFFF) {
      if (out + 2 > cap) break;
      cp -= 0x10000;
      dst[out++] = static_cast<unsigned short>(0xD800 | (cp >> 10));
      dst[out++] = static_cast<unsigned short>(0xDC00 | (cp & 0x3FF));
    } else {
      dst[out++] = static_cast<unsigned short>(cp);
    }
    pos += static_cast<size_t>(r);
  }
  return out;
}

size_t UnitsLength(const unsigned short* w) {
  size_t n = 0;
  while (w[n] != 0) ++n;
  return n;
}

size_t CharToNarrow(char* out, const unsigned short* w, size_t avail) {
  if (avail == 0) return 0;
  unsigned u = w[0];
  uint32_t cp = u;
  if (IsHigh(u)) {
    if (avail < 2 || !IsLow(w[1])) return 0;
    cp = 0x10000 + ((u - 0xD800) << 10) + (w[1] - 0xDC00u);
  } else if (IsEscapedByte(u)) {
    out[0] = static_cast<char>(u & 0xFF);
    return 1;
  } else if (IsLow(u)) {
    return 0;
  }
  int r = platform::CodePointToMb(out, cp);
  return r > 0 ? static_cast<size_t>(r) : 0;
}

size_t ToNarrow(char* dst, const unsigned short* w, size_t len) {
  size_t out = 0;
  for (size_t i = 0; i < len && w[i] != 0; ++i) {
    out += CharToNarrow(dst + out, w + i, len - i);
    if (IsHigh(w[i]) && i + 1 < len && IsLow(w[i + 1])) ++i;
  }
  return out;
}

}  // namespace gnutil
