// vectors.cpp - vector primitives.
#include "eval/registry.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void prim_register_vectors() {}

}  // namespace ondrel
