// Reading and writing the C runtime's file descriptors, for the library's
// streams that take a descriptor instead of a FILE*.
#ifndef GNUTIL_SRC_PLATFORM_DESCRIPTOR_H
#define GNUTIL_SRC_PLATFORM_DESCRIPTOR_H

#include <stddef.h>

namespace gnutil::platform {

// Reads up to n bytes (a short count is no end): the count, 0 at the end of
// the input, or -1 with the system's error number in *error. Interrupted
// reads are retried.
long ReadDescriptor(int fd, void* buffer, size_t n, int* error);

// Writes all n bytes, retrying short and interrupted writes. False, with the
// system's error number in *error, when any of them cannot be written.
bool WriteDescriptor(int fd, const void* data, size_t n, int* error);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_DESCRIPTOR_H
