// file_replace.h - a file written whole or not at all.
//
// The new contents go to a temporary file in the target's directory,
// created exclusively (a name planted there beforehand, a symbolic link
// included, is never opened), and replace the target by rename only once
// every byte is written and on the disk.  On any failure the temporary
// file is removed and the target is left as it was.  A target that is a
// symbolic link is replaced by the new file, not written through.
#pragma once
#include <cstddef>
#include <string>

namespace ondrel {

struct FileReplace {
  std::string target;
  std::string temp;  // the temporary file while it exists, else ""
  int fd = -1;       // open for reading and writing on temp
  FileReplace() = default;
  ~FileReplace();  // removes the temporary file unless committed
  FileReplace(const FileReplace&) = delete;
  FileReplace& operator=(const FileReplace&) = delete;
};

// Create the temporary file, with the target's permissions when the
// target is a regular file.  False (errno set) when it cannot be created
// or the target is a file this process may not write; the fuzzing build
// never creates one.
bool plat_replace_begin(FileReplace& r, const char* target);
// Write all n bytes to the temporary file; false on a short write.
bool plat_replace_write(FileReplace& r, const void* data, size_t n);
// Flush to the disk, close and rename over the target; false (the
// temporary file removed) when any step fails.
bool plat_replace_commit(FileReplace& r);

}  // namespace ondrel
