// Threads and synchronisation: the portable rules over the platform objects
// of src/platform/thread.h.
//
// Two process-wide tables live here. The thread-data registry gives each
// thread one value of its own (the per-thread named variables use it). The
// held-mutex table records one entry per OSMutexWait not yet undone, so that
// a thread can ask whether it holds a mutex and can let go of everything it
// holds at once. Both tables hash the thread id into 211 buckets.
//
// Every mutex lock and unlock passes through the held-mutex table, so it is
// kept cheap. A thread's entries are only ever read or changed by that thread
// itself, so they hang off a per-thread holdings record that the thread finds
// through thread-local storage, with no lock at all; the buckets link the
// holdings records of the threads that have locked something and are locked
// only when a thread first locks a mutex and when it ends. The entries are a
// stack of mutex pointers in the record itself (moved to the heap only when a
// thread holds more than a few levels at once): locks and releases nest, so
// a lock pushes one pointer and its release pops it again.
#include "platform/thread.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <new>
#include <thread>

#include "gnutil/osthread.h"
#include "os/thread_internal.h"

struct _osthread {
  gnutil::platform::Thread* handle;
};

struct _osmutex {
  gnutil::platform::Mutex* mutex;  // null when made while unthreaded
};

struct _osrdwr {
  gnutil::platform::ReaderWriter* objects;     // null when made while unthreaded
  uint32_t readers[gnutil::kThreadTableSize];  // reader thread ids, 0 = free slot
  uint32_t writer;
};

struct _oscondition {
  gnutil::platform::Semaphore* wakeups;  // null when made while unthreaded
  gnutil::platform::Mutex* guard;
  int32_t waiters;
};

namespace gnutil {

namespace {

// Written once by OSSetThreaded before a second thread exists and read
// everywhere; relaxed atomic accesses cost the same as plain ones.
std::atomic<int32_t> g_threaded{0};

inline bool Threaded() { return g_threaded.load(std::memory_order_relaxed) != 0; }

// --- The thread-data registry ---

struct RegistryEntry {
  uint32_t thread;
  void* value;
  RegistryEntry* next;
  void (*atExit)(void*);
};

platform::Mutex* g_registryMutex = nullptr;
RegistryEntry* g_registry[kThreadTableSize];

// --- The held-mutex table ---

struct Holdings;

struct HeldBucket {
  SpinLock lock;
  Holdings* head = nullptr;
};

HeldBucket g_held[kThreadTableSize];

// Levels a thread can hold before its entries move to the heap.
constexpr unsigned kInlineHeld = 16;

// One per thread that has locked a mutex through OSMutexWait or registered a
// value; malloc'd, and freed by the platform's thread-exit callback.
struct Holdings {
  uint32_t thread;
  unsigned count;      // entries in use: held[0] is the oldest lock
  unsigned capacity;   // of held
  _osmutex** held;     // inlineHeld, or a heap array once that is full
  Holdings* next;      // in its bucket
  bool hasThreadData;  // the thread registered a value, to be dropped when it ends
  _osmutex* inlineHeld[kInlineHeld];

  // False when memory is short: the lock is then held but not recorded.
  [[gnu::noinline]] bool Grow() {
    unsigned bigger = capacity * 2;
    void* memory = held == inlineHeld ? malloc(bigger * sizeof(_osmutex*))
                                      : realloc(held, bigger * sizeof(_osmutex*));
    if (memory == nullptr) return false;
    if (held == inlineHeld) memcpy(memory, inlineHeld, sizeof(inlineHeld));
    held = static_cast<_osmutex**>(memory);
    capacity = bigger;
    return true;
  }

