// raster.h - off-screen pictures of 32-bit pixels and the drawing rules
// the graphics window relies on.
//
// Pixels are colour values 0x00BBGGRR.  Every operation clips to the
// picture, so coordinates far outside it are harmless.  The rules:
//  - a pen of width 0 or 1 draws one pixel wide; wider pens are solid
//    discs of that diameter dragged along the path (round caps), and the
//    corners of rectangles are mitred (square);
//  - a line leaves its end point out when drawn one pixel wide;
//  - rectangles and ellipses cover the box [left, right) x [top, bottom):
//    right and bottom are exclusive; the brush fills the interior first,
//    then the pen draws the outline over it; a hollow brush fills nothing;
//  - text is drawn in black on white cells from its top-left corner.
#pragma once
#include <cstddef>
#include <cstdint>

namespace ondrel {

struct Picture {
  int32_t width;  // pixels; 0 while released
  int32_t height;
  uint32_t* px;  // width * height pixels, row 0 at the top; null while released
};

struct RasPen {
  int32_t width;  // 0..: 0 and 1 both draw one pixel wide
  uint32_t color;
};

struct RasBrush {
  bool hollow;  // true: no fill
  uint32_t color;
};

constexpr uint32_t RAS_BLACK = 0x000000;
constexpr uint32_t RAS_WHITE = 0xFFFFFF;
constexpr int32_t RAS_MAX_SIDE = 4096;  // largest picture side accepted

// Make a picture of width x height, all black (as a fresh bitmap is).
// False, with the picture left released, for sides outside 1..RAS_MAX_SIDE
// or when memory runs out.
bool ras_make(Picture& p, int32_t width, int32_t height);
// Free the pixels; a released picture may be released again.
void ras_release(Picture& p);
inline bool ras_live(const Picture& p) { return p.px != nullptr; }

void ras_set_pixel(Picture& p, int32_t x, int32_t y, uint32_t color);
// The pixel, or 0xFFFFFFFF outside the picture.
uint32_t ras_get_pixel(const Picture& p, int32_t x, int32_t y);
void ras_fill(Picture& p, uint32_t color);

// A line from (x0, y0) to (x1, y1).
void ras_line(Picture& p, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RasPen& pen);
// The rectangle and the ellipse inscribed in [left, right) x [top, bottom);
// the corners may come in any order.
void ras_rectangle(Picture& p, int32_t left, int32_t top, int32_t right, int32_t bottom, const RasPen& pen,
                   const RasBrush& brush);
void ras_ellipse(Picture& p, int32_t left, int32_t top, int32_t right, int32_t bottom, const RasPen& pen,
                 const RasBrush& brush);

// Copy w x h pixels from (sx, sy) of src to (dx, dy) of dst; the parts
// outside either picture are left out.  src and dst may be the same
// picture when the areas do not overlap.
void ras_copy(Picture& dst, int32_t dx, int32_t dy, int32_t w, int32_t h, const Picture& src, int32_t sx,
              int32_t sy);

// The built-in fixed-pitch ASCII font in two sizes, for 10 and 8 points
// at 96 dots per inch.  Bytes outside 0x20..0x7E draw as '?'.
enum RasFont : uint8_t { RAS_FONT_10 = 0, RAS_FONT_8 = 1 };
constexpr int32_t RAS_GLYPH_W = 5;  // glyph pixels, above the descender
constexpr int32_t RAS_GLYPH_H = 7;
int32_t ras_font_cell_width(RasFont f);
int32_t ras_font_cell_height(RasFont f);
// Draw NUL-terminated text with its top-left corner at (x, y); each
// character cell is painted white with the glyph in black.
void ras_text(Picture& p, int32_t x, int32_t y, const char* text, RasFont f);

// Bytes of a picture read as 24-bit rows (blue, green, red), each row
// padded to a multiple of 4 bytes.
size_t ras_rows24_size(const Picture& p);
// Write those rows to out, bottom row first.
void ras_read_rows24(const Picture& p, uint8_t* out);

}  // namespace ondrel
