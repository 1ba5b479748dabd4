// startup.cpp - command line, initialisation order, recovery points, shutdown.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "eval/protect.h"
#include "memory/error.h"
#include "memory/memory.h"
#include "platform/lock.h"
#include "reader/port.h"
#include "toplevel/toplevel.h"

namespace ondrel {

// "ばいばい。\n" in Shift-JIS (CP932); tools/sjis.sh makes the bytes.
static constexpr char SJ_FAREWELL[] = "\x82\xce\x82\xa2\x82\xce\x82\xa2\x81\x42\n";

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

  // First arming: any unwind ends the program.
  bool run_loop = ev_protected([] {
                    console("Initialize ... ");
                    std::fflush(stdout);
                    std::srand(static_cast<unsigned>(std::time(nullptr)));
                    mem_init();
                    rd_init_ports();
                    tl_init_symbols();
                    tl_install_break();
                    tl_install_hooks();
                    console("Done !\n");
                    ev_reset();
                    tl_load_init_file();
                  }) == 0;

  if (run_loop) {
    // Second arming: a failing file abandons the rest.
    int files = ev_protected([] {
      while (tl_files_left > 0) {
        --tl_files_left;
        const char* name = *tl_file_cursor++;
        tl_load_file(name);
      }
    });
    if (files != 0) tl_files_left = 0;
    // Third arming: errors re-enter the loop.
    while (ev_protected([] {
             tl_repl();
             if (tl_input_at_eof()) console("\n");
           }) == UNWIND_ERROR) {}
  }

  shutdown();
  console(vm.japanese ? SJ_FAREWELL : "Bye.\n");
  std::fflush(stdout);
  return 0;
}

}  // namespace ondrel
