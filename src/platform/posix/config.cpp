// The configuration store on Linux, which has no system profile or registry:
// initialisation files kept by our own engine (ini.h) and a registry store
// (regstore.h) in one file, both read without locks and replaced atomically
// under an advisory lock by the ground floor's file primitives.
#include "platform/config.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini.h"
#include "platform/path.h"
#include "platform/posix/files.h"
#include "platform/regstore.h"

namespace gnutil::platform {
namespace {

const char kDefaultSystemProfile[] = "/etc/gnutil/system.ini";
const char kDefaultRegistryRoot[] = "/var/lib/gnutil/registry";
const char kRegistryFileName[] = "HKEY_LOCAL_MACHINE.reg";

std::mutex g_places_mutex;
std::string g_system_profile = kDefaultSystemProfile;
std::string g_registry_root = kDefaultRegistryRoot;

std::string SystemProfilePath() {
  std::lock_guard<std::mutex> lock(g_places_mutex);
  return g_system_profile;
}

std::string RegistryFilePath() {
  std::lock_guard<std::mutex> lock(g_places_mutex);
  return g_registry_root + "/" + kRegistryFileName;
}

// A bare file name lives beside the system's own file, as on Windows it
// lives in the Windows directory.
std::string ProfilePath(const char* file) {
  if (file == nullptr) return SystemProfilePath();
  if (strchr(file, '/') != nullptr) return file;
  return DirectoryOf(SystemProfilePath()) + "/" + file;
}

// Copies text into buffer cut to size - 1 bytes, never inside a character.
void CopyCut(std::string_view text, char* buffer, size_t size, CharStep step) {
  if (size == 0) return;
  size_t n = AlignedCut(text.data(), text.size(), size - 1, step);
  memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

bool ReadRegistry(reg::Store* store) {
  std::string text;
  if (!files::ReadWholeFile(RegistryFilePath(), &text)) return false;
  store->Parse(text);  // a damaged line costs only what it held
  return true;
}

// Reads the store and finds the key at path in it; null when the path is
// refused or the key does not exist.
const reg::Key* ReadKey(const char* path, reg::Store* store, CharStep step) {
  std::vector<std::string> parts;
  if (!reg::SplitPath(path, &parts, step)) return nullptr;
  ReadRegistry(store);  // no store yet: only the root key exists
  return store->FindKey(parts);
}

}  // namespace

void ProfileRead(const char* file, const char* section, const char* key, const char* def,
                 char* buffer, size_t size, CharStep step) {
  std::string text, value;
  if (files::ReadWholeFile(ProfilePath(file), &text) &&
      ini::Find(text, section, key, &value, step)) {
    CopyCut(value, buffer, size, step);
    return;
  }
  // Trailing blanks of the default are dropped, as the Windows profile
  // functions do.
  std::string_view d(def);
  while (!d.empty() && (d.back() == ' ' || d.back() == '\t')) d.remove_suffix(1);
  CopyCut(d, buffer, size, step);
}

bool ProfileWrite(const char* file, const char* section, const char* key, const char* value,
                  CharStep step) {
  std::string probe;
  if (!ini::Set("", section, key, value, &probe, step)) return false;  // never create a file for it
  std::string path = ProfilePath(file);
  // The system file's directory is ours to create, also for the bare file
  // names that live in it; a private file's directory must exist.
  const bool ours = file == nullptr || strchr(file, '/') == nullptr;
  return files::UpdateFile(path, ours, [&](const std::string& old, std::string* text) {
    return ini::Set(old, section, key, value, text, step);
  });
}

bool RegistryRead(const char* path, const char* name, char* buffer, size_t size, CharStep step) {
  reg::Store store(step);
  const reg::Key* key = ReadKey(path, &store, step);
  if (key == nullptr) return false;
  const reg::Value* v = store.FindValue(*key, name);
  if (v == nullptr || v->data.size() + 1 > size) return false;
  memcpy(buffer, v->data.c_str(), v->data.size() + 1);
  return true;
}

bool RegistryList(const char* path, size_t name_size, size_t data_size,
                  const std::function<void(const char* name, const char* data)>& visit,
                  CharStep step) {
  reg::Store store(step);
  const reg::Key* key = ReadKey(path, &store, step);
  if (key == nullptr) return false;
  for (const reg::Value& v : key->values) {
    if (v.name.size() + 1 > name_size || v.data.size() + 1 > data_size) break;
    visit(v.name.c_str(), v.data.c_str());
  }
  return true;
}

bool RegistryWrite(const char* path, const char* name, const char* value, CharStep step) {
  std::vector<std::string> parts;
  if (!reg::SplitPath(path, &parts, step) || strlen(name) > reg::kMaxValueNameBytes) return false;
  return files::UpdateFile(RegistryFilePath(), true,
                           [&](const std::string& old, std::string* text) {
                             reg::Store store(step);
                             // A store we cannot fully read is never rewritten:
                             // that would drop what we did not understand.
                             if (!store.Parse(old)) return false;
                             if (!store.SetValue(store.CreateKey(parts), name, value)) return false;
                             *text = store.Serialize();
                             return true;
                           });
}

bool RegistryDelete(const char* path, const char* name, CharStep step) {
  std::vector<std::string> parts;
  reg::Store current(step);
  if (!reg::SplitPath(path, &parts, step) || !ReadRegistry(&current)) return false;
  const reg::Key* key = current.FindKey(parts);
  if (key == nullptr || current.FindValue(*key, name) == nullptr) return false;
  bool deleted = false;
  bool ok =
      files::UpdateFile(RegistryFilePath(), false, [&](const std::string& old, std::string* text) {
        reg::Store store(step);
        if (!store.Parse(old)) return false;
        reg::Key* k = store.FindKey(parts);
        deleted = k != nullptr && store.DeleteValue(k, name);
        if (!deleted) return false;
        *text = store.Serialize();
        return true;
      });
  return ok && deleted;
}

bool SetSystemProfilePath(const char* path) {
  std::lock_guard<std::mutex> lock(g_places_mutex);
  g_system_profile = (path != nullptr && *path != '\0') ? path : kDefaultSystemProfile;
  return true;
}

bool SetRegistryRoot(const char* directory) {
  std::lock_guard<std::mutex> lock(g_places_mutex);
  g_registry_root = (directory != nullptr && *directory != '\0') ? directory : kDefaultRegistryRoot;
  return true;
}

}  // namespace gnutil::platform
