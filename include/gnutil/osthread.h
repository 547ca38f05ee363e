/// \file
/// \ingroup concurrency
/// Threads and synchronisation: thread start and join, recursive mutexes that
/// remember which thread holds what, reader/writer locks that prefer readers,
/// and condition variables with counted wake-ups.
///
/// A process starts unthreaded: every lock, unlock and wait returns at once and
/// no platform object is made. A program that runs several threads calls
/// OSSetThreaded once, before it creates any synchronisation object and before
/// its second thread starts. Objects are handed out as pointers to opaque
/// records; callers never see the platform objects behind them.
#ifndef GNUTIL_OSTHREAD_H
#define GNUTIL_OSTHREAD_H

#include "gnutil/export.h"

struct _osthread;
struct _osmutex;
struct _osrdwr;
struct _oscondition;

/// Non-zero once OSSetThreaded has run.
GNUTIL_API unsigned char OSIsThreaded();
/// Switches the process to threaded mode, in which the synchronisation
/// operations work (before it they do nothing). Call it once, before any
/// lock is created and before a second thread starts.
GNUTIL_API void OSSetThreaded();

/// Threads. The function's result is the thread's exit code. A non-null
/// threadData is registered for the new thread before function runs.
GNUTIL_API _osthread* OSThreadCreate(unsigned int (*function)(void*), void* argument,
                                     void* threadData);
/// The calling thread's id.
GNUTIL_API unsigned long OSGetCurrentThreadID();
/// Blocks without time limit until the thread has ended.
GNUTIL_API void OSThreadTerminateWait(_osthread* thread);
/// Ends the calling thread with exit code 0.
GNUTIL_API void OSThreadExit();
/// Releases the thread's record (null is ignored); does not stop the thread.
GNUTIL_API void OSThreadDestroy(_osthread* thread);

/// Recursive mutexes. The owning thread may lock again; each OSMutexWait is
/// undone by one OSMutexRelease.
GNUTIL_API _osmutex* OSMutexCreate();
/// Locks the mutex (again, for its owner), blocking until it is had.
GNUTIL_API void OSMutexWait(_osmutex* mutex);
/// Undoes one OSMutexWait of the calling thread; a refusal is printed as
/// "Error %x" with the platform's code.
GNUTIL_API void OSMutexRelease(_osmutex* mutex);
/// Releases every lock the calling thread holds through OSMutexWait.
GNUTIL_API void OSMutexWaitRemoveThisThread();
/// 1 when the calling thread holds the mutex through OSMutexWait, else 0.
GNUTIL_API unsigned char OSMutexWaitIsPresentThisThread(_osmutex* mutex);
/// Destroys the mutex; null is ignored.
GNUTIL_API void OSMutexDestroy(_osmutex* mutex);

/// Reader/writer locks. Readers share the lock; a writer waits until there is
/// no reader, and readers that keep arriving can keep it waiting.
GNUTIL_API _osrdwr* OSRWLockCreate();
GNUTIL_API void OSRWLockReadWait(_osrdwr* lock);      ///< Takes the lock shared.
GNUTIL_API void OSRWLockReadRelease(_osrdwr* lock);   ///< Releases a shared hold.
GNUTIL_API void OSRWLockWriteWait(_osrdwr* lock);     ///< Takes the lock alone.
GNUTIL_API void OSRWLockWriteRelease(_osrdwr* lock);  ///< Releases the writer's hold.
GNUTIL_API void OSRWLockDestroy(_osrdwr* lock);       ///< Destroys the lock.

/// Condition variables. A signal with no waiter is not remembered; a wake-up
/// goes to whichever thread next waits, which may be one that began waiting
/// after the signal.
GNUTIL_API _oscondition* OSConditionCreate();
/// Releases the mutex, waits for a wake-up and takes the mutex again.
GNUTIL_API void OSConditionWait(_oscondition* condition, _osmutex* mutex);
/// Wakes one waiting thread.
GNUTIL_API void OSConditionSignal(_oscondition* condition);
/// Wakes every waiting thread.
GNUTIL_API void OSConditionBroadcast(_oscondition* condition);
/// Destroys the condition.
GNUTIL_API void OSConditionDestroy(_oscondition* condition);

#endif  // GNUTIL_OSTHREAD_H
