// The tool's files and standard streams: opening input that can really be
// read, replacing an output file only when everything was written, and
// standard descriptors that a caller closed. posix/output_file.cpp and
// win32/output_file.cpp implement it; the library has no use for it.
#ifndef GNUTIL_TOOLS_OUTPUT_FILE_H
#define GNUTIL_TOOLS_OUTPUT_FILE_H

#include <stdio.h>

#include <memory>
#include <string>

namespace gnutil::tool {

struct StandardStreams {
  bool inputClosed = false;
  bool outputClosed = false;
};

// Call first thing in main. Reports which of standard input and output were
// closed by the caller, and puts a stand-in on every closed one (a null
// device on which reads, or writes, fail), so that no file opened later takes
// its number and gets read as the input or written as the output.
StandardStreams ClaimStandardStreams();

// Opens path for reading from start to end, or returns null with the reason
// in *error. A directory is refused at once; so is a named pipe that no
// writer opens within a few seconds (kPipeWriterWaitSeconds), instead of
// waiting for ever.
constexpr int kPipeWriterWaitSeconds = 3;
FILE* OpenInputStream(const char* path, std::string* error);

// The whole output of a run, going to path.
//
// Where path names a regular file or nothing yet (following symbolic links to
// their target), the output goes to a temporary file created exclusively,
// under an unpredictable name, beside the target, with the target's
// permissions (and owner, for a privileged user); CommitOutputFile renames it
// over the target, AbandonOutputFile removes it, and so does an interrupt or
// termination signal, so that a failed or interrupted run leaves the target as
// it was. Anything else (a device, a named pipe, a terminal, the standard
// output under its /dev name) is written directly.
struct OutputFile;
OutputFile* OpenOutputFile(const char* path, std::string* error);
FILE* OutputStream(OutputFile* file);
// Closes the stream and puts the output in place. False, with the reason,
// when any of it fails; the target is then as it was.
bool CommitOutputFile(OutputFile* file, std::string* error);
void AbandonOutputFile(OutputFile* file);

// An output file that is abandoned unless committed: CommitOutputFile takes
// it with release().
struct AbandonOutput {
  void operator()(OutputFile* file) const { AbandonOutputFile(file); }
};
using OutputFileHolder = std::unique_ptr<OutputFile, AbandonOutput>;

}  // namespace gnutil::tool

#endif  // GNUTIL_TOOLS_OUTPUT_FILE_H
