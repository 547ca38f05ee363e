// CGNString: quotes and escapes, printf-style formatting and string
// resources with numbered placeholders.
//
// The quote and escape operations work by characters on the wide copy, so a
// second byte of a double-byte character that happens to equal a quote or a
// backslash (0x5C in Shift-JIS) is never taken for one.
#include <stdio.h>
#include <string.h>

#include "genutil/alloc.h"
#include "genutil/format_estimate.h"
#include "genutil/textscan.h"
#include "genutil/widetext.h"
#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"
#include "platform/utf16.h"

using gnutil::AllocBytes;
using gnutil::AllocUnits;
using gnutil::FreeBytes;
using gnutil::FreeUnits;

namespace {

// The wide unit a one-byte character stands for in the process locale. The
// backslash byte is U+00A5 in glibc's Shift-JIS locale, so escapes compare
// with this, never with the literal unit.
unsigned short UnitOf(char c) {
  unsigned short unit = 0;
  const char text[2] = {c, '\0'};  // the conversion reads up to the NUL
  if (gnutil::ToUnits(&unit, 1, text, 1) != 1) return 0;
  return unit;
}

// Scratch for the operations that fail silently: null when memory is short.
unsigned short* TryAllocUnits(size_t count) {
  try {
    return AllocUnits(count);
  } catch (const GMemoryException&) {
    return nullptr;
  }
}

using gnutil::utf16::IsHighSurrogate;

// Frees a heap buffer on every way out.
struct BytesGuard {
  char* p;
  ~BytesGuard() { FreeBytes(p); }
};

}  // namespace

void CGNString::AssignBytes(const char* bytes, unsigned int count) {
  char* data = AllocBytes(static_cast<size_t>(count) + 1);
  memcpy(data, bytes, count);
  data[count] = '\0';
  FreeBuffers();
  m_pData = data;
  m_nDataLength = m_nDataCapacity = count;
}

void CGNString::ExpandQuotes(char quote) {
  EnsureWide();
  const unsigned short q = UnitOf(quote);
  unsigned short* out = TryAllocUnits(2 * static_cast<size_t>(m_nWzLength) + 1);
  if (out == nullptr) return;
  size_t n = 0;
  for (unsigned int i = 0; i < m_nWzLength; ++i) {
    out[n++] = m_pwzBuffer[i];
    if (m_pwzBuffer[i] == q) out[n++] = q;
  }
  AdoptWide(out, static_cast<unsigned int>(n));
  CommitWide();
}

void CGNString::UnexpandQuotes(char quote) {
  EnsureWide();
  const unsigned short q = UnitOf(quote);
  unsigned short* out = TryAllocUnits(static_cast<size_t>(m_nWzLength) + 1);
  if (out == nullptr) return;
  size_t n = 0;
  for (unsigned int i = 0; i < m_nWzLength; ++i) {
    out[n++] = m_pwzBuffer[i];
    if (m_pwzBuffer[i] == q && i + 1 < m_nWzLength && m_pwzBuffer[i + 1] == q) ++i;
  }
  AdoptWide(out, static_cast<unsigned int>(n));
  CommitWide();
}

void CGNString::ExpandSpecials() {
  EnsureWide();
  const unsigned short backslash = UnitOf('\\');
  unsigned short* out = TryAllocUnits(2 * static_cast<size_t>(m_nWzLength) + 1);
  if (out == nullptr) return;
  size_t n = 0;
  for (unsigned int i = 0; i < m_nWzLength; ++i) {
    const unsigned short u = m_pwzBuffer[i];
    unsigned short escape = 0;
    switch (u) {
      case 8:
        escape = 'b';
        break;
      case 10:
        escape = 'n';
        break;
      case 12:
        escape = 'f';
        break;
      case 13:
        escape = 'r';
        break;
      case '"':
        escape = '"';
        break;
      default:
        if (u == backslash) escape = backslash;
        break;
    }
    if (escape != 0) {
      out[n++] = backslash;
      out[n++] = escape;
    } else {
      out[n++] = u;
    }
  }
  AdoptWide(out, static_cast<unsigned int>(n));
  CommitWide();
}

