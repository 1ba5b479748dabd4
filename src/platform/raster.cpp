// raster.cpp - pictures, pens, brushes, figures, block copies and the
// built-in font.
#include "platform/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace ondrel {

// Lines and figures are computed on coordinates clamped to this range, so
// that loops stay bounded and products fit; pictures are far smaller.
static constexpr int64_t COORD_LIMIT = int64_t(1) << 24;
// Pens wider than this are drawn this wide.
static constexpr int32_t MAX_PEN = 255;

static int64_t clamp_coord(int64_t v) { return std::clamp(v, -COORD_LIMIT, COORD_LIMIT); }

static inline void put(Picture& p, int64_t x, int64_t y, uint32_t c) {
  if (x >= 0 && y >= 0 && x < p.width && y < p.height) p.px[y * p.width + x] = c;
}

// Fill the pixels x0..x1 of row y, clipped.
static void span(Picture& p, int64_t y, int64_t x0, int64_t x1, uint32_t c) {
  if (y < 0 || y >= p.height) return;
  x0 = std::max<int64_t>(x0, 0);
  x1 = std::min<int64_t>(x1, p.width - 1);
  uint32_t* row = p.px + y * p.width;
  for (int64_t x = x0; x <= x1; ++x) row[x] = c;
}

// Fill [x0, x1] x [y0, y1], clipped.
static void block(Picture& p, int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t c) {
  y0 = std::max<int64_t>(y0, 0);
  y1 = std::min<int64_t>(y1, p.height - 1);
  for (int64_t y = y0; y <= y1; ++y) span(p, y, x0, x1, c);
}

static int32_t pen_width(const RasPen& pen) { return std::clamp(pen.width, 1, MAX_PEN); }

// A pen of width w covers the offsets lo..lo+w-1 around a path pixel on
// each axis: centred for odd widths, half a pixel up and left for even.
static int32_t pen_lo(int32_t w) { return -(w / 2); }

// The disc of a pen: for each row offset, the half-open column extent.
struct Disc {
  int32_t w;
  int32_t lo;
  int32_t left[MAX_PEN];   // first covered column offset of row lo + i
  int32_t right[MAX_PEN];  // last covered column offset
};

static void disc_make(Disc& d, int32_t w) {
  d.w = w;
  d.lo = pen_lo(w);
  int32_t c2 = 2 * d.lo + w - 1;  // twice the centre offset
  for (int32_t i = 0; i < w; ++i) {
    int32_t dy = 2 * (d.lo + i) - c2;
    d.left[i] = 1;
    d.right[i] = 0;
    for (int32_t j = 0; j < w; ++j) {
      int32_t dx = 2 * (d.lo + j) - c2;
      if (dx * dx + dy * dy <= w * w) {
        if (d.left[i] > d.right[i]) d.left[i] = d.lo + j;
        d.right[i] = d.lo + j;
      }
    }
  }
}

// The disc dragged along the row y from x0 to x1: each of its rows
// sweeps one span.
static void disc_run(Picture& p, const Disc& d, int64_t x0, int64_t x1, int64_t y, uint32_t c) {
  for (int32_t i = 0; i < d.w; ++i)
    if (d.left[i] <= d.right[i]) span(p, y + d.lo + i, x0 + d.left[i], x1 + d.right[i], c);
}

