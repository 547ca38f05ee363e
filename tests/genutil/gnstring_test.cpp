// CGNString under allocation failure and with text that the locale rejects.
#include "gnutil/gnstring.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "genutil/alloc.h"
#include "support/test_locale.h"

namespace {

using gnutil::testing::FailAllocationAfter;

struct NoFailures {
  ~NoFailures() { FailAllocationAfter(-1); }
};

TEST(StringAllocation, EveryFailedAllocationThrows) {
  NoFailures guard;
  FailAllocationAfter(0);
  EXPECT_THROW(CGNString("abc"), GMemoryException);

  CGNString s("abc");
  FailAllocationAfter(0);
  EXPECT_THROW(s += "defgh", GMemoryException);
  EXPECT_STREQ(s, "abc");  // a failed append leaves the value as it was

  FailAllocationAfter(0);
  EXPECT_THROW(s = "other", GMemoryException);
  EXPECT_STREQ(s, "abc");

  FailAllocationAfter(0);
  EXPECT_THROW({ CGNString copy(s); }, GMemoryException);

  FailAllocationAfter(0);
  EXPECT_THROW(s.GetNumChars() == 0 ? void() : s.SetAt(0, 'x'), GMemoryException);

  const unsigned short wide[] = {'h', 'i', 0};
  for (int after = 0; after < 3; ++after) {
    FailAllocationAfter(after);
    try {
      CGNString w(wide);
      EXPECT_STREQ(w, "hi");
    } catch (const GMemoryException&) {
    }
  }
}

TEST(StringAllocation, EveryAllocationPointOfAnEditCanFail) {
  NoFailures guard;
  // Walk the failure through each allocation of a character edit; whatever
  // fails, nothing leaks (the sanitizer run checks) and the text is intact.
  for (int after = 0; after < 6; ++after) {
    CGNString s("abcdef");
    FailAllocationAfter(after);
    try {
      s.SetAt(2, 'X');
      s += "tail";
      CGNString copy(s);
      copy = s;
    } catch (const GMemoryException&) {
    }
    FailAllocationAfter(-1);
    std::string text = static_cast<const char*>(s);
    EXPECT_TRUE(text == "abcdef" || text == "abXdef" || text == "abXdeftail") << text;
  }
}

TEST(StringAllocation, LengthsBeyond32BitsAreRefused) {
  CGNString s("x");
  EXPECT_THROW(s.AllocateBuffer(0xFFFFFFFFu), GMemoryException);
  EXPECT_STREQ(s, "x");
}

TEST(StringCLocale, HighBytesAreKeptThroughCharacterEdits) {
  GNUTIL_USE_LOCALE("C");
  CGNString s("caf\xE9!");
  EXPECT_EQ(s.GetNumChars(), 5u);  // invalid in ASCII: counted in bytes
  s.SetAt(0, 'C');
  EXPECT_STREQ(s, "Caf\xE9!");
  EXPECT_EQ(static_cast<unsigned char>(s.GetAt(3)), 0xE9);
}

}  // namespace
