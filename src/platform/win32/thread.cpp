// Win32 side of the thread layer: the kernel objects themselves. Threads
// come from _beginthreadex, mutexes are kernel mutexes (recursive, owned by a
// thread), and a reader/writer lock is a guard mutex, a manual-reset
// no-readers event and a reader-count semaphore, combined with
// WaitForMultipleObjects waiting for all of its objects at once.
#include "platform/thread.h"

#include <process.h>
#include <stdint.h>
#include <stdlib.h>
#include <windows.h>

namespace gnutil::platform {

namespace {

// What a new thread runs, handed over in a record of its own: the Thread
// handle may be closed before the thread gets to read it.
struct Start {
  unsigned int (*entry)(void*);
  void* argument;
};

unsigned __stdcall Entry(void* record) {
  Start start = *static_cast<Start*>(record);
  free(record);
  return start.entry(start.argument);
}

void ReportLastError() { ReportError(GetLastError()); }

DWORD g_recordSlot = FLS_OUT_OF_INDEXES;
void (*g_recordAtExit)(void*) = nullptr;

void WINAPI RecordSlotCallback(void* value) {
  if (value != nullptr) g_recordAtExit(value);
}

void WaitOne(HANDLE object) {
  if (WaitForSingleObject(object, INFINITE) == WAIT_FAILED) ReportLastError();
}

void WaitBoth(HANDLE first, HANDLE second) {
  HANDLE objects[2] = {first, second};
  if (WaitForMultipleObjects(2, objects, TRUE, INFINITE) == WAIT_FAILED) ReportLastError();
}

}  // namespace

uint32_t CurrentThreadId() { return static_cast<uint32_t>(GetCurrentThreadId()); }

void InitThreadRecord(void (*atExit)(void*)) {
  g_recordAtExit = atExit;
  g_recordSlot = FlsAlloc(RecordSlotCallback);
  if (g_recordSlot == FLS_OUT_OF_INDEXES) ReportLastError();
}

void* GetThreadRecord() {
  return g_recordSlot == FLS_OUT_OF_INDEXES ? nullptr : FlsGetValue(g_recordSlot);
}

void SetThreadRecord(void* value) {
  if (g_recordSlot != FLS_OUT_OF_INDEXES) FlsSetValue(g_recordSlot, value);
}

// --- Threads ---

struct Thread {
  HANDLE handle;
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
  unsigned id = 0;
  uintptr_t handle = _beginthreadex(nullptr, 0, Entry, start, 0, &id);
  if (handle == 0) {
    ReportLastError();
    free(start);
    free(t);
    return nullptr;
  }
  t->handle = reinterpret_cast<HANDLE>(handle);
  return t;
}

void JoinThread(Thread* t) { WaitOne(t->handle); }

void CloseThread(Thread* t) {
  if (t->handle != nullptr) CloseHandle(t->handle);
  free(t);
}

void ExitCurrentThread() { ExitThread(0); }

// --- Mutexes: the kernel mutex handle is the object ---

Mutex* MakeMutex() {
  HANDLE h = CreateMutexA(nullptr, FALSE, nullptr);
  if (h == nullptr) ReportLastError();
  return reinterpret_cast<Mutex*>(h);
}

void LockMutex(Mutex* m) { WaitOne(reinterpret_cast<HANDLE>(m)); }

void UnlockMutex(Mutex* m) {
  if (!ReleaseMutex(reinterpret_cast<HANDLE>(m))) ReportLastError();
}

void DestroyMutex(Mutex* m) { CloseHandle(reinterpret_cast<HANDLE>(m)); }

// --- Semaphores ---

Semaphore* MakeSemaphore() {
  HANDLE h = CreateSemaphoreA(nullptr, 0, kMaxCount, nullptr);
  if (h == nullptr) ReportLastError();
  return reinterpret_cast<Semaphore*>(h);
}

void PostSemaphore(Semaphore* s, long count) {
  if (!::ReleaseSemaphore(reinterpret_cast<HANDLE>(s), count, nullptr)) ReportLastError();
}

void WaitSemaphore(Semaphore* s) { WaitOne(reinterpret_cast<HANDLE>(s)); }

void DestroySemaphore(Semaphore* s) { CloseHandle(reinterpret_cast<HANDLE>(s)); }

// --- Reader/writer objects ---

struct ReaderWriter {
  HANDLE guard;      // mutex
  HANDLE noReaders;  // manual-reset event, signalled exactly when there is no reader
  HANDLE readers;    // semaphore whose count is the number of readers
};

ReaderWriter* MakeReaderWriter() {
  ReaderWriter* rw = static_cast<ReaderWriter*>(calloc(1, sizeof(ReaderWriter)));
  if (rw == nullptr) return nullptr;
  rw->guard = CreateMutexA(nullptr, FALSE, nullptr);
  if (rw->guard != nullptr) rw->noReaders = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  if (rw->noReaders != nullptr) rw->readers = CreateSemaphoreA(nullptr, 0, kMaxCount, nullptr);
  if (rw->readers == nullptr) {
    ReportLastError();
    if (rw->noReaders != nullptr) CloseHandle(rw->noReaders);
    if (rw->guard != nullptr) CloseHandle(rw->guard);
    free(rw);
    return nullptr;
  }
  return rw;
}

void ReaderEnter(ReaderWriter* rw, void (*underGuard)(void*), void* context) {
  WaitOne(rw->guard);
  underGuard(context);
  LONG before = 0;
  if (!::ReleaseSemaphore(rw->readers, 1, &before)) {
    ReportLastError();
  } else if (before == 0) {
    ResetEvent(rw->noReaders);  // first reader
  }
  if (!ReleaseMutex(rw->guard)) ReportLastError();
}

void ReaderLeave(ReaderWriter* rw, void (*underGuard)(void*), void* context) {
  WaitBoth(rw->guard, rw->readers);  // takes one from the count
  underGuard(context);
  // The semaphore cannot be read; putting one back reports the count left.
  LONG remaining = 0;
  if (!::ReleaseSemaphore(rw->readers, 1, &remaining)) {
    ReportLastError();
  } else {
    WaitOne(rw->readers);
  }
  if (remaining == 0) SetEvent(rw->noReaders);
  if (!ReleaseMutex(rw->guard)) ReportLastError();
}

void WriterEnter(ReaderWriter* rw) { WaitBoth(rw->guard, rw->noReaders); }

void WriterLeave(ReaderWriter* rw) {
  if (!ReleaseMutex(rw->guard)) ReportLastError();
}

void DestroyReaderWriter(ReaderWriter* rw) {
  CloseHandle(rw->noReaders);
  CloseHandle(rw->guard);
  CloseHandle(rw->readers);
  free(rw);
}

}  // namespace gnutil::platform
