// file_replace.cpp - write a temporary file beside the target, then rename.
#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "platform/sandbox.h"

namespace ondrel {

// The directory part of a path with its "/", or "" for the current one.
static std::string dir_of(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A short name of its own (the target's name may already be as long as a
// name can be), unpredictable enough that a clash is rare.  O_EXCL makes
// the file anew or fails: a file or link planted under the name is never
// opened.
static int create_temp(const std::string& dir, std::string& name) {
  static unsigned serial = 0;
  uint64_t seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                  (static_cast<uint64_t>(getpid()) << 32);
  for (int attempt = 0; attempt < 100; ++attempt) {
    char tail[32];
    seed = seed * 6364136223846793005u + 1442695040888963407u + ++serial;
    std::snprintf(tail, sizeof tail, ".ondrel-%08x.tmp", static_cast<unsigned>(seed >> 32));
    name = dir + tail;
    int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

FileReplace::~FileReplace() {
  if (fd >= 0) close(fd);
  if (!temp.empty()) unlink(temp.c_str());
}

bool plat_replace_begin(FileReplace& r, const char* target) {
  if constexpr (plat_sandboxed) {
    errno = EACCES;
    return false;
  }
  // A file that could not be opened for writing is not replaced either.
  struct stat st;
  bool existing = lstat(target, &st) == 0 && S_ISREG(st.st_mode);
  if (existing && access(target, W_OK) != 0) return false;
  r.target = target;
  std::string name;
  int fd = create_temp(dir_of(r.target), name);
  if (fd < 0) return false;
  r.fd = fd;
  r.temp = name;
  if (existing) fchmod(fd, st.st_mode & 07777);
  return true;
}

bool plat_replace_write(FileReplace& r, const void* data, size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    ssize_t w = write(r.fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

bool plat_replace_commit(FileReplace& r) {
  bool ok = fsync(r.fd) == 0;
  ok = close(r.fd) == 0 && ok;
  r.fd = -1;
  if (!ok || std::rename(r.temp.c_str(), r.target.c_str()) != 0) return false;  // the destructor removes temp
  r.temp.clear();
  return true;
}

}  // namespace ondrel
