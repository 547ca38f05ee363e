// Append-only files on Windows: a handle opened with FILE_APPEND_DATA and
// without FILE_WRITE_DATA, so the system puts each WriteFile at the end of the
// file as it is then (the runtime's "a" mode only seeks to the end before each
// write, which two processes can race). The text is written with CR LF line
// ends, as the runtime's text mode would.
//
// Where the append is not atomic across handles after all (Wine finds the end
// and then writes; network shares may do the same), two writers could still
// land on the same offset. So each append also holds the file's lock byte:
// appends and truncations of every handle on the file, in any process, take
// turns.
#include "platform/appendfile.h"

#include <windows.h>

#include <new>
#include <string>

namespace gnutil::platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The truncation lock is one byte at 2^62: no write ever reaches it, so the
// lock (mandatory on Windows) never blocks an append.
constexpr DWORD kLockOffsetHigh = 0x40000000;

}  // namespace

struct AppendFile {
  HANDLE handle;
};

AppendFile* OpenAppendFile(const char* path, bool truncate) {
  if (path == nullptr) return nullptr;
  if (truncate) {
    HANDLE whole = CreateFileA(path, GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (whole == INVALID_HANDLE_VALUE) return nullptr;
    BOOL emptied = SetEndOfFile(whole);  // a new handle is at position 0
    CloseHandle(whole);
    if (!emptied) return nullptr;
  }
  // Read access only so that LockFileEx accepts the handle; a file that may
  // not be read is still written, without the truncation lock.
  const DWORD append = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
  HANDLE handle = CreateFileA(path, append | FILE_READ_DATA, kShareAll, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    handle =
        CreateFileA(path, append, kShareAll, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  // A named pipe (\\.\pipe\...) is refused: a write to it waits for its reader.
  const DWORD type = GetFileType(handle);
  if (type != FILE_TYPE_DISK && type != FILE_TYPE_CHAR) {
    CloseHandle(handle);
    return nullptr;
  }
  AppendFile* file = new (std::nothrow) AppendFile{handle};
  if (file == nullptr) CloseHandle(handle);
  return file;
}

bool AppendFileMoved(AppendFile* file, const char* path) {
  // A file deleted while we hold it stays until the last handle goes, and
  // nothing new can be created at its path until then.
  FILE_STANDARD_INFO standard;
  if (GetFileInformationByHandleEx(file->handle, FileStandardInfo, &standard, sizeof standard) &&
      standard.DeletePending) {
    return true;
  }
  BY_HANDLE_FILE_INFORMATION held, named;
  if (!GetFileInformationByHandle(file->handle, &held)) return false;
  HANDLE probe = CreateFileA(path, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  bool same =
      !GetFileInformationByHandle(probe, &named) ||
      (named.dwVolumeSerialNumber == held.dwVolumeSerialNumber &&
       named.nFileIndexHigh == held.nFileIndexHigh && named.nFileIndexLow == held.nFileIndexLow);
  CloseHandle(probe);
  return !same;
}

void CloseAppendFile(AppendFile* file) {
  if (file == nullptr) return;
  CloseHandle(file->handle);
  delete file;
}

int64_t AppendFileSize(AppendFile* file) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file->handle, &size)) return -1;
  return static_cast<int64_t>(size.QuadPart);
}

size_t AppendToFile(AppendFile* file, const char* text, size_t size) {
  // One WriteFile for the whole line, line ends converted first.
  std::string converted;
  const char* bytes = text;
  size_t count = size;
  size_t newlines = 0;
  for (size_t i = 0; i < size; ++i) newlines += text[i] == '\n';
  if (newlines != 0) {
    converted.reserve(size + newlines);
    for (size_t i = 0; i < size; ++i) {
      if (text[i] == '\n') converted.push_back('\r');
      converted.push_back(text[i]);
    }
    bytes = converted.data();
    count = converted.size();
  }
  if (count > 0xFFFFFFFFu) return 0;
  const bool locked = LockForTruncation(file);
  DWORD written = 0;
  // Both offsets all ones: at the end of the file, whatever the position.
  OVERLAPPED atEnd = {};
  atEnd.Offset = 0xFFFFFFFF;
  atEnd.OffsetHigh = 0xFFFFFFFF;
  BOOL ok = WriteFile(file->handle, bytes, static_cast<DWORD>(count), &written, &atEnd);
  if (locked) UnlockTruncation(file);
  if (!ok) return 0;
  if (written == count) return size;
  // Count how many of the caller's bytes made it.
  size_t given = 0;
  for (size_t i = 0, out = 0; i < size && out < written; ++i) {
    out += text[i] == '\n' ? 2 : 1;
    if (out <= written) given = i + 1;
  }
  return given;
}

bool LockForTruncation(AppendFile* file) {
  OVERLAPPED where = {};
  where.OffsetHigh = kLockOffsetHigh;
  return LockFileEx(file->handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &where) != 0;
}

void UnlockTruncation(AppendFile* file) {
  OVERLAPPED where = {};
  where.OffsetHigh = kLockOffsetHigh;
  UnlockFileEx(file->handle, 0, 1, 0, &where);
}

}  // namespace gnutil::platform
