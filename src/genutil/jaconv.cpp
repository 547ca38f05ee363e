// The public conversion functions: the NUL-terminated forms over the byte
// converters, the library's result buffers, full-width digits to ASCII and
// the length of a text in the other host's code set. The converters work on
// byte ranges with an explicit state so that the file functions and the tool
// can stream; the forms here are thin wrappers.
#include "gnutil/jaconv.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "genutil/jaconv_internal.h"
#include "genutil/jaconv_kernels.h"
#include "genutil/mbutil_internal.h"
#include "gnutil/mbutil.h"

namespace gnutil {

using namespace jaconv;

namespace {

// --- Process-wide result buffers ----------------------------------------------

// One growable buffer per direction; a result stays valid until the next call
// of the same direction, as callers of these functions have always assumed.
enum BufferId {
  kBufJisToSjis,
  kBufJisToEuc,
  kBufEucToSjis,
  kBufSjisToEuc,
  kBufBig5ToEucTw,
  kBufEucTwToBig5,
  kBufUnixToWindowsCopy,
  kBufWindowsToUnixCopy,
  kBufferCount
};

struct ResultBuffer {
  char* data = nullptr;
  size_t capacity = 0;
};

ResultBuffer g_buffers[kBufferCount];

// Room for at least `bytes` bytes in the buffer, or null when memory ran out
// (the old buffer is kept).
char* Reserve(BufferId id, size_t bytes) {
  ResultBuffer& b = g_buffers[id];
  if (b.capacity >= bytes) return b.data;
  size_t capacity = bytes < 2048 ? 2048 : bytes + bytes / 2;
  if (capacity < bytes) capacity = bytes;  // overflow of the growth margin
  char* p = static_cast<char*>(realloc(b.data, capacity));
  if (p == nullptr) return nullptr;
  b.data = p;
  b.capacity = capacity;
  return p;
}

BufferId BufferFor(Conversion c) {
  switch (c) {
    case Conversion::kJisToSjis:
      return kBufJisToSjis;
    case Conversion::kJisToEuc:
      return kBufJisToEuc;
    case Conversion::kEucToSjis:
      return kBufEucToSjis;
    case Conversion::kSjisToEuc:
      return kBufSjisToEuc;
    case Conversion::kBig5ToEucTw:
      return kBufBig5ToEucTw;
    case Conversion::kEucTwToBig5:
      return kBufEucTwToBig5;
    default:
      return kBufferCount;
  }
}

// True when [a, a + an) and [b, b + bn) share a byte. Compared as integers:
// the two are usually different objects.
bool Overlap(const void* a, size_t an, const void* b, size_t bn) {
  uintptr_t x = reinterpret_cast<uintptr_t>(a);
  uintptr_t y = reinterpret_cast<uintptr_t>(b);
  return x < y + bn && y < x + an;
}

void ConvertTerminated(Conversion c, const char* src, size_t n, char* dst) {
  ConversionState state;
  size_t used;
  size_t written = ConvertBytes(c, reinterpret_cast<const unsigned char*>(src), n,
                                reinterpret_cast<unsigned char*>(dst), &state, true, &used);
  dst[written] = '\0';
}

// Converts the NUL-terminated text src[0, n) into dst and terminates it.
// The kernels read ahead of what they write and store whole words, so a
// destination that overlaps the source (an in-place call) goes through
// scratch memory; null when that cannot be had.
char* ConvertText(Conversion c, const char* src, size_t n, char* dst) {
  size_t need = MaxConvertedLength(c, n) + 1;
  if (!Overlap(src, n + 1, dst, need)) {
    ConvertTerminated(c, src, n, dst);
    return dst;
  }
  char small[1024];
  char* scratch = need <= sizeof small ? small : static_cast<char*>(malloc(need));
  if (scratch == nullptr) return nullptr;
  ConvertTerminated(c, src, n, scratch);
  memcpy(dst, scratch, strlen(scratch) + 1);
  if (scratch != small) free(scratch);
  return dst;
}

// Converts into the direction's buffer; null when it cannot grow. The text
// may be the buffer's own last result: it is then converted into a fresh
// buffer, which replaces the old one.
char* ConvertToBuffer(Conversion c, const char* src) {
  size_t n = strlen(src);
  size_t need = MaxConvertedLength(c, n) + 1;
  if (need <= n) return nullptr;  // size overflow
  ResultBuffer& b = g_buffers[BufferFor(c)];
  if (b.data != nullptr && Overlap(src, n + 1, b.data, b.capacity)) {
    size_t capacity = need < 2048 ? 2048 : need;
    char* fresh = static_cast<char*>(malloc(capacity));
    if (fresh == nullptr) return nullptr;
    ConvertTerminated(c, src, n, fresh);
    free(b.data);
    b.data = fresh;
    b.capacity = capacity;
    return fresh;
  }
  char* dst = Reserve(BufferFor(c), need);
  if (dst == nullptr) return nullptr;
  return ConvertText(c, src, n, dst);
}

// Copies into a buffer of the library; src may lie in that buffer (a text
// inside the buffer never makes it grow).
char* CopyToBuffer(BufferId id, const char* src) {
  size_t n = strlen(src);
  char* dst = Reserve(id, n + 1);
  if (dst == nullptr) return nullptr;
  memmove(dst, src, n + 1);
  return dst;
}

// Full-width digits and separators and the single bytes that replace them.
struct NumberEntry {
  unsigned char b1, b2;
  char replacement;
};

#define GNUTIL_DIGITS(lead, first)                                                            \
  {lead, first, '0'}, {lead, first + 1, '1'}, {lead, first + 2, '2'}, {lead, first + 3, '3'}, \
      {lead, first + 4, '4'}, {lead, first + 5, '5'}, {lead, first + 6, '6'},                 \
      {lead, first + 7, '7'}, {lead, first + 8, '8'}, {                                       \
    lead, first + 9, '9'                                                                      \
  }

const NumberEntry kEucNumbers[] = {
    GNUTIL_DIGITS(0xA3, 0xB0), {0xA1, 0xA5, '.'}, {0x8E, 0xA1, '.'},
    {0xA1, 0xA3, '.'},         {0xA1, 0xBF, '/'}, {0xA1, 0xA7, ':'},
    {0xA1, 0xA1, ' '},         {0xA1, 0xCA, '('}, {0xA1, 0xCB, ')'},
};
const NumberEntry kSjisNumbers[] = {
    GNUTIL_DIGITS(0x82, 0x4F), {0x81, 0x44, '.'}, {0x81, 0x42, '.'},
    {0x81, 0x5E, '/'},         {0x81, 0x45, '/'}, {0x81, 0x46, ':'},
};
// GB and KSC 5601 share the full-width ASCII block of row 3.
const NumberEntry kGbKscNumbers[] = {
    GNUTIL_DIGITS(0xA3, 0xB0), {0xA3, 0xBA, ':'}, {0xA3, 0xAF, '/'},
    {0xA3, 0xA8, '('},         {0xA3, 0xA9, ')'}, {0xA3, 0xAE, '.'},
};
const NumberEntry kBig5Numbers[] = {
    GNUTIL_DIGITS(0xA2, 0xAF), {0xA1, 0x52, ':'}, {0xA2, 0x41, '/'},
    {0xA1, 0x5D, '('},         {0xA1, 0x5E, ')'}, {0xA1, 0x4F, '.'},
};
const NumberEntry kEucTwNumbers[] = {
    GNUTIL_DIGITS(0xA2, 0xAF), {0xA1, 0x52, ':'}, {0xA2, 0x41, '/'}, {0xA1, 0x5D, '('},
    {0xA1, 0x5E, ')'},         {0xA1, 0xA5, '.'}, {0xA1, 0xA8, ':'},
};

#undef GNUTIL_DIGITS

template <size_t N>
const NumberEntry* Find(const NumberEntry (&table)[N], unsigned char b1, unsigned char b2) {
  for (const NumberEntry& e : table) {
    if (e.b1 == b1 && e.b2 == b2) return &e;
  }
  return nullptr;
}

const NumberEntry* FindNumber(int cs, unsigned char b1, unsigned char b2) {
  switch (cs) {
    case CODESET_EUC_J:
      return Find(kEucNumbers, b1, b2);
    case CODESET_SJIS:
      return Find(kSjisNumbers, b1, b2);
    case CODESET_GB:
    case CODESET_KSC_5601_92:
      return Find(kGbKscNumbers, b1, b2);
    case CODESET_BIG5:
      return Find(kBig5Numbers, b1, b2);
    case CODESET_EUC_TW:
      return Find(kEucTwNumbers, b1, b2);
    default:
      return nullptr;
  }
}

// Length of a text after conversion, measured in pieces through a small
// buffer so that no allocation can fail.
size_t ConvertedLength(Conversion c, const char* text, size_t n) {
  unsigned char out[4096];
  constexpr size_t kPiece = 512;  // MaxConvertedLength of 512 bytes fits in out
  ConversionState state;
  size_t total = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (n > 0) {
    size_t take = n < kPiece ? n : kPiece;
    bool last = take == n;
    size_t used = 0;
    total += ConvertBytes(c, p, take, out, &state, last, &used);
    if (used == 0 && !last) {  // a character longer than the piece cannot happen
      used = take;
    }
    p += used;
    n -= used;
  }
  return total;
}

}  // namespace

Conversion ConversionFor(int from, int to) {
  switch (from * 100 + to) {
    case CODESET_JIS * 100 + CODESET_SJIS:
      return Conversion::kJisToSjis;
    case CODESET_JIS * 100 + CODESET_EUC_J:
      return Conversion::kJisToEuc;
    case CODESET_EUC_J * 100 + CODESET_SJIS:
      return Conversion::kEucToSjis;
    case CODESET_EUC_J * 100 + CODESET_JIS:
      return Conversion::kEucToJis;
    case CODESET_SJIS * 100 + CODESET_EUC_J:
      return Conversion::kSjisToEuc;
    case CODESET_SJIS * 100 + CODESET_JIS:
      return Conversion::kSjisToJis;
    case CODESET_BIG5 * 100 + CODESET_EUC_TW:
      return Conversion::kBig5ToEucTw;
    case CODESET_EUC_TW * 100 + CODESET_BIG5:
      return Conversion::kEucTwToBig5;
    default:
      return Conversion::kCopy;
  }
}

size_t MaxConvertedLength(Conversion c, size_t n) {
  switch (c) {
    case Conversion::kSjisToEuc:    // half-width katakana gain 0x8E
    case Conversion::kBig5ToEucTw:  // planes 2 and up gain 0x8E and the plane
      return 2 * n;
    case Conversion::kSjisToJis:
    case Conversion::kEucToJis:
      return n / 2 * 9 + (n % 2) * 5 + 3;  // (9n + 7) / 2 without overflow
    default:
      return n;
  }
}

namespace {

size_t Convert(Conversion c, const unsigned char* src, size_t n, unsigned char* dst,
               ConversionState* state, bool last, size_t* consumed, Kernels words) {
  size_t used = 0;
  size_t written = 0;
  switch (c) {
    case Conversion::kCopy:
      memmove(dst, src, n);
      used = written = n;
      break;
    case Conversion::kJisToSjis:
      written = JisToMb(src, n, dst, state, last, false, &used, words);
      break;
    case Conversion::kJisToEuc:
      written = JisToMb(src, n, dst, state, last, true, &used, words);
      break;
    case Conversion::kEucToSjis:
      written = EucToSjis(src, n, dst, last, &used, words);
      break;
    case Conversion::kEucToJis:
      written = EucToJis(src, n, dst, state, last, &used, words);
      break;
    case Conversion::kSjisToEuc:
      written = SjisToEuc(src, n, dst, last, &used, words);
      break;
    case Conversion::kSjisToJis:
      written = SjisToJis(src, n, dst, state, last, &used, words);
      break;
    case Conversion::kBig5ToEucTw:
      written = Big5ToEucTw(src, n, dst, last, &used, words);
      break;
    case Conversion::kEucTwToBig5:
      written = EucTwToBig5(src, n, dst, last, &used, words);
      break;
  }
  if (consumed != nullptr) *consumed = used;
  return written;
}

}  // namespace

size_t ConvertBytes(Conversion c, const unsigned char* src, size_t n, unsigned char* dst,
                    ConversionState* state, bool last, size_t* consumed) {
  // The word kernels keep the first byte of a pair in the low half of a
  // 16-bit lane: little-endian machines only.
  return Convert(c, src, n, dst, state, last, consumed,
                 LittleEndian() ? Kernels::kBlocks : Kernels::kNone);
}

size_t ConvertBytesWithoutBlocks(Conversion c, const unsigned char* src, size_t n,
                                 unsigned char* dst, ConversionState* state, bool last,
                                 size_t* consumed) {
  return Convert(c, src, n, dst, state, last, consumed,
                 LittleEndian() ? Kernels::kWords : Kernels::kNone);
}

size_t ConvertBytesScalar(Conversion c, const unsigned char* src, size_t n, unsigned char* dst,
                          ConversionState* state, bool last, size_t* consumed) {
  return Convert(c, src, n, dst, state, last, consumed, Kernels::kNone);
}

bool ConvertStream(Conversion c, FILE* in, FILE* out) {
  constexpr size_t kChunk = 1 << 16;
  constexpr size_t kCarry = 8;  // longest cut character or escape sequence kept back
  unsigned char* src = static_cast<unsigned char*>(malloc(kChunk + kCarry));
  unsigned char* dst = static_cast<unsigned char*>(malloc(MaxConvertedLength(c, kChunk + kCarry)));
  bool ok = src != nullptr && dst != nullptr;
  ConversionState state;
  size_t pending = 0;
  while (ok) {
    size_t got = fread(src + pending, 1, kChunk, in);
    if (got == 0 && ferror(in)) ok = false;
    bool last = got == 0;
    size_t avail = pending + got;
    size_t used = 0;
    size_t written = ConvertBytes(c, src, avail, dst, &state, last, &used);
    if (written > 0 && fwrite(dst, 1, written, out) != written) ok = false;
    pending = avail - used;
    memmove(src, src + used, pending);
    if (last) break;
  }
  free(src);
  free(dst);
  return ok;
}
}  // namespace gnutil

