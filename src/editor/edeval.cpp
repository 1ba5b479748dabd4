// edeval.cpp - the editor's evaluation thread and its hand-shake with the
// console loop.
//
// The loop state word says who evaluates: 0 the console waits for input,
// 1 the console evaluates, 2 an editor evaluation runs.  The thread claims
// the word in one atomic step (refusing when it is not 0), then waits for
// the interpreter lock, which the console gives up only while it waits for
// the terminal.  Between its first and last step the thread owns the heap,
// the stacks and the registers; it hands them back as it found them:
// registers restored, stacks at the heights of its start, so that a datum
// the console was in the middle of reading goes on where it stopped.
#include "editor/edeval.h"

#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "eval/protect.h"
#include "eval/readeval.h"
#include "memory/error.h"
#include "memory/memory.h"
#include "memory/symtab.h"
#include "platform/console.h"
#include "platform/file_guard.h"
#include "platform/lock.h"
#include "reader/port.h"
#include "reader/printer.h"

namespace ondrel {

// Evaluation threads run detached; the count of those not yet ended lets
// tests wait for them.  Never destroyed: a thread may still end while the
// process exits.
struct EdThreads {
  std::mutex mutex;
  std::condition_variable ended;
  int32_t running = 0;
};
static EdThreads& ed_threads = *new EdThreads;

static constexpr uint32_t CONSOLE_WORDS = 5;  // software-stack words ConsoleState takes

// The console's registers and stack floors, kept on the software stack
// while the editor evaluates (so the collector keeps what they name) and
// put back however the evaluation ends.
struct ConsoleState {
  Value form, env, exp, app, val;
  uint32_t argc;
  int32_t trace_depth;
  uint32_t floor_sp, floor_cp;
  uint32_t sp, cp;
  ConsoleState()
      : form(vm.form),
        env(vm.env),
        exp(vm.exp),
        app(vm.app),
        val(vm.val),
        argc(vm.argc),
        trace_depth(vm.trace_depth),
        floor_sp(vm.floor_sp),
        floor_cp(vm.floor_cp),
        sp(mem.sp),
        cp(mem.cp) {
    Value regs[] = {form, env, exp, app, val};
    for (Value v : regs) sstack()[mem.sp++] = v;  // room checked by the caller
    vm.floor_sp = mem.sp;
    vm.floor_cp = mem.cp;
    vm.form = vm.env = vm.exp = vm.app = vm.val = NIL;
    vm.argc = 0;
    vm.trace_depth = 0;
  }
  ~ConsoleState() {
    mem.sp = sp;
    mem.cp = cp;
    vm.floor_sp = floor_sp;
    vm.floor_cp = floor_cp;
    vm.form = form;
    vm.env = env;
    vm.exp = exp;
    vm.app = app;
    vm.val = val;
    vm.argc = argc;
    vm.trace_depth = trace_depth;
  }
  ConsoleState(const ConsoleState&) = delete;
  ConsoleState& operator=(const ConsoleState&) = delete;
};

// Sets the loop state word back to idle however the evaluation ends.
struct StateRelease {
  StateRelease() = default;
  ~StateRelease() { vm.loop_state.store(0); }
  StateRelease(const StateRelease&) = delete;
  StateRelease& operator=(const StateRelease&) = delete;
};

// Read, evaluate and print every datum of `in`; an error, a break or bye
// ends the file (an error with its report).
static void ed_eval_stream(FILE* in) {
  (void)ev_protected([in] { ev_read_eval(ReadEval{in, NIL, false, true, false}); });
}

// The console loop waits behind what was printed, its prompt scrolled away:
// show it again.
static void ed_show_prompt() {
  if (!isatty(STDIN_FILENO)) return;
  FILE* out = rd_out();
  Value prompt = cell(mem_prompt).w1;
  if (prompt != 0) rd_print(prompt, out);
  rd_write(" ", out);
}

// 1 after an evaluation, 0 when it refused or the file did not open.
static int ed_eval_thread(const std::string& name) {
  con_no_input = true;
  int32_t idle = 0;
  if (!vm.loop_state.compare_exchange_strong(idle, 2)) return 0;
  PlatLock lock;
  StateRelease release;  // idle again before the lock is given back
  FileGuard file(std::fopen(name.c_str(), "r"));
  if (file.fp == nullptr) {
    rd_console(("Can't open " + name + "\n").c_str());
    return 0;
  }
  rd_console("\n");
  if (mem.sp + CONSOLE_WORDS <= STACK_WORDS) {
    ConsoleState console;
    ed_eval_stream(file.fp);
  } else {
    rd_console(mem_message(E_SSTACK_OVER));  // a console read fills the stack
    rd_console("\n");
  }
  ed_show_prompt();
  std::fflush(rd_out());
  return 1;
}

bool ed_evaluation_running() { return vm.loop_state.load() == 2; }

void ed_start_evaluation(const char* file_name) {
  {
    std::lock_guard<std::mutex> hold(ed_threads.mutex);
    ++ed_threads.running;
  }
  std::thread([name = std::string(file_name)] {
    (void)ed_eval_thread(name);
    std::lock_guard<std::mutex> hold(ed_threads.mutex);
    --ed_threads.running;
    ed_threads.ended.notify_all();
  }).detach();
}

void ed_join_evaluation() {
  std::unique_lock<std::mutex> hold(ed_threads.mutex);
  ed_threads.ended.wait(hold, [] { return ed_threads.running == 0; });
}

}  // namespace ondrel
