// The Linux configuration store under concurrent writers and crashes.
//
// Several processes writing different keys of one file must all keep their
// update (the lock serialises read-modify-write), and a writer killed with
// SIGKILL at any moment must leave a file that is whole: the old text or the
// new one, never a mixture or a truncation.
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
#include "os/config/regstore.h"
#include "platform/posix/files.h"
#include "support/temp_dir.h"
#include "support/test_locale.h"

namespace {

using gnutil_test::ReadWholeFile;
using gnutil_test::WriteFile;

class PosixConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(OSSetSystemConfigFile((dir_ / "system.ini").c_str()), 1);
    ASSERT_EQ(OSSetSystemConfigRegRoot((dir_ / "registry").c_str()), 1);
  }
  gnutil::reg::Store Registry() {
    gnutil::reg::Store store;
    EXPECT_TRUE(store.Parse(ReadWholeFile(reg_)));
    return store;
  }
  std::string GetReg(const char* key) {
    CGNString v;
    EXPECT_EQ(OSGetSystemConfigReg(v, "", "K", key, "Software"), 1) << key;
    return static_cast<const char*>(v);
  }
  gnutil_test::TempDir dir_{"gnutil-config"};
  std::string ini_ = dir_ / "shared.ini";
  std::string reg_ = dir_ / "registry/HKEY_LOCAL_MACHINE.reg";
};

// Waits for a child and expects it to have exited with status 0.
void Reap(pid_t pid) {
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
}

TEST_F(PosixConfig, ConcurrentWritersInSeveralProcessesLoseNoUpdate) {
  constexpr int kProcesses = 4, kKeysEach = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int bad = 0;
      for (int k = 0; k < kKeysEach; ++k) {
        std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
        OSSetConfig(p * 1000 + k, "Shared", key.c_str(), ini_.c_str());
        int value = p * 1000 + k;
        if (OSSetSystemConfigReg(value, "Shared", key.c_str(), "Software\\Test") != 1) ++bad;
      }
      _exit(bad == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) Reap(pid);

  std::string text = ReadWholeFile(ini_);
  gnutil::reg::Store store = Registry();
  const gnutil::reg::Key* key = store.FindKey({"Software", "Test", "Shared"});
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->values.size(), static_cast<size_t>(kProcesses * kKeysEach));
  for (int p = 0; p < kProcesses; ++p) {
    for (int k = 0; k < kKeysEach; ++k) {
      std::string name = "p" + std::to_string(p) + "k" + std::to_string(k), value;
      std::string expect = std::to_string(p * 1000 + k);
      EXPECT_TRUE(gnutil::ini::Find(text, "Shared", name, &value)) << name;
      EXPECT_EQ(value, expect);
      const gnutil::reg::Value* v = gnutil::reg::Store::FindValue(*key, name);
      ASSERT_NE(v, nullptr) << name;
      EXPECT_EQ(v->data, expect);
    }
  }
  // No temporary file is left behind by writers that finished.
  EXPECT_FALSE(gnutil_test::Exists(dir_ / ".shared.ini.gnutil-tmp"));
}

std::string Padding(int n) { return std::string(2000 + n % 997, static_cast<char>('a' + n % 26)); }

