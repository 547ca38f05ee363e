// Conversion of Japanese text between Shift-JIS, EUC and 7-bit JIS, and of
// Traditional Chinese between Big5 and EUC-TW.
//
// Shift-JIS, EUC and JIS encode the same JIS X 0208 rows and cells, so the
// Japanese converters are pure byte arithmetic: no table, a few compares per
// character, and a word-at-a-time path over runs of ASCII. Big5 and CNS
// 11643 (EUC-TW) are related by 106 ranges that map one to one; they are
// expanded once into two direct index tables so that a character costs one
// load. The converters work on byte ranges with an explicit state so that the
// file functions and the tool can stream; the NUL-terminated public forms
// are thin wrappers.
#include "gnutil/jaconv.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "genutil/jaconv_internal.h"
#include "genutil/mbutil_internal.h"
#include "gnutil/mbutil.h"

namespace gnutil {
namespace {

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

// Full-width Shift-JIS forms of the half-width katakana 0xA1-0xDF (JIS X
// 0201 to JIS X 0208). The voiced and semi-voiced marks map to the spacing
// marks; they are never merged with the kana before them.
const uint16_t kKanaToFullWidth[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A,
    0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360,
    0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374,
    0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,
};

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

// --- Shift-JIS and EUC -------------------------------------------------------

size_t SjisToEuc(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used) {
  Run r{s, n, 0, d};
  const bool words = LittleEndian();
  while (r.i < n) {
    unsigned c = s[r.i];
    size_t before = r.i;
    if (words && r.i + 8 <= n) {
      if (c < 0x80 || IsSjisLead(c)) {
        SjisPairRun(&r, 0x8080808080808080ull);
        if (r.i == before && c < 0x80) AsciiRun(&r);
      } else if (IsKana(c)) {
        SjisKanaToEucRun(&r);
      }
      if (r.i != before) continue;
    }
    Out o{r.o};
    if (c < 0x80) {
      o.Put(c);
      ++r.i;
    } else if (IsSjisLead(c)) {
      if (r.i + 1 == n) {
        if (!last) break;
        o.Put(c);
        ++r.i;
      } else {
        unsigned c2 = s[r.i + 1];
        if (IsSjisTrail(c2)) {
          unsigned j1, j2;
          SjisToJisPair(c, c2, &j1, &j2);
          o.Put2(j1 | 0x80, j2 | 0x80);
        } else {
          o.Put2(c, c2);
        }
        r.i += 2;
      }
    } else if (IsKana(c)) {
      o.Put2(0x8E, c);
      ++r.i;
    } else {
      o.Put(c);
      ++r.i;
    }
    r.o = o.p;
  }
  *used = r.i;
  return static_cast<size_t>(r.o - d);
}

size_t EucToSjis(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used) {
  Run r{s, n, 0, d};
  const bool words = LittleEndian();
  while (r.i < n) {
    unsigned c = s[r.i];
    size_t before = r.i;
    if (words && r.i + 8 <= n) {
      if (c < 0x80 || IsEucByte(c)) {
        EucPairRun(&r);
        if (r.i == before && c < 0x80) AsciiRun(&r);
      } else if (c == 0x8E) {
        EucKanaToSjisRun(&r);
      }
      if (r.i != before) continue;
    }
    Out o{r.o};
    if (IsEucByte(c) || c == 0x8E) {
      if (r.i + 1 == n) {
        if (!last) break;
        o.Put(c);
        ++r.i;
      } else {
        unsigned c2 = s[r.i + 1];
        if (c == 0x8E) {
          if (IsKana(c2)) {
            o.Put(c2);
          } else {
            o.Put2(c, c2);
          }
        } else if (IsEucByte(c2)) {
          unsigned s1, s2;
          JisToSjisPair(c & 0x7F, c2 & 0x7F, &s1, &s2);
          o.Put2(s1, s2);
        } else {
          o.Put2(c, c2);
        }
        r.i += 2;
      }
    } else {
      o.Put(c);
      ++r.i;
    }
    r.o = o.p;
  }
  *used = r.i;
  return static_cast<size_t>(r.o - d);
}

// --- Into JIS ---------------------------------------------------------------

// Writes a JIS pair, entering two-byte mode first when needed.
inline void PutJisPair(Out* o, bool* twoByte, unsigned j1, unsigned j2) {
  if (!*twoByte) {
    o->Esc('$', 'B');
    *twoByte = true;
  }
  o->Put2(j1, j2);
}

// Writes a byte in single-byte mode, leaving two-byte mode first when needed.
inline void PutSingle(Out* o, bool* twoByte, unsigned c) {
  if (*twoByte) {
    o->Esc('(', 'J');
    *twoByte = false;
  }
  o->Put(c);
}

inline void PutKanaAsJis(Out* o, bool* twoByte, unsigned kana) {
  unsigned full = kKanaToFullWidth[kana - 0xA1];
  unsigned j1, j2;
  SjisToJisPair(full >> 8, full & 0xFF, &j1, &j2);
  PutJisPair(o, twoByte, j1, j2);
}

// Switches the output mode before a run: single-byte mode for ASCII, two-byte
// mode for pairs.
inline void SetMode(Run* r, bool* twoByte, bool wanted) {
  if (*twoByte == wanted) return;
  Out o{r->o};
  o.Esc(wanted ? '$' : '(', wanted ? 'B' : 'J');
  r->o = o.p;
  *twoByte = wanted;
}

size_t SjisToJis(const unsigned char* s, size_t n, unsigned char* d, ConversionState* st, bool last,
                 size_t* used) {
  Run r{s, n, 0, d};
  bool two = st->outputTwoByte;
  const bool words = LittleEndian();
  while (r.i < n) {
    unsigned c = s[r.i];
    if (words && r.i + 8 <= n) {
      size_t before = r.i;
      if (c < 0x80) {
        SetMode(&r, &two, false);
        AsciiRun(&r);
      } else if (IsSjisLead(c) && IsSjisTrail(s[r.i + 1])) {
        SetMode(&r, &two, true);
        SjisPairRun(&r, 0);
      }
      if (r.i != before) continue;
    }
    Out o{r.o};
    if (IsSjisLead(c)) {
      if (r.i + 1 == n) {
        if (!last) break;
        o.Put(c);  // a cut character is copied as it is
        ++r.i;
      } else {
        unsigned c2 = s[r.i + 1];
        if (IsSjisTrail(c2)) {
          unsigned j1, j2;
          SjisToJisPair(c, c2, &j1, &j2);
          PutJisPair(&o, &two, j1, j2);
        } else {
          o.Put2(c, c2);  // invalid pair: copied, mode unchanged
        }
        r.i += 2;
      }
    } else if (IsKana(c)) {
      PutKanaAsJis(&o, &two, c);
      ++r.i;
    } else {
      PutSingle(&o, &two, c);
      ++r.i;
    }
    r.o = o.p;
  }
  Out o{r.o};
  if (last && two) {
    o.Esc('(', 'J');
    two = false;
  }
  st->outputTwoByte = two;
  *used = r.i;
  return static_cast<size_t>(o.p - d);
}

size_t EucToJis(const unsigned char* s, size_t n, unsigned char* d, ConversionState* st, bool last,
                size_t* used) {
  Run r{s, n, 0, d};
  bool two = st->outputTwoByte;
  const bool words = LittleEndian();
  while (r.i < n) {
    unsigned c = s[r.i];
    if (words && r.i + 8 <= n) {
      size_t before = r.i;
      if (c < 0x80) {
        SetMode(&r, &two, false);
        AsciiRun(&r);
      } else if (IsEucByte(c) && IsEucByte(s[r.i + 1])) {
        SetMode(&r, &two, true);
        EucToJisPairRun(&r);
      }
      if (r.i != before) continue;
    }
    Out o{r.o};
    if (IsEucByte(c) || c == 0x8E) {
      if (r.i + 1 == n) {
        if (!last) break;
        o.Put(c);
        ++r.i;
      } else {
        unsigned c2 = s[r.i + 1];
        if (c == 0x8E) {
          if (IsKana(c2)) {
            PutKanaAsJis(&o, &two, c2);
          } else {
            o.Put2(c, c2);
          }
        } else if (IsEucByte(c2)) {
          PutJisPair(&o, &two, c & 0x7F, c2 & 0x7F);
        } else {
          o.Put2(c, c2);
        }
        r.i += 2;
      }
    } else {
      PutSingle(&o, &two, c);
      ++r.i;
    }
    r.o = o.p;
  }
  Out o{r.o};
  if (last && two) {
    o.Esc('(', 'J');
    two = false;
  }
  st->outputTwoByte = two;
  *used = r.i;
  return static_cast<size_t>(o.p - d);
}

// --- Out of JIS -------------------------------------------------------------

// JIS to Shift-JIS (toEuc false) or to EUC (toEuc true). Escape sequences
// select the mode and write nothing; CR and LF also end two-byte mode, as
// mail and news software has always relied on.
size_t JisToMb(const unsigned char* s, size_t n, unsigned char* d, ConversionState* st, bool last,
               bool toEuc, size_t* used) {
  Out o{d};
  bool two = st->inputTwoByte;
  size_t i = 0;
  while (i < n) {
    unsigned c = s[i];
    if (c == kEsc) {
      if (i + 1 == n) {
        if (!last) break;
        o.Put(c);
        ++i;
        break;
      }
      unsigned c2 = s[i + 1];
      if (c2 == '$' || c2 == '(') {
        if (i + 2 == n) {
          if (!last) break;
          o.Put2(c, c2);
          i += 2;
          break;
        }
        two = c2 == '$';
        i += 3;  // the final byte of the sequence is skipped, whatever it is
      } else {
        two = c2 == 'K';
        i += 2;
      }
    } else if (c == '\r' || c == '\n') {
      two = false;
      o.Put(c);
      ++i;
    } else if (two) {
      if (i + 1 == n) {
        if (!last) break;
        o.Put(c);
        ++i;
        break;
      }
      unsigned c2 = s[i + 1];
      if (!In(c, 0x21, 0x7E) || !In(c2, 0x21, 0x7E)) {
        o.Put2(c, c2);  // no JIS pair: copied, so that no NUL can come out of it
      } else if (toEuc) {
        o.Put2(c + 0x80, c2 + 0x80);
      } else {
        unsigned s1, s2;
        JisToSjisPair(c, c2, &s1, &s2);
        o.Put2(s1, s2);
      }
      i += 2;
    } else {
      // Single-byte mode copies everything up to the next escape or line end.
      size_t start = i;
      ++i;
      while (i + 8 <= n && EightPlainJis(s + i)) i += 8;
      while (i < n && s[i] != kEsc && s[i] != '\r' && s[i] != '\n') ++i;
      memcpy(o.p, s + start, i - start);
      o.p += i - start;
    }
  }
  st->inputTwoByte = two;
  *used = i;
  return static_cast<size_t>(o.p - d);
}

// --- Big5 and EUC-TW --------------------------------------------------------

constexpr int kBig5Count = 94 * 157;  // leads 0xA1-0xFE, 157 trail columns
constexpr int kCnsPlaneSize = 94 * 94;
constexpr uint16_t kNoIndex = 0xFFFF;

struct RangeRow {
  uint16_t big5First, big5Last, cnsFirst;
  uint8_t plane;
};

// Big5 ranges and where they land in CNS 11643, in the order that decides
// ties. Two Big5 characters are duplicates of others (6290 is 504, 9574 is
// 9374); their rows land inside another row's range, so the way back finds
// the other row first and gives the original character.
const RangeRow kBig5ToCns[106] = {
    {0, 147, 0, 1},          {148, 148, 149, 1},      {149, 149, 148, 1},
    {150, 233, 150, 1},      {234, 407, 282, 1},      {408, 440, 3102, 1},
    {471, 1882, 3290, 1},    {1883, 1883, 5126, 1},   {1884, 2307, 4702, 1},
    {2308, 4183, 5127, 1},   {4184, 4570, 7004, 1},   {4571, 4571, 7003, 1},
    {4572, 5096, 7391, 1},   {5097, 5285, 7917, 1},   {5286, 5286, 7916, 1},
    {5287, 5370, 8106, 1},   {5371, 5424, 8191, 1},   {5425, 5425, 8246, 1},
    {5426, 5426, 8245, 1},   {5427, 5516, 8247, 1},   {5517, 5517, 8190, 1},
    {5518, 5871, 8337, 1},   {5872, 5881, 470, 1},    {5882, 5891, 480, 1},
    {5892, 5901, 490, 1},    {5902, 5903, 566, 1},    {5904, 5904, 569, 1},
    {5905, 5905, 571, 1},    {5906, 5908, 576, 1},    {5909, 5909, 583, 1},
    {5910, 5910, 586, 1},    {5911, 5911, 589, 1},    {5912, 5912, 591, 1},
    {5913, 5913, 597, 1},    {5914, 5914, 602, 1},    {5915, 5915, 609, 1},
    {5916, 5916, 614, 1},    {5917, 5918, 615, 1},    {5919, 5920, 620, 1},
    {5921, 5921, 628, 1},    {5922, 5922, 633, 1},    {5923, 5924, 666, 1},
    {5925, 5925, 724, 1},    {5926, 5926, 733, 1},    {6180, 6180, 2, 4},
    {6182, 6182, 3, 4},      {6184, 6184, 9, 4},      {6187, 6187, 49, 4},
    {6290, 6290, 3323, 1},   {6280, 6289, 0, 2},      {6291, 6323, 10, 2},
    {6324, 6371, 44, 2},     {6372, 6372, 43, 2},     {6373, 6418, 92, 2},
    {6419, 6585, 139, 2},    {6586, 6586, 138, 2},    {6587, 8426, 306, 2},
    {8427, 8427, 2792, 2},   {8428, 8535, 2147, 2},   {8536, 8536, 2893, 2},
    {8537, 9073, 2255, 2},   {9074, 9074, 2146, 2},   {9075, 9174, 2793, 2},
    {9175, 9573, 2894, 2},   {9574, 9574, 3093, 2},   {9575, 11211, 3293, 2},
    {11212, 11357, 4931, 2}, {11358, 11644, 5078, 2}, {11645, 11760, 5366, 2},
    {11761, 11761, 4930, 2}, {11762, 11898, 5482, 2}, {11899, 11899, 5077, 2},
    {11900, 12003, 5619, 2}, {12004, 12225, 5724, 2}, {12226, 12226, 6312, 2},
    {12227, 12424, 5946, 2}, {12425, 12425, 5723, 2}, {12426, 12507, 6144, 2},
    {12508, 12508, 5365, 2}, {12509, 12594, 6226, 2}, {12595, 12602, 6313, 2},
    {12603, 12603, 6644, 2}, {12604, 12756, 6321, 2}, {12757, 12757, 6787, 2},
    {12758, 12813, 6474, 2}, {12814, 12926, 6531, 2}, {12927, 13068, 6645, 2},
    {13069, 13113, 6788, 2}, {13114, 13114, 6530, 2}, {13115, 13185, 6833, 2},
    {13186, 13379, 6905, 2}, {13380, 13380, 6904, 2}, {13381, 13870, 7099, 2},
    {13871, 13913, 7590, 2}, {13914, 13914, 7589, 2}, {13915, 13915, 7633, 2},
    {13916, 13916, 7645, 2}, {13917, 13927, 7634, 2}, {13928, 13931, 7646, 2},
    {13932, 13932, 3218, 3}, {13933, 13933, 4371, 3}, {13934, 13934, 3335, 3},
    {13935, 13935, 4459, 3}, {13936, 13936, 1094, 3}, {13937, 13937, 2725, 3},
    {13938, 13938, 4007, 3},
};

inline int PlaneLinear(const RangeRow& r) { return (r.plane - 1) * kCnsPlaneSize + r.cnsFirst; }

// Both directions as direct tables of output bytes, built once from the
// rows on first use, so that a character costs one load and no branch:
// Big5 lead and trail -> the EUC-TW bytes (2 or 4; "??" for gaps and invalid
// trails), and plane-linear CNS index -> the Big5 pair ("??" where no row
// applies, and in the last entry, which invalid input is steered to).
constexpr int kMappedPlanes = 4;  // no row reaches beyond plane 4
constexpr int kNoCnsIndex = kMappedPlanes * kCnsPlaneSize;

struct Big5CnsTables {
  unsigned char toEucTw[94 * 256][4];
  unsigned char toBig5[kNoCnsIndex + 1][2];

