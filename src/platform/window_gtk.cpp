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

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ondrel {

namespace {

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
GtkHost& host() {
  static GtkHost* h = new GtkHost;
  return *h;
}

void ui_main() {
  GtkHost& h = host();
  bool ok = gtk_init_check(nullptr, nullptr);
  {
    std::lock_guard<std::mutex> lock(h.init_mutex);
    h.init_state = ok ? 2 : -1;
  }
  h.init_cv.notify_all();
  if (ok) gtk_main();
}

}  // namespace

bool plat_gtk_ui_start() {
  GtkHost& h = host();
  std::unique_lock<std::mutex> lock(h.init_mutex);
  if (h.init_state == 0) {
    h.init_state = 1;
    std::thread(ui_main).detach();
  }
  h.init_cv.wait(lock, [&] { return h.init_state != 1; });
  return h.init_state == 2;
}

namespace {

bool ui_started() { return plat_gtk_ui_start(); }

// Run fn on the UI thread, later: an idle source of the default context,
// which only the UI thread's main loop runs (never the caller, even
// before that loop has started).
void on_ui(gboolean (*fn)(gpointer), gpointer data = nullptr) { g_idle_add(fn, data); }

gboolean on_draw(GtkWidget*, cairo_t* cr, gpointer) {
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
gboolean on_delete(GtkWidget*, GdkEvent*, gpointer) { return TRUE; }

gboolean ui_create(gpointer) {
  GtkHost& h = host();
  GtkWidget* w = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(w), h.title.c_str());
  gtk_window_set_resizable(GTK_WINDOW(w), FALSE);
  gtk_window_set_deletable(GTK_WINDOW(w), FALSE);
  gtk_window_move(GTK_WINDOW(w), 100, 100);
  g_signal_connect(w, "delete-event", G_CALLBACK(on_delete), nullptr);
  GtkWidget* area = gtk_drawing_area_new();
  gtk_widget_set_size_request(area, h.frame_w, h.frame_h);
  g_signal_connect(area, "draw", G_CALLBACK(on_draw), nullptr);
  gtk_container_add(GTK_CONTAINER(w), area);
  gtk_widget_show_all(w);
  h.window = w;
  h.area = area;
  h.ready = true;
  return G_SOURCE_REMOVE;
}

gboolean ui_redraw(gpointer) {
  GtkHost& h = host();
  h.redraw_queued = false;
  if (h.area) gtk_widget_queue_draw(h.area);
  return G_SOURCE_REMOVE;
}

gboolean ui_destroy(gpointer) {
  GtkHost& h = host();
  if (h.window) gtk_widget_destroy(h.window);
  h.window = h.area = nullptr;
  return G_SOURCE_REMOVE;
}

bool gtk_usable() {
  const char* x = std::getenv("DISPLAY");
  const char* wl = std::getenv("WAYLAND_DISPLAY");
  if (!(x && *x) && !(wl && *wl)) return false;
  return ui_started();
}

bool gtk_create(const char* title, int32_t width, int32_t height) {
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

bool gtk_ready() { return host().ready; }

void gtk_release() {
  host().released = true;
  if (!host().redraw_queued.exchange(true)) on_ui(ui_redraw);
}

inline uint32_t to_rgb24(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }

void copy_in(std::vector<uint32_t>& frame, int32_t fw, int32_t fh, const Picture& p, int32_t ox) {
  if (!p.px) return;
  int32_t w = std::min(p.width, fw - ox), hgt = std::min(p.height, fh);
  for (int32_t y = 0; y < hgt; ++y) {
    const uint32_t* src = p.px + size_t(y) * p.width;
    uint32_t* dst = frame.data() + size_t(y) * fw + ox;
    for (int32_t x = 0; x < w; ++x) dst[x] = to_rgb24(src[x]);
  }
}

void gtk_present(const Picture& left, const Picture& right) {
  GtkHost& h = host();
  {
    std::lock_guard<std::mutex> lock(h.frame_mutex);
    copy_in(h.frame, h.frame_w, h.frame_h, left, 0);
    copy_in(h.frame, h.frame_w, h.frame_h, right, left.width);
  }
  if (h.released && !h.redraw_queued.exchange(true)) on_ui(ui_redraw);
}

void gtk_destroy() {
  GtkHost& h = host();
  h.ready = false;
  h.released = false;
  on_ui(ui_destroy);
}

constexpr WinBackend GTK_BACKEND = {"gtk",       gtk_create,  gtk_ready, gtk_release,
                                    gtk_present, gtk_destroy, gtk_usable};

}  // namespace

const WinBackend* plat_desktop_backend() { return &GTK_BACKEND; }

}  // namespace ondrel

#else

namespace ondrel {

const WinBackend* plat_desktop_backend() { return nullptr; }

}  // namespace ondrel

#endif
