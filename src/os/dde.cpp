// The DDE client, portable half: argument checks and the user's messages.
// The conversation itself lives behind platform/dde.h.
#include "platform/dde.h"

#include "gnutil/osdde.h"
#include "gnutil/osresource.h"
#include "os/resource_ids.h"

namespace {

namespace platform = gnutil::platform;
namespace resid = gnutil::resid;

const char* TransactionName(platform::DdeTransactionType type) {
  switch (type) {
    case platform::DdeTransactionType::kExecute:
      return "EXECUTE";
    case platform::DdeTransactionType::kPoke:
      return "POKE";
    case platform::DdeTransactionType::kRequest:
      break;
  }
  return "REQUEST";
}

CGNString LoadText(long id) {
  CGNString text;
  OSLoadString(text, id);
  return text;
}

// An empty item or data text would leave a gap in a message.
const char* OrEmptyWord(const CGNString& text, const CGNString& emptyWord) {
  return text.IsEmpty() ? static_cast<const char*>(emptyWord) : static_cast<const char*>(text);
}

}  // namespace

unsigned char OSDDESupported() { return platform::DdeAvailable() ? 1 : 0; }

unsigned char OSDDEInit(unsigned long flags, void* callback, CGNString& serviceName,
                        long* instanceId) {
  const bool started = platform::DdeStart(flags, callback, serviceName);
  if (instanceId != nullptr) *instanceId = static_cast<long>(platform::DdeInstance());
  return started ? 1 : 0;
}

unsigned char OSDDESend(const CGNString& service, const CGNString& topic, const CGNString& item,
                        unsigned long type, const CGNString& program, const CGNString& data,
                        unsigned long startWaitSeconds, unsigned long timeoutSeconds,
                        CGNString& result) {
  if (!platform::DdeAvailable()) {
    result = LoadText(resid::kDdeNotAvailable);
    return 0;
  }
  if (platform::DdeInstance() == 0) return 0;
  result.Empty();
  if (type < OSDDE_EXECUTE || type > OSDDE_REQUEST) {
    result = LoadText(resid::kDdeUnknownType);
    return 0;
  }
  const auto transaction = static_cast<platform::DdeTransactionType>(type - OSDDE_EXECUTE);
  platform::DdeRequest request{service,          topic,         item, transaction, program, data,
                               startWaitSeconds, timeoutSeconds};
  const platform::DdeOutcome outcome = platform::DdeTransact(request);

  if (outcome.disconnectFailed) {
    result.Empty();
    result.sprintf(LoadText(resid::kDdeDisconnectFailed), outcome.disconnectError);
    return 0;
  }
  const CGNString emptyWord = LoadText(resid::kDdeEmpty);
  switch (outcome.failure) {
    case platform::DdeFailure::kNone:
      if (outcome.hasReply) result = outcome.reply.c_str();
      return 1;
    case platform::DdeFailure::kNoConversation:
      result.sprintf(LoadText(resid::kDdeNoConversation), outcome.error,
                     static_cast<const char*>(service), static_cast<const char*>(topic),
                     OrEmptyWord(item, emptyWord), OrEmptyWord(data, emptyWord),
                     static_cast<const char*>(program));
      break;
    case platform::DdeFailure::kNoItemHandle:
      result.sprintf(LoadText(resid::kDdeNoHandle), "item");
      break;
    case platform::DdeFailure::kNoDataHandle:
      result.sprintf(LoadText(resid::kDdeNoHandle), "data handle");
      break;
    case platform::DdeFailure::kTransactionFailed:
      result.sprintf(LoadText(resid::kDdeTransactionFailed), outcome.error,
                     TransactionName(transaction), static_cast<const char*>(service),
                     static_cast<const char*>(topic), OrEmptyWord(item, emptyWord),
                     OrEmptyWord(data, emptyWord));
      break;
  }
  return 0;
}

unsigned char OSDDEUnInit() { return platform::DdeStop() ? 1 : 0; }
