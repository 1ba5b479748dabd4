// symtab.cpp - interning names in the symbol table.
#include "memory/symtab.h"

#include <cstring>

#include "memory/memory.h"

namespace ondrel {

// The bucket of a name: the sum of its bytes modulo 256.
static uint32_t sym_bucket(const char* name) {
  uint8_t sum = 0;
  for (const char* p = name; *p != '\0'; ++p) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(*p));
  return sum;
}

Value mem_intern(const char* name) {
  uint32_t b = sym_bucket(name);
  for (Value l = roots.symtab[b]; l != NIL; l = cdr(l))
    if (std::strcmp(sym_name(car(l)), name) == 0) return car(l);
  Value sym = mem_make_symbol(name);
  cell(sym).aux = 0;  // not bound in any frame yet
  Protect keep(sym);
  roots.symtab[b] = mem_cons(sym, roots.symtab[b]);
  return sym;
}

}  // namespace ondrel
