#include "genutil/alloc.h"

#include <stdint.h>

#include <atomic>
#include <new>

#include "gnutil/gnstring.h"

namespace gnutil {
namespace {

std::atomic<int> g_fail_after{-1};

bool InjectedFailure() {
  int n = g_fail_after.load(std::memory_order_relaxed);
  if (n < 0) return false;
  g_fail_after.store(n - 1, std::memory_order_relaxed);
  return n == 0;
}

template <typename T>
T* Alloc(size_t count) {
  if (count > SIZE_MAX / sizeof(T) || InjectedFailure()) throw GMemoryException();
  T* p = new (std::nothrow) T[count];
  if (p == nullptr) throw GMemoryException();
  return p;
}

}  // namespace

char* AllocBytes(size_t count) { return Alloc<char>(count); }
unsigned short* AllocUnits(size_t count) { return Alloc<unsigned short>(count); }
void FreeBytes(char* p) { delete[] p; }
void FreeUnits(unsigned short* p) { delete[] p; }
bool AllocationPermitted() { return !InjectedFailure(); }

namespace testing {
void FailAllocationAfter(int successes) {
  g_fail_after.store(successes, std::memory_order_relaxed);
}
}  // namespace testing

}  // namespace gnutil
