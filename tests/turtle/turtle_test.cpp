// turtle_test.cpp - what the end-to-end cases cannot see: the sine table
// and the turned images, the animation steps of every move and turn, the
// information panel after each change, and a break in the middle of a
// move.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "../reader/reader_support.h"
#include "eval/eval.h"
#include "graphics/gfx.h"
#include "platform/window.h"
#include "memory/state.h"
#include "turtle/turtle.h"

namespace {

using namespace ondrel;
using rdtest::Input;

TEST(TurtleTables, SineTableIsTheRoundedFormula) {
  for (int i = 0; i <= 90; ++i)
    EXPECT_EQ(TUR_SINE[i], int32_t(std::floor(std::sin(i * M_PI / 180.0) * 1048576.0 + 0.5))) << i;
  EXPECT_EQ(tur_scale(30, 1), 1);  // exactly 1/2, rounded up
  EXPECT_EQ(tur_scale(90, INT32_MAX), INT32_MAX);
}

bool bit(const TurImage& img, int x, int y) {
  return (img.bits[y * ((img.width + 7) / 8) + x / 8] >> (x % 8)) & 1;
}

// Images 6, 12 and 18 are image 0 turned by exact quarter turns; the others
// keep roughly its pixels; image k serves the directions 15k to 15k + 14.
TEST(TurtleImages, TurnedFromImageZero) {
  const TurImage &i0 = TUR_IMAGES[0], &i6 = TUR_IMAGES[6], &i12 = TUR_IMAGES[12], &i18 = TUR_IMAGES[18];
  ASSERT_EQ(i0.width, 13);
  ASSERT_EQ(i0.height, 17);
  ASSERT_TRUE(i6.width == 17 && i6.height == 13 && i12.width == 13 && i18.height == 13);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 13; ++x) {
      EXPECT_EQ(bit(i6, 16 - y, x), bit(i0, x, y)) << x << "," << y;
      EXPECT_EQ(bit(i12, 12 - x, 16 - y), bit(i0, x, y)) << x << "," << y;
      EXPECT_EQ(bit(i18, y, 12 - x), bit(i0, x, y)) << x << "," << y;
    }
  for (int k = 0; k < TUR_NIMAGES; ++k) {
    const TurImage& img = TUR_IMAGES[k];
    int set = 0;
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) set += bit(img, x, y);
    EXPECT_TRUE(k % 6 == 0 || (img.width == 19 && img.height == 19)) << k;
    EXPECT_TRUE(set > 80 && set < 130) << k << ": " << set;
  }
  EXPECT_TRUE(bit(TUR_IMAGES[3], 15, 3) || bit(TUR_IMAGES[3], 14, 4));  // 45 degrees: head up right
  for (int d : {0, 14, 15, 90, 345, 359}) EXPECT_EQ(tur_image_index(d), d / 15) << d;
}

struct Turtle : rdtest::Fresh {
  void SetUp() override {
    setenv("ONDREL_HEADLESS", "1", 1);
    tur = ondrel::Turtle{};
    gfx.pen_state = 0;
    rdtest::Fresh::SetUp();
  }
  void TearDown() override {
    vm.break_flag = 0;
    if (gfx.open) run("(close)");
    gfx_turtle = GfxTurtleHooks{};
    rdtest::Fresh::TearDown();
  }
  // Evaluate every datum; the written value of the last, or "error N".
  std::string run(const std::string& text) {
    Input in(text);
    std::string last;
    testing::internal::CaptureStdout();
    int code = error_of([&] {
      for (;;) {
        Value d = rd_read(in.f);
        if (d == mem_eof) break;
        Protect keep(d);
        last = rdtest::written(ev_evaluate(d));
      }
    });
    testing::internal::GetCapturedStdout();
    return code == 0 ? last : "error " + std::to_string(code);
  }
  uint64_t redraws(const std::string& text) {
    uint64_t before = tur.redraws;
    run(text);
    return tur.redraws - before;
  }
};

