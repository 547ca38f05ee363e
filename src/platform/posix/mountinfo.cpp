// Reading /proc/self/mountinfo. A line is
//   id parent major:minor root mount-point options [optional...] - type source super-options
// with space, tab, newline and backslash in the path fields written as
// three-digit octal escapes (\040).
#include "platform/posix/mountinfo.h"

#include <stddef.h>

namespace gnutil::platform {
namespace {

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

std::string Unescape(const std::string& field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
        field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                               (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

bool IsNetworkType(const std::string& type) {
  return type == "cifs" || type == "smb3" || type == "smbfs" || type == "nfs" || type == "nfs4";
}

// True when mount_point is path itself or a directory above it.
bool Contains(const std::string& mount_point, const std::string& path) {
  if (mount_point == "/") return true;
  if (path.compare(0, mount_point.size(), mount_point) != 0) return false;
  return path.size() == mount_point.size() || path[mount_point.size()] == '/';
}

// a + "/" + b without doubling or losing the slash between them.
std::string JoinSlash(std::string a, const std::string& b) {
  if (b.empty()) return a;
  if (!a.empty() && a.back() == '/' && b.front() == '/') a.pop_back();
  if (!a.empty() && a.back() != '/' && b.front() != '/') a += '/';
  return a + b;
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(const std::string& text) {
  std::vector<MountEntry> mounts;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::vector<std::string> fields = SplitFields(text.substr(start, end - start));
    start = end + 1;
    // Six fixed fields, the optional ones up to "-", then type and source.
    size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") ++dash;
    if (fields.size() < 6 || dash + 2 >= fields.size()) continue;
    MountEntry entry;
    entry.root = Unescape(fields[3]);
    entry.mount_point = Unescape(fields[4]);
    entry.type = Unescape(fields[dash + 1]);
    entry.source = Unescape(fields[dash + 2]);
    mounts.push_back(std::move(entry));
  }
  return mounts;
}

int UniversalNameFromMounts(const std::vector<MountEntry>& mounts, const std::string& path,
                            std::string* result) {
  if (path.empty() || path[0] != '/') return 0;
  const MountEntry* best = nullptr;
  for (const MountEntry& mount : mounts) {
    if (mount.mount_point.empty() || mount.mount_point[0] != '/') continue;
    if (!Contains(mount.mount_point, path)) continue;
    // Later mounts on the same point hide earlier ones.
    if (best == nullptr || mount.mount_point.size() >= best->mount_point.size()) best = &mount;
  }
  if (best == nullptr || !IsNetworkType(best->type)) {
    *result = path;
    return 1;
  }
  std::string rest = best->mount_point == "/" ? path : path.substr(best->mount_point.size());
  std::string universal = best->source;
  if (best->root != "/") universal = JoinSlash(universal, best->root);
  *result = JoinSlash(universal, rest);
  return 1;
}

}  // namespace gnutil::platform
