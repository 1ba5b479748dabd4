// numbers_test.cpp - arithmetic, comparisons and number conversions.
#include <cmath>

#include "primitives/prim.h"
#include "primitives/prim_support.h"

using namespace primtest;

namespace {

using Numbers = Prims;

TEST_F(Numbers, KindPredicatesAreOneKindEach) {
  EXPECT_EQ(call("real?", {I(1)}), mem_false);
  EXPECT_EQ(call("rational?", {I(1)}), mem_false);
  EXPECT_EQ(call("complex?", {R(1.5)}), mem_false);
  EXPECT_EQ(call("exact?", {R(1.0)}), mem_false);
  EXPECT_EQ(call("inexact?", {S("s")}), mem_true);
  EXPECT_EQ(call("zero?", {I(0)}), mem_true);
  EXPECT_EQ(call("zero?", {R(0.0)}), mem_false);
  EXPECT_EQ(call("zero?", {S("0")}), mem_false);
  // A RATIONAL and a COMPLEX (layouts only) are numbers but take no part
  // in arithmetic.
  Value rat = keep(mem_cons(I(1), I(2)));
  cell(rat).tag = RATIONAL;
  EXPECT_EQ(call("number?", {rat}), mem_true);
  EXPECT_EQ(call("rational?", {rat}), mem_true);
  EXPECT_EQ(error_of("+", {rat, I(1)}), E_NEED_NUMBER);
  EXPECT_EQ(error_of("<", {I(1), rat}), E_NEED_NUMBER);
  EXPECT_EQ(error_of("number->string", {rat}), E_NEED_INT);
  Value rat2 = keep(mem_cons(I(1), I(2)));
  cell(rat2).tag = RATIONAL;
  EXPECT_EQ(call("equal?", {rat, rat2}), mem_true);
  EXPECT_EQ(call("eqv?", {rat, rat2}), mem_false);
}

TEST_F(Numbers, ArithmeticNeedsTwoNumbers) {
  EXPECT_EQ(error_of("+", {I(1)}), E_NOT_ENOUGH);
  EXPECT_EQ(error_of("-", {I(5)}), E_NOT_ENOUGH);
  EXPECT_EQ(error_of("*", {Y("a")}), E_NOT_ENOUGH);  // the count comes first
  EXPECT_EQ(error_of("/", {}), E_NOT_ENOUGH);
  EXPECT_EQ(error_of("+", {I(1), Y("a")}), E_NEED_NUMBER);
  EXPECT_EQ(error_of("+", {S("1"), I(1)}), E_NEED_NUMBER);
  EXPECT_EQ(error_of("*", {I(1), I(2), C('3')}), E_NEED_NUMBER);
}

TEST_F(Numbers, IntegerAndRealResults) {
  EXPECT_EQ(show(call("+", {I(1), R(2.0)})), "3r");
  EXPECT_EQ(show(call("*", {I(2), I(3)})), "6");
  EXPECT_EQ(show(call("-", {I(10), R(2.5)})), "7.5r");
  EXPECT_EQ(show(call("-", {I(10), I(1), I(2), I(3)})), "4");
  EXPECT_EQ(show(call("+", {I(1), I(2), I(3), I(4)})), "10");
}

TEST_F(Numbers, IntegersWrapAtThirtyTwoBits) {
  EXPECT_EQ(show(call("+", {I(2147483647), I(1)})), "-2147483648");
  EXPECT_EQ(show(call("-", {I(-2147483647 - 1), I(1)})), "2147483647");
  EXPECT_EQ(show(call("*", {I(100000), I(100000)})), "1410065408");
  EXPECT_EQ(show(call("*", {I(65536), I(65536)})), "0");
  // A product beyond 2^53 is first rounded to a double: (2^31-1)^2 is
  // 2^62-2^32+1 exactly, whose double is 2^62-2^32, low 32 bits 0 (not 1).
  EXPECT_EQ(show(call("*", {I(2147483647), I(2147483647)})), "0");
  EXPECT_EQ(show(call("*", {I(-3), I(1431655765)})), "1");  // -4294967295 mod 2^32
  // Beyond the 64-bit range the result is 0.
  EXPECT_EQ(show(call("*", {I(2147483647), I(2147483647), I(2147483647)})), "0");
}

TEST_F(Numbers, DivisionTruncatesAfterTheWholeChain) {
  EXPECT_EQ(show(call("/", {I(7), I(2)})), "3");
  EXPECT_EQ(show(call("/", {I(-7), I(2)})), "-3");
  EXPECT_EQ(show(call("/", {I(6), I(4)})), "1");
  EXPECT_EQ(show(call("/", {I(6), I(4), I(2)})), "0");  // 0.75 truncated
  EXPECT_EQ(show(call("/", {I(6), I(4), R(0.5)})), "3r");
}

// An all-integer division by zero is an error; with a REAL operand the IEEE
// infinities and NaNs stand.
TEST_F(Numbers, DivisionByZero) {
  EXPECT_EQ(error_of("/", {I(5), I(0)}), E_DIV_ZERO);
  EXPECT_EQ(error_of("/", {I(0), I(0)}), E_DIV_ZERO);
  EXPECT_EQ(error_of("/", {I(5), I(2), I(0)}), E_DIV_ZERO);
  EXPECT_EQ(error_of("/", {I(5), I(0), S("x")}), E_NEED_NUMBER);  // every check first
  Value inf = call("/", {R(5.0), I(0)});
  ASSERT_TRUE(is(inf, REAL));
  EXPECT_TRUE(std::isinf(real_value(inf)) && real_value(inf) > 0);
  Value neg = call("/", {I(-5), R(0.0)});
  EXPECT_TRUE(std::isinf(real_value(neg)) && real_value(neg) < 0);
  Value nan = call("/", {R(0.0), I(0)});
  EXPECT_TRUE(std::isnan(real_value(nan)));
  Value mixed = call("/", {I(5), I(0), R(2.0)});
  EXPECT_TRUE(std::isinf(real_value(mixed)));
}

TEST_F(Numbers, ComparisonsStopAtTheFirstFalse) {
  EXPECT_EQ(call("=", {I(1), R(1.0)}), mem_true);
  EXPECT_EQ(call("=", {I(1), I(1), I(2)}), mem_false);
  EXPECT_EQ(call("=", {I(1), I(1), I(1)}), mem_true);
  EXPECT_EQ(call("<", {I(1), I(2), I(3)}), mem_true);
  EXPECT_EQ(call("<", {I(1), I(3), I(2)}), mem_false);
  EXPECT_EQ(call("<", {I(2), I(1), Y("x")}), mem_false);
  EXPECT_EQ(error_of("<", {I(1), I(2), Y("x")}), E_NEED_NUMBER);
  EXPECT_EQ(call(">", {I(3), I(2), I(1)}), mem_true);
  EXPECT_EQ(call(">", {I(3), I(3)}), mem_false);
  EXPECT_EQ(call(">=", {I(3), I(3), R(2.5)}), mem_true);
  EXPECT_EQ(call("<=", {I(1), I(1), I(0)}), mem_false);
  EXPECT_EQ(call("<=", {R(-0.5), I(0), I(0)}), mem_true);
  EXPECT_EQ(error_of("=", {I(1)}), E_NOT_ENOUGH);
  EXPECT_EQ(error_of("=", {S("1"), I(1)}), E_NEED_NUMBER);
  EXPECT_EQ(error_of(">=", {}), E_NOT_ENOUGH);
  // = compares each argument with the first, not with its neighbour.
  EXPECT_EQ(call("=", {I(2), I(2), I(3), S("not reached")}), mem_false);
}

TEST_F(Numbers, NaNComparesFalse) {
  Value nan = call("/", {R(0.0), I(0)});
  for (const char* op : {"=", "<", ">", "<=", ">="}) {
    EXPECT_EQ(call(op, {nan, nan}), mem_false) << op;
    EXPECT_EQ(call(op, {nan, I(1)}), mem_false) << op;
    EXPECT_EQ(call(op, {I(1), nan}), mem_false) << op;
  }
}

TEST_F(Numbers, EvenOddRemainder) {
  EXPECT_EQ(call("odd?", {I(-3)}), mem_true);
  EXPECT_EQ(call("even?", {I(-4)}), mem_true);
  EXPECT_EQ(call("even?", {I(-2147483647 - 1)}), mem_true);
  EXPECT_EQ(call("odd?", {I(0)}), mem_false);
  EXPECT_EQ(error_of("even?", {R(2.0)}), E_NEED_NUMBER);
  EXPECT_EQ(show(call("remainder", {I(7), I(2)})), "1");
  EXPECT_EQ(show(call("remainder", {I(-7), I(2)})), "-1");
  EXPECT_EQ(show(call("remainder", {I(7), I(-2)})), "1");
  EXPECT_EQ(show(call("remainder", {I(-2147483647 - 1), I(-1)})), "0");
  EXPECT_EQ(error_of("remainder", {I(5), I(0)}), E_DIV_ZERO);
  EXPECT_EQ(error_of("remainder", {I(5)}), E_NOT_ENOUGH);
  EXPECT_EQ(error_of("remainder", {R(5.0), I(2)}), E_NEED_NUMBER);
  EXPECT_EQ(error_of("remainder", {I(5), Y("x")}), E_NEED_NUMBER);
}

TEST_F(Numbers, NumberToString) {
  EXPECT_EQ(show(call("number->string", {I(-42)})), "\"-42\"");
  EXPECT_EQ(show(call("number->string", {I(255), I(16)})), "\"255\"");  // the radix does not change it
  EXPECT_EQ(show(call("number->string", {I(0)})), "\"0\"");
  EXPECT_EQ(show(call("number->string", {I(-2147483647 - 1)})), "\"-2147483648\"");
  EXPECT_EQ(error_of("number->string", {R(1.5)}), E_NEED_INT);
  EXPECT_EQ(error_of("number->string", {I(10), I(0)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("number->string", {I(10), R(10.0)}), E_NEED_INT);
  EXPECT_EQ(error_of("number->string", {}), E_NEED_INT);
  // Given as (), the radix is present and not an INTEGER.
  EXPECT_EQ(error_of("number->string", {I(10), NIL}), E_NEED_INT);
}

TEST_F(Numbers, StringToNumber) {
  struct { const char* text; int radix; int32_t want; } rows[] = {
      {"", 10, 0}, {"99999999999", 10, 2147483647}, {"-99999999999", 10, -2147483647 - 1},
      {"2147483647", 10, 2147483647}, {"-2147483648", 10, -2147483647 - 1}, {"2147483648", 10, 2147483647},
      {"0x1A", 16, 26}, {"0X1a", 16, 26}, {"ff", 16, 255}, {"1.5", 10, 1}, {"abc", 10, 0},
      {" -12x", 10, -12}, {"\t\n\v\f\r+7", 10, 7}, {"0x1A", 10, 0}, {"z", 36, 35}, {"Z", 36, 35},
      {"101", 2, 5}, {"102", 2, 2}, {"5", 1, 0}, {"5", 37, 0}, {"- 5", 10, 0}, {"--5", 10, 0},
      {"+", 10, 0}, {"12345678901234567890123", 10, 2147483647}, {"\xb1", 10, 0},
  };
  for (auto& r : rows) {
    EXPECT_EQ(prim_parse_integer(r.text, r.radix), r.want) << r.text << " radix " << r.radix;
    EXPECT_EQ(int_value(call("string->number", {S(r.text), I(r.radix)})), r.want) << r.text;
  }
  EXPECT_EQ(show(call("string->number", {S("42")})), "42");
  EXPECT_EQ(error_of("string->number", {S("1"), I(0)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("string->number", {S("1"), I(-16)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("string->number", {S("1"), R(16.0)}), E_NEED_INT);
  EXPECT_EQ(error_of("string->number", {Y("a")}), E_NEED_STRING);
  EXPECT_EQ(error_of("string->number", {}), E_NEED_STRING);
}

TEST_F(Numbers, ResultsUnderCollectionStress) {
  mem.stress = true;
  EXPECT_EQ(show(call("+", {I(1), I(2), R(0.5)})), "3.5r");
  EXPECT_EQ(show(call("number->string", {I(123)})), "\"123\"");
  EXPECT_EQ(show(call("string->number", {S("77")})), "77");
  EXPECT_EQ(mem.sp, 0u);
}

}  // namespace
