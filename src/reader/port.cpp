// port.cpp - port objects, the two port tables, character I/O, the transcript.
#include "reader/port.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include "memory/error.h"
#include "platform/console.h"
#include "platform/sandbox.h"

namespace ondrel {

// Set when a character was pushed back onto standard input and has not been
// read again: that character reached the transcript when it was first read.
// Atomic because a second thread may read while the console read waits.
static std::atomic<bool> port_ungot{false};

static void set_port(Value port, uint8_t tag, FILE* stream) {
  mem_base[port] = tag;
  rd_stream(port) = stream;
}

// Each port of the tables is open at most once, so the list never holds
// more than the two tables' slots.
struct Abandoned {
  Value port;
  Value current;  // PORT_CUR_IN or PORT_CUR_OUT when rebound, else 0
  FILE* saved;    // the current port's stream before the rebinding
};
static Abandoned abandoned[2 * PORT_SLOTS];
static int nabandoned = 0;

static bool is_console(FILE* f) { return f == stdin || f == stdout || f == stderr; }

/* ----------------------------------------------------- set-up and shutdown */

void rd_init_ports() {
  set_port(PORT_CUR_IN, INPUT_PORT, stdin);
  set_port(PORT_CUR_OUT, OUTPUT_PORT, stdout);
  set_port(PORT_TRANSCRIPT, OUTPUT_PORT, nullptr);
  for (int k = 0; k < PORT_SLOTS; ++k) {
    set_port(PORT_IN_TABLE + 8 * k, INPUT_PORT, k == 0 ? stdin : nullptr);
    set_port(PORT_OUT_TABLE + 8 * k, OUTPUT_PORT, k == 0 ? stdout : nullptr);
  }
  port_ungot = false;
  nabandoned = 0;
  for (Value& b : roots.symtab) b = NIL;
}

// Close `f` once and forget it in every port object that holds it, so that
// a stream shared by a table slot and a rebound current port is neither
// closed twice nor used after closing.  False when text written to it
// earlier or flushed now did not reach the file.
static bool close_stream(FILE* f) {
  if (f == nullptr || is_console(f)) return true;
  for (FILE*& s : rd_streams)
    if (s == f) s = nullptr;
  if (rd_stream(PORT_CUR_IN) == nullptr) rd_stream(PORT_CUR_IN) = stdin;
  if (rd_stream(PORT_CUR_OUT) == nullptr) rd_stream(PORT_CUR_OUT) = stdout;
  bool ok = std::ferror(f) == 0;
  return std::fclose(f) == 0 && ok;
}

// No error can be raised once the loop has ended: an output file left
// incomplete is said on standard error.
void rd_shutdown_ports() {
  close_stream(rd_stream(PORT_CUR_IN));
  bool ok = close_stream(rd_stream(PORT_CUR_OUT));
  ok = close_stream(rd_stream(PORT_TRANSCRIPT)) && ok;
  for (int k = 1; k < PORT_SLOTS; ++k) {
    close_stream(rd_stream(PORT_IN_TABLE + 8 * k));
    ok = close_stream(rd_stream(PORT_OUT_TABLE + 8 * k)) && ok;
  }
  if (!ok) std::fputs("ondrel: text written to a file or the transcript did not all reach it\n", stderr);
  std::fflush(stdout);
}

/* ------------------------------------------------------ write failures */

// A file that did not take what was written (a full disk, the file-size
// limit, an I/O error) fails the write with error 37.  The report goes to
// the console when the failed file is the current output.
[[noreturn]] static void write_failed(FILE* f) {
  if (rd_stream(PORT_CUR_OUT) == f) rd_stream(PORT_CUR_OUT) = stdout;
  mem_error(E_FILE);
}

// A failed transcript is closed first, so the report does not fail again.
[[noreturn]] static void transcript_failed() {
  FILE* t = rd_stream(PORT_TRANSCRIPT);
  rd_stream(PORT_TRANSCRIPT) = nullptr;
  std::fclose(t);
  mem_error(E_FILE);
}

/* ------------------------------------------------------- character I/O */

// Standard input goes through the console layer (line editing, terminal
// encodings); every other stream is read as it is.
static int next_byte(FILE* in) { return in == stdin ? con_read_char() : std::getc(in); }

int rd_read_char(FILE* in) {
  if (in == nullptr) return EOF;
  int c = next_byte(in);
  // A console read cut short by Ctrl+C: answer the break, or read on.
  while (c == EOF && std::ferror(in) && errno == EINTR) {
    std::clearerr(in);
    mem_check_break();
    c = next_byte(in);
  }
  if (in == stdin) {
    bool again = port_ungot.exchange(false, std::memory_order_relaxed);
    FILE* t = rd_stream(PORT_TRANSCRIPT);
    if (t != nullptr && !again) {
      std::putc(c == EOF ? 0xFF : c, t);
      if (std::ferror(t)) transcript_failed();
    }
  }
  return c;
}

void rd_unget_char(int c, FILE* in) {
  if (in == nullptr) return;
  if (in == stdin) {
    port_ungot = true;
    con_unget_char(c);
  } else if (c != EOF) {
    std::ungetc(c, in);
  }
}

void rd_write_n(const char* text, size_t n, FILE* out) {
  if (n == 0) return;
  if (out == stdout)
    con_write(text, n);  // the terminal may want UTF-8
  else if (out != nullptr)
    std::fwrite(text, 1, n, out);
  FILE* t = rd_stream(PORT_TRANSCRIPT);
  if (t != nullptr) std::fwrite(text, 1, n, t);
  if (t != nullptr && std::ferror(t)) transcript_failed();
  if (out != nullptr && !is_console(out) && std::ferror(out)) write_failed(out);
}

void rd_write(const char* text, FILE* out) { rd_write_n(text, std::strlen(text), out); }

void rd_console(const char* text) { con_puts(text); }

/* --------------------------------------------------- opening and closing */

// Put `f` in the first free slot 1..19 of a table; 0 when all are taken.
static Value take_slot(Value table, FILE* f) {
  for (int k = 1; k < PORT_SLOTS; ++k) {
    Value port = table + 8 * k;
    if (rd_stream(port) == nullptr) {
      rd_stream(port) = f;
      return port;
    }
  }
  return 0;
}

static Value open_port(const char* name, const char* mode, Value table, int err) {
  FILE* f = plat_fopen(name, mode);
  if (f == nullptr) return 0;
  Value port = take_slot(table, f);
  if (port == 0) {
    std::fclose(f);
    mem_error(err);
  }
  return port;
}

Value rd_open_input(const char* name) { return open_port(name, "r", PORT_IN_TABLE, E_IN_PORT); }
Value rd_open_output(const char* name) { return open_port(name, "w", PORT_OUT_TABLE, E_OUT_PORT); }

bool rd_close_port(Value port) { return close_stream(rd_stream(port)); }

bool rd_port_protected(Value port) {
  return port == PORT_CUR_IN || port == PORT_CUR_OUT || port == PORT_TRANSCRIPT || port == PORT_IN_TABLE ||
         port == PORT_OUT_TABLE;
}

void rd_reset_ports() {
  rd_stream(PORT_CUR_IN) = stdin;
  rd_stream(PORT_CUR_OUT) = stdout;
}

void rd_abandon_port(Value port, Value current, FILE* saved) {
  if (nabandoned < 2 * PORT_SLOTS) abandoned[nabandoned++] = Abandoned{port, current, saved};
}

void rd_settle_ports() {
  for (int i = 0; i < nabandoned; ++i) {
    const Abandoned& a = abandoned[i];
    if (a.current != 0 && rd_stream(a.current) == rd_stream(a.port)) rd_stream(a.current) = a.saved;
    rd_close_port(a.port);
  }
  nabandoned = 0;
}

/* ------------------------------------------------------------ transcript */

// A transcript already on is closed (its text flushed) once the new file is
// open; when the new file does not open, the old transcript goes on.
bool rd_transcript_on(const char* name) {
  FILE* old = rd_stream(PORT_TRANSCRIPT);
  if (old != nullptr) std::fflush(old);
  FILE* f = plat_fopen(name, "w");
  if (f == nullptr) return true;
  rd_stream(PORT_TRANSCRIPT) = f;
  return close_stream(old);
}

bool rd_transcript_off() {
  FILE* t = rd_stream(PORT_TRANSCRIPT);
  rd_stream(PORT_TRANSCRIPT) = nullptr;
  return close_stream(t);
}

bool rd_transcript_active() { return rd_stream(PORT_TRANSCRIPT) != nullptr; }

}  // namespace ondrel
