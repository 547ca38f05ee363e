// The platform seam for threads and synchronisation objects.
//
// src/os/thread.cpp keeps the portable rules (the two modes, the held-mutex
// table, the thread-data registry, the reader table and the condition
// algorithm); this header is what it needs from the system. The Win32 side
// uses the kernel objects directly (threads from _beginthreadex, mutexes,
// events, semaphores, WaitForMultipleObjects); the POSIX side builds objects
// with the same guarantees from pthread mutexes and condition variables.
//
// Failures of system calls are reported through ReportError and the
// operation goes on, as callers of the public API expect.
#ifndef GNUTIL_SRC_PLATFORM_THREAD_H
#define GNUTIL_SRC_PLATFORM_THREAD_H

#include <stdint.h>

namespace gnutil::platform {

// Prints "Error %x\n" on standard output when code is non-zero: how the
// synchronisation layer reports a failed system call before going on.
void ReportError(unsigned long code);

// The id of the calling thread: non-zero, fits in 32 bits, cheap to ask for.
uint32_t CurrentThreadId();

// One pointer per thread for the thread layer's own bookkeeping. atExit
// receives a thread's non-null value when that thread ends (on POSIX through
// a pthread key, on Win32 through a fiber-local slot: C++ thread_local
// destructors are not dependable on threads the C runtime did not start).
// InitThreadRecord is called once, before a second thread exists.
void InitThreadRecord(void (*atExit)(void*));
void* GetThreadRecord();
void SetThreadRecord(void* value);

struct Thread;
// Starts a thread running entry(argument) at once with the default stack
// size; the thread ends with entry's result as its exit code. Null on failure
// (reported).
Thread* StartThread(unsigned int (*entry)(void*), void* argument);
// Blocks until the thread has ended; may be called any number of times.
void JoinThread(Thread* thread);
// Releases the handle; the thread itself goes on.
void CloseThread(Thread* thread);
// Ends the calling thread with exit code 0.
[[noreturn]] void ExitCurrentThread();

// A recursive mutex: the owning thread may lock it again, and only the owner
// may unlock it (any other thread's unlock is refused and reported).
struct Mutex;
Mutex* MakeMutex();  // unowned; null on failure (reported)
void LockMutex(Mutex* mutex);
void UnlockMutex(Mutex* mutex);
void DestroyMutex(Mutex* mutex);

// A counting semaphore (count starts at 0, at most kMaxCount).
constexpr long kMaxCount = 0x7FFFFFF;
struct Semaphore;
Semaphore* MakeSemaphore();  // null on failure (reported)
void PostSemaphore(Semaphore* semaphore, long count);
void WaitSemaphore(Semaphore* semaphore);
void DestroySemaphore(Semaphore* semaphore);

// The objects behind a reader/writer lock: a recursive guard mutex, a
// no-readers event (manual reset, starts signalled) and a reader-count
// semaphore. A writer holds the guard for its whole write and takes it only
// together with the event, so it never holds the guard while readers remain;
// a reader holds the guard only for a moment. The callback runs while the
// caller holds the guard (the reader-table bookkeeping).
struct ReaderWriter;
ReaderWriter* MakeReaderWriter();  // null when any object fails (reported)
void ReaderEnter(ReaderWriter* rw, void (*underGuard)(void*), void* context);
void ReaderLeave(ReaderWriter* rw, void (*underGuard)(void*), void* context);
void WriterEnter(ReaderWriter* rw);
void WriterLeave(ReaderWriter* rw);
void DestroyReaderWriter(ReaderWriter* rw);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_THREAD_H
