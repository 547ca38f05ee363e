// The configuration store through the public API. On Linux each test moves
// the system's file and the registry store into a temporary directory; on
// Windows (under Wine in CI) the tests use a file and a key of their own.
#include <gtest/gtest.h>

#include <string>

#include "gnutil/gnlist.h"
#include "gnutil/osconfig.h"
#include "support/temp_dir.h"

namespace {

using namespace gnutil_test;

class ConfigStore : public ::testing::Test {
 protected:
  void SetUp() override {
    redirected_ = OSSetSystemConfigFile((dir_ / "system.ini").c_str()) == 1;
    EXPECT_EQ(OSSetSystemConfigRegRoot((dir_ / "registry").c_str()), redirected_ ? 1 : 0);
  }
  std::string Get(const char* section, const char* key, const char* def = "<none>") {
    CGNString v("previous");
    EXPECT_EQ(OSGetConfig(v, def, section, key, ini_.c_str()), 1);
    return static_cast<const char*>(v);
  }
  std::string GetReg(const char* section, const char* key) {
    CGNString v("previous");
    int found = OSGetSystemConfigReg(v, "<none>", section, key, reg_.c_str());
    EXPECT_EQ(found == 1, std::string(v) != "<none>") << section << " " << key;
    return static_cast<const char*>(v);
  }
  int SetReg(const std::string& value, const char* section, const char* key) {
    return OSSetSystemConfigReg(value.c_str(), section, key, reg_.c_str());
  }

  gnutil_test::TempDir dir_{"gnutil-config"};
  bool redirected_ = false;
  std::string ini_ = dir_ / "app.ini";
  // A key of its own per run: on Windows the registry outlives the run.
  std::string reg_ = "SOFTWARE\\gnutil-tests\\" + dir_.path().filename().string();
};

// How a value's text is found is the engine's (formats_test.cpp); here: the
// default, which loses its trailing blanks, and numbers read as atoi does.
TEST_F(ConfigStore, ReadsTextsAndNumbersOrTheDefaultWithOne) {
  WriteFile(ini_, "[Main]\nHeight=3\n[n]\nmixed=12abc\nword=abc\nsigned= -42\nplus=+7\n");
  const struct {
    const char *section, *key, *def, *text;
    long number;
  } cases[] = {
      {"Main", "Width", "d", "d", 5},
      {"main", "HEIGHT", "d", "3", 3},
      {"Main", "none", "blanks  ", "blanks", 5},
      {"n", "mixed", "", "12abc", 12},
      {"n", "word", "", "abc", 0},
      {"n", "signed", "", "-42", -42},
      {"n", "plus", "", "+7", 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Get(c.section, c.key, c.def), c.text) << c.section << " " << c.key;
    long n = 99;
    EXPECT_EQ(OSGetConfig(n, 5, c.section, c.key, ini_.c_str()), 1);
    EXPECT_EQ(n, c.number) << c.section << " " << c.key;
  }
}

TEST_F(ConfigStore, WritesKeepTheRestOfTheFileAndLongValuesComeBackCut) {
  WriteFile(ini_, "; comment\r\n[A]\r\nx = 1\r\ny=2\r\n");
  EXPECT_EQ(OSSetConfig("10", "a", "X", ini_.c_str()), 1);
  EXPECT_EQ(OSSetConfig(-2147483647 - 1, "n", "big", ini_.c_str()), 1);
  EXPECT_EQ(OSSetConfig(std::string(1500, 'x').c_str(), "s", "long", ini_.c_str()), 1);
  EXPECT_EQ(Get("A", "x"), "10");
  EXPECT_EQ(Get("n", "big"), "-2147483648");
  EXPECT_EQ(Get("s", "long"), std::string(1023, 'x'));
  long v = 0;
  EXPECT_EQ(OSGetConfig(v, 0, "n", "big", ini_.c_str()), 1);
  EXPECT_EQ(v, -2147483647 - 1);
  EXPECT_EQ(ReadWholeFile(ini_).rfind("; comment\r\n[A]\r\n", 0), 0u) << ReadWholeFile(ini_);
}

TEST_F(ConfigStore, SystemInitialisationFileRoundTrip) {
  CGNString v("x");
  EXPECT_EQ(OSSetSystemConfig("hello", "gnutil-tests", "Greeting"), 1);
  EXPECT_EQ(OSGetSystemConfig(v, "none", "GNUTIL-TESTS", "greeting"), 1);
  EXPECT_STREQ(v, "hello");
  if (redirected_) {
    // A bare file name lives beside the system's file.
    EXPECT_EQ(OSSetConfig("b", "s", "k", "bare.ini"), 1);
    EXPECT_TRUE(Exists(dir_ / "bare.ini"));
  }
}

TEST_F(ConfigStore, RegistryRoundTripsTextsNumbersAndPathsAndDeletes) {
  const std::string text = "Text with \"quotes\" \\ and\nnewline";
  ASSERT_EQ(SetReg(text, "Deep\\Er", "Text"), 1);
  int answer = 42;
  ASSERT_EQ(OSSetSystemConfigReg(answer, "Deep", "Answer", reg_.c_str()), 1);
  ASSERT_EQ(SetReg(std::string(1023, 'f'), "Deep", "Fits"), 1);
  ASSERT_EQ(SetReg(std::string(1024, 'o'), "Deep", "Over"), 1);
  const struct {
    const char *section, *key;
    std::string text;
    long number;
  } cases[] = {
      {"deep\\er", "TEXT", text, 0},
      {"Deep", "Answer", "42", 42},
      {"Deep", "Fits", std::string(1023, 'f'), 0},
      {"Deep", "Over", "<none>", 5},  // too long for the buffer: not read
      {"Deep", "Name", "<none>", 5},
      {"Nowhere", "Name", "<none>", 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetReg(c.section, c.key), c.text) << c.key;
    long number = 0;
    OSGetSystemConfigReg(number, 5, c.section, c.key, reg_.c_str());
    EXPECT_EQ(number, c.number) << c.key;
  }
  EXPECT_EQ(OSDelSystemConfigReg("Deep", "Answer", reg_.c_str()), 1);
  // Deleting a missing value, or from a missing key, gives zero.
  EXPECT_EQ(OSDelSystemConfigReg("Deep", "Answer", reg_.c_str()), 0);
  EXPECT_EQ(GetReg("Deep", "Answer"), "<none>");
  EXPECT_EQ(OSDelSystemConfigReg("NoSuchKey", "Answer", reg_.c_str()), 0);
}

TEST_F(ConfigStore, RegistryListingAppendsParallelListsInAStableOrder) {
  CGNStringList names, values;
  EXPECT_EQ(OSGetSystemConfigReg("List", names, values, reg_.c_str()), 0);  // no such key
  ASSERT_EQ(SetReg("first", "List", "alpha"), 1);
  ASSERT_EQ(SetReg("second", "List", "beta"), 1);
  ASSERT_EQ(SetReg("", "List", "gamma"), 1);
  ASSERT_EQ(SetReg("FIRST", "List", "Alpha"), 1);  // the same value: keeps place and name
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
