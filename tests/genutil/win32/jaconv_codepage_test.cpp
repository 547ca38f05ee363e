// The Japanese conversions against Windows' own code pages: every JIS X 0208
// character of code page 20932 (EUC-JP) taken to code page 932 (Shift-JIS)
// through MultiByteToWideChar and WideCharToMultiByte, and every half-width
// katakana. The two code pages map a handful of characters to different
// Unicode characters (the wave dash, the minus sign, the reverse solidus and
// a few more), so those do not survive the trip through Unicode; the
// agreement is reported and must cover everything else.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

namespace {

// text in code page `from` to code page `to` through UTF-16; false when
// either page has no mapping for it.
bool ThroughUnicode(const std::string& text, UINT from, UINT to, std::string* out) {
  wchar_t wide[8];
  int n = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(),
                              static_cast<int>(text.size()), wide, 8);
  if (n <= 0) return false;
  char bytes[16];
  BOOL lossy = FALSE;
  int m = WideCharToMultiByte(to, 0, wide, n, bytes, sizeof bytes, nullptr, &lossy);
  if (m <= 0 || lossy) return false;
  out->assign(bytes, static_cast<size_t>(m));
  return true;
}

std::string Ext(const std::string& in, int from, int to) {
  char out[32];
  convertStrExt(in.c_str(), from, out, to);
  return out;
}

TEST(WindowsCodePages, EucToShiftJisAgreesWithCodePages20932And932) {
  if (!IsValidCodePage(20932) || !IsValidCodePage(932))
    GTEST_SKIP() << "code page 20932 or 932 missing";
  int compared = 0;
  int agree = 0;
  std::string differing;
  for (int row = 0xA1; row <= 0xF4; ++row) {
    for (int cell = 0xA1; cell <= 0xFE; ++cell) {
      std::string euc{static_cast<char>(row), static_cast<char>(cell)};
      std::string reference;
      if (!ThroughUnicode(euc, 20932, 932, &reference)) continue;
      ++compared;
      std::string sjis = Ext(euc, CODESET_EUC_J, CODESET_SJIS);
      if (sjis == reference) {
        ++agree;
      } else if (differing.size() < 400) {
        char line[64];
        snprintf(line, sizeof line, " %02X%02X", row, cell);
        differing += line;
      }
      EXPECT_EQ(Ext(sjis, CODESET_SJIS, CODESET_EUC_J), euc);
    }
  }
  RecordProperty("compared", compared);
  RecordProperty("agree", agree);
  std::printf("code pages 20932 -> 932: %d of %d characters agree; differing EUC:%s\n", agree,
              compared, differing.c_str());
  EXPECT_GE(compared, 6800);
  EXPECT_GE(agree, compared - 20);
}

TEST(WindowsCodePages, HalfWidthKatakanaAgreeWithCodePage932) {
  if (!IsValidCodePage(20932) || !IsValidCodePage(932))
    GTEST_SKIP() << "code page 20932 or 932 missing";
  for (int kana = 0xA1; kana <= 0xDF; ++kana) {
    std::string sjis(1, static_cast<char>(kana));
    std::string reference;
    ASSERT_TRUE(ThroughUnicode(sjis, 932, 20932, &reference)) << kana;
    EXPECT_EQ(Ext(sjis, CODESET_SJIS, CODESET_EUC_J), reference) << kana;
  }
}

}  // namespace
