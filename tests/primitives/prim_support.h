// prim_support.h - calling primitives directly from unit tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
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
inline Value call(const char* name, std::initializer_list<Value> args) { return call_list(name, L(args)); }
// The same without keeping the result or the argument list.
inline Value call_free(const char* name, std::initializer_list<Value> args) {
  std::vector<Value> v(args);
  Value list = NIL;
  for (size_t i = v.size(); i-- > 0;) list = mem_cons(v[i], list);
  return call_list(name, list, false);
}

// The error code raised by the call, or 0 when it returned.
inline int error_of_list(const char* name, Value args) {
  int code = ev_protected([&] { call_list(name, args); });
  return code == UNWIND_ERROR ? vm.last_error : -code;
}
inline int error_of(const char* name, std::initializer_list<Value> args) { return error_of_list(name, L(args)); }

// A written form of the value, enough for the assertions of these tests.
inline std::string show(Value v) {
  char buf[64];
  switch (type_of(v)) {
    case INTEGER: std::snprintf(buf, sizeof buf, "%d", int_value(v)); return buf;
    case REAL: std::snprintf(buf, sizeof buf, "%g", real_value(v)); return std::string(buf) + "r";
    case STRING: return "\"" + std::string(str_bytes(v)) + "\"";
    case CHARACTER: return std::string("#\\") + static_cast<char>(char_code(v));
    case SYMBOL: case CONSTANT: case KEYWORD: return sym_name(v);
    case VECTOR: {
      std::string s = "#(";
      for (uint32_t i = 0; i < vec_len(v); ++i) s += (i ? " " : "") + show(vec_slots(v)[i]);
      return s + ")";
    }
    case PAIR: {
      std::string s = "(";
      for (int n = 0;; ++n) {
        if (n > 1000) return s + " ...)";
        s += show(car(v));
        v = cdr(v);
        if (v == NIL) break;
        if (!is(v, PAIR)) {
          s += " . " + show(v);
          break;
        }
        s += " ";
      }
      return s + ")";
    }
    case PRIMITIVE: return "#<primitive>";
    default: std::snprintf(buf, sizeof buf, "#<tag %d>", type_of(v)); return buf;
  }
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
