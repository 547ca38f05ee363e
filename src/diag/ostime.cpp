// Timing: the clock functions, the OSTime stopwatch and its log line,
// CGNPerf's performance log and CGNCummPerf's counters.
//
// Time stamps are (seconds, microseconds) pairs of longs at millisecond
// resolution. OSTime does nothing while timing logs are off, not even read the
// clock, so a program can leave its stopwatches in place at no cost.
#include "gnutil/ostime.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

#include "platform/clock.h"

namespace {

// The label part and the log line are each built in a buffer of this size;
// longer texts are cut.
constexpr size_t kLogPartSize = 10000;
// The largest printf-style label.
constexpr size_t kFormattedLabelSize = 10016;

}  // namespace

void OSGetTime(long& seconds, long& microseconds) {
  int64_t secs = 0;
  int32_t millis = 0;
  gnutil::platform::WallClock(&secs, &millis);
  seconds = static_cast<long>(secs);
  microseconds = static_cast<long>(millis) * 1000;
}

void OSPerfTime(long& seconds, long& microseconds) {
  uint64_t ticks = gnutil::platform::TickCount();
  seconds = static_cast<long>(ticks / 1000);
  microseconds = static_cast<long>(ticks % 1000) * 1000;
}

long OSGetMsTimeDiff(long seconds1, long microseconds1, long seconds2, long microseconds2) {
  // C++ integer division truncates toward zero, as the result must.
  return (seconds2 - seconds1) * 1000 + (microseconds2 - microseconds1) / 1000;
}

long OSGetMsTimeDiff(long seconds, long microseconds) {
  long nowSecs = 0;
  long nowUsecs = 0;
  OSGetTime(nowSecs, nowUsecs);
  return OSGetMsTimeDiff(seconds, microseconds, nowSecs, nowUsecs);
}

// --- OSTime ---

unsigned char OSTime::m_logEnabled = 0;
long OSTime::m_startTime = 0;

OSTime::OSTime() : m_startSecs(0), m_startUsecs(0), m_pTraceMsg(nullptr), m_pLogHandler(nullptr) {
  Reset();
}

OSTime::OSTime(const char* label) : OSTime() { SetTraceMsg(label); }

OSTime::OSTime(const CGNString& label) : OSTime() { SetTraceMsg(label); }

OSTime::OSTime(CGNString* label) : OSTime() {
  if (m_logEnabled) {
    ReplaceLabel(label);
  } else {
    delete label;
  }
}

OSTime::OSTime(const OSTime& other)
    : m_startSecs(other.m_startSecs),
      m_startUsecs(other.m_startUsecs),
      m_pTraceMsg(other.m_pTraceMsg != nullptr ? new CGNString(*other.m_pTraceMsg) : nullptr),
      m_pLogHandler(other.m_pLogHandler) {}

OSTime::~OSTime() {
  if (m_logEnabled) Log();
  // The label goes even when logs were switched off meanwhile.
  delete m_pTraceMsg;
}

OSTime& OSTime::operator=(const OSTime& other) {
  if (this == &other) return *this;
  m_startSecs = other.m_startSecs;
  m_startUsecs = other.m_startUsecs;
  m_pLogHandler = other.m_pLogHandler;
  // Each stopwatch owns its label, so a copy gets its own.
  ReplaceLabel(other.m_pTraceMsg != nullptr ? new CGNString(*other.m_pTraceMsg) : nullptr);
  return *this;
}

void OSTime::ReplaceLabel(CGNString* label) {
  delete m_pTraceMsg;
  m_pTraceMsg = label;
}

void OSTime::Reset() {
  if (!m_logEnabled) return;
  OSGetTime(m_startSecs, m_startUsecs);
  ReplaceLabel(nullptr);
}

void OSTime::EnableLog(unsigned char on) {
  if (on == m_logEnabled) return;
  m_startTime = static_cast<long>(time(nullptr));
  m_logEnabled = on;
}

unsigned char OSTime::LogEnabled() { return m_logEnabled; }

void OSTime::SetTraceMsg(const char* label) {
  if (!m_logEnabled) return;
  ReplaceLabel(new CGNString(label));
}

void OSTime::SetTraceMsg(const CGNString& label) {
  if (!m_logEnabled) return;
  ReplaceLabel(new CGNString(label));
}

void OSTime::SetVaTraceMsg(const char* format, ...) {
  if (!m_logEnabled || format == nullptr) return;
  char buffer[kFormattedLabelSize];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n > 0 && buffer[0] != '\0') ReplaceLabel(new CGNString(buffer));
}

