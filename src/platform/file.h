// The platform seam of files and directories.
#ifndef GNUTIL_SRC_PLATFORM_FILE_H
#define GNUTIL_SRC_PLATFORM_FILE_H

#include <stdint.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace gnutil::platform {

// The runtime status record that the public _stat is (Windows) or derives
// from (Linux).
#if defined(_WIN32)
using StatRecord = struct _stat;
#else
using StatRecord = struct stat;
#endif

// Failures by name, so that portable code maps them to status codes without
// the runtime's numbers (ENOTEMPTY is 41 on Windows, 39 on Linux).
enum class FileError { kNone, kExists, kNotFound, kAccess, kNotEmpty, kOther };

// The result for an errno value of a failed runtime call; both platforms'
// runtimes use the same names (file_error.cpp).
FileError FileErrorFromErrno(int error);

// The path separator is path.h's PathSeparator().

// False (nothing usable in record) when the file has no status, or when its
// size does not fit the record's size field.
bool StatFile(const char* path, StatRecord* record);

// Size and modification time (seconds since 1970) in 64 bits.
bool FileSizeAndTime(const char* path, int64_t* size, int64_t* modified);

// Reads exactly size bytes of the file into buffer. False when it cannot be
// opened, a read fails, it holds fewer bytes, or more than size.
bool ReadExactly(const char* path, char* buffer, uint32_t size);

FileError MakeDirectory(const char* path);
FileError RemoveEmptyDirectory(const char* path);
// Never removes a directory.
FileError RemoveFile(const char* path);

// A directory held open for a clean-up. Its entries are listed and removed
// relative to the directory that was opened, never by a path looked up again:
// a directory renamed away and replaced by a link to another one meanwhile
// (by a race, or by the caller's own match function) cannot redirect the
// removals. Opening never follows a symbolic link (POSIX) or a reparse point,
// junction or link (Windows); on Windows the open handle also keeps the
// directory from being renamed or deleted until it is closed.
struct Directory;

// Null when path is not a directory that can be opened this way.
Directory* OpenDirectory(const char* path);
// The sub-directory name of parent, opened the same way.
Directory* OpenSubdirectory(Directory* parent, const char* name);
void CloseDirectory(Directory* directory);

// Every name of the directory, "." and ".." included where the platform
// lists them. False when it cannot be listed.
bool ListDirectory(Directory* directory, std::vector<std::string>* names);

// Modification time (seconds since 1970) of the entry name; false when it has
// no status.
bool EntryTime(Directory* directory, const char* name, int64_t* modified);
// Removes the entry name, never a directory.
FileError RemoveFileIn(Directory* directory, const char* name);
// Removes the empty sub-directory name (a link or junction in its place goes
// as itself).
FileError RemoveEmptyDirectoryIn(Directory* directory, const char* name);

// The temporary directory with its final separator, or empty.
std::string TemporaryDirectory();

// The universal name of path (see OSGetUniversalName): 1 with *result set,
// or 0 with *result untouched.
int UniversalName(const std::string& path, std::string* result);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_FILE_H
