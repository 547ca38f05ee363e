// For tests that start their own program again as a helper process: its
// path, and an environment variable that the helpers inherit.
#ifndef GNUTIL_TESTS_SUPPORT_THIS_PROGRAM_H
#define GNUTIL_TESTS_SUPPORT_THIS_PROGRAM_H

#include <stdlib.h>

#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <filesystem>
#endif

namespace gnutil_test {

inline std::string ThisProgram() {
#if defined(_WIN32)
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
#else
  return std::filesystem::read_symlink("/proc/self/exe").string();
#endif
}

inline void SetEnvironment(const char* name, const std::string& value) {
#if defined(_WIN32)
  _putenv((std::string(name) + "=" + value).c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_THIS_PROGRAM_H
