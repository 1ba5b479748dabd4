// window.h - the host of the graphics window: one fixed-size window that
// shows what it was last given, with an off-screen (headless) backend that
// is always built and an optional desktop backend.
//
// The window keeps its own copy of what was presented and repaints from
// that copy, so the caller's pictures may be drawn into or released at any
// time without the repaint reading them.
#pragma once
#include <cstdint>

#include "platform/raster.h"

namespace ondrel {

// Begin creating the window with the given client size and title; returns
// at once.  The window exists once plat_win_ready() is true.  When no
// desktop window can be had the headless backend takes over.
void plat_win_create(const char* title, int32_t client_width, int32_t client_height);
// The window exists and may be presented to.
bool plat_win_ready();
// The desktop window did not come: go on off-screen instead.
void plat_win_fall_back();
// The initial picture is complete: the window may start repainting.
void plat_win_release();
// Show `left` at client pixel (0, 0) and `right` beside it at (left width, 0).
void plat_win_present(const Picture& left, const Picture& right);
// Destroy the window; a later plat_win_create makes a new one.
void plat_win_destroy();
// True while the window is off-screen, or there is none.
bool plat_win_headless();
// Presents done since start-up (for tests and benchmarks).
uint64_t plat_win_presents();

}  // namespace ondrel
