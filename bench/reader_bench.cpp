// reader_bench.cpp - reading nested lists datum by datum and printing a
// large list, in megabytes per second.
#include <chrono>
#include <cstdio>
#include <string>

#include "memory/symtab.h"
#include "memory/memory.h"
#include "reader/port.h"
#include "reader/printer.h"
#include "reader/reader.h"
#include "toplevel/toplevel.h"

using namespace ondrel;

static double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Source text of `bytes` bytes or a little more: definitions, nested
// lists, strings, characters, vectors and comments.  Names repeat, since
// every interned name stays in the string area for good.
static std::string make_source(size_t bytes) {
  std::string s;
  for (int i = 0; s.size() < bytes; ++i) {
    std::string n = std::to_string(i);
    s += "; definition " + n + "\n";
    s += "(define (fact x) (if (< x 2) 1 (* x (fact (- x 1.5)))))\n";
    s += "'((a b (c d (e f (g \"str " + n + "\")))) #(1 2 #\\a #\\space) . -" + n + ")\n";
    s += "(let loop ((i 0) (acc '())) (cond ((> i 10) acc) (else (loop (+ i 1) (cons i acc)))))\n";
  }
  return s;
}

// Seconds to read every datum of the file at `path`; counts the data.
static double read_file(const char* path, long* data) {
  FILE* f = std::fopen(path, "r");
  auto t0 = std::chrono::steady_clock::now();
  long n = 0;
  while (rd_read(f) != mem_eof) ++n;
  double t = seconds_since(t0);
  std::fclose(f);
  *data = n;
  return t;
}

static double read_mbps(size_t bytes) {
  std::string text = make_source(bytes);
  const char* path = "/tmp/ondrel_reader_bench.sc";
  FILE* f = std::fopen(path, "w");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  long data = 0;
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    double t = read_file(path, &data);
    if (t < best) best = t;
  }
  std::remove(path);
  double mb = static_cast<double>(text.size()) / 1e6;
  std::printf("read  %7.2f MB, %7ld data: %7.3f s, %7.2f MB/s\n", mb, data, best, mb / best);
  return mb / best;
}

static void print_mbps() {
  // A flat list of 30000 elements of mixed types, built once and rooted.
  Value l = NIL;
  for (int i = 0; i < 30000; ++i) {
    Value x;
    switch (i % 5) {
      case 0: x = mem_make_integer(i * 7919); break;
      case 1: x = mem_intern("symbol-name"); break;
      case 2: x = mem_make_real(i / 7.0); break;
      case 3: x = mem_char('a' + i % 26); break;
      default: x = mem_true; break;
    }
    vm.val = l;
    l = mem_cons(x, l);
  }
  vm.val = l;
  FILE* out = std::fopen("/dev/null", "w");
  // Measure the size once through a memory stream.
  char* buf = nullptr;
  size_t len = 0;
  FILE* m = open_memstream(&buf, &len);
  rd_print(l, m);
  std::fclose(m);
  std::free(buf);
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    auto t0 = std::chrono::steady_clock::now();
    for (int k = 0; k < 20; ++k) rd_print(l, out);
    double t = seconds_since(t0);
    if (t < best) best = t;
  }
  double mb = 20.0 * static_cast<double>(len) / 1e6;
  std::printf("write %7.2f MB (30000-element list x 20): %7.3f s, %7.2f MB/s\n", mb, best, mb / best);
  // The displayed form of a list is the written one: the same figure.
  auto t0 = std::chrono::steady_clock::now();
  for (int k = 0; k < 20; ++k) rd_display(l, out);
  double t = seconds_since(t0);
  std::printf("display the same list x 20: %7.3f s, %7.2f MB/s\n", t, mb / t);
  std::fclose(out);
}

int main() {
  mem_init();
  rd_init_ports();
  tl_init_symbols();
  // Linear in the input: twice the text should take about twice the time.
  double a = read_mbps(4u << 20);
  double b = read_mbps(8u << 20);
  std::printf("throughput ratio 8 MB / 4 MB: %.2f (1.00 is linear)\n", b / a);
  // One long token: a 10000-byte string read 200 times.
  std::string text;
  for (int i = 0; i < 200; ++i) text += "\"" + std::string(10000, 's') + "\"\n";
  FILE* f = fmemopen(text.data(), text.size(), "r");
  auto t0 = std::chrono::steady_clock::now();
  while (rd_read(f) != mem_eof) {
  }
  double t = seconds_since(t0);
  std::fclose(f);
  std::printf("read  %7.2f MB of 10000-byte strings: %7.3f s, %7.2f MB/s\n", text.size() / 1e6, t,
              text.size() / 1e6 / t);
  print_mbps();
  mem_shutdown();
  return 0;
}