  Big5CnsTables() {
    uint16_t toCns[kBig5Count];
    uint16_t toBig5Index[kMappedPlanes * kCnsPlaneSize];
    for (uint16_t& v : toCns) v = kNoIndex;
    for (uint16_t& v : toBig5Index) v = kNoIndex;
    // Big5 to CNS: the rows in their order; the first row that holds an
    // index wins.
    for (const RangeRow& r : kBig5ToCns) {
      for (int b = r.big5First; b <= r.big5Last; ++b) {
        if (toCns[b] == kNoIndex) {
          toCns[b] = static_cast<uint16_t>(PlaneLinear(r) + b - r.big5First);
        }
      }
    }
    // CNS to Big5: the same rows sorted by their first CNS index, except that
    // the row of Big5 6290 comes last; again the first row wins.
    const RangeRow* order[106];
    int count = 0;
    for (const RangeRow& r : kBig5ToCns) {
      if (r.big5First != 6290) order[count++] = &r;
    }
    for (int a = 1; a < count; ++a) {  // insertion sort: 105 rows, once
      const RangeRow* x = order[a];
      int b = a;
      for (; b > 0 && PlaneLinear(*order[b - 1]) > PlaneLinear(*x); --b) order[b] = order[b - 1];
      order[b] = x;
    }
    for (const RangeRow& r : kBig5ToCns) {
      if (r.big5First == 6290) order[count++] = &r;
    }
    for (int k = 0; k < count; ++k) {
      const RangeRow& r = *order[k];
      int first = PlaneLinear(r);
      for (int b = r.big5First; b <= r.big5Last; ++b) {
        uint16_t& slot = toBig5Index[first + b - r.big5First];
        if (slot == kNoIndex) slot = static_cast<uint16_t>(b);
      }
    }
    // Output bytes.
    for (int lead = 0; lead < 94; ++lead) {
      for (int trail = 0; trail < 256; ++trail) {
        unsigned char* out = toEucTw[lead * 256 + trail];
        memcpy(out, "??\0\0", 4);
        int column = In(trail, 0x40, 0x7E) ? trail - 0x40
                     : IsEucByte(trail)    ? trail - 0xA1 + 63
                                           : -1;
        if (column < 0) continue;
        unsigned cns = toCns[lead * 157 + column];
        if (cns == kNoIndex) continue;
        unsigned plane = cns / kCnsPlaneSize + 1;
        unsigned index = cns % kCnsPlaneSize;
        unsigned char pair[2] = {static_cast<unsigned char>(index / 94 + 0xA1),
                                 static_cast<unsigned char>(index % 94 + 0xA1)};
        if (plane == 1) {
          memcpy(out, pair, 2);
        } else {
          out[0] = 0x8E;
          out[1] = static_cast<unsigned char>(0xA0 + plane);
          memcpy(out + 2, pair, 2);
        }
      }
    }
    for (int cns = 0; cns <= kNoCnsIndex; ++cns) {
      unsigned big5 = cns < kNoCnsIndex ? toBig5Index[cns] : kNoIndex;
      if (big5 == kNoIndex) {
        memcpy(toBig5[cns], "??", 2);
        continue;
      }
      unsigned column = big5 % 157;
      toBig5[cns][0] = static_cast<unsigned char>(big5 / 157 + 0xA1);
      toBig5[cns][1] = static_cast<unsigned char>(column < 63 ? 0x40 + column : 0xA1 + column - 63);
    }
  }
};

const Big5CnsTables& Tables() {
  static const Big5CnsTables* tables = new Big5CnsTables();  // never freed: used until exit
  return *tables;
}

size_t Big5ToEucTw(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used) {
  const Big5CnsTables& t = Tables();
  Out o{d};
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n && EightAscii(s + i)) {
      memcpy(o.p, s + i, 8);
      o.p += 8;
      i += 8;
      continue;
    }
    // A run of pairs: four bytes are stored and the pointer moves by the
    // two or four that count (the bound of 2n leaves room for the rest).
    while (i + 2 <= n && IsEucByte(s[i])) {
      const unsigned char* e = t.toEucTw[(s[i] - 0xA1) * 256 + s[i + 1]];
      memcpy(o.p, e, 4);
      o.p += e[0] == 0x8E ? 4 : 2;
      i += 2;
    }
    if (i >= n) break;
    unsigned c = s[i];
    if (IsEucByte(c)) {  // a lead byte that ends the piece
      if (!last) break;
      o.Put(c);
      ++i;
      break;
    }
    o.Put(c);
    ++i;
  }
  *used = i;
  return static_cast<size_t>(o.p - d);
}

