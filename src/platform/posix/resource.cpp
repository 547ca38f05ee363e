// POSIX side of the resource seam: resource libraries are shared objects
// loaded with dlopen, their strings come from the table each one exports
// (restable.h), and there is no input method manager.
#include "platform/resource.h"

#include <dlfcn.h>
#include <langinfo.h>
#include <link.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/locale.h"
#include "platform/posix/restable.h"
#include "platform/utf16.h"

namespace gnutil::platform {

namespace {

void* AsHandle(long module) { return reinterpret_cast<void*>(module); }

std::string ProgramFileName() {
  std::vector<char> buf(256);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

// The loaded object whose handle is `module`, found by walking the list of
// loaded objects rather than trusting the value: a stale or made-up handle
// then reads as "not a module" instead of crashing. (glibc's dlopen handles
// are the objects' link_map entries.)
const link_map* FindLoadedObject(long module) {
  void* self = dlopen(nullptr, RTLD_NOW);
  if (self == nullptr) return nullptr;
  link_map* map = nullptr;
  if (dlinfo(self, RTLD_DI_LINKMAP, &map) != 0) map = nullptr;
  dlclose(self);
  for (; map != nullptr; map = map->l_next) {
    if (reinterpret_cast<long>(map) == module) return map;
  }
  return nullptr;
}

// True when addr lies in the main program's own segments (the first object
// dl_iterate_phdr reports), not in a library it loaded.
bool InMainProgram(const void* addr) {
  struct Query {
    uintptr_t addr;
    bool first = true;
    bool found = false;
  } query{reinterpret_cast<uintptr_t>(addr)};
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) -> int {
        Query* q = static_cast<Query*>(data);
        if (!q->first) return 1;
        q->first = false;
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const ElfW(Phdr)& ph = info->dlpi_phdr[i];
          if (ph.p_type != PT_LOAD) continue;
          uintptr_t start = info->dlpi_addr + ph.p_vaddr;
          if (q->addr >= start && q->addr < start + ph.p_memsz) q->found = true;
        }
        return 1;
      },
      &query);
  return query.found;
}

const StringTable* ProgramTable() {
  static const StringTable* table = [] {
    void* self = dlopen(nullptr, RTLD_NOW);
    if (self == nullptr) return static_cast<const StringTable*>(nullptr);
    void* sym = dlsym(self, kStringTableSymbol);
    dlclose(self);
    if (sym == nullptr || !InMainProgram(sym)) return static_cast<const StringTable*>(nullptr);
    return static_cast<const StringTable*>(sym);
  }();
  return table;
}

const StringTable* ModuleTable(long module) {
  if (module == 0) return ProgramTable();
  if (FindLoadedObject(module) == nullptr) return nullptr;
  return static_cast<const StringTable*>(dlsym(AsHandle(module), kStringTableSymbol));
}

// Decodes one UTF-8 sequence; returns its length, or 0 when it is malformed.
size_t DecodeUtf8(const unsigned char* s, size_t n, uint32_t* cp) {
  unsigned char c = s[0];
  size_t len;
  uint32_t v;
  if (c < 0x80) {
    *cp = c;
    return 1;
  } else if (c >= 0xc2 && c <= 0xdf) {
    len = 2;
    v = c & 0x1f;
  } else if (c >= 0xe0 && c <= 0xef) {
    len = 3;
    v = c & 0x0f;
  } else if (c >= 0xf0 && c <= 0xf4) {
    len = 4;
    v = c & 0x07;
  } else {
    return 0;
  }
  if (n < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    if ((s[i] & 0xc0) != 0x80) return 0;
    v = (v << 6) | (s[i] & 0x3f);
  }
  if ((len == 3 && (v < 0x800 || utf16::IsSurrogate(v))) || (len == 4 && !utf16::NeedsPair(v)) ||
      v > utf16::kMaxCodePoint) {
    return 0;
  }
  *cp = v;
  return len;
}

// The table's UTF-8 text in the encoding of the process locale. Characters
// the locale cannot show become "?", as LoadStringA does with the ANSI code
// page.
std::string ToProcessEncoding(const char* text, size_t len) {
  const char* codeset = nl_langinfo(CODESET);
  if (codeset != nullptr && strcmp(codeset, "UTF-8") == 0) return std::string(text, len);
  std::string out;
  out.reserve(len);
  std::vector<char> buf(static_cast<size_t>(MbCurMax()) + 1);
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (i < len) {
    uint32_t cp = 0;
    size_t n = DecodeUtf8(s + i, len - i, &cp);
    if (n == 0) {
      out += '?';
      ++i;
      continue;
    }
    int m = CodePointToMb(buf.data(), cp);
    if (m > 0) {
      out.append(buf.data(), static_cast<size_t>(m));
    } else {
      out += '?';
    }
    i += n;
  }
  return out;
}

}  // namespace

const StringTableEntry* FindStringEntry(const StringTable* table, long id) {
  if (table == nullptr || table->magic != kStringTableMagic ||
      table->version != kStringTableVersion || table->entries == nullptr) {
    return nullptr;
  }
  if (id < 0 || id > 0xffff) return nullptr;
  unsigned int lo = 0, hi = table->count;
  while (lo < hi) {
    unsigned int mid = lo + (hi - lo) / 2;
    unsigned int v = table->entries[mid].id;
    if (v == static_cast<unsigned int>(id)) return &table->entries[mid];
    if (v < static_cast<unsigned int>(id)) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return nullptr;
}

std::string ModuleFileName(long module) {
  if (module == 0) return ProgramFileName();
  const link_map* map = FindLoadedObject(module);
  if (map == nullptr) return std::string();
  if (map->l_name == nullptr || map->l_name[0] == '\0') return ProgramFileName();
  return map->l_name;
}

long LoadResourceLibrary(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  return reinterpret_cast<long>(dlopen(path, RTLD_NOW | RTLD_LOCAL));
}

bool LoadResourceString(long module, long id, std::string* text) {
  const StringTableEntry* e = FindStringEntry(ModuleTable(module), id);
  if (e == nullptr || e->text == nullptr || e->length == 0) return false;
  *text = ToProcessEncoding(e->text, e->length);
  return true;
}

bool PathExists(const char* path) {
  struct stat st;
  return path != nullptr && stat(path, &st) == 0;
}

bool HasInputMethodManager() { return false; }
int ImeSetOpenStatus(long, int) { return -1; }
int ImeGetOpenStatus(long) { return -1; }

}  // namespace gnutil::platform
