/// \file
/// \ingroup strings
/// Growable lists: CGNList of long values, and the lists of owned objects built
/// on it (strings, string lists, clean-up callbacks).
///
/// Growth is linear: the array is always a whole number of "grow by" granules
/// and grows by one granule when it is full. Callers that know the size pass a
/// larger initial size or grow-by. The derived lists keep pointers in the long
/// values and own what they point to; moving slots (insert, delete, sort, swap)
/// never copies an object.
///
/// Failures: a list that cannot grow reports false from AddItem / InsertItem
/// and stays as it was. Copying a list that cannot be allocated throws
/// GMemoryException (the string class's one exception) and leaves the target
/// empty. No list has a lock.
#ifndef GNUTIL_GNLIST_H
#define GNUTIL_GNLIST_H

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

// The lists keep pointers in their long values.
static_assert(sizeof(long) >= sizeof(void*), "a list value must hold a pointer");

/// A growable list of long values; the base of the lists of owned objects.
class GNUTIL_API CGNList {
 public:
  /// initialSize 0 allocates nothing; otherwise the array holds initialSize
  /// rounded up to a multiple of growBy. growBy 0 means 10.
  CGNList(unsigned int initialSize = 10, unsigned int growBy = 10);
  /// A copy of the values, with the other list's sizes.
  CGNList(const CGNList& other);
  /// Replaces the values with the other list's.
  CGNList& operator=(const CGNList& other);
  /// Frees the array.
  virtual ~CGNList();

  /// Empties the list and frees its array; the list can be filled again.
  virtual void Free();

  /// The number of values.
  int GetCount() const;
  /// The value at index; 0 when the index is out of range.
  long GetItem(int index) const;
  /// Appends a value; 0 when the array cannot grow.
  unsigned char AddItem(long value);
  /// Inserts a value before position, which may be 0 ... count (count
  /// appends); 0 when the position is out of range or the array cannot grow.
  unsigned char InsertItem(int position, long value);
  /// Removes the value at index. Out of range: nothing. The array never
  /// shrinks.
  void DeleteItem(int index);
  /// Makes room for at least n values. A growing list gets the smallest
  /// multiple of grow-by that is greater than n (10 -> 20 with grow-by 10);
  /// callers rely on that arithmetic for their sizing.
  unsigned char AllocateItemList(unsigned int n);

  /// Exchanges two values; 0 when either index is out of range.
  virtual unsigned char SwapItems(int a, int b);
  /// The array when the list holds at least one value, else null.
  virtual void* GetItemListPtr() const;

 protected:
  long* m_pItems;             ///< The array, or null.
  int m_nCount;               ///< Values in use.
  unsigned int m_nAllocated;  ///< Values the array holds.
  unsigned int m_nGrowBy;     ///< The growth step.

 private:
  void CopyValuesFrom(const CGNList& other);
};

/// A list of strings, each a copy owned by the list.
class GNUTIL_API CGNStringList : public CGNList {
 public:
  /// An empty list; the sizes as for CGNList.
  CGNStringList(unsigned int initialSize = 10, unsigned int growBy = 10);
  /// The copy has the default sizes (10, 10) and copies of the strings.
  CGNStringList(const CGNStringList& other);
  /// Replaces the strings with copies of the other list's; this list keeps its
  /// own grow-by.
  CGNStringList& operator=(const CGNStringList& other);
  ~CGNStringList() override;  ///< Frees what the object owns.

  void Free() override;

  ///@{
  /// The string at index; null when the index is out of range.
  CGNString* GetItem(int index);
  const CGNString* GetItem(int index) const;
  ///@}
  ///@{
  /// Appends / inserts a copy. If the string object itself cannot be
  /// allocated a null entry is stored instead (GetItem returns null for it).
  unsigned char AddItem(const CGNString& text);
  unsigned char InsertItem(int position, const CGNString& text);
  ///@}
  /// Destroys and removes the string at index; out of range: nothing.
  void DeleteItem(int index);
  /// Destroys every string; the array stays allocated.
  void FreeListItems();
  /// Adds the text unless an equal one (same bytes, case-sensitive) is there.
  unsigned char AddUnique(const CGNString& text);
  /// Appends the pieces of text between separator bytes (the list is not
  /// emptied first). The scan is by bytes: adjacent separators give empty
  /// items, a trailing separator no empty last item. Returns the new count.
  unsigned int ParseFrom(const CGNString& text, char separator);
  /// Ascending by the collation of the process locale; not stable.
  void Sort();
};

/// A list of string lists, each a deep copy owned by the list.
class GNUTIL_API CGNStringListList : public CGNList {
 public:
  /// An empty list.
  CGNStringListList();
  /// A deep copy of every string list.
  CGNStringListList(const CGNStringListList& other);
  /// Replaces the string lists with deep copies of the other's.
  CGNStringListList& operator=(const CGNStringListList& other);
  ~CGNStringListList() override;  ///< Frees what the object owns.

  void Free() override;

  ///@{
  /// The string list at index; null when the index is out of range.
  CGNStringList* GetItem(int index);
  const CGNStringList* GetItem(int index) const;
  ///@}
  ///@{
  /// Appends / inserts a deep copy; false when it cannot be made or stored.
  unsigned char AddItem(const CGNStringList& list);
  unsigned char InsertItem(int position, const CGNStringList& list);
  ///@}
  /// Destroys and removes the string list at index; out of range: nothing.
  void DeleteItem(int index);
  /// Destroys every string list and leaves the list empty.
  void FreeListItems();
};

/// One clean-up callback and its argument.
struct CGNCleanupItem {
  void (*m_pfnCallback)(void*);  ///< Called with m_pArg by Execute.
  void* m_pArg;                  ///< The callback's argument (not owned).
};

/// Clean-up callbacks that the owner runs with Execute (never on its own).
/// Items are freed when the list is emptied; their callbacks are not run then.
class GNUTIL_API CGNCleanupList : public CGNList {
 public:
  CGNCleanupList();  ///< An empty list.
  /// The list owns its items, so it is not copied.
  CGNCleanupList(const CGNCleanupList&) = delete;
  CGNCleanupList& operator=(const CGNCleanupList&) = delete;  ///< Not copyable.
  ~CGNCleanupList() override;                                 ///< Frees what the object owns.

  void Free() override;

  /// A null entry is stored if the item cannot be allocated.
  unsigned char AddItem(void (*callback)(void*), void* arg);
  /// Takes ownership of an item allocated singly with new.
  unsigned char AddItem(const CGNCleanupItem* item);
  ///@{
  /// The item at index; null when the index is out of range.
  CGNCleanupItem* GetItem(int index);
  const CGNCleanupItem* GetItem(int index) const;
  ///@}
  /// Runs every callback in the order added; the items stay in the list.
  void Execute() const;
  /// Frees every item without running it and leaves the list empty.
  void FreeListItems();
};

#endif  // GNUTIL_GNLIST_H
