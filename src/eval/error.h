// error.h - numbered errors and the unwind to a recovery point.
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

// Code of the latest error raised (for tests and the editor).
inline int vm.last_error = 0;

// Text of error `code` in the active language.
const char* mem_message(int code);

// Raise error 41 when Ctrl+C was pressed since the last poll.
void mem_check_break();

// Trace entry and exit lines of a traced procedure.
void ev_trace_entry(Value sym, Value args);
void ev_trace_exit(Value sym, Value result);

// Unwind codes carried to the recovery points.
enum UnwindCode : int { UNWIND_ERROR = 1, UNWIND_QUIT = 2 };

// Thrown by the error routine and by quit; caught at the recovery points.
struct Unwind {
  int code;
};

// Report error `code`, reset the interpreter and unwind with code 1.
[[noreturn]] void mem_error(int code);
// Unwind with code 2 and no message.
[[noreturn]] void mem_quit();

}  // namespace ondrel
