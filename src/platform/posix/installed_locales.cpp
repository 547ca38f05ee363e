// The installed locales on Linux: those setlocale accepts, read where glibc
// looks for them (the LOCPATH directories, or its locale archive and its
// locale directory), since there is no call that lists them.
#include <dirent.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/localeinfo.h"
#include "platform/posix/langid.h"

namespace gnutil::platform {
namespace {

// The locales in a directory: its sub-directories that hold a locale.
std::vector<std::string> LocaleDirectories(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return names;
  while (struct dirent* e = readdir(d)) {
    if (e->d_name[0] == '.') continue;
    std::string ctype = dir + "/" + e->d_name + "/LC_CTYPE";
    struct stat st;
    if (stat(ctype.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(e->d_name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

uint32_t Word(const unsigned char* p) {
  uint32_t v;
  memcpy(&v, p, sizeof v);
  return v;
}

// The names in glibc's locale archive (its name hash table), as locale -a
// lists them.
std::vector<std::string> ArchiveLocales(const char* path) {
  std::vector<std::string> names;
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return names;
  struct stat st;
  if (fstat(fd, &st) == 0 && st.st_size >= 32) {
    size_t size = static_cast<size_t>(st.st_size);
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      const unsigned char* base = static_cast<const unsigned char*>(map);
      const uint32_t kMagic = 0xde020109;
      uint32_t hashOffset = Word(base + 8), hashSize = Word(base + 16);
      if (Word(base) == kMagic && hashOffset <= size && hashSize <= (size - hashOffset) / 12) {
        for (uint32_t i = 0; i < hashSize; ++i) {
          const unsigned char* entry = base + hashOffset + 12 * i;
          uint32_t nameOffset = Word(entry + 4), recordOffset = Word(entry + 8);
          if (nameOffset == 0 || recordOffset == 0 || nameOffset >= size) continue;
          const char* name = reinterpret_cast<const char*>(base + nameOffset);
          size_t length = strnlen(name, size - nameOffset);
          if (length < size - nameOffset) names.emplace_back(name, length);
        }
      }
      munmap(map, size);
    }
  }
  close(fd);
  std::sort(names.begin(), names.end());
  return names;
}

bool IsLanguageLocale(const std::string& name) {
  return !(name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0 ||
           name.rfind("POSIX.", 0) == 0);
}

}  // namespace

void EnumerateInstalledLocales(InstalledLocaleVisitor visit, void* context) {
  // What setlocale accepts: with LOCPATH set, glibc looks only there (in
  // its order), otherwise in its archive and then in its directory.
  std::vector<std::string> names;
  const char* locpath = getenv("LOCPATH");
  if (locpath != nullptr && *locpath != '\0') {
    std::string paths(locpath);
    size_t start = 0;
    while (start <= paths.size()) {
      size_t end = paths.find(':', start);
      if (end == std::string::npos) end = paths.size();
      if (end > start) {
        std::vector<std::string> found = LocaleDirectories(paths.substr(start, end - start));
        names.insert(names.end(), found.begin(), found.end());
      }
      start = end + 1;
    }
  } else {
    names = ArchiveLocales("/usr/lib/locale/locale-archive");
    std::vector<std::string> found = LocaleDirectories("/usr/lib/locale");
    names.insert(names.end(), found.begin(), found.end());
  }
  std::set<std::string> seen;
  for (const std::string& name : names) {
    if (!IsLanguageLocale(name) || !seen.insert(name).second) continue;
    visit(context, LangIDForLocaleName(name.c_str()), name.c_str());
  }
}

}  // namespace gnutil::platform
