// CGNTrace: category-filtered trace lines to a file and the standard output.
//
// A line is assembled whole in memory and handed to the file in one append
// (platform/appendfile.h), so writers sharing the file, in this process or
// another, never tear each other's lines. The trace's mutex orders the lines
// of one trace; the one append is what orders them across traces and
// processes.
//
// The size cap empties the file by opening it again truncated. Two writers
// that see the cap reached at the same moment must not both empty it, or the
// second would wipe the line the first wrote into the fresh file: so the
// emptying takes the file's truncation lock and looks at the size again
// under it. On POSIX plain appends never take that lock, which keeps the
// common line at one system call (on Windows every append takes it, see the
// platform file). A line appended just before the file is emptied goes with
// the old content, as it would in a single process.
//
// A disabled category costs two relaxed loads: the output and the mask are
// stored atomically (under the mutex) so that this first test needs no lock.
// An enabled line then tests again under the mutex, as ResetOutput and
// ResetMask change both under it.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <atomic>
#include <new>

#include "diag/trace_internal.h"
#include "gnutil/datetime.h"
#include "gnutil/gntrace.h"
#include "gnutil/osresource.h"
#include "gnutil/osthread.h"
#include "platform/appendfile.h"

// The open trace file. torn: the last line stopped short and its line end
// could not be written either, so the next line starts with one.
struct _gntracefile {
  gnutil::platform::AppendFile* file;
  bool torn;
};

namespace gnutil {
namespace {

constexpr char kOutputFile = 1;
constexpr char kOutputStdout = 2;

std::atomic<long> g_filesEmptied{0};

// Fields that WriteMsg reads before it takes the mutex, and that the setters
// without a lock write.
template <typename T>
T Load(const T& field) {
  return __atomic_load_n(&field, __ATOMIC_RELAXED);
}
template <typename T>
void Store(T& field, T value) {
  __atomic_store_n(&field, value, __ATOMIC_RELAXED);
}

class Locked {
 public:
  explicit Locked(_osmutex* mutex) : mutex_(mutex) {
    if (mutex_ != nullptr) OSMutexWait(mutex_);
  }
  ~Locked() {
    if (mutex_ != nullptr) OSMutexRelease(mutex_);
  }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  _osmutex* mutex_;
};

bool Enabled(char output, short traceMask, short mask) {
  if (output == 0 || traceMask == 0 || mask == 0) return false;
  unsigned short wanted = static_cast<unsigned short>(mask);
  unsigned short have = static_cast<unsigned short>(traceMask);
  unsigned short both = wanted & have;
  return both == wanted || both == have;
}

// A line under construction: on the stack while it is short, on the heap
// when a message is long. If memory runs out the line keeps what fits.
class LineBuffer {
 public:
  LineBuffer() { stack_[0] = '\0'; }
  ~LineBuffer() {
    if (data_ != stack_) free(data_);
  }
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;

  void Append(const char* text, size_t count) {
    if (!Reserve(count)) count = capacity_ - size_ - 1;
    memcpy(data_ + size_, text, count);
    size_ += count;
    data_[size_] = '\0';
  }
  void Append(const char* text) { Append(text, strlen(text)); }

  void AppendFormatted(const char* format, va_list arguments) {
    va_list first;
    va_copy(first, arguments);
    int n = vsnprintf(data_ + size_, capacity_ - size_, format, first);
    va_end(first);
    if (n < 0) {  // a format the runtime rejects: no message
      data_[size_] = '\0';
      return;
    }
    size_t needed = static_cast<size_t>(n);
    if (needed < capacity_ - size_) {
      size_ += needed;
      return;
    }
    if (Reserve(needed)) {
      vsnprintf(data_ + size_, capacity_ - size_, format, arguments);
      size_ += needed;
    } else {
      size_ = capacity_ - 1;  // what the first attempt fitted
    }
  }

  const char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  bool Reserve(size_t extra) {
    if (extra < capacity_ - size_) return true;
    size_t wanted = size_ + extra + 1;
    size_t grown = capacity_ * 2 > wanted ? capacity_ * 2 : wanted;
    char* bigger = static_cast<char*>(malloc(grown));
    if (bigger == nullptr) return false;
    memcpy(bigger, data_, size_ + 1);
    if (data_ != stack_) free(data_);
    data_ = bigger;
    capacity_ = grown;
    return true;
  }

