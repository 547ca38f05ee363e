// The POSIX stand-in for the Windows ANSI code page.
#include "platform/posix/locale.h"

#include <gtest/gtest.h>

#include "gnutil/mbutil.h"
#include "platform/locale.h"
#include "support/test_locale.h"

namespace {

using gnutil::platform::CodePageForCodeset;

TEST(PosixCodePage, CodesetNamesMapToCodePages) {
  EXPECT_EQ(CodePageForCodeset("SHIFT_JIS"), 932u);
  EXPECT_EQ(CodePageForCodeset("BIG5"), 950u);
  EXPECT_EQ(CodePageForCodeset("GB2312"), 936u);
  EXPECT_EQ(CodePageForCodeset("GBK"), 936u);
  EXPECT_EQ(CodePageForCodeset("GB18030"), 936u);
  EXPECT_EQ(CodePageForCodeset("EUC-KR"), 949u);
  EXPECT_EQ(CodePageForCodeset("CP1251"), 1251u);
  EXPECT_EQ(CodePageForCodeset("CP1258"), 1258u);
  EXPECT_EQ(CodePageForCodeset("CP1259"), 1252u);
  EXPECT_EQ(CodePageForCodeset("EUC-JP"), 1252u);
  EXPECT_EQ(CodePageForCodeset("UTF-8"), 1252u);
  EXPECT_EQ(CodePageForCodeset("ANSI_X3.4-1968"), 1252u);
  EXPECT_EQ(CodePageForCodeset(nullptr), 1252u);
}

struct PageCase {
  const char* locale;
  int codeset;
};

void PrintTo(const PageCase& c, std::ostream* os) { *os << c.locale; }

class LocaleCodeSet : public ::testing::TestWithParam<PageCase> {};

TEST_P(LocaleCodeSet, FollowsTheProcessLocale) {
  GNUTIL_USE_LOCALE(GetParam().locale);
  EXPECT_EQ(mbGetLocaleCodeSet(), GetParam().codeset);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleCodeSet,
    ::testing::Values(PageCase{"ja_JP.sjis", CODESET_SJIS}, PageCase{"zh_TW.big5", CODESET_BIG5},
                      PageCase{"zh_CN.gbk", CODESET_GB}, PageCase{"zh_CN.gb2312", CODESET_GB},
                      PageCase{"ko_KR.euckr", CODESET_KSC_5601_92},
                      PageCase{"ja_JP.eucjp", CODESET_NONE}, PageCase{"en_US.utf8", CODESET_NONE},
                      PageCase{"C", CODESET_NONE}));

}  // namespace
