// The exact promises of the list classes and CGNString::Split, through the
// public API. The array size is read through a derived class, as derived code
// in programs does.
#include "gnutil/gnlist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gnutil/gnstring.h"
#include "support/test_locale.h"

namespace {

class ListProbe : public CGNList {
 public:
  using CGNList::CGNList;
  unsigned Allocated() const { return m_nAllocated; }
  unsigned GrowBy() const { return m_nGrowBy; }
  const long* Items() const { return m_pItems; }
};

class StringListProbe : public CGNStringList {
 public:
  using CGNStringList::CGNStringList;
  StringListProbe(const CGNStringList& other) : CGNStringList(other) {}
  using CGNStringList::operator=;
  unsigned Allocated() const { return m_nAllocated; }
  unsigned GrowBy() const { return m_nGrowBy; }
};

std::vector<std::string> Texts(const CGNStringList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.GetCount(); ++i) {
    const CGNString* s = list.GetItem(i);
    out.push_back(s ? std::string(*s, s->GetLength()) : std::string("<null>"));
  }
  return out;
}

using V = std::vector<std::string>;

TEST(ListGrowth, ConstructorRoundsUpToAMultipleNotBelow) {
  ListProbe none(0, 0);
  EXPECT_EQ(none.Allocated(), 0u);
  EXPECT_EQ(none.Items(), nullptr);
  EXPECT_EQ(none.GrowBy(), 10u);
  EXPECT_EQ(none.GetItemListPtr(), nullptr);

  EXPECT_EQ(ListProbe(15, 10).Allocated(), 20u);
  EXPECT_EQ(ListProbe(10, 10).Allocated(), 10u);
  EXPECT_EQ(ListProbe(1, 7).Allocated(), 7u);
  EXPECT_EQ(ListProbe(7, 7).Allocated(), 7u);
  EXPECT_EQ(ListProbe().Allocated(), 10u);
  EXPECT_EQ(ListProbe().GetCount(), 0);
}

TEST(ListGrowth, AllocateItemListGivesAMultipleAboveN) {
  ListProbe l(0, 0);
  EXPECT_TRUE(l.AddItem(1));
  EXPECT_EQ(l.Allocated(), 10u);  // (1 + 10) / 10 * 10

  ListProbe m(0, 10);
  EXPECT_TRUE(m.AllocateItemList(10));
  EXPECT_EQ(m.Allocated(), 20u);
  EXPECT_TRUE(m.AllocateItemList(20));  // already enough: no change
  EXPECT_EQ(m.Allocated(), 20u);
  EXPECT_TRUE(m.AllocateItemList(21));
  EXPECT_EQ(m.Allocated(), 30u);
  ListProbe twenty(0, 10);
  EXPECT_TRUE(twenty.AllocateItemList(20));
  EXPECT_EQ(twenty.Allocated(), 30u);
  ListProbe eleven(0, 10);
  EXPECT_TRUE(eleven.AllocateItemList(11));
  EXPECT_EQ(eleven.Allocated(), 20u);

  ListProbe g(0, 4);
  EXPECT_TRUE(g.AllocateItemList(11));
  EXPECT_EQ(g.Allocated(), 12u);
}

TEST(ListGrowth, DefaultsGrowByTenOneStepAtATime) {
  ListProbe l;
  std::vector<unsigned> sizes;
  for (long v = 1; v <= 31; ++v) {
    ASSERT_TRUE(l.AddItem(v));
    sizes.push_back(l.Allocated());
  }
  EXPECT_EQ(sizes[9], 10u);   // the 10th value fits the first array
  EXPECT_EQ(sizes[10], 20u);  // the 11th grows it to 20
  EXPECT_EQ(sizes[20], 30u);
  EXPECT_EQ(sizes[30], 40u);
  for (int i = 0; i < 31; ++i) EXPECT_EQ(l.GetItem(i), i + 1);
}

