// gfx_test.cpp - the graphics primitives called directly, off-screen:
// argument checks, messages, what lands on the pictures, the panel, the
// window's opening and closing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "eval/protect.h"
#include "memory/error.h"
#include "graphics/gfx.h"
#include "graphics/gfxtext.h"
#include "memory/memory.h"
#include "platform/window.h"

using namespace ondrel;

namespace {

// One argument: an integer or a text (made a STRING, never an INTEGER).
struct Arg {
  bool text;
  int32_t n;
  const char* s;
  Arg(int32_t v) : text(false), n(v), s(nullptr) {}
  Arg(const char* v) : text(true), n(0), s(v) {}
};

// A fresh argument list; everything made is kept on the software stack
// until it is linked.
Value list(std::initializer_list<Arg> items) {
  uint32_t base = mem.sp;
  for (const Arg& a : items) mem_push(a.text ? mem_make_string(a.s) : mem_make_integer(a.n));
  Value l = NIL;
  mem_push(l);
  for (uint32_t i = mem.sp - 1; i-- > base;) {
    l = mem_cons(sstack()[i], sstack()[mem.sp - 1]);
    sstack()[mem.sp - 1] = l;
  }
  mem.sp = base;
  return l;
}

// The primitive just run raised error `code` (the output is the report).
bool reports(const std::string&, int code) { return vm.last_error == code; }

struct Gfx : testing::Test {
  void SetUp() override {
    setenv("ONDREL_HEADLESS", "1", 1);
    mem_init();
  }
  void TearDown() override {
    if (gfx.open) {
      testing::internal::CaptureStdout();
      gfx_close_window(NIL);
      testing::internal::GetCapturedStdout();
    }
    gfx_turtle = GfxTurtleHooks{};
    mem_shutdown();
  }
  // Run a primitive; returns its output, and in `raised` whether it unwound.
  std::string run(Value (*prim)(Value), Value args, bool* raised = nullptr, Value* result = nullptr) {
    testing::internal::CaptureStdout();
    vm.last_error = 0;
    int code = ev_protected([&] {
      Value v = prim(args);
      if (result) *result = v;
    });
    EXPECT_NE(code, UNWIND_QUIT);
    bool r = code == UNWIND_ERROR;
    if (raised) *raised = r;
    return testing::internal::GetCapturedStdout();
  }
  void open() { EXPECT_EQ(run(gfx_open_window, NIL), ""); }
  uint32_t canvas(int x, int y) { return ras_get_pixel(gfx.canvas, x, y); }
  uint32_t screen(int x, int y) { return ras_get_pixel(gfx.screen, x, y); }
  uint32_t panel(int x, int y) { return ras_get_pixel(gfx.panel, x, y); }
};

constexpr uint32_t WHITE = 0xFFFFFF, BLACK = 0, RED = 0x0000FF, BLUE = 0xFF0000;

TEST_F(Gfx, OpeningBuildsTheInitialPicture) {
  EXPECT_EQ(gfx.open, 0);
  Value v = 0;
  EXPECT_EQ(run(gfx_open_window, NIL, nullptr, &v), "");
  EXPECT_EQ(v, NIL);
  EXPECT_EQ(gfx.open, 255);
  EXPECT_TRUE(gfx.window);
  EXPECT_TRUE(plat_win_headless());
  for (int i = 0; i < GFX_PALETTE_SIZE; ++i) EXPECT_EQ(gfx.palette[i], GFX_PALETTE[i]);
  EXPECT_EQ(gfx.fg, BLACK);
  EXPECT_EQ(gfx.bg, WHITE);
  EXPECT_EQ(gfx.fg_index, 0);
  EXPECT_EQ(gfx.bg_index, 7);
  EXPECT_EQ(gfx.line_width, 1);
  ASSERT_TRUE(ras_live(gfx.canvas) && ras_live(gfx.screen) && ras_live(gfx.panel));
  EXPECT_EQ(gfx.cursor.width, 50);
  EXPECT_EQ(gfx.pen_ind.width, 116);
  EXPECT_EQ(gfx.pen_ind.height, 45);
  EXPECT_EQ(gfx.speed_ind.width, 58);
  EXPECT_EQ(gfx.speed_ind.height, 140);
  // Canvas and screen white all over.
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 640; ++x) {
      ASSERT_EQ(canvas(x, y), WHITE) << x << "," << y;
      ASSERT_EQ(screen(x, y), WHITE) << x << "," << y;
    }
  // Panel: black left border, box outlines (2 pixels, centred on y = 0,
  // 65, ..., 325 - 1), white inside.
  for (int y = 0; y < 400; ++y) EXPECT_EQ(panel(0, y), BLACK) << y;
  for (int y : {64, 65, 129, 130, 194, 195, 259, 260, 324}) EXPECT_EQ(panel(30, y), BLACK) << y;
  EXPECT_EQ(panel(30, 63), WHITE);
  EXPECT_EQ(panel(30, 66), WHITE);
  EXPECT_EQ(panel(30, 380), WHITE);
  EXPECT_EQ(panel(59, 10), WHITE);  // the boxes' right edges lie outside
  // The colour box holds the foreground circle and the indices.
  EXPECT_EQ(panel(30, 161), BLACK);
  EXPECT_EQ(panel(3, 133), WHITE);
  // Labels: some black inside "width" at (15, 2).
  int ink = 0;
  for (int y = 2; y < 15; ++y)
    for (int x = 15; x < 45; ++x) ink += panel(x, y) == BLACK;
  EXPECT_GT(ink, 20);
  // Opening again says so and changes nothing.
  EXPECT_EQ(run(gfx_open_window, NIL), GFX_ALREADY_OPEN);
  EXPECT_STREQ(GFX_ALREADY_OPEN, "\x8a\xf9\x82\xc9\x82\x6e\x82\x6f\x82\x64\x82\x6d\x82\xb3\x82\xea\x82\xc4\x82\xe9\x82\xe6\n");
}

