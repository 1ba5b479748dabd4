// window.cpp - choice of the window backend and the headless backend.
#include "platform/window.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/window_backend.h"

namespace ondrel {

/* ------------- headless: the window is the presented picture kept nowhere */

static std::atomic<bool> headless_live{false};

static bool headless_create(const char*, int32_t, int32_t) {
  headless_live = true;
  return true;
}
static bool headless_ready() { return headless_live; }
static void headless_release() {}
static void headless_present(const Picture&, const Picture&) {}
static void headless_destroy() { headless_live = false; }

static constexpr WinBackend HEADLESS = {"headless",       headless_create,  headless_ready, headless_release,
                                        headless_present, headless_destroy, nullptr};

static const WinBackend* current = &HEADLESS;
static std::atomic<uint64_t> presents{0};
static bool notice_given = false;

static bool headless_requested() {
  const char* v = std::getenv("ONDREL_HEADLESS");
  return v != nullptr;
}

bool plat_win_headless() { return current == &HEADLESS; }

static void go_headless(const char* title, int32_t client_width, int32_t client_height) {
  if (!headless_requested() && !notice_given) {
    notice_given = true;
    std::fputs("ondrel: no display, drawing off-screen\n", stderr);
  }
  current = &HEADLESS;
  current->create(title, client_width, client_height);
}

void plat_win_create(const char* title, int32_t client_width, int32_t client_height) {
  const WinBackend* desk = plat_desktop_backend();
  if (!headless_requested() && desk && desk->usable() && desk->create(title, client_width, client_height)) {
    current = desk;
    return;
  }
  go_headless(title, client_width, client_height);
}

void plat_win_fall_back() {
  if (current == &HEADLESS) return;
  current->destroy();
  go_headless("", 0, 0);
}

bool plat_win_ready() { return current->ready(); }
void plat_win_release() { current->release(); }

void plat_win_present(const Picture& left, const Picture& right) {
  ++presents;
  current->present(left, right);
}

void plat_win_destroy() {
  current->destroy();
  current = &HEADLESS;
}

uint64_t plat_win_presents() { return presents; }

}  // namespace ondrel
