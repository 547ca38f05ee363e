// The streaming converter where the system converts UTF-8 (glibc's iconv):
// the UTF-8 pairs against iconv itself at every edge and under each policy,
// and gigabytes through pipes in bounded memory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iconv.h>
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

// The whole text through iconv at once (valid text only).
std::string Iconv(const std::string& text, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out(text.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(text.data());
  size_t left = text.size();
  char* dst = &out[0];
  size_t room = out.size();
  EXPECT_NE(iconv(cd, &src, &left, &dst, &room), static_cast<size_t>(-1));
  iconv(cd, nullptr, nullptr, &dst, &room);
  iconv_close(cd);
  out.resize(out.size() - room);
  return out;
}

TEST(CodeStreamUtf8, EveryChunkEdgeMatchesIconv) {
  const std::string neko = ReadWholeFile(GNUTIL_TEST_DATA_DIR "/neko-utf8.txt");
  ASSERT_FALSE(neko.empty());
  struct Pair {
    int other;
    const char* iconvName;
  };
  const Pair kPairs[] = {
      {.other = kSjis, .iconvName = "SHIFT_JIS"},
      {.other = kEuc, .iconvName = "EUC-JP"},
      {.other = kJis, .iconvName = "ISO-2022-JP"},
  };
  for (const Pair& p : kPairs) {
    SCOPED_TRACE(p.iconvName);
    const std::string theirs = Iconv(neko, "UTF-8", p.iconvName);
    ExpectEveryEdge(kUtf8, p.other, InvalidBytes::kFail, neko, {.out = theirs});
    ExpectEveryEdge(p.other, kUtf8, InvalidBytes::kFail, theirs, {.out = neko});
  }
  const std::string sample = SampleSjis();
  ExpectEveryEdge(kSjis, kUtf8, InvalidBytes::kFail, sample,
                  {.out = Iconv(sample, "SHIFT_JIS", "UTF-8")});
}

TEST(CodeStreamUtf8, PoliciesOnInvalidInput) {
  struct Case {
    const char* name;
    int from, to;
    InvalidBytes invalid;
    std::string in;
    Outcome expected;
  };
  const std::string hangul = "\xed\x95\x9c";  // no form in Shift-JIS
  const Case kCases[] = {
      {.name = "fail at a byte that is no UTF-8",
       .from = kUtf8,
       .to = kSjis,
       .invalid = InvalidBytes::kFail,
       .in = "a\xff"
             "b",
       .expected = {.status = CodeStatus::kInvalid, .out = "a", .offset = 1}},
      {.name = "fail at a character with no form in the output",
       .from = kUtf8,
       .to = kSjis,
       .invalid = InvalidBytes::kFail,
       .in = "ab" + hangul,
       .expected = {.status = CodeStatus::kInvalid, .out = "ab", .offset = 2}},
      {.name = "fail at a character cut by the end",
       .from = kUtf8,
       .to = kEuc,
       .invalid = InvalidBytes::kFail,
       .in = "a\xe3\x81",
       .expected = {.status = CodeStatus::kInvalid, .out = "a", .offset = 1}},
      {.name = "fail closes the JIS shift",
       .from = kUtf8,
       .to = kJis,
       .invalid = InvalidBytes::kFail,
       .in = "\xe3\x81\x82\xff",
       .expected = {.status = CodeStatus::kInvalid, .out = "\x1b$B$\"\x1b(B", .offset = 3}},
      {.name = "fail on Shift-JIS input",
       .from = kSjis,
       .to = kUtf8,
       .invalid = InvalidBytes::kFail,
       .in = "A\x80",
       .expected = {.status = CodeStatus::kInvalid, .out = "A", .offset = 1}},
      {.name = "skip drops invalid and unconvertible bytes",
       .from = kUtf8,
       .to = kSjis,
       .invalid = InvalidBytes::kSkip,
       .in = "a\xff" + hangul + "b\xe3\x81",
       .expected = {.out = "ab"}},
      {.name = "keep copies them as they are",
       .from = kUtf8,
       .to = kSjis,
       .invalid = InvalidBytes::kKeep,
       .in = "a\xff" + hangul + "b\xe3\x81",
       .expected = {.out = "a\xff" + hangul + "b\xe3\x81"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectEveryEdge(c.from, c.to, c.invalid, c.in, c.expected);
  }
}

TEST(CodeStreamUtf8, DescriptorErrors) {
  int readOnly = open("/dev/null", O_RDONLY);
  int writeOnly = open("/dev/null", O_WRONLY);
  ASSERT_GE(readOnly, 0);
  ASSERT_GE(writeOnly, 0);
  CodeResult r = gnutil::ConvertCodeStream(writeOnly, writeOnly, kSjis, kEuc, InvalidBytes::kKeep);
  EXPECT_EQ(r.status, CodeStatus::kReadError);
  EXPECT_EQ(r.error, EBADF);
  int in[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(write(in[1], "abc", 3), 3);
  close(in[1]);
  r = gnutil::ConvertCodeStream(in[0], readOnly, kUtf8, kEuc, InvalidBytes::kFail);
  EXPECT_EQ(r.status, CodeStatus::kWriteError);
  EXPECT_EQ(r.error, EBADF);
  close(in[0]);
  close(readOnly);
  close(writeOnly);
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
  const unsigned long long units = total / unit.size();
  int in[2], out[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(out), 0);
  std::string block;
  while (block.size() < (1 << 16)) block += unit;
  const unsigned long long perBlock = block.size() / unit.size();
  std::thread writer([&] {
    for (unsigned long long left = units; left > 0;) {
      unsigned long long n = left < perBlock ? left : perBlock;
      if (write(in[1], block.data(), n * unit.size()) != static_cast<ssize_t>(n * unit.size())) {
        break;
      }
      left -= n;
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
