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
// The words of mark_bits from mark_words on are all 0, so a collection
// clears only the words below it: a small live heap costs a small clear.
static uint32_t mark_words;

static uint32_t cell_index(Value c) { return (c - HEAP_BASE) / 12; }

bool mem_marked(Value c) {
  uint32_t i = cell_index(c);
  return ((mark_bits[i / 64] >> (i % 64)) & 1) != 0;
}

/* ------------------------------------------------------ owners of blocks */

// The owner of a block in the string or vector area is the marked cell of
// lowest address whose pointer names the block's start.  The marker notes
// each STRING, VECTOR and CONTINUATION it marks in these tables, the lower
// address winning, so compaction needs no search of the heap.  An entry
// counts only while its bit in the `noted` bitmap is set; the bitmaps are
// cleared with the mark bits, so an entry left from an earlier collection
// is never read.
static Value str_owner[AREA_BYTES];
static Value vec_owner[AREA_BYTES / 4];
static uint64_t str_noted[AREA_BYTES / 64];
static uint64_t vec_noted[(AREA_BYTES / 4 + 63) / 64];

static bool noted(const uint64_t* bits, uint32_t i) { return ((bits[i / 64] >> (i % 64)) & 1) != 0; }

static void note_owner(Value* owner, uint64_t* bits, uint32_t i, Value c) {
  uint64_t bit = uint64_t{1} << (i % 64);
  if ((bits[i / 64] & bit) == 0) {
    bits[i / 64] |= bit;
    owner[i] = c;
  } else if (c < owner[i]) {
    owner[i] = c;
  }
}

// Only blocks below the area top are noted: compaction reads no others.  A
// string block starts at the area's base or just after a NUL; a pointer to
// any other byte names no block.
static void note_string(Value c) {
  uint32_t p = cell(c).w1;
  if (p < STR_BASE || p >= mem.str_top) return;
  if (p != STR_BASE && mem_base[p - 1] != 0) return;
  note_owner(str_owner, str_noted, p - STR_BASE, c);
}

static void note_block(Value c) {
  uint32_t p = cell(c).w2;
  if (p < VEC_BASE || p >= mem.vec_top || (p - VEC_BASE) % 4 != 0) return;
  note_owner(vec_owner, vec_noted, (p - VEC_BASE) / 4, c);
}

static Value block_owner(uint32_t p) {
  if (mem_owner_search != nullptr) return mem_owner_search(p, true);
  uint32_t i = (p - VEC_BASE) / 4;
  return noted(vec_noted, i) ? vec_owner[i] : 0;
}

// Explicit mark stack: the car direction is pushed here instead of
// recursing, so no heap shape can exhaust the host stack.  Only a heap
// cell the marker has just marked is pushed, so the stack never holds more
// than the heap's cells.
static Value mark_stack[HEAP_CELLS];

// Marks v when it is a heap cell not yet marked and returns true: the
// caller then scans it.  Any other value is checked to be an object the
// collector knows (0, NIL and NULL_VECTOR need no check).
static inline bool mark_new(Value v) {
  if (v - HEAP_BASE >= HEAP_END - HEAP_BASE) {
    if (v != 0 && v != NIL && v != NULL_VECTOR) {
      // Read the tag through the byte: a CHARACTER is not a whole Cell.
      uint8_t t = mem_base[v] & TYPE_MASK;
      if (t == 0 || t > KEYWORD) corrupt_heap(mem_base[v]);
    }
    return false;
  }
  uint32_t ci = cell_index(v);
  uint64_t& word = mark_bits[ci / 64];
  uint64_t bit = uint64_t{1} << (ci % 64);
  if (word & bit) return false;
  word |= bit;
  if (ci / 64 >= mark_words) mark_words = ci / 64 + 1;
  return true;
}

// sp is the stack's top: a local of the marker, so that the compiler can
// keep it in a register across the stores to the stack.
static inline void mark_push(Value v, uint32_t& sp) {
  if (mark_new(v)) mark_stack[sp++] = v;
}

