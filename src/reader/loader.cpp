// loader.cpp - the file loader: every datum of a source file evaluated in turn.
#include <cstdio>
#include <string>

#include "memory/error.h"
#include "eval/eval.h"
#include "memory/symtab.h"
#include "memory/memory.h"
#include "platform/file_guard.h"
#include "platform/sandbox.h"
#include "eval/readeval.h"
#include "reader/port.h"
#include "reader/reader.h"
#include "toplevel/toplevel.h"

namespace ondrel {

// The stream is a plain one, outside the port tables, and the current input
// port stays as it is: a `read` in the file reads from the console.  Results
// are not printed.  Each datum is evaluated in the environment the loader was
// called in, even when a continuation left an earlier datum's activation.
// While a datum is read the form register holds the caller's form, so a
// malformed file is reported at its (load ...), or at toplevel for a file
// named on the command line.
void ev_load(const char* name, Value caller) {
  vm.form = caller;
  rd_console(("; Loading. \"" + std::string(name) + "\"\n").c_str());
  FILE* f = plat_fopen(name, "r");
  if (f == nullptr) mem_error(E_FILE);
  FileGuard file(f);  // an error in the file unwinds through here
  Value env = vm.env;
  Protect keep_env(env, caller);
  for (;;) {
    vm.env = env;
    vm.form = caller;
    Value datum = rd_read(file.fp);
    if (datum == mem_eof) break;
    Protect keep(datum);
    ev_evaluate(datum);
  }
  // A stream that fails to read (a directory, say) ends like an empty file;
  // it is reported rather than taken for a successful load.
  if (std::ferror(file.fp)) mem_error(E_FILE);
}

// A file named on the command line is loaded at toplevel.
void tl_load_file(const char* name) {
  vm.env = NIL;
  ev_load(name, NIL);
}

}  // namespace ondrel
