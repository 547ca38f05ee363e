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

class Assertions : public ::testing::Test {
 protected:
  void SetUp() override {
    CGNString name(path_.c_str());
    CGNGlobalTrace* trace = CGNGlobalTrace::Instance();
    trace->DisableDateTime();
    ASSERT_EQ(trace->ResetOutput(1, name, 0), 1);
    trace->ResetMask(1);
  }
  void TearDown() override {
    CGNAssert::Free();
    CGNGlobalTrace::Free();
    CGNLclSt::Free();
  }
  std::vector<std::string> Lines() { return gnutil_test::FileLines(path_); }

  gnutil_test::TempDir dir_{"gnutil-assert"};
  std::string path_ = dir_.File("trace.log");
};

const std::string kFailure = "cgnassert : Assertion Failure !! : Line    12 in file.cpp";
const std::string kRecursive =
    "cgnassert : Recursive invocation of callback.\n      Switching to native assert. : Line    "
    "12 in file.cpp";

TEST_F(Assertions, NativeThenReportingModeWithoutCallback) {
  CGNAssert* a = CGNAssert::Instance();
  // Native mode answers 0 and writes nothing.
  EXPECT_EQ(a->cgnassert(1, "file.cpp", 12) + a->cgnassert(0, "file.cpp", 12), 0);
  EXPECT_TRUE(Lines().empty());
  a->SetNativeAssert(0);
  EXPECT_EQ(a->cgnassert(1, "file.cpp", 12), 1);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(a->cgnassert(0, "file.cpp", 12), 0);
  EXPECT_EQ(Lines(), std::vector<std::string>{kFailure});
  // A trace whose mask has no bit 1 but all of 0xFF01's others still shows
  // the message: it carries all of the trace's bits.
  CGNGlobalTrace::Instance()->ResetMask(static_cast<short>(0xFF00));
  EXPECT_EQ(a->cgnassert(0, "file.cpp", 12), 0);
  CGNGlobalTrace::Instance()->ResetMask(0x0002);
  EXPECT_EQ(a->cgnassert(0, "file.cpp", 12), 0);
  EXPECT_EQ(Lines(), (std::vector<std::string>{kFailure, kFailure}));
}

int g_calls = 0;
unsigned char g_inner = 9;
unsigned char Recursing(void* user) {
  ++g_calls;
  EXPECT_EQ(user, &g_calls);
  if (g_calls < 3) g_inner = CGNAssert::Instance()->cgnassert(0, "file.cpp", 12);
  return 1;
}

TEST_F(Assertions, CallbackThatAssertsIsNotCalledAgain) {
  ASSERT_EQ(CGNLclSt::Instance()->Init(8), 1);
  CGNAssert* a = CGNAssert::Instance();
  a->SetNativeAssert(0);
  EXPECT_EQ(a->Init(Recursing, &g_calls), 1);
  g_calls = 0;
  EXPECT_EQ(a->cgnassert(0, "file.cpp", 12), 1);  // the callback's answer
  EXPECT_EQ(g_calls, 1);
  EXPECT_EQ(g_inner, 0);
  EXPECT_EQ(CGNLclSt::Instance()->GetLocalVariable("recflag"), nullptr);
  // The inner call wrote both messages; the recursive one spans two lines.
  std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], kFailure);
  EXPECT_EQ(lines[1], kFailure);
  EXPECT_EQ(lines[2] + "\n" + lines[3], kRecursive);
  // The guard is gone: the next failure reaches the callback again.
  g_calls = 0;
  EXPECT_EQ(a->cgnassert(0, "file.cpp", 12), 1);
  EXPECT_EQ(g_calls, 1);
}

TEST_F(Assertions, WithoutVariableTableTheGuardDoesNotHold) {
  CGNAssert* a = CGNAssert::Instance();
  a->SetNativeAssert(0);
  a->Init(Recursing, &g_calls);
  g_calls = 0;
  EXPECT_EQ(a->cgnassert(0, "file.cpp", 12), 1);
  EXPECT_EQ(g_calls, 3);  // called from inside itself until it stopped asserting
  EXPECT_EQ(g_inner, 1);
  EXPECT_EQ(Lines().size(), 3u);
}

TEST_F(Assertions, FreeAndCopy) {
  CGNAssert* a = CGNAssert::Instance();
  EXPECT_EQ(CGNAssert::Instance(), a);
  a->SetNativeAssert(0);
  a->Init(Recursing, &g_calls);
  CGNAssert::Free();
  EXPECT_EQ(CGNAssert::m_pInstance, nullptr);
  CGNAssert::Free();
  CGNAssert* fresh = CGNAssert::Instance();
  EXPECT_EQ(fresh->cgnassert(0, "file.cpp", 12), 0);  // native again
  EXPECT_TRUE(Lines().empty());
  // Assignment copies mode, callback and argument.
  CGNAssert* model = CGNAssert::Instance();
  model->SetNativeAssert(0);
  *model = *model;
  EXPECT_EQ(model->cgnassert(1, "file.cpp", 12), 1);
}

}  // namespace
