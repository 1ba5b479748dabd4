// reader.h - source text to values.
#pragma once
#include <cstdio>

#include "memory/value.h"

namespace ondrel {

// Read one datum from `in`; returns mem_eof at the end of the input.
// Raises errors 6, 7, 8 and 33 for malformed text.
Value rd_read(FILE* in);

}  // namespace ondrel
