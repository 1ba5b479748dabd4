// prim.h - argument access and checks shared by the primitive groups.
#pragma once
#include <cstdint>

#include "eval/registry.h"
#include "memory/error.h"
#include "memory/memory.h"
#include "memory/symtab.h"

namespace ondrel {

// Arguments are read by position.  One that was not given reads as NIL,
// and the walk stops at anything that is not a PAIR, so an improper list
// handed over by `apply` cannot lead outside the list's cells.
inline Value prim_arg(Value args, uint32_t i) {
  for (; i > 0 && tag_byte(args) == PAIR; --i) args = cdr(args);
  return tag_byte(args) == PAIR ? car(args) : NIL;
}
inline Value prim_arg0(Value args) { return prim_arg(args, 0); }
inline Value prim_arg1(Value args) { return prim_arg(args, 1); }
inline Value prim_arg2(Value args) { return prim_arg(args, 2); }

// Number of arguments given.
inline uint32_t prim_count(Value args) {
  uint32_t n = 0;
  for (; tag_byte(args) == PAIR; args = cdr(args)) ++n;
  return n;
}

// Whole-tag-byte type test.  A traced SYMBOL carries TRACE_FLAG and so
// fails it; the tests that must accept one use type_of instead.
inline bool prim_has_tag(Value v, Tag t) { return tag_byte(v) == t; }

// Raise `err` unless v has tag t; returns v so checks read in line.
inline Value prim_need(Value v, Tag t, int err) {
  if (!prim_has_tag(v, t)) mem_error(err);
  return v;
}
// The value of an INTEGER argument, raising `err` for anything else.
inline int32_t prim_need_int(Value v, int err) {
  if (!prim_has_tag(v, INTEGER)) mem_error(err);
  return int_value(v);
}
// A SYMBOL (traced or not), else error 15.
inline Value prim_need_symbol(Value v) {
  if (type_of(v) != SYMBOL) mem_error(E_NEED_SYMBOL);
  return v;
}
// At least n arguments, else error 13.
inline void prim_need_args(Value args, uint32_t n) {
  if (prim_count(args) < n) mem_error(E_NOT_ENOUGH);
}

inline Value prim_unspecified() { return mem_unspecified; }

// An integer result of the arithmetic primitives, which compute in doubles:
// the double truncated toward zero to 64 bits, keeping the low 32; out of
// range, infinite or NaN gives 0.
inline int32_t prim_wrap_int(double acc) {
  if (!(acc >= -9223372036854775808.0 && acc < 9223372036854775808.0)) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(acc))));
}

// The comparisons of the character, string and numeric groups: whether
// `a op b` holds.  A NaN fails every one.
enum CmpOp { CMP_EQ, CMP_LT, CMP_GT, CMP_LE, CMP_GE };
template <typename T>
inline bool prim_holds(CmpOp op, T a, T b) {
  switch (op) {
    case CMP_EQ: return a == b;
    case CMP_LT: return a < b;
    case CMP_GT: return a > b;
    case CMP_LE: return a <= b;
    case CMP_GE: return a >= b;
  }
  return false;
}

// Shared between the groups (lists.cpp).
bool prim_equal(Value a, Value b);  // equal? of two values
// The same, giving false with `overflow` set, instead of raising error 5,
// when the pending comparisons do not fit the software stack.
bool prim_equal_walk(Value a, Value b, bool& overflow);
// Shared with the tests (numbers.cpp).
int32_t prim_parse_integer(const char* text, int32_t radix);  // string->number

// Generator state of `random`, seeded at registration (start-up) with the
// time in seconds.
inline uint32_t prim_random_state = 0;
// One draw of the generator: a number from 0 to 32767.
inline uint32_t prim_random_draw() {
  prim_random_state = prim_random_state * 214013u + 2531011u;
  return (prim_random_state >> 16) & 32767u;
}

// The registration of each group (the order is toplevel/groups.cpp's).
void prim_register_lists();
void prim_register_numbers();
void prim_register_ports();
void prim_register_vectors();
void prim_register_chars();
void prim_register_strings();
void prim_register_system();
void prim_register_math();     // floor to inexact->exact, after the groups above
void prim_register_library();  // list and number procedures of the library

}  // namespace ondrel
