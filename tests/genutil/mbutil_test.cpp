// Locale-name rule and locale detection of the code-set module.
#include "gnutil/mbutil.h"

#include <gtest/gtest.h>
#include <stdint.h>

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
  // UTF-8 is a code set of its own, whatever the language.
  EXPECT_EQ(CodeSetForLocaleName("ja_JP.UTF-8"), CODESET_UTF8);
  EXPECT_EQ(CodeSetForLocaleName("zh_TW.utf8"), CODESET_UTF8);
  EXPECT_EQ(CodeSetForLocaleName("C.UTF-8"), CODESET_UTF8);
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
                                           DetectCase{"ja_JP.utf8", CODESET_UTF8, 0},
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

// The UTF-8 length rule against Unicode's definition, decoded here the long
// way: every lead byte with representative bytes of every class after it.
int ReferenceUtf8Length(const unsigned char* p, size_t n) {
  unsigned c = p[0];
  int len = c < 0x80             ? 1
            : (c & 0xE0) == 0xC0 ? 2
            : (c & 0xF0) == 0xE0 ? 3
            : (c & 0xF8) == 0xF0 ? 4
                                 : -1;
  if (len <= 1) return len;
  // The code points the bytes that are there can still become: the missing
  // continuation bytes range over 0x80-0xBF.
  uint32_t lo = c & (0x7Fu >> len), hi = lo;
  for (int i = 1; i < len; ++i) {
    if (static_cast<size_t>(i) < n) {
      if ((p[i] & 0xC0) != 0x80) return -1;
      lo = (lo << 6) | (p[i] & 0x3Fu);
      hi = (hi << 6) | (p[i] & 0x3Fu);
    } else {
      lo <<= 6;
      hi = (hi << 6) | 0x3F;
    }
  }
  static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (lo < kMin[len]) lo = kMin[len];
  if (hi > 0x10FFFF) hi = 0x10FFFF;
  if (lo > hi || (lo >= 0xD800 && hi <= 0xDFFF)) return -1;  // overlong, beyond, surrogate
  return len;
}

TEST(Utf8CodeSet, LengthRuleIsUnicodesDefinition) {
  const unsigned char kFollow[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                   0xA0, 0xBF, 0xC0, 0xC2, 0xF4, 0xFF};
  // A prefix shorter than the character gives its full length when what is
  // there is right, as the other rules do.
  for (unsigned lead = 1; lead <= 0xFF; ++lead) {
    for (unsigned char b1 : kFollow) {
      for (unsigned char b2 : kFollow) {
        for (unsigned char b3 : kFollow) {
          const unsigned char bytes[] = {static_cast<unsigned char>(lead), b1, b2, b3};
          for (size_t n = 1; n <= 4; ++n) {
            if (n > 1 && bytes[n - 1] == 0) break;
            int expected = ReferenceUtf8Length(bytes, n);
            ASSERT_EQ(mblenExt(reinterpret_cast<const char*>(bytes), n, CODESET_UTF8), expected)
                << std::hex << lead << " " << int{b1} << " " << int{b2} << " " << int{b3}
                << " n=" << n;
          }
        }
      }
    }
    EXPECT_EQ(isleadbyteExt(static_cast<int>(lead), CODESET_UTF8) != 0,
              lead >= 0xC2 && lead <= 0xF4)
        << lead;
  }
  EXPECT_EQ(mbmaxcharlenExt(CODESET_UTF8), 4);
  EXPECT_EQ(mbGetCodeSet("UTF-8"), CODESET_UTF8);
  EXPECT_EQ(mbGetCodeSet("UTF8"), CODESET_UTF8);
  InitMbutil();  // a first lazy initialisation would replace the choice below
  InitMbutilExt(CODESET_UTF8);
  EXPECT_EQ(mbmaxcharlen(), 4);
  EXPECT_EQ(mb_isleadbyte(0xE3), 1);
}

}  // namespace
