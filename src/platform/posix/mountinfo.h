// The mount table as /proc/self/mountinfo gives it, and the universal
// (server and share) form of a path on a network file system. Pure text, so
// that tests and the fuzzer give it mount tables of their own.
#ifndef GNUTIL_SRC_PLATFORM_POSIX_MOUNTINFO_H
#define GNUTIL_SRC_PLATFORM_POSIX_MOUNTINFO_H

#include <string>
#include <vector>

namespace gnutil::platform {

struct MountEntry {
  std::string root;         // the directory of the file system mounted here
  std::string mount_point;  // octal escapes resolved
  std::string type;         // "cifs", "nfs4", "ext4" ...
  std::string source;       // "//server/share", "server:/export", "/dev/sda1" ...
};

// The entries of a mountinfo text, in mount order. Lines that do not have
// the fields of the format are skipped.
std::vector<MountEntry> ParseMountInfo(const std::string& text);

// For an absolute path: the mount it lies on (the longest mount point that
// is a leading part of it, the latest mount for equal ones). On a CIFS/SMB
// or NFS mount *result becomes the source, the root below it and the rest of
// the path; elsewhere the path unchanged. Returns 1, or 0 for a path that
// is not absolute (then *result is untouched).
int UniversalNameFromMounts(const std::vector<MountEntry>& mounts, const std::string& path,
                            std::string* result);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_POSIX_MOUNTINFO_H
