// Child processes on Windows: CreateProcessA, a private named pipe read with
// overlapped reads and a completion routine, ShellExecuteExA and
// GetEnvironmentVariableA.
//
// One read of 255 bytes is outstanding at a time. Its record lives on the
// heap: the completion routine finds the caller's completion record through
// the request's hEvent field (ReadFileEx leaves that field to the caller),
// and when that field is null the request has been abandoned and the routine
// frees the request itself, whenever it finally runs.
#include "platform/process.h"

#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <atomic>
#include <vector>

namespace gnutil::platform {
namespace {

constexpr DWORD kReadSize = 255;
constexpr DWORD kPipeBufferSize = 256;
// After the child has ended, a read of what is left waits at most this long.
constexpr DWORD kDrainWaitMs = 1000;

struct ReadRequest {
  OVERLAPPED overlapped;
  char buffer[kReadSize];
};

struct Completion {
  DWORD error;
  DWORD bytes;
  bool done;
};

void CALLBACK ReadCompleted(DWORD error, DWORD bytes, OVERLAPPED* overlapped) {
  ReadRequest* request = CONTAINING_RECORD(overlapped, ReadRequest, overlapped);
  Completion* completion = static_cast<Completion*>(overlapped->hEvent);
  if (completion == nullptr) {
    delete request;
    return;
  }
  completion->error = error;
  completion->bytes = bytes;
  completion->done = true;
}

std::string MessageFor(DWORD error) {
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT), reinterpret_cast<char*>(&text),
      0, nullptr);
  std::string message = length > 0 && text != nullptr ? std::string(text, length) : std::string();
  if (text != nullptr) LocalFree(text);
  return message;
}

// The tick count alone repeats when two runs start in the same
// millisecond, and a second pipe of the same name cannot be made: the
// process id and a counter make every name unique.
std::string UniquePipeName() {
  static std::atomic<unsigned long> counter{0};
  char name[120];
  wsprintfA(name, "\\\\.\\pipe\\zeProcPipe%lx-%lx-%lx", GetTickCount(), GetCurrentProcessId(),
            counter.fetch_add(1));
  return name;
}

// Issues one read and waits alertably for its completion for up to wait_ms.
// False when it did not complete in time (the read is then still pending).
bool ReadOnce(HANDLE pipe, ReadRequest* request, Completion* completion, DWORD wait_ms) {
  *completion = Completion{0, 0, false};
  ZeroMemory(&request->overlapped, sizeof request->overlapped);
  request->overlapped.hEvent = completion;
  if (!ReadFileEx(pipe, request->buffer, kReadSize, &request->overlapped, ReadCompleted)) {
    completion->error = GetLastError();
    completion->done = true;
    return true;
  }
  DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    if (completion->done) return true;
    if (elapsed >= wait_ms) return false;
    SleepEx(wait_ms - elapsed, TRUE);
  }
}

}  // namespace

bool StartProcess(const std::string& command_line, std::string* error) {
  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    *error = MessageFor(GetLastError());
    return false;
  }
  // Not waited for; the handles are not needed either.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool RunCollectingOutput(const std::string& command_line, unsigned long window_ms,
                         const OutputSink& collect, long* exit_code) {
  std::string name = UniquePipeName();
  // Only the client end is inherited: the child needs nothing else of ours.
  HANDLE pipe =
      CreateNamedPipeA(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                       PIPE_TYPE_BYTE | PIPE_WAIT, 1, kPipeBufferSize, kPipeBufferSize, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) return false;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE client = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherit, OPEN_EXISTING, 0, nullptr);
  if (client == INVALID_HANDLE_VALUE) {
    CloseHandle(pipe);
    return false;
  }
  HANDLE null_input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                  OPEN_EXISTING, 0, nullptr);

  std::vector<char> line(command_line.begin(), command_line.end());
  line.push_back('\0');
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = null_input != INVALID_HANDLE_VALUE ? null_input : nullptr;
  startup.hStdOutput = client;
  PROCESS_INFORMATION process;
  BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                                &startup, &process);
  CloseHandle(client);
  if (null_input != INVALID_HANDLE_VALUE) CloseHandle(null_input);
  if (!started) {
    CloseHandle(pipe);
    return false;
  }
  CloseHandle(process.hThread);

  ReadRequest* request = new ReadRequest;
  Completion completion = {0, 0, false};
  bool pending = false;
  bool refused = false;
  // Tick arithmetic modulo 2^32: a wrapped counter needs no special case.
  const DWORD start = GetTickCount();
  auto left = [start, window_ms]() -> DWORD {
    DWORD elapsed = GetTickCount() - start;
    return elapsed >= window_ms ? 0 : static_cast<DWORD>(window_ms - elapsed);
  };
  for (;;) {
    DWORD wait_ms = left();
    if (wait_ms == 0) break;
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_TIMEOUT) {
      // The child has ended: what it wrote is still in the pipe.
      DWORD available = 0;
      while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        if (!ReadOnce(pipe, request, &completion, kDrainWaitMs)) {
          pending = true;
          break;
        }
        if (completion.error != 0) break;
        if (!collect(request->buffer, completion.bytes)) {
          refused = true;
          break;
        }
      }
      break;
    }
    if (!ReadOnce(pipe, request, &completion, wait_ms)) {
      pending = true;
      break;
    }
    if (completion.error != 0) break;  // the child closed its output
    if (!collect(request->buffer, completion.bytes)) {
      refused = true;
      break;
    }
  }

  // Output that could not be held ends the wait at once.
  bool ended = WaitForSingleObject(process.hProcess, refused ? 0 : left()) == WAIT_OBJECT_0;
  if (pending) {
    request->overlapped.hEvent = nullptr;  // the completion routine frees it
  } else {
    delete request;
  }
  if (!ended) return false;  // the child keeps running, with its pipe
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  if (pending) CancelIo(pipe);
  CloseHandle(pipe);
  CloseHandle(process.hProcess);
  if (refused) return false;
  *exit_code = static_cast<long>(code);
  return true;
}

long OpenDocument(const std::string& path) {
  SHELLEXECUTEINFOA info;
  ZeroMemory(&info, sizeof info);
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = "Open";
  info.lpFile = path.c_str();
  info.nShow = SW_SHOWDEFAULT;
  BOOL result = ShellExecuteExA(&info);
  if (info.hProcess != nullptr) CloseHandle(info.hProcess);
  return result;
}

bool GetEnvironment(const std::string& name, std::string* value) {
  std::vector<char> buffer(256);
  for (;;) {
    SetLastError(0);
    DWORD length =
        GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
      value->clear();
      return true;
    }
    if (length < buffer.size()) {
      value->assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length);  // the size needed, terminator included
  }
}

}  // namespace gnutil::platform
