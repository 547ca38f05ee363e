// The registry store that stands in for HKEY_LOCAL_MACHINE where the system
// has no registry: a tree of keys holding named text values, kept as one text
// file (the format is described in docs/CONFIG.md).
//
// Like the Windows registry, key and value names compare without regard to
// the case of ASCII letters, a key's parents exist once the key does, and
// values list in a stable order: the order in which they were first set. This
// class is the in-memory model and its text form; reading, locking and
// replacing the file belong to the store (platform/posix/config.cpp).
// Characters are stepped over with the caller's step (its current code set).
#ifndef GNUTIL_SRC_PLATFORM_REGSTORE_H
#define GNUTIL_SRC_PLATFORM_REGSTORE_H

#include <stddef.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/charstep.h"

namespace gnutil::reg {

// Limits that Windows sets and programs may rely on being refused.
constexpr size_t kMaxKeyNameBytes = 255;
constexpr size_t kMaxValueNameBytes = 16383;

struct Value {
  std::string name;
  std::string data;
};

struct Key {
  std::vector<std::string> path;  // components as first written; empty: the root
  std::vector<Value> values;      // in listing order
};

// Splits a key path at backslashes that are characters of their own (never
// at a trail byte 0x5C of a double-byte character). Repeated and trailing backslashes are
// ignored; the path is refused (false) when it starts with a backslash or a
// component is longer than kMaxKeyNameBytes or holds a control byte.
bool SplitPath(std::string_view path, std::vector<std::string>* parts, CharStep step);

class Store {
 public:
  explicit Store(CharStep step);

  // Adds the keys and values of a store file. False when some line could not
  // be understood; everything else has still been read.
  bool Parse(std::string_view text);
  std::string Serialize() const;

  // The key at path, or null. The root (empty path) always exists.
  const Key* FindKey(const std::vector<std::string>& path) const;
  Key* FindKey(const std::vector<std::string>& path);
  // The key at path, created with its missing parents.
  Key* CreateKey(const std::vector<std::string>& path);

  const Value* FindValue(const Key& key, std::string_view name) const;
  // Sets or adds a value; false when its name is too long.
  bool SetValue(Key* key, std::string_view name, std::string_view data) const;
  // False when the key has no such value.
  bool DeleteValue(Key* key, std::string_view name) const;

 private:
  bool SamePath(const std::vector<std::string>& a, const std::vector<std::string>& b) const;

  CharStep step_;
  // Keys in creation order; the root is first.
  std::vector<std::unique_ptr<Key>> keys_;
};

}  // namespace gnutil::reg

#endif  // GNUTIL_SRC_PLATFORM_REGSTORE_H
