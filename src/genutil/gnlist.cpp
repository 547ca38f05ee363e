// The list classes and CGNString::Split.
//
// CGNList is a plain array of long values that grows by whole granules. The
// derived lists store owned object pointers in those values; they only ever
// move pointers, never objects. Object allocations go through new(nothrow)
// so that a shortage can be reported in the result as the lists promise.
#include "gnutil/gnlist.h"

#include <limits.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <new>

#include "genutil/alloc.h"
#include "genutil/mbutil_internal.h"
#include "gnutil/mbstring.h"

namespace {

constexpr unsigned int kDefaultGrowBy = 10;

long* NewItemArray(unsigned long long slots) {
  if (slots == 0 || slots > UINT_MAX || slots > SIZE_MAX / sizeof(long)) return nullptr;
  if (!gnutil::AllocationPermitted()) return nullptr;
  return new (std::nothrow) long[static_cast<size_t>(slots)];
}

template <typename T, typename... Args>
T* NewObject(Args&&... args) {
  if (!gnutil::AllocationPermitted()) return nullptr;
  return new (std::nothrow) T(static_cast<Args&&>(args)...);
}

template <typename T>
long AsValue(T* p) {
  return reinterpret_cast<long>(p);
}

template <typename T>
T* AsPointer(long v) {
  return reinterpret_cast<T*>(v);
}

// Appends a new string made of len bytes at p, built in place rather than
// copied from a temporary. Result and failure rules are those of
// CGNStringList::AddItem.
unsigned char AppendPiece(CGNStringList& list, const char* p, size_t len) {
  if (list.GetCount() == INT_MAX) return 0;
  if (!list.AllocateItemList(static_cast<unsigned int>(list.GetCount()) + 1)) return 0;
  CGNString* piece = NewObject<CGNString>();
  if (piece != nullptr) {
    try {
      piece->CopyNBytes(p, static_cast<unsigned int>(len));
    } catch (...) {
      delete piece;
      throw;
    }
  }
  return static_cast<CGNList&>(list).AddItem(AsValue(piece));
}

}  // namespace

// --- CGNList ---

CGNList::CGNList(unsigned int initialSize, unsigned int growBy)
    : m_pItems(nullptr),
      m_nCount(0),
      m_nAllocated(0),
      m_nGrowBy(growBy == 0 ? kDefaultGrowBy : growBy) {
  if (initialSize == 0) return;
  // The smallest multiple of grow-by not below the initial size.
  unsigned long long slots =
      (static_cast<unsigned long long>(initialSize) + m_nGrowBy - 1) / m_nGrowBy * m_nGrowBy;
  // The initial size is only a reservation: if it cannot be had, the list
  // starts without an array and grows on first use.
  m_pItems = NewItemArray(slots);
  if (m_pItems != nullptr) m_nAllocated = static_cast<unsigned int>(slots);
}

CGNList::CGNList(const CGNList& other)
    : m_pItems(nullptr), m_nCount(0), m_nAllocated(0), m_nGrowBy(other.m_nGrowBy) {
  CopyValuesFrom(other);
}

CGNList& CGNList::operator=(const CGNList& other) {
  if (this == &other) return *this;
  Free();
  m_nGrowBy = other.m_nGrowBy;
  CopyValuesFrom(other);
  return *this;
}

void CGNList::CopyValuesFrom(const CGNList& other) {
  if (other.m_nAllocated == 0) {
    m_nCount = other.m_nCount;
    return;
  }
  long* items = NewItemArray(other.m_nAllocated);
  if (items == nullptr) throw GMemoryException();
  if (other.m_nCount > 0) {
    memcpy(items, other.m_pItems, static_cast<size_t>(other.m_nCount) * sizeof(long));
  }
  m_pItems = items;
  m_nAllocated = other.m_nAllocated;
  m_nCount = other.m_nCount;
}

CGNList::~CGNList() { CGNList::Free(); }

void CGNList::Free() {
  delete[] m_pItems;
  m_pItems = nullptr;
  m_nCount = 0;
  m_nAllocated = 0;
}

int CGNList::GetCount() const { return m_nCount; }

long CGNList::GetItem(int index) const {
  if (m_pItems == nullptr || index < 0 || index >= m_nCount) return 0;
  return m_pItems[index];
}

unsigned char CGNList::AddItem(long value) {
  if (m_nCount == INT_MAX) return 0;
  if (!AllocateItemList(static_cast<unsigned int>(m_nCount) + 1)) return 0;
  m_pItems[m_nCount++] = value;
  return 1;
}

unsigned char CGNList::InsertItem(int position, long value) {
  if (position < 0 || position > m_nCount || m_nCount == INT_MAX) return 0;
  if (!AllocateItemList(static_cast<unsigned int>(m_nCount) + 1)) return 0;
  memmove(m_pItems + position + 1, m_pItems + position,
          static_cast<size_t>(m_nCount - position) * sizeof(long));
  m_pItems[position] = value;
  ++m_nCount;
  return 1;
}

