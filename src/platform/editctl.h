// editctl.h - a multi-line edit control held in memory: CR LF text, a
// selection and the clipboard operations.  The headless editor backend
// uses it in place of a window's edit control.
#pragma once
#include <cstdint>
#include <string>

namespace ondrel {

struct EditCtl {
  std::string text;       // line ends as CR LF
  int32_t sel_start = 0;  // byte offsets, sel_start <= sel_end
  int32_t sel_end = 0;
};

// The process clipboard shared by every control.
inline std::string ec_clipboard;

void ec_set_text(EditCtl& c, const char* text);  // selection to the start
// Select [start, end), clamped to the text and put in order.
void ec_set_selection(EditCtl& c, int32_t start, int32_t end);
void ec_clear(EditCtl& c);  // delete the selection; caret where it began
void ec_copy(const EditCtl& c);
void ec_cut(EditCtl& c);
void ec_paste(EditCtl& c);  // replace the selection with the clipboard
void ec_select_all(EditCtl& c);
// Type the text at the selection (tests stand for the user with it).
void ec_type(EditCtl& c, const char* text);

}  // namespace ondrel
