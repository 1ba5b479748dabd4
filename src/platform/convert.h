// convert.h - the one wrapper of the C library's iconv: text between
// Shift-JIS (CP932) and UTF-8, for the console and the editor's display.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace ondrel {

// One converter between two encodings (to, from as iconv names them).  Bytes that do not convert
// pass unchanged; an incomplete character at the end of a text is held
// until the next text arrives (or until flush).
struct PlatConverter {
  void* cd = nullptr;  // iconv descriptor, or null when no conversion
  std::string held;    // the start of a character split between two texts
};
bool plat_converter_open(PlatConverter& cv, const char* to, const char* from);
void plat_converter_close(PlatConverter& cv);
void plat_convert(PlatConverter& cv, const char* text, size_t n, std::string& out);
void plat_convert_flush(PlatConverter& cv, std::string& out);

// The whole of `in` converted in one go, from the initial shift state;
// false when any of it does not convert.
bool plat_convert_exact(PlatConverter& cv, std::string_view in, std::string& out);

}  // namespace ondrel
