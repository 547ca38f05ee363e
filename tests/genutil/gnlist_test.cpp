// The lists: values and their bounds, string lists, parsing and splitting,
// cleanup lists, allocation failure and the double-byte locales.
#include "gnutil/gnlist.h"

#include <gtest/gtest.h>
#include <limits.h>

#include <string>
#include <tuple>
#include <vector>

#include "gnutil/gnstring.h"
#include "support/gnstring_fixtures.h"

namespace {

using gnutil::testing::FailAllocationAfter;
using gnutil_test::NoFailures;
using V = std::vector<std::string>;
using N = std::vector<long>;

class ListProbe : public CGNList {
 public:
  using CGNList::CGNList;
  unsigned Allocated() const { return m_nAllocated; }
};

N Values(const CGNList& l) {
  N out;
  for (int i = 0; i < l.GetCount(); ++i) out.push_back(l.GetItem(i));
  return out;
}

V Texts(const CGNStringList& list) {
  V out;
  for (int i = 0; i < list.GetCount(); ++i) {
    out.push_back(list.GetItem(i) ? gnutil_test::Bytes(*list.GetItem(i)) : "<null>");
  }
  return out;
}

#define OP(call) #call, [](CGNList & l) -> long { return (call); }

// Each call on {10, 20, 30}: InsertItem at the count appends; the slot a
// deletion frees reads 0.
TEST(List, EditsAndTheirBounds) {
  const std::tuple<const char*, long (*)(CGNList&), long, N> kCases[] = {
      {OP(l.InsertItem(3, 40)), 1, {10, 20, 30, 40}},
      {OP(l.InsertItem(0, 5)), 1, {5, 10, 20, 30}},
      {OP(l.InsertItem(4, 5)), 0, {10, 20, 30}},
      {OP((l.DeleteItem(0), 0)), 0, {20, 30}},
      {OP((l.DeleteItem(3), l.DeleteItem(-1), 0)), 0, {10, 20, 30}},
      {OP((l.DeleteItem(2), l.GetItem(2))), 0, {10, 20}},
      {OP(l.SwapItems(0, 2)), 1, {30, 20, 10}},
      {OP(l.SwapItems(0, 3)), 0, {10, 20, 30}}};
  for (const auto& [call, run, result, after] : kCases) {
    CGNList l;
    for (long v : {10L, 20L, 30L}) l.AddItem(v);
    EXPECT_EQ(run(l), result) << call;
    EXPECT_EQ(Values(l), after) << call;
  }
  EXPECT_EQ(CGNList(0, 0).GetItem(0), 0);
  EXPECT_EQ(CGNList().GetItemListPtr(), nullptr);  // an array but no values
}

TEST(ListFailures, ReservationsAndFailedGrowth) {
  NoFailures guard;
  ListProbe reserved(15, 10), l(0, 0);
  FailAllocationAfter(0);
  for (long v = 0; v < 15; ++v) ASSERT_TRUE(reserved.AddItem(v)) << v;  // never below the size
  EXPECT_FALSE(l.AddItem(1));
  for (long v = 0; v < 10; ++v) ASSERT_TRUE(l.AddItem(v));
  FailAllocationAfter(0);
  EXPECT_FALSE(l.InsertItem(0, 99));
  EXPECT_EQ(Values(l), (N{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  FailAllocationAfter(0);
  ListProbe optional(50, 10);  // the reservation is optional
  EXPECT_TRUE(optional.AddItem(5));
  EXPECT_FALSE(l.AllocateItemList(UINT_MAX));  // the rounded size passes 32 bits
  EXPECT_EQ(ListProbe(UINT_MAX, 10).Allocated(), 0u);
  FailAllocationAfter(0);
  EXPECT_THROW({ CGNList copy(l); }, GMemoryException);
}

TEST(ListFailures, StringListsUnderShortage) {
  NoFailures guard;
  CGNStringList l, m, ab, target;  // the arrays already exist
  CGNStringListList lists;
  CGNString lost("lost");
  FailAllocationAfter(0);
  EXPECT_TRUE(l.AddItem(lost));   // no string object: a null entry,
  EXPECT_TRUE(l.AddUnique("x"));  // skipped, not compared,
  CGNStringList copy(l);          // copied as a null entry
  l.Sort();                       // and sorted as the empty text
  EXPECT_EQ(Texts(copy), (V{"<null>", "x"}));
  EXPECT_EQ(Texts(l), (V{"<null>", "x"}));
  FailAllocationAfter(1);  // the object is made, its text buffer is not
  EXPECT_THROW(m.AddItem(lost), GMemoryException);
  EXPECT_EQ(m.GetCount(), 0);
  ab.ParseFrom("a,b", ',');
  target.AddItem("old");
  FailAllocationAfter(3);  // the array and one string, not the second one
  EXPECT_THROW(target = ab, GMemoryException);
  EXPECT_EQ(target.GetCount(), 0);
  FailAllocationAfter(0);
  EXPECT_FALSE(lists.AddItem(ab));
  EXPECT_EQ(lists.GetCount(), 0);
}

TEST(StringList, OwnsCopiesOfItsTexts) {
  CGNStringList l(0, 3), target;
  CGNString text("one");
  EXPECT_TRUE(l.AddItem(text) && l.AddItem("three"));
  text = "changed";
  EXPECT_TRUE(l.InsertItem(1, "two"));
  EXPECT_TRUE(l.GetItem(3) == nullptr && l.GetItem(-1) == nullptr);
  CGNStringList copy(l);
  target.AddItem("old");
  target = l;
  *target.GetItem(0) = "mine";
  *copy.GetItem(1) = "yours";
  EXPECT_EQ(Texts(l), (V{"one", "two", "three"}));
  EXPECT_EQ(Texts(target), (V{"mine", "two", "three"}));
  l.DeleteItem(1);
  l.DeleteItem(9);
  EXPECT_EQ(Texts(l), (V{"one", "three"}));
  l.FreeListItems();
  for (const char* t : {"Tokyo", "Tokyo", "tokyo", "", ""}) l.AddUnique(t);
  EXPECT_EQ(Texts(l), (V{"Tokyo", "tokyo", ""}));  // byte-exact
}

TEST(StringList, SortAscendingMovesOnlyPointers) {
  CGNStringList l;
  l.ParseFrom("b,a", ',');
  const CGNString* b = l.GetItem(0);
  l.Sort();
  EXPECT_EQ(Texts(l), (V{"a", "b"}));
  EXPECT_EQ(l.GetItem(1), b);  // the same object, moved
  GNUTIL_USE_LOCALE("en_US.utf8");
  CGNString("b,B,a,A").Split(l, ",");
  l.Sort();
  const V order = Texts(l);  // each letter's cases together, unlike byte order
  EXPECT_TRUE(order == (V{"a", "A", "b", "B"}) || order == (V{"A", "a", "B", "b"}));
}

// ParseFrom appends byte-wise pieces (a trailing separator adds nothing, a
// leading one an empty item); Split replaces the items.
TEST(StringList, ParseFromAppendsSplitReplaces) {
  // Split or ParseFrom, text, separator, items after (from {"old"}).
  const std::tuple<bool, const char*, const char*, V> kCases[] = {
      {false, "a,b,,c", ",", {"old", "a", "b", "", "c"}},
      {false, "a,", ",", {"old", "a"}},
      {false, ",", ",", {"old", ""}},
      {false, "\x95\x5C\\x", "\\", {"old", "\x95", "", "x"}},
      {true, "a,,b,", ",", {"a", "", "b"}},
      {true, "", ",", {}},
      {true, "a::b::c", "::", {"a", "b", "c"}},
      {true, "a,b", nullptr, {"a,b"}}};
  for (const auto& [split, text, separator, after] : kCases) {
    CGNStringList l;
    l.AddItem("old");
    CGNString s(text);
    if (split) {
      s.Split(l, separator);
    } else {
      EXPECT_EQ(l.ParseFrom(text, separator[0]), after.size()) << text;
    }
    EXPECT_EQ(Texts(l), after) << text;
    EXPECT_STREQ(s, text);
  }
  CGNStringList l;
  CGNString(",x").Split(l, static_cast<unsigned char>(','));
  EXPECT_EQ(Texts(l), (V{"", "x"}));
  l.AddItem("p|q");  // the string split, or the separator, may be an item of the list
  l.GetItem(2)->Split(l, "|");
  EXPECT_EQ(Texts(l), (V{"p", "q"}));
  l.AddItem("|");
  CGNString("x|y").Split(l, *l.GetItem(2));
  EXPECT_EQ(Texts(l), (V{"x", "y"}));
}

class LegacySplit : public gnutil_test::LegacyText {};

TEST_P(LegacySplit, NeverCutsACharacter) {
  // On the second character's trail byte where it is ASCII (Shift-JIS, Big5).
  const std::string trail = b_.substr(b_.size() - 1);
  const std::string sep = static_cast<unsigned char>(trail[0]) < 0x80 ? trail : "|";
  CGNStringList l;
  CGNString((a_ + sep + b_ + sep + b_).c_str()).Split(l, sep.c_str());
  EXPECT_EQ(Texts(l), (V{a_, b_, b_}));
}

GNUTIL_LEGACY_LOCALES(LegacySplit);

TEST(StringListList, DeepCopiesInsertAndDelete) {
  CGNStringList one, two;
  one.AddItem("1");
  two.AddItem("2");
  CGNStringListList l, assigned;
  EXPECT_TRUE(l.AddItem(two) && l.InsertItem(0, one));
  one.AddItem("more");
  CGNStringListList copy(l);
  assigned.AddItem(one);
  assigned = l;
  *copy.GetItem(0)->GetItem(0) = "changed";
  EXPECT_EQ(Texts(*l.GetItem(0)), (V{"1"}));  // copies of the argument, copied deeply
  EXPECT_EQ(Texts(*assigned.GetItem(1)), (V{"2"}));
  l.DeleteItem(0);
  EXPECT_EQ(Texts(*l.GetItem(0)), (V{"2"}));
}

std::string g_log;
void Log(void* arg) { g_log += static_cast<const char*>(arg); }

TEST(CleanupList, ExecuteRunsInOrderSkippingNullEntries) {
  NoFailures guard;
  {
    CGNCleanupList l;
    EXPECT_TRUE(l.AddItem(Log, const_cast<char*>("a")));
    FailAllocationAfter(0);
    EXPECT_TRUE(l.AddItem(Log, const_cast<char*>("-")));  // no item: a null entry
    CGNCleanupItem* own = new CGNCleanupItem{Log, const_cast<char*>("b")};
    EXPECT_TRUE(l.AddItem(own));  // the list owns it now
    l.Execute();
    l.Execute();        // and again
    l.FreeListItems();  // frees without calling
    l.Execute();
    l.AddItem(Log, const_cast<char*>("c"));
  }  // nor does destroying the list
  EXPECT_EQ(g_log, "abab");
}

}  // namespace