  char stack_[1024];  // only what size_ covers (and its NUL) is set
  char* data_ = stack_;
  size_t size_ = 0;
  size_t capacity_ = sizeof stack_;
};

// The local time now, in the calling thread's zone. The clock lock is taken
// inside, with this trace's mutex held: that is the library's lock order.
void BreakDownNow(tm* parts) {
  long now = static_cast<long>(time(nullptr));
  CGNDateTime::LocalTimeTS(now, *parts);
}

size_t FormatDateStamp(char* out, size_t size) {
  tm parts;
  BreakDownNow(&parts);
  // At most 63 characters; a result that does not fit gives none.
  size_t n = strftime(out, size < 64 ? size : 64, "%m/%d/%y %H:%M:%S :: ", &parts);
  out[n] = '\0';
  return n;
}

// The date-time and thread prefixes: "%m/%d/%y %H:%M:%S :: " and "TID %d :: ".
size_t FormatPrefix(bool withDate, char* out, size_t size) {
  size_t used = 0;
  out[0] = '\0';
  if (withDate) used = FormatDateStamp(out, size);
  if (OSIsThreaded()) {
    int n =
        snprintf(out + used, size - used, "TID %d :: ", static_cast<int>(OSGetCurrentThreadID()));
    if (n > 0) used += static_cast<size_t>(n);
  }
  return used < size ? used : size - 1;
}

}  // namespace

long TraceFilesEmptied() { return g_filesEmptied.load(); }

}  // namespace gnutil

using gnutil::kOutputFile;
using gnutil::kOutputStdout;
using gnutil::Load;
using gnutil::Locked;
using gnutil::Store;
namespace platform = gnutil::platform;

// --- CGNTrace ---

CGNTrace::CGNTrace()
    : m_output(0),
      m_mask(0),
      m_file(nullptr),
      m_maxSize(0),
      m_dateTime(1),
      m_fileLine(1),
      m_pMutex(nullptr) {}

CGNTrace::CGNTrace(const CGNTrace& other) : CGNTrace() { CopySettings(other); }

CGNTrace& CGNTrace::operator=(const CGNTrace& other) {
  if (this != &other) CopySettings(other);
  return *this;
}

void CGNTrace::CopySettings(const CGNTrace& other) {
  char output;
  CGNString name;
  long maxSize;
  {
    Locked lock(other.m_pMutex);
    output = Load(other.m_output);
    name = other.m_fileName;
    maxSize = Load(other.m_maxSize);
  }
  Locked lock(m_pMutex);
  // The name changes, so a file of our own no longer matches it.
  CloseFile();
  Store(m_output, output);
  m_fileName = name;
  Store(m_mask, Load(other.m_mask));
  Store(m_maxSize, maxSize);
  Store(m_dateTime, Load(other.m_dateTime));
  Store(m_fileLine, Load(other.m_fileLine));
}

CGNTrace::~CGNTrace() {
  CloseFile();
  if (m_pMutex != nullptr) OSMutexDestroy(m_pMutex);
}

void CGNTrace::CloseFile() {
  if (m_file == nullptr) return;
  platform::CloseAppendFile(m_file->file);
  delete m_file;
  m_file = nullptr;
}

unsigned char CGNTrace::Init() {
  if (m_pMutex == nullptr) m_pMutex = OSMutexCreate();
  return m_pMutex != nullptr ? 1 : 0;
}

void CGNTrace::ResetMask(short mask) {
  Locked lock(m_pMutex);
  Store(m_mask, mask);
}

short CGNTrace::GetTraceSetting() const { return Load(m_mask); }

unsigned char CGNTrace::ResetOutput(char output) {
  Locked lock(m_pMutex);
  if (output == 0 || output == kOutputStdout) {
    CloseFile();
    m_fileName.Empty();
    Store(m_maxSize, 0L);
  }
  if ((output & kOutputFile) != 0 && m_file == nullptr) return 0;
  Store(m_output, output);
  return 1;
}