TEST_F(Gfx, OpenAndCloseRefuseArguments) {
  bool raised = false;
  std::string out = run(gfx_open_window, list({1}), &raised);
  EXPECT_TRUE(raised);
  EXPECT_TRUE(reports(out, 14)) << out;
  EXPECT_EQ(gfx.open, 0);
  open();
  out = run(gfx_close_window, list({1}), &raised);
  EXPECT_TRUE(raised);
  EXPECT_TRUE(reports(out, 14));
  EXPECT_EQ(gfx.open, 255);
}

TEST_F(Gfx, ClosingReleasesEverything) {
  EXPECT_EQ(run(gfx_close_window, NIL), GFX_NO_NEED);
  int home_norths = 0;
  static int* counter;
  counter = &home_norths;
  gfx_turtle.home_north = [] { ++*counter; };
  open();
  gfx.pen_state = 255;
  EXPECT_EQ(run(gfx_close_window, NIL), "");
  EXPECT_EQ(home_norths, 1);
  EXPECT_EQ(gfx.open, 0);
  EXPECT_EQ(gfx.pen_state, 0);
  EXPECT_FALSE(gfx.window);
  EXPECT_FALSE(ras_live(gfx.canvas) || ras_live(gfx.screen) || ras_live(gfx.panel) ||
               ras_live(gfx.cursor) || ras_live(gfx.pen_ind) || ras_live(gfx.speed_ind));
  EXPECT_EQ(run(gfx_close_window, NIL), GFX_NO_NEED);
  // Reopened: a fresh white canvas, black on white, width 1.
  open();
  run(gfx_color, list({4, 1}));
  run(gfx_width, list({5}));
  run(gfx_boxf, list({0, 0, 640, 400}));
  run(gfx_close_window, NIL);
  open();
  EXPECT_EQ(canvas(100, 100), WHITE);
  EXPECT_EQ(gfx.line_width, 1);
  EXPECT_EQ(gfx.fg_index, 0);
  EXPECT_EQ(gfx.bg_index, 7);
}

