// The backend of the configuration store: initialisation files and the
// registry below HKEY_LOCAL_MACHINE, reached the same way on every platform.
//
// On Windows (win32/config.cpp) these are the system's own profile and
// registry functions. Linux has neither, so posix/config.cpp keeps them
// itself: the initialisation-file engine (ini.h) and the registry store
// (regstore.h) over files replaced atomically under an advisory lock
// (posix/files.h). Text crosses as NUL-terminated bytes; `step` steps over a
// character of the caller's current code set, so that names compare, key
// paths split and values are cut by whole characters (the Windows functions
// follow the system's own code page and need no step).
#ifndef GNUTIL_SRC_PLATFORM_CONFIG_H
#define GNUTIL_SRC_PLATFORM_CONFIG_H

#include <stddef.h>

#include <functional>

#include "platform/charstep.h"

namespace gnutil::platform {

// Reads key of section from the initialisation file `file` (null: the
// system's own file) into buffer, or def when there is no such entry. The
// result is cut to size - 1 bytes and always terminated.
void ProfileRead(const char* file, const char* section, const char* key, const char* def,
                 char* buffer, size_t size, CharStep step);

// Writes key=value into section of `file` (null: the system's own file).
// True when the file now holds the value.
bool ProfileWrite(const char* file, const char* section, const char* key, const char* value,
                  CharStep step);

// Registry below HKEY_LOCAL_MACHINE; path is a key path such as
// "Software\\Vendor".

// Reads the value `name` of the key into buffer (size bytes, terminator
// included). False when the key or value is missing or the data does not fit.
bool RegistryRead(const char* path, const char* name, char* buffer, size_t size, CharStep step);

// Calls visit(name, data) for the key's values in listing order, stopping at
// the first value whose name or data does not fit in name_size / data_size
// bytes. False when the key cannot be opened.
bool RegistryList(const char* path, size_t name_size, size_t data_size,
                  const std::function<void(const char* name, const char* data)>& visit,
                  CharStep step);

// Stores a text value, creating the key and its parents. True when stored.
bool RegistryWrite(const char* path, const char* name, const char* value, CharStep step);

// Deletes a value; the key stays. True when the value existed and is gone.
bool RegistryDelete(const char* path, const char* name, CharStep step);

// Program-level redirection of the system's initialisation file and of the
// registry store (null restores the default). False where the platform's own
// stores are used and cannot be moved.
bool SetSystemProfilePath(const char* path);
bool SetRegistryRoot(const char* directory);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_CONFIG_H
