// memory.h - the five regions, allocators, stacks and the collector.
#pragma once
#include <cstddef>
#include <cstdint>

#include "memory/state.h"
#include "memory/value.h"

namespace ondrel {

// Sizes of the regions.
constexpr uint32_t HEAP_CELLS = 80000;
constexpr uint32_t AREA_BYTES = 16000;  // string area and vector area each
constexpr uint32_t STACK_WORDS = 4000;  // software stack and control stack each
constexpr uint32_t PORT_OBJECTS = 64;   // room for the static port objects

// Arena layout, as offsets from mem_base.  The first 64 bytes stay unused
// so that no value is 60 or less.
constexpr Value NIL = 64;                          // static Cell
constexpr Value NULL_VECTOR = 76;                  // static Cell
constexpr uint32_t CHAR_TABLE = 96;                // 256 two-byte CHARACTERs
constexpr uint32_t PORT_TABLE = CHAR_TABLE + 512;  // 8 bytes per port object
constexpr uint32_t HEAP_BASE = PORT_TABLE + 8 * PORT_OBJECTS;
constexpr uint32_t HEAP_END = HEAP_BASE + 12 * HEAP_CELLS;
constexpr uint32_t VEC_BASE = HEAP_END;
constexpr uint32_t STR_BASE = VEC_BASE + AREA_BYTES;
constexpr uint32_t SSTACK_BASE = STR_BASE + AREA_BYTES;
constexpr uint32_t CSTACK_BASE = SSTACK_BASE + 4 * STACK_WORDS;
constexpr uint32_t ARENA_BYTES = CSTACK_BASE + 4 * STACK_WORDS;

// Collector cause codes recorded by the allocators.
// clang-format off
enum GcCause : uint8_t {
  GC_PAIR = 1, GC_SYMBOL = 2, GC_PRIMITIVE = 3, GC_INTEGER = 4, GC_REAL = 6,
  GC_STRING = 8, GC_VECTOR = 9, GC_USER = 255,
};
// clang-format on

// State of the regions.  Invariants between collections:
//  - free cells are tagged PAIR, hold NIL in w1 and are chained through w2
//    in address order, ending in NIL; free == NIL means the free list is
//    empty;
//  - the heap's cells from index `swept` on are not swept yet: those the
//    latest collection left unmarked (before the first collection, all of
//    them) are garbage that mem_refill appends to the free list when it
//    runs dry, so an empty free list means no free cell only once
//    swept == HEAP_CELLS;
//  - every string in the string area belongs to exactly one STRING cell and
//    is followed by its NUL; every block in the vector area belongs to one
//    VECTOR or CONTINUATION cell and ends in a 0 word;
//  - no tag byte carries MARK_BIT.
struct Memory {
  Value free;            // head of the free list
  uint32_t str_top;      // first free byte of the string area (offset)
  uint32_t vec_top;      // first free byte of the vector area (offset)
  uint32_t swept;        // heap cells swept since the latest collection
  uint32_t sp;           // software stack: next free word (index 0..4000)
  uint32_t cp;           // control stack: next free word (index 0..4000)
  uint8_t last_cause;    // cause code of the latest collection
  uint32_t collections;  // number of collections run
  bool stress;           // collect on every allocation and check the heap after (debug switch)
};
inline Memory mem{};

// Roots that belong to other subsystems but live here so that the
// collector can reach them without depending on those subsystems (the
// evaluator's registers are in the interpreter record, state.h).
constexpr int DEFINE_TABLE_SIZE = 256;
struct DefineEntry {
  Value expr;  // the defining expression
  Value sym;   // the SYMBOL it defines
};
struct Roots {
  Value symtab[256];                    // symbol-table buckets: lists of interned cells
  DefineEntry defs[DEFINE_TABLE_SIZE];  // define table
  int ndefs;                            // entries in use
};
inline Roots roots{};

// Region set-up and release: mem_init starts every region afresh.
void mem_init();
void mem_shutdown();

// Allocators.  Each may collect; keep unlinked objects on the software
// stack across them, and re-read area pointers afterwards.
Value mem_make_pair();                                  // (() . ())
Value mem_cons_slow(Value a, Value d);                  // mem_cons when it must collect
Value mem_make_string(const char* text);                // copy of text (may lie in the area)
Value mem_make_string_n(const char* text, uint32_t n);  // first n bytes of text
Value mem_make_string_fill(uint32_t n, uint8_t fill);
Value mem_make_symbol(const char* name);  // unbound, not interned
Value mem_make_primitive(uint8_t kind, uint32_t handler);
Value mem_make_integer(int32_t n);
Value mem_make_real(double d);
Value mem_make_vector(uint32_t n);  // slots uninitialised: fill them first
inline Value mem_char(uint32_t code) { return CHAR_TABLE + 2 * (code & 0xFF); }

// When set, compaction asks it for the owner of the block at `block` (of
// the vector area when `vector`, else of the string area) instead of the
// table the marker fills: the tests check the table against a search.
inline Value (*mem_owner_search)(uint32_t block, bool vector) = nullptr;

// Run a full collection, sweeping the whole heap; returns the number of
// free cells.
uint32_t mem_collect(uint8_t cause);
// The collection an allocator runs: it sweeps only until the free list has
// a cell (or the heap is swept), the rest as the free list runs dry.  Under
// the stress switch it is a full collection.
void mem_collect_lazily(uint8_t cause);
// Sweeps on until the free list holds a cell or the whole heap is swept;
// false when no free cell is left.  The free list grows in address order,
// as one sweep of the whole heap would have made it.
bool mem_refill();
void mem_sweep_rest();
// Makes the whole heap garbage not yet swept: no cell marked, the free
// list empty (the state mem_init starts from).
void mem_heap_unswept();
// Whether the latest collection marked heap cell c (live when it ran).
bool mem_marked(Value c);
// Free cells, once the whole heap is swept.
uint32_t mem_free_cells();

// Software stack: errors 5 (overflow) and 4 (underflow).
void mem_push(Value v);
Value mem_pop();
inline Value* sstack() { return reinterpret_cast<Value*>(mem_base + SSTACK_BASE); }
inline Value* cstack() { return reinterpret_cast<Value*>(mem_base + CSTACK_BASE); }

// Keeps values on the software stack for the guard's lifetime.  On exit it
// cuts the stack back to where it was, so an early return cannot leave
// words behind, and an unwind after a reset (stack already empty) is safe.
struct Protect {
  uint32_t saved;
  template <typename... V>
  explicit Protect(V... vs) : saved(mem.sp) {
    (mem_push(vs), ...);
  }
  ~Protect() {
    if (mem.sp > saved) mem.sp = saved;
  }
  Protect(const Protect&) = delete;
  Protect& operator=(const Protect&) = delete;
};

// (a . d) from a free cell at hand, or 0 when the free list is empty or the
// stress switch is on: it never collects, for callers with an ordinary way
// to fall back on.
inline Value mem_cons_at_hand(Value a, Value d) {
  Value p = mem.free;
  if (p == NIL || mem.stress) return 0;
  Cell& c = cell(p);
  mem.free = c.w2;
  c = Cell{PAIR, 0, 0, a, d};
  return p;
}

// (a . d); protects a and d itself when it has to collect.  The common
// case, a free cell at hand, is inline: it is the evaluator's hottest path.
inline Value mem_cons(Value a, Value d) {
  Value p = mem_cons_at_hand(a, d);
  return p != 0 ? p : mem_cons_slow(a, d);
}

// An INTEGER, taken in line from the free list while a cell is at hand;
// otherwise mem_make_integer, which may collect.  The cell is set exactly
// as mem_make_integer sets it.
inline Value mem_integer(int32_t n) {
  Value v = mem.free;
  if (v == NIL || mem.stress) return mem_make_integer(n);
  Cell& c = cell(v);
  mem.free = c.w2;
  c.tag = INTEGER;
  c.w1 = static_cast<uint32_t>(n);
  return v;
}

// Length of a proper list, or -1 when l is improper or circular.  No list
// in the heap holds more pairs than the heap has cells.
inline int64_t mem_list_length(Value l) {
  int64_t n = 0;
  for (; tag_byte(l) == PAIR; l = cdr(l))
    if (++n > HEAP_CELLS) return -1;
  return l == NIL ? n : -1;
}

// Heap walking helpers for tests and checks.
inline Value mem_heap_cell(uint32_t i) { return HEAP_BASE + 12 * i; }
inline bool mem_is_heap_value(Value v) { return v >= HEAP_BASE && v < HEAP_END && (v - HEAP_BASE) % 12 == 0; }

}  // namespace ondrel
