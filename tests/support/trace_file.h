// Reading trace files back in tests: lines without their line ends (LF, or
// CR LF as Windows writes text files) and the line pattern of each layout.
#ifndef GNUTIL_TESTS_SUPPORT_TRACE_FILE_H
#define GNUTIL_TESTS_SUPPORT_TRACE_FILE_H

#include <gtest/gtest.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace gnutil_test {

// A text without the CR of each CR LF.
inline std::string WithoutCR(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') out.push_back(text[i]);
  }
  return out;
}

// The lines of a file. A last piece without a line end is a line too, so
// that a check of every line's form also catches a torn last line.
inline std::vector<std::string> FileLines(const std::string& path) {
  std::string text = WithoutCR(ReadWholeFile(path));
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// The date-time prefix as a regular expression.
constexpr const char* kDatePattern = "\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d :: ";

// Writers in the many-writer tests (threads or processes) trace line j of
// writer w as this message, with the label "w", the date on and the thread
// prefix (a threaded process). The length varies from line to line.
inline std::string TraceMessage(int writer, int line) {
  return "t" + std::to_string(writer) + " line " + std::to_string(line) + " " +
         std::string(line % 61, static_cast<char>('a' + writer % 26));
}

// The bytes of such a line with LF line end, for a thread id's digits.
inline long long TraceLineBytes(const std::string& message, unsigned long tid) {
  return 21 + static_cast<long long>(std::string("TID  :: w : \n").size() +
                                     std::to_string(tid).size() + message.size());
}

struct ParsedTraceLine {
  bool whole = false;
  unsigned long tid = 0;
  int writer = -1, line = -1;
};

inline ParsedTraceLine ParseTraceLine(const std::string& text) {
  ParsedTraceLine p;
  int d[6];
  int used = 0;
  if (sscanf(text.c_str(), "%2d/%2d/%2d %2d:%2d:%2d :: TID %lu :: w : t%d line %d %n", &d[0], &d[1],
             &d[2], &d[3], &d[4], &d[5], &p.tid, &p.writer, &p.line, &used) != 9 ||
      used == 0 || text.size() < 21) {
    return p;
  }
  // Rebuilt from its numbers, the line must come back byte for byte.
  std::string rebuilt = text.substr(0, 21) + "TID " + std::to_string(p.tid) +
                        " :: w : " + TraceMessage(p.writer, p.line);
  p.whole = rebuilt == text && text.compare(17, 4, " :: ") == 0;
  return p;
}

// The file holds exactly `lines` lines of each writer, whole and in the
// writer's order, each writer from one thread.
inline void ExpectEveryLine(const std::string& path, int writers, int lines) {
  std::vector<std::string> text = FileLines(path);
  EXPECT_EQ(text.size(), static_cast<size_t>(writers) * lines);
  std::vector<int> next(writers, 0);
  std::vector<unsigned long> tids(writers, 0);
  int broken = 0;
  for (const std::string& line : text) {
    ParsedTraceLine p = ParseTraceLine(line);
    if (!p.whole || p.writer < 0 || p.writer >= writers) {
      if (++broken <= 3) ADD_FAILURE() << "not a whole line: " << line.substr(0, 200);
      continue;
    }
    if (tids[p.writer] == 0) tids[p.writer] = p.tid;
    EXPECT_EQ(tids[p.writer], p.tid);
    EXPECT_EQ(p.line, next[p.writer]) << "writer " << p.writer;
    next[p.writer] = p.line + 1;
  }
  EXPECT_EQ(broken, 0);
  for (int w = 0; w < writers; ++w) EXPECT_EQ(next[w], lines) << "writer " << w;
}

// A file capped at cap that writers filled with `lines` lines each, emptying
// it `emptied` times in all, after `written` bytes (LF line ends). Every line
// written after the file was last emptied is there: for each writer its last
// lines without a gap (or none, when all came before). And each emptying
// removed at least a cap's worth: a writer that emptied the file again just
// after another had would have removed less, and lost the other's fresh line.
inline void ExpectCappedFile(const std::string& path, int writers, int lines, long cap,
                             long emptied, long long written) {
  std::vector<std::string> text = FileLines(path);
  std::vector<int> first(writers, -1), last(writers, -1), count(writers, 0);
  for (const std::string& line : text) {
    ParsedTraceLine p = ParseTraceLine(line);
    ASSERT_TRUE(p.whole && p.writer >= 0 && p.writer < writers) << line.substr(0, 200);
    if (first[p.writer] < 0) first[p.writer] = p.line;
    last[p.writer] = p.line;
    ++count[p.writer];
  }
  for (int w = 0; w < writers; ++w) {
    if (count[w] == 0) continue;
    EXPECT_EQ(last[w], lines - 1) << "writer " << w;
    EXPECT_EQ(count[w], last[w] - first[w] + 1) << "writer " << w << " lost lines";
  }
  // Bytes as on disk: with CR LF line ends (Windows) each line has one more.
  const std::string raw = ReadWholeFile(path);
  const long long lineEnd = raw.find("\r\n") != std::string::npos ? 1 : 0;
  const long long total = written + lineEnd * writers * lines;
  const long long removed = total - static_cast<long long>(raw.size());
  EXPECT_GT(emptied, 0);
  EXPECT_GE(removed, static_cast<long long>(emptied) * cap)
      << emptied << " emptyings removed " << removed << " bytes";
  printf("cap %ld, %d writers: %lld bytes written, %ld emptyings, %lld removed, %zu lines kept\n",
         cap, writers, total, emptied, removed, text.size());
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_TRACE_FILE_H
