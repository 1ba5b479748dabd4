// port_test.cpp - current ports rebound to a slot, and character I/O.
#include <dirent.h>

#include <fstream>
#include <string>

#include "reader/reader_support.h"
#include "support/tempdir.h"

using namespace rdtest;

namespace {

int open_fds() {
  int n = 0;
  DIR* d = opendir("/proc/self/fd");
  while (readdir(d) != nullptr) ++n;
  closedir(d);
  return n;
}

struct Ports : Fresh {
  TempDir dir;

  std::string path(const std::string& name) { return dir / name; }
  std::string make_file(const std::string& name, const std::string& text) {
    std::string p = path(name);
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }
  // Shutdown with the fixture's report stream out of the current port.
  void shutdown() {
    rd_reset_ports();
    rd_shutdown_ports();
  }
  void TearDown() override {
    shutdown();
    Fresh::TearDown();
  }
};

/* ------------------------------------------------------ current ports */

TEST_F(Ports, ClosingAReboundPortGivesTheConsoleBack) {
  std::string f = make_file("rebound.sc", "x");
  Value port = rd_open_input(f.c_str());
  rd_stream(PORT_CUR_IN) = rd_stream(port);  // as with-input-from-file does
  rd_close_port(port);
  EXPECT_EQ(rd_in(), stdin);
  // At shutdown a rebound stream that is also in a slot is closed once.
  Value again = rd_open_input(f.c_str());
  rd_stream(PORT_CUR_IN) = rd_stream(again);
  int fds = open_fds();
  shutdown();
  EXPECT_EQ(open_fds(), fds - 1);
  EXPECT_EQ(rd_in(), stdin);
}

TEST_F(Ports, ResetSetsTheCurrentPortsBackWithoutClosing) {
  std::string f = make_file("reset.sc", "x");
  Value port = rd_open_input(f.c_str());
  rd_stream(PORT_CUR_IN) = rd_stream(port);
  rd_stream(PORT_CUR_OUT) = report.f;
  rd_reset_ports();
  EXPECT_EQ(rd_in(), stdin);
  EXPECT_EQ(rd_out(), stdout);
  EXPECT_NE(rd_stream(port), nullptr);  // the slot stays in use
}

/* ----------------------------------------------------- character I/O */

TEST_F(Ports, ReadAndUngetCharacters) {
  Input in("a\xff");
  EXPECT_EQ(rd_read_char(in.f), 'a');
  rd_unget_char('a', in.f);
  EXPECT_EQ(rd_read_char(in.f), 'a');
  EXPECT_EQ(rd_read_char(in.f), 0xFF);  // bytes are unsigned
  EXPECT_EQ(rd_read_char(in.f), EOF);
  rd_unget_char(EOF, in.f);
  EXPECT_EQ(rd_read_char(in.f), EOF);
  EXPECT_EQ(rd_read_char(nullptr), EOF);
}

TEST_F(Ports, WriteKeepsEveryByte) {
  Output out;
  rd_write_n("a\0b", 3, out.f);
  rd_write("cd", out.f);
  rd_write("lost", nullptr);  // a closed stream takes nothing
  EXPECT_EQ(out.str(), std::string("a\0bcd", 5));
}

}  // namespace
