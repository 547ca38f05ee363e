// Resource libraries and their texts.
// The libraries are built from tests/os/resources/*.rc into ResDLLs/0411/first,
// ResDLLs/0011/second and ResDLLs/0009/english beside this program, which
// carries program.rc itself. On Linux a test picks the user's language through
// the environment; on Windows a test for another user's language is skipped.
#include "platform/resource.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "gnutil/mbutil.h"
#include "gnutil/osole.h"
#include "gnutil/osresource.h"
#include "platform/langid.h"
#include "platform/path.h"
#include "support/library_texts.h"
#include "support/test_locale.h"

namespace {

const std::string kSuffix = GNUTIL_RESLIB_SUFFIX;

bool UserLanguageIs(const char* posixLocale, unsigned short langId) {
#if !defined(_WIN32)
  setenv("LC_ALL", posixLocale, 1);
#else
  (void)posixLocale;
#endif
  return gnutil::platform::UserDefaultLangID() == langId;
}

#define REQUIRE_USER_LANGUAGE(locale, id)                                         \
  do {                                                                            \
    if (!UserLanguageIs(locale, id)) GTEST_SKIP() << "user language is not " #id; \
  } while (0)

std::string Sep() { return std::string(1, gnutil::platform::PathSeparator()); }

// The directory of this program, with its final separator.
std::string ProgramDir() {
  std::string name = gnutil::platform::ModuleFileName(0);
  return name.substr(0, name.find_last_of(gnutil::platform::PathSeparator()) + 1);
}

std::string ResPath(const char* lang, const std::string& file) {
  return ProgramDir() + "ResDLLs" + Sep() + lang + Sep() + file;
}

std::string Load(long id) {
  CGNString text("unchanged");
  int n = OSLoadString(text, id);
  if (n == 0) {
    EXPECT_STREQ("unchanged", static_cast<const char*>(text));
    return "<none>";
  }
  EXPECT_EQ(static_cast<unsigned>(n), text.GetLength());
  return static_cast<const char*>(text);
}

// One attachment after another, as a Japanese user: the full language id
// first, then the primary one; the table-less form leaves loading alone;
// strings are searched in attachment order, then in the program.
TEST(AttachResDLL, PathsAndTheSearchOrder) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  long first = AttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path);
  EXPECT_NE(0, first);
  EXPECT_EQ(ResPath("0411", "first" + kSuffix), static_cast<const char*>(path));
  EXPECT_EQ("program: hundred", Load(100));
  EXPECT_EQ("<none>", Load(101));
  // Beside the given module, in its own ResDLLs tree; relative for an unknown one.
  EXPECT_EQ(0, AttachLocaleResDLL(first, "nested", path));
  EXPECT_EQ(ResPath("0411", "ResDLLs" + Sep() + "0011" + Sep() + "nested"),
            static_cast<const char*>(path));
  EXPECT_EQ(0, AttachLocaleResDLL(0x10, "nothing", path));
  EXPECT_EQ("ResDLLs" + Sep() + "0011" + Sep() + "nothing", static_cast<const char*>(path));
  // A missing library gives zero and the last candidate; the slot stays empty.
  EXPECT_EQ(0, OSAttachLocaleResDLL(0, ("missing" + kSuffix).c_str(), path));
  EXPECT_EQ(ResPath("0011", "missing" + kSuffix), static_cast<const char*>(path));
  EXPECT_EQ("program: hundred", Load(100));
  ASSERT_NE(0, OSAttachLocaleResDLL(0, ("second" + kSuffix).c_str(), path));
  EXPECT_EQ(ResPath("0011", "second" + kSuffix), static_cast<const char*>(path));
  ASSERT_NE(0, OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path));
  const std::pair<long, const char*> loads[] = {{100, "second: hundred"},
                                                {101, "only in first"},
                                                {102, "only in second"},
                                                {104, "only in the program"},
                                                {999, "<none>"}};
  for (const auto& l : loads) EXPECT_EQ(l.second, Load(l.first)) << l.first;
}

TEST(AttachResDLL, EnglishUsersShareThePrimaryDirectory) {
  REQUIRE_USER_LANGUAGE("en_US.UTF-8", 0x0409);
  CGNString path;
  EXPECT_NE(0, OSAttachLocaleResDLL(0, ("english" + kSuffix).c_str(), path));
  EXPECT_EQ(ResPath("0009", "english" + kSuffix), static_cast<const char*>(path));
  EXPECT_EQ("english: hundred", Load(100));
  EXPECT_EQ(0, OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path)) << "not for this user";
}

