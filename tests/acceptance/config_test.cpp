// The configuration store's promises, through the public API only.
//
// On Linux every test moves the system's initialisation file and the registry
// store into a fresh temporary directory first, so the machine's settings are
// never touched. On Windows (under Wine in CI) the stores cannot be moved:
// the tests use a temporary file and a registry key of their own, which they
// delete values from as they go.
#include <gtest/gtest.h>
#include <stdio.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "gnutil/gnlist.h"
#include "gnutil/osconfig.h"

namespace {

namespace fs = std::filesystem;

class ConfigStore : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // A name of its own per run: on Windows the registry outlives the run.
    const std::string unique =
        std::string(info->name()) + "-" + std::to_string(std::random_device{}()) + "-" +
        std::to_string(std::chrono::system_clock::now().time_since_epoch().count() % 1000000007);
    dir_ = fs::temp_directory_path() / ("gnutil-config-" + unique);
    fs::create_directories(dir_);
    redirected_ = OSSetSystemConfigFile((dir_ / "system.ini").string().c_str()) == 1;
    EXPECT_EQ(OSSetSystemConfigRegRoot((dir_ / "registry").string().c_str()), redirected_ ? 1 : 0);
    ini_ = (dir_ / "app.ini").string();
    reg_ = "SOFTWARE\\gnutil-tests\\" + unique;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void WriteFile(const std::string& text) {
    std::ofstream out(ini_, std::ios::binary);
    out << text;
  }

  fs::path dir_;
  bool redirected_ = false;
  std::string ini_;
  std::string reg_;
};

TEST_F(ConfigStore, MissingFileSectionOrKeyGivesTheDefaultAndOne) {
  CGNString value("previous");
  EXPECT_EQ(OSGetConfig(value, "fallback", "Main", "Width", ini_.c_str()), 1);
  EXPECT_STREQ(value, "fallback");
  long number = 7;
  EXPECT_EQ(OSGetConfig(number, -15, "Main", "Width", ini_.c_str()), 1);
  EXPECT_EQ(number, -15);

  WriteFile("[Main]\nHeight=3\n");
  EXPECT_EQ(OSGetConfig(value, "d", "Main", "Width", ini_.c_str()), 1);
  EXPECT_STREQ(value, "d");
  EXPECT_EQ(OSGetConfig(value, "d", "Other", "Height", ini_.c_str()), 1);
  EXPECT_STREQ(value, "d");
  EXPECT_EQ(OSGetConfig(value, "d", "main", "HEIGHT", ini_.c_str()), 1);
  EXPECT_STREQ(value, "3");
}

TEST_F(ConfigStore, NumbersReadBackAsAtoiReadsThem) {
  WriteFile("[n]\nmixed=12abc\nword=abc\nsigned= -42\nplus=+7\n");
  long v = 99;
  EXPECT_EQ(OSGetConfig(v, 5, "n", "mixed", ini_.c_str()), 1);
  EXPECT_EQ(v, 12);
  EXPECT_EQ(OSGetConfig(v, 5, "n", "word", ini_.c_str()), 1);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(OSGetConfig(v, 5, "n", "signed", ini_.c_str()), 1);
  EXPECT_EQ(v, -42);
  EXPECT_EQ(OSGetConfig(v, 5, "n", "plus", ini_.c_str()), 1);
  EXPECT_EQ(v, 7);

  const int big = -2147483647 - 1;
  EXPECT_EQ(OSSetConfig(big, "n", "big", ini_.c_str()), 1);
  CGNString text;
  OSGetConfig(text, "", "n", "big", ini_.c_str());
  EXPECT_STREQ(text, "-2147483648");
  EXPECT_EQ(OSGetConfig(v, 0, "n", "big", ini_.c_str()), 1);
  EXPECT_EQ(v, big);
}

