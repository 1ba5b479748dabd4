// prim_support.h - calling primitives directly from unit tests.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "eval/protect.h"
#include "memory/error.h"
#include "eval/registry.h"
#include "memory/symtab.h"
#include "memory/memory.h"
#include "reader/port.h"
#include "toplevel/toplevel.h"

namespace primtest {
using namespace ondrel;

// Values a test holds are kept alive on the global value of one symbol:
// the symbol table is a root, and an error's reset does not touch it.
inline Value keep_sym = 0;

inline Value keep(Value v) {
  Value l = mem_cons(v, car(keep_sym));
  set_car(keep_sym, l);
  return v;
}

inline Value I(int32_t n) { return keep(mem_make_integer(n)); }
inline Value R(double d) { return keep(mem_make_real(d)); }
inline Value S(const char* s) { return keep(mem_make_string(s)); }
inline Value Y(const char* name) { return mem_intern(name); }
inline Value C(int code) { return mem_char(static_cast<uint32_t>(code)); }

// A proper list of the values, or an improper one ending in `tail`.
inline Value L(std::initializer_list<Value> xs, Value tail = NIL) {
  std::vector<Value> v(xs);
  Value acc = tail;
  for (size_t i = v.size(); i-- > 0;) acc = mem_cons(v[i], acc);
  return keep(acc);
}

// Apply the primitive registered under `name` to the argument list, held
// in the application register as the evaluator holds it.  The result is
// kept alive unless `hold` is false (loops that make much garbage).
inline Value call_list(const char* name, Value args, bool hold = true) {
  Value sym = mem_intern(name);
  Value prim = car(sym);
  EXPECT_TRUE(prim != 0 && is(prim, PRIMITIVE)) << name;
  if (prim == 0 || !is(prim, PRIMITIVE)) return NIL;
  vm.app = mem_cons(sym, args);
  Value r = ev_handlers[cell(prim).w1](args);
  vm.app = NIL;
  return hold ? keep(r) : r;
}

// The error code raised by the call, or 0 when it returned.
inline int error_of_list(const char* name, Value args) {
  int code = ev_protected([&] { call_list(name, args); });
  return code == UNWIND_ERROR ? vm.last_error : -code;
}

// Fresh regions and the whole symbol table for every test.
struct Prims : testing::Test {
  void SetUp() override {
    mem_init();
    mem.stress = false;
    rd_init_ports();
    tl_init_symbols();
    ev_reset();
    keep_sym = mem_intern("  test values  ");
    set_car(keep_sym, NIL);
  }
  void TearDown() override {
    mem.stress = false;
    rd_shutdown_ports();
    mem_shutdown();
  }
};

}  // namespace primtest