size_t EucTwToBig5(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used) {
  const Big5CnsTables& t = Tables();
  Out o{d};
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n && EightAscii(s + i)) {
      memcpy(o.p, s + i, 8);
      o.p += 8;
      i += 8;
      continue;
    }
    unsigned c = s[i];
    size_t len = c == 0x8E ? 4 : IsEucByte(c) ? 2 : 1;
    if (len == 1) {
      o.Put(c);
      ++i;
      continue;
    }
    if (i + len > n) {
      if (!last) break;
      memcpy(o.p, s + i, n - i);  // a cut character is copied as it is
      o.p += n - i;
      i = n;
      break;
    }
    const unsigned char* pair = s + i + len - 2;
    unsigned plane = len == 4 ? s[i + 1] - 0xA1u : 0;  // wraps high when below 0xA1
    bool valid = IsEucByte(pair[0]) && IsEucByte(pair[1]) && plane < kMappedPlanes;
    size_t index = plane * kCnsPlaneSize + (pair[0] - 0xA1u) * 94 + (pair[1] - 0xA1u);
    memcpy(o.p, t.toBig5[valid ? index : kNoCnsIndex], 2);
    o.p += 2;
    i += len;
  }
  *used = i;
  return static_cast<size_t>(o.p - d);
}

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

