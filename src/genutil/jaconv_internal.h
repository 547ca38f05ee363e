// Internals of the code conversion module: the converters on byte ranges,
// with state that carries from one piece of a stream to the next. The public
// functions of jaconv.h, the file functions of mbstring.h and the stream
// converter of codestream.h are all built on these.
#ifndef GNUTIL_SRC_GENUTIL_JACONV_INTERNAL_H
#define GNUTIL_SRC_GENUTIL_JACONV_INTERNAL_H

#include <stddef.h>
#include <stdio.h>

namespace gnutil {

enum class Conversion {
  kCopy,
  kJisToSjis,
  kJisToEuc,
  kEucToSjis,
  kEucToJis,
  kSjisToEuc,
  kSjisToJis,
  kBig5ToEucTw,
  kEucTwToBig5,
};

// The conversion that convertStrExt applies from one code set to another;
// kCopy for equal code sets and every pair it does not convert.
Conversion ConversionFor(int fromCodeSet, int toCodeSet);

// The most bytes that n bytes of input can become, not counting a NUL. JIS
// output is the largest: an escape pair around every half-width katakana
// that sits between single bytes makes 2 bytes 9.
size_t MaxConvertedLength(Conversion c, size_t n);

// What a conversion remembers between the pieces of one stream: the JIS
// shift state of the input and of the output.
struct ConversionState {
  bool inputTwoByte = false;
  bool outputTwoByte = false;
};

// Converts src[0, n) into dst, which has room for MaxConvertedLength(c, n)
// bytes, and returns the number of bytes written (no NUL is added).
//
// With last false, a character or escape sequence cut off by the end of the
// piece is left unconsumed: *consumed says where the next piece must start.
// With last true the piece ends the text: the bytes of a cut character are
// copied as they are, and JIS output is returned to single-byte mode.
// NUL bytes are ordinary single bytes here.
size_t ConvertBytes(Conversion c, const unsigned char* src, size_t n, unsigned char* dst,
                    ConversionState* state, bool last, size_t* consumed);

// ConvertBytes on the byte-at-a-time path only, without the word and vector
// kernels: the reference that the fast path must match byte for byte.
size_t ConvertBytesScalar(Conversion c, const unsigned char* src, size_t n, unsigned char* dst,
                          ConversionState* state, bool last, size_t* consumed);

// ConvertBytes with the word and eight-pair kernels but without the
// sixteen-byte block kernels: the tests hold both fast paths to the scalar one.
size_t ConvertBytesWithoutBlocks(Conversion c, const unsigned char* src, size_t n,
                                 unsigned char* dst, ConversionState* state, bool last,
                                 size_t* consumed);

// The kernels a converter may use: none (the byte-at-a-time reference), the
// word and eight-pair kernels, or those and the block kernels where the
// processor has them.
enum class Kernels { kNone, kWords, kBlocks };

// The converters behind ConvertBytes, one per direction, with the same
// contract.
size_t SjisToEuc(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used,
                 Kernels kernels);
size_t EucToSjis(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used,
                 Kernels kernels);
size_t SjisToJis(const unsigned char* s, size_t n, unsigned char* d, ConversionState* st, bool last,
                 size_t* used, Kernels kernels);
size_t EucToJis(const unsigned char* s, size_t n, unsigned char* d, ConversionState* st, bool last,
                size_t* used, Kernels kernels);
// JIS to Shift-JIS (toEuc false) or EUC (toEuc true).
size_t JisToMb(const unsigned char* s, size_t n, unsigned char* d, ConversionState* st, bool last,
               bool toEuc, size_t* used, Kernels kernels);
size_t Big5ToEucTw(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used,
                   Kernels kernels);
size_t EucTwToBig5(const unsigned char* s, size_t n, unsigned char* d, bool last, size_t* used,
                   Kernels kernels);

// Converts everything that remains of `in` onto `out` in pieces, in constant
// memory; a character or escape sequence is never split between pieces, so
// the bytes are those of converting the whole at once. False on a read or
// write error or when the buffers cannot be allocated.
bool ConvertStream(Conversion c, FILE* in, FILE* out);

// Incremental form of DetectJPCodeType's rules, fed a stream in pieces.
class JpCodeDetector {
 public:
  // Examines bytes until the code set is decided; returns how many were used
  // (fewer than n only when it decided inside this piece).
  size_t Feed(const unsigned char* p, size_t n);
  // Call at the end of the stream: settles a pending look-ahead.
  void Finish();
  bool Decided() const { return result_ == 3 || result_ == 4 || result_ == 5; }
  int Result() const { return result_; }

 private:
  enum class State { kStart, kEsc, kEscDollar, kAfter8E, kAfterKana, kAfterE0, kAmbiguousRun };
  int result_ = 0;
  State state_ = State::kStart;
};

}  // namespace gnutil

#endif  // GNUTIL_SRC_GENUTIL_JACONV_INTERNAL_H
