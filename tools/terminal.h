// Library texts shown in the terminal's encoding.
#ifndef GNUTIL_TOOLS_TERMINAL_H
#define GNUTIL_TOOLS_TERMINAL_H

#include <string>

namespace gnutil::tool {

// The code set the library works in now: that of the process locale.
int LibraryCodeSet();

// The code set of the terminal: that of the user's locale, as it was on the
// first call (make it after InitMbutil, before switching to another locale).
int TerminalCodeSet();

// A text in codeSet as the terminal shows it: as it is where the code sets
// agree, else converted, else with each run of bytes outside ASCII in hexadecimal ("M<E4>rz").
std::string ForTerminal(const std::string& text, int codeSet);

// One of the library's fixed Japanese texts (an era name) of a locale in
// codeSet: in codeSet where that can hold it (the library then writes it so),
// else in the Shift-JIS the library falls back on.
std::string JapaneseForTerminal(const std::string& text, int codeSet);

}  // namespace gnutil::tool

#endif  // GNUTIL_TOOLS_TERMINAL_H
