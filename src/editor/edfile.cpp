// edfile.cpp - loading and saving the editor's text, and the indentation
// of a displayed definition.
//
// Saving never damages what is on disk: the text goes to a new temporary
// file beside the target, created so that nothing already there (a link
// planted under its name) is followed, and only a complete, flushed copy
// replaces the target by rename.  The new file takes the old one's mode
// and, where the process may, its owner; a symbolic link is written
// through to the file it names.  Any failure leaves the target as it was.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "platform/file_guard.h"

namespace ondrel {

namespace {

// SIGXFSZ held back on this thread while a file is written, so that a
// file-size limit makes the write fail (EFBIG) instead of ending the
// process; a signal raised meanwhile is taken before the mask goes back.
struct FileSizeSignalHold {
  sigset_t old{};
  sigset_t xfsz{};
  FileSizeSignalHold() {
    sigemptyset(&xfsz);
    sigaddset(&xfsz, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &xfsz, &old);
  }
  ~FileSizeSignalHold() {
    const timespec none{};
    while (sigtimedwait(&xfsz, nullptr, &none) == SIGXFSZ) {}
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
  }
  FileSizeSignalHold(const FileSizeSignalHold&) = delete;
  FileSizeSignalHold& operator=(const FileSizeSignalHold&) = delete;
};

constexpr int ED_MAX_LINKS = 40;  // a longer chain is taken for a loop

// The file that writing `path` changes: the end of its chain of symbolic
// links (a name that does not exist yet ends it too).  False for a loop or
// a link that cannot be read.
bool ed_link_target(std::string path, std::string& out) {
  for (int hops = 0; hops < ED_MAX_LINKS; ++hops) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      out = path;
      return true;
    }
    std::vector<char> buf(static_cast<size_t>(st.st_size) + 2);
    ssize_t n = readlink(path.c_str(), buf.data(), buf.size());
    if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return false;
    std::string link(buf.data(), static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    if (link[0] != '/' && slash != std::string::npos) link.insert(0, path, 0, slash + 1);
    path = link;
  }
  return false;
}

std::string ed_directory_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A new, empty file in `dir` that no one else can have named: created
// exclusively, never through a link.  -1 when none can be made.
int ed_create_temporary(const std::string& dir, std::string& name) {
  static std::atomic<uint32_t> serial{0};
  for (int tries = 0; tries < 100; ++tries) {
    name = dir + "/.ondrel-" + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".tmp";
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool ed_write_all(int fd, std::string_view bytes) {
  FileSizeSignalHold hold;
  for (size_t done = 0; done < bytes.size();) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return fsync(fd) == 0;
}

}  // namespace

bool ed_read_file(const char* path, std::string& out) {
  FileGuard file(std::fopen(path, "r"));
  if (file.fp == nullptr) return false;
  std::string text;
  int prev = 0;
  for (int c; (c = std::fgetc(file.fp)) != EOF; prev = c) {
    if (c == '\n' && prev != '\r') text += '\r';
    text += static_cast<char>(c);
  }
  if (std::ferror(file.fp)) return false;
  out = std::move(text);
  return true;
}

bool ed_replace_file(const char* path, std::string_view bytes, bool through_links) {
  size_t length = std::strlen(path);
  if (length == 0 || length >= static_cast<size_t>(ED_NAME_BUF)) return false;
  std::string target = path;
  if (through_links && !ed_link_target(target, target)) return false;
  struct stat old {};
  bool exists = lstat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return false;
  bool regular = exists && S_ISREG(old.st_mode);
  if (exists && !regular && !S_ISLNK(old.st_mode)) return false;  // a directory, a device
  // A file the user may not write stays as it is; so does one with no
  // write permission at all, even for a process that may write anything.
  if (regular && (access(target.c_str(), W_OK) != 0 || (old.st_mode & 0222) == 0)) return false;
  std::string temp;
  int fd = ed_create_temporary(ed_directory_of(target), temp);
  if (fd < 0) return false;
  bool ok = true;
  if (regular) {
    (void)!fchown(fd, old.st_uid, old.st_gid);  // where the process may
    ok = fchmod(fd, old.st_mode & 07777) == 0;
  }
  ok = ok && ed_write_all(fd, bytes);
  ok = close(fd) == 0 && ok;
  ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

bool ed_write_file(const char* path, const std::string& text, bool through_links) {
  std::string bytes;
  bytes.reserve(text.size());
  for (char c : text)
    if (c != '\r') bytes += c;
  return ed_replace_file(path, bytes, through_links);
}

std::string ed_indent(const std::string& text) {
  std::string out;
  int depth = 0;
  char prev = 0;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    if (prev == '(') depth += 3;
    if (prev == ')') {
      if (depth > 0) depth -= 3;
      // A closed list ends its line: the next element starts a new one,
      // indented by the depth, a space before it giving way to the break.
      if (text[i] != ')') {
        out += "\r\n";
        out.append(static_cast<size_t>(depth), ' ');
        if (text[i] == ' ') ++i;
      }
    }
    if (i >= n) break;
    prev = text[i];
    out += prev;
    ++i;
  }
  out += "\r\n";
  return out;
}

}  // namespace ondrel