TEST(ListValues, IndexesOutOfRange) {
  CGNList l;
  for (long v : {10L, 20L, 30L}) l.AddItem(v);
  EXPECT_EQ(l.GetItem(-1), 0);
  EXPECT_EQ(l.GetItem(3), 0);
  EXPECT_EQ(CGNList(0, 0).GetItem(0), 0);

  EXPECT_TRUE(l.InsertItem(3, 40));  // at the count: appends
  EXPECT_EQ(l.GetItem(3), 40);
  EXPECT_FALSE(l.InsertItem(5, 50));  // count + 1
  EXPECT_FALSE(l.InsertItem(-1, 50));
  EXPECT_EQ(l.GetCount(), 4);

  EXPECT_TRUE(l.InsertItem(0, 5));
  EXPECT_EQ(l.GetItem(0), 5);
  EXPECT_EQ(l.GetItem(1), 10);

  l.DeleteItem(-1);
  l.DeleteItem(5);
  EXPECT_EQ(l.GetCount(), 5);
  l.DeleteItem(1);
  EXPECT_EQ(l.GetCount(), 4);
  EXPECT_EQ(l.GetItem(1), 20);
  EXPECT_EQ(l.GetItem(3), 40);
}

TEST(ListValues, SwapAndItemPointer) {
  CGNList l;
  for (long v : {1L, 2L, 3L}) l.AddItem(v);
  EXPECT_TRUE(l.SwapItems(2, 2));
  EXPECT_FALSE(l.SwapItems(0, 3));
  EXPECT_FALSE(l.SwapItems(-1, 0));
  EXPECT_TRUE(l.SwapItems(0, 2));
  EXPECT_EQ(l.GetItem(0), 3);
  EXPECT_EQ(l.GetItem(2), 1);

  const long* items = static_cast<const long*>(l.GetItemListPtr());
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(items[1], 2);
  CGNList empty;
  EXPECT_EQ(empty.GetItemListPtr(), nullptr);  // an array but no values
}

TEST(ListValues, DeleteNeverShrinksAndFreeEmpties) {
  ListProbe l;
  for (long v = 0; v < 15; ++v) l.AddItem(v);
  for (int i = 0; i < 15; ++i) l.DeleteItem(0);
  EXPECT_EQ(l.GetCount(), 0);
  EXPECT_EQ(l.Allocated(), 20u);
  l.Free();
  EXPECT_EQ(l.Allocated(), 0u);
  EXPECT_EQ(l.Items(), nullptr);
  EXPECT_TRUE(l.AddItem(7));  // usable again
  EXPECT_EQ(l.GetItem(0), 7);
}

TEST(ListValues, CopyKeepsSizesAndValues) {
  ListProbe src(25, 5);
  for (long v : {4L, 5L, 6L}) src.AddItem(v);
  ListProbe copy(src);
  EXPECT_EQ(copy.Allocated(), 25u);
  EXPECT_EQ(copy.GrowBy(), 5u);
  EXPECT_NE(copy.Items(), src.Items());
  EXPECT_EQ(copy.GetCount(), 3);
  EXPECT_EQ(copy.GetItem(2), 6);

  ListProbe assigned(0, 3);
  assigned = src;
  EXPECT_EQ(assigned.Allocated(), 25u);
  EXPECT_EQ(assigned.GrowBy(), 5u);
  EXPECT_EQ(assigned.GetItem(0), 4);
  assigned = assigned;
  EXPECT_EQ(assigned.GetCount(), 3);

  ListProbe none(0, 0);
  ListProbe noneCopy(none);
  EXPECT_EQ(noneCopy.Allocated(), 0u);
  EXPECT_EQ(noneCopy.GetCount(), 0);
}

TEST(StringList, OwnsCopiesAndKeepsOwnGrowBy) {
  StringListProbe l(0, 3);
  CGNString text("one");
  EXPECT_TRUE(l.AddItem(text));
  text = "changed";
  EXPECT_STREQ(*l.GetItem(0), "one");  // a copy, not the caller's string
  EXPECT_TRUE(l.AddItem("three"));
  EXPECT_TRUE(l.InsertItem(1, "two"));
  EXPECT_FALSE(l.InsertItem(4, "x"));
  EXPECT_EQ(Texts(l), (V{"one", "two", "three"}));
  EXPECT_EQ(l.GetItem(3), nullptr);
  EXPECT_EQ(l.GetItem(-1), nullptr);

  StringListProbe copy(l);
  EXPECT_EQ(copy.GrowBy(), 10u);  // a copy starts from the defaults
  EXPECT_EQ(Texts(copy), Texts(l));
  EXPECT_NE(copy.GetItem(0), l.GetItem(0));

  StringListProbe target(0, 7);
  target.AddItem("old");
  target = l;
  EXPECT_EQ(target.GrowBy(), 7u);  // the target keeps its own
  EXPECT_EQ(Texts(target), Texts(l));
  *target.GetItem(0) = "mine";
  EXPECT_STREQ(*l.GetItem(0), "one");
}

