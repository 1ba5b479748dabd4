// editor.h - the source editor window: its state, commands, file loading
// and saving, and the `editor` primitive that opens it.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/edeval.h"  // ed_evaluation_running, ed_start_evaluation
#include "memory/value.h"
#include "platform/editwin.h"

namespace ondrel {

// Command numbers: the menu item identifiers, given in creation order.
enum EdCommand : int32_t {
  ED_CMD_NEW = 0,
  ED_CMD_OPEN = 1,
  ED_CMD_SAVE = 2,
  ED_CMD_SAVE_AS = 3,
  ED_CMD_QUIT = 5,
  ED_CMD_FILE_MENU = 6,
  ED_CMD_DELETE = 7,
  ED_CMD_CUT = 8,
  ED_CMD_COPY = 9,
  ED_CMD_PASTE = 10,
  ED_CMD_SELECT_ALL = 12,
  ED_CMD_EDIT_MENU = 13,
  ED_CMD_EVALUATE = 14,
  ED_CMD_SCHEME_MENU = 15,
};

constexpr int32_t ED_ITEMS = 16;
constexpr int32_t ED_SHORTCUTS = 10;
// The longest symbol name whose file name (name and ".sc") fits a name buffer.
constexpr size_t ED_SYMBOL_MAX = ED_NAME_BUF - 4;

struct EdShortcut {
  uint8_t ctrl;
  uint16_t key;
  uint16_t command;
};

struct EditorState {
  std::atomic<int32_t> open{0};  // set by `editor`, cleared when the window is gone
  const EditWinBackend* backend = nullptr;
  char file_name[ED_NAME_BUF];
  char file_path[ED_NAME_BUF];
  char title[ED_NAME_BUF];
  int32_t commands[ED_ITEMS];
  int32_t item_counter = 0;
  EdShortcut shortcuts[ED_SHORTCUTS];
  int32_t nshortcuts = 0;
  int32_t ctrl = 0;
  EdDialogResult dialog{};
  std::string baseline;  // the text as last loaded or saved
  // Handed over by `editor` from the interpreter thread.
  bool has_symbol = false;
  std::string symbol;  // the argument symbol's name
  bool has_definition = false;
  std::string definition;  // "(define NAME EXPR)" in written form
};

// Never destroyed: the UI thread may still handle the window's last events
// while the process exits.
inline EditorState& ed = *new EditorState{};

// The `editor` primitive (zero or one argument), and its registration.
Value ed_editor(Value args);
void ed_register();
// The backend `editor` uses: the headless one when ONDREL_EDITOR=headless,
// else the desktop one when a display can be reached, else null.
const EditWinBackend* ed_pick_backend();

// Load the file at path into text with CR LF line ends; false when it
// cannot be read.
bool ed_read_file(const char* path, std::string& text);
// Replace the file at path with bytes, through a new temporary file
// renamed over it; the file keeps its mode and owner.  With through_links
// a symbolic link at path is followed to the file it names; without, a
// link there is replaced itself.  False, and the file untouched, when the
// path does not fit a name buffer, the file is not a regular one, the user
// may not write it, or anything fails on the way.
bool ed_replace_file(const char* path, std::string_view bytes, bool through_links);
// Save text to path as ed_replace_file does, without its carriage returns.
bool ed_write_file(const char* path, const std::string& text, bool through_links = true);
// The definition display's layout of a one-line text (CR LF line ends).
std::string ed_indent(const std::string& text);
// The editor's window procedure (the backend's UI thread).
bool ed_window_proc(const EdEvent& ev);

}  // namespace ondrel
