// indicators.cpp - the packed 1-bit images of the panel's pen and speed
// indicators, laid out at compile time from a few shapes.
#include <array>
#include <cstdint>

#include "graphics/gfx.h"

namespace ondrel {

template <int W, int H>
struct Bits {
  static constexpr int ROW = (W + 7) / 8;
  std::array<uint8_t, static_cast<std::size_t>(ROW) * H> b{};
  constexpr void set(int x, int y) {
    if (x >= 0 && y >= 0 && x < W && y < H) b[y * ROW + x / 8] |= uint8_t(1u << (x % 8));
  }
  constexpr void fill(int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) set(x, y);
  }
};

// Each pen image is 58 x 45: a thick bar across rows 37..41 and a pen
// whose nib tip is at row `tip`: above the bar when the pen is up,
// touching it when down.
static constexpr void draw_pen_image(Bits<GFX_PEN_IND_W, GFX_PEN_IND_H>& p, int ox, int tip) {
  p.fill(ox + 6, 37, ox + 51, 41);
  int shaft_top = tip - 30, nib_top = tip - 10;
  p.fill(ox + 25, shaft_top, ox + 32, nib_top - 1);  // the holder
  for (int y = nib_top; y <= tip; ++y) {             // the nib narrows to its tip
    int half = 4 * (tip - y) / 10;
    p.fill(ox + 28 - half, y, ox + 29 + half, y);
  }
}

static constexpr auto PEN = [] {
  Bits<GFX_PEN_IND_W, GFX_PEN_IND_H> p;
  draw_pen_image(p, 0, 26);   // pen up
  draw_pen_image(p, 56, 36);  // pen down
  return p;
}();

// Each speed image is 58 x 35 with three chevrons pointing right; the
// first `filled` are solid, the others only outlined.  Images from the
// top: one, two, three and none filled.
static constexpr void draw_chevron(Bits<GFX_SPEED_IND_W, GFX_SPEED_IND_H>& p, int ox, int oy, bool solid) {
  constexpr int MID = 17, REACH = 12, THICK = 6;
  for (int y = MID - REACH; y <= MID + REACH; ++y) {
    int d = y > MID ? y - MID : MID - y;
    int x0 = ox + (REACH - d) / 2, x1 = x0 + THICK;
    if (solid || d == REACH) {
      p.fill(x0, oy + y, x1, oy + y);
    } else {
      p.set(x0, oy + y);
      p.set(x1, oy + y);
    }
  }
}

static constexpr auto SPEED = [] {
  Bits<GFX_SPEED_IND_W, GFX_SPEED_IND_H> p;
  constexpr int FILLED[4] = {1, 2, 3, 0};
  for (int img = 0; img < 4; ++img)
    for (int c = 0; c < 3; ++c) draw_chevron(p, 8 + 16 * c, 35 * img, c < FILLED[img]);
  return p;
}();

const uint8_t* const GFX_PEN_BITS = PEN.b.data();
const uint8_t* const GFX_SPEED_BITS = SPEED.b.data();
const uint32_t GFX_PEN_BITS_SIZE = uint32_t(PEN.b.size());
const uint32_t GFX_SPEED_BITS_SIZE = uint32_t(SPEED.b.size());

}  // namespace ondrel
