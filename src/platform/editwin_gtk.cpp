// editwin_gtk.cpp - the GTK 3 editor window, on the graphics window's UI thread.
//
// The editor's texts are Shift-JIS with CR LF line ends; GTK shows UTF-8
// with LF.  Every text crosses through sjis_utf8, which gives back every
// byte, and every position is converted between Shift-JIS byte offsets and
// GTK's character offsets on the buffer's current text.
//
// With GtkSourceView 4 the text is a source view: Scheme colouring, the
// matching bracket highlighted, line numbers, and undo and redo (Ctrl+Z,
// Ctrl+Shift+Z).  Either way the font is monospace and a new line starts
// at the depth of the brackets open before it.
#include "platform/editwin.h"

#ifdef ONDREL_HAVE_GTK

#include <gtk/gtk.h>
#include <sys/stat.h>
#ifdef ONDREL_HAVE_GTKSOURCEVIEW
#include <gtksourceview/gtksource.h>
#endif

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/editctl.h"
#include "platform/gtk_ui.h"
#include "platform/sjis_utf8.h"

namespace ondrel {

struct EdGtk {
  GtkWidget* window = nullptr;  // UI thread only
  GtkWidget* view = nullptr;
  GtkTextBuffer* buffer = nullptr;
  EdWindowProc proc = nullptr;
  std::thread::id ui_id;
};
static EdGtk& eg() {
  static EdGtk* s = new EdGtk;
  return *s;
}

// Runs fn on the UI thread and waits for it (at once when already there).
static void on_ui_wait(const std::function<void()>& fn) {
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

static bool deliver(EdEventKind kind, int32_t code = 0, int32_t w = 0, int32_t h = 0) {
  EdEvent ev{kind, code, w, h, 0};
  return eg().proc != nullptr && eg().proc(ev);
}

// A menu label: "&" marks the mnemonic, which GTK writes "_".
static std::string menu_label(const char* sjis) {
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
static int32_t key_code(guint keyval) {
  if (keyval == GDK_KEY_Control_L || keyval == GDK_KEY_Control_R) return ED_KEY_CONTROL;
  if (keyval == GDK_KEY_Escape) return ED_KEY_ESCAPE;
  guint up = gdk_keyval_to_upper(keyval);
  if ((up >= 'A' && up <= 'Z') || (up >= '0' && up <= '9')) return int32_t(up);
  return 0;
}

// Return starts a new line indented by the depth of the brackets open
// before it, as one step of undo.  An input method may take the key first.
static gboolean new_line(GdkEventKey* e) {
  EdGtk& s = eg();
  if (!gtk_widget_has_focus(s.view)) return FALSE;
  if (gtk_text_view_im_context_filter_keypress(GTK_TEXT_VIEW(s.view), e)) return TRUE;
  gtk_text_buffer_begin_user_action(s.buffer);
  gtk_text_buffer_delete_selection(s.buffer, TRUE, TRUE);
  GtkTextIter start, caret;
  gtk_text_buffer_get_start_iter(s.buffer, &start);
  gtk_text_buffer_get_iter_at_mark(s.buffer, &caret, gtk_text_buffer_get_insert(s.buffer));
  gchar* before = gtk_text_buffer_get_text(s.buffer, &start, &caret, TRUE);
  std::string line = "\n" + std::string(size_t(EC_INDENT * ec_open_brackets(before)), ' ');
  g_free(before);
  gtk_text_buffer_insert_interactive_at_cursor(s.buffer, line.data(), int(line.size()), TRUE);
  gtk_text_buffer_end_user_action(s.buffer);
  gtk_text_view_scroll_mark_onscreen(GTK_TEXT_VIEW(s.view), gtk_text_buffer_get_insert(s.buffer));
  return TRUE;
}

// Keys go to the editor first, with the Ctrl state of the event itself.
static gboolean on_key(GtkWidget*, GdkEventKey* e, gpointer) {
  const bool ctrl = (e->state & GDK_CONTROL_MASK) != 0;
  int32_t code = key_code(e->keyval);
  if (code != 0) {
    EdEvent ev{e->type == GDK_KEY_PRESS ? ED_EV_KEY_DOWN : ED_EV_KEY_UP, code, 0, 0, ctrl ? 1 : 0};
    if (eg().proc != nullptr && eg().proc(ev)) return TRUE;
  }
  const bool plain = (e->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) == 0;
  if (e->type == GDK_KEY_PRESS && plain && eg().view != nullptr &&
      (e->keyval == GDK_KEY_Return || e->keyval == GDK_KEY_KP_Enter))
    return new_line(e);
  return FALSE;
}

static gboolean on_delete(GtkWidget*, GdkEvent*, gpointer) {
  deliver(ED_EV_CLOSE);
  return TRUE;  // the editor destroys the window when it agrees
}

// The window is gone, by the editor's request or from outside (another
// client destroyed it): nothing may reach it any more.
static void on_destroyed(GtkWidget* w, gpointer) {
  EdGtk& s = eg();
  if (s.window != w) return;
  s.window = s.view = nullptr;
  s.buffer = nullptr;
  deliver(ED_EV_DESTROYED);
  s.proc = nullptr;
}

static void on_size(GtkWidget*, GdkRectangle* r, gpointer) { deliver(ED_EV_RESIZE, 0, r->width, r->height); }

static void on_item(GtkMenuItem*, gpointer id) { deliver(ED_EV_COMMAND, int32_t(GPOINTER_TO_INT(id))); }

static std::string buffer_utf8() {
  GtkTextIter a, b;
  gtk_text_buffer_get_bounds(eg().buffer, &a, &b);
  gchar* t = gtk_text_buffer_get_text(eg().buffer, &a, &b, TRUE);
  std::string s(t);
  g_free(t);
  return s;
}

#ifdef ONDREL_HAVE_GTKSOURCEVIEW
// A source view for Scheme: colouring, the bracket that matches the one at
// the caret, line numbers, and its own undo and redo keys.
static GtkWidget* new_view() {
  GtkSourceBuffer* buffer = gtk_source_buffer_new(nullptr);
  GtkSourceLanguage* scheme =
      gtk_source_language_manager_get_language(gtk_source_language_manager_get_default(), "scheme");
  if (scheme != nullptr) gtk_source_buffer_set_language(buffer, scheme);
  gtk_source_buffer_set_highlight_matching_brackets(buffer, TRUE);
  GtkWidget* view = gtk_source_view_new_with_buffer(buffer);
  g_object_unref(buffer);
  gtk_source_view_set_show_line_numbers(GTK_SOURCE_VIEW(view), TRUE);
  return view;
}

// A text the editor puts in starts a new history: it cannot be undone.
static void replace_text(const std::string& utf8) {
  GtkSourceBuffer* b = GTK_SOURCE_BUFFER(eg().buffer);
  gtk_source_buffer_begin_not_undoable_action(b);
  gtk_text_buffer_set_text(eg().buffer, utf8.data(), int(utf8.size()));
  gtk_source_buffer_end_not_undoable_action(b);
}
#else
static GtkWidget* new_view() { return gtk_text_view_new(); }

static void replace_text(const std::string& utf8) {
  gtk_text_buffer_set_text(eg().buffer, utf8.data(), int(utf8.size()));
}
#endif

static bool ui_open(const EdWindowSpec& spec) {
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
  GtkWidget* view = new_view();
  gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
  gtk_text_view_set_monospace(GTK_TEXT_VIEW(view), TRUE);
  gtk_container_add(GTK_CONTAINER(scroll), view);
  gtk_box_pack_start(GTK_BOX(box), scroll, TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(w), box);
  g_signal_connect(w, "key-press-event", G_CALLBACK(on_key), nullptr);
  g_signal_connect(w, "key-release-event", G_CALLBACK(on_key), nullptr);
  g_signal_connect(w, "delete-event", G_CALLBACK(on_delete), nullptr);
  g_signal_connect(w, "destroy", G_CALLBACK(on_destroyed), nullptr);
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

static bool eg_open(const EdWindowSpec& spec) {
  if (!plat_gtk_ui_start()) return false;
  bool ok = false;
  on_ui_wait([&] {
    eg().ui_id = std::this_thread::get_id();
    ok = ui_open(spec);
  });
  return ok;
}

static void eg_set_title(const char* title) {
  std::string t = sj_to_utf8(title);
  on_ui_wait([&] {
    if (eg().window) gtk_window_set_title(GTK_WINDOW(eg().window), t.c_str());
  });
}

// The editor is told before the window is destroyed: GTK takes the window
// off the screen before it emits "destroy", and an `editor` call that comes
// once the window is gone must find the editor closed.
static gboolean ui_destroy(gpointer) {
  GtkWidget* w = eg().window;
  if (w == nullptr) return G_SOURCE_REMOVE;
  on_destroyed(w, nullptr);
  gtk_widget_destroy(w);
  return G_SOURCE_REMOVE;
}

// Later, so that the procedure that asked has returned first.
static void eg_destroy() { g_idle_add(ui_destroy, nullptr); }

static void eg_resize_control(int32_t, int32_t) {}  // the box keeps the view filling the window

static void eg_get_text(std::string& out) {
  on_ui_wait([&] { out = eg().buffer ? sj_from_utf8(buffer_utf8()) : std::string(); });
}

static void eg_set_text(std::string_view text) {
  std::string u = sj_to_utf8(text);
  on_ui_wait([&] {
    if (eg().buffer) replace_text(u);
  });
}

static void eg_get_selection(int32_t* start, int32_t* end) {
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

// A negative end stands for the end of the text, as in the Windows control.
static void eg_set_selection(int32_t start, int32_t end) {
  on_ui_wait([&] {
    if (!eg().buffer) return;
    std::string u = buffer_utf8();
    GtkTextIter a, b;
    gtk_text_buffer_get_iter_at_offset(eg().buffer, &a, int(sj_char_offset(u, size_t(std::max(start, 0)))));
    if (end < 0)
      gtk_text_buffer_get_end_iter(eg().buffer, &b);
    else
      gtk_text_buffer_get_iter_at_offset(eg().buffer, &b, int(sj_char_offset(u, size_t(end))));
    gtk_text_buffer_select_range(eg().buffer, &b, &a);
  });
}

static GtkClipboard* clipboard() { return gtk_widget_get_clipboard(eg().view, GDK_SELECTION_CLIPBOARD); }

static void eg_clear() {
  on_ui_wait([] {
    if (eg().buffer) gtk_text_buffer_delete_selection(eg().buffer, TRUE, TRUE);
  });
}
static void eg_cut() {
  on_ui_wait([] {
    if (eg().buffer) gtk_text_buffer_cut_clipboard(eg().buffer, clipboard(), TRUE);
  });
}
static void eg_copy() {
  on_ui_wait([] {
    if (eg().buffer) gtk_text_buffer_copy_clipboard(eg().buffer, clipboard());
  });
}
static void eg_paste() {
  on_ui_wait([] {
    if (eg().buffer) gtk_text_buffer_paste_clipboard(eg().buffer, clipboard(), nullptr, TRUE);
  });
}
static void eg_select_all() {
  on_ui_wait([] {
    if (!eg().buffer) return;
    GtkTextIter a, b;
    gtk_text_buffer_get_bounds(eg().buffer, &a, &b);
    gtk_text_buffer_select_range(eg().buffer, &b, &a);
  });
}

// Copies text into a name buffer; false when it does not fit (the buffer
// then holds as much as fits).
static bool copy_out(char* dst, const std::string& src) {
  size_t n = std::min(src.size(), size_t(ED_NAME_BUF - 1));
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
  return n == src.size();
}

// The question before a save replaces an existing file, in the toolkit's
// own words; the default answer keeps the file.
static bool may_replace(GtkWidget* parent, const std::string& path) {
  gchar* shown = g_filename_display_basename(path.c_str());
  GtkWidget* q = gtk_message_dialog_new(
      GTK_WINDOW(parent), GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE,
      g_dgettext("gtk30", "A file named \u201c%s\u201d already exists.  Do you want to replace it?"), shown);
  g_free(shown);
  gtk_dialog_add_buttons(GTK_DIALOG(q), g_dgettext("gtk30", "_Cancel"), GTK_RESPONSE_CANCEL,
                         g_dgettext("gtk30", "_Replace"), GTK_RESPONSE_ACCEPT, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(q), GTK_RESPONSE_CANCEL);
  bool yes = gtk_dialog_run(GTK_DIALOG(q)) == GTK_RESPONSE_ACCEPT;
  gtk_widget_destroy(q);
  return yes;
}

// The chosen file: its path with the default extension added to a name
// that has none.  Saving over an existing file asks first, for the name as
// it will be written; "no" goes back to the dialog.
static bool run_file_dialog(GtkWidget* d, bool save, EdDialogResult* io) {
  GtkFileChooser* fc = GTK_FILE_CHOOSER(d);
  for (;;) {
    if (gtk_dialog_run(GTK_DIALOG(d)) != GTK_RESPONSE_ACCEPT) return false;
    gchar* fn = gtk_file_chooser_get_filename(fc);
    if (fn == nullptr) continue;
    std::string path = fn;
    g_free(fn);
    size_t slash = path.rfind('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!base.empty() && base.find('.') == std::string::npos) {
      path += std::string(".") + ED_DIALOG_EXT;
      base += std::string(".") + ED_DIALOG_EXT;
    }
    struct stat st {};
    if (save && stat(path.c_str(), &st) == 0 && !may_replace(d, path)) continue;
    // A path too long for its buffer is refused whole, never shortened
    // into the name of some other file.
    io->too_long = !copy_out(io->path, path);
    if (io->too_long) io->path[0] = '\0';
    copy_out(io->name, base);
    return true;
  }
}

static bool file_dialog(bool save, const char* caption, EdDialogResult* io) {
  bool chosen = false;
  std::string cap = sj_to_utf8(caption);
  on_ui_wait([&] {
    GtkWidget* d = gtk_file_chooser_dialog_new(
        cap.c_str(), GTK_WINDOW(eg().window),
        save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel", GTK_RESPONSE_CANCEL,
        save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(d), GTK_RESPONSE_ACCEPT);  // Enter in the name
    GtkFileChooser* fc = GTK_FILE_CHOOSER(d);
    gtk_file_chooser_set_local_only(fc, TRUE);
    GtkFileFilter* f = gtk_file_filter_new();
    gtk_file_filter_set_name(f, sj_to_utf8(ED_DIALOG_FILTER_NAME).c_str());
    gtk_file_filter_add_pattern(f, ED_DIALOG_PATTERN);
    gtk_file_chooser_add_filter(fc, f);
    if (io->path[0] != '\0') {
      gtk_file_chooser_set_filename(fc, io->path);
    } else {
      gchar* cwd = g_get_current_dir();
      gtk_file_chooser_set_current_folder(fc, cwd);
      g_free(cwd);
    }
    chosen = run_file_dialog(d, save, io);
    gtk_widget_destroy(d);
  });
  return chosen;
}

static bool eg_open_dialog(const char* caption, EdDialogResult* io) {
  return file_dialog(false, caption, io);
}
static bool eg_save_dialog(const char* caption, EdDialogResult* io) { return file_dialog(true, caption, io); }

static bool eg_ask_yes_no(const char* caption, const char* question) {
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

static constexpr EditWinBackend GTK_EDITOR = {
    "gtk",          eg_open,      eg_set_title,     eg_destroy,       eg_resize_control,
    eg_get_text,    eg_set_text,  eg_get_selection, eg_set_selection, eg_clear,
    eg_cut,         eg_copy,      eg_paste,         eg_select_all,    eg_open_dialog,
    eg_save_dialog, eg_ask_yes_no};

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
