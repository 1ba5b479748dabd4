// replay_main.cpp - runs a fuzz target's entry over stored inputs, for the
// test suite: every regular file under each directory named on the command
// line, subdirectories included, in name order.  An argument --ext=.sc,.in
// keeps only files with those endings in the directories after it.  A
// fault aborts as it would under the fuzzer.
#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static bool read_file(const std::string& path, std::vector<uint8_t>& out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  out.clear();
  uint8_t buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.insert(out.end(), buf, buf + n);
  std::fclose(f);
  return true;
}

static std::vector<std::string> endings;  // empty: every file

static bool wanted(const std::string& name) {
  if (endings.empty()) return true;
  for (const std::string& e : endings)
    if (name.size() >= e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0) return true;
  return false;
}

static size_t replay_dir(const std::string& dir) {
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return 0;  // a target may have no regressions yet
  std::vector<std::pair<std::string, bool>> entries;  // name, is a directory
  while (dirent* e = readdir(d))
    if (e->d_name[0] != '.') entries.emplace_back(e->d_name, e->d_type == DT_DIR);
  closedir(d);
  std::sort(entries.begin(), entries.end());
  size_t runs = 0;
  std::vector<uint8_t> data;
  for (const auto& [name, is_dir] : entries) {
    std::string path = dir + "/" + name;
    if (is_dir) {
      runs += replay_dir(path);
      continue;
    }
    if (!wanted(name) || !read_file(path, data)) continue;
    std::fprintf(stderr, "replay %s\n", path.c_str());
    LLVMFuzzerTestOneInput(data.data(), data.size());
    ++runs;
  }
  return runs;
}

int main(int argc, char** argv) {
  size_t runs = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--ext=", 0) == 0) {
      endings.clear();
      for (size_t p = 6; p <= arg.size();) {
        size_t q = arg.find(',', p);
        if (q == std::string::npos) q = arg.size();
        if (q > p) endings.push_back(arg.substr(p, q - p));
        p = q + 1;
      }
      continue;
    }
    runs += replay_dir(arg);
  }
  std::fprintf(stderr, "replayed %zu inputs\n", runs);
  return 0;
}
