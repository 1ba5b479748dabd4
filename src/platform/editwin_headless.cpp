// editwin_headless.cpp - the scripted editor backend.
#include "platform/editwin_headless.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/editctl.h"

namespace ondrel {

struct Answer {
  bool ok;
  std::string path, name;
};

// Everything in HlState is guarded by its mutex; the window procedure
// runs with it released, so that the operations it calls can take it.
// Never destroyed: the backend's thread may still run while the process
// exits.
struct HlState {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<EdEvent> queue;
  bool busy = false;  // an event is being handled
  bool open = false;
  bool destroying = false;
  bool fail = false;
  EdWindowProc proc = nullptr;
  EditCtl ctl;
  std::string caption;
  std::string dialog_caption;
  std::vector<EdMenuItem> items;
  std::deque<Answer> dialogs;
  std::deque<bool> questions;
  int32_t asked = 0;
  int32_t passed = 0;
};
static HlState& hl = *new HlState;

static void hl_thread() {
  std::unique_lock<std::mutex> hold(hl.mutex);
  for (;;) {
    hl.changed.wait(hold, [] { return !hl.queue.empty() || hl.destroying; });
    if (hl.destroying) break;
    EdEvent ev = hl.queue.front();
    hl.queue.pop_front();
    hl.busy = true;
    hold.unlock();
    bool used = hl.proc(ev);
    hold.lock();
    if (ev.kind == ED_EV_KEY_DOWN && !used) ++hl.passed;
    hl.busy = false;
    hl.changed.notify_all();
  }
  hl.queue.clear();
  hold.unlock();
  hl.proc(EdEvent{ED_EV_DESTROYED, 0, 0, 0, 0});
  hold.lock();
  hl.open = false;
  hl.destroying = false;
  hl.changed.notify_all();
}

static bool hl_open_window(const EdWindowSpec& spec) {
  std::unique_lock<std::mutex> hold(hl.mutex);
  // A window whose end the editor has seen may still be winding down.
  hl.changed.wait(hold, [] { return !hl.open || !hl.destroying; });
  if (hl.fail || hl.open) return false;
  hl.open = true;
  hl.proc = spec.proc;
  hl.caption = spec.caption;
  hl.items.assign(spec.items, spec.items + spec.item_count);
  ec_set_text(hl.ctl, "");
  // Each window starts with no answers left from an earlier one.
  hl.passed = 0;
  hl.asked = 0;
  hl.dialogs.clear();
  hl.questions.clear();
  hl.dialog_caption.clear();
  hl.queue.push_back(EdEvent{ED_EV_OPENED, 0, 0, 0, 0});
  std::thread(hl_thread).detach();
  return true;
}

static void hl_set_title(const char* title) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  hl.caption = title;
}

static void hl_destroy() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  hl.destroying = true;
  hl.changed.notify_all();
}

static void hl_resize(int32_t, int32_t) {}

static void hl_get_text(std::string& out) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  out = hl.ctl.text;
}

static void hl_set_text(std::string_view text) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  ec_set_text(hl.ctl, text);
}

static void hl_get_selection(int32_t* start, int32_t* end) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  *start = hl.ctl.sel_start;
  *end = hl.ctl.sel_end;
}

static void hl_set_selection(int32_t start, int32_t end) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  ec_set_selection(hl.ctl, start, end);
}

static void hl_clear() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  ec_clear(hl.ctl);
}

static void hl_cut() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  ec_cut(hl.ctl);
}

static void hl_copy() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  ec_copy(hl.ctl);
}

static void hl_paste() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  ec_paste(hl.ctl);
}

static void hl_select_all() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  ec_select_all(hl.ctl);
}

static bool hl_dialog(const char* caption, EdDialogResult* io) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  hl.dialog_caption = caption;
  if (hl.dialogs.empty()) return false;
  Answer a = hl.dialogs.front();
  hl.dialogs.pop_front();
  if (!a.ok) return false;
  io->too_long = a.path.size() >= sizeof io->path;
  std::snprintf(io->path, sizeof io->path, "%s", io->too_long ? "" : a.path.c_str());
  std::snprintf(io->name, sizeof io->name, "%s", a.name.c_str());
  return true;
}

static bool hl_ask(const char*, const char*) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  ++hl.asked;
  if (hl.questions.empty()) return false;
  bool yes = hl.questions.front();
  hl.questions.pop_front();
  return yes;
}

static constexpr EditWinBackend HEADLESS = {
    "headless",  hl_open_window,   hl_set_title,     hl_destroy, hl_resize, hl_get_text,
    hl_set_text, hl_get_selection, hl_set_selection, hl_clear,   hl_cut,    hl_copy,
    hl_paste,    hl_select_all,    hl_dialog,        hl_dialog,  hl_ask,
};

const EditWinBackend* plat_editor_headless_backend() { return &HEADLESS; }

void hl_post(const EdEvent& ev) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  if (!hl.open || hl.destroying) return;
  hl.queue.push_back(ev);
  hl.changed.notify_all();
}

void hl_post_key(int32_t code, bool ctrl) {
  const int32_t held = ctrl ? 1 : 0;
  if (ctrl) hl_post(EdEvent{ED_EV_KEY_DOWN, ED_KEY_CONTROL, 0, 0, 0});
  hl_post(EdEvent{ED_EV_KEY_DOWN, code, 0, 0, held});
  hl_post(EdEvent{ED_EV_KEY_UP, code, 0, 0, held});
  if (ctrl) hl_post(EdEvent{ED_EV_KEY_UP, ED_KEY_CONTROL, 0, 0, 1});
}

void hl_post_command(int32_t id) { hl_post(EdEvent{ED_EV_COMMAND, id, 0, 0, 0}); }

void hl_wait_idle() {
  std::unique_lock<std::mutex> hold(hl.mutex);
  hl.changed.wait(hold, [] { return !hl.open || (hl.queue.empty() && !hl.busy); });
}

void hl_wait_closed() {
  std::unique_lock<std::mutex> hold(hl.mutex);
  hl.changed.wait(hold, [] { return !hl.open; });
}

bool hl_is_open() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  return hl.open;
}

void hl_answer_dialog(bool ok, const char* path, const char* name) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  hl.dialogs.push_back(Answer{ok, path, name});
}

void hl_answer_question(bool yes) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  hl.questions.push_back(yes);
}

std::string hl_text() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  return hl.ctl.text;
}

std::string hl_title() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  return hl.caption;
}

std::string hl_last_dialog_caption() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  return hl.dialog_caption;
}

int32_t hl_questions_asked() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  return hl.asked;
}

int32_t hl_keys_passed() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  return hl.passed;
}

void hl_type(const char* text) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  ec_type(hl.ctl, text);
}

void hl_select(int32_t start, int32_t end) { hl_set_selection(start, end); }

void hl_selection(int32_t* start, int32_t* end) { hl_get_selection(start, end); }

int32_t hl_item_count() {
  std::lock_guard<std::mutex> hold(hl.mutex);
  return static_cast<int32_t>(hl.items.size());
}

EdMenuItem hl_item(int32_t i) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  return hl.items.at(static_cast<size_t>(i));
}

void hl_fail_open(bool fail) {
  std::lock_guard<std::mutex> hold(hl.mutex);
  hl.fail = fail;
}

}  // namespace ondrel
