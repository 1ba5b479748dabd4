// gfx_bench.cpp - time of one figure primitive off-screen, and of present.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "graphics/gfx.h"
#include "memory/memory.h"
#include "platform/window.h"

using namespace ondrel;

// A list of integers, kept alive through vm.exp while it is built.
static Value ints(std::initializer_list<int32_t> xs) {
  Value l = NIL;
  const int32_t* b = xs.begin();
  for (size_t i = xs.size(); i-- > 0;) {
    vm.exp = l;
    Value n = mem_make_integer(b[i]);
    l = mem_cons(n, vm.exp);
  }
  return l;
}

// CPU time of this thread, so that other load on the machine counts less.
static double cpu_us() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

// Microseconds per call of f, the best of five rounds of n calls.
template <typename F>
static double per_call_us(int n, F&& f) {
  double best = 1e18;
  for (int r = 0; r < 5; ++r) {
    double t0 = cpu_us();
    for (int i = 0; i < n; ++i) f();
    double us = (cpu_us() - t0) / n;
    if (us < best) best = us;
  }
  return best;
}

int main() {
  // Off-screen unless ONDREL_BENCH_DESKTOP asks for the desktop window.
  if (!std::getenv("ONDREL_BENCH_DESKTOP")) setenv("ONDREL_HEADLESS", "1", 1);
  mem_init();
  gfx_open_window(NIL);
  std::fprintf(stderr, "window: %s\n", plat_win_headless() ? "headless" : "desktop");
  struct Case {
    const char* name;
    Value (*prim)(Value);
    Value args;
  };
  Case cases[] = {
      {"line (10 10 630 390)", gfx_line, ints({10, 10, 630, 390})},
      {"box (100 100 500 300)", gfx_box, ints({100, 100, 500, 300})},
      {"boxf (100 100 500 300)", gfx_boxf, ints({100, 100, 500, 300})},
      {"circle (320 200 100)", gfx_circle, ints({320, 200, 100})},
      {"circlef (320 200 100)", gfx_circlef, ints({320, 200, 100})},
      {"pset (320 200)", gfx_pset, ints({320, 200})},
  };
  for (Case& c : cases) roots.defs[&c - cases].expr = c.args;  // reachable while timing
  roots.ndefs = int(sizeof cases / sizeof cases[0]);
  for (Case& c : cases) {
    double us = per_call_us(2000, [&] { c.prim(c.args); });
    std::printf("%-24s %8.2f us per call\n", c.name, us);
  }
  gfx_width(ints({10}));
  for (Case& c : cases) {
    double us = per_call_us(500, [&] { c.prim(c.args); });
    std::printf("%-24s %8.2f us per call (width 10)\n", c.name, us);
  }
  double us = per_call_us(2000, [] { gfx_present(); });
  std::printf("%-24s %8.2f us per call\n", "present", us);
  gfx_close_window(NIL);
  roots.ndefs = 0;
  mem_shutdown();
  return 0;
}
