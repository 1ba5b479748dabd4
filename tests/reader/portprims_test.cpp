// portprims_test.cpp - the port group's registration, the loader's and the
// call-with primitives' hold on streams, slots and stacks.
#include <dirent.h>

#include <fstream>
#include <sstream>
#include <string>

#include "eval/eval.h"
#include "eval/registry.h"
#include "primitives/prim.h"
#include "reader/reader_support.h"

using namespace rdtest;

namespace {

int open_fds() {
  int n = 0;
  DIR* d = opendir("/proc/self/fd");
  while (readdir(d) != nullptr) ++n;
  closedir(d);
  return n;
}

int slots_in_use() {
  int n = 0;
  for (int k = 1; k < PORT_SLOTS; ++k) {
    if (rd_stream(PORT_IN_TABLE + 8 * k) != nullptr) ++n;
    if (rd_stream(PORT_OUT_TABLE + 8 * k) != nullptr) ++n;
  }
  return n;
}

struct PortPrims : Fresh {
  std::string dir = testing::TempDir();

  std::string path(const std::string& name) { return dir + "ondrel_pp_" + name; }
  std::string make_file(const std::string& name, const std::string& text) {
    std::string p = path(name);
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }
  std::string slurp(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // Evaluate every datum of `text`: the written value of the last, or
  // "error N".
  std::string run(const std::string& text) {
    Input in(text);
    std::string last;
    int code = error_of([&] {
      for (;;) {
        Value d = rd_read(in.f);
        if (d == mem_eof) break;
        Protect keep(d);
        last = written(ev_evaluate(d));
        quiet();
      }
    });
    return code == 0 ? last : "error " + std::to_string(code);
  }
  std::string str(const std::string& s) { return "\"" + s + "\""; }
};

TEST_F(PortPrims, GroupRegistersTwentyFourInTableOrder) {
  struct Row {
    const char* name;
    uint8_t kind;
  };
  const Row rows[] = {
      {"load", 17}, {"read", 21}, {"write", 22}, {"newline", 21}, {"display", 22},
      {"call-with-input-file", 18}, {"call-with-output-file", 18}, {"input-port?", 17},
      {"output-port?", 17}, {"current-input-port", 16}, {"current-output-port", 16},
      {"with-input-from-file", 18}, {"with-output-to-file", 18}, {"open-input-file", 17},
      {"open-output-file", 17}, {"close-input-port", 17}, {"close-output-port", 17},
      {"read-char", 21}, {"peek-char", 21}, {"eof-object?", 17}, {"char-ready?", 21},
      {"write-char", 22}, {"transcript-on", 17}, {"transcript-off", 16},
      {"exec-shell-command", 17}, {"test-esc", 17},  // the system group's
  };
  // Registered in this order: their handlers take consecutive slots.
  uint32_t first = cell(car(mem_intern("load"))).w1;
  for (uint32_t i = 0; i < 26; ++i) {
    Value p = car(mem_intern(rows[i].name));
    ASSERT_TRUE(is(p, PRIMITIVE)) << rows[i].name;
    EXPECT_EQ(cell(p).aux, rows[i].kind) << rows[i].name;
    if (i < 24) {
      EXPECT_EQ(cell(p).w1, first + i) << rows[i].name;
    }
  }
  EXPECT_GE(ev_registrations, 127u);
  uint32_t before = ev_registrations;
  prim_register_ports();
  EXPECT_EQ(ev_registrations - before, 24u);
}

TEST_F(PortPrims, LoaderClosesItsStreamHoweverTheLoadEnds) {
  std::string good = make_file("good.sc", "(define a 1) (define b (+ a 1))");
  std::string bad = make_file("bad.sc", "(define c 3) (car c) (define d 4)");
  std::string torn = make_file("torn.sc", "(define e 5) (list 1 2");
  int fds = open_fds();
  EXPECT_EQ(run("(load " + str(good) + ") b"), "2");
  EXPECT_EQ(run("(load " + str(bad) + ")"), "error 17");
  EXPECT_EQ(run("c"), "3");
  EXPECT_EQ(run("d"), "error 9");
  EXPECT_EQ(run("(load " + str(torn) + ")"), "error 33");
  EXPECT_EQ(run("e"), "5");
  EXPECT_EQ(run("(load " + str(path("missing.sc")) + ")"), "error 37");
  EXPECT_EQ(run("(load " + str(dir) + ")"), "error 37");  // a directory reads nothing
  EXPECT_EQ(open_fds(), fds);
  // The start-up entry raises the same errors.
  EXPECT_EQ(error_of([&] { tl_load_file(bad.c_str()); }), E_NEED_LIST);
  EXPECT_EQ(open_fds(), fds);
}

TEST_F(PortPrims, LoadLeavesBothStacksAsItFoundThem) {
  std::string f = make_file("stacks.sc", "(define (sq x) (* x x)) (sq 3) `(1 ,(sq 2))");
  EXPECT_EQ(run("(list 'before (load " + str(f) + ") (sq 5))"), "(before #<unspecified> 25)");
  EXPECT_EQ(mem.cp, 0u);
  EXPECT_EQ(mem.sp, 0u);
  EXPECT_EQ(vm.env, NIL);
  // Inside a procedure the file sees the local variables.
  std::string g = make_file("local.sc", "(set! seen y)");
  EXPECT_EQ(run("(define seen 0) (define (f y) (load " + str(g) + ") seen) (f 7)"), "7");
}

TEST_F(PortPrims, CallWithReturnsTheProcedureResultAndFreesTheSlot) {
  std::string f = path("cw.txt");
  EXPECT_EQ(run("(call-with-output-file " + str(f) + " (lambda (p) (write '(1 \"two\" #\\3) p) 'done))"),
            "done");
  EXPECT_EQ(slurp(f), "(1 \"two\" #\\3)");
  EXPECT_EQ(run("(call-with-input-file " + str(f) + " read)"), "(1 \"two\" #\\3)");
  EXPECT_EQ(run("(with-input-from-file " + str(f) + " read)"), "(1 \"two\" #\\3)");
  EXPECT_EQ(run("(with-output-to-file " + str(f) + " (lambda () (display 'x) 5))"), "5");
  EXPECT_EQ(slurp(f), "x");
  EXPECT_EQ(rd_stream(PORT_CUR_OUT), report.f);
  EXPECT_EQ(rd_stream(PORT_CUR_IN), stdin);
  EXPECT_EQ(slots_in_use(), 0);
  EXPECT_EQ(mem.cp, 0u);
  EXPECT_EQ(mem.sp, 0u);
}

TEST_F(PortPrims, ErrorsAndEscapesInsideTheProcedureCloseThePort) {
  std::string f = path("err.txt");
  int fds = open_fds();
  // The report goes to the rebound port, so it ends up in the file.
  EXPECT_EQ(run("(with-output-to-file " + str(f) + " (lambda () (display 'partial) (car 1)))"), "error 17");
  EXPECT_EQ(slurp(f), "partial\nError : Illegal argument--List required\nAt (car 1)\n\n");
  EXPECT_EQ(rd_stream(PORT_CUR_OUT), report.f);
  EXPECT_EQ(run("(with-output-to-file " + str(f) +
                " (lambda () (with-input-from-file " + str(f) + " (lambda () (car 2)))))"),
            "error 17");
  EXPECT_EQ(run("(call-with-input-file " + str(f) + " (lambda (p) (vector-ref p 0)))"), "error 20");
  EXPECT_EQ(slots_in_use(), 0);
  EXPECT_EQ(open_fds(), fds);
  // A continuation that leaves: the value arrives where the continuation
  // was made, and the stacks are whole.
  EXPECT_EQ(run("(+ 1 (call-with-current-continuation (lambda (k) (with-output-to-file " + str(f) +
                " (lambda () (display 'left) (k 41))))))"),
            "42");
  EXPECT_EQ(slurp(f), "left");
  EXPECT_EQ(rd_stream(PORT_CUR_OUT), report.f);
  EXPECT_EQ(run("(define r #f) (+ 1 (call-with-current-continuation (lambda (k) (set! r k) 1)))"), "2");
  EXPECT_EQ(run("(call-with-input-file " + str(f) + " (lambda (p) (r 9)))"), "10");
  // Left from inside a procedure body, the next datum is read at toplevel.
  EXPECT_EQ(run("(define (g x) (call-with-input-file " + str(f) + " (lambda (p) (r x)))) (g 3)"), "4");
  EXPECT_EQ(vm.env, NIL);
  // The frames of h went with the jump: the value is the load's.
  EXPECT_EQ(run("(define (h y) (load " + str(make_file("esc.sc", "(r y)")) + ") 'h-done) (h 5)"),
            "#<unspecified>");
  EXPECT_EQ(vm.env, NIL);
  EXPECT_EQ(slots_in_use(), 0);
  EXPECT_EQ(open_fds(), fds);
}

TEST_F(PortPrims, ProcedureArgumentMustBeAProcedure) {
  std::string f = make_file("proc.txt", "datum");
  EXPECT_EQ(run("(call-with-input-file " + str(f) + " 'read)"), "datum");
  EXPECT_EQ(run("(let ((read 5)) (call-with-input-file " + str(f) + " 'read))"), "datum");
  EXPECT_EQ(run("(call-with-input-file " + str(f) + " 'no-such-name)"), "error 15");
  EXPECT_EQ(run("(define five 5) (call-with-input-file " + str(f) + " 'five)"), "error 15");
  EXPECT_EQ(run("(call-with-current-continuation (lambda (k) (call-with-input-file " + str(f) + " k)))"),
            "error 15");
  EXPECT_EQ(run("(call-with-input-file 'proc.txt read)"), "error 18");
  EXPECT_EQ(run("(with-output-to-file " + str(f) + ")"), "error 13");
  EXPECT_EQ(slurp(f), "datum");  // refused before the file was opened
  EXPECT_EQ(run("(call-with-input-file " + str(path("none")) + " car)"), "#f");
}

TEST_F(PortPrims, CallsHoldUnderACollectionAtEveryAllocation) {
  std::string f = path("stress.txt");
  mem.stress = true;
  EXPECT_EQ(run("(call-with-output-file " + str(f) +
                " (lambda (p) (write (list 1 \"two\" (vector 3 \"four\")) p) (list 'done (string-append \"a\" \"b\"))))"),
            "(done \"ab\")");
  EXPECT_EQ(run("(call-with-input-file " + str(f) + " (lambda (p) (list (read p) (read p))))"),
            "((1 \"two\" #(3 \"four\")) #<EOF>)");
  std::string g = make_file("stress.sc", "(define s (string-append \"x\" \"y\")) (define v (vector s s))");
  EXPECT_EQ(run("(load '" + g + ") v"), "#(\"xy\" \"xy\")");
  mem.stress = false;
  EXPECT_EQ(slots_in_use(), 0);
}

TEST_F(PortPrims, ClosedPortsRefuseUseButCloseQuietly) {
  std::string f = make_file("closed.txt", "abc");
  EXPECT_EQ(run("(define p (open-input-file " + str(f) + ")) (read-char p)"), "#\\a");
  EXPECT_EQ(run("(close-input-port p) (close-input-port p)"), "#<unspecified>");
  EXPECT_EQ(run("(read-char p)"), "error 29");
  EXPECT_EQ(run("(read p)"), "error 29");
  EXPECT_EQ(run("(define q (open-output-file " + str(path("closed.out")) + ")) (close-output-port q)"),
            "#<unspecified>");
  EXPECT_EQ(run("(write-char #\\a q)"), "error 29");
  EXPECT_EQ(run("(display \"x\" q)"), "error 29");
  EXPECT_EQ(slots_in_use(), 0);
}

}  // namespace
