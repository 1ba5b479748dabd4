// numbers.cpp - numeric tower and arithmetic primitives.
#include <cinttypes>
#include <cstdio>

#include "primitives/prim.h"

namespace ondrel {

/* ---------------------------------------------------------- predicates */

static bool kind_of(Value args, Tag t) { return prim_has_tag(prim_arg0(args), t); }

static Value p_number_p(Value args) {
  switch (tag_byte(prim_arg0(args))) {
    case INTEGER:
    case RATIONAL:
    case REAL:
    case COMPLEX: return mem_true;
    default: return mem_false;
  }
}

static Value p_complex_p(Value args) { return boolean(kind_of(args, COMPLEX)); }
static Value p_real_p(Value args) { return boolean(kind_of(args, REAL)); }
static Value p_rational_p(Value args) { return boolean(kind_of(args, RATIONAL)); }
// Exactness is carried by the kind: only an INTEGER is exact.
static Value p_integer_p(Value args) { return boolean(kind_of(args, INTEGER)); }
static Value p_inexact_p(Value args) { return boolean(!kind_of(args, INTEGER)); }

static Value p_zero_p(Value args) {
  Value v = prim_arg0(args);
  return boolean(prim_has_tag(v, INTEGER) && int_value(v) == 0);
}

/* ---------------------------------------------------------- arithmetic */

// The value of an INTEGER or REAL as a double; error 16 for anything else.
static double need_real(Value v, bool& all_int) {
  if (prim_has_tag(v, INTEGER)) return int_value(v);
  if (prim_has_tag(v, REAL)) {
    all_int = false;
    return real_value(v);
  }
  mem_error(E_NEED_NUMBER);
}

enum ArithOp { OP_ADD, OP_SUB, OP_MUL, OP_DIV };

// Every step works in doubles; the result is an INTEGER when every operand
// was one.  An all-integer division by zero is an error, since the
// truncated infinity would be a wrong answer; with a REAL operand the IEEE
// infinity or NaN stands.
static Value arith(Value args, ArithOp op) {
  prim_need_args(args, 2);
  bool all_int = true, zero_divisor = false;
  double acc = need_real(car(args), all_int);
  for (Value a = cdr(args); prim_has_tag(a, PAIR); a = cdr(a)) {
    double x = need_real(car(a), all_int);
    switch (op) {
      case OP_ADD: acc += x; break;
      case OP_SUB: acc -= x; break;
      case OP_MUL: acc *= x; break;
      case OP_DIV:
        if (x == 0) zero_divisor = true;
        acc /= x;
        break;
    }
  }
  if (!all_int) return mem_make_real(acc);
  if (zero_divisor) mem_error(E_DIV_ZERO);
  return mem_integer(prim_wrap_int(acc));
}

// The two values of an argument list of exactly two INTEGERs, the common
// case that the fast paths below take without the general walk.
static bool two_ints(Value args, int32_t& a, int32_t& b) {
  if (!prim_has_tag(args, PAIR)) return false;
  Value rest = cdr(args);
  if (!prim_has_tag(rest, PAIR) || cdr(rest) != NIL) return false;
  Value x = car(args), y = car(rest);
  if (!prim_has_tag(x, INTEGER) || !prim_has_tag(y, INTEGER)) return false;
  a = int_value(x);
  b = int_value(y);
  return true;
}

// The arithmetic of two INTEGERs as arith does it, in doubles with the same
// wrap to 32 bits; false for a zero divisor, which arith reports.
static bool int_arith(int32_t a, int32_t b, ArithOp op, int32_t& r) {
  double acc = a, x = b;
  switch (op) {
    case OP_ADD: acc += x; break;
    case OP_SUB: acc -= x; break;
    case OP_MUL: acc *= x; break;
    case OP_DIV:
      if (b == 0) return false;
      acc /= x;
      break;
  }
  r = prim_wrap_int(acc);
  return true;
}

template <ArithOp OP>
static Value arith2(Value args) {
  int32_t a, b, r;
  if (two_ints(args, a, b) && int_arith(a, b, OP, r)) return mem_integer(r);
  return arith(args, OP);
}

static Value p_add(Value args) { return arith2<OP_ADD>(args); }
static Value p_sub(Value args) { return arith2<OP_SUB>(args); }
static Value p_mul(Value args) { return arith2<OP_MUL>(args); }
static Value p_div(Value args) { return arith2<OP_DIV>(args); }

/* --------------------------------------------------------- comparisons */

// Stops at the first comparison that fails, so later arguments are not
// checked.  Any comparison with a NaN fails.
static Value compare(Value args, CmpOp op) {
  prim_need_args(args, 2);
  bool all_int = true;
  double ref = need_real(car(args), all_int);
  for (Value a = cdr(args); prim_has_tag(a, PAIR); a = cdr(a)) {
    double x = need_real(car(a), all_int);
    if (!prim_holds(op, ref, x)) return mem_false;
    if (op != CMP_EQ) ref = x;  // = compares every argument with the first
  }
  return mem_true;
}

template <CmpOp OP>
static Value compare2(Value args) {
  int32_t a, b;
  if (two_ints(args, a, b)) return boolean(prim_holds(OP, a, b));
  return compare(args, OP);
}

static Value p_num_eq(Value args) { return compare2<CMP_EQ>(args); }
static Value p_num_gt(Value args) { return compare2<CMP_GT>(args); }
static Value p_num_lt(Value args) { return compare2<CMP_LT>(args); }
static Value p_num_ge(Value args) { return compare2<CMP_GE>(args); }
static Value p_num_le(Value args) { return compare2<CMP_LE>(args); }

/* ------------------------------------------------------- direct forms */

// Two INTEGERs, and a cell at hand for an arithmetic result; anything else
// goes to the list handlers above.
static bool direct_ints(const Value* argv, uint32_t n) {
  return n == 2 && prim_has_tag(argv[0], INTEGER) && prim_has_tag(argv[1], INTEGER);
}

template <ArithOp OP>
static Value d_arith(const Value* argv, uint32_t n) {
  int32_t r;
  if (!direct_ints(argv, n) || !prim_cell_at_hand()) return 0;
  if (!int_arith(int_value(argv[0]), int_value(argv[1]), OP, r)) return 0;
  return mem_integer(r);
}

template <CmpOp OP>
static Value d_compare(const Value* argv, uint32_t n) {
  if (!direct_ints(argv, n)) return 0;
  return boolean(prim_holds(OP, int_value(argv[0]), int_value(argv[1])));
}

/* ------------------------------------------------------------ integers */

static Value p_even_p(Value args) { return boolean(prim_need_int(prim_arg0(args), E_NEED_NUMBER) % 2 == 0); }

static Value p_odd_p(Value args) { return boolean(prim_need_int(prim_arg0(args), E_NEED_NUMBER) % 2 != 0); }

// Truncated remainder, with the sign of the dividend.
static Value p_remainder(Value args) {
  prim_need_args(args, 2);
  int32_t a = prim_need_int(prim_arg0(args), E_NEED_NUMBER);
  int32_t b = prim_need_int(prim_arg1(args), E_NEED_NUMBER);
  if (b == 0) mem_error(E_DIV_ZERO);
  if (b == -1) return mem_make_integer(0);  // INT32_MIN % -1 overflows in C++
  return mem_make_integer(a % b);
}

/* --------------------------------------------------------- conversions */

// The optional radix: an INTEGER greater than 0 when given.
static int32_t radix_arg(Value args, int32_t dflt) {
  if (prim_count(args) < 2) return dflt;
  int32_t r = prim_need_int(prim_arg1(args), E_NEED_INT);
  if (r <= 0) mem_error(E_OUT_OF_RANGE);
  return r;
}

// Always the decimal text; the radix is checked but does not change it.
static Value p_number_to_string(Value args) {
  int32_t n = prim_need_int(prim_arg0(args), E_NEED_INT);
  radix_arg(args, 10);
  char text[16];
  std::snprintf(text, sizeof text, "%" PRId32, n);
  return mem_make_string(text);
}

static bool is_space(uint8_t c) { return c == ' ' || (c >= 9 && c <= 13); }

static int digit_value(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// A whole number read from the front of the text, saturating at the
// 32-bit limits; the rest of the text is ignored.
int32_t prim_parse_integer(const char* text, int32_t radix) {
  if (radix < 2 || radix > 36) return 0;
  auto s = reinterpret_cast<const uint8_t*>(text);
  while (is_space(*s)) ++s;
  bool negative = false;
  if (*s == '+' || *s == '-') negative = *s++ == '-';
  if (radix == 16 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s += 2;
  const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  uint64_t mag = 0;
  for (; digit_value(*s) < radix; ++s) {
    mag = mag * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit_value(*s));
    if (mag > limit) mag = limit + 1;  // stays saturated, cannot overflow
  }
  if (mag > limit) mag = limit;
  int64_t v = negative ? -static_cast<int64_t>(mag) : static_cast<int64_t>(mag);
  return static_cast<int32_t>(v);
}

static Value p_string_to_number(Value args) {
  Value s = prim_need(prim_arg0(args), STRING, E_NEED_STRING);
  int32_t r = radix_arg(args, 10);
  return mem_make_integer(prim_parse_integer(str_bytes(s), r));
}

/* -------------------------------------------------------- registration */

static constexpr PrimDef NUMBER_PRIMS[] = {
    {"number?", K_ONE, p_number_p},
    {"complex?", K_ONE, p_complex_p},
    {"real?", K_ONE, p_real_p},
    {"rational?", K_ONE, p_rational_p},
    {"integer?", K_ONE, p_integer_p},
    {"exact?", K_ONE, p_integer_p},
    {"inexact?", K_ONE, p_inexact_p},
    {"zero?", K_ONE, p_zero_p},
    {"+", K_ANY, p_add},
    {"-", K_ANY, p_sub},
    {"*", K_ANY, p_mul},
    {"/", K_ANY, p_div},
    {"=", K_ANY, p_num_eq},
    {">", K_ANY, p_num_gt},
    {"<", K_ANY, p_num_lt},
    {">=", K_ANY, p_num_ge},
    {"<=", K_ANY, p_num_le},
    {"even?", K_ONE, p_even_p},
    {"odd?", K_ONE, p_odd_p},
    {"remainder", K_TWO, p_remainder},
    {"number->string", K_OPT1, p_number_to_string},
    {"string->number", K_OPT1, p_string_to_number},
};

static Value d_remainder(const Value* argv, uint32_t n) {
  if (!direct_ints(argv, n) || int_value(argv[1]) == 0 || !prim_cell_at_hand()) return 0;
  int32_t a = int_value(argv[0]), b = int_value(argv[1]);
  return mem_integer(b == -1 ? 0 : a % b);
}

static constexpr DirectDef NUMBER_DIRECT[] = {
    {"+", d_arith<OP_ADD>},     {"-", d_arith<OP_SUB>},    {"*", d_arith<OP_MUL>},
    {"/", d_arith<OP_DIV>},     {"=", d_compare<CMP_EQ>},  {">", d_compare<CMP_GT>},
    {"<", d_compare<CMP_LT>},   {">=", d_compare<CMP_GE>}, {"<=", d_compare<CMP_LE>},
    {"remainder", d_remainder},
};

void prim_register_numbers() {
  ev_register_table(NUMBER_PRIMS);
  ev_register_direct_table(NUMBER_DIRECT);
}

}  // namespace ondrel
