#include "output_file.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace gnutil::tool {
namespace {

std::string Reason(int error) { return strerror(error); }

// Puts /dev/null on a closed descriptor, opened the wrong way round so that
// the stream meant for it fails at its first use instead of succeeding.
bool Claim(int fd, int flags) {
  if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) return false;
  int stand_in = open("/dev/null", flags | O_CLOEXEC);
  if (stand_in >= 0 && stand_in != fd) {
    dup2(stand_in, fd);
    close(stand_in);
  }
  return true;
}

// --- The temporary file of an output in progress ---
//
// A signal handler may only use what is async-signal-safe: the name lives in
// a fixed buffer, and the handler unlinks it and dies of the same signal.
char g_temporary[PATH_MAX + 1];
volatile sig_atomic_t g_haveTemporary = 0;
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

void RemoveTemporaryAndDie(int sig) {
  if (g_haveTemporary) unlink(g_temporary);
  signal(sig, SIG_DFL);
  raise(sig);
}

void BlockSignals(sigset_t* old) {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : kSignals) sigaddset(&set, sig);
  sigprocmask(SIG_BLOCK, &set, old);
}

void InstallHandlers() {
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_handler = RemoveTemporaryAndDie;
  sigemptyset(&action.sa_mask);
  for (int sig : kSignals) {
    struct sigaction previous;
    // A signal the caller chose to ignore stays ignored.
    if (sigaction(sig, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    sigaction(sig, &action, nullptr);
  }
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Set by ClaimStandardStreams when the caller closed the standard output.
bool g_outputClosed = false;

// Whether a name is one of the standard output's own (/dev/stdout,
// /dev/fd/1, /proc/self/fd/1), which names whatever descriptor 1 is.
bool NamesStandardOutput(const std::string& name) {
  static const std::string kNames[] = {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1",
                                       "/proc/thread-self/fd/1",
                                       "/proc/" + std::to_string(getpid()) + "/fd/1"};
  for (const std::string& n : kNames) {
    if (name == n) return true;
  }
  return false;
}

// Follows symbolic links from path to the name that will really be written.
// *magic is set when the way leads through /proc or /dev/fd, whose links name
// open files rather than paths (/dev/stdout): those are written directly.
// With the standard output closed, a way through its names fails (EBADF):
// it would reach the stand-in that took descriptor 1, not a real output.
bool ResolveTarget(const std::string& path, std::string* target, bool* magic, int* error) {
  std::string current = path;
  *magic = false;
  for (int hops = 0; hops < 40; ++hops) {
    if (current.rfind("/proc/", 0) == 0 || current.rfind("/dev/fd/", 0) == 0) *magic = true;
    if (g_outputClosed && NamesStandardOutput(current)) {
      *error = EBADF;
      return false;
    }
    struct stat st;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *target = current;
      return true;
    }
    char link[PATH_MAX + 1];
    ssize_t n = readlink(current.c_str(), link, PATH_MAX);
    if (n < 0) {
      *error = errno;
      return false;
    }
    link[n] = '\0';
    current = link[0] == '/' ? std::string(link) : DirectoryOf(current) + "/" + link;
  }
  *error = ELOOP;
  return false;
}

}  // namespace

StandardStreams ClaimStandardStreams() {
  StandardStreams result;
  result.inputClosed = Claim(0, O_WRONLY);
  result.outputClosed = Claim(1, O_RDONLY);
  g_outputClosed = result.outputClosed;
  Claim(2, O_WRONLY);
  return result;
}

FILE* OpenInputStream(const char* path, std::string* error) {
  // Not blocking in open: a named pipe without a writer would hang there.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *error = Reason(errno);
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0) {
    *error = Reason(errno);
    close(fd);
    return nullptr;
  }
  if (S_ISDIR(st.st_mode)) {
    close(fd);
    *error = Reason(EISDIR);
    return nullptr;
  }
  if (S_ISFIFO(st.st_mode)) {
    // Until a writer has come, poll reports nothing; then data or the end.
    struct pollfd p = {fd, POLLIN, 0};
    int ready;
    do {
      ready = poll(&p, 1, kPipeWriterWaitSeconds * 1000);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
      close(fd);
      *error = "a named pipe that no program writes to";
      return nullptr;
    }
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FILE* f = fdopen(fd, "rb");
  if (f == nullptr) {
    *error = Reason(errno);
    close(fd);
  }
  return f;
}

struct OutputFile {
  FILE* stream = nullptr;
  std::string target;     // the name renamed over; empty when written directly
  std::string temporary;  // the file being written, beside the target
};

OutputFile* OpenOutputFile(const char* path, std::string* error) {
  std::string target;
  bool magic = false;
  int err = 0;
  if (!ResolveTarget(path, &target, &magic, &err)) {
    *error = Reason(err);
    return nullptr;
  }
  struct stat st;
  bool exists = stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) {
    *error = Reason(errno);
    return nullptr;
  }
  if (exists && S_ISDIR(st.st_mode)) {
    *error = Reason(EISDIR);
    return nullptr;
  }
  auto* out = new OutputFile;
  if (magic || (exists && !S_ISREG(st.st_mode))) {
    // Appending keeps what a shell's ">>" put before us when the name is an
    // alias of a regular file (/dev/stdout); devices and pipes ignore it.
    int fd = open(path, O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
    out->stream = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (out->stream == nullptr) {
      *error = Reason(errno);
      if (fd >= 0) close(fd);
      delete out;
      return nullptr;
    }
    return out;
  }

  std::string pattern = DirectoryOf(target) + "/.gnutil-XXXXXX";
  if (pattern.size() > PATH_MAX) {
    *error = Reason(ENAMETOOLONG);
    delete out;
    return nullptr;
  }
  InstallHandlers();
  sigset_t old;
  BlockSignals(&old);
  // mkostemp creates with O_CREAT | O_EXCL under a random name: nothing
  // planted beforehand (a symbolic link included) is ever opened.
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkostemp(name.data(), O_CLOEXEC);
  int createError = errno;
  if (fd >= 0) {
    memcpy(g_temporary, name.data(), name.size());
    g_haveTemporary = 1;
  }
  sigprocmask(SIG_SETMASK, &old, nullptr);
  if (fd < 0) {
    *error = Reason(createError);
    delete out;
    return nullptr;
  }
  out->target = target;
  out->temporary = name.data();
  if (exists) {
    // The owner first: changing it clears the set-id bits of the mode.
    if (geteuid() == 0) {
      (void)!fchown(fd, st.st_uid, st.st_gid);
    } else if (st.st_gid != getegid()) {
      (void)!fchown(fd, static_cast<uid_t>(-1), st.st_gid);  // allowed for our own groups
    }
    fchmod(fd, st.st_mode & 07777);
  } else {
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  out->stream = fdopen(fd, "wb");
  if (out->stream == nullptr) {
    *error = Reason(errno);
    close(fd);
    AbandonOutputFile(out);
    return nullptr;
  }
  return out;
}

FILE* OutputStream(OutputFile* file) { return file->stream; }

bool CommitOutputFile(OutputFile* file, std::string* error) {
  bool ok = fflush(file->stream) == 0 && !ferror(file->stream);
  int err = errno;
  if (fclose(file->stream) != 0 && ok) {
    ok = false;
    err = errno;
  }
  file->stream = nullptr;
  if (ok && !file->temporary.empty()) {
    sigset_t old;
    BlockSignals(&old);
    if (rename(file->temporary.c_str(), file->target.c_str()) != 0) {
      ok = false;
      err = errno;
      unlink(file->temporary.c_str());
    }
    g_haveTemporary = 0;
    sigprocmask(SIG_SETMASK, &old, nullptr);
    file->temporary.clear();
  }
  if (!ok) {
    *error = Reason(err);
    AbandonOutputFile(file);
    return false;
  }
  delete file;
  return true;
}

void AbandonOutputFile(OutputFile* file) {
  if (file->stream != nullptr) fclose(file->stream);
  if (!file->temporary.empty()) {
    sigset_t old;
    BlockSignals(&old);
    unlink(file->temporary.c_str());
    g_haveTemporary = 0;
    sigprocmask(SIG_SETMASK, &old, nullptr);
  }
  delete file;
}

}  // namespace gnutil::tool
