// value.h - values, cells and type tags shared by the whole interpreter.
#pragma once
#include <cstdint>
#include <cstring>

namespace ondrel {

// A value is the byte offset of its object from the arena base (mem_base).
// Offsets below 64 are never objects, so the control stack can tell return
// codes (1..60) and markers (0) from values.
using Value = uint32_t;

// Type numbers: the tag byte's low six bits.
// clang-format off
enum Tag : uint8_t {
  PAIR = 1, SYMBOL = 2, CONSTANT = 3, PRIMITIVE = 4, CLOSURE = 5,
  CONTINUATION = 6, MACRO = 8, INTEGER = 9, RATIONAL = 10, REAL = 11,
  COMPLEX = 12, STRING = 13, CHARACTER = 14, VECTOR = 15, INPUT_PORT = 16,
  OUTPUT_PORT = 17, NAMED_PROCEDURE = 18, KEYWORD = 19,
};
// clang-format on

// The tag byte:
//   bit  7   6    5 ....... 0
//      MARK TRACE   type (1..19)
// The collector keeps its marks in a bitmap beside the heap, so no tag byte
// carries MARK_BIT (the collector's checks look for it); TRACE_FLAG is set
// only on SYMBOLs.
constexpr uint8_t TYPE_MASK = 0x3F;
constexpr uint8_t TRACE_FLAG = 0x40;
constexpr uint8_t MARK_BIT = 0x80;

// The aux byte of a SYMBOL: FRAME_BOUND once the evaluator has bound it in
// an environment frame.  A symbol without it has no binding in any frame
// the evaluator built, so its lookup may go straight to the global value.
constexpr uint8_t FRAME_BOUND = 0x01;

// One heap object: 12 bytes.  A REAL keeps its double in w1 (low half) and
// w2 (high half); a CHARACTER is only the first two bytes (tag, code).
struct Cell {
  uint8_t tag;     // type | TRACE_FLAG | MARK_BIT
  uint8_t aux;     // PRIMITIVE: argument-pattern kind; CHARACTER: the code; SYMBOL: FRAME_BOUND
  uint16_t count;  // VECTOR: length; CONTINUATION: saved words
  uint32_t w1;     // first word
  uint32_t w2;     // second word
};
static_assert(sizeof(Cell) == 12, "a Cell is 12 bytes");

// The arena holding every region (memory.h gives its layout).  A fixed
// array rather than a pointer read from memory: the address of an object
// is its value added to a constant, so the chains of loads that follow a
// list or a stack have one link fewer, and no store through a byte can make
// the compiler read the base again.
extern uint8_t mem_arena[];
inline constexpr uint8_t* mem_base = mem_arena;

inline Cell& cell(Value v) { return *reinterpret_cast<Cell*>(mem_base + v); }
inline uint8_t tag_byte(Value v) { return mem_base[v]; }
inline uint8_t type_of(Value v) { return mem_base[v] & TYPE_MASK; }
inline bool is(Value v, Tag t) { return type_of(v) == t; }

// Field access by role.
inline Value car(Value v) { return cell(v).w1; }
inline Value cdr(Value v) { return cell(v).w2; }
inline void set_car(Value v, Value x) { cell(v).w1 = x; }
inline void set_cdr(Value v, Value x) { cell(v).w2 = x; }
inline int32_t int_value(Value v) { return static_cast<int32_t>(cell(v).w1); }
inline double real_value(Value v) {
  double d;
  std::memcpy(&d, &cell(v).w1, sizeof d);
  return d;
}
inline uint8_t char_code(Value v) { return mem_base[v + 1]; }
// Bytes of a STRING (NUL-terminated).  Re-read after every allocation: a
// collection may move them.
inline char* str_bytes(Value v) { return reinterpret_cast<char*>(mem_base + cell(v).w1); }
inline uint32_t str_len(Value v) { return static_cast<uint32_t>(std::strlen(str_bytes(v))); }
// Slots of a VECTOR (or saved words of a CONTINUATION).  Re-read after
// every allocation.
inline Value* vec_slots(Value v) { return reinterpret_cast<Value*>(mem_base + cell(v).w2); }
inline uint32_t vec_len(Value v) { return cell(v).count; }
// Symbols, constants and keywords keep their name as a STRING in w2.
inline const char* sym_name(Value v) { return str_bytes(cell(v).w2); }

}  // namespace ondrel
