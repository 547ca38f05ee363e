// The era record and the era look-ups of a locale record.
#include "gnutil/emperor.h"

#include <gtest/gtest.h>

#include <string>

#include "gnutil/lclocale.h"
#include "support/fake_locale_info.h"

namespace {

const char kHeisei[] = "\x95\xBD\x90\xAC";
const char kShowa[] = "\x8F\xBA\x98\x61";
const char kReiwa[] = "\x97\xDF\x98\x61";

std::string Name(CEmperor& e) {
  CGNString s;
  e.Emperor(s);
  return std::string(s);
}

TEST(Emperor, EmptyAndSet) {
  CEmperor empty;
  EXPECT_EQ(1, empty.IsEmpty());
  CEmperor yearOnly(CGNString(""), 1926, 0);
  EXPECT_EQ(0, yearOnly.IsEmpty());
  CEmperor nameOnly(CGNString("x"), 0, 0);
  EXPECT_EQ(0, nameOnly.IsEmpty());

  CEmperor e;
  e.Set(CGNString(kShowa), 1926, 63);
  EXPECT_EQ(kShowa, Name(e));
  EXPECT_EQ(1926, e.GetFirstYear());
  CEmperor copy(e);
  CEmperor assigned;
  assigned = e;
  e.Set(CGNString(kHeisei), 1989, 0);
  EXPECT_EQ(kShowa, Name(copy));
  EXPECT_EQ(63, assigned.GetSpan());
}

TEST(Emperor, YearInEra) {
  CEmperor showa(CGNString(kShowa), 1926, 63);
  CEmperor heisei(CGNString(kHeisei), 1989, 0);
  struct {
    CEmperor* era;
    long year;
    long expected;
  } cases[] = {
      {&showa, 1925, 0},   {&showa, 1926, 1},   {&showa, 1988, 63},
      {&showa, 1989, 0},   {&heisei, 1988, 0},  {&heisei, 1989, 1},
      {&heisei, 1999, 11}, {&heisei, 2001, 13}, {&heisei, 2030, 42},
  };
  for (auto& c : cases) EXPECT_EQ(c.expected, c.era->EmperorYrFromGregorianYr(c.year)) << c.year;
}

TEST(Emperor, DateInEraThatStartsInTheYear) {
  CEmperor reiwa(CGNString(kReiwa), 2019, 0);
  reiwa.SetFirstDay(5, 1);
  struct {
    long y, m, d, expected;
  } cases[] = {{2019, 4, 30, 0}, {2019, 5, 1, 1}, {2019, 12, 31, 1}, {2020, 1, 1, 2},
               {2018, 6, 1, 0},  {2019, 1, 1, 0}, {2026, 3, 4, 8}};
  for (auto& c : cases)
    EXPECT_EQ(c.expected, reiwa.EmperorYrFromGregorianDate(c.y, c.m, c.d))
        << c.y << "-" << c.m << "-" << c.d;
  // The whole-year look-up still counts 2019 as year 1.
  EXPECT_EQ(1, reiwa.EmperorYrFromGregorianYr(2019));
}

TEST(LocaleEras, BuiltInTableAfterInit) {
  gnutil_test::UseShiftJisFixedTexts();
  CLCLocale l;
  CGNString s("unchanged");
  // No table before Init: no era, the year comes back.
  EXPECT_EQ(0, l.EmperorCount());
  EXPECT_EQ(1, l.Emperor(0, s));
  EXPECT_STREQ("", s);
  EXPECT_EQ(1995, l.EmperorYrFromGregorianYr(1995));

  l.Init();
  ASSERT_EQ(2, l.EmperorCount());
  struct {
    long year;
    const char* era;  // null: none
    long eraYear;
  } cases[] = {{1925, nullptr, 1925}, {1926, kShowa, 1},   {1988, kShowa, 63},
               {1989, kHeisei, 1},    {1999, kHeisei, 11}, {2001, kHeisei, 13},
               {2019, kHeisei, 31},   {2030, kHeisei, 42}};
  for (auto& c : cases) {
    CGNString name("before");
    EXPECT_EQ(c.era != nullptr ? 1 : 0, l.EmperorFromGregorianYr(c.year, name)) << c.year;
    EXPECT_STREQ(c.era != nullptr ? c.era : "before", name) << c.year;
    EXPECT_EQ(c.eraYear, l.EmperorYrFromGregorianYr(c.year)) << c.year;
  }
  l.Emperor(0, s);
  EXPECT_STREQ(kHeisei, s);
  l.Emperor(1, s);
  EXPECT_STREQ(kShowa, s);
  l.Emperor(2, s);
  EXPECT_STREQ("", s);
  EXPECT_EQ(1, l.m_pEmperors[2].IsEmpty());
}

TEST(LocaleEras, GregorianFromEraYear) {
  CLCLocale l;
  CEmperor heisei(CGNString(kHeisei), 1989, 0);
  CEmperor showa(CGNString(kShowa), 1926, 63);
  EXPECT_EQ(1989, l.GregorianYrFromEmperorYr(heisei, 1));
  EXPECT_EQ(1989, l.GregorianYrFromEmperorYr(showa, 64));
  EXPECT_EQ(1995, l.GregorianYrFromEmperorYr(showa, 70));
}

TEST(LocaleEras, CurrentEraIsOptIn) {
  gnutil_test::UseShiftJisFixedTexts();
  EXPECT_EQ(LC_ERAS_CLASSIC, CLCLocale::GetEraSource());
  EXPECT_EQ(0, CLCLocale::SetEraSource(7));
  ASSERT_EQ(1, CLCLocale::SetEraSource(LC_ERAS_CURRENT));
  CLCLocale l;
  l.Init();
  ASSERT_EQ(3, l.EmperorCount());
  struct {
    long y, m, d;
    const char* era;
    long eraYear;
  } cases[] = {
      {2019, 4, 30, kHeisei, 31},  {2019, 5, 1, kReiwa, 1},  {2020, 1, 1, kReiwa, 2},
      {2026, 12, 6, kReiwa, 8},    {1989, 1, 1, kHeisei, 1}, {1988, 12, 31, kShowa, 63},
      {1925, 6, 1, nullptr, 1925},
  };
  for (auto& c : cases) {
    CGNString name;
    long index = 99;
    EXPECT_EQ(c.era ? 1 : 0, l.EmperorFromGregorianDate(c.y, c.m, c.d, name, &index));
    EXPECT_STREQ(c.era ? c.era : "", name) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(c.eraYear, l.EmperorYrFromGregorianDate(c.y, c.m, c.d));
    if (!c.era) {
      EXPECT_EQ(-1, index);
    }
  }
  // Whole years: 2019 is the new era's first year, 2020 no longer the old one.
  EXPECT_EQ(1, l.EmperorYrFromGregorianYr(2019));
  EXPECT_EQ(2, l.EmperorYrFromGregorianYr(2020));
  CEmperor heisei = l.m_pEmperors[1];
  EXPECT_EQ(0, heisei.EmperorYrFromGregorianYr(2020));

  // Back to the default: the next Init builds the built-in table again.
  CLCLocale::SetEraSource(LC_ERAS_CLASSIC);
  l.Init();
  EXPECT_EQ(2, l.EmperorCount());
}

}  // namespace
