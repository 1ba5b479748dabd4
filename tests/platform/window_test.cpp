// window_test.cpp - the window host off-screen: created at once, presents
// counted, destroyed and made again.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/window.h"

using namespace ondrel;

TEST(Window, HeadlessOnRequest) {
  setenv("ONDREL_HEADLESS", "1", 1);
  testing::internal::CaptureStderr();
  plat_win_create("Ondrel", 700, 400);
  EXPECT_TRUE(plat_win_ready());  // no wait off-screen
  EXPECT_TRUE(plat_win_headless());
  plat_win_release();
  Picture a{}, b{};
  ASSERT_TRUE(ras_make(a, 640, 400));
  ASSERT_TRUE(ras_make(b, 60, 400));
  uint64_t before = plat_win_presents();
  plat_win_present(a, b);
  plat_win_present(a, b);
  EXPECT_EQ(plat_win_presents() - before, 2u);
  ras_release(a);
  ras_release(b);
  plat_win_fall_back();  // already off-screen: nothing changes
  EXPECT_TRUE(plat_win_ready());
  plat_win_destroy();
  EXPECT_FALSE(plat_win_ready());
  plat_win_create("Ondrel", 700, 400);
  EXPECT_TRUE(plat_win_ready());
  plat_win_destroy();
  // Asked for, off-screen drawing is no news: nothing on standard error.
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