// Walk the straight line from a to b, calling plot for every pixel; the
// end point is included only when `last` is set.
template <typename F>
static void walk_line(int64_t x0, int64_t y0, int64_t x1, int64_t y1, bool last, F plot) {
  int64_t dx = std::llabs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  int64_t dy = -std::llabs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int64_t err = dx + dy;
  for (;;) {
    bool end = x0 == x1 && y0 == y1;
    if (end && !last) return;
    plot(x0, y0);
    if (end) return;
    int64_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

// Put a box's corners in order; false when it covers no pixel.
static bool order_box(int64_t& l, int64_t& t, int64_t& r, int64_t& b) {
  l = clamp_coord(l);
  t = clamp_coord(t);
  r = clamp_coord(r);
  b = clamp_coord(b);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return r > l && b > t;
}

/* --------------------------------------------------------------- pictures */

bool ras_make(Picture& p, int32_t width, int32_t height) {
  p = Picture{0, 0, nullptr};
  if (width < 1 || height < 1 || width > RAS_MAX_SIDE || height > RAS_MAX_SIDE) return false;
  uint32_t* px = new (std::nothrow) uint32_t[size_t(width) * size_t(height)]();
  if (!px) return false;
  p = Picture{width, height, px};
  return true;
}

void ras_release(Picture& p) {
  delete[] p.px;
  p = Picture{0, 0, nullptr};
}

void ras_set_pixel(Picture& p, int32_t x, int32_t y, uint32_t color) { put(p, x, y, color); }

uint32_t ras_get_pixel(const Picture& p, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= p.width || y >= p.height) return 0xFFFFFFFF;
  return p.px[size_t(y) * p.width + x];
}

void ras_fill(Picture& p, uint32_t color) { std::fill(p.px, p.px + size_t(p.width) * p.height, color); }

/* ------------------------------------------------------ lines and figures */

void ras_line(Picture& p, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RasPen& pen) {
  if (!p.px) return;
  int64_t ax = clamp_coord(x0), ay = clamp_coord(y0), bx = clamp_coord(x1), by = clamp_coord(y1);
  int32_t w = pen_width(pen);
  if (w == 1) {
    walk_line(ax, ay, bx, by, false, [&](int64_t x, int64_t y) { put(p, x, y, pen.color); });
    return;
  }
  // A wide pen drags its disc along the whole path, end point included:
  // the discs at both ends are the round caps.
  // Pixels of the path in one row are swept together.
  Disc d;
  disc_make(d, w);
  int64_t run_y = ay, run_a = ax, run_z = ax;
  auto flush = [&] {
    if (run_y >= -w && run_y < p.height + w) {
      int64_t a = std::max<int64_t>(std::min(run_a, run_z), -w);
      int64_t z = std::min<int64_t>(std::max(run_a, run_z), p.width + w);
      if (a <= z) disc_run(p, d, a, z, run_y, pen.color);
    }
  };
  walk_line(ax, ay, bx, by, true, [&](int64_t x, int64_t y) {
    if (y == run_y) {
      run_z = x;
      return;
    }
    flush();
    run_y = y;
    run_a = run_z = x;
  });
  flush();
}

void ras_rectangle(Picture& p, int32_t left, int32_t top, int32_t right, int32_t bottom, const RasPen& pen,
                   const RasBrush& brush) {
  if (!p.px) return;
  int64_t l = left, t = top, r = right, b = bottom;
  if (!order_box(l, t, r, b)) return;
  if (!brush.hollow) block(p, l, t, r - 1, b - 1, brush.color);
  // The outline runs through the outermost pixels of the box; a wide pen
  // is centred on it with square (mitred) corners.
  int32_t w = pen_width(pen);
  int64_t lo = pen_lo(w), hi = lo + w - 1;
  int64_t ol = l + lo, ot = t + lo, or_ = r - 1 + hi, ob = b - 1 + hi;                 // outer edge
  int64_t il = l + hi + 1, it = t + hi + 1, ir = r - 1 + lo - 1, ib = b - 1 + lo - 1;  // hole
  if (il > ir || it > ib) {
    block(p, ol, ot, or_, ob, pen.color);
    return;
  }
  block(p, ol, ot, or_, it - 1, pen.color);  // top band
  block(p, ol, ib + 1, or_, ob, pen.color);  // bottom band
  block(p, ol, it, il - 1, ib, pen.color);   // left band
  block(p, ir + 1, it, or_, ib, pen.color);  // right band
}

void ras_ellipse(Picture& p, int32_t left, int32_t top, int32_t right, int32_t bottom, const RasPen& pen,
                 const RasBrush& brush) {
  if (!p.px) return;
  int64_t l = left, t = top, r = right, b = bottom;
  if (!order_box(l, t, r, b)) return;
  const int64_t W = r - l, H = b - t;
  int32_t w = pen_width(pen);
  // Rows that can touch the picture: the visible ones, widened by the
  // pen and one more row on each side for the outline test.
  int64_t y_first = std::max<int64_t>(t, -w - 1), y_last = std::min<int64_t>(b - 1, p.height + w);
  if (y_first > y_last) return;
  // A pixel (x, y) is inside when its centre lies in the ellipse:
  // u^2 H^2 + v^2 W^2 <= W^2 H^2 with u, v twice its offsets from the centre.
  // Boxes up to 2^14 a side fit 64-bit products; larger ones take 128 bits.
  const bool small = W <= (1 << 14) && H <= (1 << 14);
  auto inside = [&](int64_t x, int64_t y) {
    int64_t u = 2 * (x - l) + 1 - W, v = 2 * (y - t) + 1 - H;
    if (small) return u * u * H * H + v * v * W * W <= W * W * H * H;
    __int128 U = u, V = v;
    return U * U * H * H + V * V * W * W <= __int128(W) * W * H * H;
  };
  // Row spans [xl, xr], symmetric about the centre; xl > xr for none.  A
  // floating-point estimate of the span's start is settled by the exact test.
  size_t rows = size_t(y_last - y_first + 1);
  std::vector<int64_t> xl(rows), xr(rows);
  const int64_t mid = l + (W - 1) / 2;
  for (size_t i = 0; i < rows; ++i) {
    int64_t y = y_first + int64_t(i);
    double v = 2.0 * double(y - t) + 1 - double(H);
    double s = double(W) * std::sqrt(std::max(0.0, 1.0 - (v * v) / (double(H) * double(H))));
    int64_t x = int64_t(std::ceil((double(l + r - 1) - s) / 2.0));
    x = std::clamp(x, l, mid + 1);
    while (x > l && inside(x - 1, y)) --x;
    while (x <= mid && !inside(x, y)) ++x;
    xl[i] = x;
    xr[i] = l + r - 1 - x;
  }
  auto row_span = [&](int64_t y, int64_t& a, int64_t& z) {
    if (y < y_first || y > y_last) {
      a = 1;
      z = 0;
      return;
    }
    a = xl[size_t(y - y_first)];
    z = xr[size_t(y - y_first)];
  };
  if (!brush.hollow)
    for (size_t i = 0; i < rows; ++i) span(p, y_first + int64_t(i), xl[i], xr[i], brush.color);
  // The outline: inside pixels with a neighbour (left, right, above or
  // below) outside.  Per row that is the span minus the part covered by
  // the spans of both neighbouring rows.
  Disc d;
  if (w > 1) disc_make(d, w);
  auto plot_run = [&](int64_t y, int64_t x0, int64_t x1) {
    if (w == 1) {
      span(p, y, x0, x1, pen.color);
      return;
    }
    x0 = std::max<int64_t>(x0, -w);
    x1 = std::min<int64_t>(x1, p.width + w);
    if (x0 <= x1) disc_run(p, d, x0, x1, y, pen.color);
  };
  for (size_t i = 0; i < rows; ++i) {
    int64_t y = y_first + int64_t(i);
    int64_t a = xl[i], z = xr[i];
    if (a > z) continue;
    int64_t ua, uz, da, dz;
    row_span(y - 1, ua, uz);
    row_span(y + 1, da, dz);
    if (y == t) {
      ua = 1;
      uz = 0;
    }  // outside the box above
    if (y == b - 1) {
      da = 1;
      dz = 0;
    }  // and below
    int64_t ia = std::max({a + 1, ua, da}), iz = std::min({z - 1, uz, dz});
    if (ia > iz) {
      plot_run(y, a, z);
    } else {
      plot_run(y, a, ia - 1);
      plot_run(y, iz + 1, z);
    }
  }
}

/* ----------------------------------------------------------- block copies */

void ras_copy(Picture& dst, int32_t dx, int32_t dy, int32_t w, int32_t h, const Picture& src, int32_t sx,
              int32_t sy) {
  if (!dst.px || !src.px || w <= 0 || h <= 0) return;
  int64_t x0 = dx, y0 = dy, sx0 = sx, sy0 = sy, cw = w, ch = h;
  // Clip the rectangle against the source, then against the destination.
  auto clip = [&](int64_t& a, int64_t& b, int64_t& n, int64_t limit_a, int64_t limit_b) {
    if (a < 0) {
      b -= a;
      n += a;
      a = 0;
    }
    if (b < 0) {
      a -= b;
      n += b;
      b = 0;
    }
    n = std::min({n, limit_a - a, limit_b - b});
  };
  clip(sx0, x0, cw, src.width, dst.width);
  clip(sy0, y0, ch, src.height, dst.height);
  if (cw <= 0 || ch <= 0) return;
  for (int64_t i = 0; i < ch; ++i)
    std::memmove(dst.px + (y0 + i) * dst.width + x0, src.px + (sy0 + i) * src.width + sx0,
                 size_t(cw) * sizeof(uint32_t));
}

/* ------------------------------------------------------ the built-in font */

// Glyphs of 5 x 7 pixels for 0x20..0x7E, one byte per row from the top;
// bit 4 (0x10) is the leftmost pixel.
static constexpr uint8_t GLYPHS[95][RAS_GLYPH_H] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},  // ' '
    {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04},  // !
    {0x0A, 0x0A, 0x0A, 0x00, 0x00, 0x00, 0x00},  // "
    {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A},  // #
    {0x04, 0x0F, 0x14, 0x0E, 0x05, 0x1E, 0x04},  // $
    {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03},  // %
    {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D},  // &
    {0x0C, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00},  // '
    {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02},  // (
    {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08},  // )
    {0x00, 0x04, 0x15, 0x0E, 0x15, 0x04, 0x00},  // *
    {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00},  // +
    {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08},  // ,
    {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00},  // -
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C},  // .
    {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00},  // /
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
    {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00},  // :
    {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x04, 0x08},  // ;
    {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02},  // <
    {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00},  // =
    {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08},  // >
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04},  // ?
    {0x0E, 0x11, 0x01, 0x0D, 0x15, 0x15, 0x0E},  // @
    {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11},  // A
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},  // B
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E},  // C
    {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C},  // D
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},  // E
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},  // F
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F},  // G
    {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // H
    {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E},  // I
    {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C},  // J
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11},  // K
    {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},  // L
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11},  // M
    {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11},  // N
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // O
    {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},  // P
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D},  // Q
    {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},  // R
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E},  // S
    {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},  // T
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // U
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},  // V
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A},  // W
    {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11},  // X
    {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04},  // Y
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F},  // Z
    {0x0E, 0x08, 0x08, 0x08, 0x08, 0x08, 0x0E},  // [
    {0x00, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00},  // backslash
    {0x0E, 0x02, 0x02, 0x02, 0x02, 0x02, 0x0E},  // ]
    {0x04, 0x0A, 0x11, 0x00, 0x00, 0x00, 0x00},  // ^
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F},  // _
    {0x08, 0x04, 0x02, 0x00, 0x00, 0x00, 0x00},  // `
    {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F},  // a
    {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E},  // b
    {0x00, 0x00, 0x0E, 0x10, 0x10, 0x11, 0x0E},  // c
    {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F},  // d
    {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E},  // e
    {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08},  // f
    {0x00, 0x00, 0x0F, 0x11, 0x0F, 0x01, 0x0E},  // g
    {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11},  // h
    {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E},  // i
    {0x02, 0x00, 0x06, 0x02, 0x02, 0x12, 0x0C},  // j
    {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12},  // k
    {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E},  // l
    {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11},  // m
    {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11},  // n
    {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E},  // o
    {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10},  // p
    {0x00, 0x00, 0x0D, 0x13, 0x0F, 0x01, 0x01},  // q
    {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10},  // r
    {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E},  // s
    {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06},  // t
    {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D},  // u
    {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04},  // v
    {0x00, 0x00, 0x11, 0x11, 0x15, 0x15, 0x0A},  // w
    {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11},  // x
    {0x00, 0x00, 0x11, 0x11, 0x0F, 0x01, 0x0E},  // y
    {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F},  // z
    {0x02, 0x04, 0x04, 0x08, 0x04, 0x04, 0x02},  // {
    {0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},  // |
    {0x08, 0x04, 0x04, 0x02, 0x04, 0x04, 0x08},  // }
    {0x00, 0x00, 0x08, 0x15, 0x02, 0x00, 0x00},  // ~
};

