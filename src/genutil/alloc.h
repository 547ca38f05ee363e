// Buffer allocation for the string classes.
//
// Every failure becomes a GMemoryException, the one exception the library's
// classes raise. Tests can make the next allocations fail to prove that.
#ifndef GNUTIL_SRC_GENUTIL_ALLOC_H
#define GNUTIL_SRC_GENUTIL_ALLOC_H

#include <stddef.h>

namespace gnutil {

// count elements of the given type; throws GMemoryException on failure or
// when count * size does not fit in size_t.
char* AllocBytes(size_t count);
unsigned short* AllocUnits(size_t count);
void FreeBytes(char* p);
void FreeUnits(unsigned short* p);

// For the lists, which report a failed allocation in their result instead of
// throwing: takes one step of the test hook and is false when that step is the
// one that fails.
bool AllocationPermitted();

namespace testing {
// The allocation after `successes` more successful ones fails (once).
// A negative value switches the hook off.
void FailAllocationAfter(int successes);
}  // namespace testing

}  // namespace gnutil

#endif  // GNUTIL_SRC_GENUTIL_ALLOC_H
