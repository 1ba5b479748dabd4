// cursor_fuzz.cpp - cursor files: the input is stored as a file and read by
// the cursor-file loader.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz_support.h"
#include "graphics/gfx.h"

using namespace ondrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fz_process_init();
  // In the working directory (the replay test's own), removed at exit.
  static char name[64];
  if (name[0] == '\0') {
    std::snprintf(name, sizeof name, "ondrel-cursor-%d.dat", int(getpid()));
    std::atexit([] { std::remove(name); });
  }
  FILE* f = std::fopen(name, "wb");
  if (f == nullptr) return 0;
  if (size > 0 && std::fwrite(data, 1, size, f) != size) {
    std::fclose(f);
    return 0;
  }
  std::fclose(f);
  Picture p{};
  CursorLoad r = gfx_load_cursor_file(p, name, 0xFFFFFF, 0x000000);
  if (r.ok) {
    if (r.width < 1 || r.width > GFX_CURSOR_MAX || r.height < 1 || r.height > GFX_CURSOR_MAX)
      fz_fault("cursor size outside 1 to 50");
    if (p.width != r.width || p.height != r.height) fz_fault("picture size differs from the file's");
    // Touch every pixel: a short picture shows up under the sanitizer.
    uint32_t sum = 0;
    for (int32_t y = 0; y < p.height; ++y)
      for (int32_t x = 0; x < p.width; ++x) sum += ras_get_pixel(p, x, y);
    (void)sum;
  }
  ras_release(p);
  return 0;
}
