// repl.cpp - the read-eval-print loop and the init file.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "eval/error.h"
#include "eval/eval.h"
#include "eval/symtab.h"
#include "memory/memory.h"
#include "platform/console.h"
#include "platform/datadir.h"
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
  if (FILE* f = tl_open_candidate(dir, n == 0 || dir[n - 1] != '/' ? "/" : "")) return f;
  // Last, where an installation puts it; an unknown directory is no place.
  if (*plat_data_dir() == '\0') return nullptr;
  return tl_open_candidate(plat_data_dir(), "");
}

// Evaluate every datum of `in`, printing nothing.
void tl_eval_stream(FILE* in) {
  for (;;) {
    roots.form = NIL;
    Value datum = rd_read(in);
    if (datum == sym_eof) return;
    Protect keep(datum);
    ev_evaluate(datum);
  }
}

void tl_load_init_file() {
  port_console("Init File ");
  FILE* f = tl_find_init_file();
  if (f == nullptr) {
    port_console("Can't Loading ... Error !\n");
    tl_quit();
  }
  FileGuard file(f);
  port_console("Loading. \n");
  tl_eval_stream(file.fp);
}

// The loop state word goes back to idle after each evaluation, not at each
// prompt: a datum dropped because the editor is evaluating leaves the word
// with the editor.  Entered afresh after an error, the loop takes the word
// back only from its own evaluation.
void tl_repl() {
  int32_t evaluating = 1;
  tl_loop_state.compare_exchange_strong(evaluating, 0);
  for (;;) {
    FILE* in = port_in();
    FILE* out = port_out();
    if (isatty(fileno(in))) {
      ConPrompt edited(in, out);  // the line editor shows the prompt
      Value prompt = cell(sym_prompt).w1;
      if (prompt != 0) pr_write(prompt, out);
      port_write(" ", out);
      std::fflush(out);
    }
    roots.form = NIL;
    (void)con_typed_while_busy();
    Value datum = rd_read(in);
    if (con_typed_while_busy()) continue;  // typed while the editor evaluated
    int32_t idle = 0;
    if (!tl_loop_state.compare_exchange_strong(idle, 1)) continue;  // the editor is evaluating
    if (datum == sym_eof) return;
    int c = port_read_char(in);
    if (c != EOF) port_unget_char(c, in);
    Value v;
    {
      Protect keep(datum);
      v = ev_evaluate(datum);
    }
    out = port_out();
    pr_write(v, out);
    port_write("\n", out);
    std::fflush(out);
    tl_loop_state.store(0);
  }
}

bool tl_input_at_eof() {
  FILE* in = port_in();
  return in == stdin ? con_at_eof() : std::feof(in) != 0;
}

}  // namespace ondrel
