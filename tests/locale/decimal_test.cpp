// Decimal numbers: the digit-string core with the separators passed in, and
// CGNDecimal with the settings of the process-wide locale.
#include "gnutil/decimal.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include <string>

#include "gnutil/lclocale.h"
#include "locale/decimal_text.h"
#include "support/joined.h"
#include "support/test_locale.h"

namespace {

using gnutil::DecimalByte;
using gnutil::DecimalSymbol;
using gnutil_test::Join;

DecimalSymbol Sym(const char* bytes) {
  DecimalSymbol s{};
  s.length = strlen(bytes);
  memcpy(s.bytes, bytes, s.length);
  return s;
}

const DecimalSymbol kComma = DecimalByte(',');
const DecimalSymbol kPoint = DecimalByte('.');

// What ParseDecimal gives; the number only when it reads one.
struct Parsed {
  int result = 0, end = 0, negative = 0;
  std::string integer{}, fraction{};
  bool operator==(const Parsed& o) const {
    return result == o.result && end == o.end && negative == o.negative && integer == o.integer &&
           fraction == o.fraction;
  }
};
std::ostream& operator<<(std::ostream& out, const Parsed& p) {  // result|end|negative|digits
  return out << Join(p.result, p.end, p.negative, p.integer, p.fraction);
}

Parsed Parse(const char* text, DecimalSymbol group = kComma, DecimalSymbol decimal = kPoint) {
  DecimalNumberT n;
  int end = -7;
  int result = gnutil::ParseDecimal(text, &n, group, decimal, &end);
  if (result != 0) return {.result = result, .end = end};
  return {.end = end, .negative = n.negative, .integer = n.integerPart, .fraction = n.fractionPart};
}

// With a comma and a point unless a row gives its own symbols; at most 255
// digits in each part (group separators do not count, digits do).
TEST(DecimalParse, Table) {
  const std::string d255(255, '7');
  const struct {
    std::string text;
    Parsed expected;
    const char *group = ",", *decimal = ".";
  } cases[] = {{"1,234,567.891", {.end = 13, .integer = "1234567", .fraction = "891"}},
               {"-1234.5", {.end = 7, .negative = -1, .integer = "1234", .fraction = "5"}},
               {"1234.5-", {.end = 6, .negative = -1, .integer = "1234", .fraction = "5"}},
               {"(1234.5)", {.end = 7, .negative = -1, .integer = "1234", .fraction = "5"}},
               {".5", {.end = 2, .fraction = "5"}},
               {"0012", {.end = 4, .integer = "0012"}},
               {"5.", {.end = 2, .integer = "5"}},
               {"12a", {.end = 2, .integer = "12"}},
               {"  42  ", {.end = 4, .integer = "42"}},
               {"", {}},
               {"(12", {.end = 3, .integer = "12"}},  // no closing parenthesis: not examined
               {",5", {.end = 2, .integer = "5"}},    // a group separator cannot start a number
               {"- 12", {.result = -1, .end = 4}},
               {"12 -", {.result = -1, .end = 2}},
               {"-12-", {.result = -1, .end = 3}},
               {"--1", {.result = -1, .end = 3}},
               {"( 12)", {.result = -1, .end = 4}},
               {"(12 )", {.result = -1, .end = 3}},
               {"1.2.3", {.result = -1, .end = 5}},
               {"1.2,3", {.result = -1, .end = 5}},
               {".", {.result = -1, .end = 1}},
               {"abc", {.result = -1, .end = 0}},
               {d255, {.end = 255, .integer = d255}},
               {"0." + d255, {.end = 257, .integer = "0", .fraction = d255}},
               {"1," + d255, {.result = -1, .end = 257}},
               {"." + d255 + "1", {.result = -1, .end = 257}},
               // Octal escapes where a hex escape would swallow the digits after it. A
               // lone byte of a three-byte separator is not the separator.
               {"1\342\200234", {.end = 1, .integer = "1"}, "\xE2\x80\xAF", ","},
               {"1'234\302\2675", {.end = 8, .integer = "1234", .fraction = "5"}, "'", "\xC2\xB7"}};
  for (const auto& c : cases)
    EXPECT_EQ(Parse(c.text.c_str(), Sym(c.group), Sym(c.decimal)), c.expected) << c.text;
  EXPECT_EQ(Parse(nullptr), (Parsed{.result = -1}));
  EXPECT_EQ(gnutil::ParseDecimal("12", nullptr, kComma, kPoint, nullptr), -1);
  // Symbols that match nothing.
  EXPECT_EQ(Parse("12.5", DecimalByte('\0'), DecimalByte('\0')),
            (Parsed{.end = 2, .integer = "12"}));
  // Nothing of an earlier number remains.
  DecimalNumberT n;
  ASSERT_EQ(gnutil::ParseDecimal("-123456.789", &n, kComma, kPoint, nullptr), 0);
  ASSERT_EQ(gnutil::ParseDecimal("7", &n, kComma, kPoint, nullptr), 0);
  EXPECT_EQ(n.negative, 0);
  EXPECT_STREQ(n.integerPart, "7");
  EXPECT_STREQ(n.fractionPart, "");
}

// In a double-byte locale the scan goes by characters: the trail byte of "＝"
// (0x81 0x81) and "D" (0x44) are not the decimal symbol 0x81 0x44 used here.
TEST(DecimalParse, DoubleByteTextIsScannedByCharacters) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  const DecimalSymbol decimal = Sym("\x81\x44");
  EXPECT_EQ(Parse("\201\201D5", kComma, decimal), (Parsed{.end = 4, .integer = "5"}));
  EXPECT_EQ(Parse("12\201D5", kComma, decimal),
            (Parsed{.end = 5, .integer = "12", .fraction = "5"}));
  EXPECT_EQ(gnutil::DecimalFirstCharacter("\x81\x44xyz").length, 2u);
}

