/// \file
/// \ingroup concurrency
/// CGNLclSt: named pointer values ("local variables") in a table with a fixed
/// number of slots. An unthreaded process has one table; once the process is
/// threaded (OSSetThreaded) every thread has its own, so a variable set on one
/// thread is invisible to the others. The library keeps its assertion
/// recursion guard and the per-thread time-zone name here.
#ifndef GNUTIL_LCLST_H
#define GNUTIL_LCLST_H

#include <stdint.h>

#include "gnutil/export.h"

/// One variable: an owned copy of its name (null for a free slot) and a value
/// that is not owned.
struct CGNLclStSlot {
  char* m_pName;   ///< Owned copy of the name; null for a free slot.
  void* m_pValue;  ///< The value (not owned).
};

/// A thread's table is one malloc'd block: this header, then m_count slots.
/// A block of this layout given to OSThreadCreate as threadData becomes the
/// new thread's table (threads given the same block share it, without a lock)
/// and stays the caller's to free. A table made by Init goes when its thread
/// ends: a later thread that happens to get the same id starts without one.
/// The count is a 32-bit field on every platform; the header is padded to a
/// pointer's alignment, so on a 64-bit host the slots start 8 bytes in.
struct alignas(void*) CGNLclStBlock {
  int32_t m_count;  ///< The number of slots that follow.
};

/// Named pointer values per process (unthreaded) or per thread (threaded).
class GNUTIL_API CGNLclSt {
 public:
  /// The one instance, made on first use (with no table yet); Free destroys it
  /// and the process table, and the next Instance makes a fresh one.
  ///@{
  static CGNLclSt* Instance();
  static void Free();
  ///@}

  /// Gives the calling thread (threaded) or the process (unthreaded) a table
  /// of count free slots unless it has one already. 1 when a table exists
  /// afterwards.
  unsigned char Init(long count);

  /// Stores a new variable in the first free slot and returns its index; -1
  /// when the name is already set (it is not overwritten), the table is full
  /// or there is none.
  long SetLocalVariable(const char* name, void* value);
  ///@{
  /// The value of a variable by name or slot index; null when there is none.
  /// (The int overload keeps a plain 0 from being ambiguous.)
  void* GetLocalVariable(const char* name);
  void* GetLocalVariable(long index);
  void* GetLocalVariable(int index) { return GetLocalVariable(static_cast<long>(index)); }
  ///@}
  /// The slot index of a variable, or -1.
  long GetIndex(const char* name);
  /// The name in a slot (owned by the table), or null.
  char* GetVarName(long index);
  /// Frees every slot holding name; a null name frees every slot.
  void UnsetLocalVariable(const char* name);
  ///@{
  /// Frees one slot; an index outside the table does nothing.
  void UnsetLocalVariable(long index);
  void UnsetLocalVariable(int index) { UnsetLocalVariable(static_cast<long>(index)); }
  ///@}
  /// Not provided: always -1, changes nothing.
  long ResetLocalVariable(long index, const char* name, void* value);

  /// Copies the process table pointer and count.
  CGNLclSt& operator=(const CGNLclSt& other);

  static CGNLclSt* m_pInstance;  ///< The instance, or null.

 private:
  CGNLclSt();
  CGNLclSt(const CGNLclSt&);
  ~CGNLclSt();  ///< Frees what the object owns.

  /// The table of the calling thread or of the process; null when none.
  CGNLclStSlot* Table(long* count);

  int32_t m_count;
  CGNLclStSlot* m_pSlots;
};

#endif  // GNUTIL_LCLST_H
