// window_backend.h - the operations a window backend supplies.
#pragma once
#include <cstdint>

#include "platform/raster.h"

namespace ondrel {

struct WinBackend {
  const char* name;
  bool (*create)(const char* title, int32_t client_width, int32_t client_height);  // false: none
  bool (*ready)();
  void (*release)();
  void (*present)(const Picture& left, const Picture& right);
  void (*destroy)();
  bool (*usable)();  // a display can be reached (desktop backends only)
};

// The desktop backend built into this program, or null when none is.
const WinBackend* plat_desktop_backend();

}  // namespace ondrel
