// console.cpp - the console on a terminal: line editing, history, UTF-8.
#include "platform/console.h"

#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>

#ifdef ONDREL_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

#include "platform/file_replace.h"
#include "platform/lock.h"

namespace ondrel {

// How standard input is read.
enum ConMode {
  CON_PLAIN,   // byte by byte from the stream, exactly as it comes
  CON_LINES,   // whole lines from a terminal, converted before the reader
  CON_EDITOR,  // whole lines from the line editor, converted before the reader
};

constexpr int CON_NO_PUSHBACK = -2;

// The console's state.  The decisions are made once, at the first use, for
// the standard streams of that moment; a stream swapped in later (as the
// unit tests do) is served plainly.  `line[pos..]` are the typed bytes not
// yet read; they are already in the reader's encoding.
struct Console {
  bool ready = false;   // con_init has run
  FILE* in = nullptr;   // the standard input the decisions hold for
  FILE* out = nullptr;  // the standard output they hold for
  ConMode mode = CON_PLAIN;
  bool conv_in = false;       // typed UTF-8 becomes Shift-JIS
  bool conv_out = false;      // written Shift-JIS becomes UTF-8
  locale_t locale = nullptr;  // the environment's LC_CTYPE, for the editor
  PlatConverter to_sjis;      // typed text on the way to the reader
  PlatConverter to_utf8;      // written text on the way to the terminal
  std::string line;           // the finished line
  size_t pos = 0;             // next byte of `line` to hand out
  int pushback = CON_NO_PUSHBACK;
  bool eof = false;               // input ended: every later read is EOF
  bool capturing = false;         // standard output goes into `prompt`
  bool prompt_pending = false;    // `prompt` waits for the next edited line
  std::string prompt;             // in the reader's encoding
  std::string history;            // the history file, or "" for none
  bool typed_while_busy = false;  // a line came while the editor evaluated
};

// What waiting for a line gave.
enum LineResult { LINE_OK, LINE_END, LINE_BREAK };

static Console con;
static std::mutex con_out_lock;  // the output converter, the prompt
static volatile sig_atomic_t con_resized = 0;

/* --------------------------------------------------------- conversion */

bool con_wants_conversion(const char* codeset, const char* mode) {
  if (mode != nullptr && std::strcmp(mode, "raw") == 0) return false;
  return codeset != nullptr && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

/* -------------------------------------------------------- line editor */

// Wait until the terminal has a byte to read; false when Ctrl+C was
// pressed or the terminal was resized first.  A Ctrl+C during an editor
// evaluation is that evaluation's: the wait goes on.  The wait looks at the flags
// ten times a second, so a signal that came just before it, or that
// another thread received, is not left waiting for the next key.
static bool con_break_pending() { return con_hooks.break_pending != nullptr && con_hooks.break_pending(); }
static bool con_editor_busy() { return con_hooks.editor_busy != nullptr && con_hooks.editor_busy(); }

static bool con_wait_key() {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  while (!con_break_pending() && con_resized == 0) {
    int r = poll(&p, 1, 100);
    if (r > 0 || (r < 0 && errno != EINTR)) return true;
  }
  return false;
}

#ifdef ONDREL_HAVE_LIBEDIT
constexpr int CON_HISTORY_LINES = 1000;
constexpr char CON_HISTORY_NAME[] = "/.ondrel_history";

static void on_resize(int) { con_resized = 1; }

// The editor's key reader.  It reads the terminal itself so that Ctrl+C
// ends the edit at once (the signal cuts the read short and the break flag
// is set): the editor then sees end of input and the caller raises the
// break.  A multibyte character is decoded here, in the editor's locale.
static int edit_getc(FILE*) {
  char bytes[MB_LEN_MAX];
  size_t n = 0;
  for (;;) {
    // Signals that came while the editor drew the line are answered too.
    if (con_break_pending()) return -1;
    if (con_resized != 0) {
      con_resized = 0;
      rl_resize_terminal();
    }
    if (!con_wait_key()) continue;
    unsigned char b;
    ssize_t r = read(STDIN_FILENO, &b, 1);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return -1;
    if (n == 0 && b < 0x80) return b;
    bytes[n++] = static_cast<char>(b);
    std::mbstate_t st{};
    wchar_t wc = 0;
    size_t k = std::mbrtowc(&wc, bytes, n, &st);
    if (k == static_cast<size_t>(-2) && n < sizeof bytes) continue;
    if (k == static_cast<size_t>(-1) || k == static_cast<size_t>(-2))
      return static_cast<unsigned char>(bytes[0]);
    return static_cast<int>(wc);
  }
}

// A change of the terminal's size is noted at any time; only while a line
// is edited does it also cut the editor's read short, so that the editor
// learns the new width at once.  Elsewhere the interrupted call restarts.
static void on_resize_signal(int flags) {
  struct sigaction sa {};
  sa.sa_handler = on_resize;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = flags;
  sigaction(SIGWINCH, &sa, nullptr);
}

static bool editor_start() {
  rl_readline_name = "ondrel";
  rl_instream = stdin;
  rl_outstream = stdout;
  rl_catch_signals = 0;  // the interpreter's own SIGINT handler stays
  rl_getc_function = edit_getc;
  rl_inhibit_completion = 1;  // Tab is typed text, not file-name completion
  if (rl_initialize() != 0) return false;
  stifle_history(CON_HISTORY_LINES);
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') {
    con.history = std::string(home) + CON_HISTORY_NAME;
    read_history(con.history.c_str());  // a missing file is no history
  }
  on_resize_signal(SA_RESTART);
  return true;
}

// True when the file libedit wrote is the temporary file itself and
// holds every entry.  libedit does not report a failed write, so its lines
// are counted: the header line and one line per entry.
static bool history_complete(const FileReplace& file) {
  struct stat mine, named;
  if (fstat(file.fd, &mine) != 0 || lstat(file.temp.c_str(), &named) != 0 || mine.st_ino != named.st_ino ||
      mine.st_dev != named.st_dev)
    return false;
  long lines = 0;
  char last = 0;
  char buf[4096];
  off_t at = 0;
  for (ssize_t n; (n = pread(file.fd, buf, sizeof buf, at)) > 0; at += n) {
    for (ssize_t i = 0; i < n; ++i) lines += buf[i] == '\n';
    last = buf[n - 1];
  }
  return last == '\n' && lines == history_length + 1;
}

// The history file is replaced whole or not at all, so a full disk keeps
// the last complete one; it is followed when it is a symbolic link.  A
// file that cannot be written only costs the history of later runs.
static void save_history() {
  char* real = realpath(con.history.c_str(), nullptr);
  FileReplace file;
  bool ok = plat_replace_begin(file, real != nullptr ? real : con.history.c_str());
  std::free(real);
  if (ok && write_history(file.temp.c_str()) == 0 && history_complete(file)) plat_replace_commit(file);
}

// Add the line to the history and save it.
static void remember(const char* text) {
  bool blank = true;
  for (const char* p = text; *p != '\0'; ++p)
    if (*p != ' ' && *p != '\t') blank = false;
  if (blank) return;
  add_history(text);
  if (!con.history.empty()) save_history();
}

// One line through the editor, with the kept prompt; false at end of input.
static LineResult edit_line(std::string& raw) {
  std::string shown;
  {
    std::lock_guard<std::mutex> hold(con_out_lock);
    if (con.prompt_pending) {
      plat_convert(con.to_utf8, con.prompt.data(), con.prompt.size(), shown);
      plat_convert_flush(con.to_utf8, shown);
    }
    con.prompt_pending = false;
    con.prompt.clear();
  }
  locale_t old = uselocale(con.locale != nullptr ? con.locale : LC_GLOBAL_LOCALE);
  if (con_resized != 0) {
    con_resized = 0;
    rl_resize_terminal();
  }
  on_resize_signal(0);
  char* text = readline(shown.c_str());
  on_resize_signal(SA_RESTART);
  uselocale(old);
  if (con_break_pending()) {
    std::free(text);
    return LINE_BREAK;
  }
  if (text == nullptr) return LINE_END;
  remember(text);
  raw = text;
  raw.push_back('\n');
  std::free(text);
  return LINE_OK;
}
#else
// A change of the terminal's size is noted at any time; only while a line
// is edited does it also cut the editor's read short, so that the editor
// learns the new width at once.  Elsewhere the interrupted call restarts.
static bool editor_start() { return false; }
static LineResult edit_line(std::string&) { return LINE_END; }
#endif

/* ------------------------------------------------------------- set-up */

// Show a held character start as it is before the program waits.
static void flush_output() {
  std::lock_guard<std::mutex> hold(con_out_lock);
  std::string tail;
  plat_convert_flush(con.to_utf8, tail);
  if (!tail.empty()) std::fwrite(tail.data(), 1, tail.size(), con.out);
  std::fflush(con.out);
}

static void con_at_exit() {
  if (con.out == stdout) flush_output();
}

static void con_init() {
  if (con.ready) return;
  con.ready = true;
  con.in = stdin;
  con.out = stdout;
  bool tty_in = fileno(stdin) == STDIN_FILENO && isatty(STDIN_FILENO) != 0;
  bool tty_out = fileno(stdout) == STDOUT_FILENO && isatty(STDOUT_FILENO) != 0;
  // The environment's character set is asked without changing the
  // program's own locale, which stays "C" for the reader and printer.
  con.locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  const char* codeset = con.locale != nullptr ? nl_langinfo_l(CODESET, con.locale) : "";
  bool utf8 = con_wants_conversion(codeset, std::getenv("ONDREL_CONSOLE"));
  con.conv_in = tty_in && utf8 && plat_converter_open(con.to_sjis, "CP932", "UTF-8");
  con.conv_out = tty_out && utf8 && plat_converter_open(con.to_utf8, "UTF-8", "CP932");
  if (tty_in && tty_out) {
    locale_t old = uselocale(con.locale != nullptr ? con.locale : LC_GLOBAL_LOCALE);
    if (editor_start()) con.mode = CON_EDITOR;
    uselocale(old);
  }
  if (con.mode == CON_PLAIN && con.conv_in) con.mode = CON_LINES;
  std::atexit(con_at_exit);
}

bool con_has_editor() {
#ifdef ONDREL_HAVE_LIBEDIT
  return true;
#else
  return false;
#endif
}

/* -------------------------------------------------------------- input */

static bool served_plainly() { return con.mode == CON_PLAIN || stdin != con.in; }

// One line of the terminal without the editor.  A Ctrl+C drops what was
// typed of the line.
static LineResult terminal_line(std::string& raw) {
  for (;;) {
    if (con_break_pending()) return LINE_BREAK;
    con_resized = 0;  // nothing to redraw without the editor
    if (!con_wait_key()) continue;
    char c;
    ssize_t r = read(STDIN_FILENO, &c, 1);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return raw.empty() ? LINE_END : LINE_OK;
    raw.push_back(c);
    if (c == '\n') return LINE_OK;
  }
}

// Show a prompt that no edited line took (the byte comes from a line
// already typed).
static void show_prompt() {
  std::string shown;
  {
    std::lock_guard<std::mutex> hold(con_out_lock);
    if (!con.prompt_pending) return;
    con.prompt_pending = false;
    plat_convert(con.to_utf8, con.prompt.data(), con.prompt.size(), shown);
    con.prompt.clear();
  }
  std::fwrite(shown.data(), 1, shown.size(), stdout);
}

// Refill the line; false at end of input.  The interpreter lock is let go
// while the line is waited for; a break is raised once it is back.
static bool next_line() {
  flush_output();
  std::string raw;
  LineResult got;
  for (;;) {
    {
      PlatUnlock waiting;
      got = con.mode == CON_EDITOR ? edit_line(raw) : terminal_line(raw);
      if (got == LINE_OK && con_editor_busy() && raw.find_first_not_of(" \t\r\n") != std::string::npos)
        con.typed_while_busy = true;
    }
    if (got != LINE_BREAK) break;
    raw.clear();
    if (con_hooks.answer_break != nullptr)
      con_hooks.answer_break();  // unless the editor's evaluation took it
  }
  if (got == LINE_END) {
    con.eof = true;
    return false;
  }
  con.line.clear();
  con.pos = 0;
  if (con.conv_in) {
    plat_convert(con.to_sjis, raw.data(), raw.size(), con.line);
    plat_convert_flush(con.to_sjis, con.line);
  } else {
    con.line = raw;
  }
  return true;
}

int con_read_char() {
  if (con_no_input) return EOF;
  con_init();
  if (served_plainly()) {
    PlatUnlock waiting;  // a pipe may keep the reader waiting too
    int c = std::getc(stdin);
    // A datum that arrives while the editor evaluates is thrown away, as a
    // line typed then is.
    if (c != EOF && con_editor_busy() && std::isspace(c) == 0) con.typed_while_busy = true;
    return c;
  }
  if (con.pushback != CON_NO_PUSHBACK) {
    int c = con.pushback;
    con.pushback = CON_NO_PUSHBACK;
    return c;
  }
  if (con.pos < con.line.size()) {
    show_prompt();
  } else {
    if (con.eof) return EOF;
    con.line.clear();
    con.pos = 0;
    if (!next_line()) return EOF;
  }
  return static_cast<unsigned char>(con.line[con.pos++]);
}

void con_unget_char(int c) {
  con_init();
  if (c == EOF) return;
  if (served_plainly())
    std::ungetc(c, stdin);
  else
    con.pushback = c;
}

bool con_at_eof() {
  con_init();
  if (served_plainly()) return std::feof(stdin) != 0;
  return con.eof && con.pushback == CON_NO_PUSHBACK && con.pos >= con.line.size();
}

bool con_typed_while_busy() {
  bool typed = con.typed_while_busy;
  con.typed_while_busy = false;
  return typed;
}

bool con_input_buffered() {
  con_init();
  if (served_plainly()) return false;
  return con.pushback != CON_NO_PUSHBACK || con.pos < con.line.size();
}

/* ------------------------------------------------------------- output */

void con_write(const char* text, size_t n) {
  con_init();
  if (n == 0) return;
  if (stdout != con.out) {
    std::fwrite(text, 1, n, stdout);
    return;
  }
  std::string shown;
  {
    std::lock_guard<std::mutex> hold(con_out_lock);
    if (con.capturing) {
      con.prompt.append(text, n);
      return;
    }
    if (con.prompt_pending) {
      con.prompt_pending = false;
      plat_convert(con.to_utf8, con.prompt.data(), con.prompt.size(), shown);
      con.prompt.clear();
    }
    plat_convert(con.to_utf8, text, n, shown);  // unchanged when not converting
  }
  std::fwrite(shown.data(), 1, shown.size(), stdout);
}

void con_puts(const char* text) { con_write(text, std::strlen(text)); }

ConPrompt::ConPrompt(FILE* in, FILE* out) {
  con_init();
  active = con.mode == CON_EDITOR && in == stdin && stdin == con.in && out == stdout && stdout == con.out;
  if (!active) return;
  std::lock_guard<std::mutex> hold(con_out_lock);
  if (con.prompt_pending) {  // an earlier prompt nobody read after: show it
    std::string shown;
    plat_convert(con.to_utf8, con.prompt.data(), con.prompt.size(), shown);
    std::fwrite(shown.data(), 1, shown.size(), stdout);
  }
  con.prompt.clear();
  con.prompt_pending = false;
  con.capturing = true;
}

ConPrompt::~ConPrompt() {
  if (!active) return;
  std::lock_guard<std::mutex> hold(con_out_lock);
  con.capturing = false;
  con.prompt_pending = true;
}

}  // namespace ondrel
