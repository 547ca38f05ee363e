// Windows specifics of the file functions: drive paths and the network
// enumeration, and a read-only file.
#include <gtest/gtest.h>
#include <windows.h>
#include <winnetwk.h>

#include <string>

#include "gnutil/osfile.h"
#include "support/temp_dir.h"

namespace {

// Wine connects no network drive, so a drive path comes back unchanged when
// the enumeration can be opened at all; Wine without a network provider
// refuses to open it, and then a drive path gives 0 as well.
TEST(FileWin32, UniversalNameOfUnconnectedDrives) {
  HANDLE enumeration = nullptr;
  DWORD opened = WNetOpenEnumA(RESOURCE_CONNECTED, RESOURCETYPE_DISK, 0, nullptr, &enumeration);
  bool listed = opened == NO_ERROR;
  if (listed) WNetCloseEnum(enumeration);
  const struct {
    const char* path;
    unsigned char result;
    const char* universal;
  } cases[] = {
      {"Z:\\data\\f.txt", 1, "Z:\\data\\f.txt"},
      {"ab\\c", 1, "ab\\c"},
      {"data\\f.txt", 0, "untouched"},
      {"\\\\server\\share\\f", 0, "untouched"},
      {"", 0, "untouched"},
  };
  for (const auto& c : cases) {
    CGNString result("untouched");
    CGNString path(c.path);
    bool handled = c.result == 1 && listed;
    EXPECT_EQ(OSGetUniversalName(result, path), handled ? 1 : 0) << c.path;
    EXPECT_STREQ(result, handled ? c.universal : "untouched") << c.path;
  }
}

TEST(FileWin32, ReadOnlyFileDeniesRemoval) {
  gnutil_test::TempDir dir;
  std::string path = dir / "locked";
  gnutil_test::WriteFile(path, "x");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(OSRemoveFile(CGNString(path.c_str())), -4);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(OSRemoveFile(CGNString(path.c_str())), 0);
}

}  // namespace
