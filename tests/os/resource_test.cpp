// Resource libraries, help paths, font character sets and the input method.
//
// The libraries are real: built from tests/os/resources/*.rc into
// ResDLLs/0411/first, ResDLLs/0011/second and ResDLLs/0009/english beside
// this program, which carries program.rc itself. On Linux a test picks the
// user's language through the environment; on Windows the user's language is
// the system's, so a test for another language is skipped (the Windows suite
// runs once as a Japanese and once as an English user).
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "gnutil/osresource.h"
#include "platform/langid.h"
#include "platform/resource.h"
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

// The directory of this program, with its trailing separator.
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

// Creates (and on destruction removes) a help file.
class TempFile {
 public:
  explicit TempFile(std::string path) : path_(std::move(path)) {
    FILE* f = fopen(path_.c_str(), "w");
    EXPECT_NE(f, nullptr) << path_;
    if (f != nullptr) fclose(f);
  }
  ~TempFile() { remove(path_.c_str()); }

 private:
  std::string path_;
};

TEST(FontCharSet, FollowsThePrimaryLanguage) {
  struct Case {
    long lang;
    long charset;
  } cases[] = {
      {0x0402, 204}, {0x0419, 204}, {0x0804, 134}, {0x1004, 134}, {0x0404, 136}, {0x0c04, 136},
      {0x1404, 136}, {0x0405, 238}, {0x040e, 238}, {0x0415, 238}, {0x0418, 238}, {0x041b, 238},
      {0x0424, 238}, {0x0408, 161}, {0x0411, 128}, {0x0012, 129}, {0x0412, 129}, {0x041f, 162},
      {0x0409, 0},   {0x0407, 0},   {0x0000, 0},   {0x0422, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.charset, OSLangIDToFontCharSet(c.lang)) << std::hex << c.lang;
    EXPECT_EQ(c.charset, LangIDToFontCharSet(static_cast<unsigned short>(c.lang)));
  }
  // Only the low 16 bits carry the language.
  EXPECT_EQ(128, OSLangIDToFontCharSet(0x10411));
}

TEST(AttachResDLL, PrefersTheFullLanguageId) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  long h = OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path);
  EXPECT_NE(0, h);
  EXPECT_EQ(ResPath("0411", "first" + kSuffix), static_cast<const char*>(path));
}

TEST(AttachResDLL, FallsBackToThePrimaryLanguage) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  long h = OSAttachLocaleResDLL(0, ("second" + kSuffix).c_str(), path);
  EXPECT_NE(0, h);
  EXPECT_EQ(ResPath("0011", "second" + kSuffix), static_cast<const char*>(path));
  EXPECT_EQ("second: hundred", Load(100));
}

TEST(AttachResDLL, MissingLibraryGivesZeroAndTheLastCandidate) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  EXPECT_EQ(0, OSAttachLocaleResDLL(0, ("missing" + kSuffix).c_str(), path));
  EXPECT_EQ(ResPath("0011", "missing" + kSuffix), static_cast<const char*>(path));
  // The slot stays empty: strings still come from the program.
  EXPECT_EQ("program: hundred", Load(100));
}

TEST(AttachResDLL, EnglishUsersShareThePrimaryDirectory) {
  REQUIRE_USER_LANGUAGE("en_US.UTF-8", 0x0409);
  CGNString path;
  EXPECT_NE(0, OSAttachLocaleResDLL(0, ("english" + kSuffix).c_str(), path));
  EXPECT_EQ(ResPath("0009", "english" + kSuffix), static_cast<const char*>(path));
  EXPECT_EQ("english: hundred", Load(100));
  // A Japanese library is not for this user.
  EXPECT_EQ(0, OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path));
}

TEST(AttachResDLL, WithoutTheTableLeavesLoadingAlone) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  EXPECT_NE(0, AttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path));
  EXPECT_EQ(ResPath("0411", "first" + kSuffix), static_cast<const char*>(path));
  EXPECT_EQ("program: hundred", Load(100));
  EXPECT_EQ("<none>", Load(101));
}

