// Linux counterparts of the file functions: local paths and
// OSGetUniversalName, TMPDIR, access denied as an ordinary user, and links.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "gnutil/osfile.h"
#include "support/temp_dir.h"

namespace {

using namespace gnutil_test;

// A local path of this machine comes back unchanged.
TEST(FilePosix, TempDirFollowsTmpdirAndLocalPathsStay) {
  TempDir dir;
  CGNString path(dir.str().c_str()), result;
  ASSERT_EQ(OSGetUniversalName(result, path), 1);
  EXPECT_STREQ(result, path);
  // Each test runs in a process of its own: TMPDIR need not be put back.
  const std::pair<const char*, const char*> cases[] = {
      {"/x/", "/x/"}, {"/var/tmp", "/var/tmp/"}, {"", "/tmp/"}};
  for (const auto& c : cases) {
    setenv("TMPDIR", c.first, 1);
    CGNString temp;
    EXPECT_EQ(OSGetTempDir(temp), 1);
    EXPECT_STREQ(temp, c.second);
  }
}

// Root may write anywhere, so the check runs in a child that has become the
// unprivileged user "nobody" (65534) when the test runs as root.
TEST(FilePosix, ReadOnlyDirectoryDeniesAccess) {
  TempDir dir;
  std::string locked = dir / "locked";
  std::filesystem::create_directories(locked);
  WriteFile(locked + "/f", "x");
  chmod(dir.str().c_str(), 0755);
  chmod(locked.c_str(), 0555);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
    _exit(OSRemoveFile(CGNString((locked + "/f").c_str())) != -4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 10) GTEST_SKIP() << "cannot become an unprivileged user";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a code other than -4 given";
  EXPECT_TRUE(Exists(locked + "/f"));
}

// The match function swaps, on its first call, the listed directory (or the
// sub-directory it is about to say yes to) for a link to a victim directory:
// the clean-up must go on in what it listed and leave every victim file.
std::string g_swapRoot;
const char* g_swapped = nullptr;

unsigned char SwapThenMatch(CGNString&) {
  if (g_swapped != nullptr) {
    std::string at = g_swapRoot + "/" + g_swapped;
    std::filesystem::rename(at, at + ".moved");
    std::filesystem::create_directory_symlink(g_swapRoot + "/victim", at);
    g_swapped = nullptr;
  }
  return 1;
}

TEST(FilePosix, CleanupStaysInTheDirectoryItListed) {
  const struct {
    const char* name;
    const char* swapped;  // relative to the test directory
  } cases[] = {
      {.name = "listed directory", .swapped = "work"},
      {.name = "matched sub-directory", .swapped = "work/sub"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    // The victim holds the same names, so a removal that went through the
    // link would find them.
    for (const char* top : {"work", "victim", "victim/sub"}) {
      std::filesystem::create_directories(dir.path() / top / "sub");
      for (const char* f : {"/a", "/b", "/sub/c"}) WriteFile(dir / top + f, "x");
    }
    g_swapRoot = dir.str();
    g_swapped = c.swapped;
    OSRemovePatternFromDirectory(CGNString((dir / "work").c_str()), SwapThenMatch);
    int left = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path() / "victim")) {
      left += entry.is_regular_file();
    }
    EXPECT_EQ(left, 6) << c.name;
  }
}

}  // namespace