  // A release that does not undo the latest lock: the newest entry for the
  // mutex goes, and the newer ones close up behind it.
  void ForgetOlder(const _osmutex* mutex) {
    for (unsigned i = count; i-- > 0;) {
      if (held[i] == mutex) {
        memmove(&held[i], &held[i + 1], (count - i - 1) * sizeof(_osmutex*));
        --count;
        return;
      }
    }
  }
};

// A thread that ends still holding mutexes leaves them locked, as the
// platform does; only the bookkeeping goes.
// A thread's registered value goes with the thread: a later thread that is
// given the same id must not find it.
void ForgetThreadData(uint32_t thread) {
  RegistryEntry* gone = nullptr;
  platform::LockMutex(g_registryMutex);
  for (RegistryEntry** link = &g_registry[thread % kThreadTableSize]; *link != nullptr;
       link = &(*link)->next) {
    if ((*link)->thread == thread) {
      gone = *link;
      *link = gone->next;
      break;
    }
  }
  platform::UnlockMutex(g_registryMutex);
  if (gone == nullptr) return;
  if (gone->atExit != nullptr) gone->atExit(gone->value);
  free(gone);
}

void HoldingsAtThreadExit(void* record) {
  Holdings* mine = static_cast<Holdings*>(record);
  if (mine->hasThreadData) ForgetThreadData(mine->thread);
  HeldBucket& bucket = g_held[mine->thread % kThreadTableSize];
  bucket.lock.Lock();
  for (Holdings** link = &bucket.head; *link != nullptr; link = &(*link)->next) {
    if (*link == mine) {
      *link = mine->next;
      break;
    }
  }
  bucket.lock.Unlock();
  if (mine->held != mine->inlineHeld) free(mine->held);
  free(mine);
}

Holdings* JoinHeldTable() {
  Holdings* mine = static_cast<Holdings*>(calloc(1, sizeof(Holdings)));
  if (mine == nullptr) return nullptr;
  mine->thread = platform::CurrentThreadId();
  mine->held = mine->inlineHeld;
  mine->capacity = kInlineHeld;
  HeldBucket& bucket = g_held[mine->thread % kThreadTableSize];
  bucket.lock.Lock();
  mine->next = bucket.head;
  bucket.head = mine;
  bucket.lock.Unlock();
  platform::SetThreadRecord(mine);
  return mine;
}

// The calling thread's holdings, made on first use; null only when memory is
// short, and then the thread's locks are simply not recorded.
inline Holdings* MyHoldings() {
  Holdings* mine = static_cast<Holdings*>(platform::GetThreadRecord());
  return mine != nullptr ? mine : JoinHeldTable();
}

// --- Start records ---

struct StartRecord {
  unsigned int (*function)(void*);
  void* argument;
  void* threadData;
};

// The reader table of a reader/writer lock is changed only under its guard.
struct ReaderSlot {
  _osrdwr* lock;
  uint32_t thread;
};

void RecordReader(void* context) {
  ReaderSlot* slot = static_cast<ReaderSlot*>(context);
  for (uint32_t& id : slot->lock->readers) {
    if (id == 0) {
      id = slot->thread;
      return;
    }
  }
  // All slots taken: the reader is not recorded, it still counts.
}

void ForgetReader(void* context) {
  ReaderSlot* slot = static_cast<ReaderSlot*>(context);
  for (uint32_t& id : slot->lock->readers) {
    if (id == slot->thread) {
      id = 0;
      return;
    }
  }
}

}  // namespace

// Every thread that OSThreadCreate starts begins here.
unsigned int RunThread(void* startRecord) {
  StartRecord start = *static_cast<StartRecord*>(startRecord);
  free(startRecord);
  // Registered here rather than by the creator, so the value is in place
  // before function runs whatever the scheduler does.
  if (start.threadData != nullptr) OSSetThreadData(start.threadData);
  return start.function(start.argument);
}

}  // namespace gnutil

using gnutil::kThreadTableSize;
namespace platform = gnutil::platform;

// --- Mode ---

unsigned char OSIsThreaded() {
  return static_cast<unsigned char>(gnutil::g_threaded.load(std::memory_order_relaxed) & 0xFF);
}

void OSSetThreaded() {
  if (gnutil::Threaded()) return;  // once only: the internal objects already exist
  gnutil::g_threaded.store(1, std::memory_order_relaxed);
  gnutil::g_registryMutex = platform::MakeMutex();
  platform::InitThreadRecord(gnutil::HoldingsAtThreadExit);
}

// --- Thread-data registry ---

unsigned char OSSetThreadData(void* value) { return gnutil::RegisterThreadData(value, nullptr); }

unsigned char gnutil::RegisterThreadData(void* value, void (*atExit)(void*)) {
  if (value == nullptr || !Threaded() || g_registryMutex == nullptr) return 0;
  // The thread's record is what tells us when the thread ends.
  Holdings* mine = MyHoldings();
  if (mine == nullptr) return 0;
  uint32_t thread = mine->thread;
  RegistryEntry* entry = static_cast<RegistryEntry*>(malloc(sizeof(RegistryEntry)));
  if (entry == nullptr) return 0;
  *entry = {thread, value, nullptr, atExit};
  platform::LockMutex(g_registryMutex);
  RegistryEntry** link = &g_registry[thread % kThreadTableSize];
  while (*link != nullptr && (*link)->thread != thread) link = &(*link)->next;
  if (*link != nullptr) {
    (*link)->value = value;
    (*link)->atExit = atExit;
  } else {
    *link = entry;
    entry = nullptr;
  }
  mine->hasThreadData = true;
  platform::UnlockMutex(g_registryMutex);
  free(entry);
  return 1;
}

