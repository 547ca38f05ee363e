// System information on both platforms: build versions of files without one,
// and keep-awake's owner rules, request count and the worker's renewals,
// watched through a recorder that stands in for the system's function (the
// real function is tested per platform).
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "gnutil/ossysinfo.h"
#include "os/sysinfo_internal.h"

namespace {

TEST(BuildVersion, FilesWithoutVersionInformationGiveVersionZero) {
  for (const char* file : {"no-such-module-file.dll", static_cast<const char*>(nullptr)}) {
    COSBuildVersion v(file);
    EXPECT_STREQ(v.GetVersionString(), "Version 0.00.00");
    EXPECT_EQ(v.Init(), 0);
    EXPECT_EQ(v.GetVersionMajorNumber() + v.GetVersionMinorNumber() +
                  v.GetVersionMaintenanceNumber() + v.GetVersionPatchNumber() +
                  v.GetVersionBuildNumber(),
              0);
    COSBuildVersion copy(v);
    copy = v;
    EXPECT_STREQ(copy.GetVersionString(), "Version 0.00.00");
  }
}

struct Call {
  unsigned long flags;
  std::thread::id thread;
};

std::mutex g_calls_mutex;
std::vector<Call> g_calls;
int g_loads = 0, g_releases = 0, g_library_token = 0;
bool g_load_fails = false;

bool FakeLoad(void** library, gnutil::platform::ExecutionStateFunction* function) {
  ++g_loads;
  if (g_load_fails) return false;
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

std::vector<unsigned long> CallFlags() {
  std::vector<unsigned long> flags;
  for (const Call& c : Calls()) flags.push_back(c.flags);
  return flags;
}

constexpr unsigned long kAwake = 0x80000001UL;
using Flags = std::vector<unsigned long>;

class KeepAwake : public ::testing::Test {
 protected:
  void SetUp() override { gnutil::testing::SetKeepAwakeLoader(FakeLoad, FakeRelease); }
};

TEST_F(KeepAwake, RequestsCountUpAndDownAndOnlyTheLastReleasesTheSystem) {
  {
    OSKeepAwake owner(0);  // disabled: sets up, holds no request
    EXPECT_EQ(g_loads, 1);
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
    EXPECT_TRUE(Calls().empty());
    OSKeepAwake second;  // default: enabled, not the owner
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 1);
    EXPECT_EQ(Calls()[0].thread, std::this_thread::get_id());
    auto* a = new OSKeepAwake(1);
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 2);
    delete a;
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 1);
    EXPECT_EQ(CallFlags(), (Flags{kAwake, kAwake}));
    EXPECT_EQ(g_loads, 1);
  }
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
  EXPECT_EQ(CallFlags(), (Flags{kAwake, kAwake, 0}));
  EXPECT_EQ(g_releases, 1);
}

TEST_F(KeepAwake, WorkerRenewsEveryTwoSecondsAndReleasesWhenRequestsEnd) {
  OSKeepAwake owner(0);
  const auto start = std::chrono::steady_clock::now();
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
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(KeepAwake, OwnerStopsTheWorkerAtOnceEvenWithRequestsOutstanding) {
  auto* owner = new OSKeepAwake(1);
  OSKeepAwake other;
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 2);
  const auto start = std::chrono::steady_clock::now();
  delete owner;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 1);
  EXPECT_EQ(g_releases, 1);
  // Later objects find the set-up made: no new load, no worker; they only
  // count and call the function directly.
  {
    OSKeepAwake later;
    EXPECT_EQ(g_loads, 1);
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 2);
  }
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 1);
}

TEST_F(KeepAwake, FailedLoadSetsUpNothingAndTheNextObjectTriesAgain) {
  g_load_fails = true;
  {
    OSKeepAwake a;
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
    OSKeepAwake b;
    EXPECT_EQ(g_loads, 2);
  }
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(g_releases, 0);
  g_load_fails = false;
  OSKeepAwake c;
  EXPECT_EQ(g_loads, 3);
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 1);
}

TEST_F(KeepAwake, CopiesNeverDriveTheCountBelowZero) {
  OSKeepAwake owner(0);
  {
    OSKeepAwake a;
    OSKeepAwake b(0);
    b = a;  // b now releases a request it never made
  }
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
  OSKeepAwake c;
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 1);
}

}  // namespace
