// Internals of the formatting and escape operations: the output estimate of
// sprintf and the behaviour under memory shortage.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "genutil/alloc.h"
#include "genutil/format_estimate.h"
#include "gnutil/gnstring.h"
#include "support/test_locale.h"

namespace {

// Arguments from lists, recording what the estimate took.
class ListArgs : public gnutil::FormatArgs {
 public:
  std::vector<int> ints;
  std::vector<const char*> strings;
  std::vector<const wchar_t*> wides;
  std::string taken;

  int NextInt() override {
    taken += 'i';
    return ints.empty() ? 0 : Take(ints);
  }
  void SkipInteger(int length) override { taken += length == 0 ? 'd' : static_cast<char>(length); }
  void SkipDouble(bool longDouble) override { taken += longDouble ? 'D' : 'f'; }
  void SkipPointer() override { taken += 'p'; }
  const char* NextString() override {
    taken += 's';
    return strings.empty() ? nullptr : Take(strings);
  }
  const wchar_t* NextWideString() override {
    taken += 'w';
    return wides.empty() ? nullptr : Take(wides);
  }

 private:
  template <typename T>
  T Take(std::vector<T>& v) {
    T x = v.front();
    v.erase(v.begin());
    return x;
  }
};

size_t Estimate(const char* format, ListArgs& args) {
  return gnutil::EstimateFormattedLength(format, args);
}

size_t Estimate(const char* format) {
  ListArgs args;
  return Estimate(format, args);
}

TEST(FormatEstimate, OrdinaryTextAndPercent) {
  EXPECT_EQ(0u, Estimate(""));
  EXPECT_EQ(5u, Estimate("hello"));
  EXPECT_EQ(3u, Estimate("a%%b"));
  ListArgs none;
  EXPECT_EQ(0u, gnutil::EstimateFormattedLength(nullptr, none));
}

TEST(FormatEstimate, Strings) {
  ListArgs a;
  a.strings = {"abcdef", nullptr, ""};
  EXPECT_EQ(6u + 6u + 1u, Estimate("%s%s%s", a));
  ListArgs w;
  w.strings = {"abc", "abcdefgh"};
  EXPECT_EQ(10u + 5u, Estimate("%10s%.5s", w));  // raised to width, cut to precision
  ListArgs star;
  star.ints = {12, 2};
  star.strings = {"abcdef"};
  EXPECT_EQ(2u, Estimate("%*.*s", star));  // 6 -> 12 -> 2
  EXPECT_EQ("iis", star.taken);
  ListArgs wide;
  static const wchar_t kWide[] = L"wide";
  wide.wides = {kWide};
  EXPECT_EQ(4u, Estimate("%ls", wide));
  EXPECT_EQ("w", wide.taken);
}

TEST(FormatEstimate, NumbersAndCharacters) {
  EXPECT_EQ(32u, Estimate("%d"));
  EXPECT_EQ(40u, Estimate("%30.10x"));
  EXPECT_EQ(34u, Estimate("%#o"));  // "#" adds 2
  EXPECT_EQ(128u, Estimate("%f"));
  EXPECT_EQ(300u, Estimate("%200.100g"));
  EXPECT_EQ(2u, Estimate("%c"));
  EXPECT_EQ(5u, Estimate("%5c"));
  EXPECT_EQ(0u, Estimate("%n"));
  EXPECT_EQ(32u, Estimate("%p"));
}

TEST(FormatEstimate, ShortCountsForEAndFriends) {
  // Not a bound: E counts 4 whatever its width.
  EXPECT_EQ(4u, Estimate("%E"));
  EXPECT_EQ(4u, Estimate("%500E"));
}

TEST(FormatEstimate, TakesTheArgumentsPrintfTakes) {
  ListArgs a;
  Estimate("%d %ld %lld %Lf %E %hd %zu %jd %td %c %p %n %s %m %.*f", a);
  EXPECT_EQ(
      "dlLDfdzjtdpps"
      "if",
      a.taken);
}

TEST(FormatEstimate, UnknownConversionEndsTheWalk) {
  ListArgs a;
  EXPECT_EQ(4u + 32u, Estimate("%d%y%s", a));
  EXPECT_EQ("d", a.taken);
}

TEST(FormatEstimate, HugeWidthsSaturate) {
  size_t big = Estimate("%99999999999999999999999d%99999999999999999999s");
  EXPECT_EQ(static_cast<size_t>(-1) / 4, big);
}

TEST(FormatEstimate, TruncatedConversionStops) {
  EXPECT_EQ(3u, Estimate("abc%"));
  EXPECT_EQ(3u, Estimate("abc%-5"));
}

class Shortage : public ::testing::Test {
 protected:
  void TearDown() override { gnutil::testing::FailAllocationAfter(-1); }
};

TEST_F(Shortage, QuoteAndEscapeScratchFailsSilently) {
  CGNString s("it's \"x\"\n");
  EXPECT_GT(s.GetNumChars(), 0u);
  s.ExpandQuotes('a');  // builds the wide copy
  gnutil::testing::FailAllocationAfter(0);
  s.ExpandQuotes('\'');
  EXPECT_STREQ("it's \"x\"\n", s);
  gnutil::testing::FailAllocationAfter(0);
  s.UnexpandQuotes('\'');
  EXPECT_STREQ("it's \"x\"\n", s);
  gnutil::testing::FailAllocationAfter(0);
  s.ExpandSpecials();
  EXPECT_STREQ("it's \"x\"\n", s);
}

TEST_F(Shortage, OtherOperationsThrow) {
  CGNString s("a\\nb");
  gnutil::testing::FailAllocationAfter(0);
  EXPECT_THROW(s.UnexpandSpecials(), GMemoryException);
  gnutil::testing::FailAllocationAfter(0);
  CGNString f;
  // Beyond the fixed buffer by the estimate: the heap buffer fails.
  EXPECT_THROW(f.sprintf("%9000d", 1), GMemoryException);
  EXPECT_TRUE(f.IsEmpty());
  CGNString lines("a\nb");
  gnutil::testing::FailAllocationAfter(0);
  EXPECT_THROW(lines.ClientFormat(), GMemoryException);
  EXPECT_STREQ("a\nb", lines);
}

TEST(Sprintf, FixedBufferNeedsNoHeapForShortResults) {
  CGNString s;
  // The first allocation is the string's own buffer, after formatting.
  gnutil::testing::FailAllocationAfter(1);
  EXPECT_EQ(3, s.sprintf("%d", 123));
  EXPECT_STREQ("123", s);
  gnutil::testing::FailAllocationAfter(-1);
}

TEST(Sprintf, NullFormatIsAnError) {
  CGNString s("keep");
  EXPECT_EQ(-1, s.sprintf(nullptr));
  EXPECT_STREQ("keep", s);
}

TEST(Sprintf, EmbeddedNulIsCounted) {
  CGNString s;
  EXPECT_EQ(3, s.sprintf("a%cb", 0));
  EXPECT_EQ(3u, s.GetLength());
  EXPECT_EQ(0, memcmp("a\0b", static_cast<const char*>(s), 3));
}

}  // namespace

namespace {

// glibc's UTF-8 decoder accepts sequences beyond U+10FFFF; the wide copy
// carries their bytes one by one, and a character edit loses none of them.
TEST(WideCopy, BytesBeyondUnicodeSurviveAnEdit) {
  GNUTIL_USE_LOCALE("C.UTF-8");
  const std::string text = "\n\xf5\x8b\x8d\x8b\xf8\x88\x80\x80\x80";
  CGNString s(text.c_str());
  s.ExpandQuotes('q');
  EXPECT_EQ(text, std::string(static_cast<const char*>(s), s.GetLength()));
  s.ExpandSpecials();
  s.UnexpandSpecials();
  EXPECT_EQ(text, std::string(static_cast<const char*>(s), s.GetLength()));
}

}  // namespace
