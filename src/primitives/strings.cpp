// strings.cpp - string primitives.
#include <cstring>

#include "primitives/prim.h"

namespace ondrel {

// Strings are byte runs ended by their first 0 byte; the length is found by
// scanning.  Any allocation may move the bytes: read str_bytes again after
// it.

static Value need_string(Value v) { return prim_need(v, STRING, E_NEED_STRING); }

static Value p_string_p(Value args) { return boolean(prim_has_tag(prim_arg0(args), STRING)); }
static uint8_t need_char(Value v) { return char_code(prim_need(v, CHARACTER, E_NEED_CHAR)); }

// An index argument: an INTEGER (24) from 0 to below `end` (28).
static uint32_t need_index(Value v, uint32_t end) {
  int32_t k = prim_need_int(v, E_NEED_INT);
  if (k < 0 || static_cast<uint32_t>(k) >= end) mem_error(E_OUT_OF_RANGE);
  return static_cast<uint32_t>(k);
}

/* -------------------------------------------------------- construction */

static Value p_make_string(Value args) {
  int32_t k = prim_need_int(prim_arg0(args), E_NEED_INT);
  if (k < 0) mem_error(E_OUT_OF_RANGE);
  uint8_t fill = ' ';
  if (prim_count(args) >= 2) fill = need_char(prim_arg1(args));
  return mem_make_string_fill(static_cast<uint32_t>(k), fill);
}

// Every argument is checked before the string is made.
static Value p_string(Value args) {
  uint32_t n = 0;
  for (Value a = args; prim_has_tag(a, PAIR); a = cdr(a), ++n) need_char(car(a));
  Value s = mem_make_string_fill(n, ' ');
  char* p = str_bytes(s);
  for (Value a = args; prim_has_tag(a, PAIR); a = cdr(a)) *p++ = static_cast<char>(char_code(car(a)));
  return s;
}

static Value p_string_length(Value args) {
  return mem_make_integer(static_cast<int32_t>(str_len(need_string(prim_arg0(args)))));
}

static Value p_string_ref(Value args) {
  Value s = need_string(prim_arg0(args));
  uint32_t i = need_index(prim_arg1(args), str_len(s));
  return mem_char(static_cast<uint8_t>(str_bytes(s)[i]));
}

// Every check runs before the byte is written.  Storing the character of
// code 0 ends the string at that index.
static Value p_string_set(Value args) {
  Value s = need_string(prim_arg0(args));
  Value k = prim_arg1(args);
  prim_need_int(k, E_NEED_INT);
  uint8_t c = need_char(prim_arg2(args));
  uint32_t i = need_index(k, str_len(s));
  str_bytes(s)[i] = static_cast<char>(c);
  return prim_unspecified();
}

/* --------------------------------------------------------- comparisons */

// Bytes read as signed 8-bit values: 128..255 sort before 1..127 and before
// the end of a string (unlike char<?, which is unsigned).
static int compare_bytes(const char* a, const char* b) {
  auto sa = reinterpret_cast<const int8_t*>(a);
  auto sb = reinterpret_cast<const int8_t*>(b);
  while (*sa != 0 && *sb != 0 && *sa == *sb) ++sa, ++sb;
  return *sa - *sb;
}

static int fold(int8_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// The same walk on bytes folded to lower case (ASCII letters only).
static int compare_folded(const char* a, const char* b) {
  auto sa = reinterpret_cast<const int8_t*>(a);
  auto sb = reinterpret_cast<const int8_t*>(b);
  for (;; ++sa, ++sb) {
    int fa = fold(*sa), fb = fold(*sb);
    if (fa != fb || fa == 0 || fb == 0) return fa - fb;
  }
}

static Value string_compare(Value args, CmpOp op, bool folding) {
  Value a = need_string(prim_arg0(args));
  Value b = need_string(prim_arg1(args));
  int d = folding ? compare_folded(str_bytes(a), str_bytes(b)) : compare_bytes(str_bytes(a), str_bytes(b));
  return boolean(prim_holds(op, d, 0));
}

static Value p_string_eq(Value args) { return string_compare(args, CMP_EQ, false); }
static Value p_string_lt(Value args) { return string_compare(args, CMP_LT, false); }
static Value p_string_gt(Value args) { return string_compare(args, CMP_GT, false); }
static Value p_string_le(Value args) { return string_compare(args, CMP_LE, false); }
static Value p_string_ge(Value args) { return string_compare(args, CMP_GE, false); }
static Value p_string_ci_eq(Value args) { return string_compare(args, CMP_EQ, true); }
static Value p_string_ci_lt(Value args) { return string_compare(args, CMP_LT, true); }
static Value p_string_ci_gt(Value args) { return string_compare(args, CMP_GT, true); }
static Value p_string_ci_le(Value args) { return string_compare(args, CMP_LE, true); }
static Value p_string_ci_ge(Value args) { return string_compare(args, CMP_GE, true); }

/* ------------------------------------------------------ pieces, copies */

static Value p_substring(Value args) {
  Value s = need_string(prim_arg0(args));
  int32_t start = prim_need_int(prim_arg1(args), E_NEED_INT);
  int32_t end = prim_need_int(prim_arg2(args), E_NEED_INT);
  uint32_t len = str_len(s);
  if (start < 0 || start > end || static_cast<uint32_t>(end) > len) mem_error(E_OUT_OF_RANGE);
  // make-string copies the bytes out before it may collect.
  return mem_make_string_n(str_bytes(s) + start, static_cast<uint32_t>(end - start));
}

// Every argument is checked and measured first; the bytes are copied after
// the one allocation, from their places after any collection it ran.
static Value p_string_append(Value args) {
  uint64_t total = 0;
  for (Value a = args; prim_has_tag(a, PAIR); a = cdr(a)) total += str_len(need_string(car(a)));
  if (total >= AREA_BYTES) mem_error(E_STRING_AREA);
  Value s = mem_make_string_fill(static_cast<uint32_t>(total), ' ');
  char* p = str_bytes(s);
  for (Value a = args; prim_has_tag(a, PAIR); a = cdr(a)) {
    uint32_t n = str_len(car(a));
    std::memcpy(p, str_bytes(car(a)), n);
    p += n;
  }
  return s;
}

static Value p_string_copy(Value args) { return mem_make_string(str_bytes(need_string(prim_arg0(args)))); }

static Value p_string_fill(Value args) {
  Value s = need_string(prim_arg0(args));
  uint8_t c = need_char(prim_arg1(args));
  std::memset(str_bytes(s), c, str_len(s));
  return prim_unspecified();
}

/* ---------------------------------------------------------- with lists */

// Built front to back with the head on the software stack; the string is
// re-read after every allocation.
static Value p_string_to_list(Value args) {
  Value s = need_string(prim_arg0(args));
  uint32_t n = str_len(s);
  if (n == 0) return NIL;
  Value head = mem_cons(mem_char(static_cast<uint8_t>(str_bytes(s)[0])), NIL);
  Protect keep(head);
  Value tail = head;
  for (uint32_t i = 1; i < n; ++i) {
    Value p = mem_cons(mem_char(static_cast<uint8_t>(str_bytes(s)[i])), NIL);
    set_cdr(tail, p);
    tail = p;
  }
  return head;
}

// A proper list first (17; a circular list is none), then every element a
// CHARACTER (19), both before the string is made.
static Value p_list_to_string(Value args) {
  Value list = prim_arg0(args);
  int64_t len = mem_list_length(list);
  if (len < 0) mem_error(E_NEED_LIST);
  Value a = list;
  for (; prim_has_tag(a, PAIR); a = cdr(a)) need_char(car(a));
  auto n = static_cast<uint32_t>(len);
  Value s = mem_make_string_fill(n, ' ');
  char* p = str_bytes(s);
  for (a = list; prim_has_tag(a, PAIR); a = cdr(a)) *p++ = static_cast<char>(char_code(car(a)));
  return s;
}

/* -------------------------------------------------------- registration */

static constexpr PrimDef STRING_PRIMS[] = {
    {"string?", K_ONE, p_string_p},
    {"make-string", K_ONE_TWO, p_make_string},
    {"string", K_ANY, p_string},
    {"string-length", K_ONE, p_string_length},
    {"string-ref", K_TWO, p_string_ref},
    {"string-set!", K_THREE, p_string_set},
    {"string=?", K_TWO, p_string_eq},
    {"string<?", K_TWO, p_string_lt},
    {"string>?", K_TWO, p_string_gt},
    {"string<=?", K_TWO, p_string_le},
    {"string>=?", K_TWO, p_string_ge},
    {"string-ci=?", K_TWO, p_string_ci_eq},
    {"string-ci<?", K_TWO, p_string_ci_lt},
    {"string-ci>?", K_TWO, p_string_ci_gt},
    {"string-ci<=?", K_TWO, p_string_ci_le},
    {"string-ci>=?", K_TWO, p_string_ci_ge},
    {"substring", K_THREE, p_substring},
    {"string-append", K_ANY, p_string_append},
    {"string->list", K_ONE, p_string_to_list},
    {"list->string", K_ONE, p_list_to_string},
    {"string-copy", K_ONE, p_string_copy},
    {"string-fill!", K_TWO, p_string_fill},
};

void prim_register_strings() { ev_register_table(STRING_PRIMS); }

}  // namespace ondrel
