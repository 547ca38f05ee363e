// The subcommands of the gnutil tool. Each takes the arguments after its name
// and returns the process exit status: 0 success, 2 bad usage or input.
#ifndef GNUTIL_TOOLS_COMMANDS_H
#define GNUTIL_TOOLS_COMMANDS_H

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

// Reads a whole file ("-" or empty for standard input). False on error.
bool ReadInput(const std::string& path, std::string* out, std::string* error);

}  // namespace gnutil::tool

#endif  // GNUTIL_TOOLS_COMMANDS_H
