// Assertions in one thread: modes, messages, the callback's recursion guard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gnutil/gnassert.h"
#include "gnutil/gntrace.h"
#include "gnutil/lclst.h"
#include "support/temp_dir.h"
#include "support/trace_file.h"

namespace {

using Lines = std::vector<std::string>;

class Assertions : public ::testing::Test {
 protected:
  void SetUp() override {
    CGNString name(path_.c_str());
    CGNGlobalTrace* trace = CGNGlobalTrace::Instance();
    trace->DisableDateTime();
    ASSERT_EQ(trace->ResetOutput(1, name, 0), 1);
    trace->ResetMask(1);
    a_->SetNativeAssert(0);
  }
  void TearDown() override {
    CGNAssert::Free();
    CGNGlobalTrace::Free();  // closes the file before its directory goes
  }
  Lines FileLines() { return gnutil_test::FileLines(path_); }

  gnutil_test::TempDir dir_{"gnutil-assert"};
  std::string path_ = dir_.File("trace.log");
  CGNAssert* a_ = CGNAssert::Instance();
};

const std::string kFailure = "cgnassert : Assertion Failure !! : Line    12 in file.cpp";

int g_calls = 0;
unsigned char g_inner = 9;
unsigned char Recursing(void* user) {
  ++g_calls;
  EXPECT_EQ(user, &g_calls);
  if (g_calls < 3) g_inner = CGNAssert::Instance()->cgnassert(0, "file.cpp", 12);
  return 1;
}

TEST_F(Assertions, ModesAndTheMessageCategory) {
  EXPECT_EQ(a_->cgnassert(1, "file.cpp", 12), 1);
  EXPECT_EQ(a_->cgnassert(0, "file.cpp", 12), 0);  // no callback
  // The message reaches a trace without bit 1 that asks for all of 0xFF00,
  // and no trace that asks for bit 2 alone.
  CGNGlobalTrace::Instance()->ResetMask(static_cast<short>(0xFF00));
  EXPECT_EQ(a_->cgnassert(0, "file.cpp", 12), 0);
  CGNGlobalTrace::Instance()->ResetMask(0x0002);
  EXPECT_EQ(a_->cgnassert(0, "file.cpp", 12), 0);
  EXPECT_EQ(FileLines(), (Lines{kFailure, kFailure}));
  // Native mode, that of a fresh instance, answers 0 and writes nothing.
  a_->Init(Recursing, &g_calls);
  CGNAssert::Free();
  CGNAssert::Free();
  EXPECT_EQ(CGNAssert::Instance()->cgnassert(1, "file.cpp", 12), 0);
  EXPECT_EQ(CGNAssert::Instance()->cgnassert(0, "file.cpp", 12), 0);
  EXPECT_EQ(FileLines().size(), 2u);
}

TEST_F(Assertions, CallbackThatAssertsIsNotCalledAgain) {
  ASSERT_EQ(CGNLclSt::Instance()->Init(8), 1);
  EXPECT_EQ(a_->Init(Recursing, &g_calls), 1);
  g_calls = 0;
  EXPECT_EQ(a_->cgnassert(0, "file.cpp", 12), 1);  // the callback's answer
  EXPECT_EQ(g_calls, 1);
  EXPECT_EQ(g_inner, 0);
  // The inner call wrote both messages; the recursive one spans two lines.
  EXPECT_EQ(FileLines(), (Lines{kFailure, kFailure, "cgnassert : Recursive invocation of callback.",
                                "      Switching to native assert. : Line    12 in file.cpp"}));
  g_calls = 0;
  EXPECT_EQ(a_->cgnassert(0, "file.cpp", 12), 1);
  EXPECT_EQ(g_calls, 1);  // the guard is gone: the callback runs again
}

}  // namespace
