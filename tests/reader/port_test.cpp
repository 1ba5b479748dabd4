// port_test.cpp - port tables, protected ports, character I/O and the
// transcript rules.
#include <dirent.h>

#include <fstream>
#include <sstream>
#include <string>

#include "reader/reader_support.h"

using namespace rdtest;

namespace {

int open_fds() {
  int n = 0;
  DIR* d = opendir("/proc/self/fd");
  while (readdir(d) != nullptr) ++n;
  closedir(d);
  return n;
}

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

struct Ports : Fresh {
  FILE* saved_stdin = nullptr;
  FILE* saved_stdout = nullptr;
  std::string dir = testing::TempDir();

  std::string path(const std::string& name) { return dir + "ondrel_port_" + name; }
  std::string make_file(const std::string& name, const std::string& text) {
    std::string p = path(name);
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }
  // Console input and output over memory streams.  GoogleTest reports on
  // standard output too, so check results only after restore().
  void console(FILE* in, FILE* out) {
    saved_stdin = stdin;
    saved_stdout = stdout;
    stdin = in;
    stdout = out;
    rd_stream(PORT_CUR_IN) = in;
    rd_stream(PORT_CUR_OUT) = out;
    rd_stream(PORT_IN_TABLE) = in;
    rd_stream(PORT_OUT_TABLE) = out;
  }
  void restore() {
    if (saved_stdin == nullptr) return;
    stdin = saved_stdin;
    stdout = saved_stdout;
    saved_stdin = saved_stdout = nullptr;
    rd_reset_ports();
    rd_stream(PORT_IN_TABLE) = stdin;
    rd_stream(PORT_OUT_TABLE) = stdout;
  }
  // Shutdown with the fixture's report stream out of the current port.
  void shutdown() {
    rd_reset_ports();
    rd_shutdown_ports();
  }
  void TearDown() override {
    rd_transcript_off();
    restore();
    shutdown();
    Fresh::TearDown();
  }
};

/* ---------------------------------------------------- tables and limits */

TEST_F(Ports, StartUpState) {
  EXPECT_EQ(tag_byte(PORT_CUR_IN), INPUT_PORT);
  EXPECT_EQ(tag_byte(PORT_CUR_OUT), OUTPUT_PORT);
  EXPECT_EQ(tag_byte(PORT_TRANSCRIPT), OUTPUT_PORT);
  EXPECT_EQ(rd_in(), stdin);
  EXPECT_EQ(rd_stream(PORT_IN_TABLE), stdin);
  EXPECT_EQ(rd_stream(PORT_OUT_TABLE), stdout);
  EXPECT_EQ(rd_stream(PORT_TRANSCRIPT), nullptr);
  EXPECT_FALSE(rd_transcript_active());
  for (int k = 1; k < PORT_SLOTS; ++k) {
    EXPECT_EQ(tag_byte(PORT_IN_TABLE + 8 * k), INPUT_PORT);
    EXPECT_EQ(tag_byte(PORT_OUT_TABLE + 8 * k), OUTPUT_PORT);
    EXPECT_EQ(rd_stream(PORT_IN_TABLE + 8 * k), nullptr);
    EXPECT_EQ(rd_stream(PORT_OUT_TABLE + 8 * k), nullptr);
  }
  EXPECT_LE(PORT_OUT_TABLE + 8 * PORT_SLOTS, PORT_TABLE + 8 * PORT_OBJECTS);
}

TEST_F(Ports, NineteenInputPortsThenError30) {
  std::string f = make_file("in.sc", "(a)");
  int fds = open_fds();
  for (int k = 1; k < PORT_SLOTS; ++k) EXPECT_EQ(rd_open_input(f.c_str()), PORT_IN_TABLE + 8 * k);
  EXPECT_EQ(open_fds(), fds + 19);
  EXPECT_EQ(error_of([&] { rd_open_input(f.c_str()); }), E_IN_PORT);
  EXPECT_EQ(open_fds(), fds + 19);  // the twentieth stream was closed again
  // A closed slot is taken again first.
  rd_close_port(PORT_IN_TABLE + 8 * 7);
  EXPECT_EQ(rd_open_input(f.c_str()), PORT_IN_TABLE + 8 * 7);
  shutdown();
  EXPECT_EQ(open_fds(), fds);
}

TEST_F(Ports, NineteenOutputPortsThenError31) {
  int fds = open_fds();
  for (int k = 1; k < PORT_SLOTS; ++k) {
    std::string p = path("out" + std::to_string(k));
    EXPECT_EQ(rd_open_output(p.c_str()), PORT_OUT_TABLE + 8 * k);
  }
  std::string last = path("out20");
  EXPECT_EQ(error_of([&] { rd_open_output(last.c_str()); }), E_OUT_PORT);
  EXPECT_EQ(open_fds(), fds + 19);
  shutdown();
  EXPECT_EQ(open_fds(), fds);
}

TEST_F(Ports, FilesThatDoNotOpenGiveNoPort) {
  EXPECT_EQ(rd_open_input(path("missing/none.sc").c_str()), 0u);
  EXPECT_EQ(rd_open_output(path("missing/none.sc").c_str()), 0u);
  EXPECT_EQ(rd_stream(PORT_IN_TABLE + 8), nullptr);
}

TEST_F(Ports, OutputPortTruncatesAndWrites) {
  std::string p = make_file("trunc.txt", "old contents");
  Value port = rd_open_output(p.c_str());
  rd_write("new", rd_stream(port));
  rd_close_port(port);
  EXPECT_EQ(slurp(p), "new");
  EXPECT_EQ(rd_stream(port), nullptr);
  rd_close_port(port);  // closing a closed port does nothing
}

TEST_F(Ports, ProtectedPorts) {
  for (Value p : {PORT_CUR_IN, PORT_CUR_OUT, PORT_TRANSCRIPT, PORT_IN_TABLE, PORT_OUT_TABLE})
    EXPECT_TRUE(rd_port_protected(p));
  for (int k = 1; k < PORT_SLOTS; ++k) {
    EXPECT_FALSE(rd_port_protected(PORT_IN_TABLE + 8 * k));
    EXPECT_FALSE(rd_port_protected(PORT_OUT_TABLE + 8 * k));
  }
  // Closing never closes the console streams.
  rd_close_port(PORT_CUR_IN);
  rd_close_port(PORT_OUT_TABLE);
  EXPECT_EQ(rd_in(), stdin);
  EXPECT_EQ(rd_stream(PORT_OUT_TABLE), stdout);
}

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

/* --------------------------------------------------------- transcript */

TEST_F(Ports, ConsoleDialogueInOrderEachCharacterOnce) {
  Input in("(a b)\n42\n");
  Output out;
  console(in.f, out.f);
  std::string t = path("dialogue.txt");
  rd_transcript_on(t.c_str());
  bool on = rd_transcript_active();
  rd_print(rd_read(stdin), rd_out());
  rd_print(rd_read(stdin), rd_out());  // the newline after 42 is pushed back
  Value end = rd_read(stdin);            // and read again, not copied again
  rd_transcript_off();
  bool off = !rd_transcript_active();
  restore();
  EXPECT_TRUE(on);
  EXPECT_TRUE(off);
  EXPECT_EQ(end, mem_eof);
  EXPECT_EQ(slurp(t), "(a b)(a b)\n42\n42\xff");
  EXPECT_EQ(out.str(), "(a b)42");
}

TEST_F(Ports, PushedBackConsoleCharacterIsCopiedOnce) {
  Input in("xy");
  Output out;
  console(in.f, out.f);
  std::string t = path("peek.txt");
  rd_transcript_on(t.c_str());
  int a = rd_read_char(stdin);
  rd_unget_char(a, stdin);
  int b = rd_read_char(stdin);
  int c = rd_read_char(stdin);
  rd_transcript_off();
  restore();
  EXPECT_EQ(a, 'x');
  EXPECT_EQ(b, 'x');
  EXPECT_EQ(c, 'y');
  EXPECT_EQ(slurp(t), "xy");
}

TEST_F(Ports, FileInputIsNotCopiedButPortOutputIs) {
  Input console_in("c");
  Output console_out;
  console(console_in.f, console_out.f);
  std::string t = path("files.txt");
  rd_transcript_on(t.c_str());
  Input file("(from file) z");
  vm.val = rd_read(file.f);
  vm.exp = rd_read(file.f);
  // A push-back onto a file does not hide the next console character.
  rd_unget_char('q', file.f);
  int c = rd_read_char(stdin);
  Output other;
  rd_write("to a file port", other.f);
  rd_console("console message");
  rd_transcript_off();
  restore();
  EXPECT_EQ(written(vm.val), "(from file)");
  EXPECT_EQ(written(vm.exp), "z");
  EXPECT_EQ(c, 'c');
  EXPECT_EQ(slurp(t), "cto a file port");
  EXPECT_EQ(other.str(), "to a file port");
  EXPECT_EQ(console_out.str(), "console message");
}

TEST_F(Ports, TranscriptOnAgainClosesTheOldFileFirst) {
  std::string a = path("first.txt"), b = path("second.txt");
  rd_transcript_on(a.c_str());
  rd_write("one", nullptr);
  rd_transcript_on(b.c_str());
  EXPECT_EQ(slurp(a), "one");  // flushed and closed, not lost
  rd_write("two", nullptr);
  // A file that cannot be created changes nothing.
  rd_transcript_on(path("missing/dir.txt").c_str());
  EXPECT_TRUE(rd_transcript_active());
  rd_write("three", nullptr);
  rd_transcript_off();
  EXPECT_EQ(slurp(b), "twothree");
  rd_transcript_off();  // off twice is harmless
  EXPECT_FALSE(rd_transcript_active());
}

TEST_F(Ports, TranscriptOnTheSameFileAgainStartsIt) {
  std::string a = path("same.txt");
  rd_transcript_on(a.c_str());
  rd_write("old", nullptr);
  rd_transcript_on(a.c_str());
  rd_write("new", nullptr);
  rd_transcript_off();
  EXPECT_EQ(slurp(a), "new");
}

TEST_F(Ports, ShutdownClosesTheTranscript) {
  std::string a = path("shutdown.txt");
  rd_transcript_on(a.c_str());
  rd_write("kept", nullptr);
  shutdown();
  EXPECT_FALSE(rd_transcript_active());
  EXPECT_EQ(slurp(a), "kept");
}

}  // namespace
