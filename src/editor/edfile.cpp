// edfile.cpp - loading and saving the editor's text, and the indentation
// of a displayed definition.
#include <cstdio>
#include <string>

#include "editor/editor.h"
#include "platform/file_guard.h"

namespace ondrel {

bool ed_read_file(const char* path, std::string& out) {
  FileGuard file(std::fopen(path, "r"));
  if (file.fp == nullptr) return false;
  std::string text;
  int prev = 0;
  for (int c; (c = std::fgetc(file.fp)) != EOF; prev = c) {
    if (c == '\n' && prev != '\r') text += '\r';
    text += static_cast<char>(c);
  }
  if (std::ferror(file.fp)) return false;
  out = std::move(text);
  return true;
}

bool ed_write_file(const char* path, const std::string& text) {
  std::string temp = std::string(path) + ".tmp~";
  {
    FileGuard file(std::fopen(temp.c_str(), "wb"));
    if (file.fp == nullptr) return false;
    for (char c : text)
      if (c != '\r') std::fputc(c, file.fp);
    bool ok = std::fflush(file.fp) == 0 && !std::ferror(file.fp);
    if (!ok) {
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

std::string ed_indent(const std::string& text) {
  std::string out;
  int depth = 0;
  char prev = 0;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    if (prev == '(') depth += 3;
    if (prev == ')') {
      if (depth > 0) depth -= 3;
      // A closed list ends its line: the next element starts a new one,
      // indented by the depth, a space before it giving way to the break.
      if (text[i] != ')') {
        out += "\r\n";
        out.append(static_cast<size_t>(depth), ' ');
        if (text[i] == ' ') ++i;
      }
    }
    if (i >= n) break;
    prev = text[i];
    out += prev;
    ++i;
  }
  out += "\r\n";
  return out;
}

}  // namespace ondrel
