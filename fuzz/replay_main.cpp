// replay_main.cpp - runs a fuzz target's entry over stored inputs, for the
// test suite: every regular file in each directory named on the command
// line, in name order.  A fault aborts as it would under the fuzzer.
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

int main(int argc, char** argv) {
  size_t runs = 0;
  for (int i = 1; i < argc; ++i) {
    DIR* d = opendir(argv[i]);
    if (d == nullptr) continue;  // a target may have no regressions yet
    std::vector<std::string> names;
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.emplace_back(e->d_name);
    closedir(d);
    std::sort(names.begin(), names.end());
    std::vector<uint8_t> data;
    for (const std::string& n : names) {
      std::string path = std::string(argv[i]) + "/" + n;
      if (!read_file(path, data)) continue;
      std::fprintf(stderr, "replay %s\n", path.c_str());
      LLVMFuzzerTestOneInput(data.data(), data.size());
      ++runs;
    }
  }
  std::fprintf(stderr, "replayed %zu inputs\n", runs);
  return 0;
}
