// Detection of the code set of a Japanese text: JIS escapes, bytes that only
// Shift-JIS or only EUC can hold, and runs that stay ambiguous between them.
#include <stdint.h>
#include <stdio.h>

#include "genutil/jaconv_internal.h"
#include "genutil/jaconv_kernels.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

namespace gnutil {

using namespace jaconv;

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

}  // extern "C"
