// registry.h - primitive kinds, the handler table and registration.
#pragma once
#include <cstdint>

#include "memory/value.h"

namespace ondrel {

// Argument-pattern kinds (the aux byte of a PRIMITIVE).
enum PrimKind : uint8_t {
  K_EVAL = 0,      // evaluator state number in the first word
  K_NONE = 16,     // no arguments
  K_ONE = 17,      // one argument
  K_TWO = 18,      // two arguments
  K_THREE = 19,    // three arguments
  K_OPT1 = 21,     // zero or one argument
  K_ONE_TWO = 22,  // one or two arguments
  K_ANY = 24,      // any number of arguments
};

// A primitive receives the list of its evaluated arguments and returns one
// value; it reports failure only through mem_error.
using PrimFn = Value (*)(Value args);

// One row of a group's registration table.
struct PrimDef {
  const char* name;
  PrimKind kind;
  PrimFn fn;
};

// Handlers are kept in a table; a PRIMITIVE's first word is the index.
constexpr uint32_t MAX_HANDLERS = 512;
inline PrimFn ev_handlers[MAX_HANDLERS];
inline uint32_t ev_nhandlers = 0;
inline uint32_t ev_registrations = 0;  // every registration counts

// Intern `name`, make it a plain SYMBOL and bind it to a new PRIMITIVE.
void ev_register(const char* name, PrimKind kind, PrimFn fn);
// Register each row of a table in order.
template <unsigned N>
void ev_register_table(const PrimDef (&defs)[N]) {
  for (const PrimDef& d : defs) ev_register(d.name, d.kind, d.fn);
}

// The direct form of a primitive, for the evaluator's common case: it reads
// its n arguments from argv (the values collected on the control stack)
// instead of the argument list, which is then never consed.  It returns 0
// to hand the call to the list handler, and then has done nothing.  It
// never raises an error and never collects: it allocates only while
// prim_cell_at_hand() says a free cell is there, so every report, trace
// line and collection that can tell the two apart goes the ordinary way.
using DirectFn = Value (*)(const Value* argv, uint32_t n);
inline DirectFn ev_direct[MAX_HANDLERS];
struct DirectDef {
  const char* name;  // a primitive registered before
  DirectFn fn;
};
// Give the primitive bound to each name its direct form.
void ev_register_direct(const DirectDef* defs, uint32_t n);
template <unsigned N>
void ev_register_direct_table(const DirectDef (&defs)[N]) {
  ev_register_direct(defs, N);
}

// Intern and bind to a kind-0 PRIMITIVE holding an evaluator state.
void ev_register_eval(const char* name, uint32_t state);
// The constants, the keywords, the special symbols and the evaluator's own
// primitives (eval, apply, call/cc); the groups follow (toplevel/groups.cpp).
void ev_init_symbols();

}  // namespace ondrel
