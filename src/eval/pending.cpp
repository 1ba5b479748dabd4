// pending.cpp - weak stand-ins for routines whose real definitions live in
// other subsystems; a strong definition anywhere replaces them at link time.
#include <cstdio>

#include "reader/port.h"
#include "reader/printer.h"
#include "reader/reader.h"
#include "eval/symtab.h"

namespace ondrel {

__attribute__((weak)) void port_reset_current() {}
__attribute__((weak)) void port_write(const char* text, FILE* out) { std::fputs(text, out != nullptr ? out : stdout); }
__attribute__((weak)) void pr_write(Value, FILE* out) { std::fputs("?", out != nullptr ? out : stdout); }

__attribute__((weak)) void port_console(const char* text) { std::fputs(text, stdout); }
__attribute__((weak)) int port_read_char(FILE* in) { return std::fgetc(in); }
__attribute__((weak)) void port_unget_char(int c, FILE* in) { std::ungetc(c, in); }
__attribute__((weak)) Value rd_read(FILE*) { return sym_eof; }

}  // namespace ondrel
