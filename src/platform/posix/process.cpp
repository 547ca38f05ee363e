// Child processes on POSIX systems.
//
// A command line is split by the Windows rules (cmdline.h) and started with
// posix_spawnp: no shell ever reads the caller's text. Every child is waited
// for with waitpid on its own pid, never on "any child", so the statuses of
// children that the program started itself stay for the program to collect.
// A child that outlives the call that started it is handed to a detached
// thread that waits for it (and, for a collected child, keeps reading and
// discarding its output, so that it never blocks on a full pipe).
#include "platform/process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/posix/cmdline.h"

extern char** environ;

namespace gnutil::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Without a process descriptor, the state of a child is polled this often.
constexpr int kPollStepMs = 10;
// How long past the window the output of a child that has ended is read.
constexpr int kDrainMs = 50;

class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
    // The caller may ignore SIGPIPE or block signals; a child starts clean.
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes_, &signals);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes_, &signals);
    flags_ = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  void NewProcessGroup() {
    posix_spawnattr_setpgroup(&attributes_, 0);
    flags_ |= POSIX_SPAWN_SETPGROUP;
  }
  posix_spawn_file_actions_t* actions() { return &actions_; }

  // 0 with *pid set, or the error number.
  int Spawn(const std::vector<std::string>& args, pid_t* pid) {
    if (args.empty() || args[0].empty()) return ENOENT;
    posix_spawnattr_setflags(&attributes_, static_cast<short>(flags_));
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    return posix_spawnp(pid, argv[0], &actions_, &attributes_, argv.data(), environ);
  }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
  int flags_ = 0;
};

int OpenProcessDescriptor(pid_t pid) {
#if defined(SYS_pidfd_open)
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

// waitpid without blocking: true when the child has ended (its status in
// *status), or when it cannot be waited for at all (SIGCHLD ignored by the
// program: the system has reaped it; *status is then -1).
bool ChildEnded(pid_t pid, int* status) {
  for (;;) {
    pid_t done = waitpid(pid, status, WNOHANG);
    if (done == pid) return true;
    if (done == 0) return false;
    if (errno == EINTR) continue;
    *status = -1;
    return true;
  }
}

void WaitForChild(pid_t pid) {
  int status;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

// Waits for the child on a thread of its own; with output_fd, reads and
// discards what the child still writes until it has ended.
void ReapInBackground(pid_t pid, int output_fd) {
  auto reap = [pid, output_fd] {
    int fd = output_fd;
    int status;
    char discard[4096];
    while (fd >= 0) {
      if (ChildEnded(pid, &status)) {
        close(fd);
        return;
      }
      struct pollfd wait_for = {fd, POLLIN, 0};
      if (poll(&wait_for, 1, 200) > 0) {
        ssize_t n = read(fd, discard, sizeof discard);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
          close(fd);
          fd = -1;
        }
      }
    }
    WaitForChild(pid);
  };
  try {
    std::thread(reap).detach();
  } catch (const std::system_error&) {
    // No thread to be had: the child can only be waited for when it has
    // already ended. Its output is no longer read.
    int status;
    if (output_fd >= 0) close(output_fd);
    waitpid(pid, &status, WNOHANG);
  }
}

long ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  // A child ended by a signal has no exit code; as shells do, 128 + signal.
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return 1;
}

std::string ErrorText(int error) {
  char buffer[256];
  // The GNU strerror_r returns its text, which may not be in buffer.
  return strerror_r(error, buffer, sizeof buffer);
}

// Reads what is in fd without waiting, until it is empty, at its end, or the
// deadline has passed. False when collect refused a piece.
bool Drain(int fd, const OutputSink& collect, Clock::time_point deadline) {
  int flags = fcntl(fd, F_GETFL);
  fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  char buffer[65536];
  while (Clock::now() < deadline) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      if (!collect(buffer, static_cast<size_t>(n))) return false;
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  return true;
}

}  // namespace

bool StartProcess(const std::string& command_line, std::string* error) {
  SpawnSetup setup;
  pid_t pid;
  int result = setup.Spawn(SplitCommandLine(command_line), &pid);
  if (result != 0) {
    *error = ErrorText(result);
    return false;
  }
  ReapInBackground(pid, -1);
  return true;
}

bool RunCollectingOutput(const std::string& command_line, unsigned long window_ms,
                         const OutputSink& collect, long* exit_code) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  SpawnSetup setup;
  setup.NewProcessGroup();
  posix_spawn_file_actions_addopen(setup.actions(), 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(setup.actions(), fds[1], 1);
  pid_t pid;
  int result = setup.Spawn(SplitCommandLine(command_line), &pid);
  close(fds[1]);
  if (result != 0) {
    close(fds[0]);
    return false;
  }

  int read_fd = fds[0];
  int pid_fd = OpenProcessDescriptor(pid);
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(window_ms);
  bool ended = false;
  bool refused = false;
  int status = 0;
  char buffer[65536];
  for (;;) {
    if (ChildEnded(pid, &status)) {
      ended = true;
      // What the child wrote before it ended is still in the pipe; a
      // descendant that keeps the pipe open and writes on is read only
      // briefly past the window.
      if (read_fd >= 0) {
        refused = !Drain(read_fd, collect, deadline + std::chrono::milliseconds(kDrainMs));
      }
      break;
    }
    Clock::time_point now = Clock::now();
    if (now >= deadline) break;
    long remaining =
        static_cast<long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count()) +
        1;
    struct pollfd waits[2];
    nfds_t count = 0;
    if (read_fd >= 0) waits[count++] = {read_fd, POLLIN, 0};
    if (pid_fd >= 0) waits[count++] = {pid_fd, POLLIN, 0};
    int timeout =
        static_cast<int>(pid_fd >= 0 ? remaining : std::min<long>(remaining, kPollStepMs));
    int ready = poll(waits, count, timeout);
    if (ready <= 0 || read_fd < 0 || waits[0].revents == 0) continue;
    ssize_t n = read(read_fd, buffer, sizeof buffer);
    if (n > 0) {
      if (!collect(buffer, static_cast<size_t>(n))) {
        refused = true;
        break;
      }
    } else if (n == 0 || errno != EINTR) {
      close(read_fd);  // the child closed its output; it may still run
      read_fd = -1;
    }
  }
  if (pid_fd >= 0) close(pid_fd);
  if (!ended) {
    // The child keeps running, as the caller was told; it is still waited for.
    ReapInBackground(pid, read_fd);
    return false;
  }
  if (read_fd >= 0) close(read_fd);
  if (status == -1 || refused) return false;
  *exit_code = ExitCodeOf(status);
  return true;
}

long OpenDocument(const std::string& path) {
  const char* search = getenv("PATH");
  std::string directories = search != nullptr ? search : "/usr/local/bin:/usr/bin:/bin";
  bool found = false;
  size_t start = 0;
  while (!found && start <= directories.size()) {
    size_t end = directories.find(':', start);
    if (end == std::string::npos) end = directories.size();
    std::string directory = directories.substr(start, end - start);
    if (directory.empty()) directory = ".";
    found = access((directory + "/xdg-open").c_str(), X_OK) == 0;
    start = end + 1;
  }
  if (!found) return 0;
  SpawnSetup setup;
  pid_t pid;
  if (setup.Spawn({"xdg-open", path}, &pid) != 0) return 0;
  ReapInBackground(pid, -1);
  return 1;
}

bool GetEnvironment(const std::string& name, std::string* value) {
  const char* text = getenv(name.c_str());
  if (text == nullptr) return false;
  *value = text;
  return true;
}

}  // namespace gnutil::platform
