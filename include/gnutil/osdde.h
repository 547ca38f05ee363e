/// \file
/// \ingroup ossvc
/// DDE client: one dynamic-data-exchange transaction per call (execute a
/// command, poke data into an item, request an item's value) sent to a
/// server, which is started first when it does not answer.
///
/// The client keeps one DDE instance per process. Initialise it once with
/// OSDDEInit on the thread that sends transactions (DDE relies on that
/// thread's messages), end it with OSDDEUnInit; these two must not run while
/// any other DDE call does. All text crosses in the ANSI code page.
///
/// Messages are the library's string resources 25215 and 25221 to 25225,
/// loaded with OSLoadString: attach a resource library carrying them (the
/// library installs an English one) to get readable messages.
///
/// Linux has no DDE: there OSDDESupported returns 0, OSDDEInit fails and
/// OSDDESend fails at once with a message saying so (string resource 25226).
#ifndef GNUTIL_OSDDE_H
#define GNUTIL_OSDDE_H

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

#define OSDDE_EXECUTE 1UL  ///< OSDDESend transaction: execute a command.
#define OSDDE_POKE 2UL     ///< OSDDESend transaction: poke data into an item.
#define OSDDE_REQUEST 3UL  ///< OSDDESend transaction: request an item's data.

/// 1 where the platform has DDE (Windows), 0 where it has none (Linux).
GNUTIL_API unsigned char OSDDESupported();

/// Initialises the process's DDE instance with DDEML flags and a DDE callback
/// (a null callback stands for one that handles nothing) and, for a non-empty
/// service name, registers that name. Stores the instance id (0 = none) into
/// *instanceId in every case. Returns 1 when initialised.
GNUTIL_API unsigned char OSDDEInit(unsigned long flags, void* callback, CGNString& serviceName,
                                   long* instanceId);

/// Sends one transaction of `type` (OSDDE_EXECUTE: `data` is the command;
/// OSDDE_POKE: `data` goes into `item`; OSDDE_REQUEST: `result` receives the
/// item's value). When the service does not answer and `program` is not
/// empty, starts it and tries to connect again for up to `startWaitSeconds`.
/// `timeoutSeconds` bounds the transaction itself. Returns 1 when done; 0 with
/// a message in `result` on failure. Before OSDDEInit it returns 0 and leaves
/// `result` alone.
GNUTIL_API unsigned char OSDDESend(const CGNString& service, const CGNString& topic,
                                   const CGNString& item, unsigned long type,
                                   const CGNString& program, const CGNString& data,
                                   unsigned long startWaitSeconds, unsigned long timeoutSeconds,
                                   CGNString& result);

/// Ends the DDE instance. Returns 1 when ended or when there was none.
GNUTIL_API unsigned char OSDDEUnInit();

#endif  // GNUTIL_OSDDE_H
