// System information on both platforms: file versions, and keep-awake's owner
// rules, request count and the worker's renewals, watched through a recorder
// that stands in for the system's function.
#include <gtest/gtest.h>
#include <stdio.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "gnutil/ossysinfo.h"
#include "os/sysinfo_internal.h"
#include "platform/resource.h"
#include "support/test_locale.h"

namespace {

// The probe module is built with file version 1281.3.2.9: the first number
// splits into two bytes, 5 and 1. This program has no version information.
TEST(BuildVersion, ReadFromTheFilesVersionInformation) {
  char library[32];
  snprintf(library, sizeof library, "Version %d.%02d.%02d", GNUTIL_VERSION_MAJOR,
           GNUTIL_VERSION_MINOR, GNUTIL_VERSION_PATCH);
  const std::string self = gnutil::platform::ModuleFileName(0);
  const struct {
    const char* file;
    int init;
    const char* text;
  } cases[] = {{GNUTIL_VERSION_PROBE, 1, "Version 5.01.03"},
               {GNUTIL_SHARED_LIBRARY, 1, library},
               {self.c_str(), 0, "Version 0.00.00"},
               {"no-such-module-file.dll", 0, "Version 0.00.00"},
               {nullptr, 0, "Version 0.00.00"}};
  for (const auto& c : cases) {
    COSBuildVersion v(c.file);
    EXPECT_STREQ(v.GetVersionString(), "Version 0.00.00");  // nothing read yet
    EXPECT_EQ(v.Init(), c.init) << (c.file ? c.file : "(null)");
    EXPECT_STREQ(v.GetVersionString(), c.text);
  }
  COSBuildVersion v(GNUTIL_VERSION_PROBE);
  ASSERT_EQ(v.Init(), 1);
  EXPECT_EQ(v.GetVersionMajorNumber() * 10000 + v.GetVersionMinorNumber() * 1000 +
                v.GetVersionMaintenanceNumber() * 100 + v.GetVersionPatchNumber() * 10 +
                v.GetVersionBuildNumber(),
            51329);
}

// The system's own function: Windows has one to call; Linux has none, so no
// object sets anything up or counts a request.
TEST(KeepAwakeForReal, RequestsCountWhereTheSystemHasTheFunction) {
  const long held = gnutil_test::kWindows ? 1 : 0;
  {
    OSKeepAwake owner(0), a, b;
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 2 * held);
  }
  OSKeepAwake later;  // the set-up stays made; the function is still called
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), held);
}

struct Call {
  unsigned long flags;
  std::thread::id thread;
};

std::mutex g_calls_mutex;
std::vector<Call> g_calls;
int g_loads = 0, g_releases = 0, g_library_token = 0;

bool FakeLoad(void** library, gnutil::platform::ExecutionStateFunction* function) {
  ++g_loads;
  *library = &g_library_token;
  *function = [](unsigned long flags) {
    std::lock_guard<std::mutex> lock(g_calls_mutex);
    g_calls.push_back({flags, std::this_thread::get_id()});
  };
  return true;
}

void FakeRelease(void* library) {
  EXPECT_EQ(library, &g_library_token);
  ++g_releases;
}

std::vector<Call> Calls() {
  std::lock_guard<std::mutex> lock(g_calls_mutex);
  return g_calls;
}

constexpr unsigned long kAwake = 0x80000001UL;

class KeepAwake : public ::testing::Test {
 protected:
  void SetUp() override { gnutil::testing::SetKeepAwakeLoader(FakeLoad, FakeRelease); }
};

// Requests count up and down, and only the last one releases the system;
// the owner stops the worker at once even with requests outstanding, and
// later objects find the set-up made: no new load, they only count.
TEST_F(KeepAwake, RequestsCountAndTheOwnerReleasesTheSystem) {
  auto* owner = new OSKeepAwake(0);  // disabled: sets up, holds no request
  EXPECT_TRUE(Calls().empty());
  {
    OSKeepAwake a, b;
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 2);
  }
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
  std::vector<Call> calls = Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].flags, kAwake);
  EXPECT_EQ(calls[1].flags, kAwake);
  EXPECT_EQ(calls[2].flags, 0u);
  EXPECT_EQ(calls[0].thread, std::this_thread::get_id());
  OSKeepAwake other;
  const auto start = std::chrono::steady_clock::now();
  delete owner;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(g_releases, 1);
  OSKeepAwake later;
  EXPECT_EQ(g_loads, 1);
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 2);
}

TEST_F(KeepAwake, WorkerRenewsEveryTwoSecondsAndReleasesWhenRequestsEnd) {
  OSKeepAwake owner(0);
  {
    OSKeepAwake request;
    std::this_thread::sleep_for(std::chrono::milliseconds(2400));
    std::vector<Call> calls = Calls();
    ASSERT_EQ(calls.size(), 2u);  // ours, then the worker's first renewal
    EXPECT_EQ(calls[1].flags, kAwake);
    EXPECT_NE(calls[1].thread, std::this_thread::get_id());
  }
  // The request ended on this thread; the worker notices at its next round
  // and withdraws its own.
  std::this_thread::sleep_for(std::chrono::milliseconds(2000));
  std::vector<Call> calls = Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[2].flags + calls[3].flags, 0u);
  EXPECT_EQ(calls[2].thread, std::this_thread::get_id());
  EXPECT_NE(calls[3].thread, std::this_thread::get_id());
}

}  // namespace
