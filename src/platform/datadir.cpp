// datadir.cpp - the program's directory and the installed data directory.
#include "platform/datadir.h"

#include <unistd.h>

#include <cstring>

#include "platform/file_guard.h"
#include "platform/sandbox.h"

// The data directory relative to the directory of the installed binary,
// from the build's installation layout.
#ifndef ONDREL_DATA_FROM_BIN
#define ONDREL_DATA_FROM_BIN "../share/ondrel/"
#endif

namespace ondrel {

namespace {

std::string find_program_dir() {
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "";
  exe[n] = '\0';
  const char* slash = std::strrchr(exe, '/');
  return slash == nullptr ? "" : std::string(exe, static_cast<size_t>(slash - exe) + 1);
}

// The program's directory followed by the relative path, each leading
// "../" taking the last directory off instead of staying in the text.
std::string find_data_dir() {
  std::string dir = plat_program_dir();
  if (dir.empty()) return "";
  const char* rel = ONDREL_DATA_FROM_BIN;
  while (std::strncmp(rel, "../", 3) == 0 && dir.size() > 1) {
    dir.pop_back();                 // the trailing "/"
    dir.erase(dir.rfind('/') + 1);  // the last directory
    rel += 3;
  }
  return dir + rel;
}

bool opens(const std::string& path) {
  FileGuard f(plat_fopen(path.c_str(), "rb"));
  return f.fp != nullptr;
}

}  // namespace

const char* plat_program_dir() {
  static const std::string dir = find_program_dir();
  return dir.c_str();
}

const char* plat_data_dir() {
  static const std::string dir = find_data_dir();
  return dir.c_str();
}

std::string plat_find_shipped(const char* name) {
  if (*name == '\0' || std::strchr(name, '/') != nullptr || opens(name)) return name;
  for (const char* dir : {plat_program_dir(), plat_data_dir()}) {
    if (*dir == '\0') continue;
    std::string path = std::string(dir) + name;
    if (opens(path)) return path;
  }
  return name;
}

}  // namespace ondrel
