// Locale information on Linux: ICU patterns in Windows notation, our tables, encodings.
#include <gtest/gtest.h>
#include <string.h>

#include <set>
#include <string>
#include <utility>

#include "gnutil/ossysinfo.h"
#include "locale/lclocale_internal.h"
#include "platform/localeinfo.h"
#include "platform/posix/localeinfo.h"
#include "support/joined.h"
#include "support/locale_items.h"
#include "support/test_locale.h"

namespace {

namespace item = gnutil::lcitem;
using gnutil::platform::LocaleInfoUtf8;
using gnutil::platform::WindowsPicture;
using gnutil_test::Join;

// The recorded locales' pictures are compared in LocaleAgreement (below);
// here: the fields and forms they do not use.
TEST(IcuPicture, BecomesWindowsNotation) {
  struct {
    const char *icu, *windows;
  } cases[] = {{"EEE, d MMM", "ddd, d MMM"},
               {"LLLL", "MMMM"},
               {"d\xC2\xA0MMM", "d MMM"},
               {"d 'de' MMMM 'de' y", "d 'de' MMMM 'de' yyyy"},
               {"HH:mm:ss zzzz", "HH:mm:ss"},
               {"HH:mm:ss.SSS", "HH:mm:ss."},
               {"Bh:mm:ss", "tth:mm:ss"},
               {"a h:mm:ss", "tt h:mm:ss"},
               {"G y", "gg yyyy"},
               {"K:mm", "h:mm"},
               {"hh 'o''clock' a", "hh 'o''''clock' tt"},
               {"k:mm", "H:mm"},
               {"", ""}};
  for (auto& c : cases) EXPECT_EQ(c.windows, WindowsPicture(c.icu)) << c.icu;
}

// The system's contract: length with the terminator, size 0 asks for it, a
// short buffer fails.
TEST(IcuLocaleInfo, BufferContract) {
  char buffer[8];
  EXPECT_EQ(4, OSGetLocaleInfo(0x409, item::kSAbbrevLangName, nullptr, 0));
  EXPECT_EQ(4, OSGetLocaleInfo(0x409, item::kSAbbrevLangName, buffer, sizeof buffer));
  EXPECT_STREQ("ENU", buffer);
  EXPECT_EQ(0, OSGetLocaleInfo(0x409, item::kSAbbrevLangName, buffer, 3));
  EXPECT_EQ(0, OSGetLocaleInfo(0x409, 0x7777, buffer, sizeof buffer));
  EXPECT_EQ(0, OSGetLocaleInfo(0x409, item::kSAbbrevLangName, buffer, -1));
}

struct EncodedCase {
  const char* locale;
  unsigned long lcid, what;
  const char* expected;  // null: the query fails
};

class IcuEncoding : public ::testing::TestWithParam<EncodedCase> {};

TEST_P(IcuEncoding, InTheProcessCodeSet) {
  const EncodedCase& c = GetParam();
  GNUTIL_USE_LOCALE(c.locale);
  char buffer[64];
  long r = OSGetLocaleInfo(c.lcid, c.what, buffer, sizeof buffer);
  EXPECT_EQ(c.expected ? Join(strlen(c.expected) + 1, c.expected) : "0|",
            r ? Join(r, buffer) : Join(r));
}

INSTANTIATE_TEST_SUITE_P(
    Locales, IcuEncoding,
    ::testing::Values(EncodedCase{"de_DE.iso88591", 0x411, item::kS1159, nullptr},
                      EncodedCase{"de_DE.iso88591", 0x407, item::kSMonthName1 + 2, "M\xE4rz"},
                      EncodedCase{"zh_TW.big5", 0x404, item::kS1159, "\xA4\x57\xA4\xC8"},
                      EncodedCase{"ko_KR.euckr", 0x412, item::kS1159, "\xBF\xC0\xC0\xFC"}));

// ICU's items against those recorded from GetLocaleInfoA under Wine (docs/LOCALE.md
// explains the differences listed here).
// Where Linux deliberately follows CLDR (or Windows itself) rather than Wine.
const std::set<std::pair<unsigned long, unsigned long>> kKnownDifferences = {
    {0x412, 0x1002},  // SENGCOUNTRY: "South Korea" (CLDR) / "Korea"
    {0x412, 0x28},    // S1159: 오전 (CLDR and Windows) / "AM" (Wine)
    {0x412, 0x29},    // S2359: 오후 / "PM"
    {0x804, 0x100B},  // IOPTIONALCALENDAR: 0 / 4 (no Taiwan calendar in China)
};

TEST(LocaleAgreement, IcuMatchesTheSystemItems) {
  std::vector<gnutil_test::RecordedItem> recorded = gnutil_test::RecordedLocaleItems();
  ASSERT_EQ(462u, recorded.size());
  size_t agreeing = 0;
  for (const auto& r : recorded) {
    std::string text;
    bool ok = LocaleInfoUtf8(r.lcid, r.item, &text);
    bool same = ok == r.ok && (!ok || text == r.text);
    if (same) ++agreeing;
    if (kKnownDifferences.count({r.lcid, r.item}) != 0) {
      EXPECT_FALSE(same) << std::hex << r.lcid << " " << r.item << " now agrees: update the list";
    } else {
      EXPECT_TRUE(same) << std::hex << r.lcid << " " << r.item << ": ICU [" << text << "], system ["
                        << r.text << "]";
    }
  }
  EXPECT_EQ(458u, agreeing);
}

}  // namespace
