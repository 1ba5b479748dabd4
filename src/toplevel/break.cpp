// break.cpp - the SIGINT handler, and the hooks through which the console
// asks the interpreter about breaks and the editor.
#include <signal.h>
#include <unistd.h>

#include "memory/error.h"
#include "memory/state.h"
#include "platform/console.h"
#include "toplevel/toplevel.h"

namespace ondrel {

static struct sigaction previous;

static void on_break(int) {
  // Only async-signal-safe work here: the newline and the flag (a
  // lock-free atomic).
  ssize_t r = write(STDOUT_FILENO, "\n", 1);
  (void)r;
  vm_request_break();
}

void tl_install_break() {
  struct sigaction sa {};
  sa.sa_handler = on_break;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = 0;  // no SA_RESTART: a blocked console read returns EINTR
  sigaction(SIGINT, &sa, &previous);
}

void tl_restore_break() { sigaction(SIGINT, &previous, nullptr); }

// A break during an editor evaluation is that evaluation's: the console
// does not see it.
static bool break_pending() { return vm_break_pending() && vm.loop_state.load() != 2; }
static bool editor_busy() { return vm.loop_state.load() == 2; }

void tl_install_hooks() { con_hooks = ConHooks{break_pending, mem_check_break, editor_busy}; }

}  // namespace ondrel
