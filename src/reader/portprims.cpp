// portprims.cpp - port and file primitives.
#include "eval/registry.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void rd_register_ports() {}

}  // namespace ondrel
