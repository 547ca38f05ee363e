// Child processes and environment references, on both platforms. The child
// is tests/support/child_program.cpp.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <string>

#include "gnutil/osprocess.h"
#include "os/process_internal.h"

namespace {

const std::string kChild = GNUTIL_TEST_CHILD;

// The child's text with Windows line ends made plain.
std::string Plain(const CGNString& text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p != '\r') out += *p;
  }
  return out;
}

void SetVariable(const char* name, const char* value) {
  std::string assignment = std::string(name) + "=" + value;
  // putenv keeps the pointer: the text must live as long as the process.
  putenv(strdup(assignment.c_str()));
}

TEST(SyncProcess, CollectsOutputAndExitCode) {
  struct Case {
    std::string arguments;
    long exit_code;
    std::string output;
  };
  const Case cases[] = {
      {"hello 3", 3, "hello"},
      {"hello 0", 0, "hello"},
      {"sleep 200 late", 0, "late"},
      {"stdin", 0, "eof"},
      {"args one \"two words\" three", 0, "[one]\n[two words]\n[three]\n"},
      {"args a\\\\b \"c\\\"d\" \"e f\\\\\"", 0, "[a\\\\b]\n[c\"d]\n[e f\\]\n"},
      {"args it's $HOME;|&`x` >out", 0, "[it's]\n[$HOME;|&`x`]\n[>out]\n"},
  };
  for (const Case& c : cases) {
    CGNString output("before:");
    EXPECT_EQ(OSRunSyncProcess(CGNString((kChild + " " + c.arguments).c_str()), output),
              c.exit_code)
        << c.arguments;
    EXPECT_EQ(Plain(output), "before:" + c.output) << c.arguments;
  }
}

TEST(SyncProcess, AMegabyteBurstIsCollectedWhole) {
  CGNString output;
  const long size = 1 << 20;
  ASSERT_EQ(
      OSRunSyncProcess(CGNString((kChild + " burst " + std::to_string(size)).c_str()), output), 0);
  ASSERT_EQ(output.GetLength(), static_cast<unsigned>(size));
  const char* text = output;
  for (long i = 0; i < size; i += 4093) {
    ASSERT_EQ(text[i], static_cast<char>('a' + i % 26)) << "at " << i;
  }
  EXPECT_EQ(text[size - 1], static_cast<char>('a' + (size - 1) % 26));
}

TEST(SyncProcess, ZeroBytesInTheOutputAreKept) {
  CGNString output;
  ASSERT_EQ(OSRunSyncProcess(CGNString((kChild + " zero").c_str()), output), 0);
  ASSERT_EQ(output.GetLength(), 3u);
  EXPECT_EQ(std::string(static_cast<const char*>(output), 3), std::string("a\0b", 3));
}

TEST(SyncProcess, MissingProgramGivesOne) {
  CGNString output("kept");
  EXPECT_EQ(OSRunSyncProcess(CGNString("gnutil-no-such-program-xyz arg"), output), 1);
  EXPECT_EQ(OSRunSyncProcess(CGNString(""), output), 1);
  EXPECT_STREQ(output, "kept");
}

// The window is shortened for the suite; the real 15 seconds are tested once,
// in the slow label.
TEST(SyncProcess, AChildOutlivingTheWindowGivesOneWithItsOutputSoFar) {
  gnutil::SetSyncProcessWindowMsForTesting(1500);
  CGNString output;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(OSRunSyncProcess(CGNString((kChild + " sleep 6000 partial").c_str()), output), 1);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(Plain(output), "partial");
  EXPECT_GE(elapsed, std::chrono::milliseconds(1450));
  EXPECT_LT(elapsed, std::chrono::milliseconds(5000));
}

TEST(SlowProcess, DISABLED_ATwentySecondChildGivesOneAfterFifteenSeconds) {
  CGNString output;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(OSRunSyncProcess(CGNString((kChild + " sleep 20000 partial").c_str()), output), 1);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(Plain(output), "partial");
  EXPECT_GE(elapsed, std::chrono::milliseconds(14900));
  EXPECT_LT(elapsed, std::chrono::milliseconds(19000));
}

TEST(AsyncProcess, StartsOrSaysWhyNot) {
  CGNString error("unchanged");
  EXPECT_EQ(OSRunAsyncProcess(CGNString((kChild + " hello 0").c_str()), error), 1);
  EXPECT_STREQ(error, "unchanged");
  EXPECT_EQ(OSRunAsyncProcess(CGNString("gnutil-no-such-program-xyz"), error), 0);
  EXPECT_FALSE(error.IsEmpty());
  EXPECT_STRNE(error, "unchanged");
}

TEST(ExpandVariables, ReplacesSetVariablesOnly) {
  SetVariable("GNUTIL_T_HOME", "/h");
  SetVariable("GNUTIL_T_PCT", "50%");
  SetVariable("GNUTIL_T_LONG", std::string(300, 'v').c_str());
  struct Case {
    const char* text;
    std::string expected;
  };
  const Case cases[] = {
      {"%GNUTIL_T_HOME%/a/%GNUTIL_T_UNSET%/b", "/h/a/%GNUTIL_T_UNSET%/b"},
      {"100%", "100%"},
      {"%", "%"},
      {"%%", "%%"},
      {"%GNUTIL_T_PCT%%GNUTIL_T_HOME%", "50%/h"},
      {"x%GNUTIL_T_LONG%y", "x" + std::string(300, 'v') + "y"},
      {"%GNUTIL_T_HOME", "%GNUTIL_T_HOME"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::string(OSExpandEnvironmentVariables(CGNString(c.text))), c.expected) << c.text;
  }
}

TEST(ExpandVariables, EmptyValuesAndLongNamesStay) {
  const std::string long_name(300, 'N');
  auto lookup = [&](const std::string& name, std::string* value) {
    if (name == "EMPTY") return value->clear(), true;
    if (name == "X") return *value = "%X%", true;
    if (name == std::string(255, 'N')) return *value = "cut", true;
    return false;
  };
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"a%EMPTY%b", "a%EMPTY%b"},
      {"%X%%X%", "%X%%X%"},
      {"%" + long_name + "%", "cut"},
      {"%UNKNOWN%X%", "%UNKNOWN%X%"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(gnutil::ExpandVariableReferences(c.text, lookup), c.expected) << c.text;
  }
}

}  // namespace
