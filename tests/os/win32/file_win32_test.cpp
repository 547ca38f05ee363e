// Windows specifics of the file functions: drive paths and the network
// enumeration, and a read-only file.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "gnutil/osfile.h"
#include "support/temp_dir.h"

namespace {

// Wine connects no network drive, so every drive path comes back unchanged;
// what counts is that the enumeration runs and the drive rule holds.
TEST(FileWin32, UniversalNameOfUnconnectedDrives) {
  struct Case {
    const char* path;
    unsigned char result;
    const char* universal;
  };
  const Case cases[] = {
      {"Z:\\data\\f.txt", 1, "Z:\\data\\f.txt"},
      {"z:\\data\\f.txt", 1, "z:\\data\\f.txt"},
      {"Q:", 1, "Q:"},
      {"ab\\c", 1, "ab\\c"},
      {"data\\f.txt", 0, "untouched"},
      {"\\\\server\\share\\f", 0, "untouched"},
      {"1:\\f", 0, "untouched"},
      {"", 0, "untouched"},
  };
  for (const Case& c : cases) {
    CGNString result("untouched");
    CGNString path(c.path);
    EXPECT_EQ(OSGetUniversalName(result, path), c.result) << c.path;
    EXPECT_STREQ(result, c.universal) << c.path;
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

TEST(FileWin32, TempDirIsTheSystemsOwn) {
  char expected[512];
  DWORD length = GetTempPathA(sizeof expected, expected);
  ASSERT_GT(length, 0u);
  CGNString temp;
  EXPECT_EQ(OSGetTempDir(temp), 1);
  EXPECT_STREQ(temp, expected);
}

}  // namespace
