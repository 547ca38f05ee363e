// The initialisation-file engine held against the real profile functions:
// random files, every lookup answered the same way by both.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>

#include "genutil/textscan.h"
#include "platform/ini.h"
#include "support/temp_dir.h"

namespace {

using namespace gnutil_test;

std::string RandomIni(std::mt19937& rng) {
  static const char* const kPieces[] = {
      "[",           "]",        " ",       "\t",     "=",       ";",
      "\"",          "'",        "a",       "A",      "b",       "x",
      "1",           "\r\n",     "\n",      "[a]\n",  "[b]\r\n", "a=1\n",
      "b = 2 \n",    "A='q'\n",  "[ a ]\n", "[a]]\n", "[a] x\n", "a=\"1\"\n",
      "a= ' x ' \n", "  ;a=1\n", "b==\n",   "[]\n",   "=z\n",    "\t[b]\t\n"};
  std::string text;
  int n = static_cast<int>(rng() % 40);
  for (int i = 0; i < n; ++i) text += kPieces[rng() % (sizeof kPieces / sizeof kPieces[0])];
  return text;
}

TEST(Win32Profile, LookupsAgreeWithTheSystemsProfileFunctions) {
  std::mt19937 rng(2024);
  const char* const names[] = {"a", "A", "b", "x", "", " a", "a ", "[a"};
  TempDir dir("gnutil-profile");
  for (int file = 0; file < 150; ++file) {
    std::string text = RandomIni(rng);
    std::string path = dir / (std::to_string(file) + ".ini");
    WriteWholeFile(path, text);
    for (const char* section : names) {
      for (const char* key : names) {
        char buffer[1024];
        GetPrivateProfileStringA(section, key, "<default>", buffer, sizeof buffer, path.c_str());
        std::string ours = "<default>";
        gnutil::ini::Find(text, section, key, &ours, gnutil::CharLength);
        EXPECT_EQ(ours, buffer) << "section '" << section << "' key '" << key << "' in:\n" << text;
      }
    }
  }
}

TEST(Win32Profile, WritesReadBackAsTheSystemsWritesDoAndChangeNothingElse) {
  // The system rewrites the whole file in its own layout (and on odd files,
  // such as ones with repeated sections, that changes what other lookups
  // find); we change one line. So the written entry must read the same in
  // both results, and every other lookup must read as before our write.
  std::mt19937 rng(77);
  const char* const names[] = {"a", "A", "b", "x", "", " a"};
  const char* const values[] = {"1", " v ", "'q'", ""};
  TempDir dir("gnutil-write");
  int written = 0;
  for (int file = 0; file < 120; ++file) {
    std::string text = RandomIni(rng);
    const char* section = names[rng() % 6];
    const char* key = names[rng() % 6];
    const char* value = values[rng() % 4];
    std::string ours;
    if (!gnutil::ini::Set(text, section, key, value, &ours, gnutil::CharLength)) continue;
    ++written;
    std::string path = dir / (std::to_string(file) + ".ini");
    WriteWholeFile(path, text);
    WritePrivateProfileStringA(section, key, value, path.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // flush the cache
    std::string theirs = ReadWholeFile(path);
    for (const char* s : names) {
      for (const char* k : names) {
        std::string after = "<default>", expect = "<default>";
        gnutil::ini::Find(ours, s, k, &after, gnutil::CharLength);
        bool target = gnutil::ini::NamesEqual(s, section, gnutil::CharLength) &&
                      gnutil::ini::NamesEqual(k, key, gnutil::CharLength);
        gnutil::ini::Find(target ? theirs : text, s, k, &expect, gnutil::CharLength);
        EXPECT_EQ(after, expect) << "[" << s << "] " << k << " after [" << section << "] " << key
                                 << "=" << value << " on:\n"
                                 << text;
      }
    }
  }
  EXPECT_GT(written, 100);
}

}  // namespace
