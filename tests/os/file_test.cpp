// Files and directories, on both platforms.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "gnutil/osfile.h"
#include "support/temp_dir.h"

namespace {

using gnutil_test::Exists;
using gnutil_test::TempDir;
using gnutil_test::WriteFile;
namespace fs = std::filesystem;

TEST(FileContents, ReadsWholeFilesAndTheirLineEnds) {
  struct Case {
    std::string bytes;
    int binary_result;
    int text_result;
    std::string text;
  };
  const Case cases[] = {
      {"", 0, 0, ""},
      {"a\r\nb", 4, 1, "a\nb"},
      {"one\r\ntwo\r\n", 10, 1, "one\ntwo\n"},
      {"lone\rcr\n", 8, 1, "lone\rcr\n"},
      {std::string("a\0b", 3), 3, 1, "a"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    std::string path = dir / "f.txt";
    WriteFile(path, c.bytes);
    char* buffer = nullptr;
    ASSERT_EQ(OSGetBinaryFileContents(buffer, path.c_str()), c.binary_result) << c.text;
    if (c.binary_result > 0) {
      EXPECT_EQ(std::string(buffer, c.bytes.size()), c.bytes);
      EXPECT_EQ(buffer[c.bytes.size()], '\0');
      delete[] buffer;
    }
    buffer = nullptr;
    ASSERT_EQ(OSGetFileContents(buffer, path.c_str()), c.text_result) << c.text;
    if (c.text_result == 1) {
      EXPECT_EQ(std::string(buffer), c.text);
      delete[] buffer;
    }
  }
}

TEST(FileContents, MissingFileLeavesTheBufferAlone) {
  TempDir dir;
  char sentinel = 'x';
  char* buffer = &sentinel;
  EXPECT_EQ(OSGetBinaryFileContents(buffer, (dir / "missing").c_str()), 0);
  EXPECT_EQ(OSGetFileContents(buffer, (dir / "missing").c_str()), 0);
  EXPECT_EQ(OSGetBinaryFileContents(buffer, nullptr), 0);
  EXPECT_EQ(buffer, &sentinel);
  struct _stat record;
  EXPECT_EQ(OSFileStat((dir / "missing").c_str(), record), -1);
}

TEST(FileContents, StatReportsSizeAndTime) {
  TempDir dir;
  WriteFile(dir / "f", "12345");
  struct _stat record;
  ASSERT_EQ(OSFileStat((dir / "f").c_str(), record), 0);
  EXPECT_EQ(record.st_size, 5);
  long long now = static_cast<long long>(time(nullptr));
  EXPECT_LE(static_cast<long long>(record.st_mtime), now + 2);
  EXPECT_GT(static_cast<long long>(record.st_mtime), now - 60);
}

// A sparse file of exactly 2 GiB: one byte more than an int can count.
TEST(FileContents, FilesOfTwoGigabytesFailClearly) {
  TempDir dir;
  std::string path = dir / "big";
  WriteFile(path, "");
  std::error_code error;
  fs::resize_file(path, 0x80000000ULL, error);
  if (error) GTEST_SKIP() << "no sparse 2 GiB file here: " << error.message();
  char* buffer = nullptr;
  EXPECT_EQ(OSGetBinaryFileContents(buffer, path.c_str()), 0);
  EXPECT_EQ(OSGetFileContents(buffer, path.c_str()), 0);
  EXPECT_EQ(buffer, nullptr);
  struct _stat record;
  if (sizeof(record.st_size) >= 8) {
    ASSERT_EQ(OSFileStat(path.c_str(), record), 0);
    EXPECT_EQ(static_cast<long long>(record.st_size), 0x80000000LL);
  } else {
    EXPECT_EQ(OSFileStat(path.c_str(), record), -1) << "a 32-bit size cannot hold it";
  }
}

TEST(DirectoryStatus, EachOperationGivesItsCodes) {
  TempDir dir;
  fs::create_directories(dir.path() / "full");
  WriteFile(dir / "full/f", "x");
  fs::create_directories(dir.path() / "empty");
  WriteFile(dir / "file", "x");
  struct Case {
    int (*operation)(const CGNString&);
    const char* name;
    std::string path;
    int expected;
  };
  const Case cases[] = {
      {OSCreateDirectory, "create", dir / "new", 0},
      {OSCreateDirectory, "create", dir / "new", -2},
      {OSCreateDirectory, "create", dir / "file", -2},
      {OSCreateDirectory, "create", dir / "missing/new", -3},
      {OSRemoveDirectory, "rmdir", dir / "full", -5},
      {OSRemoveDirectory, "rmdir", dir / "missing", -3},
      {OSRemoveDirectory, "rmdir", dir / "empty", 0},
      {OSRemoveFile, "remove", dir / "missing", -3},
      {OSRemoveFile, "remove", dir / "full", -4},
      {OSRemoveFile, "remove", dir / "file", 0},
      {OSRemoveFile, "remove", dir / "file", -3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.operation(CGNString(c.path.c_str())), c.expected) << c.name << " " << c.path;
  }
  EXPECT_TRUE(fs::is_directory(dir.path() / "full")) << "remove must not take a directory";
}

TEST(DirectoryCleanup, RemovesFilesOneLevelDeep) {
  TempDir dir;
  fs::create_directories(dir.path() / "flat");
  WriteFile(dir / "flat/a", "1");
  WriteFile(dir / "flat/b", "2");
  EXPECT_EQ(OSRemoveDirectoryAndContents(CGNString((dir / "flat").c_str())), 0);
  EXPECT_FALSE(Exists(dir / "flat"));

  fs::create_directories(dir.path() / "deep/sub");
  WriteFile(dir / "deep/a", "1");
  WriteFile(dir / "deep/sub/b", "2");
  EXPECT_EQ(OSRemoveDirectoryAndContents(CGNString((dir / "deep").c_str())), -5);
  EXPECT_FALSE(Exists(dir / "deep/a"));
  EXPECT_TRUE(Exists(dir / "deep/sub/b"));

  EXPECT_EQ(OSRemoveDirectoryAndContents(CGNString((dir / "missing").c_str())), -3);
}

std::vector<std::string> g_seen;

unsigned char MatchEverything(CGNString& name) {
  g_seen.push_back(static_cast<const char*>(name));
  return 1;
}

unsigned char MatchTmp(CGNString& name) {
  std::string text(name);
  return text.size() > 4 && text.compare(text.size() - 4, 4, ".tmp") == 0;
}

TEST(DirectoryCleanup, MatchEverythingNeverReachesTheParent) {
  TempDir dir;
  WriteFile(dir / "parent-file", "keep");
  fs::create_directories(dir.path() / "work/sub");
  WriteFile(dir / "work/a", "1");
  WriteFile(dir / "work/sub/b", "2");
  g_seen.clear();
  EXPECT_EQ(OSRemovePatternFromDirectory(CGNString((dir / "work").c_str()), MatchEverything), 0);
  EXPECT_EQ(std::set<std::string>(g_seen.begin(), g_seen.end()),
            (std::set<std::string>{"a", "sub"}))
      << "\".\" and \"..\" are never offered";
  EXPECT_TRUE(Exists(dir / "parent-file"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "work"));
  EXPECT_FALSE(Exists(dir / "work/a"));
  EXPECT_FALSE(Exists(dir / "work/sub"));
}

TEST(DirectoryCleanup, RemovesOnlyWhatMatches) {
  TempDir dir;
  WriteFile(dir / "a.tmp", "1");
  WriteFile(dir / "b.txt", "2");
  fs::create_directories(dir.path() / "c.tmp");
  WriteFile(dir / "c.tmp/inner", "3");
  EXPECT_EQ(OSRemovePatternFromDirectory(CGNString(dir.str().c_str()), MatchTmp), 0);
  EXPECT_FALSE(Exists(dir / "a.tmp"));
  EXPECT_TRUE(Exists(dir / "b.txt"));
  EXPECT_FALSE(Exists(dir / "c.tmp"));
  EXPECT_EQ(OSRemovePatternFromDirectory(CGNString(dir.str().c_str()), nullptr), 0);
  EXPECT_TRUE(Exists(dir / "b.txt"));
  EXPECT_EQ(OSRemovePatternFromDirectory(CGNString((dir / "missing").c_str()), MatchTmp), 0);
}

// Wine refuses new times for directories; the directory then stays new,
// which the age rule would keep anyway.
void SetAge(const std::string& path, int seconds) {
  std::error_code error;
  fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(seconds),
                      error);
  if (error && !fs::is_directory(path)) ADD_FAILURE() << "cannot age " << path;
}

TEST(DirectoryCleanup, RemovesFilesOlderThanTheAge) {
  TempDir dir;
  struct Case {
    const char* name;
    int age_seconds;
    bool removed;
  };
  const Case cases[] = {
      {"ancient", 100000, true}, {"old", 120, true}, {"young", 30, false}, {"new", 0, false}};
  for (const Case& c : cases) {
    WriteFile(dir / c.name, "x");
    SetAge(dir / c.name, c.age_seconds);
  }
  fs::create_directories(dir.path() / "old-dir");
  SetAge(dir / "old-dir", 100000);
  OSRemoveOldFilesFromDirectory(CGNString(dir.str().c_str()), 60);
  for (const Case& c : cases) EXPECT_EQ(!Exists(dir / c.name), c.removed) << c.name;
  EXPECT_TRUE(Exists(dir / "old-dir")) << "directories are never removed";
}

TEST(DirectoryCleanup, AgeZeroTakesEverythingAtLeastASecondOld) {
  TempDir dir;
  WriteFile(dir / "past", "x");
  SetAge(dir / "past", 2);
  WriteFile(dir / "future", "x");
  SetAge(dir / "future", -60);
  OSRemoveOldFilesFromDirectory(CGNString(dir.str().c_str()), 0);
  EXPECT_FALSE(Exists(dir / "past"));
  EXPECT_TRUE(Exists(dir / "future"));
}

TEST(FileNames, TempDirEndsWithASeparator) {
  CGNString temp;
  EXPECT_EQ(OSGetTempDir(temp), 1);
  std::string text(temp);
  ASSERT_FALSE(text.empty());
  EXPECT_TRUE(text.back() == '/' || text.back() == '\\') << text;
  EXPECT_TRUE(fs::is_directory(text)) << text;
}

TEST(FileNames, ExtensionAndBase) {
  struct Case {
    const char* name;
    const char* extension;
    const char* base;  // returned and left in the caller's buffer
  };
  const Case cases[] = {
      {"archive.tar.gz", "gz", "archive.tar"}, {"README", "", ""},
      {"old.dir\\file", "dir\\file", "old"},   {".profile", "profile", ""},
      {"trailing.", "", "trailing"},           {"", "", ""},
  };
  for (const Case& c : cases) {
    std::string buffer = c.name;
    EXPECT_STREQ(OSGetFileExtension(&buffer[0]), c.extension) << c.name;
    CGNString base = OSGetFileNoExtension(&buffer[0]);
    EXPECT_STREQ(base, c.base) << c.name;
    bool has_dot = std::string(c.name).find('.') != std::string::npos;
    EXPECT_STREQ(buffer.c_str(), has_dot ? c.base : c.name) << c.name;
  }
  EXPECT_STREQ(OSGetFileExtension(nullptr), "");
  EXPECT_STREQ(OSGetFileNoExtension(nullptr), "");
}

TEST(FileNames, FileFromPath) {
  const std::pair<const char*, const char*> cases[] = {
      {"dir/sub/name.txt", "name.txt"},
      {"C:\\data\\f.txt", "f.txt"},
      {"name", "name"},
      {"dir/", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(OSGetFileFromPath(CGNString(c.first)), c.second) << c.first;
  }
}

TEST(FileNames, UniversalNameOfARelativePathIsRefused) {
  CGNString result("untouched");
  CGNString path("data\\f.txt");
  EXPECT_EQ(OSGetUniversalName(result, path), 0);
  EXPECT_STREQ(result, "untouched");
}

}  // namespace
