// gfx.cpp - pen, brush and font selection, drawing onto the pictures,
// presenting, and the opening and closing sequences of the window.
#include "graphics/gfx.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "graphics/gfxtext.h"
#include "memory/error.h"
#include "memory/memory.h"
#include "platform/window.h"
#include "reader/port.h"

namespace ondrel {

/* -------------------------------------------------------------- selection */

void gfx_select_pen(int32_t width, uint32_t color, int64_t brush_color) {
  gfx.brush = brush_color < 0 ? RasBrush{true, 0} : RasBrush{false, uint32_t(brush_color)};
  if (!gfx.pen_made || gfx.pen.width != width || gfx.pen.color != color) {
    gfx.pen = RasPen{width, color};
    gfx.pen_made = true;
    ++gfx.pens_made;
  }
}

void gfx_select_drawing_pen() { gfx_select_pen(gfx.line_width, gfx.fg, gfx.bg); }

void gfx_select_font(int32_t points) {
  if (points <= 0 || points == gfx.font_points) return;
  // 10 points at 96 dpi is 13 pixels, 8 points 11: the two built-in sizes.
  gfx.font = points >= 9 ? RAS_FONT_10 : RAS_FONT_8;
  gfx.font_points = points;
}

/* ---------------------------------------------------------------- drawing */

void gfx_draw_text(Picture& p, const char* text, int32_t x, int32_t y) { ras_text(p, x, y, text, gfx.font); }

void gfx_draw_rectangle(Picture& p, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  ras_rectangle(p, left, top, right, bottom, gfx.pen, gfx.brush);
}

void gfx_draw_ellipse(Picture& p, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  ras_ellipse(p, left, top, right, bottom, gfx.pen, gfx.brush);
}

void gfx_draw_line(Picture& p, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  ras_line(p, x0, y0, x1, y1, gfx.pen);
}

void gfx_draw_number(Picture& p, int32_t n, int32_t x, int32_t y) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", int(n));
  gfx_draw_text(p, text, x, y);
}

void gfx_copy_canvas_to_screen() { ras_copy(gfx.screen, 0, 0, GFX_AREA_W, GFX_AREA_H, gfx.canvas, 0, 0); }

void gfx_present() {
  if (gfx.window) plat_win_present(gfx.screen, gfx.panel);
}

void gfx_redraw_turtle() {
  if (gfx_turtle.redraw) gfx_turtle.redraw();
}

void gfx_message(const char* text) {
  rd_console(text);
  std::fflush(stdout);
}

/* ------------------------- the panel boxes redrawn by "width" and "color" */

void gfx_set_width(int32_t w) {
  gfx.line_width = w;
  gfx_select_pen(1, GFX_PALETTE[GFX_WHITE], GFX_PALETTE[GFX_WHITE]);
  gfx_draw_rectangle(gfx.panel, 1, 18, 59, 64);
  gfx_select_pen(w, GFX_PALETTE[GFX_BLACK], GFX_PALETTE[GFX_BLACK]);
  gfx_draw_line(gfx.panel, 5, 40, 55, 40);
  gfx_select_font(10);
  gfx_draw_number(gfx.panel, w, w <= 9 ? 27 : 24, 45);
  gfx_select_pen(w, gfx.fg, gfx.bg);
  gfx_present();
}

void gfx_set_color(int32_t fg, int32_t bg) {
  gfx.fg_index = fg;
  gfx.fg = gfx.palette[fg];
  gfx.bg_index = bg;
  gfx.bg = gfx.palette[bg];
  gfx_select_pen(1, gfx.bg, gfx.bg);
  gfx_draw_rectangle(gfx.panel, 1, 131, 58, 194);
  gfx_select_font(10);
  gfx_draw_text(gfx.panel, "color", 15, 132);
  gfx_select_pen(1, gfx.fg, gfx.fg);
  gfx_draw_ellipse(gfx.panel, 19, 160, 41, 182);
  gfx_draw_number(gfx.panel, fg, 28, 164);
  gfx_draw_number(gfx.panel, bg, 50, 177);
  gfx_present();
  gfx_select_drawing_pen();
}

/* ---------------------------------------------------- opening and closing */

static void release_pictures() {
  ras_release(gfx.panel);
  ras_release(gfx.screen);
  ras_release(gfx.canvas);
  ras_release(gfx.cursor);
  ras_release(gfx.pen_ind);
  ras_release(gfx.speed_ind);
}

