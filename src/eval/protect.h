// protect.h - the protected call: the one place an unwind is caught.
#pragma once
#include "memory/error.h"

namespace ondrel {

// Put the interpreter back after an unwind.  An error: its report, then the
// reset.  A quit: the ports that primitives left open are settled.
void ev_recover(const Unwind& u);

// Run fn under a recovery point: 0 when it returned, otherwise the unwind
// code after ev_recover has run.  The console's three recovery points, the
// command-line files and the editor's evaluation thread all use it.
template <typename F>
int ev_protected(F&& fn) {
  try {
    fn();
    return 0;
  } catch (const Unwind& u) {
    ev_recover(u);
    return u.code;
  }
}

// Stacks back to their floors, console streams back, registers NIL, trace
// depth 0, ports left open by an unwind closed.
void ev_reset();

}  // namespace ondrel
