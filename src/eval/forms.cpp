// forms.cpp - the special forms and the define table.
#include <cstring>

#include "eval/machine.h"
#include "memory/symtab.h"
#include "reader/port.h"

namespace ondrel {

/* ------------------------------------------------------------ helpers */

Value ev_stack_list(uint32_t base, Value tail) {
  uint32_t top = mem.sp;
  mem_push(tail);  // the list under construction stays a root
  for (uint32_t i = top; i-- > base;) {
    Value l = mem_cons(sstack()[i], sstack()[top]);
    sstack()[top] = l;
  }
  Value l = sstack()[top];
  mem.sp = base;
  return l;
}

static Value ev_make_closure(Value lambda, Value env) {
  Protect keep(lambda, env);
  Value c = mem_make_pair();
  cell(c).tag = CLOSURE;
  cell(c).w1 = lambda;
  cell(c).w2 = env;
  return c;
}

// A binding of let, let*, letrec or a do variable: (variable init ...).
static void ev_check_binding(Value b) {
  if (!is(b, PAIR) || !is(cdr(b), PAIR)) mem_error(E_ILLEGAL_FORM);
}

bool ev_eqv(Value a, Value b) {
  if (a == b) return true;
  uint8_t t = type_of(a);
  if (t != type_of(b)) return false;
  switch (t) {
    case INTEGER: return int_value(a) == int_value(b);
    case REAL: return real_value(a) == real_value(b);
    case STRING: return std::strcmp(str_bytes(a), str_bytes(b)) == 0;
    default: return false;
  }
}

void ev_record_definition(Value sym, Value expr) {
  const char* name = sym_name(sym);
  for (int i = 0; i < roots.ndefs; ++i)
    if (std::strcmp(sym_name(roots.defs[i].sym), name) == 0) {
      roots.defs[i] = DefineEntry{expr, sym};
      return;
    }
  // A full table only leaves the new name out of the record.
  if (roots.ndefs < DEFINE_TABLE_SIZE) roots.defs[roots.ndefs++] = DefineEntry{expr, sym};
}

/* ------------------------------------------- quote, lambda, sequences */

uint32_t ev_state_quote() { return ev_value(ev_first(vm.exp)); }

uint32_t ev_state_lambda() { return ev_value(ev_make_closure(vm.exp, vm.env)); }

uint32_t ev_state_sequence() {
  Value body = vm.exp;
  if (!is(body, PAIR)) return ev_value(body);
  if (!is(cdr(body), PAIR)) return ev_eval_tail(car(body));
  return ev_eval_then(car(body), cdr(body), ST_SEQUENCE);
}

uint32_t ev_state_unquote() { mem_error(E_UNQUOTE); }
uint32_t ev_state_unquote_splicing() { mem_error(E_UNQUOTE_SPLICING); }

/* ------------------------------------------------------------ if */

uint32_t ev_state_if() {
  Value ops = vm.exp;
  return ev_eval_then(ev_first(ops), ev_rest(ops), ST_IF_DONE);
}

uint32_t ev_state_if_done() {
  Value branches = vm.exp;
  if (vm.val != mem_false) return ev_eval_tail(ev_first(branches));
  Value alt = ev_rest(branches);
  if (is(alt, PAIR)) return ev_eval_tail(car(alt));
  return ev_value(mem_unspecified);
}

/* ------------------------------------------------------ define, set! */

uint32_t ev_state_define() {
  Value ops = vm.exp;
  Value target = ev_first(ops);
  Value name = is(target, PAIR) ? car(target) : target;
  uint8_t t = type_of(name);
  if (t == CONSTANT || t == KEYWORD) mem_error(E_CONSTANT);
  if (t != SYMBOL) mem_error(E_NEED_SYMBOL);
  Value expr;
  if (is(target, PAIR)) {
    Value lambda_ops = mem_cons(cdr(target), ev_rest(ops));
    expr = mem_cons(mem_lambda, lambda_ops);
  } else {
    expr = ev_second(ops);
  }
  ev_record_definition(name, expr);  // the table keeps expr reachable
  Value old = cell(name).w1;
  if (old != 0 && is(old, PRIMITIVE)) rd_console("; Warning : Primitive Procedure Changed !\n");
  return ev_eval_then(expr, name, ST_DEFINE_DONE);
}

uint32_t ev_state_define_done() {
  Value name = vm.exp;
  cell(name).tag = SYMBOL;  // clears TRACE_FLAG
  cell(name).w1 = vm.val;   // a global procedure stays a NAMED_PROCEDURE
  return ev_value(mem_unspecified);
}

uint32_t ev_state_set() {
  Value ops = vm.exp;
  Value var = ev_first(ops);
  uint8_t t = type_of(var);
  if (t != SYMBOL && t != KEYWORD && t != CONSTANT) mem_error(E_NEED_SYMBOL);
  if (var == NIL) mem_error(E_NEED_SYMBOL);
  return ev_eval_then(ev_second(ops), var, ST_SET_DONE);
}

uint32_t ev_state_set_done() {
  Value var = vm.exp;
  Value v = vm.val;
  Value b = ev_find_binding(var, vm.env);
  if (b != NIL) {
    set_cdr(b, v);
  } else {
    if (cell(var).w1 == 0) mem_error(E_UNDEF_SYMBOL);
    cell(var).w1 = v;
  }
  return ev_value(mem_unspecified);
}

/* ------------------------------------------------------------ cond */

uint32_t ev_state_cond() {
  Value clauses = vm.exp;
  if (!is(clauses, PAIR)) mem_error(E_ILLEGAL_FORM);
  Value clause = car(clauses);
  if (!is(clause, PAIR)) mem_error(E_ILLEGAL_FORM);
  return ev_eval_then(car(clause), clauses, ST_COND_TEST);
}

uint32_t ev_state_cond_test() {
  Value clauses = vm.exp;
  if (vm.val == mem_false) {
    Value next = cdr(clauses);
    if (!is(next, PAIR)) return ev_value(mem_unspecified);
    vm.exp = next;
    return ST_COND;
  }
  Value tail = cdr(car(clauses));
  if (!is(tail, PAIR)) return ev_value(vm.val);
  if (car(tail) == mem_arrow) return ev_eval_then(ev_second(tail), ev_unname(vm.val), ST_COND_ARROW);
  vm.exp = tail;
  return ST_SEQUENCE;
}

uint32_t ev_state_cond_arrow() {
  // (receiver value), applied in tail position.
  Value arg = mem_cons(vm.exp, NIL);
  vm.app = mem_cons(ev_unname(vm.val), arg);
  vm.argc = 2;
  vm.exp = vm.app;
  return ST_APPLY_APP;
}

/* ------------------------------------------------------- and, or */

uint32_t ev_state_and() {
  Value ops = vm.exp;
  if (!is(ops, PAIR)) return ev_value(mem_true);
  return ev_eval_then(car(ops), cdr(ops), ST_AND_NEXT);
}

uint32_t ev_state_and_next() {
  Value rest = vm.exp;
  if (vm.val == mem_false || !is(rest, PAIR)) return ev_return();
  return ev_eval_then(car(rest), cdr(rest), ST_AND_NEXT);
}

uint32_t ev_state_or() {
  Value ops = vm.exp;
  if (!is(ops, PAIR)) return ev_value(mem_false);
  return ev_eval_then(car(ops), cdr(ops), ST_OR_NEXT);
}

uint32_t ev_state_or_next() {
  Value rest = vm.exp;
  if (vm.val != mem_false) return ev_return();
  if (!is(rest, PAIR)) return ev_value(mem_false);
  return ev_eval_then(car(rest), cdr(rest), ST_OR_NEXT);
}

/* ------------------------------------------------- let and letrec */

// Evaluate the init of the first binding left, then state `code`;
// 0 when none is left.
static uint32_t ev_next_init(Value bindings, uint32_t code) {
  if (!is(bindings, PAIR)) return 0;
  Value b = car(bindings);
  ev_check_binding(b);
  return ev_eval_then(car(cdr(b)), cdr(bindings), code);
}

// Index of the word above the nearest 0 marker of the control stack.
static uint32_t ev_collected_base() {
  uint32_t i = mem.cp;
  while (cstack()[i - 1] != 0) --i;
  return i;
}

// Bind the variables of `bindings` to the collected values from index i
// on, in order, in the frame `frame`.
static void ev_bind_collected(Value frame, Value bindings, uint32_t i) {
  for (Value b = bindings; is(b, PAIR) && i < mem.cp; b = cdr(b), ++i)
    ev_bind(frame, ev_first(car(b)), cstack()[i]);
}

static bool ev_named_let(Value ops) { return type_of(ev_first(ops)) == SYMBOL; }

static uint32_t ev_let_finish() {
  uint32_t base = ev_collected_base();
  Value ops = cstack()[base];
  bool named = ev_named_let(ops);
  Value bindings = named ? ev_second(ops) : ev_first(ops);
  Value body = named ? ev_rest(ev_rest(ops)) : ev_rest(ops);
  vm.env = mem_cons(NIL, vm.env);
  ev_bind_collected(vm.env, bindings, base + 1);
  if (named) {
    uint32_t vbase = mem.sp;
    for (Value b = bindings; is(b, PAIR); b = cdr(b)) mem_push(ev_first(car(b)));
    Value vars = ev_stack_list(vbase, NIL);
    Value lambda = mem_cons(vars, body);
    Value loop = ev_make_closure(lambda, vm.env);
    ev_bind(vm.env, car(ops), loop);
  }
  mem.cp = base - 1;
  vm.exp = body;
  return ST_SEQUENCE;
}

uint32_t ev_state_let() {
  Value ops = vm.exp;
  bool named = ev_named_let(ops);
  Value after = named ? ev_rest(ev_rest(ops)) : ev_rest(ops);
  if (!is(after, PAIR)) mem_error(E_ILLEGAL_FORM);
  ev_push_word(0);
  ev_push_word(ops);
  uint32_t next = ev_next_init(named ? ev_second(ops) : ev_first(ops), ST_LET_VALUE);
  return next != 0 ? next : ev_let_finish();
}

uint32_t ev_state_let_value() {
  ev_push_word(ev_unname(vm.val));
  uint32_t next = ev_next_init(vm.exp, ST_LET_VALUE);
  return next != 0 ? next : ev_let_finish();
}

static uint32_t ev_letrec_finish() {
  uint32_t base = ev_collected_base();
  Value ops = cstack()[base];
  ev_bind_collected(vm.env, ev_first(ops), base + 1);
  mem.cp = base - 1;
  vm.exp = ev_rest(ops);
  return ST_SEQUENCE;
}

uint32_t ev_state_letrec() {
  Value ops = vm.exp;
  if (!is(ev_rest(ops), PAIR)) mem_error(E_ILLEGAL_FORM);
  ev_push_word(0);
  vm.env = mem_cons(NIL, vm.env);
  ev_push_word(ops);
  uint32_t next = ev_next_init(ev_first(ops), ST_LETREC_VALUE);
  return next != 0 ? next : ev_letrec_finish();
}

uint32_t ev_state_letrec_value() {
  ev_push_word(ev_unname(vm.val));
  uint32_t next = ev_next_init(vm.exp, ST_LETREC_VALUE);
  return next != 0 ? next : ev_letrec_finish();
}

/* ------------------------------------------------------------ let* */

uint32_t ev_state_letstar() {
  Value ops = vm.exp;
  Value body = ev_rest(ops);
  if (!is(body, PAIR)) mem_error(E_ILLEGAL_FORM);
  Value bindings = ev_first(ops);
  if (!is(bindings, PAIR)) {
    vm.exp = body;
    return ST_SEQUENCE;
  }
  ev_push_word(body);
  ev_check_binding(car(bindings));
  return ev_eval_then(car(cdr(car(bindings))), bindings, ST_LETSTAR_FRAME);
}

// The init at the head of the saved bindings has its value: give the
// binding a frame of its own on top of the environment it was evaluated in.
uint32_t ev_state_letstar_frame() {
  vm.env = mem_cons(NIL, vm.env);
  return ST_LETSTAR_BIND;
}

uint32_t ev_state_letstar_bind() {
  Value bindings = vm.exp;
  ev_bind(vm.env, car(car(bindings)), ev_unname(vm.val));
  Value rest = cdr(bindings);
  if (is(rest, PAIR)) {
    ev_check_binding(car(rest));
    return ev_eval_then(car(cdr(car(rest))), rest, ST_LETSTAR_FRAME);
  }
  vm.exp = cstack()[--mem.cp];  // the body
  return ST_SEQUENCE;
}

/* ------------------------------------------------------------ case */

uint32_t ev_state_case() {
  Value ops = vm.exp;
  return ev_eval_then(ev_first(ops), ev_rest(ops), ST_CASE_CLAUSES);
}

uint32_t ev_state_case_clauses() {
  Value key = vm.val;
  for (Value cs = vm.exp; is(cs, PAIR); cs = cdr(cs)) {
    Value clause = car(cs);
    if (!is(clause, PAIR)) mem_error(E_ILLEGAL_FORM);
    Value head = car(clause);
    if (!is(head, PAIR)) return ev_eval_then(head, cdr(clause), ST_CASE_ATOM);
    for (Value d = head; is(d, PAIR); d = cdr(d))
      if (ev_eqv(key, car(d))) {
        vm.exp = cdr(clause);
        return ST_SEQUENCE;
      }
  }
  return ev_value(mem_unspecified);
}

uint32_t ev_state_case_atom() {
  if (vm.val == mem_false) return ev_value(NIL);
  return ST_SEQUENCE;
}

/* ------------------------------------------------------------ do */

// (do ((var init step) ...) (test result ...) body ...) is evaluated as
//   (letrec ((##-Do-Loop-## (lambda (var ...)
//                              (if test
//                                  (begin result ...)
//                                  (begin body ... (##-Do-Loop-## step ...))))))
//     (##-Do-Loop-## init ...))
// built afresh each time; the pieces wait on the software stack.
uint32_t ev_state_do() {
  Value ops = vm.exp;  // stays in the register while the rewrite is built
  if (!is(ops, PAIR) || !is(cdr(ops), PAIR)) mem_error(E_ILLEGAL_FORM);
  Value specs = car(ops);
  Value test_clause = car(cdr(ops));
  Value body = cdr(cdr(ops));
  for (Value s = specs; is(s, PAIR); s = cdr(s)) ev_check_binding(car(s));

  const uint32_t keep = mem.sp;
  auto slot = [keep](uint32_t i) { return sstack()[keep + i]; };
  uint32_t b = mem.sp;
  for (Value s = specs; is(s, PAIR); s = cdr(s)) mem_push(car(car(s)));
  mem_push(ev_stack_list(b, NIL));  // 0: variables
  b = mem.sp;
  for (Value s = specs; is(s, PAIR); s = cdr(s)) mem_push(car(cdr(car(s))));
  mem_push(ev_stack_list(b, NIL));  // 1: inits
  b = mem.sp;
  for (Value s = specs; is(s, PAIR); s = cdr(s)) {
    Value step = cdr(cdr(car(s)));
    mem_push(is(step, PAIR) ? car(step) : car(car(s)));
  }
  mem_push(ev_stack_list(b, NIL));           // 2: steps
  mem_push(mem_cons(mem_do_loop, slot(2)));  // 3: the loop call

  b = mem.sp;
  for (Value f = body; is(f, PAIR); f = cdr(f)) mem_push(car(f));
  Value forms = ev_stack_list(b, mem_cons(slot(3), NIL));
  mem_push(mem_cons(mem_begin, forms));  // 4: the loop branch

  b = mem.sp;
  Value results = is(test_clause, PAIR) ? cdr(test_clause) : NIL;
  if (!is(results, PAIR)) mem_push(mem_unspecified);
  for (Value f = results; is(f, PAIR); f = cdr(f)) mem_push(car(f));
  forms = ev_stack_list(b, NIL);
  mem_push(mem_cons(mem_begin, forms));  // 5: the result branch

  b = mem.sp;
  mem_push(is(test_clause, PAIR) ? car(test_clause) : test_clause);
  mem_push(slot(5));
  mem_push(slot(4));
  forms = ev_stack_list(b, NIL);
  mem_push(mem_cons(mem_if, forms));  // 6: the if form

  b = mem.sp;
  mem_push(mem_lambda);
  mem_push(slot(0));
  mem_push(slot(6));
  mem_push(ev_stack_list(b, NIL));  // 7: the lambda form

  b = mem.sp;
  mem_push(mem_do_loop);
  mem_push(slot(7));
  Value binding = ev_stack_list(b, NIL);
  mem_push(mem_cons(binding, NIL));  // 8: the binding list

  Value call = mem_cons(mem_do_loop, slot(1));
  Value letrec_body = mem_cons(call, NIL);
  Value letrec_ops = mem_cons(slot(8), letrec_body);
  mem.sp = keep;
  vm.exp = letrec_ops;
  return ST_LETREC;
}

}  // namespace ondrel
