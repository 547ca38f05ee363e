// Helpers of the configuration store shared by its sources and tests.
#ifndef GNUTIL_SRC_OS_CONFIG_CONFIG_INTERNAL_H
#define GNUTIL_SRC_OS_CONFIG_CONFIG_INTERNAL_H

#include <stddef.h>

namespace gnutil {

// Working buffers of the registry functions, terminator included.
constexpr size_t kRegistryPathBuffer = 1024;
constexpr size_t kRegistryDeletePathBuffer = 256;
constexpr size_t kRegistryValueBuffer = 1024;
constexpr size_t kRegistryNameBuffer = 1024;

// Composes "file\section" (or file alone when section is empty) into buffer.
// False when it does not fit: such paths are refused, never cut.
bool BuildRegistryPath(char* buffer, size_t size, const char* file, const char* section);

// Decimal text to a number by atoi's rules, saturating at the int range.
long DecimalTextToLong(const char* text);

}  // namespace gnutil

#endif  // GNUTIL_SRC_OS_CONFIG_CONFIG_INTERNAL_H
