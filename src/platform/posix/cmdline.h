// A Windows command line split into arguments as CommandLineToArgvW splits
// it, so that a command line written for Windows starts the same program
// with the same arguments here.
#ifndef GNUTIL_SRC_PLATFORM_POSIX_CMDLINE_H
#define GNUTIL_SRC_PLATFORM_POSIX_CMDLINE_H

#include <string>
#include <vector>

namespace gnutil::platform {

// The rules:
//  - The program name (first argument) runs to the next space or tab, or,
//    when it starts with a double quote, to the next double quote;
//    backslashes mean nothing in it.
//  - Other arguments are separated by spaces and tabs outside quotes.
//    2n backslashes before a double quote give n backslashes and the quote
//    opens or closes a quoted part; 2n+1 backslashes before it give n
//    backslashes and a literal quote; backslashes before anything else are
//    literal. Inside a quoted part, two double quotes give one literal quote
//    and end the quoted part.
// A command line of blanks only gives no argument at all.
std::vector<std::string> SplitCommandLine(const std::string& command_line);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_POSIX_CMDLINE_H
