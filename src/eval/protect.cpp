// protect.cpp - the error report, the reset and recovery after an unwind.
#include "eval/protect.h"

#include <cstdio>

#include "memory/memory.h"
#include "reader/port.h"
#include "reader/printer.h"

namespace ondrel {

void ev_reset() {
  mem.sp = vm.floor_sp;
  mem.cp = vm.floor_cp;
  rd_reset_ports();
  rd_settle_ports();
  vm.form = vm.env = vm.exp = vm.app = vm.val = NIL;
  vm.argc = 0;
  vm.trace_depth = 0;
}

// The report: the message, "At " and the form, then a blank line.  It goes
// to the current output port as the error found it, a redirected one
// included: the ports a primitive opened wait for the reset to close them.
static void report(const char* format, const Unwind& u) {
  char line[160];
  std::snprintf(line, sizeof line, format, mem_message(u.error));
  FILE* out = rd_out();
  rd_write(line, out);
  rd_write("At ", out);
  if (u.form == NIL)
    rd_write("toplevel", out);
  else
    rd_print(u.form, out);
  rd_write("\n\n", out);
  std::fflush(out);
}

void ev_recover(const Unwind& u) {
  if (u.code != UNWIND_ERROR) {
    rd_settle_ports();
    return;
  }
  vm.last_error = u.error;
  vm_take_break();  // a pending break is answered by this error
  // Printing the form may itself fail (a port that went bad); the report
  // as far as it got stands.
  try {
    report("\nError : %s\n", u);
  } catch (const Unwind&) {}
  ev_reset();
}

}  // namespace ondrel
