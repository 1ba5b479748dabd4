// chars_test.cpp - character comparisons, classification and conversions.
#include "primitives/prim_support.h"

using namespace primtest;

namespace {

using Chars = Prims;

TEST_F(Chars, CountsAreCheckedBeforeTypes) {
  EXPECT_EQ(error_of("char<?", {C('a')}), E_NOT_ENOUGH);
  EXPECT_EQ(error_of("char<?", {C('a'), C('b'), C('c')}), E_TOO_MANY);
  EXPECT_EQ(error_of("char<?", {C('a'), S("b")}), E_NEED_CHAR);
  EXPECT_EQ(error_of("char<?", {S("a"), S("b"), S("c")}), E_TOO_MANY);
  EXPECT_EQ(error_of("char-ci=?", {}), E_NOT_ENOUGH);
  EXPECT_EQ(error_of("char-upcase", {}), E_NOT_ENOUGH);
  EXPECT_EQ(error_of("char-upcase", {C('a'), C('b')}), E_TOO_MANY);
  EXPECT_EQ(error_of("char-upcase", {I(97)}), E_NEED_CHAR);
  EXPECT_EQ(error_of("integer->char", {C('a')}), E_NEED_NUMBER);
  EXPECT_EQ(error_of("integer->char", {I(1), I(2)}), E_TOO_MANY);
  EXPECT_EQ(error_of("char->integer", {I(1)}), E_NEED_CHAR);
}

TEST_F(Chars, OrderingIsUnsigned) {
  EXPECT_EQ(call("char<?", {C('Z'), C('a')}), mem_true);
  EXPECT_EQ(call("char<?", {C('a'), C(200)}), mem_true);
  EXPECT_EQ(call("char>?", {C(255), C(127)}), mem_true);
  EXPECT_EQ(call("char<=?", {C('a'), C('a')}), mem_true);
  EXPECT_EQ(call("char>=?", {C('a'), C('b')}), mem_false);
  EXPECT_EQ(call("char=?", {C('a'), C('A')}), mem_false);
}

TEST_F(Chars, FoldingIsAsciiOnly) {
  EXPECT_EQ(call("char-ci=?", {C('A'), C('a')}), mem_true);
  EXPECT_EQ(call("char-ci<?", {C('Z'), C('a')}), mem_false);
  EXPECT_EQ(call("char-ci>?", {C('Z'), C('a')}), mem_true);
  EXPECT_EQ(call("char-ci<=?", {C('b'), C('B')}), mem_true);
  EXPECT_EQ(call("char-ci>=?", {C('['), C('a')}), mem_false);  // '[' is 91, not folded
  EXPECT_EQ(call("char-ci=?", {C(224), C(192)}), mem_false);
  EXPECT_EQ(call("char-upcase", {C('a')}), C('A'));
  EXPECT_EQ(call("char-upcase", {C(224)}), C(224));
  EXPECT_EQ(call("char-upcase", {C('{')}), C('{'));
  EXPECT_EQ(call("char-downcase", {C('Z')}), C('z'));
  EXPECT_EQ(call("char-downcase", {C('@')}), C('@'));
  EXPECT_EQ(call("char-downcase", {C(192)}), C(192));
}

TEST_F(Chars, ClassificationOverEveryCode) {
  for (int c = 0; c < 256; ++c) {
    bool upper = c >= 'A' && c <= 'Z', lower = c >= 'a' && c <= 'z';
    EXPECT_EQ(call("char-alphabetic?", {C(c)}), boolean(upper || lower)) << c;
    EXPECT_EQ(call("char-upper-case?", {C(c)}), boolean(upper)) << c;
    EXPECT_EQ(call("char-lower-case?", {C(c)}), boolean(lower)) << c;
    EXPECT_EQ(call("char-numeric?", {C(c)}), boolean(c >= '0' && c <= '9')) << c;
    EXPECT_EQ(call("char-whitespace?", {C(c)}), boolean(c == 32 || (c >= 9 && c <= 13))) << c;
    EXPECT_EQ(int_value(call("char->integer", {C(c)})), c);
  }
}

TEST_F(Chars, IntegerToCharTakesTheLowByte) {
  EXPECT_EQ(call("integer->char", {I(321)}), C('A'));
  EXPECT_EQ(call("integer->char", {I(-1)}), C(255));
  EXPECT_EQ(call("integer->char", {I(0)}), C(0));
  EXPECT_EQ(show(call("char->integer", {call("integer->char", {I(0)})})), "0");
  EXPECT_EQ(call("eq?", {call("char-upcase", {C('a')}), C('A')}), mem_true);
}

}  // namespace
