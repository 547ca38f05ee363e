// Language resource libraries, help files, font character sets and the
// input method: the portable half. Everything that touches a module, a file
// or the input method manager goes through platform_resource.h.
//
// Candidate paths for a file F beside module M, in the order they are tried:
//   <dir of M>ResDLLs<sep><language id %04x><sep>F
//   <dir of M>ResDLLs<sep><primary language %04x><sep>F
//   <dir of M>ResDLLs<sep>0009<sep>F            (help files only)
//   <dir of M>F                                 (help files only)
// where <dir of M> keeps its trailing separator, so a module at the root of
// a file system stays rooted, and a module name without any separator gives
// paths relative to the current directory.
#include "platform/resource.h"

#include <stdio.h>

#include <atomic>
#include <string>

#include "gnutil/mbstring.h"
#include "gnutil/osresource.h"
#include "platform/langid.h"
#include "platform/path.h"

namespace {

constexpr int kResourceSlots = 10;

// Filled from slot 0 on by OSAttachLocaleResDLL, never cleared. A slot is
// claimed by compare-and-swap, so that threads attaching at once each get
// their own, and a thread loading strings meanwhile sees whole handles.
std::atomic<long> g_resourceSlots[kResourceSlots] = {};

// Length of the directory part of a file name, separator included; 0 when
// there is none. The search goes by characters, because in a double-byte code
// set the second byte of a character can equal the separator.
size_t DirectoryLength(const std::string& name, char sep) {
  const char* last = mbstrrchr(name.c_str(), static_cast<unsigned char>(sep));
  return last == nullptr ? 0 : static_cast<size_t>(last - name.c_str()) + 1;
}

std::string ModuleDirectory(long module) {
  std::string name = gnutil::platform::ModuleFileName(module);
  return name.substr(0, DirectoryLength(name, gnutil::platform::PathSeparator()));
}

std::string LanguageDirName(unsigned int langId) {
  char buf[16];
  snprintf(buf, sizeof buf, "%04x", langId);
  return buf;
}

std::string Candidate(const std::string& dir, const std::string& language, const char* file) {
  const char sep = gnutil::platform::PathSeparator();
  std::string path = dir;
  if (!language.empty()) {
    path += "ResDLLs";
    path += sep;
    path += language;
    path += sep;
  }
  path += file;
  return path;
}

long AttachLibrary(long module, const char* fileName, CGNString& path) {
  if (fileName == nullptr) fileName = "";
  const unsigned int lang = gnutil::platform::UserDefaultLangID();
  const std::string dir = ModuleDirectory(module);
  std::string candidate = Candidate(dir, LanguageDirName(lang), fileName);
  long handle = gnutil::platform::LoadResourceLibrary(candidate.c_str());
  if (handle == 0) {
    candidate = Candidate(dir, LanguageDirName(lang & 0x3ff), fileName);
    handle = gnutil::platform::LoadResourceLibrary(candidate.c_str());
  }
  path = candidate.c_str();
  return handle;
}

bool LanguageNeedsInputMethod() {
  const unsigned int primary = gnutil::platform::UserDefaultLangID() & 0x3ff;
  return primary == 17 || primary == 18 || primary == 4;  // Japanese, Korean, Chinese
}

}  // namespace

long OSAttachLocaleResDLL(long module, const char* fileName, CGNString& path) {
  long handle = AttachLibrary(module, fileName, path);
  if (handle != 0) {
    for (std::atomic<long>& slot : g_resourceSlots) {
      long empty = 0;
      if (slot.compare_exchange_strong(empty, handle)) break;
    }
  }
  return handle;
}

long AttachLocaleResDLL(long module, const char* fileName, CGNString& path) {
  return AttachLibrary(module, fileName, path);
}

int OSSetUpHelpPath(long module, const char* fileName, CGNString& path) {
  if (fileName == nullptr) fileName = "";
  const unsigned int lang = gnutil::platform::UserDefaultLangID();
  const std::string dir = ModuleDirectory(module);
  const std::string candidates[] = {
      Candidate(dir, LanguageDirName(lang), fileName),
      Candidate(dir, LanguageDirName(lang & 0x3ff), fileName),
      Candidate(dir, LanguageDirName(0x0009), fileName),
      Candidate(dir, std::string(), fileName),
  };
  for (const std::string& candidate : candidates) {
    if (gnutil::platform::PathExists(candidate.c_str())) {
      path = candidate.c_str();
      return 1;
    }
  }
  path = candidates[3].c_str();
  return 0;
}

int OSLoadString(CGNString& text, long id) {
  std::string found;
  bool ok = false;
  // An empty slot stands for the program itself and ends the search.
  for (int i = 0; i < kResourceSlots && !ok; ++i) {
    const long module = g_resourceSlots[i].load();
    ok = gnutil::platform::LoadResourceString(module, id, &found);
    if (module == 0) break;
  }
  if (!ok) return 0;
  text = found.c_str();
  return static_cast<int>(text.GetLength());
}

// The string class's resource form: the text comes from the resource
// libraries, which this floor owns; the placeholders are the string class's.
void CGNString::LoadStringResource(long id, const char* arg1, const char* arg2, const char* arg3,
                                   const char* arg4, const char* arg5, const char* arg6,
                                   const char* arg7, const char* arg8, const char* arg9,
                                   const char* arg10) {
  OSLoadString(*this, id);
  const char* const args[10] = {arg1, arg2, arg3, arg4, arg5, arg6, arg7, arg8, arg9, arg10};
  ReplacePlaceholders(args);
}

long OSLangIDToFontCharSet(long langId) {
  const long primary = langId & 0x3ff;
  const long sub = langId & 0xfc00;
  switch (primary) {
    case 2:   // Bulgarian
    case 25:  // Russian
      return 204;
    case 4:  // Chinese: PRC and Singapore simplified, the others traditional
      return (sub == 0x0800 || sub == 0x1000) ? 134 : 136;
    case 5:   // Czech
    case 14:  // Hungarian
    case 21:  // Polish
    case 24:  // Romanian
    case 27:  // Slovak
    case 36:  // Slovenian
      return 238;
    case 8:  // Greek
      return 161;
    case 17:  // Japanese
      return 128;
    case 18:  // Korean
      return 129;
    case 31:  // Turkish
      return 162;
    default:
      return 0;
  }
}

unsigned char LangIDToFontCharSet(unsigned short langId) {
  return static_cast<unsigned char>(OSLangIDToFontCharSet(langId));
}

int OSIMEOpenClose(long window, int open) {
  if (!LanguageNeedsInputMethod() || !gnutil::platform::HasInputMethodManager()) return 1;
  return gnutil::platform::ImeSetOpenStatus(window, open) < 0 ? 0 : 1;
}

int OSIMEGetState(long window) {
  if (!LanguageNeedsInputMethod() || !gnutil::platform::HasInputMethodManager()) return 0;
  const int state = gnutil::platform::ImeGetOpenStatus(window);
  return state < 0 ? 0 : state;
}
