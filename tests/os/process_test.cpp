// Child processes and environment references, on both platforms. The child
// is tests/support/child_program.cpp.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

#include "gnutil/osprocess.h"
#include "os/process_internal.h"

namespace {

const std::string kChild = std::string(GNUTIL_TEST_CHILD) + " ";

// The child's text (all of it, zero bytes too) with Windows line ends made plain.
std::string Plain(const CGNString& text) {
  std::string out(static_cast<const char*>(text), text.GetLength());
  out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
  return out;
}

std::string Burst(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i % 27 == 26 ? 0 : 'a' + i % 27);
  return data;
}

TEST(SyncProcess, CollectsOutputAndExitCode) {
  const struct {
    std::string line;
    long exit_code;
    std::string output;
  } cases[] = {
      {kChild + "hello 3", 3, "hello"},
      {kChild + "burst 1048576", 0, Burst(1 << 20)},
      {kChild + "args it's $HOME;|&`x` >out", 0, "[it's]\n[$HOME;|&`x`]\n[>out]\n"},
      {"gnutil-no-such-program-xyz arg", 1, ""},
      {"", 1, ""},
  };
  for (const auto& c : cases) {
    CGNString output("before:");
    EXPECT_EQ(OSRunSyncProcess(CGNString(c.line.c_str()), output), c.exit_code) << c.line;
    EXPECT_TRUE(Plain(output) == "before:" + c.output)
        << c.line << " gave " << Plain(output).size() << " bytes: " << Plain(output).substr(0, 80);
  }
}

// A child sleeping past the window gives one with its output so far; one
// that ends inside it gives its own exit code. Which of the two a call gave
// brackets the window without timing anything. The window is shortened for
// the suite; the real 15 seconds are tested once, in the slow label.
void ExpectWindowResult(const char* line, long code) {
  CGNString output;
  EXPECT_EQ(OSRunSyncProcess(CGNString((kChild + line).c_str()), output), code) << line;
  EXPECT_EQ(Plain(output), "partial") << line;
}

TEST(SyncProcess, AChildOutlivingTheWindowGivesOneWithItsOutputSoFar) {
  gnutil::SetSyncProcessWindowMsForTesting(1500);
  ExpectWindowResult("sleep 200 partial", 0);
  ExpectWindowResult("sleep 6000 partial", 1);
}

TEST(SlowProcess, DISABLED_ATwentySecondChildGivesOneAfterFifteenSeconds) {
  ExpectWindowResult("sleep 12000 partial", 0);
  ExpectWindowResult("sleep 20000 partial", 1);
}

// The system's text for a program that cannot start: posix/ and win32/.
TEST(AsyncProcess, StartsWithoutAnErrorText) {
  CGNString error("unchanged");
  EXPECT_EQ(OSRunAsyncProcess(CGNString((kChild + "hello 0").c_str()), error), 1);
  EXPECT_STREQ(error, "unchanged");
}

// Only set, non-empty variables are replaced; the text is never read twice.
TEST(ExpandVariables, ReplacesSetVariablesOnly) {
  const std::string long_name(300, 'N');
  auto lookup = [&](const std::string& name, std::string* value) {
    if (name == "HOME") return *value = "/h", true;
    if (name == "PCT") return *value = "50%", true;
    if (name == "EMPTY") return value->clear(), true;
    if (name == "X") return *value = "%X%", true;
    if (name == std::string(255, 'N')) return *value = "cut", true;
    return false;
  };
  const std::pair<std::string, std::string> cases[] = {
      {"%HOME%/a/%UNSET%/b", "/h/a/%UNSET%/b"},
      {"%PCT%%HOME%", "50%/h"},
      {"a%EMPTY%b", "a%EMPTY%b"},
      {"%X%%X%", "%X%%X%"},
      {"%" + long_name + "%", "cut"},
      {"%UNKNOWN%HOME%", "%UNKNOWN%HOME%"},  // the search goes on after the closing %
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gnutil::ExpandVariableReferences(c.first, lookup), c.second) << c.first;
  }
  // The process environment, with a value longer than the first buffer.
  static std::string assignment = "GNUTIL_T_LONG=" + std::string(300, 'v');
  putenv(&assignment[0]);  // putenv keeps the pointer
  EXPECT_EQ(
      std::string(OSExpandEnvironmentVariables(CGNString("x%GNUTIL_T_LONG%%GNUTIL_T_UNSET%"))),
      "x" + std::string(300, 'v') + "%GNUTIL_T_UNSET%");
}

}  // namespace
