#include <gtest/gtest.h>

#include "game/globals.h"
#include "support/game_harness.h"

namespace {

TEST(Frame, LaysOutA640By480Window) {
  GameHarness game;
  EXPECT_FLOAT_EQ(game.app->m_scaleX, 1.0f);
  EXPECT_EQ(game.app->m_fitAxis, 1);
  EXPECT_EQ(game.app->m_landscape, 1);
  game.Step(3);
}

}  // namespace