TEST_F(ConfigStore, LongValuesComeBackCutTo1023Bytes) {
  std::string longValue(1500, 'x');
  for (size_t i = 0; i < longValue.size(); ++i) longValue[i] = static_cast<char>('a' + i % 26);
  EXPECT_EQ(OSSetConfig(longValue.c_str(), "s", "long", ini_.c_str()), 1);
  CGNString value;
  EXPECT_EQ(OSGetConfig(value, "", "s", "long", ini_.c_str()), 1);
  EXPECT_EQ(value.GetLength(), 1023u);
  EXPECT_EQ(std::string(static_cast<const char*>(value)), longValue.substr(0, 1023));
}

TEST_F(ConfigStore, WritesKeepTheRestOfTheFile) {
  WriteFile("; comment\r\n[A]\r\nx = 1\r\ny=2\r\n\r\n[B]\r\nz=3");
  EXPECT_EQ(OSSetConfig("10", "a", "X", ini_.c_str()), 1);
  EXPECT_EQ(OSSetConfig(4, "b", "w", ini_.c_str()), 1);
  EXPECT_EQ(OSSetConfig("new", "C", "k", ini_.c_str()), 1);
  CGNString v;
  OSGetConfig(v, "", "A", "x", ini_.c_str());
  EXPECT_STREQ(v, "10");
  OSGetConfig(v, "", "A", "y", ini_.c_str());
  EXPECT_STREQ(v, "2");
  OSGetConfig(v, "", "B", "z", ini_.c_str());
  EXPECT_STREQ(v, "3");
  OSGetConfig(v, "", "B", "w", ini_.c_str());
  EXPECT_STREQ(v, "4");
  OSGetConfig(v, "", "c", "K", ini_.c_str());
  EXPECT_STREQ(v, "new");
  std::ifstream in(ini_, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all.rfind("; comment\r\n[A]\r\n", 0), 0u) << all;
}

TEST_F(ConfigStore, QuotesAndBlanksAroundValuesAreDropped) {
  WriteFile("[q]\n  key  =  \"  padded  \"  \nsingle='s'\n");
  CGNString v;
  OSGetConfig(v, "", "Q", "KEY", ini_.c_str());
  EXPECT_STREQ(v, "  padded  ");
  OSGetConfig(v, "", "q", "single", ini_.c_str());
  EXPECT_STREQ(v, "s");
}

TEST_F(ConfigStore, SystemInitialisationFileRoundTrip) {
  CGNString v("x");
  EXPECT_EQ(OSGetSystemConfig(v, "none", "gnutil-tests", "Missing"), 1);
  EXPECT_STREQ(v, "none");
  EXPECT_EQ(OSSetSystemConfig("hello", "gnutil-tests", "Greeting"), 1);
  EXPECT_EQ(OSGetSystemConfig(v, "none", "GNUTIL-TESTS", "greeting"), 1);
  EXPECT_STREQ(v, "hello");
  if (redirected_) {
    EXPECT_TRUE(fs::exists(dir_ / "system.ini"));
    // A bare file name lives beside the system's file.
    EXPECT_EQ(OSSetConfig("b", "s", "k", "bare.ini"), 1);
    EXPECT_TRUE(fs::exists(dir_ / "bare.ini"));
  }
}

TEST_F(ConfigStore, RegistryMissingPathOrValueGivesTheDefaultAndZero) {
  CGNString v("previous");
  EXPECT_EQ(OSGetSystemConfigReg(v, "def", "Sub", "Name", reg_.c_str()), 0);
  EXPECT_STREQ(v, "def");
  long n = 1;
  EXPECT_EQ(OSGetSystemConfigReg(n, 33, "Sub", "Name", reg_.c_str()), 0);
  EXPECT_EQ(n, 33);

  ASSERT_EQ(OSSetSystemConfigReg("1", "Sub", "Other", reg_.c_str()), 1);
  EXPECT_EQ(OSGetSystemConfigReg(v, "def", "Sub", "Name", reg_.c_str()), 0);
  EXPECT_STREQ(v, "def");
  EXPECT_EQ(OSDelSystemConfigReg("Sub", "Other", reg_.c_str()), 1);
}

