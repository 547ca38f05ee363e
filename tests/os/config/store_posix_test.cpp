// The Linux configuration store under concurrent writers and crashes.
//
// Several processes writing different keys of one file must all keep their
// update (the lock serialises read-modify-write), and a writer killed with
// SIGKILL at any moment must leave a file that is whole: the old text or the
// new one, never a mixture or a truncation.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>

#include "gnutil/osconfig.h"
#include "os/config/ini.h"
#include "platform/posix/files.h"
#include "os/config/regstore.h"

namespace {

class PosixConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/gnutil-config-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    ASSERT_EQ(OSSetSystemConfigFile((dir_ + "/system.ini").c_str()), 1);
    ASSERT_EQ(OSSetSystemConfigRegRoot((dir_ + "/registry").c_str()), 1);
    ini_ = dir_ + "/shared.ini";
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(system(cmd.c_str()), 0);
  }
  std::string Read(const std::string& path) {
    std::string text;
    gnutil::files::ReadWholeFile(path, &text);
    return text;
  }

  std::string dir_;
  std::string ini_;
};

// Waits for every child and expects each to have exited with status 0.
void ReapAll(const std::vector<pid_t>& children) {
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  }
}

TEST_F(PosixConfig, ConcurrentWritersInSeveralProcessesLoseNoUpdate) {
  constexpr int kProcesses = 4;
  constexpr int kKeysEach = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int bad = 0;
      for (int k = 0; k < kKeysEach; ++k) {
        std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
        int value = p * 1000 + k;
        OSSetConfig(value, "Shared", key.c_str(), ini_.c_str());
        if (OSSetSystemConfigReg(value, "Shared", key.c_str(), "Software\\Test") != 1) ++bad;
      }
      _exit(bad == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  ReapAll(children);

  std::string text = Read(ini_);
  gnutil::reg::Store store;
  ASSERT_TRUE(store.Parse(Read(dir_ + "/registry/HKEY_LOCAL_MACHINE.reg")));
  const gnutil::reg::Key* key = store.FindKey({"Software", "Test", "Shared"});
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->values.size(), static_cast<size_t>(kProcesses * kKeysEach));
  for (int p = 0; p < kProcesses; ++p) {
    for (int k = 0; k < kKeysEach; ++k) {
      std::string name = "p" + std::to_string(p) + "k" + std::to_string(k);
      std::string expect = std::to_string(p * 1000 + k);
      std::string value;
      EXPECT_TRUE(gnutil::ini::Find(text, "Shared", name, &value)) << name;
      EXPECT_EQ(value, expect);
      const gnutil::reg::Value* v = gnutil::reg::Store::FindValue(*key, name);
      ASSERT_NE(v, nullptr) << name;
      EXPECT_EQ(v->data, expect);
    }
  }
  // No temporary file is left behind by writers that finished.
  struct stat st;
  EXPECT_NE(stat((dir_ + "/.shared.ini.gnutil-tmp").c_str(), &st), 0);
}

// A file is whole when its last line, written once before the crashes
// start, is still there and the counter agrees with the padding written with
// it in the same update.
void ExpectWholeIni(const std::string& text, int max_counter) {
  std::string counter, padding, sentinel;
  ASSERT_TRUE(gnutil::ini::Find(text, "tail", "sentinel", &sentinel)) << text.size();
  EXPECT_EQ(sentinel, "end");
  ASSERT_TRUE(gnutil::ini::Find(text, "head", "counter", &counter));
  ASSERT_TRUE(gnutil::ini::Find(text, "head", "padding", &padding));
  int n = atoi(counter.c_str());
  EXPECT_GE(n, 0);
  EXPECT_LE(n, max_counter);
  EXPECT_EQ(padding, std::string(2000 + n % 997, static_cast<char>('a' + n % 26)));
}

