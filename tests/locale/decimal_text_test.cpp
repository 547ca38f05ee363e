// The digit-string core of CGNDecimal with separators passed in: parsing,
// grouping, formatting, shifting and the 255-digit bound (the conversions
// they make up are tested through CGNDecimal).
#include <gtest/gtest.h>
#include <limits.h>

#include <string>

#include "locale/decimal_text.h"
#include "support/test_locale.h"

namespace {

using gnutil::DecimalByte;
using gnutil::DecimalSymbol;

DecimalSymbol Sym(const char* bytes) {
  DecimalSymbol s{};
  s.length = strlen(bytes);
  memcpy(s.bytes, bytes, s.length);
  return s;
}

const DecimalSymbol kComma = DecimalByte(',');
const DecimalSymbol kPoint = DecimalByte('.');

struct ParseCase {
  const char* text;
  int result, negative;
  const char *integer, *fraction;
  int end;
};

// Read with "," as group separator and "." as decimal symbol.
// clang-format off
const ParseCase kParseCases[] = {
    {"1,234,567.891", 0, 0, "1234567", "891", 13}, {"-1234.5", 0, -1, "1234", "5", 7},
    {"1234.5-", 0, -1, "1234", "5", 6}, {"(1234.5)", 0, -1, "1234", "5", 7},
    {".5", 0, 0, "", "5", 2}, {"0012", 0, 0, "0012", "", 4}, {"5.", 0, 0, "5", "", 2},
    {"12a", 0, 0, "12", "", 2}, {"1,2,3", 0, 0, "123", "", 5}, {"  42  ", 0, 0, "42", "", 4},
    {" -42", 0, -1, "42", "", 4}, {"", 0, 0, "", "", 0},
    {"(12", 0, 0, "12", "", 3},  // no closing parenthesis: not examined
    {"x12", 0, 0, "12", "", 3},
    {",5", 0, 0, "5", "", 2},  // a group separator cannot start a number
    {"- 12", -1, 0, "", "", 4}, {"12 -", -1, 0, "", "", 2}, {"--12", -1, 0, "", "", 4},
    {"-12-", -1, 0, "", "", 3}, {"12)-", -1, 0, "", "", 2}, {"( 12)", -1, 0, "", "", 4},
    {"(12 )", -1, 0, "", "", 3}, {"1.2.3", -1, 0, "", "", 5}, {"1.2,3", -1, 0, "", "", 5},
    {".", -1, 0, "", "", 1}, {"abc", -1, 0, "", "", 0}, {"   ", -1, 0, "", "", 0},
    {"-", -1, 0, "", "", 0}};
// clang-format on

TEST(DecimalParse, TableWithCommaAndPoint) {
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(c.text);
    DecimalNumberT n;
    int end = -7;
    ASSERT_EQ(gnutil::ParseDecimal(c.text, &n, kComma, kPoint, &end), c.result);
    EXPECT_EQ(end, c.end);
    if (c.result != 0) continue;
    EXPECT_EQ(n.negative, c.negative);
    EXPECT_STREQ(n.integerPart, c.integer);
    EXPECT_STREQ(n.fractionPart, c.fraction);
  }
}

