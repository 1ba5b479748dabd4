// editwin_gtk.cpp - the GTK 3 editor window, on the graphics window's UI thread.
//
// The editor's texts are Shift-JIS with CR LF line ends; GTK shows UTF-8
// with LF.  Every text crosses through sjis_utf8, which gives back every
// byte, and every position is converted between Shift-JIS byte offsets and
// GTK's character offsets on the buffer's current text.
#include "platform/editwin.h"

#ifdef ONDREL_HAVE_GTK

#include <gtk/gtk.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/gtk_ui.h"
#include "platform/sjis_utf8.h"

namespace ondrel {

namespace {

struct EdGtk {
  GtkWidget* window = nullptr;  // UI thread only
  GtkWidget* view = nullptr;
  GtkTextBuffer* buffer = nullptr;
  EdWindowProc proc = nullptr;
  std::thread::id ui_id;
};
EdGtk& eg() {
  static EdGtk* s = new EdGtk;
  return *s;
}

// Runs fn on the UI thread and waits for it (at once when already there).
void on_ui_wait(const std::function<void()>& fn) {
  if (std::this_thread::get_id() == eg().ui_id) {
    fn();
    return;
  }
  struct Job {
    const std::function<void()>* fn;
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
  } job;
  job.fn = &fn;
  g_idle_add(
      [](gpointer p) -> gboolean {
        auto* j = static_cast<Job*>(p);
        (*j->fn)();
        std::lock_guard<std::mutex> lock(j->m);
        j->done = true;
        j->cv.notify_all();
        return G_SOURCE_REMOVE;
      },
      &job);
  std::unique_lock<std::mutex> lock(job.m);
  job.cv.wait(lock, [&] { return job.done; });
}

bool deliver(EdEventKind kind, int32_t code = 0, int32_t w = 0, int32_t h = 0) {
  EdEvent ev{kind, code, w, h};
  return eg().proc != nullptr && eg().proc(ev);
}

// A menu label: "&" marks the mnemonic, which GTK writes "_".
std::string menu_label(const char* sjis) {
  std::string out;
  for (char c : sj_to_utf8(sjis)) {
    if (c == '&') {
      out += '_';
    } else {
      if (c == '_') out += '_';
      out += c;
    }
  }
  return out;
}

// The key code of a GDK key, numbered like the Windows virtual keys; 0 for
// keys the editor does not look at.
int32_t key_code(guint keyval) {
  if (keyval == GDK_KEY_Control_L || keyval == GDK_KEY_Control_R) return ED_KEY_CONTROL;
  if (keyval == GDK_KEY_Escape) return ED_KEY_ESCAPE;
  guint up = gdk_keyval_to_upper(keyval);
  if ((up >= 'A' && up <= 'Z') || (up >= '0' && up <= '9')) return int32_t(up);
  return 0;
}

gboolean on_key(GtkWidget*, GdkEventKey* e, gpointer) {
  int32_t code = key_code(e->keyval);
  if (code == 0) return FALSE;
  bool used = deliver(e->type == GDK_KEY_PRESS ? ED_EV_KEY_DOWN : ED_EV_KEY_UP, code);
  return used ? TRUE : FALSE;
}

gboolean on_delete(GtkWidget*, GdkEvent*, gpointer) {
  deliver(ED_EV_CLOSE);
  return TRUE;  // the editor destroys the window when it agrees
}

void on_size(GtkWidget*, GdkRectangle* r, gpointer) { deliver(ED_EV_RESIZE, 0, r->width, r->height); }

void on_item(GtkMenuItem*, gpointer id) { deliver(ED_EV_COMMAND, int32_t(GPOINTER_TO_INT(id))); }

std::string buffer_utf8() {
  GtkTextIter a, b;
  gtk_text_buffer_get_bounds(eg().buffer, &a, &b);
  gchar* t = gtk_text_buffer_get_text(eg().buffer, &a, &b, TRUE);
  std::string s(t);
  g_free(t);
  return s;
}

bool ui_open(const EdWindowSpec& spec) {
  EdGtk& s = eg();
  s.proc = spec.proc;
  GtkWidget* w = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(w), sj_to_utf8(spec.caption).c_str());
  gtk_window_move(GTK_WINDOW(w), spec.x, spec.y);
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  GtkWidget* bar = gtk_menu_bar_new();
  GtkWidget* popups[3] = {gtk_menu_new(), gtk_menu_new(), gtk_menu_new()};
  int32_t last = ED_MENU_FILE;
  for (int32_t i = 0; i < spec.item_count; ++i) {
    const EdMenuItem& it = spec.items[i];
    if (it.menu == ED_MENU_BAR) {
      GtkWidget* top = gtk_menu_item_new_with_mnemonic(menu_label(it.label ? it.label : "").c_str());
      gtk_menu_item_set_submenu(GTK_MENU_ITEM(top), popups[last]);
      gtk_menu_shell_append(GTK_MENU_SHELL(bar), top);
      continue;
    }
    if (it.menu < ED_MENU_FILE || it.menu > ED_MENU_SCHEME) continue;
    last = it.menu;
    GtkWidget* item = it.label ? gtk_menu_item_new_with_mnemonic(menu_label(it.label).c_str())
                               : gtk_separator_menu_item_new();
    if (it.label) g_signal_connect(item, "activate", G_CALLBACK(on_item), GINT_TO_POINTER(it.id));
    gtk_menu_shell_append(GTK_MENU_SHELL(popups[it.menu]), item);
  }
  gtk_box_pack_start(GTK_BOX(box), bar, FALSE, FALSE, 0);
  GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_NEVER, GTK_POLICY_ALWAYS);
  gtk_widget_set_size_request(scroll, spec.client_width, spec.client_height);
  GtkWidget* view = gtk_text_view_new();
  gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
  gtk_container_add(GTK_CONTAINER(scroll), view);
  gtk_box_pack_start(GTK_BOX(box), scroll, TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(w), box);
  g_signal_connect(w, "key-press-event", G_CALLBACK(on_key), nullptr);
  g_signal_connect(w, "key-release-event", G_CALLBACK(on_key), nullptr);
  g_signal_connect(w, "delete-event", G_CALLBACK(on_delete), nullptr);
  g_signal_connect(scroll, "size-allocate", G_CALLBACK(on_size), nullptr);
  s.window = w;
  s.view = view;
  s.buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
  gtk_widget_show_all(w);
  gtk_widget_grab_focus(view);
  gtk_window_present(GTK_WINDOW(w));
  deliver(ED_EV_OPENED);
  return true;
}

