// The Linux configuration store's own files: concurrent writers in several
// processes, writers killed at any moment, links, devices, damaged stores.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "genutil/textscan.h"
#include "gnutil/mbutil.h"
#include "gnutil/osconfig.h"
#include "platform/ini.h"
#include "platform/posix/files.h"
#include "support/temp_dir.h"
#include "support/test_locale.h"

namespace {

using namespace gnutil_test;

class PosixConfig : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(OSSetSystemConfigFile((dir_ / "system.ini").c_str()), 1);
    ASSERT_EQ(OSSetSystemConfigRegRoot((dir_ / "registry").c_str()), 1);
  }
  gnutil_test::TempDir dir_{"gnutil-config"};
  std::string ini_ = dir_ / "shared.ini";
  std::string reg_ = dir_ / "registry/HKEY_LOCAL_MACHINE.reg";
};

TEST_F(PosixConfig, ConcurrentWritersInSeveralProcessesLoseNoUpdate) {
  constexpr int kProcesses = 4, kKeysEach = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int n = p * 1000; n < p * 1000 + kKeysEach; ++n) {
        OSSetConfig(n, "Shared", std::to_string(n).c_str(), ini_.c_str());
        OSSetSystemConfigReg(n, "Shared", std::to_string(n).c_str(), "Software\\Test");
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  }
  for (int p = 0; p < kProcesses; ++p) {
    for (int n = p * 1000; n < p * 1000 + kKeysEach; ++n) {
      long ini = -1, reg = -1;
      OSGetConfig(ini, -1, "Shared", std::to_string(n).c_str(), ini_.c_str());
      OSGetSystemConfigReg(reg, -1, "Shared", std::to_string(n).c_str(), "Software\\Test");
      EXPECT_EQ(ini, n);
      EXPECT_EQ(reg, n);
    }
  }
  EXPECT_FALSE(gnutil_test::Exists(dir_ / ".shared.ini.gnutil-tmp"));
}

std::string Padding(int n) { return std::string(2000 + n % 997, static_cast<char>('a' + n % 26)); }

TEST_F(PosixConfig, WriterKilledAtRandomMomentsLeavesAWholeFile) {
  WriteFile(ini_, "[head]\ncounter=0\npadding=" + Padding(0) +
                      "\n[middle]\nfiller=" + std::string(20000, 'f') + "\n[tail]\nsentinel=end\n");

  auto value = [](const std::string& text, const char* section, const char* key) {
    std::string v;
    return gnutil::ini::Find(text, section, key, &v, gnutil::CharLength) ? v : "<none>";
  };
  std::mt19937 rng(12345);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int kills = 0;
  while (kills < 40 && std::chrono::steady_clock::now() < deadline) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // The counter and its padding in one replacement, as the store writes.
      for (int n = 1;; ++n) {
        gnutil::files::UpdateFile(ini_, false, [&](const std::string& old, std::string* text) {
          std::string step;
          return gnutil::ini::Set(old, "head", "counter", std::to_string(n), &step,
                                  gnutil::CharLength) &&
                 gnutil::ini::Set(step, "head", "padding", Padding(n), text, gnutil::CharLength);
        });
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 15000));  // up to 15 ms
    kill(pid, SIGKILL);
    ASSERT_EQ(waitpid(pid, nullptr, 0), pid);
    ++kills;

    // Whole: the last line, written before the crashes, is there, and the
    // counter agrees with the padding written with it in the same update.
    SCOPED_TRACE("after kill " + std::to_string(kills));
    const std::string text = ReadWholeFile(ini_);
    ASSERT_EQ(value(text, "tail", "sentinel"), "end") << text.size();
    EXPECT_EQ(value(text, "head", "padding"),
              Padding(atoi(value(text, "head", "counter").c_str())));
    EXPECT_EQ(OSSetConfig("ok", "after", "write", ini_.c_str()), 1);
    EXPECT_EQ(value(ReadWholeFile(ini_), "after", "write"), "ok");
  }
  EXPECT_GE(kills, 10);
  // The next writer that changes the file removes the temporaries the
  // victims left.
  EXPECT_EQ(OSSetConfig("done", "after", "write", ini_.c_str()), 1);
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().string().find(".gnutil-tmp"), std::string::npos)
        << "stale temporary " << entry.path();
  }
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
  EXPECT_TRUE(gnutil::ini::Find(ReadWholeFile(ini_), "s", "k", &v, gnutil::CharLength) && v == "2");
}

TEST_F(PosixConfig, UnwritableFilesAndDamagedStoresAreLeftAlone) {
  // Neither a private file's missing directory nor a refused write creates.
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
  CGNString v;
  EXPECT_EQ(OSGetSystemConfigReg(v, "", "K", "v", "Software"), 1);
  EXPECT_STREQ(v, "kept");
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
    struct stat before, after;
    ASSERT_EQ(lstat(file.c_str(), &before), 0);
    CGNString v;
    EXPECT_EQ(OSGetConfig(v, "dflt", "s", "k", file.c_str()), 1) << file;
    EXPECT_STREQ(v, "dflt") << file;
    EXPECT_EQ(OSSetConfig("new", "s", "k", file.c_str()), 1) << file;
    ASSERT_EQ(lstat(file.c_str(), &after), 0);
    EXPECT_TRUE(after.st_ino == before.st_ino && after.st_size == before.st_size) << file;
  }
}

// Files planted under the temporary name of earlier versions: a pipe with a
// reader (an open for writing would have hung without one) and a regular
// file its planter keeps open to write through after our rename. The
// configuration must hold our value, whatever the planter writes after.
TEST_F(PosixConfig, PlantedTemporariesAreNeverWrittenThrough) {
  OSSetConfig("old", "s", "k", ini_.c_str());
  const std::string planted = dir_ / ".shared.ini.gnutil-tmp";
  const struct {
    const char* name;
    bool pipe;
  } cases[] = {{.name = "named pipe", .pipe = true}, {.name = "open file", .pipe = false}};
  for (const auto& c : cases) {
    unlink(planted.c_str());
    int reader = -1;
    if (c.pipe) {
      ASSERT_EQ(mkfifo(planted.c_str(), 0600), 0);
      reader = open(planted.c_str(), O_RDONLY | O_NONBLOCK);
    }
    int planter = open(planted.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK, 0600);
    ASSERT_GE(planter, 0) << c.name;
    EXPECT_EQ(OSSetConfig(c.name, "s", "k", ini_.c_str()), 1);
    const char evil[] = "[s]\nk=planted\n";
    if (write(planter, evil, sizeof evil - 1) < 0) ADD_FAILURE() << c.name;
    close(planter);
    if (reader >= 0) close(reader);
    CGNString v;
    OSGetConfig(v, "", "s", "k", ini_.c_str());
    EXPECT_STREQ(v, c.name);
  }
}

}  // namespace
