// symtab.cpp - interning, constants, keywords and primitive registration.
#include "eval/registry.h"
#include "memory/memory.h"
#include "toplevel/toplevel.h"

namespace ondrel {

void reg_primitive(const char*, PrimKind, PrimFn) { ++prim_registrations; }

void sym_init() {
  prim_register_lists();
  prim_register_numbers();
  rd_register_ports();
  prim_register_vectors();
  prim_register_chars();
  prim_register_strings();
  gfx_register();
  tur_register();
}

}  // namespace ondrel
