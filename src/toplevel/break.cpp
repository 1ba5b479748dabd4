// break.cpp - the SIGINT handler: Ctrl+C sets a flag the interpreter polls.
#include <signal.h>
#include <unistd.h>

#include "memory/state.h"
#include "toplevel/toplevel.h"

namespace ondrel {

static struct sigaction previous;

static void on_break(int) {
  // Only async-signal-safe work here: the newline and the flag.
  ssize_t r = write(STDOUT_FILENO, "\n", 1);
  (void)r;
  vm.break_flag = 1;
}

void tl_install_break() {
  struct sigaction sa {};
  sa.sa_handler = on_break;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = 0;  // no SA_RESTART: a blocked console read returns EINTR
  sigaction(SIGINT, &sa, &previous);
}

void tl_restore_break() { sigaction(SIGINT, &previous, nullptr); }

}  // namespace ondrel
