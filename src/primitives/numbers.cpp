// numbers.cpp - numeric tower and arithmetic primitives.
#include "eval/registry.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void prim_register_numbers() {}

}  // namespace ondrel
