// desktop_module.cpp - the entry of the desktop module (built with the GTK
// backends into ondrel-desktop.so; empty in the program itself).
#include "platform/desktop_module.h"

#ifdef ONDREL_HAVE_GTK

extern "C" ondrel::DesktopBackends ondrel_desktop_backends() {
  return ondrel::DesktopBackends{ondrel::plat_desktop_backend, ondrel::plat_editor_desktop_backend};
}

#endif
