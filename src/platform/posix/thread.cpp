// POSIX side of the thread layer: pthreads, and Linux futexes for the
// mutexes that every OSMutexWait takes.
//
// POSIX has recursive mutexes but no events, no semaphore with a maximum and
// no wait for two objects at once. The semaphore and the reader/writer
// objects are therefore built from one pthread mutex and condition variable
// each, which makes "wait until the guard is free and there are no readers"
// a single atomic step, exactly like a wait for both kernel objects.
#include "platform/thread.h"

#include <errno.h>
#include <linux/futex.h>
#include <pthread.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <new>

#if __has_include(<sys/single_threaded.h>)
#include <sys/single_threaded.h>
#define GNUTIL_HAVE_SINGLE_THREADED 1
#else
#define GNUTIL_HAVE_SINGLE_THREADED 0
#endif

namespace gnutil::platform {

namespace {

// gettid() is a system call; the id is asked for on every lock and unlock.
thread_local uint32_t t_threadId = 0;

// A forked child runs on a new thread id but inherits the cached one.
void ForgetIdInChild() { t_threadId = 0; }

struct AtForkRegistration {
  AtForkRegistration() { pthread_atfork(nullptr, nullptr, ForgetIdInChild); }
} g_atFork;

// The thread layer's per-thread record: read from static TLS on every lock,
// registered with a key only so that it is handed back when the thread ends.
thread_local void* t_record = nullptr;
pthread_key_t g_recordKey;
void (*g_recordAtExit)(void*) = nullptr;

void RecordKeyDestructor(void* value) {
  t_record = nullptr;
  g_recordAtExit(value);
}

// What a new thread runs, handed over in a record of its own: the Thread
// handle may be closed before the thread gets to read it.
struct Start {
  unsigned int (*entry)(void*);
  void* argument;
};

void* Entry(void* record) {
  Start start = *static_cast<Start*>(record);
  free(record);
  return reinterpret_cast<void*>(static_cast<uintptr_t>(start.entry(start.argument)));
}

}  // namespace

namespace {

// Out of line, so the lock path that asks for the id keeps few registers.
[[gnu::noinline]] uint32_t FetchThreadId() {
  t_threadId = static_cast<uint32_t>(syscall(SYS_gettid));
  return t_threadId;
}

}  // namespace

uint32_t CurrentThreadId() {
  uint32_t id = t_threadId;
  return id != 0 ? id : FetchThreadId();
}

void InitThreadRecord(void (*atExit)(void*)) {
  g_recordAtExit = atExit;
  int rc = pthread_key_create(&g_recordKey, RecordKeyDestructor);
  if (rc != 0) ReportError(static_cast<unsigned long>(rc));
}

void* GetThreadRecord() { return t_record; }

void SetThreadRecord(void* value) {
  t_record = value;
  pthread_setspecific(g_recordKey, value);
}

// --- Threads ---

struct Thread {
  pthread_t thread;
  pthread_mutex_t joinLock;  // a pthread may be joined once: later waiters find it done
  bool joined;
};

Thread* StartThread(unsigned int (*entry)(void*), void* argument) {
  Thread* t = static_cast<Thread*>(malloc(sizeof(Thread)));
  Start* start = static_cast<Start*>(malloc(sizeof(Start)));
  if (t == nullptr || start == nullptr) {
    free(t);
    free(start);
    return nullptr;
  }
  *start = {entry, argument};
  t->joined = false;
  pthread_mutex_init(&t->joinLock, nullptr);
  int rc = pthread_create(&t->thread, nullptr, Entry, start);
  if (rc != 0) {
    ReportError(static_cast<unsigned long>(rc));
    pthread_mutex_destroy(&t->joinLock);
    free(start);
    free(t);
    return nullptr;
  }
  return t;
}

void JoinThread(Thread* t) {
  pthread_mutex_lock(&t->joinLock);
  if (!t->joined) {
    int rc = pthread_join(t->thread, nullptr);
    if (rc == 0) {
      t->joined = true;
    } else {
      ReportError(static_cast<unsigned long>(rc));
    }
  }
  pthread_mutex_unlock(&t->joinLock);
}

void CloseThread(Thread* t) {
  if (!t->joined) pthread_detach(t->thread);
  pthread_mutex_destroy(&t->joinLock);
  free(t);
}

void ExitCurrentThread() { pthread_exit(nullptr); }

// --- Mutexes ---

// Recursion and ownership are kept here rather than by a recursive pthread
// mutex: an unlock by a thread that does not own the mutex must be refused
// and reported (as a kernel mutex refuses it), never passed on. The lock
// itself is a futex word with the three states of the C library's own
// default mutex (free, locked, locked with sleepers possible) and the same
// handover, so contended threads queue as they would on a pthread mutex; an
// uncontended lock and unlock is one atomic instruction each, with no call
// into the C library on the way. While the process has a single thread no
// other thread can see the word, so, as the C library's mutex does, plain
// loads and stores stand in for the atomic instructions.
struct Mutex {
  std::atomic<uint32_t> word;   // 0 free, 1 locked, 2 locked and a thread may sleep on it
  std::atomic<uint32_t> owner;  // read by other threads only to learn it is not theirs
  unsigned depth;               // touched only by the owner
};

namespace {

enum : uint32_t { kFree = 0, kLocked = 1, kSleepers = 2 };

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t) &&
                  std::atomic<uint32_t>::is_always_lock_free,
              "the futex word is a plain 32-bit integer to the kernel");

