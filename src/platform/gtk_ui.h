// gtk_ui.h - the one GTK UI thread shared by the graphics and editor windows.
#pragma once

namespace ondrel {

// Starts the UI thread once (it runs the toolkit's main loop for the rest of
// the process); true when the toolkit came up.  Only with GTK builds.
bool plat_gtk_ui_start();

}  // namespace ondrel
