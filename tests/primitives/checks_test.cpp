// checks_test.cpp - argument checks of every primitive: missing arguments,
// a wrong type in each position, and every small combination of values.
#include <fcntl.h>
#include <unistd.h>

#include <set>
#include <string>

#include "primitives/prim_support.h"

using namespace primtest;

namespace {

// Every primitive of the five groups, in registration order.
const char* const ALL[] = {
    "null?", "car", "cdr", "cons", "eq?", "eqv?", "equal?", "string?", "char?", "symbol?",
    "number?", "procedure?", "boolean?", "pair?", "bye", "trace", "untrace", "list", "append",
    "set-car!", "set-cdr!", "not", "gc", "symbol->string", "string->symbol", "random",
    "number?", "complex?", "real?", "rational?", "integer?", "exact?", "inexact?", "zero?",
    "+", "-", "*", "/", "=", ">", "<", ">=", "<=", "even?", "odd?", "remainder",
    "number->string", "string->number",
    "vector?", "make-vector", "vector", "vector-length", "vector-ref", "vector-set!",
    "vector->list", "list->vector", "vector-fill!",
    "char=?", "char<?", "char>?", "char<=?", "char>=?", "char-ci=?", "char-ci<?", "char-ci>?",
    "char-ci<=?", "char-ci>=?", "char-alphabetic?", "char-numeric?", "char-whitespace?",
    "char-upper-case?", "char-lower-case?", "char->integer", "integer->char", "char-upcase",
    "char-downcase",
    "make-string", "string", "string-length", "string-ref", "string-set!", "string=?",
    "string<?", "string>?", "string<=?", "string>=?", "string-ci=?", "string-ci<?",
    "string-ci>?", "string-ci<=?", "string-ci>=?", "substring", "string-append",
    "string->list", "list->string", "string-copy", "string-fill!",
};

// One value per letter: i 1, z 0, r 1.5, s "ab", c #\a, y foo, l (1 2),
// v #(1 2), n (), t #t, k the keyword if, q a list of integers.
Value value_of(char k) {
  switch (k) {
    case 'i': return I(1);
    case 'z': return I(0);
    case 'r': return R(1.5);
    case 's': return S("ab");
    case 'c': return C('a');
    case 'y': return Y("foo");
    case 'l': return L({I(1), I(2)});
    case 'v': return keep(call_free("vector", {I(1), I(2)}));
    case 'n': return NIL;
    case 't': return mem_true;
    case 'k': return Y("if");
    default: return NIL;
  }
}

Value args_of(const std::string& kinds) {
  Value list = NIL;
  for (size_t i = kinds.size(); i-- > 0;) list = keep(mem_cons(value_of(kinds[i]), list));
  return list;
}

struct Row {
  const char* name;
  const char* args;  // letters of value_of
  int want;          // error code, 0 for a result, -2 for a quit
};

// The documented first failing check of each primitive, for no arguments
// and for a wrong type in each position it checks.
const Row ROWS[] = {
    {"null?", "", 0}, {"car", "", 17}, {"car", "i", 17}, {"cdr", "", 17}, {"cdr", "s", 17},
    {"cons", "", 0}, {"eq?", "", 0}, {"eqv?", "", 0}, {"equal?", "", 0}, {"string?", "", 0},
    {"char?", "", 0}, {"symbol?", "", 0}, {"number?", "", 0}, {"procedure?", "", 0},
    {"boolean?", "", 0}, {"pair?", "", 0}, {"bye", "", -2}, {"trace", "", 15}, {"trace", "k", 15},
    {"trace", "s", 15}, {"untrace", "", 15}, {"untrace", "t", 15}, {"list", "", 0},
    {"append", "", 13}, {"append", "li", 17}, {"append", "il", 17}, {"append", "lil", 17},
    {"set-car!", "", 17}, {"set-car!", "ii", 17}, {"set-cdr!", "", 17}, {"set-cdr!", "vi", 17},
    {"not", "", 0}, {"gc", "", 0}, {"symbol->string", "", 15}, {"symbol->string", "s", 15},
    {"string->symbol", "", 18}, {"string->symbol", "y", 18}, {"random", "", 16},
    {"random", "r", 16},
    {"complex?", "", 0}, {"real?", "", 0}, {"rational?", "", 0}, {"integer?", "", 0},
    {"exact?", "", 0}, {"inexact?", "", 0}, {"zero?", "", 0},
    {"+", "", 13}, {"+", "s", 13}, {"+", "si", 16}, {"+", "is", 16}, {"+", "iis", 16},
    {"-", "", 13}, {"-", "i", 13}, {"-", "ri", 0}, {"-", "ic", 16},
    {"*", "", 13}, {"*", "i", 13}, {"*", "yi", 16}, {"*", "in", 16},
    {"/", "", 13}, {"/", "i", 13}, {"/", "vi", 16}, {"/", "il", 16}, {"/", "iz", 36}, {"/", "rz", 0},
    {"=", "", 13}, {"=", "i", 13}, {"=", "si", 16}, {"=", "is", 16}, {"=", "izs", 0},
    {">", "", 13}, {">", "i", 13}, {">", "ci", 16}, {">", "ic", 16}, {">", "zis", 0},
    {"<", "", 13}, {"<", "i", 13}, {"<", "ti", 16}, {"<", "it", 16}, {"<", "izs", 0},
    {">=", "", 13}, {">=", "i", 13}, {">=", "ni", 16}, {">=", "in", 16},
    {"<=", "", 13}, {"<=", "i", 13}, {"<=", "ki", 16}, {"<=", "ik", 16},
    {"even?", "", 16}, {"even?", "r", 16}, {"odd?", "", 16}, {"odd?", "s", 16},
    {"remainder", "", 13}, {"remainder", "i", 13}, {"remainder", "ri", 16},
    {"remainder", "ir", 16}, {"remainder", "iz", 36}, {"remainder", "zr", 16},
    {"number->string", "", 24}, {"number->string", "r", 24}, {"number->string", "is", 24},
    {"number->string", "iz", 28}, {"string->number", "", 18}, {"string->number", "i", 18},
    {"string->number", "ss", 24}, {"string->number", "sz", 28},
    {"vector?", "", 0}, {"make-vector", "", 24}, {"make-vector", "s", 24}, {"vector", "", 0},
    {"vector-length", "", 20}, {"vector-length", "l", 20}, {"vector-ref", "", 20},
    {"vector-ref", "li", 20}, {"vector-ref", "vs", 24}, {"vector-ref", "v", 24},
    {"vector-set!", "", 20}, {"vector-set!", "iii", 20}, {"vector-set!", "vsi", 24},
    {"vector->list", "", 20}, {"vector->list", "l", 20}, {"list->vector", "", 0},
    {"list->vector", "i", 17}, {"vector-fill!", "", 20}, {"vector-fill!", "li", 20},
    {"char=?", "", 13}, {"char=?", "c", 13}, {"char=?", "ccc", 14}, {"char=?", "ic", 19},
    {"char=?", "ci", 19}, {"char<?", "", 13}, {"char<?", "sc", 19}, {"char>?", "cy", 19},
    {"char<=?", "iii", 14}, {"char>=?", "c", 13}, {"char-ci=?", "", 13}, {"char-ci=?", "cs", 19},
    {"char-ci<?", "cn", 19}, {"char-ci>?", "tc", 19}, {"char-ci<=?", "cccc", 14},
    {"char-ci>=?", "i", 13},
    {"char-alphabetic?", "", 13}, {"char-alphabetic?", "cc", 14}, {"char-alphabetic?", "i", 19},
    {"char-numeric?", "", 13}, {"char-numeric?", "s", 19}, {"char-whitespace?", "", 13},
    {"char-whitespace?", "y", 19}, {"char-upper-case?", "", 13}, {"char-upper-case?", "n", 19},
    {"char-lower-case?", "", 13}, {"char-lower-case?", "ii", 14}, {"char->integer", "", 13},
    {"char->integer", "i", 19}, {"integer->char", "", 13}, {"integer->char", "c", 16},
    {"integer->char", "ii", 14}, {"char-upcase", "", 13}, {"char-upcase", "s", 19},
    {"char-downcase", "", 13}, {"char-downcase", "r", 19},
    {"make-string", "", 24}, {"make-string", "s", 24}, {"make-string", "ii", 19},
    {"string", "", 0}, {"string", "ci", 19}, {"string", "i", 19}, {"string-length", "", 18},
    {"string-length", "y", 18}, {"string-ref", "", 18}, {"string-ref", "yi", 18},
    {"string-ref", "ss", 24}, {"string-set!", "", 18}, {"string-set!", "cic", 18},
    {"string-set!", "ssc", 24}, {"string-set!", "sis", 19},
    {"string=?", "", 18}, {"string=?", "ys", 18}, {"string=?", "sy", 18},
    {"string<?", "", 18}, {"string<?", "is", 18}, {"string<?", "si", 18},
    {"string>?", "", 18}, {"string>?", "cs", 18}, {"string>?", "sc", 18},
    {"string<=?", "", 18}, {"string<=?", "ls", 18}, {"string<=?", "sl", 18},
    {"string>=?", "", 18}, {"string>=?", "vs", 18}, {"string>=?", "sv", 18},
    {"string-ci=?", "", 18}, {"string-ci=?", "ys", 18}, {"string-ci=?", "sy", 18},
    {"string-ci<?", "", 18}, {"string-ci<?", "ts", 18}, {"string-ci<?", "st", 18},
    {"string-ci>?", "", 18}, {"string-ci>?", "ns", 18}, {"string-ci>?", "sn", 18},
    {"string-ci<=?", "", 18}, {"string-ci<=?", "rs", 18}, {"string-ci<=?", "sr", 18},
    {"string-ci>=?", "", 18}, {"string-ci>=?", "ks", 18}, {"string-ci>=?", "sk", 18},
    {"substring", "", 18}, {"substring", "iii", 18}, {"substring", "ssi", 24},
    {"substring", "sis", 24}, {"substring", "s", 24}, {"string-append", "", 0},
    {"string-append", "si", 18}, {"string-append", "is", 18}, {"string->list", "", 18},
    {"string->list", "l", 18}, {"list->string", "", 0}, {"list->string", "i", 17},
    {"list->string", "l", 19}, {"string-copy", "", 18}, {"string-copy", "y", 18},
    {"string-fill!", "", 18}, {"string-fill!", "ic", 18}, {"string-fill!", "si", 19},
};

// Error reports go to standard output; keep them out of the test log.
struct Quiet {
  int saved;
  Quiet() {
    std::fflush(stdout);
    saved = dup(STDOUT_FILENO);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
  }
  ~Quiet() {
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
  }
};

using Checks = Prims;

TEST_F(Checks, EveryPrimitiveHasRows) {
  std::set<std::string> covered;
  for (const Row& r : ROWS) covered.insert(r.name);
  for (const char* name : ALL) EXPECT_TRUE(covered.count(name)) << name;
  for (const char* name : ALL) EXPECT_TRUE(is(car(mem_intern(name)), PRIMITIVE)) << name;
  EXPECT_EQ(sizeof ALL / sizeof ALL[0], 97u);
}

TEST_F(Checks, FirstFailingCheckGivesTheDocumentedError) {
  Quiet quiet;
  for (const Row& r : ROWS) {
    EXPECT_EQ(error_of_list(r.name, args_of(r.args)), r.want) << "(" << r.name << " " << r.args << ")";
    EXPECT_EQ(mem.sp, 0u) << r.name;
  }
}

// Every primitive over every sequence of up to two values, and of three
// for those that read a third: a result or one of the documented errors,
// never a crash, and the software stack balanced after each call.
TEST_F(Checks, EveryCombinationOfValues) {
  const std::string letters = "izrscylvntk", third = "izsn";
  const std::set<int> documented = {0, 1, 2, 3, 13, 14, 15, 16, 17, 18, 19, 20, 24, 28, 36};
  std::vector<std::string> pairs = {""}, triples;
  for (char a : letters) {
    pairs.push_back(std::string(1, a));
    for (char b : letters) {
      pairs.push_back(std::string{a, b});
      for (char c : third) triples.push_back(std::string{a, b, c});
    }
  }
  Quiet quiet;
  for (const char* name : ALL) {
    std::string n = name;
    if (n == "bye" || n == "gc") continue;
    uint8_t kind = cell(car(mem_intern(name))).aux;
    for (int round = 0; round < 2; ++round) {
      if (round == 1 && kind != K_THREE && kind != K_ANY) break;
      for (const std::string& k : round == 0 ? pairs : triples) {
        set_car(keep_sym, NIL);  // drop the values of the previous call
        int e = error_of_list(name, args_of(k));
        EXPECT_TRUE(documented.count(e)) << "(" << name << " " << k << ") gave " << e;
        EXPECT_EQ(mem.sp, 0u) << "(" << name << " " << k << ")";
      }
    }
  }
}

}  // namespace
