// Files and directories on POSIX systems.
#include "platform/file.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
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

bool ListDirectory(const char* directory, std::vector<std::string>* names) {
  int fd = open(directory, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) {
    close(fd);
    return false;
  }
  while (struct dirent* entry = readdir(dir)) names->emplace_back(entry->d_name);
  closedir(dir);
  return true;
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
