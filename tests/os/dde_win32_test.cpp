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
#include "support/win32/under_wine.h"

namespace {

using gnutil_test::LibraryText;
using gnutil_test::RunsUnderWine;

const char kTopic[] = "Records";

std::string ServerProgram() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of('\\') + 1) + "gnutil_dde_server.exe";
}

class DdeClient : public ::testing::Test {
 protected:
  void SetUp() override {
    // The DDE tests are for the English and the Japanese user.
    const UINT acp = GetACP();
    if (acp != 1252 && acp != 932) GTEST_SKIP() << "runs as the English and Japanese users";
    ASSERT_TRUE(gnutil_test::AttachLibraryTexts());
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    service_ =
        std::string("GnutilTest_") + info->name() + "_" + std::to_string(GetCurrentProcessId());
    program_ = "\"" + ServerProgram() + "\" " + service_ + " " + kTopic;
    CGNString none;
    long instance = -1;
    ASSERT_EQ(1, OSDDEInit(APPCMD_CLIENTONLY, nullptr, none, &instance));
    EXPECT_NE(0, instance);
  }

  void TearDown() override {
    if (started_) {
      CGNString result;
      Send("", OSDDE_EXECUTE, "quit", &result);
    }
    EXPECT_EQ(1, OSDDEUnInit());
  }

  // One transaction on the test's service; starts the server when needed.
  unsigned char Send(const char* item, unsigned long type, const char* data, CGNString* result,
                     const std::string& service = std::string(), unsigned long wait = 20) {
    const unsigned char done = OSDDESend(
        CGNString(service.empty() ? service_.c_str() : service.c_str()), CGNString(kTopic),
        CGNString(item), type, CGNString(program_.c_str()), CGNString(data), wait, 5, *result);
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

TEST(DdeClientState, SendBeforeInitFailsAndLeavesTheResult) {
  CGNString result("untouched");
  EXPECT_EQ(0, OSDDESend(CGNString("S"), CGNString("T"), CGNString("I"), OSDDE_REQUEST,
                         CGNString(""), CGNString(""), 0, 1, result));
  EXPECT_STREQ("untouched", result);
  EXPECT_EQ(1, OSDDESupported());
  EXPECT_EQ(1, OSDDEUnInit());
  EXPECT_EQ(1, OSDDEUnInit());
}

TEST_F(DdeClient, UnknownTransactionTypesFailWithTheirText) {
  for (unsigned long type : {0UL, 4UL}) {
    CGNString result("old");
    EXPECT_EQ(0, Send("value", type, "", &result));
    EXPECT_EQ(LibraryText(25221), static_cast<const char*>(result));
  }
}

// The first call starts the server; then conversations back to back, the
// last (for the Japanese user) in Shift-JIS with second bytes equal to '\\'
// and '|'.
TEST_F(DdeClient, StartsTheServerThenRequestsExecutesAndPokes) {
  EXPECT_EQ("42", Request("value"));
  EXPECT_EQ("", Request("empty"));
  // A reply of no bytes at all is an empty text on Windows; Wine 8's DDEML
  // loses it and the server's answer arrives as "not processed".
  CGNString zero;
  if (RunsUnderWine()) {
    EXPECT_EQ(0, Send("zero", OSDDE_REQUEST, "", &zero));
    EXPECT_EQ(0u, std::string(static_cast<const char*>(zero))
                      .find("The DDE transaction failed (error 0x4009). Transaction: REQUEST"));
  } else {
    EXPECT_EQ("", Request("zero"));
  }
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
}

TEST_F(DdeClient, RefusedItemsFailWithTheTransactionText) {
  ASSERT_EQ("42", Request("value"));
  for (const std::string item : {"nosuch", ""}) {
    CGNString result;
    EXPECT_EQ(0, Send(item.c_str(), OSDDE_REQUEST, "", &result)) << item;
    const std::string text = static_cast<const char*>(result);
    EXPECT_EQ(0u, text.find("The DDE transaction failed (error 0x")) << text;
    EXPECT_NE(std::string::npos,
              text.find("Transaction: REQUEST, service: " + service_ + ", topic: Records, item: " +
                        (item.empty() ? "(empty)" : item) + ", data: (empty)."))
        << text;
  }
  // A refused poke fails on Windows; Wine 8's DDEML reports it as done.
  CGNString result;
  if (RunsUnderWine()) {
    EXPECT_EQ(1, Send("nosuch", OSDDE_POKE, "1", &result));
  } else {
    EXPECT_EQ(0, Send("nosuch", OSDDE_POKE, "1", &result));
    const std::string tail =
        "Transaction: POKE, service: " + service_ + ", topic: Records, item: nosuch, data: 1.";
    EXPECT_NE(std::string::npos, std::string(static_cast<const char*>(result)).find(tail));
  }
  EXPECT_EQ("42", Request("value"));  // the server took none of it
}

// No program to start fails at once; a program that starts but never offers
// the service is waited for as long as the start-up wait says.
TEST_F(DdeClient, UnreachableServersFailWithTheConversationText) {
  const struct {
    std::string program;
    unsigned long wait;
    DWORD least, most;
  } cases[] = {
      {"", 30, 0, 3000},
      {"Z:\\nonexistent\\nothing.exe", 5, 0, 8000},
      {std::string(GNUTIL_TEST_CHILD) + " sleep 4000 silent", 2, 2000, 8000},
  };
  for (const auto& c : cases) {
    program_ = c.program;
    CGNString result;
    const DWORD start = GetTickCount();
    EXPECT_EQ(0, Send("value", OSDDE_REQUEST, "", &result, std::string(), c.wait));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, c.least) << c.program;
    EXPECT_LT(elapsed, c.most) << c.program;
    EXPECT_EQ("No DDE conversation could be established (error 0x400A). Service: " + service_ +
                  ", topic: Records, item: value, data: (empty), server program: " + c.program +
                  ".",
              static_cast<const char*>(result));
  }
}

// A client that is its own server: OSDDEInit registers the service name
// and the caller's callback answers through the same instance.
long g_ownInstance = 0;

HDDEDATA CALLBACK AnswerOwnRequests(UINT type, UINT, HCONV, HSZ, HSZ item, HDDEDATA, ULONG_PTR,
                                    ULONG_PTR) {
  static char kAnswer[] = "own answer";
  if (type == XTYP_CONNECT) return reinterpret_cast<HDDEDATA>(TRUE);
  if (type != XTYP_REQUEST) return nullptr;
  return DdeCreateDataHandle(static_cast<DWORD>(g_ownInstance), reinterpret_cast<LPBYTE>(kAnswer),
                             sizeof kAnswer, 0, item, CF_TEXT, 0);
}

TEST(DdeClientState, InitRegistersTheServiceName) {
  const std::string service = "GnutilOwn_" + std::to_string(GetCurrentProcessId());
  CGNString name(service.c_str());
  ASSERT_EQ(1, OSDDEInit(APPCLASS_STANDARD, reinterpret_cast<void*>(AnswerOwnRequests), name,
                         &g_ownInstance));
  CGNString result;
  EXPECT_EQ(1, OSDDESend(name, CGNString("any"), CGNString("item"), OSDDE_REQUEST, CGNString(""),
                         CGNString(""), 0, 5, result))
      << static_cast<const char*>(result);
  EXPECT_STREQ("own answer", result);
  EXPECT_EQ(1, OSDDEUnInit());
  EXPECT_EQ(0, OSDDESend(name, CGNString("any"), CGNString("item"), OSDDE_REQUEST, CGNString(""),
                         CGNString(""), 0, 5, result));
}

}  // namespace