TEST(StringList, DeleteAndFreeListItemsKeepTheArray) {
  StringListProbe l;
  for (const char* t : {"a", "b", "c"}) l.AddItem(t);
  l.DeleteItem(1);
  l.DeleteItem(9);
  EXPECT_EQ(Texts(l), (V{"a", "c"}));
  l.FreeListItems();
  EXPECT_EQ(l.GetCount(), 0);
  EXPECT_EQ(l.Allocated(), 10u);
  l.AddItem("d");
  l.Free();
  EXPECT_EQ(l.Allocated(), 0u);
  EXPECT_EQ(l.GetCount(), 0);
}

TEST(StringList, AddUniqueIsByteExact) {
  CGNStringList l;
  EXPECT_TRUE(l.AddUnique("Tokyo"));
  EXPECT_FALSE(l.AddUnique("Tokyo"));
  EXPECT_EQ(l.GetCount(), 1);
  EXPECT_TRUE(l.AddUnique("tokyo"));  // case-sensitive
  EXPECT_TRUE(l.AddUnique(""));
  EXPECT_FALSE(l.AddUnique(""));
  EXPECT_EQ(l.GetCount(), 3);
}

TEST(StringList, ParseFromSplitsBytesAndAppends) {
  CGNStringList l;
  EXPECT_EQ(l.ParseFrom("a,b,,c", ','), 4u);
  EXPECT_EQ(Texts(l), (V{"a", "b", "", "c"}));

  CGNStringList m;
  m.AddItem("x");
  m.AddItem("y");
  EXPECT_EQ(m.ParseFrom("a,", ','), 3u);  // a trailing separator adds nothing
  EXPECT_EQ(Texts(m), (V{"x", "y", "a"}));

  CGNStringList n;
  EXPECT_EQ(n.ParseFrom("", ','), 0u);
  EXPECT_EQ(n.ParseFrom(",", ','), 1u);  // a leading separator gives an empty item
  EXPECT_EQ(Texts(n), (V{""}));
  EXPECT_EQ(n.ParseFrom("abc", ';'), 2u);
  EXPECT_EQ(Texts(n), (V{"", "abc"}));
}

TEST(StringList, SortAscendingMovesOnlyPointers) {
  CGNStringList l;
  for (const char* t : {"pear", "apple", "fig", "apple", "banana"}) l.AddItem(t);
  const CGNString* fig = l.GetItem(2);
  l.Sort();
  EXPECT_EQ(Texts(l), (V{"apple", "apple", "banana", "fig", "pear"}));
  EXPECT_EQ(l.GetItem(3), fig);  // the same object, moved
}

TEST(Split, SeparatorsAndEmptyItems) {
  CGNStringList l;
  l.AddItem("stale");
  CGNString("a,,b,").Split(l, ",");
  EXPECT_EQ(Texts(l), (V{"a", "", "b"}));

  CGNString(",").Split(l, ",");
  EXPECT_EQ(Texts(l), (V{""}));

  CGNString("").Split(l, ",");
  EXPECT_EQ(l.GetCount(), 0);

  CGNString("a::b::c").Split(l, "::");
  EXPECT_EQ(Texts(l), (V{"a", "b", "c"}));

  CGNString(",x").Split(l, static_cast<unsigned char>(','));
  EXPECT_EQ(Texts(l), (V{"", "x"}));

  CGNString("no separator").Split(l, ";");
  EXPECT_EQ(Texts(l), (V{"no separator"}));
  CGNString("a,b").Split(l, "");
  EXPECT_EQ(Texts(l), (V{"a,b"}));
  CGNString("a,b").Split(l, static_cast<const char*>(nullptr));
  EXPECT_EQ(Texts(l), (V{"a,b"}));
}

TEST(Split, ALeftOverStringIsUnchanged) {
  CGNString s("k=v");
  CGNStringList l;
  s.Split(l, "=");
  EXPECT_STREQ(s, "k=v");
  EXPECT_EQ(s.GetLength(), 3u);
}

TEST(Split, AStringOrSeparatorOwnedByTheListItself) {
  CGNStringList l;
  l.AddItem("p|q");
  l.GetItem(0)->Split(l, "|");
  EXPECT_EQ(Texts(l), (V{"p", "q"}));
  CGNString("a|b|c").Split(l, "|");
  l.AddItem("|");
  CGNString("x|y").Split(l, *l.GetItem(3));
  EXPECT_EQ(Texts(l), (V{"x", "y"}));
}

