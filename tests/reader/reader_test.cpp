// reader_test.cpp - source text read and printed back, the objects the
// reader makes, what each error leaves in the stream, and the limits.
#include <sys/ioctl.h>
#include <unistd.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "reader/reader_support.h"

using namespace rdtest;
using Strings = std::vector<std::string>;

namespace {

struct Reader : Fresh {};

// The first datum of each text in written form.
TEST_F(Reader, FirstDatum) {
  struct Row {
    const char *text, *written;
  };
  const Row rows[] = {
      // symbols fold to lower case; bars and backslashes quote, and still fold
      {"Hello", "hello"}, {"  \t\n HeLLo-World!? ", "hello-world!?"}, {"|Hello World|", "hello world"},
      {"|a(b)c;d\"e|", "a(b)c;d\"e"}, {"ab|C D|ef", "abc def"}, {"||", ""}, {"|\\|", "\\"}, {"a\\ b", "a b"},
      {"\\(x", "(x"}, {"a\\\"b", "a\"b"}, {"A\\Bc", "abc"}, {"ab\\\ncd", "abcd"}, {"#<Foo Bar>", "#<Foo"},
      // Shift-JIS: second bytes are neither folded nor escapes; a lone first byte is dropped
      {"\x8a\xbf\x8e\x9a", "\x8a\xbf\x8e\x9a"}, {"\x95\x5cx y", "\x95\x5cx"}, {"A\x82\x60", "a\x82\x60"},
      {"\xb1\xb2", "\xb1\xb2"}, {"a\x81\x20", "a "},
      // numbers wrap modulo 2^32; a number token runs to a symbol end
      {"4294967297", "1"}, {"4294967296", "0"}, {"2147483647", "2147483647"}, {"2147483648", "-2147483648"},
      {"-2147483648", "-2147483648"}, {"-4294967295", "1"}, {"99999999999999999999", "1661992959"},
      {"-ABC", "-abc"}, {"1|A b|", "1|a"},
      // lists, dots, vectors, quote prefixes
      {"()", "()"}, {"( )", "()"}, {"(a b c)", "(a b c)"}, {"( a ( b ( c ) ) () )", "(a (b (c)) ())"},
      {"(1 (2 3) . 4)", "(1 (2 3) . 4)"}, {"(a ; comment )\n b)", "(a b)"}, {"(a . b)", "(a . b)"},
      {"(a .b)", "(a . b)"}, {"(a . (b))", "(a b)"}, {"(a . (b . (c . ())))", "(a b c)"},
      {"(a .5)", "(a . 5)"}, {"(a . #(1))", "(a . #(1))"}, {".", "."}, {"#()", "#()"},
      {"#(1 \"s\" #\\a (x) #(y))", "#(1 \"s\" #\\a (x) #(y))"}, {"#(a . b)", "#(a . b)"},
      {"#(a .b)", "#(a .b)"}, {"'x", "(quote x)"}, {"'()", "(quote ())"},
      {"`(a ,b ,@c)", "(quasiquote (a (unquote b) (unquote-splicing c)))"}, {",@x", "(unquote-splicing x)"},
      {", x", "(unquote x)"}, {"' ; c\n x", "(quote x)"}, {"''a", "(quote (quote a))"},
      // strings keep their bytes; a backslash takes the next byte as it is
      {"\"abc\"", "\"abc\""}, {"\"\"", "\"\""}, {"\"a\\\"b\"", "\"a\"b\""}, {"\"a\\nb\"", "\"anb\""},
      {"\"a\\\\b\"", "\"a\\b\""}, {"\"Two\nLines;(\"", "\"Two\nLines;(\""}, {"\"\x8a\xbf\"", "\"\x8a\xbf\""},
      {"\"\x95\x5c\" x", "\"\x95\x5c\""}, {"\"\x83\x5c\x83t\x83g\"", "\"\x83\x5c\x83t\x83g\""},
      {"\"\x81\"", "\"\x81\""}, {"\"\x81 \\\"a\"", "\"\x81 \"a\""}
  };
  for (const Row& r : rows) EXPECT_EQ(rw(r.text), r.written) << testing::PrintToString(r.text);
}

// Every datum up to the end of input: where one ends and the next begins.
TEST_F(Reader, EveryDatum) {
  struct Row {
    const char* text;
    Strings data;
  };
  const Row rows[] = {
      {"a'b a,b a#b a`b", {"a'b", "a,b", "a#b", "a`b"}}, {"x;comment\ny", {"x", "y"}},
      {"(define x 1) x", {"(define x 1)", "x"}}, {"|a b|", {"a b"}}, {"a\\ b", {"a b"}}, {"#<EOF", {"#<EOF"}},
      {"\x8a\xbf", {"\x8a\xbf"}}, {"12 -7 +3 0 007 -0", {"12", "-7", "3", "0", "7", "0"}},
      {"1.5 1. -.5 +2.25 0.1 123456789.0", {"1.5", "1", "-0.5", "2.25", "0.1", "1.23457e+08"}},
      {"1/2 1e5 1+ -x + - 1.2.3 +. -. ++1 1..2",
      {"1/2", "1e5", "1+", "-x", "+", "-", "1.2.3", "+.", "-.", "++1", "1..2"}}, {"- 5", {"-", "5"}},
      {"12(3)", {"12", "(3)"}}, {"12\"s\"", {"12", "\"s\""}}, {"-5;c\n6", {"-5", "6"}},
      {"1 2 3", {"1", "2", "3"}}, {"-1.5", {"-1.5"}}, {"+", {"+"}}, {"#t #F #T #f", {"#t", "#f", "#t", "#f"}},
      {"#true", {"#t", "rue"}}, {"#\\A #\\x #\\Space #\\NEWLINE #\\( #\\  #\\1 #\\\x82",
      {"#\\A", "#\\x", "#\\space", "#\\newline", "#\\(", "#\\space", "#\\1", "#\\[82]"}},
      {"(#\\a #\\b)", {"(#\\a #\\b)"}}, {"#\\)#\\(", {"#\\)", "#\\("}}, {"#\\z", {"#\\z"}}, {"", {}},
      {"  \n\t ; only a comment", {}}
  };
  for (const Row& r : rows) EXPECT_EQ(all(r.text), r.data) << testing::PrintToString(r.text);
}

// Names are interned; constants, keywords and the kinds of number, string
// and vector are the reader's own objects.
TEST_F(Reader, ObjectsMade) {
  Input in(
      "ABC abc else => #<EOF> #<unspecified> IF Quote #t #F #<eof> 'a 42 1. #() #(1 2 3) \"Mixed Case\"");
  Value a = rd_read(in.f);
  EXPECT_TRUE(is(a, SYMBOL));
  EXPECT_EQ(a, rd_read(in.f));
  EXPECT_EQ(a, mem_intern("abc"));
  for (Value want : {mem_else, mem_arrow, mem_eof, mem_unspecified, mem_if, mem_quote, mem_true, mem_false})
    EXPECT_EQ(rd_read(in.f), want);
  Value eof_named = rd_read(in.f);
  EXPECT_NE(eof_named, mem_eof);
  EXPECT_STREQ(sym_name(eof_named), "#<eof>");
  Value q = rd_read(in.f);
  EXPECT_EQ(car(q), mem_quote);
  EXPECT_TRUE(is(car(q), KEYWORD));
  Value n = rd_read(in.f);
  EXPECT_TRUE(is(n, INTEGER) && int_value(n) == 42);
  EXPECT_TRUE(is(rd_read(in.f), REAL));
  Value e = rd_read(in.f);
  EXPECT_TRUE(is(e, VECTOR) && vec_len(e) == 0 && cell(e).w2 == NULL_VECTOR);
  Value w = rd_read(in.f);
  EXPECT_TRUE(vec_len(w) == 3 && int_value(vec_slots(w)[2]) == 3);
  Value s = rd_read(in.f);
  EXPECT_TRUE(is(s, STRING));
  EXPECT_STREQ(str_bytes(s), "Mixed Case");
  EXPECT_EQ(rd_read(in.f), mem_eof);  // the real end of input
  EXPECT_EQ(rd_read(in.f), mem_eof);
}

// Each error, the code and what stays in the stream for the next read.
TEST_F(Reader, ErrorsAndWhatTheyLeave) {
  struct Row {
    const char* text;
    int error;
    const char* rest;
  };
  const Row rows[] = {
      {")x", E_PSEUDO_SEXP, "x"}, {"]x", E_PSEUDO_SEXP, "x"}, {"[x", E_PSEUDO_SEXP, "x"},
      {"{x", E_PSEUDO_SEXP, "x"}, {"}x", E_PSEUDO_SEXP, "x"}, {"(. a)", E_PSEUDO_SEXP, " a)"},
      {"(a . ) b", E_PSEUDO_SEXP, " b"}, {"(a . b c) d", E_PSEUDO_SEXP, ") d"},
      {"(a [b])", E_PSEUDO_SEXP, "b])"}, {"#x yz", E_UNIDENTIFIED, " yz"}, {"#\\xy z", E_UNIDENTIFIED, " z"},
      {"#\\spaces", E_UNIDENTIFIED, nullptr}, {"##", E_UNIDENTIFIED, nullptr}, {"\x01" "ab", E_CTRL_CHAR, "ab"},
      {"\x7f", E_CTRL_CHAR, nullptr}, {"\xfd" "a", E_CTRL_CHAR, "a"}, {"|a\tb|", E_CTRL_CHAR, "b|"},
      {"ab\x02" "c", E_CTRL_CHAR, "c"}, {"abc(def", 0, "(def"}, {"#\\space)", 0, ")"}
  };
  for (const Row& r : rows) {
    std::string rest;
    EXPECT_EQ(read_error(r.text, &rest), r.error) << testing::PrintToString(r.text);
    if (r.rest != nullptr) {
      EXPECT_EQ(rest, r.rest) << testing::PrintToString(r.text);
    }
  }
  for (const char* t :
       {"#", "(",  "(a",  "(a . b", "(a .", "#(",  "#(1 2",   "\"abc", "\"ab\\", "'",        "`",
        ",", ",@", "#\\", "|abc",   "ab|c", "a\\", "|a\nb\n", "' ",    "(a '",   "(a . ;c\n"})
    EXPECT_EQ(read_error(t), E_EOF) << testing::PrintToString(t);
  Input in("(a (b . ) c) (d)");
  EXPECT_EQ(error_of([&] { rd_read(in.f); }), E_PSEUDO_SEXP);
  EXPECT_EQ(mem.sp, 0u);
  EXPECT_EQ(written(rd_read(in.f)), "c");
  EXPECT_EQ(error_of([&] { rd_read(in.f); }), E_PSEUDO_SEXP);  // the stray ")"
  EXPECT_EQ(written(rd_read(in.f)), "(d)");
}

// Tokens of any length are read whole, also with a collection at every
// allocation; what cannot be stored is consumed, then refused.
TEST_F(Reader, LongTokens) {
  // Exactly as much as the empty area holds.
  EXPECT_EQ(read_error("\"" + std::string(AREA_BYTES - 1 - (mem.str_top - STR_BASE), 'z') + "\""), 0);
  std::string body(5000, 'q');
  body[999] = 'A';
  mem.stress = true;
  Input in("(\"" + body + "\" |" + body + "| " + body + ") next");
  Value v = rd_read(in.f);
  mem.stress = false;
  EXPECT_EQ(std::string(str_bytes(car(v))), body);
  body[999] = 'a';
  EXPECT_EQ(std::string(sym_name(car(cdr(v)))), body);
  EXPECT_EQ(car(cdr(v)), car(cdr(cdr(v))));
  EXPECT_EQ(written(rd_read(in.f)), "next");
  // Numbers: every digit counts, modulo 2^32, however long.
  Input num("1" + std::string(1199, '0') + " 7 " + std::string(1199, '0') + "5 1" + std::string(19999, '0') +
            "7 -" + std::string(30000, '0') + "3 x");
  for (const char* want : {"0", "7", "5", "7", "-3", "x"}) EXPECT_EQ(written(rd_read(num.f)), want);
  std::string rest;
  EXPECT_EQ(read_error(std::string(20000, '1') + "z", &rest), E_STRING_AREA);  // a symbol too long to name
  EXPECT_EQ(rest, "");
  EXPECT_EQ(read_error("\"" + std::string(20000, 'y') + "\" tail", &rest), E_STRING_AREA);
  EXPECT_EQ(rest, " tail");
  // A NUL byte ends a string.
  Input nul(std::string("\"ab\0cd\" x", 9));
  EXPECT_EQ(str_len(rd_read(nul.f)), 2u);
  EXPECT_EQ(written(rd_read(nul.f)), "x");
}

TEST_F(Reader, DeepNestingWithinTheSoftwareStack) {
  // Each open list holds one stack word: 4000 fit, 4001 overflow.  The
  // innermost element is an interned name, so no new symbol needs words.
  std::string ok = std::string(4000, '(') + "else" + std::string(4000, ')');
  EXPECT_EQ(error_of([&] {
              Input in(ok);
              Value v = rd_read(in.f);
              for (int i = 0; i < 3999; ++i) v = car(v);
              EXPECT_EQ(written(v), "(else)");
            }),
            0);
  EXPECT_EQ(mem.sp, 0u);
  std::string deep = std::string(4001, '(') + "else" + std::string(4001, ')');
  EXPECT_EQ(read_error(deep), E_SSTACK_OVER);
  EXPECT_EQ(read_error(std::string(4000, '\'') + "else"), 0);
  EXPECT_EQ(read_error(std::string(4001, '\'') + "else"), E_SSTACK_OVER);
  EXPECT_EQ(read_error("#" + std::string(4001, '(') + "1"), E_SSTACK_OVER);
  EXPECT_EQ(mem.sp, 0u);
}

TEST_F(Reader, RandomInputOnlyEverRaisesReaderErrors) {
  // Bytes weighted towards the ones with a meaning, plus anything at all.
  const std::string alphabet = "()[]{}#\\|\"';,@`. \n\t;ab1-+.tf<>\x81\x95\x5c\xdf\x01\xff";
  std::mt19937 rng(12345);
  for (int round = 0; round < 3000; ++round) {
    if (round % 50 == 49) {  // interned names pile up: start afresh now and then
      TearDown();
      SetUp();
    }
    std::string text;
    size_t len = rng() % 40;
    for (size_t i = 0; i < len; ++i)
      text.push_back(rng() % 8 == 0 ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()]);
    Input in(text);
    for (int datum = 0; datum < 50; ++datum) {
      Value v = 0;
      int e = error_of([&] { v = rd_read(in.f); });
      ASSERT_TRUE(e == 0 || e == E_UNIDENTIFIED || e == E_PSEUDO_SEXP || e == E_CTRL_CHAR || e == E_EOF)
          << "error " << e << " on " << testing::PrintToString(text);
      ASSERT_EQ(mem.sp, 0u);
      if (e == 0) {
        if (v == mem_eof) break;
        written(v);  // whatever was read prints
      }
    }
  }
}

TEST_F(Reader, SuspendedReadKeepsItsTokenWhileAnotherReadRuns) {
  // One read waits inside a string literal that spans lines, as the
  // console reader does; meanwhile another read and print run to the end.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  FILE* console = fdopen(fds[0], "r");
  std::string first;
  std::thread waiting([&] { first = written(rd_read(console)); });
  const char part1[] = "\"line one\nline";
  ASSERT_EQ(write(fds[1], part1, sizeof part1 - 1), static_cast<ssize_t>(sizeof part1 - 1));
  for (int pending = 1; pending > 0;) ioctl(fds[0], FIONREAD, &pending);  // taken by the reader
  usleep(20000);
  std::string other = rw("(\"a different string\" |and a symbol| #\\x 12345)");
  const char part2[] = " two\" rest";
  ASSERT_EQ(write(fds[1], part2, sizeof part2 - 1), static_cast<ssize_t>(sizeof part2 - 1));
  close(fds[1]);
  waiting.join();
  std::fclose(console);
  EXPECT_EQ(other, "(\"a different string\" and a symbol #\\x 12345)");
  EXPECT_EQ(first, "\"line one\nline two\"");
}

}  // namespace
