// process_guard.cpp - standard descriptors and SIGXFSZ at start-up.
#include "platform/process_guard.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace ondrel {

// The signal is caught rather than ignored: a caught signal returns to its
// default action in a program started by exec-shell-command, which thus
// meets the file-size limit as it would outside the interpreter.
static void on_file_size(int) {}

void plat_guard_process() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free descriptor is this one: the lower ones are open.
    int got = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (got > fd) {
      dup2(got, fd);
      close(got);
    }
  }
  struct sigaction sa {};
  sa.sa_handler = on_file_size;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGXFSZ, &sa, nullptr);
}

}  // namespace ondrel
