// Locale-name rule and locale detection of the code-set module.
#include "gnutil/mbutil.h"

#include <gtest/gtest.h>

#include "genutil/mbutil_internal.h"
#include "support/test_locale.h"

namespace {

using gnutil::CodeSetForLocaleName;

TEST(LocaleNameRule, WindowsNamesGoByPrefix) {
  EXPECT_EQ(CodeSetForLocaleName("Japanese_Japan.932"), CODESET_SJIS);
  EXPECT_EQ(CodeSetForLocaleName("jpn"), CODESET_SJIS);
  EXPECT_EQ(CodeSetForLocaleName("Korean_Korea.949"), CODESET_KSC_5601_87);
  // Windows spells Chinese out, so the two-letter prefix does not match it.
  EXPECT_EQ(CodeSetForLocaleName("Chinese (Traditional)_Taiwan.950"), CODESET_NONE);
  EXPECT_EQ(CodeSetForLocaleName("zh_TW.Big5"), CODESET_BIG5);
  EXPECT_EQ(CodeSetForLocaleName("zh_CN"), CODESET_GB);
  EXPECT_EQ(CodeSetForLocaleName("ZH_tw"), CODESET_BIG5);
  EXPECT_EQ(CodeSetForLocaleName("C"), CODESET_NONE);
  EXPECT_EQ(CodeSetForLocaleName("English_United States.1252"), CODESET_NONE);
  EXPECT_EQ(CodeSetForLocaleName("Czech_Czech Republic.1250"), CODESET_NONE);
  EXPECT_EQ(CodeSetForLocaleName(""), CODESET_NONE);
  EXPECT_EQ(CodeSetForLocaleName(nullptr), CODESET_NONE);
}

TEST(LocaleNameRule, PosixCodesetWinsOverPrefix) {
  EXPECT_EQ(CodeSetForLocaleName("ja_JP.eucjp"), CODESET_EUC_J);
  EXPECT_EQ(CodeSetForLocaleName("ja_JP.EUC-JP"), CODESET_EUC_J);
  EXPECT_EQ(CodeSetForLocaleName("ja_JP.sjis"), CODESET_SJIS);
  EXPECT_EQ(CodeSetForLocaleName("ja_JP.SHIFT_JIS"), CODESET_SJIS);
  EXPECT_EQ(CodeSetForLocaleName("zh_TW.euctw"), CODESET_EUC_TW);
  EXPECT_EQ(CodeSetForLocaleName("ko_KR.euckr"), CODESET_EUC_K);
  EXPECT_EQ(CodeSetForLocaleName("zh_CN.gbk"), CODESET_GB);
  EXPECT_EQ(CodeSetForLocaleName("cs_CZ.iso88592"), CODESET_8859_2);
  EXPECT_EQ(CodeSetForLocaleName("de_DE.iso88591"), CODESET_NONE);
  EXPECT_EQ(CodeSetForLocaleName("de_DE.ISO-8859-1@euro"), CODESET_NONE);
  // UTF-8 has no code set of the table, whatever the language.
  EXPECT_EQ(CodeSetForLocaleName("ja_JP.UTF-8"), CODESET_NONE);
  EXPECT_EQ(CodeSetForLocaleName("zh_TW.utf8"), CODESET_NONE);
  // An unknown encoding falls back to the prefix.
  EXPECT_EQ(CodeSetForLocaleName("ja_JP.mystery"), CODESET_SJIS);
}

struct DetectCase {
  const char* locale;
  int posixCodeset;
  int windowsCodeset;  // from the runtime's name, e.g. Japanese_Japan.932
};

void PrintTo(const DetectCase& c, std::ostream* os) { *os << c.locale; }

class LocaleDetection : public ::testing::TestWithParam<DetectCase> {};

TEST_P(LocaleDetection, InitMbutilFollowsTheUsersLocale) {
  GNUTIL_USE_LOCALE(GetParam().locale);
  int expected = gnutil_test::PosixOrWindows(GetParam().posixCodeset, GetParam().windowsCodeset);
  InitMbutilExt(CODESET_EUC_TW);
  EXPECT_EQ(InitMbutil(), CODESET_EUC_TW);  // the previous code set
  EXPECT_EQ(InitMbutilExt(expected), expected);
}

// Windows names Chinese in full ("Chinese (Traditional)_Taiwan.950"), which
// no "zh" prefix matches, and Korean by its language only ("ko": 87).
INSTANTIATE_TEST_SUITE_P(Locales, LocaleDetection,
                         ::testing::Values(DetectCase{"ja_JP.sjis", CODESET_SJIS, CODESET_SJIS},
                                           DetectCase{"ja_JP.eucjp", CODESET_EUC_J, 0},
                                           DetectCase{"zh_TW.big5", CODESET_BIG5, CODESET_NONE},
                                           DetectCase{"zh_TW.euctw", CODESET_EUC_TW, 0},
                                           DetectCase{"ko_KR.euckr", CODESET_EUC_K, 0},
                                           DetectCase{"zh_CN.gbk", CODESET_GB, CODESET_NONE},
                                           DetectCase{"ja_JP.utf8", CODESET_NONE, 0},
                                           DetectCase{"Korean_Korea.949", 0, CODESET_KSC_5601_87},
                                           DetectCase{"C", CODESET_NONE, CODESET_NONE}));

TEST(LazyInit, FirstUseReplacesAnEarlyExtChoice) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // Choosing a code set before anything initialised is overridden by the
  // locale at the first lazily initialising call.
  InitMbutilExt(CODESET_BIG5);
  EXPECT_EQ(mbmaxcharlen(), 2);
  EXPECT_EQ(mb_mblen("\xB1", 1), 1);  // half-width katakana: Shift-JIS rules
  EXPECT_EQ(InitMbutilExt(CODESET_NONE), CODESET_SJIS);
}

TEST(LazyInit, ExplicitFunctionsNeverInitialise) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  EXPECT_EQ(mblenExt("\x82\xA0", 2, CODESET_SJIS), 2);
  EXPECT_EQ(mbGetCodeSet("SJIS"), CODESET_SJIS);
  // Still uninitialised: the current code set is the initial 0.
  EXPECT_EQ(InitMbutilExt(CODESET_NONE), CODESET_NONE);
}

}  // namespace
