// gfxfiles_test.cpp - 1-bit pictures, cursor files and BMP snapshots,
// parsed back field by field and pixel by pixel.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "memory/error.h"
#include "graphics/gfx.h"
#include "graphics/gfxtext.h"
#include "memory/memory.h"

using namespace ondrel;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t WHITE = 0xFFFFFF, BLACK = 0;

// Runs each case in a fresh directory of its own.
struct Files : testing::Test {
  fs::path old, dir;
  void SetUp() override {
    setenv("ONDREL_HEADLESS", "1", 1);
    old = fs::current_path();
    char tmpl[] = "/tmp/ondrel_gfx_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    fs::current_path(dir);
    mem_init();
  }
  void TearDown() override {
    if (gfx.open) {
      testing::internal::CaptureStdout();
      gfx_close_window(NIL);
      testing::internal::GetCapturedStdout();
    }
    mem_shutdown();
    fs::current_path(old);
    fs::remove_all(dir);
  }
  static void write(const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  static std::vector<uint8_t> read(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  std::string snap(Value args) {
    testing::internal::CaptureStdout();
    Value v = gfx_snapshot(args);
    EXPECT_EQ(v, NIL);
    return testing::internal::GetCapturedStdout();
  }
};

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint32_t u16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

std::vector<uint8_t> cursor_file(int w, int h, size_t data_bytes, uint8_t fill = 0) {
  std::vector<uint8_t> f = {'B', 'M', 'P', '1', uint8_t(w), uint8_t(h)};
  f.resize(6 + data_bytes, fill);
  return f;
}

TEST_F(Files, MonoPictureBitOrder) {
  // Width 10: two bytes a row; bit 1 is the leftmost pixel, the last
  // byte's unused bits are ignored.
  const uint8_t data[] = {0x01, 0xFE, 0x80, 0x02};
  Picture p{};
  ASSERT_TRUE(gfx_make_mono_picture(p, 10, 2, data, sizeof data, WHITE, BLACK));
  EXPECT_EQ(ras_get_pixel(p, 0, 0), BLACK);
  for (int x = 1; x < 8; ++x) EXPECT_EQ(ras_get_pixel(p, x, 0), WHITE) << x;
  EXPECT_EQ(ras_get_pixel(p, 8, 0), WHITE);  // 0xFE: bit 1 clear
  EXPECT_EQ(ras_get_pixel(p, 9, 0), BLACK);  // bit 2 set
  EXPECT_EQ(ras_get_pixel(p, 7, 1), BLACK);  // 0x80: the eighth pixel
  EXPECT_EQ(ras_get_pixel(p, 9, 1), BLACK);
  EXPECT_EQ(ras_get_pixel(p, 8, 1), WHITE);
  ras_release(p);
  // Data shorter than the rows: the rest is colour0.
  ASSERT_TRUE(gfx_make_mono_picture(p, 8, 3, data, 1, WHITE, BLACK));
  EXPECT_EQ(ras_get_pixel(p, 0, 0), BLACK);
  EXPECT_EQ(ras_get_pixel(p, 0, 2), WHITE);
  ras_release(p);
  EXPECT_FALSE(gfx_make_mono_picture(p, 0, 3, data, 4, WHITE, BLACK));
}

TEST_F(Files, IndicatorImages) {
  Picture pen{}, speed{};
  ASSERT_TRUE(gfx_make_mono_picture(pen, GFX_PEN_IND_W, GFX_PEN_IND_H, GFX_PEN_BITS, GFX_PEN_BITS_SIZE, WHITE, BLACK));
  ASSERT_TRUE(gfx_make_mono_picture(speed, GFX_SPEED_IND_W, GFX_SPEED_IND_H, GFX_SPEED_BITS, GFX_SPEED_BITS_SIZE, WHITE, BLACK));
  EXPECT_EQ(GFX_PEN_BITS_SIZE, 15u * 45);
  EXPECT_EQ(GFX_SPEED_BITS_SIZE, 8u * 140);
  // Both pen images hold a bar; the nib touches it only when down.
  auto ink = [](const Picture& p, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += ras_get_pixel(p, x, y) == BLACK;
    return n;
  };
  EXPECT_GT(ink(pen, 0, 37, 57, 41), 100);
  EXPECT_GT(ink(pen, 56, 37, 113, 41), 100);
  EXPECT_EQ(ink(pen, 0, 30, 57, 36), 0);     // up: a gap above the bar
  EXPECT_GT(ink(pen, 56, 30, 113, 36), 0);   // down: the nib reaches it
  // Speed images: more filled chevrons hold more ink; none filled least.
  int one = ink(speed, 0, 0, 57, 34), two = ink(speed, 0, 35, 57, 69);
  int three = ink(speed, 0, 70, 57, 104), none = ink(speed, 0, 105, 57, 139);
  EXPECT_LT(none, one);
  EXPECT_LT(one, two);
  EXPECT_LT(two, three);
  ras_release(pen);
  ras_release(speed);
}

TEST_F(Files, CursorFilesRefused) {
  Picture p{};
  EXPECT_FALSE(gfx_load_cursor_file(p, "missing.dat", WHITE, BLACK).ok);
  std::vector<uint8_t> f = cursor_file(13, 17, 34);
  f[3] = '2';
  write("sig.dat", f);
  EXPECT_FALSE(gfx_load_cursor_file(p, "sig.dat", WHITE, BLACK).ok);
  write("short.dat", {'B', 'M'});
  EXPECT_FALSE(gfx_load_cursor_file(p, "short.dat", WHITE, BLACK).ok);
  write("w0.dat", cursor_file(0, 17, 34));
  write("w51.dat", cursor_file(51, 17, 400));
  write("h0.dat", cursor_file(13, 0, 34));
  write("h51.dat", cursor_file(13, 51, 400));
  write("noheight.dat", {'B', 'M', 'P', '1', 13});
  for (const char* n : {"w0.dat", "w51.dat", "h0.dat", "h51.dat", "noheight.dat"})
    EXPECT_FALSE(gfx_load_cursor_file(p, n, WHITE, BLACK).ok) << n;
  EXPECT_FALSE(ras_live(p));  // nothing was built
}

TEST_F(Files, CursorFileAccepted) {
  // 13 x 17: two bytes a row, 34 bytes; the turtle facing up.
  const uint8_t rows[34] = {0x40, 0x00, 0xE1, 0x10, 0xE3, 0x18, 0xE6, 0x0C, 0xF4, 0x05, 0x48, 0x02,
                            0xFC, 0x07, 0x4C, 0x06, 0xFC, 0x07, 0x4C, 0x06, 0xFC, 0x07, 0x58, 0x03,
                            0xF4, 0x05, 0xE6, 0x0C, 0x43, 0x18, 0x40, 0x00, 0x40, 0x00};
  std::vector<uint8_t> f = cursor_file(13, 17, 0);
  f.insert(f.end(), rows, rows + 34);
  write("turtle.dat", f);
  Picture p{};
  CursorLoad r = gfx_load_cursor_file(p, "turtle.dat", WHITE, BLACK);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.width, 13);
  EXPECT_EQ(r.height, 17);
  EXPECT_EQ(p.width, 13);
  EXPECT_EQ(p.height, 17);
  const char* art[17] = {"......X......", "X....XXX....X", "XX...XXX...XX", ".XX..XXX..XX.",
                         "..X.XXXXX.X..", "...X..X..X...", "..XXXXXXXXX..", "..XX..X..XX..",
                         "..XXXXXXXXX..", "..XX..X..XX..", "..XXXXXXXXX..", "...XX.X.XX...",
                         "..X.XXXXX.X..", ".XX..XXX..XX.", "XX....X....XX", "......X......",
                         "......X......"};
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 13; ++x)
      EXPECT_EQ(ras_get_pixel(p, x, y), art[y][x] == 'X' ? BLACK : WHITE) << x << "," << y;
  ras_release(p);
  // Limits 1 and 50 are accepted; bytes beyond 1024 are ignored, and a
  // file shorter than its rows leaves the rest white.
  write("one.dat", cursor_file(1, 1, 1, 0x01));
  r = gfx_load_cursor_file(p, "one.dat", WHITE, BLACK);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(ras_get_pixel(p, 0, 0), BLACK);
  ras_release(p);
  write("big.dat", cursor_file(50, 50, 5000, 0xFF));
  r = gfx_load_cursor_file(p, "big.dat", WHITE, BLACK);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(ras_get_pixel(p, 49, 49), BLACK);
  ras_release(p);
  write("part.dat", cursor_file(16, 4, 3, 0xFF));
  r = gfx_load_cursor_file(p, "part.dat", WHITE, BLACK);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(ras_get_pixel(p, 7, 1), BLACK);   // byte 2
  EXPECT_EQ(ras_get_pixel(p, 8, 1), WHITE);   // byte 3 is missing
  EXPECT_EQ(ras_get_pixel(p, 0, 3), WHITE);
  ras_release(p);
}

