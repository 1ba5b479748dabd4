// registry_test.cpp - every primitive group registers its whole table.
#include <gtest/gtest.h>

#include "../reader/reader_support.h"
#include "eval/registry.h"

namespace {

using namespace ondrel;

struct Registry : rdtest::Fresh {};

// Registrations made by one group routine (registering again replaces).
template <typename F>
uint32_t count_of(F group) {
  uint32_t before = ev_registrations;
  group();
  return ev_registrations - before;
}

TEST_F(Registry, EachGroupRegistersItsTable) {
  EXPECT_EQ(count_of(prim_register_lists), 26u);
  EXPECT_EQ(count_of(prim_register_numbers), 22u);
  EXPECT_EQ(count_of(rd_register_ports), 26u);
  EXPECT_EQ(count_of(prim_register_vectors), 9u);
  EXPECT_EQ(count_of(prim_register_chars), 19u);
  EXPECT_EQ(count_of(prim_register_strings), 21u);
  EXPECT_EQ(count_of(gfx_register), 18u);
  EXPECT_EQ(count_of(tur_register), 27u);
}

TEST_F(Registry, StartUpCountsEveryRegistration) {
  // The three kind-0 procedures, the groups and plov-installed?: 172.
  EXPECT_EQ(ev_registrations, 3u + 26 + 22 + 26 + 9 + 19 + 21 + 18 + 27 + 1);
}

TEST_F(Registry, RegisteringAgainReplacesAndKeepsOneHandlerSlot) {
  uint32_t slots = ev_nhandlers;
  prim_register_lists();
  EXPECT_EQ(ev_nhandlers, slots);
  // number? is registered by two groups; the second one is in force.
  Value p = cell(mem_intern("number?")).w1;
  ASSERT_TRUE(is(p, PRIMITIVE));
}

}  // namespace
