// port.cpp - ports and character I/O.
#include "eval/registry.h"
#include "memory/memory.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void port_init() {
  for (Value& b : roots.symtab) b = NIL;
}
void port_shutdown() {}

}  // namespace ondrel
