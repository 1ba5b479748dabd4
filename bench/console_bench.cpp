// console_bench.cpp - the terminal converters: Shift-JIS text to UTF-8 in
// the chunk sizes the printer writes, and typed UTF-8 lines to Shift-JIS,
// in megabytes of input per second.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/console.h"

using namespace ondrel;

// Mixed text as results and reports look: ASCII with Japanese messages.
static std::string make_text(size_t bytes, bool sjis) {
  const char* ja = sjis ? "\x95\x73\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7"
                        : "\xe4\xb8\x8d\xe6\xad\xa3\xe3\x81\xaa\xe5\xbc\x95\xe3\x81\x8d"
                          "\xe6\x95\xb0\xe3\x81\xa7\xe3\x81\x99";
  std::string s;
  while (s.size() < bytes) {
    s += "(define (fact x) (if (< x 2) 1 (* x (fact (- x 1)))))\n";
    s += "\nError : ";
    s += ja;
    s += "--List required\nAt (car 5)\n\n";
  }
  return s;
}

static double mbps(const char* to, const char* from, const std::string& text, size_t chunk) {
  double best = 1e9;
  size_t out_bytes = 0;
  for (int run = 0; run < 5; ++run) {
    PlatConverter cv;
    plat_converter_open(cv, to, from);
    std::string out;
    out.reserve(text.size() * 2);
    auto t0 = std::chrono::steady_clock::now();
    for (size_t at = 0; at < text.size(); at += chunk)
      plat_convert(cv, text.data() + at, at + chunk <= text.size() ? chunk : text.size() - at, out);
    plat_convert_flush(cv, out);
    double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    plat_converter_close(cv);
    if (t < best) best = t;
    out_bytes = out.size();
  }
  if (out_bytes == 0) std::fprintf(stderr, "no output\n");
  return static_cast<double>(text.size()) / 1e6 / best;
}

int main() {
  std::string sjis = make_text(4000000, true);
  std::string utf8 = make_text(4000000, false);
  std::printf("Shift-JIS -> UTF-8, chunks of 1 byte:   %8.1f MB/s\n", mbps("UTF-8", "CP932", sjis, 1));
  std::printf("Shift-JIS -> UTF-8, chunks of 64 bytes: %8.1f MB/s\n", mbps("UTF-8", "CP932", sjis, 64));
  std::printf("Shift-JIS -> UTF-8, chunks of 4 KB:     %8.1f MB/s\n", mbps("UTF-8", "CP932", sjis, 4096));
  std::printf("UTF-8 -> Shift-JIS, lines of 80 bytes:  %8.1f MB/s\n", mbps("CP932", "UTF-8", utf8, 80));
  return 0;
}
