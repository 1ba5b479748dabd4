// fuzz_support.cpp - set-up, teardown and checks shared by the fuzz targets.
#include "fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "eval/eval.h"
#include "eval/protect.h"
#include "graphics/gfx.h"
#include "memory/error.h"
#include "memory/memory.h"
#include "memory/state.h"
#include "memory/symtab.h"
#include "reader/port.h"
#include "toplevel/toplevel.h"

namespace ondrel {

static FILE* sink = nullptr;

/* ---------------------------------------------------------- time limit */

// Each input may run for FZ_TIME_LIMIT, whatever it does: a loop that
// sleeps through a turtle's animation dispatches too little for the
// dispatch budget to end it.  Once the time is up the watchdog thread
// raises the break flag, as Ctrl+C does, and raises it again every
// millisecond until the input ends, so every datum left stops at once.
constexpr auto FZ_TIME_LIMIT = std::chrono::seconds(1);

struct Watchdog {
  std::mutex lock;
  std::condition_variable wake;
  bool armed = false;
  bool fired = false;
  std::chrono::steady_clock::time_point until;
};
static Watchdog* watchdog = nullptr;  // never destroyed: its thread outlives main

static void watch() {
  Watchdog& w = *watchdog;
  std::unique_lock<std::mutex> hold(w.lock);
  for (;;) {
    if (!w.armed) {
      w.wake.wait(hold);
    } else if (std::chrono::steady_clock::now() < w.until) {
      w.wake.wait_until(hold, w.until);
    } else {
      w.fired = true;
      vm_request_break();
      w.wake.wait_for(hold, std::chrono::milliseconds(1));
    }
  }
}

static void watchdog_arm() {
  std::lock_guard<std::mutex> hold(watchdog->lock);
  watchdog->armed = true;
  watchdog->fired = false;
  watchdog->until = std::chrono::steady_clock::now() + FZ_TIME_LIMIT;
  watchdog->wake.notify_one();
}

static void watchdog_disarm() {
  std::lock_guard<std::mutex> hold(watchdog->lock);
  watchdog->armed = false;
}

bool fz_time_up() {
  std::lock_guard<std::mutex> hold(watchdog->lock);
  return watchdog->fired;
}

void fz_process_init() {
  static bool done = false;
  if (done) return;
  done = true;
  // The fuzzer reports on stderr; what the interpreter writes to the
  // console goes nowhere, and a (read) from the console sees end of file.
  int null_fd = open("/dev/null", O_RDWR);
  if (null_fd >= 0) {
    dup2(null_fd, STDIN_FILENO);
    dup2(null_fd, STDOUT_FILENO);
    close(null_fd);
  }
  setenv("ONDREL_HEADLESS", "1", 1);
  sink = std::fopen("/dev/null", "w");
  watchdog = new Watchdog;
  std::thread(watch).detach();
}

FILE* fz_sink() { return sink; }

// The state right after start-up, made once and copied back before each
// input: the same as a fresh start, without building the heap and the
// symbol table anew every time.
static uint8_t* saved_arena = nullptr;
static Memory saved_mem;
static Roots saved_roots;

void fz_begin() {
  if (saved_arena == nullptr) {
    mem_init();
    rd_init_ports();
    tl_init_symbols();
    // Swept to the end, the saved heap needs none of the collector's own
    // state (its marks) that the copy below does not hold.
    mem_sweep_rest();
    saved_arena = static_cast<uint8_t*>(std::malloc(ARENA_BYTES));
    if (saved_arena == nullptr) fz_fault("no memory for the start-up copy");
    std::memcpy(saved_arena, mem_base, ARENA_BYTES);
    saved_mem = mem;
    saved_roots = roots;
  }
  std::memcpy(mem_base, saved_arena, ARENA_BYTES);
  mem = saved_mem;
  rd_init_ports();  // clears the symbol table, restored next
  roots = saved_roots;
  ev_reset();
  vm.break_flag = 0;
  vm_set_budget(0);
  watchdog_arm();
}

void fz_end() {
  watchdog_disarm();
  vm_set_budget(0);
  vm.break_flag = 0;
  try {
    if (gfx.open != 0) gfx_close_window(NIL);
  } catch (const Unwind&) {}
  rd_reset_ports();
  rd_shutdown_ports();
}

FILE* fz_open(const uint8_t* data, size_t size) {
  if (size == 0) return nullptr;
  return fmemopen(const_cast<uint8_t*>(data), size, "r");
}

[[noreturn]] void fz_fault(const char* what) {
  std::fprintf(stderr, "fuzz: broken invariant: %s\n", what);
  std::abort();
}

// Every cell a known tag without MARK_BIT, every string and vector block
// inside its area, the free list inside the heap and finite.
static void walk_heap() {
  mem_sweep_rest();  // cells not swept yet may be garbage of any shape
  if (mem.str_top < STR_BASE || mem.str_top > STR_BASE + AREA_BYTES) fz_fault("string area top");
  if (mem.vec_top < VEC_BASE || mem.vec_top > VEC_BASE + AREA_BYTES) fz_fault("vector area top");
  for (uint32_t i = 0; i < HEAP_CELLS; ++i) {
    const Cell& c = cell(mem_heap_cell(i));
    uint8_t t = c.tag & TYPE_MASK;
    if (c.tag & MARK_BIT) fz_fault("mark bit left on a cell");
    if (t == 0 || t > KEYWORD) fz_fault("cell with an unknown tag");
    if (t == STRING && (c.w1 < STR_BASE || c.w1 >= mem.str_top)) fz_fault("string outside the string area");
    if ((t == VECTOR || t == CONTINUATION) && c.count > 0 &&
        (c.w2 < VEC_BASE || c.w2 + 4u * c.count >= mem.vec_top))
      fz_fault("block outside the vector area");
  }
  uint32_t free_cells = 0;
  for (Value v = mem.free; v != NIL; v = cell(v).w2) {
    if (!mem_is_heap_value(v)) fz_fault("free list leaves the heap");
    if (++free_cells > HEAP_CELLS) fz_fault("free list loops");
  }
}

void fz_check_heap() {
  // The walk comes before the collection too: an unknown tag met while
  // marking ends the program with the interpreter's own message instead.
  walk_heap();
  mem.sp = 0;
  mem.cp = 0;
  try {
    mem_collect(GC_USER);
  } catch (const Unwind&) {
    fz_fault("collection unwound");
  }
  walk_heap();
}

}  // namespace ondrel
