// The DDE client against a real DDEML server of our own (win32/dde_server.cpp),
// which the client starts itself: every test begins with the server not
// running. Each test offers its own service name, so tests running at the
// same time never talk to each other's server, and ends it with "quit".
#include <gtest/gtest.h>
#include <windows.h>
// ddeml.h needs the types of windows.h first.
#include <ddeml.h>

#include <string>
#include <vector>

#include "gnutil/osdde.h"
#include "support/library_texts.h"

namespace {

using gnutil_test::LibraryText;

const char kTopic[] = "Records";

class DdeClient : public ::testing::Test {
 protected:
  void SetUp() override {
    const UINT acp = GetACP();
    if (acp != 1252 && acp != 932) GTEST_SKIP() << "runs as the English and Japanese users";
    ASSERT_TRUE(gnutil_test::AttachLibraryTexts());
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    service_ =
        std::string("GnutilTest_") + info->name() + "_" + std::to_string(GetCurrentProcessId());
    // WinExec looks in the test program's directory first.
    program_ = "gnutil_dde_server.exe " + service_ + " " + kTopic;
    CGNString none;
    long instance = -1;
    ASSERT_EQ(1, OSDDEInit(APPCMD_CLIENTONLY, nullptr, none, &instance));
    EXPECT_NE(0, instance);
  }

  void TearDown() override {
    CGNString result;
    if (started_) Send("", OSDDE_EXECUTE, "quit", &result);
    EXPECT_EQ(1, OSDDEUnInit());
  }

  // One transaction on the test's service; starts the server when needed.
  unsigned char Send(const char* item, unsigned long type, const char* data, CGNString* result) {
    const unsigned char done =
        OSDDESend(CGNString(service_.c_str()), CGNString(kTopic), CGNString(item), type,
                  CGNString(program_.c_str()), CGNString(data), 20, 5, *result);
    if (done) started_ = true;
    return done;
  }

  std::string Request(const char* item) {
    CGNString result;
    EXPECT_EQ(1, Send(item, OSDDE_REQUEST, "", &result)) << static_cast<const char*>(result);
    return static_cast<const char*>(result);
  }

  std::string service_;
  std::string program_;
  bool started_ = false;
};

// The first call starts the server; then conversations back to back, the
// last (for the Japanese user) in Shift-JIS with second bytes equal to '\\'
// and '|'. Types other than execute, poke and request are refused before any
// conversation, items the server does not know by the server.
TEST_F(DdeClient, StartsTheServerThenRequestsExecutesAndPokes) {
  for (unsigned long type : {0UL, 4UL}) {
    CGNString result("old");
    EXPECT_EQ(0, Send("value", type, "", &result));
    EXPECT_EQ(LibraryText(25221), static_cast<const char*>(result));
  }
  EXPECT_EQ("42", Request("value"));
  EXPECT_EQ("", Request("empty"));
  std::vector<std::string> texts = {"[open(\"a b\")]", "round 2"};
  if (GetACP() == 932) texts.push_back("\x93\xfa\x96\x7b\x8c\xea\x81\x46\x95\x5c\x83\x7c\x83\x5c");
  for (const std::string& data : texts) {
    CGNString result;
    ASSERT_EQ(1, Send("value", OSDDE_POKE, data.c_str(), &result))
        << data << ": " << static_cast<const char*>(result);
    EXPECT_STREQ("", result);
    ASSERT_EQ(data, Request("value"));
    ASSERT_EQ("POKE value=" + data, Request("last"));
    ASSERT_EQ(1, Send("", OSDDE_EXECUTE, data.c_str(), &result)) << data;
    ASSERT_EQ("EXECUTE " + data, Request("last")) << data;
  }
  // The server refuses an item it does not know.
  CGNString result;
  EXPECT_EQ(0, Send("", OSDDE_REQUEST, "", &result));
  const std::string text = static_cast<const char*>(result);
  EXPECT_EQ(0u, text.find("The DDE transaction failed (error 0x")) << text;
  EXPECT_NE(std::string::npos, text.find("). Transaction: REQUEST, service: " + service_ +
                                         ", topic: Records, item: (empty), data: (empty)."))
      << text;
}

// Without a program to start, the request fails with the conversation's text.
TEST_F(DdeClient, UnreachableServerFailsWithTheConversationText) {
  program_ = "";
  CGNString result;
  EXPECT_EQ(0, Send("value", OSDDE_REQUEST, "", &result));
  EXPECT_EQ("No DDE conversation could be established (error 0x400A). Service: " + service_ +
                ", topic: Records, item: value, data: (empty), server program: .",
            static_cast<const char*>(result));
}

}  // namespace