TEST(DecimalParse, NullArgumentsEmptySymbolsAndReuse) {
  DecimalNumberT n;
  int end = 5;
  EXPECT_EQ(gnutil::ParseDecimal(nullptr, &n, kComma, kPoint, &end), -1);
  EXPECT_EQ(end, 0);
  EXPECT_EQ(gnutil::ParseDecimal("12", nullptr, kComma, kPoint, nullptr), -1);
  // Empty symbols match nothing.
  EXPECT_EQ(gnutil::ParseDecimal("12.5", &n, DecimalByte('\0'), DecimalByte('\0'), &end), 0);
  EXPECT_STREQ(n.integerPart, "12");
  EXPECT_EQ(end, 2);
  EXPECT_EQ(gnutil::ParseDecimal(".5", &n, DecimalByte('\0'), DecimalByte('\0'), &end), 0);
  EXPECT_STREQ(n.integerPart, "5");
  // Nothing of an earlier number remains.
  ASSERT_EQ(gnutil::ParseDecimal("-123456.789", &n, kComma, kPoint, nullptr), 0);
  ASSERT_EQ(gnutil::ParseDecimal("7", &n, kComma, kPoint, nullptr), 0);
  EXPECT_STREQ(n.integerPart, "7");
  EXPECT_STREQ(n.fractionPart, "");
  EXPECT_EQ(n.negative, 0);
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
  struct Case {
    const char *group, *decimal, *text, *integer, *fraction;
    int end;
  } cases[] = {
      {".", ",", "1.234,5", "1234", "5", 7},
      {".", ",", "abc 12,5 kg", "12", "5", 8},
      {" ", ",", "1 234 567 kg", "1234567", "", 10},  // the blank before kg reads as a group
      {"\xA0", ",",
       "1\xA0"
       "234,5",
       "1234", "5", 7},
      {"\xE2\x80\xAF", ",",
       "1\xE2\x80\xAF"
       "234\xE2\x80\xAF"
       "567,5",
       "1234567", "5", 15},
      // A lone byte of a three-byte separator is not the separator.
      {"\xE2\x80\xAF", ",",
       "1\xE2\x80"
       "234",
       "1", "", 1},
      {"'", "\xC2\xB7",
       "1'234\xC2\xB7"
       "5",
       "1234", "5", 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    DecimalNumberT n;
    int end = 0;
    ASSERT_EQ(gnutil::ParseDecimal(c.text, &n, Sym(c.group), Sym(c.decimal), &end), 0);
    EXPECT_STREQ(n.integerPart, c.integer);
    EXPECT_STREQ(n.fractionPart, c.fraction);
    EXPECT_EQ(end, c.end);
  }
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

TEST(DecimalFormat, GroupingForms) {
  for (const FormatCase& c : kFormatCases) {
    SCOPED_TRACE(std::string(c.integer) + " / " + (c.grouping ? c.grouping : "(null)"));
    DecimalNumberT n{};
    strcpy(n.integerPart, c.integer);
    strcpy(n.fractionPart, c.fraction);
    n.negative = c.negative;
    gnutil::DecimalGrouping g = gnutil::ParseDecimalGrouping(c.grouping);
    const gnutil::DecimalGrouping* groups = c.grouping != nullptr ? &g : nullptr;
    size_t size = gnutil::DecimalFormattedSize(n, kComma, kPoint, groups);
    std::string out(size + 8, '#');
    size_t length = gnutil::FormatDecimal(&out[0], n, kComma, kPoint, groups);
    EXPECT_EQ(length + 1, size);
    EXPECT_STREQ(out.c_str(), c.expected);
    EXPECT_EQ(out[size], '#');
  }
}

TEST(DecimalFormat, WideSeparatorsAreWrittenWhole) {
  DecimalNumberT n{};
  strcpy(n.integerPart, "1234567");
  strcpy(n.fractionPart, "25");
  gnutil::DecimalGrouping g = gnutil::ParseDecimalGrouping("3;0");
  char out[64];
  size_t size = gnutil::DecimalFormattedSize(n, Sym("\xE2\x80\xAF"), Sym(","), &g);
  EXPECT_EQ(gnutil::FormatDecimal(out, n, Sym("\xE2\x80\xAF"), Sym(","), &g) + 1, size);
  EXPECT_STREQ(out,
               "1\xE2\x80\xAF"
               "234\xE2\x80\xAF"
               "567,25");
}

TEST(DecimalFormat, LongestResultFitsItsSize) {
  // 255 digits grouped after every digit with a four-byte separator.
  DecimalNumberT n{};
  memset(n.integerPart, '9', 255);
  memset(n.fractionPart, '1', 255);
  n.negative = -1;
  gnutil::DecimalGrouping g = gnutil::ParseDecimalGrouping("1;0");
  DecimalSymbol wide = Sym("\xF0\x9F\x98\x80");
  size_t size = gnutil::DecimalFormattedSize(n, wide, wide, &g);
  EXPECT_EQ(size, 1u + 255 + 254 * 4 + 4 + 255 + 1);
  std::string out(size, '#');
  EXPECT_EQ(gnutil::FormatDecimal(&out[0], n, wide, wide, &g), size - 1);
}

struct ShiftCase {
  const char *integer, *fraction;
  int exponent;
  bool ok;
  const char *newInteger, *newFraction;
};

// clang-format off
const ShiftCase kShiftCases[] = {
    {"0", "5", 1, true, "05", ""}, {"5", "", 2, true, "500", ""}, {"12", "", -3, true, "", "012"},
    {"1234", "5", -2, true, "12", "345"}, {"1", "2345", 2, true, "123", "45"},
    {"1", "2", 0, true, "1", "2"}, {"", "", 3, true, "000", ""},
    {"1", "", -255, true, "", nullptr},  // 254 zeros and 1: checked below
    {"1", "", -256, false, "1", ""}, {"1", "5", -255, false, "1", "5"},
    {"1", "", 254, true, nullptr, ""}, {"1", "", 255, false, "1", ""},
    {"1", "", INT_MIN, false, "1", ""},
    {"1", "", INT_MAX, false, "1", ""}};
// clang-format on

TEST(DecimalShift, Table) {
  for (const ShiftCase& c : kShiftCases) {
    SCOPED_TRACE(std::string(c.integer) + "." + c.fraction + " e" + std::to_string(c.exponent));
    DecimalNumberT n{};
    strcpy(n.integerPart, c.integer);
    strcpy(n.fractionPart, c.fraction);
    EXPECT_EQ(gnutil::ShiftDecimal(&n, c.exponent), c.ok);
    if (c.newInteger != nullptr) {
      EXPECT_STREQ(n.integerPart, c.newInteger);
    }
    if (c.newFraction != nullptr) {
      EXPECT_STREQ(n.fractionPart, c.newFraction);
    }
  }
  DecimalNumberT n{};
  strcpy(n.integerPart, "1");
  ASSERT_TRUE(gnutil::ShiftDecimal(&n, -255));
  EXPECT_EQ(std::string(n.fractionPart), std::string(254, '0') + "1");
  strcpy(n.integerPart, "1");
  ASSERT_TRUE(gnutil::ShiftDecimal(&n, 254));
  EXPECT_EQ(std::string(n.integerPart), "1" + std::string(254, '0'));
}

// In a double-byte locale the scan goes by characters: the trail byte of
// "＝" (0x81 0x81) followed by "D" (0x44) is not the full-width point
// 0x81 0x44 used here as decimal symbol.
TEST(DecimalParse, DoubleByteTextIsScannedByCharacters) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  DecimalNumberT n;
  ASSERT_EQ(gnutil::ParseDecimal("\x81\x81"
                                 "D5",
                                 &n, Sym(","), Sym("\x81\x44"), nullptr),
            0);
  EXPECT_STREQ(n.integerPart, "5");
  EXPECT_STREQ(n.fractionPart, "");
  ASSERT_EQ(gnutil::ParseDecimal("12\x81\x44"
                                 "5",
                                 &n, Sym(","), Sym("\x81\x44"), nullptr),
            0);
  EXPECT_STREQ(n.integerPart, "12");
  EXPECT_STREQ(n.fractionPart, "5");
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
