// CGNDecimal against the process-wide locale, set through Customize to the
// number settings of real locales, in those locales' own encodings.
#include "gnutil/decimal.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include <string>

#include "gnutil/lclocale.h"
#include "support/fake_locale_info.h"
#include "support/test_locale.h"

namespace {

// Fixes the process-wide locale's number settings, keeping the rest as the
// system gives them.
void CustomizeNumbers(const char* decimal, const char* group, const char* grouping) {
  CLCGlobalLocale* locale = CLCGlobalLocale::Instance();
  CGNString timeFormat, shortDate, longDate, digitsInGroup, decimalSymbol, negativeSign,
      groupSeparator, localeName;
  long longOrShort = 0;
  long negativeFormat = 0;
  unsigned char leadingZeroes = 0;
  locale->GetDefaults(timeFormat, shortDate, longDate, longOrShort, digitsInGroup, negativeFormat,
                      leadingZeroes, decimalSymbol, negativeSign, groupSeparator, localeName);
  locale->Customize(timeFormat, shortDate, longDate, longOrShort, CGNString(grouping),
                    negativeFormat, leadingZeroes, CGNString(decimal), negativeSign,
                    CGNString(group), localeName);
}

std::string ToC(const char* text, unsigned char forceRegional = 0) {
  CGNDecimal d{CGNString(text)};
  unsigned char ok = d.ConvertToCLocale(forceRegional);
  CGNString out;
  d.GetDisplayBuffer(out);
  if (!ok) {
    EXPECT_TRUE(out.IsEmpty()) << text;
    return "(fails)";
  }
  return static_cast<const char*>(out);
}

std::string ToRegional(const char* text, unsigned char useGrouping = 1) {
  CGNDecimal d{CGNString(text)};
  unsigned char ok = d.ConvertToRegionalLocale(useGrouping);
  CGNString out;
  d.GetDisplayBuffer(out);
  if (!ok) {
    EXPECT_TRUE(out.IsEmpty()) << text;
    return "(fails)";
  }
  return static_cast<const char*>(out);
}

std::string Shifted(const char* regional, int exponent) {
  CGNDecimal d{CGNString(regional)};
  d.ConvertToRegionalLocale(1);
  d.ApplyExponent(exponent);
  CGNString out;
  d.GetDisplayBuffer(out);
  return static_cast<const char*>(out);
}

TEST(Decimal, GermanSettings) {
  CustomizeNumbers(",", ".", "3;0");
  EXPECT_EQ(ToC("1.234,5"), "1234.5");
  EXPECT_EQ(ToC("1234.5"), "1234.5");  // already C form
  EXPECT_EQ(ToC("1.234", 1), "1234");  // read as regional on request
  EXPECT_EQ(ToC("1.234"), "1.234");
  EXPECT_EQ(ToRegional("-1234567.891"), "-1.234.567,891");
  EXPECT_EQ(ToRegional("1.234,5"), "1.234,5");
  EXPECT_EQ(CGNDecimal::DetermineNumDecimalChars("abc 12,5 kg"), 8);
  EXPECT_EQ(CGNDecimal::DetermineNumDecimalChars("kg"), 0);
  EXPECT_EQ(CGNDecimal::DetermineNumDecimalChars(""), 0);
  EXPECT_EQ(CGNDecimal::DetermineNumDecimalChars(nullptr), 0);
  EXPECT_EQ(CGNDecimal::IsThousandsSeparator('.'), 1);
  EXPECT_EQ(CGNDecimal::IsThousandsSeparator(','), 0);
}

TEST(Decimal, OnlyTheFirst63BytesAreRead) {
  CustomizeNumbers(".", ",", "");
  std::string digits(70, '1');
  digits[62] = '9';
  EXPECT_EQ(ToC(digits.c_str()), std::string(62, '1') + "9");
}

TEST(Decimal, ApplyExponent) {
  CustomizeNumbers(".", ",", "3;0");
  // The shift itself is the core's; here: the regional text it reads, and
  // what is left when there is no number to shift.
  EXPECT_EQ(Shifted("-1,234.5", -1), "-123.45");
  EXPECT_EQ(Shifted("1234.5678", 2), "123456.78");
  EXPECT_EQ(Shifted("1,234.5", 0), "1,234.5");
  EXPECT_EQ(Shifted("1", -256), "");  // a fraction of 256 digits
  EXPECT_EQ(Shifted("7", INT_MIN), "");
  EXPECT_EQ(Shifted("abc", 2), "");  // a failed conversion stays empty
  EXPECT_EQ(Shifted("1", -255), "0." + std::string(254, '0') + "1");
  // Shifts add up; leading zeros stay.
  CGNDecimal d{CGNString("0.5")};
  ASSERT_TRUE(d.ConvertToRegionalLocale(1));
  d.ApplyExponent(1);
  d.ApplyExponent(-3);
  CGNString out;
  d.GetDisplayBuffer(out);
  EXPECT_STREQ(out, "0.005");
}

TEST(Decimal, ApplyExponentOnTextThatIsNotANumberLeavesNothing) {
  // The C form "-1234.5" read with these settings has text after the minus
  // sign's number, so it is no number of this locale.
  CustomizeNumbers(",", "\xA0", "3;0");
  CGNDecimal d{CGNString("-1234.5")};
  ASSERT_TRUE(d.ConvertToCLocale(0));
  d.ApplyExponent(1);
  CGNString out;
  d.GetDisplayBuffer(out);
  EXPECT_TRUE(out.IsEmpty()) << static_cast<const char*>(out);
}

TEST(Decimal, SetRawBufferReplacesTheTextToConvert) {
  CustomizeNumbers(".", ",", "3;0");
  CGNDecimal d{CGNString("1")};
  ASSERT_TRUE(d.ConvertToRegionalLocale(1));
  CGNString text("1234567");
  d.SetRawBuffer(text);
  EXPECT_STREQ(text, "1234567");
  CGNString out;
  d.GetDisplayBuffer(out);
  EXPECT_STREQ(out, "1");
  ASSERT_TRUE(d.ConvertToRegionalLocale(1));
  d.GetDisplayBuffer(out);
  EXPECT_STREQ(out, "1,234,567");
}

TEST(Decimal, ConstructorsAndRepeatedConversions) {
  CustomizeNumbers(".", ",", "3;0");
  CGNDecimal empty;
  EXPECT_TRUE(empty.ConvertToCLocale(0));
  CGNString out("x");
  empty.GetDisplayBuffer(out);
  EXPECT_STREQ(out, "0");
  CLCLocale record;
  CGNDecimal withLocale(&record);  // the record is initialised, not used
  CGNDecimal withNull(static_cast<CLCLocale*>(nullptr));
  CGNDecimal d{CGNString("-9876.5")};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(d.ConvertToRegionalLocale(1));
    d.GetDisplayBuffer(out);
    EXPECT_STREQ(out, "-9,876.5");
    ASSERT_TRUE(d.ConvertToCLocale(0));
    d.GetDisplayBuffer(out);
    EXPECT_STREQ(out, "-9876.5");
  }
}