bool eg_open(const EdWindowSpec& spec) {
  if (!plat_gtk_ui_start()) return false;
  bool ok = false;
  on_ui_wait([&] {
    eg().ui_id = std::this_thread::get_id();
    ok = ui_open(spec);
  });
  return ok;
}

void eg_set_title(const char* title) {
  std::string t = sj_to_utf8(title);
  on_ui_wait([&] {
    if (eg().window) gtk_window_set_title(GTK_WINDOW(eg().window), t.c_str());
  });
}

gboolean ui_destroy(gpointer) {
  EdGtk& s = eg();
  if (s.window) gtk_widget_destroy(s.window);
  s.window = s.view = nullptr;
  s.buffer = nullptr;
  deliver(ED_EV_DESTROYED);
  s.proc = nullptr;
  return G_SOURCE_REMOVE;
}

// Later, so that the procedure that asked has returned first.
void eg_destroy() { g_idle_add(ui_destroy, nullptr); }

void eg_resize_control(int32_t, int32_t) {}  // the box keeps the view filling the window

void eg_get_text(std::string& out) {
  on_ui_wait([&] { out = eg().buffer ? sj_from_utf8(buffer_utf8()) : std::string(); });
}

void eg_set_text(const char* text) {
  std::string u = sj_to_utf8(text);
  on_ui_wait([&] {
    if (eg().buffer) gtk_text_buffer_set_text(eg().buffer, u.data(), int(u.size()));
  });
}

void eg_get_selection(int32_t* start, int32_t* end) {
  on_ui_wait([&] {
    *start = *end = 0;
    if (!eg().buffer) return;
    GtkTextIter a, b;
    gtk_text_buffer_get_selection_bounds(eg().buffer, &a, &b);
    std::string u = buffer_utf8();
    *start = int32_t(sj_sjis_offset(u, size_t(gtk_text_iter_get_offset(&a))));
    *end = int32_t(sj_sjis_offset(u, size_t(gtk_text_iter_get_offset(&b))));
  });
}

void eg_set_selection(int32_t start, int32_t end) {
  on_ui_wait([&] {
    if (!eg().buffer) return;
    std::string u = buffer_utf8();
    GtkTextIter a, b;
    gtk_text_buffer_get_iter_at_offset(eg().buffer, &a, int(sj_char_offset(u, size_t(std::max(start, 0)))));
    gtk_text_buffer_get_iter_at_offset(eg().buffer, &b, int(sj_char_offset(u, size_t(std::max(end, 0)))));
    gtk_text_buffer_select_range(eg().buffer, &b, &a);
  });
}

GtkClipboard* clipboard() { return gtk_widget_get_clipboard(eg().view, GDK_SELECTION_CLIPBOARD); }

