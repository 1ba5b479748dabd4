// turtle.h - the turtle: its state, the fixed-point arithmetic of moves
// and turns, the redraw, and the cursors that show it.
#pragma once
#include <cstdint>
#include <string>

#include "memory/value.h"

namespace ondrel {

constexpr int32_t TUR_HOME_X = 320, TUR_HOME_Y = 200;
constexpr int32_t TUR_PEN_UP = 0, TUR_PEN_DOWN = 255;
constexpr int32_t TUR_SPEEDS = 4;
constexpr int32_t TUR_FIX_SHIFT = 20;  // the sine table's scale, 2^20

// Grid flag: on, or on but held back for the current animation step.
enum TurGrid : int32_t { TUR_GRID_OFF = 0, TUR_GRID_ON = 1, TUR_GRID_HELD = 2 };

struct Turtle {
  int32_t x = TUR_HOME_X, y = TUR_HOME_Y;
  int32_t direction = 0;  // 0..359, 0 up, clockwise
  int32_t speed = 1;      // 0 slowest .. 3 fastest
  int32_t grid = TUR_GRID_OFF;
  // The cursor as last drawn on the screen buffer.
  int32_t cur_left = TUR_HOME_X, cur_top = TUR_HOME_Y, cur_width = 13, cur_height = 17;
  // The cursor itself: its picture is gfx.cursor.
  int32_t cursor_width = 13, cursor_height = 17;
  std::string cursor_name = "turtle";  // the name last chosen successfully
  uint64_t redraws = 0;                // turtle redraws so far (for tests)
};
inline Turtle tur{};

// round(sin(i degrees) x 2^20), i = 0..90; cos(i) is TUR_SINE[90 - i].
extern const int32_t TUR_SINE[91];
// Delays of the redraw by speed, in microseconds.
constexpr int32_t TUR_DELAY_US[TUR_SPEEDS] = {50000, 20000, 1000, 0};

// The built-in turtle images, one slot each: image k faces 15k degrees.
constexpr int32_t TUR_NIMAGES = 24;
constexpr int32_t TUR_IMAGE_SLOT = 60;
struct TurImage {
  int32_t width, height;
  uint8_t bits[TUR_IMAGE_SLOT];  // packed 1-bit rows
};
extern const TurImage TUR_IMAGES[TUR_NIMAGES];
inline int32_t tur_image_index(int32_t direction) { return (direction / 15) % TUR_NIMAGES; }

/* ------------------------------------------------------------- arithmetic */

// (T[a] x d + 2^19) >> 20 without overflow: d sin a, rounded half up.
int64_t tur_scale(int32_t a, int32_t d);
// Offsets of a move of d >= 0 facing `direction`: (dx, dy) with y down.
void tur_offsets(int32_t direction, int32_t d, int64_t& dx, int64_t& dy);
int32_t tur_move_steps(int32_t speed, int32_t d);
int32_t tur_turn_steps(int32_t speed, int32_t a);
// The direction after one turning step of t degrees (clockwise when right).
int32_t tur_turned(int32_t direction, int64_t t, bool right);

/* ------------------------- the redraw and the operations other groups use */

void tur_redraw();
// "cursor": the built-in turtle, or a cursor file named by the first argument.
Value tur_cursor(Value args);
// Installs the opening and closing hooks of the graphics window.
void tur_install_hooks();
// Installs the hooks and registers the turtle primitives.
void tur_register();

}  // namespace ondrel
