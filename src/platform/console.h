// console.h - the console on a terminal: line editing, history, UTF-8.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

#include "platform/convert.h"

namespace ondrel {

// The console layer sits between the ports and the process's standard
// streams.  Through pipes and files it passes every byte unchanged.  When
// standard input is a terminal it reads whole lines (edited with libedit
// when the build has it, with history in ~/.ondrel_history) and hands their
// bytes out one by one; when the terminal's locale uses UTF-8 it converts
// typed text to Shift-JIS (CP932) and written text back to UTF-8.  The
// environment variable ONDREL_CONSOLE=raw turns the conversion off.

// Console input: the next byte of standard input (0..255 or EOF), and one
// byte of push-back.  A Ctrl+C while a line is edited drops the line and
// raises the user break.  While it waits for the terminal the console lets
// go of the interpreter lock, so that an editor evaluation can run.
int con_read_char();
void con_unget_char(int c);
bool con_at_eof();  // the console input has ended
// True once after a line was typed, or through a pipe a datum's byte came,
// while an editor evaluation ran: the datum it completes is discarded.
// Each call clears it.
bool con_typed_while_busy();
// Set on a thread that must not read the console (an editor evaluation:
// the console's input belongs to the loop); reading there gives EOF.
inline thread_local bool con_no_input = false;
bool con_input_buffered();  // typed bytes are waiting to be read

// What the console asks of the interpreter above it, installed at start-up
// (toplevel/break.cpp).  Until then no break is pending and no editor
// evaluation runs.
struct ConHooks {
  bool (*break_pending)();  // a Ctrl+C waits to be answered on the console's thread
  void (*answer_break)();   // raise the break when it is still pending (unwinds)
  bool (*editor_busy)();    // an editor evaluation runs
};
inline ConHooks con_hooks{};

// Console output: every text bound for standard output goes through here.
void con_write(const char* text, size_t n);
void con_puts(const char* text);

// While a ConPrompt lives, text written to standard output is kept as the
// prompt of the next edited line instead of being shown, so that the line
// editor can redraw it.  It takes effect only when the line editor reads
// `in` and `out` is the terminal it draws on.
struct ConPrompt {
  ConPrompt(FILE* in, FILE* out);
  ~ConPrompt();
  ConPrompt(const ConPrompt&) = delete;
  ConPrompt& operator=(const ConPrompt&) = delete;
  bool active;
};

// What the build carries (for tests).
bool con_has_editor();  // the build carries the line editor

// True when `codeset` names UTF-8 and `mode` (ONDREL_CONSOLE) is not "raw".
bool con_wants_conversion(const char* codeset, const char* mode);

}  // namespace ondrel
