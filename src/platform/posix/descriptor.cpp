#include "platform/descriptor.h"

#include <errno.h>
#include <limits.h>
#include <unistd.h>

namespace gnutil::platform {

long ReadDescriptor(int fd, void* buffer, size_t n, int* error) {
  if (n > SSIZE_MAX) n = SSIZE_MAX;
  for (;;) {
    ssize_t got = read(fd, buffer, n);
    if (got >= 0) return static_cast<long>(got);
    if (errno != EINTR) {
      *error = errno;
      return -1;
    }
  }
}

bool WriteDescriptor(int fd, const void* data, size_t n, int* error) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    ssize_t put = write(fd, p, n > SSIZE_MAX ? SSIZE_MAX : n);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      *error = put < 0 ? errno : EIO;
      return false;
    }
    p += put;
    n -= static_cast<size_t>(put);
  }
  return true;
}

}  // namespace gnutil::platform