// 13 before the window opens, then 16 and 14 after.
TEST_F(Gfx, ArgumentCheckOrder) {
  bool raised = false;
  std::string out = run(gfx_line, list({1, 2, 3}), &raised);
  EXPECT_TRUE(raised);
  EXPECT_TRUE(reports(out, 13)) << out;
  EXPECT_EQ(gfx.open, 0);
  out = run(gfx_line, list({1, 2, 3, "a"}), &raised);
  EXPECT_TRUE(raised);
  EXPECT_TRUE(reports(out, 16)) << out;
  EXPECT_EQ(gfx.open, 255);
  run(gfx_close_window, NIL);
  out = run(gfx_line, list({1, 2, 3, 4, 5}), &raised);
  EXPECT_TRUE(raised);
  EXPECT_TRUE(reports(out, 14)) << out;
  EXPECT_EQ(gfx.open, 255);
  // The type of every element comes before the count: 16, not 14.
  out = run(gfx_line, list({1, 2, 3, 4, "x"}), &raised);
  EXPECT_TRUE(reports(out, 16)) << out;
  // A real number is not an INTEGER.
  {
    Value r = mem_make_real(1.0);
    Protect keep(r);
    Value args = mem_cons(r, list({2}));
    out = run(gfx_pset, args, &raised);
  }
  EXPECT_TRUE(raised);
  EXPECT_TRUE(reports(out, 16));
  // Each figure primitive has its count.
  struct Case { Value (*prim)(Value); int n; };
  for (Case c : {Case{gfx_pset, 2}, Case{gfx_preset, 2}, Case{gfx_box, 4}, Case{gfx_boxf, 4},
                 Case{gfx_circle, 3}, Case{gfx_circlef, 3}, Case{gfx_color, 2}, Case{gfx_width, 1}}) {
    Value few = c.n == 1 ? NIL : c.n == 2 ? list({1}) : c.n == 3 ? list({1, 2}) : list({1, 2, 3});
    EXPECT_TRUE(reports(run(c.prim, few, &raised), 13));
    EXPECT_TRUE(raised);
    Value many = c.n == 1 ? list({1, 1}) : c.n == 2 ? list({1, 1, 1}) : c.n == 3 ? list({1, 1, 1, 1}) : list({1, 1, 1, 1, 1});
    EXPECT_TRUE(reports(run(c.prim, many, &raised), 14));
    EXPECT_TRUE(raised);
  }
  // A circular list of integers ends in error 14, not in a loop.
  {
    Value ring = list({1, 2});
    set_cdr(cdr(ring), ring);
    Protect keep(ring);
    EXPECT_TRUE(reports(run(gfx_line, ring, &raised), 14));
    EXPECT_TRUE(raised);
  }
  // Primitives without arguments.
  EXPECT_TRUE(reports(run(gfx_cls, list({1}), &raised), 14));
  EXPECT_TRUE(reports(run(gfx_help_basic, list({1}), &raised), 14));
}

TEST_F(Gfx, ArgumentCollectionOpensTheWindow) {
  EXPECT_EQ(run(gfx_pset, list({10, 10})), "");
  EXPECT_EQ(gfx.open, 255);
  EXPECT_EQ(canvas(10, 10), BLACK);
  EXPECT_EQ(screen(10, 10), BLACK);
}