TEST_F(PosixConfig, WriterKilledAtRandomMomentsLeavesAWholeFile) {
  OSSetConfig("0", "head", "counter", ini_.c_str());
  OSSetConfig(Padding(0).c_str(), "head", "padding", ini_.c_str());
  for (int i = 0; i < 200; ++i) {
    OSSetConfig(std::string(100, 'f').c_str(), "middle", ("filler" + std::to_string(i)).c_str(),
                ini_.c_str());
  }
  OSSetConfig("end", "tail", "sentinel", ini_.c_str());
  OSSetSystemConfigReg("start", "Crash", "state", "Software");

  std::mt19937 rng(12345);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int kills = 0;
  while (kills < 40 && std::chrono::steady_clock::now() < deadline) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // Each update writes the counter and its padding in one file
      // replacement, through the engine the store uses.
      for (int n = 1;; ++n) {
        gnutil::files::UpdateFile(ini_, false, [&](const std::string& old, std::string* text) {
          std::string step;
          return gnutil::ini::Set(old, "head", "counter", std::to_string(n), &step) &&
                 gnutil::ini::Set(step, "head", "padding", Padding(n), text);
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

    // The file is whole when its last line, written once before the crashes
    // started, is still there and the counter agrees with the padding written
    // with it in the same update.
    SCOPED_TRACE("after kill " + std::to_string(kills));
    std::string text = ReadWholeFile(ini_), counter, padding, sentinel;
    ASSERT_TRUE(gnutil::ini::Find(text, "tail", "sentinel", &sentinel)) << text.size();
    EXPECT_EQ(sentinel, "end");
    ASSERT_TRUE(gnutil::ini::Find(text, "head", "counter", &counter));
    ASSERT_TRUE(gnutil::ini::Find(text, "head", "padding", &padding));
    EXPECT_EQ(padding, Padding(atoi(counter.c_str())));
    Registry();
    CGNString state;
    EXPECT_EQ(OSGetSystemConfigReg(state, "", "Crash", "state", "Software"), 1);
    EXPECT_FALSE(state.IsEmpty());
    // The next writer takes over whatever temporary file the victim left.
    EXPECT_EQ(OSSetConfig("ok", "after", "write", ini_.c_str()), 1);
    EXPECT_TRUE(gnutil::ini::Find(ReadWholeFile(ini_), "after", "write", &counter));
  }
  EXPECT_GE(kills, 10);
}

// A value longer than the 1023 bytes a read returns is cut before a
// character, never inside one.
TEST_F(PosixConfig, LongValuesAreCutAtACharacterBoundary) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  for (size_t lead : {1021u, 1022u}) {
    const std::string value = std::string(lead, 'a') + "\x93\xfa" + "b";  // 日
    WriteFile(ini_, "[s]\nk=" + value + "\n");
    CGNString v;
    EXPECT_EQ(OSGetConfig(v, "", "s", "k", ini_.c_str()), 1);
    EXPECT_EQ(std::string(v), value.substr(0, lead == 1021 ? 1023 : 1022)) << lead;
  }
}

TEST_F(PosixConfig, FilePermissionsAndLinksAreKeptAndAnUnchangedFileIsNotRewritten) {
  OSSetConfig("1", "s", "k", ini_.c_str());
  struct stat before, st;
  ASSERT_EQ(stat(ini_.c_str(), &before), 0);
  OSSetConfig("1", "s", "k", ini_.c_str());
  ASSERT_EQ(stat(ini_.c_str(), &st), 0);
  EXPECT_EQ(before.st_ino, st.st_ino) << "rewritten though nothing changed";
  ASSERT_EQ(chmod(ini_.c_str(), 0640), 0);
  std::string link = dir_ / "link.ini";
  ASSERT_EQ(symlink(ini_.c_str(), link.c_str()), 0);
  OSSetConfig("2", "s", "k", link.c_str());
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat(ini_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  std::string v;
  EXPECT_TRUE(gnutil::ini::Find(ReadWholeFile(ini_), "s", "k", &v) && v == "2");
}

TEST_F(PosixConfig, UnwritableFilesAndDamagedStoresAreLeftAlone) {
  // A private file in a missing directory is not created (nor the directory);
  // a refused write does not create the file either.
  EXPECT_EQ(OSSetConfig("v", "s", "k", (dir_ / "missing/app.ini").c_str()), 1);
  EXPECT_FALSE(gnutil_test::Exists(dir_ / "missing"));
  EXPECT_EQ(OSSetConfig("two\nlines", "s", "k", ini_.c_str()), 1);
  EXPECT_FALSE(gnutil_test::Exists(ini_));

  // A registry store with a line we cannot read is never rewritten, so what
  // it holds is not lost; reads still find what can be read.
  ASSERT_EQ(OSSetSystemConfigReg("kept", "K", "v", "Software"), 1);
  std::string text = ReadWholeFile(reg_) + "garbage line\n";
  WriteFile(reg_, text);
  EXPECT_EQ(OSSetSystemConfigReg("new", "K", "w", "Software"), 0);
  EXPECT_EQ(OSDelSystemConfigReg("K", "v", "Software"), 0);
  EXPECT_EQ(ReadWholeFile(reg_), text);
  EXPECT_EQ(GetReg("v"), "kept");
}

// Store files that are not regular files, or too large, are refused at once:
// no endless read of a device, no wait on a named pipe, nothing rewritten.
TEST_F(PosixConfig, DevicesPipesAndHugeFilesAreRefused) {
  std::string zero = dir_ / "zero.ini", fifo = dir_ / "fifo.ini", huge = dir_ / "huge.ini";
  ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  WriteFile(huge, "[s]\nk=v\n");
  ASSERT_EQ(truncate(huge.c_str(), static_cast<off_t>(gnutil::files::kMaxFileBytes) + 1), 0);
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
  ASSERT_EQ(mkdir((dir_ / "registry").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo(reg_.c_str(), 0600), 0);
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
  std::string big = dir_ / "big.ini", text = "[s]\n";
  while (text.size() < (48u << 20)) text += "key" + std::to_string(text.size()) + "=value\n";
  WriteFile(big, text);
  text.clear();
  text.shrink_to_fit();
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    // Room for the program, not for the file read whole.
    struct rlimit limit;
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = 40u << 20;
    FILE* status = fopen("/proc/self/status", "r");
    char line[256];
    unsigned long kb;
    while (status != nullptr && fgets(line, sizeof line, status) != nullptr) {
      if (sscanf(line, "VmSize: %lu kB", &kb) == 1) limit.rlim_cur = (kb << 10) + (24u << 20);
    }
    if (status != nullptr) fclose(status);
    setrlimit(RLIMIT_AS, &limit);
    try {
      CGNString v;
      OSGetConfig(v, "d", "s", "key4", big.c_str());
    } catch (const GMemoryException&) {
    }
    _exit(0);
  }
  Reap(pid);
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