// Each animation step is one redraw: moves take 6, 2 or 1 steps at speeds
// 1 to 3 and about 5 units a step at speed 0 (2 when short); turns take 7,
// 3 or 1 steps and a last one for the remainder.  A compass face turns the
// short way (right when the angle is equal) and redraws once more.
TEST_F(Turtle, AnimationStepsOfMovesTurnsAndFaces) {
  struct Row {
    int speed, from;
    const char* form;
    uint64_t steps;
    int direction;
  };
  const Row rows[] = {
      {2, 0, "(forward 100)", 2, 0}, {0, 0, "(forward 100)", 20, 0}, {0, 0, "(back 29)", 14, 0},
      {0, 0, "(forward 1)", 1, 0}, {1, 0, "(back 72)", 6, 0}, {3, 0, "(forward 50)", 1, 0},
      {2, 0, "(right 100)", 4, 100}, {2, 100, "(left 90)", 3, 10}, {1, 10, "(left 90)", 8, 280},
      {0, 280, "(right 90)", 18, 10}, {0, 10, "(right -90)", 1, 280}, {2, 280, "(right -90)", 3, 190},
      {2, 190, "(right 0)", 0, 190}, {3, 0, "(left 370)", 1, 350}, {3, 350, "(rotate 20 'x)", 1, 10},
      {0, 0, "(right 35)", 7, 35}, {0, 0, "(right 34)", 17, 34}, {2, 270, "(east)", 4, 90},
      {2, 180, "(west)", 4, 270}, {2, 300, "(south)", 4, 180}, {2, 10, "(west)", 5, 270},
      {2, 0, "(north)", 1, 0}, {2, 180, "(north)", 4, 0}, {2, 100, "(east)", 5, 90}, {2, 80, "(east)", 5, 90},
      {2, 200, "(south)", 5, 180}, {2, 120, "(west)", 4, 270}, {2, 60, "(west)", 4, 270},
      {2, 280, "(west)", 5, 270}
  };
  // Each redraw then waits 50, 20, 1 or 0 ms by speed; a sleep never ends
  // early, so the total is a lower bound however loaded the machine is.
  const int64_t wait_us[4] = {50000, 20000, 1000, 0};
  int64_t least_us = 0;
  run("(open) (penup)");
  auto start = std::chrono::steady_clock::now();
  for (const Row& r : rows) {
    run("(home)");
    tur.speed = r.speed;
    tur.direction = r.from;
    EXPECT_EQ(redraws(r.form), r.steps) << r.form << " from " << r.from << " at speed " << r.speed;
    EXPECT_EQ(tur.direction, r.direction) << r.form << " from " << r.from;
    least_us += int64_t(r.steps) * wait_us[r.speed];
  }
  auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_GE(took.count(), least_us);
}

// The panel after each change, as a checksum of its pixels: the width and
// colour boxes, the direction needle and number, the position, the pen and
// speed images.
TEST_F(Turtle, PanelAfterEachChange) {
  auto sum = [] {
    uint64_t h = 1469598103934665603ull;
    for (int32_t i = 0; i < gfx.panel.width * gfx.panel.height; ++i)
      h = (h ^ gfx.panel.px[i]) * 1099511628211ull;
    return h;
  };
  struct Row {
    const char* forms;
    uint64_t sum;
  };
  const Row rows[] = {
      {"(open)", 0x1917f22fc00bda72ull}, {"(width 10)", 0xf28cbf2ed4170bd3ull},
      {"(color 1 4)", 0xbab97913dbffe323ull}, {"(fast) (right 90)", 0x49700b99c238c18eull},
      {"(jump 100 300)", 0x4f62df935ec34483ull}, {"(penup)", 0x52e126e8540dd9c3ull},
      {"(slow) (slow) (slow)", 0xc6e2a496aba325f0ull}, {"(fast) (fast) (fast) (fast)", 0x52e126e8540dd9c3ull},
      {"(color 16 0) (width 0) (left 123)", 0xa73b007f73e63652ull}, {"(init)", 0xeb06afa357d406baull}
  };
  for (const Row& r : rows) {
    run(r.forms);
    EXPECT_EQ(sum(), r.sum) << r.forms;
  }
}

// Ctrl+C during an animation ends it with error 41 at the last step done:
// the turtle, the line and the cursor stay there, the grid held back during
// the step comes back, the next move starts from there.  The delay of every
// speed but the fastest notices a break too.
TEST_F(Turtle, BreakStopsAMoveWhereItIs) {
  run("(open)");
  tur.speed = 0;  // (forward 100): 20 steps of 5 pixels, 50 ms each
  tur.grid = TUR_GRID_ON;
  uint64_t before = tur.redraws, presents = plat_win_presents();
  std::atomic<bool> done{false};
  std::thread user([&] {
    while (!done && plat_win_presents() < presents + 5) std::this_thread::yield();
    vm.break_flag = 1;
  });
  std::string result = run("(forward 100)");
  done = true;
  user.join();
  vm.break_flag = 0;
  EXPECT_EQ(result, "error 41");
  EXPECT_EQ(tur.grid, TUR_GRID_ON);
  EXPECT_EQ(ras_get_pixel(gfx.screen, 20, 7), RAS_WHITE);  // the steps drew no grid
  tur.grid = TUR_GRID_OFF;
  int32_t steps = int32_t(tur.redraws - before);
  ASSERT_GE(steps, 3);
  ASSERT_LT(steps, 20);
  int32_t y = 200 - 5 * steps;
  EXPECT_EQ(tur.y, y);
  EXPECT_EQ(ras_get_pixel(gfx.canvas, 320, y + 1), RAS_BLACK);  // the line up to the last step
  EXPECT_EQ(ras_get_pixel(gfx.canvas, 320, y - 1), RAS_WHITE);  // and no further
  EXPECT_EQ(ras_get_pixel(gfx.screen, 320, y - 8), RAS_BLACK);  // the turtle's head there
  tur.speed = 3;
  EXPECT_EQ(run("(penup) (forward 50) (info-position)"), "(320 " + std::to_string(y - 50) + ")");
  EXPECT_EQ(ras_get_pixel(gfx.screen, 320, y - 8), RAS_WHITE);  // that cursor erased
  for (int32_t speed = 0; speed < 4; ++speed) {
    tur.speed = speed;
    vm.break_flag = 1;
    EXPECT_EQ(error_of([] { tur_redraw(); }), speed < 3 ? E_USER_BREAK : 0) << speed;
    vm.break_flag = 0;
  }
}

}  // namespace