using namespace gnutil;

extern "C" {

char* convertStr(const char* text, int fromCodeSet, int toCodeSet) {
  if (text == nullptr) return nullptr;
  Conversion c = ConversionFor(fromCodeSet, toCodeSet);
  // convertStr has never produced JIS; those pairs give the text back.
  if (c == Conversion::kCopy || c == Conversion::kEucToJis || c == Conversion::kSjisToJis) {
    return const_cast<char*>(text);
  }
  return ConvertToBuffer(c, text);
}

char* convertStrExt(const char* src, int fromCodeSet, char* dst, int toCodeSet) {
  if (src == nullptr || dst == nullptr) return dst;
  size_t n = strlen(src);
  Conversion c = ConversionFor(fromCodeSet, toCodeSet);
  if (c == Conversion::kCopy) {
    memmove(dst, src, n + 1);
    return dst;
  }
  return ConvertText(c, src, n, dst);
}

char* UnixCodingToWindowsCoding(const char* text) {
  if (text == nullptr) return nullptr;
  switch (CurrentCodeSetNoInit()) {
    case CODESET_EUC_J:
    case CODESET_SJIS:
      return ConvertToBuffer(Conversion::kEucToSjis, text);
    case CODESET_BIG5:
    case CODESET_EUC_TW:
      return ConvertToBuffer(Conversion::kEucTwToBig5, text);
    default:
      return CopyToBuffer(kBufUnixToWindowsCopy, text);
  }
}

char* UnixCodingToWindowsCodingExt(const char* src, char* dst) {
  switch (CurrentCodeSetNoInit()) {
    case CODESET_EUC_J:
    case CODESET_SJIS:
      return convertStrExt(src, CODESET_EUC_J, dst, CODESET_SJIS);
    case CODESET_BIG5:
    case CODESET_EUC_TW:
      return convertStrExt(src, CODESET_EUC_TW, dst, CODESET_BIG5);
    default:
      return convertStrExt(src, CODESET_NONE, dst, CODESET_NONE);
  }
}

char* WindowsCodingToUnixCoding(const char* text) {
  if (text == nullptr) return nullptr;
  switch (CurrentCodeSetNoInit()) {
    case CODESET_EUC_J:
    case CODESET_SJIS:
      return ConvertToBuffer(Conversion::kSjisToEuc, text);
    case CODESET_BIG5:
    case CODESET_EUC_TW:
      return ConvertToBuffer(Conversion::kBig5ToEucTw, text);
    default:
      return CopyToBuffer(kBufWindowsToUnixCopy, text);
  }
}

char* WindowsCodingToUnixCodingExt(const char* src, char* dst) {
  switch (CurrentCodeSetNoInit()) {
    case CODESET_EUC_J:
    case CODESET_SJIS:
      return convertStrExt(src, CODESET_SJIS, dst, CODESET_EUC_J);
    case CODESET_BIG5:
    case CODESET_EUC_TW:
      return convertStrExt(src, CODESET_BIG5, dst, CODESET_EUC_TW);
    default:
      return convertStrExt(src, CODESET_NONE, dst, CODESET_NONE);
  }
}

int ConvertMBNumberToSBNumber(const char* src, char* dst) {
  if (src == nullptr || dst == nullptr) return 0;
  int cs = CurrentCodeSet();
  size_t n = strlen(src);
  size_t in = 0;
  size_t out = 0;
  // The output never outgrows the input, so the destination may be the source.
  while (in < n) {
    // A byte below 0x80 is a character of its own in every code set, and no
    // number to replace: dates and times are mostly such bytes.
    if (static_cast<unsigned char>(src[in]) < 0x80) {
      dst[out++] = src[in++];
      continue;
    }
    int len = mb_mblen(src + in, n - in);
    if (len < 1) len = 1;
    if (static_cast<size_t>(len) > n - in) len = static_cast<int>(n - in);
    const NumberEntry* e = nullptr;
    if (len >= 2) {
      e = FindNumber(cs, static_cast<unsigned char>(src[in]),
                     static_cast<unsigned char>(src[in + 1]));
    }
    if (e != nullptr) {
      dst[out++] = e->replacement;
    } else {
      memmove(dst + out, src + in, static_cast<size_t>(len));
      out += static_cast<size_t>(len);
    }
    in += static_cast<size_t>(len);
  }
  dst[out] = '\0';
  return 0;
}

int MaxStringLengthOnWinAndUnix(const char* text) {
  if (text == nullptr) return 0;
  size_t n = strlen(text);
  size_t other = n;
  switch (CurrentCodeSetNoInit()) {
    case CODESET_SJIS: {
      const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
      other = 0;
      for (size_t i = 0; i < n; ++i) {
        if (IsSjisLead(p[i])) {
          other += 2;
          if (i + 1 < n) ++i;
        } else {
          other += IsKana(p[i]) ? 2 : 1;
        }
      }
      break;
    }
    case CODESET_BIG5:
      other = ConvertedLength(Conversion::kBig5ToEucTw, text, n);
      break;
    case CODESET_EUC_TW:
      other = ConvertedLength(Conversion::kEucTwToBig5, text, n);
      break;
    default:
      break;
  }
  size_t result = other > n ? other : n;
  return result > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(result);
}

}  // extern "C"
