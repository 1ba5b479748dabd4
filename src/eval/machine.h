// machine.h - internals of the register machine shared by its states.
#pragma once
#include <cstdint>

#include "eval/eval.h"
#include "memory/error.h"
#include "memory/memory.h"

namespace ondrel {

// A state handler does its work on the registers and returns the number
// of the next state; 0 ends the running activation of ev_evaluate.
using StateFn = uint32_t (*)();

/* ------------------------------------------------------- control stack */

// A push of n words is allowed only while cp + n < STACK_WORDS.
inline void ev_room(uint32_t n) {
  if (mem.cp + n >= STACK_WORDS) mem_error(E_SSTACK_OVER);
}
inline void ev_push_word(Value w) {
  ev_room(1);
  cstack()[mem.cp++] = w;
}
// Push a control frame: saved object, saved environment, return code.
inline void ev_push_frame(Value saved, Value env, uint32_t code) {
  ev_room(3);
  Value* s = cstack() + mem.cp;
  s[0] = saved;
  s[1] = env;
  s[2] = code;
  mem.cp += 3;
}
// Pop the top frame into the registers and give its return code.
inline uint32_t ev_return() {
  Value* s = cstack() + mem.cp - 3;
  mem.cp -= 3;
  vm.env = s[1];
  vm.exp = s[0];
  return s[2];
}
// The poll when the break flag is not clear: count the budget down, then
// answer a waiting break.
void ev_poll_flagged();
// What the dispatcher does before every state: the budget and break poll,
// one read of the break flag while neither is due.
inline void ev_poll() {
  if (vm.break_flag.load(std::memory_order_relaxed) != 0) ev_poll_flagged();
}
// A dispatch taken in line by a state that goes on itself: the poll, then
// the form register, exactly as the dispatcher would do them.
inline void ev_step(Value exp) {
  ev_poll();
  vm.form = exp;
}
// State 2, which evaluates the expression register; ev_expression(x) is
// state 2 entered with x already in the expression register.
uint32_t ev_state_expression();
uint32_t ev_expression(Value x);
// Evaluate x, then continue in state `code` with `saved` in the expression
// register.  The dispatch to state 2 is taken in line: its poll and form
// register as the dispatcher does them, without the trip through the
// dispatcher.  State 2 only ever goes on to states that return to the
// dispatcher, so the host stack grows no deeper than the frames pushed
// here, which the control stack bounds.
inline uint32_t ev_eval_then(Value x, Value saved, uint32_t code) {
  ev_push_frame(saved, vm.env, code);
  vm.exp = x;
  ev_step(x);
  return ev_expression(x);
}
// Evaluate x in tail position, the dispatch to state 2 in line.
inline uint32_t ev_eval_tail(Value x) {
  vm.exp = x;
  ev_step(x);
  return ev_expression(x);
}
// The value of the form is v: hand it to the waiting frame.
inline uint32_t ev_value(Value v) {
  vm.val = v;
  return ev_return();
}

/* ------------------------------------------------------ list reading */

// Parts of a form read as () when they are missing, never outside a cell.
inline Value ev_first(Value l) { return is(l, PAIR) ? car(l) : NIL; }
inline Value ev_rest(Value l) { return is(l, PAIR) ? cdr(l) : NIL; }
inline Value ev_second(Value l) { return ev_first(ev_rest(l)); }

// Cons the software-stack words from `base` up onto `tail`, pop them and
// return the list, in stack order.
Value ev_stack_list(uint32_t base, Value tail);

// Add (sym . value) at the front of a binding frame.
void ev_bind(Value frame, Value sym, Value value);
// The binding pair of sym in env's frames, or NIL.
Value ev_find_binding(Value sym, Value env);

/* --------------------------------------------------------- the states */

uint32_t ev_state_lambda();
uint32_t ev_state_quote();
uint32_t ev_state_quasiquote();
uint32_t ev_state_unquote();
uint32_t ev_state_unquote_splicing();
uint32_t ev_state_define();
uint32_t ev_state_define_done();
uint32_t ev_state_sequence();
uint32_t ev_state_if();
uint32_t ev_state_if_done();
uint32_t ev_state_set();
uint32_t ev_state_set_done();
uint32_t ev_state_cond();
uint32_t ev_state_cond_test();
uint32_t ev_state_cond_arrow();
uint32_t ev_state_and();
uint32_t ev_state_and_next();
uint32_t ev_state_or();
uint32_t ev_state_or_next();
uint32_t ev_state_let();
uint32_t ev_state_let_value();
uint32_t ev_state_letstar();
uint32_t ev_state_letstar_frame();
uint32_t ev_state_letstar_bind();
uint32_t ev_state_letrec();
uint32_t ev_state_letrec_value();
uint32_t ev_state_case();
uint32_t ev_state_case_clauses();
uint32_t ev_state_case_atom();
uint32_t ev_state_do();
uint32_t ev_state_eval();
uint32_t ev_state_apply();
uint32_t ev_state_callcc();

}  // namespace ondrel
