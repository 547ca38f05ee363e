// Blocks of densely mixed text. Where the character class changes every
// character or two (records of half-width katakana, digits and kanji) the run
// kernels of jaconv_kernels.h never engage and the byte-at-a-time path pays a
// mispredicted branch per character. The block kernels here take any 16 (or
// 32) bytes that start on a character boundary:
//
//  1. classify the bytes with vector compares and turn the lead bytes into a
//     bit mask; the bytes that start a two-byte character follow from it by
//     carry arithmetic (PairStarts), without a loop;
//  2. Japanese: convert every byte as if it were the first and as if it were
//     the second byte of a pair, and select per byte; then insert (Shift-JIS
//     half-width katakana gain 0x8E) or drop (EUC 0x8E before them) bytes
//     with a byte shuffle from a table indexed by eight bits of the mask;
//  3. Big5 to EUC-TW (table-driven, 2 or 4 bytes out): copy the single bytes
//     sixteen at a time and look up only the pairs, walking the mask;
//  4. EUC-TW to Big5: compute every position's table index in vectors and
//     fetch the pairs with a gather, then drop bytes as in 2.
//
// A block whose last byte leads a pair ends before it; the next block
// starts there. The result is the byte-at-a-time path's, byte for byte (the
// kernel tests check every block kernel against it).
//
// The shuffles need SSSE3 and the gather AVX2, neither of which is in the
// x86-64 baseline: those kernels are compiled for them and chosen at run
// time. Big5 to EUC-TW needs SSE2 only. Other targets keep the word kernels.
#ifndef GNUTIL_SRC_GENUTIL_JACONV_BLOCKS_H
#define GNUTIL_SRC_GENUTIL_JACONV_BLOCKS_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "genutil/jaconv_kernels.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__)
#define GNUTIL_BLOCK_KERNELS 1
#include <emmintrin.h>
#include <immintrin.h>
#include <tmmintrin.h>
#define GNUTIL_SSSE3 __attribute__((target("ssse3")))
#endif

namespace gnutil::jaconv {

// The bytes that start a two-byte character, given the bytes that would take
// the next byte as a second one if they started a character (bit k for byte
// k; byte 0 starts a character). Inside a run of such bytes the characters
// alternate from the run's first byte, so the starts are the run's even
// positions: runs that begin on an even bit are told from those that begin
// on an odd one by adding their first bits (the carry clears exactly the
// runs that received one).
inline uint32_t PairStarts(uint32_t lead) {
  uint32_t runStarts = lead & ~(lead << 1);
  uint32_t evenRuns = lead & ~(lead + (runStarts & 0x55555555u));
  uint32_t oddRuns = lead & ~evenRuns;
  return (evenRuns & 0x55555555u) | (oddRuns & 0xAAAAAAAAu);
}

// Shuffle tables for eight bytes at a time, indexed by a bit mask of those
// bytes: where each output byte comes from, and how many there are.
// Expand: byte 15 of the source (0x8E) goes before every byte whose bit is
// set. Drop: the bytes whose bit is set are left out.
struct ShuffleTables {
  unsigned char expand[256][16] = {};
  unsigned char expandLength[256] = {};
  unsigned char drop[256][16] = {};
  unsigned char dropLength[256] = {};

  constexpr ShuffleTables() {
    for (int m = 0; m < 256; ++m) {
      int e = 0, d = 0;
      for (int k = 0; k < 8; ++k) {
        if (m & (1 << k)) {
          expand[m][e++] = 15;
        } else {
          drop[m][d++] = static_cast<unsigned char>(k);
        }
        expand[m][e++] = static_cast<unsigned char>(k);
      }
      for (int k = e; k < 16; ++k) expand[m][k] = 0x80;  // zero: never counted
      for (int k = d; k < 16; ++k) drop[m][k] = 0x80;
      expandLength[m] = static_cast<unsigned char>(e);
      dropLength[m] = static_cast<unsigned char>(d);
    }
  }
};

inline constexpr ShuffleTables kShuffles{};

// Shuffles that gather the 16-bit lanes of a vector's set positions (bits of
// an 8-bit mask) into consecutive lanes from lane `first` (0-4) on, and that
// spread them back: byte k of spreadLow, or byte 8 + k of spreadHigh, takes
// the first byte of the pair in the lane that position k went to. The two
// halves of sixteen positions thus share one vector of eight lanes: the first
// half's from lane 0, the second's after them.
struct PackTables {
  unsigned char pack[5][256][16] = {};
  unsigned char spreadLow[256][16] = {};
  unsigned char spreadHigh[5][256][16] = {};
  unsigned char count[256] = {};

