// window_gtk.cpp - the GTK 3 window backend, built when GTK is found.
//
// GTK wants every toolkit call on one thread: the first window starts a
// UI thread that runs the toolkit's main loop for the rest of the process
// (it can host other windows later).  Other threads only queue work to it.
// present() copies the pictures into the backend's frame under a mutex and
// asks for a repaint; the repaint paints that frame, never the callers'
// pictures, so those may change or go away at any time.
#include "platform/window_backend.h"

#include "platform/gtk_ui.h"

#ifdef ONDREL_HAVE_GTK

#include <gtk/gtk.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ondrel {

// State shared with the UI thread.  Allocated once and never freed: the
// UI thread may still run while the process exits.
struct GtkHost {
  std::mutex init_mutex;
  std::condition_variable init_cv;
  int init_state = 0;  // 0 not started, 1 starting, 2 ready, -1 failed
  std::mutex frame_mutex;
  std::vector<uint32_t> frame;  // cairo RGB24 pixels (0x00RRGGBB)
  int32_t frame_w = 0, frame_h = 0;
  std::atomic<bool> ready{false};     // the window exists
  std::atomic<bool> released{false};  // the initial picture is complete
  std::atomic<bool> redraw_queued{false};
  GtkWidget* window = nullptr;  // UI thread only
  GtkWidget* area = nullptr;    // UI thread only
  std::string title;
};
static GtkHost& host() {
  static GtkHost* h = new GtkHost;
  return *h;
}

