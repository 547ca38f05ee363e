// Random texts for the converter tests: characters of one code set drawn by
// class with chosen weights, so that a test can ask for prose-like runs,
// dense alternation or junk bytes.
#ifndef GNUTIL_TESTS_SUPPORT_JACONV_TEXT_H
#define GNUTIL_TESTS_SUPPORT_JACONV_TEXT_H

#include <random>
#include <string>

#include "gnutil/mbutil.h"

namespace gnutil_test {

// Relative weights of the character classes. "kana" is the code set's
// second kind of character: half-width katakana in Shift-JIS and EUC, a
// shift between one- and two-byte mode in JIS, a pair with a trail below
// 0x80 in Big5, a plane 2-4 character in EUC-TW. "junk" is any byte.
struct Mix {
  int ascii, lineEnd, kana, pair, junk;
};

constexpr Mix kDefaultMix{3, 1, 2, 4, 0};

// `chars` characters of the code set cs (JIS, EUC-J, Shift-JIS, Big5, EUC-TW).
inline std::string SampleText(int cs, std::mt19937* rng, size_t chars, Mix mix = kDefaultMix) {
  std::string s;
  std::discrete_distribution<int> pick({double(mix.ascii), double(mix.lineEnd), double(mix.kana),
                                        double(mix.pair), double(mix.junk)});
  auto byte = [&](int lo, int hi) {
    return static_cast<char>(std::uniform_int_distribution<int>(lo, hi)(*rng));
  };
  bool two = false;  // JIS mode
  for (size_t i = 0; i < chars; ++i) {
    int k = pick(*rng);
    if (k == 4) {
      s += byte(0, 255);
      continue;
    }
    switch (cs) {
      case CODESET_SJIS:
        if (k == 0) s += byte(0x20, 0x7E);
        if (k == 1) s += "\r\n";
        if (k == 2) s += byte(0xA1, 0xDF);
        if (k == 3) s += std::string{byte(0x81, 0x9F), byte(0x40, 0xFC)};
        break;
      case CODESET_EUC_J:
        if (k == 0) s += byte(0x20, 0x7E);
        if (k == 1) s += "\n";
        if (k == 2) s += std::string{'\x8E', byte(0xA1, 0xDF)};
        if (k == 3) s += std::string{byte(0xA1, 0xFE), byte(0xA1, 0xFE)};
        break;
      case CODESET_JIS:
        if (k == 2) {
          s += two ? "\x1b(J" : "\x1b$B";
          two = !two;
        } else if (k == 1) {
          s += "\n";
          two = false;
        } else if (two) {
          s += std::string{byte(0x21, 0x7E), byte(0x21, 0x7E)};
        } else {
          s += byte(0x20, 0x7E);
        }
        break;
      case CODESET_BIG5:
        if (k == 0) s += byte(0x20, 0x7E);
        if (k == 1) s += "\r\n";
        if (k == 2) s += std::string{byte(0xA1, 0xF9), byte(0x40, 0x7E)};
        if (k == 3) s += std::string{byte(0xA1, 0xF9), byte(0xA1, 0xFE)};
        break;
      case CODESET_EUC_TW:
        if (k == 0) s += byte(0x20, 0x7E);
        if (k == 1) s += "\n";
        if (k == 2) s += std::string{'\x8E', byte(0xA1, 0xA4), byte(0xA1, 0xFE), byte(0xA1, 0xFE)};
        if (k == 3) s += std::string{byte(0xA1, 0xFE), byte(0xA1, 0xFE)};
        break;
    }
  }
  return s;
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_JACONV_TEXT_H
