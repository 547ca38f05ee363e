// The digit-string core of CGNDecimal, with the separators passed in.
#include "locale/decimal_text.h"

#include <gtest/gtest.h>
#include <limits.h>

#include <string>

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

// What ParseDecimal gives: result|end| and, when it reads a number,
// negative|integer|fraction|.
std::string Parse(const char* text, DecimalSymbol group = kComma, DecimalSymbol decimal = kPoint) {
  DecimalNumberT n;
  int end = -7;
  int result = gnutil::ParseDecimal(text, &n, group, decimal, &end);
  return result != 0 ? Join(result, end)
                     : Join(result, end, n.negative, n.integerPart, n.fractionPart);
}

// Read with "," as group separator and "." as decimal symbol.
// clang-format off
const struct {
  const char *text, *expected;
} kParseCases[] = {
    {"1,234,567.891", "0|13|0|1234567|891|"}, {"-1234.5", "0|7|-1|1234|5|"},
    {"1234.5-", "0|6|-1|1234|5|"}, {"(1234.5)", "0|7|-1|1234|5|"}, {".5", "0|2|0||5|"},
    {"0012", "0|4|0|0012||"}, {"5.", "0|2|0|5||"}, {"12a", "0|2|0|12||"}, {"1,2,3", "0|5|0|123||"},
    {"  42  ", "0|4|0|42||"}, {" -42", "0|4|-1|42||"}, {"", "0|0|0|||"},
    {"(12", "0|3|0|12||"},  // no closing parenthesis: not examined
    {"x12", "0|3|0|12||"},
    {",5", "0|2|0|5||"},  // a group separator cannot start a number
    {"- 12", "-1|4|"}, {"12 -", "-1|2|"}, {"--12", "-1|4|"}, {"-12-", "-1|3|"}, {"12)-", "-1|2|"},
    {"( 12)", "-1|4|"}, {"(12 )", "-1|3|"}, {"1.2.3", "-1|5|"}, {"1.2,3", "-1|5|"}, {".", "-1|1|"},
    {"abc", "-1|0|"}, {"   ", "-1|0|"}, {"-", "-1|0|"}};
// clang-format on

TEST(DecimalParse, TableWithCommaAndPoint) {
  for (const auto& c : kParseCases) EXPECT_EQ(c.expected, Parse(c.text)) << c.text;
}

TEST(DecimalParse, NullArgumentsEmptySymbolsAndReuse) {
  EXPECT_EQ("-1|0|", Parse(nullptr));
  EXPECT_EQ(gnutil::ParseDecimal("12", nullptr, kComma, kPoint, nullptr), -1);
  // Empty symbols match nothing.
  EXPECT_EQ("0|2|0|12||", Parse("12.5", DecimalByte('\0'), DecimalByte('\0')));
  EXPECT_EQ("0|2|0|5||", Parse(".5", DecimalByte('\0'), DecimalByte('\0')));
  // Nothing of an earlier number remains.
  DecimalNumberT n;
  ASSERT_EQ(gnutil::ParseDecimal("-123456.789", &n, kComma, kPoint, nullptr), 0);
  ASSERT_EQ(gnutil::ParseDecimal("7", &n, kComma, kPoint, nullptr), 0);
  EXPECT_EQ("0|7||", Join(n.negative, n.integerPart, n.fractionPart));
  ASSERT_EQ(gnutil::ParseDecimal("", &n, kComma, kPoint, nullptr), 0);
  EXPECT_STREQ(n.integerPart, "");
}

TEST(DecimalParse, AtMost255DigitsInEachPart) {
  std::string digits(255, '7');
  DecimalNumberT n;
  EXPECT_EQ(gnutil::ParseDecimal(digits.c_str(), &n, kComma, kPoint, nullptr), 0);
  EXPECT_EQ(std::string(n.integerPart), digits);
  EXPECT_EQ(gnutil::ParseDecimal(("0." + digits).c_str(), &n, kComma, kPoint, nullptr), 0);
  EXPECT_EQ(std::string(n.fractionPart), digits);
  int end = 0;
  // Group separators do not count, digits do.
  EXPECT_EQ(gnutil::ParseDecimal(("1," + digits).c_str(), &n, kComma, kPoint, &end), -1);
  EXPECT_EQ(end, 257);
  EXPECT_EQ(gnutil::ParseDecimal(("." + digits + "1").c_str(), &n, kComma, kPoint, nullptr), -1);
}

TEST(DecimalParse, RegionalSymbolsOfEveryWidth) {
  // clang-format off
  const struct {
    const char *group, *decimal, *text, *expected;
  } cases[] = {
      {".", ",", "1.234,5", "0|7|0|1234|5|"}, {".", ",", "abc 12,5 kg", "0|8|0|12|5|"},
      {" ", ",", "1 234 567 kg", "0|10|0|1234567||"},  // the blank before kg reads as a group
      {"\xA0", ",", "1\xA0" "234,5", "0|7|0|1234|5|"},
      {"\xE2\x80\xAF", ",", "1\xE2\x80\xAF" "234\xE2\x80\xAF" "567,5", "0|15|0|1234567|5|"},
      // A lone byte of a three-byte separator is not the separator.
      {"\xE2\x80\xAF", ",", "1\xE2\x80" "234", "0|1|0|1||"},
      {"'", "\xC2\xB7", "1'234\xC2\xB7" "5", "0|8|0|1234|5|"}};
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(c.expected, Parse(c.text, Sym(c.group), Sym(c.decimal)));
}