struct FormatCase {
  const char *integer, *fraction;
  int negative;
  const char* grouping;  // null: no grouping at all
  const char* expected;
};

// FormatDecimal's text, checked against DecimalFormattedSize and for no byte
// written past it.
std::string Format(const FormatCase& c, DecimalSymbol group = kComma,
                   DecimalSymbol decimal = kPoint) {
  DecimalNumberT n{};
  strcpy(n.integerPart, c.integer);
  strcpy(n.fractionPart, c.fraction);
  n.negative = c.negative;
  gnutil::DecimalGrouping g = gnutil::ParseDecimalGrouping(c.grouping);
  const gnutil::DecimalGrouping* groups = c.grouping != nullptr ? &g : nullptr;
  size_t size = gnutil::DecimalFormattedSize(n, group, decimal, groups);
  std::string out(size + 8, '#');
  EXPECT_EQ(gnutil::FormatDecimal(&out[0], n, group, decimal, groups) + 1, size);
  EXPECT_EQ(out[size], '#');
  return out.c_str();
}

TEST(DecimalFormat, GroupingForms) {
  const FormatCase cases[] = {
      {"1234567", "891", 0, "3;0", "1,234,567.891"},
      {"1234567", "", 0, "3;2;0", "12,34,567"},
      {"1234567", "", 0, "3", "1234,567"},
      {"1234567", "", 0, "2;3", "12,345,67"},
      {"1234567", "", 0, "0;3", "1234567"},
      {"1234567", "", 0, nullptr, "1234567"},
      {"1234567", "", 0, "3a;0 ", "1,234,567"},  // stray characters are skipped
      {"0012", "", 0, "3;0", "0,012"},
      {"", "5", 0, "3;0", "0.5"},
      {"", "", -1, nullptr, "-0"},
      {"1234", "5", -1, "3;0", "-1,234.5"}};
  for (const FormatCase& c : cases) EXPECT_EQ(c.expected, Format(c)) << c.integer;
  // Wide separators are written whole; the longest result fits its size: 255
  // digits grouped after every digit with a four-byte separator.
  EXPECT_EQ("1\342\200\257234\342\200\257567,25",
            Format({"1234567", "25", 0, "3;0", ""}, Sym("\xE2\x80\xAF"), Sym(",")));
  const std::string nines(255, '9'), ones(255, '1');
  DecimalSymbol wide = Sym("\xF0\x9F\x98\x80");
  EXPECT_EQ(Format({nines.c_str(), ones.c_str(), -1, "1;0", ""}, wide, wide).size(),
            1u + 255 + 254 * 4 + 4 + 255);
}

TEST(DecimalShift, Table) {
  const struct {
    const char *integer, *fraction;
    int exponent;
    bool ok;
    std::string shiftedInteger, shiftedFraction;
  } cases[] = {{"0", "5", 1, true, "05", ""},
               {"5", "", 2, true, "500", ""},
               {"12", "", -3, true, "", "012"},
               {"1234", "5", -2, true, "12", "345"},
               {"1", "2345", 2, true, "123", "45"},
               {"1", "", -255, true, "", std::string(254, '0') + "1"},
               {"1", "", 254, true, "1" + std::string(254, '0'), ""},
               // Past 255 digits in a part: refused, the number unchanged.
               {"1", "", -256, false, "1", ""},
               {"1", "5", -255, false, "1", "5"},
               {"1", "", 255, false, "1", ""},
               {"1", "", INT_MIN, false, "1", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.integer << "." << c.fraction << " shifted " << c.exponent);
    DecimalNumberT n{};
    strcpy(n.integerPart, c.integer);
    strcpy(n.fractionPart, c.fraction);
    EXPECT_EQ(gnutil::ShiftDecimal(&n, c.exponent), c.ok);
    EXPECT_EQ(n.integerPart, c.shiftedInteger);
    EXPECT_EQ(n.fractionPart, c.shiftedFraction);
  }
}

