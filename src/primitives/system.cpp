// system.cpp - system primitives: quitting, tracing, the collector, random
// numbers and shell commands.
#include <cstdio>
#include <ctime>
#include <string>

#include "platform/sandbox.h"
#include "primitives/prim.h"

namespace ondrel {

static Value p_bye(Value) { mem_quit(); }

static Value p_trace(Value args) {
  cell(prim_need_symbol(prim_arg0(args))).tag |= TRACE_FLAG;
  return prim_unspecified();
}

static Value p_untrace(Value args) {
  cell(prim_need_symbol(prim_arg0(args))).tag &= static_cast<uint8_t>(~TRACE_FLAG);
  return prim_unspecified();
}

static Value p_gc(Value) {
  mem_collect(GC_USER);
  return prim_unspecified();
}

// (random n): 0 for n from -1 to 1; otherwise one draw r, giving r mod n
// for n >= 2 and -(r mod |n|) for n <= -2.
static Value p_random(Value args) {
  int32_t n = prim_need_int(prim_arg0(args), E_NEED_NUMBER);
  if (n >= -1 && n <= 1) return mem_make_integer(0);
  int64_t r = prim_random_draw();
  int64_t m = n < 0 ? -static_cast<int64_t>(n) : n;
  int64_t v = n < 0 ? -(r % m) : r % m;
  return mem_make_integer(static_cast<int32_t>(v));
}

// Our buffered output goes out first, so that the command's own output,
// written straight to the console, follows what was printed before it.
static void run_command(const char* command) {
  std::fflush(nullptr);
  int status = plat_system(command);
  (void)status;
}

static Value p_exec_shell_command(Value args) {
  prim_need_args(args, 1);
  std::string command = str_bytes(prim_need(prim_arg0(args), STRING, E_NEED_STRING));
  run_command(command.c_str());
  return prim_unspecified();
}

// The paged directory listing.
static Value p_test_esc(Value) {
  run_command("ls -l | more");
  return prim_unspecified();
}

static Value p_plov_installed(Value) { return mem_true; }

/* -------------------------------------------------------- registration */

static constexpr PrimDef SYSTEM_PRIMS[] = {
    {"bye", K_NONE, p_bye},          {"trace", K_ONE, p_trace},
    {"untrace", K_ONE, p_untrace},   {"gc", K_NONE, p_gc},
    {"random", K_ONE, p_random},     {"exec-shell-command", K_ONE, p_exec_shell_command},
    {"test-esc", K_ONE, p_test_esc}, {"plov-installed?", K_NONE, p_plov_installed},
};

void prim_register_system() {
  prim_random_state = static_cast<uint32_t>(std::time(nullptr));
  ev_register_table(SYSTEM_PRIMS);
}

}  // namespace ondrel
