// How the synchronisation layer reports a failed system call: one line on
// standard output, after which the operation goes on. Callers parse nothing
// from it, but operators grep for it, so the form stays exactly this.
#include <stdio.h>

#include "platform/thread.h"

namespace gnutil::platform {

void ReportError(unsigned long code) {
  if (code == 0) return;
  printf("Error %lx\n", code);
  fflush(stdout);
}

}  // namespace gnutil::platform
