// Windows command lines and the arguments they split into. The Linux test
// checks the library's splitter against them; the Windows test checks that
// CommandLineToArgvW agrees, so the table is the system's own behaviour.
#ifndef GNUTIL_TESTS_SUPPORT_CMDLINE_CASES_H
#define GNUTIL_TESTS_SUPPORT_CMDLINE_CASES_H

#include <string>
#include <vector>

namespace gnutil_test {

struct CommandLineCase {
  const char* line;
  std::vector<std::string> args;
};

inline const std::vector<CommandLineCase>& CommandLineCases() {
  static const std::vector<CommandLineCase> cases = {
      {"prog  a\t\tb  ", {"prog", "a", "b"}},
      {"\"C:\\Program Files\\x.exe\" a", {"C:\\Program Files\\x.exe", "a"}},
      {"\"a b\"c d", {"a b", "c", "d"}},
      {"C:\\dir\\prog\\ x", {"C:\\dir\\prog\\", "x"}},
      {"p a\"b c\"d", {"p", "ab cd"}},
      {"p \"\" \"\"", {"p", "", ""}},
      {"p a\\\\b", {"p", "a\\\\b"}},
      {"p a\\\"b", {"p", "a\"b"}},
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},
      {"p \"a\\\\\"", {"p", "a\\"}},
      {"p \"a\\\"\"", {"p", "a\""}},
      {"p \"a\"\"b\"", {"p", "a\"b"}},
      {"p \"a\"\"\"b", {"p", "a\"b"}},
      {"p a\"\"\"b\"", {"p", "a\"b"}},
      {"p \"\"\"\"", {"p", "\""}},
      {"p \"unclosed arg", {"p", "unclosed arg"}},
      {"p ;|&$(x) `y` >z", {"p", ";|&$(x)", "`y`", ">z"}},
  };
  return cases;
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_CMDLINE_CASES_H
