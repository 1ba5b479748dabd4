// main.cpp - the entry point.
#include "platform/process_guard.h"
#include "toplevel/toplevel.h"

int main(int argc, char** argv) {
  ondrel::plat_guard_process();  // before any file is opened
  return ondrel::tl_main(argc, argv);
}
