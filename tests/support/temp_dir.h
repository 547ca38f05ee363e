// A directory of its own for one test, removed with everything in it when the
// test ends. Public API only (the standard library): any suite may use it.
#ifndef GNUTIL_TESTS_SUPPORT_TEMP_DIR_H
#define GNUTIL_TESTS_SUPPORT_TEMP_DIR_H

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace gnutil_test {

class TempDir {
 public:
  explicit TempDir(const std::string& stem = "gnutil-test") {
    const std::string unique =
        std::to_string(std::random_device{}()) + "-" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
    path_ = std::filesystem::temp_directory_path() / (stem + "-" + unique);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The path of name inside the directory, as the library's functions take it.
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return File(name); }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// The whole content of a file in binary; empty when it cannot be read.
inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// As WriteWholeFile, failing the test when the file cannot be written.
inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.good()) ADD_FAILURE() << "cannot write " << path;
}

inline bool Exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_TEMP_DIR_H
