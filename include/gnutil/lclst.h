// CGNLclSt: named pointer values ("local variables") in a table with a fixed
// number of slots. An unthreaded process has one table; once the process is
// threaded (OSSetThreaded) every thread has its own, so a variable set on one
// thread is invisible to the others. The library keeps its assertion
// recursion guard and the per-thread time-zone name here.
#ifndef GNUTIL_LCLST_H
#define GNUTIL_LCLST_H

#include <stdint.h>

#include "gnutil/export.h"

// One variable: an owned copy of its name (null for a free slot) and a value
// that is not owned.
struct CGNLclStSlot {
  char* m_pName;
  void* m_pValue;
};

// A thread's table is one malloc'd block: this header, then m_count slots.
// A block of this layout given to OSThreadCreate as threadData becomes the
// new thread's table (threads given the same block share it, without a lock)
// and stays the caller's to free. A table made by Init goes when its thread
// ends: a later thread that happens to get the same id starts without one.
// The count is a 32-bit field on every platform; the header is padded to a
// pointer's alignment, so on a 64-bit host the slots start 8 bytes in.
struct alignas(void*) CGNLclStBlock {
  int32_t m_count;
};

class GNUTIL_API CGNLclSt {
 public:
  // The one instance, made on first use (with no table yet); Free destroys it
  // and the process table, and the next Instance makes a fresh one.
  static CGNLclSt* Instance();
  static void Free();

  // Gives the calling thread (threaded) or the process (unthreaded) a table
  // of count free slots unless it has one already. 1 when a table exists
  // afterwards.
  unsigned char Init(long count);

  // Stores a new variable in the first free slot and returns its index; -1
  // when the name is already set (it is not overwritten), the table is full
  // or there is none.
  long SetLocalVariable(const char* name, void* value);
  void* GetLocalVariable(const char* name);
  void* GetLocalVariable(long index);
  // A plain 0 would otherwise be ambiguous between the index and the name.
  void* GetLocalVariable(int index) { return GetLocalVariable(static_cast<long>(index)); }
  long GetIndex(const char* name);
  char* GetVarName(long index);
  // Frees every slot holding name; a null name frees every slot.
  void UnsetLocalVariable(const char* name);
  void UnsetLocalVariable(long index);
  void UnsetLocalVariable(int index) { UnsetLocalVariable(static_cast<long>(index)); }
  // Not provided: always -1, changes nothing.
  long ResetLocalVariable(long index, const char* name, void* value);

  CGNLclSt& operator=(const CGNLclSt& other);

  static CGNLclSt* m_pInstance;

 private:
  CGNLclSt();
  CGNLclSt(const CGNLclSt&);
  ~CGNLclSt();

  // The table of the calling thread or of the process; null when none.
  CGNLclStSlot* Table(long* count);

  int32_t m_count;
  CGNLclStSlot* m_pSlots;
};

#endif  // GNUTIL_LCLST_H
