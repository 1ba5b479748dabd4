// main.cpp - the entry point.
#include "toplevel/toplevel.h"

int main(int argc, char** argv) { return ondrel::tl_main(argc, argv); }