TEST(Split, NeverMatchesInsideADoubleByteCharacter) {
  GNUTIL_USE_LOCALE("ja_JP.sjis");
  // 0x95 0x5C is one Shift-JIS character whose trail byte is a backslash.
  CGNString s("\x95\x5C\\x");
  CGNStringList l;
  s.Split(l, "\\");
  EXPECT_EQ(Texts(l), (V{"\x95\x5C", "x"}));
  // ParseFrom goes by bytes and does split there.
  CGNStringList bytes;
  EXPECT_EQ(bytes.ParseFrom(s, '\\'), 3u);
  EXPECT_EQ(Texts(bytes), (V{"\x95", "", "x"}));
}

TEST(StringListList, DeepCopies) {
  CGNStringList inner;
  inner.AddItem("a");
  inner.AddItem("b");
  CGNStringListList src;
  EXPECT_TRUE(src.AddItem(inner));
  inner.AddItem("c");
  EXPECT_EQ(src.GetItem(0)->GetCount(), 2);  // a copy of the argument

  CGNStringListList copy(src);
  *copy.GetItem(0)->GetItem(0) = "changed";
  copy.GetItem(0)->AddItem("more");
  EXPECT_EQ(Texts(*src.GetItem(0)), (V{"a", "b"}));

  CGNStringListList assigned;
  assigned.AddItem(CGNStringList());
  assigned.AddItem(CGNStringList());
  assigned = src;
  EXPECT_EQ(assigned.GetCount(), 1);
  EXPECT_NE(assigned.GetItem(0), src.GetItem(0));
  EXPECT_EQ(Texts(*assigned.GetItem(0)), (V{"a", "b"}));
}

TEST(StringListList, InsertDeleteAndFree) {
  CGNStringList one, two;
  one.AddItem("1");
  two.AddItem("2");
  CGNStringListList l;
  EXPECT_TRUE(l.AddItem(two));
  EXPECT_TRUE(l.InsertItem(0, one));
  EXPECT_FALSE(l.InsertItem(3, one));
  EXPECT_EQ(l.GetCount(), 2);
  EXPECT_STREQ(*l.GetItem(0)->GetItem(0), "1");
  EXPECT_EQ(l.GetItem(2), nullptr);
  l.DeleteItem(0);
  EXPECT_EQ(l.GetCount(), 1);
  EXPECT_STREQ(*l.GetItem(0)->GetItem(0), "2");
  l.FreeListItems();
  EXPECT_EQ(l.GetCount(), 0);
  EXPECT_TRUE(l.AddItem(one));
  l.Free();
  EXPECT_EQ(l.GetCount(), 0);
}

std::vector<int>* g_calls = nullptr;
void Record(void* arg) { g_calls->push_back(*static_cast<int*>(arg)); }

TEST(CleanupList, ExecuteRunsInOrderAndCanRunAgain) {
  std::vector<int> calls;
  g_calls = &calls;
  int a = 1, b = 2, c = 3;
  CGNCleanupList l;
  EXPECT_TRUE(l.AddItem(Record, &a));
  EXPECT_TRUE(l.AddItem(Record, &b));
  CGNCleanupItem* own = new CGNCleanupItem{Record, &c};
  EXPECT_TRUE(l.AddItem(own));  // the list owns it now
  EXPECT_EQ(l.GetItem(2), own);
  EXPECT_EQ(l.GetItem(3), nullptr);
  l.Execute();
  EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
  l.Execute();
  EXPECT_EQ(calls, (std::vector<int>{1, 2, 3, 1, 2, 3}));
  EXPECT_EQ(l.GetCount(), 3);

  l.FreeListItems();  // frees without calling
  EXPECT_EQ(l.GetCount(), 0);
  l.Execute();
  EXPECT_EQ(calls.size(), 6u);
}

TEST(CleanupList, DestroyingDoesNotRunCallbacks) {
  std::vector<int> calls;
  g_calls = &calls;
  int a = 1;
  {
    CGNCleanupList l;
    l.AddItem(Record, &a);
    l.Free();
    EXPECT_EQ(l.GetCount(), 0);
    l.AddItem(Record, &a);
  }
  EXPECT_TRUE(calls.empty());
}

}  // namespace
