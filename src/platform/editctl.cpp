// editctl.cpp - the in-memory edit control.
#include "platform/editctl.h"

#include <algorithm>

namespace ondrel {

static int32_t ec_clamp(const EditCtl& c, int32_t at) {
  return std::clamp<int32_t>(at, 0, static_cast<int32_t>(c.text.size()));
}

void ec_set_text(EditCtl& c, std::string_view text) {
  c.text = text;
  c.sel_start = c.sel_end = 0;
}

void ec_set_selection(EditCtl& c, int32_t start, int32_t end) {
  // A negative end selects to the end of the text, as the window control does.
  if (end < 0) end = static_cast<int32_t>(c.text.size());
  start = ec_clamp(c, start);
  end = ec_clamp(c, end);
  c.sel_start = std::min(start, end);
  c.sel_end = std::max(start, end);
}

void ec_clear(EditCtl& c) {
  c.text.erase(static_cast<size_t>(c.sel_start), static_cast<size_t>(c.sel_end - c.sel_start));
  c.sel_end = c.sel_start;
}

void ec_copy(const EditCtl& c) {
  // An empty selection leaves the clipboard as it was.
  if (c.sel_end > c.sel_start)
    ec_clipboard =
        c.text.substr(static_cast<size_t>(c.sel_start), static_cast<size_t>(c.sel_end - c.sel_start));
}

void ec_cut(EditCtl& c) {
  if (c.sel_end == c.sel_start) return;
  ec_copy(c);
  ec_clear(c);
}

void ec_paste(EditCtl& c) { ec_type(c, ec_clipboard.c_str()); }

void ec_select_all(EditCtl& c) { ec_set_selection(c, 0, -1); }

int32_t ec_open_brackets(std::string_view text) {
  int32_t depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    switch (text[i]) {
      case '(': ++depth; break;
      case ')':
        if (depth > 0) --depth;
        break;
      case ';':  // a comment, to the end of its line
        while (i + 1 < text.size() && text[i + 1] != '\n') ++i;
        break;
      case '"':  // a string, its escaped characters included
        for (++i; i < text.size() && text[i] != '"'; ++i)
          if (text[i] == '\\') ++i;
        break;
      case '#':  // #\x names the character x, whatever it is
        if (i + 2 < text.size() && text[i + 1] == '\\') i += 2;
        break;
      default: break;
    }
  }
  return depth;
}

void ec_type(EditCtl& c, const char* text) {
  ec_clear(c);
  std::string t = text;
  c.text.insert(static_cast<size_t>(c.sel_start), t);
  c.sel_start = c.sel_end = c.sel_start + static_cast<int32_t>(t.size());
}

}  // namespace ondrel
