// raster_test.cpp - pixel-exact drawing rules of the raster layer, and
// properties where the rule leaves pixels open (wide pens, ellipses).
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "platform/raster.h"

using namespace ondrel;

namespace {

constexpr uint32_t RED = 0x0000FF;
constexpr uint32_t BLUE = 0xFF0000;
constexpr uint32_t GREY = 0x707070;

struct Pic {
  Picture p{};
  Pic(int w, int h, uint32_t fill = RAS_WHITE) {
    EXPECT_TRUE(ras_make(p, w, h));
    ras_fill(p, fill);
  }
  ~Pic() { ras_release(p); }
  uint32_t at(int x, int y) const { return ras_get_pixel(p, x, y); }
};

using Points = std::set<std::pair<int, int>>;

Points pixels_of(const Pic& pic, uint32_t color) {
  Points s;
  for (int y = 0; y < pic.p.height; ++y)
    for (int x = 0; x < pic.p.width; ++x)
      if (pic.at(x, y) == color) s.insert({x, y});
  return s;
}

TEST(Raster, MakeAndRelease) {
  Picture p{};
  ASSERT_TRUE(ras_make(p, 3, 2));
  EXPECT_EQ(p.width, 3);
  EXPECT_EQ(p.height, 2);
  EXPECT_EQ(ras_get_pixel(p, 2, 1), RAS_BLACK);  // fresh pictures are black
  ras_release(p);
  EXPECT_FALSE(ras_live(p));
  ras_release(p);  // a second release is harmless
  EXPECT_FALSE(ras_make(p, 0, 5));
  EXPECT_FALSE(ras_make(p, 5, -1));
  EXPECT_FALSE(ras_make(p, RAS_MAX_SIDE + 1, 1));
  EXPECT_FALSE(ras_live(p));
  // Drawing into a released picture does nothing.
  RasPen pen{1, RED};
  ras_line(p, 0, 0, 5, 5, pen);
  ras_rectangle(p, 0, 0, 5, 5, pen, RasBrush{false, RED});
  ras_ellipse(p, 0, 0, 5, 5, pen, RasBrush{false, RED});
  ras_text(p, 0, 0, "x", RAS_FONT_10);
  ras_set_pixel(p, 0, 0, RED);
}

TEST(Raster, PixelsAtTheLimits) {
  Pic pic(4, 3);
  ras_set_pixel(pic.p, 0, 0, RED);
  ras_set_pixel(pic.p, 3, 2, BLUE);
  ras_set_pixel(pic.p, -1, 0, RED);
  ras_set_pixel(pic.p, 4, 0, RED);
  ras_set_pixel(pic.p, 0, 3, RED);
  ras_set_pixel(pic.p, 0, -1, RED);
  EXPECT_EQ(pic.at(0, 0), RED);
  EXPECT_EQ(pic.at(3, 2), BLUE);
  EXPECT_EQ(pixels_of(pic, RED).size(), 1u);
  EXPECT_EQ(pic.at(4, 0), 0xFFFFFFFFu);
  EXPECT_EQ(pic.at(-1, -1), 0xFFFFFFFFu);
}

// One-pixel lines in all eight directions leave the end point out.
TEST(Raster, ThinLinesInEightDirections) {
  struct Dir { int dx, dy; };
  const Dir dirs[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
  for (int width : {0, 1}) {
    for (const Dir& d : dirs) {
      Pic pic(21, 21);
      ras_line(pic.p, 10, 10, 10 + 5 * d.dx, 10 + 5 * d.dy, RasPen{width, RED});
      Points want;
      for (int i = 0; i < 5; ++i) want.insert({10 + i * d.dx, 10 + i * d.dy});
      EXPECT_EQ(pixels_of(pic, RED), want) << "direction " << d.dx << "," << d.dy << " width " << width;
    }
  }
}

TEST(Raster, ThinLineShapes) {
  Pic pic(20, 20);
  ras_line(pic.p, 3, 3, 3, 3, RasPen{1, RED});
  EXPECT_TRUE(pixels_of(pic, RED).empty());  // a line to its own start draws nothing
  // A shallow line: one pixel per column, columns 0..9, monotone rows.
  ras_line(pic.p, 0, 0, 10, 3, RasPen{1, RED});
  Points got = pixels_of(pic, RED);
  EXPECT_EQ(got.size(), 10u);
  int last_y = 0;
  for (int x = 0; x < 10; ++x) {
    int n = 0;
    for (int y = 0; y < 20; ++y)
      if (pic.at(x, y) == RED) { ++n; EXPECT_GE(y, last_y); last_y = y; }
    EXPECT_EQ(n, 1) << "column " << x;
  }
  EXPECT_EQ(pic.at(10, 3), RAS_WHITE);
  // Lines running off the picture are clipped, not wrapped.
  Pic small(5, 5);
  ras_line(small.p, -100, 2, 100, 2, RasPen{1, RED});
  EXPECT_EQ(pixels_of(small, RED).size(), 5u);
  ras_line(small.p, -2000000000, -2000000000, 2000000000, 2000000000, RasPen{1, BLUE});
  EXPECT_EQ(pixels_of(small, BLUE).size(), 5u);
}

// Wide pens: symmetric about the path, round caps past both ends.
TEST(Raster, WidePenLines) {
  for (int w : {3, 5, 7, 10}) {
    Pic pic(60, 40);
    ras_line(pic.p, 20, 20, 40, 20, RasPen{w, RED});
    Points got = pixels_of(pic, RED);
    ASSERT_FALSE(got.empty());
    int lo = -(w / 2), hi = lo + w - 1;
    // The band across the middle is exactly w rows.
    for (int y = 0; y < 40; ++y) EXPECT_EQ(pic.at(30, y) == RED, y >= 20 + lo && y <= 20 + hi) << w;
    // Mirror symmetry: about x = 30, and about the band's middle row.
    for (auto [x, y] : got) {
      EXPECT_TRUE(got.count({60 + lo + hi - x, y})) << w << " at " << x << "," << y;
      EXPECT_TRUE(got.count({x, 2 * 20 + lo + hi - y})) << w << " at " << x << "," << y;
    }
    // Round caps: past the end points by the radius in the middle row only.
    EXPECT_EQ(pic.at(20 + lo, 20), RED);
    EXPECT_EQ(pic.at(40 + hi, 20), RED);
    EXPECT_EQ(pic.at(20 + lo - 1, 20), RAS_WHITE);
    if (w >= 5) {
      EXPECT_EQ(pic.at(20 + lo, 20 + lo), RAS_WHITE);  // the cap's corner is cut
      EXPECT_EQ(pic.at(40 + hi, 20 + hi), RAS_WHITE);
    }
  }
  // A vertical wide line is the transposed horizontal one.
  Pic h(40, 40), v(40, 40);
  ras_line(h.p, 10, 20, 30, 20, RasPen{6, RED});
  ras_line(v.p, 20, 10, 20, 30, RasPen{6, RED});
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) EXPECT_EQ(h.at(x, y), v.at(y, x));
  // A diagonal wide line is symmetric about its midpoint.
  Pic d(40, 40);
  ras_line(d.p, 10, 10, 30, 30, RasPen{4, RED});
  Points dg = pixels_of(d, RED);
  for (auto [x, y] : dg) EXPECT_TRUE(dg.count({39 - x, 39 - y}));
}

TEST(Raster, RectangleOutlineAndFill) {
  Pic pic(12, 12);
  ras_rectangle(pic.p, 2, 3, 7, 9, RasPen{1, RED}, RasBrush{false, BLUE});
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      bool in = x >= 2 && x <= 6 && y >= 3 && y <= 8;
      bool edge = in && (x == 2 || x == 6 || y == 3 || y == 8);
      uint32_t want = edge ? RED : in ? BLUE : RAS_WHITE;
      EXPECT_EQ(pic.at(x, y), want) << x << "," << y;
    }
  // Corners in any order give the same rectangle.
  Pic swapped(12, 12);
  ras_rectangle(swapped.p, 7, 9, 2, 3, RasPen{1, RED}, RasBrush{false, BLUE});
  EXPECT_EQ(pixels_of(swapped, RED), pixels_of(pic, RED));
  EXPECT_EQ(pixels_of(swapped, BLUE), pixels_of(pic, BLUE));
  // A hollow brush leaves the interior alone.
  Pic hollow(12, 12, GREY);
  ras_rectangle(hollow.p, 2, 3, 7, 9, RasPen{1, RED}, RasBrush{true, 0});
  EXPECT_EQ(hollow.at(4, 5), GREY);
  EXPECT_EQ(pixels_of(hollow, RED), pixels_of(pic, RED));
  // Empty boxes draw nothing; one-pixel boxes draw one pixel.
  Pic tiny(5, 5);
  ras_rectangle(tiny.p, 1, 1, 1, 4, RasPen{1, RED}, RasBrush{false, RED});
  EXPECT_TRUE(pixels_of(tiny, RED).empty());
  ras_rectangle(tiny.p, 1, 1, 2, 2, RasPen{1, RED}, RasBrush{false, RED});
  EXPECT_EQ(pixels_of(tiny, RED), (Points{{1, 1}}));
  // The whole picture, as the canvas is cleared.
  Pic full(8, 6);
  ras_rectangle(full.p, 0, 0, 8, 6, RasPen{1, BLUE}, RasBrush{false, BLUE});
  EXPECT_EQ(pixels_of(full, BLUE).size(), 48u);
}

