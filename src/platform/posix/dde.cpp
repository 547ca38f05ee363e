// POSIX side of the DDE seam: Linux has no dynamic data exchange, so nothing
// initialises and no transaction is ever made.
#include "platform/dde.h"

namespace gnutil::platform {

bool DdeAvailable() { return false; }
unsigned long DdeInstance() { return 0; }
bool DdeStart(unsigned long, void*, const char*) { return false; }
bool DdeStop() { return true; }

DdeOutcome DdeTransact(const DdeRequest&) {
  DdeOutcome outcome;
  outcome.failure = DdeFailure::kNoConversation;
  return outcome;
}

}  // namespace gnutil::platform
