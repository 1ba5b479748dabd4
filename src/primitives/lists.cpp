// lists.cpp - list, predicate and system primitives.
#include "eval/registry.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void prim_register_lists() {}

}  // namespace ondrel
