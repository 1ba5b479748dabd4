// window_gtk.cpp - the GTK 3 window backend, built when GTK is found.
#include "platform/window_backend.h"

namespace ondrel {

#ifndef ONDREL_HAVE_GTK
const WinBackend* plat_desktop_backend() { return nullptr; }
#endif

}  // namespace ondrel
