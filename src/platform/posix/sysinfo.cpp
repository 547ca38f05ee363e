// System information on Linux: the kernel's own descriptions (uname,
// /proc/meminfo, sysinfo), swap standing in for the paging file, and the
// library's own version note in ELF files. There is no keep-awake function to
// load.
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "platform/posix/elfnote.h"
#include "platform/sysinfo.h"

namespace gnutil::platform {
namespace {

uint32_t Saturate32(unsigned long long v) {
  return v > 0xFFFFFFFFULL ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
}

// A /proc/meminfo figure in kB, or -1.
long long MemInfoKb(const char* text, const char* field) {
  const char* p = strstr(text, field);
  if (p == nullptr) return -1;
  long long kb = -1;
  if (sscanf(p + strlen(field), " %lld", &kb) != 1) return -1;
  return kb;
}

}  // namespace

std::string HardwareName() {
  struct utsname u;
  if (uname(&u) != 0) return "Unknown";
  return u.machine;
}

std::string SystemName() {
  struct utsname u;
  if (uname(&u) != 0) return "Unknown";
  return std::string(u.sysname) + " " + u.release;
}

bool IsWin95() { return false; }
bool IsWin32s() { return false; }

void GetMemoryFigures(MemoryFigures* f) {
  struct sysinfo si;
  unsigned long long unit = 1, total_ram = 0, free_ram = 0;
  if (sysinfo(&si) == 0) {
    unit = si.mem_unit ? si.mem_unit : 1;
    f->total_page_bytes = Saturate32(static_cast<unsigned long long>(si.totalswap) * unit);
    f->available_page_bytes = Saturate32(static_cast<unsigned long long>(si.freeswap) * unit);
    total_ram = static_cast<unsigned long long>(si.totalram) * unit;
    free_ram = static_cast<unsigned long long>(si.freeram) * unit;
  }
  // Memory in use is what programs cannot have: MemAvailable counts the
  // caches the kernel would give back, which free memory alone does not.
  char text[4096] = "";
  if (FILE* in = fopen("/proc/meminfo", "r")) {
    size_t n = fread(text, 1, sizeof text - 1, in);
    text[n] = '\0';
    fclose(in);
  }
  long long total_kb = MemInfoKb(text, "MemTotal:");
  long long avail_kb = MemInfoKb(text, "MemAvailable:");
  if (total_kb > 0 && avail_kb >= 0 && avail_kb <= total_kb) {
    f->load_percent = static_cast<uint32_t>((total_kb - avail_kb) * 100 / total_kb);
  } else if (total_ram > 0 && free_ram <= total_ram) {
    f->load_percent = static_cast<uint32_t>((total_ram - free_ram) * 100 / total_ram);
  }
}

void GetHostName(char* buffer) {
  char name[64];
  if (gethostname(name, 63) != 0) return;
  name[62] = '\0';  // a name that filled the buffer may lack its terminator
  memcpy(buffer, name, strlen(name) + 1);
}

bool ReadFileVersion(const char* file, uint32_t* most_significant, uint32_t* least_significant) {
  int fd = open(file, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  bool found = false;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    size_t size = static_cast<size_t>(st.st_size);
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      found = elf::FindVersionNote(static_cast<const unsigned char*>(map), size, most_significant,
                                   least_significant);
      munmap(map, size);
    }
  }
  close(fd);
  return found;
}

bool LoadExecutionState(void**, ExecutionStateFunction* function) {
  *function = nullptr;
  return false;
}

void ReleaseExecutionState(void*) {}

}  // namespace gnutil::platform
