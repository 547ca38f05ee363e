// The streaming converter of the public API: the same bytes wherever the
// pieces of a text end, each policy on invalid input, and stream errors.
#include "gnutil/codestream.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "support/codestream_text.h"
#include "support/jaconv_text.h"
#include "support/temp_dir.h"

namespace {

using namespace gnutil_test;  // NOLINT: the suite's helpers and code-set names
using gnutil::CodeStatus;
using gnutil::InvalidBytes;
constexpr InvalidBytes kKeep = InvalidBytes::kKeep, kSkip = InvalidBytes::kSkip,
                       kFail = InvalidBytes::kFail;

// Every legacy pair on the sample text (in the pair's input code set) and on
// random text, at every edge, against the library's whole-text conversion.
TEST(CodeStream, EveryChunkEdgeGivesTheWholeTextsBytes) {
  const std::pair<int, int> kPairs[] = {{kSjis, kEuc}, {kSjis, kJis}, {kEuc, kSjis},
                                        {kEuc, kJis},  {kJis, kSjis}, {kJis, kEuc},
                                        {kBig5, kTw},  {kTw, kBig5},  {kSjis, kSjis}};
  std::mt19937 rng(7);
  for (const auto& [from, to] : kPairs) {
    bool japanese = from != kBig5 && from != kTw;
    for (const std::string& text :
         {japanese ? Ext(SampleSjis(), kSjis, from) : "", SampleText(from, &rng, 120)}) {
      SCOPED_TRACE(testing::Message() << from << "->" << to << " " << Hex(text));
      ExpectEveryEdge(from, to, kKeep, text, {CodeStatus::kOk, Ext(text, from, to), 0});
    }
  }
}

// The policies on the library's pairs; every edge gives the same outcome.
TEST(CodeStream, PoliciesOnInvalidInput) {
  const std::string a = "\x82\xa0", aEuc = "\xa4\xa2";  // the kana "a"
  const CodeStatus kOk = CodeStatus::kOk, kInvalid = CodeStatus::kInvalid;
  // clang-format off
  const PolicyCase kCases[] = {
      {"keep is convertStrExt's", kSjis, kEuc, kKeep, "A\x80" + a, {kOk, Ext("A\x80" + a, kSjis, kEuc), 0}},
      {"skip drops the byte", kSjis, kEuc, kSkip, "A\x80" + a + "\xa0", {kOk, "A" + aEuc, 0}},
      {"fail stops before it", kSjis, kEuc, kFail, "A" + a + "\x80" "B", {kInvalid, "A" + aEuc, 3}},
      {"fail at a cut end", kSjis, kEuc, kFail, "AB\x82", {kInvalid, "AB", 2}},
      {"fail closes the JIS shift", kSjis, kJis, kFail, a + "\xff", {kInvalid, Ext(a, kSjis, kJis), 2}},
      {"fail on a Big5 trail", kBig5, kTw, kFail, "x\xa4\x20", {kInvalid, "x", 1}},
      {"UTF-8 to itself checks", CODESET_UTF8, CODESET_UTF8, kFail, "\xc3\xa9\xc3", {kInvalid, "\xc3\xa9", 2}},
      {"JIS skip drops a bad pair", kJis, kSjis, kSkip, "\x1b$B\x30\x21\x30\x80\x1b(BA", {kOk, "\x88\x9f" "A", 0}},
      {"JIS fail at a bad escape", kJis, kEuc, kFail, "A\x1b$Z", {kInvalid, "A", 1}},
      {"a pair never converted", kSjis, kBig5, kKeep, "A", {CodeStatus::kUnavailable, "", 0}},
  };
  // clang-format on
  ExpectPolicies(kCases);
}

// A stream of several chunks through FILE*, and the stream errors.
TEST(CodeStream, FileStreamsAndTheirErrors) {
  TempDir dir;
  std::mt19937 rng(11);
  const std::string text = SampleText(kSjis, &rng, 150000);
  WriteFile(dir / "in", text);
  // In this order, so that "out" exists for the failing write and holds the
  // whole result at the end.
  const std::tuple<const char*, const char*, CodeStatus> kCases[] = {
      {"ab", "wb", CodeStatus::kReadError},
      {"rb", "rb", CodeStatus::kWriteError},
      {"rb", "wb", CodeStatus::kOk}};
  for (const auto& [inMode, outMode, status] : kCases) {
    FILE* in = fopen((dir / "in").c_str(), inMode);
    FILE* out = fopen((dir / "out").c_str(), outMode);
    ASSERT_TRUE(in != nullptr && out != nullptr);
    gnutil::CodeResult r = gnutil::ConvertCodeStream(in, out, kSjis, kJis, kKeep);
    fclose(in);
    fclose(out);
    EXPECT_EQ(r.status, status) << inMode << " " << outMode;
    if (status == CodeStatus::kOk) {
      EXPECT_EQ(r.offset, text.size());
    }
  }
  EXPECT_TRUE(Same(ReadWholeFile(dir / "out"), Ext(text, kSjis, kJis)));
}

}  // namespace