  constexpr PackTables() {
    for (int first = 0; first <= 4; ++first) {
      for (int m = 0; m < 256; ++m) {
        for (int k = 0; k < 16; ++k) {
          pack[first][m][k] = spreadHigh[first][m][k] = 0x80;
          if (first == 0) spreadLow[m][k] = 0x80;
        }
        int lane = first;
        for (int k = 0; k < 8; ++k) {
          if (!(m & (1 << k))) continue;
          if (lane < 8) {
            pack[first][m][2 * lane] = static_cast<unsigned char>(2 * k);
            pack[first][m][2 * lane + 1] = static_cast<unsigned char>(2 * k + 1);
            spreadHigh[first][m][8 + k] = static_cast<unsigned char>(2 * lane);
            if (first == 0) spreadLow[m][k] = static_cast<unsigned char>(2 * lane);
          }
          ++lane;
        }
        if (first == 0) count[m] = static_cast<unsigned char>(lane);
      }
    }
  }
};

inline constexpr PackTables kPacks{};

#ifdef GNUTIL_BLOCK_KERNELS

// Whether the processor has SSSE3, asked once.
inline bool HaveSsse3() {
  static const bool have = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0;
  }();
  return have;
}

// All ones in the bytes of v that lie in [lo, hi]: the unsigned range test
// as one add and one signed compare.
inline __m128i InRange(__m128i v, int lo, int hi) {
  __m128i t = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(0x80 - lo)));
  return _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(hi - lo - 127)), t);
}

inline __m128i Blend(__m128i mask, __m128i yes, __m128i no) {
  return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

inline __m128i Load16(const unsigned char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void Store16(unsigned char* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

inline unsigned Bits(__m128i mask) { return static_cast<unsigned>(_mm_movemask_epi8(mask)); }

// The 16-bit mask as all-ones/all-zeros bytes.
GNUTIL_SSSE3 inline __m128i BytesOfBits(unsigned bits) {
  __m128i v = _mm_shuffle_epi8(_mm_cvtsi32_si128(static_cast<int>(bits)),
                               _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1));
  const __m128i bit = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
  return _mm_cmpeq_epi8(_mm_and_si128(v, bit), bit);
}

inline __m128i Row(const unsigned char (*table)[16], unsigned bits) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(table[bits]));
}

