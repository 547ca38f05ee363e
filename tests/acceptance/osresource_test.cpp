// The promises of the resource functions through the public API: the font
// character sets, the input method for a user who needs none, and the
// library's own English texts, attached the way a program attaches them from
// ResDLLs/0009 beside itself.
#include "gnutil/osresource.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#if defined(_WIN32)
#include <windows.h>
#endif

#include <string>

namespace {

// English is the user's language: chosen on Linux, the user's own on Windows.
bool EnglishUser() {
#if defined(_WIN32)
  return (GetUserDefaultLangID() & 0x3ff) == 9;
#else
  setenv("LC_ALL", "en_US.UTF-8", 1);
  return true;
#endif
}

TEST(FontCharSet, TheDocumentedExamples) {
  EXPECT_EQ(134, OSLangIDToFontCharSet(0x0804));
  EXPECT_EQ(136, OSLangIDToFontCharSet(0x0404));
  EXPECT_EQ(128, OSLangIDToFontCharSet(0x0411));
  EXPECT_EQ(0, OSLangIDToFontCharSet(0x0409));
  EXPECT_EQ(129, LangIDToFontCharSet(0x0412));
  EXPECT_EQ(204, LangIDToFontCharSet(0x0419));
  EXPECT_EQ(238, LangIDToFontCharSet(0x0415));
  EXPECT_EQ(161, LangIDToFontCharSet(0x0408));
  EXPECT_EQ(162, LangIDToFontCharSet(0x041f));
}

TEST(LibraryTexts, AttachedFromTheEnglishDirectory) {
  if (!EnglishUser()) GTEST_SKIP() << "not an English user";
  CGNString path;
  ASSERT_NE(0, OSAttachLocaleResDLL(0, "gnutilres" GNUTIL_RESLIB_SUFFIX, path)) << path;
  const std::string p(path);
  EXPECT_NE(std::string::npos, p.find("ResDLLs")) << p;
  EXPECT_NE(std::string::npos, p.find("0009")) << p;

  CGNString text;
  EXPECT_GT(OSLoadString(text, 25221), 0);
  EXPECT_STREQ("Unknown DDE transaction type.", text);
  // Every message the DDE and automation clients use has a text.
  for (long id : {25200L, 25201L, 25202L, 25203L, 25204L, 25205L, 25206L, 25207L, 25210L, 25211L,
                  25215L, 25222L, 25223L, 25224L, 25225L}) {
    CGNString t;
    EXPECT_GT(OSLoadString(t, id), 0) << id;
  }
  // The DDE messages take their values through sprintf.
  CGNString format, message;
  OSLoadString(format, 25225);
  message.sprintf(format, 0x4009u);
  EXPECT_STREQ("The DDE conversation could not be ended (error 0x4009).", message);
}

TEST(InputMethod, EnglishUserNeedsNone) {
  if (!EnglishUser()) GTEST_SKIP() << "not an English user";
  EXPECT_EQ(1, OSIMEOpenClose(0, 1));
  EXPECT_EQ(0, OSIMEGetState(0));
}

}  // namespace
