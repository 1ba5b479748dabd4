// gfxprims.cpp - graphics window primitives.
#include "eval/registry.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void gfx_register() {}

}  // namespace ondrel
