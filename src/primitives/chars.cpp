// chars.cpp - character primitives.
#include "eval/registry.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void prim_register_chars() {}

}  // namespace ondrel
