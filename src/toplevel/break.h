// break.h - the user-break flag set by the SIGINT handler.
#pragma once
#include <csignal>

namespace ondrel {

inline volatile std::sig_atomic_t vm.break_flag = 0;

}  // namespace ondrel
