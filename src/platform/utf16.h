// UTF-16 surrogate arithmetic, shared by every floor that turns code points
// into 16-bit units and back (the string class's wide copy is UTF-16 on every
// platform, while Linux's wchar_t holds whole code points).
#ifndef GNUTIL_SRC_PLATFORM_UTF16_H
#define GNUTIL_SRC_PLATFORM_UTF16_H

#include <stdint.h>

namespace gnutil::utf16 {

constexpr uint32_t kMaxCodePoint = 0x10FFFF;

constexpr bool IsHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr bool IsSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

// True for a code point that takes two UTF-16 units.
constexpr bool NeedsPair(uint32_t cp) { return cp > 0xFFFF && cp <= kMaxCodePoint; }

constexpr uint16_t HighOf(uint32_t cp) {
  return static_cast<uint16_t>(0xD800 | ((cp - 0x10000) >> 10));
}
constexpr uint16_t LowOf(uint32_t cp) {
  return static_cast<uint16_t>(0xDC00 | ((cp - 0x10000) & 0x3FF));
}

constexpr uint32_t Combine(uint32_t high, uint32_t low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// Writes cp as one or two units at out; returns how many.
inline int Encode(uint32_t cp, uint16_t* out) {
  if (NeedsPair(cp)) {
    out[0] = HighOf(cp);
    out[1] = LowOf(cp);
    return 2;
  }
  out[0] = static_cast<uint16_t>(cp);
  return 1;
}

}  // namespace gnutil::utf16

#endif  // GNUTIL_SRC_PLATFORM_UTF16_H