TEST(Raster, WideRectangleHasSquareCorners) {
  Pic pic(40, 40);
  ras_rectangle(pic.p, 10, 10, 30, 25, RasPen{2, RED}, RasBrush{false, BLUE});
  // Width 2 covers the edge pixel and the one above/left of it.
  for (int x = 9; x <= 29; ++x) {
    EXPECT_EQ(pic.at(x, 9), RED) << x;
    EXPECT_EQ(pic.at(x, 10), RED) << x;
    EXPECT_EQ(pic.at(x, 23), RED) << x;
    EXPECT_EQ(pic.at(x, 24), RED) << x;
  }
  EXPECT_EQ(pic.at(9, 9), RED);   // mitred corner
  EXPECT_EQ(pic.at(8, 9), RAS_WHITE);
  EXPECT_EQ(pic.at(30, 24), RAS_WHITE);
  EXPECT_EQ(pic.at(11, 11), BLUE);
  EXPECT_EQ(pic.at(27, 22), BLUE);
  EXPECT_EQ(pic.at(28, 22), RED);
  // A pen wider than the box fills it all with the pen colour.
  Pic small(20, 20);
  ras_rectangle(small.p, 5, 5, 8, 8, RasPen{9, RED}, RasBrush{false, BLUE});
  EXPECT_TRUE(pixels_of(small, BLUE).empty());
}

