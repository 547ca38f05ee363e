// Append-only files on POSIX: a descriptor opened with O_APPEND, so each
// write(2) lands whole at the end of the file as it is then.
#include "platform/appendfile.h"

#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

namespace gnutil::platform {

struct AppendFile {
  int fd;
};

AppendFile* OpenAppendFile(const char* path, bool truncate) {
  if (path == nullptr) return nullptr;
  // O_NONBLOCK: a named pipe without a reader fails the open at once instead
  // of blocking it; it is dropped again once the file is known to be a
  // regular file or a character device.
  int flags =
      O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (truncate ? O_TRUNC : 0);
  int fd;
  do {
    fd = open(path, flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  struct stat st;
  int status = fcntl(fd, F_GETFL);
  if (fstat(fd, &st) != 0 || !(S_ISREG(st.st_mode) || S_ISCHR(st.st_mode)) || status < 0 ||
      fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
    close(fd);
    return nullptr;
  }
  AppendFile* file = new (std::nothrow) AppendFile{fd};
  if (file == nullptr) close(fd);
  return file;
}

bool AppendFileMoved(AppendFile* file, const char* path) {
  struct stat held, named;
  if (fstat(file->fd, &held) != 0) return false;
  if (held.st_nlink == 0) return true;
  if (stat(path, &named) != 0) return errno == ENOENT;
  return named.st_ino != held.st_ino || named.st_dev != held.st_dev;
}

void CloseAppendFile(AppendFile* file) {
  if (file == nullptr) return;
  close(file->fd);
  delete file;
}

int64_t AppendFileSize(AppendFile* file) {
  struct stat st;
  if (fstat(file->fd, &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

size_t AppendToFile(AppendFile* file, const char* text, size_t size) {
  // SIGPIPE, which kills by default, is blocked for this thread around the
  // write, and one the write raised is taken back before the mask is
  // restored; one that was pending before stays for the program. Its
  // disposition is the program's and is never changed.
  sigset_t pipe, saved, pending;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  const bool masked = pthread_sigmask(SIG_BLOCK, &pipe, &saved) == 0;
  const bool wasPending =
      masked && sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
  // Exactly one write: a regular file takes all of it unless the disk or a
  // size limit stops it short, and a second write for the rest could land
  // after another writer's line.
  ssize_t n;
  do {
    n = write(file->fd, text, size);
  } while (n < 0 && errno == EINTR);
  if (masked) {
    if (n < 0 && errno == EPIPE && !wasPending) {
      const struct timespec now = {0, 0};
      int taken;
      do {
        taken = sigtimedwait(&pipe, nullptr, &now);
      } while (taken < 0 && errno == EINTR);
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
  }
  return n < 0 ? 0 : static_cast<size_t>(n);
}

bool LockForTruncation(AppendFile* file) {
  int rc;
  do {
    rc = flock(file->fd, LOCK_EX);
  } while (rc != 0 && errno == EINTR);
  return rc == 0;
}

void UnlockTruncation(AppendFile* file) { flock(file->fd, LOCK_UN); }

}  // namespace gnutil::platform