TEST_F(PosixConfig, WriterKilledAtRandomMomentsLeavesAWholeFile) {
  OSSetConfig("0", "head", "counter", ini_.c_str());
  OSSetConfig(std::string(2000, 'a').c_str(), "head", "padding", ini_.c_str());
  for (int i = 0; i < 200; ++i) {
    std::string key = "filler" + std::to_string(i);
    OSSetConfig(std::string(100, 'f').c_str(), "middle", key.c_str(), ini_.c_str());
  }
  OSSetConfig("end", "tail", "sentinel", ini_.c_str());
  OSSetSystemConfigReg("start", "Crash", "state", "Software");

  std::mt19937 rng(12345);
  int written = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int kills = 0;
  while (kills < 40 && std::chrono::steady_clock::now() < deadline) {
    int base = written;
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // Each update writes the counter and its padding in one file
      // replacement, through the engine the store uses.
      for (int n = base + 1;; ++n) {
        gnutil::files::UpdateFile(ini_, false, [&](const std::string& old, std::string* text) {
          std::string step;
          return gnutil::ini::Set(old, "head", "counter", std::to_string(n), &step) &&
                 gnutil::ini::Set(step, "head", "padding",
                                  std::string(2000 + n % 997, static_cast<char>('a' + n % 26)),
                                  text);
        });
        OSSetSystemConfigReg(std::to_string(n).c_str(), "Crash", "state", "Software");
      }
    }
    struct timespec delay = {0, static_cast<long>(rng() % 15000000)};  // up to 15 ms
    nanosleep(&delay, nullptr);
    kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ++kills;
    written = base + 100000;  // an upper bound for what the child could reach

    SCOPED_TRACE("after kill " + std::to_string(kills));
    ExpectWholeIni(Read(ini_), written);
    gnutil::reg::Store store;
    ASSERT_TRUE(store.Parse(Read(dir_ + "/registry/HKEY_LOCAL_MACHINE.reg")));
    CGNString state;
    EXPECT_EQ(OSGetSystemConfigReg(state, "", "Crash", "state", "Software"), 1);
    EXPECT_FALSE(state.IsEmpty());
    // The next writer takes over whatever temporary file the victim left.
    EXPECT_EQ(OSSetConfig("ok", "after", "write", ini_.c_str()), 1);
    CGNString v;
    OSGetConfig(v, "", "after", "write", ini_.c_str());
    EXPECT_STREQ(v, "ok");
  }
  EXPECT_GE(kills, 10);
}