// Scans the newly marked cells on the stack and all they reach.  The cdr
// direction is followed in the loop, the others pushed.
static void mark_drain(uint32_t sp) {
  while (sp > 0) {
    Value v = mark_stack[--sp];
    for (;;) {
      const Cell& k = cell(v);
      Value next;
      switch (k.tag & TYPE_MASK) {
        case PAIR:
        case CLOSURE:
        case MACRO:
          mark_push(k.w1, sp);
          next = k.w2;
          break;
        case SYMBOL:
          if (k.w1 != 0) mark_push(k.w1, sp);
          next = k.w2;
          break;
        case CONSTANT:
        case KEYWORD: next = k.w2; break;
        case PRIMITIVE:
        case INTEGER:
        case RATIONAL:
        case REAL:
        case COMPLEX:
        case NAMED_PROCEDURE: next = 0; break;
        case STRING:
          note_string(v);
          next = 0;
          break;
        case VECTOR: {
          note_block(v);
          const Value* slots = vec_slots(v);
          for (uint32_t i = 0, n = k.count; i < n; ++i) mark_push(slots[i], sp);
          next = 0;
          break;
        }
        case CONTINUATION: {
          note_block(v);
          const Value* words = vec_slots(v);
          for (uint32_t i = 0, n = k.count; i < n; ++i)
            if (words[i] > 60) mark_push(words[i], sp);
          next = 0;
          break;
        }
        default: {
          uint8_t t = k.tag & TYPE_MASK;
          if (t == 0 || t > KEYWORD) corrupt_heap(k.tag);
          // Tag 7, CHARACTER and the ports are static objects only: a heap
          // cell so tagged is left unmarked.
          uint32_t ci = cell_index(v);
          mark_bits[ci / 64] &= ~(uint64_t{1} << (ci % 64));
          next = 0;
          break;
        }
      }
      if (!mark_new(next)) break;
      v = next;
    }
  }
}

static void mark(Value root) {
  uint32_t sp = 0;
  mark_push(root, sp);
  mark_drain(sp);
}

/* ---------------------------------------------------- the settled part */

// Most of what a program keeps lives on from one collection to the next
// unchanged: the symbol table with its symbols, their names and values, the
// define table's expressions.  The marker first marks what these long-lived
// roots reach (with the names of the static cells) and keeps a copy of the
// cells so marked.  When at the next collection the roots and every cell of
// the copy are as they were, the marker reaches the same cells again: a
// cell's reach depends only on its contents.  Their marks are then taken
// from the copy, their blocks noted again, and only what the stacks and the
// registers reach is marked afresh.  Slots in the vector area are no part
// of a cell's contents: a copy that holds a VECTOR or CONTINUATION with
// slots is not kept.  A copy takes a pass over its cells, so after the
// roots have changed at several collections in a row the marker waits a
// while before it keeps one again.
static constexpr uint32_t SETTLED_CELLS = 16384;
struct Settled {
  bool valid;
  uint32_t words;     // mark words that hold its marks: [0, words)
  uint32_t ncells;    // cells copied to settled_cells, in address order
  uint32_t nblocks;   // STRINGs and empty VECTORs, in settled_blocks
  uint32_t failures;  // collections in a row that found it changed
  uint32_t wait;      // collections to run before keeping a copy again
  uint32_t prefix;    // bytes at the string area's start, see settled_prefix
  Value symtab[256];
  DefineEntry defs[DEFINE_TABLE_SIZE];
  int ndefs;
  Value names[2];  // the names of NIL and NULL_VECTOR
};
static Settled settled;
static uint64_t settled_bits[HEAP_CELLS / 64];
static Cell settled_cells[SETTLED_CELLS];
static Value settled_blocks[SETTLED_CELLS];
// The strings of settled cells usually fill the start of the string area
// with nothing between them, where compaction leaves them.  After a
// compaction the bytes of that stretch are copied here; while the copy
// holds and those bytes are unchanged, the stretch keeps exactly the same
// blocks with the same owners, none of which moves, so the next compaction
// starts past it and its strings are not noted at all.
static char settled_prefix[AREA_BYTES];
// Where compaction starts: the end of the stretch it leaves as it is.
static uint32_t str_kept_end;

static bool same_long_lived_roots() {
  return std::memcmp(settled.symtab, roots.symtab, sizeof settled.symtab) == 0 &&
         settled.ndefs == roots.ndefs &&
         std::memcmp(settled.defs, roots.defs, sizeof(DefineEntry) * static_cast<size_t>(roots.ndefs)) == 0 &&
         settled.names[0] == cell(NIL).w2 && settled.names[1] == cell(NULL_VECTOR).w2;
}

