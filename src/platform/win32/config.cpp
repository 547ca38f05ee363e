// The configuration store on Windows: the system's profile functions and the
// registry below HKEY_LOCAL_MACHINE, called the way programs of this library
// have always seen them behave.
#include "platform/config.h"

#include <string.h>
#include <windows.h>

namespace gnutil::platform {

void ProfileRead(const char* file, const char* section, const char* key, const char* def,
                 char* buffer, size_t size, CharStep) {
  buffer[0] = '\0';
  if (file != nullptr)
    GetPrivateProfileStringA(section, key, def, buffer, static_cast<DWORD>(size), file);
  else
    GetProfileStringA(section, key, def, buffer, static_cast<DWORD>(size));
}

bool ProfileWrite(const char* file, const char* section, const char* key, const char* value,
                  CharStep) {
  if (strpbrk(section, "\r\n") || strpbrk(key, "\r\n") || strpbrk(value, "\r\n")) return false;
  BOOL ok = file != nullptr ? WritePrivateProfileStringA(section, key, value, file)
                            : WriteProfileStringA(section, key, value);
  return ok != FALSE;
}

bool RegistryRead(const char* path, const char* name, char* buffer, size_t size, CharStep) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, bytes = static_cast<DWORD>(size);
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return false;
  // Data need not end in a zero byte; the text is what comes before the first.
  if (bytes >= size) bytes = static_cast<DWORD>(size - 1);
  buffer[bytes] = '\0';
  return true;
}

bool RegistryList(const char* path, size_t name_size, size_t data_size,
                  const std::function<void(const char* name, const char* data)>& visit, CharStep) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return false;
  char name[1024];
  char data[1024 + 1];  // one byte beyond the caller's size for a terminator of our own
  if (name_size > sizeof name) name_size = sizeof name;
  if (data_size > sizeof data - 1) data_size = sizeof data - 1;
  for (DWORD index = 0;; ++index) {
    DWORD name_len = static_cast<DWORD>(name_size);
    DWORD data_len = static_cast<DWORD>(data_size);
    DWORD type = 0;
    if (RegEnumValueA(key, index, name, &name_len, nullptr, &type, reinterpret_cast<BYTE*>(data),
                      &data_len) != ERROR_SUCCESS)
      break;
    data[data_len] = '\0';
    visit(name, data);
  }
  RegCloseKey(key);
  return true;
}

bool RegistryWrite(const char* path, const char* name, const char* value, CharStep) {
  HKEY key;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &key) != ERROR_SUCCESS) {
    char cls[] = "REG_SZ";
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, cls, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) != ERROR_SUCCESS)
      return false;
  }
  LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                           static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool RegistryDelete(const char* path, const char* name, CharStep) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return false;
  LONG rc = RegDeleteValueA(key, name);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

// The real profile and registry belong to the system; they cannot be moved.
bool SetSystemProfilePath(const char*) { return false; }
bool SetRegistryRoot(const char*) { return false; }

}  // namespace gnutil::platform