TEST(AttachResDLL, PathsStartAtTheGivenModule) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  long first = AttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path);
  ASSERT_NE(0, first);
  // Beside the library itself, in its own ResDLLs tree.
  EXPECT_EQ(0, AttachLocaleResDLL(first, "nested", path));
  EXPECT_EQ(ResPath("0411", "ResDLLs" + Sep() + "0011" + Sep() + "nested"),
            static_cast<const char*>(path));
}

TEST(AttachResDLL, UnknownModuleGivesRelativePaths) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  EXPECT_EQ(0, AttachLocaleResDLL(0x10, "nothing", path));
  EXPECT_EQ("ResDLLs" + Sep() + "0011" + Sep() + "nothing", static_cast<const char*>(path));
}

TEST(LoadString, ComesFromTheProgramWithAnEmptyTable) {
  EXPECT_EQ("program: hundred", Load(100));
  EXPECT_EQ("only in the program", Load(104));
  EXPECT_EQ("hex id", Load(0x1000));
  EXPECT_EQ("<none>", Load(101));
  EXPECT_EQ("<none>", Load(0));
  EXPECT_EQ("<none>", Load(-1));
  EXPECT_EQ("<none>", Load(0x10000 + 100));  // ids are 16-bit
}

TEST(LoadString, SearchesInAttachmentOrderThenTheProgram) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  ASSERT_NE(0, OSAttachLocaleResDLL(0, ("second" + kSuffix).c_str(), path));
  ASSERT_NE(0, OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path));
  EXPECT_EQ("second: hundred", Load(100));
  EXPECT_EQ("only in first", Load(101));  // the second attached library has it
  EXPECT_EQ("only in second", Load(102));
  EXPECT_EQ("only in the program", Load(104));
  EXPECT_EQ("<none>", Load(999));
}

TEST(LoadString, FindsAStringInTheSecondLibraryWhenTheFirstLacksIt) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  ASSERT_NE(0, OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path));
  ASSERT_NE(0, OSAttachLocaleResDLL(0, ("second" + kSuffix).c_str(), path));
  EXPECT_EQ("only in second", Load(102));
  EXPECT_EQ(0, strncmp("first: ", Load(100).c_str(), 7));
}

TEST(LoadString, TheTableHoldsTenLibraries) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  for (int i = 0; i < 10; ++i)
    ASSERT_NE(0, OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path));
  // The eleventh is loaded but not kept, so the table never reaches the
  // program: its own strings are no longer the last resort.
  ASSERT_NE(0, OSAttachLocaleResDLL(0, ("second" + kSuffix).c_str(), path));
  EXPECT_EQ("only in first", Load(101));
  EXPECT_EQ("<none>", Load(102));
  EXPECT_EQ("<none>", Load(104));
}

TEST(LoadString, EmptyTextsCountAsMissing) { EXPECT_EQ("<none>", Load(206)); }

TEST(LoadString, LongTextsArriveWhole) {
  std::string text = Load(207);
  ASSERT_EQ(3000u, text.size());
  EXPECT_EQ("00abcdefghij", text.substr(0, 12));
  EXPECT_EQ("29abcdefghij", text.substr(2900, 12));
  EXPECT_EQ("abcdefgh", text.substr(2992));
}

// program.rc's texts, as the Windows resource compiler builds them.
TEST(LoadString, SourceTextsReadAlikeOnBothPlatforms) {
  EXPECT_EQ("q\"uote\ttab\nnl\rcr\\bs\"dq", Load(200));
  EXPECT_EQ("AB~!", Load(201));
  EXPECT_EQ("one, two, three", Load(203));
  EXPECT_EQ("keep \\q and \\u0041", Load(204));
  EXPECT_EQ("%s of %d, $1 and $2", Load(205));
}

