// The streaming converter where the system converts UTF-8 (glibc's iconv):
// the UTF-8 pairs against iconv itself at every edge and under each policy,
// and gigabytes through pipes in bounded memory.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>

#include "gnutil/codestream.h"
#include "support/codestream_text.h"
#include "support/jaconv_text.h"

namespace {

using namespace gnutil_test;  // NOLINT: the suite's helpers and code-set names
using gnutil::CodeResult;
using gnutil::CodeStatus;
using gnutil::InvalidBytes;
constexpr int kUtf8 = CODESET_UTF8;

TEST(CodeStreamUtf8, EveryChunkEdgeMatchesIconv) {
  const std::string neko = ReadWholeFile(GNUTIL_TEST_DATA_DIR "/neko-utf8.txt");
  const std::pair<int, const char*> kPairs[] = {
      {kSjis, "SHIFT_JIS"}, {kEuc, "EUC-JP"}, {kJis, "ISO-2022-JP"}};
  for (const auto& [other, name] : kPairs) {
    SCOPED_TRACE(name);
    std::string theirs;
    ASSERT_TRUE(Iconv(name, "UTF-8", neko, &theirs));
    ExpectEveryEdge(kUtf8, other, InvalidBytes::kFail, neko, {CodeStatus::kOk, theirs, 0});
    ExpectEveryEdge(other, kUtf8, InvalidBytes::kFail, theirs, {CodeStatus::kOk, neko, 0});
  }
}

TEST(CodeStreamUtf8, PoliciesOnInvalidInput) {
  const std::string hangul = "\xed\x95\x9c";  // no form in Shift-JIS
  const std::string bad = "a\xff" + hangul + "b\xe3\x81";
  const CodeStatus kOk = CodeStatus::kOk, kInvalid = CodeStatus::kInvalid;
  // clang-format off
  const PolicyCase kCases[] = {
      {"fail at no UTF-8", kUtf8, kSjis, InvalidBytes::kFail, "a\xff" "b", {kInvalid, "a", 1}},
      {"fail at no form", kUtf8, kSjis, InvalidBytes::kFail, "ab" + hangul, {kInvalid, "ab", 2}},
      {"fail at a cut end", kUtf8, kEuc, InvalidBytes::kFail, "a\xe3\x81", {kInvalid, "a", 1}},
      {"fail closes the shift", kUtf8, kJis, InvalidBytes::kFail, "\xe3\x81\x82\xff", {kInvalid, "\x1b$B$\"\x1b(B", 3}},
      {"fail on Shift-JIS", kSjis, kUtf8, InvalidBytes::kFail, "A\x80", {kInvalid, "A", 1}},
      {"skip drops them", kUtf8, kSjis, InvalidBytes::kSkip, bad, {kOk, "ab", 0}},
      {"keep copies them", kUtf8, kSjis, InvalidBytes::kKeep, bad, {kOk, bad, 0}},
  };
  // clang-format on
  ExpectPolicies(kCases);
}

long PeakKilobytes() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// `total` bytes of the sample repeated, Shift-JIS to JIS (shift state and
// cut characters at every chunk edge), written into a pipe by one thread and
// read out of another and checked by a third; the converter's memory stays
// flat.
void ConvertThroughPipes(unsigned long long total) {
  const std::string unit = SampleSjis();
  const std::string expected = Ext(unit, kSjis, kJis);
  ASSERT_EQ(Ext(unit + unit + unit, kSjis, kJis), expected + expected + expected);
  std::string block;
  while (block.size() < (1 << 16)) block += unit;
  const unsigned long long blocks = total / block.size(),
                           units = blocks * (block.size() / unit.size());
  int in[2], out[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(out), 0);
  std::thread writer([&] {
    for (unsigned long long k = 0; k < blocks; ++k) {
      if (write(in[1], block.data(), block.size()) != static_cast<ssize_t>(block.size())) break;
    }
    close(in[1]);
  });
  unsigned long long received = 0;
  bool same = true;
  std::thread reader([&] {
    char buffer[1 << 16];
    ssize_t n;
    while ((n = read(out[0], buffer, sizeof buffer)) > 0) {
      for (size_t at = 0; at < static_cast<size_t>(n);) {
        size_t offset = received % expected.size();
        size_t k = std::min(expected.size() - offset, static_cast<size_t>(n) - at);
        same = same && std::memcmp(buffer + at, expected.data() + offset, k) == 0;
        at += k;
        received += k;
      }
    }
  });
  long before = PeakKilobytes();
  CodeResult r = gnutil::ConvertCodeStream(in[0], out[1], kSjis, kJis, InvalidBytes::kKeep);
  long growth = PeakKilobytes() - before;
  close(out[1]);
  writer.join();
  reader.join();
  close(in[0]);
  close(out[0]);
  EXPECT_EQ(r.status, CodeStatus::kOk);
  EXPECT_EQ(r.offset, units * unit.size());
  EXPECT_EQ(received, units * expected.size());
  EXPECT_TRUE(same);
  EXPECT_LT(growth, 4096) << "peak memory grew by " << growth << " KiB";
}

TEST(CodeStreamPipes, HundredsOfMegabytesInBoundedMemory) { ConvertThroughPipes(256ull << 20); }

// Past 4 GiB, where a 32-bit count would wrap; run by CTest as
// CodeStreamPipes.Gigabytes (label slow).
TEST(CodeStreamPipes, DISABLED_GigabytesInBoundedMemory) { ConvertThroughPipes(5ull << 30); }

}  // namespace
