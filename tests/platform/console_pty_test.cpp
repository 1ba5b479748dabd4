// console_pty_test.cpp - the console as a user meets it: the real program on
// a pseudo-terminal, typed keys, what the terminal shows.  The editing and
// history cases are skipped in a build without the line editor.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/pty_session.h"
#include "support/tempdir.h"

using namespace ptytest;

namespace {

const std::string KEY_LEFT = "\x1b[D";
const std::string KEY_UP = "\x1b[A";
const std::string KEY_BACKSPACE = "\x7f";
const std::string KEY_CTRL_C = "\x03";
const std::string KEY_CTRL_D = "\x04";

// "不正な引き数です--リストが要求されています" in UTF-8 and in Shift-JIS.
const std::string JA_NEED_LIST_UTF8 =
    "\xe4\xb8\x8d\xe6\xad\xa3\xe3\x81\xaa\xe5\xbc\x95\xe3\x81\x8d\xe6\x95\xb0\xe3\x81\xa7"
    "\xe3\x81\x99--\xe3\x83\xaa\xe3\x82\xb9\xe3\x83\x88\xe3\x81\x8c\xe8\xa6\x81\xe6\xb1\x82"
    "\xe3\x81\x95\xe3\x82\x8c\xe3\x81\xa6\xe3\x81\x84\xe3\x81\xbe\xe3\x81\x99";
const std::string JA_NEED_LIST_SJIS =
    "\x95\x73\x90\xb3\x82\xc8\x88\xf8\x82\xab\x90\x94\x82\xc5\x82\xb7--\x83\x8a\x83\x58\x83"
    "\x67\x82\xaa\x97\x76\x8b\x81\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
// "ばいばい。" in UTF-8.
const std::string JA_FAREWELL_UTF8 =
    "\xe3\x81\xb0\xe3\x81\x84\xe3\x81\xb0\xe3\x81\x84\xe3\x80\x82";

std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

struct Terminal : testing::Test {
  TempDir dir;
  std::string home = dir.path;  // a fresh HOME (and working directory) per case
  PtySession s;
  PtyGuard guard{s};  // ends the program before the directory goes

