// The platform seam of append-only log files (the trace file).
//
// Every AppendToFile is one append at the end of the file as it is at that
// moment, however many processes and handles write to it (O_APPEND on POSIX,
// FILE_APPEND_DATA without FILE_WRITE_DATA on Windows), so a line written in
// one call is never torn by another writer's line.
//
// Writers that empty the file when it reaches a size cap serialise with each
// other through LockForTruncation (an advisory flock on POSIX; on Windows a
// byte-range lock far past any real end of file, so it never blocks a write
// by itself). On POSIX plain appends never take it. On Windows each
// AppendToFile holds it for its write, because an append there is not atomic
// across handles everywhere (Wine, network shares); so a caller must not
// append while it holds the lock itself.
#ifndef GNUTIL_SRC_PLATFORM_APPENDFILE_H
#define GNUTIL_SRC_PLATFORM_APPENDFILE_H

#include <stddef.h>
#include <stdint.h>

namespace gnutil::platform {

struct AppendFile;

// Opens path for appending, creating it when missing; with truncate the file
// is emptied first. Null when it cannot be opened, or when it is neither a
// regular file nor a character device (a terminal, /dev/null): a named pipe
// is refused at once, without waiting for a reader, since writing to one
// would block when nobody reads and fail when its reader has gone.
AppendFile* OpenAppendFile(const char* path, bool truncate);

// True when the file behind file is no longer the one at path: it was
// removed, or renamed away and another file (or none) put at path, as log
// rotation does. Lines written to it then would be lost to whoever reads
// path, so the writer opens path again.
bool AppendFileMoved(AppendFile* file, const char* path);
void CloseAppendFile(AppendFile* file);

// The file's current size in bytes, written by anyone; -1 when unknown.
int64_t AppendFileSize(AppendFile* file);

// Appends size bytes of text in one write. Line ends are the platform's text
// line ends: each "\n" becomes "\r\n" on Windows. Returns the number of the
// given bytes that reached the file (fewer on a full disk or an error). Never
// raises SIGPIPE in the calling process.
size_t AppendToFile(AppendFile* file, const char* text, size_t size);

// Holds the file's truncation lock until UnlockTruncation; blocks while
// another handle (in any process) holds it. False when it cannot be taken.
bool LockForTruncation(AppendFile* file);
void UnlockTruncation(AppendFile* file);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_APPENDFILE_H
