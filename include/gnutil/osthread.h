// Threads and synchronisation: thread start and join, recursive mutexes that
// remember which thread holds what, reader/writer locks that prefer readers,
// and condition variables with counted wake-ups.
//
// A process starts unthreaded: every lock, unlock and wait returns at once and
// no platform object is made. A program that runs several threads calls
// OSSetThreaded once, before it creates any synchronisation object and before
// its second thread starts. Objects are handed out as pointers to opaque
// records; callers never see the platform objects behind them.
#ifndef GNUTIL_OSTHREAD_H
#define GNUTIL_OSTHREAD_H

#include "gnutil/export.h"

struct _osthread;
struct _osmutex;
struct _osrdwr;
struct _oscondition;

// Mode.
GNUTIL_API unsigned char OSIsThreaded();
GNUTIL_API void OSSetThreaded();

// Threads. The function's result is the thread's exit code. A non-null
// threadData is registered for the new thread before function runs.
GNUTIL_API _osthread* OSThreadCreate(unsigned int (*function)(void*), void* argument,
                                     void* threadData);
GNUTIL_API unsigned long OSGetCurrentThreadID();
GNUTIL_API void OSThreadTerminateWait(_osthread* thread);
GNUTIL_API void OSThreadExit();
GNUTIL_API void OSThreadDestroy(_osthread* thread);

// Recursive mutexes. The owning thread may lock again; each OSMutexWait is
// undone by one OSMutexRelease.
GNUTIL_API _osmutex* OSMutexCreate();
GNUTIL_API void OSMutexWait(_osmutex* mutex);
GNUTIL_API void OSMutexRelease(_osmutex* mutex);
GNUTIL_API void OSMutexWaitRemoveThisThread();
GNUTIL_API unsigned char OSMutexWaitIsPresentThisThread(_osmutex* mutex);
GNUTIL_API void OSMutexDestroy(_osmutex* mutex);

// Reader/writer locks. Readers share the lock; a writer waits until there is
// no reader, and readers that keep arriving can keep it waiting.
GNUTIL_API _osrdwr* OSRWLockCreate();
GNUTIL_API void OSRWLockReadWait(_osrdwr* lock);
GNUTIL_API void OSRWLockReadRelease(_osrdwr* lock);
GNUTIL_API void OSRWLockWriteWait(_osrdwr* lock);
GNUTIL_API void OSRWLockWriteRelease(_osrdwr* lock);
GNUTIL_API void OSRWLockDestroy(_osrdwr* lock);

// Condition variables. A signal with no waiter is not remembered; a wake-up
// goes to whichever thread next waits, which may be one that began waiting
// after the signal.
GNUTIL_API _oscondition* OSConditionCreate();
GNUTIL_API void OSConditionWait(_oscondition* condition, _osmutex* mutex);
GNUTIL_API void OSConditionSignal(_oscondition* condition);
GNUTIL_API void OSConditionBroadcast(_oscondition* condition);
GNUTIL_API void OSConditionDestroy(_oscondition* condition);

#endif  // GNUTIL_OSTHREAD_H
