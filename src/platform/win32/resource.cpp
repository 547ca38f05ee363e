// Win32 side of the resource seam: the loader, LoadStringA and the input
// method manager of imm32.dll, looked up at run time so that the library
// loads on systems without it.
#include "platform/resource.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>

#include <string>
#include <vector>

namespace gnutil::platform {

namespace {

HMODULE AsModule(long module) { return reinterpret_cast<HMODULE>(static_cast<INT_PTR>(module)); }
HWND AsWindow(long window) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(window)); }

using ImmGetContextFn = HIMC(WINAPI*)(HWND);
using ImmSetOpenStatusFn = BOOL(WINAPI*)(HIMC, BOOL);
using ImmGetOpenStatusFn = BOOL(WINAPI*)(HIMC);
using ImmReleaseContextFn = BOOL(WINAPI*)(HWND, HIMC);

// Two sets, as callers of either function may be the only ones in a process;
// a set is looked up again whenever one of its functions is missing. The
// library stays loaded while its functions are kept. Input method calls come
// from the user-interface thread, so no lock.
struct OpenCloseSet {
  ImmGetContextFn getContext = nullptr;
  ImmSetOpenStatusFn setOpenStatus = nullptr;
  ImmReleaseContextFn releaseContext = nullptr;
} g_openClose;

struct StateSet {
  ImmGetContextFn getContext = nullptr;
  ImmGetOpenStatusFn getOpenStatus = nullptr;
  ImmReleaseContextFn releaseContext = nullptr;
} g_state;

template <typename Fn>
Fn Lookup(HMODULE imm, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(imm, name)));
}

}  // namespace

std::string ModuleFileName(long module) {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(AsModule(module), buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size() - 1) return std::string(buf.data(), n);
    if (buf.size() >= 32768) return std::string();  // beyond any Windows path
    buf.resize(buf.size() * 2);
  }
}

long LoadResourceLibrary(const char* path) {
  if (path == nullptr || *path == '\0') return 0;
  return static_cast<long>(reinterpret_cast<INT_PTR>(LoadLibraryA(path)));
}

bool LoadResourceString(long module, long id, std::string* text) {
  if (id < 0 || id > 0xffff) return false;
  // LoadStringA cuts at the buffer; a text that fills it is read again into
  // a larger one, so that long texts arrive whole.
  std::vector<char> buf(2048);
  for (;;) {
    int n = LoadStringA(AsModule(module), static_cast<UINT>(id), buf.data(),
                        static_cast<int>(buf.size()));
    if (n <= 0) return false;
    if (static_cast<size_t>(n) < buf.size() - 1 || buf.size() >= (1u << 20)) {
      text->assign(buf.data(), static_cast<size_t>(n));
      return true;
    }
    buf.resize(buf.size() * 2);
  }
}

bool PathExists(const char* path) {
  struct _stat st;
  return path != nullptr && _stat(path, &st) == 0;
}

bool HasInputMethodManager() { return true; }

int ImeSetOpenStatus(long window, int open) {
  OpenCloseSet& f = g_openClose;
  if (f.getContext == nullptr || f.setOpenStatus == nullptr || f.releaseContext == nullptr) {
    HMODULE imm = LoadLibraryA("imm32.dll");
    if (imm == nullptr) return -1;
    f.getContext = Lookup<ImmGetContextFn>(imm, "ImmGetContext");
    f.setOpenStatus = Lookup<ImmSetOpenStatusFn>(imm, "ImmSetOpenStatus");
    f.releaseContext = Lookup<ImmReleaseContextFn>(imm, "ImmReleaseContext");
    if (f.getContext == nullptr || f.setOpenStatus == nullptr || f.releaseContext == nullptr) {
      return -1;
    }
  }
  HWND hwnd = AsWindow(window);
  HIMC context = f.getContext(hwnd);
  if (context == nullptr) return -1;
  f.setOpenStatus(context, open != 0 ? TRUE : FALSE);
  f.releaseContext(hwnd, context);
  return 1;
}

int ImeGetOpenStatus(long window) {
  StateSet& f = g_state;
  if (f.getContext == nullptr || f.getOpenStatus == nullptr || f.releaseContext == nullptr) {
    HMODULE imm = LoadLibraryA("imm32.dll");
    if (imm == nullptr) return -1;
    f.getContext = Lookup<ImmGetContextFn>(imm, "ImmGetContext");
    f.getOpenStatus = Lookup<ImmGetOpenStatusFn>(imm, "ImmGetOpenStatus");
    f.releaseContext = Lookup<ImmReleaseContextFn>(imm, "ImmReleaseContext");
    if (f.getContext == nullptr || f.getOpenStatus == nullptr || f.releaseContext == nullptr) {
      return -1;
    }
  }
  HWND hwnd = AsWindow(window);
  HIMC context = f.getContext(hwnd);
  if (context == nullptr) return -1;
  int state = f.getOpenStatus(context) ? 1 : 0;
  f.releaseContext(hwnd, context);
  return state;
}

}  // namespace gnutil::platform
