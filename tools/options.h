// The command line of every gnutil command, read by one parser on the C
// library's getopt_long, and the exit statuses and messages they share.
//
// Every command takes long options as "--name value" and "--name=value", the
// short forms of its table, "-h"/"--help", and "--" to end the options;
// options and operands may come in any order before "--".
#ifndef GNUTIL_TOOLS_OPTIONS_H
#define GNUTIL_TOOLS_OPTIONS_H

#include <string>
#include <vector>

#include "commands.h"

namespace gnutil::tool {

// The exit statuses of every command.
constexpr int kExitOk = 0;
// The data could not be handled or the output could not be written: invalid
// input under a strict policy, unreadable input, lost output, a date or
// number that is not one.
constexpr int kExitData = 1;
constexpr int kExitUsage = 2;

// The text of the exit statuses, for the end of every --help.
extern const char kExitStatusHelp[];

// One option of a command. id identifies it in the parsed result; a short
// form, when there is one, is usually its own id ('o' for -o).
struct OptionSpec {
  const char* name;  // long name, without "--"
  char shortName;    // 0: none
  bool takesValue;
  int id;
};

struct ParsedOption {
  int id;
  std::string value;  // empty for options that take none
};

struct CommandLine {
  std::vector<ParsedOption> options;  // in the order given
  Args operands;
};

struct CommandSyntax {
  const char* command;  // "convert"
  const char* usage;    // the whole --help text
  std::vector<OptionSpec> options;
  // Operands that start like negative numbers ("-12", "-.5") are operands,
  // not options, except as the value of an option.
  bool negativeNumbers = false;
  // Options end at the first operand (the top-level dispatcher).
  bool optionsFirst = false;
};

// Returned by ParseCommandLine when the command is to go on.
constexpr int kGoOn = -1;

// Reads args by syntax into *out: kGoOn, or the exit status after --help
// (printed, the output finished) or a usage error (its message printed).
int ParseCommandLine(const CommandSyntax& syntax, const Args& args, CommandLine* out);

// "gnutil: <command>: <what>" on standard error; returns kExitUsage, or
// kExitData for DataError.
int UsageError(const char* command, const std::string& what);
int DataError(const char* command, const std::string& what);

}  // namespace gnutil::tool

#endif  // GNUTIL_TOOLS_OPTIONS_H