// Shift-JIS to EUC while at least 16 bytes remain. The output bound of 2n
// leaves room for the two 16-byte stores of every block.
GNUTIL_SSSE3 inline void SjisToEucBlocks(Run* r) {
  const __m128i high = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i low8 = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m128i mark8E =
      _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<char>(0x8E));
  const unsigned char* s = r->s;
  unsigned char* o = r->o;
  size_t i = r->i;
  while (i + 16 <= r->n) {
    __m128i b = Load16(s + i);
    if (Bits(b) == 0) {
      Store16(o, b);
      i += 16;
      o += 16;
      continue;
    }
    __m128i lead = _mm_or_si128(InRange(b, 0x81, 0x9F), InRange(b, 0xE0, 0xEF));
    unsigned starts = PairStarts(Bits(lead));
    unsigned kana = Bits(InRange(b, 0xA1, 0xDF)) & ~(starts << 1);
    // Every byte as the first and as the second byte of a pair (the scalar
    // pair arithmetic, in bytes: the results are taken modulo 256 anyway).
    __m128i below9F = InRange(b, 0x00, 0x9E);
    __m128i rowOffset = _mm_sub_epi8(_mm_set1_epi8(static_cast<char>(0xB0)),
                                     _mm_and_si128(InRange(b, 0x00, 0x9F), _mm_set1_epi8(0x40)));
    __m128i row = _mm_sub_epi8(b, rowOffset);
    __m128i first = _mm_add_epi8(_mm_add_epi8(row, row), _mm_srli_si128(below9F, 1));
    __m128i cell = _mm_sub_epi8(_mm_set1_epi8(0x1F), _mm_cmplt_epi8(b, _mm_setzero_si128()));
    __m128i cellOffset = Blend(below9F, cell, _mm_set1_epi8(0x7E));
    __m128i second = _mm_sub_epi8(b, cellOffset);
    __m128i pairs =
        _mm_and_si128(BytesOfBits(starts & 0xFFFF), _mm_srli_si128(InRange(b, 0x40, 0xFC), 1));
    __m128i v = Blend(pairs, _mm_or_si128(first, high),
                      Blend(_mm_slli_si128(pairs, 1), _mm_or_si128(second, high), b));
    unsigned lo = kana & 0xFF, hi = (kana >> 8) & 0xFF;
    Store16(o, _mm_shuffle_epi8(_mm_or_si128(_mm_and_si128(v, low8), mark8E),
                                Row(kShuffles.expand, lo)));
    o += kShuffles.expandLength[lo];
    Store16(
        o, _mm_shuffle_epi8(_mm_or_si128(_mm_srli_si128(v, 8), mark8E), Row(kShuffles.expand, hi)));
    unsigned cut = (starts >> 15) & 1;  // the last byte leads a pair: left for later
    o += kShuffles.expandLength[hi] - cut;
    i += 16 - cut;
  }
  r->i = i;
  r->o = o;
}

// EUC to Shift-JIS while at least 16 bytes remain; the output is never
// longer than the input, so the 8-byte stores stay within the block.
GNUTIL_SSSE3 inline void EucToSjisBlocks(Run* r) {
  const unsigned char* s = r->s;
  unsigned char* o = r->o;
  size_t i = r->i;
  while (i + 16 <= r->n) {
    __m128i b = Load16(s + i);
    if (Bits(b) == 0) {
      Store16(o, b);
      i += 16;
      o += 16;
      continue;
    }
    __m128i euc = InRange(b, 0xA1, 0xFE);
    __m128i is8E = _mm_cmpeq_epi8(b, _mm_set1_epi8(static_cast<char>(0x8E)));
    unsigned starts = PairStarts(Bits(_mm_or_si128(euc, is8E)));
    __m128i startV = BytesOfBits(starts & 0xFFFF);
    __m128i pairs = _mm_and_si128(_mm_and_si128(startV, euc), _mm_srli_si128(euc, 1));
    unsigned dropped =
        Bits(_mm_and_si128(_mm_and_si128(startV, is8E), _mm_srli_si128(InRange(b, 0xA1, 0xDF), 1)));
    // JIS row/cell are below 0x80, so signed compares serve.
    __m128i j = _mm_andnot_si128(_mm_set1_epi8(static_cast<char>(0x80)), b);
    __m128i rowOffset =
        _mm_add_epi8(_mm_set1_epi8(0x70),
                     _mm_and_si128(_mm_cmpgt_epi8(j, _mm_set1_epi8(0x5E)), _mm_set1_epi8(0x40)));
    __m128i first = _mm_add_epi8(_mm_avg_epu8(j, _mm_setzero_si128()), rowOffset);
    __m128i odd = _mm_cmpeq_epi8(_mm_and_si128(j, _mm_set1_epi8(1)), _mm_set1_epi8(1));
    __m128i cell = _mm_sub_epi8(_mm_set1_epi8(0x1F), _mm_cmpgt_epi8(j, _mm_set1_epi8(0x5F)));
    __m128i second = _mm_add_epi8(j, Blend(_mm_slli_si128(odd, 1), cell, _mm_set1_epi8(0x7E)));
    __m128i v = Blend(pairs, first, Blend(_mm_slli_si128(pairs, 1), second, b));
    unsigned lo = dropped & 0xFF, hi = (dropped >> 8) & 0xFF;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_shuffle_epi8(v, Row(kShuffles.drop, lo)));
    o += kShuffles.dropLength[lo];
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o),
                     _mm_shuffle_epi8(_mm_srli_si128(v, 8), Row(kShuffles.drop, hi)));
    unsigned cut = (starts >> 15) & 1;
    o += kShuffles.dropLength[hi] - cut;
    i += 16 - cut;
  }
  r->i = i;
  r->o = o;
}

