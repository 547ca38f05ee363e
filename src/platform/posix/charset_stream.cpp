#include "platform/charset_stream.h"

#include <errno.h>
#include <iconv.h>
#include <string.h>

namespace gnutil::platform {

CharsetResult ConvertCharsetStream(const char* from, const char* to, FILE* in, FILE* out,
                                   unsigned long long* offset) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return CharsetResult::kUnavailable;
  char input[1 << 16];
  char output[1 << 18];
  size_t kept = 0;  // bytes of a character cut by the end of the last read
  unsigned long long consumed = 0;
  CharsetResult result = CharsetResult::kOk;
  for (;;) {
    size_t n = fread(input + kept, 1, sizeof input - kept, in);
    if (n == 0 && ferror(in)) {
      result = CharsetResult::kReadError;
      break;
    }
    bool end = n == 0;
    size_t avail = kept + n;
    char* src = input;
    // At the end, a null input flushes the shift state (ISO-2022-JP's
    // return to ASCII).
    bool flushed = false;
    while (avail > 0 || (end && !flushed)) {
      char* dst = output;
      size_t room = sizeof output;
      size_t rc = (avail > 0) ? iconv(cd, &src, &avail, &dst, &room)
                              : (flushed = true, iconv(cd, nullptr, nullptr, &dst, &room));
      int err = errno;
      size_t produced = static_cast<size_t>(dst - output);
      if (produced > 0 && fwrite(output, 1, produced, out) != produced) {
        result = CharsetResult::kWriteError;
        break;
      }
      if (rc != static_cast<size_t>(-1)) continue;
      if (err == E2BIG) continue;
      if (err == EINVAL && !end) break;  // a cut character: read on
      *offset = consumed + static_cast<unsigned long long>(src - input);
      result = CharsetResult::kInvalid;
      break;
    }
    if (result != CharsetResult::kOk || end) break;
    consumed += static_cast<unsigned long long>(src - input);
    memmove(input, src, avail);
    kept = avail;
  }
  iconv_close(cd);
  return result;
}

}  // namespace gnutil::platform
