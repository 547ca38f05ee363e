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

// Every name of the directory, "." and ".." included where the platform
// lists them. False when it cannot be listed. Linux: a symbolic link given as
// the directory is not followed.
bool ListDirectory(const char* directory, std::vector<std::string>* names);

// The temporary directory with its final separator, or empty.
std::string TemporaryDirectory();

// The universal name of path (see OSGetUniversalName): 1 with *result set,
// or 0 with *result untouched.
int UniversalName(const std::string& path, std::string* result);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_FILE_H
