// tempdir.h - a fresh directory of the test's own under the test temporary
// directory, removed with everything in it when the test ends.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

struct TempDir {
  std::string path;
  TempDir() {
    std::string tmpl = testing::TempDir() + "ondrel-test-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) != nullptr) path = buf.data();
    EXPECT_FALSE(path.empty()) << "mkdtemp " << tmpl;
  }
  ~TempDir() {
    std::error_code e;
    if (!path.empty()) std::filesystem::remove_all(path, e);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// The working directory changed for the guard's lifetime.
struct InDir {
  std::filesystem::path old = std::filesystem::current_path();
  explicit InDir(const std::string& dir) { std::filesystem::current_path(dir); }
  ~InDir() {
    std::error_code e;
    std::filesystem::current_path(old, e);
  }
  InDir(const InDir&) = delete;
  InDir& operator=(const InDir&) = delete;
};
