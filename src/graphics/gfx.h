// gfx.h - the graphics window's state, its pictures and the drawing
// operations shared with the turtle.
//
// One evaluating thread draws into the off-screen pictures and presents
// them; the window host repaints from what was presented.  Every picture
// is drawn with the pen, brush and font selected last (one selection for
// all pictures, as the three drawing contexts always get the same ones).
#pragma once
#include <cstdint>

#include "memory/value.h"
#include "platform/raster.h"

namespace ondrel {

constexpr int32_t GFX_AREA_W = 640;  // drawing area
constexpr int32_t GFX_AREA_H = 400;
constexpr int32_t GFX_PANEL_W = 60;  // info panel beside it
constexpr int32_t GFX_PANEL_H = 400;
constexpr int32_t GFX_CURSOR_MAX = 50;  // largest cursor side
constexpr int32_t GFX_OPEN = 255;       // window open flag and pen-down state
constexpr int32_t GFX_PALETTE_SIZE = 17;
constexpr int32_t GFX_NAME_BUF = 244;  // snapshot file name, NUL included

constexpr uint32_t GFX_PALETTE[GFX_PALETTE_SIZE] = {
    0x000000,  //  0 black
    0xFF0000,  //  1 blue
    0x00FF00,  //  2 green
    0xFFFF00,  //  3 cyan
    0x0000FF,  //  4 red
    0xFF00FF,  //  5 magenta
    0x00FFFF,  //  6 yellow
    0xFFFFFF,  //  7 white
    0x707070,  //  8 dark grey
    0x800000,  //  9 navy
    0x008000,  // 10 dark green
    0x808000,  // 11 teal
    0x000080,  // 12 maroon
    0x800080,  // 13 purple
    0x008080,  // 14 olive
    0xA0A0A0,  // 15 grey
    0xC0C0C0,  // 16 silver: the grid overlay
};
constexpr int32_t GFX_BLACK = 0;  // palette indices of the panel's fixed colours
constexpr int32_t GFX_WHITE = 7;
constexpr int32_t GFX_SILVER = 16;
constexpr int32_t GFX_HOLLOW = -1;  // brush colour asking for no fill

// Picture sizes of the indicators built at opening.
constexpr int32_t GFX_PEN_IND_W = 116, GFX_PEN_IND_H = 45;      // up at x 0, down at x 56
constexpr int32_t GFX_SPEED_IND_W = 58, GFX_SPEED_IND_H = 140;  // four images of 58 x 35

struct Graphics {
  int32_t open = 0;       // 0 closed, 255 open; set first by the opening sequence
  int32_t pen_state = 0;  // 0 up, 255 down (the turtle's); 0 after closing
  bool window = false;    // the window host has a window for us
  Picture canvas{};       // 640 x 400: the lasting drawing
  Picture screen{};       // 640 x 400: canvas + grid + turtle cursor, what is shown and saved
  Picture panel{};        // 60 x 400: the info panel
  Picture cursor{};       // the turtle cursor, at most 50 x 50
  Picture pen_ind{};      // 116 x 45: pen-up and pen-down images
  Picture speed_ind{};    // 58 x 140: the four speed images
  uint32_t palette[GFX_PALETTE_SIZE] = {};  // filled by every opening
  uint32_t fg = 0x000000;                   // current colours
  uint32_t bg = 0xFFFFFF;
  int32_t fg_index = 0;  // as last given to "color"
  int32_t bg_index = 7;
  int32_t line_width = 1;   // 0..10
  RasPen pen{1, 0};         // pen cache: the width and colour it was made for
  bool pen_made = false;    // the pen cache holds a pen
  uint32_t pens_made = 0;   // pens built so far (the cache's effect)
  RasBrush brush{true, 0};  // rebuilt by every select_pen
  int32_t font_points = 0;  // font cache: the size it was made for, 0 for none
  RasFont font = RAS_FONT_10;
};
inline Graphics gfx{};

// The turtle's share of the window's sequences.  Null until the turtle
// group installs them; the graphics side then does without (figures end
// with a present instead of the turtle redraw).
struct GfxTurtleHooks {
  void (*open_speed)();   // opening: speed 1, then "fast" (speed 2 and its image)
  void (*open_cursor)();  // opening: the built-in cursor, the turtle redrawn twice
  void (*open_pen)();     // opening: "pendown" (pen state and its image)
  void (*redraw)();       // turtle redraw: cursor on top, panel boxes, present, speed delay
  void (*home_north)();   // "home" then "north", animated
};
inline GfxTurtleHooks gfx_turtle{};

// Pen and brush for every picture: the pen is rebuilt only when width or
// colour changed; brush_color GFX_HOLLOW gives no fill.
void gfx_select_pen(int32_t width, uint32_t color, int64_t brush_color);
// The font of `points` (10 or 8; other sizes take the nearer one); 0 or
// less keeps the current font.
void gfx_select_font(int32_t points);
void gfx_draw_text(Picture& p, const char* text, int32_t x, int32_t y);
void gfx_draw_rectangle(Picture& p, int32_t left, int32_t top, int32_t right, int32_t bottom);
void gfx_draw_ellipse(Picture& p, int32_t left, int32_t top, int32_t right, int32_t bottom);
void gfx_draw_line(Picture& p, int32_t x0, int32_t y0, int32_t x1, int32_t y1);
void gfx_draw_number(Picture& p, int32_t n, int32_t x, int32_t y);
void gfx_copy_canvas_to_screen();
void gfx_present();
// The current pen, in the foreground colour with the background brush:
// what every drawing operation leaves selected.
void gfx_select_drawing_pen();

// The line width and the colours with their panel boxes redrawn
// ("width" and "color" once their arguments passed); indices 0..16.
void gfx_set_width(int32_t w);
void gfx_set_color(int32_t fg, int32_t bg);

// The turtle redraw when the turtle has installed it, otherwise nothing;
// the figures follow it with gfx_present.
void gfx_redraw_turtle();

// The opening and closing sequences ("open" and "close"); args is the
// argument list.  Both return NIL.
Value gfx_open_window(Value args);
Value gfx_close_window(Value args);
// Open the window when it is closed (every drawing primitive's first step).
void gfx_ensure_open();

// Argument collection of the primitives with n integer arguments: fewer
// than n is error 13 with the window left closed; then the window opens;
// then each argument must be an INTEGER (error 16 at the first that is
// not), and more than n is error 14.  The first n values go to out.
void gfx_collect_ints(Value args, int n, int32_t* out);

// The primitives ("open" and "close" are gfx_open_window and
// gfx_close_window); each takes its argument list.
Value gfx_cls(Value args);
Value gfx_pset(Value args);
Value gfx_preset(Value args);
Value gfx_line(Value args);
Value gfx_box(Value args);
Value gfx_boxf(Value args);
Value gfx_circle(Value args);
Value gfx_circlef(Value args);
Value gfx_color(Value args);
Value gfx_width(Value args);
Value gfx_info_width(Value args);
Value gfx_info_color(Value args);
Value gfx_snapshot(Value args);
Value gfx_help_basic(Value args);

// Messages of the graphics window: straight to standard output.
void gfx_message(const char* text);

/* ----------------------- pictures from packed 1-bit data and cursor files */

// Rows of ceil(width / 8) bytes, top row first; the bit of value 1 is the
// leftmost pixel.  Bits missing from data (size bytes) count as clear.
bool gfx_make_mono_picture(Picture& p, int32_t width, int32_t height, const uint8_t* data, uint32_t size,
                           uint32_t color0, uint32_t color1);
struct CursorLoad {
  bool ok;
  int32_t width, height;
};
// Read a "BMP1" cursor file into p (released first by the caller).
CursorLoad gfx_load_cursor_file(Picture& p, const char* name, uint32_t color0, uint32_t color1);
// Write the screen buffer as an uncompressed 24-bit BMP file; false when
// the file cannot be written.
bool gfx_write_bmp(const Picture& p, const char* name);
// The snapshot file name for a given one: ".bmp" appended unless it
// ends so; false when the result does not fit GFX_NAME_BUF.
bool gfx_snapshot_name(const char* given, char (&out)[GFX_NAME_BUF]);

// Packed 1-bit images of the two indicators.
extern const uint8_t* const GFX_PEN_BITS;
extern const uint8_t* const GFX_SPEED_BITS;
extern const uint32_t GFX_PEN_BITS_SIZE, GFX_SPEED_BITS_SIZE;

// Registers the graphics window primitives.
void gfx_register();

}  // namespace ondrel
