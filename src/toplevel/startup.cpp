// startup.cpp - command line, initialisation order, recovery points, shutdown.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "memory/error.h"
#include "platform/lock.h"
#include "memory/memory.h"
#include "memory/sjis.h"
#include "reader/port.h"
#include "toplevel/toplevel.h"

namespace ondrel {

[[noreturn]] void mem_quit() { throw Unwind{UNWIND_QUIT}; }

// Copy at most 255 bytes of src into the 256-byte home buffer.
static void set_home(const char* src, size_t n) {
  if (n > sizeof tl_home - 1) n = 0;  // too long to hold: no home directory
  std::memcpy(tl_home, src, n);
  tl_home[n] = '\0';
}

void tl_find_home(const char* argv0) {
  const char* slash = std::strrchr(argv0, '/');
  if (slash != nullptr) {
    set_home(argv0, static_cast<size_t>(slash - argv0) + 1);
    return;
  }
  struct stat st;
  if (stat("./ondrel", &st) == 0) {
    set_home("./", 2);
    return;
  }
  // Started through PATH: the directory of the running executable.
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) {
    exe[n] = '\0';
    const char* s = std::strrchr(exe, '/');
    if (s != nullptr) {
      set_home(exe, static_cast<size_t>(s - exe) + 1);
      return;
    }
  }
  set_home("", 0);
}

static void console(const char* text) { rd_console(text); }

static void shutdown() {
  if (mem_base != nullptr) mem_shutdown();
  rd_shutdown_ports();
  tl_restore_break();
}

int tl_main(int argc, char** argv) {
  plat_lock_for_good();  // this thread runs the interpreter from here on
  tl_find_home(argc > 0 ? argv[0] : "");
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i)
    if (argv[i][1] == 'J' || argv[i][1] == 'j') vm.japanese = true;
  tl_files_left = argc - i;
  tl_file_cursor = argv + i;

  console("Ondrel Version 4.2.w (for Windows) \n");
  console(" An interactive Scheme for learning, on Linux.\n");

  bool run_loop = true;
  try {  // first arming: any unwind ends the program
    console("Initialize ... ");
    std::fflush(stdout);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    mem_init();
    rd_init_ports();
    tl_init_symbols();
    tl_install_break();
    console("Done !\n");
    ev_reset();
    tl_load_init_file();
  } catch (const Unwind&) {
    run_loop = false;
  }

  if (run_loop) {
    try {  // second arming: a failing file abandons the rest
      while (tl_files_left > 0) {
        --tl_files_left;
        const char* name = *tl_file_cursor++;
        tl_load_file(name);
      }
    } catch (const Unwind&) {
      tl_files_left = 0;
    }
    for (;;) {  // third arming: errors re-enter the loop
      try {
        tl_repl();
        if (tl_input_at_eof()) console("\n");
        break;
      } catch (const Unwind& u) {
        if (u.code != UNWIND_ERROR) break;
      }
    }
  }

  shutdown();
  console(vm.japanese ? SJ_FAREWELL : "Bye.\n");
  std::fflush(stdout);
  return 0;
}

}  // namespace ondrel
