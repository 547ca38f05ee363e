// What a block of code writes to the standard output: the descriptor is sent
// to a file of a temporary directory until Text() (or the end of the scope),
// then put back. Text mode, as the console shows it: line ends are LF.
#ifndef GNUTIL_TESTS_SUPPORT_STDOUT_CAPTURE_H
#define GNUTIL_TESTS_SUPPORT_STDOUT_CAPTURE_H

#include <stdio.h>
#include <unistd.h>

#include <string>

#include "support/temp_dir.h"

namespace gnutil_test {

class StdoutCapture {
 public:
  StdoutCapture() {
    fflush(stdout);
    saved_ = dup(fileno(stdout));
    FILE* file = fopen(dir_.File("stdout.txt").c_str(), "w");
    EXPECT_TRUE(saved_ >= 0 && file != nullptr && dup2(fileno(file), fileno(stdout)) >= 0)
        << "cannot capture the standard output";
    if (file != nullptr) fclose(file);
  }
  ~StdoutCapture() { Text(); }
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;

  // Ends the capture (once) and gives what was written.
  std::string Text() {
    if (saved_ >= 0) {
      fflush(stdout);
      dup2(saved_, fileno(stdout));
      close(saved_);
      saved_ = -1;
      FILE* file = fopen(dir_.File("stdout.txt").c_str(), "r");
      for (int c; file != nullptr && (c = fgetc(file)) != EOF;) text_ += static_cast<char>(c);
      if (file != nullptr) fclose(file);
    }
    return text_;
  }

 private:
  TempDir dir_{"gnutil-stdout"};
  int saved_ = -1;
  std::string text_;
};

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_STDOUT_CAPTURE_H
