// CGNDecimal with number settings set through Customize and as real locales give them.
#include "gnutil/decimal.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include <string>

#include "gnutil/lclocale.h"
#include "support/test_locale.h"

namespace {

// Fixes the process-wide locale's number settings, keeping the rest as the
// system gives them.
void CustomizeNumbers(const char* decimal, const char* group, const char* grouping) {
  CLCGlobalLocale* locale = CLCGlobalLocale::Instance();
  CGNString timeFormat, shortDate, longDate, digitsInGroup, decimalSymbol, negativeSign,
      groupSeparator, localeName;
  long longOrShort = 0, negativeFormat = 0;
  unsigned char leadingZeroes = 0;
  locale->GetDefaults(timeFormat, shortDate, longDate, longOrShort, digitsInGroup, negativeFormat,
                      leadingZeroes, decimalSymbol, negativeSign, groupSeparator, localeName);
  locale->Customize(timeFormat, shortDate, longDate, longOrShort, CGNString(grouping),
                    negativeFormat, leadingZeroes, CGNString(decimal), negativeSign,
                    CGNString(group), localeName);
}

std::string Shown(CGNDecimal& d) {
  CGNString out;
  d.GetDisplayBuffer(out);
  return static_cast<const char*>(out);
}

// The result, or "(fails)" (after checking that a failure leaves nothing).
std::string ToC(const char* text, unsigned char forceRegional = 0) {
  CGNDecimal d{CGNString(text)};
  unsigned char ok = d.ConvertToCLocale(forceRegional);
  std::string out = Shown(d);
  EXPECT_TRUE(ok || out.empty()) << text;
  return ok ? out : "(fails)";
}

std::string ToRegional(const char* text, unsigned char useGrouping = 1) {
  CGNDecimal d{CGNString(text)};
  unsigned char ok = d.ConvertToRegionalLocale(useGrouping);
  std::string out = Shown(d);
  EXPECT_TRUE(ok || out.empty()) << text;
  return ok ? out : "(fails)";
}

std::string Shifted(const char* regional, int exponent) {
  CGNDecimal d{CGNString(regional)};
  d.ConvertToRegionalLocale(1);
  d.ApplyExponent(exponent);
  return Shown(d);
}

TEST(Decimal, ConversionsBothWays) {
  const struct {
    const char *decimal, *group, *grouping, *text, *toC, *toRegional;
  } cases[] = {
      {".", ",", "3;0", "1,234,567.891", "1234567.891", "1,234,567.891"},
      {".", ",", "3;0", "(1234.5)", "-1234.5", "-1,234.5"},
      {".", ",", "3;0", "1234.5-", "-1234.5", "-1,234.5"},
      {".", ",", "3;0", ".5", "0.5", "0.5"},
      {".", ",", "3;0", "0012", "0012", "0,012"},
      {".", ",", "3;0", "", "0", "0"},
      {".", ",", "3;0", "abc", "(fails)", "(fails)"},
      {".", ",", "3;2;0", "1234567", "1234567", "12,34,567"},
      {",", ".", "3;0", "1.234,5", "1234.5", "1.234,5"},
      {",", ".", "3;0", "1234.5", "1234.5", "1.234,5"},  // C form is read as C form
      {",", ".", "3;0", "1.234", "1.234", "1,234"},
      {",", ".", "3;0", "-1.234.567,891", "-1234567.891", "-1.234.567,891"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.text);
    CustomizeNumbers(c.decimal, c.group, c.grouping);
    EXPECT_EQ(c.toC, ToC(c.text));
    EXPECT_EQ(c.toRegional, ToRegional(c.text));
  }
  CustomizeNumbers(",", ".", "3;0");
  EXPECT_EQ("1234", ToC("1.234", 1));  // read as regional on request
  EXPECT_EQ(1, CGNDecimal::IsThousandsSeparator('.'));
  EXPECT_EQ(0, CGNDecimal::IsThousandsSeparator(','));
  const struct {
    const char* text;
    int chars;
  } spans[] = {{"abc 12,5 kg", 8}, {"kg", 0}, {"", 0}, {nullptr, 0}};
  for (auto& s : spans) EXPECT_EQ(s.chars, CGNDecimal::DetermineNumDecimalChars(s.text));
  // Only the first 63 bytes are read.
  CustomizeNumbers(".", ",", "");
  std::string digits(70, '1');
  digits[62] = '9';
  EXPECT_EQ(std::string(62, '1') + "9", ToC(digits.c_str()));
}

TEST(Decimal, ApplyExponent) {
  CustomizeNumbers(".", ",", "3;0");
  // The shift itself is the core's; here: the regional text it reads, and
  // what is left when there is no number to shift.
  EXPECT_EQ("-123.45", Shifted("-1,234.5", -1));
  EXPECT_EQ("123456.78", Shifted("1234.5678", 2));
  EXPECT_EQ("1,234.5", Shifted("1,234.5", 0));
  EXPECT_EQ("", Shifted("1", -256));  // a fraction of 256 digits
  EXPECT_EQ("", Shifted("7", INT_MIN));
  EXPECT_EQ("", Shifted("abc", 2));  // a failed conversion stays empty
  EXPECT_EQ("0." + std::string(254, '0') + "1", Shifted("1", -255));
  // Shifts add up; leading zeros stay.
  CGNDecimal d{CGNString("0.5")};
  ASSERT_TRUE(d.ConvertToRegionalLocale(1));
  d.ApplyExponent(1);
  d.ApplyExponent(-3);
  EXPECT_EQ("0.005", Shown(d));
  // The C form "-1234.5" read with these settings has text after the minus
  // sign's number, so it is no number of this locale.
  CustomizeNumbers(",", "\xA0", "3;0");
  CGNDecimal c{CGNString("-1234.5")};
  ASSERT_TRUE(c.ConvertToCLocale(0));
  c.ApplyExponent(1);
  EXPECT_EQ("", Shown(c));
}

TEST(Decimal, ConstructorsRawBufferAndRepeatedConversions) {
  CustomizeNumbers(".", ",", "3;0");
  CGNDecimal empty;
  EXPECT_TRUE(empty.ConvertToCLocale(0));
  EXPECT_EQ("0", Shown(empty));
  CLCLocale record;
  CGNDecimal withLocale(&record);  // the record is initialised, not used
  CGNDecimal withNull(static_cast<CLCLocale*>(nullptr));
  CGNDecimal d{CGNString("-9876.5")};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(d.ConvertToRegionalLocale(1));
    EXPECT_EQ("-9,876.5", Shown(d));
    ASSERT_TRUE(d.ConvertToCLocale(0));
    EXPECT_EQ("-9876.5", Shown(d));
  }
  // SetRawBuffer replaces the text to convert, not the result.
  CGNString text("1234567");
  d.SetRawBuffer(text);
  EXPECT_STREQ(text, "1234567");
  EXPECT_EQ("-9876.5", Shown(d));
  ASSERT_TRUE(d.ConvertToRegionalLocale(1));
  EXPECT_EQ("1,234,567", Shown(d));
}

