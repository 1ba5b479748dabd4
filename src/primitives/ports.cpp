// ports.cpp - port and file primitives: loading, reading, writing,
// opening and closing files and the transcript.
#include <cstdio>
#include <exception>
#include <string>

#include "eval/eval.h"
#include "eval/readeval.h"
#include "primitives/prim.h"
#include "reader/port.h"
#include "reader/printer.h"
#include "reader/reader.h"

namespace ondrel {

/* ------------------------------------------------------------ arguments */

// The text of a file-name argument: a SYMBOL's name or a STRING's bytes,
// copied because a collection may move them.
static std::string file_name(Value args) {
  prim_need_args(args, 1);
  Value v = prim_arg0(args);
  if (type_of(v) == SYMBOL) return sym_name(v);
  if (is(v, STRING)) return str_bytes(v);
  mem_error(E_NEED_STRING);
}

// The stream of a port argument: the port's own when it is a port of the
// wanted direction, otherwise the current port's.  A closed port has no
// stream to use: error 29.
static FILE* port_arg(Value v, Tag direction, Value current) {
  Value port = is(v, direction) ? v : current;
  FILE* f = rd_stream(port);
  if (f == nullptr) mem_error(E_STRUCTURE);
  return f;
}
static FILE* in_arg(Value v) { return port_arg(v, INPUT_PORT, PORT_CUR_IN); }
static FILE* out_arg(Value v) { return port_arg(v, OUTPUT_PORT, PORT_CUR_OUT); }

// True for slots 1 to 19 of a table, the ports a program may close.
static bool is_file_slot(Value port, Value table) { return port > table && port < table + 8 * PORT_SLOTS; }

/* ------------------------------------------------- nested activations */

// A continuation applied inside a nested activation can return from it at a
// state-1 frame of an outer activation, taking that frame off the control
// stack together with the frames of whoever called the primitive.  The
// height and top frame are noted before the activation and compared after.
struct StackMark {
  uint32_t cp;
  Value top[3];
};

static StackMark stack_mark() {
  StackMark m{mem.cp, {0, 0, 0}};
  for (uint32_t i = 0; i < 3 && i < mem.cp; ++i) m.top[i] = cstack()[mem.cp - 1 - i];
  return m;
}

// When the frames below are no longer those noted, the activation was left
// through a continuation: a state-1 frame stands in for the one it used up,
// so the activation that called the primitive hands on the value at once.
// Like the state-1 frame of a line at the prompt, it restores the global
// environment.
static void stack_settle(const StackMark& m) {
  bool same = mem.cp == m.cp;
  for (uint32_t i = 0; same && i < 3 && i < mem.cp; ++i) same = cstack()[mem.cp - 1 - i] == m.top[i];
  if (same) return;
  if (mem.cp + 3 >= STACK_WORDS) mem_error(E_SSTACK_OVER);
  Value* s = cstack() + mem.cp;
  s[0] = NIL;
  s[1] = NIL;
  s[2] = ST_RETURN;
  mem.cp += 3;
}

// (quote x)
static Value quoted(Value x) {
  Value tail = mem_cons(x, NIL);
  return mem_cons(mem_quote, tail);
}

// Apply `proc` to `port` (or to nothing when port is 0) through a nested
// activation of the evaluator, as `apply` would, and return the result.
// Operator and argument are quoted so that neither is evaluated again and
// no local variable of the caller can shadow a global name.
static Value call_procedure(Value proc, Value port) {
  Protect keep(proc);
  Value args = port != 0 ? mem_cons(quoted(port), NIL) : NIL;
  Protect keep_args(args);
  Value form = mem_cons(quoted(proc), args);
  Protect keep_form(form);
  StackMark m = stack_mark();
  Value v = ev_evaluate(form);
  stack_settle(m);
  return v;
}

// A procedure argument: a PRIMITIVE or CLOSURE, or the SYMBOL of a global
// one (the evaluator hands global procedures over by name).
static Value need_procedure(Value v) {
  v = ev_unname(v);
  Value target = type_of(v) == SYMBOL ? cell(v).w1 : v;
  if (target == 0 || (type_of(target) != PRIMITIVE && type_of(target) != CLOSURE)) mem_error(E_NEED_SYMBOL);
  return v;
}

// The port a call-with or with primitive opened: closed however the call
// ends.  A current port rebound to it is set back first, unless an error's
// reset has already returned it to the console.  Left by an unwind, it is
// handed to the port layer, which does the same once the error report has
// gone where the current port pointed.
struct OpenedPort {
  Value port;
  Value current;  // PORT_CUR_IN or PORT_CUR_OUT when rebound, else 0
  FILE* saved;    // the current port's stream before the rebinding
  int unwinding;  // exceptions in flight at the opening
  OpenedPort(Value p, Value cur)
      : port(p), current(cur), saved(nullptr), unwinding(std::uncaught_exceptions()) {
    if (current == 0) return;
    saved = rd_stream(current);
    rd_stream(current) = rd_stream(port);
  }
  // False when the file did not take everything written to it.
  bool close() {
    if (port == 0) return true;
    if (current != 0 && rd_stream(current) == rd_stream(port)) rd_stream(current) = saved;
    Value p = port;
    port = 0;
    return rd_close_port(p);
  }
  ~OpenedPort() {
    if (port != 0 && std::uncaught_exceptions() > unwinding) {
      rd_abandon_port(port, current, saved);
      return;
    }
    close();
  }
  OpenedPort(const OpenedPort&) = delete;
  OpenedPort& operator=(const OpenedPort&) = delete;
};

// The four call-with and with primitives: check, open, call, close.
static Value with_file(Value args, bool input, bool rebind) {
  prim_need_args(args, 2);
  Value name = prim_need(prim_arg0(args), STRING, E_NEED_STRING);
  Value proc = need_procedure(prim_arg1(args));
  std::string text = str_bytes(name);
  Value port = input ? rd_open_input(text.c_str()) : rd_open_output(text.c_str());
  if (port == 0) return mem_false;
  OpenedPort opened(port, rebind ? (input ? PORT_CUR_IN : PORT_CUR_OUT) : 0);
  Value v = call_procedure(proc, rebind ? 0 : port);
  if (!opened.close() && !input) mem_error(E_FILE);  // the end of the output did not reach the file
  return v;
}

/* ---------------------------------------------------------- primitives */

static Value p_load(Value args) {
  std::string name = file_name(args);
  StackMark m = stack_mark();
  ev_load(name.c_str(), vm.form);
  stack_settle(m);
  rd_console(("; Loading Finished ! \"" + name + "\"\n").c_str());
  return prim_unspecified();
}

static Value p_read(Value args) { return rd_read(in_arg(prim_arg0(args))); }

static Value p_write(Value args) {
  prim_need_args(args, 1);
  rd_print(prim_arg0(args), out_arg(prim_arg1(args)));
  return prim_unspecified();
}

static Value p_newline(Value args) {
  rd_write("\n", out_arg(prim_arg0(args)));
  return prim_unspecified();
}

static Value p_display(Value args) {
  prim_need_args(args, 1);
  rd_display(prim_arg0(args), out_arg(prim_arg1(args)));
  return prim_unspecified();
}

static Value p_call_with_input_file(Value args) { return with_file(args, true, false); }
static Value p_call_with_output_file(Value args) { return with_file(args, false, false); }
static Value p_input_port_p(Value args) { return boolean(is(prim_arg0(args), INPUT_PORT)); }
static Value p_output_port_p(Value args) { return boolean(is(prim_arg0(args), OUTPUT_PORT)); }
static Value p_current_input_port(Value) { return PORT_CUR_IN; }
static Value p_current_output_port(Value) { return PORT_CUR_OUT; }
static Value p_with_input_from_file(Value args) { return with_file(args, true, true); }
static Value p_with_output_to_file(Value args) { return with_file(args, false, true); }

static Value p_open_input_file(Value args) {
  Value port = rd_open_input(file_name(args).c_str());
  return port != 0 ? port : mem_false;
}

static Value p_open_output_file(Value args) {
  Value port = rd_open_output(file_name(args).c_str());
  return port != 0 ? port : mem_false;
}

// Slots 1 to 19 close; the console slots, the current ports and the
// transcript port are refused with a message.
static Value close_port(Value args, Tag direction, Value table) {
  prim_need_args(args, 1);
  Value port = prim_need(prim_arg0(args), direction, E_STRUCTURE);
  if (!is_file_slot(port, table))
    rd_console("; This port is protected port.\n");
  else if (!rd_close_port(port) && direction == OUTPUT_PORT)
    mem_error(E_FILE);  // the end of the output did not reach the file
  return prim_unspecified();
}

static Value p_close_input_port(Value args) { return close_port(args, INPUT_PORT, PORT_IN_TABLE); }
static Value p_close_output_port(Value args) { return close_port(args, OUTPUT_PORT, PORT_OUT_TABLE); }

static Value char_or_eof(int c) { return c == EOF ? mem_eof : mem_char(static_cast<uint32_t>(c)); }

static Value p_read_char(Value args) { return char_or_eof(rd_read_char(in_arg(prim_arg0(args)))); }

// Read and push back; at the end of the file nothing is pushed back.
static int peek(FILE* in) {
  int c = rd_read_char(in);
  if (c != EOF) rd_unget_char(c, in);
  return c;
}

static Value p_peek_char(Value args) { return char_or_eof(peek(in_arg(prim_arg0(args)))); }
static Value p_eof_object_p(Value args) { return boolean(prim_arg0(args) == mem_eof); }
static Value p_char_ready_p(Value args) { return boolean(peek(in_arg(prim_arg0(args))) != EOF); }

static Value p_write_char(Value args) {
  prim_need_args(args, 1);
  Value c = prim_need(prim_arg0(args), CHARACTER, E_STRUCTURE);
  FILE* out = out_arg(prim_arg1(args));
  char byte = static_cast<char>(char_code(c));
  rd_write_n(&byte, 1, out);
  return prim_unspecified();
}

// A transcript that did not take all its text (replaced or stopped here)
// fails the command with error 37.
static Value p_transcript_on(Value args) {
  if (!rd_transcript_on(file_name(args).c_str())) mem_error(E_FILE);
  return prim_unspecified();
}

static Value p_transcript_off(Value) {
  if (!rd_transcript_off()) mem_error(E_FILE);
  return prim_unspecified();
}

/* -------------------------------------------------------- registration */

static constexpr PrimDef PORT_PRIMS[] = {
    {"load", K_ONE, p_load},
    {"read", K_OPT1, p_read},
    {"write", K_ONE_TWO, p_write},
    {"newline", K_OPT1, p_newline},
    {"display", K_ONE_TWO, p_display},
    {"call-with-input-file", K_TWO, p_call_with_input_file},
    {"call-with-output-file", K_TWO, p_call_with_output_file},
    {"input-port?", K_ONE, p_input_port_p},
    {"output-port?", K_ONE, p_output_port_p},
    {"current-input-port", K_NONE, p_current_input_port},
    {"current-output-port", K_NONE, p_current_output_port},
    {"with-input-from-file", K_TWO, p_with_input_from_file},
    {"with-output-to-file", K_TWO, p_with_output_to_file},
    {"open-input-file", K_ONE, p_open_input_file},
    {"open-output-file", K_ONE, p_open_output_file},
    {"close-input-port", K_ONE, p_close_input_port},
    {"close-output-port", K_ONE, p_close_output_port},
    {"read-char", K_OPT1, p_read_char},
    {"peek-char", K_OPT1, p_peek_char},
    {"eof-object?", K_ONE, p_eof_object_p},
    {"char-ready?", K_OPT1, p_char_ready_p},
    {"write-char", K_ONE_TWO, p_write_char},
    {"transcript-on", K_ONE, p_transcript_on},
    {"transcript-off", K_NONE, p_transcript_off},
};

void prim_register_ports() { ev_register_table(PORT_PRIMS); }

}  // namespace ondrel
