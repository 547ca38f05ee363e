// The system's converter between character encodings, for encodings the
// library has no tables of its own for (UTF-8): glibc's iconv on Linux. The
// Windows build has none: the system's code-page conversions know no EUC-TW,
// and a partial set of pairs would surprise more than a clear refusal.
//
// The seam converts one buffer at a time; reading, writing, chunk edges and
// what to do with invalid input are the portable caller's (genutil/codestream).
#ifndef GNUTIL_SRC_PLATFORM_CHARSET_H
#define GNUTIL_SRC_PLATFORM_CHARSET_H

#include <stddef.h>

namespace gnutil::platform {

struct CharsetConverter;

// A converter from the encoding `from` to `to` (iconv's names: "SHIFT_JIS",
// "EUC-JP", "ISO-2022-JP", "BIG5", "EUC-TW", "UTF-8"), or null when the system
// converts neither way between them.
CharsetConverter* OpenCharsetConverter(const char* from, const char* to);
void CloseCharsetConverter(CharsetConverter* converter);

enum class CharsetStep {
  kDone,        // all the input was converted
  kOutputFull,  // the output buffer is full: empty it and call again
  kIncomplete,  // the input ends inside a character
  kInvalid,     // *in is at a sequence that is no character of `from` or has no form in `to`
};

// Converts from *in (*inLeft bytes) into *out (*outLeft bytes of room),
// advancing all four past what was converted. A null *in ends the text: the
// converter writes what returns its output to the initial shift state.
CharsetStep ConvertCharset(CharsetConverter* converter, const char** in, size_t* inLeft, char** out,
                           size_t* outLeft);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_CHARSET_H
