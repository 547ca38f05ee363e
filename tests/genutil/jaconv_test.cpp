// Code conversion and detection: exact bytes, whole tables against iconv,
// streaming cuts, in place and on own buffers, the real legacy locales; the
// word, vector and block kernels against the byte-at-a-time path.
#include "gnutil/jaconv.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "support/jaconv_text.h"
#include "support/test_locale.h"

namespace {

using gnutil::Conversion;
using gnutil::ConversionFor;
using gnutil::ConvertBytes;
using gnutil::ConvertBytesScalar;
using namespace gnutil_test;  // NOLINT: the suite's helpers and code-set names

// JIS ends with ESC ( J; a voiced mark stays a character (KA + dakuten); 0x8E
// before a non-katakana, invalid trails and cut characters keep their bytes.
// ESC $ @ and ESC K enter two-byte mode, other ESC x and line ends leave it.
// Big5 invalid pairs and pairs past the table become "??"; pairs it does not
// convert are copied.
TEST(Conversion, ExactBytes) {
  const std::tuple<int, int, std::string, std::string> kCases[] = {
      {kSjis, kEuc, "a\x82", "a\x82"},
      {kSjis, kJis, "\xB1", "\x1b$B%\"\x1b(J"},
      {kEuc, kJis, "\x8E\xB1", "\x1b$B%\"\x1b(J"},
      {kSjis, kJis, "\xB6\xDE", "\x1b$B%+!+\x1b(J"},
      {kSjis, kJis, "\x88\x9F\r\n\x88\x9F", "\x1b$B0!\x1b(J\r\n\x1b$B0!\x1b(J"},
      {kJis, kSjis, "\x1b$@0!\x1b(Ja", "\x88\x9F\x61"},
      {kJis, kSjis, "\x1bK0!\x1bHa", "\x88\x9F\x61"},
      {kJis, kEuc, "\x1b$B0!\n0!", "\xB0\xA1\n0!"},
      {kJis, kSjis, "\x1b$B0", "0"},
      {kBig5, kTw, Big5(148), "\xA2\xD8"},
      {kBig5, kTw, Big5(149), "\xA2\xD7"},
      {kTw, kBig5, "\x8E\xA1\xC4\xA1", "\xA4\x40"},
      {kBig5, kTw, "\xA4\x30x", "??x"},
      {kTw, kBig5, "\x8E\xB1\xA1\xA1", "??"},
      {kBig5, kTw, "\x80\xFF", "\x80\xFF"},
      {kTw, kBig5, "a\x8E\xA2\xA1", "a\x8E\xA2\xA1"},
      {kSjis, CODESET_GB, "\x82\xA0", "\x82\xA0"},
  };
  for (const auto& [from, to, in, out] : kCases) {
    SCOPED_TRACE(Hex(in) + " " + std::to_string(from) + "->" + std::to_string(to));
    EXPECT_EQ(Ext(in, from, to), out);
    // The library's buffer: the text itself where nothing converts or for JIS.
    const char* buffered = convertStr(in.c_str(), from, to);
    if (to == kJis || ConversionFor(from, to) == Conversion::kCopy) {
      EXPECT_EQ(buffered, in.c_str());
    } else {
      EXPECT_EQ(std::string(buffered), out);
    }
  }
  EXPECT_EQ(convertStr(nullptr, kSjis, kEuc), nullptr);
  char buffer[8] = "abc";
  EXPECT_EQ(convertStrExt(buffer, kSjis, buffer, kSjis), buffer);
  EXPECT_EQ(convertStrExt(nullptr, kSjis, buffer, kEuc), buffer);
  EXPECT_STREQ(buffer, "abc");
}

// In place and overlapping either way, by odd and even distances: the bytes
// of a separate destination, for every pair and texts beyond stack buffers.
TEST(InPlaceConversion, EveryPairGivesTheBytesOfASeparateDestination) {
  const int kCodeSets[] = {CODESET_NONE, kJis, kEuc, kSjis, kBig5, kTw};
  std::mt19937 rng(11);
  for (int from : kCodeSets) {
    for (int to : kCodeSets) {
      for (size_t chars : {0, 1, 30, 2000}) {
        std::string text = SampleText(from == CODESET_NONE ? kSjis : from, &rng, chars);
        std::string expected = Ext(text, from, to);
        for (size_t shift : {0, 1, 2, 7, 64}) {
          for (int srcFirst = 0; srcFirst < 2; ++srcFirst) {
            if (shift == 0 && srcFirst) continue;
            std::vector<char> buf(5 * text.size() + 16 + shift);
            char* src = buf.data() + (srcFirst ? 0 : shift);
            char* dst = buf.data() + (srcFirst ? shift : 0);
            memcpy(src, text.c_str(), text.size() + 1);
            ASSERT_EQ(convertStrExt(src, from, dst, to), dst);
            ASSERT_EQ(std::string(dst), expected)
                << from << "->" << to << " chars " << chars << " shift " << shift;
          }
        }
      }
    }
  }
}

// The library's own results are valid inputs, its own direction's included,
// and each direction keeps its own buffer.
TEST(InPlaceConversion, ResultBuffersAcceptTheirOwnResults) {
  const int kPairs[][2] = {{kSjis, kEuc}, {kEuc, kSjis}, {kJis, kSjis},
                           {kJis, kEuc},  {kBig5, kTw},  {kTw, kBig5}};
  std::mt19937 rng(12);
  for (const auto& first : kPairs) {
    for (const auto& second : kPairs) {
      // Katakana only first: the buffer must grow under its own result.
      for (Mix mix : {Mix{0, 0, 1, 0, 0}, kDefaultMix}) {
        std::string text = SampleText(first[0], &rng, 3000, mix);
        std::string once = convertStr(text.c_str(), first[0], first[1]);
        std::string expected = convertStr(once.c_str(), second[0], second[1]);
        const char* own = convertStr(text.c_str(), first[0], first[1]);
        ASSERT_EQ(convertStr(own, second[0], second[1]), expected)
            << first[0] << "->" << first[1] << " then " << second[0] << "->" << second[1];
      }
    }
  }
}

// In place, and a copy (not the argument) where nothing changes. (A missing
// locale skips the rest; Windows' name of Taiwan's locale gives no code set.)
TEST(UnixWindowsInLocale, ConvertsByTheLocaleCodeSet) {
  const std::tuple<const char*, int, const char*, const char*> kCases[] = {
      {"ja_JP.sjis", kSjis, "\x82\xA0\xB1", "\xA4\xA2\x8E\xB1"},
      {"zh_TW.big5", kBig5, "\xA4\x40\xC9\x40", "\xC4\xA1\x8E\xA2\xA1\xA1"},
      {"zh_CN.gbk", CODESET_GB, "\xB0\xA1", "\xB0\xA1"}};
  for (const auto& [locale, codeset, win, posix] : kCases) {
    GNUTIL_USE_LOCALE(locale);
    UseCodeSet(codeset);
    char buf[64];
    EXPECT_STREQ(WindowsCodingToUnixCoding(win), posix) << locale;
    EXPECT_STREQ(UnixCodingToWindowsCodingExt(strcpy(buf, posix), buf), win) << locale;
    EXPECT_STREQ(WindowsCodingToUnixCodingExt(buf, buf), posix) << locale;
    const char* copy = UnixCodingToWindowsCoding(posix);
    EXPECT_STREQ(copy, win) << locale;
    EXPECT_NE(copy, posix) << locale;
  }
}

// Full-width digits and separators become ASCII, in place too.
TEST(FullWidthNumbers, EveryTable) {
  const std::tuple<int, const char*, const char*> kCases[] = {
      {kSjis, "\x82\x4F\x81\x5E\x82\x58\x81\x46\x88\x9Fx\xB1", "0/9:\x88\x9Fx\xB1"},
      {kEuc, "\xA3\xB1\xA1\xA5\xA3\xB9\xA1\xBF\xA1\xA1\xA1\xCA\x8E\xA1\xA1\xCB", "1.9/ (.)"},
      {CODESET_GB, "\xA3\xB0\xA3\xBA\xA3\xAF\xA3\xA8\xA3\xA9\xA3\xAE", "0:/()."},
      {CODESET_KSC_5601_92, "\xA3\xB5\xA3\xAE", "5."},
      {kBig5, "\xA2\xAF\xA2\xB8\xA1\x52\xA2\x41\xA1\x5D\xA1\x5E\xA1\x4F", "09:/()."},
      {kTw, "\xA2\xB0\xA1\xA5\xA1\xA8", "1.:"},
      {CODESET_EUC_K, "\xA3\xB1", "\xA3\xB1"},  // no table
  };
  for (const auto& [cs, in, out] : kCases) {
    UseCodeSet(cs);
    char got[64], again[64];
    EXPECT_EQ(ConvertMBNumberToSBNumber(in, got), 0);
    EXPECT_STREQ(got, out) << "code set " << cs;
    ConvertMBNumberToSBNumber(strcpy(again, in), again);
    EXPECT_STREQ(again, out) << "in place, code set " << cs;
  }
}

TEST(MaxStringLength, ByCodeSet) {
  const std::tuple<int, const char*, int> kCases[] = {
      {kSjis, "a\x82\xA0\xB1", 5}, {kBig5, "\xC9\x40", 4}, {kTw, "\x8E\xA2\xA1\xA1", 4}};
  for (const auto& [cs, text, len] : kCases) {
    UseCodeSet(cs);
    EXPECT_EQ(MaxStringLengthOnWinAndUnix(text), len) << cs << " " << Hex(text);
  }
}

// DetectJPCodeType on a file, and the detector fed one byte at a time: the
// code set, and where the file is left (after the deciding byte, else at the
// end). After a kana byte and E0-EF later bytes decide, an escape included.
TEST(Detection, CodeSetAndPosition) {
  const std::string kLong(100000, 'x');
  const std::tuple<std::string, int, long> kCases[] = {
      // bytes, code set, position (-1: end)
      {"plain ASCII text\n", CODESET_NONE, -1},
      {"\x1b$B\x30\x21", kJis, 3},
      {"\x1b$@", kJis, -1},
      {"a\x1bK", kJis, -1},
      {"\x1b(B", CODESET_NONE, -1},
      {"\xB0\xA1", CODESET_EUC_OR_SJIS, -1},
      {"\x82\xA0", kSjis, 1},
      {"\x8F\x40", kSjis, 1},
      {"\xB0\xF0", kEuc, 2},
      {"\xF4\xA1", kEuc, 1},
      {"\xB1", kSjis, -1},
      {"\xB1\x9F", kSjis, 2},
      {"\x8E\xB1", CODESET_EUC_OR_SJIS, -1},
      {"\x8E\xE0", kSjis, 2},
      {"\xE0\x40", kSjis, 2},
      {"\xE0\xFD", kEuc, 2},
      {"\xE0\xA1", CODESET_EUC_OR_SJIS, -1},
      {"\xB0\xE0\xA1\xFD", kEuc, 4},
      {"\xB0\xE0\xA1\x88", kSjis, 4},
      {"\xB0\xE0\xA1\xB0", CODESET_EUC_OR_SJIS, -1},
      {"\xB0\xE0\x1b$B", kJis, 5},
      {"\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xF4", kEuc, 8},  // one word, not all kana
      {"\xB1\xB1\x8E", CODESET_EUC_OR_SJIS, -1},
      {"\xA4\xA2\xA4\xA4\n\xB0\xA1", CODESET_EUC_OR_SJIS, -1},
      {"ab\x82\xA0" + kLong, kSjis, 3},
      {kLong + "\x1b$Bzz", kJis, 100003},
      {std::string(50000, '\xA4') + "rest", CODESET_EUC_OR_SJIS, -1},
  };
  for (const auto& [bytes, cs, position] : kCases) {
    SCOPED_TRACE(Hex(bytes.substr(0, 8)));
    FILE* f = tmpfile();
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    rewind(f);
    EXPECT_EQ(DetectJPCodeType(f), cs);
    EXPECT_EQ(ftell(f), position < 0 ? static_cast<long>(bytes.size()) : position);
    fclose(f);
    gnutil::JpCodeDetector bytewise;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size() && !bytewise.Decided();) i += bytewise.Feed(p + i, 1);
    bytewise.Finish();
    EXPECT_EQ(bytewise.Result(), cs);
  }
  EXPECT_EQ(DetectJPCodeType(nullptr), CODESET_NONE);
}

