// The platform seam of child processes, the shell and the environment.
#ifndef GNUTIL_SRC_PLATFORM_PROCESS_H
#define GNUTIL_SRC_PLATFORM_PROCESS_H

#include <string>

namespace gnutil::platform {

// Starts command_line without waiting for it. False with the system's
// message in *error when it cannot be started.
bool StartProcess(const std::string& command_line, std::string* error);

// Runs command_line with its standard output collected into *output
// (appended) for at most window_ms milliseconds. True with the child's exit
// code in *exit_code when it ended within the window; false when it could
// not be started or was still running (then *output has what was read).
bool RunCollectingOutput(const std::string& command_line, unsigned long window_ms,
                         std::string* output, long* exit_code);

// Opens a document with the desktop's handler: the platform's result,
// 0 on failure.
long OpenDocument(const std::string& path);

// The value of an environment variable; false when it is not set.
bool GetEnvironment(const std::string& name, std::string* value);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_PROCESS_H