unsigned char CGNTrace::ResetOutput(char output, CGNString& fileName, long maxSize) {
  if ((output & kOutputFile) != 0) {
    Locked lock(m_pMutex);
    const char before = Load(m_output);
    Store(m_output, output);
    Store(m_maxSize, maxSize);
    if (fileName == m_fileName && m_file != nullptr) return 1;
    CloseFile();
    m_fileName = fileName;
    platform::AppendFile* file = platform::OpenAppendFile(m_fileName, false);
    m_file = file != nullptr ? new (std::nothrow) _gntracefile{file, false} : nullptr;
    if (m_file == nullptr) {
      platform::CloseAppendFile(file);
      // No file is open, so none is reported: the outputs stay as they
      // were, without the file.
      Store(m_output, static_cast<char>(before & ~kOutputFile));
      return 0;
    }
  }
  return ResetOutput(output);
}

void CGNTrace::GetOutput(char* output, CGNString* fileName, long* maxSize) const {
  // The name is a string value: read it under the mutex so that a
  // concurrent ResetOutput cannot change it half-way through the copy.
  Locked lock(m_pMutex);
  if (output != nullptr) *output = Load(m_output);
  if (fileName != nullptr) *fileName = m_fileName;
  if (maxSize != nullptr) *maxSize = Load(m_maxSize);
}

void CGNTrace::ResetSize(long maxSize) { Store(m_maxSize, maxSize); }
void CGNTrace::ResetFileLine(char on) { Store(m_fileLine, on); }
void CGNTrace::EnableFileLine() { Store(m_fileLine, static_cast<char>(1)); }
void CGNTrace::DisableFileLine() { Store(m_fileLine, static_cast<char>(0)); }
void CGNTrace::EnableDateTime() { Store(m_dateTime, static_cast<char>(1)); }
void CGNTrace::DisableDateTime() { Store(m_dateTime, static_cast<char>(0)); }

unsigned char CGNTrace::IsEnabled(short mask) const {
  return gnutil::Enabled(Load(m_output), Load(m_mask), mask) ? 1 : 0;
}

void CGNTrace::WriteMsg(const char* fileLine, short mask, const CGNString& source,
                        const char* format, ...) {
  if (!IsEnabled(mask)) return;
  Locked lock(m_pMutex);
  if (!IsEnabled(mask)) return;
  va_list arguments;
  va_start(arguments, format);
  WriteLine(fileLine, source, format, arguments);
  va_end(arguments);
}

void CGNTrace::WriteMsg(const char* fileLine, short mask, const CGNString& source, long stringId,
                        ...) {
  if (!IsEnabled(mask)) return;
  {
    Locked lock(m_pMutex);
    if (!IsEnabled(mask)) return;
  }
  // Loaded outside the mutex: the resource lookup takes locks of its own.
  CGNString format;
  OSLoadString(format, stringId);
  va_list arguments;
  va_start(arguments, stringId);
  DoWriteMsg(fileLine, source, format, arguments);
  va_end(arguments);
}

void CGNTrace::DoWriteMsg(const char* fileLine, const CGNString& source, const char* format,
                          va_list arguments) {
  Locked lock(m_pMutex);
  WriteLine(fileLine, source, format, arguments);
}

