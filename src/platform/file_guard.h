// file_guard.h - a stream closed however its scope is left (an error
// unwinding through a load must not leave the file open).
#pragma once
#include <cstdio>

namespace ondrel {

struct FileGuard {
  FILE* fp;
  explicit FileGuard(FILE* f) : fp(f) {}
  ~FileGuard() {
    if (fp != nullptr) std::fclose(fp);
  }
  FileGuard(const FileGuard&) = delete;
  FileGuard& operator=(const FileGuard&) = delete;
};

}  // namespace ondrel
