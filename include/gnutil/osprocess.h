/// \file
/// \ingroup ossvc
/// Processes and the shell: starting a command line, running one and
/// collecting what it prints, opening a document, and expanding %NAME%
/// references to environment variables.
///
/// Windows: CreateProcessA, a private named pipe read with overlapped reads,
/// ShellExecuteExA and GetEnvironmentVariableA.
///
/// Linux: a command line is split into arguments by the Windows rules (spaces
/// and tabs separate, double quotes group, backslashes escape only before a
/// quote, as CommandLineToArgvW reads them) and the program is started with
/// posix_spawnp, looked up in PATH; no shell is involved, so shell syntax in
/// the text is passed on as plain characters. A child is put into a new
/// process group, as the Windows one gets a new console and process group.
/// Every child is waited for by the library (never with a wait for "any
/// child", so other children's statuses stay with their owner); no zombie is
/// left. That takes one library thread per child that outlives its call.
#ifndef GNUTIL_OSPROCESS_H
#define GNUTIL_OSPROCESS_H

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

/// Starts the command line and returns at once: 1 when started; 0 when not,
/// with the system's message for the reason in errorText (Windows:
/// FormatMessageA; Linux: strerror, for example "No such file or directory").
/// The child inherits standard input, output and error.
GNUTIL_API unsigned char OSRunAsyncProcess(const CGNString& commandLine, CGNString& errorText);

/// Runs the command line with its standard output collected into output
/// (appended) for at most 15 seconds, then returns its exit code. Returns 1
/// when it could not be run or had not ended after the 15 seconds (output
/// then holds what was collected; the child keeps running). Everything the
/// child wrote before it ended is collected, also what was still in the pipe.
/// Standard input is the null device (NUL, /dev/null). Standard error is
/// inherited from the caller on Linux; on Windows, where the child runs in a
/// new hidden console, it is not connected.
GNUTIL_API long OSRunSyncProcess(const CGNString& commandLine, CGNString& output);

/// Opens a document as the desktop would. Windows: ShellExecuteExA with the
/// "Open" verb, returning its result. Linux: starts xdg-open with the path and
/// returns 1, or 0 when xdg-open is not installed or cannot be started (its
/// own success is not waited for: a handler may run for long).
GNUTIL_API long OSOpenFile(const CGNString& path);

/// Replaces every %NAME% whose variable is set to a non-empty value by that
/// value (inserted as it is, never expanded again). Unknown or empty
/// variables and a lone "%" stay as they are. Names are cut to 255 bytes;
/// values of any length are inserted whole.
GNUTIL_API CGNString OSExpandEnvironmentVariables(const CGNString& text);

#endif  // GNUTIL_OSPROCESS_H
