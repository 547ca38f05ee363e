// POSIX file primitives: a descriptor holder, whole-file reads, and locked,
// atomic replacement of small text files (the Linux configuration store keeps
// its files with them).
#ifndef GNUTIL_SRC_PLATFORM_POSIX_CONFIG_FILES_H
#define GNUTIL_SRC_PLATFORM_POSIX_CONFIG_FILES_H

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>

namespace gnutil::files {

// Owns a descriptor and closes it when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  bool valid() const { return fd_ >= 0; }
  int get() const { return fd_; }
  int release();  // gives up ownership without closing

 private:
  int fd_;
};

// Appends everything left to read from fd to out, retrying interrupted reads.
// False on a read error, or once out would grow beyond limit (what was read
// stays in out).
bool ReadAll(int fd, std::string* out, size_t limit = SIZE_MAX);

// The largest file ReadWholeFile and UpdateFile read. The files kept this way
// are small; the bound keeps one that has grown without limit (or a link to a
// device that never ends) from taking the process's memory. A larger file
// reads as unreadable and is never rewritten.
constexpr size_t kMaxFileBytes = 64u << 20;

// The file's bytes; false when it cannot be opened or read, is not a regular
// file (a device or a named pipe is refused without waiting on it) or is
// larger than kMaxFileBytes.
bool ReadWholeFile(const std::string& path, std::string* out);

// Under an exclusive advisory lock on the file, hands its current text (empty
// for a new file) to edit and replaces the file atomically with the text edit
// produces. Nothing is written when edit returns false or changes nothing,
// nor when the file is not a regular file or larger than kMaxFileBytes.
// make_directories creates the missing directories above the file. True when
// the file now holds the edited text.
bool UpdateFile(const std::string& path, bool make_directories,
                const std::function<bool(const std::string& old, std::string* text)>& edit);

}  // namespace gnutil::files

#endif  // GNUTIL_SRC_PLATFORM_POSIX_CONFIG_FILES_H
