// Reading trace files back in tests: lines without their line ends (LF, or
// CR LF as Windows writes text files) and the line pattern of each layout.
#ifndef GNUTIL_TESTS_SUPPORT_TRACE_FILE_H
#define GNUTIL_TESTS_SUPPORT_TRACE_FILE_H

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace gnutil_test {

// A text without the CR of each CR LF.
inline std::string WithoutCR(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

// The lines of a file. A last piece without a line end is a line too, so
// that a check of every line's form also catches a torn last line.
inline std::vector<std::string> FileLines(const std::string& path) {
  std::string text = WithoutCR(ReadWholeFile(path));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The date-time prefix as a regular expression.
constexpr const char* kDatePattern = "\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d :: ";

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_TRACE_FILE_H
