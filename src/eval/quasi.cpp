// quasi.cpp - quasiquotation: templates filled by nested evaluations.
#include "eval/machine.h"
#include "memory/symtab.h"

namespace ondrel {

static Value qq_list(Value tmpl);

// The unquoted value of e: unquotes inside e are filled first, then the
// result is evaluated by a nested activation in the current environment.
static Value qq_unquoted(Value e) {
  if (is(e, PAIR)) e = qq_list(e);
  return ev_evaluate(e);
}

static bool qq_headed(Value x, Value keyword) { return is(x, PAIR) && car(x) == keyword; }

// A new list from a template: its elements go on the software stack, with
// the template itself below them so that it outlives nested evaluations.
static Value qq_list(Value tmpl) {
  uint32_t base = mem.sp;
  mem_push(tmpl);
  Value rest = tmpl;
  Value tail = NIL;
  bool have_tail = false;
  for (; is(rest, PAIR); rest = cdr(rest)) {
    Value e = car(rest);
    if (e == mem_unquote) {  // a dotted (... . ,x) tail
      tail = qq_unquoted(ev_second(rest));
      have_tail = true;
      break;
    }
    if (e == mem_unquote_splicing) mem_error(E_QUASI);
    if (qq_headed(e, mem_unquote_splicing)) {
      Value v = qq_unquoted(ev_second(e));
      if (v != NIL && !is(v, PAIR)) mem_error(E_NEED_LIST);
      for (Value x = v; is(x, PAIR); x = cdr(x)) mem_push(car(x));
      continue;
    }
    if (qq_headed(e, mem_unquote)) {
      mem_push(qq_unquoted(ev_second(e)));
    } else if (is(e, PAIR)) {
      mem_push(qq_list(e));
    } else {
      mem_push(e);
    }
  }
  if (!have_tail) tail = rest;
  Value list = ev_stack_list(base + 1, tail);
  mem.sp = base;
  return list;
}

uint32_t ev_state_quasiquote() {
  Value ops = vm.exp;
  if (!is(ops, PAIR)) mem_error(E_QUASI);
  Value tmpl = car(ops);
  if (!is(tmpl, PAIR)) return ev_value(tmpl);
  if (car(tmpl) == mem_unquote) return ev_value(qq_unquoted(ev_second(tmpl)));
  if (car(tmpl) == mem_unquote_splicing) mem_error(E_QUASI);
  return ev_value(qq_list(tmpl));
}

}  // namespace ondrel