// The library's own messages come from its resource library; the DDE ones
// take their values through sprintf.
TEST(LoadString, TheLibrarysOwnMessages) {
  ASSERT_TRUE(gnutil_test::AttachLibraryTexts());
  CGNString message;
  message.sprintf(CGNString(Load(25225).c_str()), 0x4009u);
  EXPECT_STREQ("The DDE conversation could not be ended (error 0x4009).", message);
  COSOLEAutomation automation;
  automation.GetTitle(message);
  EXPECT_STREQ("Automation", message);
}

// program.rc's texts come out alike from the Windows resource compiler and
// from the Linux table generator; ids are 16-bit, empty texts count as none.
TEST(LoadString, TheProgramsOwnTexts) {
  const std::pair<long, std::string> cases[] = {
      {100, "program: hundred"},
      {104, "only in the program"},
      {0x1000, "hex id"},
      {-1, "<none>"},
      {0x10064, "<none>"},
      {206, "<none>"},
      {200, "q\"uote\ttab\nnl\rcr\\bs\"dq"},
      {201, "AB~!"},
      {203, "one, two, three"},
      {204, "keep \\q and \\u0041"},
      {205, "%s of %d, $1 and $2"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.second, Load(c.first)) << c.first;
  const std::string longText = Load(207);  // longer than LoadStringA's first buffer
  EXPECT_EQ(2100u, longText.size());
  EXPECT_EQ("20abcdefghij", longText.substr(2000, 12));
}

// Texts arrive in the process's encoding: Windows hands them out in the ANSI
// code page, 932 for a Japanese user; the smiley has no Shift-JIS form.
TEST(LoadString, TextsArriveInTheProcessEncoding) {
  const struct {
    const char *locale, *first, *smile;
  } cases[] = {
      {"ja_JP.sjis", "first: \x93\xfa\x96\x7b\x8c\xea", "smile ?."},
      {"ja_JP.UTF-8", "first: 日本語", "smile \xe2\x98\xba."},
  };
  for (const auto& c : cases) {
    if (gnutil_test::kWindows && &c != &cases[0]) break;
#if !defined(_WIN32)
    GNUTIL_USE_LOCALE(c.locale);
#endif
    REQUIRE_USER_LANGUAGE(c.locale, 0x0411);
    CGNString path;
    ASSERT_NE(0, OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path));
    EXPECT_EQ(c.first, Load(100)) << c.locale;
    EXPECT_EQ(c.smile, Load(202)) << c.locale;
  }
}

// The string class's resource form over a text the program does not have.
std::string Load(const char* loaded, std::vector<const char*> a) {
  a.resize(10, nullptr);
  CGNString s(loaded);  // no string 999 in this program: the text stays as loaded
  s.LoadStringResource(999, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
  return std::string(s, s.GetLength());
}

TEST(LoadString, Placeholders) {
  EXPECT_EQ(Load("$1 of $2", {}), "$1 of $2");
  // $01 is 1; $3 has no argument; $100 is text; an empty argument writes nothing.
  EXPECT_EQ(Load("$01|$1|$3|$2$100|$|$x|$", {"a", "b"}), "a|a||b$100|$|$x|$");
  EXPECT_EQ(Load("$01|$1|$3|$2$100|$|$x|$", {"a", "", "c"}), "a|a|c|$100|$|$x|$");
  EXPECT_EQ(Load("$10 $1 $9", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "ten"}), "ten 1 9");
  EXPECT_EQ(Load("$10 $1 $9", {"1", nullptr, "3", "4", "5", "6", "7", "8", "9", "ten"}), " 1 ");
  const std::string big(3000, 'y');  // at most 1999 bytes
  EXPECT_EQ(Load("$1 of $2", {big.c_str(), "7"}), big.substr(0, 1999));
  EXPECT_EQ(Load("$1 of $2", {big.c_str() + 1004, "7"}), big.substr(1004) + " of");
}

TEST(LoadString, PlaceholdersKeepWholeCharacters) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  InitMbutil();
  std::string big;
  for (int i = 0; i < 1500; ++i) big += "\x95\x5c";
  EXPECT_EQ(Load("x$1", {big.c_str()}).size(), 1999u);  // x and 999 characters
  EXPECT_EQ(Load("$1", {big.c_str()}).size(), 1998u);   // 1999 would split one
}

}  // namespace
