/// \file
/// \ingroup diagnostics
/// Timing: three clock functions, the OSTime stopwatch with its timing log,
/// CGNPerf (a stopwatch that logs to the process-wide performance log) and
/// CGNCummPerf (time spent in a scope added to a caller's counter).
///
/// A time stamp is a pair of longs: seconds and microseconds within the
/// second. The clocks have millisecond resolution, so the microseconds are
/// always a multiple of 1000.
///
/// Timing logs are off when the library is loaded, and while they are off an
/// OSTime does nothing at all: no clock reads, no labels, no lines. Nothing
/// here takes a lock: switch logs on, open the performance log and set the
/// callback before threads start timing. Lines from several threads may
/// interleave in the performance log.
#ifndef GNUTIL_OSTIME_H
#define GNUTIL_OSTIME_H

#include <stdio.h>

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

/// The calendar time: seconds since 1970 (UTC) and the milliseconds of the
/// current second times 1000.
GNUTIL_API void OSGetTime(long& seconds, long& microseconds);

/// The time since the system started, from a millisecond tick count t:
/// seconds = t / 1000, microseconds = (t mod 1000) * 1000. On Windows the tick
/// count is 32 bits and wraps after 49.7 days.
GNUTIL_API void OSPerfTime(long& seconds, long& microseconds);

/// (seconds2 - seconds1) * 1000 + (microseconds2 - microseconds1) / 1000, the
/// division truncating toward zero.
GNUTIL_API long OSGetMsTimeDiff(long seconds1, long microseconds1, long seconds2,
                                long microseconds2);
/// The same from the given stamp to OSGetTime now.
GNUTIL_API long OSGetMsTimeDiff(long seconds, long microseconds);

/// A stopwatch. When timing logs are on, each measurement writes one line
///
///     "<label> : time <s> : elapsed ms <ms>\n"
///
/// (the `<label> : ` part only when there is a label), where `<s>` counts the
/// seconds since timing logs were last switched on or off and `<ms>` the
/// milliseconds since the start stamp. The line goes to the log handler, or
/// to the standard output when there is none. The destructor logs once more.
class GNUTIL_API OSTime {
 public:
  ///@{
  /// A stopwatch started now, with no label or with the label given.
  OSTime();
  OSTime(const char* label);
  OSTime(const CGNString& label);
  ///@}
  /// Copies carry their own copy of the label.
  OSTime(const OSTime& other);
  ~OSTime();  ///< Frees what the object owns.

  /// A new start stamp; the label is dropped.
  void Reset();

  /// Switches timing logs on (non-zero) or off for the whole process.
  static void EnableLog(unsigned char on);
  /// 1 while timing logs are on.
  static unsigned char LogEnabled();

  ///@{
  /// Sets the label of the lines that follow.
  void SetTraceMsg(const char* label);
  void SetTraceMsg(const CGNString& label);
  ///@}
  /// printf-style label (at most 10016 bytes; longer results are cut); an
  /// empty result leaves the label as it was.
  void SetVaTraceMsg(const char* format, ...);

  ///@{
  /// Writes one line now (with the label given, or the stopwatch's own); the
  /// stopwatch keeps running.
  void Log();
  void Log(const char* label);
  void Log(const CGNString& label);
  ///@}
  /// Log with a printf-style label.
  void VaLog(const char* format, ...);

  /// Sends this stopwatch's lines to handler (null: the standard output).
  void SetLogHandler(void (*handler)(const char* line));

  /// Copies the start stamp, the label and the handler.
  OSTime& operator=(const OSTime& other);

  static unsigned char m_logEnabled;  ///< Timing logs on.
  static long m_startTime;            ///< time() when m_logEnabled last changed.

 protected:
  long m_startSecs;                         ///< Start stamp, seconds.
  long m_startUsecs;                        ///< Start stamp, microseconds.
  CGNString* m_pTraceMsg;                   ///< The label, or null.
  void (*m_pLogHandler)(const char* line);  ///< Where lines go, or null.

 private:
  /// Takes over label (when logging is on; otherwise it is destroyed).
  OSTime(CGNString* label);
  void ReplaceLabel(CGNString* label);
};

/// An OSTime whose lines go to the process-wide performance log.
class GNUTIL_API CGNPerf : public OSTime {
 public:
  ///@{
  /// A stopwatch logging to the performance log, without or with a label.
  CGNPerf();
  CGNPerf(const char* label);
  CGNPerf(const CGNString& label);
  ///@}

  /// Closes the open log, then opens path emptied ("w") and switches timing
  /// logs on. 0 when path cannot be opened (logs are then not switched on).
  static unsigned char OpenFile(const char* path);
  /// Closes the log; timing logs stay on and their lines are dropped.
  static void CloseFile();
  /// The same as OpenFile.
  static unsigned char ChangeFile(const char* path);
  /// Writes line to the log and flushes it; nothing when no log is open.
  static void LogHandler(const char* line);

  static FILE* perfFile;  ///< The open performance log, or null.
};

/// Adds the time spent in a scope to *counter (milliseconds). While a scope
/// times a counter it holds -1, so nested objects on the same counter time
/// only the outermost scope. The callback hears 55 when a scope starts and 66
/// when it ends, with a pointer to the object's start stamp (m_startSecs then
/// m_startUsecs, two longs) or null when the object does not time (no
/// counter, or an enclosing object already times it).
class GNUTIL_API CGNCummPerf {
 public:
  /// Starts timing the scope into *counter (null: times nothing).
  CGNCummPerf(long* counter = nullptr);
  /// Adds the time spent to the counter.
  ~CGNCummPerf();

  /// Sets the process-wide callback (null: none).
  static void SetPerfCallBack(void (*callback)(void* stamp, int event));

  /// Copies the fields.
  CGNCummPerf& operator=(const CGNCummPerf& other);

  static void (*m_pcb)(void* stamp, int event);  ///< The callback, or null.

 private:
  long m_total;
  long* m_pCounter;
  long m_active;
  long m_startSecs;
  long m_startUsecs;
};

#endif  // GNUTIL_OSTIME_H