  // Start the program with the given switches and environment additions
  // and wait for its first prompt.
  void start(std::vector<std::string> args = {}, std::vector<std::string> extra = {},
             const char* lang = "C.UTF-8") {
    std::vector<std::string> argv{ONDREL_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> env{"HOME=" + home, "TERM=xterm", std::string("LANG=") + lang,
                                 std::string("LC_ALL=") + lang, "PATH=/usr/bin:/bin"};
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"})
      if (const char* v = std::getenv(name)) env.push_back(std::string(name) + "=" + v);
    env.insert(env.end(), extra.begin(), extra.end());
    ASSERT_TRUE(pty_start(s, argv, env, home));
    ASSERT_TRUE(pty_expect(s, "S> ")) << s.out;
  }
  // Type a line and wait for its result on a line of its own and the next
  // prompt.
  void line(const std::string& keys, const std::string& result) {
    ready();
    pty_send(s, keys + "\r");
    EXPECT_TRUE(pty_expect(s, "\r\n" + result + "\r\n")) << "typed " << keys << "\n" << s.out;
    EXPECT_TRUE(pty_expect(s, "S> ")) << s.out;
  }
  // Ctrl+D at the prompt: the farewell and a clean exit.
  void quit(const std::string& farewell = "Bye.") {
    ready();
    pty_send(s, KEY_CTRL_D);
    EXPECT_TRUE(pty_expect(s, farewell + "\r\n")) << s.out;
    EXPECT_EQ(pty_finish(s), 0) << s.out;
  }
  // With the line editor, type only once it reads keys: a key typed
  // earlier is echoed twice, and a Ctrl+D typed earlier is lost.
  void ready() {
    if (ondrel::con_has_editor()) {
      EXPECT_TRUE(pty_wait_editing(s)) << s.out;
    }
  }
  void type(const std::string& keys) {
    ready();
    pty_send(s, keys);
  }
  std::string history_file() const { return home + "/.ondrel_history"; }
};

#define NEED_EDITOR()                                     \
  do {                                                    \
    if (!ondrel::con_has_editor()) {                      \
      GTEST_SKIP() << "built without the line editor";    \
    }                                                     \
  } while (false)

/* ------------------------------------------------- prompt and evaluation */

TEST_F(Terminal, PromptThenTypedExpressionsThenCtrlDEnds) {
  start();
  EXPECT_NE(s.out.find("\r\nS> "), std::string::npos) << s.out;
  line("(+ 1 2)", "3");
  line("(define x 5)", "#<unspecified>");
  line("(* x x)", "25");
  // Two data on one line: the second prompt is shown before the second
  // result, as on a terminal without the editor.
  type("1 2\r");
  EXPECT_TRUE(pty_expect(s, "\r\n1\r\nS> 2\r\nS> ")) << s.out;
  // A datum spread over lines is one datum.
  type("(+ 1\r");
  EXPECT_TRUE(pty_expect(s, "(+ 1\r\n")) << s.out;
  type("41)\r");
  EXPECT_TRUE(pty_expect(s, "\r\n42\r\n")) << s.out;
  EXPECT_TRUE(pty_expect(s, "S> "));
  quit();
}

TEST_F(Terminal, PromptSymbolIsTheEditorsPrompt) {
  start();
  type("(set! #<PROMPT> 'ready>)\r");
  EXPECT_TRUE(pty_expect(s, "\r\n#<unspecified>\r\nready> ")) << s.out;
  type("'ok\r");
  EXPECT_TRUE(pty_expect(s, "\r\nok\r\nready> ")) << s.out;
  // A Japanese prompt symbol typed in UTF-8 is shown in UTF-8.
  type("(set! #<PROMPT> '\xe3\x81\xbb\xe3\x81\x92>)\r");  // ほげ>
  EXPECT_TRUE(pty_expect(s, "\r\n\xe3\x81\xbb\xe3\x81\x92> ")) << s.out;
}

/* ------------------------------------------------------ editing, history */

TEST_F(Terminal, ArrowKeysCorrectTheMiddleOfALine) {
  NEED_EDITOR();
  start();
  // (+ 1000 3): three steps left stand after 1000; the last 0 becomes 7.
  line("(+ 1000 3)" + KEY_LEFT + KEY_LEFT + KEY_LEFT + KEY_BACKSPACE + "7", "1010");
  // Home and End keys of the editor: Ctrl+A, then insert at the front.
  line("+ 2 3)\x01(", "5");
  quit();
}

TEST_F(Terminal, ResizeWhileEditingKeepsTheLine) {
  NEED_EDITOR();
  start();
  type("(+ 1");
  pty_rest(s, 200);
  pty_resize(s, 30, 40);
  pty_rest(s, 200);
  line(" 2)", "3");
  pty_resize(s, 24, 100);  // between lines too
  line("'" + std::string(90, 'x'), std::string(90, 'x'));
  quit();
  // At 100 columns the echo takes one row (at 80 or 40 it would wrap).
  EXPECT_NE(s.out.find("S> '" + std::string(90, 'x') + "\r\n"), std::string::npos) << s.out;
}

TEST_F(Terminal, UpArrowRecallsEvenAfterARestart) {
  NEED_EDITOR();
  start();
  line("(+ 40 2)", "42");
  line("(list 'second)", "(second)");
  line(KEY_UP + KEY_UP, "42");  // two back: the line before the last
  quit();
  EXPECT_NE(slurp(history_file()).find("'second)\n"), std::string::npos);

  s = PtySession{};
  start();
  line(KEY_UP, "42");  // the last line of the previous run was the recall
  line(KEY_UP + KEY_UP + KEY_UP, "(second)");
  quit();
}

TEST_F(Terminal, HistoryKeepsTheLatestThousandLines) {
  NEED_EDITOR();
  // A history of 1200 lines from earlier runs.
  {
    std::ofstream f(history_file(), std::ios::binary);
    f << "_HiStOrY_V2_\n";
    for (int i = 1; i <= 1200; ++i) f << "'old" << i << "\n";
  }
  start();
  line(KEY_UP, "old1200");
  line("'newest", "newest");
  quit();
  std::string text = slurp(history_file());
  int lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_LE(lines, 1001) << "at most 1000 entries and the file's header line";
  EXPECT_GE(lines, 990);
  EXPECT_NE(text.find("'newest\n"), std::string::npos);
  EXPECT_EQ(text.find("'old1\n"), std::string::npos) << "the oldest lines go first";
}

TEST_F(Terminal, HistoryFileThatCannotBeWrittenIsIgnored) {
  ASSERT_EQ(mkdir(history_file().c_str(), 0700), 0);  // a directory in its place
  start();
  line("(+ 1 2)", "3");
  line("'again", "again");
  type(KEY_CTRL_D);
  EXPECT_TRUE(pty_expect(s, "Bye.\r\n")) << s.out;
  EXPECT_EQ(pty_finish(s), 0);
  EXPECT_EQ(s.out.find("history"), std::string::npos) << s.out;
  EXPECT_EQ(s.out.find("rror"), std::string::npos) << s.out;
}

/* ------------------------------------------------------ Ctrl+C, Ctrl+D */

TEST_F(Terminal, CtrlCAtThePromptDropsTheLine) {
  start();
  type("(+ 1");
  pty_rest(s, 300);  // the editor has the keys before the break comes
  type(KEY_CTRL_C);
  EXPECT_TRUE(pty_expect(s, "Error : User break\r\nAt toplevel\r\n")) << s.out;
  EXPECT_TRUE(pty_expect(s, "S> ")) << s.out;
  // Had "(+ 1" been kept, this would complete it and fail on a symbol.
  line("'after", "after");
  // A second break at an empty prompt works the same.
  type(KEY_CTRL_C);
  EXPECT_TRUE(pty_expect(s, "User break")) << s.out;
  EXPECT_TRUE(pty_expect(s, "S> ")) << s.out;
  line("(+ 2 3)", "5");
  quit();
}

TEST_F(Terminal, CtrlCStopsARunningLoop) {
  start();
  line("(define (spin n) (spin (+ n 1)))", "#<unspecified>");
  type("(spin 0)\r");
  pty_rest(s, 500);
  pty_send(s, KEY_CTRL_C);
  EXPECT_TRUE(pty_expect(s, "Error : User break\r\n")) << s.out;
  EXPECT_TRUE(pty_expect(s, "S> ")) << s.out;
  line("'after", "after");
  quit();
}

TEST_F(Terminal, CtrlDInsideALineDoesNotEndTheInput) {
  NEED_EDITOR();
  start();
  // Ctrl+D on a line with text deletes the character under the cursor.
  line("(+ 1 23)" + KEY_LEFT + KEY_LEFT + KEY_CTRL_D, "3");
  quit();
}

/* ------------------------------------------------------- encodings */

TEST_F(Terminal, JapaneseErrorArrivesAsUtf8OnAUtf8Terminal) {
  start({"-J"});
  type("(car 5)\r");
  EXPECT_TRUE(pty_expect(s, "Error : " + JA_NEED_LIST_UTF8 + "\r\nAt (car 5)\r\n")) << s.out;
  EXPECT_TRUE(pty_expect(s, "S> "));
  quit(JA_FAREWELL_UTF8);
  EXPECT_EQ(s.out.find(JA_NEED_LIST_SJIS), std::string::npos);
}

TEST_F(Terminal, RawConsoleAndNonUtf8LocalePassShiftJis) {
  start({"-J"}, {"ONDREL_CONSOLE=raw"});
  type("(car 5)\r");
  EXPECT_TRUE(pty_expect(s, "Error : " + JA_NEED_LIST_SJIS + "\r\n")) << s.out;
  EXPECT_TRUE(pty_expect(s, "S> "));
  // Typed bytes reach the reader unchanged too: three bytes for one kana.
  line("(string-length \"\xe3\x81\x82\")", "3");
  quit("\x82\xce\x82\xa2\x82\xce\x82\xa2\x81\x42");

  s = PtySession{};
  start({"-J"}, {}, "C");
  type("(car 5)\r");
  EXPECT_TRUE(pty_expect(s, "Error : " + JA_NEED_LIST_SJIS + "\r\n")) << s.out;
}

TEST_F(Terminal, Utf8TypedStringComesBackUnchanged) {
  start();
  const std::string text = "\xe3\x81\x82\xe3\x81\x84\xe3\x81\x86\xe8\xa1\xa8";  // あいう表
  // Four characters of two Shift-JIS bytes each reach the reader ...
  line("(string-length \"" + text + "\")", "8");
  // ... and a string built from them shows as typed (表 ends in 0x5C).
  line("(string-append \"\xe3\x81\x82\xe3\x81\x84\" \"\xe3\x81\x86\xe8\xa1\xa8\")",
       "\"" + text + "\"");
  line("(char->integer (string-ref \"" + text + "\" 7))", "92");
  // A character with no Shift-JIS form passes as its UTF-8 bytes.
  line("(string-length \"\xf0\x9f\x98\x80\")", "4");
  line("(write \"" + text + "\")", "\"" + text + "\"#<unspecified>");
  quit();
}

TEST_F(Terminal, TranscriptHoldsTheBytesTheReaderRead) {
  start();
  type("(transcript-on \"t.txt\")\r");
  EXPECT_TRUE(pty_expect(s, "\r\nS> ")) << s.out;
  line("(string-length \"\xe3\x81\x82\")", "2");
  type("(transcript-off)\r");
  EXPECT_TRUE(pty_expect(s, "\r\nS> ")) << s.out;
  quit();
  std::string t = slurp(home + "/t.txt");
  EXPECT_NE(t.find("(string-length \"\x82\xa0\")\n2\n"), std::string::npos) << t;
}

}  // namespace
