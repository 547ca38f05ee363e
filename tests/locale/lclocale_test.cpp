// The locale record, its eras, and filling it from a stand-in for the system's items.
#include "gnutil/lclocale.h"

#include <gtest/gtest.h>

#include <string>

#include "gnutil/emperor.h"
#include "gnutil/localeinfo.h"
#include "gnutil/osconfig.h"
#include "locale/lclocale_internal.h"
#include "platform/localeinfo.h"
#include "support/fake_locale_info.h"
#include "support/joined.h"
#include "support/temp_dir.h"

namespace {

namespace item = gnutil::lcitem;
// The era names in Shift-JIS, as the records give them in the C locale.
const char kHeisei[] = "\x95\xBD\x90\xAC";
const char kShowa[] = "\x8F\xBA\x98\x61";
const char kReiwa[] = "\x97\xDF\x98\x61";
using namespace gnutil_test;  // NOLINT: the suite's stand-ins and helpers

// What a getter writes (over a sentinel), given its arguments before the text.
template <typename Get, typename... Args>
std::string Read(CLCLocale& l, Get get, Args... args) {
  CGNString s("sentinel");
  (l.*get)(args..., s);
  return std::string(s);
}

// The record's settings by name, their built-in values and how to read them:
// dates and times, numbers, and the names of Sunday, December and the
// abbreviations of Monday and March.
using L = CLCLocale;
const struct {
  const char *name, *builtIn;
  std::string (*get)(L&);
} kSettings[] = {{"time", "hh:mm:ss tt", [](L& l) { return Text(l.m_timeFormat); }},
                 {"short", "M/d/yy", [](L& l) { return Text(l.m_shortDateFormat); }},
                 {"long", "dddd, MMMM dd, yyyy", [](L& l) { return Text(l.m_longDateFormat); }},
                 {"date sep", "/", [](L& l) { return Text(l.m_dateSep); }},
                 {"time sep", ":", [](L& l) { return Text(l.m_timeSep); }},
                 {"am", "AM", [](L& l) { return Text(l.m_amString); }},
                 {"pm", "PM", [](L& l) { return Text(l.m_pmString); }},
                 {"24h", "0", [](L& l) { return Text(l.m_24HourTime); }},
                 {"marker first", "0", [](L& l) { return Text(l.m_ampmPrefix); }},
                 {"hour zero", "0", [](L& l) { return Text(l.m_hourLeadingZero); }},
                 {"calendar", "1", [](L& l) { return Text(l.GetCalendarType()); }},
                 {"long or short", "0", [](L& l) { return Text(l.LongOrShort()); }},
                 {"grouping", "", [](L& l) { return Text(l.m_decNumDigitsInGroup); }},
                 {"decimal", ".", [](L& l) { return Text(l.m_decDecimalSymbol); }},
                 {"group", ",", [](L& l) { return Text(l.m_decDigitGroupSeparator); }},
                 {"negative sign", "-", [](L& l) { return Text(l.m_decNegativeSign); }},
                 {"negative form", "0", [](L& l) { return Text(l.GetDecNegativeNumFormat()); }},
                 {"leading zero", "0", [](L& l) { return Text(l.GetDecDisplayLeadingZeroes()); }},
                 {"sunday", "Sunday", [](L& l) { return Read(l, &L::DayName, 6); }},
                 {"monday abbrev", "Mon", [](L& l) { return Read(l, &L::DayAbbrev, 0); }},
                 {"december", "December", [](L& l) { return Read(l, &L::MonthName, 11); }},
                 {"march abbrev", "Mar", [](L& l) { return Read(l, &L::MonthAbbrev, 2); }}};

Record Settings(CLCLocale* l) {  // null: the built-in values
  Record r;
  for (const auto& s : kSettings) r[s.name] = l != nullptr ? s.get(*l) : s.builtIn;
  return r;
}
const Record kBuiltIn = Settings(nullptr);

TEST(LocaleRecord, BuiltInValues) {
  CLCLocale l;
  EXPECT_EQ(Settings(&l), kBuiltIn);
  EXPECT_EQ(l.GetLocaleId(), 1024u);
  EXPECT_EQ(l.GetLang(), LANGCLASS_UNKNOWN);
  EXPECT_EQ(l.GetLangName(), LANGNAME_UNKNOWN);
  EXPECT_FALSE(l.IsMultiByte());
  EXPECT_FALSE(l.IsUnicode());
  EXPECT_FALSE(l.Customized());
  EXPECT_EQ(l.m_pEmperors, nullptr);
  // Past either end: nothing.
  EXPECT_EQ("||||", Join(Read(l, &L::MonthName, 12), Read(l, &L::MonthAbbrev, -1),
                         Read(l, &L::DayName, 7), Read(l, &L::DayAbbrev, -5)));
}

TEST(LocaleRecord, JapaneseUnitCharacters) {
  UseShiftJisFixedTexts();
  CLCLocale l;
  auto units = [&l] {  // the year to second characters
    return Join(Read(l, &L::YearChar), Read(l, &L::MonthChar), Read(l, &L::DayChar),
                Read(l, &L::HourChar), Read(l, &L::MinuteChar), Read(l, &L::SecondChar));
  };
  EXPECT_FALSE(l.LocaleIsJapanese());
  EXPECT_EQ("||||||", units());
  l.m_langName = LANGNAME_JAPANESE;
  EXPECT_TRUE(l.LocaleIsJapanese());
  EXPECT_EQ("\x94\x4E|\x8C\x8E|\x93\xFA|\x8E\x9E|\x95\xAA|\x95\x62|", units());
}

TEST(LocaleRecord, CopiesOwnTheirEraTable) {
  UseShiftJisFixedTexts();
  CLCLocale* first = new CLCLocale;
  first->Init();
  first->m_dateSep = ".";
  CLCLocale copy(*first);
  CLCLocale assigned;
  assigned = *first;
  assigned = *first;  // twice: one table, no leak (checked under ASan)
  EXPECT_NE(first->m_pEmperors, copy.m_pEmperors);
  delete first;
  EXPECT_EQ(
      Join(kHeisei, kShowa, "."),
      Join(Read(copy, &L::Emperor, 0), Read(assigned, &L::Emperor, 1), Read(copy, &L::DateSep)));
  assigned = assigned;
  EXPECT_EQ(2, assigned.EmperorCount());
}

// The built-in table (none before Init) by year; the current era, opt-in,
// by date: in 2019 the day decides.
TEST(LocaleEras, BuiltInTableAndCurrentEra) {
  UseShiftJisFixedTexts();
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
  } years[] = {{1925, nullptr, 1925},
               {1926, kShowa, 1},
               {1988, kShowa, 63},
               {1989, kHeisei, 1},
               {2019, kHeisei, 31}};
  for (auto& c : years) {
    CGNString name("before");
    EXPECT_EQ(c.era != nullptr ? 1 : 0, l.EmperorFromGregorianYr(c.year, name)) << c.year;
    EXPECT_STREQ(c.era != nullptr ? c.era : "before", name) << c.year;
    EXPECT_EQ(c.eraYear, l.EmperorYrFromGregorianYr(c.year)) << c.year;
  }
  // Back from an era year: past its span an era year runs on.
  EXPECT_EQ(1989, l.GregorianYrFromEmperorYr(l.m_pEmperors[1], 64));
  EXPECT_EQ(1995, l.GregorianYrFromEmperorYr(l.m_pEmperors[1], 70));