// True only while no second thread has ever been started; it turns false in
// the thread that starts one, before that thread exists.
inline bool OnlyThread() {
#if GNUTIL_HAVE_SINGLE_THREADED
  return __libc_single_threaded != 0;
#else
  return false;
#endif
}

uint32_t* FutexAddress(std::atomic<uint32_t>* word) { return reinterpret_cast<uint32_t*>(word); }

// Marks the word as having sleepers before each sleep, so the holder's
// unlock knows to wake one; a woken thread takes the lock in the same state,
// since others may still sleep.
[[gnu::noinline]] void LockContended(Mutex* m) {
  while (m->word.exchange(kSleepers, std::memory_order_acquire) != kFree) {
    syscall(SYS_futex, FutexAddress(&m->word), FUTEX_WAIT_PRIVATE, kSleepers, nullptr, nullptr, 0);
  }
}

void WakeOne(Mutex* m) {
  syscall(SYS_futex, FutexAddress(&m->word), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

}  // namespace

Mutex* MakeMutex() {
  void* memory = malloc(sizeof(Mutex));
  if (memory == nullptr) {
    ReportError(ENOMEM);
    return nullptr;
  }
  Mutex* m = new (memory) Mutex;
  m->word.store(kFree, std::memory_order_relaxed);
  m->owner.store(0, std::memory_order_relaxed);
  m->depth = 0;
  return m;
}

void LockMutex(Mutex* m) {
  uint32_t me = CurrentThreadId();
  if (m->owner.load(std::memory_order_relaxed) == me) {
    ++m->depth;
    return;
  }
  uint32_t expected = kFree;
  if (OnlyThread() && m->word.load(std::memory_order_relaxed) == kFree) {
    m->word.store(kLocked, std::memory_order_relaxed);
  } else if (!m->word.compare_exchange_strong(expected, kLocked, std::memory_order_acquire,
                                              std::memory_order_relaxed)) {
    LockContended(m);
  }
  m->owner.store(me, std::memory_order_relaxed);
  m->depth = 1;
}

void UnlockMutex(Mutex* m) {
  if (m->owner.load(std::memory_order_relaxed) != CurrentThreadId()) {
    ReportError(EPERM);
    return;
  }
  if (--m->depth > 0) return;
  m->owner.store(0, std::memory_order_relaxed);
  if (OnlyThread()) {
    m->word.store(kFree, std::memory_order_relaxed);  // nobody to wake
  } else if (m->word.exchange(kFree, std::memory_order_release) == kSleepers) {
    WakeOne(m);
  }
}

void DestroyMutex(Mutex* m) {
  m->~Mutex();
  free(m);
}

// --- Semaphores ---

struct Semaphore {
  pthread_mutex_t lock;
  pthread_cond_t posted;
  long count;
};

Semaphore* MakeSemaphore() {
  Semaphore* s = static_cast<Semaphore*>(malloc(sizeof(Semaphore)));
  if (s == nullptr) {
    ReportError(ENOMEM);
    return nullptr;
  }
  pthread_mutex_init(&s->lock, nullptr);
  pthread_cond_init(&s->posted, nullptr);
  s->count = 0;
  return s;
}

void PostSemaphore(Semaphore* s, long count) {
  pthread_mutex_lock(&s->lock);
  if (count <= 0 || count > kMaxCount - s->count) {
    pthread_mutex_unlock(&s->lock);
    ReportError(EOVERFLOW);  // the count stays as it was
    return;
  }
  s->count += count;
  if (count == 1) {
    pthread_cond_signal(&s->posted);
  } else {
    pthread_cond_broadcast(&s->posted);
  }
  pthread_mutex_unlock(&s->lock);
}

void WaitSemaphore(Semaphore* s) {
  pthread_mutex_lock(&s->lock);
  while (s->count == 0) pthread_cond_wait(&s->posted, &s->lock);
  --s->count;
  pthread_mutex_unlock(&s->lock);
}

void DestroySemaphore(Semaphore* s) {
  pthread_cond_destroy(&s->posted);
  pthread_mutex_destroy(&s->lock);
  free(s);
}

// --- Reader/writer objects ---

// The guard mutex, the no-readers event and the reader-count semaphore of one
// lock, all under `lock`. A thread "holds the guard" while guardDepth > 0 and
// guardOwner is its id; the guard is recursive like the kernel mutex it
// stands for, so a writer may also read.
struct ReaderWriter {
  pthread_mutex_t lock;
  pthread_cond_t changed;
  uint32_t guardOwner;
  unsigned guardDepth;
  long readers;    // the semaphore's count
  bool noReaders;  // the event: set exactly when readers == 0
};

namespace {

inline bool GuardFreeFor(const ReaderWriter* rw, uint32_t me) {
  return rw->guardDepth == 0 || rw->guardOwner == me;
}

}  // namespace

ReaderWriter* MakeReaderWriter() {
  ReaderWriter* rw = static_cast<ReaderWriter*>(malloc(sizeof(ReaderWriter)));
  if (rw == nullptr) {
    ReportError(ENOMEM);
    return nullptr;
  }
  pthread_mutex_init(&rw->lock, nullptr);
  pthread_cond_init(&rw->changed, nullptr);
  rw->guardOwner = 0;
  rw->guardDepth = 0;
  rw->readers = 0;
  rw->noReaders = true;
  return rw;
}

// Takes the guard for a moment: waits only while a writer (another thread)
// holds it, never for other readers.
void ReaderEnter(ReaderWriter* rw, void (*underGuard)(void*), void* context) {
  uint32_t me = CurrentThreadId();
  pthread_mutex_lock(&rw->lock);
  while (!GuardFreeFor(rw, me)) pthread_cond_wait(&rw->changed, &rw->lock);
  underGuard(context);
  if (rw->readers >= kMaxCount) {
    ReportError(EOVERFLOW);
  } else if (rw->readers++ == 0) {
    rw->noReaders = false;
  }
  pthread_mutex_unlock(&rw->lock);
}

// Guard and one reader count together, as one step.
void ReaderLeave(ReaderWriter* rw, void (*underGuard)(void*), void* context) {
  uint32_t me = CurrentThreadId();
  pthread_mutex_lock(&rw->lock);
  while (!GuardFreeFor(rw, me) || rw->readers == 0) pthread_cond_wait(&rw->changed, &rw->lock);
  underGuard(context);
  if (--rw->readers == 0) {
    rw->noReaders = true;
    pthread_cond_broadcast(&rw->changed);
  }
  pthread_mutex_unlock(&rw->lock);
}

// Guard and the no-readers event together: a writer never sits on the guard
// while readers remain, so arriving readers are let in ahead of it.
void WriterEnter(ReaderWriter* rw) {
  uint32_t me = CurrentThreadId();
  pthread_mutex_lock(&rw->lock);
  while (!GuardFreeFor(rw, me) || !rw->noReaders) pthread_cond_wait(&rw->changed, &rw->lock);
  rw->guardOwner = me;
  ++rw->guardDepth;
  pthread_mutex_unlock(&rw->lock);
}

void WriterLeave(ReaderWriter* rw) {
  uint32_t me = CurrentThreadId();
  pthread_mutex_lock(&rw->lock);
  if (rw->guardDepth == 0 || rw->guardOwner != me) {
    pthread_mutex_unlock(&rw->lock);
    ReportError(EPERM);
    return;
  }
  if (--rw->guardDepth == 0) {
    rw->guardOwner = 0;
    pthread_cond_broadcast(&rw->changed);
  }
  pthread_mutex_unlock(&rw->lock);
}

void DestroyReaderWriter(ReaderWriter* rw) {
  pthread_cond_destroy(&rw->changed);
  pthread_mutex_destroy(&rw->lock);
  free(rw);
}

}  // namespace gnutil::platform
