// reader_fuzz.cpp - bytes to data: every datum of the input is read and
// printed until the end or the first reader error.
#include <cstddef>
#include <cstdint>

#include "eval/protect.h"
#include "memory/error.h"
#include "memory/symtab.h"
#include "fuzz_support.h"
#include "memory/memory.h"
#include "reader/printer.h"
#include "reader/reader.h"

using namespace ondrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fz_process_init();
  FILE* in = fz_open(data, size);
  if (in == nullptr) return 0;
  fz_begin();
  try {
    for (;;) {
      Value d = rd_read(in);
      // A completed read leaves nothing of its own on the software stack.
      if (mem.sp != 0) fz_fault("reader left words on the software stack");
      if (d == mem_eof) break;
      Protect keep(d);
      rd_print(d, fz_sink());
      rd_display(d, fz_sink());
    }
  } catch (const Unwind& u) {
    ev_recover(u);  // a reader error: the report is written and the stacks reset
    if (mem.sp != 0 || mem.cp != 0) fz_fault("error left the stacks in use");
  }
  std::fclose(in);
  fz_check_heap();
  fz_end();
  return 0;
}
