// fuzz_support.h - a fresh interpreter per fuzz input, a sink for output
// and a heap check run after each input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "memory/value.h"

namespace ondrel {

// Once per process: standard input and output on /dev/null (the error
// reset points the current ports back at the console), graphics
// off-screen.  The working directory stays: the runner starts the targets
// in a scratch directory of their own.
void fz_process_init();

// Per input: the regions, ports, symbol table and primitives as they are
// right after start-up, so that every input runs from the same state and
// replays alike.  Between the two the input's time limit runs: once it is
// up the break flag is raised, again and again, until fz_end.
void fz_begin();
void fz_end();
bool fz_time_up();  // the input ran out of time: evaluate nothing more

// A read stream over the input bytes (nullptr for an empty input).
FILE* fz_open(const uint8_t* data, size_t size);

// Where printed values go.
FILE* fz_sink();

// Collect, then walk the heap and the areas: every cell a known tag, every
// STRING and VECTOR pointing into its area.  Traps on the first fault.
void fz_check_heap();

// Stop the run at a broken invariant (libFuzzer records the input).
[[noreturn]] void fz_fault(const char* what);

}  // namespace ondrel