static void make_pictures() {
  // A picture that cannot be made stays released; drawing into it does
  // nothing, so the window goes on with what it has.
  ras_make(gfx.screen, GFX_AREA_W, GFX_AREA_H);
  ras_make(gfx.canvas, GFX_AREA_W, GFX_AREA_H);
  ras_make(gfx.panel, GFX_PANEL_W, GFX_PANEL_H);
  ras_make(gfx.cursor, GFX_CURSOR_MAX, GFX_CURSOR_MAX);
  uint32_t white = GFX_PALETTE[GFX_WHITE], black = GFX_PALETTE[GFX_BLACK];
  gfx_make_mono_picture(gfx.pen_ind, GFX_PEN_IND_W, GFX_PEN_IND_H, GFX_PEN_BITS, GFX_PEN_BITS_SIZE, white,
                        black);
  gfx_make_mono_picture(gfx.speed_ind, GFX_SPEED_IND_W, GFX_SPEED_IND_H, GFX_SPEED_BITS, GFX_SPEED_BITS_SIZE,
                        white, black);
}

// The canvas in the background colour, the white panel with its five
// boxes, fixed labels and left border.
static void draw_initial() {
  gfx_select_pen(1, gfx.bg, gfx.bg);
  gfx_draw_rectangle(gfx.canvas, 0, 0, GFX_AREA_W, GFX_AREA_H);
  gfx_draw_rectangle(gfx.panel, 0, 0, GFX_PANEL_W, GFX_PANEL_H);
  gfx_select_pen(2, gfx.fg, gfx.bg);
  for (int32_t y = 0; y <= 260; y += 65) gfx_draw_rectangle(gfx.panel, 0, y, 70, y + 65);
  gfx_select_font(10);
  gfx_draw_text(gfx.panel, "width", 15, 2);
  gfx_draw_text(gfx.panel, "direction", 5, 67);
  gfx_draw_text(gfx.panel, "pen", 19, 197);
  gfx_draw_text(gfx.panel, "speed", 12, 262);
  gfx_draw_text(gfx.panel, "X = ", 5, 337);
  gfx_draw_text(gfx.panel, "Y = ", 5, 357);
  gfx_select_font(8);
  gfx_draw_text(gfx.panel, "slow", 2, 312);
  gfx_draw_text(gfx.panel, "fast", 41, 312);
  gfx_select_pen(1, GFX_PALETTE[GFX_BLACK], GFX_PALETTE[GFX_BLACK]);
  gfx_draw_line(gfx.panel, 0, 0, 0, GFX_PANEL_H);
}

static void run_hook(void (*hook)()) {
  if (hook) hook();
}

Value gfx_open_window(Value args) {
  if (is(args, PAIR)) mem_error(E_TOO_MANY);
  if (gfx.open == GFX_OPEN) {
    gfx_message(GFX_ALREADY_OPEN);
    return NIL;
  }
  gfx.open = GFX_OPEN;
  for (int32_t i = 0; i < GFX_PALETTE_SIZE; ++i) gfx.palette[i] = GFX_PALETTE[i];
  gfx.bg = GFX_PALETTE[GFX_WHITE];
  gfx.fg = GFX_PALETTE[GFX_BLACK];
  // The handshake: the host creates the window while we wait; the
  // initial picture is complete before the host may repaint.
  plat_win_create("Ondrel", GFX_AREA_W + GFX_PANEL_W, GFX_AREA_H);
  // A desktop window that has not come after ten seconds is given up.
  for (int polls = 0; !plat_win_ready(); ++polls) {
    if (polls == 100) plat_win_fall_back();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  gfx.window = true;
  make_pictures();
  draw_initial();
  run_hook(gfx_turtle.open_speed);
  gfx_copy_canvas_to_screen();
  run_hook(gfx_turtle.open_cursor);
  gfx_set_width(1);
  gfx_set_color(GFX_BLACK, GFX_WHITE);
  run_hook(gfx_turtle.open_pen);
  gfx_present();
  plat_win_release();
  return NIL;
}

void gfx_ensure_open() {
  if (gfx.open != GFX_OPEN) gfx_open_window(NIL);
}

Value gfx_close_window(Value args) {
  if (is(args, PAIR)) mem_error(E_TOO_MANY);
  if (gfx.open == 0) {
    gfx_message(GFX_NO_NEED);
    return NIL;
  }
  run_hook(gfx_turtle.home_north);
  gfx.open = 0;
  gfx.pen_state = 0;
  release_pictures();
  gfx.window = false;
  plat_win_destroy();
  return NIL;
}

}  // namespace ondrel
