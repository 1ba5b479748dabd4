// repl.cpp - the read-eval-print loop and the init file.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "memory/error.h"
#include "eval/eval.h"
#include "memory/symtab.h"
#include "memory/memory.h"
#include "platform/console.h"
#include "platform/file_guard.h"
#include "reader/port.h"
#include "reader/printer.h"
#include "reader/reader.h"
#include "toplevel/toplevel.h"

namespace ondrel {

static constexpr char INIT_NAME[] = "./include.sc";

// Open dir + INIT_NAME when the path fits the 256-byte buffer.
static FILE* tl_open_candidate(const char* dir, const char* sep) {
  char path[256];
  int n = std::snprintf(path, sizeof path, "%s%s%s", dir, sep, INIT_NAME);
  if (n < 0 || static_cast<size_t>(n) >= sizeof path) return nullptr;
  return std::fopen(path, "r");
}

static FILE* tl_find_init_file() {
  if (FILE* f = std::fopen(INIT_NAME, "r")) return f;
  if (FILE* f = tl_open_candidate(tl_home, "")) return f;
  const char* dir = std::getenv("ROZIVEVUDE");
  if (dir == nullptr) dir = "";
  size_t n = std::strlen(dir);
  return tl_open_candidate(dir, n == 0 || dir[n - 1] != '/' ? "/" : "");
}

// Evaluate every datum of `in`, printing nothing.
void tl_eval_stream(FILE* in) {
  for (;;) {
    vm.form = NIL;
    Value datum = rd_read(in);
    if (datum == mem_eof) return;
    Protect keep(datum);
    ev_evaluate(datum);
  }
}

void tl_load_init_file() {
  rd_console("Init File ");
  FILE* f = tl_find_init_file();
  if (f == nullptr) {
    rd_console("Can't Loading ... Error !\n");
    mem_quit();
  }
  FileGuard file(f);
  rd_console("Loading. \n");
  tl_eval_stream(file.fp);
}

// The loop state word goes back to idle after each evaluation, not at each
// prompt: a datum dropped because the editor is evaluating leaves the word
// with the editor.  Entered afresh after an error, the loop takes the word
// back only from its own evaluation.
void tl_repl() {
  int32_t evaluating = 1;
  vm.loop_state.compare_exchange_strong(evaluating, 0);
  for (;;) {
    FILE* in = rd_in();
    FILE* out = rd_out();
    if (isatty(fileno(in))) {
      ConPrompt edited(in, out);  // the line editor shows the prompt
      Value prompt = cell(mem_prompt).w1;
      if (prompt != 0) rd_print(prompt, out);
      rd_write(" ", out);
      std::fflush(out);
    }
    vm.form = NIL;
    (void)con_typed_while_busy();
    Value datum = rd_read(in);
    if (con_typed_while_busy()) continue;  // typed while the editor evaluated
    int32_t idle = 0;
    if (!vm.loop_state.compare_exchange_strong(idle, 1)) continue;  // the editor is evaluating
    if (datum == mem_eof) return;
    int c = rd_read_char(in);
    if (c != EOF) rd_unget_char(c, in);
    Value v;
    {
      Protect keep(datum);
      v = ev_evaluate(datum);
    }
    out = rd_out();
    rd_print(v, out);
    rd_write("\n", out);
    std::fflush(out);
    vm.loop_state.store(0);
  }
}

bool tl_input_at_eof() {
  FILE* in = rd_in();
  return in == stdin ? con_at_eof() : std::feof(in) != 0;
}

}  // namespace ondrel
