// The era record and the era look-ups of a locale record.
#include "gnutil/emperor.h"

#include <gtest/gtest.h>

#include <string>

#include "gnutil/lclocale.h"
#include "support/fake_locale_info.h"
#include "support/joined.h"

namespace {

using gnutil_test::Join;

const char kHeisei[] = "\x95\xBD\x90\xAC";
const char kShowa[] = "\x8F\xBA\x98\x61";
const char kReiwa[] = "\x97\xDF\x98\x61";

std::string Name(CEmperor& e) {
  CGNString s;
  e.Emperor(s);
  return std::string(s);
}

TEST(Emperor, EmptySetAndCopies) {
  EXPECT_EQ(1, CEmperor().IsEmpty());
  EXPECT_EQ(0, CEmperor(CGNString(""), 1926, 0).IsEmpty());
  CEmperor e;
  e.Set(CGNString(kShowa), 1926, 63);
  CEmperor copy(e);
  e.Set(CGNString(kHeisei), 1989, 0);
  EXPECT_EQ(kShowa, Name(copy));
  // A span ends the era; an era that starts within its year counts by day.
  EXPECT_EQ("0|0|", Join(copy.EmperorYrFromGregorianYr(1925), copy.EmperorYrFromGregorianYr(1989)));
  CEmperor reiwa(CGNString(kReiwa), 2019, 0), assigned;
  reiwa.SetFirstDay(5, 1);
  assigned = reiwa;
  const struct {
    long y, m, d, expected;
  } cases[] = {
      {2019, 4, 30, 0}, {2019, 5, 1, 1}, {2020, 1, 1, 2}, {2019, 1, 1, 0}, {2018, 6, 1, 0}};
  for (auto& c : cases)
    EXPECT_EQ(c.expected, assigned.EmperorYrFromGregorianDate(c.y, c.m, c.d)) << c.y << "-" << c.m;
  EXPECT_EQ(1, reiwa.EmperorYrFromGregorianYr(2019));  // whole years: 2019 is year 1
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
  const struct {
    long year;
    const char* era;  // null: none
    long eraYear;
  } cases[] = {{1925, nullptr, 1925},
               {1926, kShowa, 1},
               {1988, kShowa, 63},
               {1989, kHeisei, 1},
               {2019, kHeisei, 31}};
  for (auto& c : cases) {
    CGNString name("before");
    EXPECT_EQ(c.era != nullptr ? 1 : 0, l.EmperorFromGregorianYr(c.year, name)) << c.year;
    EXPECT_STREQ(c.era != nullptr ? c.era : "before", name) << c.year;
    EXPECT_EQ(c.eraYear, l.EmperorYrFromGregorianYr(c.year)) << c.year;
  }
  const char* order[] = {kHeisei, kShowa, ""};
  for (int i = 0; i < 3; ++i) {
    l.Emperor(i, s);
    EXPECT_STREQ(order[i], s) << i;
  }
  EXPECT_EQ(1, l.m_pEmperors[2].IsEmpty());
  // Back from an era year; past its span an era year runs on.
  EXPECT_EQ(1989, l.GregorianYrFromEmperorYr(l.m_pEmperors[0], 1));
  EXPECT_EQ(1989, l.GregorianYrFromEmperorYr(l.m_pEmperors[1], 64));
  EXPECT_EQ(1995, l.GregorianYrFromEmperorYr(l.m_pEmperors[1], 70));
}

TEST(LocaleEras, CurrentEraIsOptIn) {
  gnutil_test::UseShiftJisFixedTexts();
  EXPECT_EQ(LC_ERAS_CLASSIC, CLCLocale::GetEraSource());
  EXPECT_EQ(0, CLCLocale::SetEraSource(7));
  ASSERT_EQ(1, CLCLocale::SetEraSource(LC_ERAS_CURRENT));
  CLCLocale l;
  l.Init();
  ASSERT_EQ(3, l.EmperorCount());
  const struct {
    long y, m, d;
    const char* era;
    long eraYear;
  } cases[] = {{2019, 4, 30, kHeisei, 31},
               {2019, 5, 1, kReiwa, 1},
               {2020, 1, 1, kReiwa, 2},
               {1988, 12, 31, kShowa, 63},
               {1925, 6, 1, nullptr, 1925}};
  for (auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
    CGNString name;
    long index = 99;
    EXPECT_EQ(c.era ? 1 : 0, l.EmperorFromGregorianDate(c.y, c.m, c.d, name, &index));
    EXPECT_STREQ(c.era ? c.era : "", name);
    EXPECT_EQ(c.eraYear, l.EmperorYrFromGregorianDate(c.y, c.m, c.d));
    if (!c.era) {
      EXPECT_EQ(-1, index);
    }
  }
  // Whole years: 2019 is the new era's first year, 2020 no longer the old one.
  EXPECT_EQ(1, l.EmperorYrFromGregorianYr(2019));
  EXPECT_EQ(2, l.EmperorYrFromGregorianYr(2020));
  EXPECT_EQ(0, l.m_pEmperors[1].EmperorYrFromGregorianYr(2020));
  // Back to the default: the next Init builds the built-in table again.
  CLCLocale::SetEraSource(LC_ERAS_CLASSIC);
  l.Init();
  EXPECT_EQ(2, l.EmperorCount());
}

}  // namespace
