// reader.cpp - source text to values, one datum per call.
//
// The current character and the token buffer belong to each call of
// rd_read, never to the program: the console reader may be suspended in
// the middle of a datum while another thread reads and prints.  Each open
// list, vector and quote form holds one word of the software stack while
// its contents are read, so the nesting is bounded by that stack (error 5)
// and the host stack stays within a few thousand frames.
#include "reader/reader.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "memory/error.h"
#include "memory/memory.h"
#include "memory/symtab.h"
#include "reader/port.h"

namespace ondrel {

/* ------------------------------------------------------ character classes */

enum CharClass : uint8_t {
  C_SPACE = 1,    // whitespace
  C_NUMBER = 2,   // starts a number: digits, "+", "-"
  C_SPECIAL = 4,  // the fifteen special bytes
  C_TEXT = 8,     // single-byte text: 0x20..0x7E, 0xA1..0xDF
  C_LEAD = 16,    // first byte of a double-byte character
  C_TRAIL = 32,   // second byte of a double-byte character
  C_END = 64,     // ends a symbol or number token
};

static constexpr std::array<uint8_t, 256> make_classes() {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    uint8_t k = 0;
    if (c == ' ' || (c >= '\t' && c <= '\r')) k |= C_SPACE | C_END;
    if ((c >= '0' && c <= '9') || c == '+' || c == '-') k |= C_NUMBER;
    if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA1 && c <= 0xDF)) k |= C_TEXT;
    if ((c >= 0x80 && c <= 0xA0) || (c >= 0xDF && c <= 0xF0)) k |= C_LEAD;
    if (c >= 0x3F && c <= 0xFC) k |= C_TRAIL;
    if (c == '"' || c == '(' || c == ')' || c == ';') k |= C_END;
    t[static_cast<size_t>(c)] = k;
  }
  for (char c : {' ', '"', '#', '\'', '(', ')', ',', ';', '[', '\\', ']', '`', '{', '|', '}'})
    t[static_cast<uint8_t>(c)] |= C_SPECIAL;
  return t;
}
static constexpr std::array<uint8_t, 256> kClass = make_classes();