// The kernels against the byte-at-a-time path (ConvertBytesScalar), with and
// without the block kernels, on random text of these mixes of classes.
const Mix kMixes[] = {
    {3, 1, 2, 4, 0},    // the default: short runs of everything
    {1, 0, 0, 0, 0},    // ASCII only
    {0, 0, 0, 1, 0},    // pairs only
    {0, 0, 1, 0, 0},    // second kind only
    {2, 0, 1, 4, 0},    // record-style: a class change every character or two
    {20, 1, 0, 20, 0},  // long runs
    {3, 1, 2, 4, 2},    // with junk bytes
    {0, 0, 0, 0, 1},    // junk only
};

const int kSources[] = {CODESET_SJIS, CODESET_EUC_J, CODESET_JIS, CODESET_BIG5, CODESET_EUC_TW};

// Fed whole, cut once anywhere or in many pieces, with and without the block
// kernels: the scalar bytes of the whole. Texts of every mix, and of the bytes
// that decide characters (leads, 0x8E, range ends) over two or three blocks,
// so that characters and 0x8E chains cross block ends.
TEST(StreamingConversion, EveryCutOfEveryPathGivesTheScalarBytesOfTheWhole) {
  const unsigned char kBytes[] = {0x8E, 0x8E, 0xA1, 0xA2, 0xB0, 0xDF, 0xE0, 0xFE, 0xFF, 0x81,
                                  0x9F, 0xA0, 0x80, 0x40, 0x7E, 0xFC, 0x41, 0x00, 0x0A, 'a'};
  std::mt19937 rng(5);
  for (int from : kSources) {
    for (int to : kSources) {
      Conversion c = ConversionFor(from, to);
      if (c == Conversion::kCopy) continue;
      for (int round = 0; round < 128; ++round) {
        std::string text;
        if (round < 64) {
          text = SampleText(from, &rng, rng() % 120, kMixes[round % 8]);
        } else {
          for (size_t k = 16 + rng() % 64; k > 0; --k)
            text += static_cast<char>(kBytes[rng() % 20]);
        }
        std::string whole = Pieces(c, text, {}, ConvertBytesScalar);
        std::vector<size_t> cuts;
        for (size_t p = 1; p < text.size(); p += 1 + rng() % 3) cuts.push_back(p);
        ASSERT_EQ(Pieces(c, text, cuts), whole) << from << "->" << to;
        for (auto fast : {ConvertBytes, gnutil::ConvertBytesWithoutBlocks}) {
          for (size_t cut = 0; cut <= text.size(); ++cut) {
            ASSERT_EQ(Pieces(c, text, {cut}, fast), whole) << from << "->" << to << " cut " << cut;
          }
        }
      }
    }
  }
}

