// POSIX file names: '/' separates, and only it.
#include "platform/path.h"

namespace gnutil::platform {

char PathSeparator() { return '/'; }

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace gnutil::platform
