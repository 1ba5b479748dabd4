// strings.cpp - string primitives.
#include "eval/registry.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void prim_register_strings() {}

}  // namespace ondrel
