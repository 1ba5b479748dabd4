// turtle_test.cpp - the turtle's arithmetic and images, and its primitives
// evaluated off-screen: what lands on the screen buffer, the canvas and
// the panel, the redraw count of animations, the argument rules.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "../reader/reader_support.h"
#include "eval/eval.h"
#include "eval/registry.h"
#include "graphics/gfx.h"
#include "platform/window.h"
#include "memory/state.h"
#include "turtle/turtle.h"
#include "turtle/turtletext.h"

namespace {

using namespace ondrel;
using rdtest::Input;

// ---- arithmetic and tables ----

TEST(TurtleTables, SineTableIsTheRoundedFormula) {
  for (int i = 0; i <= 90; ++i) {
    double want = std::floor(std::sin(i * M_PI / 180.0) * 1048576.0 + 0.5);
    EXPECT_EQ(TUR_SINE[i], int32_t(want)) << i;
  }
  EXPECT_EQ(TUR_SINE[0], 0);
  EXPECT_EQ(TUR_SINE[30], 524288);
  EXPECT_EQ(TUR_SINE[90], 1048576);
}

TEST(TurtleTables, OffsetsOfMovesRoundHalfUpInEveryQuadrant) {
  int64_t dx, dy;
  tur_offsets(0, 100, dx, dy);
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, -100);
  tur_offsets(45, 100, dx, dy);
  EXPECT_EQ(dx, 71);
  EXPECT_EQ(dy, -71);
  tur_offsets(90, 100, dx, dy);
  EXPECT_EQ(dx, 100);
  EXPECT_EQ(dy, 0);
  tur_offsets(120, 100, dx, dy);  // q 1, a 30: (cos 30, sin 30)
  EXPECT_EQ(dx, 87);
  EXPECT_EQ(dy, 50);
  tur_offsets(210, 100, dx, dy);  // q 2, a 30
  EXPECT_EQ(dx, -50);
  EXPECT_EQ(dy, 87);
  tur_offsets(300, 100, dx, dy);  // q 3, a 30
  EXPECT_EQ(dx, -87);
  EXPECT_EQ(dy, -50);
  tur_offsets(359, 1000, dx, dy);  // q 3, a 89
  EXPECT_EQ(dx, -17);
  EXPECT_EQ(dy, -1000);
  // 30 degrees of 1: sin is exactly 1/2, rounded up.
  EXPECT_EQ(tur_scale(30, 1), 1);
  // The largest distance does not overflow.
  EXPECT_EQ(tur_scale(90, INT32_MAX), INT32_MAX);
  EXPECT_EQ(tur_scale(0, INT32_MAX), 0);
}

TEST(TurtleTables, StepsOfMovesAndTurnsBySpeed) {
  for (int32_t d : {0, 1, 100, 1000}) {
    EXPECT_EQ(tur_move_steps(3, d), 1);
    EXPECT_EQ(tur_move_steps(2, d), 2);
    EXPECT_EQ(tur_move_steps(1, d), 6);
    EXPECT_EQ(tur_turn_steps(3, d), 1);
    EXPECT_EQ(tur_turn_steps(2, d), 3);
    EXPECT_EQ(tur_turn_steps(1, d), 7);
  }
  EXPECT_EQ(tur_move_steps(0, 100), 20);
  EXPECT_EQ(tur_move_steps(0, 30), 6);
  EXPECT_EQ(tur_move_steps(0, 29), 14);
  EXPECT_EQ(tur_move_steps(0, 3), 1);
  EXPECT_EQ(tur_move_steps(0, 1), 1);
  EXPECT_EQ(tur_move_steps(0, 0), 1);
  EXPECT_EQ(tur_move_steps(0, -100), 1);
  EXPECT_EQ(tur_turn_steps(0, 90), 18);
  EXPECT_EQ(tur_turn_steps(0, 35), 7);
  EXPECT_EQ(tur_turn_steps(0, 34), 17);
  EXPECT_EQ(tur_turn_steps(0, -90), 1);
  EXPECT_EQ(tur_turn_steps(0, 1), 1);
}

