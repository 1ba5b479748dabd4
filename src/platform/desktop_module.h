// desktop_module.h - the entry of the desktop module: the GTK window and
// editor backends built as a module of their own, loaded when a window is
// first opened (desktop_loader.cpp).
#pragma once

#include "platform/editwin.h"
#include "platform/window_backend.h"

namespace ondrel {

// The module's own plat_desktop_backend and plat_editor_desktop_backend.
struct DesktopBackends {
  const WinBackend* (*window)();
  const EditWinBackend* (*editor)();
};

}  // namespace ondrel

// The module's one exported function, looked up by this name.
extern "C" ondrel::DesktopBackends ondrel_desktop_backends();
