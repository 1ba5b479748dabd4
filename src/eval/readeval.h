// readeval.h - reading and evaluating every datum of an input, and the
// file loader built on it.
#pragma once
#include <cstdio>

#include "memory/value.h"

namespace ondrel {

// What a run of read-eval steps does beyond reading a datum and evaluating
// it, by caller:
//                 in       caller    same_env  print  console
//   prompt loop   nullptr  NIL       -         yes    yes
//   init file     file     NIL       -         -      -
//   load, files   file     the call  yes       -      -
//   editor        file     NIL       -         yes    -
struct ReadEval {
  FILE* in;       // the input; nullptr: the current input port, looked up before each datum
  Value caller;   // the form register while a datum is read: errors there report it (NIL: toplevel)
  bool same_env;  // every datum in the environment of the call, even when a
                  // continuation left an earlier datum's activation elsewhere
  bool print;     // each value printed in written form, then a newline
  bool console;   // the prompt loop: the prompt on a terminal, the loop-state
                  // hand-shake with the editor, the character after the datum
                  // read and pushed back (so a transcript has it before the value)
};

// Read and evaluate until the input ends; errors unwind.
void ev_read_eval(const ReadEval& how);

// Load the file `name`: announce it, evaluate every datum, print nothing.
// `caller` is the form reported when the file cannot be opened or a datum
// cannot be read: the (load ...) call, or NIL (toplevel) at start-up.
void ev_load(const char* name, Value caller);

}  // namespace ondrel