TEST(TurtleTables, TurningStepsWrapAround) {
  EXPECT_EQ(tur_turned(0, 370, false), 350);
  EXPECT_EQ(tur_turned(350, 20, true), 10);
  EXPECT_EQ(tur_turned(10, -30, true), 340);
  EXPECT_EQ(tur_turned(10, -30, false), 40);
  EXPECT_EQ(tur_turned(359, INT32_MAX, true), int32_t((359LL + INT32_MAX) % 360));
  EXPECT_EQ(tur_turned(0, INT32_MIN, true), int32_t((int64_t(INT32_MIN) % 360) + 360));
}

// ---- the built-in images ----

bool bit(const TurImage& img, int x, int y) {
  int rb = (img.width + 7) / 8;
  return (img.bits[y * rb + x / 8] >> (x % 8)) & 1;
}

TEST(TurtleImages, ImageZeroIsTheGivenTurtle) {
  const uint8_t want[34] = {0x40, 0x00, 0xE1, 0x10, 0xE3, 0x18, 0xE6, 0x0C, 0xF4, 0x05, 0x48, 0x02,
                            0xFC, 0x07, 0x4C, 0x06, 0xFC, 0x07, 0x4C, 0x06, 0xFC, 0x07, 0x58, 0x03,
                            0xF4, 0x05, 0xE6, 0x0C, 0x43, 0x18, 0x40, 0x00, 0x40, 0x00};
  EXPECT_EQ(TUR_IMAGES[0].width, 13);
  EXPECT_EQ(TUR_IMAGES[0].height, 17);
  for (int i = 0; i < 34; ++i) EXPECT_EQ(TUR_IMAGES[0].bits[i], want[i]) << i;
}

TEST(TurtleImages, QuarterAndHalfTurnsAreExact) {
  const TurImage &i0 = TUR_IMAGES[0], &i6 = TUR_IMAGES[6], &i12 = TUR_IMAGES[12], &i18 = TUR_IMAGES[18];
  ASSERT_EQ(i6.width, 17);
  ASSERT_EQ(i6.height, 13);
  ASSERT_EQ(i12.width, 13);
  ASSERT_EQ(i12.height, 17);
  ASSERT_EQ(i18.width, 17);
  ASSERT_EQ(i18.height, 13);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 13; ++x) {
      bool b = bit(i0, x, y);
      EXPECT_EQ(bit(i6, 16 - y, x), b) << x << "," << y;  // a quarter turn clockwise
      EXPECT_EQ(bit(i12, 12 - x, 16 - y), b) << x << "," << y;
      EXPECT_EQ(bit(i18, y, 12 - x), b) << x << "," << y;
    }
}

TEST(TurtleImages, SizesAndIndexByDirection) {
  for (int k = 0; k < TUR_NIMAGES; ++k) {
    const TurImage& img = TUR_IMAGES[k];
    if (k % 6 != 0) {
      EXPECT_EQ(img.width, 19) << k;
      EXPECT_EQ(img.height, 19) << k;
    }
    int used = (img.width + 7) / 8 * img.height, set = 0;
    EXPECT_LE(used, TUR_IMAGE_SLOT);
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) set += bit(img, x, y);
    // Turned by nearest neighbour, the turtle keeps roughly its pixels.
    EXPECT_GT(set, 80) << k;
    EXPECT_LT(set, 130) << k;
  }
  EXPECT_EQ(tur_image_index(0), 0);
  EXPECT_EQ(tur_image_index(14), 0);
  EXPECT_EQ(tur_image_index(15), 1);
  EXPECT_EQ(tur_image_index(90), 6);
  EXPECT_EQ(tur_image_index(345), 23);
  EXPECT_EQ(tur_image_index(359), 23);
}

TEST(TurtleImages, TurnedImagesFaceTheirDirection) {
  // The head (the lone top pixel of image 0) ends up right in image 6,
  // at the bottom in image 12 and left in image 18.
  EXPECT_TRUE(bit(TUR_IMAGES[6], 16, 6));
  EXPECT_FALSE(bit(TUR_IMAGES[6], 16, 5));
  EXPECT_TRUE(bit(TUR_IMAGES[12], 6, 16));
  EXPECT_TRUE(bit(TUR_IMAGES[18], 0, 6));
  // Image 3 (45 degrees): something at the upper right, nothing in the corner.
  bool upper_right = false;
  for (int y = 0; y < 6; ++y)
    for (int x = 13; x < 19; ++x) upper_right |= bit(TUR_IMAGES[3], x, y);
  EXPECT_TRUE(upper_right);
  EXPECT_FALSE(bit(TUR_IMAGES[3], 18, 0));
}

