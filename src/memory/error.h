// error.h - error codes, their messages and the one unwind exception.
#pragma once
#include <cstdint>

#include "memory/value.h"

namespace ondrel {

// Error codes with a role in the code (the message tables hold all 42).
enum ErrorCode : int {
  E_STRING_AREA = 1,
  E_VECTOR_AREA = 2,
  E_HEAP_AREA = 3,
  E_SSTACK_UNDER = 4,
  E_SSTACK_OVER = 5,
  E_UNIDENTIFIED = 6,
  E_PSEUDO_SEXP = 7,
  E_CTRL_CHAR = 8,
  E_UNDEF_SYMBOL = 9,
  E_UNDEF_PROC = 10,
  E_ILLEGAL_FORM = 11,
  E_QUASI = 12,
  E_NOT_ENOUGH = 13,
  E_TOO_MANY = 14,
  E_NEED_SYMBOL = 15,
  E_NEED_NUMBER = 16,
  E_NEED_LIST = 17,
  E_NEED_STRING = 18,
  E_NEED_CHAR = 19,
  E_NEED_VECTOR = 20,
  E_NEED_INT = 24,
  E_OUT_OF_RANGE = 28,
  E_STRUCTURE = 29,
  E_IN_PORT = 30,
  E_OUT_PORT = 31,
  E_EOF = 33,
  E_CONSTANT = 34,
  E_DIV_ZERO = 36,
  E_FILE = 37,
  E_TRACE_DEPTH = 38,
  E_UNQUOTE = 39,
  E_UNQUOTE_SPLICING = 40,
  E_USER_BREAK = 41,
};

// Text of error `code` in the active language.
const char* mem_message(int code);

// Unwind codes carried to the recovery points.
enum UnwindCode : int { UNWIND_ERROR = 1, UNWIND_QUIT = 2 };

// The one exception of the interpreter: thrown by the error routine and by
// quit, caught only by the protected call (eval/protect.h).  An error
// carries its code and the form that was being evaluated; the protected
// call prints the report from them.
struct Unwind {
  int code;    // UNWIND_ERROR or UNWIND_QUIT
  int error;   // the error code (0 for a quit)
  Value form;  // the form register at the raise (NIL: toplevel)
};

// Raise error `code`: throw it with the form register, nothing more.
[[noreturn]] void mem_error(int code);
// Unwind with code 2 and no message.
[[noreturn]] void mem_quit();
// Raise error 41 when Ctrl+C was pressed since the last poll.
void mem_check_break();

}  // namespace ondrel
