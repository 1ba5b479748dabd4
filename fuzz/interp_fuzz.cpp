// interp_fuzz.cpp - the whole interpreter: the input is read and evaluated
// datum by datum as the read-eval-print loop does, each value printed.
// A dispatch budget and a time limit (for programs that sleep) end endless
// programs through the user break.
#include <cstddef>
#include <cstdint>

#include "eval/protect.h"
#include "memory/error.h"
#include "eval/eval.h"
#include "memory/symtab.h"
#include "fuzz_support.h"
#include "memory/memory.h"
#include "reader/port.h"
#include "reader/printer.h"
#include "reader/reader.h"
#include "memory/state.h"

using namespace ondrel;

// Dispatches allowed per datum: far more than any test program needs for
// one expression, few enough to keep an input under a second.
constexpr uint64_t FZ_BUDGET = 200000;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fz_process_init();
  FILE* in = fz_open(data, size);
  if (in == nullptr) return 0;
  fz_begin();
  for (bool more = true; more && !fz_time_up();) {
    long before = std::ftell(in);
    try {
      vm.form = NIL;
      Value d = rd_read(in);
      if (d == mem_eof) break;
      Protect keep(d);
      vm.break_flag = 0;
      vm_set_budget(FZ_BUDGET);
      Value v = ev_evaluate(d);
      vm_set_budget(0);
      if (mem.cp != 0) fz_fault("evaluation left words on the control stack");
      rd_print(v, rd_out());
    } catch (const Unwind& u) {
      ev_recover(u);  // the report and the reset, as the protected call does
      vm_set_budget(0);
      if (u.code != UNWIND_ERROR) more = false;  // bye, or a fatal error
      else if (mem.sp != 0 || mem.cp != 0) fz_fault("error left the stacks in use");
      // Every error consumes at least the offending character.
      if (more && std::ftell(in) == before && !std::feof(in)) fz_fault("error consumed no input");
    }
  }
  std::fclose(in);
  fz_check_heap();
  fz_end();
  return 0;
}
