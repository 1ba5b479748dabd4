// state.h - the interpreter record: registers, stack floors and flags.
#pragma once
#include <atomic>
#include <cstdint>

#include "memory/value.h"

namespace ondrel {

// Everything the evaluator and the loops around it keep between two steps,
// beside the regions of the Memory record (memory.h).  Invariants:
//  - the five registers hold values (NIL when idle) and are roots of the
//    collector, in this order;
//  - floor_sp <= mem.sp and floor_cp <= mem.cp while an evaluation runs:
//    the reset after an error cuts the stacks back to the floors, which are
//    0 except while an editor evaluation runs between two console reads;
//  - trace_depth counts the traced calls entered and not yet left; every
//    reset sets it to 0;
//  - the heap, the stacks and every field but break_flag and loop_state
//    belong to the thread holding the interpreter lock (platform/lock.h);
//    break_flag is set by the SIGINT handler and read by whichever thread
//    evaluates, loop_state is claimed by the console loop and the editor's
//    evaluation thread in one atomic step each;
//  - break_flag holds BREAK_BUDGET exactly while dispatch_budget is not 0,
//    so the evaluator's poll of every dispatch reads one word.
// Bits of the break flag.  The SIGINT handler and the other threads change
// them by atomic read-modify-write, so a break is never lost to a write of
// the other bit.
enum BreakBits : int32_t {
  BREAK_PENDING = 1,  // Ctrl+C pressed and not yet answered
  BREAK_BUDGET = 2,   // a dispatch budget is counting down
};

struct Interp {
  Value form;                       // form most recently dispatched (for error reports)
  Value env;                        // current environment
  Value exp;                        // current expression
  Value app;                        // application being assembled
  Value val;                        // current value
  uint32_t argc;                    // arguments of the application applied (operator included)
  uint32_t floor_sp;                // software-stack height the reset returns to
  uint32_t floor_cp;                // control-stack height the reset returns to
  int32_t trace_depth;              // traced calls entered and not yet exited
  uint64_t dispatch_budget;         // dispatches left before a forced break; 0: no limit
  std::atomic<int32_t> break_flag;  // BreakBits
  std::atomic<int32_t> loop_state;  // 0 idle at the prompt, 1 console evaluating, 2 editor
  bool japanese;                    // -J or -j: Japanese messages and farewell
  int last_error;                   // code of the latest error reported
};
inline Interp vm{};

// Ask for a break at the next poll, from any thread or a signal handler.
inline void vm_request_break() { vm.break_flag.fetch_or(BREAK_PENDING, std::memory_order_relaxed); }
// Whether a break waits to be answered.
inline bool vm_break_pending() {
  return (vm.break_flag.load(std::memory_order_relaxed) & BREAK_PENDING) != 0;
}
// Answer the waiting break, if any; says whether there was one.
inline bool vm_take_break() {
  return (vm.break_flag.fetch_and(~BREAK_PENDING, std::memory_order_relaxed) & BREAK_PENDING) != 0;
}
// Let n dispatches run before a forced break (0: no limit).
inline void vm_set_budget(uint64_t n) {
  vm.dispatch_budget = n;
  if (n != 0)
    vm.break_flag.fetch_or(BREAK_BUDGET, std::memory_order_relaxed);
  else
    vm.break_flag.fetch_and(~BREAK_BUDGET, std::memory_order_relaxed);
}

}  // namespace ondrel
