/// \file
/// \ingroup ossvc
/// Files and directories: whole-file reading, creation and removal of
/// directories and files, clean-up of a directory by name or by age, the
/// temporary directory, file status, file-name splitting and the universal
/// (server and share) form of a path on a network drive.
///
/// Status codes of the directory and file operations, from the runtime's
/// error names:
///    0  done
///   -1  any other failure
///   -2  already exists       (EEXIST)
///   -3  not found            (ENOENT)
///   -4  access denied        (EACCES; on Linux also EPERM, and EISDIR when
///                             OSRemoveFile is given a directory, which the
///                             Windows runtime reports as EACCES)
///   -5  directory not empty  (ENOTEMPTY)
///
/// Sizes: the Windows status record holds a 32-bit size, so there OSFileStat
/// fails (-1) for a file of 2 GiB or more rather than report a wrong size. On
/// Linux the record is the system's own, with 64-bit sizes. The whole-file
/// readers return an int, so they fail (0) for a file of 2 GiB or more on
/// both platforms, before allocating anything.
///
/// Linux: paths use "/", listings come from opendir/readdir, the temporary
/// directory is $TMPDIR (or /tmp) with a final "/", and OSGetUniversalName
/// translates paths on CIFS/SMB and NFS mounts (read from
/// /proc/self/mountinfo) into the mount's source plus the rest of the path.
#ifndef GNUTIL_OSFILE_H
#define GNUTIL_OSFILE_H

#include <sys/stat.h>
#include <sys/types.h>

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

#if !defined(_WIN32)
/// The runtime status record of the Windows API. Linux has no _stat, so it is
/// the system's own record under that name: st_size, st_mtime and the other
/// fields read as they do from stat().
struct _stat : stat {};
#endif

/// Fills record with the file's status. 0 when filled, -1 when not.
GNUTIL_API int OSFileStat(const char* path, struct _stat& record);

/// Reads the whole file into a new buffer of size + 1 bytes that ends with a
/// zero byte. Returns the number of bytes read; then the buffer is the
/// caller's, to release with delete[]. Returns 0 (and the buffer must not be
/// used) when the file is empty, cannot be read, is 2 GiB or larger, or
/// changed size while it was read.
GNUTIL_API int OSGetBinaryFileContents(char*& buffer, const char* path);

/// As OSGetBinaryFileContents, then CR LF becomes LF in place. 1 when contents
/// were read (the buffer is the caller's), 0 otherwise (an empty file too).
GNUTIL_API int OSGetFileContents(char*& buffer, const char* path);

/// Codes 0, -4, -2, -3, -1.
GNUTIL_API int OSCreateDirectory(const CGNString& path);
/// Codes 0, -5, -4, -3, -1.
GNUTIL_API int OSRemoveDirectory(const CGNString& path);
/// Removes a file, never a directory. Codes 0, -4, -3, -1.
GNUTIL_API int OSRemoveFile(const CGNString& path);
/// Removes the files directly inside the directory (sub-directories are not
/// descended into and stay), then the directory itself; returns that last
/// status (-5 when a sub-directory was left). "." and ".." are never touched.
/// A symbolic link (or on Windows a junction) given as the directory, or put
/// in its place while the call runs, is never followed.
GNUTIL_API int OSRemoveDirectoryAndContents(const CGNString& directory);

/// Calls match with the name of every entry of the directory except "." and
/// ".." (they are skipped before match is asked, so no match function can
/// make the clean-up climb to the parent). An entry it says yes to is removed:
/// a directory with OSRemoveDirectoryAndContents, else with OSRemoveFile. A
/// null match removes nothing. Always 0. Removals stay in the directory that
/// was listed, even when match renames it and puts a link in its place.
GNUTIL_API int OSRemovePatternFromDirectory(const CGNString& directory,
                                            unsigned char (*match)(CGNString& name));

/// Removes the files of the directory (never sub-directories, never "." or
/// "..") whose modification time lies more than age seconds in the past.
GNUTIL_API void OSRemoveOldFilesFromDirectory(const CGNString& directory, long age);

/// The temporary directory, ending with the platform's separator; empty when
/// the platform cannot name one. Always 1.
GNUTIL_API int OSGetTempDir(CGNString& directory);

/// The text after the last "." (directory part included); empty for a null or
/// empty name or one without a dot.
GNUTIL_API CGNString OSGetFileExtension(char* fileName);
/// Cuts the caller's text at its last "." and returns the text before it;
/// empty (and the text left as it was) for a null or empty name or one
/// without a dot.
GNUTIL_API CGNString OSGetFileNoExtension(char* fileName);
/// The file-name part of a path (after the last "/" or "\").
GNUTIL_API CGNString OSGetFileFromPath(const CGNString& path);

/// The universal form of a path on a network drive.
/// Windows: a drive path (letter, then ":" or "x\") on a connected network
/// drive becomes the drive's remote name plus the rest of the path; another
/// drive path is returned unchanged. Returns 1, or 0 (result untouched) for a
/// path that is not a drive path or when the connections cannot be listed.
/// Linux: an absolute path on a CIFS/SMB mount becomes //server/share/rest,
/// on an NFS mount server:/export/rest; another absolute path is returned
/// unchanged. Returns 1, or 0 (result untouched) for a relative path or when
/// the mount table cannot be read.
GNUTIL_API unsigned char OSGetUniversalName(CGNString& result, CGNString& path);

#endif  // GNUTIL_OSFILE_H
