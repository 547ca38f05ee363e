// The code-set names: whole names in their usual spellings for the tool, and
// mbGetCodeSet's rule (the first key anywhere in the name) unchanged.
#include "genutil/codeset_names.h"

#include <gtest/gtest.h>

#include <tuple>

#include "gnutil/mbutil.h"

namespace {

TEST(CodeSetNames, WholeNamesAnyCaseAndTheLibraryRuleUnchanged) {
  // Name, CodeSetByName (whole names, any case; -1 for a name that only
  // contains one) and mbGetCodeSet (the library's rule).
  const std::tuple<const char*, int, int> kCases[] = {
      // clang-format off
      {"SJIS", CODESET_SJIS, CODESET_SJIS}, {"sjis", CODESET_SJIS, CODESET_NONE},
      {"Shift_JIS", CODESET_SJIS, CODESET_JIS}, {"shift-jis", CODESET_SJIS, CODESET_NONE},
      {"CP932", CODESET_SJIS, CODESET_NONE}, {"EUC-JP", CODESET_EUC_J, CODESET_EUC_J},
      {"eucjp", CODESET_EUC_J, CODESET_NONE}, {"EUC_J", CODESET_EUC_J, CODESET_EUC_J},
      {"EUC", CODESET_EUC_J, CODESET_EUC_J}, {"JIS", CODESET_JIS, CODESET_JIS},
      {"ISO-2022-JP", CODESET_JIS, CODESET_NONE}, {"jis", CODESET_JIS, CODESET_NONE},
      {"BIG5", CODESET_BIG5, CODESET_BIG5}, {"big5", CODESET_BIG5, CODESET_NONE},
      {"EUC-TW", CODESET_EUC_TW, CODESET_EUC_J}, {"EUC_TW", CODESET_EUC_TW, CODESET_EUC_TW},
      {"EUC_H", CODESET_EUC_TW, CODESET_EUC_TW}, {"euc_h", CODESET_EUC_TW, CODESET_NONE},
      {"EUC_C", CODESET_EUC_C, CODESET_EUC_C}, {"EUC_ZH", CODESET_EUC_C, CODESET_EUC_C},
      {"GB2312", CODESET_GB, CODESET_GB}, {"EUC-KR", CODESET_EUC_K, CODESET_EUC_J},
      {"KSC_5601_87", CODESET_KSC_5601_87, CODESET_KSC_5601_87},
      {"KSC_5601_92", CODESET_KSC_5601_92, CODESET_KSC_5601_92},
      {"ksc-5601-92", CODESET_KSC_5601_92, CODESET_NONE},
      {"ISO-8859-2", CODESET_8859_2, CODESET_NONE},
      {"8859_2", CODESET_8859_2, CODESET_8859_2}, {"8859_10", CODESET_8859_10, CODESET_8859_10},
      {"windows-1251", CODESET_1251, CODESET_1251}, {"UTF-8", CODESET_UTF8, CODESET_UTF8},
      {"UTF8", CODESET_UTF8, CODESET_UTF8}, {"NONE", CODESET_NONE, CODESET_NONE},
      {"FOOBIG5BAR", -1, CODESET_BIG5}, {"ja_JP.SJIS", -1, CODESET_SJIS},
      {"ja_JP.EUC_J", -1, CODESET_EUC_J}, {"ko_KR.EUC_K", -1, CODESET_EUC_K},
      {"zh_TW.EUC_TW", -1, CODESET_EUC_TW}, {"x.1258", -1, CODESET_1258},
      {"SJIS2", -1, CODESET_SJIS}, {"xeuc_tw", -1, CODESET_NONE}, {"1252", -1, CODESET_NONE},
      {"", -1, CODESET_NONE}, {"--", -1, CODESET_NONE}, {"8859_1", -1, CODESET_NONE},
      // clang-format on
  };
  for (const auto& [name, byName, byRule] : kCases) {
    EXPECT_EQ(gnutil::CodeSetByName(name), byName) << name;
    EXPECT_EQ(mbGetCodeSet(name), byRule) << name;
  }
  EXPECT_EQ(gnutil::CodeSetByName(nullptr), -1);
  EXPECT_EQ(mbGetCodeSet(nullptr), CODESET_NONE);
}

TEST(CodeSetNames, EveryNameOfTheTableFindsItsCodeSet) {
  size_t count = 0;
  const gnutil::CodeSetName* names = gnutil::CodeSetNames(&count);
  for (size_t i = 0; i < count; ++i) {
    EXPECT_EQ(gnutil::CodeSetByName(names[i].name), names[i].codeset) << names[i].name;
    // The keys come first, in the order they are tried.
    EXPECT_TRUE(!names[i].key || i == 0 || names[i - 1].key) << names[i].name;
    if (names[i].key) {
      EXPECT_EQ(mbGetCodeSet(names[i].name), names[i].codeset) << names[i].name;
    }
  }
}

}  // namespace
