// Conversion of a whole stream between two character encodings by the
// system's converter, for encodings the library has no tables of its own for
// (UTF-8): glibc's iconv on Linux.
#ifndef GNUTIL_SRC_PLATFORM_CHARSET_STREAM_H
#define GNUTIL_SRC_PLATFORM_CHARSET_STREAM_H

#include <stdio.h>

namespace gnutil::platform {

enum class CharsetResult {
  kOk,
  kUnavailable,  // the system converts neither way between these two
  kInvalid,      // a sequence that is no character of `from`, or has no form in `to`
  kReadError,
  kWriteError,
};

// Converts everything that remains of in onto out, from the encoding `from`
// to `to` (iconv's names: "SHIFT_JIS", "EUC-JP", "ISO-2022-JP", "BIG5",
// "EUC-TW", "UTF-8"), in constant memory. On kInvalid, *offset is the input byte where conversion
// stopped; what was written before it is left to the caller to discard.
CharsetResult ConvertCharsetStream(const char* from, const char* to, FILE* in, FILE* out,
                                   unsigned long long* offset);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_CHARSET_STREAM_H
