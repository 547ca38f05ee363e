// The named mutex pool.
//
// The pool mutex guards the list and every record's count of users; it is
// never held while a thread waits on a named mutex, so a thread blocked on
// one name does not hold up the others. A record stays in the list while its
// count is at least 1, which is what keeps it alive for a thread that has
// counted itself in but is still waiting for the mutex.
#include "gnutil/namedmutex.h"

#include <stdint.h>
#include <stdlib.h>

#include <atomic>
#include <mutex>
#include <new>
#include <thread>

#include "gnutil/osthread.h"
#include "os/thread_internal.h"

struct CGNNamedMutex {
  _osmutex* m_pMutex;
  CGNString* m_pName;
  // Set by the holder after the pool mutex is released, read under it.
  std::atomic<unsigned char> m_held;
  int32_t m_users;  // waits not yet matched by a release
  bool m_threaded;  // its mutex was made in threaded mode and really locks
  CGNNamedMutex* m_pNextSpare;
};

namespace {

CGNNamedMutex* RecordAt(const CGNList& list, int index) {
  return reinterpret_cast<CGNNamedMutex*>(list.GetItem(index));
}

void DestroyRecord(CGNNamedMutex* record) {
  if (record->m_pMutex != nullptr) OSMutexDestroy(record->m_pMutex);
  delete record->m_pName;
  record->~CGNNamedMutex();
  free(record);
}

// A name's record lives only while the name is in use, so threads cycling
// through names would make and destroy a mutex and a string each time. A few
// removed records are kept, with their mutex and string object, for the next
// name created by any pool. A removed record has no user left, so nothing
// else can still refer to it. Never destroyed: the spares stay reachable.
constexpr int kMaxSpareRecords = 16;

gnutil::SpinLock g_sparesLock;
CGNNamedMutex* g_spares = nullptr;
int g_spareCount = 0;

void LockSpares() { g_sparesLock.Lock(); }
void UnlockSpares() { g_sparesLock.Unlock(); }

void RetireRecord(CGNNamedMutex* record) {
  // A mutex made while unthreaded never locks: it is not worth keeping.
  if (record->m_threaded) {
    LockSpares();
    if (g_spareCount < kMaxSpareRecords) {
      record->m_pNextSpare = g_spares;
      g_spares = record;
      ++g_spareCount;
      record = nullptr;
    }
    UnlockSpares();
  }
  if (record != nullptr) DestroyRecord(record);
}

// A spare record renamed to name, or null.
CGNNamedMutex* ReuseRecord(CGNString const& name) {
  if (!OSIsThreaded()) return nullptr;
  LockSpares();
  CGNNamedMutex* record = g_spares;
  if (record != nullptr) {
    g_spares = record->m_pNextSpare;
    --g_spareCount;
  }
  UnlockSpares();
  if (record == nullptr) return nullptr;
  try {
    *record->m_pName = name;
  } catch (const GMemoryException&) {
    DestroyRecord(record);
    return nullptr;
  }
  record->m_held.store(0, std::memory_order_relaxed);
  record->m_users = 0;
  record->m_pNextSpare = nullptr;
  return record;
}

}  // namespace

CGNNamedMutexPool::CGNNamedMutexPool() : m_list(10, 10), m_pPoolMutex(nullptr) {}

CGNNamedMutexPool::~CGNNamedMutexPool() {
  if (m_pPoolMutex != nullptr) OSMutexDestroy(m_pPoolMutex);
}

unsigned char CGNNamedMutexPool::Init() {
  if (m_pPoolMutex == nullptr) m_pPoolMutex = OSMutexCreate();
  return m_pPoolMutex != nullptr ? 1 : 0;
}

int CGNNamedMutexPool::IndexOf(CGNString const& name) const {
  for (int i = 0; i < m_list.GetCount(); ++i) {
    CGNNamedMutex* record = RecordAt(m_list, i);
    if (record != nullptr && *record->m_pName == name) return i;
  }
  return -1;
}