TEST_F(Gfx, PointsAndTheirRefusals) {
  open();
  EXPECT_EQ(run(gfx_pset, list({641, 0})), "Out of window : 640x400 \n");
  EXPECT_EQ(run(gfx_pset, list({-5, 10})), "Out of window : 640x400 \n");
  EXPECT_EQ(run(gfx_pset, list({0, 401})), "Out of window : 640x400 \n");
  EXPECT_EQ(run(gfx_preset, list({-5, 10})), "Out of window : 640x400\n");
  EXPECT_EQ(run(gfx_preset, list({5, -1})), "Out of window : 640x400\n");
  EXPECT_EQ(run(gfx_pset, list({640, 400})), "");  // accepted, leaves no mark
  EXPECT_EQ(run(gfx_pset, list({0, 0})), "");
  EXPECT_EQ(run(gfx_pset, list({639, 399})), "");
  EXPECT_EQ(canvas(0, 0), BLACK);
  EXPECT_EQ(canvas(639, 399), BLACK);
  run(gfx_color, list({4, 1}));
  run(gfx_pset, list({5, 5}));
  EXPECT_EQ(canvas(5, 5), RED);
  run(gfx_preset, list({0, 0}));
  EXPECT_EQ(canvas(0, 0), BLUE);
  EXPECT_EQ(screen(0, 0), BLUE);
}

TEST_F(Gfx, Lines) {
  open();
  EXPECT_EQ(run(gfx_line, list({10, 20, 30, 20})), "");
  for (int x = 10; x < 30; ++x) {
    EXPECT_EQ(canvas(x, 20), BLACK);
    EXPECT_EQ(screen(x, 20), BLACK);
  }
  EXPECT_EQ(canvas(30, 20), WHITE);  // end point left out
  EXPECT_EQ(run(gfx_line, list({0, 0, 641, 0})), "Out of window : 640x400\n");
  EXPECT_EQ(run(gfx_line, list({0, -1, 10, 0})), "Out of window : 640x400\n");
  EXPECT_EQ(run(gfx_line, list({0, 0, 640, 400})), "");
  run(gfx_width, list({5}));
  run(gfx_line, list({100, 100, 200, 100}));
  for (int y = 98; y <= 102; ++y) EXPECT_EQ(canvas(150, y), BLACK) << y;
  EXPECT_EQ(canvas(150, 103), WHITE);
  EXPECT_EQ(canvas(150, 97), WHITE);
}

TEST_F(Gfx, Boxes) {
  open();
  // Corners put in order.
  EXPECT_EQ(run(gfx_box, list({600, 300, 10, 10})), "");
  EXPECT_EQ(canvas(10, 10), BLACK);
  EXPECT_EQ(canvas(599, 299), BLACK);
  EXPECT_EQ(canvas(600, 300), WHITE);
  EXPECT_EQ(canvas(300, 150), WHITE);  // hollow
  // Only x0, y0 from below and x1, y1 from above are tested.
  EXPECT_EQ(run(gfx_box, list({700, 10, 10, 300})), "");
  EXPECT_EQ(canvas(639, 10), BLACK);
  EXPECT_EQ(run(gfx_box, list({10, 10, 700, 300})), "Out of window : 640x400\n");
  EXPECT_EQ(run(gfx_box, list({-1, 10, 100, 300})), "Out of window : 640x400\n");
  EXPECT_EQ(run(gfx_boxf, list({10, -1, 100, 300})), "Out of window : 640x400\n");
  EXPECT_EQ(run(gfx_boxf, list({10, 10, 100, 401})), "Out of window : 640x400\n");
  run(gfx_color, list({4, 7}));
  EXPECT_EQ(run(gfx_boxf, list({50, 50, 60, 60})), "");
  EXPECT_EQ(canvas(55, 55), RED);
  EXPECT_EQ(canvas(50, 50), RED);
  EXPECT_EQ(canvas(60, 60), WHITE);
  // The drawing pen is selected again afterwards: background brush.
  EXPECT_FALSE(gfx.brush.hollow);
  EXPECT_EQ(gfx.brush.color, WHITE);
}

