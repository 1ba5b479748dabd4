// eval_test.cpp - invariants of the register machine that no transcript shows.
#include <cstdio>
#include <string>
#include <vector>

#include "../reader/reader_support.h"
#include "eval/eval.h"
#include "eval/registry.h"

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
    return mem.sp == 0 && mem.cp == 0 && vm.form == NIL && vm.env == NIL && vm.exp == NIL &&
           vm.app == NIL && vm.val == NIL && vm.trace_depth == 0;
  }
};

TEST_F(Eval, EveryErrorLeavesEmptyStacksAndNilRegisters) {
  const char* failing[] = {
      "undefined-variable",
      "(let ((a 1)) (let* ((b 2)) (letrec ((c (car 5))) c)))",
      "(define (f n) (+ 1 (f n))) (f 0)",          // control stack full
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

TEST_F(Eval, TailCallsKeepTheControlStackFlat) {
  // 4000 words hold well under 1400 frames: these loops would overflow.
  EXPECT_EQ(run("(define (l n) (if (= n 0) 'ok (l (- n 1)))) (l 20000)"), "ok");
  EXPECT_EQ(run("(do ((i 0 (+ i 1))) ((= i 20000) i))"), "20000");
  EXPECT_EQ(run("(define (a n) (if (= n 0) 'ok (apply a (list (- n 1))))) (a 20000)"), "ok");
  EXPECT_EQ(run("(define (e n) (if (= n 0) 'ok (eval (list 'e (- n 1))))) (e 20000)"), "ok");
  EXPECT_EQ(run("(define (c n) (call-with-current-continuation (lambda (k) (if (= n 0) 'ok (c (- n 1)))))) (c 5000)"),
            "ok");
}

// Programs touching every allocation site of the evaluator, run once
// normally and once collecting at every allocation: any temporary that
// nothing protects is reclaimed under the stress run and changes a result.
TEST_F(Eval, EveryAllocationSiteSurvivesACollection) {
  const char* programs[] = {
      "(define (f a . r) (list a r)) (f 1 2 3)",
      "(let loop ((i 0) (acc '())) (if (= i 5) acc (loop (+ i 1) (cons (* i i) acc))))",
      "(let* ((a (list 1 2)) (b (cons 0 a))) (letrec ((c (lambda () b))) (c)))",
      "(do ((i 0 (+ i 1)) (v '() (cons i v))) ((= i 4) (list i v)))",
      "(define x 7) `(1 ,x ,@(list 2 3) (4 ,(+ x 1)) . ,x)",
      "(cond ((assq 'b '((a 1) (b 2))) => cdr) (else 0))",
      "(apply list 1 2 '(3 4))",
      "(+ 1 (call-with-current-continuation (lambda (k) (k 41))))",
      "(define r #f) (list (call-with-current-continuation (lambda (k) (set! r k) 1)) 2)",
      "(eval '(list z z) (list (list (cons 'z \"s\"))))",
      "(define (g) car) (list (g) (list g))",
      "(case (* 2 3) ((1 2) 'low) ((6) (list 'six)) (else 'other))",
  };
  std::vector<std::string> plain;
  for (const char* p : programs) plain.push_back(run(p));
  mem.stress = true;
  for (size_t i = 0; i < std::size(programs); ++i) EXPECT_EQ(run(programs[i]), plain[i]) << programs[i];
  mem.stress = false;
}

TEST_F(Eval, MessagesInBothLanguages) {
  EXPECT_STREQ(mem_message(E_USER_BREAK), "User break");
  EXPECT_STREQ(mem_message(0), "I don't know what happend");
  EXPECT_STREQ(mem_message(99), mem_message(0));  // out of the table: code 0
  vm.japanese = true;
  std::string ja = mem_message(E_NEED_LIST);
  std::string same32 = mem_message(32);
  vm.japanese = false;
  EXPECT_EQ(same32, "Condition Clause must be a List");
  // The bytes are what iconv makes of the readable text.
  FILE* p = popen("printf '%s' '不正な引き数です--リストが要求されています' | iconv -f UTF-8 -t CP932", "r");
  ASSERT_NE(p, nullptr);
  std::string want;
  for (int c; (c = std::fgetc(p)) != EOF;) want.push_back(static_cast<char>(c));
  if (pclose(p) != 0) GTEST_SKIP() << "iconv not available";
  EXPECT_EQ(ja, want);
}

TEST_F(Eval, ErrorReportFormat) {
  run("(car 5)");
  EXPECT_EQ(report.str(), "\nError : Illegal argument--List required\nAt (car 5)\n\n");
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

TEST_F(Eval, RegistrationsCountEveryPrimitive) {
  // eval, apply, call/cc, plov-installed? and the groups linked in.
  EXPECT_GE(ev_registrations, 101u);
  EXPECT_EQ(run("(plov-installed? 1 2 3)"), "#t");
  EXPECT_EQ(run("(number? 1)"), "#t");
}

}  // namespace