void OSTime::Log() {
  if (!m_logEnabled) return;
  long elapsed = OSGetMsTimeDiff(m_startSecs, m_startUsecs);
  long sinceSwitch = static_cast<long>(time(nullptr)) - m_startTime;
  // The times and the line end are made first, and a long label is cut to
  // leave them room: a line that lost its line end would join the next one.
  char tail[64];
  int tailSize = snprintf(tail, sizeof tail, "time %ld : elapsed ms %ld\n", sinceSwitch, elapsed);
  if (tailSize < 0) return;
  char line[kLogPartSize];
  size_t used = 0;
  if (m_pTraceMsg != nullptr) {
    const char* label = *m_pTraceMsg;
    const size_t room = sizeof line - static_cast<size_t>(tailSize) - sizeof " : ";
    used = strlen(label);
    if (used > room) used = room;
    memcpy(line, label, used);
    memcpy(line + used, " : ", 3);
    used += 3;
  }
  memcpy(line + used, tail, static_cast<size_t>(tailSize) + 1);
  if (m_pLogHandler != nullptr) {
    m_pLogHandler(line);
  } else {
    printf("%s", line);
  }
}

void OSTime::Log(const char* label) {
  if (!m_logEnabled) return;
  SetTraceMsg(label);
  Log();
}

void OSTime::Log(const CGNString& label) {
  if (!m_logEnabled) return;
  SetTraceMsg(label);
  Log();
}

void OSTime::VaLog(const char* format, ...) {
  if (!m_logEnabled) return;
  if (format != nullptr) {
    char buffer[kFormattedLabelSize];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n > 0 && buffer[0] != '\0') ReplaceLabel(new CGNString(buffer));
  }
  Log();
}

void OSTime::SetLogHandler(void (*handler)(const char*)) { m_pLogHandler = handler; }

// --- CGNPerf ---

FILE* CGNPerf::perfFile = nullptr;

CGNPerf::CGNPerf() { SetLogHandler(CGNPerf::LogHandler); }

CGNPerf::CGNPerf(const char* label) : OSTime(label) { SetLogHandler(CGNPerf::LogHandler); }

CGNPerf::CGNPerf(const CGNString& label) : OSTime(label) { SetLogHandler(CGNPerf::LogHandler); }

unsigned char CGNPerf::OpenFile(const char* path) {
  CloseFile();
  if (path == nullptr) return 0;
  perfFile = fopen(path, "w");
  if (perfFile == nullptr) return 0;
  OSTime::EnableLog(1);
  return 1;
}

void CGNPerf::CloseFile() {
  if (perfFile == nullptr) return;
  fclose(perfFile);
  perfFile = nullptr;
}

unsigned char CGNPerf::ChangeFile(const char* path) {
  CloseFile();
  return OpenFile(path);
}

void CGNPerf::LogHandler(const char* line) {
  if (perfFile == nullptr || line == nullptr) return;
  fprintf(perfFile, "%s", line);
  // Someone reading the log while the program runs sees every line.
  fflush(perfFile);
}

// --- CGNCummPerf ---

namespace {
constexpr int kTimingStarts = 55;
constexpr int kTimingEnds = 66;
}  // namespace

void (*CGNCummPerf::m_pcb)(void*, int) = nullptr;

CGNCummPerf::CGNCummPerf(long* counter)
    : m_total(0), m_pCounter(counter), m_active(0), m_startSecs(0), m_startUsecs(0) {
  if (counter == nullptr) return;
  if (*counter != -1) {
    m_total = *counter;
    *counter = -1;
    m_active = 1;
    OSPerfTime(m_startSecs, m_startUsecs);
    if (m_pcb != nullptr) m_pcb(&m_startSecs, kTimingStarts);
  } else if (m_pcb != nullptr) {
    m_pcb(nullptr, kTimingStarts);
  }
}

CGNCummPerf::~CGNCummPerf() {
  if (m_pCounter == nullptr) return;
  if (*m_pCounter == -1 && m_active) {
    long endSecs = 0;
    long endUsecs = 0;
    OSPerfTime(endSecs, endUsecs);
    m_total += OSGetMsTimeDiff(m_startSecs, m_startUsecs, endSecs, endUsecs);
    *m_pCounter = m_total;
    if (m_pcb != nullptr) m_pcb(&m_startSecs, kTimingEnds);
  } else if (m_pcb != nullptr) {
    m_pcb(nullptr, kTimingEnds);
  }
}

void CGNCummPerf::SetPerfCallBack(void (*callback)(void*, int)) { m_pcb = callback; }

CGNCummPerf& CGNCummPerf::operator=(const CGNCummPerf& other) {
  m_total = other.m_total;
  m_pCounter = other.m_pCounter;
  m_active = other.m_active;
  m_startSecs = other.m_startSecs;
  m_startUsecs = other.m_startUsecs;
  return *this;
}
