// datadir.h - where the files shipped with the program are found once it
// is installed: the program's own directory and the data directory.
#pragma once
#include <string>

namespace ondrel {

// The directory of the running executable (its real path, symbolic links
// followed), with a trailing "/"; "" when it cannot be found.
const char* plat_program_dir();

// The installed data directory, with a trailing "/": share/ondrel/ beside
// the bin/ directory the executable sits in (/usr/local/bin/ondrel reads
// /usr/local/share/ondrel/); "" when the executable cannot be found.
const char* plat_data_dir();

// The path under which a shipped file opens for reading: `name` itself
// when it holds a "/" or opens from the current directory, else the first
// of the program's directory and the data directory that holds it; `name`
// when none does, so that the caller's open fails as it would have.
std::string plat_find_shipped(const char* name);

}  // namespace ondrel