void* OSGetThreadData() {
  using gnutil::RegistryEntry;
  if (!gnutil::Threaded() || gnutil::g_registryMutex == nullptr) return nullptr;
  uint32_t thread = platform::CurrentThreadId();
  void* value = nullptr;
  platform::LockMutex(gnutil::g_registryMutex);
  for (RegistryEntry* e = gnutil::g_registry[thread % kThreadTableSize]; e != nullptr;
       e = e->next) {
    if (e->thread == thread) {
      value = e->value;
      break;
    }
  }
  platform::UnlockMutex(gnutil::g_registryMutex);
  return value;
}

// --- Threads ---

_osthread* OSThreadCreate(unsigned int (*function)(void*), void* argument, void* threadData) {
  if (function == nullptr) return nullptr;
  _osthread* thread = static_cast<_osthread*>(malloc(sizeof(_osthread)));
  auto* start = static_cast<gnutil::StartRecord*>(malloc(sizeof(gnutil::StartRecord)));
  if (thread == nullptr || start == nullptr) {
    free(thread);
    free(start);
    return nullptr;
  }
  *start = {function, argument, threadData};
  thread->handle = platform::StartThread(gnutil::RunThread, start);
  if (thread->handle == nullptr) {
    free(start);
    free(thread);
    return nullptr;
  }
  return thread;
}

unsigned long OSGetCurrentThreadID() { return platform::CurrentThreadId(); }

void OSThreadTerminateWait(_osthread* thread) {
  if (thread != nullptr && thread->handle != nullptr) platform::JoinThread(thread->handle);
}

void OSThreadExit() { platform::ExitCurrentThread(); }

void OSThreadDestroy(_osthread* thread) {
  if (thread == nullptr) return;
  if (thread->handle != nullptr) platform::CloseThread(thread->handle);
  free(thread);
}

// --- Mutexes ---

_osmutex* OSMutexCreate() {
  void* memory = malloc(sizeof(_osmutex));
  if (memory == nullptr) return nullptr;
  _osmutex* mutex = new (memory) _osmutex;
  mutex->mutex = nullptr;
  if (gnutil::Threaded()) {
    mutex->mutex = platform::MakeMutex();
    if (mutex->mutex == nullptr) {
      mutex->~_osmutex();
      free(memory);
      return nullptr;
    }
  }
  return mutex;
}

void OSMutexWait(_osmutex* mutex) {
  if (!gnutil::Threaded() || mutex == nullptr || mutex->mutex == nullptr) return;
  platform::LockMutex(mutex->mutex);
  gnutil::Holdings* mine = gnutil::MyHoldings();
  if (mine == nullptr) return;  // out of memory: held, but not recorded
  if (mine->count == mine->capacity && !mine->Grow()) return;
  mine->held[mine->count++] = mutex;
}

void OSMutexRelease(_osmutex* mutex) {
  if (!gnutil::Threaded() || mutex == nullptr || mutex->mutex == nullptr) return;
  auto* mine = static_cast<gnutil::Holdings*>(platform::GetThreadRecord());
  if (mine != nullptr && mine->count != 0) {
    if (mine->held[mine->count - 1] == mutex) {
      --mine->count;
    } else {
      mine->ForgetOlder(mutex);
    }
  }
  // A thread that does not own the mutex is refused here, and says so.
  platform::UnlockMutex(mutex->mutex);
}

void OSMutexWaitRemoveThisThread() {
  if (!gnutil::Threaded()) return;
  auto* mine = static_cast<gnutil::Holdings*>(platform::GetThreadRecord());
  if (mine == nullptr) return;
  // Newest first, as the thread would have let go of them itself.
  while (mine->count != 0) platform::UnlockMutex(mine->held[--mine->count]->mutex);
}

unsigned char OSMutexWaitIsPresentThisThread(_osmutex* mutex) {
  if (!gnutil::Threaded() || mutex == nullptr) return 0;
  auto* mine = static_cast<gnutil::Holdings*>(platform::GetThreadRecord());
  for (unsigned i = mine != nullptr ? mine->count : 0; i-- > 0;) {
    if (mine->held[i] == mutex) return 1;
  }
  return 0;
}

