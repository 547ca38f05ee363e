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

#include "gnutil/gntrace.h"
#include "gnutil/osthread.h"
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

constexpr const char* kDatePattern = "\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d :: ";

// Writer w's line j in the many-writer tests; the length varies by line.
inline std::string TraceMessage(int writer, int line) {
  return "t" + std::to_string(writer) + " line " + std::to_string(line) + " " +
         std::string(line % 61, static_cast<char>('a' + writer % 26));
}

// Writes writer w's lines through a trace of its own (threaded process,
// date on, label "w") on path capped at cap. The bytes written with LF line
// ends, or -1 when the file does not open.
inline long long WriteTraceLines(const std::string& path, int writer, int lines, long cap) {
  CGNTrace trace;
  CGNString name(path.c_str()), label("w");
  if (trace.Init() != 1 || trace.ResetOutput(1, name, cap) != 1) return -1;
  trace.ResetMask(1);
  const size_t fixed = 21 + std::string("TID  :: w : \n").size() +
                       std::to_string(static_cast<int>(OSGetCurrentThreadID())).size();
  long long bytes = 0;
  for (int j = 0; j < lines; ++j) {
    std::string message = TraceMessage(writer, j);
    trace.WriteMsg(nullptr, 1, label, "%s", message.c_str());
    bytes += static_cast<long long>(fixed + message.size());
  }
  return bytes;
}

// The writer, line and thread of a whole many-writer line (writer -1 if not).
struct ParsedTraceLine {
  unsigned long tid = 0;
  int writer = -1, line = -1;
};

inline ParsedTraceLine ParseTraceLine(const std::string& text) {
  ParsedTraceLine p;
  int d[6];
  bool parsed = sscanf(text.c_str(), "%2d/%2d/%2d %2d:%2d:%2d :: TID %lu :: w : t%d line %d", &d[0],
                       &d[1], &d[2], &d[3], &d[4], &d[5], &p.tid, &p.writer, &p.line) == 9 &&
                text.size() > 21 && text.compare(17, 4, " :: ") == 0 && p.writer >= 0;
  // Rebuilt from its numbers, the line must come back byte for byte.
  if (!parsed || text.substr(21) !=
                     "TID " + std::to_string(p.tid) + " :: w : " + TraceMessage(p.writer, p.line)) {
    p.writer = -1;
  }
  return p;
}

// The file that `writers` writers (one thread each) filled with `lines`
// lines each. Every line is whole and each writer's lines come in order,
// without a gap, up to its last. Without a cap all lines are there. With a
// cap, emptied `emptied` times after `written` bytes (LF line ends), each
// emptying removed at least a cap's worth: a writer that emptied the file
// again just after another had would have removed less, and lost the other's
// fresh line.
inline void ExpectWriterLines(const std::string& path, int writers, int lines, long cap = 0,
                              long emptied = 0, long long written = 0) {
  std::vector<int> first(writers, -1), last(writers, -1);
  std::vector<unsigned long> tids(writers, 0);
  for (const std::string& text : FileLines(path)) {
    ParsedTraceLine p = ParseTraceLine(text);
    ASSERT_TRUE(p.writer >= 0 && p.writer < writers) << "not a whole line: " << text.substr(0, 200);
    if (first[p.writer] < 0) {
      first[p.writer] = p.line;
      tids[p.writer] = p.tid;
    } else {
      ASSERT_EQ(p.line, last[p.writer] + 1) << "writer " << p.writer;
      ASSERT_EQ(p.tid, tids[p.writer]);
    }
    last[p.writer] = p.line;
  }
  for (int w = 0; w < writers; ++w) {
    EXPECT_TRUE(cap != 0 || first[w] == 0) << "writer " << w << " starts at " << first[w];
    EXPECT_TRUE((cap != 0 && first[w] < 0) || last[w] == lines - 1) << "writer " << w;
  }
  if (cap == 0) return;
  const std::string raw = ReadWholeFile(path);
  const long long crs = raw.find('\r') != std::string::npos ? 1LL * writers * lines : 0;
  const long long removed = written + crs - static_cast<long long>(raw.size());
  EXPECT_GT(emptied, 0);
  EXPECT_GE(removed, 1LL * emptied * cap) << emptied << " emptyings removed " << removed;
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_TRACE_FILE_H
