// Helpers of the streaming conversion suites: a text fed to a CodeConverter
// in pieces, and the check that every edge between pieces gives the outcome
// of the whole text.
#ifndef GNUTIL_TESTS_SUPPORT_CODESTREAM_TEXT_H
#define GNUTIL_TESTS_SUPPORT_CODESTREAM_TEXT_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gnutil/codestream.h"
#include "support/temp_dir.h"

namespace gnutil_test {

// What a conversion gives: its status, output and (kInvalid) offset.
struct Outcome {
  gnutil::CodeStatus status = gnutil::CodeStatus::kOk;
  std::string out;
  unsigned long long offset = 0;
};

// The text fed in pieces of the given sizes (the rest in one piece), then
// finished; the status and offset of the first call that did not return kOk.
inline Outcome Fed(int from, int to, gnutil::InvalidBytes invalid, const std::string& text,
                   const std::vector<size_t>& sizes) {
  gnutil::CodeConverter converter(from, to, invalid);
  Outcome o;
  size_t at = 0;
  gnutil::CodeResult r;
  for (size_t i = 0; r.status == gnutil::CodeStatus::kOk; ++i) {
    if (at == text.size()) {
      r = converter.Finish(&o.out);
      break;
    }
    size_t n = i < sizes.size() ? std::min(sizes[i], text.size() - at) : text.size() - at;
    r = converter.Convert(text.data() + at, n, &o.out);
    at += n;
  }
  o.status = r.status;
  o.offset = r.status == gnutil::CodeStatus::kOk ? 0 : r.offset;
  return o;
}

inline ::testing::AssertionResult SameOutcome(const Outcome& got, const Outcome& expected) {
  if (got.status == expected.status && got.out == expected.out && got.offset == expected.offset) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "status " << static_cast<int>(got.status) << " (expected "
         << static_cast<int>(expected.status) << "), offset " << got.offset << " ("
         << expected.offset << "), output of " << got.out.size() << " bytes ("
         << expected.out.size() << (got.out == expected.out ? ", equal)" : ", different)");
}

// The whole text at once, every cut into two pieces, and pieces of 1, 2, 3
// and 5 bytes throughout, give the expected outcome.
inline void ExpectEveryEdge(int from, int to, gnutil::InvalidBytes invalid, const std::string& text,
                            const Outcome& expected) {
  EXPECT_TRUE(SameOutcome(Fed(from, to, invalid, text, {}), expected)) << "whole";
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    EXPECT_TRUE(SameOutcome(Fed(from, to, invalid, text, {cut}), expected)) << "cut at " << cut;
  }
  for (size_t step : {1, 2, 3, 5}) {
    std::vector<size_t> sizes(text.size() / step + 1, step);
    EXPECT_TRUE(SameOutcome(Fed(from, to, invalid, text, sizes), expected)) << "pieces of " << step;
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