// A conversion to the C form or the regional one: the result, or "(fails)"
// (after checking that a failure leaves nothing).
std::string Convert(const char* text, bool toC, unsigned char flag) {
  CGNDecimal d{CGNString(text)};
  unsigned char ok = toC ? d.ConvertToCLocale(flag) : d.ConvertToRegionalLocale(flag);
  CGNString out;
  d.GetDisplayBuffer(out);
  EXPECT_TRUE(ok || out.IsEmpty()) << text;
  return ok ? static_cast<const char*>(out) : "(fails)";
}
std::string ToC(const char* text, unsigned char forceRegional = 0) {
  return Convert(text, true, forceRegional);
}
std::string ToRegional(const char* text, unsigned char useGrouping = 1) {
  return Convert(text, false, useGrouping);
}

// The core reads and writes the digits; here: which settings and which
// reading (C form or regional) the conversions choose.
TEST(Decimal, ConversionsBothWays) {
  const struct {
    const char *decimal, *group, *text, *toC, *toRegional;
  } cases[] = {
      {".", ",", "1,234,567.891", "1234567.891", "1,234,567.891"},
      {".", ",", "abc", "(fails)", "(fails)"},
      {",", ".", "1.234,5", "1234.5", "1.234,5"},
      {",", ".", "1234.5", "1234.5", "1.234,5"},  // C form is read as C form
      {",", ".", "1.234", "1.234", "1,234"},
  };
  CLCLocale& settings = *CLCGlobalLocale::Instance();
  settings.m_decNumDigitsInGroup = "3;0";
  for (auto& c : cases) {
    SCOPED_TRACE(c.text);
    settings.m_decDecimalSymbol = c.decimal;
    settings.m_decDigitGroupSeparator = c.group;
    EXPECT_EQ(c.toC, ToC(c.text));
    EXPECT_EQ(c.toRegional, ToRegional(c.text));
  }
  EXPECT_EQ("1234", ToC("1.234", 1));  // read as regional on request
  EXPECT_EQ(0, CGNDecimal::IsThousandsSeparator(','));
  EXPECT_EQ(0, CGNDecimal::DetermineNumDecimalChars(nullptr));
  // Only the first 63 bytes are read.
  std::string digits(70, '1');
  digits[62] = '9';
  EXPECT_EQ(std::string(62, '1') + "9", ToC(digits.c_str()));
}

// The system's own settings as Init reads them for the user's locale (ICU's
// data on Linux, which gives French U+00A0 as group separator), in its
// encoding, and one number in its regional form. A missing locale skips the rest.
TEST(DecimalInSystemLocale, RoundTripThroughTheSystemsSettings) {
  const struct {
    const char *locale, *decimal, *group;
    const char* regional;  // of -1234567890.123456789
  } kRows[] = {{"C", ".", ",", "-1,234,567,890.123456789"},
               {"de_DE.iso88591", ",", ".", "-1.234.567.890,123456789"},
               {"fr_FR.utf8", ",", "\302\240", "-1\302\240234\302\240567\302\240890,123456789"},
               {"fr_FR.iso88591", ",", "\240", "-1\240234\240567\240890,123456789"},
               {"hi_IN.utf8", ".", ",", "-1,23,45,67,890.123456789"}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.locale);
    GNUTIL_USE_LOCALE(row.locale);
    CLCGlobalLocale::Free();  // the next use reads the system's settings again
    ASSERT_FALSE(CLCGlobalLocale::Instance()->Customized());
    EXPECT_EQ(row.regional, ToRegional("-1234567890.123456789"));
    EXPECT_EQ("-1234567890.123456789", ToC(row.regional));
    EXPECT_EQ("-1234567890.123456789", ToC(row.regional, 1));
    // Without groups, and a number whose separators all fall away.
    std::string plain = std::string("-1234567890") + row.decimal + "123456789";
    EXPECT_EQ(plain, ToRegional("-1234567890.123456789", 0));
    EXPECT_EQ("-1234567890.123456789", ToC(plain.c_str()));
    // The number ends before the unit, after the last digit.
    std::string withUnit = std::string("= ") + row.regional + " kg";
    EXPECT_EQ(static_cast<int>(2 + strlen(row.regional)),
              CGNDecimal::DetermineNumDecimalChars(withUnit.c_str()));
    EXPECT_EQ(1, CGNDecimal::IsThousandsSeparator(row.group[0]));
  }
}

}  // namespace
