// For the string and list tests: a text's bytes, allocation failure
// reset, the legacy locales with a few characters of each (fixture LegacyText).
#ifndef GNUTIL_TESTS_SUPPORT_GNSTRING_FIXTURES_H
#define GNUTIL_TESTS_SUPPORT_GNSTRING_FIXTURES_H

#include <gtest/gtest.h>

#include <string>

#include "genutil/alloc.h"
#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"
#include "support/test_locale.h"

namespace gnutil_test {

inline std::string Bytes(const CGNString& s) { return std::string(s, s.GetLength()); }

// Ends any allocation failure a test left armed.
struct NoFailures {
  ~NoFailures() { gnutil::testing::FailAllocationAfter(-1); }
};

// A locale, the code set whose byte rules it follows, and characters: two
// (in Shift-JIS and Big5 the second's trail byte is ASCII), a full-width
// lower-case letter and its capital, one of another kind (half-width kana...).
struct LegacyCase {
  const char* locale;
  int codeset;
  const char *first, *second, *fullLower, *fullUpper, *other;
};

inline void PrintTo(const LegacyCase& c, std::ostream* os) { *os << c.locale; }

inline const LegacyCase kLegacyCases[] = {
    {"ja_JP.sjis", CODESET_SJIS, "\x82\xA0", "\x95\x5C", "\x82\x81", "\x82\x60", "\xB1"},
    {"ja_JP.eucjp", CODESET_EUC_J, "\xA4\xA2", "\x8F\xB0\xA1", "\xA3\xE1", "\xA3\xC1", "\x8E\xB1"},
    {"zh_TW.big5", CODESET_BIG5, "\xA4\xA4", "\xA4\x40", "\xA2\xE9", "\xA2\xCF", "\xA4\x5C"},
    {"ko_KR.euckr", CODESET_EUC_K, "\xB0\xA1", "\xF1\xE9", "\xA3\xE1", "\xA3\xC1", "\xB3\xAA"},
    {"zh_CN.gbk", CODESET_GB, "\xD6\xD0", "\xD2\xBB", "\xA3\xE1", "\xA3\xC1", "\xCE\xC4"},
    {"zh_TW.euctw", CODESET_EUC_TW, "\xC4\xA1", "\x8E\xA2\xA1\xA1", "\xA4\xDB", "\xA4\xC1",
     "\xA1\xA1"},
};

class LegacyText : public ::testing::TestWithParam<LegacyCase> {
 protected:
  void SetUp() override {
    GNUTIL_USE_LOCALE(GetParam().locale);
    // Named, so that byte cuts do not depend on how the platform spells the locale.
    InitMbutil();
    InitMbutilExt(GetParam().codeset);
    a_ = GetParam().first;
    b_ = GetParam().second;
  }
  std::string Sample() const { return a_ + "x" + b_ + "y"; }  // four characters
  std::string a_, b_;
};

}  // namespace gnutil_test

// Test names: the locale's, with "_" for ".".
#define GNUTIL_LEGACY_LOCALES(suite)                                  \
  INSTANTIATE_TEST_SUITE_P(                                           \
      Locales, suite, ::testing::ValuesIn(gnutil_test::kLegacyCases), \
      [](const auto& i) { return std::string(i.param.locale).replace(5, 1, "_"); })

#endif  // GNUTIL_TESTS_SUPPORT_GNSTRING_FIXTURES_H
