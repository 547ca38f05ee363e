// Win32 side of the DDE seam: the DDE management library (DDEML) and
// WinExec. All string handles use CP_WINANSI and all data travels as CF_TEXT,
// so text crosses in the ANSI code page (Shift-JIS for a Japanese user).
#include <windows.h>
// ddeml.h needs the types of windows.h first.
#include <ddeml.h>
#include <string.h>

#include <string>

#include "platform/dde.h"

namespace gnutil::platform {

namespace {

// One instance and one service name per process; see the header on locking.
DWORD g_instance = 0;
HSZ g_serviceName = nullptr;

// A client that passes no callback still needs one: DDEML refuses to
// initialise without it.
HDDEDATA CALLBACK IgnoreEverything(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

HSZ MakeStringHandle(const char* text) {
  return DdeCreateStringHandleA(g_instance, text, CP_WINANSI);
}

UINT TransactionType(DdeTransactionType type) {
  switch (type) {
    case DdeTransactionType::kExecute:
      return XTYP_EXECUTE;
    case DdeTransactionType::kPoke:
      return XTYP_POKE;
    case DdeTransactionType::kRequest:
      break;
  }
  return XTYP_REQUEST;
}

// Finished conversations leave acknowledgements and terminations for the
// client's hidden DDEML windows in the thread's queue, which nobody pumps
// while a caller sends transactions back to back. Some DDEML versions (one
// Wine setup among them) complete a disconnect only when these are
// dispatched, so the next conversation finds the server still busy with the
// last; others do not care. Dispatching them before each conversation suits
// both. Only DDE messages are taken: the caller's own windows see nothing
// early.
void DispatchPendingDdeMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) {
    DispatchMessageA(&msg);
  }
}

// Connects, and when the service does not answer starts the program and keeps
// trying, without pausing, until it answers, fails otherwise or the wait is
// over. Fills the outcome's failure when there is no conversation at the end.
HCONV Connect(HSZ service, HSZ topic, const DdeRequest& request, DdeOutcome* outcome) {
  HCONV conversation = DdeConnect(g_instance, service, topic, nullptr);
  if (conversation != nullptr) return conversation;
  outcome->failure = DdeFailure::kNoConversation;
  outcome->error = DdeGetLastError(g_instance);
  if (request.program == nullptr || request.program[0] == '\0') return nullptr;
  if (WinExec(request.program, SW_SHOW) < 32) return nullptr;

  const DWORD start = GetTickCount();
  const unsigned long long waitMs = request.startWaitSeconds * 1000ULL;
  UINT error = outcome->error;
  if (waitMs > 0) {
    for (;;) {
      conversation = DdeConnect(g_instance, service, topic, nullptr);
      if (conversation != nullptr) break;
      error = DdeGetLastError(g_instance);
      if (error != DMLERR_NO_CONV_ESTABLISHED) break;
      if (GetTickCount() - start >= waitMs) break;
    }
  }
  if (conversation != nullptr) {
    outcome->failure = DdeFailure::kNone;
    outcome->error = 0;
  } else {
    outcome->error = error;
  }
  return conversation;
}

void ReadReply(HDDEDATA data, DdeOutcome* outcome) {
  outcome->hasReply = true;
  DWORD size = 0;
  const char* bytes = reinterpret_cast<const char*>(DdeAccessData(data, &size));
  if (bytes != nullptr) {
    if (size > 0) outcome->reply.assign(bytes, strnlen(bytes, size));
    DdeUnaccessData(data);
  }
  DdeFreeDataHandle(data);
}

}  // namespace

bool DdeAvailable() { return true; }

unsigned long DdeInstance() { return g_instance; }

bool DdeStart(unsigned long flags, void* callback, const char* service) {
  PFNCALLBACK fn = callback != nullptr ? reinterpret_cast<PFNCALLBACK>(callback) : IgnoreEverything;
  if (DdeInitializeA(&g_instance, fn, flags, 0) != DMLERR_NO_ERROR || g_instance == 0) {
    return false;
  }
  if (service != nullptr && service[0] != '\0') {
    // A second initialisation replaces the name registered by the first.
    if (g_serviceName != nullptr) {
      DdeNameService(g_instance, g_serviceName, nullptr, DNS_UNREGISTER);
      DdeFreeStringHandle(g_instance, g_serviceName);
    }
    g_serviceName = MakeStringHandle(service);
    DdeNameService(g_instance, g_serviceName, nullptr, DNS_REGISTER);
  }
  return true;
}

bool DdeStop() {
  if (g_instance == 0) return true;
  if (!DdeUninitialize(g_instance)) return false;
  if (g_serviceName != nullptr) {
    DdeNameService(g_instance, nullptr, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(g_instance, g_serviceName);
  }
  g_instance = 0;
  g_serviceName = nullptr;
  return true;
}

DdeOutcome DdeTransact(const DdeRequest& request) {
  DdeOutcome outcome;
  DispatchPendingDdeMessages();
  HSZ service = MakeStringHandle(request.service);
  HSZ topic = MakeStringHandle(request.topic);
  HSZ item = nullptr;
  HDDEDATA pokeData = nullptr;
  HCONV conversation = Connect(service, topic, request, &outcome);

  if (conversation != nullptr) {
    const bool usesItem = request.type != DdeTransactionType::kExecute;
    const size_t dataLength = strlen(request.data);
    if (usesItem && request.item[0] != '\0') {
      item = MakeStringHandle(request.item);
      if (item == nullptr) outcome.failure = DdeFailure::kNoItemHandle;
    }
    if (outcome.failure == DdeFailure::kNone && request.type == DdeTransactionType::kPoke) {
      pokeData =
          DdeCreateDataHandle(g_instance, reinterpret_cast<LPBYTE>(const_cast<char*>(request.data)),
                              static_cast<DWORD>(dataLength + 1), 0, item, CF_TEXT, HDATA_APPOWNED);
      if (pokeData == nullptr) outcome.failure = DdeFailure::kNoDataHandle;
    }
    if (outcome.failure == DdeFailure::kNone) {
      LPBYTE data = nullptr;
      DWORD length = static_cast<DWORD>(-1);  // a data handle, or none
      if (request.type == DdeTransactionType::kExecute) {
        data = reinterpret_cast<LPBYTE>(const_cast<char*>(request.data));
        length = static_cast<DWORD>(dataLength + 1);
      } else if (request.type == DdeTransactionType::kPoke) {
        data = reinterpret_cast<LPBYTE>(pokeData);
      }
      const DWORD timeoutMs = static_cast<DWORD>(request.timeoutSeconds * 1000);
      HDDEDATA result =
          DdeClientTransaction(data, length, conversation, usesItem ? item : nullptr, CF_TEXT,
                               TransactionType(request.type), timeoutMs, nullptr);
      if (result == nullptr) {
        outcome.failure = DdeFailure::kTransactionFailed;
        outcome.error = DdeGetLastError(g_instance);
      } else if (request.type == DdeTransactionType::kRequest) {
        ReadReply(result, &outcome);
      }
    }
  }

  if (topic != nullptr) DdeFreeStringHandle(g_instance, topic);
  if (service != nullptr) DdeFreeStringHandle(g_instance, service);
  if (item != nullptr) DdeFreeStringHandle(g_instance, item);
  if (pokeData != nullptr) DdeFreeDataHandle(pokeData);
  if (conversation != nullptr && !DdeDisconnect(conversation)) {
    outcome.disconnectFailed = true;
    outcome.disconnectError = DdeGetLastError(g_instance);
  }
  return outcome;
}

}  // namespace gnutil::platform