// Big5 to EUC-TW while at least 32 bytes remain (a block copies its single
// bytes with 16-byte loads from anywhere inside it). toEucTw: the EUC-TW
// bytes of lead 0xA1 + row and trail t at [row * 256 + t], 2 or 4 of them.
inline void Big5ToEucTwBlocks(Run* r, const unsigned char (*toEucTw)[4]) {
  const unsigned char* s = r->s;
  unsigned char* o = r->o;
  size_t i = r->i;
  while (i + 32 <= r->n) {
    const unsigned char* p = s + i;
    unsigned lead = Bits(InRange(Load16(p), 0xA1, 0xFE));
    unsigned starts = PairStarts(lead);
    if (starts == 0x5555) {  // eight pairs (prose): no single bytes to copy, no walk
      for (unsigned k = 0; k < 16; k += 2) {
        const unsigned char* e = toEucTw[(p[k] - 0xA1) * 256 + p[k + 1]];
        memcpy(o, e, 4);
        o += 2 + (((e[3] + 0xFFu) >> 7) & 2);
      }
      i += 16;
      continue;
    }
    unsigned end = 16 - ((starts >> 15) & 1);
    unsigned pos = 0;
    for (unsigned m = starts & 0x7FFF; m != 0; m &= m - 1) {
      unsigned k = static_cast<unsigned>(CountTrailingZeros(m));
      Store16(o, Load16(p + pos));
      o += k - pos;
      const unsigned char* e = toEucTw[(p[k] - 0xA1) * 256 + p[k + 1]];
      memcpy(o, e, 4);
      // 4 when the fourth byte is set, else 2. Arithmetic, not a compare:
      // a branch here would be mispredicted on every change of plane.
      o += 2 + (((e[3] + 0xFFu) >> 7) & 2);
      pos = k + 2;
    }
    Store16(o, Load16(p + pos));
    o += end - pos;
    i += end;
  }
  r->i = i;
  r->o = o;
}

// Whether the processor has AVX2 (for its gather) and BMI1/BMI2 (for the
// bit masks), asked once.
inline bool HaveAvx2() {
  static const bool have = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("bmi2");
  }();
  return have;
}

#define GNUTIL_AVX2 __attribute__((target("avx2,bmi,bmi2")))

// The 2-byte table entries at eight 16-bit indexes, as 16-bit lanes.
GNUTIL_AVX2 inline __m128i FetchPairs8(const int* table, __m128i index) {
  __m256i entries = _mm256_i32gather_epi32(table, _mm256_cvtepu16_epi32(index), 2);
  entries = _mm256_and_si256(entries, _mm256_set1_epi32(0xFFFF));
  return _mm_packus_epi32(_mm256_castsi256_si128(entries), _mm256_extracti128_si256(entries, 1));
}

// The 32-bit mask as all-ones/all-zeros bytes.
GNUTIL_AVX2 inline __m256i BytesOfBits32(uint32_t bits) {
  __m256i v = _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(bits)),
                                  _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1,
                                                   2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3));
  const __m256i bit = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ull));
  return _mm256_cmpeq_epi8(_mm256_and_si256(v, bit), bit);
}

// 32 bytes counted from 0xA1.
GNUTIL_AVX2 inline __m256i FromA1(const unsigned char* q) {
  return _mm256_sub_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(q)),
                         _mm256_set1_epi8(static_cast<char>(0xA1)));
}