void CGNList::DeleteItem(int index) {
  if (m_pItems == nullptr || index < 0 || index >= m_nCount) return;
  memmove(m_pItems + index, m_pItems + index + 1,
          static_cast<size_t>(m_nCount - index - 1) * sizeof(long));
  --m_nCount;
}

unsigned char CGNList::AllocateItemList(unsigned int n) {
  if (n <= m_nAllocated) return 1;
  // The smallest multiple of grow-by greater than n: one granule of headroom
  // even when n is already a multiple.
  unsigned long long slots =
      (static_cast<unsigned long long>(n) + m_nGrowBy) / m_nGrowBy * m_nGrowBy;
  long* items = NewItemArray(slots);
  if (items == nullptr) return 0;
  if (m_nCount > 0) memcpy(items, m_pItems, static_cast<size_t>(m_nCount) * sizeof(long));
  delete[] m_pItems;
  m_pItems = items;
  m_nAllocated = static_cast<unsigned int>(slots);
  return 1;
}

unsigned char CGNList::SwapItems(int a, int b) {
  if (m_pItems == nullptr || a < 0 || b < 0 || a >= m_nCount || b >= m_nCount) return 0;
  if (a != b) std::swap(m_pItems[a], m_pItems[b]);
  return 1;
}

void* CGNList::GetItemListPtr() const { return m_nCount >= 1 ? m_pItems : nullptr; }

// --- CGNStringList ---

CGNStringList::CGNStringList(unsigned int initialSize, unsigned int growBy)
    : CGNList(initialSize, growBy) {}

CGNStringList::CGNStringList(const CGNStringList& other) : CGNList(10, 10) { *this = other; }

CGNStringList& CGNStringList::operator=(const CGNStringList& other) {
  if (this == &other) return *this;
  Free();
  if (other.m_nCount == 0) return *this;
  // Reserve first, so that AddItem below cannot fail for want of slots.
  if (!AllocateItemList(static_cast<unsigned int>(other.m_nCount))) throw GMemoryException();
  try {
    for (int i = 0; i < other.m_nCount; ++i) {
      const CGNString* s = other.GetItem(i);
      if (s == nullptr) {
        CGNList::AddItem(0);
        continue;
      }
      AddItem(*s);
      // A copy must be complete: a string that could not be made is an error
      // here, not a null entry.
      if (GetItem(m_nCount - 1) == nullptr) throw GMemoryException();
    }
  } catch (...) {
    Free();
    throw;
  }
  return *this;
}

CGNStringList::~CGNStringList() { CGNStringList::Free(); }

void CGNStringList::Free() {
  FreeListItems();
  CGNList::Free();
}

CGNString* CGNStringList::GetItem(int index) {
  return AsPointer<CGNString>(CGNList::GetItem(index));
}

const CGNString* CGNStringList::GetItem(int index) const {
  return AsPointer<const CGNString>(CGNList::GetItem(index));
}

unsigned char CGNStringList::AddItem(const CGNString& text) { return InsertItem(m_nCount, text); }

unsigned char CGNStringList::InsertItem(int position, const CGNString& text) {
  if (position < 0 || position > m_nCount || m_nCount == INT_MAX) return 0;
  if (!AllocateItemList(static_cast<unsigned int>(m_nCount) + 1)) return 0;
  // The object is allocated without throwing; a failure leaves a null entry.
  // A failure to copy the text's buffer throws from the string class.
  CGNString* copy = NewObject<CGNString>(text);
  return CGNList::InsertItem(position, AsValue(copy));
}

void CGNStringList::DeleteItem(int index) {
  if (index < 0 || index >= m_nCount) return;
  delete GetItem(index);
  CGNList::DeleteItem(index);
}

void CGNStringList::FreeListItems() {
  for (int i = 0; i < m_nCount; ++i) delete GetItem(i);
  m_nCount = 0;
}

unsigned char CGNStringList::AddUnique(const CGNString& text) {
  for (int i = 0; i < m_nCount; ++i) {
    const CGNString* s = GetItem(i);
    if (s != nullptr && *s == text) return 0;
  }
  return AddItem(text);
}

unsigned int CGNStringList::ParseFrom(const CGNString& text, char separator) {
  const char* bytes = text;
  unsigned int length = text.GetLength();
  unsigned int start = 0;
  for (unsigned int i = 0; i < length; ++i) {
    if (bytes[i] != separator) continue;
    AppendPiece(*this, bytes + start, i - start);
    start = i + 1;
  }
  if (start < length) {
    AppendPiece(*this, bytes + start, length - start);
  }
  return static_cast<unsigned int>(m_nCount);
}

void CGNStringList::Sort() {
  if (m_nCount < 2) return;
  // Collation follows the process locale, which the code-set module sets to
  // the user's default on its first use.
  gnutil::CurrentCodeSet();
  std::sort(m_pItems, m_pItems + m_nCount, [](long a, long b) {
    const CGNString* sa = AsPointer<const CGNString>(a);
    const CGNString* sb = AsPointer<const CGNString>(b);
    // A null entry sorts as the empty text.
    return mbstrcoll(sa ? static_cast<const char*>(*sa) : "",
                     sb ? static_cast<const char*>(*sb) : "") < 0;
  });
}

