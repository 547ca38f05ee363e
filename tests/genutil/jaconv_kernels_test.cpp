// The word and vector kernels against the byte-at-a-time path: every kernel
// on random input of every mix (prose-like runs, dense alternation, junk
// bytes), and every converter with its kernels against the same converter
// without them, whole and cut into pieces.
#include "genutil/jaconv_kernels.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "genutil/jaconv_blocks.h"
#include "genutil/jaconv_internal.h"
#include "support/jaconv_text.h"

namespace {

using namespace gnutil::jaconv;
using gnutil::Conversion;
using gnutil::ConversionFor;
using gnutil::ConversionState;
using gnutil::ConvertBytes;
using gnutil::ConvertBytesScalar;
using gnutil::ConvertBytesWithoutBlocks;
using gnutil::MaxConvertedLength;
using gnutil_test::Mix;
using gnutil_test::SampleText;

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

const unsigned char* Bytes(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

// --- Lane functions -----------------------------------------------------------

// A random 16-byte block of the given code set and mix.
std::string Block(int cs, std::mt19937* rng, Mix mix) {
  std::string s = SampleText(cs, rng, 16, mix);
  s.resize(16, 'x');
  return s;
}

TEST(JaconvLanes, FourSjisToJisMatchesThePairArithmetic) {
  std::mt19937 rng(1);
  for (const Mix& mix : kMixes) {
    for (int round = 0; round < 2000; ++round) {
      std::string b = Block(CODESET_SJIS, &rng, mix);
      uint64_t jis;
      size_t lanes = FourSjisToJis(Load8(Bytes(b)), &jis);
      size_t expected = 0;
      while (expected < 4 && IsSjisLead(Bytes(b)[2 * expected]) &&
             IsSjisTrail(Bytes(b)[2 * expected + 1]))
        ++expected;
      ASSERT_EQ(lanes, expected);
      for (size_t k = 0; k < lanes; ++k) {
        unsigned j1, j2;
        SjisToJisPair(Bytes(b)[2 * k], Bytes(b)[2 * k + 1], &j1, &j2);
        ASSERT_EQ((jis >> (16 * k)) & 0xFF, j1);
        ASSERT_EQ((jis >> (16 * k + 8)) & 0xFF, j2);
      }
    }
  }
}

TEST(JaconvLanes, FourEucToSjisMatchesThePairArithmetic) {
  std::mt19937 rng(2);
  for (const Mix& mix : kMixes) {
    for (int round = 0; round < 2000; ++round) {
      std::string b = Block(CODESET_EUC_J, &rng, mix);
      uint64_t sjis;
      size_t lanes = FourEucToSjis(Load8(Bytes(b)), &sjis);
      size_t expected = 0;
      while (expected < 4 && IsEucByte(Bytes(b)[2 * expected]) &&
             IsEucByte(Bytes(b)[2 * expected + 1]))
        ++expected;
      ASSERT_EQ(lanes, expected);
      for (size_t k = 0; k < lanes; ++k) {
        unsigned s1, s2;
        JisToSjisPair(Bytes(b)[2 * k] & 0x7F, Bytes(b)[2 * k + 1] & 0x7F, &s1, &s2);
        ASSERT_EQ((sjis >> (16 * k)) & 0xFF, s1);
        ASSERT_EQ((sjis >> (16 * k + 8)) & 0xFF, s2);
      }
    }
  }
}

#ifdef GNUTIL_VECTOR_PAIRS
// Eight lanes: a lane is taken when it holds a valid pair, or two ASCII bytes
// when the kernel takes those; taken pairs are converted, ASCII copied.
TEST(JaconvLanes, EightLaneKernelsMatchThePairArithmetic) {
  std::mt19937 rng(3);
  for (int kernel = 0; kernel < 3; ++kernel) {  // Shift-JIS to JIS, to EUC; EUC to Shift-JIS
    int cs = kernel < 2 ? CODESET_SJIS : CODESET_EUC_J;
    for (const Mix& mix : kMixes) {
      for (int round = 0; round < 2000; ++round) {
        std::string b = Block(cs, &rng, mix);
        const unsigned char* p = Bytes(b);
        unsigned char out[16];
        size_t lanes = kernel == 0   ? EightSjis(p, 0, out)
                       : kernel == 1 ? EightSjis(p, 0x8080, out)
                                     : EightEuc(p, out);
        size_t expected = 0;
        for (; expected < 8; ++expected) {
          unsigned c1 = p[2 * expected], c2 = p[2 * expected + 1];
          bool ascii = c1 < 0x80 && c2 < 0x80 && kernel != 0;
          bool pair = cs == CODESET_SJIS ? IsSjisLead(c1) && IsSjisTrail(c2)
                                         : IsEucByte(c1) && IsEucByte(c2);
          if (!ascii && !pair) break;
          unsigned e1 = c1, e2 = c2;
          if (pair && cs == CODESET_SJIS) {
            SjisToJisPair(c1, c2, &e1, &e2);
            if (kernel == 1) e1 |= 0x80, e2 |= 0x80;
          } else if (pair) {
            JisToSjisPair(c1 & 0x7F, c2 & 0x7F, &e1, &e2);
          }
          ASSERT_EQ(out[2 * expected], e1) << kernel << " lane " << expected;
          ASSERT_EQ(out[2 * expected + 1], e2) << kernel << " lane " << expected;
        }
        ASSERT_EQ(lanes, expected) << kernel;
      }
    }
  }
}
#endif

// --- Run kernels ----------------------------------------------------------------

// A run kernel converts a prefix of its input: the part it consumed must be
// whole characters of its kind, converted exactly as the scalar converter
// converts them, and a long enough run must be taken.
struct RunKernel {
  const char* name;
  int source;
  Conversion reference;  // the converter whose scalar path defines the bytes
  void (*run)(Run*);
};

void SjisPairsToEuc(Run* r) { SjisPairRun(r, 0x8080808080808080ull); }
void SjisPairsToJis(Run* r) { SjisPairRun(r, 0); }

const RunKernel kRunKernels[] = {
    {"AsciiRun", CODESET_SJIS, Conversion::kSjisToEuc, AsciiRun},
    {"SjisPairRun/EUC", CODESET_SJIS, Conversion::kSjisToEuc, SjisPairsToEuc},
    {"SjisPairRun/JIS", CODESET_SJIS, Conversion::kSjisToJis, SjisPairsToJis},
    {"EucPairRun", CODESET_EUC_J, Conversion::kEucToSjis, EucPairRun},
    {"EucToJisPairRun", CODESET_EUC_J, Conversion::kEucToJis, EucToJisPairRun},
    {"SjisKanaToEucRun", CODESET_SJIS, Conversion::kSjisToEuc, SjisKanaToEucRun},
    {"EucKanaToSjisRun", CODESET_EUC_J, Conversion::kEucToSjis, EucKanaToSjisRun},
};

// The scalar converter's bytes for a piece that starts on a character
// boundary; JIS output without the escape that enters two-byte mode, since a
// kernel writes the pairs only.
std::string ScalarPiece(Conversion c, const std::string& piece) {
  std::vector<unsigned char> out(MaxConvertedLength(c, piece.size()) + 16);
  ConversionState st;
  st.outputTwoByte = c == Conversion::kSjisToJis || c == Conversion::kEucToJis;
  size_t used;
  size_t n = ConvertBytesScalar(c, Bytes(piece), piece.size(), out.data(), &st, false, &used);
  EXPECT_EQ(used, piece.size());
  return std::string(reinterpret_cast<char*>(out.data()), n);
}

TEST(JaconvRunKernels, ConsumedPrefixMatchesTheScalarPath) {
  std::mt19937 rng(4);
  for (const RunKernel& k : kRunKernels) {
    for (const Mix& mix : kMixes) {
      for (int round = 0; round < 300; ++round) {
        std::string text = SampleText(k.source, &rng, 1 + rng() % 60, mix);
        std::vector<unsigned char> out(2 * text.size() + 32, 0xEE);
        gnutil::jaconv::Run r{Bytes(text), text.size(), 0, out.data()};
        k.run(&r);
        size_t written = static_cast<size_t>(r.o - out.data());
        ASSERT_LE(r.i, text.size()) << k.name;
        std::string piece = text.substr(0, r.i);
        std::string expected = ScalarPiece(k.reference, piece);
        ASSERT_EQ(std::string(reinterpret_cast<char*>(out.data()), written), expected)
            << k.name << " consumed " << r.i;
      }
    }
  }
}

TEST(JaconvRunKernels, LongRunsAreTaken) {
  // 32 characters of the kernel's own kind: every kernel takes at least the
  // first word of them.
  std::string sjisPairs, eucPairs, sjisKana, eucKana, ascii(32, 'a');
  for (int i = 0; i < 32; ++i) {
    sjisPairs += "\x88\x9F";
    eucPairs += "\xB0\xA1";
    sjisKana += "\xB1";
    eucKana += "\x8E\xB1";
  }
  const std::string* inputs[] = {&ascii,    &sjisPairs, &sjisPairs, &eucPairs,
                                 &eucPairs, &sjisKana,  &eucKana};
  for (size_t i = 0; i < sizeof kRunKernels / sizeof kRunKernels[0]; ++i) {
    std::vector<unsigned char> out(2 * inputs[i]->size() + 32);
    gnutil::jaconv::Run r{Bytes(*inputs[i]), inputs[i]->size(), 0, out.data()};
    kRunKernels[i].run(&r);
    EXPECT_GE(r.i, 8u) << kRunKernels[i].name;
  }
}

// --- Whole converters -----------------------------------------------------------

using Converter = size_t (*)(Conversion, const unsigned char*, size_t, unsigned char*,
                             ConversionState*, bool, size_t*);

// The fast paths: with the block kernels (ConvertBytes) and without them.
const Converter kFastPaths[] = {ConvertBytes, ConvertBytesWithoutBlocks};

std::string Convert(Converter convert, Conversion c, const std::string& in, size_t cut) {
  std::string result;
  ConversionState st;
  size_t from = 0;
  std::string pending;
  for (int piece = 0; piece < 2; ++piece) {
    size_t to = piece == 0 ? cut : in.size();
    pending += in.substr(from, to - from);
    from = to;
    std::vector<unsigned char> out(MaxConvertedLength(c, pending.size()) + 1);
    size_t used;
    size_t n = convert(c, Bytes(pending), pending.size(), out.data(), &st, piece == 1, &used);
    result.append(reinterpret_cast<char*>(out.data()), n);
    pending.erase(0, used);
  }
  return result;
}

TEST(JaconvConverters, FastPathGivesTheScalarBytes) {
  std::mt19937 rng(5);
  for (int from : kSources) {
    for (int to : kSources) {
      Conversion c = ConversionFor(from, to);
      if (c == Conversion::kCopy) continue;
      for (const Mix& mix : kMixes) {
        for (int round = 0; round < 60; ++round) {
          std::string text = SampleText(from, &rng, rng() % 200, mix);
          size_t cut = text.empty() ? 0 : rng() % (text.size() + 1);
          std::string expected = Convert(ConvertBytesScalar, c, text, cut);
          for (Converter fast : kFastPaths) {
            ASSERT_EQ(Convert(fast, c, text, cut), expected)
                << from << "->" << to << " cut " << cut;
            ASSERT_EQ(Convert(fast, c, text, text.size()),
                      Convert(ConvertBytesScalar, c, text, text.size()));
          }
        }
      }
    }
  }
}

// --- Block kernels ----------------------------------------------------------------

TEST(JaconvBlocks, PairStartsFollowTheLeadBytes) {
  for (uint32_t lead = 0; lead < 0x10000; ++lead) {
    uint32_t expected = 0;
    for (int k = 0; k < 16; ++k) {
      if (lead & (1u << k)) expected |= 1u << k++;  // its second byte starts nothing
    }
    ASSERT_EQ(PairStarts(lead), expected) << std::hex << lead;
  }
}

// Texts of the bytes that decide where characters start and how they
// convert (leads, 0x8E, range ends, ASCII), long enough for two or three
// blocks and cut at every position: a block that ends inside a character,
// a four-byte EUC-TW character across a block end, 0x8E chains.
TEST(JaconvBlocks, EveryCutOfDenseAndBrokenTextGivesTheScalarBytes) {
  const unsigned char kBytes[] = {0x8E, 0x8E, 0xA1, 0xA2, 0xB0, 0xDF, 0xE0, 0xFE, 0xFF, 0x81,
                                  0x9F, 0xA0, 0x80, 0x40, 0x7E, 0xFC, 0x41, 0x00, 0x0A, 'a'};
  std::mt19937 rng(7);
  const int kSourceSets[] = {CODESET_SJIS, CODESET_EUC_J, CODESET_BIG5, CODESET_EUC_TW};
  const int kTargetSets[] = {CODESET_EUC_J, CODESET_SJIS, CODESET_EUC_TW, CODESET_BIG5};
  for (int d = 0; d < 4; ++d) {
    Conversion c = ConversionFor(kSourceSets[d], kTargetSets[d]);
    for (int round = 0; round < 400; ++round) {
      std::string text;
      if (round % 2 == 0) {
        for (size_t k = 16 + rng() % 64; k > 0; --k) text += static_cast<char>(kBytes[rng() % 20]);
      } else {  // valid dense text of the source code set
        text = SampleText(kSourceSets[d], &rng, 10 + rng() % 40, kMixes[4]);
      }
      for (size_t cut = 0; cut <= text.size(); ++cut) {
        ASSERT_EQ(Convert(ConvertBytes, c, text, cut), Convert(ConvertBytesScalar, c, text, cut))
            << static_cast<int>(c) << " cut " << cut;
      }
    }
  }
}

// The sequences a block must not split or misread, at every offset of a
// 96-byte text of ASCII (so at every position of the blocks and across
// their ends), in a run of the same sequence and alone.
TEST(JaconvBlocks, EdgeSequencesAtEveryOffsetGiveTheScalarBytes) {
  struct Row {
    int from, to;
    const char* sequence;
  };
  const Row kRows[] = {
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
  for (const Row& row : kRows) {
    Conversion c = ConversionFor(row.from, row.to);
    std::string run;
    for (int k = 0; k < 12; ++k) run += row.sequence;
    for (const std::string& piece : {std::string(row.sequence), run}) {
      for (size_t at = 0; at < 64; ++at) {
        std::string text = std::string(at, 'a') + piece + std::string(96, 'b');
        text.resize(96 + piece.size());
        ASSERT_EQ(Convert(ConvertBytes, c, text, text.size()),
                  Convert(ConvertBytesScalar, c, text, text.size()))
            << row.sequence << " at " << at;
      }
    }
  }
}

}  // namespace
