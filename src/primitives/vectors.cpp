// vectors.cpp - vector primitives.
#include "primitives/prim.h"

namespace ondrel {

// Slots live in the vector area, which a collection compacts: read
// vec_slots again after every allocation.

static Value need_vector(Value v) { return prim_need(v, VECTOR, E_NEED_VECTOR); }

// An index argument: an INTEGER (24) from 0 to below the length (28).
static uint32_t need_index(Value v, uint32_t len) {
  int32_t k = prim_need_int(v, E_NEED_INT);
  if (k < 0 || static_cast<uint32_t>(k) >= len) mem_error(E_OUT_OF_RANGE);
  return static_cast<uint32_t>(k);
}

// The count field is 16 bits wide; no longer vector fits the area anyway.
static Value make_vector(uint64_t n) {
  if (n > 0xFFFF) mem_error(E_VECTOR_AREA);
  return mem_make_vector(static_cast<uint32_t>(n));
}

static Value p_vector_p(Value args) { return boolean(prim_has_tag(prim_arg0(args), VECTOR)); }

// The fill is reachable from the argument list while the vector is made.
static Value p_make_vector(Value args) {
  int32_t k = prim_need_int(prim_arg0(args), E_NEED_INT);
  if (k < 0) mem_error(E_OUT_OF_RANGE);
  Value fill = prim_arg1(args);
  Value v = make_vector(static_cast<uint32_t>(k));
  Value* slots = vec_slots(v);
  for (int32_t i = 0; i < k; ++i) slots[i] = fill;
  return v;
}

static Value p_vector(Value args) {
  Value v = make_vector(prim_count(args));
  Value* slots = vec_slots(v);
  for (Value a = args; prim_has_tag(a, PAIR); a = cdr(a)) *slots++ = car(a);
  return v;
}

static Value p_vector_length(Value args) {
  return mem_make_integer(static_cast<int32_t>(vec_len(need_vector(prim_arg0(args)))));
}

static Value p_vector_ref(Value args) {
  Value v = need_vector(prim_arg0(args));
  return vec_slots(v)[need_index(prim_arg1(args), vec_len(v))];
}

static Value p_vector_set(Value args) {
  Value v = need_vector(prim_arg0(args));
  uint32_t i = need_index(prim_arg1(args), vec_len(v));
  vec_slots(v)[i] = prim_arg2(args);
  return prim_unspecified();
}

// Built front to back with the first pair on the software stack; the
// stack is as it was when the list is returned.
static Value p_vector_to_list(Value args) {
  Value v = need_vector(prim_arg0(args));
  uint32_t n = vec_len(v);
  if (n == 0) return NIL;
  Value head = mem_cons(vec_slots(v)[0], NIL);
  Protect keep(head);
  Value tail = head;
  for (uint32_t i = 1; i < n; ++i) {
    Value p = mem_cons(vec_slots(v)[i], NIL);
    set_cdr(tail, p);
    tail = p;
  }
  return head;
}

// Count first (a circular or improper list is error 17), then allocate,
// then copy.
static Value p_list_to_vector(Value args) {
  Value list = prim_arg0(args);
  int64_t n = mem_list_length(list);
  if (n < 0) mem_error(E_NEED_LIST);
  Value v = make_vector(static_cast<uint64_t>(n));
  Value* slots = vec_slots(v);
  for (Value a = list; prim_has_tag(a, PAIR); a = cdr(a)) *slots++ = car(a);
  return v;
}

static Value p_vector_fill(Value args) {
  Value v = need_vector(prim_arg0(args));
  Value fill = prim_arg1(args);
  Value* slots = vec_slots(v);
  for (uint32_t i = 0; i < vec_len(v); ++i) slots[i] = fill;
  return prim_unspecified();
}

static constexpr PrimDef VECTOR_PRIMS[] = {
    {"vector?", K_ONE, p_vector_p},
    {"make-vector", K_ONE_TWO, p_make_vector},
    {"vector", K_ANY, p_vector},
    {"vector-length", K_ONE, p_vector_length},
    {"vector-ref", K_TWO, p_vector_ref},
    {"vector-set!", K_THREE, p_vector_set},
    {"vector->list", K_ONE, p_vector_to_list},
    {"list->vector", K_ONE, p_list_to_vector},
    {"vector-fill!", K_TWO, p_vector_fill},
};

// The direct forms (eval/registry.h): a slot read or write, and the length
// while a cell is at hand; every other case goes to the list handlers.
static Value d_vector_ref(const Value* argv, uint32_t n) {
  if (n < 2 || !prim_has_tag(argv[0], VECTOR) || !prim_has_tag(argv[1], INTEGER)) return 0;
  int32_t k = int_value(argv[1]);
  if (k < 0 || static_cast<uint32_t>(k) >= vec_len(argv[0])) return 0;
  return vec_slots(argv[0])[k];
}

static Value d_vector_length(const Value* argv, uint32_t n) {
  if (n < 1 || !prim_has_tag(argv[0], VECTOR) || !prim_cell_at_hand()) return 0;
  return mem_integer(static_cast<int32_t>(vec_len(argv[0])));
}

static Value d_vector_set(const Value* argv, uint32_t n) {
  if (n < 3 || !prim_has_tag(argv[0], VECTOR) || !prim_has_tag(argv[1], INTEGER)) return 0;
  int32_t k = int_value(argv[1]);
  if (k < 0 || static_cast<uint32_t>(k) >= vec_len(argv[0])) return 0;
  vec_slots(argv[0])[k] = argv[2];
  return prim_unspecified();
}

static constexpr DirectDef VECTOR_DIRECT[] = {
    {"vector-ref", d_vector_ref},
    {"vector-set!", d_vector_set},
    {"vector-length", d_vector_length},
};

void prim_register_vectors() {
  ev_register_table(VECTOR_PRIMS);
  ev_register_direct_table(VECTOR_DIRECT);
}

}  // namespace ondrel
