#include "output_file.h"

#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <signal.h>
#include <string.h>
#include <windows.h>

namespace gnutil::tool {
namespace {

std::string Reason(DWORD code) {
  char text[256];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == '.')) --n;
  return n > 0 ? std::string(text, n) : "error " + std::to_string(code);
}

// The runtime reports a descriptor with no handle as -1 or -2.
bool Closed(int fd) {
  intptr_t handle = _get_osfhandle(fd);
  return handle == -1 || handle == -2;
}

// Interrupts remove the temporary file; the name lives in a fixed buffer.
char g_temporary[MAX_PATH + 1];
volatile sig_atomic_t g_haveTemporary = 0;

void RemoveTemporaryAndDie(int sig) {
  if (g_haveTemporary) DeleteFileA(g_temporary);
  signal(sig, SIG_DFL);
  raise(sig);
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash + 1 == path.size() ? slash + 1 : slash);
}

}  // namespace

StandardStreams ClaimStandardStreams() {
  StandardStreams result;
  result.inputClosed = Closed(0);
  result.outputClosed = Closed(1);
  return result;
}

FILE* OpenInputStream(const char* path, std::string* error) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = Reason(ERROR_DIRECTORY);
    return nullptr;
  }
  FILE* f = fopen(path, "rb");
  if (f == nullptr) *error = strerror(errno);
  return f;
}

struct OutputFile {
  FILE* stream = nullptr;
  std::string target;
  std::string temporary;
};

OutputFile* OpenOutputFile(const char* path, std::string* error) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = Reason(ERROR_DIRECTORY);
    return nullptr;
  }
  auto* out = new OutputFile;
  // A device (NUL, CON) or a pipe is written directly.
  HANDLE existing = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  if (existing != INVALID_HANDLE_VALUE) {
    if (GetFileType(existing) != FILE_TYPE_DISK) {
      int fd = _open_osfhandle(reinterpret_cast<intptr_t>(existing), _O_WRONLY | _O_BINARY);
      out->stream = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
      if (out->stream == nullptr) {
        *error = "cannot open";
        if (fd >= 0) {
          _close(fd);
        } else {
          CloseHandle(existing);
        }
        delete out;
        return nullptr;
      }
      return out;
    }
    CloseHandle(existing);
  }
  // A new file, created exclusively: an existing name (or a link planted
  // under it) is never opened. Permissions come from the directory, as for
  // any new file there; the rename below replaces the target's.
  std::string directory = DirectoryOf(path);
  HANDLE h = INVALID_HANDLE_VALUE;
  std::string name;
  for (unsigned attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    char suffix[64];
    snprintf(suffix, sizeof suffix, "gnutil-%lx%llx%x.tmp", GetCurrentProcessId(),
             static_cast<unsigned long long>(counter.QuadPart), attempt);
    name = directory + "\\" + suffix;
    if (name.size() > MAX_PATH) break;
    h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (h == INVALID_HANDLE_VALUE) {
    *error = Reason(GetLastError());
    delete out;
    return nullptr;
  }
  memcpy(g_temporary, name.c_str(), name.size() + 1);
  g_haveTemporary = 1;
  signal(SIGINT, RemoveTemporaryAndDie);
  signal(SIGTERM, RemoveTemporaryAndDie);
  out->target = path;
  out->temporary = name;
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
  out->stream = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
  if (out->stream == nullptr) {
    *error = "cannot open";
    if (fd >= 0) {
      _close(fd);
    } else {
      CloseHandle(h);
    }
    AbandonOutputFile(out);
    return nullptr;
  }
  return out;
}

FILE* OutputStream(OutputFile* file) { return file->stream; }

bool CommitOutputFile(OutputFile* file, std::string* error) {
  bool ok = fflush(file->stream) == 0 && !ferror(file->stream);
  if (fclose(file->stream) != 0) ok = false;
  file->stream = nullptr;
  if (!ok) {
    *error = strerror(errno);
    AbandonOutputFile(file);
    return false;
  }
  if (!file->temporary.empty()) {
    if (!MoveFileExA(file->temporary.c_str(), file->target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      *error = Reason(GetLastError());
      AbandonOutputFile(file);
      return false;
    }
    g_haveTemporary = 0;
  }
  delete file;
  return true;
}

void AbandonOutputFile(OutputFile* file) {
  if (file->stream != nullptr) fclose(file->stream);
  if (!file->temporary.empty()) {
    DeleteFileA(file->temporary.c_str());
    g_haveTemporary = 0;
  }
  delete file;
}

}  // namespace gnutil::tool
