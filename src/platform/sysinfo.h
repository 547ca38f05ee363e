// The platform seam of system information, keep-awake and build versions.
#ifndef GNUTIL_SRC_PLATFORM_SYSINFO_H
#define GNUTIL_SRC_PLATFORM_SYSINFO_H

#include <stdint.h>

#include <string>

namespace gnutil::platform {

std::string HardwareName();
std::string SystemName();
bool IsWin95();
bool IsWin32s();

struct MemoryFigures {
  uint32_t load_percent;
  uint32_t total_page_bytes;
  uint32_t available_page_bytes;
};
void GetMemoryFigures(MemoryFigures* figures);

// Writes the host name into buffer (63 bytes) or leaves it empty.
void GetHostName(char* buffer);

// The file version words of a module's version record. False when the file
// has none.
bool ReadFileVersion(const char* file, uint32_t* most_significant, uint32_t* least_significant);

// Keep-awake: the system's execution-state function, called through an
// adapter so portable code needs no calling convention of its own.
using ExecutionStateFunction = void (*)(unsigned long flags);
// Loads the library that has the function. False when there is none to load
// (then nothing is set up); *function is null when the library lacks it.
bool LoadExecutionState(void** library, ExecutionStateFunction* function);
void ReleaseExecutionState(void* library);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_SYSINFO_H
