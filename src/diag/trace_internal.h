// What the trace's tests measure from inside.
#ifndef GNUTIL_SRC_DIAG_TRACE_INTERNAL_H
#define GNUTIL_SRC_DIAG_TRACE_INTERNAL_H

namespace gnutil {

// How often this process has emptied a trace file at its size cap.
long TraceFilesEmptied();

}  // namespace gnutil

#endif  // GNUTIL_SRC_DIAG_TRACE_INTERNAL_H
