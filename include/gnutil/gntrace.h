/// \file
/// \ingroup diagnostics
/// Trace output: CGNTrace writes diagnostic messages, filtered by a 16-bit
/// category mask, to a trace file, to the standard output, or to both;
/// CGNGlobalTrace is the process-wide trace; CGNTraceFileLine describes a
/// source position.
///
/// One message is one line:
///
///     "12/31/26 23:59:58 :: TID 4711 :: label : message : Line    42 in file.cpp\n"
///
/// the date-time prefix unless DisableDateTime, the thread prefix only in a
/// threaded process, the label with " : " (in the file only when the label is
/// not empty; on the standard output always), the printf-style message, and
/// " : " with the source position when one is given and EnableFileLine is on.
///
/// What the file promises:
/// - Each line reaches the file with one append, so lines from several
///   threads, traces or processes sharing the file are never torn or mixed,
///   and the file is flushed: a line is in the file when WriteMsg returns.
/// - With a size cap, the first line written when the file has reached the
///   cap empties it first (the file then starts with that line). Traces that
///   reach the cap together, in any number of processes, empty the file once:
///   each checks the size again under a lock that only the emptying takes, so
///   no line written after the file was emptied is lost. Lines written before
///   it go with it, among them another process's line written a moment before.
/// - A write that fails or stops short (full disk) is dropped, and the next
///   line still starts on a line of its own.
///
/// Copies take the settings (outputs, file name, mask, cap, flags) but neither
/// the open file nor the mutex: a copy writes to a file only after its own
/// ResetOutput with a file name, and is shared between threads only after its
/// own Init.
#ifndef GNUTIL_GNTRACE_H
#define GNUTIL_GNTRACE_H

#include <stdarg.h>

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

struct _osmutex;
struct _gntracefile;

/// A trace: category-masked lines to a trace file with a size cap and/or the
/// standard output, optionally with date, time and source position.
class GNUTIL_API CGNTrace {
 public:
  /// A trace with every output off and no mask.
  CGNTrace();
  /// Copies the settings; the copy opens the same file itself.
  CGNTrace(const CGNTrace& other);
  /// Copies the settings, opening the other's file.
  CGNTrace& operator=(const CGNTrace& other);
  /// Closes the file and frees the mutex.
  virtual ~CGNTrace();

  /// Gives the trace its mutex (once). Call it after OSSetThreaded and before
  /// the trace is shared between threads. 1 when the trace has a mutex.
  unsigned char Init();

  /// Sets the category mask.
  void ResetMask(short mask);
  /// The category mask.
  short GetTraceSetting() const;

  /// output: bit value 1 the trace file, 2 the standard output, 0 off.
  /// Without a file name, file output needs a file already open; 0, or 2
  /// alone, closes the file and clears the name and the cap. 1 on success.
  unsigned char ResetOutput(char output);
  /// With file output, opens fileName for appending (unless it is the file
  /// already open) and sets the cap (bytes; 0 none). 0 when it cannot be
  /// opened; no file is open then.
  unsigned char ResetOutput(char output, CGNString& fileName, long maxSize);
  /// The output bits, the file name and the cap (each pointer may be null).
  void GetOutput(char* output, CGNString* fileName, long* maxSize) const;
  /// Sets the cap of the trace file in bytes (0: none).
  void ResetSize(long maxSize);

  /// Shows (on non-zero) or hides the source position in each line.
  void ResetFileLine(char on);
  ///@{
  /// Shows or hides the source position in each line.
  void EnableFileLine();
  void DisableFileLine();
  ///@}
  ///@{
  /// Shows or hides the date and time in each line.
  void EnableDateTime();
  void DisableDateTime();
  ///@}

  /// Whether a message of this category is written: some output is on, and
  /// the message's bits and the trace's mask are both non-zero and either all
  /// the message's bits are in the mask or the message carries all of them.
  unsigned char IsEnabled(short mask) const;

  /// Writes one line when the category is enabled. fileLine may be null
  /// (usually the text of a CGNTraceFileLine). A disabled category costs a
  /// mask test and no formatting.
  void WriteMsg(const char* fileLine, short mask, const CGNString& source, const char* format, ...);
  /// The same with the format text loaded from string resource stringId
  /// (OSLoadString); a missing resource gives an empty message.
  void WriteMsg(const char* fileLine, short mask, const CGNString& source, long stringId, ...);

 protected:
  char m_output;         ///< Output bits: 1 file, 2 standard output.
  CGNString m_fileName;  ///< The trace file's name.
  short m_mask;          ///< The category mask.
  _gntracefile* m_file;  ///< The open trace file, or null.
  long m_maxSize;        ///< The file's cap in bytes, 0 for none.
  char m_dateTime;       ///< Lines carry date and time.
  char m_fileLine;       ///< Lines carry the source position.
  _osmutex* m_pMutex;    ///< Held for a whole message; null until Init.

 private:
  void DoWriteMsg(const char* fileLine, const CGNString& source, const char* format,
                  va_list arguments);
  void WriteLine(const char* fileLine, const CGNString& source, const char* format,
                 va_list arguments);
  void CopySettings(const CGNTrace& other);
  void CloseFile();
};

/// The process-wide trace that the library itself writes to (assertions) and
/// that callers share. Instance makes it with the initial values (off, no
/// mask, no mutex: call Init in a threaded program) before threads start.
class GNUTIL_API CGNGlobalTrace : public CGNTrace {
 public:
  /// The process-wide trace, made on first use.
  static CGNGlobalTrace* Instance();
  /// Destroys it; the next Instance makes a fresh one.
  static void Free();
  ~CGNGlobalTrace() override;  ///< Frees what the object owns.

  static CGNGlobalTrace* m_pInstance;  ///< The trace, or null.
};

/// "Line %5d in %s" with the line and the file name.
class GNUTIL_API CGNTraceFileLine : public CGNString {
 public:
  /// The text for line and file (null: an empty name).
  CGNTraceFileLine(long line, const char* file);
  /// A copy of the text.
  CGNTraceFileLine(const CGNTraceFileLine& other);
  /// Copies the text.
  CGNTraceFileLine& operator=(const CGNTraceFileLine& other);
  ~CGNTraceFileLine() override;  ///< Frees what the object owns.
};

#endif  // GNUTIL_GNTRACE_H