TEST_F(Files, SnapshotNames) {
  char out[GFX_NAME_BUF];
  ASSERT_TRUE(gfx_snapshot_name("pic", out));
  EXPECT_STREQ(out, "pic.bmp");
  ASSERT_TRUE(gfx_snapshot_name("pic.bmp", out));
  EXPECT_STREQ(out, "pic.bmp");
  ASSERT_TRUE(gfx_snapshot_name("pic.BMP", out));
  EXPECT_STREQ(out, "pic.BMP.bmp");
  ASSERT_TRUE(gfx_snapshot_name("bmp", out));
  EXPECT_STREQ(out, "bmp.bmp");
  ASSERT_TRUE(gfx_snapshot_name(".bmp", out));
  EXPECT_STREQ(out, ".bmp");
  ASSERT_TRUE(gfx_snapshot_name("", out));
  EXPECT_STREQ(out, ".bmp");
  // 239 characters + ".bmp" + NUL = 244 fit; one more does not.
  std::string n239(239, 'a'), n240(240, 'a');
  ASSERT_TRUE(gfx_snapshot_name(n239.c_str(), out));
  EXPECT_EQ(std::string(out), n239 + ".bmp");
  EXPECT_FALSE(gfx_snapshot_name(n240.c_str(), out));
  std::string e243 = std::string(239, 'b') + ".bmp", e244 = std::string(240, 'b') + ".bmp";
  EXPECT_TRUE(gfx_snapshot_name(e243.c_str(), out));
  EXPECT_FALSE(gfx_snapshot_name(e244.c_str(), out));
}