// ---- primitives, evaluated ----

struct Turtle : rdtest::Fresh {
  void SetUp() override {
    setenv("ONDREL_HEADLESS", "1", 1);
    tur = ondrel::Turtle{};
    gfx.pen_state = 0;
    rdtest::Fresh::SetUp();
  }
  void TearDown() override {
    if (gfx.open) run("(close)");
    gfx_turtle = GfxTurtleHooks{};
    rdtest::Fresh::TearDown();
  }
  // Evaluate every datum; the written value of the last, or "error N".
  // What the primitives print goes to `printed`.
  std::string printed;
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
    printed = testing::internal::GetCapturedStdout();
    return code == 0 ? last : "error " + std::to_string(code);
  }
  static uint32_t screen(int x, int y) { return ras_get_pixel(gfx.screen, x, y); }
  static uint32_t canvas(int x, int y) { return ras_get_pixel(gfx.canvas, x, y); }
  static uint32_t panel(int x, int y) { return ras_get_pixel(gfx.panel, x, y); }
  // Redraws made by evaluating text.
  uint64_t redraws(const std::string& text) {
    uint64_t before = tur.redraws;
    run(text);
    return tur.redraws - before;
  }
};

TEST_F(Turtle, RegistrationOfTheGroupAndOfCursor) {
  uint32_t before = ev_registrations;
  tur_register();
  EXPECT_EQ(ev_registrations - before, 28u);  // "cursor" among them
  before = ev_registrations;
  gfx_register();
  EXPECT_EQ(ev_registrations - before, 16u);
  EXPECT_EQ(run("(procedure? cursor)"), "#t");
  EXPECT_EQ(run("(procedure? change-cursor2)"), "#t");
  EXPECT_EQ(run("(procedure? info-pendown?)"), "#t");
}

TEST_F(Turtle, InitialStateAndWhatOpeningChanges) {
  EXPECT_EQ(run("(info-direction)"), "-1");
  EXPECT_EQ(run("(info-speed)"), "-1");
  EXPECT_EQ(run("(info-position)"), "()");
  EXPECT_EQ(run("(info-pendown?)"), "#f");
  EXPECT_EQ(tur.speed, 1);
  EXPECT_EQ(run("(open)"), "()");
  EXPECT_EQ(run("(info-direction)"), "0");
  EXPECT_EQ(run("(info-speed)"), "2");
  EXPECT_EQ(run("(info-position)"), "(320 200)");
  EXPECT_EQ(run("(info-pendown?)"), "#t");
  // The cursor is on the screen buffer, centred on home, never on the canvas.
  EXPECT_EQ(screen(320, 192), RAS_BLACK);  // the head: image 0 row 0, pixel 6
  EXPECT_EQ(canvas(320, 192), RAS_WHITE);
  EXPECT_EQ(tur.cur_left, 314);
  EXPECT_EQ(tur.cur_top, 192);
}

TEST_F(Turtle, ForwardFromHomeInTwoStepsAtSpeedTwo) {
  run("(open)");
  EXPECT_EQ(redraws("(forward 100)"), 2u);
  EXPECT_EQ(run("(info-position)"), "(320 100)");
  // The line on the canvas, without the cursor.
  for (int y = 101; y <= 199; ++y) EXPECT_EQ(canvas(320, y), RAS_BLACK) << y;
  EXPECT_EQ(canvas(321, 150), RAS_WHITE);
  EXPECT_EQ(run("(right 45) (home) (forward 100) (info-position)"), "(391 129)");
  EXPECT_EQ(canvas(355, 165), RAS_BLACK);
}

