// registry.cpp - constants, keywords and primitive registration.
#include "eval/registry.h"

#include "eval/eval.h"
#include "memory/memory.h"
#include "memory/symtab.h"

namespace ondrel {

static Value sym_make_constant(const char* name) {
  Value c = mem_intern(name);
  cell(c).tag = CONSTANT;
  cell(c).w1 = NIL;
  return c;
}

static Value sym_make_keyword(const char* name, uint32_t code) {
  Value k = mem_intern(name);
  cell(k).tag = KEYWORD;
  cell(k).w1 = code;
  return k;
}

void ev_register(const char* name, PrimKind kind, PrimFn fn) {
  ++ev_registrations;
  // A name registered again reuses its handler slot.
  Value sym = mem_intern(name);
  uint32_t slot = ev_nhandlers;
  Value old = cell(sym).w1;
  if (old != 0 && is(old, PRIMITIVE) && cell(old).aux != K_EVAL) slot = cell(old).w1;
  if (slot == ev_nhandlers) {
    if (ev_nhandlers == MAX_HANDLERS) return;  // cannot happen: the groups are fixed
    ++ev_nhandlers;
  }
  ev_handlers[slot] = fn;
  Value p = mem_make_primitive(kind, slot);
  cell(sym).tag = SYMBOL;
  cell(sym).w1 = p;
}

void ev_register_direct(const DirectDef* defs, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) {
    Value p = cell(mem_intern(defs[i].name)).w1;
    if (p != 0 && is(p, PRIMITIVE) && cell(p).aux != K_EVAL) ev_direct[cell(p).w1] = defs[i].fn;
  }
}

void ev_register_eval(const char* name, uint32_t state) {
  ++ev_registrations;
  Value sym = mem_intern(name);
  Value p = mem_make_primitive(K_EVAL, state);
  cell(sym).tag = SYMBOL;
  cell(sym).w1 = p;
}

void ev_init_symbols() {
  ev_registrations = 0;
  ev_nhandlers = 0;
  for (DirectFn& d : ev_direct) d = nullptr;
  mem_true = sym_make_constant("#t");
  mem_false = sym_make_constant("#f");
  mem_eof = sym_make_constant("#<EOF>");
  mem_unspecified = sym_make_constant("#<unspecified>");
  mem_else = sym_make_constant("else");
  mem_arrow = sym_make_constant("=>");

  mem_quote = sym_make_keyword("quote", ST_QUOTE);
  mem_unquote = sym_make_keyword("unquote", ST_UNQUOTE);
  mem_unquote_splicing = sym_make_keyword("unquote-splicing", ST_UNQUOTE_SPLICING);
  mem_quasiquote = sym_make_keyword("quasiquote", ST_QUASIQUOTE);
  mem_lambda = sym_make_keyword("lambda", ST_LAMBDA);
  sym_make_keyword("and", ST_AND);
  sym_make_keyword("or", ST_OR);
  mem_begin = sym_make_keyword("begin", ST_SEQUENCE);
  sym_make_keyword("case", ST_CASE);
  mem_if = sym_make_keyword("if", ST_IF);
  sym_make_keyword("cond", ST_COND);
  sym_make_keyword("let", ST_LET);
  sym_make_keyword("let*", ST_LETSTAR);
  sym_make_keyword("letrec", ST_LETREC);
  sym_make_keyword("do", ST_DO);
  sym_make_keyword("define", ST_DEFINE);
  sym_make_keyword("set!", ST_SET);

  mem_prompt = mem_intern("#<PROMPT>");
  Value s = mem_intern("S>");
  cell(mem_prompt).w1 = s;
  mem_do_loop = mem_intern("##-Do-Loop-##");

  ev_register_eval("eval", ST_EVAL_PRIM);
  ev_register_eval("apply", ST_APPLY);
  ev_register_eval("call-with-current-continuation", ST_CALLCC);
}

}  // namespace ondrel