// Called with the mutex held.
void CGNTrace::WriteLine(const char* fileLine, const CGNString& source, const char* format,
                         va_list arguments) {
  char output = Load(m_output);
  const long maxSize = Load(m_maxSize);
  bool toFile = (output & kOutputFile) != 0 && m_file != nullptr;
  const bool toStdout = (output & kOutputStdout) != 0;

  // A line is in the file at the path when the call returns, also after the
  // file was rotated or removed: then the path is opened again. The old
  // handle goes first, as Windows creates nothing at the path of a deleted
  // file that is still open.
  if (toFile && platform::AppendFileMoved(m_file->file, m_fileName)) {
    platform::CloseAppendFile(m_file->file);
    m_file->file = platform::OpenAppendFile(m_fileName, false);
    m_file->torn = false;
    if (m_file->file == nullptr) {
      // File output stops until the next successful ResetOutput.
      CloseFile();
      toFile = false;
    }
  }

  if (toFile && maxSize > 0 && platform::AppendFileSize(m_file->file) >= maxSize) {
    platform::AppendFile* old = m_file->file;
    bool locked = platform::LockForTruncation(old);
    // Another writer may have emptied the file while we waited.
    if (platform::AppendFileSize(old) >= maxSize) {
      platform::AppendFile* fresh = platform::OpenAppendFile(m_fileName, true);
      if (fresh == nullptr) {
        // File output stops until the next successful ResetOutput.
        if (locked) platform::UnlockTruncation(old);
        CloseFile();
        toFile = false;
      } else {
        // Closing the old handle lets the lock go before this line is
        // written: a writer that waited for it now finds the file below
        // the cap and leaves it as it is.
        m_file->file = fresh;
        m_file->torn = false;
        ++gnutil::g_filesEmptied;
        platform::CloseAppendFile(old);
      }
    } else if (locked) {
      platform::UnlockTruncation(old);
    }
  }
  if (!toFile && !toStdout) return;

  char prefix[128];
  size_t prefixSize = gnutil::FormatPrefix(Load(m_dateTime) != 0, prefix, sizeof prefix);
  const char* label = source;
  const size_t labelSize = source.GetLength();

  // The file's form of the line is built in one buffer: [line end of a cut
  // line,] prefixes, label, message, position, line end. The output's form
  // differs only in the label part and reuses the rest.
  gnutil::LineBuffer line;
  const bool torn = toFile && m_file->torn;
  if (torn) line.Append("\n", 1);
  line.Append(prefix, prefixSize);
  if (labelSize != 0) {
    line.Append(label, labelSize);
    line.Append(" : ", 3);
  }
  const size_t messageAt = line.size();
  if (format != nullptr) line.AppendFormatted(format, arguments);
  if (fileLine != nullptr && Load(m_fileLine) != 0) {
    line.Append(" : ", 3);
    line.Append(fileLine);
  }
  line.Append("\n", 1);

  if (toFile) {
    size_t written = platform::AppendToFile(m_file->file, line.data(), line.size());
    if (written == line.size()) {
      m_file->torn = false;
    } else if (written != 0) {
      // Stopped short: end the piece now, or else at the start of the next.
      m_file->torn = platform::AppendToFile(m_file->file, "\n", 1) != 1;
    }
  }
  if (toStdout) {
    if (labelSize != 0 && !torn) {
      fwrite(line.data(), 1, line.size(), stdout);
    } else {
      gnutil::LineBuffer shown;
      shown.Append(prefix, prefixSize);
      shown.Append(label, labelSize);
      shown.Append(" : ", 3);
      shown.Append(line.data() + messageAt, line.size() - messageAt);
      fwrite(shown.data(), 1, shown.size(), stdout);
    }
    fflush(stdout);
  }
}

// --- CGNGlobalTrace ---

CGNGlobalTrace* CGNGlobalTrace::m_pInstance = nullptr;

CGNGlobalTrace* CGNGlobalTrace::Instance() {
  if (m_pInstance == nullptr) m_pInstance = new CGNGlobalTrace;
  return m_pInstance;
}

void CGNGlobalTrace::Free() {
  CGNGlobalTrace* instance = m_pInstance;
  m_pInstance = nullptr;
  delete instance;
}

CGNGlobalTrace::~CGNGlobalTrace() {
  if (m_pInstance == this) m_pInstance = nullptr;
}

// --- CGNTraceFileLine ---

CGNTraceFileLine::CGNTraceFileLine(long line, const char* file) {
  sprintf("Line %5d in %s", static_cast<int>(line), file != nullptr ? file : "");
}

CGNTraceFileLine::CGNTraceFileLine(const CGNTraceFileLine& other) : CGNString(other) {}

CGNTraceFileLine& CGNTraceFileLine::operator=(const CGNTraceFileLine& other) {
  CGNString::operator=(other);
  return *this;
}

CGNTraceFileLine::~CGNTraceFileLine() = default;
