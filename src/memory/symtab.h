// symtab.h - the symbol table and the interned cells the system names.
#pragma once
#include <cstdint>

#include "memory/value.h"

namespace ondrel {

// Constants (CONSTANT cells), made at start-up (eval/registry.cpp).
inline Value sym_true, sym_false, sym_eof, sym_unspecified, sym_else, sym_arrow;
// Keywords the reader, the evaluator and the rewriting of `do` build forms with.
inline Value sym_quote, sym_quasiquote, sym_unquote, sym_unquote_splicing;
inline Value sym_lambda, sym_if, sym_begin;
// "#<PROMPT>" (its value is the prompt) and "##-Do-Loop-##".
inline Value sym_prompt, sym_do_loop;

inline Value boolean(bool b) { return b ? sym_true : sym_false; }

// Return the interned cell of `name` (case-sensitive), making an unbound
// SYMBOL when it is new.
Value sym_intern(const char* name);

}  // namespace ondrel
