// editwin.h - the operations an editor window backend supplies and the
// events it delivers to the editor.
//
// The backend owns a UI thread.  open() starts it, creates the window there
// and reports whether that worked.  From then on every event reaches the
// editor through one call of its window procedure on that UI thread, and
// the editor calls the operations below only from inside that procedure.
// Texts (caption, labels, the edit text) are Shift-JIS bytes; the edit text
// holds its line ends as CR LF.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ondrel {

// Byte sizes of the editor's name buffers (file name, path, title).
constexpr int32_t ED_NAME_BUF = 256;

// Key codes, numbered like the Windows virtual keys: letters are their
// upper-case ASCII codes; the Ctrl key is a key of its own.
constexpr int32_t ED_KEY_CONTROL = 0x11;
constexpr int32_t ED_KEY_ESCAPE = 0x1B;

enum EdEventKind : int32_t {
  ED_EV_OPENED = 0,     // first event, right after the window was created
  ED_EV_KEY_DOWN = 1,   // code: key code
  ED_EV_KEY_UP = 2,     // code: key code
  ED_EV_COMMAND = 3,    // code: menu item identifier
  ED_EV_CLOSE = 4,      // the user asks to close the window
  ED_EV_RESIZE = 5,     // width, height: the new client area
  ED_EV_DESTROYED = 6,  // last event: the window is gone, the UI thread ends
};

struct EdEvent {
  EdEventKind kind;
  int32_t code;
  int32_t width;
  int32_t height;
  // Key events: 1 when the Ctrl key was held as the key went down or up,
  // as the key event itself tells (a Ctrl release taken by a dialog never
  // leaves it set).
  int32_t ctrl;
};

// The editor's window procedure.  For a key event, true means the editor
// used the key and it must not reach the edit control; otherwise the
// backend passes it on.  The result of other events is ignored.
using EdWindowProc = bool (*)(const EdEvent& ev);

// Which menu an item belongs to; ED_MENU_BAR items open the popup menu
// whose items precede them.
enum EdMenu : int32_t { ED_MENU_FILE = 0, ED_MENU_EDIT = 1, ED_MENU_SCHEME = 2, ED_MENU_BAR = 3 };

struct EdMenuItem {
  int32_t id;  // identifier, also the insertion position
  EdMenu menu;
  const char* label;  // null for a separator
};

struct EdWindowSpec {
  const char* caption;
  const EdMenuItem* items;  // in creation order
  int32_t item_count;
  int32_t x, y;                         // window position: 200, 200
  int32_t client_width, client_height;  // 320, 248
  EdWindowProc proc;
};

// The file dialogs' filter: "Scheme ソースファイル(*.sc)" with the pattern
// "*.sc"; names chosen without an extension get ED_DIALOG_EXT.
constexpr const char* ED_DIALOG_FILTER_NAME =
    "Scheme \x83\x5c\x81\x5b\x83\x58\x83\x74\x83\x40\x83\x43\x83\x8b(*.sc)";
constexpr const char* ED_DIALOG_PATTERN = "*.sc";
constexpr const char* ED_DIALOG_EXT = "sc";

// What a file dialog returns: the full path and the name without directory
// (both zero-terminated).  `path` also carries the previous choice into
// the next dialog.  A chosen path that does not fit its buffer is never
// shortened into another file's name: `too_long` is set, `path` is empty
// and `name` holds as much of the name as fits (for the message).
struct EdDialogResult {
  char path[ED_NAME_BUF];
  char name[ED_NAME_BUF];
  bool too_long;
};

struct EditWinBackend {
  const char* name;
  // Start the UI thread and create the window there; false when it cannot
  // be created (nothing is left running then).
  bool (*open)(const EdWindowSpec& spec);
  void (*set_title)(const char* title);
  // Destroy the window; ED_EV_DESTROYED follows once the procedure returns.
  void (*destroy)();
  // The edit control, filling the client area.
  void (*resize_control)(int32_t width, int32_t height);
  void (*get_text)(std::string& out);
  void (*set_text)(std::string_view text);              // every byte, NUL included
  void (*get_selection)(int32_t* start, int32_t* end);  // byte offsets
  void (*set_selection)(int32_t start, int32_t end);
  void (*clear)();  // delete the selection
  void (*cut)();
  void (*copy)();
  void (*paste)();
  void (*select_all)();
  // Modal file dialogs starting in the current directory (or at the
  // previous choice), Enter accepting the name typed, requiring an existing
  // file (open) or asking before an existing file is replaced, the name
  // with its default extension added (save); false when cancelled.
  bool (*open_dialog)(const char* caption, EdDialogResult* io);
  bool (*save_dialog)(const char* caption, EdDialogResult* io);
  // A modal yes/no question; true for yes.
  bool (*ask_yes_no)(const char* caption, const char* question);
};

// The headless backend (tests; see editwin_headless.h).
const EditWinBackend* plat_editor_headless_backend();
// The desktop editor backend when the build has one and a display can be
// reached, else null.
const EditWinBackend* plat_editor_desktop_backend();

}  // namespace ondrel
