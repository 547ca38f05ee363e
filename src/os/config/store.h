// The backend of the configuration store: initialisation files and the
// registry below HKEY_LOCAL_MACHINE, reached the same way on every platform.
//
// On Windows (store_win32.cpp) these are the system's own profile and
// registry functions, through the ground floor. Linux has neither, so
// store_posix.cpp keeps them itself: our initialisation-file engine (ini.h)
// and registry store (regstore.h) over files that the ground floor replaces
// atomically under an advisory lock. Text crosses as NUL-terminated bytes.
#ifndef GNUTIL_SRC_OS_CONFIG_STORE_H
#define GNUTIL_SRC_OS_CONFIG_STORE_H

#include <stddef.h>

#include <functional>

namespace gnutil::store {

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

}  // namespace gnutil::store

#endif  // GNUTIL_SRC_OS_CONFIG_STORE_H
