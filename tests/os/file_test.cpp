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

using namespace gnutil_test;
namespace fs = std::filesystem;

TEST(FileContents, ReadsWholeFilesAndTheirLineEnds) {
  const struct {
    std::string bytes;
    int binary_result, text_result;
    std::string text;
  } cases[] = {
      {"", 0, 0, ""},
      {"one\r\ntwo\r\n", 10, 1, "one\ntwo\n"},
      {"lone\rcr\n", 8, 1, "lone\rcr\n"},
      {std::string("a\0b", 3), 3, 1, "a"},
  };
  TempDir dir;
  const std::string file = dir / "f.txt";
  for (const auto& c : cases) {
    WriteFile(file, c.bytes);
    char* buffer = nullptr;
    ASSERT_EQ(OSGetBinaryFileContents(buffer, file.c_str()), c.binary_result) << c.text;
    if (c.binary_result > 0) {
      EXPECT_EQ(std::string(buffer, c.bytes.size() + 1), c.bytes + '\0');
    }
    delete[] buffer;
    buffer = nullptr;
    ASSERT_EQ(OSGetFileContents(buffer, file.c_str()), c.text_result) << c.text;
    if (c.text_result == 1) {
      EXPECT_EQ(std::string(buffer), c.text);
    }
    delete[] buffer;
    struct _stat record;
    ASSERT_EQ(OSFileStat(file.c_str(), record), 0);
    EXPECT_EQ(record.st_size, static_cast<long>(c.bytes.size()));
  }
  // A missing file leaves the buffer alone.
  char sentinel = 'x';
  char* buffer = &sentinel;
  EXPECT_EQ(OSGetBinaryFileContents(buffer, (dir / "missing").c_str()), 0);
  EXPECT_EQ(OSGetFileContents(buffer, (dir / "missing").c_str()), 0);
  EXPECT_EQ(OSGetBinaryFileContents(buffer, nullptr), 0);
  EXPECT_EQ(buffer, &sentinel);
  struct _stat record;
  EXPECT_EQ(OSFileStat((dir / "missing").c_str(), record), -1);
}

TEST(Directories, EachOperationGivesItsCodes) {
  TempDir dir;
  fs::create_directories(dir.path() / "full");
  fs::create_directories(dir.path() / "empty");
  WriteFile(dir / "full/f", "x");
  WriteFile(dir / "file", "x");
  const struct {
    int (*operation)(const CGNString&);
    std::string path;
    int expected;
  } cases[] = {
      {OSCreateDirectory, dir / "new", 0},
      {OSCreateDirectory, dir / "new", -2},
      {OSCreateDirectory, dir / "missing/new", -3},
      {OSRemoveDirectory, dir / "full", -5},
      {OSRemoveDirectory, dir / "missing", -3},
      {OSRemoveDirectory, dir / "empty", 0},
      {OSRemoveFile, dir / "missing", -3},
      {OSRemoveFile, dir / "full", -4},
      {OSRemoveFile, dir / "file", 0},
      {OSRemoveDirectoryAndContents, dir / "missing", -3},
      {OSRemoveDirectoryAndContents, dir / "full", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.operation(CGNString(c.path.c_str())), c.expected) << c.path;
  EXPECT_FALSE(Exists(dir / "full"));
  // Only one level deep: a subdirectory stays, and so does its parent.
  fs::create_directories(dir.path() / "deep/sub");
  WriteFile(dir / "deep/a", "1");
  WriteFile(dir / "deep/sub/b", "2");
  EXPECT_EQ(OSRemoveDirectoryAndContents(CGNString((dir / "deep").c_str())), -5);
  EXPECT_FALSE(Exists(dir / "deep/a"));
  EXPECT_TRUE(Exists(dir / "deep/sub/b"));
}

std::vector<std::string> g_seen;

unsigned char MatchTmp(CGNString& name) {
  std::string text(name);
  g_seen.push_back(text);
  return text.size() > 4 && text.compare(text.size() - 4, 4, ".tmp") == 0;
}

TEST(Directories, PatternRemovesWhatMatchesAndNeverReachesTheParent) {
  TempDir dir;
  WriteFile(dir / "parent.tmp", "keep");
  fs::create_directories(dir.path() / "work/c.tmp");
  WriteFile(dir / "work/a.tmp", "1");
  WriteFile(dir / "work/b.txt", "2");
  WriteFile(dir / "work/c.tmp/inner", "3");
  const CGNString work((dir / "work").c_str());
  EXPECT_EQ(OSRemovePatternFromDirectory(work, MatchTmp), 0);
  EXPECT_EQ(std::set<std::string>(g_seen.begin(), g_seen.end()),
            (std::set<std::string>{"a.tmp", "b.txt", "c.tmp"}))
      << "\".\" and \"..\" are never offered";
  EXPECT_FALSE(Exists(dir / "work/a.tmp") || Exists(dir / "work/c.tmp"));
  EXPECT_TRUE(Exists(dir / "work/b.txt") && Exists(dir / "parent.tmp"));
  EXPECT_EQ(OSRemovePatternFromDirectory(work, nullptr), 0);
  EXPECT_TRUE(Exists(dir / "work/b.txt"));
  EXPECT_EQ(OSRemovePatternFromDirectory(CGNString((dir / "missing").c_str()), MatchTmp), 0);
}

TEST(Directories, OldFilesGoDirectoriesStay) {
  TempDir dir;
  const struct {
    const char* name;
    int age_seconds;
    long limit;
    bool removed;
  } cases[] = {{"old", 120, 60, true},
               {"young", 30, 60, false},
               {"past", 2, 0, true},
               {"future", -60, 0, false}};
  auto age = [](const std::string& path, int seconds) {
    std::error_code error;  // Wine refuses new times for directories: they stay new
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(seconds),
                        error);
  };
  for (const auto& c : cases) {
    fs::create_directories(dir.path() / c.name / "sub");
    WriteFile(dir / c.name + "/f", "x");
    age(dir / c.name + "/f", c.age_seconds);
    age(dir / c.name + "/sub", 100000);
    OSRemoveOldFilesFromDirectory(CGNString((dir / c.name).c_str()), c.limit);
    EXPECT_EQ(!Exists(dir / c.name + "/f"), c.removed) << c.name;
    EXPECT_TRUE(Exists(dir / c.name + "/sub")) << "directories are never removed";
  }
}

TEST(FileNames, ExtensionBaseAndFileFromPath) {
  const struct {
    const char *name, *extension, *base, *file;  // base: returned and left in the buffer
  } cases[] = {
      {"archive.tar.gz", "gz", "archive.tar", "archive.tar.gz"},
      {"README", "", "", "README"},
      {"old.dir\\file", "dir\\file", "old", "file"},
      {".profile", "profile", "", ".profile"},
      {"trailing.", "", "trailing", "trailing."},
      {"dir/sub/n.txt", "txt", "dir/sub/n", "n.txt"},
      {"dir/", "", "", ""},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(OSGetFileFromPath(CGNString(c.name)), c.file) << c.name;
    std::string buffer = c.name;
    EXPECT_STREQ(OSGetFileExtension(&buffer[0]), c.extension) << c.name;
    EXPECT_STREQ(OSGetFileNoExtension(&buffer[0]), c.base) << c.name;
    bool has_dot = std::string(c.name).find('.') != std::string::npos;
    EXPECT_STREQ(buffer.c_str(), has_dot ? c.base : c.name) << c.name;
  }
  EXPECT_STREQ(OSGetFileExtension(nullptr), "");
  EXPECT_STREQ(OSGetFileNoExtension(nullptr), "");
}

}  // namespace