TEST(DecimalCForm, Table) {
  struct Case {
    const char* text;
    bool cForm;
  } cases[] = {{"1234.5", true},   {" -1234.5 ", true}, {"1.2.3", true},  {"", true},
               {"   ", true},      {"-", true},         {"1,234", false}, {"--1", false},
               {"1234.5-", false}, {"(1)", false},      {"- 1", false},   {"12a", false}};
  for (const Case& c : cases) {
    EXPECT_EQ(gnutil::IsDecimalCForm(c.text), c.cForm) << c.text;
  }
  EXPECT_TRUE(gnutil::IsDecimalCForm(nullptr));
}

struct FormatCase {
  const char *integer, *fraction;
  int negative;
  const char* grouping;  // null: no grouping at all
  const char* expected;
};

// clang-format off
const FormatCase kFormatCases[] = {
    {"1234567", "891", 0, "3;0", "1,234,567.891"}, {"1234567", "", 0, "3;2;0", "12,34,567"},
    {"12345678901", "", 0, "3;2;0", "12,34,56,78,901"}, {"1234567", "", 0, "3", "1234,567"},
    {"1234567", "", 0, "2;3", "12,345,67"}, {"1234567", "", 0, "", "1234567"},
    {"1234567", "", 0, "0", "1234567"}, {"1234567", "", 0, "0;3", "1234567"},
    {"1234567", "", 0, nullptr, "1234567"},
    {"1234567", "", 0, "3a;0 ", "1,234,567"},  // stray characters are skipped
    {"12345", "", 0, "1;0", "1,2,3,4,5"}, {"123", "", 0, "3;0", "123"},
    {"0012", "", 0, "3;0", "0,012"}, {"", "5", 0, "3;0", "0.5"}, {"", "", 0, "3;0", "0"},
    {"", "", -1, nullptr, "-0"},
    {"1234", "5", -1, "3;0", "-1,234.5"}};
// clang-format on

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
  for (const FormatCase& c : kFormatCases) {
    EXPECT_EQ(c.expected, Format(c)) << c.integer << " / " << (c.grouping ? c.grouping : "(null)");
  }
  // Wide separators are written whole.
  EXPECT_EQ(
      "1\xE2\x80\xAF"
      "234\xE2\x80\xAF"
      "567,25",
      Format({"1234567", "25", 0, "3;0", ""}, Sym("\xE2\x80\xAF"), Sym(",")));
}

TEST(DecimalFormat, LongestResultFitsItsSize) {
  // 255 digits grouped after every digit with a four-byte separator.
  const std::string nines(255, '9'), ones(255, '1');
  DecimalSymbol wide = Sym("\xF0\x9F\x98\x80");
  EXPECT_EQ(Format({nines.c_str(), ones.c_str(), -1, "1;0", ""}, wide, wide).size(),
            1u + 255 + 254 * 4 + 4 + 255);
}

// ShiftDecimal's answer and the number after it: ok|integer|fraction|.
std::string Shift(const char* integer, const char* fraction, int exponent) {
  DecimalNumberT n{};
  strcpy(n.integerPart, integer);
  strcpy(n.fractionPart, fraction);
  bool ok = gnutil::ShiftDecimal(&n, exponent);
  return Join(ok, n.integerPart, n.fractionPart);
}

TEST(DecimalShift, Table) {
  // clang-format off
  const struct {
    const char *integer, *fraction;
    int exponent;
    const char* expected;
  } cases[] = {
      {"0", "5", 1, "1|05||"}, {"5", "", 2, "1|500||"}, {"12", "", -3, "1||012|"},
      {"1234", "5", -2, "1|12|345|"}, {"1", "2345", 2, "1|123|45|"}, {"1", "2", 0, "1|1|2|"},
      {"", "", 3, "1|000||"}, {"1", "", -256, "0|1||"}, {"1", "5", -255, "0|1|5|"},
      {"1", "", 255, "0|1||"}, {"1", "", INT_MIN, "0|1||"}, {"1", "", INT_MAX, "0|1||"}};
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Shift(c.integer, c.fraction, c.exponent)) << c.exponent;
  }
  EXPECT_EQ("1||" + std::string(254, '0') + "1|", Shift("1", "", -255));
  EXPECT_EQ("1|1" + std::string(254, '0') + "||", Shift("1", "", 254));
}

// In a double-byte locale the scan goes by characters: the trail byte of "＝"
// (0x81 0x81) and "D" (0x44) are not the decimal symbol 0x81 0x44 used here.
TEST(DecimalParse, DoubleByteTextIsScannedByCharacters) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  EXPECT_EQ("0|4|0|5||", Parse("\x81\x81"
                               "D5",
                               Sym(","), Sym("\x81\x44")));
  EXPECT_EQ("0|5|0|12|5|", Parse("12\x81\x44"
                                 "5",
                                 Sym(","), Sym("\x81\x44")));
  EXPECT_EQ(gnutil::DecimalFirstCharacter("\x81\x44xyz").length, 2u);
}

TEST(DecimalSymbolOf, WholeFirstCharacterInUtf8) {
  GNUTIL_USE_LOCALE("fr_FR.utf8");
  struct Case {
    const char* text;
    size_t length;
  } cases[] = {{"\xE2\x80\xAF", 3}, {"\xC2\xA0x", 2}, {",", 1}, {"", 0},
               {"\xE2\x80", 1},     {"\xFF", 1}};
  for (const Case& c : cases) {
    gnutil::DecimalSymbol s = gnutil::DecimalFirstCharacter(c.text);
    EXPECT_EQ(s.length, c.length) << c.text;
    EXPECT_EQ(memcmp(s.bytes, c.text, s.length), 0);
  }
  EXPECT_EQ(gnutil::DecimalFirstCharacter(nullptr).length, 0u);
}

}  // namespace
