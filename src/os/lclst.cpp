// Named per-process and per-thread variables over the thread-data registry.
//
// The slot rules are kept exactly because callers depend on them: a name
// that is set is never overwritten, a new variable goes into the first free
// slot and only the slots before it are checked for the name (so a name can
// occur twice once an earlier slot has been freed), and look-ups take the
// first slot holding the name.
#include "gnutil/lclst.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <mutex>

#include "gnutil/osthread.h"
#include "os/thread_internal.h"

static_assert(sizeof(CGNLclStBlock) % alignof(CGNLclStSlot) == 0,
              "slots follow the block header without padding");

namespace {

inline CGNLclStSlot* SlotsOf(CGNLclStBlock* block) {
  return reinterpret_cast<CGNLclStSlot*>(block + 1);
}

char* CopyName(const char* name) {
  size_t size = strlen(name) + 1;
  char* copy = static_cast<char*>(malloc(size));
  if (copy != nullptr) memcpy(copy, name, size);
  return copy;
}

void ClearSlot(CGNLclStSlot& slot) {
  free(slot.m_pName);
  slot.m_pName = nullptr;
  slot.m_pValue = nullptr;
}

// A table made by Init belongs to its thread alone and goes when it ends.
void FreeThreadTable(void* table) {
  CGNLclStBlock* block = static_cast<CGNLclStBlock*>(table);
  CGNLclStSlot* slots = SlotsOf(block);
  for (long i = 0; i < block->m_count; ++i) free(slots[i].m_pName);
  free(block);
}

// Room for count slots, or 0 when count is unusable or too large.
size_t SlotBytes(long count) {
  if (count < 1 || static_cast<unsigned long>(count) >
                       (SIZE_MAX - sizeof(CGNLclStBlock)) / sizeof(CGNLclStSlot)) {
    return 0;
  }
  return static_cast<size_t>(count) * sizeof(CGNLclStSlot);
}

}  // namespace

CGNLclSt* CGNLclSt::m_pInstance = nullptr;

CGNLclSt::CGNLclSt() : m_count(0), m_pSlots(nullptr) {}

CGNLclSt::CGNLclSt(const CGNLclSt& other) : m_count(other.m_count), m_pSlots(other.m_pSlots) {}

CGNLclSt::~CGNLclSt() {
  for (int i = 0; m_pSlots != nullptr && i < m_count; ++i) ClearSlot(m_pSlots[i]);
  free(m_pSlots);
}

CGNLclSt& CGNLclSt::operator=(const CGNLclSt& other) {
  m_count = other.m_count;
  m_pSlots = other.m_pSlots;
  return *this;
}

namespace {

// As for the global named-mutex pool: the first Instance calls may race, and
// Free lets a fresh instance follow.
std::mutex g_instanceLock;
std::atomic<CGNLclSt*> g_published{nullptr};

}  // namespace

CGNLclSt* CGNLclSt::Instance() {
  CGNLclSt* table = g_published.load(std::memory_order_acquire);
  if (table != nullptr) return table;
  std::lock_guard<std::mutex> lock(g_instanceLock);
  if (m_pInstance == nullptr) m_pInstance = new CGNLclSt();
  g_published.store(m_pInstance, std::memory_order_release);
  return m_pInstance;
}

void CGNLclSt::Free() {
  std::lock_guard<std::mutex> lock(g_instanceLock);
  g_published.store(nullptr, std::memory_order_release);
  delete m_pInstance;
  m_pInstance = nullptr;
}

CGNLclStSlot* CGNLclSt::Table(long* count) {
  if (OSIsThreaded()) {
    CGNLclStBlock* block = static_cast<CGNLclStBlock*>(OSGetThreadData());
    if (block == nullptr || block->m_count < 1) return nullptr;
    *count = block->m_count;
    return SlotsOf(block);
  }
  if (m_pSlots == nullptr || m_count < 1) return nullptr;
  *count = m_count;
  return m_pSlots;
}

unsigned char CGNLclSt::Init(long count) {
  // Both kinds of table count their slots in a 32-bit field.
  if (count > INT32_MAX) return 0;
  if (OSIsThreaded()) {
    if (OSGetThreadData() != nullptr) return 1;
    size_t bytes = SlotBytes(count);
    if (bytes == 0) return 0;
    CGNLclStBlock* block = static_cast<CGNLclStBlock*>(calloc(1, sizeof(CGNLclStBlock) + bytes));
    if (block == nullptr) return 0;
    block->m_count = static_cast<int32_t>(count);
    if (!gnutil::RegisterThreadData(block, FreeThreadTable)) {
      free(block);
      return 0;
    }
    return 1;
  }
  if (m_pSlots != nullptr) return 1;
  size_t bytes = SlotBytes(count);
  if (bytes == 0) return 0;
  m_pSlots = static_cast<CGNLclStSlot*>(calloc(1, bytes));
  if (m_pSlots == nullptr) return 0;
  m_count = static_cast<int32_t>(count);
  return 1;
}

long CGNLclSt::SetLocalVariable(const char* name, void* value) {
  long count = 0;
  CGNLclStSlot* slots = Table(&count);
  if (slots == nullptr || name == nullptr) return -1;
  for (long i = 0; i < count; ++i) {
    if (slots[i].m_pName == nullptr) {
      char* copy = CopyName(name);
      if (copy == nullptr) return -1;
      slots[i].m_pName = copy;
      slots[i].m_pValue = value;
      return i;
    }
    if (strcmp(slots[i].m_pName, name) == 0) return -1;
  }
  return -1;
}

void* CGNLclSt::GetLocalVariable(const char* name) {
  long index = GetIndex(name);
  return index < 0 ? nullptr : GetLocalVariable(index);
}

void* CGNLclSt::GetLocalVariable(long index) {
  long count = 0;
  CGNLclStSlot* slots = Table(&count);
  if (slots == nullptr || index < 0 || index >= count) return nullptr;
  return slots[index].m_pValue;
}

long CGNLclSt::GetIndex(const char* name) {
  long count = 0;
  CGNLclStSlot* slots = Table(&count);
  if (slots == nullptr || name == nullptr) return -1;
  for (long i = 0; i < count; ++i) {
    if (slots[i].m_pName != nullptr && strcmp(slots[i].m_pName, name) == 0) return i;
  }
  return -1;
}

char* CGNLclSt::GetVarName(long index) {
  long count = 0;
  CGNLclStSlot* slots = Table(&count);
  if (slots == nullptr || index < 0 || index >= count) return nullptr;
  return slots[index].m_pName;
}

void CGNLclSt::UnsetLocalVariable(const char* name) {
  long count = 0;
  CGNLclStSlot* slots = Table(&count);
  if (slots == nullptr) return;
  for (long i = 0; i < count; ++i) {
    if (slots[i].m_pName == nullptr) continue;
    if (name == nullptr || strcmp(slots[i].m_pName, name) == 0) ClearSlot(slots[i]);
  }
}

void CGNLclSt::UnsetLocalVariable(long index) {
  long count = 0;
  CGNLclStSlot* slots = Table(&count);
  if (slots == nullptr || index < 0 || index >= count) return;
  if (slots[index].m_pName != nullptr) ClearSlot(slots[index]);
}

long CGNLclSt::ResetLocalVariable(long, const char*, void*) { return -1; }