void CGNString::UnexpandSpecials() {
  EnsureWide();
  const unsigned short backslash = UnitOf('\\');
  const unsigned short* w = m_pwzBuffer;
  // A wide copy of text that is invalid in the locale may end in NUL units
  // before its length; the text ends at the first one.
  size_t len = 0;
  while (len < m_nWzLength && w[len] != 0) ++len;
  // Every character keeps its bytes or shrinks, so the result never needs
  // more room than the narrow text has now; the MbCurMax slack covers a
  // character that the locale spells longer than the original bytes did.
  const size_t room = static_cast<size_t>(m_nDataLength) + 8;
  BytesGuard out{AllocBytes(room + 1)};
  size_t n = 0;
  size_t i = 0;
  while (i < len) {
    if (w[i] != backslash) {
      char buf[8];
      size_t k = gnutil::CharToNarrow(buf, w + i, len - i);
      if (n + k <= room) {
        memcpy(out.p + n, buf, k);
        n += k;
      }
      i += (IsHighSurrogate(w[i]) && i + 1 < len) ? 2 : 1;
      continue;
    }
    if (i + 1 == len) {  // a backslash at the end stays
      out.p[n++] = '\\';
      break;
    }
    const unsigned short next = w[i + 1];
    char simple = 0;
    switch (next) {
      case 'n':
        simple = '\n';
        break;
      case 't':
        simple = '\t';
        break;
      case 'r':
        simple = '\r';
        break;
      case 'b':
        simple = '\b';
        break;
      default:
        if (next == backslash) simple = '\\';
        break;
    }
    if (simple != 0) {
      out.p[n++] = simple;
      i += 2;
    } else if (next >= '0' && next <= '9') {
      // The window is the three characters after the backslash; its digits
      // make the number. Above 255 it is the first two characters instead.
      size_t window = len - (i + 1) < 3 ? len - (i + 1) : 3;
      unsigned value = 0;
      unsigned digits[3];
      size_t ndigits = 0;
      for (size_t k = 0; k < window; ++k) {
        const unsigned short c = w[i + 1 + k];
        if (c >= '0' && c <= '9') {
          digits[ndigits++] = c - '0';
          value = value * 10 + (c - '0');
        }
      }
      if (value > 255) {
        window = 2;
        value = digits[0] * 10 + digits[1];
      }
      if (value != 0) out.p[n++] = static_cast<char>(value);
      i += 1 + window;
    } else {
      // Not an escape we read: the backslash stays, the next character is
      // read as usual (so \f and \" survive although ExpandSpecials wrote them).
      out.p[n++] = '\\';
      i += 1;
    }
  }
  AssignBytes(out.p, static_cast<unsigned int>(n));
}

int CGNString::FormatV(const char* format, va_list args, bool estimate) {
  if (format == nullptr) return -1;
  constexpr size_t kFixed = 8192;
  size_t size = kFixed;
  if (estimate) {
    va_list walk;
    va_copy(walk, args);
    gnutil::VaFormatArgs source(&walk);
    size_t expected = gnutil::EstimateFormattedLength(format, source);
    va_end(walk);
    if (expected >= kFixed) size = expected + 1;
  }
  char fixed[kFixed];
  char* heap = size > kFixed ? AllocBytes(size) : nullptr;
  BytesGuard guard{heap};
  char* buf = heap != nullptr ? heap : fixed;
  va_list pass;
  va_copy(pass, args);
  int count = vsnprintf(buf, size, format, pass);
  va_end(pass);
  if (count >= 0 && static_cast<size_t>(count) >= size) {
    // The estimate fell short: format again into exactly enough room.
    size = static_cast<size_t>(count) + 1;
    guard.p = nullptr;
    FreeBytes(heap);
    heap = AllocBytes(size);
    guard.p = heap;
    buf = heap;
    va_copy(pass, args);
    count = vsnprintf(buf, size, format, pass);
    va_end(pass);
  }
  if (count >= 1) AssignBytes(buf, static_cast<unsigned int>(count));
  return count;
}

int CGNString::sprintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int count;
  try {
    count = FormatV(format, args, true);
  } catch (...) {
    va_end(args);
    throw;
  }
  va_end(args);
  return count;
}

int CGNString::sprintf2(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int count;
  try {
    count = FormatV(format, args, false);
  } catch (...) {
    va_end(args);
    throw;
  }
  va_end(args);
  return count;
}

// The resource form's text is loaded by the operating-system floor, which
// owns the resource libraries (CGNString::LoadStringResource in
// os/resource.cpp); the placeholders are the string class's own rule.
void CGNString::ReplacePlaceholders(const char* const given[10]) {
  if (given[0] == nullptr) return;
  int count = 0;
  while (count < 10 && given[count] != nullptr) ++count;

  constexpr size_t kLimit = 1999;
  char out[kLimit + 1];
  size_t n = 0;
  const char* s = m_pData;
  const size_t len = m_nDataLength;
  size_t i = 0;
  while (i < len && n < kLimit) {
    if (s[i] == '$') {
      size_t digits = 0;
      while (digits < 3 && i + 1 + digits < len && s[i + 1 + digits] >= '0' &&
             s[i + 1 + digits] <= '9') {
        ++digits;
      }
      if (digits == 1 || digits == 2) {
        int number = s[i + 1] - '0';
        if (digits == 2) number = number * 10 + (s[i + 2] - '0');
        i += 1 + digits;
        if (number >= 1 && number <= count) {
          const char* arg = given[number - 1];
          size_t alen = strlen(arg);
          if (alen > kLimit - n) {
            // Cut to whole characters; the limit ends the scan.
            alen = gnutil::AlignedPrefix(arg, kLimit - n);
            memcpy(out + n, arg, alen);
            n += alen;
            break;
          }
          memcpy(out + n, arg, alen);
          n += alen;
        }
        continue;
      }
    }
    size_t k = static_cast<size_t>(mbbytesinchar(s + i));
    if (k > len - i) k = len - i;
    if (k > kLimit - n) break;  // no half characters at the limit
    memcpy(out + n, s + i, k);
    n += k;
    i += k;
  }
  AssignBytes(out, static_cast<unsigned int>(n));
}
