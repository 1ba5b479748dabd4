// toplevel.h - start-up, the prompt loop, the init file and shutdown.
#pragma once
#include <cstdint>

namespace ondrel {

inline char tl_home[256] = "";           // the executable's directory with its "/", or ""
inline int32_t tl_files_left = 0;        // command-line files still to load
inline char** tl_file_cursor = nullptr;  // next command-line file name

int tl_main(int argc, char** argv);
void tl_find_home(const char* argv0);

// The constants, the keywords and every primitive group, in registration
// order (groups.cpp).
void tl_init_symbols();
// The SIGINT handler and the hooks the lower layers call back through.
void tl_install_break();
void tl_restore_break();
void tl_install_hooks();
void tl_load_init_file();             // quits when no init file opens
void tl_load_file(const char* name);  // a command-line file, at toplevel
void tl_repl();                       // returns at end of input
bool tl_input_at_eof();               // the current input stream hit end of file

}  // namespace ondrel
