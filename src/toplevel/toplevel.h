// toplevel.h - program-wide state of start-up, the loop and shutdown.
#pragma once
#include <atomic>
#include <cstdint>
#include <cstdio>

namespace ondrel {

inline bool vm.japanese = false;         // -J or -j: Japanese messages and farewell
inline char tl_home[256] = "";           // the executable's directory with its "/", or ""
inline int32_t tl_files_left = 0;        // command-line files still to load
inline char** tl_file_cursor = nullptr;  // next command-line file name
// 0 idle at the prompt, 1 console evaluating, 2 editor evaluating.
inline std::atomic<int32_t> vm.loop_state{0};

int tl_main(int argc, char** argv);
void tl_find_home(const char* argv0);

// Hooks of the later subsystems, called in start-up order.
void rd_init_ports();         // ports and an empty symbol table
void tl_init_symbols();          // constants, keywords, every primitive (eval/symtab.h)
void tl_install_break();  // SIGINT handler
void tl_restore_break();
void ev_reset();                      // empty stacks, console streams, registers NIL
void tl_load_init_file();             // quits when no init file opens
void tl_load_file(const char* name);  // the file loader
void tl_repl();                       // returns at end of input
void tl_eval_stream(FILE* in);        // evaluate every datum of a stream, printing nothing
bool tl_input_at_eof();               // the current input stream hit end of file
void rd_shutdown_ports();                 // close every stream that is not the console

}  // namespace ondrel
