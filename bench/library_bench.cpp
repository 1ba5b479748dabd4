// library_bench.cpp - time to load the teaching library (lib/include.sc)
// into a fresh interpreter, as start-up does.
#include <chrono>
#include <cstdio>

#include "eval/readeval.h"
#include "memory/symtab.h"
#include "memory/memory.h"
#include "reader/port.h"
#include "toplevel/toplevel.h"

using namespace ondrel;

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "lib/include.sc";
  double best = 1e9;
  for (int run = 0; run < 20; ++run) {
    mem_init();
    rd_init_ports();
    tl_init_symbols();
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) {
      std::fprintf(stderr, "cannot open %s\n", path);
      return 1;
    }
    auto t0 = std::chrono::steady_clock::now();
    ev_read_eval(ReadEval{f, NIL, false, false, false});
    auto t1 = std::chrono::steady_clock::now();
    std::fclose(f);
    rd_shutdown_ports();
    mem_shutdown();
    double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
    if (ms < best) best = ms;
  }
  std::printf("load %s: %.3f ms (best of 20)\n", path, best);
  return 0;
}
