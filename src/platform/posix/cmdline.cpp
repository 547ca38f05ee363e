// Splitting a Windows command line (see cmdline.h for the rules).
#include "platform/posix/cmdline.h"

#include <stddef.h>

namespace gnutil::platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& text) {
  std::vector<std::string> args;
  const size_t n = text.size();
  size_t i = 0;
  // CreateProcess finds the program after any leading blanks.
  while (i < n && IsBlank(text[i])) ++i;
  if (i == n) return args;

  std::string program;
  if (text[i] == '"') {
    ++i;
    while (i < n && text[i] != '"') program += text[i++];
    if (i < n) ++i;  // the closing quote
  } else {
    while (i < n && !IsBlank(text[i])) program += text[i++];
  }
  args.push_back(program);

  // quotes: 0 outside a quoted part, 1 inside. A run of quotes counts up;
  // every third one is a literal quote, and a count of 2 closes the part.
  int quotes = 0;
  bool in_arg = false;
  while (i < n) {
    char c = text[i];
    if (IsBlank(c) && quotes == 0) {
      while (i < n && IsBlank(text[i])) ++i;
      in_arg = false;
      continue;
    }
    if (!in_arg) {
      args.emplace_back();
      in_arg = true;
    }
    std::string& arg = args.back();
    if (c == '\\') {
      size_t count = 0;
      while (i < n && text[i] == '\\') {
        ++count;
        ++i;
      }
      if (i < n && text[i] == '"') {
        arg.append(count / 2, '\\');
        if (count % 2 == 1) {
          arg += '"';
          ++i;
        }
        // an even count leaves the quote to the branch below
      } else {
        arg.append(count, '\\');
      }
      continue;
    }
    if (c == '"') {
      ++quotes;
      ++i;
      while (i < n && text[i] == '"') {
        if (++quotes == 3) {
          arg += '"';
          quotes = 0;
        }
        ++i;
      }
      if (quotes == 2) quotes = 0;
      continue;
    }
    arg += c;
    ++i;
  }
  return args;
}

}  // namespace gnutil::platform
