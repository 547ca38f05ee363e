// The recorded locale items against GetLocaleInfoA for this user's code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "gnutil/ossysinfo.h"
#include "support/locale_items.h"

namespace {

std::string Utf8ToAnsi(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], n);
  int m = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &ansi[0], m, nullptr, nullptr);
  ansi.resize(strlen(ansi.c_str()));
  return ansi;
}

TEST(LocaleAgreement, RecordedItemsAreTheSystemsOwn) {
  size_t compared = 0;
  for (const auto& r : gnutil_test::RecordedLocaleItems()) {
    char page[8];
    if (OSGetLocaleInfo(r.lcid, LOCALE_IDEFAULTANSICODEPAGE, page, sizeof page) == 0 ||
        strtoul(page, nullptr, 10) != GetACP()) {
      continue;
    }
    char buffer[256];
    long n = OSGetLocaleInfo(r.lcid, r.item, buffer, sizeof buffer);
    EXPECT_EQ(r.ok, n > 0) << std::hex << r.lcid << " " << r.item;
    if (n > 0 && r.ok) {
      EXPECT_EQ(Utf8ToAnsi(r.text), buffer) << std::hex << r.lcid << " " << r.item;
    }
    ++compared;
  }
  EXPECT_GT(compared, 0u) << "no recorded locale uses code page " << GetACP();
}

}  // namespace
