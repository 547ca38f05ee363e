/// \file
/// \ingroup ossvc
/// The configuration store: named settings in initialisation files, in the
/// system's own initialisation file and in the registry below
/// HKEY_LOCAL_MACHINE.
///
/// Every setting is addressed by a section, a key and a file. For the registry
/// functions the file is a key path below HKEY_LOCAL_MACHINE, the section a
/// sub-key of it (the path is "file\section", or the file alone when the
/// section is empty) and the key the name of a text value. Numbers travel as
/// decimal text and read back as atoi reads them ("12abc" is 12, "abc" is 0).
///
/// Windows: the system's profile functions (GetPrivateProfileStringA and
/// friends) and the real registry.
///
/// Linux: the library's own stores, which behave the same wherever a program
/// can tell (docs/CONFIG.md has the details and the file formats):
///   - initialisation files follow the Windows rules: names without regard to
///     case, blanks trimmed, a pair of quotes around a value removed, ';'
///     comments, and a write changes one line and keeps the rest of the file;
///   - a file name without a directory lives in the directory of the system's
///     initialisation file, as on Windows it lives in the Windows directory;
///   - the system's initialisation file is /etc/gnutil/system.ini and the
///     registry store is /var/lib/gnutil/registry/HKEY_LOCAL_MACHINE.reg,
///     unless the program moves them with OSSetSystemConfigFile and
///     OSSetSystemConfigRegRoot;
///   - every write replaces its file atomically under an advisory lock, so
///     writers in several processes never lose each other's updates and a
///     crash leaves either the old or the new file.
///
/// Values read from initialisation files are cut to 1023 bytes (on Linux never
/// inside a multibyte character); registry values whose data, terminator
/// included, is longer than 1024 bytes are not read. Key paths of 1024 bytes or more (256 for
/// OSDelSystemConfigReg) are refused with status 0.
#ifndef GNUTIL_OSCONFIG_H
#define GNUTIL_OSCONFIG_H

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

class CGNStringList;

///@{
/// Reads a text or number from section and key of the private
/// initialisation file `file`. Both forms return 1; a missing file, section
/// or key gives the default.
GNUTIL_API long OSGetConfig(CGNString& value, const CGNString& def, const CGNString& section,
                            const CGNString& key, const CGNString& file);
GNUTIL_API long OSGetConfig(long& value, long def, const CGNString& section, const CGNString& key,
                            const CGNString& file);
///@}
///@{
/// Writes a text or number to section and key of the private
/// initialisation file `file`, replacing the file atomically under a lock.
/// Both forms return 1, also when the file could not be written (callers rely
/// on that). A write that could not be read back as written (a line break in
/// any argument, a key holding '=' or starting with '[' or ';') is not made.
GNUTIL_API int OSSetConfig(const CGNString& value, const CGNString& section, const CGNString& key,
                           const CGNString& file);
GNUTIL_API int OSSetConfig(const int& value, const CGNString& section, const CGNString& key,
                           const CGNString& file);
///@}

/// Reads from the system's own initialisation file (win.ini on Windows;
/// /etc/gnutil/system.ini on Linux unless moved). Returns 1; a missing
/// value gives the default.
GNUTIL_API int OSGetSystemConfig(CGNString& value, const CGNString& def, const CGNString& section,
                                 const CGNString& key);
/// Writes to the system's own initialisation file. Returns 1.
GNUTIL_API int OSSetSystemConfig(const CGNString& value, const CGNString& section,
                                 const CGNString& key);

/// One registry value: 1 found (value set), 0 not (value holds the default).
GNUTIL_API int OSGetSystemConfigReg(CGNString& value, const CGNString& def,
                                    const CGNString& section, const CGNString& key,
                                    const CGNString& file);
/// Appends every value of the key to names and, for each name appended, its
/// text to values, so the two lists stay parallel. The lists are not cleared
/// first. 1 when the key exists, 0 (lists untouched) when not.
GNUTIL_API int OSGetSystemConfigReg(const CGNString& section, CGNStringList& names,
                                    CGNStringList& values, const CGNString& file);
/// One registry value read as a number: 1 found, 0 not (value holds def).
GNUTIL_API int OSGetSystemConfigReg(long& value, long def, const CGNString& section,
                                    const CGNString& key, const CGNString& file);
///@{
/// Stores a text value (the number form as "%d"), creating the key and its
/// parents. 1 stored, 0 not.
GNUTIL_API int OSSetSystemConfigReg(const CGNString& value, const CGNString& section,
                                    const CGNString& key, const CGNString& file);
GNUTIL_API int OSSetSystemConfigReg(int& value, const CGNString& section, const CGNString& key,
                                    const CGNString& file);
///@}
/// Deletes one value; the key itself stays. 1 deleted, 0 not (also when there
/// was no such value).
GNUTIL_API int OSDelSystemConfigReg(const CGNString& section, const CGNString& key,
                                    const CGNString& file);

///@{
/// Program-level settings (Linux): where the system's initialisation file and
/// the registry store live. A program, or a test that must not touch the
/// machine's settings, calls these before any other configuration call and
/// before it starts threads; null restores the default place. The store's
/// directory and file are created on the first write. Return 1 when the place
/// was set, 0 on Windows, where the system's own stores are always used.
GNUTIL_API unsigned char OSSetSystemConfigFile(const char* path);
GNUTIL_API unsigned char OSSetSystemConfigRegRoot(const char* directory);
///@}

#endif  // GNUTIL_OSCONFIG_H
