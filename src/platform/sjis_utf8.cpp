// sjis_utf8.cpp - lossless Shift-JIS <-> UTF-8 for the editor's display.
#include "platform/sjis_utf8.h"

#include "platform/convert.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace ondrel {

/* ----------------------------------------------------------------- tables */

// Tables of the double-byte codes, built once from the C library's CP932
// converter.  A code takes part only when it converts to one character and
// that character converts back to the same two bytes; the rest (invalid
// codes, and the duplicates such as NEC-selected IBM kanji, whose character
// CP932 writes with another code) go through the byte escapes.

static bool is_lead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
static bool is_trail(unsigned b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Appends the UTF-8 form of c.
static void put_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 character at s[i]; advances i.  A malformed sequence
// yields one U+FFFD per byte.
static char32_t get_utf8(std::string_view s, size_t& i) {
  auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    ++i;
    return b;
  }
  int n = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
  if (n < 0 || i + n >= s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t c = b & (0x3F >> n);
  for (int k = 1; k <= n; ++k) {
    auto t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = c << 6 | (t & 0x3F);
  }
  i += n + 1;
  return c;
}

struct Tables {
  std::vector<char32_t> fwd;                       // code (lead << 8 | trail) -> character, 0 none
  std::vector<std::pair<char32_t, uint16_t>> rev;  // character -> code, sorted
};

// The character a code stands for is kept only when it is not one the
// single bytes and escapes already stand for.
static bool pair_character_ok(char32_t c) {
  return c >= 0x80 && !(c >= 0xFF61 && c <= 0xFF9F) && !(c >= SJ_BYTE_BASE && c <= SJ_BYTE_BASE + 0xFF);
}

static Tables build_tables() {
  Tables t;
  t.fwd.assign(0x10000, 0);
  PlatConverter dec, enc;
  if (plat_converter_open(dec, "UTF-8", "CP932") && plat_converter_open(enc, "CP932", "UTF-8")) {
    std::string in(2, '\0'), mid, back;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      if (!is_lead(lead)) continue;
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (!is_trail(trail)) continue;
        in[0] = char(lead);
        in[1] = char(trail);
        if (!plat_convert_exact(dec, in, mid) || mid.empty()) continue;
        size_t i = 0;
        char32_t c = get_utf8(mid, i);
        if (i != mid.size() || !pair_character_ok(c)) continue;
        if (!plat_convert_exact(enc, mid, back) || back != in) continue;
        t.fwd[lead << 8 | trail] = c;
        t.rev.emplace_back(c, uint16_t(lead << 8 | trail));
      }
    }
  }
  plat_converter_close(dec);
  plat_converter_close(enc);
  std::sort(t.rev.begin(), t.rev.end());
  return t;
}

static const Tables& tables() {
  static const Tables t = build_tables();
  return t;
}

/* ------------------------------------------------ one character at a time */

// The character the Shift-JIS text shows at s[i]; advances i past its bytes.
static char32_t next_char(std::string_view s, size_t& i) {
  auto b = static_cast<unsigned char>(s[i]);
  bool more = i + 1 < s.size();
  auto b2 = more ? static_cast<unsigned char>(s[i + 1]) : 0U;
  if (b == '\r') {
    if (more && b2 == '\n') {
      i += 2;
      return '\n';
    }
    ++i;
    return SJ_BYTE_BASE + '\r';
  }
  ++i;
  if (b == '\n') return SJ_BYTE_BASE + '\n';
  if (b == 0) return SJ_BYTE_BASE;
  if (b < 0x80) return b;
  if (b >= 0xA1 && b <= 0xDF) return 0xFF61 + (b - 0xA1);  // half-width katakana
  if (more && is_lead(b) && is_trail(b2)) {
    char32_t c = tables().fwd[b << 8 | b2];
    if (c != 0) {
      ++i;
      return c;
    }
  }
  return SJ_BYTE_BASE + b;
}

// Appends the Shift-JIS bytes of one character taken from the toolkit.
static void put_sjis(std::string& out, char32_t c) {
  if (c == '\n') {
    out += "\r\n";
  } else if (c < 0x80) {
    out += char(c);
  } else if (c >= SJ_BYTE_BASE && c <= SJ_BYTE_BASE + 0xFF) {
    out += char(c - SJ_BYTE_BASE);
  } else if (c >= 0xFF61 && c <= 0xFF9F) {
    out += char(c - 0xFF61 + 0xA1);
  } else {
    const auto& rev = tables().rev;
    auto it = std::lower_bound(rev.begin(), rev.end(), std::make_pair(c, uint16_t(0)));
    if (it != rev.end() && it->first == c) {
      out += char(it->second >> 8);
      out += char(it->second & 0xFF);
    } else {
      out += '?';
    }
  }
}

static size_t sjis_length(char32_t c) {
  std::string tmp;
  put_sjis(tmp, c);
  return tmp.size();
}

std::string sj_to_utf8(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() + sjis.size() / 2);
  for (size_t i = 0; i < sjis.size();) put_utf8(out, next_char(sjis, i));
  return out;
}

std::string sj_from_utf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) put_sjis(out, get_utf8(utf8, i));
  return out;
}

size_t sj_sjis_offset(std::string_view utf8, size_t chars) {
  size_t bytes = 0;
  for (size_t i = 0, n = 0; i < utf8.size() && n < chars; ++n) bytes += sjis_length(get_utf8(utf8, i));
  return bytes;
}

size_t sj_char_offset(std::string_view utf8, size_t bytes) {
  size_t n = 0;
  for (size_t i = 0, at = 0; i < utf8.size() && at < bytes; ++n) at += sjis_length(get_utf8(utf8, i));
  return n;
}

}  // namespace ondrel
