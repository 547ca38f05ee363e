// Keep-awake internals shared with the tests: the request count, and a hook
// that replaces the platform's execution-state function with a recorder so
// the owner rules and the worker can be watched on every platform.
#ifndef GNUTIL_SRC_OS_SYSINFO_INTERNAL_H
#define GNUTIL_SRC_OS_SYSINFO_INTERNAL_H

#include "platform/sysinfo.h"

namespace gnutil {

// Outstanding keep-awake requests of the process.
long KeepAwakeRequestCount();

using KeepAwakeLoader = bool (*)(void** library, platform::ExecutionStateFunction* function);

namespace testing {
// Used by OSKeepAwake objects instead of the platform's loader and releaser.
// Set it before the first object is made.
void SetKeepAwakeLoader(KeepAwakeLoader loader, void (*releaser)(void*));
}  // namespace testing

}  // namespace gnutil

#endif  // GNUTIL_SRC_OS_SYSINFO_INTERNAL_H