CGNNamedMutex* CGNNamedMutexPool::FindOrCreateNamedMutex(CGNString const& name) {
  int index = IndexOf(name);
  if (index >= 0) return RecordAt(m_list, index);

  CGNNamedMutex* record = ReuseRecord(name);
  if (record != nullptr) {
    if (!m_list.AddItem(reinterpret_cast<long>(record))) {
      RetireRecord(record);
      return nullptr;
    }
    return record;
  }

  void* memory = calloc(1, sizeof(CGNNamedMutex));
  if (memory == nullptr) return nullptr;
  record = new (memory) CGNNamedMutex{nullptr, nullptr, {0}, 0, OSIsThreaded() != 0, nullptr};
  record->m_pMutex = OSMutexCreate();
  try {
    record->m_pName = new CGNString(name);
  } catch (const GMemoryException&) {
    record->m_pName = nullptr;
  } catch (const std::bad_alloc&) {
    record->m_pName = nullptr;
  }
  if (record->m_pMutex == nullptr || record->m_pName == nullptr ||
      !m_list.AddItem(reinterpret_cast<long>(record))) {
    DestroyRecord(record);
    return nullptr;
  }
  return record;
}

unsigned char CGNNamedMutexPool::WaitNamedMutex(CGNString const& name) {
  if (m_pPoolMutex == nullptr) return 0;
  OSMutexWait(m_pPoolMutex);
  CGNNamedMutex* record = FindOrCreateNamedMutex(name);
  if (record == nullptr) {
    OSMutexRelease(m_pPoolMutex);
    return 0;
  }
  ++record->m_users;
  OSMutexRelease(m_pPoolMutex);
  // Our count keeps the record in the list until our own release.
  OSMutexWait(record->m_pMutex);
  record->m_held.store(1, std::memory_order_relaxed);
  return 1;
}

void CGNNamedMutexPool::ReleaseNamedMutex(CGNString const& name) {
  if (m_pPoolMutex == nullptr) return;
  OSMutexWait(m_pPoolMutex);
  int index = IndexOf(name);
  if (index < 0) {
    OSMutexRelease(m_pPoolMutex);
    return;
  }
  CGNNamedMutex* record = RecordAt(m_list, index);
  if (OSIsThreaded() && !OSMutexWaitIsPresentThisThread(record->m_pMutex)) {
    // Not ours: the thread layer refuses and reports it. Lowering the count
    // would let the record be destroyed under the thread that holds it.
    OSMutexRelease(record->m_pMutex);
    OSMutexRelease(m_pPoolMutex);
    return;
  }
  record->m_held.store(0, std::memory_order_relaxed);
  OSMutexRelease(record->m_pMutex);
  if (record->m_users-- == 1) {
    m_list.DeleteItem(index);
    RetireRecord(record);
  }
  OSMutexRelease(m_pPoolMutex);
}

void CGNNamedMutexPool::RelIfWaitNamedMutex(CGNString const& name) {
  if (m_pPoolMutex == nullptr) return;
  OSMutexWait(m_pPoolMutex);
  int index = IndexOf(name);
  // The pool mutex is recursive, so the release below can take it again.
  if (index >= 0 && RecordAt(m_list, index)->m_held.load(std::memory_order_relaxed)) {
    ReleaseNamedMutex(name);
  }
  OSMutexRelease(m_pPoolMutex);
}

// --- The process-wide pool ---

CGNGlobalNamedMutexPool* CGNGlobalNamedMutexPool::instance = nullptr;

namespace {

// The first GetInstance calls may come from several threads at once: the pool
// is made under a lock, and published through an atomic copy of the pointer
// so that later calls take no lock. Free may make a fresh one follow, so a
// once-only initialisation would not do.
std::mutex g_instanceLock;
std::atomic<CGNGlobalNamedMutexPool*> g_published{nullptr};

}  // namespace

CGNGlobalNamedMutexPool::CGNGlobalNamedMutexPool() = default;
CGNGlobalNamedMutexPool::~CGNGlobalNamedMutexPool() = default;

CGNGlobalNamedMutexPool* CGNGlobalNamedMutexPool::GetInstance() {
  CGNGlobalNamedMutexPool* pool = g_published.load(std::memory_order_acquire);
  if (pool != nullptr) return pool;
  std::lock_guard<std::mutex> lock(g_instanceLock);
  if (instance == nullptr) {
    instance = new CGNGlobalNamedMutexPool();
    if (!instance->Init()) {
      delete instance;
      instance = nullptr;
    }
  }
  g_published.store(instance, std::memory_order_release);
  return instance;
}

void CGNGlobalNamedMutexPool::Free() {
  std::lock_guard<std::mutex> lock(g_instanceLock);
  g_published.store(nullptr, std::memory_order_release);
  delete instance;
  instance = nullptr;
}
