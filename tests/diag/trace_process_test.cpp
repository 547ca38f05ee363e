// Two processes writing one trace file: every line whole, the cap emptying once.
// The writers are this program started again (std::system from two threads).
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "diag/trace_internal.h"
#include "gnutil/datetime.h"
#include "gnutil/gntrace.h"
#include "gnutil/osthread.h"
#include "support/temp_dir.h"
#include "support/trace_file.h"

namespace {

constexpr char kChildFlag[] = "--trace-writer=";
constexpr int kProcessLines = 5000;

// Run only as a writer process (--trace-writer=<writer>,<cap>,<file>):
// traces its lines, then leaves "<emptyings> <bytes written>" in <file>.<writer>.
TEST(TraceProcess, DISABLED_Writer) {
  std::string path;
  int writer = -1, used = 0;
  long cap = 0;
  for (const std::string& arg : ::testing::internal::GetArgvs()) {
    if (arg.rfind(kChildFlag, 0) == 0 &&
        sscanf(arg.c_str() + sizeof kChildFlag - 1, "%d,%ld,%n", &writer, &cap, &used) == 2) {
      path = arg.substr(sizeof kChildFlag - 1 + used);
    }
  }
  ASSERT_FALSE(path.empty());
  OSSetThreaded();
  CGNDateTime::ModuleInit();
  // Start together: each writer waits (a while at most) for the other.
  gnutil_test::WriteWholeFile(path + ".ready" + std::to_string(writer), "");
  const std::string other = path + ".ready" + std::to_string(1 - writer);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!gnutil_test::Exists(other) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
  }
  long long bytes = gnutil_test::WriteTraceLines(path, writer, kProcessLines, cap);
  ASSERT_GT(bytes, 0);
  gnutil_test::WriteWholeFile(
      path + "." + std::to_string(writer),
      std::to_string(gnutil::TraceFilesEmptied()) + " " + std::to_string(bytes));
}

class TraceProcesses : public ::testing::Test {
 protected:
  // Runs two writer processes at once on the file; false when one failed.
  bool RunWriters(long cap) {
    const std::string self = ::testing::internal::GetArgvs()[0];
    if (self.find(' ') != std::string::npos || path_.find(' ') != std::string::npos) {
      return false;  // kept simple: no quoting for the shell
    }
    int results[2] = {-1, -1};
    std::vector<std::thread> runners;
    for (int w = 0; w < 2; ++w) {
      std::string command = self +
                            " --gtest_filter=TraceProcess.DISABLED_Writer"
                            " --gtest_also_run_disabled_tests " +
                            kChildFlag + std::to_string(w) + "," + std::to_string(cap) + "," +
                            path_;
      runners.emplace_back([command, &results, w] { results[w] = std::system(command.c_str()); });
    }
    for (std::thread& t : runners) t.join();
    return results[0] == 0 && results[1] == 0;
  }
  gnutil_test::TempDir dir_{"gnutil-trace-proc"};
  std::string path_ = dir_.File("shared.log");
};

TEST_F(TraceProcesses, EveryLineWholeAndCounted) {
  ASSERT_TRUE(RunWriters(0));
  gnutil_test::ExpectWriterLines(path_, 2, kProcessLines);
}

TEST_F(TraceProcesses, CapReachedTogetherEmptiesOnce) {
  const long cap = 8192;
  ASSERT_TRUE(RunWriters(cap));
  long emptied[2] = {0, 0};  // what each writer reported
  long long written[2] = {0, 0};
  for (int w = 0; w < 2; ++w) {
    std::string text = gnutil_test::ReadWholeFile(path_ + "." + std::to_string(w));
    ASSERT_EQ(sscanf(text.c_str(), "%ld %lld", &emptied[w], &written[w]), 2) << text;
  }
  gnutil_test::ExpectWriterLines(path_, 2, kProcessLines, cap, emptied[0] + emptied[1],
                                 written[0] + written[1]);
}

}  // namespace
