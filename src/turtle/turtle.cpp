// turtle.cpp - turtle graphics primitives.
#include "eval/registry.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void tur_register() {}

}  // namespace ondrel