// Whether the copy still describes the heap.  The copied cells lie mostly
// in runs of neighbours, and each run is compared with its copy at once.
static bool settled_holds() {
  if (!settled.valid || !same_long_lived_roots()) return false;
  const Cell* copy = settled_cells;
  for (uint32_t w = 0; w < settled.words; ++w) {
    for (uint64_t bits = settled_bits[w]; bits != 0;) {
      uint32_t from = static_cast<uint32_t>(std::countr_zero(bits));
      uint64_t rest = ~(bits >> from);
      uint32_t n = rest == 0 ? 64 - from : static_cast<uint32_t>(std::countr_zero(rest));
      if (std::memcmp(&cell(mem_heap_cell(w * 64 + from)), copy, sizeof(Cell) * n) != 0) return false;
      copy += n;
      bits = from + n == 64 ? 0 : bits & (~uint64_t{0} << (from + n));
    }
  }
  return true;
}

// Keeps a copy of the cells marked so far.
static void settle() {
  settled.valid = false;
  settled.prefix = 0;
  uint32_t words = mark_words, n = 0, nb = 0;
  for (uint32_t w = 0; w < words; ++w) {
    settled_bits[w] = mark_bits[w];
    for (uint64_t bits = mark_bits[w]; bits != 0; bits &= bits - 1) {
      Value c = mem_heap_cell(w * 64 + static_cast<uint32_t>(std::countr_zero(bits)));
      uint8_t t = cell(c).tag & TYPE_MASK;
      if (n == SETTLED_CELLS || ((t == VECTOR || t == CONTINUATION) && cell(c).count != 0)) return;
      settled_cells[n++] = cell(c);
      if (t == STRING || t == VECTOR || t == CONTINUATION) settled_blocks[nb++] = c;
    }
  }
  settled.words = words;
  settled.ncells = n;
  settled.nblocks = nb;
  std::memcpy(settled.symtab, roots.symtab, sizeof settled.symtab);
  settled.ndefs = roots.ndefs;
  std::memcpy(settled.defs, roots.defs, sizeof(DefineEntry) * static_cast<size_t>(roots.ndefs));
  settled.names[0] = cell(NIL).w2;
  settled.names[1] = cell(NULL_VECTOR).w2;
  settled.valid = true;
}

static void mark_long_lived_roots() {
  if (settled_holds()) {
    settled.failures = 0;
    std::memcpy(mark_bits, settled_bits, sizeof(uint64_t) * settled.words);
    mark_words = settled.words;
    if (settled.prefix != 0 && settled.prefix <= mem.str_top - STR_BASE &&
        std::memcmp(mem_base + STR_BASE, settled_prefix, settled.prefix) == 0)
      str_kept_end = STR_BASE + settled.prefix;
    else
      settled.prefix = 0;
    for (uint32_t i = 0; i < settled.nblocks; ++i) {
      Value c = settled_blocks[i];
      if ((cell(c).tag & TYPE_MASK) != STRING)
        note_block(c);
      else if (cell(c).w1 >= str_kept_end)
        note_string(c);
    }
    return;
  }
  if (settled.valid) {
    settled.valid = false;
    settled.prefix = 0;
    settled.wait = std::min(++settled.failures, 32u);
  }
  for (Value b : roots.symtab) mark(b);
  mark(cell(NIL).w2);
  mark(cell(NULL_VECTOR).w2);
  for (int i = 0; i < roots.ndefs; ++i) {
    mark(roots.defs[i].expr);
    mark(roots.defs[i].sym);
  }
  if (settled.wait > 0)
    --settled.wait;
  else
    settle();
}

static void mark_roots() {
  mark_long_lived_roots();
  for (uint32_t i = 0; i < mem.sp; ++i) mark(sstack()[i]);
  for (uint32_t i = 0; i < mem.cp; ++i)
    if (cstack()[i] > 60) mark(cstack()[i]);
  mark(vm.form);
  mark(vm.env);
  mark(vm.exp);
  mark(vm.app);
  mark(vm.val);
}

/* ------------------------------------------------------------ compaction */

// The length of the string at p.  Most live strings are short names: the
// first sixteen bytes are searched for the NUL eight at a time in line,
// longer strings left to strlen.  Reading up to seven bytes past the NUL
// stays inside the arena, since the software stack follows the string area.
static uint32_t string_length(uint32_t p) {
  constexpr uint64_t ONES = 0x0101010101010101, HIGHS = 0x8080808080808080;
  for (uint32_t n = 0; n < 16; n += 8) {
    uint64_t w;
    std::memcpy(&w, mem_base + p + n, 8);
    // The lowest byte flagged here is the first 0 byte of w.
    uint64_t zero = (w - ONES) & ~w & HIGHS;
    if (zero != 0) return n + static_cast<uint32_t>(std::countr_zero(zero)) / 8;
  }
  return 16 + static_cast<uint32_t>(std::strlen(reinterpret_cast<char*>(mem_base + p + 16)));
}
static_assert(SSTACK_BASE == STR_BASE + AREA_BYTES, "words read past the string area stay in the arena");