// The file, parsed back: every header field, then every pixel against the
// screen buffer.
void check_bmp(const std::vector<uint8_t>& b, const Picture& screen) {
  ASSERT_EQ(b.size(), 768054u);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(u32(b, 2), 768054u);
  EXPECT_EQ(u16(b, 6), 0u);
  EXPECT_EQ(u16(b, 8), 0u);
  EXPECT_EQ(u32(b, 10), 54u);
  EXPECT_EQ(u32(b, 14), 40u);
  EXPECT_EQ(int32_t(u32(b, 18)), 640);
  EXPECT_EQ(int32_t(u32(b, 22)), 400);
  EXPECT_EQ(u16(b, 26), 1u);
  EXPECT_EQ(u16(b, 28), 24u);
  EXPECT_EQ(u32(b, 30), 0u);
  EXPECT_EQ(u32(b, 34), 768000u);
  for (size_t at : {38, 42, 46, 50}) EXPECT_EQ(u32(b, at), 0u) << at;
  int wrong = 0;
  for (int row = 0; row < 400; ++row)
    for (int x = 0; x < 640; ++x) {
      size_t at = 54 + size_t(row) * 1920 + size_t(x) * 3;
      uint32_t c = uint32_t(b[at + 2]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at]) << 16;
      wrong += c != ras_get_pixel(screen, x, 399 - row);
    }
  EXPECT_EQ(wrong, 0);
}

