// sjis_utf8.h - lossless conversion between the editor's Shift-JIS text
// and the UTF-8 text a desktop toolkit shows.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace ondrel {

// Shift-JIS here is Windows code page 932.  Every byte string converts to
// UTF-8 and back to the same bytes:
//   - a CR LF pair becomes one LF (the toolkit's line end);
//   - a lone CR becomes U+F70D and a lone LF U+F70A, so they stay apart
//     from the line ends and show as a placeholder, as they do in a
//     Windows edit control;
//   - a byte that starts no character that converts back to itself (a NUL,
//     a byte that is not Shift-JIS, a lead byte without its trail byte, the
//     first byte of a code that has a second, preferred encoding of the same
//     character) becomes U+F700 + the byte.  CP932's user-defined area maps
//     to U+E000..U+E757, so U+F700..U+F7FF is free for this.
// Back from UTF-8 each character converts on its own: LF becomes CR LF,
// U+F700..U+F7FF the byte it stands for, and a character CP932 lacks "?".
std::string sj_to_utf8(std::string_view sjis);
std::string sj_from_utf8(std::string_view utf8);

// Positions.  Both count in the UTF-8 text as the toolkit holds it:
// sj_sjis_offset gives the Shift-JIS length of its first `chars`
// characters (clamped to the text); sj_char_offset the number of its
// characters whose Shift-JIS bytes begin before `bytes`, so an offset
// inside a character counts that character.
size_t sj_sjis_offset(std::string_view utf8, size_t chars);
size_t sj_char_offset(std::string_view utf8, size_t bytes);

// The private-use character that stands for a byte, and its first value.
constexpr char32_t SJ_BYTE_BASE = 0xF700;

}  // namespace ondrel
