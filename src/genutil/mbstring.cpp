// Multibyte string functions: the standard string functions made to step by
// characters, and file reading and writing with code-set conversion.
//
// Stepping uses mbbytesinchar, which gives at least 1 and never claims a NUL
// as part of a character (no rule accepts NUL as a trail byte), so every
// walk below stops at the terminator and never reads past it.
#include "gnutil/mbstring.h"

#include <ctype.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <mutex>

#include "genutil/jaconv_internal.h"
#include "genutil/mbutil_internal.h"
#include "genutil/textscan.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

namespace gnutil {
namespace {

// mbstrtok's saved position: one for the whole process, as callers expect.
char* g_tokenPosition = nullptr;

inline size_t Step(const char* p) { return static_cast<size_t>(mbbytesinchar(p)); }

inline int Lower(char c) { return tolower(static_cast<unsigned char>(c)); }

inline int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Length of src, but no more than limit + 1 (enough to tell "longer than
// limit"), without reading past its NUL.
size_t BoundedLength(const char* src, size_t limit) {
  size_t len = 0;
  while (len <= limit && src[len] != '\0') ++len;
  return len;
}

// How many bytes of src a copy of n bytes takes without splitting a
// character; *cut says that a character was left out.
size_t CopyCount(const char* src, size_t n, bool* cut) {
  size_t len = BoundedLength(src, n);
  *cut = false;
  if (len <= n || !MultibyteFlag()) return len < n ? len : n;
  size_t count = AlignedPrefix(src, n);
  *cut = count < n;
  return count;
}

int CompareIgnoringCase(const char* a, const char* b, size_t n, bool bounded) {
  for (size_t i = 0; !bounded || i < n; ++i) {
    int d = Lower(a[i]) - Lower(b[i]);
    if (d != 0 || a[i] == '\0') return d;
  }
  return 0;
}

// The walk of mbstrnicmp and mbcharcmp over at most n bytes of a.
int CompareChars(const char* a, const char* b, size_t n, bool ignoreCase) {
  size_t i = 0;
  while (i < n && a[i] != '\0') {
    int len = mb_mblen(a + i, 1);
    if (len > 1) {
      size_t l = static_cast<size_t>(len);
      int d = strncmp(a + i, b + i, l);
      if (d != 0) return d;
      // Equal up to a NUL inside the character: both texts end there.
      if (memchr(a + i, '\0', l) != nullptr) return 0;
      i += l;
    } else {
      unsigned char ca = static_cast<unsigned char>(a[i]);
      unsigned char cb = static_cast<unsigned char>(b[i]);
      int d = ignoreCase ? tolower(ca) - tolower(cb) : static_cast<int>(ca) - static_cast<int>(cb);
      if (d != 0) return d;
      ++i;
    }
  }
  return 0;
}

int ChangeCase(char* text, int (*change)(int)) {
  if (text == nullptr) return 0;
  size_t len = strlen(text);
  size_t i = 0;
  while (i < len) {
    int l = mb_mblen(text + i, len - i);
    if (l < 1) l = 1;
    if (static_cast<size_t>(l) > len - i) return 0;
    if (l == 1) text[i] = static_cast<char>(change(static_cast<unsigned char>(text[i])));
    i += static_cast<size_t>(l);
  }
  return len > INT_MAX ? INT_MAX : static_cast<int>(len);
}

// Whether the text sought matches at t, stepping by t's characters so that
// a match covers whole characters only.
bool MatchesAt(const char* t, const char* sought) {
  size_t i = 0;
  while (sought[i] != '\0') {
    if (t[i] != sought[i]) return false;
    size_t l = Step(t + i);
    for (size_t k = 1; k < l; ++k) {
      if (t[i + k] == '\0' || sought[i + k] == '\0' || t[i + k] != sought[i + k]) return false;
    }
    i += l;
  }
  return true;
}

const char* FindAnyOf(const char* text, const char* set) {
  for (const char* p = text; *p != '\0';) {
    size_t lp = Step(p);
    for (const char* q = set; *q != '\0';) {
      size_t lq = Step(q);
      if (lq == lp && memcmp(p, q, lp) == 0) return p;
      q += lq;
    }
    p += lp;
  }
  return nullptr;
}

// The conversion that convertStr applies (it never writes JIS).
Conversion LineConversion(int from, int to) {
  Conversion c = ConversionFor(from, to);
  return c == Conversion::kEucToJis || c == Conversion::kSjisToJis ? Conversion::kCopy : c;
}

// The most output bytes a character can become, judged by its first byte.
size_t OutputBound(Conversion c, unsigned char lead, size_t charLen) {
  if (c == Conversion::kSjisToEuc && lead >= 0xA1 && lead <= 0xDF) return 2;
  if (c == Conversion::kBig5ToEucTw && lead >= 0xA1 && lead <= 0xFE) return 4;
  return charLen;
}

// JIS text keeps a shift state: a line that mbfgets delivers in pieces needs
// the mode, and any escape sequence or double-byte pair that the buffer cut,
// carried from one piece to the next. mbfgets has nowhere to keep them but
// beside the stream, so they are kept here, for the stream and the position
// it stood at after the piece; a call on another stream, or on the same one
// moved elsewhere (or closed and another opened at its address), starts
// afresh. A line's end clears it, as whole lines never share a state.
struct LineCarry {
  FILE* fp = nullptr;
  long position = -1;  // ftell after the piece; -1 for a stream that cannot tell
  ConversionState state;
  unsigned char pending[8];
  size_t pendingLength = 0;
};

constexpr size_t kCarries = 16;
std::mutex g_carryLock;
LineCarry g_carries[kCarries];

// Takes the carry for fp out of the table (a fresh one when there is none or
// it does not belong to where fp stands now).
LineCarry TakeCarry(FILE* fp) {
  long position = ftell(fp);
  std::lock_guard<std::mutex> lock(g_carryLock);
  for (LineCarry& c : g_carries) {
    if (c.fp != fp) continue;
    LineCarry found = c;
    c = LineCarry();
    if (found.position == position) return found;
  }
  LineCarry fresh;
  fresh.fp = fp;
  return fresh;
}

void KeepCarry(const LineCarry& carry) {
  std::lock_guard<std::mutex> lock(g_carryLock);
  LineCarry* slot = &g_carries[0];
  for (LineCarry& c : g_carries) {
    if (c.fp == nullptr) {
      slot = &c;
      break;
    }
  }
  // With every slot taken (many JIS streams cut mid-line at once), the oldest
  // in the table makes way; that stream's next piece starts afresh.
  *slot = carry;
  slot->position = ftell(carry.fp);
}

FILE* OpenForOutput(const char* path, int append, bool text) {
  return fopen(path, append ? (text ? "a" : "ab") : (text ? "w" : "wb"));
}

// Converts a whole file; both files are closed on every path.
int ConvertFile(const char* inPath, const char* outPath, int append, Conversion c, bool text) {
  if (inPath == nullptr || outPath == nullptr) return 0;
  FILE* in = fopen(inPath, text ? "r" : "rb");
  if (in == nullptr) return 0;
  FILE* out = OpenForOutput(outPath, append, text);
  if (out == nullptr) {
    fclose(in);
    return 0;
  }
  bool ok = ConvertStream(c, in, out);
  fclose(in);
  if (fclose(out) != 0) ok = false;
  return ok ? 1 : 0;
}

}  // namespace
}  // namespace gnutil

using namespace gnutil;

extern "C" {

char* mbstrncpy(char* dst, const char* src, size_t n) {
  if (dst == nullptr || src == nullptr) return dst;
  bool cut;
  size_t count = CopyCount(src, n, &cut);
  if (cut) {
    memcpy(dst, src, count);
    dst[count] = '\0';
  } else {
    strncpy(dst, src, n);
  }
  return dst;
}

int mbstrncpyi(char* dst, const char* src, size_t n) {
  if (dst == nullptr || src == nullptr) return 0;
  bool cut;
  size_t count = CopyCount(src, n, &cut);
  if (cut) {
    memcpy(dst, src, count);
    dst[count] = '\0';
  } else {
    strncpy(dst, src, n);
  }
  return count > INT_MAX ? INT_MAX : static_cast<int>(count);
}

int mbstricmp(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return 0;
  if (!MultibyteFlag()) return CompareIgnoringCase(a, b, 0, false);
  for (;;) {
    if (*a == '\0' || *b == '\0') return *a != '\0' ? 1 : *b != '\0' ? -1 : 0;
    size_t la = Step(a);
    size_t lb = Step(b);
    if (la != lb) return la > lb ? 1 : -1;
    for (size_t k = 0; k < la; ++k) {
      signed char ca = static_cast<signed char>(la == 1 ? Lower(a[0]) : a[k]);
      signed char cb = static_cast<signed char>(la == 1 ? Lower(b[0]) : b[k]);
      if (ca != cb) return ca < cb ? -1 : 1;
    }
    a += la;
    b += lb;
  }
}

int mbstrnicmp(const char* a, const char* b, size_t n) {
  if (a == nullptr || b == nullptr) return 0;
  if (!MultibyteFlag()) return CompareIgnoringCase(a, b, n, true);
  if (n == 0) return *a == '\0' && *b != '\0' ? -1 : 0;
  int d = CompareChars(a, b, n, true);
  if (d != 0) return d;
  size_t i = BoundedLength(a, n);
  // a ended within n bytes while b goes on.
  if (i <= n && a[i] == '\0' && b[i] != '\0') return -1;
  return 0;
}

int mbcharcmp(const char* a, const char* b, size_t n) {
  if (a == nullptr || b == nullptr) return 0;
  if (!MultibyteFlag()) return Sign(static_cast<signed char>(*a) - static_cast<signed char>(*b));
  if (n == 0) return 0;
  return CompareChars(a, b, n, false);
}

int mbstrcoll(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return 0;
  return strcoll(a, b);
}

int mbstrtoupper(char* text) {
  return ChangeCase(text, [](int c) { return toupper(c); });
}
int mbstrtolower(char* text) {
  return ChangeCase(text, [](int c) { return tolower(c); });
}

char* mbstrchr(const char* text, int c) {
  if (text == nullptr) return nullptr;
  if (!MultibyteFlag()) return const_cast<char*>(strchr(text, c));
  char ch = static_cast<char>(c);
  if (ch == '\0') return const_cast<char*>(text) + strlen(text);
  for (const char* p = text; *p != '\0'; p += Step(p)) {
    if (*p == ch) return const_cast<char*>(p);
  }
  return nullptr;
}

char* mbstrrchr(const char* text, int c) {
  if (text == nullptr) return nullptr;
  if (!MultibyteFlag()) return const_cast<char*>(strrchr(text, c));
  char ch = static_cast<char>(c);
  if (ch == '\0') return const_cast<char*>(text) + strlen(text);
  const char* found = nullptr;
  for (const char* p = text; *p != '\0'; p += Step(p)) {
    if (*p == ch) found = p;
  }
  return const_cast<char*>(found);
}

char* mbstrstr(const char* text, const char* sought) {
  if (text == nullptr) return nullptr;
  if (sought == nullptr || *sought == '\0') return const_cast<char*>(text);
  // A line feed is a single byte in every code set and never a trail byte.
  if (!MultibyteFlag() || strcmp(sought, "\n") == 0) return const_cast<char*>(strstr(text, sought));
  const char* candidate = text;
  while ((candidate = mbstrchr(candidate, sought[0])) != nullptr) {
    if (MatchesAt(candidate, sought)) return const_cast<char*>(candidate);
    candidate += Step(candidate);
  }
  return nullptr;
}

char* mbstrrstr(const char* text, const char* sought) {
  if (text == nullptr) return nullptr;
  if (sought == nullptr) return const_cast<char*>(text);
  const char* last = nullptr;
  const char* from = text;
  for (const char* hit; (hit = mbstrstr(from, sought)) != nullptr;) {
    last = hit;
    if (*hit == '\0') break;  // an empty text sought, found at the end
    from = hit + Step(hit);
  }
  return const_cast<char*>(last);
}

char* mbstrpbrk(const char* text, const char* set) {
  if (text == nullptr || set == nullptr) return nullptr;
  if (!MultibyteFlag()) return const_cast<char*>(strpbrk(text, set));
  return const_cast<char*>(FindAnyOf(text, set));
}

size_t mbstrcspn(const char* text, const char* set) {
  if (text == nullptr) return 0;
  if (set == nullptr) return strlen(text);
  if (!MultibyteFlag()) return strcspn(text, set);
  const char* hit = FindAnyOf(text, set);
  return hit != nullptr ? static_cast<size_t>(hit - text) : strlen(text);
}

char* mbstrtok(char* text, const char* delimiters) {
  if (delimiters == nullptr) delimiters = "";
  if (!MultibyteFlag()) return strtok(text, delimiters);
  char* start;
  if (text != nullptr) {
    if (*text == '\0') {
      g_tokenPosition = nullptr;
      return nullptr;
    }
    start = text;
    if (mbstrcspn(text, delimiters) == 0) start = text + Step(text);
  } else {
    start = g_tokenPosition;
    if (start == nullptr) return nullptr;
  }
  size_t end = mbstrcspn(start, delimiters);
  if (start[end] == '\0') {
    g_tokenPosition = nullptr;
    return start;
  }
  // A multibyte delimiter is skipped whole, so the next token never starts
  // inside it.
  size_t delimiterLength = Step(start + end);
  start[end] = '\0';
  g_tokenPosition = start + end + delimiterLength;
  return start;
}

int mbvalidatestring(const char* text, int* offset, int codeset) {
  if (!MultibyteFlag()) return 1;
  if (text == nullptr || offset == nullptr) return 0;
  size_t len = strlen(text);
  for (size_t i = 0; i < len;) {
    int l = mblenExt(text + i, len - i, codeset);
    if (l < 0 || static_cast<size_t>(l) > len - i) {
      *offset = i > INT_MAX ? INT_MAX : static_cast<int>(i);
      return 0;
    }
    i += l < 1 ? 1 : static_cast<size_t>(l);
  }
  return 1;
}

int AccumulateAsciiForStr(const char* text) {
  if (text == nullptr || *text == '\0') return 0;
  unsigned sum = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  size_t n = strlen(text);
  Conversion c =
      MultibyteFlag() ? ConversionFor(mbGetLocaleCodeSet(), CODESET_EUC_J) : Conversion::kCopy;
  // Converted in pieces through a small buffer: no allocation can fail.
  unsigned char out[1024];
  constexpr size_t kPiece = 256;  // MaxConvertedLength(kPiece) fits in out
  ConversionState state;
  while (n > 0) {
    size_t take = n < kPiece ? n : kPiece;
    size_t used = 0;
    size_t written = ConvertBytes(c, p, take, out, &state, take == n, &used);
    for (size_t k = 0; k < written; ++k) sum += out[k];
    if (used == 0) used = take;  // cannot happen: no character is longer than a piece
    p += used;
    n -= used;
  }
  return static_cast<int>(sum);
}

char* mbfgets(char* buffer, int n, FILE* fp, int fileCodeSet) {
  if (buffer == nullptr || fp == nullptr || n <= 0) return nullptr;
  if (!MultibyteFlag()) return fgets(buffer, n, fp);
  if (n == 1) {
    buffer[0] = '\0';
    return buffer;
  }
  Conversion c = fileCodeSet == CODESET_NONE ? Conversion::kCopy
                                             : LineConversion(fileCodeSet, CurrentCodeSet());
  size_t budget = static_cast<size_t>(n) - 1;
  // JIS input carries its state between the pieces of a line; a buffer that
  // cannot hold a cut escape sequence and a byte more reads as before.
  bool stateful = (c == Conversion::kJisToSjis || c == Conversion::kJisToEuc) && budget > 4;
  LineCarry carry;
  if (stateful) carry = TakeCarry(fp);
  unsigned char* line = static_cast<unsigned char*>(malloc(budget));
  if (line == nullptr) return nullptr;
  size_t len = carry.pendingLength;
  memcpy(line, carry.pending, len);
  size_t bound = len;  // the most bytes the line read so far can become
  bool raw = false;
  bool lineEnded = false;
  int ch = EOF;
  // A character at a time, so that a line too long for the buffer is cut
  // between characters and its converted form always fits.
  while (len < budget) {
    if ((ch = getc(fp)) == EOF) {
      lineEnded = true;
      break;
    }
    unsigned char lead = static_cast<unsigned char>(ch);
    int l = mblenExt(reinterpret_cast<const char*>(&lead), 1, fileCodeSet);
    size_t charLen = l < 1 ? 1 : static_cast<size_t>(l);
    size_t grow = OutputBound(c, lead, charLen);
    if (len + charLen > budget || bound + grow > budget) {
      if (len == 0) {
        // A buffer too small for even one character gets its first byte as
        // it is rather than nothing at all.
        line[len++] = lead;
        raw = true;
        break;
      }
      ungetc(ch, fp);
      break;
    }
    line[len++] = lead;
    bound += grow;
    if (lead == '\n') {
      lineEnded = true;
      break;
    }
    for (size_t k = 1; k < charLen; ++k) {
      if ((ch = getc(fp)) == EOF) break;
      line[len++] = static_cast<unsigned char>(ch);
      if (ch == '\n') break;  // a line end is never part of a character
    }
    if (ch == '\n' || ch == EOF) {
      lineEnded = true;
      break;
    }
  }
  if (len == 0) {
    free(line);
    return nullptr;
  }
  size_t written;
  if (raw || c == Conversion::kCopy) {
    memcpy(buffer, line, len);
    written = len;
  } else {
    size_t used = len;
    written = ConvertBytes(c, line, len, reinterpret_cast<unsigned char*>(buffer), &carry.state,
                           !stateful || lineEnded, &used);
    if (stateful && !lineEnded) {
      if (len - used > sizeof carry.pending) {
        // Not a cut escape or pair (the converter never leaves more): the
        // bytes go out as the end of a line would have them.
        written += ConvertBytes(c, line + used, len - used,
                                reinterpret_cast<unsigned char*>(buffer) + written, &carry.state,
                                true, &used);
        used = len;
      }
      carry.pendingLength = len - used;
      memcpy(carry.pending, line + used, carry.pendingLength);
      KeepCarry(carry);
    }
  }
  buffer[written] = '\0';
  free(line);
  return buffer;
}

int mbfputs(const char* text, FILE* fp, int fileCodeSet) {
  if (text == nullptr) return 0;
  if (fp == nullptr) return EOF;
  if (!MultibyteFlag() || fileCodeSet == CODESET_NONE) return fputs(text, fp);
  Conversion c = ConversionFor(CurrentCodeSet(), fileCodeSet);
  if (c == Conversion::kCopy) return fputs(text, fp);
  size_t n = strlen(text);
  char* converted = static_cast<char*>(malloc(MaxConvertedLength(c, n) + 1));
  if (converted == nullptr) return -1;
  ConversionState state;
  size_t used;
  size_t written = ConvertBytes(c, reinterpret_cast<const unsigned char*>(text), n,
                                reinterpret_cast<unsigned char*>(converted), &state, true, &used);
  converted[written] = '\0';
  int result = fputs(converted, fp);
  free(converted);
  return result;
}

int mbfreadstring(char* buffer, int n, FILE* fp) {
  if (buffer == nullptr || fp == nullptr || n <= 0) return 0;
  size_t want = static_cast<size_t>(n);
  size_t got = fread(buffer, 1, want, fp);
  buffer[got] = '\0';
  if (got < want || !MultibyteFlag()) return static_cast<int>(got);
  int cs = CurrentCodeSet();
  if (cs == CODESET_UTF8) {
    // The rule below counts a cut character as two bytes, which suits the
    // two-byte sets only. In UTF-8 the lead byte of the last character says
    // how long it is: walk back over its continuation bytes to find it.
    size_t lead = want;
    while (lead > 0 && want - lead < 4 &&
           (static_cast<unsigned char>(buffer[lead - 1]) & 0xC0) == 0x80) {
      --lead;
    }
    if (lead == 0) return n;
    --lead;
    unsigned char first = static_cast<unsigned char>(buffer[lead]);
    size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    if (lead == 0 || lead + length <= want) return n;  // whole, or nothing to give back
    if (fseek(fp, -static_cast<long>(want - lead), SEEK_CUR) != 0) return n;
    buffer[lead] = '\0';
    return static_cast<int>(lead);
  }
  // The last character is judged by the bytes that are there: a lead byte
  // whose character needs more than remain is cut off.
  size_t start = static_cast<size_t>(mbidxtype(buffer, n - 1, cs));
  if (start == 0 || start >= want) return n;  // nothing to give back, or NULs in the data
  int l = mblenExt(buffer + start, want - start, cs);
  if (l <= 0 || static_cast<size_t>(l) <= want - start) return n;
  if (fseek(fp, -static_cast<long>(want - start), SEEK_CUR) != 0) return n;
  buffer[start] = '\0';
  return static_cast<int>(start);
}

int mbconvertfile2native(const char* inPath, const char* outPath, int append, int fileCodeSet) {
  if (inPath == nullptr || outPath == nullptr) return 0;
  FILE* in = fopen(inPath, "rb");
  if (in == nullptr) return 0;
  FILE* out = OpenForOutput(outPath, append, false);
  if (out == nullptr) {
    fclose(in);
    return 0;
  }
  const int kLine = 2048;
  char* line = static_cast<char*>(malloc(kLine));
  bool ok = line != nullptr;
  while (ok && mbfgets(line, kLine, in, fileCodeSet) != nullptr) {
    size_t len = strlen(line);
    // CR and LF are single-byte characters in every code set (no trail byte
    // is below 0x40), so the bytes alone tell a line end.
    if (len >= 2 && line[len - 2] == '\r' && line[len - 1] == '\n') {
      line[len - 2] = '\n';
      line[len - 1] = '\0';
    } else if (len >= 1 && line[len - 1] == '\r') {
      // A CR that ends a piece: if LF follows, the buffer split a CR LF
      // pair, so the CR is dropped and the next piece brings the LF. A CR
      // before anything else, or at the very end of the file, is text and is
      // kept; nothing is pushed back, so the loop always moves on.
      int next = getc(in);
      if (next != EOF) ungetc(next, in);
      if (next == '\n') line[len - 1] = '\0';
    }
    if (fputs(line, out) == EOF) ok = false;
  }
  if (ferror(in)) ok = false;
  free(line);
  fclose(in);
  if (fclose(out) != 0) ok = false;
  return ok ? 1 : 0;
}

int mbconvertfile2native_ex(const char* inPath, const char* outPath, int append, int fileCodeSet) {
  if (inPath == nullptr || outPath == nullptr) return 0;
  if (fileCodeSet == CODESET_NONE) {
    // Refused before the output is touched; the input must still exist.
    FILE* in = fopen(inPath, "rb");
    if (in != nullptr) fclose(in);
    return 0;
  }
  return ConvertFile(inPath, outPath, append, ConversionFor(fileCodeSet, CurrentCodeSet()), false);
}

int mbconvertnativefile(const char* inPath, const char* outPath, int append, int fileCodeSet) {
  Conversion c = fileCodeSet == CODESET_NONE || !MultibyteFlag()
                     ? Conversion::kCopy
                     : ConversionFor(CurrentCodeSet(), fileCodeSet);
  return ConvertFile(inPath, outPath, append, c, true);
}

int mbconvertnativestring(char* dst, const char* src, int targetCodeSet) {
  if (dst == nullptr || src == nullptr) return 0;
  if (MultibyteFlag()) {
    convertStrExt(src, CurrentCodeSet(), dst, targetCodeSet);
  } else {
    memmove(dst, src, strlen(src) + 1);
  }
  return 1;
}

}  // extern "C"