// The sequences a block must not split or misread, at every offset of a
// 96-byte text of ASCII (so at every position of the blocks and across
// their ends), in a run of the same sequence and alone.
TEST(JaconvBlocks, EdgeSequencesAtEveryOffsetGiveTheScalarBytes) {
  const struct {
    int from, to;
    const char* sequence;
  } kRows[] = {
      {CODESET_SJIS, CODESET_EUC_J, "\x88\x9F"},           // a pair
      {CODESET_SJIS, CODESET_EUC_J, "\x88\xB1"},           // a pair whose trail is a kana byte
      {CODESET_SJIS, CODESET_EUC_J, "\x88\x0A"},           // a lead with a bad trail: copied
      {CODESET_SJIS, CODESET_EUC_J, "\xB1\xDF"},           // half-width katakana
      {CODESET_EUC_J, CODESET_SJIS, "\x8E\xB1"},           // half-width katakana
      {CODESET_EUC_J, CODESET_SJIS, "\x8E\x41\xB0\xA1"},   // 0x8E before a non-kana; a pair
      {CODESET_EUC_J, CODESET_SJIS, "\xB0\x7F"},           // a lead with a bad trail
      {CODESET_BIG5, CODESET_EUC_TW, "\xA4\x40\xC9\x40"},  // planes 1 and 2
      {CODESET_BIG5, CODESET_EUC_TW, "\xA3\xE1"},          // unmapped: "??"
      {CODESET_EUC_TW, CODESET_BIG5, "\x8E\xA2\xA1\xA1"},  // plane 2
      {CODESET_EUC_TW, CODESET_BIG5, "\x8E\xA9\xA1\xA1"},  // plane 9: "??"
      {CODESET_EUC_TW, CODESET_BIG5, "\x8E\xA2\x41\xA1"},  // third byte no lead
      {CODESET_EUC_TW, CODESET_BIG5, "\x8E\xA2\x8E\xA2"},  // third byte 0x8E
      {CODESET_EUC_TW, CODESET_BIG5, "\xC4\x41\xC4\xA1"},  // a bad trail; a pair
  };
  for (const auto& row : kRows) {
    Conversion c = ConversionFor(row.from, row.to);
    std::string run;
    for (int k = 0; k < 12; ++k) run += row.sequence;
    for (const std::string& piece : {std::string(row.sequence), run}) {
      for (size_t at = 0; at < 64; ++at) {
        std::string text = std::string(at, 'a') + piece + std::string(96, 'b');
        text.resize(96 + piece.size());
        ASSERT_EQ(Pieces(c, text, {}), Pieces(c, text, {}, ConvertBytesScalar))
            << row.sequence << " at " << at;
      }
    }
  }
}

