// reader_test.cpp - source text read and printed back, grouped by theme.
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

/* ------------------------------------------------ symbols and case folding */

TEST_F(Reader, SymbolsFoldToLowerCase) {
  EXPECT_EQ(rw("Hello"), "hello");
  EXPECT_EQ(rw("  \t\n HeLLo-World!? "), "hello-world!?");
  Input in("ABC abc");
  Value a = rd_read(in.f), b = rd_read(in.f);
  EXPECT_EQ(a, b);  // interned: the same cell
  EXPECT_TRUE(is(a, SYMBOL));
  EXPECT_EQ(a, mem_intern("abc"));
}

TEST_F(Reader, BarsQuoteWhitespaceAndSpecialsButStillFold) {
  EXPECT_EQ(rw("|Hello World|"), "hello world");
  EXPECT_EQ(rw("|a(b)c;d\"e|"), "a(b)c;d\"e");
  EXPECT_EQ(rw("ab|C D|ef"), "abc def");
  EXPECT_EQ(rw("||"), "");
  EXPECT_EQ(rw("|\\|"), "\\");  // inside bars a backslash is an ordinary byte
}

TEST_F(Reader, BackslashEscapesOneCharacter) {
  EXPECT_EQ(rw("a\\ b"), "a b");
  EXPECT_EQ(rw("\\(x"), "(x");
  EXPECT_EQ(rw("a\\\"b"), "a\"b");
  EXPECT_EQ(rw("A\\Bc"), "abc");  // escaped letters are folded as well
  // An escaped newline is dropped and the next byte taken as it is.
  EXPECT_EQ(rw("ab\\\ncd"), "abcd");
}

TEST_F(Reader, SymbolEndsAtTheSymbolEndBytesOnly) {
  Input in("abc(def");
  EXPECT_EQ(written(rd_read(in.f)), "abc");
  EXPECT_EQ(in.rest(), "(def");
  EXPECT_EQ(all("a'b a,b a#b a`b"), (Strings{"a'b", "a,b", "a#b", "a`b"}));
  EXPECT_EQ(all("x;comment\ny"), (Strings{"x", "y"}));
}

TEST_F(Reader, ConstantsAndKeywordsAreTheInternedCells) {
  Input in("else => #<EOF> #<unspecified> IF Quote");
  EXPECT_EQ(rd_read(in.f), mem_else);
  EXPECT_EQ(rd_read(in.f), mem_arrow);
  EXPECT_EQ(rd_read(in.f), mem_eof);
  EXPECT_EQ(rd_read(in.f), mem_unspecified);
  EXPECT_EQ(rd_read(in.f), mem_if);
  EXPECT_EQ(rd_read(in.f), mem_quote);
  EXPECT_EQ(rd_read(in.f), mem_eof);  // the real end of input
}

TEST_F(Reader, HashNameKeepsItsCase) {
  EXPECT_EQ(rw("#<Foo Bar>"), "#<Foo");
  Input in("#<eof>");
  Value v = rd_read(in.f);
  EXPECT_NE(v, mem_eof);
  EXPECT_STREQ(sym_name(v), "#<eof>");
}

TEST_F(Reader, ShiftJisNamesKeepTheirBytes) {
  // "漢字" is 8A BF 8E 9A; the second bytes are not folded even in A..Z.
  EXPECT_EQ(rw("\x8a\xbf\x8e\x9a"), "\x8a\xbf\x8e\x9a");
  // "表" is 95 5C: its second byte is a backslash, not an escape.
  EXPECT_EQ(rw("\x95\x5cx y"), "\x95\x5cx");
  // A second byte in the capital-letter range stays upper case: 82 60 is "Ａ".
  EXPECT_EQ(rw("A\x82\x60"), "a\x82\x60");
  // Half-width katakana are single-byte text.
  EXPECT_EQ(rw("\xb1\xb2"), "\xb1\xb2");
  // A first byte not followed by a second byte is dropped.
  EXPECT_EQ(rw("a\x81\x20"), "a ");
}

TEST_F(Reader, LongSymbolIsReadWhole) {
  std::string name(5000, 'q');
  Input in(name + " next");
  Value v = rd_read(in.f);
  EXPECT_EQ(std::string(sym_name(v)), name);
  EXPECT_EQ(written(rd_read(in.f)), "next");
}