  EXPECT_EQ(LC_ERAS_CLASSIC, CLCLocale::GetEraSource());
  EXPECT_EQ(0, CLCLocale::SetEraSource(7));
  ASSERT_EQ(1, CLCLocale::SetEraSource(LC_ERAS_CURRENT));
  l.Init();
  ASSERT_EQ(3, l.EmperorCount());
  const struct {
    long y, m, d;
    const char* era;
    long eraYear, index;
  } dates[] = {{2019, 4, 30, kHeisei, 31, 1},
               {2019, 5, 1, kReiwa, 1, 0},
               {2020, 1, 1, kReiwa, 2, 0},
               {1925, 6, 1, nullptr, 1925, -1}};
  for (auto& c : dates) {
    SCOPED_TRACE(testing::Message() << c.y << "-" << c.m << "-" << c.d);
    CGNString name;
    long index = 99;
    EXPECT_EQ(c.era ? 1 : 0, l.EmperorFromGregorianDate(c.y, c.m, c.d, name, &index));
    EXPECT_STREQ(c.era ? c.era : "", name);
    EXPECT_EQ(c.eraYear, l.EmperorYrFromGregorianDate(c.y, c.m, c.d));
    EXPECT_EQ(c.index, index);
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

TEST(LocaleRecord, OldFormatsConverted) {
  const struct {
    const char *sep, *old, *expected;  // sep null: a long date format
  } cases[] = {{"/", "dd/MM/yy", "d/M/yy"},
               {"/", "x", "M/d/yy"},
               {".", "y", "yy.M.d"},
               {". ", "Q", "M. d. yy"},
               {nullptr, "ddd' dd MMMM", "dddd, d MMMM, yyyy"},
               {nullptr, "x ddd' y", "dddd, MMMM d, yyyy"}};
  for (auto& c : cases) {
    CLCLocale l;
    CGNString old(c.old);
    l.m_dateSep = c.sep ? c.sep : "/";  // the built-in one for the long formats
    auto convert = c.sep ? &CLCLocale::ConvertOldImportShortDateFormat
                         : &CLCLocale::ConvertOldImportLongDateFormat;
    (l.*convert)(old);
    EXPECT_EQ(c.expected, std::string(c.sep ? l.m_shortDateFormat : l.m_longDateFormat)) << c.old;
  }
}

constexpr unsigned long kJapan = 0x411;

// Each test has its own directory for initialisation files, with the system's
// own file moved into it where the platform allows (Linux).
class LocaleInit : public ::testing::Test {
 protected:
  void TearDown() override {
    if (systemFileMoved_) OSSetSystemConfigFile(nullptr);
    CLCGlobalLocale::Free();
  }
  FakeLocaleInfo fake_;
  TempDir dir_{"gnutil-locale"};
  bool systemFileMoved_ = OSSetSystemConfigFile(dir_.File("system.ini").c_str()) == 1;
};

TEST_F(LocaleInit, LanguageFromAbbreviation) {
  const struct {
    const char* abbreviation;
    int languageClass, languageName;
    unsigned char multiByte;
  } cases[] = {{"JPN", 10, 30, 1}, {"jpn", 10, 30, 1}, {"ENU", 4, 13, 0}, {"ZHI", 11, 31, 1},
               {"CHS", 0, 0, 0},   {"j", 0, 0, 0}};  // "CH" is not "zh"; "j" is too short
  for (auto& c : cases) {
    SCOPED_TRACE(c.abbreviation);
    fake_.Set(kJapan, item::kSAbbrevLangName, c.abbreviation);
    CLCLocale l;
    l.m_localeId = kJapan;
    l.m_langClass = LANGCLASS_GREEK;  // Init starts from unknown
    EXPECT_EQ(1, l.Init());
    EXPECT_EQ(Join(c.languageClass, c.languageName, c.multiByte, c.abbreviation),
              Join(l.GetLang(), l.GetLangName(), l.IsMultiByte(), l.m_langAbbrev));
  }
}

TEST_F(LocaleInit, TakesEveryItemThatAnswers) {
  const unsigned long id = 0x407;
  // Each answer and the setting it gives. The marker the system left empty
  // is empty, the one it did not answer keeps its value; the negative sign
  // never comes from the system; Init resets the calendar and the
  // long-or-short choice.
  const struct {
    unsigned long what;
    const char *text, *setting;
  } answers[] = {{item::kSDate, ".", "date sep"},
                 {item::kSTimeFormat, "HH:mm:ss", "time"},
                 {item::kSShortDate, "dd.MM.yyyy", "short"},
                 {item::kSLongDate, "dddd, d. MMMM yyyy", "long"},
                 {item::kITime, "1", "24h"},
                 {item::kITLZero, "1", "hour zero"},
                 {item::kSGrouping, "3;0", "grouping"},
                 {item::kINegNumber, "1", "negative form"},
                 {item::kILZero, "1", "leading zero"},
                 {item::kSDecimal, ",", "decimal"},
                 {item::kSThousand, ".", "group"},
                 {item::kS1159, "", "am"},
                 {item::kSDayName1 + 6, "Sonntag", "sunday"},
                 {item::kSAbbrevDayName1, "Mo", "monday abbrev"},
                 {item::kSMonthName1 + 11, "Dezember", "december"},
                 {item::kSAbbrevMonthName1 + 2, "Mrz", "march abbrev"}};
  fake_.Set(id, item::kSAbbrevLangName, "DEU");
  Record expected = kBuiltIn;
  for (auto& a : answers) {
    fake_.Set(id, a.what, a.text);
    expected[a.setting] = a.text;
  }
  CLCLocale l;
  l.m_localeId = id;
  l.m_calendarType = 3;
  l.m_longOrShort = 2;
  EXPECT_EQ(1, l.Init());
  EXPECT_EQ(LANGNAME_GERMAN, l.GetLangName());
  EXPECT_EQ(Settings(&l), expected);
}

TEST_F(LocaleInit, NothingAnswersLeavesBuiltInValues) {
  CLCLocale l;
  l.m_localeId = 0x999;
  // Without a profile setting, Linux falls back on the user's locale.
  bool fallback = !gnutil::platform::DefaultLanguageAbbreviation().empty();
  EXPECT_EQ(systemFileMoved_ && !fallback ? 0 : 1, l.Init());
  CLCLocale fresh;
  EXPECT_EQ(Settings(&l), Settings(&fresh));
}

TEST_F(LocaleInit, CustomizeKeepsOrTakes) {
  CLCLocale l;
  l.m_timeFormat = "h:mm tt";
  l.m_decNumDigitsInGroup = "3;0";
  const struct {
    const char *timeFormat, *expectedFormat;
    long expected24;
  } cases[] = {
      {"HH:mm", "HH:mm", 1}, {"", "HH:mm", 1}, {"h:mm tt", "h:mm tt", 0}, {"H.mm", "H.mm", 1}};
  for (auto& c : cases) {
    l.Customize(c.timeFormat, "", "d MMMM yyyy", 2, "", 3, 1, "", "~", "", "");
    EXPECT_EQ(c.expectedFormat, std::string(l.m_timeFormat));
    EXPECT_EQ(c.expected24, l.m_24HourTime);
  }
  // Empty texts keep what the record had, except the grouping.
  EXPECT_EQ(Settings(&l), With(kBuiltIn, {{"time", "H.mm"},
                                          {"long", "d MMMM yyyy"},
                                          {"24h", "1"},
                                          {"long or short", "2"},
                                          {"negative sign", "~"},
                                          {"negative form", "3"},
                                          {"leading zero", "1"}}));
  EXPECT_EQ(1, l.Customized());

  // Customized: the automatic sources change nothing.
  fake_.Set(1024, item::kSDate, "-");
  fake_.Set(1024, item::kSTime, ".");
  const Record customized = Settings(&l);
  l.InitControlPanelDateSettings();
  l.InitControlPanelTimeSettings();
  WriteFile(dir_.File("app.ini"), "[Dates]\nDateSeparator=#\nTimeSeparator=!\n");
  CGNString file(dir_.File("app.ini").c_str());
  char section[] = "Dates";
  l.LoadIniDateTimeSettings(section, file);
  EXPECT_EQ(customized, Settings(&l));
  // Back to automatic.
  l.SetCustomized(0);
  l.InitControlPanelDateSettings();
  EXPECT_EQ("-", std::string(l.m_dateSep));
  l.LoadIniDateTimeSettings(section, file);
  EXPECT_EQ("#|!|", Join(l.m_dateSep, l.m_timeSep));
}

TEST_F(LocaleInit, CustomizeSwitchesLocaleFirst) {
  fake_.Set(1024, item::kSTimeFormat, "H:mm:ss");
  CLCLocale l;
  l.m_localeName = "same";
  l.m_localeId = 0x999;
  // The record's own name: no switch, so the identifier stays.
  l.Customize("hh:mm tt", "", "", 0, "", 0, 0, "", "", "", "same");
  EXPECT_EQ(0x999u, l.GetLocaleId());
  // Another name: SetLocale runs first (it re-reads the system), then the
  // caller's values are stored over what it read.
  l.Customize("hh:mm tt", "", "", 0, "", 0, 0, "", "", "", "xx_YY.none");
  EXPECT_EQ(Text(l.m_localeName), "xx_YY.none");
  EXPECT_EQ(l.GetLocaleId(), 1024u);
  EXPECT_EQ(Text(l.m_timeFormat), "hh:mm tt");
  EXPECT_EQ(Text(l.m_24HourTime), "0");
  LocaleInfo::Free();
}

TEST_F(LocaleInit, IniSettingsAndMigration) {
  const std::string path = dir_.File("app.ini");
  WriteFile(path,
            "[Locale]\nDateSeparator=-\nLongDateFormat=ddd' y\n"
            "ShortDateFormat=dd-MM-yy\nCalendarType=3\nDateDisplayMode=2\n"
            "TimeSeparator=.\nAMString=vorm.\nPMString=nachm.\n"
            "24HourTimeFormat=1\nAMPMPrefix=1\n");
  CGNString file(path.c_str());
  char section[] = "Locale";
  CLCLocale l;
  l.LoadIniDateTimeSettings(section, file);
  // The short date is converted with the separator just read.
  EXPECT_EQ(Settings(&l), With(kBuiltIn, {{"short", "d-M-yy"},
                                          {"long", "dddd, yyyy MMMM d"},
                                          {"date sep", "-"},
                                          {"time sep", "."},
                                          {"am", "vorm."},
                                          {"pm", "nachm."},
                                          {"24h", "1"},
                                          {"marker first", "1"},
                                          {"calendar", "3"},
                                          {"long or short", "2"}}));
  // The old keys are set to 0, the new ones hold the converted formats.
  auto keys = [&] {
    Record all;
    for (const char* name :
         {"LongDateFormat", "NewLongDateFormat", "ShortDateFormat", "NewShortDateFormat"}) {
      CGNString v;
      OSGetConfig(v, CGNString("missing"), CGNString("Locale"), CGNString(name), file);
      all[name] = std::string(v);
    }
    return all;
  };
  auto migrated = [](const char* longFormat) {
    return Record{{"LongDateFormat", "0"},
                  {"NewLongDateFormat", longFormat},
                  {"ShortDateFormat", "0"},
                  {"NewShortDateFormat", "d-M-yy"}};
  };
  EXPECT_EQ(keys(), migrated("dddd, yyyy MMMM d"));

  // The second time the keys are already migrated; the user's new formats win.
  OSSetConfig(CGNString("yyyy MMMM d"), CGNString("Locale"), CGNString("NewLongDateFormat"), file);
  CLCLocale again;
  again.LoadIniDateTimeSettings(section, file);
  EXPECT_EQ("yyyy MMMM d|d-M-yy|", Join(again.m_longDateFormat, again.m_shortDateFormat));
  EXPECT_EQ(keys(), migrated("yyyy MMMM d"));
}

}  // namespace
