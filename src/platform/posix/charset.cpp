#include "platform/charset.h"

#include <errno.h>
#include <iconv.h>

namespace gnutil::platform {

struct CharsetConverter {
  iconv_t cd;
};

CharsetConverter* OpenCharsetConverter(const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return new CharsetConverter{cd};
}

void CloseCharsetConverter(CharsetConverter* converter) {
  if (converter == nullptr) return;
  iconv_close(converter->cd);
  delete converter;
}

CharsetStep ConvertCharset(CharsetConverter* converter, const char** in, size_t* inLeft, char** out,
                           size_t* outLeft) {
  // glibc declares the input as char** although it never writes through it.
  char* src = const_cast<char*>(*in);
  size_t rc = *in == nullptr ? iconv(converter->cd, nullptr, nullptr, out, outLeft)
                             : iconv(converter->cd, &src, inLeft, out, outLeft);
  int error = errno;
  if (*in != nullptr) *in = src;
  if (rc != static_cast<size_t>(-1)) return CharsetStep::kDone;
  if (error == E2BIG) return CharsetStep::kOutputFull;
  if (error == EINVAL) return CharsetStep::kIncomplete;
  return CharsetStep::kInvalid;
}

}  // namespace gnutil::platform