void check_ellipse(int l, int t, int r, int b, int pen_w, bool filled) {
  Pic pic(80, 80);
  ras_ellipse(pic.p, l, t, r, b, RasPen{pen_w, RED}, RasBrush{!filled, BLUE});
  Points outline = pixels_of(pic, RED), fill = pixels_of(pic, BLUE);
  SCOPED_TRACE(testing::Message() << l << "," << t << "," << r << "," << b << " w" << pen_w);
  ASSERT_FALSE(outline.empty());
  Points all = outline;
  all.insert(fill.begin(), fill.end());
  int minx = 99, maxx = -1, miny = 99, maxy = -1;
  for (auto [x, y] : all) {
    minx = std::min(minx, x); maxx = std::max(maxx, x);
    miny = std::min(miny, y); maxy = std::max(maxy, y);
    // Symmetric about both axes of the box.
    EXPECT_TRUE(all.count({l + r - 1 - x, y}));
    EXPECT_TRUE(all.count({x, t + b - 1 - y}));
    EXPECT_TRUE(outline.count({l + r - 1 - x, y}) == outline.count({x, y}));
  }
  if (pen_w <= 1) {
    // Inside the box and touching all four of its sides.
    EXPECT_EQ(minx, l);
    EXPECT_EQ(maxx, r - 1);
    EXPECT_EQ(miny, t);
    EXPECT_EQ(maxy, b - 1);
  }
  // Each row of the figure is one run without holes (filled) or, hollow,
  // the interior keeps the background.
  for (int y = miny; y <= maxy; ++y) {
    int first = -1, last = -1, n = 0;
    for (int x = 0; x < 80; ++x)
      if (all.count({x, y})) { if (first < 0) first = x; last = x; ++n; }
    if (filled) {
      EXPECT_EQ(n, last - first + 1) << "row " << y;
    }
  }
  if (!filled) {
    EXPECT_TRUE(fill.empty());
  } else if (r - l > 2 * pen_w + 2) {
    EXPECT_EQ(pic.at((l + r) / 2, (t + b) / 2), BLUE);
  }
}

