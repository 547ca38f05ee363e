// Windows specifics of the process functions: the command-line table that the
// Linux splitter follows, checked against CommandLineToArgvW itself.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <string>
#include <vector>

#include "gnutil/osprocess.h"
#include "support/cmdline_cases.h"

namespace {

std::vector<std::string> SplitBySystem(const std::string& line) {
  std::wstring wide(line.begin(), line.end());  // the table is ASCII
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(wide.c_str(), &count);
  std::vector<std::string> result;
  for (int i = 0; args != nullptr && i < count; ++i) {
    std::wstring arg(args[i]);
    result.emplace_back(arg.begin(), arg.end());
  }
  LocalFree(args);
  return result;
}

TEST(CommandLine, TableMatchesCommandLineToArgvW) {
  for (const auto& c : gnutil_test::CommandLineCases()) {
    EXPECT_EQ(SplitBySystem(c.line), c.args) << c.line;
  }
}

TEST(ProcessWin32, MissingProgramGivesTheSystemsMessage) {
  CGNString error;
  EXPECT_EQ(OSRunAsyncProcess(CGNString("gnutil-no-such-program-xyz.exe"), error), 0);
  char expected[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT), expected,
                 sizeof expected, nullptr);
  EXPECT_STREQ(error, expected);
}

// OSOpenFile is not run here: ShellExecuteExA without SEE_MASK_FLAG_NO_UI
// answers a missing file or handler with a message box, which waits for a
// user.

}  // namespace
