// The locale-information items recorded from the system under Wine
// (tests/data/locale_items_wine.txt, UTF-8), which both platforms' tests
// compare against: one line per item, "LCID ITEM ok TEXT" or "LCID ITEM fail",
// both numbers in hexadecimal. scripts/locale-agreement.sh records it again.
#ifndef GNUTIL_TESTS_SUPPORT_LOCALE_ITEMS_H
#define GNUTIL_TESTS_SUPPORT_LOCALE_ITEMS_H

#include <stdlib.h>

#include <fstream>
#include <string>
#include <vector>

namespace gnutil_test {

struct RecordedItem {
  unsigned long lcid;
  unsigned long item;
  bool ok;
  std::string text;  // UTF-8
};

inline std::vector<RecordedItem> RecordedLocaleItems() {
  std::vector<RecordedItem> items;
  std::ifstream in(GNUTIL_TEST_DATA_DIR "/locale_items_wine.txt", std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() < 12) continue;
    RecordedItem r;
    r.lcid = strtoul(line.substr(0, 4).c_str(), nullptr, 16);
    r.item = strtoul(line.substr(5, 4).c_str(), nullptr, 16);
    r.ok = line.compare(10, 2, "ok") == 0;
    if (r.ok) r.text = line.size() > 13 ? line.substr(13) : std::string();
    items.push_back(r);
  }
  return items;
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_LOCALE_ITEMS_H
