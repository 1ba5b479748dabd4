// editor.cpp - the source editor: its menus and shortcuts, the commands of
// its window procedure, loading and saving files, and the definition
// display.  Everything here but ed_editor runs on the backend's UI thread.
#include "editor/editor.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "memory/memory.h"
#include "reader/port.h"
#include "reader/printer.h"

namespace ondrel {

static constexpr const char* ED_CAPTION = "OEditor";
static constexpr const char* ED_TEMP_FILE = "_temporaly.sc";
// 開く
static constexpr const char* ED_OPEN_CAPTION = "\x8a\x4a\x82\xad";
// 名前を付けて保存
static constexpr const char* ED_SAVE_CAPTION =
    "\x96\xbc\x91\x4f\x82\xf0\x95\x74\x82\xaf\x82\xc4\x95\xdb\x91\xb6";
// 変更が保存されていません。破棄しますか?
static constexpr const char* ED_DISCARD_QUESTION =
    "\x95\xcf\x8d\x58\x82\xaa\x95\xdb\x91\xb6\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82"
    "\xf1\x81\x42\x94\x6a\x8a\xfc\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x3f";

// The menu table in creation order; the item counter gives each its
// identifier, which equals its index here.
static constexpr EdMenuItem ED_MENU_TABLE[ED_ITEMS] = {
    {ED_CMD_NEW, ED_MENU_FILE, "\x90\x56\x8b\x4b\x28\x26\x4e\x29\x2e\x2e\x2e"},   // 新規(&N)...
    {ED_CMD_OPEN, ED_MENU_FILE, "\x8a\x4a\x82\xad\x28\x26\x4f\x29\x2e\x2e\x2e"},  // 開く(&O)...
    {ED_CMD_SAVE, ED_MENU_FILE,
     "\x8f\xe3\x8f\x91\x82\xab\x95\xdb\x91\xb6\x28\x26\x53\x29"},  // 上書き保存(&S)
    {ED_CMD_SAVE_AS, ED_MENU_FILE,
     "\x96\xbc\x91\x4f\x82\xf0\x95\x74\x82\xaf\x82\xc4\x95\xdb\x91\xb6\x28\x26\x41\x29\x2e\x2e"
     "\x2e"},  // 名前を付けて保存(&A)...
    {4, ED_MENU_FILE, nullptr},
    {ED_CMD_QUIT, ED_MENU_FILE, "\x8f\x49\x97\xb9\x28\x26\x51\x29"},                      // 終了(&Q)
    {ED_CMD_FILE_MENU, ED_MENU_BAR, "\x83\x74\x83\x40\x83\x43\x83\x8b\x28\x26\x46\x29"},  // ファイル(&F)
    {ED_CMD_DELETE, ED_MENU_EDIT, "\x8d\xed\x8f\x9c\x28\x26\x44\x29"},                    // 削除(&D)
    {ED_CMD_CUT, ED_MENU_EDIT, "\x90\xd8\x82\xe8\x8e\xe6\x82\xe8\x28\x26\x54\x29"},       // 切り取り(&T)
    {ED_CMD_COPY, ED_MENU_EDIT, "\x83\x52\x83\x73\x81\x5b\x28\x26\x43\x29"},              // コピー(&C)
    {ED_CMD_PASTE, ED_MENU_EDIT, "\x93\x5c\x82\xe8\x95\x74\x82\xaf\x28\x26\x50\x29"},     // 貼り付け(&P)
    {11, ED_MENU_EDIT, nullptr},
    {ED_CMD_SELECT_ALL, ED_MENU_EDIT,
     "\x82\xb7\x82\xd7\x82\xc4\x91\x49\x91\xf0\x28\x26\x41\x29"},           // すべて選択(&A)
    {ED_CMD_EDIT_MENU, ED_MENU_BAR, "\x95\xd2\x8f\x57\x28\x26\x45\x29"},    // 編集(&E)
    {ED_CMD_EVALUATE, ED_MENU_SCHEME, "\x8e\xae\x82\xf0\x95\x5d\x89\xbf"},  // 式を評価
    {ED_CMD_SCHEME_MENU, ED_MENU_BAR, "Scheme(&S)"},
};

static constexpr EdShortcut ED_SHORTCUT_TABLE[ED_SHORTCUTS] = {
    {1, 'M', ED_CMD_NEW},      {1, 'O', ED_CMD_OPEN},
    {1, 'S', ED_CMD_SAVE},     {1, 'W', ED_CMD_SAVE_AS},
    {1, 'E', ED_CMD_EVALUATE}, {1, 'D', ED_CMD_DELETE},
    {1, 'Y', ED_CMD_PASTE},    {1, 'A', ED_CMD_SELECT_ALL},
    {1, 'Q', ED_CMD_QUIT},     {0, ED_KEY_ESCAPE, ED_CMD_QUIT},
};

static void ed_say(const std::string& text) {
  rd_console(text.c_str());
  std::fflush(stdout);
}

// Copy text into a name buffer, cut to fit.
static void ed_copy_name(char (&buf)[ED_NAME_BUF], const char* text) {
  size_t n = std::min(std::strlen(text), sizeof buf - 1);
  std::memcpy(buf, text, n);
  buf[n] = '\0';
}

static void ed_set_title() {
  // A name too long for the title leaves the caption cut at the buffer's end.
  std::string t =
      ed.file_name[0] != '\0' ? std::string(ed.file_name) + " - " + ED_CAPTION : std::string(ED_CAPTION);
  ed_copy_name(ed.title, t.c_str());
  ed.backend->set_title(ed.title);
}

static void ed_set_file(const char* name, const char* path) {
  ed_copy_name(ed.file_name, name);
  ed_copy_name(ed.file_path, path);
}

static std::string ed_text() {
  std::string t;
  ed.backend->get_text(t);
  return t;
}

// True when the text may be thrown away: unchanged since it was last
// loaded or saved, or the user agrees.
static bool ed_may_discard() {
  if (ed_text() == ed.baseline) return true;
  return ed.backend->ask_yes_no(ED_CAPTION, ED_DISCARD_QUESTION);
}

static bool ed_load_into_control(const char* path) {
  std::string text;
  if (!ed_read_file(path, text)) return false;
  ed.backend->set_text(text);
  return true;
}

static void ed_cant_open(const char* name) { ed_say(std::string(name) + ": Couldn't open file.\n"); }

// Save to the current file and report it; a failure forgets the file.
static void ed_save_current() {
  std::string text = ed_text();
  if (ed_write_file(ed.file_path, text)) {
    ed_say(std::string(ed.file_name) + " saved.\n");
    ed.baseline = text;
  } else {
    ed_cant_open(ed.file_name);
    ed_set_file("", "");
  }
  ed_set_title();
}

static void ed_cmd_new() {
  if (!ed_may_discard()) return;
  ed.backend->set_text("");
  ed.baseline.clear();
  ed_set_file("", "");
  ed_set_title();
}

static void ed_cmd_open() {
  if (!ed_may_discard()) return;
  if (!ed.backend->open_dialog(ED_OPEN_CAPTION, &ed.dialog)) {
    ed_set_title();
    return;
  }
  if (ed.dialog.name[0] == '\0' || ed.dialog.too_long || !ed_load_into_control(ed.dialog.path)) {
    ed_cant_open(ed.dialog.name);
  } else {
    ed_say(std::string(ed.dialog.name) + " loaded.\n");
    ed_set_file(ed.dialog.name, ed.dialog.path);
    ed.baseline = ed_text();
  }
  ed_set_title();
}

static void ed_cmd_save() {
  if (ed.file_name[0] == '\0') {
    if (!ed.backend->save_dialog(ED_SAVE_CAPTION, &ed.dialog) || ed.dialog.name[0] == '\0') return;
    if (ed.dialog.too_long) {  // refused as a file that cannot be written
      ed_cant_open(ed.dialog.name);
      ed_set_title();
      return;
    }
    ed_set_file(ed.dialog.name, ed.dialog.path);
  }
  ed_save_current();
}

static void ed_cmd_save_as() {
  if (!ed.backend->save_dialog(ED_SAVE_CAPTION, &ed.dialog)) {
    ed_set_title();
    return;
  }
  std::string text = ed_text();
  if (!ed.dialog.too_long && ed_write_file(ed.dialog.path, text)) {
    ed_say(std::string(ed.dialog.name) + " saved.\n");
    ed_set_file(ed.dialog.name, ed.dialog.path);
    ed.baseline = text;
  } else {
    ed_cant_open(ed.dialog.name);
  }
  ed_set_title();
}

static void ed_cmd_quit() {
  if (ed_may_discard()) ed.backend->destroy();
}

static void ed_cmd_delete() {
  int32_t start = 0;
  int32_t end = 0;
  ed.backend->get_selection(&start, &end);
  if (start == end) ed.backend->set_selection(start, start + 1);
  ed.backend->clear();
}

static void ed_cmd_evaluate() {
  // Refused while an evaluation runs, so its file is not rewritten under it.
  if (ed_evaluation_running()) return;
  // A link planted under the temporary file's name is replaced, never
  // written through.
  if (ed_write_file(ED_TEMP_FILE, ed_text(), false)) ed_start_evaluation(ED_TEMP_FILE);
}

static void ed_command(int32_t command) {
  switch (command) {
    case ED_CMD_NEW: ed_cmd_new(); break;
    case ED_CMD_OPEN: ed_cmd_open(); break;
    case ED_CMD_SAVE: ed_cmd_save(); break;
    case ED_CMD_SAVE_AS: ed_cmd_save_as(); break;
    case ED_CMD_QUIT: ed_cmd_quit(); break;
    case ED_CMD_DELETE: ed_cmd_delete(); break;
    case ED_CMD_CUT: ed.backend->cut(); break;
    case ED_CMD_COPY: ed.backend->copy(); break;
    case ED_CMD_PASTE: ed.backend->paste(); break;
    case ED_CMD_SELECT_ALL: ed.backend->select_all(); break;
    case ED_CMD_EVALUATE: ed_cmd_evaluate(); break;
    default: break;
  }
}

// The definition display: the name becomes the file name, the definition's
// text goes through the temporary file into the control, indented.
static void ed_show_definition() {
  std::string name = ed.symbol.substr(0, ED_SYMBOL_MAX) + ".sc";
  ed_set_file(name.c_str(), name.c_str());
  if (!ed.has_definition) return;
  if (!ed_replace_file(ED_TEMP_FILE, ed.definition, false)) return;
  std::string text;
  if (!ed_read_file(ED_TEMP_FILE, text)) return;
  ed.backend->set_text(ed_indent(text));
}

static void ed_opened() {
  if (ed.has_symbol) ed_show_definition();
  ed.baseline = ed_text();
  ed_set_title();
}

static void ed_destroyed() {
  ed.nshortcuts = 0;
  ed.item_counter = 0;
  ed.ctrl = 0;
  ed.open.store(0);
}

// The Ctrl state is taken from every key event, so a Ctrl release that
// went to a dialog or another window cannot leave it set.
static bool ed_key_down(const EdEvent& ev) {
  if (ev.code == ED_KEY_CONTROL) {
    ed.ctrl = 1;
    return false;
  }
  ed.ctrl = ev.ctrl != 0 ? 1 : 0;
  for (int32_t i = 0; i < ed.nshortcuts; ++i) {
    const EdShortcut& s = ed.shortcuts[i];
    if (s.key == ev.code && s.ctrl == ed.ctrl) {
      ed_command(s.command);
      return true;
    }
  }
  return false;
}

// The argument handed to the window: the symbol's name and, when the
// define table has it, the written definition.
static void ed_take_argument(Value args) {
  ed.has_symbol = false;
  ed.has_definition = false;
  ed.symbol.clear();
  ed.definition.clear();
  if (!is(args, PAIR) || !is(car(args), SYMBOL)) return;
  Value s = car(args);
  ed.has_symbol = true;
  ed.symbol = sym_name(s);
  for (int i = 0; i < roots.ndefs; ++i) {
    const DefineEntry& e = roots.defs[i];
    if (e.sym == NIL || e.expr == NIL || !is(e.sym, SYMBOL)) continue;
    if (std::strcmp(sym_name(e.sym), ed.symbol.c_str()) != 0) continue;
    char* buf = nullptr;
    size_t len = 0;
    FILE* out = open_memstream(&buf, &len);
    if (out == nullptr) return;
    std::fprintf(out, "(%s %s ", "define", ed.symbol.c_str());
    rd_print(e.expr, out);
    std::fputs(")", out);
    std::fclose(out);
    ed.definition.assign(buf, len);
    std::free(buf);  // NOLINT(cppcoreguidelines-no-malloc): open_memstream's buffer
    ed.has_definition = true;
    return;
  }
}

bool ed_window_proc(const EdEvent& ev) {
  switch (ev.kind) {
    case ED_EV_OPENED: ed_opened(); return false;
    case ED_EV_KEY_DOWN: return ed_key_down(ev);
    case ED_EV_KEY_UP: ed.ctrl = ev.code == ED_KEY_CONTROL || ev.ctrl == 0 ? 0 : 1; return false;
    case ED_EV_COMMAND: ed_command(ev.code); return false;
    case ED_EV_CLOSE: ed_cmd_quit(); return false;
    case ED_EV_RESIZE: ed.backend->resize_control(ev.width, ev.height); return false;
    case ED_EV_DESTROYED: ed_destroyed(); return false;
  }
  return false;
}

const EditWinBackend* ed_pick_backend() {
  const char* want = std::getenv("ONDREL_EDITOR");
  if (want != nullptr && std::strcmp(want, "headless") == 0) return plat_editor_headless_backend();
  return plat_editor_desktop_backend();
}

Value ed_editor(Value args) {
  int32_t closed = 0;
  if (!ed.open.compare_exchange_strong(closed, 1)) {
    ed_say("Already opened.\n");
    return NIL;
  }
  // Everything the window needs from the heap is copied here, on the
  // interpreter thread, which may collect as soon as `editor` returns.
  ed_take_argument(args);
  ed.file_name[0] = ed.file_path[0] = '\0';
  ed.item_counter = 0;
  for (int32_t& c : ed.commands) c = ed.item_counter++;
  if (ed.nshortcuts == 0)
    for (const EdShortcut& s : ED_SHORTCUT_TABLE) ed.shortcuts[ed.nshortcuts++] = s;
  ed.ctrl = 0;
  ed.baseline.clear();
  ed.backend = ed_pick_backend();
  EdWindowSpec spec{ED_CAPTION, ED_MENU_TABLE, ED_ITEMS, 200, 200, 320, 248, ed_window_proc};
  if (ed.backend == nullptr || !ed.backend->open(spec)) {
    ed_say("Could't create editor window.\n");
    ed.nshortcuts = 0;
    ed.item_counter = 0;
    ed.open.store(0);
  }
  return NIL;
}

}  // namespace ondrel