// --- CGNStringListList ---

CGNStringListList::CGNStringListList() : CGNList(10, 10) {}

CGNStringListList::CGNStringListList(const CGNStringListList& other) : CGNList(10, 10) {
  *this = other;
}

CGNStringListList& CGNStringListList::operator=(const CGNStringListList& other) {
  if (this == &other) return *this;
  Free();
  try {
    for (int i = 0; i < other.m_nCount; ++i) {
      const CGNStringList* l = other.GetItem(i);
      if (!AddItem(l != nullptr ? *l : CGNStringList())) throw GMemoryException();
    }
  } catch (...) {
    Free();
    throw;
  }
  return *this;
}

CGNStringListList::~CGNStringListList() { FreeListItems(); }

void CGNStringListList::Free() {
  FreeListItems();
  CGNList::Free();
}

CGNStringList* CGNStringListList::GetItem(int index) {
  return AsPointer<CGNStringList>(CGNList::GetItem(index));
}

const CGNStringList* CGNStringListList::GetItem(int index) const {
  return AsPointer<const CGNStringList>(CGNList::GetItem(index));
}

unsigned char CGNStringListList::AddItem(const CGNStringList& list) {
  return InsertItem(m_nCount, list);
}

unsigned char CGNStringListList::InsertItem(int position, const CGNStringList& list) {
  if (position < 0 || position > m_nCount || m_nCount == INT_MAX) return 0;
  if (!AllocateItemList(static_cast<unsigned int>(m_nCount) + 1)) return 0;
  CGNStringList* copy = NewObject<CGNStringList>(10u, 10u);
  if (copy == nullptr) return 0;
  try {
    *copy = list;
  } catch (...) {
    delete copy;
    throw;
  }
  return CGNList::InsertItem(position, AsValue(copy));
}

void CGNStringListList::DeleteItem(int index) {
  if (index < 0 || index >= m_nCount) return;
  delete GetItem(index);
  CGNList::DeleteItem(index);
}

void CGNStringListList::FreeListItems() {
  for (int i = 0; i < m_nCount; ++i) delete GetItem(i);
  m_nCount = 0;
}

// --- CGNCleanupList ---

CGNCleanupList::CGNCleanupList() : CGNList(10, 10) {}

CGNCleanupList::~CGNCleanupList() { FreeListItems(); }

void CGNCleanupList::Free() {
  FreeListItems();
  CGNList::Free();
}

unsigned char CGNCleanupList::AddItem(void (*callback)(void*), void* arg) {
  if (m_nCount == INT_MAX) return 0;
  if (!AllocateItemList(static_cast<unsigned int>(m_nCount) + 1)) return 0;
  CGNCleanupItem* item = NewObject<CGNCleanupItem>();
  if (item != nullptr) {
    item->m_pfnCallback = callback;
    item->m_pArg = arg;
  }
  return CGNList::AddItem(AsValue(item));
}

unsigned char CGNCleanupList::AddItem(const CGNCleanupItem* item) {
  return CGNList::AddItem(AsValue(const_cast<CGNCleanupItem*>(item)));
}

CGNCleanupItem* CGNCleanupList::GetItem(int index) {
  return AsPointer<CGNCleanupItem>(CGNList::GetItem(index));
}

const CGNCleanupItem* CGNCleanupList::GetItem(int index) const {
  return AsPointer<const CGNCleanupItem>(CGNList::GetItem(index));
}

void CGNCleanupList::Execute() const {
  for (int i = 0; i < m_nCount; ++i) {
    const CGNCleanupItem* item = GetItem(i);
    if (item != nullptr && item->m_pfnCallback != nullptr) item->m_pfnCallback(item->m_pArg);
  }
}

void CGNCleanupList::FreeListItems() {
  for (int i = 0; i < m_nCount; ++i) delete GetItem(i);
  m_nCount = 0;
}

// --- CGNString::Split ---

void CGNString::Split(CGNStringList& list, const char* separator) {
  // Emptying the list would destroy this string if the list owns it.
  for (int i = 0; i < list.GetCount(); ++i) {
    if (list.GetItem(i) == this) {
      CGNString self(*this);
      self.Split(list, separator);
      return;
    }
  }
  // The separator may be the text of an item that Free destroys.
  const CGNString sep(separator);
  list.Free();
  if (m_nDataLength == 0) return;
  // An empty separator would match everywhere; treat it as absent.
  const size_t sepLength = sep.GetLength();
  const char* p = m_pData;
  while (true) {
    const char* hit = sepLength != 0 ? mbstrstr(p, sep) : nullptr;
    if (hit == nullptr) {
      AppendPiece(list, p, strlen(p));
      return;
    }
    AppendPiece(list, p, static_cast<size_t>(hit - p));
    p = hit + sepLength;
    if (*p == '\0') return;  // a separator at the very end adds no empty item
  }
}

void CGNString::Split(CGNStringList& list, unsigned char separator) {
  char text[2] = {static_cast<char>(separator), '\0'};
  Split(list, text);
}
