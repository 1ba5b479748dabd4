// lock.h - the interpreter lock.
//
// The heap, the stacks, the registers and the ports belong to the thread
// that holds the lock.  The console thread takes it at start-up, keeps it
// for good and lets go only while it waits for the terminal; an evaluation
// started from the editor holds it for its whole run.  So the two never
// touch the interpreter at the same time, and the one that waits finds the
// interpreter as the other left it.
#pragma once
#include <mutex>

namespace ondrel {

inline std::mutex plat_lock_mutex;
inline thread_local bool plat_lock_held = false;  // this thread holds the lock

// Take the lock for the rest of the thread's life (the console thread: it
// is never given back, so nothing runs the interpreter during shutdown).
inline void plat_lock_for_good() {
  plat_lock_mutex.lock();
  plat_lock_held = true;
}

// Hold the lock for a scope.
struct PlatLock {
  PlatLock() {
    plat_lock_mutex.lock();
    plat_lock_held = true;
  }
  ~PlatLock() {
    plat_lock_held = false;
    plat_lock_mutex.unlock();
  }
  PlatLock(const PlatLock&) = delete;
  PlatLock& operator=(const PlatLock&) = delete;
};

// Let go of the lock, when this thread holds it, for a wait that touches
// nothing of the interpreter; take it back at the end of the scope.
struct PlatUnlock {
  bool was_held;
  PlatUnlock() : was_held(plat_lock_held) {
    if (!was_held) return;
    plat_lock_held = false;
    plat_lock_mutex.unlock();
  }
  ~PlatUnlock() {
    if (!was_held) return;
    plat_lock_mutex.lock();
    plat_lock_held = true;
  }
  PlatUnlock(const PlatUnlock&) = delete;
  PlatUnlock& operator=(const PlatUnlock&) = delete;
};

}  // namespace ondrel
