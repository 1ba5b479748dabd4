// console_test.cpp - the Shift-JIS / UTF-8 converters of the console, the
// conversion switch, and the console's plain path for swapped streams.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/console.h"

using namespace ondrel;

namespace {

struct Converter {
  PlatConverter cv;
  explicit Converter(const char* to, const char* from) {
    EXPECT_TRUE(plat_converter_open(cv, to, from));
  }
  ~Converter() { plat_converter_close(cv); }
  std::string run(const std::string& text) {
    std::string out;
    plat_convert(cv, text.data(), text.size(), out);
    return out;
  }
  std::string flush() {
    std::string out;
    plat_convert_flush(cv, out);
    return out;
  }
};

const std::string A_SJIS = "\x82\xa0";            // あ
const std::string A_UTF8 = "\xe3\x81\x82";
const std::string HYO_SJIS = "\x95\x5c";          // 表: the second byte is '\'
const std::string HYO_UTF8 = "\xe8\xa1\xa8";
const std::string SMILE_UTF8 = "\xf0\x9f\x98\x80";  // no Shift-JIS form

TEST(ConsoleSwitch, ConvertsOnlyForUtf8AndNotRaw) {
  EXPECT_TRUE(con_wants_conversion("UTF-8", nullptr));
  EXPECT_TRUE(con_wants_conversion("UTF-8", ""));
  EXPECT_TRUE(con_wants_conversion("UTF-8", "cooked"));
  EXPECT_FALSE(con_wants_conversion("UTF-8", "raw"));
  EXPECT_FALSE(con_wants_conversion("ANSI_X3.4-1968", nullptr));
  EXPECT_FALSE(con_wants_conversion("SHIFT_JIS", nullptr));
  EXPECT_FALSE(con_wants_conversion("", nullptr));
  EXPECT_FALSE(con_wants_conversion(nullptr, nullptr));
}

TEST(ConsoleOutput, ShiftJisBecomesUtf8) {
  Converter c("UTF-8", "CP932");
  EXPECT_EQ(c.run("abc (car 5)\n"), "abc (car 5)\n");
  EXPECT_EQ(c.run(A_SJIS + HYO_SJIS), A_UTF8 + HYO_UTF8);
  EXPECT_EQ(c.run("\\~"), "\\~");               // ASCII stays ASCII
  EXPECT_EQ(c.run("\xb1"), "\xef\xbd\xb1");      // half-width katakana ｱ
  EXPECT_EQ(c.flush(), "");
}

TEST(ConsoleOutput, PairSplitBetweenTwoWritesIsJoined) {
  Converter c("UTF-8", "CP932");
  EXPECT_EQ(c.run("x\x95"), "x");  // the lead byte waits
  EXPECT_EQ(c.run("\x5cy"), HYO_UTF8 + "y");
  // Byte by byte, as a program writing one character at a time does.
  std::string out;
  for (char b : A_SJIS + HYO_SJIS) out += c.run(std::string(1, b));
  EXPECT_EQ(out, A_UTF8 + HYO_UTF8);
  // A lead byte left at the end shows unchanged when flushed.
  EXPECT_EQ(c.run("\x82"), "");
  EXPECT_EQ(c.flush(), "\x82");
  EXPECT_EQ(c.flush(), "");
}

TEST(ConsoleOutput, BytesThatDoNotConvertPassUnchanged) {
  Converter c("UTF-8", "CP932");
  EXPECT_EQ(c.run(std::string("\x80", 1)), "\x80");
  EXPECT_EQ(c.run("a\xa0" "b"), "a\xa0" "b");
  EXPECT_EQ(c.run("\xfd\xfe\xff"), "\xfd\xfe\xff");
  // A lead byte before a byte that cannot follow it: both unchanged.
  EXPECT_EQ(c.run("\x82 ok"), "\x82 ok");
  EXPECT_EQ(c.run(A_SJIS + "\x80" + A_SJIS), A_UTF8 + "\x80" + A_UTF8);
  std::string with_nul("a\0b", 3);
  EXPECT_EQ(c.run(with_nul), with_nul);
  // Longer than the converter's buffer: nothing lost.
  std::string big, want;
  for (int i = 0; i < 3000; ++i) {
    big += A_SJIS + "x";
    want += A_UTF8 + "x";
  }
  EXPECT_EQ(c.run(big), want);
}

TEST(ConsoleInput, Utf8BecomesShiftJis) {
  Converter c("CP932", "UTF-8");
  EXPECT_EQ(c.run("(string-length \"" + A_UTF8 + HYO_UTF8 + "\")\n"),
            "(string-length \"" + A_SJIS + HYO_SJIS + "\")\n");
  EXPECT_EQ(c.run("\xef\xbd\xb1"), "\xb1");
  // No Shift-JIS form, or not UTF-8 at all: the bytes pass unchanged.
  EXPECT_EQ(c.run(SMILE_UTF8 + "!"), SMILE_UTF8 + "!");
  EXPECT_EQ(c.run("\xff\xfe"), "\xff\xfe");
  EXPECT_EQ(c.run("\xe3\x81" "a"), "\xe3\x81" "a");  // a cut sequence mid-text
  // A sequence cut at the end of a text waits; flushed, it passes as it is.
  EXPECT_EQ(c.run("\xe3\x81"), "");
  EXPECT_EQ(c.run("\x82"), A_SJIS);
  EXPECT_EQ(c.run("\xe3"), "");
  EXPECT_EQ(c.flush(), "\xe3");
}

TEST(ConsoleConverter, ClosedConverterCopies) {
  PlatConverter cv;  // never opened: no conversion
  std::string out;
  plat_convert(cv, "\x82\xa0\x95", 3, out);
  EXPECT_EQ(out, "\x82\xa0\x95");
  plat_convert_flush(cv, out);
  EXPECT_EQ(out, "\x82\xa0\x95");
}

// Streams other than the ones the console started with (here memory
// streams standing in for standard input and output) pass every byte.
TEST(ConsoleStreams, SwappedStandardStreamsPassPlainly) {
  con_write("", 0);  // the console settles on the real streams first
  char inbuf[] = "\x82\xa0(a)";
  char* outbuf = nullptr;
  size_t outlen = 0;
  FILE* in = fmemopen(inbuf, sizeof inbuf - 1, "r");
  FILE* out = open_memstream(&outbuf, &outlen);
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  FILE* saved_in = stdin;
  FILE* saved_out = stdout;
  stdin = in;
  stdout = out;
  int c1 = con_read_char();
  int c2 = con_read_char();
  con_unget_char(c2);
  int c3 = con_read_char();
  bool buffered = con_input_buffered();
  con_puts("\x95\x5c ok\n");
  {
    ConPrompt p(stdin, stdout);
    con_puts("S> ");  // not an edited console: shown at once
  }
  std::string rest;
  for (int c; (c = con_read_char()) != EOF;) rest.push_back(static_cast<char>(c));
  bool at_eof = con_at_eof();
  stdin = saved_in;
  stdout = saved_out;
  std::fclose(in);
  std::fclose(out);
  std::string written(outbuf, outlen);
  free(outbuf);
  EXPECT_EQ(c1, 0x82);
  EXPECT_EQ(c2, 0xa0);
  EXPECT_EQ(c3, 0xa0);
  EXPECT_FALSE(buffered);
  EXPECT_EQ(rest, "(a)");
  EXPECT_TRUE(at_eof);
  EXPECT_EQ(written, "\x95\x5c ok\nS> ");
}

}  // namespace
