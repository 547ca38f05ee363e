// Several values as one text, each followed by '|', so that a record's
// fields are compared with one expected text per case (bytes print as
// numbers, texts as they are).
#pragma once

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

}  // namespace gnutil_test
