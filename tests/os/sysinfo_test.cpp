// System information on both platforms: file versions, and keep-awake's owner
// rules and request count, watched through a recorder that stands in for the
// system's function.
#include <gtest/gtest.h>
#include <stdio.h>

#include <mutex>
#include <vector>

#include "gnutil/ossysinfo.h"
#include "os/sysinfo_internal.h"
#include "platform/resource.h"

namespace {

// The probe module is built with file version 1281.3.2.9: the first number
// splits into two bytes, 5 and 1; the text shows three of the five numbers.
// This program has no version information.
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
  EXPECT_EQ(v.GetVersionPatchNumber(), 2);
  EXPECT_EQ(v.GetVersionBuildNumber(), 9);
}

std::mutex g_calls_mutex;
std::vector<unsigned long> g_calls;  // the flags of each call to the system
int g_loads = 0, g_releases = 0, g_library_token = 0;

bool FakeLoad(void** library, gnutil::platform::ExecutionStateFunction* function) {
  ++g_loads;
  *library = &g_library_token;
  *function = [](unsigned long flags) {
    std::lock_guard<std::mutex> lock(g_calls_mutex);
    g_calls.push_back(flags);
  };
  return true;
}

void FakeRelease(void* library) {
  EXPECT_EQ(library, &g_library_token);
  ++g_releases;
}

// Requests count up and down, and only the last one releases the system;
// the owner stops the worker even with requests outstanding, and later
// objects find the set-up made: no new load, they only count.
TEST(KeepAwake, RequestsCountAndTheOwnerReleasesTheSystem) {
  gnutil::testing::SetKeepAwakeLoader(FakeLoad, FakeRelease);
  auto* owner = new OSKeepAwake(0);  // disabled: sets up, holds no request
  {
    OSKeepAwake a, b;
    EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 2);
  }
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 0);
  {
    std::lock_guard<std::mutex> lock(g_calls_mutex);
    EXPECT_EQ(g_calls, (std::vector<unsigned long>{0x80000001UL, 0x80000001UL, 0}));
  }
  OSKeepAwake other;
  delete owner;
  EXPECT_EQ(g_releases, 1);
  OSKeepAwake later;
  EXPECT_EQ(g_loads, 1);
  EXPECT_EQ(gnutil::KeepAwakeRequestCount(), 2);
}

}  // namespace
