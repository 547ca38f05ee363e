// The configuration store's public functions: fixed-size working buffers,
// key paths, and numbers as decimal text. The stores themselves sit behind
// the platform seam (platform/config.h).
#include "platform/config.h"

#include <limits.h>
#include <stdio.h>

#include <new>

#include "genutil/textscan.h"
#include "gnutil/gnlist.h"
#include "gnutil/osconfig.h"
#include "os/config/config_internal.h"

namespace gnutil {
namespace {

constexpr size_t kProfileBuffer = 1024;

}  // namespace

// The stores allocate as they read and edit. Running out of memory reaches
// the caller as the library's own exception; no other exception leaves the
// library: the call then fails as for an unreadable store (value of
// `failed`).
template <typename F>
auto Guarded(F body, decltype(body()) failed) -> decltype(body()) {
  try {
    return body();
  } catch (const GMemoryException&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw GMemoryException();
  } catch (...) {
    return failed;
  }
}

// ProfileRead that gives the default when the store could not be read.
void ReadProfile(const char* file, const char* section, const char* key, const char* def,
                 char* buffer, size_t size) {
  bool read = Guarded(
      [&] {
        platform::ProfileRead(file, section, key, def, buffer, size, CharLength);
        return true;
      },
      false);
  if (!read) snprintf(buffer, size, "%s", def);
}

bool BuildRegistryPath(char* buffer, size_t size, const char* file, const char* section) {
  int n = (section[0] == '\0') ? snprintf(buffer, size, "%s", file)
                               : snprintf(buffer, size, "%s\\%s", file, section);
  return n >= 0 && static_cast<size_t>(n) < size;
}

long DecimalTextToLong(const char* text) {
  // atoi's rules, but an out-of-range number saturates instead of being
  // undefined, as the Windows runtime's atoi does.
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    v = v * 10 + (*p - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) v = -v;
  if (v > INT_MAX) v = INT_MAX;
  if (v < INT_MIN) v = INT_MIN;
  return static_cast<long>(v);
}

}  // namespace gnutil

using gnutil::BuildRegistryPath;
using gnutil::DecimalTextToLong;
using gnutil::kRegistryDeletePathBuffer;
using gnutil::kRegistryPathBuffer;
using gnutil::kRegistryValueBuffer;

long OSGetConfig(CGNString& value, const CGNString& def, const CGNString& section,
                 const CGNString& key, const CGNString& file) {
  char buffer[gnutil::kProfileBuffer];
  gnutil::ReadProfile(file, section, key, def, buffer, sizeof buffer);
  value = buffer;
  return 1;
}

long OSGetConfig(long& value, long def, const CGNString& section, const CGNString& key,
                 const CGNString& file) {
  char text[32];
  snprintf(text, sizeof text, "%ld", def);
  char buffer[gnutil::kProfileBuffer];
  gnutil::ReadProfile(file, section, key, text, buffer, sizeof buffer);
  value = DecimalTextToLong(buffer);
  return 1;
}

int OSSetConfig(const CGNString& value, const CGNString& section, const CGNString& key,
                const CGNString& file) {
  gnutil::Guarded(
      [&] { return gnutil::platform::ProfileWrite(file, section, key, value, gnutil::CharLength); },
      false);
  return 1;
}

int OSSetConfig(const int& value, const CGNString& section, const CGNString& key,
                const CGNString& file) {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  return OSSetConfig(CGNString(text), section, key, file);
}

int OSGetSystemConfig(CGNString& value, const CGNString& def, const CGNString& section,
                      const CGNString& key) {
  char buffer[gnutil::kProfileBuffer];
  gnutil::ReadProfile(nullptr, section, key, def, buffer, sizeof buffer);
  value = buffer;
  return 1;
}

int OSSetSystemConfig(const CGNString& value, const CGNString& section, const CGNString& key) {
  gnutil::Guarded(
      [&] {
        return gnutil::platform::ProfileWrite(nullptr, section, key, value, gnutil::CharLength);
      },
      false);
  return 1;
}

int OSGetSystemConfigReg(CGNString& value, const CGNString& def, const CGNString& section,
                         const CGNString& key, const CGNString& file) {
  CGNString fallback(def);  // value and def may be the same object
  value = fallback;
  char path[kRegistryPathBuffer];
  if (!BuildRegistryPath(path, sizeof path, file, section)) return 0;
  char buffer[kRegistryValueBuffer];
  if (!gnutil::Guarded(
          [&] {
            return gnutil::platform::RegistryRead(path, key, buffer, sizeof buffer,
                                                  gnutil::CharLength);
          },
          false))
    return 0;
  value = buffer;
  return 1;
}

int OSGetSystemConfigReg(long& value, long def, const CGNString& section, const CGNString& key,
                         const CGNString& file) {
  char text[32];
  snprintf(text, sizeof text, "%ld", def);
  CGNString read;
  if (!OSGetSystemConfigReg(read, CGNString(text), section, key, file)) {
    value = def;
    return 0;
  }
  value = DecimalTextToLong(read);
  return 1;
}

int OSSetSystemConfigReg(const CGNString& value, const CGNString& section, const CGNString& key,
                         const CGNString& file) {
  char path[kRegistryPathBuffer];
  if (!BuildRegistryPath(path, sizeof path, file, section)) return 0;
  return gnutil::Guarded(
             [&] { return gnutil::platform::RegistryWrite(path, key, value, gnutil::CharLength); },
             false)
             ? 1
             : 0;
}

int OSSetSystemConfigReg(int& value, const CGNString& section, const CGNString& key,
                         const CGNString& file) {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  return OSSetSystemConfigReg(CGNString(text), section, key, file);
}

int OSDelSystemConfigReg(const CGNString& section, const CGNString& key, const CGNString& file) {
  char path[kRegistryDeletePathBuffer];
  if (!BuildRegistryPath(path, sizeof path, file, section)) return 0;
  return gnutil::Guarded(
             [&] { return gnutil::platform::RegistryDelete(path, key, gnutil::CharLength); }, false)
             ? 1
             : 0;
}

unsigned char OSSetSystemConfigFile(const char* path) {
  return gnutil::platform::SetSystemProfilePath(path) ? 1 : 0;
}

unsigned char OSSetSystemConfigRegRoot(const char* directory) {
  return gnutil::platform::SetRegistryRoot(directory) ? 1 : 0;
}

int OSGetSystemConfigReg(const CGNString& section, CGNStringList& names, CGNStringList& values,
                         const CGNString& file) {
  char path[kRegistryPathBuffer];
  if (!BuildRegistryPath(path, sizeof path, file, section)) return 0;
  bool opened = gnutil::Guarded(
      [&] {
        return gnutil::platform::RegistryList(
            path, gnutil::kRegistryNameBuffer, kRegistryValueBuffer,
            [&](const char* name, const char* data) {
              // A value's text goes in only with its name, so the
              // lists stay parallel.
              if (names.AddItem(CGNString(name))) values.AddItem(CGNString(data));
            },
            gnutil::CharLength);
      },
      false);
  return opened ? 1 : 0;
}
