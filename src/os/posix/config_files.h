// Whole-file reads and locked, atomic replacement of small text files, as
// the Linux configuration store uses them. Shared with its tests.
#ifndef GNUTIL_SRC_OS_POSIX_CONFIG_FILES_H
#define GNUTIL_SRC_OS_POSIX_CONFIG_FILES_H

#include <functional>
#include <string>

namespace gnutil::files {

// The file's bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string* out);

// Under an exclusive advisory lock on the file, hands its current text (empty
// for a new file) to edit and replaces the file atomically with the text edit
// produces. Nothing is written when edit returns false or changes nothing.
// make_directories creates the missing directories above the file. True when
// the file now holds the edited text.
bool UpdateFile(const std::string& path, bool make_directories,
                const std::function<bool(const std::string& old, std::string* text)>& edit);

}  // namespace gnutil::files

#endif  // GNUTIL_SRC_OS_POSIX_CONFIG_FILES_H
