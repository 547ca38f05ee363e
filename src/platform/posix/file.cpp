// Files and directories on POSIX systems.
#include "platform/file.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <new>
#include <sstream>

#include "platform/posix/mountinfo.h"

namespace gnutil::platform {

bool StatFile(const char* path, StatRecord* record) { return stat(path, record) == 0; }

bool FileSizeAndTime(const char* path, int64_t* size, int64_t* modified) {
  struct stat status;
  if (stat(path, &status) != 0) return false;
  *size = static_cast<int64_t>(status.st_size);
  *modified = static_cast<int64_t>(status.st_mtime);
  return true;
}

bool ReadExactly(const char* path, char* buffer, uint32_t size) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  uint32_t done = 0;
  bool ok = true;
  while (done < size) {
    ssize_t n = read(fd, buffer + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;  // an error, or the file became shorter
      break;
    }
    done += static_cast<uint32_t>(n);
  }
  // A file that grew since its size was taken would be cut short silently.
  char extra;
  ssize_t n;
  do {
    n = read(fd, &extra, 1);
  } while (n < 0 && errno == EINTR);
  if (n != 0) ok = false;
  close(fd);
  return ok;
}

FileError MakeDirectory(const char* path) {
  if (mkdir(path, 0777) == 0) return FileError::kNone;
  return FileErrorFromErrno(errno);
}

FileError RemoveEmptyDirectory(const char* path) {
  if (rmdir(path) == 0) return FileError::kNone;
  return FileErrorFromErrno(errno);
}

FileError RemoveFile(const char* path) {
  // unlink, not remove(): remove() would take an empty directory too.
  if (unlink(path) == 0) return FileError::kNone;
  // The Windows runtime says "access denied" for a directory; so do we.
  if (errno == EISDIR) return FileError::kAccess;
  return FileErrorFromErrno(errno);
}

struct Directory {
  int fd;
};

namespace {

constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

Directory* Hold(int fd) {
  if (fd < 0) return nullptr;
  Directory* directory = new (std::nothrow) Directory{fd};
  if (directory == nullptr) close(fd);
  return directory;
}

}  // namespace

Directory* OpenDirectory(const char* path) { return Hold(open(path, kDirectoryFlags)); }

Directory* OpenSubdirectory(Directory* parent, const char* name) {
  return Hold(openat(parent->fd, name, kDirectoryFlags));
}

void CloseDirectory(Directory* directory) {
  if (directory == nullptr) return;
  close(directory->fd);
  delete directory;
}

bool ListDirectory(Directory* directory, std::vector<std::string>* names) {
  // A copy of the descriptor for the listing: closedir closes it, and the
  // directory stays open for the removals.
  int fd = dup(directory->fd);
  if (fd < 0) return false;
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) {
    close(fd);
    return false;
  }
  rewinddir(dir);
  while (struct dirent* entry = readdir(dir)) names->emplace_back(entry->d_name);
  closedir(dir);
  return true;
}

bool EntryTime(Directory* directory, const char* name, int64_t* modified) {
  struct stat status;
  if (fstatat(directory->fd, name, &status, 0) != 0) return false;
  *modified = static_cast<int64_t>(status.st_mtime);
  return true;
}

FileError RemoveFileIn(Directory* directory, const char* name) {
  if (unlinkat(directory->fd, name, 0) == 0) return FileError::kNone;
  if (errno == EISDIR) return FileError::kAccess;  // as RemoveFile
  return FileErrorFromErrno(errno);
}

FileError RemoveEmptyDirectoryIn(Directory* directory, const char* name) {
  if (unlinkat(directory->fd, name, AT_REMOVEDIR) == 0) return FileError::kNone;
  return FileErrorFromErrno(errno);
}

std::string TemporaryDirectory() {
  const char* tmpdir = getenv("TMPDIR");
  std::string directory = tmpdir != nullptr && tmpdir[0] != '\0' ? tmpdir : "/tmp";
  if (directory.back() != '/') directory += '/';
  return directory;
}

int UniversalName(const std::string& path, std::string* result) {
  if (path.empty() || path[0] != '/') return 0;
  std::ifstream in("/proc/self/mountinfo");
  if (!in) return 0;
  std::ostringstream text;
  text << in.rdbuf();
  return UniversalNameFromMounts(ParseMountInfo(text.str()), path, result);
}

}  // namespace gnutil::platform