TEST_F(Turtle, RefusedMovesPrintAndStay) {
  run("(open) (fast)");
  EXPECT_EQ(run("(forward 200) (info-position)"), "(320 0)");
  run("(home)");
  EXPECT_EQ(run("(forward 201)"), "()");
  EXPECT_EQ(printed, "Out of window : 640x400\n");
  EXPECT_EQ(run("(forward -10) (back -1) (jump 641 0) (jump 0 -1) (info-position)"), "(320 200)");
  std::string four;
  for (int i = 0; i < 4; ++i) four += "Out of window : 640x400\n";
  EXPECT_EQ(printed, four);
  EXPECT_EQ(run("(back 200) (info-position)"), "(320 400)");
  EXPECT_EQ(run("(jump 640 400) (info-position)"), "(640 400)");
  EXPECT_EQ(run("(jump 0 0) (east) (back 1)"), "()");
  EXPECT_EQ(printed, "Out of window : 640x400\n");
}

TEST_F(Turtle, StepCountsOfEverySpeed) {
  run("(open) (penup)");
  tur.speed = 0;
  EXPECT_EQ(redraws("(forward 100)"), 20u);
  EXPECT_EQ(redraws("(back 29)"), 14u);
  EXPECT_EQ(redraws("(forward 1)"), 1u);
  tur.speed = 1;
  EXPECT_EQ(redraws("(back 72)"), 6u);
  EXPECT_EQ(run("(info-position)"), "(320 200)");
  tur.speed = 3;
  EXPECT_EQ(redraws("(forward 50)"), 1u);
  // Turns: speed 2, (right 100) is 33, 33, 33 and 1.
  tur.speed = 2;
  run("(home) (north)");
  EXPECT_EQ(redraws("(right 100)"), 4u);
  EXPECT_EQ(tur.direction, 100);
  EXPECT_EQ(redraws("(left 90)"), 3u);
  EXPECT_EQ(tur.direction, 10);
  tur.speed = 1;
  EXPECT_EQ(redraws("(left 90)"), 8u);  // seven of 12, one of 6
  EXPECT_EQ(tur.direction, 280);
  tur.speed = 0;
  EXPECT_EQ(redraws("(right 90)"), 18u);
  EXPECT_EQ(tur.direction, 10);
  EXPECT_EQ(redraws("(right -90)"), 1u);
  EXPECT_EQ(tur.direction, 280);
  tur.speed = 2;
  EXPECT_EQ(redraws("(right -90)"), 3u);
  EXPECT_EQ(tur.direction, 190);
  EXPECT_EQ(redraws("(right 0)"), 0u);
  tur.speed = 3;
  run("(north)");
  EXPECT_EQ(redraws("(left 370)"), 1u);
  EXPECT_EQ(tur.direction, 350);
  EXPECT_EQ(redraws("(rotate 20 'ignored)"), 1u);
  EXPECT_EQ(tur.direction, 10);
}

TEST_F(Turtle, CompassTurnsFromEachQuadrant) {
  run("(open)");
  tur.speed = 3;
  // Each face: one animated step (speed 3), then the exact direction
  // redrawn once more.  The sign of the turn shows in the step.
  for (int from : {0, 45, 135, 180, 225, 315}) {
    for (const char* prim : {"(north)", "(east)", "(south)", "(west)"}) {
      tur.direction = from;
      uint64_t n = redraws(prim);
      EXPECT_GE(n, 1u) << prim << from;
      EXPECT_LE(n, 2u) << prim << from;
    }
  }
  tur.direction = 270;
  EXPECT_EQ(run("(east) (info-direction)"), "90");
  // From the opposite side each turns clockwise: right 180.
  tur.speed = 2;
  tur.direction = 180;
  uint64_t before = tur.redraws;
  run("(north)");
  EXPECT_EQ(tur.redraws - before, 4u);
  EXPECT_EQ(tur.direction, 0);
}

