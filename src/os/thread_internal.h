// Internals of the thread layer shared with the per-thread named variables
// and the tests: the thread-data registry, which gives each thread one value
// of its own.
#ifndef GNUTIL_SRC_OS_THREAD_INTERNAL_H
#define GNUTIL_SRC_OS_THREAD_INTERNAL_H

namespace gnutil {

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