// A session bus the toolkit's settings and accessibility can talk to.
static bool session_bus_reachable() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return true;
  const char* run = std::getenv("XDG_RUNTIME_DIR");
  if (run == nullptr || *run == '\0') return false;
  struct stat st {};
  return stat((std::string(run) + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

// Before the toolkit starts.  Without a session bus, the settings the file
// dialogs keep stay in memory (dconf could not store them and would warn
// at every change) and the accessibility bridge is not looked for (it
// warns that the bus is missing).  Settings made by the user stand.
static void prepare_environment() {
  if (session_bus_reachable()) return;
  setenv("GSETTINGS_BACKEND", "memory", 0);
  setenv("NO_AT_BRIDGE", "1", 0);
}

// GDK warns when another client destroys one of the windows; both window
// backends carry on without it (the graphics window comes back, the
// editor closes), so the warning tells the user nothing.  Every other
// message goes out as usual.
static GLogWriterOutput log_writer(GLogLevelFlags level, const GLogField* fields, gsize n, gpointer data) {
  for (gsize i = 0; i < n; ++i) {
    const GLogField& f = fields[i];
    if (std::strcmp(f.key, "MESSAGE") == 0 && f.length < 0 &&
        std::strstr(static_cast<const char*>(f.value), "unexpectedly destroyed") != nullptr)
      return G_LOG_WRITER_HANDLED;
  }
  return g_log_writer_default(level, fields, n, data);
}

static void ui_main() {
  GtkHost& h = host();
  g_log_set_writer_func(log_writer, nullptr, nullptr);
  bool ok = gtk_init_check(nullptr, nullptr);
  {
    std::lock_guard<std::mutex> lock(h.init_mutex);
    h.init_state = ok ? 2 : -1;
  }
  h.init_cv.notify_all();
  if (ok) gtk_main();
}

bool plat_gtk_ui_start() {
  GtkHost& h = host();
  std::unique_lock<std::mutex> lock(h.init_mutex);
  if (h.init_state == 0) {
    h.init_state = 1;
    prepare_environment();
    std::thread(ui_main).detach();
  }
  h.init_cv.wait(lock, [&] { return h.init_state != 1; });
  return h.init_state == 2;
}

static bool ui_started() { return plat_gtk_ui_start(); }

// Run fn on the UI thread, later: an idle source of the default context,
// which only the UI thread's main loop runs (never the caller, even
// before that loop has started).
static void on_ui(gboolean (*fn)(gpointer), gpointer data = nullptr) { g_idle_add(fn, data); }

static gboolean on_draw(GtkWidget*, cairo_t* cr, gpointer) {
  GtkHost& h = host();
  if (!h.released) {
    cairo_set_source_rgb(cr, 1, 1, 1);  // the window's white background
    cairo_paint(cr);
    return TRUE;
  }
  std::lock_guard<std::mutex> lock(h.frame_mutex);
  if (h.frame.empty()) return TRUE;
  cairo_surface_t* s =
      cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(h.frame.data()),
                                          CAIRO_FORMAT_RGB24, h.frame_w, h.frame_h, h.frame_w * 4);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_paint(cr);
  cairo_surface_destroy(s);
  return TRUE;
}

// The window offers no way to close it but the program's own request.
static gboolean on_delete(GtkWidget*, GdkEvent*, gpointer) { return TRUE; }

static void build_window();

// A window that cannot be closed is not let out of sight either: one that
// a window manager minimises all the same comes back at once.
static gboolean on_state(GtkWidget* w, GdkEventWindowState* e, gpointer) {
  if ((e->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0) gtk_window_deiconify(GTK_WINDOW(w));
  return FALSE;
}

// Destroyed from outside (another client destroyed it) while it should be
// open: nothing may reach the old one, and a new one shows the picture.
static void on_destroyed(GtkWidget* w, gpointer) {
  GtkHost& h = host();
  if (h.window != w) return;
  h.window = h.area = nullptr;
  if (h.ready) build_window();
}

// A title bar and a thin frame: the window manager is offered no close,
// minimise, maximise or resize function, and the window does not take the
// keyboard focus when it appears, so typing stays in the console.
static void build_window() {
  GtkHost& h = host();
  GtkWidget* w = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(w), h.title.c_str());
  gtk_window_set_resizable(GTK_WINDOW(w), FALSE);
  gtk_window_set_deletable(GTK_WINDOW(w), FALSE);
  gtk_window_set_focus_on_map(GTK_WINDOW(w), FALSE);
  gtk_window_move(GTK_WINDOW(w), 100, 100);
  g_signal_connect(w, "delete-event", G_CALLBACK(on_delete), nullptr);
  g_signal_connect(w, "destroy", G_CALLBACK(on_destroyed), nullptr);
  g_signal_connect(w, "window-state-event", G_CALLBACK(on_state), nullptr);
  GtkWidget* area = gtk_drawing_area_new();
  gtk_widget_set_size_request(area, h.frame_w, h.frame_h);
  g_signal_connect(area, "draw", G_CALLBACK(on_draw), nullptr);
  gtk_container_add(GTK_CONTAINER(w), area);
  gtk_widget_realize(w);
  GdkWindow* gw = gtk_widget_get_window(w);
  gdk_window_set_functions(gw, GDK_FUNC_MOVE);
  gdk_window_set_decorations(gw, GdkWMDecoration(GDK_DECOR_BORDER | GDK_DECOR_TITLE));
  gtk_widget_show_all(w);
  h.window = w;
  h.area = area;
}

static gboolean ui_create(gpointer) {
  build_window();
  host().ready = true;
  return G_SOURCE_REMOVE;
}

static gboolean ui_redraw(gpointer) {
  GtkHost& h = host();
  h.redraw_queued = false;
  if (h.area) gtk_widget_queue_draw(h.area);
  return G_SOURCE_REMOVE;
}

static gboolean ui_destroy(gpointer) {
  GtkHost& h = host();
  GtkWidget* w = h.window;
  h.window = h.area = nullptr;
  if (w) gtk_widget_destroy(w);
  return G_SOURCE_REMOVE;
}

static bool gtk_usable() {
  const char* x = std::getenv("DISPLAY");
  const char* wl = std::getenv("WAYLAND_DISPLAY");
  if (!(x && *x) && !(wl && *wl)) return false;
  return ui_started();
}

static bool gtk_create(const char* title, int32_t width, int32_t height) {
  if (!ui_started()) return false;
  GtkHost& h = host();
  {
    std::lock_guard<std::mutex> lock(h.frame_mutex);
    h.frame.assign(size_t(width) * size_t(height), 0xFFFFFF);
    h.frame_w = width;
    h.frame_h = height;
  }
  h.title = title;
  h.released = false;
  h.ready = false;
  on_ui(ui_create);
  return true;
}

static bool gtk_ready() { return host().ready; }

static void gtk_release() {
  host().released = true;
  if (!host().redraw_queued.exchange(true)) on_ui(ui_redraw);
}

static inline uint32_t to_rgb24(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }

static void copy_in(std::vector<uint32_t>& frame, int32_t fw, int32_t fh, const Picture& p, int32_t ox) {
  if (!p.px) return;
  int32_t w = std::min(p.width, fw - ox), hgt = std::min(p.height, fh);
  for (int32_t y = 0; y < hgt; ++y) {
    const uint32_t* src = p.px + size_t(y) * p.width;
    uint32_t* dst = frame.data() + size_t(y) * fw + ox;
    for (int32_t x = 0; x < w; ++x) dst[x] = to_rgb24(src[x]);
  }
}

static void gtk_present(const Picture& left, const Picture& right) {
  GtkHost& h = host();
  {
    std::lock_guard<std::mutex> lock(h.frame_mutex);
    copy_in(h.frame, h.frame_w, h.frame_h, left, 0);
    copy_in(h.frame, h.frame_w, h.frame_h, right, left.width);
  }
  if (h.released && !h.redraw_queued.exchange(true)) on_ui(ui_redraw);
}

static void gtk_destroy() {
  GtkHost& h = host();
  h.ready = false;
  h.released = false;
  on_ui(ui_destroy);
}

static constexpr WinBackend GTK_BACKEND = {"gtk",       gtk_create,  gtk_ready, gtk_release,
                                           gtk_present, gtk_destroy, gtk_usable};

const WinBackend* plat_desktop_backend() { return &GTK_BACKEND; }

}  // namespace ondrel

#else

namespace ondrel {

const WinBackend* plat_desktop_backend() { return nullptr; }

}  // namespace ondrel

#endif