TEST_F(Turtle, CompassTurnsEndOnTheExactDirection) {
  run("(open)");
  tur.speed = 2;
  // (east) from 270: right by 180 through 0 in three steps, then the exact redraw.
  tur.direction = 270;
  EXPECT_EQ(redraws("(east)"), 4u);
  EXPECT_EQ(tur.direction, 90);
  tur.direction = 180;
  EXPECT_EQ(redraws("(west)"), 4u);
  EXPECT_EQ(tur.direction, 270);
  tur.direction = 300;  // left by 120
  EXPECT_EQ(redraws("(south)"), 4u);
  EXPECT_EQ(tur.direction, 180);
  tur.direction = 10;  // left by 100: 33, 33, 33, 1
  EXPECT_EQ(redraws("(west)"), 5u);
  EXPECT_EQ(tur.direction, 270);
  tur.direction = 0;  // no turn, one redraw
  EXPECT_EQ(redraws("(north)"), 1u);
}

TEST_F(Turtle, ArgumentRulesAndMessages) {
  EXPECT_EQ(run("(forward)"), "error 13");
  EXPECT_EQ(gfx.open, 0);  // refused before the window opens
  EXPECT_EQ(run("(right)"), "error 13");
  EXPECT_EQ(gfx.open, 0);
  EXPECT_EQ(run("(home 1)"), "error 14");
  EXPECT_EQ(run("(init 1)"), "error 14");
  EXPECT_EQ(run("(help-logo 1)"), "error 14");
  EXPECT_EQ(gfx.open, 0);
  EXPECT_EQ(run("(forward 'a)"), "error 16");
  EXPECT_EQ(gfx.open, GFX_OPEN);  // opened, then refused
  EXPECT_EQ(run("(forward 10 20)"), "error 14");
  EXPECT_EQ(run("(jump 1)"), "error 13");
  EXPECT_EQ(run("(jump 1 2 3)"), "error 14");
  EXPECT_EQ(run("(right 'a)"), "error 16");
  EXPECT_EQ(run("(right 1.5)"), "error 16");
  EXPECT_EQ(run("(r_forward_r 10)"), "error 13");
  EXPECT_EQ(run("(r_forward_r 10 'x)"), "error 16");
  EXPECT_EQ(run("(info-position)"), "(320 200)");
  EXPECT_EQ(run("(info-direction)"), "0");  // nothing turned
  EXPECT_EQ(run("(penup) (penup)"), "()");
  EXPECT_EQ(printed, TUR_PEN_ALREADY_UP);
  EXPECT_EQ(run("(pendown) (pendown)"), "()");
  EXPECT_EQ(printed, TUR_PEN_ALREADY_DOWN);
  EXPECT_EQ(run("(fast) (fast)"), "()");
  EXPECT_EQ(printed, TUR_FASTEST);
  EXPECT_EQ(run("(slow) (slow) (slow) (slow) (info-speed)"), "0");
  EXPECT_EQ(printed, TUR_SLOWEST);
  // The Shift-JIS bytes of one message, checked by hand: "すでに最高速です".
  EXPECT_EQ(std::string(TUR_FASTEST), "\x82\xb7\x82\xc5\x82\xc9\x8d\xc5\x8d\x82\x91\xac\x82\xc5\x82\xb7\n");
}

TEST_F(Turtle, PenAndSpeedImagesOnThePanel) {
  run("(open)");
  // Pen down: the pen-down image from x 56 of the indicator at (1, 213).
  for (int y = 0; y < 45; y += 4)
    for (int x = 0; x < 58; x += 3)
      ASSERT_EQ(panel(1 + x, 213 + y), ras_get_pixel(gfx.pen_ind, 56 + x, y)) << x << "," << y;
  run("(penup)");
  for (int y = 0; y < 45; y += 4)
    for (int x = 0; x < 58; x += 3)
      ASSERT_EQ(panel(1 + x, 213 + y), ras_get_pixel(gfx.pen_ind, x, y)) << x << "," << y;
  const int rows[4] = {105, 0, 35, 70};
  for (int s : {2, 3, 2, 1, 0}) {
    while (tur.speed < s) run("(fast)");
    while (tur.speed > s) run("(slow)");
    for (int y = 0; y < 35; y += 2)
      for (int x = 0; x < 58; x += 3)
        ASSERT_EQ(panel(1 + x, 278 + y), ras_get_pixel(gfx.speed_ind, x, rows[s] + y)) << s;
  }
}

