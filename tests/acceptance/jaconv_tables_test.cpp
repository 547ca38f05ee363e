// Whole-table checks of the conversions: against the system's iconv where it
// has one, and round trips over every character the tables cover.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gnutil/jaconv.h"
#include "gnutil/mbutil.h"

#if __has_include(<iconv.h>)
#include <iconv.h>
#define GNUTIL_HAVE_ICONV 1
#endif

namespace {

std::string Ext(const std::string& in, int from, int to) {
  char out[64];
  convertStrExt(in.c_str(), from, out, to);
  return out;
}

std::string Hex(const std::string& s) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string h;
  for (unsigned char c : s) {
    h += kDigits[c >> 4];
    h += kDigits[c & 15];
  }
  return h;
}

std::string Big5(int index) {
  int column = index % 157;
  return {static_cast<char>(0xA1 + index / 157),
          static_cast<char>(column < 63 ? 0x40 + column : 0xA1 + column - 63)};
}

TEST(ConversionTables, ShiftJisToJisAndBackForEveryPair) {
  int count = 0;
  for (int lead = 0x81; lead <= 0xEF; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;  // no Shift-JIS trail byte
      std::string sjis{static_cast<char>(lead), static_cast<char>(trail)};
      std::string jis = Ext(sjis, CODESET_SJIS, CODESET_JIS);
      ASSERT_EQ(jis.size(), 8u) << Hex(sjis);
      ASSERT_EQ(Ext(jis, CODESET_JIS, CODESET_SJIS), sjis) << Hex(sjis) << " via " << Hex(jis);
      std::string euc = Ext(sjis, CODESET_SJIS, CODESET_EUC_J);
      ASSERT_EQ(Ext(jis, CODESET_JIS, CODESET_EUC_J), euc) << Hex(sjis);
      ASSERT_EQ(Ext(euc, CODESET_EUC_J, CODESET_JIS), jis) << Hex(sjis);
      ++count;
    }
  }
  EXPECT_EQ(count, 47 * 188);
  // Half-width katakana come back as their full-width forms.
  for (int kana = 0xA1; kana <= 0xDF; ++kana) {
    std::string jis = Ext(std::string(1, static_cast<char>(kana)), CODESET_SJIS, CODESET_JIS);
    std::string full = Ext(jis, CODESET_JIS, CODESET_SJIS);
    ASSERT_EQ(full.size(), 2u);
    EXPECT_TRUE(static_cast<unsigned char>(full[0]) == 0x81 ||
                static_cast<unsigned char>(full[0]) == 0x83)
        << Hex(full);
  }
}

TEST(ConversionTables, Big5ToEucTwAndBackForEveryCoveredIndex) {
  int covered = 0;
  for (int index = 0; index < 94 * 157; ++index) {
    std::string big5 = Big5(index);
    std::string tw = Ext(big5, CODESET_BIG5, CODESET_EUC_TW);
    if (tw == "??") continue;
    ++covered;
    ASSERT_TRUE(tw.size() == 2 || tw.size() == 4) << index;
    std::string back = Ext(tw, CODESET_EUC_TW, CODESET_BIG5);
    // The two duplicate characters of Big5 return as their twins.
    int expected = index == 6290 ? 504 : index == 9574 ? 9374 : index;
    ASSERT_EQ(back, Big5(expected)) << "Big5 index " << index << " via " << Hex(tw);
  }
  // Rows 0-440, 471-5926, the four plane-4 indexes, 6280-13938.
  EXPECT_EQ(covered, 441 + 5456 + 4 + 7659);
}

#ifdef GNUTIL_HAVE_ICONV

// One character through iconv; false when iconv has no mapping.
bool Iconv(iconv_t cd, const std::string& in, std::string* out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char buffer[32];
  char* ip = const_cast<char*>(in.data());
  size_t il = in.size();
  char* op = buffer;
  size_t ol = sizeof buffer;
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) return false;
  out->assign(buffer, static_cast<size_t>(op - buffer));
  return true;
}

class IconvTable : public ::testing::Test {
 protected:
  iconv_t Open(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return cd;
    handles_.push_back(cd);
    return cd;
  }
  void TearDown() override {
    for (iconv_t cd : handles_) iconv_close(cd);
  }
  std::vector<iconv_t> handles_;
};

