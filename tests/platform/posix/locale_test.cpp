// The POSIX stand-in for the Windows ANSI code page.
#include "platform/posix/locale.h"

#include <gtest/gtest.h>

#include "gnutil/mbutil.h"
#include "platform/locale.h"
#include "support/test_locale.h"

namespace {

using gnutil::platform::CodePageForCodeset;

TEST(PosixCodePage, CodesetNamesMapToCodePages) {
  const struct {
    const char* codeset;
    unsigned page;
  } cases[] = {{"SHIFT_JIS", 932}, {"BIG5", 950},    {"GB2312", 936},  {"GBK", 936},
               {"GB18030", 936},   {"EUC-KR", 949},  {"CP1251", 1251}, {"CP1258", 1258},
               {"CP1259", 1252},   {"EUC-JP", 1252}, {"UTF-8", 1252},  {"ANSI_X3.4-1968", 1252}};
  for (const auto& c : cases) EXPECT_EQ(c.page, CodePageForCodeset(c.codeset)) << c.codeset;
  EXPECT_EQ(1252u, CodePageForCodeset(nullptr));
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
