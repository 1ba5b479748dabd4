// pty_session.h - the real interpreter on a pseudo-terminal: type keys,
// wait (always with a time limit) for what the terminal shows.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace ptytest {

struct PtySession {
  pid_t pid = -1;
  int fd = -1;       // the terminal's master side
  std::string out;   // everything the terminal showed so far
  size_t mark = 0;   // expect() searches from here
  int status = -1;   // exit status once the child ended
};

// Start `argv` (argv[0] the program) on a new 80x24 terminal with exactly
// the environment `env` (NAME=value entries) in directory `cwd`.
inline bool pty_start(PtySession& s, const std::vector<std::string>& argv,
                      const std::vector<std::string>& env, const std::string& cwd) {
  struct winsize ws {};
  ws.ws_row = 24;
  ws.ws_col = 80;
  std::vector<char*> av, ev;
  for (const std::string& a : argv) av.push_back(const_cast<char*>(a.c_str()));
  av.push_back(nullptr);
  for (const std::string& e : env) ev.push_back(const_cast<char*>(e.c_str()));
  ev.push_back(nullptr);
  s.pid = forkpty(&s.fd, nullptr, nullptr, &ws);
  if (s.pid < 0) return false;
  if (s.pid == 0) {
    if (chdir(cwd.c_str()) != 0) _exit(126);
    execve(av[0], av.data(), ev.data());
    _exit(127);
  }
  fcntl(s.fd, F_SETFL, fcntl(s.fd, F_GETFL) | O_NONBLOCK);
  return true;
}

// Read what the terminal shows for up to `ms` milliseconds; false once the
// child has closed the terminal.
inline bool pty_pump(PtySession& s, int ms) {
  struct pollfd p {s.fd, POLLIN, 0};
  if (poll(&p, 1, ms) <= 0) return true;
  char buf[4096];
  ssize_t n = read(s.fd, buf, sizeof buf);
  if (n <= 0) return false;
  s.out.append(buf, static_cast<size_t>(n));
  return true;
}

// Wait until `text` shows after the mark; the mark moves past it.
inline bool pty_expect(PtySession& s, const std::string& text, int ms = 15000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    size_t at = s.out.find(text, s.mark);
    if (at != std::string::npos) {
      s.mark = at + text.size();
      return true;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now()).count();
    if (left <= 0) return false;
    if (!pty_pump(s, static_cast<int>(left < 100 ? left : 100))) {
      if (s.out.find(text, s.mark) == std::string::npos) return false;
    }
  }
}

// Everything shown after the mark, after a quiet wait of `ms`.
inline std::string pty_rest(PtySession& s, int ms = 300) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end)
    if (!pty_pump(s, 50)) break;
  return s.out.substr(s.mark);
}

// Wait until the program has the terminal in non-canonical mode (a line
// editor reading keys); keys typed before that are echoed by the terminal
// itself and an early Ctrl+D is lost.
inline bool pty_wait_editing(PtySession& s, int ms = 15000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    struct termios t {};
    if (tcgetattr(s.fd, &t) == 0 && (t.c_lflag & ICANON) == 0) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    pty_pump(s, 10);
  }
}

// Change the terminal's size; the program gets SIGWINCH.
inline void pty_resize(PtySession& s, int rows, int cols) {
  struct winsize ws {};
  ws.ws_row = static_cast<unsigned short>(rows);
  ws.ws_col = static_cast<unsigned short>(cols);
  ioctl(s.fd, TIOCSWINSZ, &ws);
}

inline void pty_send(PtySession& s, const std::string& keys) {
  size_t done = 0;
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (done < keys.size() && std::chrono::steady_clock::now() < end) {
    ssize_t n = write(s.fd, keys.data() + done, keys.size() - done);
    if (n > 0)
      done += static_cast<size_t>(n);
    else
      pty_pump(s, 10);
  }
}

// Wait up to `ms` for the child to end (reading what it still shows); kill
// it when it does not.  Returns its exit status, or -1 when it was killed.
inline int pty_finish(PtySession& s, int ms = 15000) {
  if (s.pid <= 0) return s.status;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  int st = 0;
  for (;;) {
    pid_t r = waitpid(s.pid, &st, WNOHANG);
    if (r == s.pid) {
      s.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
      break;
    }
    if (std::chrono::steady_clock::now() >= end) {
      kill(s.pid, SIGKILL);
      waitpid(s.pid, &st, 0);
      s.status = -1;
      break;
    }
    pty_pump(s, 20);
  }
  while (pty_pump(s, 0) && s.out.size() < (1u << 20)) {
    struct pollfd p {s.fd, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) break;
  }
  close(s.fd);
  s.fd = -1;
  s.pid = -1;
  return s.status;
}

// Ends a session however a test leaves.
struct PtyGuard {
  PtySession& s;
  explicit PtyGuard(PtySession& session) : s(session) {}
  PtyGuard(const PtyGuard&) = delete;
  PtyGuard& operator=(const PtyGuard&) = delete;
  ~PtyGuard() {
    if (s.pid > 0) pty_finish(s, 0);
  }
};

}  // namespace ptytest
