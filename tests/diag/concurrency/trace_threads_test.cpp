// The trace and the assertion guard with real threads (also run under ThreadSanitizer).
#include <gnutil/datetime.h>
#include <gnutil/gnassert.h>
#include <gnutil/gntrace.h>
#include <gnutil/lclst.h>
#include <gnutil/mbutil.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/thread_runner.h"
#include "support/trace_file.h"

namespace {

constexpr int kThreads = 8;
constexpr int kLines = 2000;

class TraceThreads : public ::testing::Test {
 protected:
  void SetUp() override {
    OSSetThreaded();
    ASSERT_EQ(CGNDateTime::ModuleInit(), 1);
    CGNLclSt::Instance();  // process-wide objects before the threads
  }
  // Runs body(0) .. body(count - 1) on threads of their own and joins them.
  static void RunThreads(int count, const std::function<void(int)>& body) {
    std::vector<std::unique_ptr<gnutil_test::TestThread>> threads;
    for (int i = 0; i < count; ++i)
      threads.emplace_back(new gnutil_test::TestThread([&body, i] { body(i); }));
  }

  // The trace on this test's file, mask 1.
  void Open(CGNTrace& trace) {
    ASSERT_EQ(trace.Init(), 1);
    ASSERT_EQ(trace.ResetOutput(1, name_, 0), 1);
    trace.ResetMask(1);
  }

  gnutil_test::TempDir dir_{"gnutil-trace-threads"};
  std::string path_ = dir_.File("trace.log");
  CGNString name_{path_.c_str()};
};

TEST_F(TraceThreads, ManyThreadsThroughOneTrace) {
  CGNTrace trace;
  Open(trace);
  RunThreads(kThreads, [&trace](int w) {
    CGNString label("w");
    for (int j = 0; j < kLines; ++j) {
      trace.WriteMsg(nullptr, 1, label, "%s", gnutil_test::TraceMessage(w, j).c_str());
      trace.WriteMsg(nullptr, 2, label, "never %d", j);  // a disabled category meanwhile
    }
  });
  gnutil_test::ExpectWriterLines(path_, kThreads, kLines);
}

// While one thread's callback runs (its guard set), the other thread's failed
// assertion still reaches the callback, and each thread's nested assertion is
// caught by its own guard.
std::atomic<int> g_inside{0};
std::atomic<int> g_nestedAnswers{0};

unsigned char WaitingCallback(void*) {
  ++g_inside;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (g_inside.load() < 2 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (CGNAssert::Instance()->cgnassert(0, "nested.cpp", 2) == 0) ++g_nestedAnswers;
  return 1;
}

TEST_F(TraceThreads, AssertionGuardIsPerThread) {
  CGNGlobalTrace::Instance()->DisableDateTime();
  Open(*CGNGlobalTrace::Instance());
  CGNAssert::Instance()->SetNativeAssert(0);
  CGNAssert::Instance()->Init(WaitingCallback, nullptr);
  InitMbutil();  // the code set is process-wide: chosen before the threads start
  std::atomic<int> answers{0};
  RunThreads(2, [&answers](int) {
    CGNLclSt::Instance()->Init(8);
    answers += CGNAssert::Instance()->cgnassert(0, "outer.cpp", 1);
  });
  EXPECT_EQ(answers.load(), 2);  // both outer calls returned the callback's 1
  EXPECT_EQ(g_nestedAnswers.load(), 2);
  // Four failures, two recursion messages of two lines each.
  EXPECT_EQ(gnutil_test::FileLines(path_).size(), 8u);
  CGNAssert::Free();
  CGNGlobalTrace::Free();
}

}  // namespace
