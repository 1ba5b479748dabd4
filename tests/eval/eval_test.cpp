// eval_test.cpp - invariants of the register machine that no transcript shows.
#include <string>
#include <vector>

#include "../reader/reader_support.h"
#include "eval/eval.h"

namespace {

using namespace ondrel;
using rdtest::Input;

struct Eval : rdtest::Fresh {
  // Evaluate every datum of `text`; the written value of the last, or
  // "error N" when one raises error N.
  std::string run(const std::string& text) {
    Input in(text);
    std::string last;
    int code = error_of([&] {
      for (;;) {
        Value d = rd_read(in.f);
        if (d == mem_eof) break;
        Protect keep(d);
        last = rdtest::written(ev_evaluate(d));
      }
    });
    return code == 0 ? last : "error " + std::to_string(code);
  }
  bool reset_state() {
    return mem.sp == 0 && mem.cp == 0 && vm.form == NIL && vm.env == NIL && vm.exp == NIL && vm.app == NIL &&
           vm.val == NIL && vm.trace_depth == 0;
  }
};

TEST_F(Eval, EveryErrorLeavesEmptyStacksAndNilRegisters) {
  const char* failing[] = {
      "undefined-variable",
      "(let ((a 1)) (let* ((b 2)) (letrec ((c (car 5))) c)))",
      "(define (f n) (+ 1 (f n))) (f 0)",  // control stack full
      "(apply (lambda (x) (vector-ref (vector) x)) '(3))",
      "(define (g n) (if (= n 0) (car '()) (g (- n 1)))) (trace g) (g 5)",
      "`(1 ,@(cons 1 2) ,(car 1))",
      "(call-with-current-continuation (lambda (k) (k)))(+ 'a 1)",
      "(do ((i 0 (+ i 1))) ((= i 3) (undefined)))",
      "(eval '(car 1) (list (list (cons 'x 1))))",
  };
  for (const char* text : failing) {
    EXPECT_EQ(run(text).rfind("error ", 0), 0u) << text;
    EXPECT_TRUE(reset_state()) << text;
  }
}

TEST_F(Eval, NestedActivationsReturnAtTheirOwnFrame) {
  EXPECT_EQ(run("(define x 5) `(a ,(let ((y `(b ,x))) y) c)"), "(a (b 5) c)");
  EXPECT_EQ(mem.cp, 0u);
  EXPECT_EQ(mem.sp, 0u);
  // The environment register is back to its value at entry.
  EXPECT_EQ(vm.env, NIL);
}

TEST_F(Eval, DefineTableRecordsAndReplaces) {
  run("(define (sq x) (* x x)) (define y 1) (define y 2)");
  ASSERT_EQ(roots.ndefs, 2);
  EXPECT_EQ(rdtest::written(roots.defs[0].expr), "(lambda (x) (* x x))");
  EXPECT_EQ(rdtest::written(roots.defs[1].expr), "2");
  // Past 256 names a definition still takes effect; only the record is full.
  std::string many;
  for (int i = 0; i < 300; ++i) many += "(define v" + std::to_string(i) + " " + std::to_string(i) + ")";
  run(many);
  EXPECT_EQ(roots.ndefs, DEFINE_TABLE_SIZE);
  EXPECT_EQ(run("v299"), "299");
}

// A break due at any dispatch is reported at the same form whether calls
// take their quick ways (primitives reading their arguments off the stack,
// closures binding them from there) or the ordinary way through the
// application list, which the collector's stress switch forces.
TEST_F(Eval, BreakAtEveryDispatchReportsTheOrdinaryForm) {
  run("(define (f n . r) (if (= n 0) r (f (- n 1) n)))");
  auto reports = [&](bool stress) {
    mem.stress = stress;
    size_t from = report.str().size();
    // Each budget one dispatch longer, until the call ends before it.
    for (uint64_t k = 1; vm.last_error == 0 || vm.last_error == E_USER_BREAK; ++k) {
      vm.form = NIL;
      vm.last_error = 0;
      vm_set_budget(k);
      std::string v = run("(f 1 (quote x))");
      vm_set_budget(0);
      if (v == "(1)") break;
    }
    mem.stress = false;
    return report.str().substr(from);
  };
  std::string quick = reports(false);
  EXPECT_NE(quick.find("At (f 0 1)"), std::string::npos);
  EXPECT_EQ(quick, reports(true));
}

}  // namespace