// Character cells: 10 points at 96 dpi is a 13-pixel em, 8 points 11.
struct FontMetrics {
  int32_t cell_w, cell_h;  // advance and cell height
  int32_t glyph_top;       // first glyph row inside the cell
};
static constexpr FontMetrics FONTS[2] = {{6, 13, 3}, {6, 11, 2}};

int32_t ras_font_cell_width(RasFont f) { return FONTS[f & 1].cell_w; }
int32_t ras_font_cell_height(RasFont f) { return FONTS[f & 1].cell_h; }

void ras_text(Picture& p, int32_t x, int32_t y, const char* text, RasFont f) {
  if (!p.px || !text) return;
  const FontMetrics& m = FONTS[f & 1];
  int64_t cx = x;
  for (const unsigned char* s = reinterpret_cast<const unsigned char*>(text); *s; ++s, cx += m.cell_w) {
    if (cx >= p.width) break;
    if (cx + m.cell_w <= 0) continue;
    unsigned ch = (*s >= 0x20 && *s <= 0x7E) ? *s : '?';
    const uint8_t* g = GLYPHS[ch - 0x20];
    block(p, cx, y, cx + m.cell_w - 1, int64_t(y) + m.cell_h - 1, RAS_WHITE);
    for (int32_t row = 0; row < RAS_GLYPH_H; ++row)
      for (int32_t col = 0; col < RAS_GLYPH_W; ++col)
        if (g[row] & (0x10 >> col)) put(p, cx + col, int64_t(y) + m.glyph_top + row, RAS_BLACK);
  }
}

/* ------------------------------------------------- reading as 24-bit rows */

size_t ras_rows24_size(const Picture& p) {
  size_t stride = (size_t(p.width) * 3 + 3) & ~size_t(3);
  return stride * size_t(p.height);
}

void ras_read_rows24(const Picture& p, uint8_t* out) {
  size_t stride = (size_t(p.width) * 3 + 3) & ~size_t(3);
  for (int32_t y = p.height - 1; y >= 0; --y) {
    const uint32_t* row = p.px + size_t(y) * p.width;
    uint8_t* o = out;
    for (int32_t x = 0; x < p.width; ++x) {
      uint32_t c = row[x];
      *o++ = uint8_t(c >> 16);  // blue
      *o++ = uint8_t(c >> 8);   // green
      *o++ = uint8_t(c);        // red
    }
    while (o < out + stride) *o++ = 0;
    out += stride;
  }
}

}  // namespace ondrel
