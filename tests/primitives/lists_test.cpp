// lists_test.cpp - pairs, predicates, equivalence, append and the system primitives.
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "primitives/prim.h"
#include "primitives/prim_support.h"
#include "memory/state.h"

using namespace primtest;

namespace {

using Lists = Prims;

TEST_F(Lists, RegisteredInOrderWithTheirKinds) {
  // 3 evaluator procedures, 26 + 22 + 9 + 19 + 21 of these groups, and
  // plov-installed?; the port, graphics and turtle groups add the rest.
  EXPECT_GE(ev_registrations, 101u);
  struct { const char* name; uint8_t kind; } rows[] = {
      {"null?", 17}, {"cons", 18}, {"bye", 16}, {"list", 24}, {"gc", 16}, {"random", 17},
      {"number?", 17}, {"+", 24}, {"remainder", 18}, {"number->string", 21}, {"string->number", 21},
      {"vector?", 17}, {"make-vector", 22}, {"vector-set!", 19}, {"vector-fill!", 18},
      {"char=?", 17}, {"char-ci>=?", 17}, {"char-downcase", 17},
      {"make-string", 22}, {"string", 24}, {"string-set!", 19}, {"substring", 19}, {"string-fill!", 18},
  };
  for (auto& r : rows) {
    Value p = car(mem_intern(r.name));
    ASSERT_TRUE(is(p, PRIMITIVE)) << r.name;
    EXPECT_EQ(cell(p).aux, r.kind) << r.name;
  }
}

TEST_F(Lists, CarCdrConsAndMissingArguments) {
  Value p = L({I(1)}, I(2));
  EXPECT_EQ(show(call("car", {p})), "1");
  EXPECT_EQ(show(call("cdr", {p})), "2");
  EXPECT_EQ(error_of("car", {NIL}), E_NEED_LIST);
  EXPECT_EQ(error_of("cdr", {I(5)}), E_NEED_LIST);
  EXPECT_EQ(error_of("car", {}), E_NEED_LIST);  // the missing argument reads as ()
  EXPECT_EQ(show(call("cons", {I(1)})), "(1)");
  EXPECT_EQ(show(call("cons", {I(1), I(2)})), "(1 . 2)");
  EXPECT_EQ(call("eq?", {Y("a")}), mem_false);
  EXPECT_EQ(call("null?", {}), mem_true);
  // An improper argument list cannot lead the argument walk astray.
  EXPECT_EQ(show(call_list("cons", L({I(1)}, I(9)))), "(1)");
}

TEST_F(Lists, SetCarAndSetCdr) {
  Value p = L({I(1), I(2)});
  EXPECT_EQ(call("set-car!", {p, Y("x")}), mem_unspecified);
  EXPECT_EQ(call("set-cdr!", {p, I(3)}), mem_unspecified);
  EXPECT_EQ(show(p), "(x . 3)");
  EXPECT_EQ(error_of("set-car!", {NIL, I(1)}), E_NEED_LIST);
  EXPECT_EQ(error_of("set-cdr!", {S("s"), I(1)}), E_NEED_LIST);
}

// Every type predicate over one value of every kind.
TEST_F(Lists, TypePredicatesOverEveryKind) {
  mem_collect(GC_USER);
  Value traced = Y("traced-name");
  cell(traced).tag |= TRACE_FLAG;
  struct Kind { const char* label; Value v; };
  std::vector<Kind> kinds = {
      {"pair", L({I(1)})}, {"nil", NIL}, {"symbol", Y("abc")}, {"traced", traced},
      {"true", mem_true}, {"false", mem_false}, {"else", mem_else}, {"keyword", Y("if")},
      {"integer", I(3)}, {"real", R(2.5)}, {"string", S("s")}, {"char", C('a')},
      {"vector", call("vector", {I(1)})}, {"primitive", car(Y("car"))}, {"unspec", mem_unspecified},
  };
  // Expected "1" per predicate, in the order of `kinds`.
  struct Row { const char* pred; const char* want; };
  Row rows[] = {
      {"pair?",      "100000000000000"},
      {"null?",      "010000000000000"},
      {"symbol?",    "011111100000001"},
      {"boolean?",   "000011000000000"},
      {"number?",    "000000001100000"},
      {"string?",    "000000000010000"},
      {"char?",      "000000000001000"},
      {"vector?",    "000000000000100"},
      {"integer?",   "000000001000000"},
      {"exact?",     "000000001000000"},
      {"inexact?",   "111111110111111"},
      {"real?",      "000000000100000"},
      {"rational?",  "000000000000000"},
      {"complex?",   "000000000000000"},
      {"not",        "000001000000000"},
  };
  for (const Row& r : rows) {
    std::string got;
    for (const Kind& k : kinds) got += call(r.pred, {k.v}) == mem_true ? '1' : '0';
    EXPECT_EQ(got, r.want) << r.pred;
  }
}

TEST_F(Lists, ProcedurePredicateLooksThroughGlobalNames) {
  EXPECT_EQ(call("procedure?", {Y("car")}), mem_true);
  EXPECT_EQ(call("procedure?", {car(Y("car"))}), mem_true);
  EXPECT_EQ(call("procedure?", {Y("undefined-name")}), mem_false);
  EXPECT_EQ(call("procedure?", {Y("if")}), mem_true);  // a keyword counts
  EXPECT_EQ(call("procedure?", {I(1)}), mem_false);
  EXPECT_EQ(call("procedure?", {mem_true}), mem_false);
  Value quoted = Y("holds-a-symbol");
  set_car(quoted, Y("car"));  // a symbol whose value is a symbol: not followed twice
  EXPECT_EQ(call("procedure?", {quoted}), mem_false);
  Value traced = Y("cdr");
  cell(traced).tag |= TRACE_FLAG;
  EXPECT_EQ(call("procedure?", {traced}), mem_true);
}

/* ---------------------------------------------------------- equivalence */

TEST_F(Lists, EqvByKind) {
  EXPECT_EQ(call("eqv?", {I(2), I(2)}), mem_true);
  EXPECT_EQ(call("eq?", {I(2), I(2)}), mem_false);  // two INTEGER cells
  EXPECT_EQ(call("eqv?", {I(2), R(2.0)}), mem_false);
  EXPECT_EQ(call("eqv?", {R(2.0), I(2)}), mem_false);
  EXPECT_EQ(call("eqv?", {R(1.5), R(1.5)}), mem_true);
  EXPECT_EQ(call("eqv?", {S("ab"), S("ab")}), mem_true);  // strings by content
  EXPECT_EQ(call("eqv?", {S("ab"), S("abc")}), mem_false);
  EXPECT_EQ(call("eqv?", {L({I(1)}), L({I(1)})}), mem_false);
  EXPECT_EQ(call("eqv?", {C('a'), C('a')}), mem_true);
  EXPECT_EQ(call("eq?", {C('a'), C('a')}), mem_true);
  EXPECT_EQ(call("eqv?", {Y("a"), Y("a")}), mem_true);
  // NaN: unequal as a number, equal to itself only as the same object.
  Value nan = R(std::nan(""));
  EXPECT_EQ(call("eqv?", {nan, R(std::nan(""))}), mem_false);
  EXPECT_EQ(call("eqv?", {nan, nan}), mem_true);
  EXPECT_EQ(call("equal?", {nan, R(std::nan(""))}), mem_false);
  EXPECT_EQ(call("equal?", {nan, nan}), mem_true);
}

TEST_F(Lists, EqualOnEachType) {
  EXPECT_EQ(call("equal?", {L({I(1), call("vector", {I(2), I(3)})}), L({I(1), call("vector", {I(2), I(3)})})}), mem_true);
  EXPECT_EQ(call("equal?", {call("vector", {I(1), I(2)}), call("vector", {I(1), I(3)})}), mem_false);
  EXPECT_EQ(call("equal?", {call("vector", {}), call("vector", {})}), mem_true);
  EXPECT_EQ(call("equal?", {call("vector", {I(1)}), call("vector", {I(1), I(2)})}), mem_false);
  EXPECT_EQ(call("equal?", {I(2), R(2.0)}), mem_false);
  EXPECT_EQ(call("equal?", {S("x"), S("x")}), mem_true);
  EXPECT_EQ(call("equal?", {S("x"), Y("x")}), mem_false);
  EXPECT_EQ(call("equal?", {L({I(1)}, I(2)), L({I(1)}, I(2))}), mem_true);
  EXPECT_EQ(call("equal?", {L({I(1)}, I(2)), L({I(1)}, I(3))}), mem_false);
  EXPECT_EQ(call("equal?", {L({I(1), I(2)}), L({I(1)})}), mem_false);
  // A symbol's name is compared, so a fresh uninterned symbol of the same
  // name is equal? but not eq?.
  Value loose = keep(mem_make_symbol("abc"));
  EXPECT_EQ(call("equal?", {loose, Y("abc")}), mem_true);
  EXPECT_EQ(call("eq?", {loose, Y("abc")}), mem_false);
  // Constants, procedures and keywords: identity only.
  EXPECT_EQ(call("equal?", {mem_true, mem_true}), mem_true);
  EXPECT_EQ(call("equal?", {mem_true, mem_false}), mem_false);
  EXPECT_EQ(call("equal?", {Y("if"), Y("if")}), mem_true);
  // A mismatch deep inside a vector inside a list.
  Value a = L({I(1), L({call("vector", {I(1), L({S("deep")})})})});
  Value b = L({I(1), L({call("vector", {I(1), L({S("deeq")})})})});
  EXPECT_EQ(call("equal?", {a, b}), mem_false);
  EXPECT_EQ(mem.sp, 0u);  // every pending comparison was dropped
}

// Big structures grow on the global value of a symbol, one cell at a time.
static Value grow(const char* root, Value car_part, bool on_cdr) {
  Value sym = mem_intern(root);
  if (car(sym) == 0) set_car(sym, NIL);
  Value p = on_cdr ? mem_cons(car_part, car(sym)) : mem_cons(car(sym), car_part);
  set_car(sym, p);
  return p;
}

// Long lists iterate; deep car nesting costs software stack, whose overflow
// is an error, not a crash.
TEST_F(Lists, EqualOnDeepStructures) {
  Value a = NIL, b = NIL;
  for (int i = 0; i < 15000; ++i) {
    a = grow("long-a", mem_make_integer(i), true);
    b = grow("long-b", mem_make_integer(i), true);
  }
  EXPECT_EQ(call("equal?", {a, b}), mem_true);
  EXPECT_EQ(mem.sp, 0u);
  set_car(Y("long-a"), NIL);
  set_car(Y("long-b"), NIL);
  Value x = NIL, y = NIL;
  for (int i = 0; i < 3000; ++i) {
    x = grow("deep-x", NIL, false);
    y = grow("deep-y", NIL, false);
  }
  EXPECT_EQ(error_of("equal?", {x, y}), E_SSTACK_OVER);
  // Vectors nested through lists the same way (the vector area holds
  // 1800 one-slot vectors at most).
  Value v = NIL, w = NIL;
  for (int i = 0; i < 850; ++i) {
    v = call("vector", {L({v})});
    w = call("vector", {L({w})});
  }
  EXPECT_EQ(error_of("equal?", {v, w}), E_SSTACK_OVER);
}

TEST_F(Lists, EqualWalksVectorsInOrder) {
  Value v2 = NIL, w2 = NIL;
  for (int i = 0; i < 400; ++i) {
    v2 = call("vector", {I(i), v2, L({I(i)})});
    w2 = call("vector", {I(i), w2, L({I(i)})});
  }
  EXPECT_EQ(call("equal?", {v2, w2}), mem_true);
  Value inner = v2;
  for (int i = 0; i < 200; ++i) inner = vec_slots(inner)[1];
  Value changed = L({I(-1)});
  vec_slots(inner)[2] = changed;
  EXPECT_EQ(call("equal?", {v2, w2}), mem_false);
  EXPECT_EQ(mem.sp, 0u);
}

TEST_F(Lists, EqualOnCdrCircularListsEndsOnBreak) {
  Value a = L({I(1), I(2)});
  set_cdr(cdr(a), a);
  Value b = L({I(1), I(2)});
  set_cdr(cdr(b), b);
  std::thread breaker([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    vm.break_flag = 1;
  });
  int e = error_of("equal?", {a, b});
  breaker.join();
  EXPECT_EQ(e, E_USER_BREAK);
  EXPECT_EQ(mem.sp, 0u);
}

/* -------------------------------------------------------------- append */

TEST_F(Lists, AppendSharingAndErrors) {
  EXPECT_EQ(error_of("append", {}), E_NOT_ENOUGH);
  EXPECT_EQ(call("append", {NIL, NIL}), NIL);
  EXPECT_EQ(show(call("append", {I(5)})), "5");
  EXPECT_EQ(show(call("append", {NIL, I(5)})), "5");
  EXPECT_EQ(error_of("append", {L({I(1)}), I(5)}), E_NEED_LIST);
  EXPECT_EQ(error_of("append", {I(5), L({I(1)})}), E_NEED_LIST);
  EXPECT_EQ(error_of("append", {L({I(1)}), I(5), L({I(1)})}), E_NEED_LIST);
  EXPECT_EQ(show(call("append", {L({I(1)}, I(2)), L({I(3)})})), "(1 3)");
  Value x = L({I(3), I(4)});
  Value r = call("append", {L({I(1)}), L({I(2)}), x});
  EXPECT_EQ(show(r), "(1 2 3 4)");
  EXPECT_EQ(cdr(cdr(r)), x);  // the last argument is the shared tail
  Value first = L({I(1)});
  r = call("append", {first, x});
  EXPECT_NE(r, first);  // the first is copied
  // NIL arguments right before the last: the last is copied too.
  r = call("append", {L({I(1)}), NIL, x});
  EXPECT_EQ(show(r), "(1 3 4)");
  EXPECT_NE(cdr(r), x);
  EXPECT_EQ(error_of("append", {L({I(1)}), NIL, I(5)}), E_NEED_LIST);
  // Leading NILs are skipped; a lone list after them is returned itself.
  EXPECT_EQ(call("append", {NIL, NIL, x}), x);
  EXPECT_EQ(show(call("append", {NIL, L({I(1)}), L({I(2)})})), "(1 2)");
  EXPECT_EQ(show(call("append", {L({I(1)}), NIL})), "(1)");
}

TEST_F(Lists, ListAndAppendUnderCollectionStress) {
  mem.stress = true;
  Value l = call("list", {I(1), S("two"), I(3)});
  EXPECT_EQ(show(l), "(1 \"two\" 3)");
  EXPECT_EQ(call("list", {}), NIL);
  Value r = call("append", {l, L({I(4), I(5)}), L({I(6)})});
  EXPECT_EQ(show(r), "(1 \"two\" 3 4 5 6)");
  EXPECT_EQ(show(call("cons", {S("a"), S("b")})), "(\"a\" . \"b\")");
  EXPECT_EQ(show(call("symbol->string", {Y("hello")})), "\"hello\"");
  EXPECT_EQ(mem.sp, 0u);
}

/* ------------------------------------------------------------- system */

TEST_F(Lists, TraceSetsAndClearsTheFlagOnly) {
  Value foo = Y("foo");
  uint8_t before = tag_byte(foo);
  EXPECT_EQ(call("trace", {foo}), mem_unspecified);
  EXPECT_EQ(tag_byte(foo), before | TRACE_FLAG);
  EXPECT_EQ(call("symbol?", {foo}), mem_true);
  EXPECT_EQ(call("trace", {foo}), mem_unspecified);  // again: no change
  EXPECT_EQ(call("untrace", {foo}), mem_unspecified);
  EXPECT_EQ(tag_byte(foo), before);
  EXPECT_EQ(error_of("trace", {Y("if")}), E_NEED_SYMBOL);
  EXPECT_EQ(error_of("trace", {mem_true}), E_NEED_SYMBOL);
  EXPECT_EQ(error_of("untrace", {S("foo")}), E_NEED_SYMBOL);
}

TEST_F(Lists, SymbolsAndStrings) {
  EXPECT_EQ(call("string->symbol", {S("abc")}), Y("abc"));
  EXPECT_EQ(call("string->symbol", {S("if")}), Y("if"));  // the keyword itself
  EXPECT_EQ(call("string->symbol", {S("Mixed Case")}), Y("Mixed Case"));
  Value s = call("symbol->string", {Y("name")});
  EXPECT_EQ(show(s), "\"name\"");
  EXPECT_NE(s, cell(Y("name")).w2);  // a copy, not the name itself
  Value t = Y("traced-too");
  cell(t).tag |= TRACE_FLAG;
  EXPECT_EQ(show(call("symbol->string", {t})), "\"traced-too\"");
  EXPECT_EQ(error_of("symbol->string", {S("x")}), E_NEED_SYMBOL);
  EXPECT_EQ(error_of("symbol->string", {mem_true}), E_NEED_SYMBOL);
  EXPECT_EQ(error_of("string->symbol", {Y("x")}), E_NEED_STRING);
}

TEST_F(Lists, GcKeepsReachableData) {
  Value l = L({S("kept"), call("vector", {S("in a vector")})});
  for (int i = 0; i < 100; ++i) mem_make_string("garbage");
  EXPECT_EQ(call("gc", {}), mem_unspecified);
  EXPECT_EQ(mem.last_cause, GC_USER);
  EXPECT_EQ(show(l), "(\"kept\" #(\"in a vector\"))");
}

TEST_F(Lists, RandomDrawFollowsTheGenerator) {
  prim_random_state = 1;
  EXPECT_EQ(prim_random_draw(), 41u);  // (1*214013+2531011) >> 16 & 32767
  EXPECT_EQ(prim_random_draw(), 18467u);
  EXPECT_EQ(prim_random_draw(), 6334u);
  // n from -1 to 1 makes no draw.
  prim_random_state = 1;
  EXPECT_EQ(show(call("random", {I(0)})), "0");
  EXPECT_EQ(show(call("random", {I(1)})), "0");
  EXPECT_EQ(show(call("random", {I(-1)})), "0");
  EXPECT_EQ(prim_random_state, 1u);
  EXPECT_EQ(show(call("random", {I(10)})), "1");   // 41 mod 10
  EXPECT_EQ(show(call("random", {I(-5)})), "-2");  // -(18467 mod 5)
  EXPECT_EQ(show(call("random", {I(100000)})), "6334");
  for (int i = 0; i < 2000; ++i) {
    int32_t r = int_value(call("random", {I(2)}));
    EXPECT_TRUE(r == 0 || r == 1);
    r = int_value(call("random", {I(-5)}));
    EXPECT_TRUE(r >= -4 && r <= 0);
    r = int_value(call("random", {I(2147483647)}));
    EXPECT_TRUE(r >= 0 && r <= 32767);
    r = int_value(call("random", {I(-2147483647 - 1)}));
    EXPECT_TRUE(r >= -32767 && r <= 0);
  }
  EXPECT_EQ(error_of("random", {R(2.0)}), E_NEED_NUMBER);
  EXPECT_EQ(error_of("random", {}), E_NEED_NUMBER);
}

TEST_F(Lists, ByeQuits) {
  try {
    call("bye", {});
    FAIL() << "bye returned";
  } catch (const Unwind& u) {
    EXPECT_EQ(u.code, UNWIND_QUIT);
  }
}

}  // namespace