TEST_F(IconvTable, EveryJisX0208CharacterMatchesIconv) {
  iconv_t eucToSjis = Open("SHIFT_JIS", "EUC-JP");
  ASSERT_NE(eucToSjis, reinterpret_cast<iconv_t>(-1));
  int compared = 0;
  int mismatches = 0;
  for (int row = 0xA1; row <= 0xFE; ++row) {
    for (int cell = 0xA1; cell <= 0xFE; ++cell) {
      std::string euc{static_cast<char>(row), static_cast<char>(cell)};
      std::string reference;
      if (!Iconv(eucToSjis, euc, &reference)) continue;
      ++compared;
      std::string sjis = Ext(euc, CODESET_EUC_J, CODESET_SJIS);
      if (sjis != reference) {
        ++mismatches;
        ADD_FAILURE() << "EUC " << Hex(euc) << ": iconv " << Hex(reference) << ", gnutil "
                      << Hex(sjis);
      }
      EXPECT_EQ(Ext(sjis, CODESET_SJIS, CODESET_EUC_J), euc) << Hex(sjis);
      // The process-wide buffer form agrees with the destination form.
      EXPECT_EQ(std::string(convertStr(euc.c_str(), CODESET_EUC_J, CODESET_SJIS)), sjis);
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(compared, 6879);  // every character of JIS X 0208
}

TEST_F(IconvTable, WholeTableAsOneTextMatchesIconv) {
  // The same characters as one long text, with ASCII, line ends and
  // half-width katakana between runs of every length, so that the
  // word-at-a-time paths meet every character at every offset.
  iconv_t eucToSjis = Open("SHIFT_JIS", "EUC-JP");
  iconv_t sjisToEuc = Open("EUC-JP", "SHIFT_JIS");
  ASSERT_NE(eucToSjis, reinterpret_cast<iconv_t>(-1));
  ASSERT_NE(sjisToEuc, reinterpret_cast<iconv_t>(-1));
  std::string euc;
  int run = 0;
  for (int row = 0xA1; row <= 0xFE; ++row) {
    for (int cell = 0xA1; cell <= 0xFE; ++cell) {
      std::string c{static_cast<char>(row), static_cast<char>(cell)}, ignored;
      if (!Iconv(eucToSjis, c, &ignored)) continue;
      euc += c;
      if (++run % 37 == 0)
        euc += (run / 37) % 3 == 0 ? "ab\r\n" : (run / 37) % 3 == 1 ? "\x8E\xB1" : "x";
    }
  }
  auto whole = [](iconv_t cd, const std::string& in) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 2, '\0');
    char* ip = const_cast<char*>(in.data());
    size_t il = in.size();
    char* op = &out[0];
    size_t ol = out.size();
    EXPECT_NE(iconv(cd, &ip, &il, &op, &ol), static_cast<size_t>(-1));
    out.resize(out.size() - ol);
    return out;
  };
  std::string sjis = whole(eucToSjis, euc);
  std::vector<char> ours(euc.size() * 3 + 1);
  for (size_t offset = 0; offset < 20; ++offset) {  // every alignment of the start
    std::string in = std::string(offset, 'z') + euc;
    convertStrExt(in.c_str(), CODESET_EUC_J, ours.data(), CODESET_SJIS);
    ASSERT_EQ(std::string(ours.data()), std::string(offset, 'z') + sjis) << offset;
    std::string back = std::string(offset, 'z') + sjis;
    convertStrExt(back.c_str(), CODESET_SJIS, ours.data(), CODESET_EUC_J);
    ASSERT_EQ(std::string(ours.data()), std::string(offset, 'z') + euc) << offset;
  }
  EXPECT_EQ(whole(sjisToEuc, sjis), euc);
  // Through JIS and back, as one text.
  std::vector<char> jis(sjis.size() * 5 + 16);
  convertStrExt(sjis.c_str(), CODESET_SJIS, jis.data(), CODESET_JIS);
  convertStrExt(jis.data(), CODESET_JIS, ours.data(), CODESET_EUC_J);
  std::string expected = euc;
  // Half-width katakana come back full-width (U+FF71 -> U+30A2).
  for (size_t p; (p = expected.find("\x8E\xB1")) != std::string::npos;)
    expected.replace(p, 2, "\xA5\xA2");
  EXPECT_EQ(std::string(ours.data()), expected);
}