void OSMutexDestroy(_osmutex* mutex) {
  if (mutex == nullptr) return;
  if (mutex->mutex != nullptr) platform::DestroyMutex(mutex->mutex);
  mutex->~_osmutex();
  free(mutex);
}

// --- Reader/writer locks ---

_osrdwr* OSRWLockCreate() {
  _osrdwr* lock = static_cast<_osrdwr*>(calloc(1, sizeof(_osrdwr)));
  if (lock == nullptr) return nullptr;
  if (gnutil::Threaded()) {
    lock->objects = platform::MakeReaderWriter();
    // A lock that does not lock would be worse than no lock: say so.
    if (lock->objects == nullptr) {
      free(lock);
      return nullptr;
    }
  }
  return lock;
}

void OSRWLockReadWait(_osrdwr* lock) {
  if (!gnutil::Threaded() || lock == nullptr || lock->objects == nullptr) return;
  gnutil::ReaderSlot slot{lock, platform::CurrentThreadId()};
  platform::ReaderEnter(lock->objects, gnutil::RecordReader, &slot);
}

void OSRWLockReadRelease(_osrdwr* lock) {
  if (!gnutil::Threaded() || lock == nullptr || lock->objects == nullptr) return;
  gnutil::ReaderSlot slot{lock, platform::CurrentThreadId()};
  platform::ReaderLeave(lock->objects, gnutil::ForgetReader, &slot);
}

void OSRWLockWriteWait(_osrdwr* lock) {
  if (!gnutil::Threaded() || lock == nullptr || lock->objects == nullptr) return;
  platform::WriterEnter(lock->objects);
  lock->writer = platform::CurrentThreadId();
}

void OSRWLockWriteRelease(_osrdwr* lock) {
  if (!gnutil::Threaded() || lock == nullptr || lock->objects == nullptr) return;
  lock->writer = 0;
  platform::WriterLeave(lock->objects);
}

void OSRWLockDestroy(_osrdwr* lock) {
  if (lock == nullptr) return;
  if (lock->objects != nullptr) platform::DestroyReaderWriter(lock->objects);
  free(lock);
}

// --- Condition variables ---

_oscondition* OSConditionCreate() {
  _oscondition* condition = static_cast<_oscondition*>(calloc(1, sizeof(_oscondition)));
  if (condition == nullptr) return nullptr;
  if (gnutil::Threaded()) {
    condition->guard = platform::MakeMutex();
    condition->wakeups = platform::MakeSemaphore();
    if (condition->guard == nullptr || condition->wakeups == nullptr) {
      if (condition->guard != nullptr) platform::DestroyMutex(condition->guard);
      if (condition->wakeups != nullptr) platform::DestroySemaphore(condition->wakeups);
      free(condition);
      return nullptr;
    }
  }
  return condition;
}

void OSConditionWait(_oscondition* condition, _osmutex* mutex) {
  if (!gnutil::Threaded() || condition == nullptr || condition->wakeups == nullptr) return;
  // Counted before the caller's mutex is let go, so a signal sent as soon as
  // the mutex is free already finds this waiter.
  platform::LockMutex(condition->guard);
  ++condition->waiters;
  platform::UnlockMutex(condition->guard);
  OSMutexRelease(mutex);
  platform::WaitSemaphore(condition->wakeups);
  OSMutexWait(mutex);
}

void OSConditionSignal(_oscondition* condition) {
  if (!gnutil::Threaded() || condition == nullptr || condition->wakeups == nullptr) return;
  platform::LockMutex(condition->guard);
  if (condition->waiters != 0) {
    --condition->waiters;
    platform::PostSemaphore(condition->wakeups, 1);
  }
  platform::UnlockMutex(condition->guard);
}

void OSConditionBroadcast(_oscondition* condition) {
  if (!gnutil::Threaded() || condition == nullptr || condition->wakeups == nullptr) return;
  platform::LockMutex(condition->guard);
  if (condition->waiters != 0) {
    platform::PostSemaphore(condition->wakeups, condition->waiters);
    condition->waiters = 0;
  }
  platform::UnlockMutex(condition->guard);
}

void OSConditionDestroy(_oscondition* condition) {
  if (condition == nullptr) return;
  if (condition->guard != nullptr) platform::DestroyMutex(condition->guard);
  if (condition->wakeups != nullptr) platform::DestroySemaphore(condition->wakeups);
  free(condition);
}