// Converts a NUL-terminated text into dst and terminates it.
char* ConvertText(Conversion c, const char* src, size_t n, char* dst) {
  ConversionState state;
  size_t used;
  size_t written = ConvertBytes(c, reinterpret_cast<const unsigned char*>(src), n,
                                reinterpret_cast<unsigned char*>(dst), &state, true, &used);
  dst[written] = '\0';
  return dst;
}

// Converts into the direction's buffer; null when it cannot grow.
char* ConvertToBuffer(Conversion c, const char* src) {
  size_t n = strlen(src);
  size_t need = MaxConvertedLength(c, n) + 1;
  if (need <= n) return nullptr;  // size overflow
  char* dst = Reserve(BufferFor(c), need);
  if (dst == nullptr) return nullptr;
  return ConvertText(c, src, n, dst);
}

char* CopyToBuffer(BufferId id, const char* src) {
  size_t n = strlen(src);
  char* dst = Reserve(id, n + 1);
  if (dst == nullptr) return nullptr;
  memcpy(dst, src, n + 1);
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

size_t ConvertBytes(Conversion c, const unsigned char* src, size_t n, unsigned char* dst,
                    ConversionState* state, bool last, size_t* consumed) {
  size_t used = 0;
  size_t written = 0;
  switch (c) {
    case Conversion::kCopy:
      memcpy(dst, src, n);
      used = written = n;
      break;
    case Conversion::kJisToSjis:
      written = JisToMb(src, n, dst, state, last, false, &used);
      break;
    case Conversion::kJisToEuc:
      written = JisToMb(src, n, dst, state, last, true, &used);
      break;
    case Conversion::kEucToSjis:
      written = EucToSjis(src, n, dst, last, &used);
      break;
    case Conversion::kEucToJis:
      written = EucToJis(src, n, dst, state, last, &used);
      break;
    case Conversion::kSjisToEuc:
      written = SjisToEuc(src, n, dst, last, &used);
      break;
    case Conversion::kSjisToJis:
      written = SjisToJis(src, n, dst, state, last, &used);
      break;
    case Conversion::kBig5ToEucTw:
      written = Big5ToEucTw(src, n, dst, last, &used);
      break;
    case Conversion::kEucTwToBig5:
      written = EucTwToBig5(src, n, dst, last, &used);
      break;
  }
  if (consumed != nullptr) *consumed = used;
  return written;
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

// The rules follow the order in which a byte can first tell the code sets
// apart. Bytes examined as a possible second byte but unable to be one (below
// 0x40) are examined again on their own, so that an escape right after a
// kana byte is not missed.
size_t JpCodeDetector::Feed(const unsigned char* p, size_t n) {
  size_t i = 0;
  while (i < n && !Decided()) {
    if (state_ == State::kStart) {
      // Whole words that cannot decide anything: ASCII without ESC, or four
      // pairs of bytes 0xA1-0xDF, each ambiguous between EUC and Shift-JIS
      // half-width katakana. A file that stays ambiguous is mostly these.
      while (i + 8 <= n) {
        uint64_t w = Load8(p + i);
        uint64_t high = w & 0x8080808080808080ull;
        if (high == 0) {
          uint64_t esc = w ^ (0x0101010101010101ull * kEsc);
          if (((esc - 0x0101010101010101ull) & ~esc & 0x8080808080808080ull) != 0) break;
          i += 8;
          continue;
        }
        if (high != 0x8080808080808080ull) break;
        uint64_t x = w & 0x7F7F7F7F7F7F7F7Full;  // each byte 0x21-0x5F when it was 0xA1-0xDF
        uint64_t below = (x + 0x5F5F5F5F5F5F5F5Full) & 0x8080808080808080ull;  // >= 0x21
        uint64_t above = (x + 0x2020202020202020ull) & 0x8080808080808080ull;  // >= 0x60
        if (below != 0x8080808080808080ull || above != 0) break;
        result_ = CODESET_EUC_OR_SJIS;
        i += 8;
      }
      if (i >= n) break;
    }
    unsigned c = p[i];
    switch (state_) {
      case State::kStart:
        ++i;
        if (c == kEsc) {
          state_ = State::kEsc;
        } else if (In(c, 0x81, 0x8D) || In(c, 0x8F, 0x9F)) {
          result_ = CODESET_SJIS;
        } else if (c == 0x8E) {
          state_ = State::kAfter8E;
        } else if (IsKana(c)) {
          state_ = State::kAfterKana;
        } else if (In(c, 0xF0, 0xFE)) {
          result_ = CODESET_EUC_J;
        } else if (In(c, 0xE0, 0xEF)) {
          state_ = State::kAfterE0;
        }
        break;
      case State::kEsc:
        state_ = State::kStart;
        if (c == '$') {
          state_ = State::kEscDollar;
          ++i;
        } else if (c == 'K') {
          result_ = CODESET_JIS;
          ++i;
        }
        break;
      case State::kEscDollar:
        state_ = State::kStart;
        if (c == 'B' || c == '@') {
          result_ = CODESET_JIS;
          ++i;
        }
        break;
      case State::kAfter8E:
        state_ = State::kStart;
        if (c < 0x40) break;
        ++i;
        if (In(c, 0x40, 0x7E) || In(c, 0x80, 0xA0) || In(c, 0xE0, 0xFC)) {
          result_ = CODESET_SJIS;
        } else if (IsKana(c)) {
          result_ = CODESET_EUC_OR_SJIS;
        }
        break;
      case State::kAfterKana:
        ++i;
        state_ = State::kStart;
        if (In(c, 0xF0, 0xFE)) {
          result_ = CODESET_EUC_J;
        } else if (IsKana(c)) {
          result_ = CODESET_EUC_OR_SJIS;
        } else if (c <= 0x9F) {
          result_ = CODESET_SJIS;
        } else if (In(c, 0xE0, 0xEF)) {
          result_ = CODESET_EUC_OR_SJIS;
          state_ = State::kAmbiguousRun;
        }
        break;
      case State::kAmbiguousRun:
        if (c < 0x40) {
          state_ = State::kStart;
          break;
        }
        ++i;
        if (In(c, 0x81, 0x8D) || In(c, 0x8F, 0x9F)) {
          result_ = CODESET_SJIS;
        } else if (In(c, 0xFD, 0xFE)) {
          result_ = CODESET_EUC_J;
        }
        break;
      case State::kAfterE0:
        state_ = State::kStart;
        if (c < 0x40) break;
        ++i;
        if (In(c, 0x40, 0x7E) || In(c, 0x80, 0xA0)) {
          result_ = CODESET_SJIS;
        } else if (In(c, 0xFD, 0xFE)) {
          result_ = CODESET_EUC_J;
        } else if (In(c, 0xA1, 0xFC)) {
          result_ = CODESET_EUC_OR_SJIS;
        }
        break;
    }
  }
  return i;
}

void JpCodeDetector::Finish() {
  // A kana byte that ends the file can only be a Shift-JIS half-width kana.
  if (state_ == State::kAfterKana && !Decided()) result_ = CODESET_SJIS;
  state_ = State::kStart;
}

}  // namespace gnutil

using namespace gnutil;

extern "C" {

int DetectJPCodeType(FILE* fp) {
  if (fp == nullptr) return CODESET_NONE;
  JpCodeDetector detector;
  // A seekable stream is read in blocks and then put back just after the
  // deciding byte; other streams are read byte by byte so that nothing past
  // the decision is consumed.
  if (ftell(fp) < 0) {
    int c;
    while (!detector.Decided() && (c = getc(fp)) != EOF) {
      unsigned char b = static_cast<unsigned char>(c);
      if (detector.Feed(&b, 1) == 0) detector.Feed(&b, 1);  // examined again
    }
  } else {
    unsigned char block[16384];
    size_t got;
    while (!detector.Decided() && (got = fread(block, 1, sizeof block, fp)) > 0) {
      size_t used = detector.Feed(block, got);
      if (detector.Decided() && used < got) {
        fseek(fp, -static_cast<long>(got - used), SEEK_CUR);
      }
    }
  }
  detector.Finish();
  return detector.Result();
}

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