TEST_F(Files, Snapshots) {
  EXPECT_EQ(snap(NIL), GFX_NOT_SHOWN);  // closed: nothing written, not opened
  EXPECT_EQ(gfx.open, 0);
  EXPECT_FALSE(fs::exists("SS.bmp"));
  testing::internal::CaptureStdout();
  gfx_open_window(NIL);
  testing::internal::GetCapturedStdout();
  // Something to see, on the screen buffer only (what is saved).
  ras_rectangle(gfx.screen, 100, 50, 300, 250, RasPen{1, 0x0000FF}, RasBrush{false, 0x00FF00});
  ras_set_pixel(gfx.screen, 0, 399, 0xFF0000);
  ras_set_pixel(gfx.screen, 639, 0, 0x123456);
  EXPECT_EQ(snap(NIL), "./SS.bmp saved\n");
  check_bmp(read("SS.bmp"), gfx.screen);
  std::vector<uint8_t> b = read("SS.bmp");
  EXPECT_EQ(b[54], 0xFF);  // the first stored pixel is the bottom-left one: blue
  EXPECT_EQ(b[55], 0x00);
  EXPECT_EQ(b[56], 0x00);
  size_t top_right = 54 + 399 * 1920 + 639 * 3;
  EXPECT_EQ(b[top_right], 0x12);  // 0x123456 is blue 0x12, green 0x34, red 0x56
  EXPECT_EQ(b[top_right + 1], 0x34);
  EXPECT_EQ(b[top_right + 2], 0x56);
  // The picture is unchanged by saving it.
  EXPECT_EQ(ras_get_pixel(gfx.screen, 639, 0), 0x123456u);
}

TEST_F(Files, SnapshotFileNames) {
  testing::internal::CaptureStdout();
  gfx_open_window(NIL);
  testing::internal::GetCapturedStdout();
  auto one = [](Value v) {
    Protect keep(v);
    return mem_cons(v, NIL);
  };
  EXPECT_EQ(snap(one(mem_make_symbol("pic"))), "pic.bmp saved\n");
  EXPECT_TRUE(fs::exists("pic.bmp"));
  EXPECT_EQ(snap(one(mem_make_string("str"))), "str.bmp saved\n");
  EXPECT_EQ(snap(one(mem_make_string("done.bmp"))), "done.bmp saved\n");
  EXPECT_EQ(snap(one(mem_make_string("up.BMP"))), "up.BMP.bmp saved\n");
  fs::remove("SS.bmp");
  EXPECT_EQ(snap(one(mem_make_integer(5))), "./SS.bmp saved\n");
  EXPECT_TRUE(fs::exists("SS.bmp"));
  // Further arguments are ignored.
  {
    Value tail = one(mem_make_integer(1));
    Protect keep(tail);
    Value s = mem_make_string("two");
    EXPECT_EQ(snap(mem_cons(s, tail)), "two.bmp saved\n");
  }
  for (const char* n : {"pic.bmp", "str.bmp", "done.bmp", "up.BMP.bmp", "two.bmp"})
    EXPECT_EQ(fs::file_size(n), 768054u) << n;
  // A file that cannot be opened, and a name too long for its buffer.
  EXPECT_EQ(snap(one(mem_make_string("no/such/dir/x"))), "Can't open no/such/dir/x.bmp\n");
  std::string longname(240, 'n');
  EXPECT_EQ(snap(one(mem_make_string(longname.c_str()))), "Can't open " + longname + ".bmp\n");
  EXPECT_FALSE(fs::exists(longname + ".bmp"));
  // The window keeps working afterwards.
  EXPECT_EQ(snap(NIL), "./SS.bmp saved\n");
}

}  // namespace