TEST_F(IconvTable, EveryHalfWidthKatakanaMatchesIconv) {
  iconv_t sjisToEuc = Open("EUC-JP", "SHIFT_JIS");
  ASSERT_NE(sjisToEuc, reinterpret_cast<iconv_t>(-1));
  for (int kana = 0xA1; kana <= 0xDF; ++kana) {
    std::string sjis(1, static_cast<char>(kana));
    std::string reference;
    ASSERT_TRUE(Iconv(sjisToEuc, sjis, &reference)) << Hex(sjis);
    std::string euc = Ext(sjis, CODESET_SJIS, CODESET_EUC_J);
    EXPECT_EQ(euc, reference) << Hex(sjis);
    EXPECT_EQ(Ext(euc, CODESET_EUC_J, CODESET_SJIS), sjis) << Hex(euc);
  }
}

TEST_F(IconvTable, FullWidthFormsOfHalfWidthKatakanaMatchUnicodeCompatibility) {
  // iconv to UTF-8 of the full-width form must be the compatibility
  // decomposition of the half-width one (U+FF61..U+FF9F), except the two
  // sound marks, which take the spacing forms U+309B and U+309C.
  iconv_t sjisToUtf8 = Open("UTF-8", "SHIFT_JIS");
  ASSERT_NE(sjisToUtf8, reinterpret_cast<iconv_t>(-1));
  // NFKC of U+FF61..U+FF9F as UTF-8, spacing sound marks at the end.
  const char* kFull[63] = {"。", "「", "」", "、", "・", "ヲ", "ァ", "ィ", "ゥ", "ェ", "ォ",
                           "ャ", "ュ", "ョ", "ッ", "ー", "ア", "イ", "ウ", "エ", "オ", "カ",
                           "キ", "ク", "ケ", "コ", "サ", "シ", "ス", "セ", "ソ", "タ", "チ",
                           "ツ", "テ", "ト", "ナ", "ニ", "ヌ", "ネ", "ノ", "ハ", "ヒ", "フ",
                           "ヘ", "ホ", "マ", "ミ", "ム", "メ", "モ", "ヤ", "ユ", "ヨ", "ラ",
                           "リ", "ル", "レ", "ロ", "ワ", "ン", "゛", "゜"};
  for (int kana = 0xA1; kana <= 0xDF; ++kana) {
    std::string jis = Ext(std::string(1, static_cast<char>(kana)), CODESET_SJIS, CODESET_JIS);
    std::string full = Ext(jis, CODESET_JIS, CODESET_SJIS);
    std::string utf8;
    ASSERT_TRUE(Iconv(sjisToUtf8, full, &utf8)) << Hex(full);
    EXPECT_EQ(utf8, kFull[kana - 0xA1]) << "kana " << std::hex << kana;
  }
}

TEST_F(IconvTable, Big5ToEucTwAgreesWithIconvAlmostEverywhere) {
  // The range table is the library's own. It differs from iconv's mapping in
  // a few symbols of the first rows, in Big5 C255 (plane 1 0x76C1 here, a
  // plane 3 variant for iconv) and in the extensions past the table's last
  // row (F9D6 onwards), which it leaves as "??".
  iconv_t big5ToTw = Open("EUC-TW", "BIG5");
  ASSERT_NE(big5ToTw, reinterpret_cast<iconv_t>(-1));
  int agree = 0;
  int differ = 0;
  for (int index = 0; index < 94 * 157; ++index) {
    std::string big5 = Big5(index);
    std::string reference;
    if (!Iconv(big5ToTw, big5, &reference)) continue;
    std::string tw = Ext(big5, CODESET_BIG5, CODESET_EUC_TW);
    if (tw == reference) {
      ++agree;
    } else {
      ++differ;
      EXPECT_TRUE(index < 471 || index == 5202 || index > 13938)
          << "Big5 " << Hex(big5) << ": iconv " << Hex(reference) << ", gnutil " << Hex(tw);
    }
  }
  EXPECT_GE(agree, 13442);
  EXPECT_EQ(differ, 19);
  RecordProperty("agree", agree);
  RecordProperty("differ", differ);
}

#endif  // GNUTIL_HAVE_ICONV

}  // namespace