// One locale's number settings as its system gives them, in its encoding,
// and one number in its regional form (group separator G, decimal symbol D).
struct LocaleRow {
  const char* locale;
  const char* decimal;
  const char* group;
  const char* grouping;
  const char* regional;  // of -1234567890.123456789
};

const LocaleRow kLocaleRows[] = {
    {"en_US.utf8", ".", ",", "3;0", "-1,234,567,890.123456789"},
    {"de_DE.utf8", ",", ".", "3;0", "-1.234.567.890,123456789"},
    {"de_DE.iso88591", ",", ".", "3;0", "-1.234.567.890,123456789"},
    {"fr_FR.utf8", ",", "\xE2\x80\xAF", "3;0",
     "-1\xE2\x80\xAF"
     "234\xE2\x80\xAF"
     "567\xE2\x80\xAF"
     "890,123456789"},
    {"fr_FR.iso88591", ",", "\xA0", "3;0",
     "-1\xA0"
     "234\xA0"
     "567\xA0"
     "890,123456789"},
    {"ja_JP.sjis", ".", ",", "3;0", "-1,234,567,890.123456789"},
    {"ja_JP.utf8", ".", ",", "3;0", "-1,234,567,890.123456789"},
    {"hi_IN.utf8", ".", ",", "3;2;0", "-1,23,45,67,890.123456789"},
};

void PrintTo(const LocaleRow& row, std::ostream* os) { *os << row.locale; }

class DecimalInLocale : public ::testing::TestWithParam<LocaleRow> {};

// One-byte settings need no process locale; on Windows, where the runtime
// has no UTF-8 locale, the rows of one-byte encodings run in any user's.
#define GNUTIL_USE_ROW_LOCALE(row)                                                \
  do {                                                                            \
    bool utf8 = std::string((row).locale).find("utf8") != std::string::npos;      \
    if (gnutil_test::kWindows && utf8) GTEST_SKIP() << "no UTF-8 runtime locale"; \
    if (!gnutil_test::kWindows) GNUTIL_USE_LOCALE((row).locale);                  \
  } while (0)

