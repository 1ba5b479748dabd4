// strings_test.cpp - string construction, access, ordering and conversions.
#include "primitives/prim_support.h"

using namespace primtest;

namespace {

using Strings = Prims;

TEST_F(Strings, MakeStringAndString) {
  EXPECT_EQ(show(call("make-string", {I(3)})), "\"   \"");
  EXPECT_EQ(show(call("make-string", {I(0)})), "\"\"");
  EXPECT_EQ(show(call("make-string", {I(2), C('x')})), "\"xx\"");
  EXPECT_EQ(error_of("make-string", {I(-1)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("make-string", {I(-1), S("x")}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("make-string", {I(2), S("x")}), E_NEED_CHAR);
  EXPECT_EQ(error_of("make-string", {R(2.0)}), E_NEED_INT);
  EXPECT_EQ(error_of("make-string", {I(16000)}), E_STRING_AREA);
  EXPECT_EQ(error_of("make-string", {I(2147483647)}), E_STRING_AREA);
  EXPECT_EQ(show(call("string", {C('a'), C('b')})), "\"ab\"");
  EXPECT_EQ(show(call("string", {})), "\"\"");
  EXPECT_EQ(error_of("string", {C('a'), S("b")}), E_NEED_CHAR);
}

TEST_F(Strings, LengthRefSet) {
  Value s = S("abc");
  EXPECT_EQ(show(call("string-length", {s})), "3");
  EXPECT_EQ(call("string-ref", {s, I(0)}), C('a'));
  EXPECT_EQ(call("string-ref", {s, I(2)}), C('c'));
  EXPECT_EQ(error_of("string-ref", {s, I(-1)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("string-ref", {s, I(3)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("string-ref", {s, R(1.0)}), E_NEED_INT);
  EXPECT_EQ(error_of("string-ref", {Y("abc"), I(0)}), E_NEED_STRING);
  for (int k : {-1, 0, 1}) EXPECT_EQ(error_of("string-ref", {S(""), I(k)}), E_OUT_OF_RANGE);
  EXPECT_EQ(call("string-set!", {s, I(1), C('X')}), mem_unspecified);
  EXPECT_EQ(show(s), "\"aXc\"");
  // Checks in order: string, index type, character, then range; nothing is
  // written when one fails.
  EXPECT_EQ(error_of("string-set!", {s, I(9), I(65)}), E_NEED_CHAR);
  EXPECT_EQ(error_of("string-set!", {s, Y("i"), I(65)}), E_NEED_INT);
  EXPECT_EQ(error_of("string-set!", {s, I(3), C('z')}), E_OUT_OF_RANGE);
  EXPECT_EQ(show(s), "\"aXc\"");
  // Code 0 ends the string.
  call("string-set!", {s, I(1), C(0)});
  EXPECT_EQ(show(call("string-length", {s})), "1");
  EXPECT_EQ(error_of("string-ref", {s, I(1)}), E_OUT_OF_RANGE);
}

TEST_F(Strings, OrderingIsOnSignedBytes) {
  EXPECT_EQ(call("string<?", {S(""), S("a")}), mem_true);
  EXPECT_EQ(call("string<?", {S("abc"), S("abd")}), mem_true);
  EXPECT_EQ(call("string<?", {S("ab"), S("abc")}), mem_true);
  EXPECT_EQ(call("string>?", {S("abc"), S("ab")}), mem_true);
  // Bytes 128..255 are negative: before ASCII and before the end.
  EXPECT_EQ(call("string<?", {S("\x82\xa0"), S("A")}), mem_true);
  EXPECT_EQ(call("string<?", {S("ab\x90"), S("ab")}), mem_true);
  EXPECT_EQ(call("string>?", {S("ab"), S("ab\x90")}), mem_true);
  // char<? orders the same codes the other way.
  EXPECT_EQ(call("char<?", {C(0x82), C('A')}), mem_false);
  EXPECT_EQ(call("string=?", {S("same"), S("same")}), mem_true);
  EXPECT_EQ(call("string<=?", {S("same"), S("same")}), mem_true);
  EXPECT_EQ(call("string>=?", {S("a"), S("b")}), mem_false);
  EXPECT_EQ(call("string=?", {S("a"), S("A")}), mem_false);
  EXPECT_EQ(error_of("string=?", {S("a"), Y("a")}), E_NEED_STRING);
  EXPECT_EQ(error_of("string<?", {I(1), S("a")}), E_NEED_STRING);
}

TEST_F(Strings, FoldingComparisons) {
  EXPECT_EQ(call("string-ci=?", {S("Hello World"), S("hELLO wORLD")}), mem_true);
  EXPECT_EQ(call("string-ci=?", {S("\xc0"), S("\xe0")}), mem_false);  // no folding above ASCII
  EXPECT_EQ(call("string-ci<?", {S("apple"), S("BANANA")}), mem_true);
  EXPECT_EQ(call("string<?", {S("apple"), S("BANANA")}), mem_false);
  EXPECT_EQ(call("string-ci>?", {S("Zebra"), S("apple")}), mem_true);
  EXPECT_EQ(call("string-ci<=?", {S("ABC"), S("abc")}), mem_true);
  EXPECT_EQ(call("string-ci>=?", {S("abc"), S("ABCD")}), mem_false);
  EXPECT_EQ(call("string-ci<?", {S("[") /* 91 */, S("a")}), mem_true);
  EXPECT_EQ(call("string-ci<?", {S("\x90"), S("a")}), mem_true);
}

TEST_F(Strings, Substring) {
  Value s = S("hello");
  EXPECT_EQ(show(call("substring", {s, I(1), I(3)})), "\"el\"");
  EXPECT_EQ(show(call("substring", {s, I(0), I(0)})), "\"\"");
  EXPECT_EQ(show(call("substring", {s, I(5), I(5)})), "\"\"");
  EXPECT_EQ(show(call("substring", {s, I(0), I(5)})), "\"hello\"");
  EXPECT_EQ(error_of("substring", {s, I(3), I(2)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("substring", {s, I(-1), I(2)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("substring", {s, I(0), I(6)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("substring", {s, I(0), S("2")}), E_NEED_INT);
  EXPECT_EQ(error_of("substring", {s, C('0'), I(2)}), E_NEED_INT);
  EXPECT_EQ(error_of("substring", {s, I(0)}), E_NEED_INT);
}

TEST_F(Strings, AppendCopyFill) {
  EXPECT_EQ(show(call("string-append", {})), "\"\"");
  EXPECT_EQ(show(call("string-append", {S("ab"), S(""), S("cd")})), "\"abcd\"");
  EXPECT_EQ(error_of("string-append", {S("ab"), C('c')}), E_NEED_STRING);
  Value s = S("orig");
  Value c = call("string-copy", {s});
  EXPECT_NE(c, s);
  EXPECT_EQ(show(c), "\"orig\"");
  EXPECT_EQ(call("string-fill!", {c, C('z')}), mem_unspecified);
  EXPECT_EQ(show(c), "\"zzzz\"");
  EXPECT_EQ(show(s), "\"orig\"");
  EXPECT_EQ(error_of("string-fill!", {c, S("z")}), E_NEED_CHAR);
  EXPECT_EQ(error_of("string-fill!", {Y("c"), C('z')}), E_NEED_STRING);
  EXPECT_EQ(show(c), "\"zzzz\"");
}

TEST_F(Strings, ListConversions) {
  EXPECT_EQ(show(call("string->list", {S("abc")})), "(#\\a #\\b #\\c)");
  EXPECT_EQ(call("string->list", {S("")}), NIL);
  EXPECT_EQ(show(call("list->string", {L({C('h'), C('i')})})), "\"hi\"");
  EXPECT_EQ(show(call("list->string", {NIL})), "\"\"");
  EXPECT_EQ(error_of("list->string", {L({C('h'), Y("i")})}), E_NEED_CHAR);
  EXPECT_EQ(error_of("list->string", {L({C('h')}, C('i'))}), E_NEED_LIST);
  EXPECT_EQ(error_of("list->string", {S("hi")}), E_NEED_LIST);
  // The list must be proper before its elements are looked at.
  EXPECT_EQ(error_of("list->string", {L({Y("h")}, Y("i"))}), E_NEED_LIST);
  Value circ = L({C('a'), C('b')});
  set_cdr(cdr(circ), circ);
  EXPECT_EQ(error_of("list->string", {circ}), E_NEED_LIST);
  EXPECT_EQ(error_of("string->list", {L({C('a')})}), E_NEED_STRING);
}

// Every allocating primitive, with a collection at each allocation and the
// string area full of garbage, so that compaction moves the arguments.
TEST_F(Strings, UnderCollectionStress) {
  Value a = S("alpha"), b = S("beta");
  for (int i = 0; i < 1400; ++i) mem_make_string("garbage!");
  mem.stress = true;
  EXPECT_EQ(show(call("string-append", {a, S("-"), b, S("-"), a})), "\"alpha-beta-alpha\"");
  EXPECT_EQ(show(call("substring", {b, I(1), I(3)})), "\"et\"");
  EXPECT_EQ(show(call("string-copy", {a})), "\"alpha\"");
  EXPECT_EQ(show(call("string->list", {b})), "(#\\b #\\e #\\t #\\a)");
  EXPECT_EQ(show(call("list->string", {L({C('o'), C('k')})})), "\"ok\"");
  EXPECT_EQ(show(call("string", {C('x'), C('y')})), "\"xy\"");
  EXPECT_EQ(show(call("make-string", {I(2), C('q')})), "\"qq\"");
  EXPECT_EQ(show(call("symbol->string", {Y("sym")})), "\"sym\"");
  EXPECT_EQ(call("string->symbol", {S("fresh-name")}), Y("fresh-name"));
  EXPECT_EQ(show(call("string-length", {a})), "5");
  EXPECT_EQ(mem.sp, 0u);
}

// Repeated concatenation near a full area: compaction reclaims the dropped
// strings, and a result that cannot fit is error 1.
TEST_F(Strings, AppendChurnKeepsTheAreaUsable) {
  Value piece = S("0123456789");
  Value acc = S("");
  Value holder = Y("churn");
  set_car(holder, acc);
  for (int i = 0; i < 1000; ++i) {
    acc = call_free("string-append", {car(holder), piece});
    set_car(holder, acc);
    if (str_len(acc) > 6000) acc = call_free("substring", {acc, I(0), I(100)});
    set_car(holder, acc);
  }
  EXPECT_LE(str_len(car(holder)), 6010u);
  Value big = call("make-string", {I(7000), C('x')});
  set_car(Y("big"), big);
  EXPECT_EQ(error_of("string-append", {big, big, big}), E_STRING_AREA);
  EXPECT_EQ(error_of("string-append", {big, big}), E_STRING_AREA);
}

}  // namespace
