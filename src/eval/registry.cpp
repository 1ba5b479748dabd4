// registry.cpp - constants, keywords and primitive registration.
#include "eval/registry.h"

#include "eval/eval.h"
#include "memory/memory.h"
#include "memory/symtab.h"

namespace ondrel {

static Value sym_make_constant(const char* name) {
  Value c = sym_intern(name);
  cell(c).tag = CONSTANT;
  cell(c).w1 = NIL;
  return c;
}

static Value sym_make_keyword(const char* name, uint32_t code) {
  Value k = sym_intern(name);
  cell(k).tag = KEYWORD;
  cell(k).w1 = code;
  return k;
}

void reg_primitive(const char* name, PrimKind kind, PrimFn fn) {
  ++prim_registrations;
  // A name registered again reuses its handler slot.
  Value sym = sym_intern(name);
  uint32_t slot = prim_nhandlers;
  Value old = cell(sym).w1;
  if (old != 0 && is(old, PRIMITIVE) && cell(old).aux != K_EVAL) slot = cell(old).w1;
  if (slot == prim_nhandlers) {
    if (prim_nhandlers == MAX_HANDLERS) return;  // cannot happen: the groups are fixed
    ++prim_nhandlers;
  }
  prim_handlers[slot] = fn;
  Value p = mem_make_primitive(kind, slot);
  cell(sym).tag = SYMBOL;
  cell(sym).w1 = p;
}

void reg_eval_primitive(const char* name, uint32_t state) {
  ++prim_registrations;
  Value sym = sym_intern(name);
  Value p = mem_make_primitive(K_EVAL, state);
  cell(sym).tag = SYMBOL;
  cell(sym).w1 = p;
}

void ev_init_symbols() {
  prim_registrations = 0;
  prim_nhandlers = 0;
  sym_true = sym_make_constant("#t");
  sym_false = sym_make_constant("#f");
  sym_eof = sym_make_constant("#<EOF>");
  sym_unspecified = sym_make_constant("#<unspecified>");
  sym_else = sym_make_constant("else");
  sym_arrow = sym_make_constant("=>");

  sym_quote = sym_make_keyword("quote", ST_QUOTE);
  sym_unquote = sym_make_keyword("unquote", ST_UNQUOTE);
  sym_unquote_splicing = sym_make_keyword("unquote-splicing", ST_UNQUOTE_SPLICING);
  sym_quasiquote = sym_make_keyword("quasiquote", ST_QUASIQUOTE);
  sym_lambda = sym_make_keyword("lambda", ST_LAMBDA);
  sym_make_keyword("and", ST_AND);
  sym_make_keyword("or", ST_OR);
  sym_begin = sym_make_keyword("begin", ST_SEQUENCE);
  sym_make_keyword("case", ST_CASE);
  sym_if = sym_make_keyword("if", ST_IF);
  sym_make_keyword("cond", ST_COND);
  sym_make_keyword("let", ST_LET);
  sym_make_keyword("let*", ST_LETSTAR);
  sym_make_keyword("letrec", ST_LETREC);
  sym_make_keyword("do", ST_DO);
  sym_make_keyword("define", ST_DEFINE);
  sym_make_keyword("set!", ST_SET);

  sym_prompt = sym_intern("#<PROMPT>");
  Value s = sym_intern("S>");
  cell(sym_prompt).w1 = s;
  sym_do_loop = sym_intern("##-Do-Loop-##");

  reg_eval_primitive("eval", ST_EVAL_PRIM);
  reg_eval_primitive("apply", ST_APPLY);
  reg_eval_primitive("call-with-current-continuation", ST_CALLCC);
}

}  // namespace ondrel
