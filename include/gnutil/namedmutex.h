/// \file
/// \ingroup concurrency
/// Mutexes locked and unlocked by name. The first thread that waits on a name
/// creates its mutex, and the mutex goes away again when the last thread that
/// held or waited for it has released it. Names are local to a pool; they are
/// not system-wide objects. The named mutexes are recursive, like every
/// mutex of the thread layer (gnutil/osthread.h).
#ifndef GNUTIL_NAMEDMUTEX_H
#define GNUTIL_NAMEDMUTEX_H

#include "gnutil/export.h"
#include "gnutil/gnlist.h"
#include "gnutil/gnstring.h"

struct _osmutex;
struct CGNNamedMutex;

/// A pool of recursive mutexes looked up by name, made on first use.
class GNUTIL_API CGNNamedMutexPool {
 public:
  CGNNamedMutexPool();  ///< A pool without its mutex; call Init.
  /// Destroys the pool mutex and the list. Records still in use are left to
  /// the threads that hold or wait for them.
  virtual ~CGNNamedMutexPool();

  /// A pool shares its records and its mutex with the threads using it; there
  /// is nothing a copy could own on its own.
  CGNNamedMutexPool(const CGNNamedMutexPool&) = delete;
  CGNNamedMutexPool& operator=(const CGNNamedMutexPool&) = delete;  ///< Not copyable.

  /// Creates the pool mutex; 1 on success. A pool is used only after Init.
  unsigned char Init();

  /// Locks the mutex of name, creating it when needed, and blocks until it is
  /// had. 0 when the pool is not initialised or the record cannot be made.
  unsigned char WaitNamedMutex(CGNString const& name);
  /// Unlocks one level; a name not in the pool is ignored. A thread that does
  /// not hold the name is refused (the thread layer prints "Error %x") and the
  /// name's users stay as they were.
  void ReleaseNamedMutex(CGNString const& name);
  /// Unlocks the name only when it is in the pool and held (by any thread).
  void RelIfWaitNamedMutex(CGNString const& name);

 protected:
  CGNList m_list;          ///< The records, as CGNNamedMutex* values.
  _osmutex* m_pPoolMutex;  ///< Guards m_list; null before Init.

 private:
  /// With the pool mutex held: the record of name, created with no user yet
  /// when it is absent. Null when it cannot be made.
  CGNNamedMutex* FindOrCreateNamedMutex(CGNString const& name);
  int IndexOf(CGNString const& name) const;
};

/// The process-wide pool, made on first use.
class GNUTIL_API CGNGlobalNamedMutexPool : public CGNNamedMutexPool {
 public:
  /// The pool, created and initialised on first call; null when Init fails.
  static CGNGlobalNamedMutexPool* GetInstance();
  /// Destroys the pool; the next GetInstance makes a fresh one.
  static void Free();

  static CGNGlobalNamedMutexPool* instance;  ///< The pool, or null.

 private:
  CGNGlobalNamedMutexPool();
  ~CGNGlobalNamedMutexPool() override;  ///< Frees what the object owns.
};

#endif  // GNUTIL_NAMEDMUTEX_H
