/// \file
/// \ingroup ossvc
/// Language resource libraries, help files and the input method.
///
/// A program keeps its user-visible texts and help files per language in a
/// tree beside itself:
///
///     <program dir>/ResDLLs/<language id as %04x>/<file>
///
/// for example ResDLLs/0411/app.dll for Japanese (Japan) and ResDLLs/0011/ for
/// any Japanese. Resource libraries are attached once at start-up; OSLoadString
/// then looks a string up in them in attachment order and last in the program
/// itself.
///
/// Module handles are `long` values. 0 stands for the program itself. On
/// Windows a handle is an HMODULE; on Linux it is a handle as returned by
/// dlopen (or by OSAttachLocaleResDLL).
///
/// On Linux a resource library is a shared object carrying a string table,
/// built from the same .rc STRINGTABLE source as the Windows DLL with the CMake
/// helpers gnutil_add_resource_library and gnutil_add_program_strings (see
/// gnutilResources.cmake). Its texts are stored as UTF-8 and handed out in the
/// encoding of the process locale, the way LoadStringA hands them out in the
/// ANSI code page. The user's default language id comes from the user's locale
/// (LC_ALL, LC_MESSAGES, LANG): ja_JP gives 0x0411, en_US 0x0409; C and POSIX
/// count as English (0x0409), a language the library does not know as 0x0c00.
/// Paths use the platform's separator ("\" on Windows, "/" on Linux).
///
/// Linux has no input method manager that a library could drive: there
/// OSIMEOpenClose always returns 1 (nothing needed) and OSIMEGetState always 0
/// (closed), as on Windows for a user whose language needs no input method.
#ifndef GNUTIL_OSRESOURCE_H
#define GNUTIL_OSRESOURCE_H

#include "gnutil/export.h"
#include "gnutil/gnstring.h"

#if defined(DOXYGEN)
/// The file name suffix of a resource library on this platform (".dll" or
/// ".so"), for callers that name their libraries portably ("app"
/// GNUTIL_RESLIB_SUFFIX).
#define GNUTIL_RESLIB_SUFFIX
#elif defined(_WIN32)
#define GNUTIL_RESLIB_SUFFIX ".dll"
#else
#define GNUTIL_RESLIB_SUFFIX ".so"
#endif

/// Loads the resource library `fileName` for the user's language from the
/// ResDLLs tree beside `module`: first the full language id, then the primary
/// language alone. `path` receives the last candidate tried. Returns the
/// library's module handle, or 0. The handle is kept in a table of ten slots
/// that OSLoadString searches; when the table is full it is not kept.
GNUTIL_API long OSAttachLocaleResDLL(long module, const char* fileName, CGNString& path);

/// As OSAttachLocaleResDLL, without putting the library into the table.
GNUTIL_API long AttachLocaleResDLL(long module, const char* fileName, CGNString& path);

/// Finds the help file `fileName`: `ResDLLs/<language id>`,
/// `ResDLLs/<primary language>`, `ResDLLs/0009` (English), then beside the
/// module. `path` receives
/// the last candidate tested. Returns 1 when the file exists there, else 0.
GNUTIL_API int OSSetUpHelpPath(long module, const char* fileName, CGNString& path);

/// Loads string resource `id` from the attached libraries in attachment order,
/// then from the program itself. Returns the text's length in bytes, or 0 when
/// no module has the string (the text is then left unchanged).
GNUTIL_API int OSLoadString(CGNString& text, long id);

/// The character set of the fonts for a language id (128 Japanese, 129 Korean,
/// 134 Simplified and 136 Traditional Chinese, 204 Cyrillic, 238 Central
/// European, 161 Greek, 162 Turkish, 0 any other).
///@{
GNUTIL_API long OSLangIDToFontCharSet(long langId);
GNUTIL_API unsigned char LangIDToFontCharSet(unsigned short langId);
///@}

/// Opens (open != 0) or closes the input method of a window for Japanese,
/// Korean and Chinese users. Returns 1 when done or not needed, 0 on failure.
GNUTIL_API int OSIMEOpenClose(long window, int open);

/// The open state of a window's input method; 0 for users whose language
/// needs none (and always on Linux).
GNUTIL_API int OSIMEGetState(long window);

#endif  // GNUTIL_OSRESOURCE_H