void CheckRoundTrip(const LocaleRow& row) {
  EXPECT_EQ(ToRegional("-1234567890.123456789"), row.regional);
  EXPECT_EQ(ToC(row.regional), "-1234567890.123456789");
  EXPECT_EQ(ToC(row.regional, 1), "-1234567890.123456789");
  // Without groups, and a number whose separators all fall away.
  std::string plain = std::string("-1234567890") + row.decimal + "123456789";
  EXPECT_EQ(ToRegional("-1234567890.123456789", 0), plain);
  EXPECT_EQ(ToC(plain.c_str()), "-1234567890.123456789");
  EXPECT_EQ(ToRegional("(1234)"), ToRegional("-1234"));
  // The number ends before the unit, after the last digit.
  std::string withUnit = std::string("= ") + row.regional + " kg";
  EXPECT_EQ(CGNDecimal::DetermineNumDecimalChars(withUnit.c_str()),
            static_cast<int>(2 + strlen(row.regional)));
  EXPECT_EQ(CGNDecimal::IsThousandsSeparator(row.group[0]), 1);
}

TEST_P(DecimalInLocale, RoundTripThroughCustomize) {
  const LocaleRow& row = GetParam();
  GNUTIL_USE_ROW_LOCALE(row);
  CustomizeNumbers(row.decimal, row.group, row.grouping);
  CheckRoundTrip(row);
}

// The process-wide record filled by Init from what the system answers.
TEST_P(DecimalInLocale, RoundTripThroughInit) {
  const LocaleRow& row = GetParam();
  GNUTIL_USE_ROW_LOCALE(row);
  gnutil_test::FakeLocaleInfo system;
  system.Set(gnutil::lcitem::kUserDefault, gnutil::lcitem::kSDecimal, row.decimal);
  system.Set(gnutil::lcitem::kUserDefault, gnutil::lcitem::kSThousand, row.group);
  system.Set(gnutil::lcitem::kUserDefault, gnutil::lcitem::kSGrouping, row.grouping);
  ASSERT_FALSE(CLCGlobalLocale::Instance()->Customized());
  CheckRoundTrip(row);
}

INSTANTIATE_TEST_SUITE_P(Locales, DecimalInLocale, ::testing::ValuesIn(kLocaleRows),
                         [](const ::testing::TestParamInfo<LocaleRow>& info) {
                           std::string name = info.param.locale;
                           for (char& c : name) {
                             if (c == '.') c = '_';
                           }
                           return name;
                         });

// The system's own settings: the locale information Init reads for the
// user's locale (ICU's data on Linux, which gives French the no-break space
// U+00A0 as group separator; Windows' data under the Windows users).
const LocaleRow kSystemRows[] = {
    {"C", ".", ",", "3;0", "-1,234,567,890.123456789"},
    {"de_DE.utf8", ",", ".", "3;0", "-1.234.567.890,123456789"},
    {"de_DE.iso88591", ",", ".", "3;0", "-1.234.567.890,123456789"},
    {"fr_FR.utf8", ",", "\xC2\xA0", "3;0",
     "-1\xC2\xA0"
     "234\xC2\xA0"
     "567\xC2\xA0"
     "890,123456789"},
    {"fr_FR.iso88591", ",", "\xA0", "3;0",
     "-1\xA0"
     "234\xA0"
     "567\xA0"
     "890,123456789"},
    {"ja_JP.sjis", ".", ",", "3;0", "-1,234,567,890.123456789"},
    {"hi_IN.utf8", ".", ",", "3;2;0", "-1,23,45,67,890.123456789"},
};

class DecimalInSystemLocale : public ::testing::TestWithParam<LocaleRow> {};

TEST_P(DecimalInSystemLocale, RoundTripThroughTheSystemsSettings) {
  const LocaleRow& row = GetParam();
  GNUTIL_USE_LOCALE(row.locale);
  ASSERT_FALSE(CLCGlobalLocale::Instance()->Customized());
  CheckRoundTrip(row);
}

INSTANTIATE_TEST_SUITE_P(Locales, DecimalInSystemLocale, ::testing::ValuesIn(kSystemRows),
                         [](const ::testing::TestParamInfo<LocaleRow>& info) {
                           std::string name = info.param.locale;
                           for (char& c : name) {
                             if (c == '.') c = '_';
                           }
                           return name;
                         });

}  // namespace