TEST_F(Reader, FinalSymbolIsNotLost) {
  EXPECT_EQ(all("(define x 1) x"), (Strings{"(define x 1)", "x"}));
  EXPECT_EQ(all("|a b|"), (Strings{"a b"}));
  EXPECT_EQ(all("a\\ b"), (Strings{"a b"}));
  EXPECT_EQ(all("#<EOF"), (Strings{"#<EOF"}));
  EXPECT_EQ(all("\x8a\xbf"), (Strings{"\x8a\xbf"}));
}

/* ----------------------------------------------------- numbers vs symbols */

TEST_F(Reader, Integers) {
  EXPECT_EQ(all("12 -7 +3 0 007 -0"), (Strings{"12", "-7", "3", "0", "7", "0"}));
  Input in("42");
  Value v = rd_read(in.f);
  EXPECT_TRUE(is(v, INTEGER));
  EXPECT_EQ(int_value(v), 42);
}

TEST_F(Reader, IntegersWrapAroundModulo2To32) {
  EXPECT_EQ(rw("4294967297"), "1");
  EXPECT_EQ(rw("4294967296"), "0");
  EXPECT_EQ(rw("2147483647"), "2147483647");
  EXPECT_EQ(rw("2147483648"), "-2147483648");
  EXPECT_EQ(rw("-2147483648"), "-2147483648");
  EXPECT_EQ(rw("-4294967295"), "1");
  EXPECT_EQ(rw("99999999999999999999"), "1661992959");  // 10^20-1 mod 2^32
}

TEST_F(Reader, Reals) {
  EXPECT_EQ(all("1.5 1. -.5 +2.25 0.1 123456789.0"),
            (Strings{"1.5", "1", "-0.5", "2.25", "0.1", "1.23457e+08"}));
  Input in("1.");
  EXPECT_TRUE(is(rd_read(in.f), REAL));
}

TEST_F(Reader, NumberLikeSymbols) {
  Input in("1/2 1e5 1+ -x + - 1.2.3 +. -. ++1 1..2");
  for (const char* name : {"1/2", "1e5", "1+", "-x", "+", "-", "1.2.3", "+.", "-.", "++1", "1..2"}) {
    Value v = rd_read(in.f);
    EXPECT_TRUE(is(v, SYMBOL)) << name;
    EXPECT_STREQ(sym_name(v), name);
  }
}

TEST_F(Reader, NumberTokenKeepsBytesUntilSymbolEnd) {
  EXPECT_EQ(all("- 5"), (Strings{"-", "5"}));
  EXPECT_EQ(rw("-ABC"), "-abc");         // folded when it is a symbol
  EXPECT_EQ(rw("1|A b|"), "1|a");        // bars mean nothing here
  EXPECT_EQ(all("12(3)"), (Strings{"12", "(3)"}));
  EXPECT_EQ(all("12\"s\""), (Strings{"12", "\"s\""}));
  EXPECT_EQ(all("-5;c\n6"), (Strings{"-5", "6"}));
}

TEST_F(Reader, FinalNumberIsComplete) {
  EXPECT_EQ(all("1 2 3"), (Strings{"1", "2", "3"}));
  EXPECT_EQ(all("-1.5"), (Strings{"-1.5"}));
  EXPECT_EQ(all("+"), (Strings{"+"}));
}

TEST_F(Reader, LongNumberIsReadWhole) {
  // 1200 digits: the value is taken modulo 2^32 over all of them.
  std::string digits(1199, '0');
  Input in("1" + digits + " 7");
  EXPECT_EQ(written(rd_read(in.f)), "0");  // 10^1199 is a multiple of 2^32
  EXPECT_EQ(written(rd_read(in.f)), "7");
  Input in2(std::string(1199, '0') + "5");
  EXPECT_EQ(written(rd_read(in2.f)), "5");
  // Longer than any string could be: still one number over every digit.
  Input in3("1" + std::string(19999, '0') + "7 -" + std::string(30000, '0') + "3 x");
  EXPECT_EQ(written(rd_read(in3.f)), "7");
  EXPECT_EQ(written(rd_read(in3.f)), "-3");
  EXPECT_EQ(written(rd_read(in3.f)), "x");
  Input in4(std::string(20000, '1') + "z");
  EXPECT_EQ(error_of([&] { rd_read(in4.f); }), E_STRING_AREA);  // a symbol too long to name
  EXPECT_EQ(in4.rest(), "");
}

/* -------------------------------------------------- lists, dots, vectors */

TEST_F(Reader, Lists) {
  EXPECT_EQ(rw("()"), "()");
  EXPECT_EQ(rw("( )"), "()");
  Input nil("()");
  EXPECT_EQ(rd_read(nil.f), NIL);
  EXPECT_EQ(rw("(a b c)"), "(a b c)");
  EXPECT_EQ(rw("( a ( b ( c ) ) () )"), "(a (b (c)) ())");
  EXPECT_EQ(rw("(1 (2 3) . 4)"), "(1 (2 3) . 4)");
  EXPECT_EQ(rw("(a ; comment )\n b)"), "(a b)");
}

