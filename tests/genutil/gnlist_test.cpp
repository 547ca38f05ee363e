// The lists under allocation failure, at their size limits and in a
// double-byte locale.
#include "gnutil/gnlist.h"

#include <gtest/gtest.h>
#include <limits.h>

#include <string>

#include "genutil/alloc.h"
#include "support/test_locale.h"

namespace {

using gnutil::testing::FailAllocationAfter;

struct NoFailures {
  ~NoFailures() { FailAllocationAfter(-1); }
};

class ListProbe : public CGNList {
 public:
  using CGNList::CGNList;
  unsigned Allocated() const { return m_nAllocated; }
};

TEST(ListFailures, FailedGrowthLeavesTheListAsItWas) {
  NoFailures guard;
  ListProbe l(0, 0);
  FailAllocationAfter(0);
  EXPECT_FALSE(l.AddItem(1));
  EXPECT_EQ(l.GetCount(), 0);
  EXPECT_EQ(l.Allocated(), 0u);

  for (long v = 0; v < 10; ++v) ASSERT_TRUE(l.AddItem(v));
  FailAllocationAfter(0);
  EXPECT_FALSE(l.InsertItem(0, 99));
  EXPECT_EQ(l.GetCount(), 10);
  EXPECT_EQ(l.GetItem(0), 0);
  EXPECT_EQ(l.Allocated(), 10u);
  EXPECT_TRUE(l.AddItem(10));  // the hook fired once only
}

TEST(ListFailures, ConstructorReservationIsOptional) {
  NoFailures guard;
  FailAllocationAfter(0);
  ListProbe l(50, 10);
  EXPECT_EQ(l.Allocated(), 0u);
  EXPECT_TRUE(l.AddItem(5));
  EXPECT_EQ(l.GetItem(0), 5);
}

TEST(ListFailures, ImpossibleSizesAreRefused) {
  ListProbe l(0, 0);
  EXPECT_FALSE(l.AllocateItemList(UINT_MAX));  // the rounded size passes 32 bits
  EXPECT_EQ(l.Allocated(), 0u);
  ListProbe huge(UINT_MAX, 10);
  EXPECT_EQ(huge.Allocated(), 0u);
}

TEST(ListFailures, CopyThatCannotBeMadeThrowsAndLeavesTargetEmpty) {
  NoFailures guard;
  CGNList src;
  src.AddItem(1);
  FailAllocationAfter(0);
  EXPECT_THROW({ CGNList copy(src); }, GMemoryException);

  CGNStringList strings;
  strings.AddItem("a");
  strings.AddItem("b");
  CGNStringList target;
  target.AddItem("old");
  // Let the array through, fail the second string object.
  FailAllocationAfter(3);
  EXPECT_THROW(target = strings, GMemoryException);
  EXPECT_EQ(target.GetCount(), 0);
}

TEST(ListFailures, StringObjectShortageGivesANullEntry) {
  NoFailures guard;
  CGNStringList l;  // the array already exists
  CGNString lost("lost");
  FailAllocationAfter(0);
  EXPECT_TRUE(l.AddItem(lost));
  EXPECT_EQ(l.GetCount(), 1);
  EXPECT_EQ(l.GetItem(0), nullptr);
  EXPECT_TRUE(l.AddUnique("x"));  // null entries are skipped, not compared
  CGNStringList copy(l);          // and copied as null entries
  EXPECT_EQ(copy.GetItem(0), nullptr);
  EXPECT_STREQ(*copy.GetItem(1), "x");
  l.Sort();  // a null entry sorts as the empty text
  EXPECT_EQ(l.GetItem(0), nullptr);
}

TEST(ListFailures, StringBufferShortageThrowsAndAddsNothing) {
  NoFailures guard;
  CGNStringList l;
  CGNString text("text");
  FailAllocationAfter(1);  // the object is made, its text buffer is not
  EXPECT_THROW(l.AddItem(text), GMemoryException);
  EXPECT_EQ(l.GetCount(), 0);
}

TEST(ListFailures, StringListListReportsShortage) {
  NoFailures guard;
  CGNStringListList l;
  CGNStringList inner;
  inner.AddItem("a");
  FailAllocationAfter(0);
  EXPECT_FALSE(l.AddItem(inner));
  EXPECT_EQ(l.GetCount(), 0);
  EXPECT_TRUE(l.AddItem(inner));
}

std::string g_log;
void Log(void* arg) { g_log += static_cast<const char*>(arg); }

TEST(ListFailures, CleanupShortageIsSkippedByExecute) {
  NoFailures guard;
  g_log.clear();
  CGNCleanupList l;
  l.AddItem(Log, const_cast<char*>("a"));
  FailAllocationAfter(0);
  EXPECT_TRUE(l.AddItem(Log, const_cast<char*>("b")));
  EXPECT_EQ(l.GetItem(1), nullptr);
  l.AddItem(Log, const_cast<char*>("c"));
  l.AddItem(static_cast<const CGNCleanupItem*>(nullptr));
  l.Execute();
  EXPECT_EQ(g_log, "ac");
}

TEST(ListLocale, SortFollowsTheProcessLocale) {
  GNUTIL_USE_LOCALE("en_US.utf8");
  CGNStringList l;
  for (const char* t : {"b", "B", "a", "A"}) l.AddItem(t);
  l.Sort();
  // Dictionary order keeps each letter's cases together, unlike byte order
  // (A B a b).
  std::string order;
  for (int i = 0; i < l.GetCount(); ++i) order += *l.GetItem(i);
  EXPECT_TRUE(order == "aAbB" || order == "AaBb") << order;
}

TEST(ListLocale, SplitKeepsDoubleByteCharactersWhole) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // Shift-JIS 0x83 0x7C has the trail byte '|'; Split must not cut it.
  CGNString s("\x83\x7C|\x83\x7C|");
  CGNStringList l;
  s.Split(l, "|");
  ASSERT_EQ(l.GetCount(), 2);
  EXPECT_STREQ(*l.GetItem(0), "\x83\x7C");
  EXPECT_STREQ(*l.GetItem(1), "\x83\x7C");
}

TEST(ListLocale, SplitInBig5) {
  GNUTIL_USE_LOCALE("zh_TW.big5");
  // Big5 0xA4 0x40 has the trail byte '@'.
  CGNString s("\xA4\x40@b");
  CGNStringList l;
  s.Split(l, "@");
  // Windows calls the locale "Chinese (Traditional)_Taiwan.950", a name the
  // code-set module derives no code set from: there Split goes by bytes.
  if (gnutil_test::kWindows) {
    ASSERT_EQ(l.GetCount(), 3);
    EXPECT_STREQ(*l.GetItem(0), "\xA4");
    EXPECT_STREQ(*l.GetItem(1), "");
  } else {
    ASSERT_EQ(l.GetCount(), 2);
    EXPECT_STREQ(*l.GetItem(0), "\xA4\x40");
  }
  EXPECT_STREQ(*l.GetItem(l.GetCount() - 1), "b");

  // Named explicitly, Big5 keeps the character whole on both.
  InitMbutilExt(CODESET_BIG5);
  s.Split(l, "@");
  ASSERT_EQ(l.GetCount(), 2);
  EXPECT_STREQ(*l.GetItem(0), "\xA4\x40");
}

}  // namespace