#ifdef GNUTIL_HAVE_ICONV

// Every JIS X 0208 character iconv knows and every half-width katakana, with
// ASCII runs between (the word paths meet each at varying offsets), at every
// start alignment: EUC to Shift-JIS and back as iconv does. Through JIS the
// kana come back full-width (U+FF61-U+FF9F decomposed, with U+309B/U+309C).
TEST(ConversionTables, JapaneseTextsMatchIconv) {
  // U+FF61-U+FF9F decomposed, three bytes each.
  const std::string kFull =
      "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
      "ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
  std::string euc, full, ignored;
  int run = 0, characters = 0;
  for (int row = 0xA1; row <= 0xFE; ++row) {
    for (int cell = 0xA1; cell <= 0xFE; ++cell) {
      std::string c{static_cast<char>(row), static_cast<char>(cell)};
      if (!Iconv("SHIFT_JIS", "EUC-JP", c, &ignored)) continue;
      euc += c, full += c, ++characters;
      if (++run % 37 != 0) continue;
      int kana = (run / 37) % 63;
      std::string fullKana;
      ASSERT_TRUE(Iconv("EUC-JP", "UTF-8", kFull.substr(3 * kana, 3), &fullKana)) << kana;
      std::string between = std::string(run / 37 % 4, 'x') + "\r\n";
      euc += std::string("\x8E") + static_cast<char>(0xA1 + kana) + between;
      full += fullKana + between;
    }
  }
  EXPECT_EQ(characters, 6879);  // every character of JIS X 0208
  std::string sjis;
  ASSERT_TRUE(Iconv("SHIFT_JIS", "EUC-JP", euc, &sjis));
  for (size_t offset = 0; offset < 20; ++offset) {
    std::string pad(offset, 'z');
    ASSERT_TRUE(Same(Ext(pad + euc, kEuc, kSjis), pad + sjis)) << offset;
    ASSERT_TRUE(Same(Ext(pad + sjis, kSjis, kEuc), pad + euc)) << offset;
  }
  EXPECT_TRUE(Same(Ext(Ext(sjis, kSjis, kJis), kJis, kEuc), full));
}

