// Traditional Chinese between Big5 and EUC-TW (CNS 11643). The two are
// related by 106 ranges that map one to one; they are expanded once into two
// direct index tables, so that a character costs one load.
#include <string.h>

#include "genutil/jaconv_blocks.h"
#include "genutil/jaconv_internal.h"
#include "genutil/jaconv_kernels.h"

namespace gnutil {

using namespace jaconv;

namespace {

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
  unsigned char toBig5[kNoCnsIndex + 2][2];  // and two bytes that a gather may read

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
    memset(toBig5[kNoCnsIndex + 1], 0, 2);
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

}  // namespace

size_t Big5ToEucTw(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used,
                   Kernels kernels) {
  bool words = kernels != Kernels::kNone;
  const Big5CnsTables& t = Tables();
  Out o{d};
  size_t i = 0;
#ifdef GNUTIL_BLOCK_KERNELS
  if (kernels == Kernels::kBlocks) {
    Run r{s, n, 0, d};
    Big5ToEucTwBlocks(&r, t.toEucTw);
    i = r.i;
    o.p = r.o;
  }
#endif
  while (i < n) {
    if (words && i + 8 <= n && EightAscii(s + i)) {
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

size_t EucTwToBig5(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used,
                   Kernels kernels) {
  bool words = kernels != Kernels::kNone;
  [[maybe_unused]] bool blocks = kernels == Kernels::kBlocks;
  const Big5CnsTables& t = Tables();
  Out o{d};
  size_t i = 0;
  while (i < n) {
#ifdef GNUTIL_BLOCK_KERNELS
    if (blocks && i + 16 <= n && HaveAvx2()) {
      // Blocks stop before a four-byte character they cannot take; that
      // one goes the byte-at-a-time way below, then blocks resume.
      Run r{s, n, i, o.p};
      EucTwToBig5Blocks(&r, t.toBig5, kNoCnsIndex);
      i = r.i;
      o.p = r.o;
      if (i >= n) break;
    }
#endif
    if (words && i + 8 <= n && EightAscii(s + i)) {
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

}  // namespace gnutil
