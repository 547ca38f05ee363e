// gnutil: command-line access to the library's text services.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "commands.h"

namespace gnutil::tool {

int Fail(const std::string& message) {
  std::fprintf(stderr, "gnutil: %s\n", message.c_str());
  return 2;
}

bool ReadInput(const std::string& path, std::string* out, std::string* error) {
  if (path.empty() || path == "-") {
    out->assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    return true;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read '" + path + "': " + std::strerror(errno);
    return false;
  }
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    *error = "error reading '" + path + "'";
    return false;
  }
  return true;
}

}  // namespace gnutil::tool

namespace {

const char kUsage[] =
    "usage: gnutil <command> [options]\n"
    "\n"
    "commands:\n"
    "  chars [--codeset NAME] [FILE]   walk a text by the multibyte character rules\n"
    "  detect FILE...                  show the Japanese code set of files\n"
    "  convert --from NAME --to NAME [-o OUT] [FILE]\n"
    "                                  convert between Shift-JIS, EUC, JIS, Big5, EUC-TW\n"
    "  locale [NAME] | --list          the locale record, or the installed locales\n"
    "  date [--tz ZONE] [--format PATTERN] (--now | TEXT...)\n"
    "                                  read typed dates as the locale's user types them\n"
    "  decimal --to-c|--to-regional TEXT...\n"
    "                                  decimal numbers between C and regional form\n"
    "\n"
    "Run 'gnutil <command> --help' for the options of a command.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace gnutil::tool;
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string command = argv[1];
  Args args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "chars") return RunChars(args);
  if (command == "detect") return RunDetect(args);
  if (command == "convert") return RunConvert(args);
  if (command == "locale") return RunLocale(args);
  if (command == "date") return RunDate(args);
  if (command == "decimal") return RunDecimal(args);
  return Fail("unknown command '" + command + "' (see 'gnutil --help')");
}