TEST_F(Reader, DottedPairs) {
  EXPECT_EQ(rw("(a . b)"), "(a . b)");
  EXPECT_EQ(rw("(a .b)"), "(a . b)");
  EXPECT_EQ(rw("(a . (b))"), "(a b)");
  EXPECT_EQ(rw("(a . (b . (c . ())))"), "(a b c)");
  EXPECT_EQ(rw("(a .5)"), "(a . 5)");
  EXPECT_EQ(rw("(a . #(1))"), "(a . #(1))");
  EXPECT_EQ(rw("."), ".");  // outside a list a dot is a symbol
}

TEST_F(Reader, Vectors) {
  EXPECT_EQ(rw("#()"), "#()");
  Input e("#()");
  Value v = rd_read(e.f);
  EXPECT_TRUE(is(v, VECTOR));
  EXPECT_EQ(vec_len(v), 0u);
  EXPECT_EQ(cell(v).w2, NULL_VECTOR);
  EXPECT_EQ(rw("#(1 \"s\" #\\a (x) #(y))"), "#(1 \"s\" #\\a (x) #(y))");
  EXPECT_EQ(rw("#(a . b)"), "#(a . b)");  // a dot is an element here
  EXPECT_EQ(rw("#(a .b)"), "#(a .b)");
  Input in("#(1 2 3)");
  Value w = rd_read(in.f);
  EXPECT_EQ(vec_len(w), 3u);
  EXPECT_EQ(int_value(vec_slots(w)[2]), 3);
}

TEST_F(Reader, QuotePrefixes) {
  EXPECT_EQ(rw("'x"), "(quote x)");
  EXPECT_EQ(rw("'()"), "(quote ())");
  EXPECT_EQ(rw("`(a ,b ,@c)"), "(quasiquote (a (unquote b) (unquote-splicing c)))");
  EXPECT_EQ(rw(",@x"), "(unquote-splicing x)");
  EXPECT_EQ(rw(", x"), "(unquote x)");
  EXPECT_EQ(rw("' ; c\n x"), "(quote x)");
  EXPECT_EQ(rw("''a"), "(quote (quote a))");
  Input in("'a");
  Value q = rd_read(in.f);
  EXPECT_EQ(car(q), mem_quote);
  EXPECT_TRUE(is(car(q), KEYWORD));
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
  }), 0);
  EXPECT_EQ(mem.sp, 0u);
  std::string deep = std::string(4001, '(') + "else" + std::string(4001, ')');
  EXPECT_EQ(read_error(deep), E_SSTACK_OVER);
  EXPECT_EQ(read_error(std::string(4000, '\'') + "else"), 0);
  EXPECT_EQ(read_error(std::string(4001, '\'') + "else"), E_SSTACK_OVER);
  EXPECT_EQ(read_error("#" + std::string(4001, '(') + "1"), E_SSTACK_OVER);
  EXPECT_EQ(mem.sp, 0u);
}

/* -------------------------------------------- hash syntax and characters */

TEST_F(Reader, Booleans) {
  Input in("#t #F #T #f");
  EXPECT_EQ(rd_read(in.f), mem_true);
  EXPECT_EQ(rd_read(in.f), mem_false);
  EXPECT_EQ(rd_read(in.f), mem_true);
  EXPECT_EQ(rd_read(in.f), mem_false);
  // Only the letter is taken.
  EXPECT_EQ(all("#true"), (Strings{"#t", "rue"}));
}

TEST_F(Reader, Characters) {
  Input in("#\\A #\\x #\\Space #\\NEWLINE #\\( #\\  #\\1 #\\\x82");
  EXPECT_EQ(rd_read(in.f), mem_char('A'));
  EXPECT_EQ(rd_read(in.f), mem_char('x'));
  EXPECT_EQ(rd_read(in.f), mem_char(' '));
  EXPECT_EQ(rd_read(in.f), mem_char('\n'));
  EXPECT_EQ(rd_read(in.f), mem_char('('));
  EXPECT_EQ(rd_read(in.f), mem_char(' '));
  EXPECT_EQ(rd_read(in.f), mem_char('1'));
  EXPECT_EQ(rd_read(in.f), mem_char(0x82));
  EXPECT_EQ(all("(#\\a #\\b)"), (Strings{"(#\\a #\\b)"}));
  EXPECT_EQ(all("#\\)#\\("), (Strings{"#\\)", "#\\("}));
  EXPECT_EQ(all("#\\z"), (Strings{"#\\z"}));  // complete at the end of input
}

