// EUC to Shift-JIS against Windows' code pages 20932 and 932 through UTF-16,
// for every JIS X 0208 character and half-width katakana. A handful (wave
// dash, minus sign, reverse solidus...) map to other Unicode characters.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/jaconv_text.h"

namespace {

using gnutil_test::Ext;
using gnutil_test::Hex;

// text in code page `from` to code page `to` through UTF-16; false when
// either page has no mapping for it.
bool ThroughUnicode(const std::string& text, UINT from, UINT to, std::string* out) {
  wchar_t wide[8];
  int n = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(),
                              static_cast<int>(text.size()), wide, 8);
  char bytes[16];
  BOOL lossy = FALSE;
  int m = n <= 0 ? 0 : WideCharToMultiByte(to, 0, wide, n, bytes, sizeof bytes, nullptr, &lossy);
  out->assign(bytes, static_cast<size_t>(m > 0 ? m : 0));
  return m > 0 && !lossy;
}

TEST(WindowsCodePages, EucToShiftJisAgreesWithCodePages20932And932) {
  if (!IsValidCodePage(20932) || !IsValidCodePage(932))
    GTEST_SKIP() << "code page 20932 or 932 missing";
  int compared = 0, agree = 0;
  for (int row = 0xA1; row <= 0xF4; ++row) {
    for (int cell = 0xA1; cell <= 0xFE; ++cell) {
      std::string euc{static_cast<char>(row), static_cast<char>(cell)}, reference;
      if (!ThroughUnicode(euc, 20932, 932, &reference)) continue;
      ++compared;
      std::string sjis = Ext(euc, CODESET_EUC_J, CODESET_SJIS);
      if (sjis == reference) ++agree;
      EXPECT_EQ(Ext(sjis, CODESET_SJIS, CODESET_EUC_J), euc) << Hex(euc);
    }
  }
  EXPECT_GE(compared, 6800);
  EXPECT_GE(agree, compared - 20);
  // Every half-width katakana, from code page 932 to 20932.
  for (int kana = 0xA1; kana <= 0xDF; ++kana) {
    std::string sjis(1, static_cast<char>(kana)), reference;
    ASSERT_TRUE(ThroughUnicode(sjis, 932, 20932, &reference)) << kana;
    EXPECT_EQ(Ext(sjis, CODESET_SJIS, CODESET_EUC_J), reference) << kana;
  }
}

}  // namespace
