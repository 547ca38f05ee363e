// The platform seam for the process locale and its multibyte encoding.
//
// Portable code never calls setlocale, mbtowc or GetACP itself; it comes here.
// src/platform/posix/locale.cpp and src/platform/win32/locale.cpp implement this header
// with the native facilities of each platform.
#ifndef GNUTIL_SRC_PLATFORM_LOCALE_H
#define GNUTIL_SRC_PLATFORM_LOCALE_H

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace gnutil::platform {

// Switches every category of the process locale to the user's default (the
// empty locale name) and returns the name of the locale now in force.
std::string SetDefaultProcessLocale();

// The name of the process locale now in force (LC_CTYPE where categories differ).
std::string CurrentProcessLocaleName();

// The Windows ANSI code page of the process. Linux has none, so it is derived
// from the codeset of the process locale (see CodePageForCodeset).
unsigned AnsiCodePage();

// Longest character of the process locale's encoding, in bytes.
int MbCurMax();

// Decodes the character at s (at most n bytes) in the process locale.
// Returns the bytes it takes (> 0), 0 for the NUL character, -1 when the bytes
// are invalid or incomplete. *cp receives the Unicode code point.
int MbToCodePoint(uint32_t* cp, const char* s, size_t n);

// Encodes one code point in the process locale into out, which has room for
// MbCurMax() bytes. Returns the bytes written, or -1 when the locale has no
// form for it.
int CodePointToMb(char* out, uint32_t cp);

// Bulk forms of the two above, for long texts; the per-character calls cost
// a conversion set-up each.
enum class RunEnd { kFull, kNul, kInvalid };

// Decodes characters from *src (n bytes of text) into cps (room for cap)
// until cps is full, the n bytes are used up or a NUL is reached (not stored;
// *src then points at it), or a sequence is invalid or incomplete (*src then
// points at its first byte). Advances *src past what was decoded and returns
// how many were decoded. The terminating NUL is never part of the n bytes:
// glibc silently drops an incomplete character that a NUL cuts short.
size_t DecodeRun(uint32_t* cps, size_t cap, const char** src, size_t n, RunEnd* end);

// Encodes n code points into out (room for n * MbCurMax() bytes). Returns the
// bytes written, or (size_t)-1 if one has no form in the locale (out is then
// unspecified and the caller goes character by character).
size_t EncodeRun(char* out, const uint32_t* cps, size_t n);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_LOCALE_H
