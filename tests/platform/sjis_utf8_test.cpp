// sjis_utf8_test.cpp - the editor's display conversion gives back every byte
// string, shows real characters as iconv's CP932 does, and maps positions.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <random>
#include <string>

#include "platform/sjis_utf8.h"
#include "support/tempdir.h"

using namespace ondrel;

namespace {

// The UTF-8 form of one private-use escape.
std::string escape(unsigned b) {
  char32_t c = SJ_BYTE_BASE + b;
  std::string s;
  s += char(0xE0 | (c >> 12));
  s += char(0x80 | ((c >> 6) & 0x3F));
  s += char(0x80 | (c & 0x3F));
  return s;
}

// What `iconv -f FROM -t TO` makes of text; nullopt-like false when iconv fails.
bool iconv_cmd(const std::string& text, const char* from, const char* to, std::string& out) {
  TempDir dir;
  std::string path = dir / "in";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  std::string cmd = std::string("iconv -f ") + from + " -t " + to + " < '" + path + "' 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return false;
  out.clear();
  for (int c; (c = std::fgetc(p)) != EOF;) out.push_back(char(c));
  return pclose(p) == 0;
}

TEST(SjisUtf8, EverySingleByteRoundTrips) {
  for (unsigned b = 0; b < 256; ++b) {
    std::string s(1, char(b));
    std::string u = sj_to_utf8(s);
    EXPECT_EQ(sj_from_utf8(u), s) << "byte " << b;
    EXPECT_EQ(sj_char_offset(u, 1), 1U) << "byte " << b;
    EXPECT_EQ(sj_sjis_offset(u, 1), 1U) << "byte " << b;
  }
  EXPECT_EQ(sj_to_utf8("A~\\"), "A~\\");                          // ASCII as it is, 0x5C a backslash
  EXPECT_EQ(sj_to_utf8(std::string(1, '\0')), escape(0));         // no NUL inside the toolkit's text
  EXPECT_EQ(sj_to_utf8("\xA1\xDF"), "\xEF\xBD\xA1\xEF\xBE\x9F");  // half-width katakana
  for (unsigned b : {0x80U, 0xA0U, 0xFDU, 0xFEU, 0xFFU, 0x81U, 0xFCU})
    EXPECT_EQ(sj_to_utf8(std::string(1, char(b))), escape(b)) << "byte " << b;
}

TEST(SjisUtf8, EveryDoubleByteRoundTripsAndMatchesIconv) {
  std::string all;  // every code that shows as one character, with its line end
  int shown = 0;
  for (unsigned lead = 0; lead < 256; ++lead) {
    for (unsigned trail = 0; trail < 256; ++trail) {
      std::string s{char(lead), char(trail)};
      std::string u = sj_to_utf8(s);
      ASSERT_EQ(sj_from_utf8(u), s) << std::hex << lead << " " << trail;
      ASSERT_EQ(sj_sjis_offset(u, 99), 2U);
      bool lead_byte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
      if (lead_byte && u.rfind(escape(lead), 0) != 0) {
        ++shown;
        all += s;
        all += '\n';
      }
    }
  }
  // CP932 has 7915 characters of two bytes and 1880 user-defined codes;
  // its duplicate codes (398 NEC-selected IBM and NEC row 13 codes) escape.
  EXPECT_GT(shown, 9000);
  std::string want;
  if (!iconv_cmd(all, "CP932", "UTF-8", want)) GTEST_SKIP() << "iconv not available";
  std::string got = sj_to_utf8(all);
  // Every LF alone escapes; put them back for the comparison.
  std::string lf = escape('\n'), plain;
  for (size_t at = 0, next; at < got.size(); at = next + lf.size()) {
    next = got.find(lf, at);
    if (next == std::string::npos) next = got.size();
    plain += got.substr(at, next - at);
    if (next < got.size()) plain += '\n';
  }
  EXPECT_EQ(plain, want);
}

TEST(SjisUtf8, DuplicatesAndUserDefinedCodesStayApart) {
  // 0xED40 and 0xFA5C are both U+7E8A; CP932 writes it 0xFA5C.
  EXPECT_EQ(sj_to_utf8("\xFA\x5C"), "\xE7\xBA\x8A");
  EXPECT_EQ(sj_to_utf8("\xED\x40"), escape(0xED) + "@");
  EXPECT_EQ(sj_from_utf8(escape(0xED) + "@"), "\xED\x40");
  EXPECT_EQ(sj_from_utf8("\xE7\xBA\x8A"), "\xFA\x5C");
  // The user-defined area is U+E000..; the escapes are U+F700.., never mixed.
  EXPECT_EQ(sj_to_utf8("\xF0\x40"), "\xEE\x80\x80");
  EXPECT_EQ(sj_to_utf8("\xF9\xFC"), "\xEE\x9D\x97");
  EXPECT_EQ(sj_to_utf8("\xF0"), escape(0xF0));
  EXPECT_EQ(sj_from_utf8("\xEE\x80\x80" + escape(0xF0)), "\xF0\x40\xF0");
  // A lead byte before a byte that cannot follow it escapes alone.
  EXPECT_EQ(sj_to_utf8("\x82\x0D\x0A"), escape(0x82) + "\n");
}

TEST(SjisUtf8, LineEnds) {
  EXPECT_EQ(sj_to_utf8("a\r\nb\r\n"), "a\nb\n");
  EXPECT_EQ(sj_from_utf8("a\nb\n"), "a\r\nb\r\n");
  // Lone CR and LF keep their identity as placeholders.
  EXPECT_EQ(sj_to_utf8("a\rb\nc"), "a" + escape('\r') + "b" + escape('\n') + "c");
  for (std::string s : {"\r", "\n", "\r\r\n", "\n\r", "\r\n\r", "\n\r\n\n", "x\r\r\r\n\n"}) {
    EXPECT_EQ(sj_from_utf8(sj_to_utf8(s)), s);
  }
  // A CR typed or pasted into the toolkit stays one byte.
  EXPECT_EQ(sj_from_utf8("a\rb"), "a\rb");
}

TEST(SjisUtf8, RandomByteStringsRoundTrip) {
  std::mt19937 rng(12345);
  // Biased toward the bytes that matter: line ends, lead bytes, trail bytes.
  const unsigned char pick[] = {'\r', '\n', 0,    'a',  '\\', 0x81, 0x82, 0x9F, 0xE0, 0xED, 0xF0,
                                0xFA, 0xFC, 0x40, 0x7F, 0x80, 0xA0, 0xA1, 0xDF, 0xFD, 0xFF};
  for (int n = 0; n < 20000; ++n) {
    std::string s;
    size_t len = rng() % 24;
    for (size_t k = 0; k < len; ++k) {
      s += rng() % 2 ? char(pick[rng() % sizeof pick]) : char(rng() % 256);
    }
    std::string u = sj_to_utf8(s);
    ASSERT_EQ(sj_from_utf8(u), s) << n;
    ASSERT_EQ(sj_sjis_offset(u, size_t(-1)), s.size());
  }
}

TEST(SjisUtf8, LabelsMatchIconv) {
  for (std::string label : {"ファイル(&F)", "編集(&E)", "名前を付けて保存(&A)...", "式を評価",
                            "Scheme ソースファイル(*.sc)", "表示 ｶﾀｶﾅ ～∥－￠"}) {
    std::string sjis;
    if (!iconv_cmd(label, "UTF-8", "CP932", sjis)) GTEST_SKIP() << "iconv not available";
    EXPECT_EQ(sj_from_utf8(label), sjis) << label;
    EXPECT_EQ(sj_to_utf8(sjis), label) << label;
  }
  EXPECT_EQ(sj_from_utf8("\xF0\x9F\x98\x80"), "?");  // no CP932 form
  EXPECT_EQ(sj_from_utf8("\xFF"), "?");              // not UTF-8
}

TEST(SjisUtf8, PositionsCountShiftJisBytes) {
  // "a表\r\nb": 表 is two bytes, the line end two bytes and one character.
  std::string u = sj_to_utf8("a\x95\x5c\r\nb");
  ASSERT_EQ(u, "a\xE8\xA1\xA8\nb");
  const size_t bytes_at[] = {0, 1, 3, 5, 6, 6};
  for (size_t c = 0; c < 6; ++c) EXPECT_EQ(sj_sjis_offset(u, c), bytes_at[c]) << c;
  const size_t chars_at[] = {0, 1, 2, 2, 3, 3, 4, 4};
  for (size_t b = 0; b < 8; ++b) EXPECT_EQ(sj_char_offset(u, b), chars_at[b]) << b;
}

}  // namespace
