#include "platform/charset.h"

namespace gnutil::platform {

// No converter here (see charset.h): every pair is refused at the open.
struct CharsetConverter {};

CharsetConverter* OpenCharsetConverter(const char*, const char*) { return nullptr; }

void CloseCharsetConverter(CharsetConverter*) {}

CharsetStep ConvertCharset(CharsetConverter*, const char**, size_t*, char**, size_t*) {
  return CharsetStep::kInvalid;
}

}  // namespace gnutil::platform
