// symtab.h - the symbol table and the interned cells the system names.
#pragma once
#include <cstdint>

#include "memory/value.h"

namespace ondrel {

// Constants (CONSTANT cells), made at start-up (eval/registry.cpp).
inline Value mem_true, mem_false, mem_eof, mem_unspecified, mem_else, mem_arrow;
// Keywords the reader, the evaluator and the rewriting of `do` build forms with.
inline Value mem_quote, mem_quasiquote, mem_unquote, mem_unquote_splicing;
inline Value mem_lambda, mem_if, mem_begin;
// "#<PROMPT>" (its value is the prompt) and "##-Do-Loop-##".
inline Value mem_prompt, mem_do_loop;

inline Value boolean(bool b) { return b ? mem_true : mem_false; }

// Return the interned cell of `name` (case-sensitive), making an unbound
// SYMBOL when it is new.
Value mem_intern(const char* name);

}  // namespace ondrel
