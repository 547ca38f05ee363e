// Whole-file reads and locked, atomic replacement of small text files.
//
// A writer opens the current file, takes an exclusive flock on it, checks that
// the path still names the file it locked (another writer may have replaced
// it meanwhile; then it starts again), reads it, writes the new text to a
// temporary file beside it and renames that over the path before it lets the
// lock go. Readers therefore always see a whole file, old or new; writers in
// any number of processes are serialised, so none loses another's update; and
// a writer killed at any moment leaves the old file (and a stale temporary
// file, which the next writer removes).
#include "platform/posix/files.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

#include "platform/path.h"

namespace gnutil::files {

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) close(fd_);
}

int FileDescriptor::release() {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

bool ReadAll(int fd, std::string* out, size_t limit) {
  char chunk[8192];
  for (;;) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (out->size() > limit || static_cast<size_t>(n) > limit - out->size()) return false;
    out->append(chunk, static_cast<size_t>(n));
  }
}

namespace {

// Opens path (creating it when flags ask) and keeps it only when it is a
// regular file. Without O_NONBLOCK a named pipe would block the open, and a
// device or pipe would then be read for ever (/dev/zero) or never answer.
int OpenRegular(const char* path, int flags, struct stat* st) {
  FileDescriptor fd(open(path, flags | O_NONBLOCK | O_CLOEXEC, 0666));
  if (!fd.valid()) return -1;
  if (fstat(fd.get(), st) != 0 || !S_ISREG(st->st_mode)) return -1;
  return fd.release();
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* out) {
  struct stat st;
  FileDescriptor fd(OpenRegular(path.c_str(), O_RDONLY, &st));
  if (!fd.valid()) return false;
  out->clear();
  return ReadAll(fd.get(), out, kMaxFileBytes);
}

namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool MakeDirectories(const std::string& dir) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::string parent = platform::DirectoryOf(dir);
  if (parent != dir && !MakeDirectories(parent)) return false;
  return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

constexpr char kTempSuffix[] = ".gnutil-tmp";
constexpr size_t kTempRandomBytes = 6;  // mkostemps's XXXXXX

// True for a temporary name of base: ".base.XXXXXX.gnutil-tmp", or the
// ".base.gnutil-tmp" of earlier versions.
bool IsTemporaryOf(std::string_view name, const std::string& base) {
  const size_t prefix = base.size() + 2, suffix = sizeof kTempSuffix - 1;
  if (name.size() != prefix + suffix && name.size() != prefix + kTempRandomBytes + suffix) {
    return false;
  }
  return name[0] == '.' && name.substr(1, base.size()) == base && name[prefix - 1] == '.' &&
         name.substr(name.size() - suffix) == kTempSuffix;
}

// Removes the temporary files of base that writers killed before their
// rename left in dir. Only the holder of the lock on the current file writes
// a temporary, so any found now is stale; but only a regular file of this
// user goes, whatever else carries such a name stays as it is.
void RemoveStaleTemporaries(const std::string& dir, const std::string& base) {
  DIR* listing = opendir(dir.c_str());
  if (listing == nullptr) return;
  const int fd = dirfd(listing);
  while (struct dirent* entry = readdir(listing)) {
    if (!IsTemporaryOf(entry->d_name, base)) continue;
    struct stat st;
    if (fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == geteuid()) {
      unlinkat(fd, entry->d_name, 0);
    }
  }
  closedir(listing);
}

// Writes text to a temporary file beside target and renames it over target.
// The temporary is created anew under an unpredictable name (O_CREAT |
// O_EXCL, which also refuses a link): a file placed under a name we would
// use, kept open to rewrite the configuration after our rename, or a named
// pipe that would hang the open, is never written through.
bool Replace(const std::string& target, const struct stat& old, std::string_view text) {
  std::string dir = platform::DirectoryOf(target);
  std::string base = target.substr(target.rfind('/') + 1);
  RemoveStaleTemporaries(dir, base);
  std::string temp = dir + "/." + base + "." + std::string(kTempRandomBytes, 'X') + kTempSuffix;
  FileDescriptor fd(mkostemps(temp.data(), sizeof kTempSuffix - 1, O_CLOEXEC));
  if (!fd.valid()) return false;
  struct stat created;
  bool ok = fstat(fd.get(), &created) == 0 && S_ISREG(created.st_mode) && WriteAll(fd.get(), text);
  if (ok) {
    if (fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
      // Only root may give the file away; others keep their own ownership.
    }
    ok = fchmod(fd.get(), old.st_mode & 07777) == 0 && fsync(fd.get()) == 0;
  }
  if (close(fd.release()) != 0) ok = false;
  if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

}  // namespace

bool UpdateFile(const std::string& path, bool make_directories,
                const std::function<bool(const std::string& old, std::string* text)>& edit) {
  std::string target = path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) target = resolved;  // write through links
  if (make_directories && !MakeDirectories(platform::DirectoryOf(target))) return false;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    struct stat locked, current;
    FileDescriptor fd(OpenRegular(target.c_str(), O_RDWR | O_CREAT, &locked));
    if (!fd.valid()) return false;
    int rc;
    do {
      rc = flock(fd.get(), LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 || fstat(fd.get(), &locked) != 0) return false;
    if (stat(target.c_str(), &current) != 0 || current.st_ino != locked.st_ino ||
        current.st_dev != locked.st_dev) {
      continue;  // replaced while we waited: lock the new file
    }
    std::string old;
    bool ok = ReadAll(fd.get(), &old, kMaxFileBytes);
    std::string text;
    if (ok) ok = edit(old, &text);
    if (ok && text != old) ok = Replace(target, locked, text);
    return ok;  // closing the descriptor releases the lock
  }
  return false;
}

}  // namespace gnutil::files
