// gnutil: command-line access to the library's text services.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "output_file.h"

namespace gnutil::tool {
namespace {

StandardStreams g_standard;

}  // namespace

int Fail(const std::string& message) {
  std::fprintf(stderr, "gnutil: %s\n", message.c_str());
  return 2;
}

FILE* OpenInput(const std::string& path, std::string* error) {
  if (path.empty() || path == "-") {
    if (g_standard.inputClosed) {
      *error = "standard input is closed";
      return nullptr;
    }
    return stdin;
  }
  std::string reason;
  FILE* f = OpenInputStream(path.c_str(), &reason);
  if (f == nullptr) *error = "cannot read '" + path + "': " + reason;
  return f;
}

void CloseInput(FILE* f) {
  if (f != nullptr && f != stdin) std::fclose(f);
}

int FinishOutput(const char* command) {
  bool ok = std::fflush(stdout) == 0 && !std::ferror(stdout);
  int err = errno;
  if (std::fclose(stdout) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok) return 0;
  std::fprintf(stderr, "gnutil: %s: cannot write the standard output: %s\n", command,
               std::strerror(err));
  return 1;
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
  g_standard = gnutil::tool::ClaimStandardStreams();
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string command = argv[1];
  Args args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return FinishOutput("help");
  }
  if (command == "chars") return RunChars(args);
  if (command == "detect") return RunDetect(args);
  if (command == "convert") return RunConvert(args);
  if (command == "locale") return RunLocale(args);
  if (command == "date") return RunDate(args);
  if (command == "decimal") return RunDecimal(args);
  return Fail("unknown command '" + command + "' (see 'gnutil --help')");
}
