// editor_test.cpp - the source editor on the headless backend: file
// loading and saving, the definition display, and the file commands with
// their messages.  Keys, menus and dialogs are driven in e2e/editor_x11.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "../reader/reader_support.h"
#include "editor/editor.h"
#include "memory/memory.h"
#include "platform/editctl.h"
#include "platform/editwin_headless.h"
#include "support/tempdir.h"
#include "toplevel/toplevel.h"

namespace {

using namespace ondrel;

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void spit(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

struct Editor : rdtest::Fresh {
  TempDir dir;
  InDir in_dir{dir.path};  // the editor writes _temporaly.sc here
  void SetUp() override {
    rdtest::Fresh::SetUp();
    setenv("ONDREL_EDITOR", "headless", 1);
    rd_stream(PORT_CUR_OUT) = stdout;
  }
  void TearDown() override {
    if (hl_is_open()) {
      hl_answer_question(true);
      hl_post_command(ED_CMD_QUIT);
      hl_wait_closed();
    }
    hl_fail_open(false);
    rdtest::Fresh::TearDown();
  }
  std::string path(const char* name) { return dir / name; }
  // What running f prints on the standard output.
  template <typename F>
  std::string out_of(F&& f) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    f();
    hl_wait_idle();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
  }
  Value datum(const char* text) {
    rdtest::Input in(text);
    return rd_read(in.f);
  }
  // (editor) with the argument list `args`; what it printed.
  std::string open(Value args = NIL) {
    return out_of([&] { EXPECT_EQ(ed_editor(args), NIL); });
  }
  std::string command(int32_t id) {
    return out_of([&] { hl_post_command(id); });
  }
};

TEST_F(Editor, LoadingAddsCarriageReturnsAndSavingDropsThem) {
  std::string p = path("file.sc");
  std::string text;
  spit(p, "");
  ASSERT_TRUE(ed_read_file(p.c_str(), text));
  EXPECT_EQ(text, "");
  spit(p, "(a\nb)\n\nc");  // no final line end
  ASSERT_TRUE(ed_read_file(p.c_str(), text));
  EXPECT_EQ(text, "(a\r\nb)\r\n\r\nc");
  spit(p, "x\r\ny\n");  // a line end already CR LF gets no second CR
  ASSERT_TRUE(ed_read_file(p.c_str(), text));
  EXPECT_EQ(text, "x\r\ny\r\n");
  ASSERT_TRUE(ed_write_file(p.c_str(), "(a\r\nb)\r\n\r\nc"));
  EXPECT_EQ(slurp(p), "(a\nb)\n\nc");
  std::string nul("a\0b\r\n", 5);  // every other byte is written as it is
  ASSERT_TRUE(ed_write_file(p.c_str(), nul));
  EXPECT_EQ(slurp(p), std::string("a\0b\n", 4));
  EXPECT_FALSE(ed_read_file(path("no/such.sc").c_str(), text));
}

// What saving leaves on disk: the old file whole whenever the save is
// refused or fails, its mode otherwise, and links as they were.
TEST_F(Editor, SavingNeverDamagesWhatIsOnDisk) {
  ASSERT_EQ(std::system("echo old > mode.sc && chmod 640 mode.sc && mkdir -p real dir.sc/sub && "
                        "echo old > real/t.sc && ln -s real/t.sc link.sc && echo old > ro.sc && "
                        "chmod 444 ro.sc && echo old > victim && ln -s victim scratch.sc"),
            0);
  std::string long_path = path(std::string(250, 'n').c_str());
  struct Case {
    std::string path;
    bool through_links, saved;
    const char* check;  // a shell test of the result
  } cases[] = {
      {"mode.sc", true, true, "[ $(stat -c %a mode.sc) = 640 ] && grep -qx new mode.sc"},
      {"link.sc", true, true, "[ -L link.sc ] && grep -qx new real/t.sc"},
      {"ro.sc", true, false, "grep -qx old ro.sc"},
      {"dir.sc", true, false, "[ -d dir.sc/sub ]"},
      {long_path, true, false, "[ -z \"$(ls | grep nnn)\" ]"},
      {"no/such.sc", true, false, "[ ! -e no ]"},
      {"scratch.sc", false, true, "[ ! -L scratch.sc ] && grep -qx old victim && grep -qx new scratch.sc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.substr(0, 40));
    EXPECT_EQ(ed_write_file(c.path.c_str(), "new\r\n", c.through_links), c.saved);
    EXPECT_EQ(std::system(c.check), 0);
  }
  EXPECT_EQ(std::system("[ -z \"$(ls -A | grep ondrel)\" ]"), 0);  // no temporary file left
}

TEST(EditorIndent, BreaksAfterEachClosedListAtItsDepth) {
  EXPECT_EQ(ed_indent("(define (sq x) (* x x))"), "(define (sq x)\r\n   (* x x))\r\n");
  EXPECT_EQ(ed_indent("(define (f x) (if (= x 0) 1 (* x (f (- x 1)))))"),
            "(define (f x)\r\n   (if (= x 0)\r\n      1 (* x (f (- x 1)))))\r\n");
  // Depth never goes below 0; a space after a final ")" goes.
  EXPECT_EQ(ed_indent(") a) "), ")\r\na)\r\n\r\n");
  EXPECT_EQ(ed_indent(""), "\r\n");
}

TEST(EditorIndent, ANewLineStartsAtTheDepthOfTheOpenBrackets) {
  const std::pair<const char*, int32_t> cases[] = {
      {"", 0},
      {"(define (sq x)", 1},
      {"(define (sq x) (* x x))", 0},
      {"))) (a", 1},                           // unmatched closers count for nothing
      {"(f \"(\\\"(\" #\\( #\\) ; ((\n(", 2},  // strings, characters, comments
      {"(a ; (\n b", 1},
  };
  for (const auto& [text, depth] : cases) EXPECT_EQ(ec_open_brackets(text), depth) << text;
}

TEST_F(Editor, ShowsADefinitionThroughTheTemporaryFile) {
  Value sym = datum("sq");
  roots.defs[0] = DefineEntry{datum("(lambda (x) (* x x))"), sym};
  roots.ndefs = 1;
  EXPECT_EQ(open(mem_cons(sym, NIL)), "");
  EXPECT_EQ(slurp("_temporaly.sc"), "(define sq (lambda (x) (* x x)))");
  EXPECT_EQ(hl_text(), "(define sq (lambda (x)\r\n      (* x x)))\r\n");
  EXPECT_EQ(hl_title(), "sq.sc - OEditor");
  EXPECT_EQ(open(), "Already opened.\n");
  // Saving writes the file named after the symbol, line feeds only.
  EXPECT_EQ(command(ED_CMD_SAVE), "sq.sc saved.\n");
  EXPECT_EQ(slurp("sq.sc"), "(define sq (lambda (x)\n      (* x x)))\n");
}

TEST_F(Editor, OpensUntitledOrNamedWithoutADefinition) {
  EXPECT_EQ(open(mem_cons(mem_make_integer(5), NIL)), "");
  EXPECT_EQ(hl_title(), "OEditor");
  EXPECT_EQ(hl_text(), "");
  hl_post_key(ED_KEY_ESCAPE, false);
  hl_wait_closed();
  EXPECT_EQ(ed.open.load(), 0);
  EXPECT_EQ(open(mem_cons(datum("nothing-defined"), NIL)), "");
  EXPECT_EQ(hl_title(), "nothing-defined.sc - OEditor");
  EXPECT_EQ(hl_text(), "");
}

TEST_F(Editor, OpenReportsEachOutcome) {
  spit(path("prog.sc"), "(a)\n(b)\n");
  open();
  hl_answer_dialog(true, path("prog.sc").c_str(), "prog.sc");
  EXPECT_EQ(command(ED_CMD_OPEN), "prog.sc loaded.\n");
  EXPECT_EQ(hl_text(), "(a)\r\n(b)\r\n");
  EXPECT_EQ(hl_title(), "prog.sc - OEditor");
  // Cancelled: nothing changes.
  EXPECT_EQ(command(ED_CMD_OPEN), "");
  EXPECT_EQ(hl_title(), "prog.sc - OEditor");
  // A file that cannot be read: reported, the text and the file stay.
  hl_answer_dialog(true, path("gone.sc").c_str(), "gone.sc");
  EXPECT_EQ(command(ED_CMD_OPEN), "gone.sc: Couldn't open file.\n");
  EXPECT_EQ(hl_text(), "(a)\r\n(b)\r\n");
  EXPECT_EQ(hl_title(), "prog.sc - OEditor");
  EXPECT_EQ(hl_questions_asked(), 0);  // nothing was changed
}

TEST_F(Editor, SaveAndSaveAsReportEachOutcome) {
  open();
  hl_type("(x)\r\n");
  // Save without a name asks for one; cancelling leaves everything.
  EXPECT_EQ(command(ED_CMD_SAVE), "");
  EXPECT_EQ(hl_title(), "OEditor");
  hl_answer_dialog(true, path("a.sc").c_str(), "a.sc");
  EXPECT_EQ(command(ED_CMD_SAVE), "a.sc saved.\n");
  EXPECT_EQ(slurp(path("a.sc")), "(x)\n");
  EXPECT_EQ(hl_title(), "a.sc - OEditor");
  // Save As to a place that cannot be written: reported, the file stays.
  hl_answer_dialog(true, path("no/b.sc").c_str(), "b.sc");
  EXPECT_EQ(command(ED_CMD_SAVE_AS), "b.sc: Couldn't open file.\n");
  EXPECT_EQ(hl_title(), "a.sc - OEditor");
  // A path too long for the buffers is refused, never shortened.
  std::string long_name(250, 'n');
  hl_answer_dialog(true, path(long_name.c_str()).c_str(), long_name.c_str());
  EXPECT_EQ(command(ED_CMD_SAVE_AS), long_name + ": Couldn't open file.\n");
  hl_answer_dialog(true, path("b.sc").c_str(), "b.sc");
  EXPECT_EQ(command(ED_CMD_SAVE_AS), "b.sc saved.\n");
  EXPECT_EQ(hl_title(), "b.sc - OEditor");
  EXPECT_EQ(command(ED_CMD_SAVE_AS), "");  // cancelled
  EXPECT_EQ(hl_title(), "b.sc - OEditor");
  // Save to a current file that can no longer be written forgets it.
  ASSERT_EQ(std::system(("rm " + path("b.sc") + " && mkdir -p " + path("b.sc") + "/d").c_str()), 0);
  EXPECT_EQ(command(ED_CMD_SAVE), "b.sc: Couldn't open file.\n");
  EXPECT_EQ(hl_title(), "OEditor");
}

TEST_F(Editor, LongNamesAreCutToTheirBuffers) {
  std::string name(300, 'n');
  Value sym = datum(name.c_str());
  open(mem_cons(sym, NIL));
  EXPECT_EQ(std::string(ed.file_name), std::string(252, 'n') + ".sc");
  EXPECT_EQ(std::string(ed.title).size(), 255u);
}

}  // namespace
