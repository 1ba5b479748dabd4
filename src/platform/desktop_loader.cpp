// desktop_loader.cpp - the desktop backends of a program whose GTK windows
// live in a module (ondrel-desktop.so): the module, and with it the toolkit,
// is loaded when a window or the editor is first opened with a display at
// hand, so a run that opens none does not pay for loading and relocating
// the toolkit's libraries.  Without the module the windows are off-screen.
#ifdef ONDREL_DESKTOP_MODULE

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <mutex>
#include <string>

#include "platform/desktop_module.h"

namespace ondrel {

static std::once_flag loaded;
static DesktopBackends backends{nullptr, nullptr};

static bool display_at_hand() {
  const char* x = std::getenv("DISPLAY");
  const char* wl = std::getenv("WAYLAND_DISPLAY");
  return (x != nullptr && *x != '\0') || (wl != nullptr && *wl != '\0');
}

// The module beside the running program (a build tree), in lib/ondrel/
// beside its bin/ (an installation), else where the build put it.
static void load() {
  if (!display_at_hand()) return;
  std::string dir;
  char exe[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) {
    dir.assign(exe, static_cast<size_t>(n));
    dir.erase(dir.rfind('/') + 1);
  }
  std::string beside = dir.empty() ? "" : dir + "ondrel-desktop.so";
  std::string installed = dir.empty() ? "" : dir + "../lib/ondrel/ondrel-desktop.so";
  for (const std::string& path : {beside, installed, std::string(ONDREL_DESKTOP_MODULE)}) {
    if (path.empty()) continue;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) continue;
    auto entry = reinterpret_cast<DesktopBackends (*)()>(dlsym(module, "ondrel_desktop_backends"));
    if (entry != nullptr) {
      backends = entry();
      return;
    }
    dlclose(module);
  }
}

const WinBackend* plat_desktop_backend() {
  std::call_once(loaded, load);
  return backends.window != nullptr ? backends.window() : nullptr;
}

const EditWinBackend* plat_editor_desktop_backend() {
  std::call_once(loaded, load);
  return backends.editor != nullptr ? backends.editor() : nullptr;
}

}  // namespace ondrel

#endif