TEST(Raster, Ellipses) {
  check_ellipse(10, 10, 60, 60, 1, true);    // even circle
  check_ellipse(10, 10, 61, 61, 1, false);   // odd circle
  check_ellipse(5, 20, 75, 40, 1, true);     // wide
  check_ellipse(30, 2, 41, 78, 1, false);    // tall
  check_ellipse(20, 20, 50, 50, 3, true);    // wide pen
  check_ellipse(20, 20, 51, 51, 5, false);
  check_ellipse(30, 30, 33, 33, 1, true);    // tiny
  check_ellipse(30, 30, 31, 31, 1, true);
  // A one-pixel outline is 8-connected: every outline pixel of a circle
  // has another one among its 8 neighbours, and it has no gaps at the
  // extremes.
  Pic pic(80, 80);
  ras_ellipse(pic.p, 10, 10, 70, 70, RasPen{1, RED}, RasBrush{true, 0});
  Points o = pixels_of(pic, RED);
  for (auto [x, y] : o) {
    int n = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if ((dx || dy) && o.count({x + dx, y + dy})) ++n;
    EXPECT_GE(n, 2) << x << "," << y;
  }
  EXPECT_EQ(pic.at(10, 39), RED);
  EXPECT_EQ(pic.at(10, 40), RED);
  EXPECT_EQ(pic.at(9, 40), RAS_WHITE);
  EXPECT_EQ(pic.at(40, 40), RAS_WHITE);
  // Corners in reverse order, huge and far-off boxes do not fail.
  Pic rev(80, 80);
  ras_ellipse(rev.p, 70, 70, 10, 10, RasPen{1, RED}, RasBrush{true, 0});
  EXPECT_EQ(pixels_of(rev, RED), o);
  Pic big(40, 40);
  ras_ellipse(big.p, -2000000000, -2000000000, 2000000000, 2000000000, RasPen{3, RED}, RasBrush{false, BLUE});
  EXPECT_EQ(big.at(20, 20), BLUE);
  ras_ellipse(big.p, 1000, 1000, 2000, 2000, RasPen{3, RED}, RasBrush{false, RED});
  EXPECT_TRUE(pixels_of(big, RED).empty());
  // A circle around the origin leaves its visible quarter.
  Pic q(80, 80);
  ras_ellipse(q.p, -50, -50, 50, 50, RasPen{1, RED}, RasBrush{true, 0});
  EXPECT_EQ(q.at(49, 0), RED);
  EXPECT_EQ(q.at(0, 49), RED);
  EXPECT_EQ(q.at(50, 0), RAS_WHITE);
  EXPECT_EQ(q.at(10, 10), RAS_WHITE);
}

