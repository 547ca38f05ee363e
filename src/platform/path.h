// The shape of the platform's file names: the separator and the directory
// part of a path. Byte-wise: a caller whose paths may hold double-byte
// characters of its code set searches by characters itself.
#ifndef GNUTIL_SRC_PLATFORM_PATH_H
#define GNUTIL_SRC_PLATFORM_PATH_H

#include <string>

namespace gnutil::platform {

// The separator of the platform's paths.
char PathSeparator();

// The directory that holds path: "." for a bare name. On POSIX "/" for a name
// in the root; on Windows either slash separates, and a path ending in one
// is its own directory.
std::string DirectoryOf(const std::string& path);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_PATH_H
