// The system's profile and registry functions, which only Windows has: the
// configuration store reaches them through os/config/store_win32.cpp. On
// Linux the store keeps its own files instead (os/config/store_posix.cpp over
// platform/posix/files.h), so this header has no POSIX side.
#ifndef GNUTIL_SRC_PLATFORM_CONFIG_H
#define GNUTIL_SRC_PLATFORM_CONFIG_H

#include <stddef.h>

#include <functional>

namespace gnutil::platform {

// Reads key of section from the initialisation file `file` (null: the
// system's own file) into buffer, or def when there is no such entry. The
// result is cut to size - 1 bytes and always terminated.
void ProfileRead(const char* file, const char* section, const char* key, const char* def,
                 char* buffer, size_t size);

// Writes key=value into section of `file` (null: the system's own file).
// True when the file now holds the value.
bool ProfileWrite(const char* file, const char* section, const char* key, const char* value);

// Registry below HKEY_LOCAL_MACHINE; path is a key path such as
// "Software\\Vendor".

// Reads the value `name` of the key into buffer (size bytes, terminator
// included). False when the key or value is missing or the data does not fit.
bool RegistryRead(const char* path, const char* name, char* buffer, size_t size);

// Calls visit(name, data) for the key's values in listing order, stopping at
// the first value whose name or data does not fit in name_size / data_size
// bytes. False when the key cannot be opened.
bool RegistryList(const char* path, size_t name_size, size_t data_size,
                  const std::function<void(const char* name, const char* data)>& visit);

// Stores a text value, creating the key and its parents. True when stored.
bool RegistryWrite(const char* path, const char* name, const char* value);

// Deletes a value; the key stays. True when the value existed and is gone.
bool RegistryDelete(const char* path, const char* name);

// Program-level redirection of the system's initialisation file and of the
// registry store (null restores the default). False where the platform's own
// stores are used and cannot be moved.
bool SetSystemProfilePath(const char* path);
bool SetRegistryRoot(const char* directory);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_CONFIG_H
