// Failed runtime file calls as the file layer's results: the errno names are
// the C runtime's on both platforms, so the mapping is written once.
#include <errno.h>

#include "platform/file.h"

namespace gnutil::platform {

FileError FileErrorFromErrno(int error) {
  switch (error) {
    case EEXIST:
      return FileError::kExists;
    case ENOENT:
      return FileError::kNotFound;
    case EACCES:
    case EPERM:  // POSIX refuses some removals so; the Windows runtime never sets it
      return FileError::kAccess;
    case ENOTEMPTY:
      return FileError::kNotEmpty;
    default:
      return FileError::kOther;
  }
}

}  // namespace gnutil::platform
