// eval.cpp - the dispatcher, variables, combinations and application.
#include <array>
#include <cstdio>
#include <cstring>

#include "eval/eval.h"
#include "eval/machine.h"
#include "eval/registry.h"
#include "memory/state.h"
#include "memory/symtab.h"
#include "reader/port.h"
#include "reader/printer.h"

namespace ondrel {

/* ------------------------------------------------------- environments */

void ev_bind(Value frame, Value sym, Value value) {
  if (type_of(sym) == SYMBOL) cell(sym).aux |= FRAME_BOUND;
  Value b = mem_cons(sym, value);
  Value bindings = mem_cons(b, car(frame));
  set_car(frame, bindings);
}

Value ev_find_binding(Value sym, Value env) {
  for (Value e = env; is(e, PAIR); e = cdr(e))
    for (Value b = car(e); is(b, PAIR); b = cdr(b)) {
      Value binding = car(b);
      if (is(binding, PAIR) && car(binding) == sym) return binding;
    }
  return NIL;
}

// The binding pair of sym in frames the evaluator built itself: lists of
// binding pairs ending in (), which no program can reach, so the walk takes
// their shape for granted.
static Value ev_find_built_binding(Value sym, Value env) {
  for (Value e = env; e != NIL; e = cdr(e))
    for (Value b = car(e); b != NIL; b = cdr(b))
      if (car(car(b)) == sym) return car(b);
  return NIL;
}

static Value ev_make_named(Value sym) {
  Value named = mem_make_pair();
  cell(named).tag = NAMED_PROCEDURE;
  cell(named).w1 = sym;
  return named;
}

// Return codes whose state passes or binds its value with NAMED_PROCEDUREs
// replaced by their SYMBOL (operands, let, let*, letrec): a global procedure
// looked up for them can be handed over as the SYMBOL at once, without making
// the cell that would be dropped. define and set! are not among them: they
// store the NAMED_PROCEDURE itself.
static constexpr std::array<bool, ST_LAST + 1> ev_unnames_value = [] {
  std::array<bool, ST_LAST + 1> t{};
  for (uint32_t code : {ST_OPERATOR, ST_OPERAND, ST_LET_VALUE, ST_LETSTAR_FRAME, ST_LETREC_VALUE})
    t[code] = true;
  return t;
}();

// The value of a variable in env: its innermost binding, else its global
// value, a global procedure as a NAMED_PROCEDURE.  `by_name` asks for the
// value as it is stored (ev_unname): a global procedure as its SYMBOL.
[[gnu::always_inline]] static inline Value ev_variable(Value sym, Value env, bool by_name) {
  if (ev_foreign_env) {
    Value b = ev_find_binding(sym, env);
    if (b != NIL) return by_name ? ev_unname(cdr(b)) : cdr(b);
  } else if ((cell(sym).aux & FRAME_BOUND) != 0) {
    Value b = ev_find_built_binding(sym, env);
    if (b != NIL) return by_name ? ev_unname(cdr(b)) : cdr(b);
  }
  Value g = cell(sym).w1;
  if (g == 0) mem_error(E_UNDEF_SYMBOL);
  uint8_t t = type_of(g);
  if (t == PRIMITIVE || t == CLOSURE) return by_name ? sym : ev_make_named(sym);
  return by_name && t == NAMED_PROCEDURE ? cell(g).w1 : g;
}

// The word an operand or operator that is not a PAIR collects, its type
// t already read: a variable's value or the constant itself, as stored
// (ev_unname).
[[gnu::always_inline]] static inline Value ev_simple_word(Value x, uint8_t t) {
  if (t == SYMBOL) return ev_variable(x, vm.env, true);
  return t == NAMED_PROCEDURE ? car(x) : x;
}

/* --------------------------------------------------- states 1 to 7 */

static uint32_t ev_state_invalid() { mem_error(E_ILLEGAL_FORM); }

// State 1 ends the activation running now, whichever pushed the frame.
static uint32_t ev_state_return() { return 0; }

static inline uint32_t ev_collect(Value word, Value rest);
static uint32_t ev_state_build();
static uint32_t ev_state_application();

uint32_t ev_state_expression() { return ev_expression(vm.exp); }

uint32_t ev_expression(Value x) {
  switch (type_of(x)) {
    case SYMBOL: {
      Value code = cstack()[mem.cp - 1];  // the frame waiting for the value
      return ev_value(ev_variable(x, vm.env, code <= ST_LAST && ev_unnames_value[code]));
    }
    case PAIR: {
      Value head = car(x);
      if (tag_byte(head) == KEYWORD) {
        vm.exp = cdr(x);
        uint32_t code = cell(head).w1;
        if (code != ST_QUOTE) return code;
        // A quotation takes the dispatch to the quote state in line.
        ev_step(vm.exp);
        return ev_value(ev_first(vm.exp));
      }
      uint8_t t = type_of(head);
      if (t == PAIR) return ev_eval_then(head, x, ST_OPERATOR);
      // An operator that is a variable or a constant is evaluated in line:
      // the room its frame would need, the dispatch to state 2 and the
      // return to state 3 happen as if the frame had been pushed.
      ev_room(3);
      ev_step(head);
      Value op = ev_simple_word(head, t);
      vm.val = op;
      ev_step(x);
      // State 3 in line; the room for its words is made.
      cstack()[mem.cp++] = 0;
      Value rest = cdr(x);
      vm.exp = rest;
      ev_step(rest);
      return ev_collect(op, rest);
    }
    default: return ev_value(x);
  }
}

// State 4 after its room check: push the word of the value collected last
// (as it is stored, ev_unname) and go on through the operands `rest`, which
// the expression register holds.  Entered from the operator taken in line,
// whose room check covered the marker and this word, it needs no check of
// its own.
[[gnu::always_inline]] static inline uint32_t ev_collect(Value word, Value rest) {
  cstack()[mem.cp++] = word;
  for (;;) {
    if (!is(rest, PAIR)) {
      ev_step(rest);
      return ev_state_build();
    }
    Value x = car(rest);
    uint8_t t = type_of(x);
    if (t == PAIR) return ev_eval_then(x, cdr(rest), ST_OPERAND);
    // A variable or a constant operand, in line as the operator above.
    ev_room(3);
    ev_step(x);
    Value v = ev_simple_word(x, t);
    vm.val = v;
    rest = cdr(rest);
    vm.exp = rest;
    ev_step(rest);
    cstack()[mem.cp++] = v;  // the room was made above
  }
}

static uint32_t ev_operator_done() {
  ev_room(1);
  cstack()[mem.cp++] = 0;
  Value rest = cdr(vm.exp);
  vm.exp = rest;
  ev_step(rest);
  ev_room(1);
  return ev_collect(ev_unname(vm.val), rest);
}

static uint32_t ev_operand_done() {
  ev_room(1);
  return ev_collect(ev_unname(vm.val), vm.exp);
}

// The direct form of the primitive that the collected operator names, or
// null: only a SYMBOL (untraced) whose global value is such a primitive.
static DirectFn ev_direct_form(Value op) {
  if (tag_byte(op) != SYMBOL) return nullptr;
  Value g = cell(op).w1;
  if (g == 0 || tag_byte(g) != PRIMITIVE || cell(g).aux == K_EVAL) return nullptr;
  return ev_direct[cell(g).w1];
}

// The closure that the collected operator names, or 0: the operator itself
// or the global value of an untraced SYMBOL.
static Value ev_named_closure(Value op) {
  uint8_t tag = tag_byte(op);
  if (tag == CLOSURE) return op;
  if (tag != SYMBOL) return 0;
  Value g = cell(op).w1;
  return g != 0 && tag_byte(g) == CLOSURE ? g : 0;
}

// Add (sym . value) at the front of the frame from free cells at hand, as
// ev_bind does; false when the cells are not at hand.
[[gnu::always_inline]] static inline bool ev_bind_at_hand(Value frame, Value sym, Value value) {
  Value b = mem_cons_at_hand(sym, value);
  Value bindings = b == 0 ? 0 : mem_cons_at_hand(b, car(frame));
  if (bindings == 0) return false;
  if (type_of(sym) == SYMBOL) cell(sym).aux |= FRAME_BOUND;
  set_car(frame, bindings);
  return true;
}

// The frame that applying the closure to the n collected arguments binds,
// built from free cells at hand as application builds it, a rest
// parameter taking a new list of the arguments left over; 0 when the
// arguments do not fit the parameters or the cells are not at hand, and
// the ordinary way applies it.
static Value ev_frame_at_hand(Value closure, const Value* argv, uint32_t n) {
  Value frame = mem_cons_at_hand(NIL, cell(closure).w2);
  if (frame == 0) return 0;
  Value params = ev_first(cell(closure).w1);
  uint32_t i = 0;
  for (; is(params, PAIR); params = cdr(params), ++i)
    if (i == n || !ev_bind_at_hand(frame, car(params), argv[i])) return 0;
  if (params == NIL) return i == n ? frame : 0;
  if (type_of(params) != SYMBOL) return 0;
  Value others = NIL;
  for (uint32_t k = n; k-- > i;)
    if ((others = mem_cons_at_hand(argv[k], others)) == 0) return 0;
  return ev_bind_at_hand(frame, params, others) ? frame : 0;
}

// Whether a call may skip the application list, whose form the poll of
// the dispatch to application and the poll after it would report: no break
// waiting, no budget running out at either poll, no collector stress
// (which keeps every call on the ordinary way).  A Ctrl+C that comes while
// the quick call runs is reported at the poll after it, at the form the
// first would have shown, as if it had come a moment earlier; the quick
// calls change nothing a program can see before that.
static bool ev_poll_would_pass() {
  int32_t flag = vm.break_flag.load(std::memory_order_relaxed);
  return (flag == 0 || (flag == BREAK_BUDGET && vm.dispatch_budget > 2)) && !mem.stress;
}

// A quick call of n arguments collected from `base` on has been made: the
// poll of the dispatch to application (which ev_poll_would_pass said
// passes), the collected words and the marker popped, the registers as an
// application leaves them with the application register empty.
static void ev_quick_call_done(uint32_t base, uint32_t n) {
  if (vm.dispatch_budget != 0) --vm.dispatch_budget;
  mem.cp = base - 1;
  vm.argc = n + 1;
  vm.app = NIL;
}

// The ordinary way to application: the collected words, from the top down
// to the marker, become the application list.  The words stay on the stack,
// and so stay roots, until the list holds them; the stack top and the list
// are written back before each cons, which may collect.
[[gnu::noinline]] static uint32_t ev_build_list() {
  Value* s = cstack();
  uint32_t cp = mem.cp;
  uint32_t n = 0;
  Value app = NIL;
  while (s[cp - 1] != 0) {
    mem.cp = cp;
    vm.app = app;
    app = mem_cons(s[cp - 1], app);
    --cp;
    ++n;
  }
  mem.cp = cp - 1;  // the marker
  vm.app = app;
  vm.argc = n;
  vm.exp = app;
  ev_step(app);
  return ev_state_application();
}

// A closure called with the n words collected from `base` on: its frame is
// built from cells at hand, or the call goes the ordinary way.
[[gnu::noinline]] static uint32_t ev_call_closure(Value closure, uint32_t base, uint32_t n) {
  Value frame = ev_frame_at_hand(closure, cstack() + base + 1, n);
  if (frame == 0) return ev_build_list();
  ev_quick_call_done(base, n);
  vm.env = frame;
  vm.exp = ev_rest(cell(closure).w1);
  return ST_SEQUENCE;
}

static uint32_t ev_state_build() {
  Value* s = cstack();
  uint32_t cp = mem.cp;
  const Value* marker = s + cp - 1;
  while (*marker != 0) --marker;
  uint32_t base = static_cast<uint32_t>(marker - s) + 1;
  // Two calls skip the application list and read the collected words where
  // they lie: a primitive with a direct form, whose result stands for what
  // states 5 and 7 would have given, and a closure whose frame can be built
  // from cells at hand.  Either ends as the ordinary way would, with the
  // application register empty as the next application leaves it; every
  // case it does not take (a break due, a traced name, an error, a short
  // free list) goes the ordinary way and reports where it always did.
  if (ev_poll_would_pass()) {
    Value op = s[base];
    uint32_t n = cp - base - 1;
    DirectFn direct = ev_direct_form(op);
    if (direct != nullptr) {
      Value v = direct(s + base + 1, n);
      if (v != 0) {
        ev_quick_call_done(base, n);
        return ev_value(v);
      }
    } else if (Value closure = ev_named_closure(op); closure != 0) {
      return ev_call_closure(closure, base, n);
    }
  }
  return ev_build_list();
}

static void ev_apply_closure(Value closure) {
  Value lambda = cell(closure).w1;
  vm.env = mem_cons(NIL, cell(closure).w2);
  Value params = ev_first(lambda);
  Value args = cdr(vm.app);
  while (is(params, PAIR)) {
    if (!is(args, PAIR)) mem_error(E_NOT_ENOUGH);
    ev_bind(vm.env, car(params), car(args));
    params = cdr(params);
    args = cdr(args);
  }
  if (params == NIL) {
    if (args != NIL) mem_error(E_TOO_MANY);
  } else if (type_of(params) == SYMBOL) {
    ev_bind(vm.env, params, args);
  } else {
    mem_error(E_ILLEGAL_FORM);
  }
  vm.exp = ev_rest(lambda);
}

static uint32_t ev_apply_continuation(Value k) {
  Value v = vm.argc >= 2 ? ev_second(vm.app) : NIL;
  uint32_t n = cell(k).count;
  std::memcpy(cstack(), vec_slots(k), size_t{4} * n);
  mem.cp = n;
  return ev_value(v);
}

static uint32_t ev_state_application() {
  Value app = vm.app;
  vm.form = app;
  Value op = car(app);
  Value slow = op;  // steps behind op to find a cycle of symbol values
  for (uint32_t hops = 0;; ++hops) {
    uint8_t tag = tag_byte(op);
    switch (tag & TYPE_MASK) {
      case SYMBOL: {
        if (tag & TRACE_FLAG) {
          ev_trace_entry(op, cdr(app));
          ev_push_frame(op, vm.env, ST_TRACE_EXIT);
        }
        Value g = cell(op).w1;
        if (g == 0) mem_error(E_UNDEF_SYMBOL);
        op = g;
        if (hops & 1) slow = cell(slow).w1;
        if (op == slow) mem_error(E_ILLEGAL_FORM);
        continue;
      }
      case PRIMITIVE:
        if (cell(op).aux == K_EVAL) return cell(op).w1;
        vm.val = ev_handlers[cell(op).w1](cdr(app));
        return ev_return();
      case CLOSURE: ev_apply_closure(op); return ST_SEQUENCE;
      case CONTINUATION: return ev_apply_continuation(op);
      default: mem_error(E_ILLEGAL_FORM);
    }
  }
}

/* -------------------------------------------------------------- tracing */

// Trace indentation for depth d: at most 30 units of two characters.
static void ev_trace_indent(FILE* out) {
  for (int i = 1; i <= vm.trace_depth - 1 && i <= 30; ++i) rd_write(i % 3 == 2 ? " |" : "  ", out);
}

// One trace line: the indentation, the depth with its mark, the name, the
// label and the printed value.
static void ev_trace_line(char mark, Value sym, const char* label, Value v) {
  FILE* out = rd_out();
  ev_trace_indent(out);
  char num[24];
  std::snprintf(num, sizeof num, "%d%c", vm.trace_depth, mark);
  rd_write(num, out);
  rd_print(sym, out);
  rd_write(label, out);
  rd_print(v, out);
  rd_write("\n", out);
}

void ev_trace_entry(Value sym, Value args) {
  if (++vm.trace_depth > 255) mem_error(E_TRACE_DEPTH);
  ev_trace_line('>', sym, " args=", args);
}

void ev_trace_exit(Value sym, Value result) {
  ev_trace_line('<', sym, " result=", result);
  --vm.trace_depth;
}

static uint32_t ev_state_trace_exit() {
  ev_trace_exit(vm.exp, vm.val);
  return ev_return();
}

/* ------------------------------------------------------------ dispatch */

static constexpr StateFn ev_states[ST_LAST + 1] = {
    ev_state_invalid,           // 0
    ev_state_return,            // 1
    ev_state_expression,        // 2
    ev_operator_done,           // 3
    ev_operand_done,            // 4
    ev_state_build,             // 5
    ev_state_invalid,           // 6
    ev_state_application,       // 7
    ev_state_invalid,           // 8
    ev_state_lambda,            // 9
    ev_state_quote,             // 10
    ev_state_quasiquote,        // 11
    ev_state_unquote,           // 12
    ev_state_unquote_splicing,  // 13
    ev_state_define,            // 14
    ev_state_define_done,       // 15
    ev_state_sequence,          // 16
    ev_state_if,                // 17
    ev_state_if_done,           // 18
    ev_state_set,               // 19
    ev_state_set_done,          // 20
    ev_state_invalid,           // 21
    ev_state_cond,              // 22
    ev_state_cond_test,         // 23
    ev_state_cond_arrow,        // 24
    ev_state_invalid,           // 25
    ev_state_invalid,           // 26
    ev_state_and,               // 27
    ev_state_and_next,          // 28
    ev_state_or,                // 29
    ev_state_or_next,           // 30
    ev_state_let,               // 31
    ev_state_let_value,         // 32
    ev_state_invalid,           // 33
    ev_state_letstar,           // 34
    ev_state_letstar_frame,     // 35
    ev_state_letstar_bind,      // 36
    ev_state_letrec,            // 37
    ev_state_letrec_value,      // 38
    ev_state_case,              // 39
    ev_state_case_clauses,      // 40
    ev_state_case_atom,         // 41
    ev_state_do,                // 42
    ev_state_trace_exit,        // 43
    ev_state_eval,              // 44
    ev_state_apply,             // 45
    ev_state_callcc,            // 46
};

void ev_poll_flagged() {
  if (vm.dispatch_budget != 0 && --vm.dispatch_budget == 0) {
    vm_set_budget(0);
    vm_request_break();
  }
  mem_check_break();
}

Value ev_evaluate(Value exp) {
  vm.val = NIL;
  vm.app = NIL;
  vm.argc = 0;
  vm.exp = exp;
  ev_push_frame(exp, vm.env, ST_RETURN);
  uint32_t state = ST_EVAL;
  for (;;) {
    ev_poll();
    vm.form = vm.exp;
    if (state > ST_LAST) mem_error(E_ILLEGAL_FORM);
    state = ev_states[state]();
    if (state == 0) return vm.val;
  }
}

/* ------------------------------------- eval, apply, call/cc (44 to 46) */

// An environment given to eval must be a proper list of binding frames,
// each a proper list of pairs; anything else is refused before any walk.
static bool ev_is_environment(Value env) {
  if (mem_list_length(env) < 0) return false;
  for (Value e = env; e != NIL; e = cdr(e)) {
    if (mem_list_length(car(e)) < 0) return false;
    for (Value b = car(e); b != NIL; b = cdr(b))
      if (!is(car(b), PAIR)) return false;
  }
  return true;
}

uint32_t ev_state_eval() {
  if (vm.argc <= 1) mem_error(E_NOT_ENOUGH);
  Value args = cdr(vm.app);
  Value x = ev_first(args);
  if (vm.argc >= 3) {
    Value env = ev_second(args);
    if (!ev_is_environment(env)) mem_error(E_ILLEGAL_FORM);
    ev_foreign_env = true;
    vm.env = env;
  }
  return ev_eval_tail(x);
}

uint32_t ev_state_apply() {
  if (vm.argc <= 2) mem_error(E_NOT_ENOUGH);
  // (apply proc a1 ... an list) applies (proc a1 ... an . list): the
  // arguments go on the software stack and the list is consed from the back.
  uint32_t base = mem.sp;
  for (Value a = cdr(vm.app); is(a, PAIR); a = cdr(a)) mem_push(car(a));
  if (mem.sp - base < 2) mem_error(E_NOT_ENOUGH);
  vm.val = sstack()[mem.sp - 1];
  for (uint32_t i = mem.sp - 1; i-- > base;) vm.val = mem_cons(sstack()[i], vm.val);
  mem.sp = base;
  vm.app = vm.val;
  vm.exp = vm.app;
  return ST_APPLY_APP;
}

uint32_t ev_state_callcc() {
  Value args = cdr(vm.app);
  if (!is(args, PAIR)) mem_error(E_NOT_ENOUGH);
  uint32_t n = mem.cp;
  Value k = mem_make_vector(n);
  std::memcpy(vec_slots(k), cstack(), size_t{4} * n);
  cell(k).tag = CONTINUATION;
  // The application becomes (procedure continuation).
  Protect keep(k);
  Value tail = mem_cons(k, NIL);
  vm.app = mem_cons(car(cdr(vm.app)), tail);
  vm.exp = vm.app;
  return ST_APPLY_APP;
}

}  // namespace ondrel
