// vectors_test.cpp - vector construction, bounds, conversions and filling.
#include "primitives/prim_support.h"

using namespace primtest;

namespace {

using Vectors = Prims;

TEST_F(Vectors, Construction) {
  Value e = call("make-vector", {I(0)});
  EXPECT_EQ(vec_len(e), 0u);
  EXPECT_EQ(cell(e).w2, NULL_VECTOR);
  EXPECT_EQ(vec_len(call("vector", {})), 0u);
  EXPECT_EQ(show(call("make-vector", {I(3)})), "#(() () ())");
  EXPECT_EQ(show(call("make-vector", {I(2), Y("a")})), "#(a a)");
  EXPECT_EQ(show(call("vector", {I(1), S("b"), C('c')})), "#(1 \"b\" #\\c)");
  EXPECT_EQ(error_of("make-vector", {I(-1)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("make-vector", {I(100000)}), E_VECTOR_AREA);
  EXPECT_EQ(error_of("make-vector", {I(65536)}), E_VECTOR_AREA);
  EXPECT_EQ(error_of("make-vector", {I(4000)}), E_VECTOR_AREA);
  EXPECT_EQ(error_of("make-vector", {R(3.0)}), E_NEED_INT);
  EXPECT_EQ(error_of("make-vector", {}), E_NEED_INT);
}

TEST_F(Vectors, LargestVectorFillsTheArea) {
  Value v = call("make-vector", {I(3999), I(7)});
  EXPECT_EQ(vec_len(v), 3999u);
  EXPECT_EQ(mem.vec_top, VEC_BASE + AREA_BYTES);
  EXPECT_EQ(show(call("vector-ref", {v, I(3998)})), "7");
  EXPECT_EQ(error_of("vector", {I(1)}), E_VECTOR_AREA);
  EXPECT_EQ(vec_len(call("vector", {})), 0u);  // the empty vector needs no room
}

TEST_F(Vectors, Bounds) {
  Value v = call("vector", {I(10), I(20)});
  EXPECT_EQ(show(call("vector-length", {v})), "2");
  EXPECT_EQ(show(call("vector-ref", {v, I(1)})), "20");
  EXPECT_EQ(error_of("vector-ref", {v, I(-1)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("vector-ref", {v, I(2)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("vector-ref", {I(5), I(0)}), E_NEED_VECTOR);
  EXPECT_EQ(error_of("vector-ref", {call("vector", {I(1)}), Y("a")}), E_NEED_INT);
  EXPECT_EQ(error_of("vector-ref", {call("vector", {}), I(0)}), E_OUT_OF_RANGE);
  EXPECT_EQ(call("vector-set!", {v, I(0), S("x")}), mem_unspecified);
  EXPECT_EQ(show(v), "#(\"x\" 20)");
  EXPECT_EQ(error_of("vector-set!", {v, I(2), I(0)}), E_OUT_OF_RANGE);
  EXPECT_EQ(error_of("vector-set!", {v, R(0.0), I(0)}), E_NEED_INT);
  EXPECT_EQ(error_of("vector-set!", {L({I(1)}), I(0), I(0)}), E_NEED_VECTOR);
  EXPECT_EQ(show(v), "#(\"x\" 20)");
  EXPECT_EQ(error_of("vector-length", {L({I(1)})}), E_NEED_VECTOR);
}

TEST_F(Vectors, ListConversionsAndFill) {
  EXPECT_EQ(show(call("vector->list", {call("vector", {I(1), I(2), I(3)})})), "(1 2 3)");
  EXPECT_EQ(mem.sp, 0u);  // no software stack imbalance
  EXPECT_EQ(call("vector->list", {call("vector", {})}), NIL);
  EXPECT_EQ(show(call("list->vector", {L({I(1), I(2)})})), "#(1 2)");
  EXPECT_EQ(vec_len(call("list->vector", {NIL})), 0u);
  EXPECT_EQ(error_of("list->vector", {I(5)}), E_NEED_LIST);
  EXPECT_EQ(error_of("list->vector", {L({I(1)}, I(2))}), E_NEED_LIST);
  Value circ = L({I(1)});
  set_cdr(circ, circ);
  EXPECT_EQ(error_of("list->vector", {circ}), E_NEED_LIST);
  Value v = call("make-vector", {I(3), I(0)});
  EXPECT_EQ(call("vector-fill!", {v, Y("z")}), mem_unspecified);
  EXPECT_EQ(show(v), "#(z z z)");
  EXPECT_EQ(call("vector-fill!", {call("vector", {}), I(1)}), mem_unspecified);
  EXPECT_EQ(error_of("vector-fill!", {S("abc"), C('z')}), E_NEED_VECTOR);
  EXPECT_EQ(error_of("vector->list", {L({I(1)})}), E_NEED_VECTOR);
  EXPECT_EQ(call("equal?", {call("list->vector", {L({I(1), S("s")})}), call("vector", {I(1), S("s")})}), mem_true);
}

// Collections at every allocation with garbage in the vector area, so that
// compaction moves the blocks while the primitives work on them.
TEST_F(Vectors, UnderCollectionStress) {
  Value v = call("vector", {S("a"), I(2), L({I(3)})});
  for (int i = 0; i < 300; ++i) mem_make_vector(5);
  mem.stress = true;
  EXPECT_EQ(show(call("vector->list", {v})), "(\"a\" 2 (3))");
  EXPECT_EQ(show(call("list->vector", {L({S("x"), I(1), S("y")})})), "#(\"x\" 1 \"y\")");
  EXPECT_EQ(show(call("make-vector", {I(2), S("f")})), "#(\"f\" \"f\")");
  EXPECT_EQ(show(call("vector", {I(7), S("q")})), "#(7 \"q\")");
  EXPECT_EQ(show(call("vector-length", {v})), "3");
  EXPECT_EQ(show(v), "#(\"a\" 2 (3))");
  EXPECT_EQ(mem.sp, 0u);
}

// A sieve over a 3000-slot vector, as a program would run it.
TEST_F(Vectors, SieveOverALargeVector) {
  Value v = call("make-vector", {I(3000), mem_true});
  set_car(Y("sieve"), v);
  for (int i = 2; i * i < 3000; ++i)
    if (call_free("vector-ref", {v, I(i)}) == mem_true)
      for (int j = i * i; j < 3000; j += i) call_free("vector-set!", {v, I(j), mem_false});
  int primes = 0;
  for (int i = 2; i < 3000; ++i) primes += vec_slots(v)[i] == mem_true;
  EXPECT_EQ(primes, 430);
}

}  // namespace
