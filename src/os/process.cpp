// Processes, the shell and environment references: the portable half.
#include "platform/process.h"

#include <atomic>
#include <string>

#include "gnutil/osprocess.h"
#include "os/process_internal.h"

namespace gnutil {
namespace {

constexpr unsigned long kDefaultWindowMs = 15000;
constexpr size_t kMaxNameBytes = 255;

std::atomic<unsigned long> g_window_ms{kDefaultWindowMs};

// Appends every byte, zero bytes included (a child's output is not always
// text), with one reservation for the whole run.
void AppendBytes(CGNString& output, const std::string& bytes) {
  if (bytes.empty()) return;
  output.AllocateBuffer(static_cast<unsigned int>(output.GetLength() + bytes.size()));
  size_t start = 0;
  for (;;) {
    size_t zero = bytes.find('\0', start);
    output +=
        bytes.substr(start, zero == std::string::npos ? std::string::npos : zero - start).c_str();
    if (zero == std::string::npos) break;
    output += '\0';
    start = zero + 1;
  }
}

}  // namespace

unsigned long SyncProcessWindowMs() { return g_window_ms.load(); }

void SetSyncProcessWindowMsForTesting(unsigned long window_ms) { g_window_ms.store(window_ms); }

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
  std::string collected;
  long exit_code = 1;
  bool ended = platform::RunCollectingOutput(std::string(commandLine), SyncProcessWindowMs(),
                                             &collected, &exit_code);
  AppendBytes(output, collected);
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
