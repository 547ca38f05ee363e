// The streaming converter of the public API: the same bytes wherever the
// pieces of a text end, each policy on invalid input, and stream errors.
#include "gnutil/codestream.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/codestream_text.h"
#include "support/jaconv_text.h"
#include "support/temp_dir.h"

namespace {

using namespace gnutil_test;  // NOLINT: the suite's helpers and code-set names
using gnutil::CodeResult;
using gnutil::CodeStatus;
using gnutil::InvalidBytes;

// Every legacy pair on the sample text (in the pair's input code set) and on
// random text, at every edge, against the library's whole-text conversion.
TEST(CodeStream, EveryChunkEdgeGivesTheWholeTextsBytes) {
  struct Pair {
    int from, to;
  };
  const Pair kPairs[] = {
      {.from = kSjis, .to = kEuc}, {.from = kSjis, .to = kJis}, {.from = kEuc, .to = kSjis},
      {.from = kEuc, .to = kJis},  {.from = kJis, .to = kSjis}, {.from = kJis, .to = kEuc},
      {.from = kBig5, .to = kTw},  {.from = kTw, .to = kBig5},  {.from = kSjis, .to = kSjis},
  };
  std::mt19937 rng(7);
  const std::string sample = SampleSjis();
  for (const Pair& p : kPairs) {
    bool japanese = p.from != kBig5 && p.from != kTw;
    for (const std::string& text :
         {japanese ? Ext(sample, kSjis, p.from) : std::string(), SampleText(p.from, &rng, 120)}) {
      SCOPED_TRACE(testing::Message() << p.from << "->" << p.to << " " << Hex(text));
      ExpectEveryEdge(p.from, p.to, InvalidBytes::kKeep, text,
                      {.status = CodeStatus::kOk, .out = Ext(text, p.from, p.to)});
    }
  }
}

// The policies on the library's pairs; every edge gives the same outcome.
TEST(CodeStream, PoliciesOnInvalidInput) {
  struct Case {
    const char* name;
    int from, to;
    InvalidBytes invalid;
    std::string in;
    Outcome expected;
  };
  const std::string a = "\x82\xa0";  // Shift-JIS "a" of the kana; EUC A4A2
  const Case kCases[] = {
      {.name = "keep passes through as convertStrExt",
       .from = kSjis,
       .to = kEuc,
       .invalid = InvalidBytes::kKeep,
       .in = "A\x80" + a + "B",
       .expected = {.out = Ext("A\x80" + a + "B", kSjis, kEuc)}},
      {.name = "skip drops the invalid byte",
       .from = kSjis,
       .to = kEuc,
       .invalid = InvalidBytes::kSkip,
       .in = "A\x80" + a +
             "\xa0"
             "B",
       .expected = {.out = "A\xa4\xa2"
                           "B"}},
      {.name = "skip drops a character cut by the end",
       .from = kSjis,
       .to = kEuc,
       .invalid = InvalidBytes::kSkip,
       .in = "AB\x82",
       .expected = {.out = "AB"}},
      {.name = "fail stops before the invalid byte",
       .from = kSjis,
       .to = kEuc,
       .invalid = InvalidBytes::kFail,
       .in = "A" + a +
             "\x80"
             "B",
       .expected = {.status = CodeStatus::kInvalid, .out = "A\xa4\xa2", .offset = 3}},
      {.name = "fail at a character cut by the end",
       .from = kSjis,
       .to = kEuc,
       .invalid = InvalidBytes::kFail,
       .in = "AB\x82",
       .expected = {.status = CodeStatus::kInvalid, .out = "AB", .offset = 2}},
      {.name = "fail returns JIS output to single bytes",
       .from = kSjis,
       .to = kJis,
       .invalid = InvalidBytes::kFail,
       .in = a + "\xff",
       .expected = {.status = CodeStatus::kInvalid, .out = Ext(a, kSjis, kJis), .offset = 2}},
      {.name = "fail on a trail byte out of range",
       .from = kBig5,
       .to = kTw,
       .invalid = InvalidBytes::kFail,
       .in = "x\xa4\x20",
       .expected = {.status = CodeStatus::kInvalid, .out = "x", .offset = 1}},
      {.name = "UTF-8 to itself checks under fail",
       .from = CODESET_UTF8,
       .to = CODESET_UTF8,
       .invalid = InvalidBytes::kFail,
       .in = "\xc3\xa9\xc3",
       .expected = {.status = CodeStatus::kInvalid, .out = "\xc3\xa9", .offset = 2}},
      {.name = "JIS input has no character walk for skip",
       .from = kJis,
       .to = kSjis,
       .invalid = InvalidBytes::kSkip,
       .in = "A",
       .expected = {.status = CodeStatus::kUnavailable, .out = ""}},
      {.name = "a pair the library does not convert",
       .from = kSjis,
       .to = kBig5,
       .invalid = InvalidBytes::kKeep,
       .in = "A",
       .expected = {.status = CodeStatus::kUnavailable, .out = ""}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectEveryEdge(c.from, c.to, c.invalid, c.in, c.expected);
  }
}

// Whole streams: more than one chunk through FILE*, and the errors of the
// stream functions.
TEST(CodeStream, FileStreamsAndTheirErrors) {
  TempDir dir;
  std::mt19937 rng(11);
  const std::string text = SampleText(kSjis, &rng, 150000);
  WriteFile(dir / "in", text);
  FILE* in = fopen((dir / "in").c_str(), "rb");
  FILE* out = fopen((dir / "out").c_str(), "wb");
  ASSERT_TRUE(in != nullptr && out != nullptr);
  CodeResult r = gnutil::ConvertCodeStream(in, out, kSjis, kJis, InvalidBytes::kKeep);
  fclose(in);
  fclose(out);
  EXPECT_EQ(r.status, CodeStatus::kOk);
  EXPECT_EQ(r.offset, text.size());
  EXPECT_TRUE(Same(ReadWholeFile(dir / "out"), Ext(text, kSjis, kJis)));

  struct ErrorCase {
    const char* name;
    const char* inMode;
    const char* outMode;
    int from, to;
    CodeStatus status;
  };
  const ErrorCase kErrors[] = {
      {.name = "input open for writing",
       .inMode = "ab",
       .outMode = "wb",
       .from = kSjis,
       .to = kEuc,
       .status = CodeStatus::kReadError},
      {.name = "output open for reading",
       .inMode = "rb",
       .outMode = "rb",
       .from = kSjis,
       .to = kEuc,
       .status = CodeStatus::kWriteError},
      {.name = "a pair that does not convert",
       .inMode = "rb",
       .outMode = "wb",
       .from = kEuc,
       .to = kTw,
       .status = CodeStatus::kUnavailable},
  };
  for (const ErrorCase& e : kErrors) {
    SCOPED_TRACE(e.name);
    FILE* source = fopen((dir / "in").c_str(), e.inMode);
    FILE* sink = fopen((dir / "out").c_str(), e.outMode);
    ASSERT_TRUE(source != nullptr && sink != nullptr);
    EXPECT_EQ(gnutil::ConvertCodeStream(source, sink, e.from, e.to, InvalidBytes::kKeep).status,
              e.status);
    fclose(source);
    fclose(sink);
  }
}

}  // namespace
