// The subcommands of the gnutil tool. Each takes the arguments after its name
// and returns the process exit status: 0 success, 1 the output could not be
// written, 2 bad usage or input.
#ifndef GNUTIL_TOOLS_COMMANDS_H
#define GNUTIL_TOOLS_COMMANDS_H

#include <stdio.h>

#include <string>
#include <vector>

namespace gnutil::tool {

using Args = std::vector<std::string>;

int RunChars(const Args& args);
int RunDetect(const Args& args);
int RunConvert(const Args& args);
int RunLocale(const Args& args);
int RunDate(const Args& args);
int RunDecimal(const Args& args);

// Prints "gnutil: <message>" on standard error and returns 2.
int Fail(const std::string& message);

// Opens a file to read ("-" or empty for standard input, which must not have
// been closed). Null, with a one-line reason in *error, when it cannot be read
// from start to end (missing, unreadable, a directory, a pipe with no writer).
FILE* OpenInput(const std::string& path, std::string* error);
void CloseInput(FILE* f);

// Flushes and closes standard output: 0, or 1 with a message when anything
// written to it was lost (a full disk, a closed descriptor).
int FinishOutput(const char* command);

}  // namespace gnutil::tool

#endif  // GNUTIL_TOOLS_COMMANDS_H
