// registry_test.cpp - every primitive group registers its whole table.
#include <gtest/gtest.h>

#include "../reader/reader_support.h"
#include "editor/editor.h"
#include "eval/registry.h"
#include "graphics/gfx.h"
#include "primitives/prim.h"
#include "turtle/turtle.h"

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
  EXPECT_EQ(count_of(prim_register_lists), 18u);
  EXPECT_EQ(count_of(prim_register_numbers), 22u);
  EXPECT_EQ(count_of(prim_register_ports), 24u);
  EXPECT_EQ(count_of(prim_register_vectors), 9u);
  EXPECT_EQ(count_of(prim_register_chars), 20u);
  EXPECT_EQ(count_of(prim_register_strings), 22u);
  EXPECT_EQ(count_of(prim_register_system), 8u);
  EXPECT_EQ(count_of(gfx_register), 16u);
  EXPECT_EQ(count_of(tur_register), 28u);
  EXPECT_EQ(count_of(ed_register), 1u);
  EXPECT_EQ(count_of(prim_register_math), 11u);
}

TEST_F(Registry, StartUpCountsEveryRegistration) {
  // The three kind-0 procedures and the groups: 182 names, each once.
  EXPECT_EQ(ev_registrations, 3u + 18 + 22 + 24 + 9 + 20 + 22 + 8 + 16 + 28 + 1 + 11);
}

TEST_F(Registry, RegisteringAgainReplacesAndKeepsOneHandlerSlot) {
  uint32_t slots = ev_nhandlers;
  prim_register_lists();
  EXPECT_EQ(ev_nhandlers, slots);
  Value p = cell(mem_intern("number?")).w1;
  ASSERT_TRUE(is(p, PRIMITIVE));
}

}  // namespace
