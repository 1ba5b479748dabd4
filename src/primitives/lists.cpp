// lists.cpp - list and predicate primitives.
#include <cstring>
#include <string>

#include "eval/eval.h"
#include "primitives/prim.h"

namespace ondrel {

/* -------------------------------------------------------------- pairs */

static Value p_null(Value args) { return boolean(prim_arg0(args) == NIL); }

static Value p_car(Value args) { return car(prim_need(prim_arg0(args), PAIR, E_NEED_LIST)); }

static Value p_cdr(Value args) { return cdr(prim_need(prim_arg0(args), PAIR, E_NEED_LIST)); }

// mem_cons keeps both halves on the software stack while it allocates.
static Value p_cons(Value args) { return mem_cons(prim_arg0(args), prim_arg1(args)); }

static Value p_set_car(Value args) {
  set_car(prim_need(prim_arg0(args), PAIR, E_NEED_LIST), prim_arg1(args));
  return prim_unspecified();
}

static Value p_set_cdr(Value args) {
  set_cdr(prim_need(prim_arg0(args), PAIR, E_NEED_LIST), prim_arg1(args));
  return prim_unspecified();
}

// The argument list is reachable from the caller; only the head of the new
// list needs the software stack.
static Value p_list(Value args) {
  if (!prim_has_tag(args, PAIR)) return NIL;
  Value head = mem_cons(car(args), NIL);
  Protect keep(head);
  Value tail = head;
  for (Value a = cdr(args); prim_has_tag(a, PAIR); a = cdr(a)) {
    Value p = mem_cons(car(a), NIL);
    set_cdr(tail, p);
    tail = p;
  }
  return head;
}

// Copy the elements of `from` onto the list whose last pair is `tail`,
// following cdrs while they are PAIRs; a non-list tail is dropped.  The
// caller keeps the head of the list on the software stack.
static void copy_onto(Value from, Value& tail) {
  for (; prim_has_tag(from, PAIR); from = cdr(from)) {
    Value p = mem_cons(car(from), NIL);
    set_cdr(tail, p);
    tail = p;
  }
}

// (append l1 ... ln): the last argument is shared as the tail unless NIL
// arguments stand right before it, in which case it is copied too.
static Value p_append(Value args) {
  if (!prim_has_tag(args, PAIR)) mem_error(E_NOT_ENOUGH);
  Value a = args;
  while (car(a) == NIL && prim_has_tag(cdr(a), PAIR)) a = cdr(a);
  if (!prim_has_tag(cdr(a), PAIR)) return car(a);  // the last one, whatever it is
  Value first = prim_need(car(a), PAIR, E_NEED_LIST);
  Value head = mem_cons(car(first), NIL);
  Protect keep(head);
  Value tail = head;
  copy_onto(cdr(first), tail);
  bool after_nil = false;  // the argument just before is NIL
  for (a = cdr(a); prim_has_tag(a, PAIR); a = cdr(a)) {
    Value x = car(a);
    bool last = !prim_has_tag(cdr(a), PAIR);
    if (!prim_has_tag(x, PAIR) && x != NIL) mem_error(E_NEED_LIST);
    if (last && !after_nil) {
      set_cdr(tail, x);  // shared, not copied
    } else {
      copy_onto(x, tail);
      after_nil = x == NIL;
    }
  }
  return head;
}

/* --------------------------------------------------------- equivalence */

static Value p_eq(Value args) { return boolean(prim_arg0(args) == prim_arg1(args)); }

static Value p_eqv(Value args) { return boolean(ev_eqv(prim_arg0(args), prim_arg1(args))); }

// Index of the next slot to compare for each vector frame; the frame itself
// (the two vectors and a 0 word) lies on the software stack.
static uint16_t eq_vec_index[STACK_WORDS / 3 + 1];

// equal? without host recursion.  Pending comparisons wait on the software
// stack: a pair frame is the two cdrs still to compare after the cars; a
// vector frame is (a b 0) with its next index in eq_vec_index.  The car
// direction therefore costs stack while the cdr direction iterates, so a
// cdr-circular list loops until Ctrl+C.  When a frame does not fit, the
// walk stops with `overflow` set (error 5 for the caller to report).
// Nothing here allocates, so slot pointers stay valid throughout.
bool prim_equal_walk(Value a, Value b, bool& overflow) {
  const uint32_t base = mem.sp;
  auto no_room = [&](uint32_t words) {
    if (STACK_WORDS - mem.sp >= words) return false;
    mem.sp = base;
    overflow = true;
    return true;
  };
  uint32_t vframes = 0;
  for (;;) {
    mem_check_break();  // Ctrl+C ends a walk over a circular structure
    bool same = true;
    if (a != b) {
      uint8_t ta = type_of(a), tb = type_of(b);
      if (ta != tb || ta == 0 || ta > VECTOR) {
        same = false;
      } else {
        switch (ta) {
          case PAIR:
          case RATIONAL:
          case COMPLEX:
            if (car(a) == car(b)) {  // go straight on with the second words
              a = cdr(a);
              b = cdr(b);
            } else {
              if (no_room(2)) return false;
              mem_push(cdr(a));
              mem_push(cdr(b));
              Value ca = car(a);
              b = car(b);
              a = ca;
            }
            continue;
          case SYMBOL: same = std::strcmp(sym_name(a), sym_name(b)) == 0; break;
          case INTEGER: same = int_value(a) == int_value(b); break;
          case REAL: same = real_value(a) == real_value(b); break;
          case STRING: same = std::strcmp(str_bytes(a), str_bytes(b)) == 0; break;
          case VECTOR:
            if (vec_len(a) != vec_len(b)) {
              same = false;
            } else if (vec_len(a) != 0) {
              if (no_room(3)) return false;
              mem_push(a);
              mem_push(b);
              mem_push(0);
              eq_vec_index[vframes++] = 0;
            }
            break;
          default: same = false; break;
        }
      }
    }
    if (!same) {
      mem.sp = base;
      return false;
    }
    // This comparison holds: resume the innermost pending one.
    for (;;) {
      if (mem.sp == base) return true;
      Value* s = sstack();
      if (s[mem.sp - 1] != 0) {  // pair frame
        b = s[--mem.sp];
        a = s[--mem.sp];
        break;
      }
      Value va = s[mem.sp - 3], vb = s[mem.sp - 2];
      uint16_t& i = eq_vec_index[vframes - 1];
      if (i < vec_len(va)) {
        a = vec_slots(va)[i];
        b = vec_slots(vb)[i];
        ++i;
        break;
      }
      mem.sp -= 3;  // every slot compared
      --vframes;
    }
  }
}

bool prim_equal(Value a, Value b) {
  bool overflow = false;
  bool same = prim_equal_walk(a, b, overflow);
  if (overflow) mem_error(E_SSTACK_OVER);
  return same;
}

static Value p_equal(Value args) { return boolean(prim_equal(prim_arg0(args), prim_arg1(args))); }

/* ---------------------------------------------------------- predicates */

// The constants ((), #t, #f, else, =>) count as symbols; keywords do not.
static Value p_symbol_p(Value args) {
  Value v = prim_arg0(args);
  return boolean(type_of(v) == SYMBOL || prim_has_tag(v, CONSTANT));
}

// A global procedure arrives as its SYMBOL: look through it to its value.
static Value p_procedure_p(Value args) {
  Value v = prim_arg0(args);
  if (prim_has_tag(v, NAMED_PROCEDURE)) v = car(v);
  if (type_of(v) == SYMBOL) v = car(v);
  if (v == 0) return mem_false;  // unbound
  switch (tag_byte(v)) {
    case PRIMITIVE:
    case CLOSURE:
    case CONTINUATION:
    case KEYWORD: return mem_true;
    default: return mem_false;
  }
}

static Value p_boolean_p(Value args) {
  Value v = prim_arg0(args);
  return boolean(v == mem_true || v == mem_false);
}

static Value p_pair_p(Value args) { return boolean(prim_has_tag(prim_arg0(args), PAIR)); }

static Value p_not(Value args) { return boolean(prim_arg0(args) == mem_false); }

// make-string copies the name before it allocates, so the move of the
// name's bytes by a collection cannot spoil the copy.
static Value p_symbol_to_string(Value args) {
  return mem_make_string(sym_name(prim_need_symbol(prim_arg0(args))));
}

static Value p_string_to_symbol(Value args) {
  Value s = prim_need(prim_arg0(args), STRING, E_NEED_STRING);
  std::string name(str_bytes(s));  // the bytes may move while interning
  return mem_intern(name.c_str());
}

/* -------------------------------------------------------- registration */

static constexpr PrimDef LIST_PRIMS[] = {
    {"null?", K_ONE, p_null},
    {"car", K_ONE, p_car},
    {"cdr", K_ONE, p_cdr},
    {"cons", K_TWO, p_cons},
    {"eq?", K_TWO, p_eq},
    {"eqv?", K_TWO, p_eqv},
    {"equal?", K_TWO, p_equal},
    {"symbol?", K_ONE, p_symbol_p},
    {"procedure?", K_ONE, p_procedure_p},
    {"boolean?", K_ONE, p_boolean_p},
    {"pair?", K_ONE, p_pair_p},
    {"list", K_ANY, p_list},
    {"append", K_ANY, p_append},
    {"set-car!", K_TWO, p_set_car},
    {"set-cdr!", K_TWO, p_set_cdr},
    {"not", K_ONE, p_not},
    {"symbol->string", K_ONE, p_symbol_to_string},
    {"string->symbol", K_ONE, p_string_to_symbol},
};

/* ------------------------------------------------------- direct forms */

// Each gives what its list handler gives for the same arguments (a missing
// one reads as NIL, extra ones are ignored) and leaves every case that
// raises an error, or needs a cell when none is at hand, to it.
static Value d_arg(const Value* argv, uint32_t n, uint32_t i) { return i < n ? argv[i] : NIL; }

static Value d_car(const Value* argv, uint32_t n) {
  Value x = d_arg(argv, n, 0);
  return prim_has_tag(x, PAIR) ? car(x) : 0;
}
static Value d_cdr(const Value* argv, uint32_t n) {
  Value x = d_arg(argv, n, 0);
  return prim_has_tag(x, PAIR) ? cdr(x) : 0;
}
static Value d_cons(const Value* argv, uint32_t n) {
  return mem_cons_at_hand(d_arg(argv, n, 0), d_arg(argv, n, 1));
}
static Value d_list(const Value* argv, uint32_t n) {
  Value l = NIL;
  for (uint32_t i = n; i-- > 0;)
    if ((l = mem_cons_at_hand(argv[i], l)) == 0) return 0;
  return l;
}
static Value d_null(const Value* argv, uint32_t n) { return boolean(d_arg(argv, n, 0) == NIL); }
static Value d_pair_p(const Value* argv, uint32_t n) {
  return boolean(prim_has_tag(d_arg(argv, n, 0), PAIR));
}
static Value d_not(const Value* argv, uint32_t n) { return boolean(d_arg(argv, n, 0) == mem_false); }
static Value d_eq(const Value* argv, uint32_t n) { return boolean(d_arg(argv, n, 0) == d_arg(argv, n, 1)); }

static constexpr DirectDef LIST_DIRECT[] = {
    {"car", d_car},    {"cdr", d_cdr},      {"cons", d_cons}, {"list", d_list},
    {"null?", d_null}, {"pair?", d_pair_p}, {"not", d_not},   {"eq?", d_eq},
};

void prim_register_lists() {
  ev_register_table(LIST_PRIMS);
  ev_register_direct_table(LIST_DIRECT);
}

}  // namespace ondrel