TEST_F(Reader, CharacterNameEndsAtSpecialByte) {
  Input in("#\\space)");
  EXPECT_EQ(rd_read(in.f), mem_char(' '));
  EXPECT_EQ(in.rest(), ")");
}

/* --------------------------------------------------------------- strings */

TEST_F(Reader, Strings) {
  EXPECT_EQ(rw("\"abc\""), "\"abc\"");
  EXPECT_EQ(rw("\"\""), "\"\"");
  EXPECT_EQ(rw("\"a\\\"b\""), "\"a\"b\"");  // stored without the backslash
  EXPECT_EQ(rw("\"a\\nb\""), "\"anb\"");     // backslash n is the letter n
  EXPECT_EQ(rw("\"a\\\\b\""), "\"a\\b\"");
  EXPECT_EQ(rw("\"Two\nLines;(\""), "\"Two\nLines;(\"");
  EXPECT_EQ(rw("\"\x8a\xbf\""), "\"\x8a\xbf\"");
  Input in("\"Mixed Case\"");
  Value s = rd_read(in.f);
  EXPECT_TRUE(is(s, STRING));
  EXPECT_STREQ(str_bytes(s), "Mixed Case");
}

TEST_F(Reader, ShiftJisSecondByteBackslashIsNoEscapeInStrings) {
  // "表" is 95 5C and "ソ" is 83 5C: their second byte is a backslash.
  EXPECT_EQ(rw("\"\x95\x5c\" x"), "\"\x95\x5c\"");
  EXPECT_EQ(rw("\"\x83\x5c\x83t\x83g\""), "\"\x83\x5c\x83t\x83g\"");
  // A first byte before a byte that cannot follow it leaves that byte alone.
  EXPECT_EQ(rw("\"\x81\""), "\"\x81\"");
  EXPECT_EQ(rw("\"\x81 \\\"a\""), "\"\x81 \"a\"");
}

TEST_F(Reader, LongStringIsReadWhole) {
  std::string body(3000, 'x');
  body[999] = 'A';
  Input in("\"" + body + "\" after");
  Value s = rd_read(in.f);
  EXPECT_EQ(std::string(str_bytes(s)), body);
  EXPECT_EQ(written(rd_read(in.f)), "after");
  EXPECT_EQ(rd_read(in.f), mem_eof);
}

TEST_F(Reader, StringLongerThanTheAreaIsConsumedThenRefused) {
  std::string body(20000, 'y');
  std::string rest;
  EXPECT_EQ(read_error("\"" + body + "\" tail", &rest), E_STRING_AREA);
  EXPECT_EQ(rest, " tail");
  // Exactly as much as the empty area holds still works.
  Input in("\"" + std::string(AREA_BYTES - 1 - (mem.str_top - STR_BASE), 'z') + "\"");
  EXPECT_EQ(error_of([&] { rd_read(in.f); }), 0);
}

TEST_F(Reader, NulByteEndsAString) {
  Input in(std::string("\"ab\0cd\" x", 9));
  Value s = rd_read(in.f);
  EXPECT_EQ(str_len(s), 2u);
  EXPECT_EQ(written(rd_read(in.f)), "x");
}

/* --------------------------------------- each error and what it leaves */

TEST_F(Reader, PseudoSExpression) {
  std::string rest;
  for (const char* t : {")x", "]x", "[x", "{x", "}x"}) {
    EXPECT_EQ(read_error(t, &rest), E_PSEUDO_SEXP) << t;
    EXPECT_EQ(rest, "x") << t;
  }
  EXPECT_EQ(read_error("(. a)", &rest), E_PSEUDO_SEXP);
  EXPECT_EQ(rest, " a)");
  EXPECT_EQ(read_error("(a . ) b", &rest), E_PSEUDO_SEXP);
  EXPECT_EQ(rest, " b");
  EXPECT_EQ(read_error("(a . b c) d", &rest), E_PSEUDO_SEXP);
  EXPECT_EQ(rest, ") d");
  EXPECT_EQ(read_error("(a [b])", &rest), E_PSEUDO_SEXP);
  EXPECT_EQ(rest, "b])");
}

