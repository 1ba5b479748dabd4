// mathfns.cpp - rounding, trigonometric and exponential functions, and
// inexact->exact: the numeric functions a geometry or graphics lesson
// needs and the init file cannot write well.
#include <cmath>

#include "primitives/prim.h"

namespace ondrel {

namespace {

// The checks every function of this group makes, in this order: an
// argument at all (13), then each argument it reads a number (16), then
// nothing beyond the last it reads (14).
Value need_number(Value v) {
  if (!prim_has_tag(v, INTEGER) && !prim_has_tag(v, REAL)) mem_error(E_NEED_NUMBER);
  return v;
}

double as_double(Value v) { return prim_has_tag(v, INTEGER) ? int_value(v) : real_value(v); }

// The one number of a one-argument function.
Value one_number(Value args) {
  if (!prim_has_tag(args, PAIR)) mem_error(E_NOT_ENOUGH);
  Value v = need_number(car(args));
  if (prim_has_tag(cdr(args), PAIR)) mem_error(E_TOO_MANY);
  return v;
}

/* ------------------------------------------------------------ rounding */

// An INTEGER is already whole and comes back unchanged; a REAL gives the
// whole REAL the rounding chooses.
template <double (*ROUND)(double)>
Value rounding(Value args) {
  Value v = one_number(args);
  if (prim_has_tag(v, INTEGER)) return v;
  return mem_make_real(ROUND(real_value(v)));
}

double to_floor(double x) { return std::floor(x); }
double to_ceiling(double x) { return std::ceil(x); }
double to_truncate(double x) { return std::trunc(x); }
// Halves go to the even neighbour: 2.5 gives 2, 3.5 gives 4.
double to_even(double x) {
  double r = std::round(x);  // halves away from zero
  if (std::fabs(x - std::trunc(x)) == 0.5) r = 2.0 * std::round(x / 2.0);
  return r;
}

Value p_floor(Value args) { return rounding<to_floor>(args); }
Value p_ceiling(Value args) { return rounding<to_ceiling>(args); }
Value p_round(Value args) { return rounding<to_even>(args); }
Value p_truncate(Value args) { return rounding<to_truncate>(args); }

/* ----------------------------------------- trigonometric, exponential */

// Always a REAL, in radians for the angles; outside a function's domain
// the IEEE result stands ((log 0) is minus infinity, (log -1) a NaN).
template <double (*FN)(double)>
Value real_function(Value args) {
  return mem_make_real(FN(as_double(one_number(args))));
}

double d_sin(double x) { return std::sin(x); }
double d_cos(double x) { return std::cos(x); }
double d_tan(double x) { return std::tan(x); }
double d_exp(double x) { return std::exp(x); }
double d_log(double x) { return std::log(x); }

Value p_sin(Value args) { return real_function<d_sin>(args); }
Value p_cos(Value args) { return real_function<d_cos>(args); }
Value p_tan(Value args) { return real_function<d_tan>(args); }
Value p_exp(Value args) { return real_function<d_exp>(args); }
Value p_log(Value args) { return real_function<d_log>(args); }

// (atan y) is the angle whose tangent is y; (atan y x) the angle of the
// point (x, y), from -pi to pi.
Value p_atan(Value args) {
  if (!prim_has_tag(args, PAIR)) mem_error(E_NOT_ENOUGH);
  double y = as_double(need_number(car(args)));
  Value rest = cdr(args);
  if (!prim_has_tag(rest, PAIR)) return mem_make_real(std::atan(y));
  double x = as_double(need_number(car(rest)));
  if (prim_has_tag(cdr(rest), PAIR)) mem_error(E_TOO_MANY);
  return mem_make_real(std::atan2(y, x));
}

/* ----------------------------------------------------------- exactness */

// The nearest INTEGER, halves to even.  A REAL with no INTEGER near it
// (beyond the 32-bit range, infinite or NaN) is out of range rather than
// a wrapped, wrong number.
Value p_inexact_to_exact(Value args) {
  Value v = one_number(args);
  if (prim_has_tag(v, INTEGER)) return v;
  double r = to_even(real_value(v));
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) mem_error(E_OUT_OF_RANGE);
  return mem_make_integer(static_cast<int32_t>(r));
}

constexpr PrimDef MATH_PRIMS[] = {
    {"floor", K_ONE, p_floor},
    {"ceiling", K_ONE, p_ceiling},
    {"round", K_ONE, p_round},
    {"truncate", K_ONE, p_truncate},
    {"sin", K_ONE, p_sin},
    {"cos", K_ONE, p_cos},
    {"tan", K_ONE, p_tan},
    {"atan", K_ONE_TWO, p_atan},
    {"exp", K_ONE, p_exp},
    {"log", K_ONE, p_log},
    {"inexact->exact", K_ONE, p_inexact_to_exact},
};

}  // namespace

void prim_register_math() { ev_register_table(MATH_PRIMS); }

}  // namespace ondrel
