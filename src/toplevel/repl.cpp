// repl.cpp - read-eval-print loop and init file.
#include "eval/registry.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void tl_load_init_file() {}
void tl_repl() {}
bool tl_input_at_eof() { return false; }

}  // namespace ondrel