TEST_F(Reader, UnidentifiedObject) {
  std::string rest;
  EXPECT_EQ(read_error("#x yz", &rest), E_UNIDENTIFIED);
  EXPECT_EQ(rest, " yz");
  EXPECT_EQ(read_error("#\\xy z", &rest), E_UNIDENTIFIED);
  EXPECT_EQ(rest, " z");
  EXPECT_EQ(read_error("#\\spaces", &rest), E_UNIDENTIFIED);
  EXPECT_EQ(read_error("##", &rest), E_UNIDENTIFIED);
}

TEST_F(Reader, ControlCharacters) {
  std::string rest;
  EXPECT_EQ(read_error("\x01" "ab", &rest), E_CTRL_CHAR);
  EXPECT_EQ(rest, "ab");
  EXPECT_EQ(read_error("\x7f", &rest), E_CTRL_CHAR);
  EXPECT_EQ(read_error("\xfd" "a", &rest), E_CTRL_CHAR);
  EXPECT_EQ(rest, "a");
  EXPECT_EQ(read_error("|a\tb|", &rest), E_CTRL_CHAR);  // a tab between bars
  EXPECT_EQ(rest, "b|");
  EXPECT_EQ(read_error("ab\x02" "c", &rest), E_CTRL_CHAR);
  EXPECT_EQ(rest, "c");
}

TEST_F(Reader, UnexpectedEnd) {
  for (const char* t : {"#", "(", "(a", "(a . b", "(a .", "#(", "#(1 2", "\"abc", "\"ab\\",
                        "'", "`", ",", ",@", "#\\", "|abc", "ab|c", "a\\", "|a\nb\n",
                        "' ", "(a '", "(a . ;c\n"}) {
    EXPECT_EQ(read_error(t), E_EOF) << t;
  }
}

TEST_F(Reader, ErrorsLeaveTheStackEmptyAndTheReaderUsable) {
  Input in("(a (b . ) c) (d)");
  EXPECT_EQ(error_of([&] { rd_read(in.f); }), E_PSEUDO_SEXP);
  EXPECT_EQ(mem.sp, 0u);
  EXPECT_EQ(written(rd_read(in.f)), "c");
  EXPECT_EQ(error_of([&] { rd_read(in.f); }), E_PSEUDO_SEXP);  // the stray ")"
  EXPECT_EQ(written(rd_read(in.f)), "(d)");
}

TEST_F(Reader, ErrorReportText) {
  read_error(")");
  std::string text = report.str();
  EXPECT_NE(text.find("Error : Pseudo S expression"), std::string::npos) << text;
}

TEST_F(Reader, EndOfInput) {
  Input empty("");
  EXPECT_EQ(rd_read(empty.f), mem_eof);
  Input blank("  \n\t ; only a comment");
  EXPECT_EQ(rd_read(blank.f), mem_eof);
  EXPECT_EQ(rd_read(blank.f), mem_eof);
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

/* ------------------------------------------------- state of each call */

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

/* ----------------------------------------- collector stress over reading */

TEST_F(Reader, BigStructuresUnderCollectionOnEveryAllocation) {
  std::string text = "(";
  for (int i = 0; i < 40; ++i)
    text += "(k" + std::to_string(i) + " \"str" + std::to_string(i) + "\" #(" + std::to_string(i) +
            " 1.5 #\\a) . " + std::to_string(-i) + ") ";
  text += ")";
  std::string expect = rw(text);  // without stress, for comparison
  mem.stress = true;
  uint32_t before = mem.collections;
  Input in(text + " '(a `(b ,c ,@d)) #(\"x\" \"y\" (z))");
  Value v = 0;
  EXPECT_EQ(error_of([&] { v = rd_read(in.f); }), 0);
  EXPECT_GT(mem.collections - before, 400u);
  EXPECT_EQ(written(v), expect);
  vm.val = v;  // keep it while the next data are read
  EXPECT_EQ(written(rd_read(in.f)), "(quote (a (quasiquote (b (unquote c) (unquote-splicing d)))))");
  EXPECT_EQ(written(rd_read(in.f)), "#(\"x\" \"y\" (z))");
  mem_collect(GC_USER);
  EXPECT_EQ(written(v), expect);
  mem.stress = false;
}

TEST_F(Reader, LongTokensUnderStress) {
  mem.stress = true;
  std::string body(2500, 'w');
  Input in("(\"" + body + "\" |" + body + "| " + body + ")");
  Value v = rd_read(in.f);
  EXPECT_EQ(std::string(str_bytes(car(v))), body);
  EXPECT_EQ(std::string(sym_name(car(cdr(v)))), body);
  EXPECT_EQ(car(cdr(v)), car(cdr(cdr(v))));
  mem.stress = false;
}

}  // namespace
