// printer.cpp - the printed forms of values.
//
// Every call has its own scratch buffer, so a print on one thread cannot
// disturb a print or a read suspended on another.  The printer never
// allocates, so string bytes and vector slots stay where they are while it
// runs.  Two cuts keep any structure printable without exhausting the host
// stack: a list or vector nested more than PR_MAX_DEPTH levels deep in the
// car direction prints as "#<deep>", and a cdr chain that comes back to a
// pair already printed ends in " . #<circular>".
#include "reader/printer.h"

#include <cstdio>
#include <cstring>

#include "memory/error.h"
#include "memory/memory.h"
#include "reader/port.h"

namespace ondrel {

constexpr int PR_MAX_DEPTH = 1000;   // lists and vectors nested deeper are cut
constexpr size_t PR_SCRATCH = 1000;  // bytes collected before each write

struct Printer {
  FILE* out;
  size_t n;  // bytes waiting in buf
  char buf[PR_SCRATCH];
};

static void flush(Printer& p) {
  rd_write_n(p.buf, p.n, p.out);
  p.n = 0;
}

static void put_n(Printer& p, const char* s, size_t len) {
  if (p.n + len > PR_SCRATCH) flush(p);
  if (len >= PR_SCRATCH) {  // a long string goes out whole, not through the buffer
    rd_write_n(s, len, p.out);
    return;
  }
  std::memcpy(p.buf + p.n, s, len);
  p.n += len;
}

static void put(Printer& p, const char* s) { put_n(p, s, std::strlen(s)); }

// Number of distinct pairs in the cdr chain from `x` when the chain loops
// back on itself, 0 when it ends (Brent's cycle finding: no memory, linear).
static uint32_t cycle_length(Value x) {
  uint32_t power = 1, lam = 1;
  Value tortoise = x, hare = cdr(x);
  while (is(hare, PAIR) && hare != tortoise) {
    if (power == lam) {
      tortoise = hare;
      power *= 2;
      lam = 0;
    }
    hare = cdr(hare);
    ++lam;
  }
  if (!is(hare, PAIR)) return 0;
  tortoise = hare = x;
  for (uint32_t i = 0; i < lam; ++i) hare = cdr(hare);
  uint32_t mu = 0;
  while (tortoise != hare) {
    tortoise = cdr(tortoise);
    hare = cdr(hare);
    ++mu;
  }
  return mu + lam;
}

static void print(Printer& p, Value v, int depth);

static void print_char(Printer& p, uint8_t c) {
  char text[16];
  if (c == '\n')
    put(p, "#\\newline");
  else if (c == ' ')
    put(p, "#\\space");
  else if (c >= 0x21 && c <= 0x7E) {  // printable in the plain ASCII sense
    std::snprintf(text, sizeof text, "#\\%c", c);
    put(p, text);
  } else {
    std::snprintf(text, sizeof text, "#\\[%02X]", c);
    put(p, text);
  }
}

static void print_vector(Printer& p, Value v, int depth) {
  if (depth >= PR_MAX_DEPTH) {
    put(p, "#<deep>");
    return;
  }
  put(p, "#(");
  uint32_t n = vec_len(v);
  for (uint32_t i = 0; i < n; ++i) {
    if (i != 0) put(p, " ");
    print(p, vec_slots(v)[i], depth + 1);
  }
  put(p, ")");
}

static void print_atom(Printer& p, Value v, int depth) {
  char text[80];
  switch (type_of(v)) {
    case SYMBOL:
    case CONSTANT:
    case KEYWORD: put(p, sym_name(v)); return;
    case PRIMITIVE: put(p, "#<primitive-procedure>"); return;
    case CLOSURE: put(p, "#<closure>"); return;
    case CONTINUATION: put(p, "#<continuation>"); return;
    case INTEGER:
      std::snprintf(text, sizeof text, "%ld", static_cast<long>(int_value(v)));
      put(p, text);
      return;
    case RATIONAL:
      std::snprintf(text, sizeof text, "(/ %ld %ld)", static_cast<long>(int_value(car(v))),
                    static_cast<long>(int_value(cdr(v))));
      put(p, text);
      return;
    case REAL:
      std::snprintf(text, sizeof text, "%g", real_value(v));
      put(p, text);
      return;
    case COMPLEX:
      std::snprintf(text, sizeof text, "#<%g,%gi>", real_value(car(v)), real_value(cdr(v)));
      put(p, text);
      return;
    case STRING:
      put(p, "\"");
      put_n(p, str_bytes(v), str_len(v));
      put(p, "\"");
      return;
    case CHARACTER: print_char(p, char_code(v)); return;
    case VECTOR: print_vector(p, v, depth); return;
    case INPUT_PORT: put(p, "#<input-port>"); return;
    case OUTPUT_PORT: put(p, "#<output-port>"); return;
    case NAMED_PROCEDURE:
      put(p, "#<procedure ");
      put(p, sym_name(car(v)));
      put(p, ">");
      return;
    default:  // tag 7, MACRO, a PAIR here, or no object at all
      flush(p);
      mem_error(E_UNIDENTIFIED);
  }
}

// Recurses on cars (bounded by PR_MAX_DEPTH), iterates on cdrs.
static void print(Printer& p, Value v, int depth) {
  if (!is(v, PAIR)) {
    print_atom(p, v, depth);
    return;
  }
  if (depth >= PR_MAX_DEPTH) {
    put(p, "#<deep>");
    return;
  }
  uint32_t distinct = cycle_length(v);
  put(p, "(");
  print(p, car(v), depth + 1);
  uint32_t printed = 1;
  Value x = cdr(v);
  while (is(x, PAIR)) {
    if (printed == distinct) {
      put(p, " . #<circular>");
      x = NIL;
      break;
    }
    put(p, " ");
    print(p, car(x), depth + 1);
    ++printed;
    x = cdr(x);
  }
  if (x != NIL) {
    put(p, " . ");
    print_atom(p, x, depth + 1);
  }
  put(p, ")");
}

void rd_print(Value v, FILE* out) {
  Printer p;
  p.out = out;
  p.n = 0;
  print(p, v, 0);
  flush(p);
}

void rd_display(Value v, FILE* out) {
  if (is(v, STRING)) {
    rd_write_n(str_bytes(v), str_len(v), out);
  } else if (is(v, CHARACTER)) {
    char c = static_cast<char>(char_code(v));
    rd_write_n(&c, 1, out);
  } else {
    rd_print(v, out);
  }
}

}  // namespace ondrel
