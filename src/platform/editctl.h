// editctl.h - a multi-line edit control held in memory: CR LF text, a
// selection and the clipboard operations.  The headless editor backend
// uses it in place of a window's edit control.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ondrel {

struct EditCtl {
  std::string text;       // line ends as CR LF
  int32_t sel_start = 0;  // byte offsets, sel_start <= sel_end
  int32_t sel_end = 0;
};

// The process clipboard shared by every control.
inline std::string ec_clipboard;

void ec_set_text(EditCtl& c, std::string_view text);  // selection to the start
// Select [start, end), clamped to the text and put in order.
void ec_set_selection(EditCtl& c, int32_t start, int32_t end);
void ec_clear(EditCtl& c);  // delete the selection; caret where it began
void ec_copy(const EditCtl& c);
void ec_cut(EditCtl& c);
void ec_paste(EditCtl& c);  // replace the selection with the clipboard
void ec_select_all(EditCtl& c);
// Type the text at the selection (tests stand for the user with it).
void ec_type(EditCtl& c, const char* text);

// How many brackets are open at the end of the Scheme text (UTF-8, as a
// toolkit holds it, where no byte of a wide character looks like ASCII
// punctuation, as a Shift-JIS trail byte may): a new line
// typed there is indented by EC_INDENT spaces for each.  Brackets in
// strings, character literals (#\( ) and comments do not count, nor does a
// ")" with no "(" open.
int32_t ec_open_brackets(std::string_view text);
constexpr int32_t EC_INDENT = 3;  // as the definition display indents

}  // namespace ondrel
