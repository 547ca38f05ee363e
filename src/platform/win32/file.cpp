// Files and directories on Windows: the runtime's file functions, directory
// search, CreateFileA/ReadFile, GetTempPathA and the network enumeration of
// connected drives.
#include "platform/file.h"

#include <direct.h>
#include <errno.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>
#include <winnetwk.h>

#include <new>
#include <string>
#include <vector>

namespace gnutil::platform {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A platform that keeps answering "no entries" without ending is not asked
// forever.
constexpr int kMaxEmptyBatches = 64;

}  // namespace

bool StatFile(const char* path, StatRecord* record) {
  // The record's size field has 32 bits: a larger file is refused, not
  // reported with a wrong size.
  struct _stat64 status;
  if (_stat64(path, &status) != 0) return false;
  if (status.st_size > 0x7FFFFFFF) return false;
  record->st_dev = status.st_dev;
  record->st_ino = status.st_ino;
  record->st_mode = status.st_mode;
  record->st_nlink = status.st_nlink;
  record->st_uid = status.st_uid;
  record->st_gid = status.st_gid;
  record->st_rdev = status.st_rdev;
  record->st_size = static_cast<_off_t>(status.st_size);
  record->st_atime = status.st_atime;
  record->st_mtime = status.st_mtime;
  record->st_ctime = status.st_ctime;
  return true;
}

bool FileSizeAndTime(const char* path, int64_t* size, int64_t* modified) {
  struct _stat64 status;
  if (_stat64(path, &status) != 0) return false;
  *size = status.st_size;
  *modified = status.st_mtime;
  return true;
}

bool ReadExactly(const char* path, char* buffer, uint32_t size) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD read = 0;
  bool ok = ReadFile(file, buffer, size, &read, nullptr) && read == size;
  // A file that grew since its size was taken would be cut short silently.
  char extra;
  DWORD more = 0;
  if (ok && ReadFile(file, &extra, 1, &more, nullptr) && more != 0) ok = false;
  CloseHandle(file);
  return ok;
}

FileError MakeDirectory(const char* path) {
  if (_mkdir(path) == 0) return FileError::kNone;
  return FileErrorFromErrno(errno);
}

FileError RemoveEmptyDirectory(const char* path) {
  if (_rmdir(path) == 0) return FileError::kNone;
  return FileErrorFromErrno(errno);
}

FileError RemoveFile(const char* path) {
  if (remove(path) == 0) return FileError::kNone;
  return FileErrorFromErrno(errno);
}

// Windows removes by path only; the handle held without FILE_SHARE_DELETE is
// what keeps the path naming the directory that was opened.
struct Directory {
  HANDLE handle;
  std::string path;
};

namespace {

std::string Join(const Directory* directory, const char* name) {
  return directory->path + "\\" + name;
}

}  // namespace

Directory* OpenDirectory(const char* path) {
  HANDLE handle = CreateFileA(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    CloseHandle(handle);
    return nullptr;
  }
  Directory* directory = new (std::nothrow) Directory{handle, std::string()};
  if (directory == nullptr) {
    CloseHandle(handle);
    return nullptr;
  }
  try {
    directory->path = path;
  } catch (const std::bad_alloc&) {
    CloseDirectory(directory);
    return nullptr;
  }
  return directory;
}

Directory* OpenSubdirectory(Directory* parent, const char* name) {
  return OpenDirectory(Join(parent, name).c_str());
}

void CloseDirectory(Directory* directory) {
  if (directory == nullptr) return;
  CloseHandle(directory->handle);
  delete directory;
}

bool ListDirectory(Directory* directory, std::vector<std::string>* names) {
  std::string pattern = directory->path + "\\*.*";
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    names->emplace_back(entry.cFileName);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return true;
}

bool EntryTime(Directory* directory, const char* name, int64_t* modified) {
  int64_t size = 0;
  return FileSizeAndTime(Join(directory, name).c_str(), &size, modified);
}

FileError RemoveFileIn(Directory* directory, const char* name) {
  return RemoveFile(Join(directory, name).c_str());
}

FileError RemoveEmptyDirectoryIn(Directory* directory, const char* name) {
  return RemoveEmptyDirectory(Join(directory, name).c_str());
}

std::string TemporaryDirectory() {
  char buffer[512];
  DWORD length = GetTempPathA(sizeof buffer, buffer);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

int UniversalName(const std::string& path, std::string* result) {
  if (path.empty() || !IsAsciiLetter(path[0])) return 0;
  if (!(path.size() > 1 && path[1] == ':') && !(path.size() > 2 && path[2] == '\\')) return 0;
  HANDLE enumeration = nullptr;
  if (WNetOpenEnumA(RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, nullptr, &enumeration) != NO_ERROR) {
    return 0;
  }
  std::vector<char> buffer(1600);
  std::string universal = path;
  int empty_batches = 0;
  for (;;) {
    DWORD count = 0xFFFFFFFF;
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD status = WNetEnumResourceA(enumeration, &count, buffer.data(), &size);
    if (status == ERROR_MORE_DATA) {
      if (size <= buffer.size()) size = static_cast<DWORD>(buffer.size() * 2);
      try {
        buffer.resize(size);
      } catch (const std::bad_alloc&) {
        // No room for the list: the connections cannot be listed.
        WNetCloseEnum(enumeration);
        return 0;
      }
      continue;
    }
    if (status != NO_ERROR) break;
    if (count == 0) {
      if (++empty_batches > kMaxEmptyBatches) break;
      continue;
    }
    const NETRESOURCEA* entries = reinterpret_cast<const NETRESOURCEA*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      const char* local = entries[i].lpLocalName;
      const char* remote = entries[i].lpRemoteName;
      if (local == nullptr || remote == nullptr || local[0] == '\0') continue;
      if (AsciiUpper(local[0]) == AsciiUpper(path[0])) {
        universal = std::string(remote) + path.substr(2);
        break;
      }
    }
  }
  WNetCloseEnum(enumeration);
  *result = universal;
  return 1;
}

}  // namespace gnutil::platform