// Tests on a character that may be EOF (-1): EOF is in no class.
static bool has(int c, uint8_t k) { return c >= 0 && (kClass[static_cast<size_t>(c)] & k) != 0; }
static bool is_letter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
static int fold(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

/* ------------------------------------------------------------ the reader */

// No string or name longer than the string area can exist, so a token
// keeps at most this many bytes; the rest of a longer token is still
// consumed, and making the string or symbol then fails with error 1.
constexpr size_t TOKEN_CAP = AREA_BYTES;

struct Reader {
  FILE* in;
  int c;            // current character: 0..255 or EOF
  std::string tok;  // token being collected
};

static int next(Reader& r) { return r.c = rd_read_char(r.in); }
static void back(Reader& r) { rd_unget_char(r.c, r.in); }
static void store(Reader& r, int c) {
  if (r.tok.size() < TOKEN_CAP) r.tok.push_back(static_cast<char>(c));
}

static Value dispatch(Reader& r);

// Drop whitespace and comments; false at the end of the input.
static bool skip(Reader& r) {
  for (;;) {
    int c = next(r);
    if (c == EOF) return false;
    if (c == ';') {
      while (c != '\n' && c != EOF) c = next(r);
      if (c == EOF) return false;
      continue;
    }
    if (!has(c, C_SPACE)) return true;
  }
}

// A datum that must be there: the input ending first is error 33.
static Value read_required(Reader& r) {
  if (!skip(r)) mem_error(E_EOF);
  return dispatch(r);
}

// (K d): both pairs exist before d is read, the first held on the stack.
static Value read_quote_form(Reader& r, Value keyword) {
  if (next(r) == EOF) mem_error(E_EOF);
  back(r);
  Value form = mem_make_pair();
  Protect keep(form);
  set_car(form, keyword);
  Value rest = mem_make_pair();
  set_cdr(form, rest);
  Value d = read_required(r);
  set_car(rest, d);
  return form;
}

static Value intern_token(Reader& r) { return mem_intern(r.tok.c_str()); }

// A symbol token: "|" suspends the end test, "\" escapes one character,
// Shift-JIS pairs are kept as they are, other letters are folded.  A token
// ended by the end of the input is complete, unless a "|" quotation or a
// "\" is still open.
static Value read_symbol(Reader& r) {
  r.tok.clear();
  bool quoted = false;
  int c = r.c;
  // The next character; at the end of the input the token is complete.
  auto advance = [&]() -> bool {
    c = next(r);
    if (c != EOF) return true;
    if (quoted) mem_error(E_EOF);
    return false;
  };
  for (;;) {
    while (c == '|') {
      quoted = !quoted;
      if (!advance()) return intern_token(r);
    }
    if (!quoted) {
      if (c == '\\') {
        if (next(r) == EOF) mem_error(E_EOF);
        c = r.c;
      } else if (has(c, C_END)) {
        back(r);
        return intern_token(r);
      }
    }
    if (c == '\n') {
      if (next(r) == EOF) mem_error(E_EOF);
      c = r.c;
    }
    if (has(c, C_LEAD)) {
      size_t mark = r.tok.size();
      store(r, c);
      if (!advance()) return intern_token(r);
      if (has(c, C_TRAIL)) {
        store(r, c);
        if (!advance()) return intern_token(r);
        continue;
      }
      r.tok.resize(mark);  // a lone first byte is dropped
    }
    if (!has(c, C_TEXT)) mem_error(E_CTRL_CHAR);
    store(r, fold(c));
    if (!advance()) return intern_token(r);
  }
}

// A token that starts like a number: a number when it is a sign, digits,
// an optional "." and digits, with at least one digit; a symbol otherwise.
static Value read_number(Reader& r) {
  enum Shape { SIGN, WHOLE, POINT, BAD };
  r.tok.clear();
  int c = r.c;
  Shape shape = c == '+' || c == '-' ? SIGN : WHOLE;
  bool negative = c == '-';
  bool digits = false;
  uint32_t acc = 0;  // the integer value modulo 2^32
  for (bool first = true;; first = false) {
    store(r, c);
    if (c >= '0' && c <= '9') {
      digits = true;
      if (shape == SIGN) shape = WHOLE;
      if (shape == WHOLE) acc = acc * 10u + static_cast<uint32_t>(c - '0');
    } else if (c == '.' && (shape == SIGN || shape == WHOLE)) {
      shape = POINT;
    } else if (!first) {  // the first byte is a sign or a digit
      shape = BAD;
    }
    c = next(r);
    if (c == EOF) break;  // a token ended by the end of the input is complete
    if (has(c, C_END)) {
      back(r);
      break;
    }
  }
  if (digits && shape == WHOLE) return mem_make_integer(static_cast<int32_t>(negative ? 0u - acc : acc));
  if (digits && shape == POINT) return mem_make_real(std::strtod(r.tok.c_str(), nullptr));
  for (char& ch : r.tok) ch = static_cast<char>(fold(static_cast<uint8_t>(ch)));
  return intern_token(r);
}

// A string literal.  A Shift-JIS pair is taken whole, so that a second
// byte 0x5C ("表", "ソ") is not mistaken for an escaping backslash.
static Value read_string(Reader& r) {
  r.tok.clear();
  int c = next(r);
  for (;;) {
    if (c == EOF) mem_error(E_EOF);
    if (c == '"') break;
    if (has(c, C_LEAD)) {
      store(r, c);
      c = next(r);
      if (!has(c, C_TRAIL)) continue;
    } else if (c == '\\' && (c = next(r)) == EOF) {
      mem_error(E_EOF);
    }
    store(r, c);
    c = next(r);
  }
  // A string holds no NUL byte: a NUL read in the literal ends it.
  return mem_make_string_n(r.tok.data(), static_cast<uint32_t>(std::strlen(r.tok.c_str())));
}

// After "#\": a non-letter is that byte; a letter starts a name.
static Value read_character(Reader& r) {
  int c = next(r);
  if (c == EOF) mem_error(E_EOF);
  if (!is_letter(c)) return mem_char(static_cast<uint32_t>(c));
  r.tok.clear();
  store(r, c);
  for (;;) {
    c = next(r);
    if (c == EOF) break;  // the name is complete
    if (has(c, C_SPACE | C_SPECIAL)) {
      back(r);
      break;
    }
    store(r, fold(c));
  }
  if (r.tok.size() == 1) return mem_char(static_cast<uint8_t>(r.tok[0]));
  r.tok[0] = static_cast<char>(fold(static_cast<uint8_t>(r.tok[0])));
  if (r.tok == "newline") return mem_char('\n');
  if (r.tok == "space") return mem_char(' ');
  mem_error(E_UNIDENTIFIED);
}

// "#<name": kept as written, so that "#<EOF>" is the end-of-file constant.
static Value read_hash_name(Reader& r) {
  r.tok = "#<";
  for (;;) {
    int c = next(r);
    if (c == EOF) break;  // the name is complete
    if (has(c, C_SPACE | C_SPECIAL)) {
      back(r);
      break;
    }
    store(r, c);
  }
  return intern_token(r);
}

// The elements up to ")"; with `dotted`, "." starts the tail.  The first
// pair stays on the software stack while the rest is read.
static Value read_elements(Reader& r, bool dotted, uint32_t* count) {
  if (!skip(r)) mem_error(E_EOF);
  *count = 0;
  if (r.c == ')') return NIL;
  if (dotted && r.c == '.') mem_error(E_PSEUDO_SEXP);
  Value head = mem_make_pair();
  Protect keep(head);
  Value last = head;
  for (;;) {
    back(r);
    Value x = read_required(r);
    set_car(last, x);
    ++*count;
    if (!skip(r)) mem_error(E_EOF);
    if (r.c == ')') return head;
    if (dotted && r.c == '.') {
      if (!skip(r)) mem_error(E_EOF);
      if (r.c == ')') mem_error(E_PSEUDO_SEXP);
      back(r);
      Value tail = read_required(r);
      set_cdr(last, tail);
      if (!skip(r)) mem_error(E_EOF);
      if (r.c != ')') mem_error(E_PSEUDO_SEXP);
      return head;
    }
    Value p = mem_make_pair();
    set_cdr(last, p);
    last = p;
  }
}

static Value read_vector(Reader& r) {
  uint32_t n = 0;
  Value list = read_elements(r, false, &n);
  Protect keep(list);
  Value v = mem_make_vector(n);
  Value* slots = vec_slots(v);  // read after the allocation, which may move blocks
  for (uint32_t i = 0; i < n; ++i, list = cdr(list)) slots[i] = car(list);
  return v;
}

static Value read_hash(Reader& r) {
  switch (next(r)) {
    case EOF: mem_error(E_EOF);
    case '(': return read_vector(r);
    case '<': return read_hash_name(r);
    case 't':
    case 'T': return mem_true;
    case 'f':
    case 'F': return mem_false;
    case '\\': return read_character(r);
    default: mem_error(E_UNIDENTIFIED);
  }
}

// The datum that starts with the current character.
static Value dispatch(Reader& r) {
  int c = r.c;
  if (has(c, C_NUMBER)) return read_number(r);
  if (has(c, C_SPECIAL)) {
    uint32_t n = 0;
    switch (c) {
      case '"': return read_string(r);
      case '#': return read_hash(r);
      case '\'': return read_quote_form(r, mem_quote);
      case '(': return read_elements(r, true, &n);
      case ',':
        if (next(r) == '@') return read_quote_form(r, mem_unquote_splicing);
        back(r);
        return read_quote_form(r, mem_unquote);
      case '\\':
      case '|': return read_symbol(r);
      case '`': return read_quote_form(r, mem_quasiquote);
      default: mem_error(E_PSEUDO_SEXP);
    }
  }
  if (has(c, C_TEXT | C_LEAD)) return read_symbol(r);
  mem_error(E_CTRL_CHAR);
}

Value rd_read(FILE* in) {
  Reader r{in, EOF, std::string()};
  if (!skip(r)) return mem_eof;
  return dispatch(r);
}

}  // namespace ondrel