// The library's own range table differs from iconv in a few symbols of the
// first rows, in Big5 C255 (plane 1 0x76C1 here, plane 3 for iconv) and past
// its last row (F9D6 on: "??"). Every covered index comes back, the two
// duplicate characters of Big5 as their twins.
TEST(ConversionTables, Big5ToEucTwAndBackAgreesWithIconvAlmostEverywhere) {
  int covered = 0, agree = 0, differ = 0;
  for (int index = 0; index < 94 * 157; ++index) {
    std::string big5 = Big5(index), tw = Ext(big5, kBig5, kTw), reference;
    if (Iconv("EUC-TW", "BIG5", big5, &reference)) {
      bool same = tw == reference;
      (same ? agree : differ)++;
      EXPECT_TRUE(same || index < 471 || index == 5202 || index > 13938)
          << "Big5 " << Hex(big5) << ": iconv " << Hex(reference) << ", gnutil " << Hex(tw);
    }
    if (tw == "??") continue;
    ++covered;
    ASSERT_TRUE(tw.size() == 2 || tw.size() == 4) << index;
    int expected = index == 6290 ? 504 : index == 9574 ? 9374 : index;
    ASSERT_EQ(Ext(tw, kTw, kBig5), Big5(expected)) << "Big5 index " << index << " via " << Hex(tw);
  }
  EXPECT_EQ(covered, 441 + 5456 + 4 + 7659);  // rows 0-440, 471-5926, four of plane 4, 6280-13938
  EXPECT_GE(agree, 13442);
  EXPECT_EQ(differ, 19);
}

#endif  // GNUTIL_HAVE_ICONV

}  // namespace
