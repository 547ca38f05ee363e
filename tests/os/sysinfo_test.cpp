// System information on both platforms: file versions.
#include <gtest/gtest.h>
#include <stdio.h>

#include "gnutil/ossysinfo.h"
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
    EXPECT_EQ(v.Init(), c.init) << (c.file ? c.file : "(null)");
    EXPECT_STREQ(v.GetVersionString(), c.text);
  }
  COSBuildVersion v(GNUTIL_VERSION_PROBE);
  ASSERT_EQ(v.Init(), 1);
  EXPECT_EQ(v.GetVersionPatchNumber(), 2);
  EXPECT_EQ(v.GetVersionBuildNumber(), 9);
}

}  // namespace
