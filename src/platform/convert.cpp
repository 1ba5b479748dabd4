// convert.cpp - encoding conversion through iconv.
#include "platform/convert.h"

#include <iconv.h>

#include <cerrno>

namespace ondrel {

bool plat_converter_open(PlatConverter& cv, const char* to, const char* from) {
  iconv_t d = iconv_open(to, from);
  cv.held.clear();
  cv.cd = d == reinterpret_cast<iconv_t>(-1) ? nullptr : d;
  return cv.cd != nullptr;
}

void plat_converter_close(PlatConverter& cv) {
  if (cv.cd != nullptr) iconv_close(static_cast<iconv_t>(cv.cd));
  cv.cd = nullptr;
  cv.held.clear();
}

void plat_convert(PlatConverter& cv, const char* text, size_t n, std::string& out) {
  if (cv.cd == nullptr) {
    out.append(text, n);
    return;
  }
  std::string joined;
  if (!cv.held.empty()) {
    joined = cv.held;
    joined.append(text, n);
    cv.held.clear();
    text = joined.data();
    n = joined.size();
  }
  iconv_t cd = static_cast<iconv_t>(cv.cd);
  char* ip = const_cast<char*>(text);
  size_t il = n;
  char buf[1024];
  while (il > 0) {
    char* op = buf;
    size_t ol = sizeof buf;
    size_t r = iconv(cd, &ip, &il, &op, &ol);
    out.append(buf, static_cast<size_t>(op - buf));
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    if (errno == EINVAL) {  // a character cut at the end: wait for the rest
      cv.held.assign(ip, il);
      break;
    }
    out.push_back(*ip);  // a byte that does not convert passes unchanged
    ++ip;
    --il;
  }
}

void plat_convert_flush(PlatConverter& cv, std::string& out) {
  out += cv.held;
  cv.held.clear();
}

bool plat_convert_exact(PlatConverter& cv, std::string_view in, std::string& out) {
  if (cv.cd == nullptr) return false;
  iconv_t cd = static_cast<iconv_t>(cv.cd);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string buf(4 * in.size() + 16, '\0');
  char* ip = const_cast<char*>(in.data());
  size_t il = in.size();
  char* op = buf.data();
  size_t ol = buf.size();
  if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) return false;
  out.assign(buf.data(), static_cast<size_t>(op - buf.data()));
  return true;
}

}  // namespace ondrel
