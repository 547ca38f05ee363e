// Several values as one text, each followed by '|', for lists of values of
// one kind (bytes print as numbers, texts as they are); and records whose
// fields are compared by name, so that a failure says which field differs.
#pragma once

#include <map>
#include <sstream>
#include <string>

namespace gnutil_test {

inline int JoinItem(unsigned char v) { return v; }
inline const char* JoinItem(const char* v) { return v != nullptr ? v : "(null)"; }
template <typename T>
const T& JoinItem(const T& v) {
  return v;
}

template <typename... T>
std::string Join(const T&... values) {
  std::ostringstream out;
  ((out << JoinItem(values) << '|'), ...);
  return out.str();
}

// One value as text, as Join writes it.
template <typename T>
std::string Text(const T& value) {
  std::ostringstream out;
  out << JoinItem(value);
  return out.str();
}

// A record's fields by name (the test prints both maps whole on failure).
using Record = std::map<std::string, std::string>;

// The record with some fields changed.
inline Record With(Record base, const Record& changes) {
  for (const auto& field : changes) base[field.first] = field.second;
  return base;
}

}  // namespace gnutil_test
