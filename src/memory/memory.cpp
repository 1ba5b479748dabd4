// memory.cpp - region set-up, allocators and the software stack.
#include "memory/memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "memory/error.h"

namespace ondrel {

/* ---------------------------------------------------------------- set-up */

static void init_static_cell(Value v, const char* name) {
  Cell& c = cell(v);
  c.tag = CONSTANT;
  c.aux = 0;
  c.count = 0;
  c.w1 = v;
  c.w2 = NIL;
  // The name string needs a free cell; the heap is fresh, so this cannot fail.
  Value s = mem_make_string(name);
  cell(v).w2 = s;
}

alignas(64) uint8_t mem_arena[ARENA_BYTES];

// Whether mem_init has used the arena since the program started: a fresh
// arena is all zero bytes without a write, and only a later start (the unit
// tests start many times) clears it.
static bool arena_used = false;

void mem_init() {
  // One arena for every region, in the order: static cells, character
  // table, port objects, heap, vector area, string area, software stack,
  // control stack.
  if (arena_used) std::memset(mem_arena, 0, ARENA_BYTES);
  arena_used = true;
  for (uint32_t k = 0; k < 256; ++k) {
    mem_base[CHAR_TABLE + 2 * k] = CHARACTER;
    mem_base[CHAR_TABLE + 2 * k + 1] = static_cast<uint8_t>(k);
  }
  // The static cells exist before the free list so that NIL can end it.
  cell(NIL) = Cell{CONSTANT, 0, 0, NIL, NIL};
  cell(NULL_VECTOR) = Cell{CONSTANT, 0, 0, NULL_VECTOR, NIL};
  // The whole heap is garbage not yet swept: the sweep links its cells into
  // the free list, in address order, only as they are needed, so a program
  // that uses few cells never touches the rest of the heap.
  mem_heap_unswept();
  mem.str_top = STR_BASE;
  mem.vec_top = VEC_BASE;
  mem.sp = 0;
  mem.cp = 0;
  mem.collections = 0;
  const char* stress = std::getenv("ONDREL_GC_STRESS");
  mem.stress = stress != nullptr && stress[0] == '1';
  roots = Roots{};
  for (Value& b : roots.symtab) b = NIL;
  vm.form = vm.env = vm.exp = vm.app = vm.val = NIL;
  init_static_cell(NIL, "()");
  init_static_cell(NULL_VECTOR, "#<NULL_VECTOR>");
}

// Nothing to release: the arena is part of the program, and the next
// mem_init clears it.
void mem_shutdown() {}

/* ------------------------------------------------------------ allocators */

// A cell on the free list, sweeping on when the list is empty: a
// collection is due only when the whole heap is swept and none is left.
static bool have_free_cell() { return mem.free != NIL || mem_refill(); }

// Unlink the head of the free list.  When that empties the list the sweep
// goes on at once, so the cell keeps in w2 the link to the next free cell
// that a sweep of the whole heap would have left there.
static Value pop_free() {
  Value c = mem.free;
  mem.free = cell(c).w2;
  if (mem.free == NIL && mem_refill()) cell(c).w2 = mem.free;
  return c;
}

// Take the head of the free list, collecting first when no free cell is
// left (or always, under the stress switch).  Raises `err` when the
// collection frees none.
static Value take_cell(uint8_t cause, int err) {
  if (mem.stress || !have_free_cell()) mem_collect_lazily(cause);
  if (mem.free == NIL) mem_error(err);
  return pop_free();
}

Value mem_make_pair() {
  Value p = take_cell(GC_PAIR, E_HEAP_AREA);
  cell(p).tag = PAIR;
  cell(p).w1 = NIL;
  cell(p).w2 = NIL;
  return p;
}

Value mem_cons_slow(Value a, Value d) {
  Protect keep(a, d);
  Value p = mem_make_pair();
  cell(p).w1 = a;
  cell(p).w2 = d;
  return p;
}

// Ensure a free cell and `need` bytes in the string area, collecting once.
static void string_room(uint32_t need) {
  if (need > AREA_BYTES) mem_error(E_STRING_AREA);
  bool short_of_room = mem.str_top + need > STR_BASE + AREA_BYTES;
  if (short_of_room || mem.stress || !have_free_cell()) {
    mem_collect_lazily(GC_STRING);
    if (mem.str_top + need > STR_BASE + AREA_BYTES || mem.free == NIL) mem_error(E_STRING_AREA);
  }
}

static Value new_string_cell(uint32_t need) {
  Value s = pop_free();
  cell(s).tag = STRING;
  cell(s).w1 = mem.str_top;
  mem.str_top += need;
  return s;
}

// Room for a copy of text that lies in the string area.
static char area_text[AREA_BYTES];

Value mem_make_string_n(const char* text, uint32_t n) {
  // Text in the string area may move when a collection compacts it: copy it
  // out first so the result is the text as it was at the call.  Text
  // elsewhere stays where it is.
  const char* area = reinterpret_cast<const char*>(mem_base + STR_BASE);
  if (text >= area && text < area + AREA_BYTES) {
    if (n > AREA_BYTES) mem_error(E_STRING_AREA);
    std::memcpy(area_text, text, n);
    text = area_text;
  }
  string_room(n + 1);
  Value s = new_string_cell(n + 1);
  char* dst = str_bytes(s);
  if (n != 0) std::memcpy(dst, text, n);
  dst[n] = '\0';
  return s;
}

Value mem_make_string(const char* text) {
  return mem_make_string_n(text, static_cast<uint32_t>(std::strlen(text)));
}

Value mem_make_string_fill(uint32_t n, uint8_t fill) {
  if (n >= AREA_BYTES) mem_error(E_STRING_AREA);
  string_room(n + 1);
  Value s = new_string_cell(n + 1);
  char* dst = str_bytes(s);
  std::memset(dst, fill, n);
  dst[n] = '\0';
  return s;
}

Value mem_make_symbol(const char* name) {
  std::vector<char> copy(name, name + std::strlen(name) + 1);
  Value sym = take_cell(GC_SYMBOL, E_HEAP_AREA);
  cell(sym).tag = SYMBOL;
  cell(sym).w1 = 0;
  cell(sym).w2 = NIL;
  Protect keep(sym);
  Value s = mem_make_string(copy.data());
  cell(sym).w2 = s;
  return sym;
}

Value mem_make_primitive(uint8_t kind, uint32_t handler) {
  Value p = take_cell(GC_PRIMITIVE, E_HEAP_AREA);
  cell(p).tag = PRIMITIVE;
  cell(p).aux = kind;
  cell(p).w1 = handler;
  return p;
}

Value mem_make_integer(int32_t n) {
  Value v = take_cell(GC_INTEGER, E_HEAP_AREA);
  cell(v).tag = INTEGER;
  cell(v).w1 = static_cast<uint32_t>(n);
  return v;
}

Value mem_make_real(double d) {
  Value v = take_cell(GC_REAL, E_HEAP_AREA);
  cell(v).tag = REAL;
  std::memcpy(&cell(v).w1, &d, sizeof d);
  return v;
}

Value mem_make_vector(uint32_t n) {
  if (n == 0) {
    Value v = take_cell(GC_VECTOR, E_VECTOR_AREA);
    cell(v).tag = VECTOR;
    cell(v).count = 0;
    cell(v).w2 = NULL_VECTOR;
    return v;
  }
  uint64_t need = 4ull * n + 4;
  bool short_of_room = mem.vec_top + need > VEC_BASE + AREA_BYTES;
  if (short_of_room || mem.stress || !have_free_cell()) {
    mem_collect_lazily(GC_VECTOR);
    if (mem.vec_top + need > VEC_BASE + AREA_BYTES || mem.free == NIL) mem_error(E_VECTOR_AREA);
  }
  Value v = pop_free();
  cell(v).tag = VECTOR;
  cell(v).count = static_cast<uint16_t>(n);
  cell(v).w2 = mem.vec_top;
  Value* slots = vec_slots(v);
  for (uint32_t i = 0; i < n; ++i) slots[i] = NIL;  // safe filler until the caller fills them
  slots[n] = 0;
  mem.vec_top += static_cast<uint32_t>(need);
  return v;
}

/* -------------------------------------------------------- software stack */

void mem_push(Value v) {
  if (mem.sp >= STACK_WORDS) mem_error(E_SSTACK_OVER);
  sstack()[mem.sp++] = v;
}

Value mem_pop() {
  if (mem.sp == 0) mem_error(E_SSTACK_UNDER);
  return sstack()[--mem.sp];
}

}  // namespace ondrel
