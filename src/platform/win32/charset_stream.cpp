#include "platform/charset_stream.h"

namespace gnutil::platform {

// The Windows build converts only between the library's own code sets; the
// system's code-page conversions know no EUC-TW, and a partial set of pairs
// would surprise more than a clear refusal.
CharsetResult ConvertCharsetStream(const char*, const char*, FILE*, FILE*, unsigned long long*) {
  return CharsetResult::kUnavailable;
}

}  // namespace gnutil::platform