TEST_F(PosixConfig, FilePermissionsAndLinksAreKept) {
  OSSetConfig("1", "s", "k", ini_.c_str());
  ASSERT_EQ(chmod(ini_.c_str(), 0640), 0);
  std::string link = dir_ + "/link.ini";
  ASSERT_EQ(symlink(ini_.c_str(), link.c_str()), 0);
  OSSetConfig("2", "s", "k", link.c_str());
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(ini_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  CGNString v;
  OSGetConfig(v, "", "s", "k", ini_.c_str());
  EXPECT_STREQ(v, "2");
}

TEST_F(PosixConfig, UnwritableFilesAndDamagedStoresAreLeftAlone) {
  // A private file in a missing directory is not created (nor the directory).
  std::string nowhere = dir_ + "/missing/app.ini";
  EXPECT_EQ(OSSetConfig("v", "s", "k", nowhere.c_str()), 1);
  struct stat st;
  EXPECT_NE(stat((dir_ + "/missing").c_str(), &st), 0);

  // A refused write does not create the file either.
  EXPECT_EQ(OSSetConfig("two\nlines", "s", "k", ini_.c_str()), 1);
  EXPECT_NE(stat(ini_.c_str(), &st), 0);

  // A registry store with a line we cannot read is never rewritten, so what
  // it holds is not lost; reads still find what can be read.
  ASSERT_EQ(OSSetSystemConfigReg("kept", "K", "v", "Software"), 1);
  std::string file = dir_ + "/registry/HKEY_LOCAL_MACHINE.reg";
  std::string text = Read(file) + "garbage line\n";
  FILE* f = fopen(file.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
  EXPECT_EQ(OSSetSystemConfigReg("new", "K", "w", "Software"), 0);
  EXPECT_EQ(OSDelSystemConfigReg("K", "v", "Software"), 0);
  EXPECT_EQ(Read(file), text);
  CGNString v;
  EXPECT_EQ(OSGetSystemConfigReg(v, "", "K", "v", "Software"), 1);
  EXPECT_STREQ(v, "kept");
}

// Store files that are not regular files, or too large, are refused at once:
// no endless read of a device, no wait on a named pipe, nothing rewritten.
TEST_F(PosixConfig, DevicesPipesAndHugeFilesAreRefused) {
  std::string zero = dir_ + "/zero.ini";
  ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
  std::string fifo = dir_ + "/fifo.ini";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string huge = dir_ + "/huge.ini";
  {
    std::string head = "[s]\nk=v\n";
    FILE* f = fopen(huge.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(head.data(), 1, head.size(), f);
    fclose(f);
    ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>(gnutil::files::kMaxFileBytes) + 1), 0);
  }
  for (const std::string& file : {zero, fifo, huge}) {
    auto start = std::chrono::steady_clock::now();
    CGNString v;
    EXPECT_EQ(OSGetConfig(v, "dflt", "s", "k", file.c_str()), 1) << file;
    EXPECT_STREQ(v, "dflt") << file;
    EXPECT_EQ(OSSetConfig("new", "s", "k", file.c_str()), 1) << file;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << file;
  }
  struct stat st;
  ASSERT_EQ(lstat(zero.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ASSERT_EQ(stat(huge.c_str(), &st), 0);
  EXPECT_EQ(static_cast<size_t>(st.st_size), gnutil::files::kMaxFileBytes + 1);

  // The registry store's file too.
  ASSERT_EQ(mkdir((dir_ + "/registry").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo((dir_ + "/registry/HKEY_LOCAL_MACHINE.reg").c_str(), 0600), 0);
  CGNString v;
  EXPECT_EQ(OSGetSystemConfigReg(v, "d", "K", "v", "Software"), 0);
  EXPECT_EQ(OSSetSystemConfigReg("x", "K", "v", "Software"), 0);
}

// Memory running out while a store is read reaches the caller as the
// library's exception (or a failed call), never as a foreign one that ends
// the process. Address-space limits and sanitizers do not mix: not there.
TEST_F(PosixConfig, RunningOutOfMemoryIsTheLibrarysException) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "address-space limit under a sanitizer";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  GTEST_SKIP() << "address-space limit under a sanitizer";
#endif
#endif
  std::string big = dir_ + "/big.ini";
  {
    std::string text = "[s]\n";
    while (text.size() < (48u << 20)) text += "key" + std::to_string(text.size()) + "=value\n";
    FILE* f = fopen(big.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    struct rlimit limit;
    getrlimit(RLIMIT_AS, &limit);
    // Room for the program, not for the file read whole.
    limit.rlim_cur = 40u << 20;
    FILE* maps = fopen("/proc/self/status", "r");
    char line[256];
    while (maps != nullptr && fgets(line, sizeof line, maps) != nullptr) {
      unsigned long kb;
      if (sscanf(line, "VmSize: %lu kB", &kb) == 1) limit.rlim_cur = (kb << 10) + (24u << 20);
    }
    if (maps != nullptr) fclose(maps);
    setrlimit(RLIMIT_AS, &limit);
    try {
      CGNString v;
      OSGetConfig(v, "d", "s", "key4", big.c_str());
      _exit(0);
    } catch (const GMemoryException&) {
      _exit(0);
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
}

TEST_F(PosixConfig, DefaultPlacesAreRestoredByNull) {
  EXPECT_EQ(OSSetSystemConfigFile(nullptr), 1);
  EXPECT_EQ(OSSetSystemConfigRegRoot(nullptr), 1);
  // Reading the default places works whether or not they exist.
  CGNString v;
  EXPECT_EQ(OSGetSystemConfig(v, "d", "gnutil-no-such-section", "k"), 1);
  EXPECT_STREQ(v, "d");
  EXPECT_EQ(OSGetSystemConfigReg(v, "d", "gnutil-no-such-key", "k", "Software"), 0);
}

}  // namespace
