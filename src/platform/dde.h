// The platform seam for the DDE client.
//
// Windows implements it with the DDE management library (DDEML) and WinExec;
// Linux has no DDE at all, so there every call reports failure and
// DdeAvailable is false. The portable half (src/os/dde.cpp) turns the
// outcome of a transaction into the user's message.
#ifndef GNUTIL_SRC_PLATFORM_DDE_H
#define GNUTIL_SRC_PLATFORM_DDE_H

#include <string>

namespace gnutil::platform {

bool DdeAvailable();

// The process-wide DDEML instance id (0 = none). It is shared by the whole
// process without a lock: initialising and ending must not overlap with any
// other DDE call.
unsigned long DdeInstance();

// DdeInitializeA with the process-wide instance id, then, for a non-empty
// service name, its string handle registered as a service name. True when an
// instance exists afterwards.
bool DdeStart(unsigned long flags, void* callback, const char* service);

// Ends the instance and withdraws the service name. True when nothing was
// running or everything ended.
bool DdeStop();

enum class DdeTransactionType { kExecute, kPoke, kRequest };

struct DdeRequest {
  const char* service;
  const char* topic;
  const char* item;  // not used by an execute
  DdeTransactionType type;
  const char* program;  // started with WinExec when the service does not answer
  const char* data;     // zero-terminated text
  unsigned long startWaitSeconds;
  unsigned long timeoutSeconds;
};

// Where a transaction stopped.
enum class DdeFailure {
  kNone,
  kNoConversation,    // error: the last connection attempt's
  kNoItemHandle,      // the item's string handle
  kNoDataHandle,      // the poke's data handle
  kTransactionFailed  // error: the transaction's
};

struct DdeOutcome {
  DdeFailure failure = DdeFailure::kNone;
  unsigned int error = 0;
  bool disconnectFailed = false;  // overrides everything above
  unsigned int disconnectError = 0;
  bool hasReply = false;  // a request delivered data (possibly empty)
  std::string reply;
};

// One conversation: connect (starting the program and retrying while the
// start-up wait lasts), one transaction, disconnect. Every handle made is
// released before returning.
DdeOutcome DdeTransact(const DdeRequest& request);

}  // namespace gnutil::platform

#endif  // GNUTIL_SRC_PLATFORM_DDE_H
