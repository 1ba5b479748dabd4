// groups.cpp - every primitive group, in registration order.
#include "editor/editor.h"
#include "eval/registry.h"
#include "graphics/gfx.h"
#include "primitives/prim.h"
#include "toplevel/toplevel.h"
#include "turtle/turtle.h"

namespace ondrel {

// A name registered twice would keep the handler of the later group; no
// name is.
static constexpr void (*GROUPS[])() = {
    ev_init_symbols,        // constants, keywords, eval, apply, call/cc
    prim_register_lists,    // pairs, lists, equivalence, predicates
    prim_register_numbers,  // the numeric tower
    prim_register_ports,    // ports, files, load, the transcript
    prim_register_vectors,  // vectors
    prim_register_chars,    // characters
    prim_register_strings,  // strings
    prim_register_system,   // bye, trace, gc, random, shell commands
    gfx_register,           // the graphics window
    tur_register,           // the turtle and its cursors
    ed_register,            // the editor
    prim_register_math,     // floor to inexact->exact, after the groups above
    prim_register_library,  // list and number procedures of the library
};

void tl_init_symbols() {
  for (auto group : GROUPS) group();
}

}  // namespace ondrel
