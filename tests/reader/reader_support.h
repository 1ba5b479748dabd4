// reader_support.h - memory streams and a fresh interpreter for the reader,
// printer and port tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "eval/protect.h"
#include "memory/error.h"
#include "memory/symtab.h"
#include "memory/memory.h"
#include "reader/port.h"
#include "reader/printer.h"
#include "reader/reader.h"
#include "toplevel/toplevel.h"

namespace rdtest {

using namespace ondrel;

// An input stream over a copy of `text`.
struct Input {
  std::string text;
  FILE* f;
  explicit Input(std::string t) : text(std::move(t)) {
    f = fmemopen(text.data(), text.size(), "r");
  }
  ~Input() { std::fclose(f); }
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;
  // What the reader left in the stream.
  std::string rest() {
    std::string s;
    for (int c; (c = std::getc(f)) != EOF;) s.push_back(static_cast<char>(c));
    return s;
  }
};

// An output stream collected into a string.
struct Output {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f;
  Output() { f = open_memstream(&buf, &len); }
  ~Output() {
    if (f != nullptr) std::fclose(f);
    std::free(buf);
  }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  std::string str() {
    std::fflush(f);
    return std::string(buf, len);
  }
};

inline std::string written(Value v) {
  Output o;
  rd_print(v, o.f);
  return o.str();
}

inline std::string displayed(Value v) {
  Output o;
  rd_display(v, o.f);
  return o.str();
}

// A fresh interpreter for each test; error reports go to a scratch stream
// so that they can be inspected and stay off the test's output.
struct Fresh : testing::Test {
  Output report;
  void SetUp() override {
    mem_init();
    rd_init_ports();
    tl_init_symbols();
    quiet();
  }
  void TearDown() override {
    rd_reset_ports();
    mem_shutdown();
  }
  // The error routine writes to the current output port and then resets
  // it to the console: point it at the scratch stream again.
  void quiet() { rd_stream(PORT_CUR_OUT) = report.f; }

  // Error code raised by f, or 0.
  template <typename F>
  int error_of(F&& f) {
    quiet();
    vm.last_error = 0;
    int code = ev_protected(f);
    if (code == 0) return 0;
    quiet();
    return code == UNWIND_ERROR ? vm.last_error : -1;
  }

  // The first datum of `text` in written form.
  std::string rw(const std::string& text) {
    Input in(text);
    return written(rd_read(in.f));
  }

  // Every datum of `text`, each in written form, up to the end of input.
  std::vector<std::string> all(const std::string& text) {
    Input in(text);
    std::vector<std::string> out;
    for (;;) {
      Value v = rd_read(in.f);
      if (v == mem_eof) break;
      out.push_back(written(v));
    }
    return out;
  }

  // Reads one datum from `text`; returns the error code (0 when none) and
  // stores what stayed in the stream in *rest.
  int read_error(const std::string& text, std::string* rest = nullptr) {
    Input in(text);
    int e = error_of([&] { rd_read(in.f); });
    if (rest != nullptr) *rest = in.rest();
    return e;
  }
};

}  // namespace rdtest
