// error.cpp - the error routine and the reset.
#include <cstdio>

#include "eval/error.h"
#include "memory/memory.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void ev_reset() {
  mem.sp = 0;
  mem.cp = 0;
  roots.form = roots.env = roots.exp = roots.app = roots.val = NIL;
}

[[noreturn]] void ev_error(int code) {
  std::printf("\nError : %d\nAt toplevel\n\n", code);
  ev_reset();
  throw Unwind{UNWIND_ERROR};
}

[[noreturn]] void ev_fatal(int code) {
  std::printf("\nFatalError : %d\nAt toplevel\n\n", code);
  throw Unwind{UNWIND_QUIT};
}

}  // namespace ondrel
