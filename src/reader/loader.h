// loader.h - the file loader.
#pragma once

#include "memory/value.h"

namespace ondrel {

// Load the file `name`: announce it, evaluate every datum, print nothing.
// `caller` is the form reported when the file cannot be opened or a datum
// cannot be read: the (load ...) call, or NIL (toplevel) at start-up.
// tl_load_file(name) of the start-up is ev_load(name, NIL).
void ev_load(const char* name, Value caller);

}  // namespace ondrel
