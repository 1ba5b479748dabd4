// process_guard.h - the process made safe for its files before anything
// opens one.
#pragma once

namespace ondrel {

// Called first thing in main.  Standard input, output and error that are
// closed are opened on /dev/null, so that no file the program opens later
// takes descriptor 0, 1 or 2 and receives the console's text (or is read
// as typed input).  A write past the file-size limit fails with EFBIG
// instead of ending the process with SIGXFSZ, so the failure is reported
// by whatever wrote and the session goes on.
void plat_guard_process();

}  // namespace ondrel
