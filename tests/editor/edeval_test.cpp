// edeval_test.cpp - the editor's evaluation thread: what it prints, when it
// refuses, and that it hands the interpreter back to the console as the
// console left it, whatever ends the evaluation.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "../reader/reader_support.h"
#include "editor/edeval.h"
#include "eval/eval.h"
#include "platform/lock.h"
#include "support/tempdir.h"
#include "toplevel/toplevel.h"

namespace {

using namespace ondrel;

struct EdEval : rdtest::Fresh {
  TempDir dir;
  void SetUp() override {
    rdtest::Fresh::SetUp();
    vm.loop_state.store(0);
  }
  void TearDown() override {
    vm.loop_state.store(0);
    rdtest::Fresh::TearDown();
  }
  std::string path(const char* name) { return dir / name; }
  // Write `text` as the editor's file and evaluate it; what the console shows.
  std::string evaluate(const std::string& text) {
    FILE* f = std::fopen(path("text.sc").c_str(), "w");
    std::fputs(text.c_str(), f);
    std::fclose(f);
    return run(path("text.sc"));
  }
  std::string run(const std::string& file) {
    rd_stream(PORT_CUR_OUT) = stdout;
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    ed_start_evaluation(file.c_str());
    ed_join_evaluation();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
  }
};

TEST_F(EdEval, PrintsEachValueAfterAnEmptyLine) {
  EXPECT_EQ(evaluate("(define x 5)\r\n(+ x 1)\n\"s\"\n"), "\n#<unspecified>\n6\n\"s\"\n");
  EXPECT_EQ(vm.loop_state.load(), 0);
  EXPECT_EQ(evaluate(""), "\n");  // an empty text evaluates nothing
}

TEST_F(EdEval, AnErrorEndsTheTextAndTheConsoleCarriesOn) {
  std::string out = evaluate("(define a 1) (car 5) (define b 2)");
  EXPECT_EQ(out.rfind("\n#<unspecified>\n\nError : ", 0), 0u) << out;
  EXPECT_EQ(cell(mem_intern("b")).w1, 0u);  // the rest of the text was skipped
  EXPECT_EQ(vm.loop_state.load(), 0);
  // An unclosed last expression: the ones before it, then the reader's error.
  out = evaluate("(define c 3) (list c");
  EXPECT_EQ(out.rfind("\n#<unspecified>\n\nError : ", 0), 0u) << out;
  EXPECT_EQ(vm.last_error, E_EOF);
}

TEST_F(EdEval, ByeEndsOnlyTheEvaluation) {
  EXPECT_EQ(evaluate("1 (bye) 2"), "\n1\n");
  EXPECT_EQ(vm.loop_state.load(), 0);
  EXPECT_EQ(evaluate("3"), "\n3\n");
}

TEST_F(EdEval, RefusedUnlessTheConsoleIsIdle) {
  vm.loop_state.store(1);  // the console evaluates
  EXPECT_EQ(evaluate("(define r 1)"), "");
  EXPECT_EQ(vm.loop_state.load(), 1);
  EXPECT_EQ(cell(mem_intern("r")).w1, 0u);
}

TEST_F(EdEval, AFileThatDoesNotOpenIsReported) {
  EXPECT_EQ(run(path("missing.sc")), "Can't open " + path("missing.sc") + "\n");
  EXPECT_EQ(vm.loop_state.load(), 0);
}

// The console was in the middle of reading a list when the editor's text
// ran, collected and failed: its words, its registers and the objects they
// hold are as it left them.
TEST_F(EdEval, TheConsoleReadersStateSurvivesAFailingEvaluation) {
  Value partial = mem_cons(mem_make_string("kept"), NIL);
  mem_push(partial);
  mem_push(NIL);
  uint32_t sp = mem.sp;
  vm.form = partial;
  std::string out = evaluate(
      "(define (grow n) (if (= n 0) '() (cons (make-string 50) (grow (- n 1)))))"
      "(gc) (grow 300) (vector-ref (vector) 1)");
  EXPECT_NE(out.find("Error : "), std::string::npos) << out;
  EXPECT_EQ(mem.sp, sp);
  EXPECT_EQ(mem.cp, 0u);
  EXPECT_EQ(vm.form, partial);
  EXPECT_EQ(sstack()[sp - 2], partial);
  mem_collect(GC_USER);
  EXPECT_EQ(rdtest::written(partial), "(\"kept\")");
  EXPECT_EQ(vm.floor_sp, 0u);  // console errors empty the stacks again
  mem.sp = 0;
}

// While another thread holds the interpreter (the console reading a
// datum), the evaluation waits for it.
TEST_F(EdEval, WaitsForTheInterpreterLock) {
  FILE* f = std::fopen(path("text.sc").c_str(), "w");
  std::fputs("(define w 7)", f);
  std::fclose(f);
  rd_stream(PORT_CUR_OUT) = stdout;
  {
    PlatLock console;
    ed_start_evaluation(path("text.sc").c_str());
    while (vm.loop_state.load() != 2) std::this_thread::yield();
    EXPECT_TRUE(ed_evaluation_running());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(cell(mem_intern("w")).w1, 0u);  // nothing ran yet
  }
  testing::internal::CaptureStdout();
  ed_join_evaluation();
  testing::internal::GetCapturedStdout();
  EXPECT_FALSE(ed_evaluation_running());
  EXPECT_NE(cell(mem_intern("w")).w1, 0u);
}

}  // namespace