TEST_F(Turtle, GridDrawnByAPlainRedrawAndHeldBackByAnimation) {
  run("(open)");
  constexpr uint32_t SILVER = GFX_PALETTE[GFX_SILVER];
  EXPECT_EQ(run("(sc)"), "()");
  EXPECT_EQ(screen(100, 50), RAS_WHITE);  // nothing redrawn yet
  run("(home)");
  EXPECT_EQ(screen(100, 50), SILVER);
  EXPECT_EQ(screen(620, 399), SILVER);
  EXPECT_EQ(screen(20, 7), SILVER);
  EXPECT_EQ(screen(21, 7), RAS_WHITE);
  EXPECT_EQ(canvas(100, 50), RAS_WHITE);
  run("(fast) (forward 50)");
  EXPECT_EQ(tur.grid, TUR_GRID_ON);
  EXPECT_EQ(screen(100, 50), RAS_WHITE);  // the pen-down move removed it
  run("(jump 320 150)");
  EXPECT_EQ(screen(100, 50), SILVER);
  run("(sc) (pset 1 1)");
  EXPECT_EQ(tur.grid, TUR_GRID_OFF);
  // The grid stays on the screen until the canvas is copied again.
  run("(cls)");
  EXPECT_EQ(screen(100, 50), RAS_WHITE);
  EXPECT_EQ(run("(sc) (init) (info-speed)"), "2");
  EXPECT_EQ(tur.grid, TUR_GRID_OFF);
}

TEST_F(Turtle, DirectionAndPositionBoxes) {
  run("(open) (fast) (right 90) (jump 100 300)");
  // The needle from (30, 105) to (50, 105), three pixels wide.
  EXPECT_EQ(panel(45, 105), RAS_BLACK);
  EXPECT_EQ(panel(30, 90), RAS_WHITE);
  run("(north)");
  EXPECT_EQ(panel(30, 90), RAS_BLACK);
  EXPECT_EQ(panel(45, 105), RAS_WHITE);
  // The left border stays black.
  EXPECT_EQ(panel(0, 390), RAS_BLACK);
}

TEST_F(Turtle, CursorOnTheScreenOnlyAndTurningWithTheTurtle) {
  run("(open) (fast) (penup)");
  run("(right 90)");
  EXPECT_EQ(tur.cursor_width, 17);
  EXPECT_EQ(tur.cursor_height, 13);
  // Image 6 drawn at (320 - 8, 200 - 6): its head at (328, 200).
  EXPECT_EQ(screen(328, 200), RAS_BLACK);
  EXPECT_EQ(screen(320, 192), RAS_WHITE);  // the old head erased
  run("(right 15)");
  EXPECT_EQ(tur.cursor_width, 19);
  // Moving erases the old cursor: nothing is left at home.
  run("(jump 100 100)");
  for (int y = 185; y <= 215; ++y)
    for (int x = 305; x <= 335; ++x) ASSERT_EQ(screen(x, y), RAS_WHITE) << x << "," << y;
  // The cursor's white pixels cover the drawing beneath it.
  run("(boxf 90 90 110 110)");
  EXPECT_EQ(screen(90, 90), RAS_BLACK);  // beside the 19 x 19 cursor
  EXPECT_EQ(screen(91, 91), RAS_WHITE);  // a clear corner pixel of image 7
  EXPECT_EQ(canvas(91, 91), RAS_BLACK);
}