// One locale's number settings, in its encoding, and one number in its
// regional form.
struct LocaleRow {
  const char *locale, *decimal, *group, *grouping;
  const char* regional;  // of -1234567890.123456789
};

void PrintTo(const LocaleRow& row, std::ostream* os) { *os << row.locale; }

std::string RowName(const ::testing::TestParamInfo<LocaleRow>& info) {
  std::string name = info.param.locale;
  for (char& c : name) c = c == '.' ? '_' : c;
  return name;
}

void CheckRoundTrip(const LocaleRow& row) {
  EXPECT_EQ(row.regional, ToRegional("-1234567890.123456789"));
  EXPECT_EQ("-1234567890.123456789", ToC(row.regional));
  EXPECT_EQ("-1234567890.123456789", ToC(row.regional, 1));
  // Without groups, and a number whose separators all fall away.
  std::string plain = std::string("-1234567890") + row.decimal + "123456789";
  EXPECT_EQ(plain, ToRegional("-1234567890.123456789", 0));
  EXPECT_EQ("-1234567890.123456789", ToC(plain.c_str()));
  EXPECT_EQ(ToRegional("-1234"), ToRegional("(1234)"));
  // The number ends before the unit, after the last digit.
  std::string withUnit = std::string("= ") + row.regional + " kg";
  EXPECT_EQ(static_cast<int>(2 + strlen(row.regional)),
            CGNDecimal::DetermineNumDecimalChars(withUnit.c_str()));
  EXPECT_EQ(1, CGNDecimal::IsThousandsSeparator(row.group[0]));
}

// Settings a program fixes with Customize where the system's differ: the
// narrow no-break space U+202F as group separator in a UTF-8 locale.
TEST(DecimalInLocale, NarrowNoBreakSpaceThroughCustomize) {
  if (gnutil_test::kWindows) GTEST_SKIP() << "no UTF-8 runtime locale";
  GNUTIL_USE_LOCALE("fr_FR.utf8");
  CustomizeNumbers(",", "\xE2\x80\xAF", "3;0");
  CheckRoundTrip({"fr_FR.utf8", ",", "\xE2\x80\xAF", "3;0",
                  "-1\xE2\x80\xAF"
                  "234\xE2\x80\xAF"
                  "567\xE2\x80\xAF"
                  "890,123456789"});
}

// The system's own settings as Init reads them for the user's locale (ICU's
// data on Linux, which gives French U+00A0 as group separator).
class DecimalInSystemLocale : public ::testing::TestWithParam<LocaleRow> {};

TEST_P(DecimalInSystemLocale, RoundTripThroughTheSystemsSettings) {
  GNUTIL_USE_LOCALE(GetParam().locale);
  ASSERT_FALSE(CLCGlobalLocale::Instance()->Customized());
  CheckRoundTrip(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Locales, DecimalInSystemLocale,
    ::testing::Values(LocaleRow{"C", ".", ",", "3;0", "-1,234,567,890.123456789"},
                      LocaleRow{"de_DE.utf8", ",", ".", "3;0", "-1.234.567.890,123456789"},
                      LocaleRow{"de_DE.iso88591", ",", ".", "3;0", "-1.234.567.890,123456789"},
                      LocaleRow{"fr_FR.utf8", ",", "\xC2\xA0", "3;0",
                                "-1\xC2\xA0"
                                "234\xC2\xA0"
                                "567\xC2\xA0"
                                "890,123456789"},
                      LocaleRow{"fr_FR.iso88591", ",", "\xA0", "3;0",
                                "-1\xA0"
                                "234\xA0"
                                "567\xA0"
                                "890,123456789"},
                      LocaleRow{"ja_JP.sjis", ".", ",", "3;0", "-1,234,567,890.123456789"},
                      LocaleRow{"hi_IN.utf8", ".", ",", "3;2;0", "-1,23,45,67,890.123456789"}),
    RowName);

}  // namespace
