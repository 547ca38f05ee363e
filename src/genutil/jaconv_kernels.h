// The building blocks of the Japanese and Chinese converters: byte classes,
// the row/cell arithmetic of one pair, and the word and vector kernels that
// convert runs of ASCII, pairs or half-width katakana several characters at a
// time. Each kernel must give exactly the bytes of the byte-at-a-time path
// for the part of the input it consumes (the kernel tests check this on
// random input).
#ifndef GNUTIL_SRC_GENUTIL_JACONV_KERNELS_H
#define GNUTIL_SRC_GENUTIL_JACONV_KERNELS_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

namespace gnutil::jaconv {

constexpr unsigned char kEsc = 0x1B;

inline bool In(unsigned c, unsigned lo, unsigned hi) { return c - lo <= hi - lo; }
inline bool IsSjisLead(unsigned c) { return In(c, 0x81, 0x9F) || In(c, 0xE0, 0xEF); }
inline bool IsSjisTrail(unsigned c) { return In(c, 0x40, 0xFC); }
inline bool IsKana(unsigned c) { return In(c, 0xA1, 0xDF); }
inline bool IsEucByte(unsigned c) { return In(c, 0xA1, 0xFE); }

// Shift-JIS pair to JIS row/cell. Written with masks instead of branches: the
// compiler turns it into conditional moves, which keeps mixed text from
// stalling on mispredicted branches.
inline void SjisToJisPair(unsigned c1, unsigned c2, unsigned* j1, unsigned* j2) {
  unsigned adjust = c2 < 0x9F ? 1u : 0u;
  unsigned rowOffset = c1 < 0xA0 ? 0x70u : 0xB0u;
  unsigned cellOffset = adjust ? (c2 > 0x7F ? 0x20u : 0x1Fu) : 0x7Eu;
  *j1 = ((c1 - rowOffset) * 2 - adjust) & 0xFF;
  *j2 = (c2 - cellOffset) & 0xFF;
}

// JIS row/cell to Shift-JIS. Bytes outside the JIS range still go through
// the arithmetic (wrapping to a byte); only valid input has a meaning.
inline void JisToSjisPair(unsigned c1, unsigned c2, unsigned* s1, unsigned* s2) {
  unsigned rowOffset = c1 < 0x5F ? 0x70u : 0xB0u;
  unsigned cellOffset = (c1 & 1) ? (c2 > 0x5F ? 0x20u : 0x1Fu) : 0x7Eu;
  *s1 = ((c1 + 1) / 2 + rowOffset) & 0xFF;
  *s2 = (c2 + cellOffset) & 0xFF;
}

// True when none of the 8 bytes at p has its high bit set: a run of ASCII
// that every Japanese and Chinese converter copies as it is.
inline bool EightAscii(const unsigned char* p) {
  uint64_t w;
  memcpy(&w, p, 8);
  return (w & 0x8080808080808080ull) == 0;
}

// True when the 8 bytes at p are ASCII and none is ESC, CR or LF: JIS
// converters in single-byte mode copy such a run.
inline bool EightPlainJis(const unsigned char* p) {
  uint64_t w;
  memcpy(&w, p, 8);
  if (w & 0x8080808080808080ull) return false;
  auto hasByte = [w](uint64_t b) {
    uint64_t x = w ^ (0x0101010101010101ull * b);
    return ((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) != 0;
  };
  return !hasByte(kEsc) && !hasByte('\r') && !hasByte('\n');
}

// --- Four pairs at a time ----------------------------------------------------
//
// Runs of kanji and kana are runs of pairs. Eight bytes that start on a
// character boundary and hold four valid pairs are converted at once, each
// pair in a 16-bit lane of a 64-bit word: the same arithmetic as the scalar
// code, with comparisons turned into carries into bit 8 of each lane. Lanes
// hold at most 0x1FF, so nothing spills into the next lane. This needs the
// first byte of a pair in the low half of its lane, so it is used on
// little-endian machines only; others take the scalar path.

constexpr uint64_t kLaneLow = 0x00FF00FF00FF00FFull;
constexpr uint64_t kLaneOne = 0x0001000100010001ull;
constexpr uint64_t kLaneBit8 = 0x0100010001000100ull;

inline bool LittleEndian() {
  const uint16_t probe = 1;
  unsigned char first;
  memcpy(&first, &probe, 1);
  return first == 1;
}

// 0x100 in every lane whose value is at least t (lanes hold 0..0xFF).
inline uint64_t AtLeast(uint64_t lanes, unsigned t) {
  return (lanes + kLaneOne * (0x100 - t)) & kLaneBit8;
}
// 1 in every lane whose value is at least t.
inline uint64_t AtLeast1(uint64_t lanes, unsigned t) { return AtLeast(lanes, t) >> 8; }

inline uint64_t Load8(const unsigned char* p) {
  uint64_t w;
  memcpy(&w, p, 8);
  return w;
}

inline void Store8(unsigned char* p, uint64_t w) { memcpy(p, &w, 8); }

inline int CountTrailingZeros(uint64_t x) {  // x != 0
#if defined(__GNUC__)
  return __builtin_ctzll(x);
#else
  int n = 0;
  while (!(x & 1)) {
    x >>= 1;
    ++n;
  }
  return n;
#endif
}

// Number of leading lanes (0-4) that have bit 8 set.
inline size_t LeadingLanes(uint64_t bit8) {
  uint64_t bad = ~bit8 & kLaneBit8;
  return bad ? static_cast<size_t>(CountTrailingZeros(bad) >> 4) : 4;
}

// Number of leading ASCII bytes (0-8) of a word.
inline size_t LeadingAscii(uint64_t w) {
  uint64_t high = w & 0x8080808080808080ull;
  return high ? static_cast<size_t>(CountTrailingZeros(high) >> 3) : 8;
}

// Shift-JIS pairs to JIS pairs, four at a time. Returns how many leading
// lanes held valid pairs; only those lanes of *jis are meaningful.
inline size_t FourSjisToJis(uint64_t w, uint64_t* jis) {
  uint64_t c1 = w & kLaneLow;
  uint64_t c2 = (w >> 8) & kLaneLow;
  uint64_t lead =
      (AtLeast(c1, 0x81) & ~AtLeast(c1, 0xA0)) | (AtLeast(c1, 0xE0) & ~AtLeast(c1, 0xF0));
  uint64_t trail = AtLeast(c2, 0x40) & ~AtLeast(c2, 0xFD);
  size_t lanes = LeadingLanes(lead & trail);
  uint64_t adjust = kLaneOne ^ AtLeast1(c2, 0x9F);
  uint64_t rowOffset = kLaneOne * 0x70 + (AtLeast(c1, 0xA0) >> 2);
  uint64_t j1 = ((c1 - rowOffset) << 1) - adjust;
  uint64_t adjustMask = adjust * 0xFFFF;
  uint64_t cellOffset = kLaneOne * 0x7E - ((kLaneOne * 0x5F - AtLeast1(c2, 0x80)) & adjustMask);
  uint64_t j2 = c2 - cellOffset;
  *jis = (j1 | (j2 << 8)) & 0x7F7F7F7F7F7F7F7Full;  // invalid lanes may have borrowed
  return lanes;
}

// EUC pairs to Shift-JIS pairs, four at a time; returns the number of
// leading lanes that held two bytes 0xA1-0xFE.
inline size_t FourEucToSjis(uint64_t w, uint64_t* sjis) {
  uint64_t c1 = w & kLaneLow;
  uint64_t c2 = (w >> 8) & kLaneLow;
  uint64_t ok = AtLeast(c1, 0xA1) & ~AtLeast(c1, 0xFF) & AtLeast(c2, 0xA1) & ~AtLeast(c2, 0xFF);
  size_t lanes = LeadingLanes(ok);
  uint64_t j1 = c1 & (kLaneOne * 0x7F);
  uint64_t j2 = c2 & (kLaneOne * 0x7F);
  uint64_t rowOffset = kLaneOne * 0x70 + (AtLeast(j1, 0x5F) >> 2);
  uint64_t s1 = (((j1 + kLaneOne) >> 1) & kLaneLow) + rowOffset;
  uint64_t oddMask = (j1 & kLaneOne) * 0xFFFF;
  uint64_t cellOffset = kLaneOne * 0x7E - ((kLaneOne * 0x5F - AtLeast1(j2, 0x60)) & oddMask);
  uint64_t s2 = j2 + cellOffset;
  *sjis = s1 | ((s2 & kLaneLow) << 8);
  return lanes;
}

// --- Eight pairs at a time ------------------------------------------------------
//
// Where the compiler has generic vector types (GCC and Clang) and the target
// has vector registers (SSE2, NEON), the same arithmetic runs on sixteen
// bytes at once. Elsewhere (32-bit x86 without SSE2) the word-at-a-time path
// serves, since vectors would only be emulated.
#if defined(__GNUC__) && (defined(__SSE2__) || defined(__ARM_NEON) || defined(__aarch64__))
#define GNUTIL_VECTOR_PAIRS 1

typedef uint16_t U16x8 __attribute__((vector_size(16)));

// The lane masks of comparisons, as the unsigned vector type.
template <typename T>
inline U16x8 Mask(T m) {
  return reinterpret_cast<U16x8>(m);
}

// Number of leading lanes of an all-ones/all-zeros lane mask that are set.
inline size_t LeadingSet(U16x8 m) {
  uint64_t half[2];
  memcpy(half, &m, 16);
  size_t lanes = LeadingLanes(half[0]);
  return lanes < 4 ? lanes : 4 + LeadingLanes(half[1]);
}

// Lanes of two ASCII bytes are taken too when the output is EUC (eucHigh
// set): line ends and short words inside Japanese text then stay in the run.
inline size_t EightSjis(const unsigned char* p, uint16_t eucHigh, unsigned char* out) {
  U16x8 w;
  memcpy(&w, p, 16);
  U16x8 c1 = w & 0xFF;
  U16x8 c2 = w >> 8;
  U16x8 lead = Mask((c1 >= 0x81) & (c1 <= 0x9F)) | Mask((c1 >= 0xE0) & (c1 <= 0xEF));
  U16x8 pair = lead & Mask((c2 >= 0x40) & (c2 <= 0xFC));
  U16x8 ascii = Mask((w & 0x8080) == 0);
  if (eucHigh == 0) ascii = ascii ^ ascii;
  U16x8 valid = pair | ascii;
  U16x8 adjust = Mask(c2 < 0x9F);  // all ones where the cell is in the first half
  U16x8 rowOffset = 0xB0 - (Mask(c1 < 0xA0) & 0x40);
  U16x8 j1 = (c1 - rowOffset) * 2 + adjust;  // + all ones subtracts one
  U16x8 cell = 0x1F - Mask(c2 > 0x7F);
  U16x8 cellOffset = (cell & adjust) | (0x7E & ~adjust);
  U16x8 j2 = c2 - cellOffset;
  U16x8 result = (((j1 & 0xFF) | ((j2 & 0xFF) << 8) | eucHigh) & pair) | (w & ascii);
  memcpy(out, &result, 16);
  return LeadingSet(valid);
}

inline size_t EightEuc(const unsigned char* p, unsigned char* out) {
  U16x8 w;
  memcpy(&w, p, 16);
  U16x8 c1 = w & 0xFF;
  U16x8 c2 = w >> 8;
  U16x8 pair = Mask((c1 >= 0xA1) & (c1 <= 0xFE) & (c2 >= 0xA1) & (c2 <= 0xFE));
  U16x8 ascii = Mask((w & 0x8080) == 0);  // as in EightSjis
  U16x8 valid = pair | ascii;
  U16x8 j1 = c1 & 0x7F;
  U16x8 j2 = c2 & 0x7F;
  U16x8 rowOffset = 0x70 + (Mask(j1 >= 0x5F) & 0x40);
  U16x8 s1 = ((j1 + 1) >> 1) + rowOffset;
  U16x8 odd = Mask((j1 & 1) != 0);
  U16x8 cellOffset = ((0x1F - Mask(j2 > 0x5F)) & odd) | (0x7E & ~odd);
  U16x8 s2 = j2 + cellOffset;
  U16x8 result = (((s1 & 0xFF) | ((s2 & 0xFF) << 8)) & pair) | (w & ascii);
  memcpy(out, &result, 16);
  return LeadingSet(valid);
}
#endif

struct Out {
  unsigned char* p;
  void Put(unsigned c) { *p++ = static_cast<unsigned char>(c); }
  void Put2(unsigned a, unsigned b) {
    p[0] = static_cast<unsigned char>(a);
    p[1] = static_cast<unsigned char>(b);
    p += 2;
  }
  void Esc(unsigned a, unsigned b) {
    p[0] = kEsc;
    p[1] = static_cast<unsigned char>(a);
    p[2] = static_cast<unsigned char>(b);
    p += 3;
  }
};

// --- Runs ------------------------------------------------------------------------
//
// Each run loop below converts whole words while a word is entirely of one
// kind, and then the leading part of the word that ends the run. The loop
// steps by a constant 8 while the run lasts, so the processor can load the
// next words before it has finished the current one. A word is stored whole
// even when only its first bytes count: what follows overwrites the rest,
// and every output bound leaves that room (input + 8 <= n whenever a word is
// read, and no conversion writes less than it reads in a run).

struct Run {
  const unsigned char* s;
  size_t n;
  size_t i;
  unsigned char* o;
};

// Copies ASCII while it lasts; the byte at r->i is ASCII.
inline void AsciiRun(Run* r) {
  while (r->i + 8 <= r->n) {
    uint64_t w = Load8(r->s + r->i);
    Store8(r->o, w);
    if (w & 0x8080808080808080ull) {
      size_t k = LeadingAscii(w);
      r->i += k;
      r->o += k;
      break;
    }
    r->i += 8;
    r->o += 8;
  }
}

// Shift-JIS pairs to JIS (eucHigh 0) or EUC (eucHigh set) while they last.
inline void SjisPairRun(Run* r, uint64_t eucHigh) {
#ifdef GNUTIL_VECTOR_PAIRS
  while (r->i + 16 <= r->n) {
    size_t lanes = EightSjis(r->s + r->i, static_cast<uint16_t>(eucHigh), r->o);
    if (lanes < 8) {
      r->i += 2 * lanes;
      r->o += 2 * lanes;
      if (lanes > 0 || r->i + 16 <= r->n) return;
      break;
    }
    r->i += 16;
    r->o += 16;
  }
#endif
  while (r->i + 8 <= r->n) {
    uint64_t jis;
    size_t lanes = FourSjisToJis(Load8(r->s + r->i), &jis);
    Store8(r->o, jis | eucHigh);
    if (lanes < 4) {
      r->i += 2 * lanes;
      r->o += 2 * lanes;
      break;
    }
    r->i += 8;
    r->o += 8;
  }
}

// EUC pairs to Shift-JIS while they last.
inline void EucPairRun(Run* r) {
#ifdef GNUTIL_VECTOR_PAIRS
  while (r->i + 16 <= r->n) {
    size_t lanes = EightEuc(r->s + r->i, r->o);
    if (lanes < 8) {
      r->i += 2 * lanes;
      r->o += 2 * lanes;
      if (lanes > 0 || r->i + 16 <= r->n) return;
      break;
    }
    r->i += 16;
    r->o += 16;
  }
#endif
  while (r->i + 8 <= r->n) {
    uint64_t sjis;
    size_t lanes = FourEucToSjis(Load8(r->s + r->i), &sjis);
    Store8(r->o, sjis);
    if (lanes < 4) {
      r->i += 2 * lanes;
      r->o += 2 * lanes;
      break;
    }
    r->i += 8;
    r->o += 8;
  }
}

// EUC pairs to JIS (the pair without its high bits) while they last.
inline void EucToJisPairRun(Run* r) {
  while (r->i + 8 <= r->n) {
    uint64_t w = Load8(r->s + r->i);
    uint64_t c1 = w & kLaneLow;
    uint64_t c2 = (w >> 8) & kLaneLow;
    size_t lanes = LeadingLanes(AtLeast(c1, 0xA1) & ~AtLeast(c1, 0xFF) & AtLeast(c2, 0xA1) &
                                ~AtLeast(c2, 0xFF));
    Store8(r->o, w & 0x7F7F7F7F7F7F7F7Full);
    if (lanes < 4) {
      r->i += 2 * lanes;
      r->o += 2 * lanes;
      break;
    }
    r->i += 8;
    r->o += 8;
  }
}

// Shift-JIS half-width katakana to EUC (0x8E before each) while they last.
inline void SjisKanaToEucRun(Run* r) {
  while (r->i + 8 <= r->n) {
    uint64_t x = Load8(r->s + r->i) & 0xFFFFFFFFull;  // four bytes, one per lane
    x = ((x << 16) | x) & 0x0000FFFF0000FFFFull;
    x = ((x << 8) | x) & kLaneLow;
    size_t lanes = LeadingLanes(AtLeast(x, 0xA1) & ~AtLeast(x, 0xE0));
    Store8(r->o, (x << 8) | (kLaneOne * 0x8E));
    if (lanes < 4) {
      r->i += lanes;
      r->o += 2 * lanes;
      break;
    }
    r->i += 4;
    r->o += 8;
  }
}

// EUC half-width katakana (0x8E and a byte 0xA1-0xDF) to Shift-JIS.
inline void EucKanaToSjisRun(Run* r) {
  while (r->i + 8 <= r->n) {
    uint64_t w = Load8(r->s + r->i);
    uint64_t c1 = w & kLaneLow;
    uint64_t c2 = (w >> 8) & kLaneLow;
    uint64_t is8E = AtLeast(c1, 0x8E) & ~AtLeast(c1, 0x8F);
    size_t lanes = LeadingLanes(is8E & AtLeast(c2, 0xA1) & ~AtLeast(c2, 0xE0));
    uint64_t x = (c2 | (c2 >> 8)) & 0x0000FFFF0000FFFFull;  // the four kana, packed
    x = (x | (x >> 16)) & 0xFFFFFFFFull;
    Store8(r->o, x);
    if (lanes < 4) {
      r->i += 2 * lanes;
      r->o += lanes;
      break;
    }
    r->i += 8;
    r->o += 4;
  }
}

}  // namespace gnutil::jaconv

#endif  // GNUTIL_SRC_GENUTIL_JACONV_KERNELS_H
