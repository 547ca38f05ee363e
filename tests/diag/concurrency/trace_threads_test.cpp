// The trace and the assertion guard with real threads (also run under ThreadSanitizer).
#include <gnutil/datetime.h>
#include <gnutil/gnassert.h>
#include <gnutil/gntrace.h>
#include <gnutil/lclst.h>
#include <gnutil/mbutil.h>
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "diag/trace_internal.h"
#include "support/temp_dir.h"
#include "support/thread_runner.h"
#include "support/trace_file.h"

namespace {

using gnutil_test::ExpectCappedFile;
using gnutil_test::ExpectEveryLine;
using gnutil_test::TraceMessage;

class TraceThreads : public ::testing::Test {
 protected:
  void SetUp() override {
    OSSetThreaded();
    ASSERT_EQ(CGNDateTime::ModuleInit(), 1);
    CGNLclSt::Instance();  // process-wide objects before the threads
  }

  gnutil_test::TempDir dir_{"gnutil-trace-threads"};
  std::string path_ = dir_.File("trace.log");
};

constexpr int kThreads = 8;
constexpr int kLines = 2000;

TEST_F(TraceThreads, ManyThreadsThroughOneTrace) {
  CGNTrace trace;
  ASSERT_EQ(trace.Init(), 1);
  CGNString name(path_.c_str());
  ASSERT_EQ(trace.ResetOutput(1, name, 0), 1);
  trace.ResetMask(1);
  {
    std::vector<std::unique_ptr<gnutil_test::TestThread>> threads;
    for (int w = 0; w < kThreads; ++w) {
      threads.emplace_back(new gnutil_test::TestThread([&trace, w] {
        CGNString label("w");
        for (int j = 0; j < kLines; ++j) {
          trace.WriteMsg(nullptr, 1, label, "%s", TraceMessage(w, j).c_str());
          // Disabled categories go through the same test meanwhile.
          trace.WriteMsg(nullptr, 2, label, "never %d", j);
        }
      }));
    }
  }
  ExpectEveryLine(path_, kThreads, kLines);
}

TEST_F(TraceThreads, CapReachedTogetherEmptiesTheFileOnce) {
  // Each thread has its own trace and so its own handle on the capped file,
  // as separate processes would (two processes: trace_process_test.cpp).
  constexpr long kCap = 16384;
  constexpr int kWriters = 8;
  constexpr int kCapLines = 2000;
  std::atomic<long long> written{0};
  {
    std::vector<std::unique_ptr<gnutil_test::TestThread>> threads;
    for (int w = 0; w < kWriters; ++w) {
      threads.emplace_back(new gnutil_test::TestThread([this, w, &written] {
        CGNTrace trace;
        trace.Init();
        CGNString name(path_.c_str());
        if (trace.ResetOutput(1, name, kCap) != 1) return;
        trace.ResetMask(1);
        CGNString label("w");
        long long bytes = 0;
        for (int j = 0; j < kCapLines; ++j) {
          std::string message = TraceMessage(w, j);
          trace.WriteMsg(nullptr, 1, label, "%s", message.c_str());
          bytes += gnutil_test::TraceLineBytes(message, OSGetCurrentThreadID());
        }
        written += bytes;
      }));
    }
  }
  ExpectCappedFile(path_, kWriters, kCapLines, kCap, gnutil::TraceFilesEmptied(), written.load());
}

// The recursion guard in two threads: while one thread's callback runs (its
// guard set), the other thread's failed assertion still reaches the callback,
// and each thread's nested assertion is caught by its own guard.
std::atomic<int> g_inside{0};
std::atomic<int> g_nestedAnswers{0};

unsigned char WaitingCallback(void*) {
  ++g_inside;
  // Both threads are inside at once, each with its guard set.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (g_inside.load() < 2 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (CGNAssert::Instance()->cgnassert(0, "nested.cpp", 2) == 0) ++g_nestedAnswers;
  return 1;
}

TEST_F(TraceThreads, AssertionGuardIsPerThread) {
  CGNGlobalTrace* trace = CGNGlobalTrace::Instance();
  ASSERT_EQ(trace->Init(), 1);
  trace->DisableDateTime();
  CGNString name(path_.c_str());
  ASSERT_EQ(trace->ResetOutput(1, name, 0), 1);
  trace->ResetMask(1);
  CGNAssert* a = CGNAssert::Instance();
  a->SetNativeAssert(0);
  a->Init(WaitingCallback, nullptr);
  InitMbutil();  // the code set is process-wide: chosen before the threads start
  std::atomic<int> answers{0};
  {
    std::vector<std::unique_ptr<gnutil_test::TestThread>> threads;
    for (int t = 0; t < 2; ++t) {
      threads.emplace_back(new gnutil_test::TestThread([&answers] {
        CGNLclSt::Instance()->Init(8);
        answers += CGNAssert::Instance()->cgnassert(0, "outer.cpp", 1);
        if (CGNLclSt::Instance()->GetLocalVariable("recflag") != nullptr) answers += 100;
      }));
    }
  }
  EXPECT_EQ(g_inside.load(), 2);  // the callback ran once per thread
  EXPECT_EQ(answers.load(), 2);   // both outer calls returned the callback's 1
  EXPECT_EQ(g_nestedAnswers.load(), 2);
  int failures = 0, recursive = 0;
  for (const std::string& line : gnutil_test::FileLines(path_)) {
    if (line.find("Assertion Failure !!") != std::string::npos) ++failures;
    if (line.find("Recursive invocation of callback.") != std::string::npos) ++recursive;
  }
  EXPECT_EQ(failures, 4);
  EXPECT_EQ(recursive, 2);
  CGNAssert::Free();
  CGNGlobalTrace::Free();
}

}  // namespace
