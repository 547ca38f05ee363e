// Trace files in tests: reading them back (LF, or CR LF as Windows writes
// text files), and the lines of the many-writer tests (threads, processes).
#ifndef GNUTIL_TESTS_SUPPORT_TRACE_FILE_H
#define GNUTIL_TESTS_SUPPORT_TRACE_FILE_H

#include <gtest/gtest.h>
#include <stdio.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace gnutil_test {

inline std::string WithoutCR(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

// A last piece without a line end is a line too, so a torn last line shows.
inline std::vector<std::string> FileLines(const std::string& path) {
  std::istringstream in(WithoutCR(ReadWholeFile(path)));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Writer w's line j in the many-writer tests (label "w", date on, threaded
// process); the length varies by line.
inline std::string TraceMessage(int writer, int line) {
  return "t" + std::to_string(writer) + " line " + std::to_string(line) + " " +
         std::string(line % 61, static_cast<char>('a' + writer % 26));
}

// The file that `writers` writers (one thread each) filled with `lines` lines
// each: every line whole, each writer's in order without a gap up to its last,
// and, unless the file was emptied at a cap, all there.
inline void ExpectWriterLines(const std::string& path, int writers, int lines,
                              bool capped = false) {
  std::vector<int> first(writers, -1), last(writers, -1);
  std::vector<unsigned long> tids(writers, 0);
  for (const std::string& text : FileLines(path)) {
    unsigned long tid = 0;
    int w = -1, j = -1;
    // Rebuilt from its numbers, a whole line comes back byte for byte.
    bool whole = text.size() > 21 && text.compare(17, 4, " :: ") == 0 &&
                 sscanf(text.c_str() + 21, "TID %lu :: w : t%d line %d", &tid, &w, &j) == 3 &&
                 w >= 0 && w < writers &&
                 text.substr(21) == "TID " + std::to_string(tid) + " :: w : " + TraceMessage(w, j);
    ASSERT_TRUE(whole) << "not a whole line: " << text.substr(0, 200);
    ASSERT_EQ(j, first[w] < 0 ? j : last[w] + 1) << "writer " << w;
    if (first[w] < 0) first[w] = j;
    if (tids[w] == 0) tids[w] = tid;
    ASSERT_EQ(tid, tids[w]) << "writer " << w;  // each writer is one thread
    last[w] = j;
  }
  for (int w = 0; w < writers; ++w) {
    EXPECT_TRUE(capped || first[w] == 0) << "writer " << w << " starts at " << first[w];
    EXPECT_TRUE((capped && first[w] < 0) || last[w] == lines - 1) << "writer " << w;
  }
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_TRACE_FILE_H