TEST(Raster, BlockCopies) {
  Pic src(10, 10, BLUE);
  ras_set_pixel(src.p, 0, 0, RED);
  ras_set_pixel(src.p, 9, 9, GREY);
  Pic dst(6, 6);
  ras_copy(dst.p, 1, 1, 3, 3, src.p, 0, 0);
  EXPECT_EQ(dst.at(1, 1), RED);
  EXPECT_EQ(dst.at(3, 3), BLUE);
  EXPECT_EQ(dst.at(4, 4), RAS_WHITE);
  EXPECT_EQ(dst.at(0, 0), RAS_WHITE);
  // Clipped at every side: negative destination, source beyond its end.
  Pic d2(6, 6);
  ras_copy(d2.p, -2, -2, 20, 20, src.p, 7, 7);
  EXPECT_EQ(d2.at(0, 0), GREY);       // source (7 + 2, 7 + 2)
  EXPECT_EQ(d2.at(1, 1), RAS_WHITE);  // source ended
  Pic d3(6, 6);
  ras_copy(d3.p, 0, 0, 6, 6, src.p, -3, -3);
  EXPECT_EQ(d3.at(2, 2), RAS_WHITE);
  EXPECT_EQ(d3.at(3, 3), RED);
  ras_copy(d3.p, 0, 0, -1, 5, src.p, 0, 0);  // nothing
  ras_copy(d3.p, 100, 100, 5, 5, src.p, 0, 0);
}

TEST(Raster, TextCells) {
  EXPECT_EQ(ras_font_cell_height(RAS_FONT_10), 13);
  EXPECT_EQ(ras_font_cell_height(RAS_FONT_8), 11);
  Pic pic(40, 20, GREY);
  ras_text(pic.p, 2, 1, "1-", RAS_FONT_10);
  int cw = ras_font_cell_width(RAS_FONT_10);
  // Both cells are painted white or black, nothing else; the rest stays.
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      bool in = x >= 2 && x < 2 + 2 * cw && y >= 1 && y < 14;
      if (in) {
        EXPECT_TRUE(pic.at(x, y) == RAS_WHITE || pic.at(x, y) == RAS_BLACK);
      } else {
        EXPECT_EQ(pic.at(x, y), GREY) << x << "," << y;
      }
    }
  // The minus sign is one full row of the glyph, in the second cell.
  int blacks = 0;
  for (int y = 1; y < 14; ++y)
    for (int x = 2 + cw; x < 2 + 2 * cw; ++x) blacks += pic.at(x, y) == RAS_BLACK;
  EXPECT_EQ(blacks, RAS_GLYPH_W);
  // Non-ASCII bytes draw as '?', clipping at the edges is safe.
  Pic a(40, 20), b(40, 20);
  ras_text(a.p, 0, 0, "\x82\xa0", RAS_FONT_8);
  ras_text(b.p, 0, 0, "??", RAS_FONT_8);
  EXPECT_EQ(pixels_of(a, RAS_BLACK), pixels_of(b, RAS_BLACK));
  ras_text(a.p, -3, -5, "width", RAS_FONT_10);
  ras_text(a.p, 38, 18, "direction", RAS_FONT_10);
}

TEST(Raster, ReadAs24BitRowsBottomFirst) {
  Pic pic(3, 2);
  ras_set_pixel(pic.p, 0, 0, 0x112233);  // top left
  ras_set_pixel(pic.p, 2, 1, 0x445566);  // bottom right
  ASSERT_EQ(ras_rows24_size(pic.p), 24u);  // 9 bytes a row, padded to 12
  std::vector<uint8_t> out(24, 0xEE);
  ras_read_rows24(pic.p, out.data());
  // Bottom row first: (0,1) (1,1) (2,1) then padding.
  EXPECT_EQ(out[0], 0xFF);
  EXPECT_EQ(out[6], 0x44);  // blue of (2, 1)
  EXPECT_EQ(out[7], 0x55);
  EXPECT_EQ(out[8], 0x66);  // red
  EXPECT_EQ(out[9], 0);
  EXPECT_EQ(out[11], 0);
  EXPECT_EQ(out[12], 0x11);  // top row, (0, 0): blue, green, red
  EXPECT_EQ(out[13], 0x22);
  EXPECT_EQ(out[14], 0x33);
  EXPECT_EQ(out[23], 0);
}

}  // namespace
