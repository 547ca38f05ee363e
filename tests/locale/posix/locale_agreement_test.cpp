// ICU's locale items against those recorded from GetLocaleInfoA under Wine
// (docs/LOCALE.md explains the differences listed here).
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/posix/localeinfo.h"
#include "support/locale_items.h"

namespace {

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
    bool ok = gnutil::platform::LocaleInfoUtf8(r.lcid, r.item, &text);
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
