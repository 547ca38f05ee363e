// Internals of the process functions, shared with their tests and fuzzer.
#ifndef GNUTIL_SRC_OS_PROCESS_INTERNAL_H
#define GNUTIL_SRC_OS_PROCESS_INTERNAL_H

#include <stddef.h>

#include <functional>
#include <string>

namespace gnutil {

// Looks a variable up: true with its value, false when it is not set.
using VariableLookup = std::function<bool(const std::string& name, std::string* value)>;

// The %NAME% expansion of OSExpandEnvironmentVariables over any source of
// variables.
std::string ExpandVariableReferences(const std::string& text, const VariableLookup& lookup);

// How long OSRunSyncProcess collects output: 15000 ms. Tests shorten it so
// that a child outliving the window costs a second, not fifteen.
unsigned long SyncProcessWindowMs();
void SetSyncProcessWindowMsForTesting(unsigned long window_ms);
// The most output OSRunSyncProcess keeps: what a string can hold (4 GiB less
// two bytes). Tests lower it to reach it quickly.
void SetSyncProcessOutputLimitForTesting(size_t bytes);

}  // namespace gnutil

#endif  // GNUTIL_SRC_OS_PROCESS_INTERNAL_H