TEST_F(Gfx, Circles) {
  open();
  EXPECT_EQ(run(gfx_circle, list({0, 0, 50})), "");  // no range test
  EXPECT_EQ(canvas(49, 0), BLACK);
  EXPECT_EQ(canvas(0, 49), BLACK);
  EXPECT_EQ(canvas(10, 10), WHITE);
  EXPECT_EQ(run(gfx_circle, list({-5000, 2000000000, 2147483647})), "");  // far off, harmless
  run(gfx_color, list({2, 7}));
  EXPECT_EQ(run(gfx_circlef, list({320, 200, 30})), "");
  EXPECT_EQ(canvas(320, 200), 0x00FF00u);
  EXPECT_EQ(screen(320, 200), 0x00FF00u);
  EXPECT_EQ(canvas(290, 199), 0x00FF00u);  // box (290, 170)-(350, 230)
  EXPECT_EQ(canvas(289, 199), WHITE);
  EXPECT_EQ(canvas(349, 200), 0x00FF00u);
  EXPECT_EQ(canvas(350, 200), WHITE);
  // A negative radius gives the same box.
  run(gfx_cls, NIL);
  run(gfx_circlef, list({100, 100, -10}));
  EXPECT_EQ(canvas(100, 100), 0x00FF00u);
}

TEST_F(Gfx, ColorChangesLaterDrawingAndThePanel) {
  open();
  run(gfx_pset, list({1, 1}));
  EXPECT_EQ(run(gfx_color, list({1, 4})), "");
  EXPECT_EQ(canvas(1, 1), BLACK);     // what is drawn keeps its colour
  EXPECT_EQ(canvas(2, 2), WHITE);     // the canvas is not cleared
  EXPECT_EQ(gfx.fg, BLUE);
  EXPECT_EQ(gfx.bg, RED);
  // The colour box is filled with the background colour, the rest of the
  // panel stays white.
  EXPECT_EQ(panel(2, 150), RED);
  EXPECT_EQ(panel(57, 193), RED);
  EXPECT_EQ(panel(30, 161), BLUE);    // the foreground circle
  EXPECT_EQ(panel(50, 100), WHITE);
  EXPECT_EQ(panel(30, 300), WHITE);
  // Out-of-palette indices: error 28, nothing changes.
  bool raised = false;
  EXPECT_TRUE(reports(run(gfx_color, list({17, 0}), &raised), 28));
  EXPECT_TRUE(raised);
  EXPECT_TRUE(reports(run(gfx_color, list({0, -1}), &raised), 28));
  EXPECT_EQ(gfx.fg_index, 1);
  EXPECT_EQ(gfx.bg_index, 4);
  EXPECT_EQ(gfx.fg, BLUE);
  EXPECT_EQ(run(gfx_color, list({16, 0})), "");  // the last entry is allowed
  EXPECT_EQ(gfx.fg, 0xC0C0C0u);
  // cls fills the canvas with the background colour.
  run(gfx_color, list({1, 7}));
  run(gfx_cls, NIL);
  EXPECT_EQ(canvas(1, 1), WHITE);
  run(gfx_pset, list({3, 3}));
  EXPECT_EQ(canvas(3, 3), BLUE);
  run(gfx_color, list({0, 6}));
  run(gfx_cls, NIL);
  EXPECT_EQ(canvas(400, 300), 0x00FFFFu);
  EXPECT_EQ(screen(400, 300), 0x00FFFFu);
}

TEST_F(Gfx, WidthAndItsBox) {
  open();
  EXPECT_EQ(run(gfx_width, list({11})), "Out of range : line-width(0-10) \n");
  EXPECT_EQ(run(gfx_width, list({-1})), "Out of range : line-width(0-10) \n");
  EXPECT_EQ(gfx.line_width, 1);
  EXPECT_EQ(run(gfx_width, list({10})), "");
  EXPECT_EQ(gfx.line_width, 10);
  EXPECT_EQ(gfx.pen.width, 10);
  // The sample line, 10 pixels thick around y = 40, and "10" from x = 24.
  for (int y = 35; y <= 44; ++y) EXPECT_EQ(panel(30, y), BLACK) << y;
  int ink_24 = 0;
  for (int y = 45; y < 58; ++y) ink_24 += panel(24, y) == BLACK || panel(25, y) == BLACK;
  EXPECT_GT(ink_24, 0);
  run(gfx_width, list({0}));
  EXPECT_EQ(gfx.line_width, 0);
  run(gfx_line, list({0, 5, 10, 5}));
  EXPECT_EQ(canvas(5, 4), WHITE);
  EXPECT_EQ(canvas(5, 5), BLACK);
  EXPECT_EQ(canvas(5, 6), WHITE);
}

