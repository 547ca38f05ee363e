// Helpers of the streaming conversion suites: a text fed to a CodeConverter
// in pieces, and the check that every edge between pieces gives the outcome
// of the whole text.
#ifndef GNUTIL_TESTS_SUPPORT_CODESTREAM_TEXT_H
#define GNUTIL_TESTS_SUPPORT_CODESTREAM_TEXT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "gnutil/codestream.h"
#include "support/jaconv_text.h"
#include "support/temp_dir.h"

namespace gnutil_test {

// What a conversion gives: its status, output and (kInvalid) offset.
struct Outcome {
  gnutil::CodeStatus status;
  std::string out;
  unsigned long long offset;
};

// Outcomes as gtest compares and prints them (the output in hex).
inline std::tuple<int, std::string, unsigned long long> Shown(const Outcome& o) {
  return {static_cast<int>(o.status), Hex(o.out), o.offset};
}

// The text fed in pieces of the given sizes (the rest in one piece), then
// finished; the status and offset of the first call that did not return kOk.
inline Outcome Fed(int from, int to, gnutil::InvalidBytes invalid, const std::string& text,
                   const std::vector<size_t>& sizes) {
  gnutil::CodeConverter converter(from, to, invalid);
  Outcome o{gnutil::CodeStatus::kOk, "", 0};
  gnutil::CodeResult r;
  for (size_t i = 0, at = 0; r.status == gnutil::CodeStatus::kOk; ++i) {
    if (at == text.size()) {
      r = converter.Finish(&o.out);
      break;
    }
    size_t n = std::min(i < sizes.size() ? sizes[i] : text.size(), text.size() - at);
    r = converter.Convert(text.data() + at, n, &o.out);
    at += n;
  }
  o.status = r.status;
  o.offset = r.status == gnutil::CodeStatus::kOk ? 0 : r.offset;
  return o;
}

// The whole text at once, every cut into two pieces, and pieces of 1, 2, 3
// and 5 bytes throughout give the expected outcome.
inline void ExpectEveryEdge(int from, int to, gnutil::InvalidBytes invalid, const std::string& text,
                            const Outcome& expected) {
  std::vector<std::vector<size_t>> splits = {{}};
  for (size_t cut = 0; cut <= text.size(); ++cut) splits.push_back({cut});
  for (size_t step : {1, 2, 3, 5}) splits.emplace_back(text.size() / step + 1, step);
  for (const auto& sizes : splits) {
    EXPECT_EQ(Shown(Fed(from, to, invalid, text, sizes)), Shown(expected))
        << "pieces of " << (sizes.empty() ? text.size() : sizes[0]) << " bytes first";
  }
}

// A policy on invalid input and what it gives, the same at every edge.
struct PolicyCase {
  const char* name;
  int from, to;
  gnutil::InvalidBytes invalid;
  std::string in;
  Outcome expected;
};

template <size_t n>
void ExpectPolicies(const PolicyCase (&cases)[n]) {
  for (const PolicyCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectEveryEdge(c.from, c.to, c.invalid, c.in, c.expected);
  }
}

// The Shift-JIS sample of the examples.
inline std::string SampleSjis() {
  std::string text = ReadWholeFile(GNUTIL_TEST_DATA_DIR "/../../examples/sample-sjis.txt");
  EXPECT_FALSE(text.empty());
  return text;
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_CODESTREAM_TEXT_H
