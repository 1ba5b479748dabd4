// printer_test.cpp - the written and displayed form of every type, and the
// cuts for deep and circular structures.
#include <cstring>
#include <string>
#include <utility>

#include "reader/reader_support.h"

using namespace rdtest;

namespace {

// Every value a helper makes stays on the software stack until the test
// ends, so the tests also hold under a collection on every allocation.
struct Printer : Fresh {
  Value keep(Value v) {
    mem_push(v);
    return v;
  }
  Value integer(int32_t n) { return keep(mem_make_integer(n)); }
  Value real(double d) { return keep(mem_make_real(d)); }
  Value str(const char* s) { return keep(mem_make_string(s)); }
  Value list(std::initializer_list<Value> xs) {
    Value l = NIL;
    std::vector<Value> v(xs);
    for (auto it = v.rbegin(); it != v.rend(); ++it) l = mem_cons(*it, l);
    return keep(l);
  }
  // A pair re-tagged as another two-word type.
  Value retag(uint8_t tag, Value w1, Value w2) {
    Value p = mem_cons(w1, w2);
    cell(p).tag = tag;
    return keep(p);
  }
};

TEST_F(Printer, NamesOfSymbolsConstantsAndKeywords) {
  Value traced = mem_intern("fact");
  cell(traced).tag |= TRACE_FLAG;
  const std::pair<Value, const char*> rows[] = {
      {mem_intern("Mixed-Case"), "Mixed-Case"},  // bytes unchanged
      {NIL, "()"}, {mem_true, "#t"}, {mem_false, "#f"}, {mem_eof, "#<EOF>"},
      {mem_unspecified, "#<unspecified>"}, {mem_else, "else"}, {mem_arrow, "=>"}, {mem_lambda, "lambda"},
      {traced, "fact"}
  };
  for (auto [v, text] : rows) EXPECT_EQ(written(v), text);
}

TEST_F(Printer, Numbers) {
  for (auto [n, text] : {std::pair<int32_t, const char*>{0, "0"}, {-3, "-3"}, {INT32_MIN, "-2147483648"}})
    EXPECT_EQ(written(integer(n)), text);
  for (auto [d, text] : {std::pair<double, const char*>{1.0, "1"},
                         {1.5, "1.5"},
                         {-0.25, "-0.25"},
                         {3.14159265, "3.14159"},
                         {1e21, "1e+21"},
                         {1e-7, "1e-07"},
                         {-1.7976931348623157e308, "-1.79769e+308"}})
    EXPECT_EQ(written(real(d)), text);
  Value ratio = retag(RATIONAL, integer(1), 0);
  cell(ratio).w2 = integer(-3);
  EXPECT_EQ(written(ratio), "(/ 1 -3)");
  Value complex = retag(COMPLEX, real(1.5), 0);
  cell(complex).w2 = real(-2);
  EXPECT_EQ(written(complex), "#<1.5,-2i>");
}

TEST_F(Printer, ProceduresAndPorts) {
  EXPECT_EQ(written(mem_make_primitive(17, 0)), "#<primitive-procedure>");
  EXPECT_EQ(written(retag(CLOSURE, NIL, NIL)), "#<closure>");
  EXPECT_EQ(written(retag(CONTINUATION, NIL, NIL)), "#<continuation>");
  EXPECT_EQ(written(retag(NAMED_PROCEDURE, mem_intern("car"), NIL)), "#<procedure car>");
  EXPECT_EQ(written(PORT_CUR_IN), "#<input-port>");
  EXPECT_EQ(written(PORT_IN_TABLE + 8 * 5), "#<input-port>");
  EXPECT_EQ(written(PORT_CUR_OUT), "#<output-port>");
  EXPECT_EQ(written(PORT_TRANSCRIPT), "#<output-port>");
}

TEST_F(Printer, Strings) {
  EXPECT_EQ(written(str("a b")), "\"a b\"");
  EXPECT_EQ(written(str("")), "\"\"");
  EXPECT_EQ(written(str("q\"uo\\te")), "\"q\"uo\\te\"");  // no escaping
  EXPECT_EQ(displayed(str("a b")), "a b");
  std::string big(5000, 'x');
  big[999] = 'A';
  big[4999] = 'Z';
  Value b = str(big.c_str());
  EXPECT_EQ(written(b), "\"" + big + "\"");
  EXPECT_EQ(displayed(b), big);
  Value l = list({b, integer(1)});
  EXPECT_EQ(written(l), "(\"" + big + "\" 1)");
}

TEST_F(Printer, Characters) {
  const std::pair<int, const char*> rows[] = {
      {'a', "#\\a"}, {'A', "#\\A"}, {' ', "#\\space"}, {'\n', "#\\newline"}, {'(', "#\\("}, {'~', "#\\~"},
      {7, "#\\[07]"}, {0, "#\\[00]"}, {'\t', "#\\[09]"}, {0x7F, "#\\[7F]"}, {0x82, "#\\[82]"},
      {0xFF, "#\\[FF]"}
  };
  for (auto [c, text] : rows) EXPECT_EQ(written(mem_char(uint32_t(c))), text);
  EXPECT_EQ(displayed(mem_char('a')), "a");
  EXPECT_EQ(displayed(mem_char(0)), std::string(1, '\0'));
}

TEST_F(Printer, ListsAndVectors) {
  EXPECT_EQ(written(list({real(1.5), integer(-3)})), "(1.5 -3)");
  EXPECT_EQ(written(mem_make_vector(0)), "#()");
  Value v = keep(mem_make_vector(2));
  Value s = str("s");
  vec_slots(v)[0] = integer(1);
  vec_slots(v)[1] = s;
  EXPECT_EQ(written(v), "#(1 \"s\")");
  EXPECT_EQ(displayed(list({str("a"), mem_char('b')})), "(\"a\" #\\b)");  // quoted inside
  EXPECT_EQ(displayed(v), "#(1 \"s\")");
}

TEST_F(Printer, UnprintableObjectsRaiseError6) {
  Value l = list({integer(1), NIL});
  // A tag-7 cell is never marked: nothing may allocate while it is in use.
  Value seven = retag(7, NIL, NIL);
  set_car(cdr(l), seven);
  // What was printed before the bad object comes out before the report.
  Output o;
  EXPECT_EQ(error_of([&] { rd_print(l, o.f); }), E_UNIDENTIFIED);
  EXPECT_EQ(o.str(), "(1 ");
  EXPECT_EQ(error_of([&] { written(seven); }), E_UNIDENTIFIED);
  EXPECT_EQ(error_of([&] { written(0); }), E_UNIDENTIFIED);
  Value macro = retag(MACRO, NIL, NIL);
  EXPECT_EQ(error_of([&] { written(macro); }), E_UNIDENTIFIED);
}

TEST_F(Printer, LongListPrintsIteratively) {
  Value l = NIL;
  for (int i = 0; i < 20000; ++i) l = mem_cons(mem_char('a' + i % 26), l);
  vm.val = l;
  std::string text = written(l);
  EXPECT_EQ(text.size(), 2 + 20000 * 4 - 1u);
  EXPECT_EQ(text.substr(0, 8), "(#\\f #\\e");  // 19999 % 26 is 5
}

/* ------------------------------------------ deep and circular structures */

TEST_F(Printer, CdrCycleIsCutAfterEachPairOnce) {
  Value l = list({integer(1), integer(2), integer(3)});
  set_cdr(cdr(cdr(l)), l);
  EXPECT_EQ(written(l), "(1 2 3 . #<circular>)");
  Value m = list({integer(1), integer(2), integer(3), integer(4)});
  set_cdr(cdr(cdr(cdr(m))), cdr(m));  // the loop starts at the second pair
  EXPECT_EQ(written(m), "(1 2 3 4 . #<circular>)");
  Value self = list({mem_intern("x")});
  set_cdr(self, self);
  EXPECT_EQ(written(self), "(x . #<circular>)");
  Value two = list({integer(1), self});
  EXPECT_EQ(written(two), "(1 (x . #<circular>))");
}

TEST_F(Printer, LongCycleIsFound) {
  Value l = NIL;
  for (int i = 0; i < 10000; ++i) {
    vm.val = l;
    l = mem_cons(mem_make_integer(i % 10), l);
  }
  vm.val = l;
  Value last = l;
  while (cdr(last) != NIL) last = cdr(last);
  set_cdr(last, cdr(cdr(l)));
  std::string text = written(l);
  EXPECT_EQ(text.size(), 1 + 10000 * 2 - 1 + std::strlen(" . #<circular>)"));
}

TEST_F(Printer, CarNestingIsCutAtTheDepthLimit) {
  Value l = mem_intern("x");
  for (int i = 0; i < 1500; ++i) l = mem_cons(l, NIL);
  vm.val = l;
  EXPECT_EQ(written(l), std::string(1000, '(') + "#<deep>" + std::string(1000, ')'));
  Value shallow = mem_intern("y");
  for (int i = 0; i < 1000; ++i) shallow = mem_cons(shallow, NIL);
  EXPECT_EQ(written(shallow), std::string(1000, '(') + "y" + std::string(1000, ')'));
}

TEST_F(Printer, CarCycleAndSelfContainingVectorAreCut) {
  Value p = mem_cons(NIL, NIL);
  vm.val = p;
  set_car(p, p);
  EXPECT_EQ(written(p), std::string(1000, '(') + "#<deep>" + std::string(1000, ')'));
  Value v = mem_make_vector(1);
  vm.val = v;
  vec_slots(v)[0] = v;
  std::string expect;
  for (int i = 0; i < 1000; ++i) expect += "#(";
  EXPECT_EQ(written(v), expect + "#<deep>" + std::string(1000, ')'));
}

TEST_F(Printer, CycleInsideTheDottedTail) {
  Value v = mem_make_vector(1);
  vm.val = v;
  Value l = keep(mem_cons(integer(1), v));  // (1 . #(...)) with the vector holding l
  vec_slots(v)[0] = l;
  std::string text = written(l);
  EXPECT_EQ(text.substr(0, 10), "(1 . #((1 ");
  EXPECT_NE(text.find("#<deep>"), std::string::npos);
}

}  // namespace
