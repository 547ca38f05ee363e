// Internals of the thread layer shared with the per-thread named variables
// and the tests: the thread-data registry, which gives each thread one value
// of its own.
#ifndef GNUTIL_SRC_OS_THREAD_INTERNAL_H
#define GNUTIL_SRC_OS_THREAD_INTERNAL_H

#include <atomic>
#include <thread>

namespace gnutil {

// A test-and-test-and-set lock for a few pointer moves (the held-mutex
// table's buckets, the named-mutex pool's spare records): it works before the
// process is threaded and costs no system object.
class SpinLock {
 public:
  void Lock() {
    while (locked_.exchange(true, std::memory_order_acquire)) {
      while (locked_.load(std::memory_order_relaxed)) std::this_thread::yield();
    }
  }
  void Unlock() { locked_.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> locked_{false};
};

// Buckets of the thread-data registry and of the held-mutex table, and slots
// of a reader/writer lock's reader table.
constexpr unsigned kThreadTableSize = 211;

// OSSetThreadData, and when the calling thread ends its value is unregistered
// and, when atExit is given, handed to it.
unsigned char RegisterThreadData(void* value, void (*atExit)(void*));

}  // namespace gnutil

// Registers value for the calling thread, replacing an earlier one, until the
// thread ends. 0 when the value is null, memory is short or the process is
// unthreaded.
unsigned char OSSetThreadData(void* value);

// The value registered for the calling thread, or null (always null while the
// process is unthreaded).
void* OSGetThreadData();

#endif  // GNUTIL_SRC_OS_THREAD_INTERNAL_H
