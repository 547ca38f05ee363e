// Narrow <-> UTF-16 conversion of the string class.
//
// Text is decoded and encoded in runs of code points through the platform
// layer's bulk calls, which cost a fraction of one call per character; the
// per-character path is kept for what the bulk calls refuse (invalid bytes,
// characters the locale cannot encode).
#include "genutil/widetext.h"

#include <stdint.h>

#include "platform/locale.h"
#include "platform/utf16.h"

namespace gnutil {
namespace {

constexpr size_t kRun = 256;

using utf16::IsHighSurrogate;
using utf16::IsLowSurrogate;

// A byte that is invalid in the locale travels as U+DC00 + byte.
inline bool IsEscapedByte(unsigned u) { return u >= 0xDC00 && u <= 0xDCFF; }

// Code points that UTF-16 cannot carry are invalid text here too (glibc's
// UTF-8 decoder accepts up to 0x7FFFFFFF), so that counting and converting
// agree on what is invalid.
inline bool Representable(uint32_t cp) {
  return cp <= utf16::kMaxCodePoint && !utf16::IsSurrogate(cp);
}

// Decodes one run starting at s + pos; stops early before an unrepresentable
// code point, reporting it as invalid at its first byte.
size_t DecodeChecked(uint32_t* cps, size_t cap, const char* s, size_t len, size_t* pos,
                     platform::RunEnd* end) {
  const char* p = s + *pos;
  const char* start = p;
  size_t got = platform::DecodeRun(cps, cap, &p, len - *pos, end);
  for (size_t i = 0; i < got; ++i) {
    if (!Representable(cps[i])) {
      // Find the bad character's first byte by decoding the ones before it.
      const char* q = start;
      for (size_t k = 0; k < i; ++k) {
        uint32_t cp;
        q += platform::MbToCodePoint(&cp, q, static_cast<size_t>(s + len + 1 - q));
      }
      *pos = static_cast<size_t>(q - s);
      *end = platform::RunEnd::kInvalid;
      return i;
    }
  }
  *pos = static_cast<size_t>(p - s);
  return got;
}

}  // namespace

size_t CountUnits(const char* s, size_t len) {
  uint32_t cps[kRun];
  size_t units = 0;
  size_t pos = 0;
  while (pos < len) {
    platform::RunEnd end;
    size_t got = DecodeChecked(cps, kRun, s, len, &pos, &end);
    for (size_t i = 0; i < got; ++i) units += utf16::NeedsPair(cps[i]) ? 2 : 1;
    if (end == platform::RunEnd::kInvalid) return kInvalidText;
    if (end == platform::RunEnd::kNul) break;
  }
  return units;
}

size_t ToUnits(unsigned short* dst, size_t cap, const char* s, size_t len) {
  uint32_t cps[kRun];
  size_t out = 0;
  size_t pos = 0;
  while (pos < len && out < cap) {
    platform::RunEnd end;
    size_t want = cap - out < kRun ? cap - out : kRun;
    size_t got = DecodeChecked(cps, want, s, len, &pos, &end);
    for (size_t i = 0; i < got; ++i) {
      uint32_t cp = cps[i];
      // A pair takes two units, so a run can hold more than the room left.
      if (out + (utf16::NeedsPair(cp) ? 2 : 1) > cap) return out;
      uint16_t units[2];
      int n = utf16::Encode(cp, units);
      for (int k = 0; k < n; ++k) dst[out++] = units[k];
    }
    if (end == platform::RunEnd::kNul) break;
    if (end == platform::RunEnd::kInvalid && pos < len && out < cap) {
      // Carry the bad byte as U+DC00 + byte and go on after it.
      dst[out++] = static_cast<unsigned short>(0xDC00 | static_cast<unsigned char>(s[pos]));
      ++pos;
    }
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
  if (IsHighSurrogate(u)) {
    if (avail < 2 || !IsLowSurrogate(w[1])) return 0;
    cp = utf16::Combine(u, w[1]);
  } else if (IsEscapedByte(u)) {
    out[0] = static_cast<char>(u & 0xFF);
    return 1;
  } else if (IsLowSurrogate(u)) {
    return 0;
  }
  int r = platform::CodePointToMb(out, cp);
  return r > 0 ? static_cast<size_t>(r) : 0;
}

size_t ToNarrow(char* dst, const unsigned short* w, size_t len) {
  uint32_t cps[kRun];
  size_t out = 0;
  size_t i = 0;
  while (i < len && w[i] != 0) {
    // Gather a run of ordinary characters (pairs joined, no escapes).
    size_t n = 0;
    size_t first = i;
    while (i < len && w[i] != 0 && n < kRun) {
      unsigned u = w[i];
      if (IsHighSurrogate(u) && i + 1 < len && IsLowSurrogate(w[i + 1])) {
        cps[n++] = utf16::Combine(u, w[i + 1]);
        i += 2;
      } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
        break;
      } else {
        cps[n++] = u;
        ++i;
      }
    }
    if (n > 0) {
      size_t r = platform::EncodeRun(dst + out, cps, n);
      if (r != static_cast<size_t>(-1)) {
        out += r;
        continue;
      }
      i = first;  // something in the run has no narrow form: go one by one
      for (size_t k = 0; k < n; ++k) {
        out += CharToNarrow(dst + out, w + i, len - i);
        i += IsHighSurrogate(w[i]) ? 2 : 1;
      }
      continue;
    }
    // An escaped byte or a lone surrogate.
    out += CharToNarrow(dst + out, w + i, len - i);
    ++i;
  }
  return out;
}

}  // namespace gnutil
