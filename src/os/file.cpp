// Files and directories: the portable half.
//
// Every clean-up lists the directory first and removes afterwards, so that a
// removal never disturbs the listing it is part of, and removes relative to
// the directory it listed, never through its path again. "." and ".." are dropped
// from every listing before anything else looks at it: whatever a match
// function says, a clean-up never reaches the parent directory.
#include "platform/file.h"

#include <stdint.h>
#include <string.h>

#include <new>
#include <string>
#include <vector>

#include "gnutil/mbstring.h"
#include "gnutil/osfile.h"
#include "platform/clock.h"

namespace gnutil {
namespace {

int StatusFor(platform::FileError error) {
  switch (error) {
    case platform::FileError::kNone:
      return 0;
    case platform::FileError::kExists:
      return -2;
    case platform::FileError::kNotFound:
      return -3;
    case platform::FileError::kAccess:
      return -4;
    case platform::FileError::kNotEmpty:
      return -5;
    case platform::FileError::kOther:
      break;
  }
  return -1;
}

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

// Holds a platform::Directory and closes it when it goes out of scope.
class OpenedDirectory {
 public:
  explicit OpenedDirectory(platform::Directory* directory) : directory_(directory) {}
  ~OpenedDirectory() { Close(); }
  OpenedDirectory(const OpenedDirectory&) = delete;
  OpenedDirectory& operator=(const OpenedDirectory&) = delete;
  platform::Directory* get() const { return directory_; }
  void Close() {
    platform::CloseDirectory(directory_);
    directory_ = nullptr;
  }

 private:
  platform::Directory* directory_;
};

// The entries of the directory other than "." and "..", or false when it
// cannot be listed.
bool ListEntries(platform::Directory* directory, std::vector<std::string>* names) {
  std::vector<std::string> all;
  if (directory == nullptr || !platform::ListDirectory(directory, &all)) return false;
  for (std::string& name : all) {
    if (!IsDotEntry(name)) names->push_back(std::move(name));
  }
  return true;
}

// Removes the files directly inside the open directory.
void RemoveFilesIn(platform::Directory* directory) {
  std::vector<std::string> names;
  if (!ListEntries(directory, &names)) return;
  for (const std::string& name : names) platform::RemoveFileIn(directory, name.c_str());
}

// The current time in seconds since 1970, read afresh for every entry.
int64_t NowSeconds() {
  int64_t seconds = 0;
  int32_t milliseconds = 0;
  platform::WallClock(&seconds, &milliseconds);
  return seconds;
}

}  // namespace
}  // namespace gnutil

using namespace gnutil;

int OSFileStat(const char* path, struct _stat& record) {
  if (path == nullptr) return -1;
  return platform::StatFile(path, &record) ? 0 : -1;
}

int OSGetBinaryFileContents(char*& buffer, const char* path) {
  if (path == nullptr) return 0;
  int64_t size = 0;
  int64_t modified = 0;
  if (!platform::FileSizeAndTime(path, &size, &modified)) return 0;
  // The count is returned as an int: a file it cannot hold fails here,
  // before anything is allocated. An empty file reads as a failure too.
  if (size <= 0 || size > INT32_MAX - 1) return 0;
  char* data = new (std::nothrow) char[static_cast<size_t>(size) + 1];
  if (data == nullptr) return 0;
  memset(data, 0, static_cast<size_t>(size) + 1);
  if (!platform::ReadExactly(path, data, static_cast<uint32_t>(size))) {
    delete[] data;
    return 0;
  }
  buffer = data;
  return static_cast<int>(size);
}

int OSGetFileContents(char*& buffer, const char* path) {
  char* data = nullptr;
  if (OSGetBinaryFileContents(data, path) < 1) return 0;
  OSDosToUnix(data);
  buffer = data;
  return 1;
}

int OSCreateDirectory(const CGNString& path) { return StatusFor(platform::MakeDirectory(path)); }

int OSRemoveDirectory(const CGNString& path) {
  return StatusFor(platform::RemoveEmptyDirectory(path));
}

int OSRemoveFile(const CGNString& path) { return StatusFor(platform::RemoveFile(path)); }

// The clean-ups list and remove relative to the directory they opened (see
// platform/file.h), so that swapping the directory for a link to another one
// while they run leaves the other one alone.
int OSRemoveDirectoryAndContents(const CGNString& directory) {
  {
    OpenedDirectory opened(platform::OpenDirectory(directory));
    RemoveFilesIn(opened.get());
  }  // closed first: Windows removes no directory that is held open
  return OSRemoveDirectory(directory);
}

int OSRemovePatternFromDirectory(const CGNString& directory,
                                 unsigned char (*match)(CGNString& name)) {
  if (match == nullptr) return 0;
  OpenedDirectory opened(platform::OpenDirectory(directory));
  std::vector<std::string> names;
  if (!ListEntries(opened.get(), &names)) return 0;
  for (const std::string& name : names) {
    CGNString entry(name.c_str());
    if (match(entry) == 0) continue;
    // As OSRemoveDirectoryAndContents on the entry, then OSRemoveFile when
    // that fails; a link in the entry's place is never descended into.
    OpenedDirectory sub(platform::OpenSubdirectory(opened.get(), name.c_str()));
    RemoveFilesIn(sub.get());
    sub.Close();
    if (platform::RemoveEmptyDirectoryIn(opened.get(), name.c_str()) !=
        platform::FileError::kNone) {
      platform::RemoveFileIn(opened.get(), name.c_str());
    }
  }
  return 0;
}

void OSRemoveOldFilesFromDirectory(const CGNString& directory, long age) {
  OpenedDirectory opened(platform::OpenDirectory(directory));
  std::vector<std::string> names;
  if (!ListEntries(opened.get(), &names)) return;
  for (const std::string& name : names) {
    int64_t modified = 0;
    if (!platform::EntryTime(opened.get(), name.c_str(), &modified)) continue;
    // 64-bit arithmetic: a time far from now must not wrap into "young".
    if (NowSeconds() - modified > static_cast<int64_t>(age)) {
      platform::RemoveFileIn(opened.get(), name.c_str());
    }
  }
}

int OSGetTempDir(CGNString& directory) {
  // When the platform names no temporary directory the result is empty, so
  // that a caller's "directory + name" stays a plain relative name.
  directory = platform::TemporaryDirectory().c_str();
  return 1;
}

CGNString OSGetFileExtension(char* fileName) {
  if (fileName == nullptr || fileName[0] == '\0') return CGNString();
  const char* dot = mbstrrchr(fileName, '.');
  if (dot == nullptr) return CGNString();
  return CGNString(dot + 1);
}

CGNString OSGetFileNoExtension(char* fileName) {
  if (fileName == nullptr || fileName[0] == '\0') return CGNString();
  char* dot = mbstrrchr(fileName, '.');
  if (dot == nullptr) return CGNString();
  *dot = '\0';
  return CGNString(fileName);
}

CGNString OSGetFileFromPath(const CGNString& path) {
  CGNString directory;
  CGNString name;
  CGNString copy(path);
  copy.SplitFilePath(directory, name);
  return name;
}

unsigned char OSGetUniversalName(CGNString& result, CGNString& path) {
  std::string universal;
  if (platform::UniversalName(std::string(static_cast<const char*>(path)), &universal) == 0) {
    return 0;
  }
  result = universal.c_str();
  return 1;
}
