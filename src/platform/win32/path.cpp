// Windows file names: '\' separates, and the runtime accepts '/' as well.
#include "platform/path.h"

namespace gnutil::platform {

char PathSeparator() { return '\\'; }

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash + 1 == path.size() ? slash + 1 : slash);
}

}  // namespace gnutil::platform
