// gfxprims.cpp - graphics window primitives: open, close, clearing,
// points, lines, boxes, circles, colours, line width, queries, snapshots
// and the help text.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "eval/registry.h"
#include "graphics/gfx.h"
#include "graphics/gfxtext.h"
#include "memory/error.h"
#include "memory/memory.h"

namespace ondrel {

static constexpr char OUT_OF_WINDOW[] = "Out of window : 640x400\n";
static constexpr char OUT_OF_WINDOW_BLANK[] = "Out of window : 640x400 \n";  // pset's wording
static constexpr char OUT_OF_RANGE_WIDTH[] = "Out of range : line-width(0-10) \n";

// A proper argument list cannot be longer than the heap has cells; one
// that is, is circular.
static constexpr uint32_t LIST_LIMIT = HEAP_CELLS;

void gfx_collect_ints(Value args, int n, int32_t* out) {
  Value a = args;
  for (int i = 0; i < n; ++i, a = cdr(a))
    if (!is(a, PAIR)) mem_error(E_NOT_ENOUGH);
  gfx_ensure_open();
  uint32_t count = 0;
  for (a = args; is(a, PAIR); a = cdr(a), ++count) {
    if (count >= LIST_LIMIT) mem_error(E_TOO_MANY);
    Value v = car(a);
    if (!is(v, INTEGER)) mem_error(E_NEED_NUMBER);
    if (count < uint32_t(n)) out[count] = int_value(v);
  }
  if (count > uint32_t(n)) mem_error(E_TOO_MANY);
}

// Primitives taking no argument refuse any before doing anything.
static void no_arguments(Value args) {
  if (is(args, PAIR)) mem_error(E_TOO_MANY);
}

static bool in_area(int32_t x, int32_t y) { return x >= 0 && x <= GFX_AREA_W && y >= 0 && y <= GFX_AREA_H; }

static int32_t to_coord(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Every figure ends so: the turtle back on top, the window shown.
static void finish_figure() {
  gfx_redraw_turtle();
  gfx_present();
}

static void point(Value args, bool foreground, const char* refusal) {
  int32_t v[2] = {};
  gfx_collect_ints(args, 2, v);
  if (!in_area(v[0], v[1])) {
    gfx_message(refusal);
    return;
  }
  uint32_t c = foreground ? gfx.fg : gfx.bg;
  ras_set_pixel(gfx.canvas, v[0], v[1], c);
  ras_set_pixel(gfx.screen, v[0], v[1], c);
  finish_figure();
}

static void box(Value args, bool filled) {
  int32_t v[4] = {};
  gfx_collect_ints(args, 4, v);
  // Only these four tests: the first corner from below, the second from above.
  if (v[0] < 0 || v[2] > GFX_AREA_W || v[1] < 0 || v[3] > GFX_AREA_H) {
    gfx_message(OUT_OF_WINDOW);
    return;
  }
  int32_t l = std::min(v[0], v[2]), r = std::max(v[0], v[2]);
  int32_t t = std::min(v[1], v[3]), b = std::max(v[1], v[3]);
  gfx_select_pen(gfx.line_width, gfx.fg, filled ? int64_t(gfx.fg) : GFX_HOLLOW);
  gfx_draw_rectangle(gfx.canvas, l, t, r, b);
  gfx_draw_rectangle(gfx.screen, l, t, r, b);
  gfx_select_drawing_pen();
  finish_figure();
}

static void circle(Value args, bool filled) {
  int32_t v[3] = {};
  gfx_collect_ints(args, 3, v);
  int64_t x = v[0], y = v[1], r = v[2];
  int32_t l = to_coord(x - r), t = to_coord(y - r), rr = to_coord(x + r), b = to_coord(y + r);
  gfx_select_pen(gfx.line_width, gfx.fg, filled ? int64_t(gfx.fg) : GFX_HOLLOW);
  gfx_draw_ellipse(gfx.canvas, l, t, rr, b);
  gfx_draw_ellipse(gfx.screen, l, t, rr, b);
  gfx_select_drawing_pen();
  finish_figure();
}

/* --------------------------------------------------------- the primitives */

Value gfx_cls(Value args) {
  no_arguments(args);
  gfx_ensure_open();
  gfx_select_pen(1, gfx.bg, gfx.bg);
  gfx_draw_rectangle(gfx.canvas, 0, 0, GFX_AREA_W, GFX_AREA_H);
  gfx_select_drawing_pen();
  gfx_copy_canvas_to_screen();
  if (gfx_turtle.home_north) gfx_turtle.home_north();
  gfx_present();
  return NIL;
}

Value gfx_pset(Value args) {
  point(args, true, OUT_OF_WINDOW_BLANK);
  return NIL;
}

Value gfx_preset(Value args) {
  point(args, false, OUT_OF_WINDOW);
  return NIL;
}

Value gfx_line(Value args) {
  int32_t v[4] = {};
  gfx_collect_ints(args, 4, v);
  if (!in_area(v[0], v[1]) || !in_area(v[2], v[3])) {
    gfx_message(OUT_OF_WINDOW);
    return NIL;
  }
  gfx_select_drawing_pen();
  gfx_draw_line(gfx.canvas, v[0], v[1], v[2], v[3]);
  gfx_draw_line(gfx.screen, v[0], v[1], v[2], v[3]);
  finish_figure();
  return NIL;
}

Value gfx_box(Value args) {
  box(args, false);
  return NIL;
}

Value gfx_boxf(Value args) {
  box(args, true);
  return NIL;
}

Value gfx_circle(Value args) {
  circle(args, false);
  return NIL;
}

Value gfx_circlef(Value args) {
  circle(args, true);
  return NIL;
}

Value gfx_color(Value args) {
  int32_t v[2] = {};
  gfx_collect_ints(args, 2, v);
  // Indices name palette entries; others are refused before anything changes.
  if (v[0] < 0 || v[0] >= GFX_PALETTE_SIZE || v[1] < 0 || v[1] >= GFX_PALETTE_SIZE) mem_error(E_OUT_OF_RANGE);
  gfx_set_color(v[0], v[1]);
  return NIL;
}

Value gfx_width(Value args) {
  int32_t v[1] = {};
  gfx_collect_ints(args, 1, v);
  if (v[0] < 0 || v[0] > 10) {
    gfx_message(OUT_OF_RANGE_WIDTH);
    return NIL;
  }
  gfx_set_width(v[0]);
  return NIL;
}

Value gfx_info_width(Value) { return mem_make_integer(gfx.open ? gfx.line_width : -1); }

Value gfx_info_color(Value) {
  if (!gfx.open) return NIL;
  Value bg = mem_make_integer(gfx.bg_index);
  Protect keep(bg);
  Value tail = mem_cons(bg, NIL);
  Protect keep_tail(tail);
  Value fg = mem_make_integer(gfx.fg_index);
  return mem_cons(fg, tail);
}

Value gfx_snapshot(Value args) {
  if (!gfx.open) {
    gfx_message(GFX_NOT_SHOWN);
    return NIL;
  }
  const char* given = "./SS.bmp";
  if (is(args, PAIR)) {
    Value a = car(args);
    if (is(a, SYMBOL))
      given = sym_name(a);
    else if (is(a, STRING))
      given = str_bytes(a);
  }
  char name[GFX_NAME_BUF];
  bool fits = gfx_snapshot_name(given, name);
  std::string report;
  if (!fits) {
    // Too long for the name buffer: reported whole, as it would have been named.
    size_t n = std::strlen(given);
    bool has_ext = n >= 4 && std::strcmp(given + n - 4, ".bmp") == 0;
    report = std::string("Can't open ") + given + (has_ext ? "" : ".bmp") + "\n";
  } else if (!gfx_write_bmp(gfx.screen, name)) {
    report = std::string("Can't open ") + name + "\n";
  } else {
    report = std::string(name) + " saved\n";
  }
  gfx_message(report.c_str());
  return NIL;
}

Value gfx_help_basic(Value args) {
  no_arguments(args);
  for (const char* line : GFX_HELP_BASIC) gfx_message(line);
  return NIL;
}

// In registration order.
static constexpr PrimDef GFX_PRIMS[] = {
    {"open", K_ONE, gfx_open_window},
    {"close", K_ONE, gfx_close_window},
    {"cls", K_ONE, gfx_cls},
    {"pset", K_ONE, gfx_pset},
    {"preset", K_ONE, gfx_preset},
    {"line", K_ONE, gfx_line},
    {"box", K_ONE, gfx_box},
    {"boxf", K_ONE, gfx_boxf},
    {"circle", K_ONE, gfx_circle},
    {"circlef", K_ONE, gfx_circlef},
    {"color", K_ONE, gfx_color},
    {"width", K_ONE, gfx_width},
    {"info-width", K_NONE, gfx_info_width},
    {"info-color", K_NONE, gfx_info_color},
    {"snapshot", K_OPT1, gfx_snapshot},
    {"help-basic", K_ONE, gfx_help_basic},
};

void gfx_register() { ev_register_table(GFX_PRIMS); }

}  // namespace ondrel
