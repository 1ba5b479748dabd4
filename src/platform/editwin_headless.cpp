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

namespace {

struct Answer {
  bool ok;
  std::string path, name;
};

// Everything below is guarded by hl_mutex; the window procedure runs with
// it released, so that the operations it calls can take it.
std::mutex hl_mutex;
std::condition_variable hl_changed;
std::deque<EdEvent> hl_queue;
bool hl_busy = false;  // an event is being handled
bool hl_open = false;
bool hl_destroying = false;
bool hl_fail = false;
EdWindowProc hl_proc = nullptr;
EditCtl hl_ctl;
std::string hl_caption;
std::string hl_dialog_caption;
std::vector<EdMenuItem> hl_items;
std::deque<Answer> hl_dialogs;
std::deque<bool> hl_questions;
int32_t hl_asked = 0;
int32_t hl_passed = 0;

void hl_thread() {
  std::unique_lock<std::mutex> hold(hl_mutex);
  for (;;) {
    hl_changed.wait(hold, [] { return !hl_queue.empty() || hl_destroying; });
    if (hl_destroying) break;
    EdEvent ev = hl_queue.front();
    hl_queue.pop_front();
    hl_busy = true;
    hold.unlock();
    bool used = hl_proc(ev);
    hold.lock();
    if (ev.kind == ED_EV_KEY_DOWN && !used) ++hl_passed;
    hl_busy = false;
    hl_changed.notify_all();
  }
  hl_queue.clear();
  hold.unlock();
  hl_proc(EdEvent{ED_EV_DESTROYED, 0, 0, 0});
  hold.lock();
  hl_open = false;
  hl_destroying = false;
  hl_changed.notify_all();
}

bool hl_open_window(const EdWindowSpec& spec) {
  std::unique_lock<std::mutex> hold(hl_mutex);
  // A window whose end the editor has seen may still be winding down.
  hl_changed.wait(hold, [] { return !hl_open || !hl_destroying; });
  if (hl_fail || hl_open) return false;
  hl_open = true;
  hl_proc = spec.proc;
  hl_caption = spec.caption;
  hl_items.assign(spec.items, spec.items + spec.item_count);
  ec_set_text(hl_ctl, "");
  hl_passed = 0;
  hl_queue.push_back(EdEvent{ED_EV_OPENED, 0, 0, 0});
  std::thread(hl_thread).detach();
  return true;
}

void hl_set_title(const char* title) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  hl_caption = title;
}

void hl_destroy() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  hl_destroying = true;
  hl_changed.notify_all();
}

void hl_resize(int32_t, int32_t) {}

void hl_get_text(std::string& out) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  out = hl_ctl.text;
}

void hl_set_text(const char* text) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  ec_set_text(hl_ctl, text);
}

void hl_get_selection(int32_t* start, int32_t* end) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  *start = hl_ctl.sel_start;
  *end = hl_ctl.sel_end;
}

void hl_set_selection(int32_t start, int32_t end) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  ec_set_selection(hl_ctl, start, end);
}

void hl_clear() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  ec_clear(hl_ctl);
}

void hl_cut() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  ec_cut(hl_ctl);
}

void hl_copy() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  ec_copy(hl_ctl);
}

void hl_paste() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  ec_paste(hl_ctl);
}

void hl_select_all() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  ec_select_all(hl_ctl);
}

bool hl_dialog(const char* caption, EdDialogResult* io) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  hl_dialog_caption = caption;
  if (hl_dialogs.empty()) return false;
  Answer a = hl_dialogs.front();
  hl_dialogs.pop_front();
  if (!a.ok) return false;
  std::snprintf(io->path, sizeof io->path, "%s", a.path.c_str());
  std::snprintf(io->name, sizeof io->name, "%s", a.name.c_str());
  return true;
}

bool hl_ask(const char*, const char*) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  ++hl_asked;
  if (hl_questions.empty()) return false;
  bool yes = hl_questions.front();
  hl_questions.pop_front();
  return yes;
}

constexpr EditWinBackend HEADLESS = {
    "headless",  hl_open_window,   hl_set_title,     hl_destroy, hl_resize, hl_get_text,
    hl_set_text, hl_get_selection, hl_set_selection, hl_clear,   hl_cut,    hl_copy,
    hl_paste,    hl_select_all,    hl_dialog,        hl_dialog,  hl_ask,
};

}  // namespace

const EditWinBackend* plat_editor_headless_backend() { return &HEADLESS; }


void hl_post(const EdEvent& ev) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  if (!hl_open || hl_destroying) return;
  hl_queue.push_back(ev);
  hl_changed.notify_all();
}

void hl_post_key(int32_t code, bool ctrl) {
  if (ctrl) hl_post(EdEvent{ED_EV_KEY_DOWN, ED_KEY_CONTROL, 0, 0});
  hl_post(EdEvent{ED_EV_KEY_DOWN, code, 0, 0});
  hl_post(EdEvent{ED_EV_KEY_UP, code, 0, 0});
  if (ctrl) hl_post(EdEvent{ED_EV_KEY_UP, ED_KEY_CONTROL, 0, 0});
}

void hl_post_command(int32_t id) { hl_post(EdEvent{ED_EV_COMMAND, id, 0, 0}); }

void hl_wait_idle() {
  std::unique_lock<std::mutex> hold(hl_mutex);
  hl_changed.wait(hold, [] { return !hl_open || (hl_queue.empty() && !hl_busy); });
}

void hl_wait_closed() {
  std::unique_lock<std::mutex> hold(hl_mutex);
  hl_changed.wait(hold, [] { return !hl_open; });
}

bool hl_is_open() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  return hl_open;
}

void hl_answer_dialog(bool ok, const char* path, const char* name) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  hl_dialogs.push_back(Answer{ok, path, name});
}

void hl_answer_question(bool yes) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  hl_questions.push_back(yes);
}

std::string hl_text() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  return hl_ctl.text;
}

std::string hl_title() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  return hl_caption;
}

std::string hl_last_dialog_caption() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  return hl_dialog_caption;
}

int32_t hl_questions_asked() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  return hl_asked;
}

int32_t hl_keys_passed() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  return hl_passed;
}

void hl_type(const char* text) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  ec_type(hl_ctl, text);
}

void hl_select(int32_t start, int32_t end) { hl_set_selection(start, end); }

void hl_selection(int32_t* start, int32_t* end) { hl_get_selection(start, end); }

int32_t hl_item_count() {
  std::lock_guard<std::mutex> hold(hl_mutex);
  return static_cast<int32_t>(hl_items.size());
}

EdMenuItem hl_item(int32_t i) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  return hl_items.at(static_cast<size_t>(i));
}

void hl_fail_open(bool fail) {
  std::lock_guard<std::mutex> hold(hl_mutex);
  hl_fail = fail;
}

}  // namespace ondrel
