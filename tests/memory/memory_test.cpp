// memory_test.cpp - allocators, exhaustion, the collector and compaction.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "memory/error.h"
#include "memory/memory.h"

using namespace ondrel;

namespace {

struct Mem : testing::Test {
  void SetUp() override { mem_init(); }
  void TearDown() override { mem_shutdown(); }
};

int error_of(auto&& f) {
  try {
    f();
  } catch (const Unwind& u) {
    return u.code == UNWIND_ERROR ? -1 : -2;
  }
  return 0;
}

// Runs f and returns the collection count it caused.
uint32_t collections_during(auto&& f) {
  uint32_t before = mem.collections;
  f();
  return mem.collections - before;
}

TEST_F(Mem, HeapExhaustionOnlyAfterCollecting) {
  // Keep every pair reachable from one root list.
  Value list = NIL;
  uint32_t made = 0;
  try {
    for (;;) {
      vm.val = list;
      list = mem_cons(NIL, list);
      ++made;
    }
  } catch (const Unwind& u) {
    EXPECT_EQ(u.code, UNWIND_ERROR);
  }
  EXPECT_EQ(made, HEAP_CELLS - 2);
  EXPECT_GE(mem.collections, 1u);
  // Dropped, the same cells come back.
  vm.val = NIL;
  EXPECT_EQ(mem_collect(GC_USER), HEAP_CELLS - 2);
}

// Every start begins from the same arena, whatever an earlier run in the
// same process left in it (the unit binary starts many times).
TEST_F(Mem, EachStartBeginsFromTheSameArena) {
  std::vector<uint8_t> fresh(mem_base, mem_base + ARENA_BYTES);
  for (int i = 0; i < 200; ++i) {
    Value v = mem_make_vector(7);
    for (uint32_t k = 0; k < 7; ++k) vec_slots(v)[k] = NIL;
    mem_push(v);
    mem_push(mem_cons(mem_make_string("left over"), v));
  }
  mem_collect(GC_USER);
  mem_shutdown();
  mem_init();
  EXPECT_EQ(std::memcmp(fresh.data(), mem_base, ARENA_BYTES), 0);
}

TEST_F(Mem, VectorAreaExactFit) {
  Value v = 0;
  EXPECT_EQ(error_of([&] { v = mem_make_vector(3999); }), 0);
  EXPECT_EQ(mem.vec_top, VEC_BASE + AREA_BYTES);
  EXPECT_EQ(vec_len(v), 3999u);
  mem_collect(GC_USER);  // unreachable: reclaimed
  EXPECT_EQ(mem.vec_top, VEC_BASE);
  EXPECT_EQ(error_of([] { mem_make_vector(4000); }), -1);
}

TEST_F(Mem, StringAreaExhaustionAndReclaim) {
  // Kept strings fill the area; the next one fails after a collection.
  Value keep = NIL;
  vm.val = NIL;
  int err = error_of([&] {
    for (;;) {
      Value s = mem_make_string_fill(99, 'x');
      keep = mem_cons(s, keep);
      vm.val = keep;
    }
  });
  EXPECT_EQ(err, -1);
  EXPECT_EQ(mem.str_top - STR_BASE, (AREA_BYTES - 3 - 15) / 100 * 100 + 3 + 15);
  // Made and dropped, strings never exhaust it.
  vm.val = NIL;
  for (int i = 0; i < 10000; ++i) mem_make_string("some dropped text");
  EXPECT_EQ(error_of([] { mem_make_string_fill(AREA_BYTES, 'a'); }), -1);
}

TEST_F(Mem, StringFromTextInsideTheArea) {
  Value a = mem_make_string("hello");
  vm.val = a;
  for (int i = 0; i < 900; ++i) mem_make_string("garbage...");  // area nearly full of garbage
  Value b = mem_make_string(str_bytes(a));                      // may compact while copying
  EXPECT_STREQ(str_bytes(b), "hello");
  EXPECT_STREQ(str_bytes(a), "hello");
}

TEST_F(Mem, StringAllocationWithoutCellsReportsStringArea) {
  Value list = NIL;
  try {
    for (;;) {
      vm.val = list;
      list = mem_cons(NIL, list);
    }
  } catch (const Unwind&) {}
  vm.val = list;
  bool caught = false;
  try {
    mem_make_string("x");
  } catch (const Unwind&) {
    caught = true;
  }
  EXPECT_TRUE(caught);
}

TEST_F(Mem, SoftwareStackLimits) {
  EXPECT_EQ(error_of([] { mem_pop(); }), -1);
  for (uint32_t i = 0; i < STACK_WORDS; ++i) mem_push(NIL);
  EXPECT_EQ(error_of([] { mem_push(NIL); }), -1);
  mem.sp = 0;
  {
    Protect p(NIL, NIL, NIL);
    EXPECT_EQ(mem.sp, 3u);
  }
  EXPECT_EQ(mem.sp, 0u);
}

// Build a structure reachable from each kind of root, collect with garbage
// interleaved so that compaction moves the blocks, and check the contents.
TEST_F(Mem, EveryRootKeepsItsObjects) {
  auto garbage = [] {
    mem_make_string("dead string before");
    Value v = mem_make_vector(5);
    (void)v;
  };
  garbage();
  Value s = mem_make_string("on the software stack");
  mem_push(s);
  garbage();
  Value v = mem_make_vector(3);
  vec_slots(v)[0] = mem_char('a');
  vec_slots(v)[1] = NIL;
  vec_slots(v)[2] = NIL;
  vm.env = v;
  Value inner = mem_make_string("in a vector");
  vec_slots(v)[1] = inner;
  garbage();
  Value r = mem_make_real(2.5);
  cstack()[mem.cp++] = 7;  // a return code, skipped
  cstack()[mem.cp++] = r;
  Value sym = mem_make_symbol("name");
  Value bucket = mem_cons(sym, NIL);
  roots.symtab[3] = bucket;
  Value n = mem_make_integer(-42);
  cell(sym).w1 = n;
  roots.defs[0] = {mem_make_string("definition"), NIL};
  roots.ndefs = 1;
  garbage();
  for (int i = 0; i < 3; ++i) mem_collect(GC_USER);
  EXPECT_STREQ(str_bytes(sstack()[0]), "on the software stack");
  EXPECT_EQ(vec_slots(vm.env)[0], mem_char('a'));
  EXPECT_STREQ(str_bytes(vec_slots(vm.env)[1]), "in a vector");
  EXPECT_DOUBLE_EQ(real_value(cstack()[1]), 2.5);
  EXPECT_STREQ(sym_name(car(roots.symtab[3])), "name");
  EXPECT_EQ(int_value(cell(car(roots.symtab[3])).w1), -42);
  EXPECT_STREQ(str_bytes(roots.defs[0].expr), "definition");
  // The dead blocks were squeezed out: only live bytes remain.
  uint32_t live_strings = 3 + 22 + 12 + 11 + 15 + 5;  // "()" "#<NULL_VECTOR>" and the five above
  EXPECT_EQ(mem.str_top - STR_BASE, live_strings);
  EXPECT_EQ(mem.vec_top - VEC_BASE, 16u);
}

TEST_F(Mem, AfterCollectionTagsAndFreeList) {
  Value sym = mem_make_symbol("traced");
  cell(sym).tag |= TRACE_FLAG;
  roots.symtab[0] = mem_cons(sym, NIL);
  for (int i = 0; i < 1000; ++i) mem_make_pair();
  mem_collect(GC_USER);
  for (uint32_t i = 0; i < HEAP_CELLS; ++i) EXPECT_FALSE(cell(mem_heap_cell(i)).tag & MARK_BIT);
  EXPECT_EQ(cell(sym).tag, SYMBOL | TRACE_FLAG);
  Value prev = 0;
  for (Value c = mem.free; c != NIL; c = cdr(c)) {
    ASSERT_GT(c, prev);
    ASSERT_EQ(cell(c).tag, PAIR);
    ASSERT_EQ(car(c), NIL);
    prev = c;
  }
}

// The cells a collection leaves free (every cell but the two names and the
// list in vm.val with its cars), in address order.
std::vector<Value> free_after_collecting() {
  std::vector<bool> live(HEAP_CELLS);
  auto index = [](Value c) { return (c - HEAP_BASE) / 12; };
  live[index(cell(NIL).w2)] = live[index(cell(NULL_VECTOR).w2)] = true;
  for (Value l = vm.val; l != NIL; l = cdr(l)) live[index(l)] = live[index(car(l))] = true;
  std::vector<Value> cells;
  for (uint32_t i = 0; i < HEAP_CELLS; ++i)
    if (!live[i]) cells.push_back(mem_heap_cell(i));
  return cells;
}

// The cells handed out from `first`, the cell of the allocation that
// collected, until the next collection is due, which must come exactly
// when they are all used.  Pairs come from the inline path of mem_cons,
// which leaves the free list empty where a step of the sweep ends.
std::vector<Value> cells_of_one_cycle(Value first) {
  std::vector<Value> got{first};
  uint32_t n = mem.collections;
  for (;;) {
    Value c = mem_cons(NIL, NIL);
    if (mem.collections != n) return got;
    got.push_back(c);
  }
}

// The heap is swept step by step as the free list runs dry; the allocators
// must still hand out every cell the collection left free, in address
// order, and collect only when none is left, also when a string allocation
// collects before the sweep has reached the end of the heap.
TEST_F(Mem, EachCollectionHandsOutItsFreeCellsInAddressOrder) {
  std::mt19937 rng(7);
  Value keep = NIL;
  for (int i = 0; i < 30000; ++i) {
    vm.val = keep;
    Value n = mem_make_integer(i);
    if (rng() % 3 == 0) keep = mem_cons(n, keep);
  }
  vm.val = keep;
  uint32_t n = mem.collections;
  Value first;
  do first = mem_cons(NIL, NIL);
  while (mem.collections == n);
  EXPECT_EQ(cells_of_one_cycle(first), free_after_collecting());
  // Part of the heap swept, the string area runs short and collects.
  for (int i = 0; i < 3000; ++i) mem_make_integer(0);
  mem_make_string_fill(15000, 'a');
  n = mem.collections;
  first = mem_make_string_fill(15000, 'b');
  EXPECT_EQ(mem.collections, n + 1);
  EXPECT_EQ(cells_of_one_cycle(first), free_after_collecting());
}

TEST_F(Mem, DeepCarNestingIsMarked) {
  Value x = NIL;
  for (int i = 0; i < 79000; ++i) {
    vm.val = x;
    x = mem_cons(x, NIL);
  }
  vm.val = x;
  EXPECT_EQ(mem_collect(GC_USER), HEAP_CELLS - 2 - 79000);
  int depth = 0;
  for (Value c = vm.val; c != NIL; c = car(c)) ++depth;
  EXPECT_EQ(depth, 79000);
}

TEST_F(Mem, StressSwitchCollectsEveryAllocation) {
  mem.stress = true;
  EXPECT_EQ(collections_during([] {
              mem_make_pair();
              mem_make_string("a");
            }),
            2u);
  mem.stress = false;
}

// The cells reachable from the roots, by a plain traversal (pairs, symbols,
// vectors, strings and integers are all the test below makes).
std::vector<bool> reachable() {
  std::vector<bool> seen(HEAP_CELLS);
  std::vector<Value> todo{cell(NIL).w2, cell(NULL_VECTOR).w2, vm.val};
  for (Value b : roots.symtab) todo.push_back(b);
  for (int i = 0; i < roots.ndefs; ++i) todo.insert(todo.end(), {roots.defs[i].expr, roots.defs[i].sym});
  while (!todo.empty()) {
    Value v = todo.back();
    todo.pop_back();
    if (!mem_is_heap_value(v) || seen[(v - HEAP_BASE) / 12]) continue;
    seen[(v - HEAP_BASE) / 12] = true;
    uint8_t t = type_of(v);
    if (t == PAIR || t == SYMBOL) todo.insert(todo.end(), {car(v), cdr(v)});
    if (t == VECTOR)
      for (uint32_t i = 0; i < vec_len(v); ++i) todo.push_back(vec_slots(v)[i]);
  }
  return seen;
}

// Collections in a row over long-lived data that the program changes in
// between, now and then, in every way: each must mark exactly what is
// reachable then, however much of it is as the previous collection left it.
TEST_F(Mem, CollectionsMarkWhatIsReachableNowAfterChanges) {
  std::mt19937 rng(11);
  Value syms[40];
  for (int i = 0; i < 40; ++i) {
    syms[i] = mem_make_symbol(("s" + std::to_string(i)).c_str());
    roots.symtab[i % 7] = mem_cons(syms[i], roots.symtab[i % 7]);
    roots.defs[roots.ndefs++] = {NIL, syms[i]};  // keeps the symbol when its bucket is dropped
  }
  for (int round = 0; round < 300; ++round) {
    Value s = syms[rng() % 40];
    switch (rng() % 9) {
      case 0: cell(s).w1 = mem_make_integer(round); break;
      case 1: cell(s).w1 = mem_cons(mem_make_string("v"), cell(s).w1); break;
      case 2: cell(s).w1 = 0; break;
      case 3: {
        Value v = mem_make_vector(2);
        vec_slots(v)[0] = cell(s).w1;
        cell(s).w1 = v;
        break;
      }
      case 4:
        if (type_of(cell(s).w1) == VECTOR) vec_slots(cell(s).w1)[0] = mem_make_integer(1);
        break;
      case 5:
        if (type_of(cell(s).w1) == PAIR) set_cdr(cell(s).w1, NIL);
        break;
      case 6: roots.symtab[rng() % 7] = NIL; break;
      case 7: roots.defs[rng() % 40].expr = mem_make_string("e"); break;
      default: vm.val = mem_cons(s, vm.val); break;
    }
    mem_collect(GC_USER);
    std::vector<bool> got(HEAP_CELLS);
    for (uint32_t i = 0; i < HEAP_CELLS; ++i) got[i] = mem_marked(mem_heap_cell(i));
    ASSERT_TRUE(got == reachable()) << "round " << round;
  }
}

// The fast compaction must give exactly the result of the owner search.
// The owner of a block as a plain scan of the heap: the first marked cell
// of the kind whose pointer names the block.
bool marked_as(Value c, uint8_t t) { return mem_marked(c) && (cell(c).tag & TYPE_MASK) == t; }
Value search_owner(uint32_t block, bool vector) {
  for (uint32_t i = 0; i < HEAP_CELLS; ++i) {
    Value c = mem_heap_cell(i);
    if (!vector && marked_as(c, STRING) && cell(c).w1 == block) return c;
    if (vector && (marked_as(c, VECTOR) || marked_as(c, CONTINUATION)) && cell(c).w2 == block) return c;
  }
  return 0;
}

TEST(Compaction, SameAsOwnerSearchOnRandomHeaps) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::vector<uint8_t> result[2];
    for (int variant = 0; variant < 2; ++variant) {
      mem_init();
      mem_owner_search = variant == 1 ? search_owner : nullptr;
      std::mt19937 rng(seed);
      // Strings the symbol table holds stay put over many collections;
      // now and then one is changed, or cut short by a NUL.
      for (int i = 0; i < 40; ++i) {
        Value s = mem_make_string(std::string(rng() % 9, 'k').c_str());
        roots.symtab[1] = mem_cons(s, roots.symtab[1]);
      }
      Value keep = NIL;
      for (int i = 0; i < 600; ++i) {
        vm.val = keep;
        if (i % 50 == 0) mem_collect(GC_USER);
        if (i % 150 == 0) vm.val = keep = NIL;
        Value l = roots.symtab[1];
        for (uint32_t k = rng() % 40; k > 0; --k) l = cdr(l);
        if (rng() % 30 == 0 && str_len(car(l)) > 0)
          str_bytes(car(l))[rng() % str_len(car(l))] = rng() % 2 ? 'z' : 0;
        Value obj;
        if (rng() % 2) {
          std::string text(rng() % 20, static_cast<char>('a' + rng() % 26));
          obj = mem_make_string(text.c_str());
        } else {
          uint32_t n = rng() % 6;
          obj = mem_make_vector(n);
          for (uint32_t k = 0; k < n; ++k) vec_slots(obj)[k] = mem_char(k);
        }
        if (rng() % 3 == 0) keep = mem_cons(obj, keep);
      }
      vm.val = keep;
      mem_collect(GC_USER);
      mem_owner_search = nullptr;
      result[variant].assign(mem_base, mem_base + ARENA_BYTES);
      mem_shutdown();
    }
    EXPECT_TRUE(result[0] == result[1]) << "seed " << seed;
  }
}

}  // namespace