TEST_F(ConfigStore, RegistryRoundTripNumbersAndPaths) {
  EXPECT_EQ(OSSetSystemConfigReg("Text with \"quotes\" \\ and\nnewline", "Deep\\Er", "Text",
                                 reg_.c_str()),
            1);
  CGNString v;
  EXPECT_EQ(OSGetSystemConfigReg(v, "", "deep\\er", "TEXT", reg_.c_str()), 1);
  EXPECT_STREQ(v, "Text with \"quotes\" \\ and\nnewline");
  // The path is "file\section": the same value is reached with the section
  // folded into the file argument and an empty section.
  EXPECT_EQ(OSGetSystemConfigReg(v, "", "", "Text", (reg_ + "\\Deep\\Er").c_str()), 1);
  EXPECT_STREQ(v, "Text with \"quotes\" \\ and\nnewline");

  int answer = 42;
  EXPECT_EQ(OSSetSystemConfigReg(answer, "Deep", "Answer", reg_.c_str()), 1);
  EXPECT_EQ(OSGetSystemConfigReg(v, "", "Deep", "Answer", reg_.c_str()), 1);
  EXPECT_STREQ(v, "42");
  long n = 0;
  EXPECT_EQ(OSGetSystemConfigReg(n, 0, "Deep", "Answer", reg_.c_str()), 1);
  EXPECT_EQ(n, 42);
  EXPECT_EQ(OSSetSystemConfigReg("12abc", "Deep", "Mixed", reg_.c_str()), 1);
  EXPECT_EQ(OSGetSystemConfigReg(n, 0, "Deep", "Mixed", reg_.c_str()), 1);
  EXPECT_EQ(n, 12);

  for (const char* name : {"Text", "Answer", "Mixed"}) {
    OSDelSystemConfigReg("Deep\\Er", name, reg_.c_str());
    OSDelSystemConfigReg("Deep", name, reg_.c_str());
  }
}

TEST_F(ConfigStore, RegistryDataTooLongForTheBufferIsNotRead) {
  std::string fits(1023, 'f'), over(1024, 'o');
  ASSERT_EQ(OSSetSystemConfigReg(fits.c_str(), "Big", "Fits", reg_.c_str()), 1);
  ASSERT_EQ(OSSetSystemConfigReg(over.c_str(), "Big", "Over", reg_.c_str()), 1);
  CGNString v;
  EXPECT_EQ(OSGetSystemConfigReg(v, "", "Big", "Fits", reg_.c_str()), 1);
  EXPECT_EQ(v.GetLength(), 1023u);
  EXPECT_EQ(OSGetSystemConfigReg(v, "def", "Big", "Over", reg_.c_str()), 0);
  EXPECT_STREQ(v, "def");
  OSDelSystemConfigReg("Big", "Fits", reg_.c_str());
  OSDelSystemConfigReg("Big", "Over", reg_.c_str());
}

TEST_F(ConfigStore, RegistryDeleteMissingValueIsZeroAndKeepsTheKey) {
  ASSERT_EQ(OSSetSystemConfigReg("v", "Del", "Present", reg_.c_str()), 1);
  EXPECT_EQ(OSDelSystemConfigReg("Del", "Absent", reg_.c_str()), 0);
  EXPECT_EQ(OSDelSystemConfigReg("Del", "Present", reg_.c_str()), 1);
  EXPECT_EQ(OSDelSystemConfigReg("Del", "Present", reg_.c_str()), 0);
  CGNString v;
  EXPECT_EQ(OSGetSystemConfigReg(v, "gone", "Del", "Present", reg_.c_str()), 0);
  EXPECT_STREQ(v, "gone");
  // The key is still there: a value can be stored in it again.
  EXPECT_EQ(OSSetSystemConfigReg("again", "Del", "Present", reg_.c_str()), 1);
  EXPECT_EQ(OSDelSystemConfigReg("Del", "Present", reg_.c_str()), 1);
  EXPECT_EQ(OSDelSystemConfigReg("NoSuchKey", "Present", reg_.c_str()), 0);
}

