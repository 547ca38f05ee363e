// System information, keep-awake and build versions: the portable half.
//
// Keep-awake has one process-wide state. The first OSKeepAwake object loads
// the execution-state function and starts a worker; enabled objects count
// requests. The worker sleeps until the count becomes 1, then renews the
// request every 2000 ms (a request made with ES_CONTINUOUS belongs to the
// thread that made it, so a long-lived thread must keep making it) until the
// count is back to 0 or the owner stops it.
#include "platform/sysinfo.h"

#include <stdio.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "gnutil/ossysinfo.h"
#include "os/sysinfo_internal.h"
#include "platform/localeinfo.h"

namespace gnutil {
namespace {

constexpr unsigned long kContinuousSystemRequired =
    0x80000001UL;  // ES_CONTINUOUS | ES_SYSTEM_REQUIRED
constexpr auto kRenewInterval = std::chrono::milliseconds(2000);

struct KeepAwakeState {
  bool library_loaded = false;  // the set-up was made (not guarded: see the header)
  void* library = nullptr;
  platform::ExecutionStateFunction function = nullptr;
  std::mutex mutex;  // guards everything below
  std::condition_variable wake;
  long requests = 0;
  bool start = false;  // an automatic-reset start signal
  bool stop = false;
  std::thread worker;
};

KeepAwakeState& State() {
  static KeepAwakeState* state = new KeepAwakeState;  // lives as long as the process
  return *state;
}

KeepAwakeLoader g_loader = platform::LoadExecutionState;
void (*g_releaser)(void*) = platform::ReleaseExecutionState;

void KeepAwakeWorker(KeepAwakeState* s) {
  std::unique_lock<std::mutex> lock(s->mutex);
  for (;;) {
    s->wake.wait(lock, [s] { return s->start || s->stop; });
    if (s->stop) return;
    s->start = false;
    bool called = false;
    for (;;) {
      if (s->wake.wait_for(lock, kRenewInterval, [s] { return s->stop; })) return;
      if (s->requests != 0) {
        s->function(kContinuousSystemRequired);
        called = true;
      } else {
        if (called) s->function(0);
        break;
      }
    }
  }
}

}  // namespace

long KeepAwakeRequestCount() {
  KeepAwakeState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.requests;
}

namespace testing {
void SetKeepAwakeLoader(KeepAwakeLoader loader, void (*releaser)(void*)) {
  g_loader = loader;
  g_releaser = releaser;
}
}  // namespace testing

}  // namespace gnutil

using gnutil::KeepAwakeState;

void OSInfo::GetHardware(CGNString& text) { text = gnutil::platform::HardwareName().c_str(); }

void OSInfo::GetOS(CGNString& text) { text = gnutil::platform::SystemName().c_str(); }

unsigned char OSInfo::OSisWin95() { return gnutil::platform::IsWin95() ? 1 : 0; }

unsigned char OSInfo::OSisWin32s() { return gnutil::platform::IsWin32s() ? 1 : 0; }

void OSGetMemoryStatus(OSMemoryStatus& status) {
  gnutil::platform::MemoryFigures f{};
  gnutil::platform::GetMemoryFigures(&f);
  status.m_nMemoryLoad = f.load_percent;
  status.m_nTotalPageFile = f.total_page_bytes;
  status.m_nAvailPageFile = f.available_page_bytes;
}

void OSGetHostnameNoDomain(char* buffer) {
  if (buffer == nullptr) return;
  buffer[0] = '\0';
  gnutil::platform::GetHostName(buffer);
}

long OSGetLocaleInfo(unsigned long lcid, unsigned long type, char* buffer, int size) {
  return gnutil::platform::GetLocaleInfoText(lcid, type, buffer, size);
}

OSKeepAwake::OSKeepAwake(unsigned char enable) : m_bOwner(0), m_bEnabled(enable) {
  KeepAwakeState& s = gnutil::State();
  if (!s.library_loaded && gnutil::g_loader(&s.library, &s.function)) {
    m_bOwner = 1;
    s.library_loaded = true;
    if (s.function != nullptr) {
      std::lock_guard<std::mutex> lock(s.mutex);
      s.start = s.stop = false;
      s.worker = std::thread(gnutil::KeepAwakeWorker, &s);
    }
  }
  if (m_bEnabled && s.function != nullptr) {
    s.function(gnutil::kContinuousSystemRequired);
    std::lock_guard<std::mutex> lock(s.mutex);
    if (++s.requests == 1) {
      s.start = true;
      s.wake.notify_all();
    }
  }
}

OSKeepAwake::~OSKeepAwake() {
  KeepAwakeState& s = gnutil::State();
  if (m_bEnabled && s.function != nullptr) {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.requests > 0 && --s.requests == 0) s.function(0);
  }
  if (m_bOwner) {
    if (s.function != nullptr && s.worker.joinable()) {
      {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.stop = true;
        s.wake.notify_all();
      }
      if (s.worker.get_id() == std::this_thread::get_id())
        s.worker.detach();  // cannot wait for ourselves
      else
        s.worker.join();
    }
    gnutil::g_releaser(s.library);
    s.library = nullptr;
  }
}

OSKeepAwake& OSKeepAwake::operator=(const OSKeepAwake& other) {
  m_bOwner = other.m_bOwner;
  m_bEnabled = other.m_bEnabled;
  return *this;
}

COSBuildVersion::COSBuildVersion(const char* file)
    : m_nMajor(0), m_nMinor(0), m_nMaintenance(0), m_nPatch(0), m_nBuild(0), m_strFile(file) {}

COSBuildVersion::COSBuildVersion(const COSBuildVersion& other) = default;
COSBuildVersion& COSBuildVersion::operator=(const COSBuildVersion& other) = default;
COSBuildVersion::~COSBuildVersion() = default;

unsigned char COSBuildVersion::Init() {
  uint32_t ms = 0, ls = 0;
  if (!gnutil::platform::ReadFileVersion(m_strFile, &ms, &ls)) return 0;
  m_nMajor = static_cast<short>((ms >> 24) & 0xFF);
  m_nMinor = static_cast<short>((ms >> 16) & 0xFF);
  m_nMaintenance = static_cast<int>(ms & 0xFFFF);
  m_nPatch = static_cast<int>(ls >> 16);
  m_nBuild = static_cast<int>(ls & 0xFFFF);
  return 1;
}

short COSBuildVersion::GetVersionMajorNumber() const { return m_nMajor; }
short COSBuildVersion::GetVersionMinorNumber() const { return m_nMinor; }
long COSBuildVersion::GetVersionMaintenanceNumber() const { return m_nMaintenance; }
long COSBuildVersion::GetVersionPatchNumber() const { return m_nPatch; }
long COSBuildVersion::GetVersionBuildNumber() const { return m_nBuild; }

CGNString& COSBuildVersion::GetVersionString() {
  char text[64];
  snprintf(text, sizeof text, "%s %d.%02d.%02ld", "Version", m_nMajor, m_nMinor,
           static_cast<long>(m_nMaintenance));
  m_strVersion = text;
  return m_strVersion;
}
