// The library's own version, fixed when it is compiled: a program that
// compares it with the version of the headers it was compiled with learns
// which library the loader actually gave it.
#include "gnutil/version.h"

namespace gnutil {

const char* LibraryVersion() noexcept { return GNUTIL_VERSION_STRING; }

int LibraryVersionNumber() noexcept { return GNUTIL_VERSION_NUMBER; }

}  // namespace gnutil
