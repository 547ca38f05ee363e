// Linux counterparts of the file functions: the mount table behind
// OSGetUniversalName, TMPDIR, access denied as an ordinary user, and links.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "gnutil/osfile.h"
#include "platform/posix/mountinfo.h"
#include "support/temp_dir.h"

namespace {

using namespace gnutil_test;

const char kMountInfo[] =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "30 22 0:40 / /mnt/share rw,relatime shared:5 - cifs //fileserver/public rw,vers=3.0\n"
    "31 22 0:41 / /srv/nfs rw - nfs4 storage:/export/home rw\n"
    "32 22 0:42 /projects /srv/bind rw - nfs storage:/export/ rw\n"
    "33 30 8:2 / /mnt/share/local rw - ext4 /dev/sdb1 rw\n"
    "34 22 0:43 / /mnt/with\\040space rw master:2 shared:9 - smb3 //host/my\\040share rw\n"
    "35 22 0:44 / /mnt/over rw - cifs //first/one rw\n"
    "36 22 0:45 / /mnt/over rw - nfs second:/two rw\n"
    "37 22 0:46 / /mnt/nodash rw cifs //x/y rw\n";

TEST(MountTable, UniversalNames) {
  auto mounts = gnutil::platform::ParseMountInfo(kMountInfo);
  ASSERT_EQ(mounts.size(), 8u) << "lines without the separator are skipped";
  const struct {
    const char* path;
    int result;
    const char* universal;
  } cases[] = {
      {"/mnt/share/dir/f.txt", 1, "//fileserver/public/dir/f.txt"},
      {"/mnt/sharex/f", 1, "/mnt/sharex/f"},
      {"/mnt/share/local/f", 1, "/mnt/share/local/f"},
      {"/srv/nfs/u/f", 1, "storage:/export/home/u/f"},
      {"/srv/bind/a", 1, "storage:/export/projects/a"},
      {"/mnt/with space/f", 1, "//host/my share/f"},
      {"/mnt/over/f", 1, "second:/two/f"},
      {"/home/user/f", 1, "/home/user/f"},
      {"relative/f", 0, "untouched"},
  };
  for (const auto& c : cases) {
    std::string result = "untouched";
    EXPECT_EQ(gnutil::platform::UniversalNameFromMounts(mounts, c.path, &result), c.result)
        << c.path;
    EXPECT_EQ(result, c.universal) << c.path;
  }
}

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
struct SwapCase {
  const char* name;
  const char* swapped;  // relative to the test directory
};

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
  const SwapCase cases[] = {
      {.name = "listed directory", .swapped = "work"},
      {.name = "matched sub-directory", .swapped = "work/sub"},
  };
  for (const SwapCase& c : cases) {
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
