// A small program that the process tests start as a child. Its first
// argument says what to do:
//   hello CODE        print "hello", exit with CODE
//   burst BYTES       write BYTES bytes of a known pattern ("a" to "z" and a
//                     zero byte, over and over) at once, exit 0
//   sleep MS TEXT     print TEXT, wait MS milliseconds, exit 0; standard
//                     error is closed first, so that a test runner waiting
//                     for it is not held up by a child left running
//   args ...          print every further argument as "[arg]" on a line
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <thread>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string mode = argv[1];
  if (mode == "hello" && argc > 2) {
    fputs("hello", stdout);
    return atoi(argv[2]);
  }
  if (mode == "burst" && argc > 2) {
    long bytes = atol(argv[2]);
    std::string data(static_cast<size_t>(bytes), '\0');
    for (long i = 0; i < bytes; ++i)
      data[static_cast<size_t>(i)] = static_cast<char>(i % 27 == 26 ? 0 : 'a' + i % 27);
    fwrite(data.data(), 1, data.size(), stdout);
    return 0;
  }
  if (mode == "sleep" && argc > 3) {
    fclose(stderr);
    fputs(argv[3], stdout);
    fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(atol(argv[2])));
    return 0;
  }
  if (mode == "args") {
    for (int i = 2; i < argc; ++i) printf("[%s]\n", argv[i]);
    return 0;
  }
  return 2;
}