// The table indexes of the characters that would start at each of the 32
// positions at p, in 16-bit lanes: positions 0-7 and 16-23 in *index0, 8-15
// and 24-31 in *index1 (the two 128-bit halves). An index is row * 94 + cell
// of the pair there, or for 0x8E the plane's 8836 plus the index of the pair
// two bytes on. Positions set in `invalid` get `none`, and so does any value
// beyond it (positions that start no character).
GNUTIL_AVX2 inline void CnsIndexes(const unsigned char* p, __m256i invalid, unsigned none,
                                   __m256i* index0, __m256i* index1) {
  const __m256i weights = _mm256_set1_epi16(0x015E);  // bytes 94 and 1
  const __m256i lowBytes = _mm256_set1_epi16(0xFF);
  __m256i c0 = FromA1(p);  // lane j: bytes 2j, 2j+1 counted from 0xA1
  __m256i c1 = FromA1(p + 1);
  __m256i even = _mm256_maddubs_epi16(c0, weights);  // the pair at 2j
  __m256i odd = _mm256_maddubs_epi16(c1, weights);   // the pair at 2j+1
  const __m256i plane = _mm256_set1_epi16(94 * 94);
  __m256i evenFour = _mm256_add_epi16(_mm256_maddubs_epi16(FromA1(p + 2), weights),
                                      _mm256_mullo_epi16(_mm256_srli_epi16(c0, 8), plane));
  __m256i oddFour = _mm256_add_epi16(_mm256_maddubs_epi16(FromA1(p + 3), weights),
                                     _mm256_mullo_epi16(_mm256_srli_epi16(c1, 8), plane));
  const __m256i lead8E = _mm256_set1_epi16((0x8E - 0xA1) & 0xFF);
  even = _mm256_blendv_epi8(even, evenFour,
                            _mm256_cmpeq_epi16(_mm256_and_si256(c0, lowBytes), lead8E));
  odd =
      _mm256_blendv_epi8(odd, oddFour, _mm256_cmpeq_epi16(_mm256_and_si256(c1, lowBytes), lead8E));
  const __m256i last = _mm256_set1_epi16(static_cast<short>(none));
  *index0 = _mm256_min_epu16(
      _mm256_or_si256(_mm256_unpacklo_epi16(even, odd), _mm256_unpacklo_epi8(invalid, invalid)),
      last);
  *index1 = _mm256_min_epu16(
      _mm256_or_si256(_mm256_unpackhi_epi16(even, odd), _mm256_unpackhi_epi8(invalid, invalid)),
      last);
}

// The Big5 pairs of the characters that start at the positions set in
// `chars` (16 bits, never two adjacent), whose indexes are in two vectors of
// 16-bit lanes: their first bytes in *firsts, their second bytes in *seconds,
// one byte per position. At most eight characters: one gather.
GNUTIL_AVX2 inline void FetchBig5(const int* table, __m128i index0, __m128i index1, unsigned chars,
                                  __m128i* firsts, __m128i* seconds) {
  unsigned lo = chars & 0xFF, hi = chars >> 8, before = kPacks.count[lo];
  __m128i packed = _mm_or_si128(_mm_shuffle_epi8(index0, Row(kPacks.pack[0], lo)),
                                _mm_shuffle_epi8(index1, Row(kPacks.pack[before], hi)));
  __m128i pairs = FetchPairs8(table, packed);
  __m128i spreadLo = Row(kPacks.spreadLow, lo), spreadHi = Row(kPacks.spreadHigh[before], hi);
  *firsts = _mm_or_si128(_mm_shuffle_epi8(pairs, spreadLo), _mm_shuffle_epi8(pairs, spreadHi));
  const __m128i one = _mm_set1_epi8(1);
  *seconds = _mm_or_si128(_mm_shuffle_epi8(pairs, _mm_add_epi8(spreadLo, one)),
                          _mm_shuffle_epi8(pairs, _mm_add_epi8(spreadHi, one)));
}

// Stores the bytes of v whose bit in `dropped` is clear, eight at a time.
GNUTIL_SSSE3 inline unsigned char* StoreKept(unsigned char* o, __m128i v, unsigned dropped) {
  unsigned lo = dropped & 0xFF, hi = (dropped >> 8) & 0xFF;
  _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_shuffle_epi8(v, Row(kShuffles.drop, lo)));
  o += kShuffles.dropLength[lo];
  _mm_storel_epi64(reinterpret_cast<__m128i*>(o),
                   _mm_shuffle_epi8(_mm_srli_si128(v, 8), Row(kShuffles.drop, hi)));
  return o + kShuffles.dropLength[hi];
}

