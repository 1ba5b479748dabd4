// printer.h - the written and displayed forms of values.
#pragma once
#include <cstdio>

#include "memory/value.h"

namespace ondrel {

// Print v in written form (strings quoted, characters as #\x).
void rd_print(Value v, FILE* out);
// Print v in displayed form (strings and characters as their bytes).
void rd_display(Value v, FILE* out);

}  // namespace ondrel