// Moves the string at src, owned by `owner`, down to dst; returns the bytes
// it takes.
static uint32_t move_string(Value owner, uint32_t src, uint32_t dst) {
  uint32_t len = string_length(src);
  if (dst != src) {
    std::memmove(mem_base + dst, mem_base + src, len + 1);
    cell(owner).w1 = dst;
  }
  return len + 1;
}

// The live strings are the noted block starts, taken in address order; the
// bytes between them are dead and are never read.  A string's block ends at
// its first NUL, so the bytes of a string cut short by a NUL inside it,
// past that NUL, are dropped.
static void compact_strings() {
  uint32_t dst = STR_BASE;
  if (mem_owner_search != nullptr) {
    // Each block in turn, its owner found by the search.
    for (uint32_t src = STR_BASE; src < mem.str_top;) {
      Value owner = mem_owner_search(src, false);
      uint32_t len = static_cast<uint32_t>(std::strlen(reinterpret_cast<char*>(mem_base + src))) + 1;
      if (owner != 0) dst += move_string(owner, src, dst);
      src += len;
    }
    mem.str_top = dst;
    return;
  }
  // Notes below str_kept_end (of strings the marker reached otherwise)
  // name blocks of the kept stretch: they are passed over.
  dst = str_kept_end;
  uint32_t first = str_kept_end - STR_BASE;
  uint32_t words = (mem.str_top - STR_BASE + 63) / 64;
  // Whether the blocks so far are all settled strings: the stretch to copy.
  bool recording = settled.valid && settled.prefix == 0;
  bool settled_run = recording;
  for (uint32_t w = first / 64; w < words; ++w) {
    uint64_t bits = str_noted[w];
    if (w == first / 64) bits &= ~uint64_t{0} << (first % 64);
    for (; bits != 0; bits &= bits - 1) {
      uint32_t i = w * 64 + static_cast<uint32_t>(std::countr_zero(bits));
      Value owner = str_owner[i];
      dst += move_string(owner, STR_BASE + i, dst);
      if (settled_run) {
        uint32_t ci = cell_index(owner);
        if ((settled_bits[ci / 64] >> (ci % 64)) & 1)
          settled.prefix = dst - STR_BASE;
        else
          settled_run = false;
      }
    }
  }
  if (recording && settled.prefix != 0) std::memcpy(settled_prefix, mem_base + STR_BASE, settled.prefix);
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
static constexpr uint32_t SWEEP_CELLS = 256;
static_assert(SWEEP_CELLS % 64 == 0, "a step sweeps whole words of mark bits");

// The last cell the sweep linked: the free list's end while the list is
// not empty.
static Value free_tail = NIL;

// Sweeps up to `cells` cells from mem.swept on; returns how many it freed.
static uint32_t sweep(uint32_t cells) {
  uint32_t from = mem.swept;
  uint32_t to = std::min(HEAP_CELLS, from + cells);
  // Where the next free cell is linked: the head of the empty list, else
  // the link word of its last cell.
  Value* link = mem.free == NIL ? &mem.free : &cell(free_tail).w2;
  Value last = NIL;
  uint32_t nfree = 0;
  for (uint32_t w = from / 64; w < to / 64; ++w) {
    uint64_t unmarked = ~mark_bits[w];
    nfree += static_cast<uint32_t>(std::popcount(unmarked));
    for (Value base = mem_heap_cell(w * 64); unmarked != 0; unmarked &= unmarked - 1) {
      Value c = base + 12 * static_cast<uint32_t>(std::countr_zero(unmarked));
      Cell& k = cell(c);
      k.tag = PAIR;
      k.w1 = NIL;
      *link = c;
      link = &k.w2;
      last = c;
    }
  }
  if (last != NIL) {
    *link = NIL;
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

void mem_heap_unswept() {
  std::memset(mark_bits, 0, sizeof mark_bits);
  mark_words = 0;
  settled = Settled{};
  mem.free = NIL;
  mem.swept = 0;
}

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
  std::memset(mark_bits, 0, sizeof(uint64_t) * mark_words);
  mark_words = 0;
  str_kept_end = STR_BASE;
  // Blocks are noted and read only below the areas' tops: clearing the
  // words that cover them is enough.
  std::memset(str_noted, 0, sizeof(uint64_t) * ((mem.str_top - STR_BASE + 63) / 64));
  std::memset(vec_noted, 0, sizeof(uint64_t) * ((mem.vec_top - VEC_BASE + 255) / 256));
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
