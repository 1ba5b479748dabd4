// sjis.h - Shift-JIS (CP932) texts of the console messages, each beside its
// UTF-8 reading.  tools/sjis.sh makes the bytes from the readable text.
#pragma once

namespace ondrel {

// "memory : メモリ確保に失敗しました．\n"
inline constexpr char SJ_MEMORY_FAILED[] =
    "\x6d\x65\x6d\x6f\x72\x79\x20\x3a\x20\x83\x81\x83\x82\x83\x8a\x8a\x6d\x95\xdb\x82\xc9\x8e\xb8\x94\x73\x82"
    "\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x44\n";
// "ばいばい。\n"
inline constexpr char SJ_FAREWELL[] = "\x82\xce\x82\xa2\x82\xce\x82\xa2\x81\x42\n";

}  // namespace ondrel
