// eval.h - the register machine: states, control stack, entry points.
#pragma once
#include <cstdint>

#include "memory/memory.h"

namespace ondrel {

// Evaluator states.  Syntax codes, return codes and the first word of the
// kind-0 primitives are these numbers; all are at most 60 so that the
// collector can tell them from values on the control stack.
enum EvalState : uint32_t {
  ST_RETURN = 1,     // hand the value register to Evaluate's caller
  ST_EVAL = 2,       // evaluate the expression register
  ST_OPERATOR = 3,   // operator evaluated; start the operands
  ST_OPERAND = 4,    // collect one value, evaluate the next operand
  ST_BUILD = 5,      // build the application from the collected values
  ST_APPLY_APP = 7,  // apply the application register
  ST_LAMBDA = 9,
  ST_QUOTE = 10,
  ST_QUASIQUOTE = 11,
  ST_UNQUOTE = 12,
  ST_UNQUOTE_SPLICING = 13,
  ST_DEFINE = 14,
  ST_DEFINE_DONE = 15,
  ST_SEQUENCE = 16,
  ST_IF = 17,
  ST_IF_DONE = 18,
  ST_SET = 19,
  ST_SET_DONE = 20,
  ST_COND = 22,
  ST_COND_TEST = 23,
  ST_COND_ARROW = 24,
  ST_AND = 27,
  ST_AND_NEXT = 28,
  ST_OR = 29,
  ST_OR_NEXT = 30,
  ST_LET = 31,
  ST_LET_VALUE = 32,
  ST_LETSTAR = 34,
  ST_LETSTAR_FRAME = 35,
  ST_LETSTAR_BIND = 36,
  ST_LETREC = 37,
  ST_LETREC_VALUE = 38,
  ST_CASE = 39,
  ST_CASE_CLAUSES = 40,
  ST_CASE_ATOM = 41,
  ST_DO = 42,
  ST_TRACE_EXIT = 43,
  ST_EVAL_PRIM = 44,
  ST_APPLY = 45,
  ST_CALLCC = 46,
  ST_LAST = 46,
};

// Set once eval has been given an environment that the program built: its
// bindings carry no FRAME_BOUND mark, so from then on every lookup walks
// the frames.
inline bool ev_foreign_env = false;

// Evaluate `exp` in the current environment register and return its
// value.  Re-entrant: each activation returns at its own state-1 frame.
Value ev_evaluate(Value exp);

// The comparison of eqv? and case: numbers by value (an INTEGER never
// equals a REAL), strings by content, everything else by identity.
bool ev_eqv(Value a, Value b);

// A NAMED_PROCEDURE stands for its SYMBOL wherever a value is stored.
inline Value ev_unname(Value v) { return is(v, NAMED_PROCEDURE) ? cell(v).w1 : v; }

// Trace entry and exit lines of a traced procedure (error 38 past depth
// 255).
void ev_trace_entry(Value sym, Value args);
void ev_trace_exit(Value sym, Value result);
// The define table (what the editor shows).
void ev_record_definition(Value sym, Value expr);

}  // namespace ondrel