void eg_clear() {
  on_ui_wait([] {
    if (eg().buffer) gtk_text_buffer_delete_selection(eg().buffer, TRUE, TRUE);
  });
}
void eg_cut() {
  on_ui_wait([] {
    if (eg().buffer) gtk_text_buffer_cut_clipboard(eg().buffer, clipboard(), TRUE);
  });
}
void eg_copy() {
  on_ui_wait([] {
    if (eg().buffer) gtk_text_buffer_copy_clipboard(eg().buffer, clipboard());
  });
}
void eg_paste() {
  on_ui_wait([] {
    if (eg().buffer) gtk_text_buffer_paste_clipboard(eg().buffer, clipboard(), nullptr, TRUE);
  });
}
void eg_select_all() {
  on_ui_wait([] {
    if (!eg().buffer) return;
    GtkTextIter a, b;
    gtk_text_buffer_get_bounds(eg().buffer, &a, &b);
    gtk_text_buffer_select_range(eg().buffer, &b, &a);
  });
}

void copy_out(char* dst, const char* src) {
  std::strncpy(dst, src, ED_NAME_BUF - 1);
  dst[ED_NAME_BUF - 1] = '\0';
}

bool file_dialog(bool save, const char* caption, EdDialogResult* io) {
  bool chosen = false;
  std::string cap = sj_to_utf8(caption);
  on_ui_wait([&] {
    GtkWidget* d = gtk_file_chooser_dialog_new(
        cap.c_str(), GTK_WINDOW(eg().window),
        save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel", GTK_RESPONSE_CANCEL,
        save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* fc = GTK_FILE_CHOOSER(d);
    gtk_file_chooser_set_do_overwrite_confirmation(fc, TRUE);
    GtkFileFilter* f = gtk_file_filter_new();
    gtk_file_filter_set_name(f, sj_to_utf8(ED_DIALOG_FILTER_NAME).c_str());
    gtk_file_filter_add_pattern(f, ED_DIALOG_PATTERN);
    gtk_file_chooser_add_filter(fc, f);
    if (io->path[0] != '\0') gtk_file_chooser_set_filename(fc, io->path);
    if (gtk_dialog_run(GTK_DIALOG(d)) == GTK_RESPONSE_ACCEPT) {
      gchar* fn = gtk_file_chooser_get_filename(fc);
      if (fn) {
        std::string path = fn;
        g_free(fn);
        size_t slash = path.rfind('/');
        std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
        if (!base.empty() && base.find('.') == std::string::npos) {
          path += std::string(".") + ED_DIALOG_EXT;
          base += std::string(".") + ED_DIALOG_EXT;
        }
        copy_out(io->path, path.c_str());
        copy_out(io->name, base.c_str());
        chosen = true;
      }
    }
    gtk_widget_destroy(d);
  });
  return chosen;
}

bool eg_open_dialog(const char* caption, EdDialogResult* io) { return file_dialog(false, caption, io); }
bool eg_save_dialog(const char* caption, EdDialogResult* io) { return file_dialog(true, caption, io); }

bool eg_ask_yes_no(const char* caption, const char* question) {
  bool yes = false;
  std::string cap = sj_to_utf8(caption), q = sj_to_utf8(question);
  on_ui_wait([&] {
    GtkWidget* d = gtk_message_dialog_new(GTK_WINDOW(eg().window), GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION,
                                          GTK_BUTTONS_YES_NO, "%s", q.c_str());
    gtk_window_set_title(GTK_WINDOW(d), cap.c_str());
    yes = gtk_dialog_run(GTK_DIALOG(d)) == GTK_RESPONSE_YES;
    gtk_widget_destroy(d);
  });
  return yes;
}

constexpr EditWinBackend GTK_EDITOR = {
    "gtk",          eg_open,      eg_set_title,     eg_destroy,       eg_resize_control,
    eg_get_text,    eg_set_text,  eg_get_selection, eg_set_selection, eg_clear,
    eg_cut,         eg_copy,      eg_paste,         eg_select_all,    eg_open_dialog,
    eg_save_dialog, eg_ask_yes_no};

}  // namespace

const EditWinBackend* plat_editor_desktop_backend() {
  const char* x = std::getenv("DISPLAY");
  const char* wl = std::getenv("WAYLAND_DISPLAY");
  if (!(x && *x) && !(wl && *wl)) return nullptr;
  return plat_gtk_ui_start() ? &GTK_EDITOR : nullptr;
}

}  // namespace ondrel

#else

namespace ondrel {

const EditWinBackend* plat_editor_desktop_backend() { return nullptr; }

}  // namespace ondrel

#endif
