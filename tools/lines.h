// Commands that read one item per line of standard input when given no
// argument.
#ifndef GNUTIL_TOOLS_LINES_H
#define GNUTIL_TOOLS_LINES_H

#include <stdio.h>

#include <string>

namespace gnutil::tool {

// Calls each(line) for every line of in, without its "\n" or "\r\n"; a last
// line without "\n" counts. Returns the OR of the results.
template <typename Each>
int ForEachLine(FILE* in, Each each) {
  int status = 0;
  std::string line;
  for (int c = getc(in);; c = getc(in)) {
    if (c != '\n' && c != EOF) {
      line += static_cast<char>(c);
      continue;
    }
    if (c == EOF && line.empty()) return status;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    status |= each(line);
    fflush(stdout);  // in order with the messages on standard error
    line.clear();
    if (c == EOF) return status;
  }
}

}  // namespace gnutil::tool

#endif  // GNUTIL_TOOLS_LINES_H
