// chars.cpp - character primitives.
#include "primitives/prim.h"

namespace ondrel {

// These primitives count their arguments themselves: too few is error 13,
// too many error 14, both before any type check.
static void exactly(Value args, uint32_t n) {
  uint32_t given = prim_count(args);
  if (given < n) mem_error(E_NOT_ENOUGH);
  if (given > n) mem_error(E_TOO_MANY);
}

static uint8_t need_char(Value v) { return char_code(prim_need(v, CHARACTER, E_NEED_CHAR)); }

// Case folding in the plain ASCII sense: codes 128..255 are no letters.
static uint8_t fold(uint8_t c) { return c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c + 32) : c; }
static bool is_upper(uint8_t c) { return c >= 'A' && c <= 'Z'; }
static bool is_lower(uint8_t c) { return c >= 'a' && c <= 'z'; }

/* --------------------------------------------------------- comparisons */

// Codes compare as unsigned numbers, so 128..255 sort after ASCII.
static Value char_compare(Value args, CmpOp op, bool folding) {
  exactly(args, 2);
  uint8_t a = need_char(prim_arg0(args));
  uint8_t b = need_char(prim_arg1(args));
  if (folding) {
    a = fold(a);
    b = fold(b);
  }
  return boolean(prim_holds(op, a, b));
}

static Value p_char_eq(Value args) { return char_compare(args, CMP_EQ, false); }
static Value p_char_lt(Value args) { return char_compare(args, CMP_LT, false); }
static Value p_char_gt(Value args) { return char_compare(args, CMP_GT, false); }
static Value p_char_le(Value args) { return char_compare(args, CMP_LE, false); }
static Value p_char_ge(Value args) { return char_compare(args, CMP_GE, false); }
static Value p_char_ci_eq(Value args) { return char_compare(args, CMP_EQ, true); }
static Value p_char_ci_lt(Value args) { return char_compare(args, CMP_LT, true); }
static Value p_char_ci_gt(Value args) { return char_compare(args, CMP_GT, true); }
static Value p_char_ci_le(Value args) { return char_compare(args, CMP_LE, true); }
static Value p_char_ci_ge(Value args) { return char_compare(args, CMP_GE, true); }

/* ------------------------------------------------------ classification */

static Value p_char_p(Value args) { return boolean(prim_has_tag(prim_arg0(args), CHARACTER)); }

// The code of the one CHARACTER argument.
static uint8_t one_char(Value args) {
  exactly(args, 1);
  return need_char(prim_arg0(args));
}

static Value p_alphabetic_p(Value args) {
  uint8_t c = one_char(args);
  return boolean(is_upper(c) || is_lower(c));
}
static Value p_numeric_p(Value args) {
  uint8_t c = one_char(args);
  return boolean(c >= '0' && c <= '9');
}
static Value p_whitespace_p(Value args) {
  uint8_t c = one_char(args);
  return boolean(c == ' ' || (c >= 9 && c <= 13));
}
static Value p_upper_case_p(Value args) { return boolean(is_upper(one_char(args))); }
static Value p_lower_case_p(Value args) { return boolean(is_lower(one_char(args))); }

/* --------------------------------------------------------- conversions */

static Value p_char_to_integer(Value args) { return mem_make_integer(one_char(args)); }

// The low 8 bits of the value: (integer->char 321) is #\A.
static Value p_integer_to_char(Value args) {
  exactly(args, 1);
  int32_t n = prim_need_int(prim_arg0(args), E_NEED_NUMBER);
  return mem_char(static_cast<uint32_t>(n) & 0xFF);
}

// Characters are unique table entries: the results need no allocation.
static Value p_char_upcase(Value args) {
  uint8_t c = one_char(args);
  return mem_char(is_lower(c) ? c - 32u : c);
}
static Value p_char_downcase(Value args) { return mem_char(fold(one_char(args))); }

/* -------------------------------------------------------- registration */

// The comparisons carry kind 17 although they take two arguments.  char?
// is the first row.
static constexpr PrimDef CHAR_PRIMS[] = {
    {"char?", K_ONE, p_char_p},
    {"char=?", K_ONE, p_char_eq},
    {"char<?", K_ONE, p_char_lt},
    {"char>?", K_ONE, p_char_gt},
    {"char<=?", K_ONE, p_char_le},
    {"char>=?", K_ONE, p_char_ge},
    {"char-ci=?", K_ONE, p_char_ci_eq},
    {"char-ci<?", K_ONE, p_char_ci_lt},
    {"char-ci>?", K_ONE, p_char_ci_gt},
    {"char-ci<=?", K_ONE, p_char_ci_le},
    {"char-ci>=?", K_ONE, p_char_ci_ge},
    {"char-alphabetic?", K_ONE, p_alphabetic_p},
    {"char-numeric?", K_ONE, p_numeric_p},
    {"char-whitespace?", K_ONE, p_whitespace_p},
    {"char-upper-case?", K_ONE, p_upper_case_p},
    {"char-lower-case?", K_ONE, p_lower_case_p},
    {"char->integer", K_ONE, p_char_to_integer},
    {"integer->char", K_ONE, p_integer_to_char},
    {"char-upcase", K_ONE, p_char_upcase},
    {"char-downcase", K_ONE, p_char_downcase},
};

void prim_register_chars() { ev_register_table(CHAR_PRIMS); }

}  // namespace ondrel
