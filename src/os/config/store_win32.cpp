// The configuration store's backend on Windows: the system's own profile and
// registry functions, as the ground floor calls them.
#include "os/config/store.h"
#include "platform/config.h"

namespace gnutil::store {

void ProfileRead(const char* file, const char* section, const char* key, const char* def,
                 char* buffer, size_t size) {
  platform::ProfileRead(file, section, key, def, buffer, size);
}

bool ProfileWrite(const char* file, const char* section, const char* key, const char* value) {
  return platform::ProfileWrite(file, section, key, value);
}

bool RegistryRead(const char* path, const char* name, char* buffer, size_t size) {
  return platform::RegistryRead(path, name, buffer, size);
}

bool RegistryList(const char* path, size_t name_size, size_t data_size,
                  const std::function<void(const char* name, const char* data)>& visit) {
  return platform::RegistryList(path, name_size, data_size, visit);
}

bool RegistryWrite(const char* path, const char* name, const char* value) {
  return platform::RegistryWrite(path, name, value);
}

bool RegistryDelete(const char* path, const char* name) {
  return platform::RegistryDelete(path, name);
}

bool SetSystemProfilePath(const char* path) { return platform::SetSystemProfilePath(path); }

bool SetRegistryRoot(const char* directory) { return platform::SetRegistryRoot(directory); }

}  // namespace gnutil::store
