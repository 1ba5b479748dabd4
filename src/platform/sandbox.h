// sandbox.h - the fuzzing build's fence around the file system and the
// shell.  Built with ONDREL_FUZZ_SANDBOX, the interpreter opens only
// existing regular files and only for reading, and runs no shell command,
// so that no generated program can write, delete or run anything, or
// block on a device or a pipe.  Every other build passes straight through.
#pragma once
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ondrel {

#ifdef ONDREL_FUZZ_SANDBOX
inline constexpr bool plat_sandboxed = true;
#else
inline constexpr bool plat_sandboxed = false;
#endif

// fopen for the files a program names; a refused open fails as fopen does.
inline FILE* plat_fopen(const char* name, const char* mode) {
  if constexpr (plat_sandboxed) {
    struct stat st;
    bool read_only = mode[0] == 'r' && std::strchr(mode, '+') == nullptr;
    if (!read_only || stat(name, &st) != 0 || !S_ISREG(st.st_mode)) {
      errno = EACCES;
      return nullptr;
    }
  }
  return std::fopen(name, mode);
}

// system() for the commands a program gives; refused in the sandbox.
inline int plat_system(const char* command) {
  if constexpr (plat_sandboxed) {
    (void)command;
    return -1;
  }
  return std::system(command);
}

}  // namespace ondrel
