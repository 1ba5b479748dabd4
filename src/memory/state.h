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
//    evaluation thread in one atomic step each.
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
  std::atomic<int32_t> break_flag;  // 1 when Ctrl+C was pressed and not yet answered
  std::atomic<int32_t> loop_state;  // 0 idle at the prompt, 1 console evaluating, 2 editor
  bool japanese;                    // -J or -j: Japanese messages and farewell
  int last_error;                   // code of the latest error reported
};
inline Interp vm{};

}  // namespace ondrel
