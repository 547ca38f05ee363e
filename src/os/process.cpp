// Processes, the shell and environment references: the portable half.
#include "platform/process.h"

#include <string.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <new>
#include <string>

#include "gnutil/osprocess.h"
#include "os/process_internal.h"

namespace gnutil {
namespace {

constexpr unsigned long kDefaultWindowMs = 15000;
constexpr size_t kMaxNameBytes = 255;

std::atomic<unsigned long> g_window_ms{kDefaultWindowMs};

// The most a string can hold; past it the output cannot be kept.
constexpr size_t kMaxOutputBytes = 0xFFFFFFFEu;

std::atomic<size_t> g_output_limit{kMaxOutputBytes};

// Appends the child's output to a string as it arrives, zero bytes included
// (a child's output is not always text), so that the output is in place when
// the window ends: nothing proportional to its size is left to do then.
//
// Room grows by doubling, reserved ahead; every piece then costs its own
// length, except a growth, which copies everything so far into fresh memory.
// That copy is timed, and a growth that the last one's pace says would
// outlast the window is not made: the output ends there, as it would at the
// end of the window. So the window holds whatever the child writes.
//
// Refuses a piece that would take the string past the limit, for which no
// memory can be had, or whose growth would overrun the window; what was
// appended before stays.
class OutputCollector {
 public:
  using Clock = std::chrono::steady_clock;

  OutputCollector(CGNString& output, size_t limit, unsigned long window_ms)
      : output_(output),
        reserved_(output.GetLength()),
        limit_(limit),
        deadline_(Clock::now() + std::chrono::milliseconds(window_ms)) {}

  bool Append(const char* bytes, size_t size) {
    const size_t length = output_.GetLength();
    if (size > limit_ || length > limit_ - size) return false;
    try {
      if (length + size > reserved_ && !Grow(length, length + size)) return false;
      // Each run up to a zero byte is appended as text; the copy in the
      // collector's buffer ends with a zero byte of its own.
      piece_.assign(bytes, size);
      const char* at = piece_.c_str();
      const char* end = at + size;
      for (;;) {
        output_ += at;
        at += strlen(at);
        if (at == end) break;
        output_ += '\0';
        ++at;
      }
    } catch (const GMemoryException&) {
      return false;
    } catch (const std::bad_alloc&) {
      return false;
    }
    return true;
  }

 private:
  static constexpr size_t kFirstReserve = 65536;
  // Growths of less than this are never refused; they are not timed either.
  static constexpr size_t kUntimedBytes = 1u << 20;

  bool Grow(size_t length, size_t needed) {
    const Clock::time_point start = Clock::now();
    if (length >= kUntimedBytes && nanos_per_byte_ > 0 &&
        start + std::chrono::nanoseconds(static_cast<long long>(nanos_per_byte_ * length)) >
            deadline_) {
      return false;
    }
    size_t wanted = std::max<size_t>({needed, reserved_ * 2, kFirstReserve});
    if (wanted > limit_) wanted = limit_;
    output_.AllocateBuffer(static_cast<unsigned int>(wanted));
    reserved_ = wanted;
    if (length >= kUntimedBytes) {
      const double took = static_cast<double>(
          std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count());
      nanos_per_byte_ = std::max(nanos_per_byte_, took / static_cast<double>(length));
    }
    return true;
  }

  CGNString& output_;
  std::string piece_;
  size_t reserved_;
  const size_t limit_;
  const Clock::time_point deadline_;
  double nanos_per_byte_ = 0;  // the slowest growth so far
};

}  // namespace

unsigned long SyncProcessWindowMs() { return g_window_ms.load(); }

void SetSyncProcessWindowMsForTesting(unsigned long window_ms) { g_window_ms.store(window_ms); }

void SetSyncProcessOutputLimitForTesting(size_t bytes) {
  g_output_limit.store(bytes < kMaxOutputBytes ? bytes : kMaxOutputBytes);
}

// Searches bytes for "%": in every code set the library knows, 0x25 is never
// the second byte of a character, so a byte search finds characters only.
std::string ExpandVariableReferences(const std::string& text, const VariableLookup& lookup) {
  std::string result = text;
  size_t open = result.find('%');
  while (open != std::string::npos) {
    size_t close = result.find('%', open + 1);
    if (close == std::string::npos) break;
    std::string name = result.substr(open + 1, close - open - 1);
    if (name.size() > kMaxNameBytes) name.resize(kMaxNameBytes);
    std::string value;
    if (lookup(name, &value) && !value.empty()) {
      result.replace(open, close - open + 1, value);
      open = result.find('%', open + value.size());
    } else {
      open = result.find('%', close + 1);
    }
  }
  return result;
}

}  // namespace gnutil

using namespace gnutil;

unsigned char OSRunAsyncProcess(const CGNString& commandLine, CGNString& errorText) {
  std::string error;
  if (platform::StartProcess(std::string(commandLine), &error)) return 1;
  errorText = error.c_str();
  return 0;
}

long OSRunSyncProcess(const CGNString& commandLine, CGNString& output) {
  long exit_code = 1;
  const unsigned long window_ms = SyncProcessWindowMs();
  OutputCollector collector(output, g_output_limit.load(), window_ms);
  bool ended = platform::RunCollectingOutput(
      std::string(commandLine), window_ms,
      [&collector](const char* bytes, size_t size) { return collector.Append(bytes, size); },
      &exit_code);
  return ended ? exit_code : 1;
}

long OSOpenFile(const CGNString& path) { return platform::OpenDocument(std::string(path)); }

CGNString OSExpandEnvironmentVariables(const CGNString& text) {
  std::string expanded =
      ExpandVariableReferences(std::string(text), [](const std::string& name, std::string* value) {
        return platform::GetEnvironment(name, value);
      });
  return CGNString(expanded.c_str());
}
