// repl.cpp - the read-eval-print loop and the init file.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "eval/readeval.h"
#include "memory/error.h"
#include "memory/memory.h"
#include "platform/console.h"
#include "platform/datadir.h"
#include "platform/file_guard.h"
#include "reader/port.h"
#include "toplevel/toplevel.h"

namespace ondrel {

static constexpr char INIT_NAME[] = "./include.sc";

// Open dir + INIT_NAME when the path fits the 256-byte buffer.
static FILE* tl_open_candidate(const char* dir, const char* sep) {
  char path[256];
  int n = std::snprintf(path, sizeof path, "%s%s%s", dir, sep, INIT_NAME);
  if (n < 0 || static_cast<size_t>(n) >= sizeof path) return nullptr;
  return std::fopen(path, "r");
}

static FILE* tl_find_init_file() {
  if (FILE* f = std::fopen(INIT_NAME, "r")) return f;
  if (FILE* f = tl_open_candidate(tl_home, "")) return f;
  const char* dir = std::getenv("ROZIVEVUDE");
  if (dir == nullptr) dir = "";
  size_t n = std::strlen(dir);
  if (FILE* f = tl_open_candidate(dir, n == 0 || dir[n - 1] != '/' ? "/" : "")) return f;
  // Last, where an installation puts it; an unknown directory is no place.
  if (*plat_data_dir() == '\0') return nullptr;
  return tl_open_candidate(plat_data_dir(), "");
}

void tl_load_init_file() {
  rd_console("Init File ");
  FILE* f = tl_find_init_file();
  if (f == nullptr) {
    rd_console("Can't Loading ... Error !\n");
    mem_quit();
  }
  FileGuard file(f);
  rd_console("Loading. \n");
  ev_read_eval(ReadEval{file.fp, NIL, false, false, false});
}

// A file named on the command line is loaded at toplevel.
void tl_load_file(const char* name) {
  vm.env = NIL;
  ev_load(name, NIL);
}

void tl_repl() { ev_read_eval(ReadEval{nullptr, NIL, false, true, true}); }

bool tl_input_at_eof() {
  FILE* in = rd_in();
  return in == stdin ? con_at_eof() : std::feof(in) != 0;
}

}  // namespace ondrel
