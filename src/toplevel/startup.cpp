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
#include "platform/datadir.h"
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

static constexpr char VERSION_LINE[] = "Ondrel Version 4.2.w (for Windows) \n";

// The answer to --help: the command line, the environment and the places
// of the init file, with the directories this run would look in.
static void print_usage() {
  std::printf(
      "Usage: ondrel [switches] [file.sc ...]\n"
      "An interactive Scheme interpreter for teaching.\n"
      "\n"
      "Switches, before the first file name:\n"
      "  -J, -j      Japanese error messages and farewell (Shift-JIS)\n"
      "  --help      print this text and exit\n"
      "  --version   print the version line and exit\n"
      "  Any other argument starting with \"-\" is ignored.\n"
      "The first argument not starting with \"-\" and every one after it are\n"
      "Scheme files, loaded in order before the S> prompt appears.\n"
      "\n"
      "Environment:\n"
      "  ROZIVEVUDE  a directory searched for the init file\n"
      "\n"
      "The init file ./include.sc is loaded from the first place that has it:\n"
      "  1. the current directory\n"
      "  2. the program's directory (%s)\n"
      "  3. the directory named by ROZIVEVUDE\n"
      "  4. the data directory (%s)\n"
      "Without it the program ends. Cursor files such as flower.dat are looked\n"
      "for in the current directory, then the program's and the data directory.\n",
      *tl_home != '\0' ? tl_home : "unknown", *plat_data_dir() != '\0' ? plat_data_dir() : "unknown");
}

// --help and --version among the switches: the first of them is answered
// before anything else, and the program ends.
static bool answer_info_switch(char** argv, int first_file) {
  for (int i = 1; i < first_file; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      print_usage();
      return true;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::fputs(VERSION_LINE, stdout);
      return true;
    }
  }
  return false;
}

static void shutdown() {
  mem_shutdown();
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
  if (answer_info_switch(argv, i)) return 0;

  console(VERSION_LINE);
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
