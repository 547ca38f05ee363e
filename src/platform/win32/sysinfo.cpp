// System information on Windows: the system's own queries, the version
// resource of a module file, and SetThreadExecutionState looked up at run
// time (systems before it lack the function, and keep-awake then does
// nothing).

// winsock2.h must come before windows.h.
// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on
#include <string.h>

#include <vector>

#include "platform/sysinfo.h"

namespace gnutil::platform {
namespace {

using SetThreadExecutionStateFn = EXECUTION_STATE(WINAPI*)(EXECUTION_STATE);
SetThreadExecutionStateFn g_set_execution_state = nullptr;

void CallSetThreadExecutionState(unsigned long flags) {
  if (g_set_execution_state != nullptr) g_set_execution_state(static_cast<EXECUTION_STATE>(flags));
}

// The version record with every byte 0x30 but its size: systems that fill
// less than the whole record leave the rest recognisably unset.
DWORD PlatformId() {
  OSVERSIONINFOA info;
  memset(&info, 0x30, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&info);
#pragma GCC diagnostic pop
  return info.dwPlatformId;
}

}  // namespace

std::string HardwareName() {
  SYSTEM_INFO si;
  GetSystemInfo(&si);
  switch (si.dwProcessorType) {
    case 386:
      return "PC 80386";
    case 486:
      return "PC i486";
    case 586:
      return "PC Pentium";
    case 4000:
      return "MIPS R4000";
    case 21064:
      return "Alpha 21064";
    default:
      return "Unknown";
  }
}

bool IsWin95() { return PlatformId() == VER_PLATFORM_WIN32_WINDOWS; }
bool IsWin32s() { return PlatformId() == VER_PLATFORM_WIN32s; }

std::string SystemName() {
  if (IsWin95()) return "Windows 95";
  if (IsWin32s()) return "Win32s";
  return "Windows NT or NT Server";
}

void GetMemoryFigures(MemoryFigures* f) {
  MEMORYSTATUS ms;
  memset(&ms, 0, sizeof ms);
  ms.dwLength = sizeof ms;
  GlobalMemoryStatus(&ms);
  f->load_percent = ms.dwMemoryLoad;
  f->total_page_bytes = static_cast<uint32_t>(ms.dwTotalPageFile);
  f->available_page_bytes = static_cast<uint32_t>(ms.dwAvailPageFile);
}

void GetHostName(char* buffer) {
  if (gethostname(buffer, 63) != 0) buffer[0] = '\0';
}

bool ReadFileVersion(const char* file, uint32_t* most_significant, uint32_t* least_significant) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(file, &handle);
  if (size == 0) return false;
  std::vector<char> data(static_cast<size_t>(size) * 2);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoA(file, 0, size, data.data()) ||
      !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
      fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO))
    return false;
  *most_significant = fixed->dwFileVersionMS;
  *least_significant = fixed->dwFileVersionLS;
  return true;
}

bool LoadExecutionState(void** library, ExecutionStateFunction* function) {
  HMODULE module = LoadLibraryA("Kernel32");
  if (module == nullptr) return false;
  *library = module;
  g_set_execution_state = reinterpret_cast<SetThreadExecutionStateFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "SetThreadExecutionState")));
  *function = g_set_execution_state != nullptr ? CallSetThreadExecutionState : nullptr;
  return true;
}

void ReleaseExecutionState(void* library) {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace gnutil::platform
