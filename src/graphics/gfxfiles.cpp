// gfxfiles.cpp - pictures from packed 1-bit data, cursor files and the
// BMP snapshot file.
#include <cstdio>
#include <cstring>
#include <vector>

#include "graphics/gfx.h"
#include "platform/file_guard.h"
#include "platform/file_replace.h"
#include "platform/sandbox.h"

namespace ondrel {

/* --------------------------------------------------------- 1-bit pictures */

bool gfx_make_mono_picture(Picture& p, int32_t width, int32_t height, const uint8_t* data, uint32_t size,
                           uint32_t color0, uint32_t color1) {
  if (!ras_make(p, width, height)) return false;
  uint32_t k = 0;  // byte index into data
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; x += 8, ++k) {
      uint8_t byte = k < size ? data[k] : 0;
      for (int32_t bit = 0; bit < 8 && x + bit < width; ++bit)
        ras_set_pixel(p, x + bit, y, (byte >> bit) & 1 ? color1 : color0);
    }
  }
  return true;
}

/* ----------------------- cursor files: "BMP1", width, height, packed rows */

static constexpr uint32_t CURSOR_DATA_MAX = 1024;  // bytes kept from a cursor file

CursorLoad gfx_load_cursor_file(Picture& p, const char* name, uint32_t color0, uint32_t color1) {
  FileGuard in(plat_fopen(name, "rb"));
  if (!in.fp) return {false, 0, 0};
  char sig[4];
  if (std::fread(sig, 1, 4, in.fp) != 4 || std::memcmp(sig, "BMP1", 4) != 0) return {false, 0, 0};
  int w = std::fgetc(in.fp), h = std::fgetc(in.fp);
  if (w < 1 || w > GFX_CURSOR_MAX || h < 1 || h > GFX_CURSOR_MAX) return {false, 0, 0};
  // Everything up to the end of the file, of which the first 1024 bytes
  // are kept; a file shorter than its rows leaves the rest in colour0.
  uint8_t data[CURSOR_DATA_MAX];
  uint32_t n = 0;
  for (int c; (c = std::fgetc(in.fp)) != EOF;)
    if (n < CURSOR_DATA_MAX) data[n++] = uint8_t(c);
  bool ok = gfx_make_mono_picture(p, w, h, data, n, color0, color1);
  return {ok, w, h};
}

/* --------------------------------------------------------- snapshot files */

bool gfx_snapshot_name(const char* given, char (&out)[GFX_NAME_BUF]) {
  size_t n = std::strlen(given);
  bool has_ext = n >= 4 && std::memcmp(given + n - 4, ".bmp", 4) == 0;
  size_t total = n + (has_ext ? 0 : 4);
  if (total + 1 > size_t(GFX_NAME_BUF)) return false;
  std::memcpy(out, given, n);
  if (!has_ext) std::memcpy(out + n, ".bmp", 4);
  out[total] = '\0';
  return true;
}

static void put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
static void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

bool gfx_write_bmp(const Picture& p, const char* name) {
  if (!ras_live(p)) return false;
  size_t data_size = ras_rows24_size(p);
  std::vector<uint8_t> pixels(data_size);
  ras_read_rows24(p, pixels.data());
  uint8_t head[54] = {};
  head[0] = 'B';
  head[1] = 'M';
  put32(head + 2, uint32_t(54 + data_size));  // file size
  put32(head + 10, 54);                       // pixel data offset
  put32(head + 14, 40);                       // information header size
  put32(head + 18, uint32_t(p.width));
  put32(head + 22, uint32_t(p.height));   // positive: bottom row first
  put16(head + 26, 1);                    // planes
  put16(head + 28, 24);                   // bits per pixel
  put32(head + 30, 0);                    // no compression
  put32(head + 34, uint32_t(data_size));  // image size
  // Written whole or not at all: a full disk or a file-size limit leaves
  // the file that was there (if any) as it was, and no broken picture.
  FileReplace out;
  return plat_replace_begin(out, name) && plat_replace_write(out, head, sizeof head) &&
         plat_replace_write(out, pixels.data(), data_size) && plat_replace_commit(out);
}

}  // namespace ondrel
