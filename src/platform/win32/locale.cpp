// Win32 side of the locale platform layer: the C runtime's process locale
// (setlocale with names like Japanese_Japan.932, MB_CUR_MAX, the code page of
// LC_CTYPE) and GetACP for the user's ANSI code page. wchar_t is a UTF-16
// unit here, so characters outside the BMP travel as surrogate pairs.
//
// The conversions use the runtime's LC_CTYPE code page but call
// MultiByteToWideChar and WideCharToMultiByte with strict flags instead of the
// runtime's mbtowc and wctomb: those put a default character in place of a bad
// trail byte, accept a lead byte cut off at the end of the input, and encode
// "best fit" look-alikes (e with acute becomes a plain e under 932). Any of
// these would silently change a string's bytes on its way through the wide
// copy; here such bytes are invalid and such characters have no form, as with
// glibc.
#include "platform/win32/locale.h"

#include <locale.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "platform/locale.h"
#include "platform/utf16.h"

namespace gnutil::platform {

namespace {

// Every code page the runtime accepts for LC_CTYPE keeps ASCII as it is.
inline bool IsAscii(unsigned char b) { return b < 0x80; }

// Decodes the character at s, of which n bytes may be read, in code page
// page (not 0). Returns its length, 0 for the NUL, -1 when invalid or cut off.
int DecodeOne(unsigned page, uint32_t* cp, const char* s, size_t n) {
  const unsigned char b = static_cast<unsigned char>(s[0]);
  if (b == 0) {
    *cp = 0;
    return 0;
  }
  int len = 1;
  if (IsDBCSLeadByteEx(page, b)) {
    if (n < 2 || s[1] == '\0') return -1;
    len = 2;
  }
  wchar_t w[2];
  int units = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, s, len, w, 2);
  if (units == 1) {
    *cp = static_cast<uint16_t>(w[0]);
  } else if (units == 2 && utf16::IsHighSurrogate(static_cast<uint16_t>(w[0]))) {
    *cp = utf16::Combine(static_cast<uint16_t>(w[0]), static_cast<uint16_t>(w[1]));
  } else {
    return -1;
  }
  return len;
}

int EncodeOne(unsigned page, char* out, int room, uint32_t cp) {
  if (page == 0) {
    // The runtime's C locale: a byte is the character of the same number.
    if (cp > 0xFF) return -1;
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp > utf16::kMaxCodePoint || utf16::IsSurrogate(cp)) return -1;
  uint16_t u[2] = {0, 0};
  int units = utf16::Encode(cp, u);
  wchar_t w[2] = {static_cast<wchar_t>(u[0]), static_cast<wchar_t>(u[1])};
  BOOL usedDefault = FALSE;
  int r =
      WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, w, units, out, room, nullptr, &usedDefault);
  if (r <= 0 || usedDefault) return -1;
  return r;
}

}  // namespace

unsigned RuntimeCodePage() { return ___lc_codepage_func(); }

unsigned AnsiCodePage() { return GetACP(); }

int MbToCodePoint(uint32_t* cp, const char* s, size_t n) {
  if (s == nullptr || n == 0) return -1;
  const unsigned page = RuntimeCodePage();
  if (page == 0) {
    *cp = static_cast<unsigned char>(s[0]);
    return s[0] == '\0' ? 0 : 1;
  }
  return DecodeOne(page, cp, s, n);
}

int CodePointToMb(char* out, uint32_t cp) {
  return EncodeOne(RuntimeCodePage(), out, MbCurMax(), cp);
}

// The runtime has no restartable bulk conversion that reports where invalid
// input starts, so runs go character by character, with ASCII taken as is.
size_t DecodeRun(uint32_t* cps, size_t cap, const char** src, size_t n, RunEnd* end) {
  const unsigned page = RuntimeCodePage();
  const char* p = *src;
  const char* const stop = p + n;
  size_t count = 0;
  *end = RunEnd::kFull;
  while (count < cap) {
    if (p == stop) {
      *end = RunEnd::kNul;  // out of input
      break;
    }
    const unsigned char b = static_cast<unsigned char>(*p);
    if (b == 0) {
      *end = RunEnd::kNul;
      break;
    }
    if (IsAscii(b) || page == 0) {
      cps[count++] = b;
      ++p;
      continue;
    }
    uint32_t cp = 0;
    int len = DecodeOne(page, &cp, p, static_cast<size_t>(stop - p));
    if (len <= 0) {
      *end = RunEnd::kInvalid;
      break;
    }
    cps[count++] = cp;
    p += len;
  }
  *src = p;
  return count;
}

size_t EncodeRun(char* out, const uint32_t* cps, size_t n) {
  const unsigned page = RuntimeCodePage();
  const int room = MbCurMax();
  size_t written = 0;
  for (size_t i = 0; i < n; ++i) {
    if (cps[i] < 0x80) {
      out[written++] = static_cast<char>(cps[i]);
      continue;
    }
    int r = EncodeOne(page, out + written, room, cps[i]);
    if (r < 0) return static_cast<size_t>(-1);
    written += static_cast<size_t>(r);
  }
  return written;
}

}  // namespace gnutil::platform
