// readeval.cpp - the read-eval loop shared by the prompt, the init file,
// the loader and the editor, and the file loader.
#include "eval/readeval.h"

#include <unistd.h>

#include <string>

#include "eval/eval.h"
#include "memory/error.h"
#include "memory/memory.h"
#include "memory/symtab.h"
#include "platform/console.h"
#include "platform/file_guard.h"
#include "platform/sandbox.h"
#include "reader/port.h"
#include "reader/printer.h"
#include "reader/reader.h"

namespace ondrel {

// The prompt value and a space, when the input is a terminal.  The line
// editor, when there is one, takes them as the prompt of the next line.
static void show_prompt(FILE* in) {
  if (!isatty(fileno(in))) return;
  FILE* out = rd_out();
  ConPrompt edited(in, out);
  Value prompt = cell(mem_prompt).w1;
  if (prompt != 0) rd_print(prompt, out);
  rd_write(" ", out);
  std::fflush(out);
}

// The loop state word goes back to idle after each evaluation, not at each
// prompt: a datum dropped because the editor is evaluating leaves the word
// with the editor.  A datum is dropped too when its line was typed while
// the editor evaluated.
static bool claim_console(bool typed_while_busy) {
  if (typed_while_busy) return false;
  int32_t idle = 0;
  return vm.loop_state.compare_exchange_strong(idle, 1);
}

void ev_read_eval(const ReadEval& how) {
  Value env = vm.env;
  Protect keep;  // the loader's environment and caller stay roots
  if (how.same_env) {
    mem_push(env);
    mem_push(how.caller);
  }
  if (how.console) {  // entered afresh after an error: take the word back from our own evaluation
    int32_t evaluating = 1;
    vm.loop_state.compare_exchange_strong(evaluating, 0);
  }
  for (;;) {
    FILE* in = how.in != nullptr ? how.in : rd_in();
    if (how.console) {
      show_prompt(in);
      (void)con_typed_while_busy();
    }
    if (how.same_env) vm.env = env;
    vm.form = how.caller;
    Value datum = rd_read(in);
    if (how.console && !claim_console(con_typed_while_busy())) continue;
    if (datum == mem_eof) return;
    if (how.console) {
      int c = rd_read_char(in);
      if (c != EOF) rd_unget_char(c, in);
    }
    Value v;
    {
      Protect keep_datum(datum);
      v = ev_evaluate(datum);
    }
    if (how.print) {
      FILE* out = rd_out();
      rd_print(v, out);
      rd_write("\n", out);
      if (how.console) std::fflush(out);
    }
    if (how.console) vm.loop_state.store(0);
  }
}

// The stream is a plain one, outside the port tables, and the current input
// port stays as it is: a `read` in the file reads from the console.  While
// a datum is read the form register holds the caller's form, so a malformed
// file is reported at its (load ...), or at toplevel for a file named on
// the command line.
void ev_load(const char* name, Value caller) {
  vm.form = caller;
  rd_console(("; Loading. \"" + std::string(name) + "\"\n").c_str());
  FILE* f = plat_fopen(name, "r");
  if (f == nullptr) mem_error(E_FILE);
  FileGuard file(f);  // an error in the file unwinds through here
  ev_read_eval(ReadEval{file.fp, caller, true, false, false});
  // A stream that fails to read (a directory, say) ends like an empty file;
  // it is reported rather than taken for a successful load.
  if (std::ferror(file.fp)) mem_error(E_FILE);
}

}  // namespace ondrel
