// gc.cpp - mark, compaction of the string and vector areas, sweep.
#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "memory/error.h"
#include "memory/memory.h"

namespace ondrel {

/* ------------------------------------------------------------------ mark */

// Explicit mark stack: the car direction is pushed here instead of
// recursing, so no heap shape can exhaust the host stack.  Each pushed
// word is a car of a newly marked cell, a vector slot or a saved
// continuation word, so the stack never holds more than the heap's cells
// plus the vector area's words.
static constexpr uint32_t MARK_STACK_WORDS = HEAP_CELLS + AREA_BYTES / 4 + 16;
static Value mark_stack[MARK_STACK_WORDS];
static uint32_t mark_sp;

[[noreturn]] static void corrupt_heap(uint8_t tag) {
  std::fputs("memory : Unknown ID \n", stdout);
  std::fprintf(stderr, "ID number = %d\n", static_cast<int>(static_cast<int8_t>(tag)));
  mem_quit();
}

/* ------------------------------------------------------------ mark bits */

// One mark bit per heap cell, kept beside the heap instead of in the tag
// bytes: a collection clears them with one small memset, and the sweep
// reads the marks of 64 cells in one word without touching a live cell.
// The bits of a collection stay until the next one, since the sweep of the
// heap goes on as the free list runs dry.
static_assert(HEAP_CELLS % 64 == 0, "the heap fills whole words of mark bits");
static uint64_t mark_bits[HEAP_CELLS / 64];

static uint32_t cell_index(Value c) { return (c - HEAP_BASE) / 12; }

bool mem_marked(Value c) {
  uint32_t i = cell_index(c);
  return ((mark_bits[i / 64] >> (i % 64)) & 1) != 0;
}

/* ------------------------------------------------------ owners of blocks */

// The owner of a block in the string or vector area is the marked cell of
// lowest address whose pointer names the block's start.  The marker notes
// each STRING, VECTOR and CONTINUATION it marks in these tables, the lower
// address winning, so compaction needs no search of the heap.  The tables
// are never cleared: an entry counts only while its cell is marked, of the
// kind and names the block, which an entry left from an earlier collection
// fails unless the marker has noted that cell again in this one.
static Value str_owner[AREA_BYTES];
static Value vec_owner[AREA_BYTES / 4];

static bool owns_string(Value c, uint32_t p) {
  return c != 0 && mem_marked(c) && (cell(c).tag & TYPE_MASK) == STRING && cell(c).w1 == p;
}

static bool owns_block(Value c, uint32_t p) {
  if (c == 0 || !mem_marked(c)) return false;
  uint8_t t = cell(c).tag & TYPE_MASK;
  return (t == VECTOR || t == CONTINUATION) && cell(c).w2 == p;
}

// Only blocks below the area top are noted: compaction reads no others.
static void note_string(Value c) {
  uint32_t p = cell(c).w1;
  if (p < STR_BASE || p >= mem.str_top) return;
  Value& o = str_owner[p - STR_BASE];
  if (c < o || !owns_string(o, p)) o = c;
}

static void note_block(Value c) {
  uint32_t p = cell(c).w2;
  if (p < VEC_BASE || p >= mem.vec_top || (p - VEC_BASE) % 4 != 0) return;
  Value& o = vec_owner[(p - VEC_BASE) / 4];
  if (c < o || !owns_block(o, p)) o = c;
}

static Value string_owner(uint32_t p) {
  if (mem_owner_search != nullptr) return mem_owner_search(p, false);
  Value o = str_owner[p - STR_BASE];
  return owns_string(o, p) ? o : 0;
}

static Value block_owner(uint32_t p) {
  if (mem_owner_search != nullptr) return mem_owner_search(p, true);
  Value o = vec_owner[(p - VEC_BASE) / 4];
  return owns_block(o, p) ? o : 0;
}

static void mark(Value root) {
  mark_sp = 0;
  mark_stack[mark_sp++] = root;
  while (mark_sp > 0) {
    Value v = mark_stack[--mark_sp];
    for (;;) {
      if (v - HEAP_BASE >= HEAP_END - HEAP_BASE) {  // not a heap cell: never marked
        if (v == 0 || v == NIL || v == NULL_VECTOR) break;
        // Read the tag through the byte: a CHARACTER is not a whole Cell.
        uint8_t t = mem_base[v] & TYPE_MASK;
        if (t == 0 || t > KEYWORD) corrupt_heap(mem_base[v]);
        break;
      }
      uint8_t tag = cell(v).tag;
      uint8_t t = tag & TYPE_MASK;
      uint32_t ci = cell_index(v);
      uint64_t& word = mark_bits[ci / 64];
      uint64_t bit = uint64_t{1} << (ci % 64);
      if (word & bit) break;
      if (t == 0 || t > KEYWORD) corrupt_heap(tag);
      switch (t) {
        case PAIR:
        case CLOSURE:
        case MACRO:
          word |= bit;
          mark_stack[mark_sp++] = cell(v).w1;
          v = cell(v).w2;
          continue;
        case SYMBOL:
          word |= bit;
          if (cell(v).w1 != 0) mark_stack[mark_sp++] = cell(v).w1;
          v = cell(v).w2;
          continue;
        case CONSTANT:
        case KEYWORD:
          word |= bit;
          v = cell(v).w2;
          continue;
        case PRIMITIVE:
        case INTEGER:
        case RATIONAL:
        case REAL:
        case COMPLEX:
        case NAMED_PROCEDURE: word |= bit; break;
        case STRING:
          word |= bit;
          note_string(v);
          break;
        case VECTOR: {
          word |= bit;
          note_block(v);
          const Value* slots = vec_slots(v);
          for (uint32_t i = 0; i < cell(v).count; ++i) mark_stack[mark_sp++] = slots[i];
          break;
        }
        case CONTINUATION: {
          word |= bit;
          note_block(v);
          const Value* words = vec_slots(v);
          for (uint32_t i = 0; i < cell(v).count; ++i)
            if (words[i] > 60) mark_stack[mark_sp++] = words[i];
          break;
        }
        default:  // tag 7, CHARACTER and the ports: static objects only
          break;
      }
      break;
    }
  }
}

static void mark_roots() {
  for (Value b : roots.symtab) mark(b);
  for (uint32_t i = 0; i < mem.sp; ++i) mark(sstack()[i]);
  for (uint32_t i = 0; i < mem.cp; ++i)
    if (cstack()[i] > 60) mark(cstack()[i]);
  mark(cell(NIL).w2);
  mark(cell(NULL_VECTOR).w2);
  mark(vm.form);
  mark(vm.env);
  mark(vm.exp);
  mark(vm.app);
  mark(vm.val);
  for (int i = 0; i < roots.ndefs; ++i) {
    mark(roots.defs[i].expr);
    mark(roots.defs[i].sym);
  }
}

/* ------------------------------------------------------------ compaction */

static void compact_strings() {
  uint32_t src = STR_BASE, dst = STR_BASE;
  while (src < mem.str_top) {
    Value owner = string_owner(src);
    uint32_t len = static_cast<uint32_t>(std::strlen(reinterpret_cast<char*>(mem_base + src)));
    if (owner != 0) {
      if (dst != src) {
        std::memmove(mem_base + dst, mem_base + src, len + 1);
        cell(owner).w1 = dst;
      }
      dst += len + 1;
    }
    src += len + 1;
  }
  mem.str_top = dst;
}

static void compact_vectors() {
  uint32_t src = VEC_BASE, dst = VEC_BASE;
  while (src < mem.vec_top) {
    Value owner = block_owner(src);
    if (owner != 0) {
      uint32_t bytes = 4u * cell(owner).count + 4;
      if (dst != src) {
        std::memmove(mem_base + dst, mem_base + src, bytes);
        cell(owner).w2 = dst;
      }
      src += bytes;
      dst += bytes;
    } else {
      // A dead block: skip to just past its 0 terminator.
      const Value* w = reinterpret_cast<const Value*>(mem_base + src);
      while (src < mem.vec_top && *w != 0) {
        src += 4;
        ++w;
      }
      src += 4;
    }
  }
  mem.vec_top = dst;
}

/* ----------------------------------------------------------------- sweep */

// The sweep after a collection runs in steps as the free list runs dry:
// each step frees the unmarked cells among the next SWEEP_CELLS in address
// order and appends them to the free list.  The cells are handed out in
// the order of a sweep of the whole heap at once, and the cells not yet
// swept keep their marks, so a collection need not wait for the sweep.
static constexpr uint32_t SWEEP_CELLS = 1024;
static_assert(SWEEP_CELLS % 64 == 0, "a step sweeps whole words of mark bits");

// The last cell the sweep linked: the free list's end while the list is
// not empty.
static Value free_tail = NIL;

// Sweeps up to `cells` cells from mem.swept on; returns how many it freed.
static uint32_t sweep(uint32_t cells) {
  uint32_t from = mem.swept;
  uint32_t to = std::min(HEAP_CELLS, from + cells);
  Value last = mem.free == NIL ? NIL : free_tail;
  uint32_t nfree = 0;
  for (uint32_t w = from / 64; w < to / 64; ++w) {
    for (uint64_t unmarked = ~mark_bits[w]; unmarked != 0; unmarked &= unmarked - 1) {
      Value c = mem_heap_cell(w * 64 + static_cast<uint32_t>(std::countr_zero(unmarked)));
      Cell& k = cell(c);
      k.tag = PAIR;
      k.w1 = NIL;
      if (last == NIL)
        mem.free = c;
      else
        cell(last).w2 = c;
      last = c;
      ++nfree;
    }
  }
  if (last != NIL) {
    cell(last).w2 = NIL;
    free_tail = last;
  }
  mem.swept = to;
  return nfree;
}

bool mem_refill() {
  while (mem.free == NIL && mem.swept < HEAP_CELLS) sweep(SWEEP_CELLS);
  return mem.free != NIL;
}

void mem_sweep_rest() { sweep(HEAP_CELLS - mem.swept); }

/* ----------------------------------------------------------- heap check */

// Under the stress switch every collection ends with a walk that checks the
// invariants of the Memory record; a broken one stops the program at once,
// where the collection that broke it is still on the stack.
[[noreturn]] static void broken(const char* what, Value at) {
  std::fprintf(stderr, "memory : heap check failed after collection %u: %s (at %u)\n", mem.collections, what,
               static_cast<unsigned>(at));
  std::abort();
}

static uint8_t str_owned[AREA_BYTES];
static Value vec_owned[AREA_BYTES / 4];

// Out of line and cold: it runs only under the stress switch and must not
// change how the collection itself is compiled.
[[gnu::noinline, gnu::cold]] static void check_heap() {
  // The free list: free cells in address order, tagged PAIR with NIL first.
  Value last = 0;
  for (Value c = mem.free; c != NIL; c = cell(c).w2) {
    if (!mem_is_heap_value(c) || c <= last) broken("free list out of address order", c);
    if (cell(c).tag != PAIR || cell(c).w1 != NIL) broken("free cell not an empty PAIR", c);
    last = c;
  }
  // No mark left; every block of the two areas owned by one cell.
  std::memset(str_owned, 0, sizeof str_owned);
  std::memset(vec_owned, 0, sizeof vec_owned);
  for (uint32_t i = 0; i < HEAP_CELLS; ++i) {
    Value c = mem_heap_cell(i);
    uint8_t tag = cell(c).tag;
    if (tag & MARK_BIT) broken("MARK_BIT left on a cell", c);
    uint8_t t = tag & TYPE_MASK;
    if (t == STRING) {
      uint32_t p = cell(c).w1;
      if (p < STR_BASE || p >= mem.str_top) broken("string outside the string area", c);
      if (str_owned[p - STR_BASE]++ != 0) broken("string owned twice", c);
    } else if ((t == VECTOR || t == CONTINUATION) && cell(c).w2 != NULL_VECTOR) {
      uint32_t p = cell(c).w2;
      if (p < VEC_BASE || p >= mem.vec_top || (p - VEC_BASE) % 4 != 0)
        broken("block outside the vector area", c);
      if (vec_owned[(p - VEC_BASE) / 4] != 0) broken("vector block owned twice", c);
      vec_owned[(p - VEC_BASE) / 4] = c;
    }
  }
  // The areas are packed: each block in turn has its owner.
  for (uint32_t p = STR_BASE; p < mem.str_top;
       p += static_cast<uint32_t>(std::strlen(reinterpret_cast<char*>(mem_base + p))) + 1)
    if (str_owned[p - STR_BASE] != 1) broken("string area block without owner", p);
  for (uint32_t p = VEC_BASE; p < mem.vec_top; p += 4u * cell(vec_owned[(p - VEC_BASE) / 4]).count + 4)
    if (vec_owned[(p - VEC_BASE) / 4] == 0) broken("vector area block without owner", p);
}

// Mark and compact; the heap is then unswept, with an empty free list.
static void mark_and_compact(uint8_t cause) {
  mem.last_cause = cause;
  ++mem.collections;
  std::memset(mark_bits, 0, sizeof mark_bits);
  mark_roots();
  compact_strings();
  compact_vectors();
  mem.free = NIL;
  mem.swept = 0;
}

uint32_t mem_collect(uint8_t cause) {
  mark_and_compact(cause);
  uint32_t nfree = sweep(HEAP_CELLS);
  if (mem.stress) check_heap();
  return nfree;
}

void mem_collect_lazily(uint8_t cause) {
  if (mem.stress) {
    mem_collect(cause);
    return;
  }
  mark_and_compact(cause);
  mem_refill();
}

uint32_t mem_free_cells() {
  mem_sweep_rest();
  uint32_t n = 0;
  for (Value c = mem.free; c != NIL; c = cell(c).w2) ++n;
  return n;
}

}  // namespace ondrel