TEST_F(ConfigStore, KeyPathsLongerThanTheBuffersAreRefused) {
  std::string longFile = reg_ + "\\" + std::string(1020 - reg_.size(), 'p');  // 1021 bytes
  CGNString v;
  // "file\section" of 1021 + 1 + 1 = 1023 bytes still fits the 1024-byte buffer.
  EXPECT_EQ(OSGetSystemConfigReg(v, "d", "s", "k", longFile.c_str()), 0);
  EXPECT_EQ(OSSetSystemConfigReg("x", "ss", "k", longFile.c_str()), 0);  // 1024 bytes
  EXPECT_EQ(OSGetSystemConfigReg(v, "d", "ss", "k", longFile.c_str()), 0);
  EXPECT_STREQ(v, "d");
  long n = 0;
  EXPECT_EQ(OSGetSystemConfigReg(n, 3, "ss", "k", longFile.c_str()), 0);
  EXPECT_EQ(n, 3);
  std::string deleteFile = reg_ + "\\" + std::string(250 - reg_.size(), 'q');  // 251 bytes
  ASSERT_EQ(OSSetSystemConfigReg("x", "abc", "k", deleteFile.c_str()), 1);     // 255 bytes
  ASSERT_EQ(OSSetSystemConfigReg("x", "abcd", "k", deleteFile.c_str()), 1);    // 256 bytes
  EXPECT_EQ(OSDelSystemConfigReg("abcd", "k", deleteFile.c_str()), 0);
  EXPECT_EQ(OSDelSystemConfigReg("abc", "k", deleteFile.c_str()), 1);
  EXPECT_EQ(OSGetSystemConfigReg(v, "", "abcd", "k", deleteFile.c_str()), 1);
  EXPECT_STREQ(v, "x");
}

TEST_F(ConfigStore, RegistryListingAppendsParallelListsInAStableOrder) {
  CGNStringList names, values;
  names.AddItem(CGNString("kept"));
  EXPECT_EQ(OSGetSystemConfigReg("List", names, values, reg_.c_str()), 0);  // no such key
  EXPECT_EQ(names.GetCount(), 1);
  EXPECT_EQ(values.GetCount(), 0);
  names.Free();

  ASSERT_EQ(OSSetSystemConfigReg("1", "List", "alpha", reg_.c_str()), 1);
  ASSERT_EQ(OSDelSystemConfigReg("List", "alpha", reg_.c_str()), 1);
  // A key without values lists nothing and reports 1.
  EXPECT_EQ(OSGetSystemConfigReg("List", names, values, reg_.c_str()), 1);
  EXPECT_EQ(names.GetCount(), 0);
  EXPECT_EQ(values.GetCount(), 0);

  ASSERT_EQ(OSSetSystemConfigReg("first", "List", "alpha", reg_.c_str()), 1);
  ASSERT_EQ(OSSetSystemConfigReg("second", "List", "beta", reg_.c_str()), 1);
  ASSERT_EQ(OSSetSystemConfigReg("", "List", "gamma", reg_.c_str()), 1);
  ASSERT_EQ(OSSetSystemConfigReg("FIRST", "List", "Alpha", reg_.c_str()), 1);  // same value
  EXPECT_EQ(OSGetSystemConfigReg("List", names, values, reg_.c_str()), 1);
  EXPECT_EQ(OSGetSystemConfigReg("", names, values, (reg_ + "\\List").c_str()), 1);
  ASSERT_EQ(names.GetCount(), 6);
  ASSERT_EQ(values.GetCount(), 6);
  const char* expectNames[] = {"alpha", "beta", "gamma"};
  const char* expectValues[] = {"FIRST", "second", ""};
  for (int i = 0; i < 6; ++i) {
    EXPECT_STREQ(*names.GetItem(i), expectNames[i % 3]) << i;
    EXPECT_STREQ(*values.GetItem(i), expectValues[i % 3]) << i;
  }
  for (const char* name : expectNames) OSDelSystemConfigReg("List", name, reg_.c_str());
}

}  // namespace