TEST_F(Turtle, FileCursorsDoNotTurn) {
  char dir[] = "/tmp/turtle_cursorXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string file = std::string(dir) + "/dot.dat";
  FILE* f = std::fopen(file.c_str(), "wb");
  const unsigned char data[] = {'B', 'M', 'P', '1', 3, 2, 0x05, 0x07};  // X.X / XXX
  std::fwrite(data, 1, sizeof data, f);
  std::fclose(f);
  run("(open) (fast)");
  EXPECT_EQ(run("(cursor \"" + file + "\")"), "()");
  EXPECT_EQ(printed, "");
  EXPECT_EQ(tur.cursor_width, 3);
  EXPECT_EQ(tur.cursor_name, file);
  auto block = [&] {
    std::string s;
    for (int y = 198; y <= 202; ++y)
      for (int x = 317; x <= 323; ++x) s += screen(x, y) == RAS_BLACK ? 'X' : '.';
    return s;
  };
  std::string before = block();
  EXPECT_EQ(before,
            "......."
            "..X.X.."
            "..XXX.."
            "......."
            ".......");
  run("(right 90)");
  EXPECT_EQ(block(), before);
  EXPECT_EQ(tur.cursor_width, 3);
  // Back to the built-in turtle, facing the turtle's direction.
  run("(cursor)");
  EXPECT_EQ(tur.cursor_name, "turtle");
  EXPECT_EQ(tur.cursor_width, 17);
  // A file named turtle loads, and the next redraw puts the turtle back.
  std::string named = std::string(dir) + "/turtle";
  std::rename(file.c_str(), named.c_str());
  ASSERT_EQ(chdir(dir), 0);
  run("(cursor 'turtle)");
  EXPECT_EQ(printed, "");
  EXPECT_EQ(tur.cursor_width, 17);  // the redraw of "cursor" itself rebuilt it
  std::remove(named.c_str());
  ASSERT_EQ(chdir("/"), 0);
  rmdir(dir);
}

TEST_F(Turtle, MissingCursorFilesAndBadNames) {
  ASSERT_EQ(chdir("/"), 0);
  EXPECT_EQ(run("(cursor 5)"), "error 18");
  EXPECT_EQ(gfx.open, GFX_OPEN);  // opened first
  EXPECT_EQ(tur.cursor_width, 13);
  run("(fast)");
  EXPECT_EQ(run("(cursor \"no-such.dat\")"), "()");
  EXPECT_EQ(printed, "Couldn't create cursor data.\n");
  // The turtle was in use: shown again at once.
  EXPECT_EQ(tur.cursor_name, "turtle");
  EXPECT_EQ(screen(320, 192), RAS_BLACK);
  run("(close)");
  EXPECT_EQ(run("(change-cursor) (change-cursor2 1 2)"), "()");
  EXPECT_EQ(gfx.open, 0);
  EXPECT_EQ(printed, "");
  run("(open)");
  EXPECT_EQ(run("(change-cursor)"), "()");
  EXPECT_EQ(printed, "Couldn't create cursor data.\n");
}

TEST_F(Turtle, ClosingReturnsHomeNorthAndReopeningKeepsIt) {
  run("(open) (fast) (right 30) (forward 50) (slow) (slow) (penup) (close)");
  EXPECT_EQ(tur.x, 320);
  EXPECT_EQ(tur.y, 200);
  EXPECT_EQ(tur.direction, 0);
  EXPECT_EQ(gfx.pen_state, 0);
  run("(right 10)");  // opens the window
  EXPECT_EQ(run("(info-speed)"), "2");
  EXPECT_EQ(run("(info-pendown?)"), "#t");
  EXPECT_EQ(run("(info-direction)"), "10");
}

TEST_F(Turtle, InitRestoresTheInitialPicture) {
  run("(open) (width 5) (color 4 1) (penup) (fast) (right 33) (forward 20) (sc)");
  EXPECT_EQ(run("(init)"), "()");
  EXPECT_EQ(printed, "");
  EXPECT_EQ(
      run("(list (info-width) (info-color) (info-speed) (info-pendown?) (info-position) (info-direction))"),
      "(1 (0 7) 2 #t (320 200) 0)");
  EXPECT_EQ(tur.grid, TUR_GRID_OFF);
  EXPECT_EQ(canvas(5, 5), RAS_WHITE);
}

TEST_F(Turtle, RForwardRTurnsEvenWhenTheMoveIsRefused) {
  run("(open) (fast)");
  EXPECT_EQ(run("(r_forward_r 500 45) (info-direction)"), "90");
  EXPECT_EQ(printed, "Out of window : 640x400\n");
  EXPECT_EQ(run("(north) (r_forward_r 100 45) (info-position)"), "(391 129)");
}

