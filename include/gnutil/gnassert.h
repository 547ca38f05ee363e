/// \file
/// \ingroup diagnostics
/// CGNAssert: the process-wide assertion reporter.
///
/// A program's assertion check asks cgnassert what to do with a condition.
/// In native mode (the initial mode) the answer is always 0: use the
/// platform's own assertion. Otherwise a failed condition is written to the
/// process-wide trace (CGNGlobalTrace, category 0xFF01, label "cgnassert")
/// and handed to the callback the program registered with Init. A callback
/// that fails an assertion itself is not called again from inside: the guard
/// is the named variable "recflag" (CGNLclSt), which is per thread in a
/// threaded process, and works only once the calling thread (or, unthreaded,
/// the process) has a CGNLclSt table.
///
/// No lock: make the settings before threads assert.
#ifndef GNUTIL_GNASSERT_H
#define GNUTIL_GNASSERT_H

#include "gnutil/export.h"

/// The process-wide assertion reporter.
class GNUTIL_API CGNAssert {
 public:
  /// The reporter, made on first use in native mode.
  static CGNAssert* Instance();
  /// Destroys the instance; the next Instance makes a fresh one in native mode.
  static void Free();

  /// Registers the callback and its argument; 1.
  unsigned char Init(unsigned char (*callback)(void*), void* userData);
  /// Native mode on (non-zero: cgnassert always answers 0) or off.
  void SetNativeAssert(unsigned char native);

  /// Copies the mode and the callback.
  CGNAssert& operator=(const CGNAssert& other);

  /// 1: settled (the condition holds, or the callback dealt with it and
  /// returned 1); 0: the caller is to use the native assertion.
  unsigned char cgnassert(unsigned char condition, const char* file, long line);

  static CGNAssert* m_pInstance;  ///< The reporter, or null.

 private:
  CGNAssert();
  CGNAssert(const CGNAssert&);
  ~CGNAssert();  ///< Frees what the object owns.

  unsigned char m_nativeAssert;
  unsigned char (*m_pCallback)(void*);
  void* m_pUserData;
};

#endif  // GNUTIL_GNASSERT_H
