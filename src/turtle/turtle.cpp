// turtle.cpp - turtle graphics: the state, moves and turns animated step
// by step, the redraw of the cursor and the panel boxes, the cursors, and
// the turtle primitives.
#include "turtle/turtle.h"

#include <chrono>
#include <thread>

#include "eval/registry.h"
#include "graphics/gfx.h"
#include "memory/error.h"
#include "memory/memory.h"
#include "memory/state.h"
#include "memory/symtab.h"
#include "platform/datadir.h"
#include "turtle/turtletext.h"

namespace ondrel {

const int32_t TUR_SINE[91] = {
    0,       18300,   36595,   54878,   73145,   91389,   109606,  127789,  145934,  164033,  182083,
    200078,  218011,  235878,  253673,  271391,  289027,  306574,  324028,  341383,  358634,  375776,
    392803,  409711,  426494,  443147,  459665,  476044,  492277,  508360,  524288,  540057,  555661,
    571095,  586356,  601438,  616338,  631049,  645568,  659890,  674012,  687928,  701634,  715127,
    728402,  741455,  754282,  766880,  779244,  791370,  803256,  814897,  826289,  837430,  848316,
    858943,  869309,  879410,  889243,  898805,  908093,  917105,  925838,  934288,  942454,  950333,
    957922,  965219,  972223,  978930,  985339,  991448,  997255,  1002758, 1007956, 1012847, 1017429,
    1021701, 1025662, 1029311, 1032646, 1035666, 1038371, 1040760, 1042832, 1044586, 1046022, 1047139,
    1047937, 1048416, 1048576,
};

/* ------------------------------------------------------------- arithmetic */

int64_t tur_scale(int32_t a, int32_t d) {
  return (int64_t(TUR_SINE[a]) * d + (int64_t(1) << (TUR_FIX_SHIFT - 1))) >> TUR_FIX_SHIFT;
}

void tur_offsets(int32_t direction, int32_t d, int64_t& dx, int64_t& dy) {
  int32_t q = direction / 90, a = direction - 90 * q;
  int64_t m = tur_scale(a, d), k = tur_scale(90 - a, d);  // d sin a, d cos a
  switch (q) {
    case 0: dx = m, dy = -k; break;
    case 1: dx = k, dy = m; break;
    case 2: dx = -m, dy = k; break;
    default: dx = -k, dy = -m; break;
  }
}

// Speed 0 animates in steps of about 5 units, short ones in steps of 2.
static int32_t slow_steps(int32_t v, int32_t least_fifths) {
  int32_t n = v / 5 >= least_fifths ? v / 5 : v / 2;
  return n < 1 ? 1 : n;
}

int32_t tur_move_steps(int32_t speed, int32_t d) {
  constexpr int32_t STEPS[TUR_SPEEDS] = {0, 6, 2, 1};
  return speed == 0 ? slow_steps(d, 6) : STEPS[speed];
}

int32_t tur_turn_steps(int32_t speed, int32_t a) {
  constexpr int32_t STEPS[TUR_SPEEDS] = {0, 7, 3, 1};
  return speed == 0 ? slow_steps(a, 7) : STEPS[speed];
}

int32_t tur_turned(int32_t direction, int64_t t, bool right) {
  int64_t d = (right ? direction + t : direction - t) % 360;
  return int32_t(d < 0 ? d + 360 : d);
}

static constexpr char OUT_OF_WINDOW[] = "Out of window : 640x400\n";
static constexpr char NO_CURSOR[] = "Couldn't create cursor data.\n";
static constexpr int32_t SPEED_ROW[TUR_SPEEDS] = {105, 0, 35, 70};  // rows in the speed indicator
static constexpr int32_t SPEED_IMG_H = 35, PEN_IMG_W = 58, PEN_DOWN_X = 56;

static uint32_t white() { return GFX_PALETTE[GFX_WHITE]; }
static uint32_t black() { return GFX_PALETTE[GFX_BLACK]; }

static void no_arguments(Value args) {
  if (is(args, PAIR)) mem_error(E_TOO_MANY);
}

static bool in_area(int64_t x, int64_t y) { return x >= 0 && x <= GFX_AREA_W && y >= 0 && y <= GFX_AREA_H; }

// Waits the delay, a millisecond at a time, so that Ctrl+C ends it at once.
static void delay(int32_t us) {
  using clock = std::chrono::steady_clock;
  const clock::time_point end = clock::now() + std::chrono::microseconds(us);
  for (;;) {
    mem_check_break();
    clock::time_point now = clock::now();
    if (now >= end) return;
    std::this_thread::sleep_for(std::min<clock::duration>(end - now, std::chrono::milliseconds(1)));
  }
}

// The grid is not drawn by the redraws of an animation step; the flag
// comes back even when the step is interrupted.
struct GridHeld {
  bool held;
  GridHeld() : held(tur.grid == TUR_GRID_ON) {
    if (held) tur.grid = TUR_GRID_HELD;
  }
  ~GridHeld() {
    if (held && tur.grid == TUR_GRID_HELD) tur.grid = TUR_GRID_ON;
  }
  GridHeld(const GridHeld&) = delete;
  GridHeld& operator=(const GridHeld&) = delete;
};

static void redraw_held() {
  GridHeld hold;
  tur_redraw();
}

// The built-in image for the current direction.
static void rebuild_turtle_image() {
  const TurImage& img = TUR_IMAGES[tur_image_index(tur.direction)];
  ras_release(gfx.cursor);
  tur.cursor_width = img.width;
  tur.cursor_height = img.height;
  gfx_make_mono_picture(gfx.cursor, img.width, img.height, img.bits, TUR_IMAGE_SLOT, white(), black());
}

static void draw_grid() {
  gfx_select_pen(1, GFX_PALETTE[GFX_SILVER], GFX_PALETTE[GFX_SILVER]);
  for (int32_t y = 0; y <= GFX_AREA_H; y += 50) gfx_draw_line(gfx.screen, 0, y, GFX_AREA_W, y);
  for (int32_t x = 20; x <= 620; x += 50) gfx_draw_line(gfx.screen, x, 0, x, GFX_AREA_H);
}

void tur_redraw() {
  ++tur.redraws;
  // The cursor as last drawn goes, with a pixel of margin.
  int32_t l = tur.cur_left - 1, t = tur.cur_top - 1;
  ras_copy(gfx.screen, l, t, tur.cur_width + 2, tur.cur_height + 2, gfx.canvas, l, t);
  gfx_select_pen(1, white(), white());
  gfx_draw_rectangle(gfx.panel, 1, 81, 59, 129);
  // The needle's end, 20 pixels from the centre of the direction box.
  int64_t nx, ny;
  tur_offsets(tur.direction, 20, nx, ny);
  if (tur.grid == TUR_GRID_ON) draw_grid();
  if (tur.cursor_name == "turtle") rebuild_turtle_image();
  int32_t cw = tur.cursor_width, ch = tur.cursor_height;
  int32_t cl = tur.x - cw / 2, ct = tur.y - ch / 2;
  ras_copy(gfx.screen, cl, ct, cw, ch, gfx.cursor, 0, 0);
  gfx_select_pen(1, black(), GFX_HOLLOW);
  gfx_draw_ellipse(gfx.panel, 10, 85, 50, 125);
  gfx_select_pen(3, black(), black());
  gfx_draw_line(gfx.panel, 30, 105, int32_t(30 + nx), int32_t(105 + ny));
  gfx_select_font(10);
  int32_t dir = tur.direction;
  gfx_draw_number(gfx.panel, dir, dir < 10 ? 28 : dir < 100 ? 24 : 20, 97);
  gfx_select_pen(1, white(), white());
  gfx_draw_rectangle(gfx.panel, 29, 326, 64, 399);
  gfx_draw_number(gfx.panel, tur.x, 30, 337);
  gfx_draw_number(gfx.panel, tur.y, 30, 357);
  gfx_select_pen(2, black(), black());
  gfx_draw_line(gfx.panel, 0, 0, 0, GFX_PANEL_H);
  gfx_select_pen(1, gfx.fg, gfx.bg);
  gfx_present();
  // Remembered before the wait, so that a break during it still lets the
  // next redraw erase this cursor.
  tur.cur_left = cl, tur.cur_top = ct, tur.cur_width = cw, tur.cur_height = ch;
  int32_t us = TUR_DELAY_US[tur.speed];
  if (us != 0) delay(us);
}

/* -------------------------------------------------------- moves and turns */

static void move(int32_t d, bool forward) {
  int32_t n = tur_move_steps(tur.speed, d);
  int32_t x0 = tur.x, y0 = tur.y;
  int64_t dx = 0, dy = 0;
  if (d >= 0) tur_offsets(tur.direction, d, dx, dy);
  if (!forward) dx = -dx, dy = -dy;
  if (d < 0 || !in_area(x0 + dx, y0 + dy)) {
    gfx_message(OUT_OF_WINDOW);
    return;
  }
  for (int32_t i = 1; i <= n; ++i) {
    mem_check_break();
    int32_t px = tur.x, py = tur.y;
    int32_t nx = int32_t(x0 + dx * i / n), ny = int32_t(y0 + dy * i / n);
    if (gfx.pen_state == TUR_PEN_DOWN) {
      gfx_select_pen(gfx.line_width, gfx.fg, gfx.bg);
      gfx_draw_line(gfx.canvas, px, py, nx, ny);
      gfx_copy_canvas_to_screen();
    }
    tur.x = nx, tur.y = ny;
    redraw_held();
    gfx_present();
  }
}

static void turn_step(int32_t t, bool right) {
  mem_check_break();
  tur.direction = tur_turned(tur.direction, t, right);
  redraw_held();
}

static void turn(int32_t a, bool right) {
  int32_t n = tur_turn_steps(tur.speed, a);
  int32_t q = (a / n) * n, t = q / n;
  if (q != 0)
    for (int32_t i = 0; i < n; ++i) turn_step(t, right);
  if (a != q) turn_step(a - q, right);
}

// Argument checks of right, left and rotate: a pair, then the window,
// then an INTEGER first; what follows is ignored.
static int32_t angle_argument(Value args) {
  if (!is(args, PAIR)) mem_error(E_NOT_ENOUGH);
  gfx_ensure_open();
  Value a = car(args);
  if (!is(a, INTEGER)) mem_error(E_NEED_NUMBER);
  return int_value(a);
}

enum Compass { NORTH = 0, EAST = 90, SOUTH = 180, WEST = 270 };

static void face(Compass c) {
  int32_t d = tur.direction;
  switch (c) {
    case NORTH:
      if (d >= 180)
        turn(360 - d, true);
      else
        turn(d, false);
      break;
    case EAST:
      if (d >= 91 && d <= 269)
        turn(d - 90, false);
      else if (d <= 90)
        turn(90 - d, true);
      else
        turn(450 - d, true);
      break;
    case SOUTH:
      if (d >= 181)
        turn(d - 180, false);
      else
        turn(180 - d, true);
      break;
    case WEST:
      if (d >= 90 && d <= 270)
        turn(270 - d, true);
      else if (d < 90)
        turn(d + 90, false);
      else
        turn(d - 270, false);
      break;
  }
  tur.direction = c;
  redraw_held();
}

/* ---------------------------------------------------------- pen and speed */

static void pen_image(int32_t from_x) {
  ras_copy(gfx.panel, 1, 213, PEN_IMG_W, GFX_PEN_IND_H, gfx.pen_ind, from_x, 0);
  gfx_present();
}

static void pen_up() {
  if (gfx.pen_state == TUR_PEN_UP) {
    gfx_message(TUR_PEN_ALREADY_UP);
    return;
  }
  gfx.pen_state = TUR_PEN_UP;
  pen_image(0);
}

static void pen_down() {
  if (gfx.pen_state == TUR_PEN_DOWN) {
    gfx_message(TUR_PEN_ALREADY_DOWN);
    return;
  }
  gfx.pen_state = TUR_PEN_DOWN;
  pen_image(PEN_DOWN_X);
}

static void speed_image() {
  ras_copy(gfx.panel, 1, 278, GFX_SPEED_IND_W, SPEED_IMG_H, gfx.speed_ind, 0, SPEED_ROW[tur.speed]);
  gfx_present();
}

static void faster() {
  if (tur.speed == TUR_SPEEDS - 1) {
    gfx_message(TUR_FASTEST);
    return;
  }
  ++tur.speed;
  speed_image();
}

static void slower() {
  if (tur.speed == 0) {
    gfx_message(TUR_SLOWEST);
    return;
  }
  --tur.speed;
  speed_image();
}

static void go_home() {
  tur.x = TUR_HOME_X, tur.y = TUR_HOME_Y;
  tur_redraw();
}

/* ---------------------------------------------------------------- cursors */

// The built-in turtle for a null name, else the cursor file of that name.
static void choose_cursor(const char* file) {
  ras_release(gfx.cursor);
  bool ok;
  int32_t w = TUR_IMAGES[0].width, h = TUR_IMAGES[0].height;
  if (file) {
    CursorLoad r = gfx_load_cursor_file(gfx.cursor, plat_find_shipped(file).c_str(), white(), black());
    ok = r.ok, w = r.width, h = r.height;
  } else {
    ok = gfx_make_mono_picture(gfx.cursor, w, h, TUR_IMAGES[0].bits, TUR_IMAGE_SLOT, white(), black());
  }
  if (!ok) {
    // The name stays: the built-in turtle is rebuilt by the redraw, a
    // file cursor stays invisible until another is chosen.
    gfx_message(NO_CURSOR);
    tur_redraw();
    return;
  }
  tur.cursor_width = w, tur.cursor_height = h;
  tur.cursor_name = file ? file : "turtle";
  tur_redraw();
}

/* ------------------------------ hooks of the window's opening and closing */

static void open_speed() {
  tur.speed = 1;
  faster();
}

static void open_cursor() {
  choose_cursor(nullptr);
  tur_redraw();
}

static void home_north() {
  go_home();
  face(NORTH);
}

/* --------------------------------------------------------- the primitives */

static Value p_jump(Value args) {
  int32_t v[2] = {};
  gfx_collect_ints(args, 2, v);
  if (!in_area(v[0], v[1])) {
    gfx_message(OUT_OF_WINDOW);
    return NIL;
  }
  tur.x = v[0], tur.y = v[1];
  tur_redraw();
  return NIL;
}

static Value p_home(Value args) {
  no_arguments(args);
  gfx_ensure_open();
  go_home();
  return NIL;
}

static Value p_right(Value args) {
  int32_t a = angle_argument(args);
  turn(a, true);
  return NIL;
}

static Value p_left(Value args) {
  int32_t a = angle_argument(args);
  turn(a, false);
  return NIL;
}

static Value compass(Value args, Compass c) {
  no_arguments(args);
  gfx_ensure_open();
  face(c);
  return NIL;
}

static Value p_north(Value args) { return compass(args, NORTH); }
static Value p_east(Value args) { return compass(args, EAST); }
static Value p_south(Value args) { return compass(args, SOUTH); }
static Value p_west(Value args) { return compass(args, WEST); }

static Value p_forward(Value args) {
  int32_t d = 0;
  gfx_collect_ints(args, 1, &d);
  move(d, true);
  return NIL;
}

static Value p_back(Value args) {
  int32_t d = 0;
  gfx_collect_ints(args, 1, &d);
  move(d, false);
  return NIL;
}

static Value p_r_forward_r(Value args) {
  int32_t v[2] = {};
  gfx_collect_ints(args, 2, v);
  turn(v[1], true);
  move(v[0], true);
  turn(v[1], true);
  return NIL;
}

static Value p_penup(Value args) {
  no_arguments(args);
  gfx_ensure_open();
  pen_up();
  return NIL;
}

static Value p_pendown(Value args) {
  no_arguments(args);
  gfx_ensure_open();
  pen_down();
  return NIL;
}

static Value p_slow(Value args) {
  no_arguments(args);
  gfx_ensure_open();
  slower();
  return NIL;
}

static Value p_fast(Value args) {
  no_arguments(args);
  gfx_ensure_open();
  faster();
  return NIL;
}

static Value p_sc(Value) {
  tur.grid = tur.grid == TUR_GRID_OFF ? TUR_GRID_ON : TUR_GRID_OFF;
  return NIL;
}

static Value p_info_direction(Value) { return mem_make_integer(gfx.open ? tur.direction : -1); }

static Value p_info_pendown(Value) { return boolean(gfx.open && gfx.pen_state == TUR_PEN_DOWN); }

static Value p_info_speed(Value) { return mem_make_integer(gfx.open ? tur.speed : -1); }

static Value p_info_position(Value) {
  if (!gfx.open) return NIL;
  Value y = mem_make_integer(tur.y);
  Protect keep(y);
  Value tail = mem_cons(y, NIL);
  Protect keep_tail(tail);
  Value x = mem_make_integer(tur.x);
  return mem_cons(x, tail);
}

static Value p_help_logo(Value args) {
  no_arguments(args);
  for (const char* line : TUR_HELP_LOGO) gfx_message(line);
  return NIL;
}

static Value p_change_cursor(Value) {
  if (gfx.open) choose_cursor("flower.dat");
  return NIL;
}

static Value p_change_cursor2(Value) {
  if (gfx.open) choose_cursor("arrow.dat");
  return NIL;
}

static Value p_init(Value args) {
  no_arguments(args);
  gfx_ensure_open();
  if (gfx.pen_state != TUR_PEN_DOWN) pen_down();
  tur.speed = 1;
  faster();
  gfx_set_width(1);
  gfx_set_color(GFX_BLACK, GFX_WHITE);
  tur.grid = TUR_GRID_OFF;
  gfx_cls(NIL);
  return NIL;
}

static constexpr PrimDef TUR_PRIMS[] = {
    {"jump", K_ONE, p_jump},
    {"home", K_ONE, p_home},
    {"rotate", K_ONE, p_right},
    {"right", K_ONE, p_right},
    {"left", K_ONE, p_left},
    {"north", K_ONE, p_north},
    {"east", K_ONE, p_east},
    {"south", K_ONE, p_south},
    {"west", K_ONE, p_west},
    {"forward", K_ONE, p_forward},
    {"go", K_ONE, p_forward},
    {"back", K_ONE, p_back},
    {"r_forward_r", K_ONE, p_r_forward_r},
    {"penup", K_ONE, p_penup},
    {"pendown", K_ONE, p_pendown},
    {"slow", K_ONE, p_slow},
    {"fast", K_ONE, p_fast},
    {"sc", K_NONE, p_sc},
    {"info-direction", K_NONE, p_info_direction},
    {"info-pendown?", K_NONE, p_info_pendown},
    {"info-speed", K_NONE, p_info_speed},
    {"info-position", K_NONE, p_info_position},
    {"help-logo", K_ONE, p_help_logo},
    {"help", K_ONE, p_help_logo},
    {"change-cursor", K_ONE, p_change_cursor},
    {"change-cursor2", K_ONE, p_change_cursor2},
    {"init", K_ONE, p_init},
    {"cursor", K_ONE, tur_cursor},
};

Value tur_cursor(Value args) {
  gfx_ensure_open();
  if (!is(args, PAIR)) {
    choose_cursor(nullptr);
    return NIL;
  }
  Value a = car(args);
  std::string name;
  if (is(a, SYMBOL))
    name = sym_name(a);
  else if (is(a, STRING))
    name = str_bytes(a);
  else
    mem_error(E_NEED_STRING);
  choose_cursor(name.c_str());
  return NIL;
}

void tur_install_hooks() {
  gfx_turtle.open_speed = open_speed;
  gfx_turtle.open_cursor = open_cursor;
  gfx_turtle.open_pen = pen_down;
  gfx_turtle.redraw = tur_redraw;
  gfx_turtle.home_north = home_north;
}

void tur_register() {
  tur_install_hooks();
  ev_register_table(TUR_PRIMS);
}

}  // namespace ondrel