TEST_F(Turtle, BreakDuringAnAnimationStopsItWhereItIs) {
  run("(open) (penup)");
  tur.speed = 0;
  vm.break_flag = 1;
  EXPECT_EQ(run("(forward 100)"), "error 41");
  EXPECT_EQ(run("(info-position)"), "(320 200)");
  // A break raised in the delay of a redraw: the held-back grid comes back.
  vm.break_flag = 0;
  tur.grid = TUR_GRID_ON;
  vm.break_flag = 1;
  EXPECT_EQ(run("(right 90)"), "error 41");
  EXPECT_EQ(tur.grid, TUR_GRID_ON);  // the held-back grid flag restored
  vm.break_flag = 0;
}

TEST_F(Turtle, BreakInTheMiddleOfAMoveKeepsTheStepsDone) {
  run("(open)");  // pen down
  tur.speed = 0;  // (forward 100): 20 steps of 5 pixels, 50 ms each
  uint64_t redraws_before = tur.redraws;
  // Ctrl+C from another thread once the third step is waiting its delay
  // (each step presents twice).  Wherever the break lands, the turtle and
  // the line must end at the last step done.
  uint64_t presents_before = plat_win_presents();
  std::atomic<bool> done{false};
  std::thread user([&] {
    while (!done && plat_win_presents() < presents_before + 5) std::this_thread::yield();
    vm.break_flag = 1;
  });
  std::string result = run("(forward 100)");
  done = true;
  user.join();
  vm.break_flag = 0;
  EXPECT_EQ(result, "error 41");
  int32_t steps = int32_t(tur.redraws - redraws_before);
  ASSERT_GE(steps, 3);
  ASSERT_LT(steps, 20);
  int32_t y = 200 - 5 * steps;
  EXPECT_EQ(tur.x, 320);
  EXPECT_EQ(tur.y, y);
  EXPECT_EQ(canvas(320, y + 1), RAS_BLACK);  // the line up to the last step
  EXPECT_EQ(canvas(320, y - 1), RAS_WHITE);  // and no further
  EXPECT_EQ(screen(320, y - 8), RAS_BLACK);  // the turtle's head drawn there
  EXPECT_EQ(tur.cur_top, y - 8);
  // The next move starts from there and erases that cursor.
  tur.speed = 3;
  EXPECT_EQ(run("(penup) (forward 50) (info-position)"), "(320 " + std::to_string(y - 50) + ")");
  EXPECT_EQ(screen(320, y - 8), RAS_WHITE);
}

TEST_F(Turtle, RedrawsWaitTheDelayOfTheirSpeed) {
  run("(open) (penup)");
  // Speeds 0 to 2 wait, and the wait notices a break; speed 3 does not.
  for (int32_t speed = 0; speed < 3; ++speed) {
    tur.speed = speed;
    vm.break_flag = 1;
    EXPECT_EQ(error_of([] { tur_redraw(); }), 41) << speed;
    EXPECT_EQ(vm.break_flag, 0);
  }
  tur.speed = 3;
  vm.break_flag = 1;
  EXPECT_EQ(error_of([] { tur_redraw(); }), 0);
  vm.break_flag = 0;
  // 50, 20 and 1 ms per redraw.  A sleep never ends early, so these lower
  // bounds hold however loaded the machine is.
  using ms = std::chrono::milliseconds;
  auto time_of = [&](int32_t speed, const char* text) {
    tur.speed = speed;
    auto start = std::chrono::steady_clock::now();
    run(text);
    return std::chrono::duration_cast<ms>(std::chrono::steady_clock::now() - start);
  };
  EXPECT_GE(time_of(0, "(forward 10)"), ms(5 * 50));  // 5 steps
  EXPECT_GE(time_of(1, "(back 10)"), ms(6 * 20));     // 6 steps
  EXPECT_GE(time_of(2, "(right 9)"), ms(3 * 1));      // 3 steps
  EXPECT_EQ(run("(info-position)"), "(320 200)");
}

TEST_F(Turtle, HelpLogoListsTheCommands) {
  EXPECT_EQ(run("(help)"), "()");
  std::string all;
  for (const char* line : TUR_HELP_LOGO) all += line;
  EXPECT_EQ(printed, all);
  EXPECT_EQ(gfx.open, 0);
  EXPECT_EQ(std::string(TUR_HELP_LOGO[16]).substr(0, 14), "(go d)        ");
}

}  // namespace
