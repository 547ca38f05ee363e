// The platform seam of child processes, the shell and the environment.
#ifndef GNUTIL_SRC_PLATFORM_PROCESS_H
#define GNUTIL_SRC_PLATFORM_PROCESS_H

#include <stddef.h>

#include <functional>
#include <string>

namespace gnutil::platform {

// Starts command_line without waiting for it. False with the system's
// message in *error when it cannot be started.
bool StartProcess(const std::string& command_line, std::string* error);

// Receives the child's output piece by piece as it arrives; false when it
// cannot hold more.
using OutputSink = std::function<bool(const char* bytes, size_t size)>;

// Runs command_line with its standard output handed to collect for at most
// window_ms milliseconds. True with the child's exit code in *exit_code when
// it ended within the window; false when it could not be started, was still
// running, or collect refused a piece (collecting stops there; a child still
// running is left running). Each piece is handed over as it is read, so the
// caller's work on it counts against the window instead of following it.
bool RunCollectingOutput(const std::string& command_line, unsigned long window_ms,
                         const OutputSink& collect, long* exit_code);

// Opens a document with the desktop's handler: the platform's result,
// 0 on failure.
long OpenDocument(const std::string& path);

// The value of an environment variable; false when it is not set.
bool GetEnvironment(const std::string& name, std::string* value);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_PROCESS_H
