#include "platform/descriptor.h"

#include <errno.h>
#include <io.h>

namespace gnutil::platform {

namespace {
// The runtime counts in unsigned ints; larger requests go in parts.
constexpr size_t kMaxPart = 1u << 30;
}  // namespace

long ReadDescriptor(int fd, void* buffer, size_t n, int* error) {
  int got = _read(fd, buffer, static_cast<unsigned>(n > kMaxPart ? kMaxPart : n));
  if (got < 0) *error = errno;
  return got;
}

bool WriteDescriptor(int fd, const void* data, size_t n, int* error) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    int put = _write(fd, p, static_cast<unsigned>(n > kMaxPart ? kMaxPart : n));
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
