// The Japanese converters: Shift-JIS and EUC to each other and into 7-bit
// JIS, and JIS back out. Shift-JIS, EUC and JIS encode the same JIS X 0208
// rows and cells, so this is pure byte arithmetic: no table, a few compares
// per character, and the word and vector kernels over runs of ASCII, pairs
// and half-width katakana.
#include <string.h>

#include "genutil/jaconv_blocks.h"
#include "genutil/jaconv_internal.h"
#include "genutil/jaconv_kernels.h"

namespace gnutil {

using namespace jaconv;

namespace {

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

}  // namespace

// --- Shift-JIS and EUC -------------------------------------------------------

size_t SjisToEuc(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used,
                 Kernels kernels) {
  bool words = kernels != Kernels::kNone;
  Run r{s, n, 0, d};
#ifdef GNUTIL_BLOCK_KERNELS
  if (kernels == Kernels::kBlocks && HaveSsse3()) SjisToEucBlocks(&r);
#endif
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

size_t EucToSjis(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used,
                 Kernels kernels) {
  bool words = kernels != Kernels::kNone;
  Run r{s, n, 0, d};
#ifdef GNUTIL_BLOCK_KERNELS
  if (kernels == Kernels::kBlocks && HaveSsse3()) EucToSjisBlocks(&r);
#endif
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

namespace {

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

}  // namespace

size_t SjisToJis(const unsigned char* s, size_t n, unsigned char* d, ConversionState* st, bool last,
                 size_t* used, Kernels kernels) {
  bool words = kernels != Kernels::kNone;
  Run r{s, n, 0, d};
  bool two = st->outputTwoByte;
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
                size_t* used, Kernels kernels) {
  bool words = kernels != Kernels::kNone;
  Run r{s, n, 0, d};
  bool two = st->outputTwoByte;
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
               bool toEuc, size_t* used, Kernels kernels) {
  bool words = kernels != Kernels::kNone;
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
      while (words && i + 8 <= n && EightPlainJis(s + i)) i += 8;
      while (i < n && s[i] != kEsc && s[i] != '\r' && s[i] != '\n') ++i;
      memcpy(o.p, s + start, i - start);
      o.p += i - start;
    }
  }
  st->inputTwoByte = two;
  *used = i;
  return static_cast<size_t>(o.p - d);
}

}  // namespace gnutil
