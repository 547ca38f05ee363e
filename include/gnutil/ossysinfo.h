/// \file
/// \ingroup ossvc
/// System information, keep-awake and the build version of a module file.
///
/// Windows: thin wrappers of the system's own queries, and SetThreadExecutionState
/// (looked up at run time) for keep-awake.
///
/// Linux has no counterpart for some of these; what each function does there
/// is said beside it:
///   - OSInfo::GetHardware: the machine name the kernel reports (uname, e.g.
///     "x86_64"); OSInfo::GetOS: the kernel's name and release ("Linux 6.1.0");
///     OSisWin95 and OSisWin32s: 0;
///   - OSGetMemoryStatus: the memory load from /proc/meminfo (memory not
///     available to programs, in percent) and swap as the paging file, in
///     bytes, saturated at 0xFFFFFFFF;
///   - OSGetHostnameNoDomain: the name gethostname gives;
///   - OSGetLocaleInfo: 0, with an empty buffer (the locale subsystem will
///     provide a source);
///   - OSKeepAwake: there is no system function to keep the machine awake,
///     so an object sets nothing up and holds no request;
///   - COSBuildVersion::Init: reads the version note that the CMake helper
///     gnutil_add_file_version puts into an ELF file (the library's own file
///     has one); 0 for a file without it.
#ifndef GNUTIL_OSSYSINFO_H
#define GNUTIL_OSSYSINFO_H

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

/// Processor and operating-system names, and the old-system tests that
/// locale initialisation asks.
class GNUTIL_API OSInfo {
 public:
  /// Names the processor: "PC 80386", "PC i486", "PC Pentium", "MIPS R4000",
  /// "Alpha 21064" or "Unknown" (Windows).
  static void GetHardware(CGNString& text);
  /// "Windows 95", "Win32s" or "Windows NT or NT Server" (Windows).
  static void GetOS(CGNString& text);
  /// 1 on a Windows 95 family system; 0 elsewhere (always on Linux).
  static unsigned char OSisWin95();
  /// 1 under Win32s; 0 elsewhere (always on Linux).
  static unsigned char OSisWin32s();
};

/// Four 32-bit fields, in the order programs read them.
struct OSMemoryStatus {
  unsigned int m_nReserved;       ///< Never set by the library.
  unsigned int m_nMemoryLoad;     ///< Percent of memory in use.
  unsigned int m_nTotalPageFile;  ///< Paging file (swap on Linux) in bytes.
  unsigned int m_nAvailPageFile;  ///< Free paging file in bytes.
};

/// Fills the three measured fields of status (the reserved one is left).
GNUTIL_API void OSGetMemoryStatus(OSMemoryStatus& status);

/// Fills buffer (at least 63 bytes) with the host name, or the empty text when
/// the platform cannot give it (on Windows: before the sockets library is
/// started). The name is returned as the platform gives it.
GNUTIL_API void OSGetHostnameNoDomain(char* buffer);

/// GetLocaleInfoA's result for the locale id and information type (Windows).
GNUTIL_API long OSGetLocaleInfo(unsigned long lcid, unsigned long type, char* buffer, int size);

/// Keeps the system from sleeping while any enabled object lives.
///
/// The first object made in the process sets up the keep-awake machinery (it
/// is its owner and tears it down when destroyed): it finds
/// SetThreadExecutionState and starts a worker thread that renews the request
/// every 2000 ms while requests are outstanding. Each enabled object adds one
/// request (and asks at once on the calling thread); when the last request
/// goes, the system is told it may sleep again. Create the first object before
/// other threads create theirs.
class GNUTIL_API OSKeepAwake {
 public:
  /// An object that adds one keep-awake request while it lives when enable
  /// is non-zero.
  OSKeepAwake(unsigned char enable = 1);
  ~OSKeepAwake();  ///< Frees what the object owns.
  /// Copies both fields, as callers rely on. The copy then releases a request
  /// (and for an owner, the set-up) when destroyed, so copy only what you
  /// account for; a count that would go below zero stays at zero.
  OSKeepAwake& operator=(const OSKeepAwake& other);

 private:
  unsigned char m_bOwner;
  unsigned char m_bEnabled;
};

/// The version numbers of a module file, from its version resource. The first
/// of the four dotted file-version numbers carries major and minor as its high
/// and low byte: 1281.3.2.9 (1281 = 0x0501) is major 5, minor 1, maintenance
/// 3, patch 2, build 9, shown as "Version 5.01.03".
class GNUTIL_API COSBuildVersion {
 public:
  /// The numbers of the module file `file` (all 0 until Init).
  COSBuildVersion(const char* file);
  COSBuildVersion(const COSBuildVersion& other);             ///< Copies file and numbers.
  COSBuildVersion& operator=(const COSBuildVersion& other);  ///< Copies file and numbers.
  ~COSBuildVersion();                                        ///< Frees what the object owns.

  /// Reads the numbers: 1 read, 0 not (the numbers keep their values).
  unsigned char Init();
  short GetVersionMajorNumber() const;       ///< High byte of the first number.
  short GetVersionMinorNumber() const;       ///< Low byte of the first number.
  long GetVersionMaintenanceNumber() const;  ///< The second number.
  long GetVersionPatchNumber() const;        ///< The third number.
  long GetVersionBuildNumber() const;        ///< The fourth number.
  /// Builds and returns the text "Version major.minor.maintenance", minor
  /// and maintenance with 2 digits.
  CGNString& GetVersionString();

 private:
  short m_nMajor;
  short m_nMinor;
  int m_nMaintenance;
  int m_nPatch;
  int m_nBuild;
  CGNString m_strFile;
  CGNString m_strVersion;
};

#endif  // GNUTIL_OSSYSINFO_H
