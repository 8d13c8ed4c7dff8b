// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh folder under /tmp for one test, removed with everything in it afterwards, and whole-
// file byte helpers.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace zeltaro::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zeltaro-test-XXXXXX");
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // The names in the folder, to see that no temporary files are left behind.
  std::set<std::string> names() const {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(path_))
      out.insert(e.path().filename().string());
    return out;
  }

 private:
  std::string path_;
};

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Creates the file (and the folders above it) with bytes in it.
inline void touch(const std::string& path, const std::string& bytes = "") {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  writeBytes(path, bytes);
}

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace zeltaro::testing