TEST_F(Gfx, InformationPrimitives) {
  Value v = 0;
  run(gfx_info_width, list({1, 2}), nullptr, &v);
  ASSERT_TRUE(is(v, INTEGER));
  EXPECT_EQ(int_value(v), -1);
  run(gfx_info_color, NIL, nullptr, &v);
  EXPECT_EQ(v, NIL);
  EXPECT_EQ(gfx.open, 0);  // they never open the window
  open();
  run(gfx_width, list({3}));
  run(gfx_info_width, NIL, nullptr, &v);
  EXPECT_EQ(int_value(v), 3);
  run(gfx_color, list({4, 7}));
  mem.stress = true;  // a collection at each allocation must not lose the list
  run(gfx_info_color, list({9}), nullptr, &v);
  mem.stress = false;
  ASSERT_TRUE(is(v, PAIR));
  EXPECT_EQ(int_value(car(v)), 4);
  ASSERT_TRUE(is(cdr(v), PAIR));
  EXPECT_EQ(int_value(car(cdr(v))), 7);
  EXPECT_EQ(cdr(cdr(v)), NIL);
}

TEST_F(Gfx, HelpBasic) {
  std::string out = run(gfx_help_basic, NIL);
  std::string want;
  for (const char* l : GFX_HELP_BASIC) want += l;
  EXPECT_EQ(out, want);
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 18);
  EXPECT_EQ(out.substr(0, 5), "==== ");
  // "(width x)           線の太さを変える(0～10)\n", with the wave dash of CP932.
  EXPECT_NE(out.find("(width x)           \x90\xfc\x82\xcc\x91\xbe\x82\xb3\x82\xf0\x95\xcf\x82\xa6\x82\xe9(0\x81\x60" "10)\n"),
            std::string::npos);
  EXPECT_EQ(gfx.open, 0);
}

// The turtle's hooks run where the window's sequences name them.
TEST_F(Gfx, TurtleHooks) {
  static std::string trace;
  trace.clear();
  gfx_turtle.open_speed = [] { trace += "speed "; };
  gfx_turtle.open_cursor = [] { trace += "cursor "; };
  gfx_turtle.open_pen = [] { trace += "pen "; };
  gfx_turtle.redraw = [] { trace += "redraw "; };
  gfx_turtle.home_north = [] { trace += "home "; };
  open();
  EXPECT_EQ(trace, "speed cursor pen ");
  trace.clear();
  uint64_t before = plat_win_presents();
  run(gfx_pset, list({1, 1}));
  EXPECT_EQ(trace, "redraw ");
  EXPECT_EQ(plat_win_presents() - before, 1u);
  trace.clear();
  run(gfx_pset, list({-1, 1}));  // refused: no redraw
  run(gfx_color, list({0, 7}));  // no redraw for colour or width
  run(gfx_width, list({2}));
  EXPECT_EQ(trace, "");
  run(gfx_cls, NIL);
  EXPECT_EQ(trace, "home ");
  trace.clear();
  run(gfx_close_window, NIL);
  EXPECT_EQ(trace, "home ");
}

TEST_F(Gfx, PenCache) {
  open();
  uint32_t made = gfx.pens_made;
  gfx_select_pen(3, RED, -1);
  gfx_select_pen(3, RED, WHITE);
  EXPECT_EQ(gfx.pens_made, made + 1);  // the brush changes, the pen is kept
  EXPECT_FALSE(gfx.brush.hollow);
  gfx_select_pen(3, BLUE, -1);
  EXPECT_EQ(gfx.pens_made, made + 2);
  EXPECT_TRUE(gfx.brush.hollow);
}

}  // namespace
