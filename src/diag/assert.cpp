// CGNAssert: failed conditions to the process-wide trace and the program's
// callback, with a per-thread guard against a callback that asserts itself.
#include "gnutil/gnassert.h"
#include "gnutil/gntrace.h"
#include "gnutil/lclst.h"

namespace {

// The category of the assertion messages: every bit but 0x00FE, so any trace
// whose mask holds bit 0x0001 (or asks for all of 0xFF01) shows them.
constexpr short kAssertMask = static_cast<short>(0xFF01);
constexpr char kRecursionFlag[] = "recflag";

void Report(const char* file, long line, const char* message) {
  CGNTraceFileLine where(line, file);
  CGNGlobalTrace::Instance()->WriteMsg(where, kAssertMask, CGNString("cgnassert"), "%s", message);
}

}  // namespace

CGNAssert* CGNAssert::m_pInstance = nullptr;

CGNAssert::CGNAssert() : m_nativeAssert(1), m_pCallback(nullptr), m_pUserData(nullptr) {}

CGNAssert::~CGNAssert() = default;

CGNAssert* CGNAssert::Instance() {
  if (m_pInstance == nullptr) m_pInstance = new CGNAssert;
  return m_pInstance;
}

void CGNAssert::Free() {
  CGNAssert* instance = m_pInstance;
  m_pInstance = nullptr;
  delete instance;
}

unsigned char CGNAssert::Init(unsigned char (*callback)(void*), void* userData) {
  m_pCallback = callback;
  m_pUserData = userData;
  return 1;
}

void CGNAssert::SetNativeAssert(unsigned char native) { m_nativeAssert = native; }

CGNAssert& CGNAssert::operator=(const CGNAssert& other) {
  m_nativeAssert = other.m_nativeAssert;
  m_pCallback = other.m_pCallback;
  m_pUserData = other.m_pUserData;
  return *this;
}

unsigned char CGNAssert::cgnassert(unsigned char condition, const char* file, long line) {
  if (m_nativeAssert) return 0;
  if (condition) return 1;
  Report(file, line, "Assertion Failure !!");
  if (m_pCallback == nullptr) return 0;
  CGNLclSt* variables = CGNLclSt::Instance();
  if (variables->GetLocalVariable(kRecursionFlag) != nullptr) {
    Report(file, line, "Recursive invocation of callback.\n      Switching to native assert.");
    return 0;
  }
  // Without a table the flag is not kept and the guard does not hold; the
  // callback still runs.
  variables->SetLocalVariable(kRecursionFlag, this);
  unsigned char result = m_pCallback(m_pUserData);
  variables->UnsetLocalVariable(kRecursionFlag);
  return result;
}
