// editwin_none.cpp - the desktop editor backend's lookup while the build
// carries none: the editor opens only headless.
#include "platform/editwin.h"

namespace ondrel {

const EditWinBackend* plat_editor_desktop_backend() { return nullptr; }

}  // namespace ondrel