// EUC-TW to Big5, 32 bytes a block, while at least 48 bytes remain (the
// indexes of a block's last positions read 3 bytes past it). 0x8E starts a
// four-byte character; taken as a lead of pairs it gives the same starts
// whenever the third byte is a lead too. A block stops before a four-byte
// character where that fails and before a character that it cuts; it may
// then take nothing, and the caller converts one character by itself.
//
// The table index of a character is computed for every position at once,
// the Big5 pairs of all positions are fetched with gathers, and each
// character's pair replaces its first two bytes; dropping the last two
// bytes of four-byte characters leaves the output. No loop over the
// characters: their number varies from block to block, and a loop's exit
// would be mispredicted in nearly every one.
//
// toBig5: the Big5 pair of each plane-linear CNS index below `none` (planes
// 1-4), "??" at `none`, and two readable bytes after it (a gather lane
// reads four bytes).
GNUTIL_AVX2 inline void EucTwToBig5Blocks(Run* r, const unsigned char (*toBig5)[2], unsigned none) {
  const unsigned char* s = r->s;
  unsigned char* o = r->o;
  size_t i = r->i;
  const int* table = reinterpret_cast<const int*>(toBig5);
  const __m128i x8E = _mm_set1_epi8(static_cast<char>(0x8E));
  while (i + 48 <= r->n) {
    const unsigned char* p = s + i;
    __m128i b0 = Load16(p), b1 = Load16(p + 16);
    uint32_t euc = Bits(InRange(b0, 0xA1, 0xFE)) | Bits(InRange(b1, 0xA1, 0xFE)) << 16;
    uint32_t is8E = Bits(_mm_cmpeq_epi8(b0, x8E)) | Bits(_mm_cmpeq_epi8(b1, x8E)) << 16;
    if ((euc | is8E) == 0) {
      Store16(o, b0);
      Store16(o + 16, b1);
      i += 32;
      o += 32;
      continue;
    }
    uint32_t planes = Bits(InRange(b0, 0xA1, 0xA4)) | Bits(InRange(b1, 0xA1, 0xA4)) << 16;
    uint32_t starts = PairStarts(euc | is8E);
    uint32_t four = starts & is8E;
    uint32_t valid = (~is8E & (euc >> 1)) | (is8E & (planes >> 1) & (euc >> 3));
    uint64_t bad = (four & ~(euc >> 2)) | (four & 0xE0000000u) | (1ull << 32);
    unsigned end = static_cast<unsigned>(CountTrailingZeros(bad));
    unsigned cut = 32 - (starts >> 31);
    if (cut < end) end = cut;
    if (end == 0) break;
    uint32_t below = static_cast<uint32_t>((1ull << end) - 1);
    four &= below;
    uint32_t chars = starts & ~(four << 2) & below;
    __m256i x0, x1;
    CnsIndexes(p, BytesOfBits32(~valid), none, &x0, &x1);
    __m128i f0, s0, f1, s1;
    FetchBig5(table, _mm256_castsi256_si128(x0), _mm256_castsi256_si128(x1), chars & 0xFFFF, &f0,
              &s0);
    FetchBig5(table, _mm256_extracti128_si256(x0, 1), _mm256_extracti128_si256(x1, 1), chars >> 16,
              &f1, &s1);
    __m128i lead0 = BytesOfBits(chars & 0xFFFF), lead1 = BytesOfBits(chars >> 16);
    __m128i v0 = Blend(lead0, f0, Blend(_mm_slli_si128(lead0, 1), _mm_slli_si128(s0, 1), b0));
    __m128i v1 =
        Blend(lead1, f1, Blend(_mm_alignr_epi8(lead1, lead0, 15), _mm_alignr_epi8(s1, s0, 15), b1));
    uint32_t dropped = (four << 2) | (four << 3) | ~below;
    o = StoreKept(o, v0, dropped & 0xFFFF);
    o = StoreKept(o, v1, dropped >> 16);
    i += end;
  }
  r->i = i;
  r->o = o;
}

#endif  // GNUTIL_BLOCK_KERNELS

}  // namespace gnutil::jaconv

#endif  // GNUTIL_SRC_GENUTIL_JACONV_BLOCKS_H
