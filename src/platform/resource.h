// The platform seam for modules, resource libraries and the input method.
//
// Module handles cross the seam as `long` (0 = the program itself). Windows
// implements this header with its loader, LoadStringA and imm32; Linux with
// dlopen and the string tables of src/platform/posix/restable.h.
#ifndef GNUTIL_SRC_PLATFORM_RESOURCE_H
#define GNUTIL_SRC_PLATFORM_RESOURCE_H

#include <string>

namespace gnutil::platform {

// The full file name of a module (0 = the program), empty when the handle is
// not a loaded module or the name cannot be read.
std::string ModuleFileName(long module);

// Loads a library by path; its module handle, or 0.
long LoadResourceLibrary(const char* path);

// Loads string resource `id` from a module (0 = the program) in the encoding
// of the process. False when the module has no such string or it is empty.
bool LoadResourceString(long module, long id, std::string* text);

// True when a file or directory exists at the path.
bool PathExists(const char* path);

// Input method manager. HasInputMethodManager is false where the platform
// has none to drive. The others return -1 when the manager cannot be loaded
// or the window has no input context; otherwise 1 (set) or the open state.
bool HasInputMethodManager();
int ImeSetOpenStatus(long window, int open);
int ImeGetOpenStatus(long window);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_RESOURCE_H