// Windows hands texts out in the ANSI code page, 932 for a Japanese user.
TEST(LoadString, TextsArriveInTheProcessEncoding) {
#if !defined(_WIN32)
  GNUTIL_USE_LOCALE("ja_JP.sjis");
#endif
  REQUIRE_USER_LANGUAGE("ja_JP.sjis", 0x0411);
  CGNString path;
  ASSERT_NE(0, OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path));
  EXPECT_EQ("first: \x93\xfa\x96\x7b\x8c\xea", Load(100));
  // The smiley has no Shift-JIS form.
  EXPECT_EQ("smile ?.", Load(202));
}

#if !defined(_WIN32)
TEST(LoadString, EucLocaleGetsEucBytes) {
  GNUTIL_USE_LOCALE("ja_JP.eucjp");
  CGNString path;
  ASSERT_NE(0, OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path));
  EXPECT_EQ("first: \xc6\xfc\xcb\xdc\xb8\xec", Load(100));
}

TEST(LoadString, Utf8LocaleGetsTheTextAsWritten) {
  GNUTIL_USE_LOCALE("ja_JP.UTF-8");
  CGNString path;
  ASSERT_NE(0, OSAttachLocaleResDLL(0, ("first" + kSuffix).c_str(), path));
  EXPECT_EQ("first: 日本語", Load(100));
  EXPECT_EQ("smile \xe2\x98\xba.", Load(202));
}
#endif

TEST(HelpPath, BesideTheProgramWhenNoLanguageHasIt) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  const std::string name = "help_beside.hlp";
  TempFile file(ProgramDir() + name);
  CGNString path;
  EXPECT_EQ(1, OSSetUpHelpPath(0, name.c_str(), path));
  EXPECT_EQ(ProgramDir() + name, static_cast<const char*>(path));
}

TEST(HelpPath, NowhereGivesZeroAndTheLastCandidate) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  CGNString path;
  EXPECT_EQ(0, OSSetUpHelpPath(0, "help_nowhere.hlp", path));
  EXPECT_EQ(ProgramDir() + "help_nowhere.hlp", static_cast<const char*>(path));
}

TEST(HelpPath, TriesLanguageThenPrimaryThenEnglish) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  const std::string name = "help_order.hlp";
  CGNString path;
  TempFile beside(ProgramDir() + name);
  {
    TempFile english(ResPath("0009", name));
    EXPECT_EQ(1, OSSetUpHelpPath(0, name.c_str(), path));
    EXPECT_EQ(ResPath("0009", name), static_cast<const char*>(path));
    TempFile primary(ResPath("0011", name));
    EXPECT_EQ(1, OSSetUpHelpPath(0, name.c_str(), path));
    EXPECT_EQ(ResPath("0011", name), static_cast<const char*>(path));
    TempFile full(ResPath("0411", name));
    EXPECT_EQ(1, OSSetUpHelpPath(0, name.c_str(), path));
    EXPECT_EQ(ResPath("0411", name), static_cast<const char*>(path));
  }
  EXPECT_EQ(1, OSSetUpHelpPath(0, name.c_str(), path));
  EXPECT_EQ(ProgramDir() + name, static_cast<const char*>(path));
}

TEST(InputMethod, NotNeededForAnEnglishUser) {
  REQUIRE_USER_LANGUAGE("en_US.UTF-8", 0x0409);
  EXPECT_EQ(1, OSIMEOpenClose(0x1234, 1));
  EXPECT_EQ(1, OSIMEOpenClose(0, 0));
  EXPECT_EQ(0, OSIMEGetState(0x1234));
}

#if !defined(_WIN32)
TEST(InputMethod, LinuxHasNoManagerToDrive) {
  REQUIRE_USER_LANGUAGE("ja_JP.UTF-8", 0x0411);
  EXPECT_EQ(1, OSIMEOpenClose(0x1234, 1));
  EXPECT_EQ(0, OSIMEGetState(0x1234));
}
#endif

}  // namespace
