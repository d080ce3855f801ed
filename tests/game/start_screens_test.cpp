#include <gtest/gtest.h>

#include <cmath>

#include "framework/app.h"
#include "support/game_harness.h"

namespace {

using App = c_MyApp;

// Two rings of 11 dots half a turn apart, turning 16 degrees an update, round the disc.
TEST(StartScreens, TheLoadingScreenSpins) {
  GameHarness game;
  for (int angle : {16, 32}) {
    game.Update();
    std::vector<int> ovals = game.RecordsOfKind(App::KindOval);
    ASSERT_EQ(ovals.size(), 23u);
    float radians = static_cast<float>(angle) * 0.017453292f;
    EXPECT_NEAR(game.Record(ovals[0])[App::RecordX], 320.0f - std::sin(radians) * 120.0f, 1e-3f);
    EXPECT_NEAR(game.Record(ovals[12])[App::RecordY], 240.0f - std::cos(radians) * 120.0f, 1e-3f);
    EXPECT_EQ(game.Record(ovals[22])[App::RecordAlpha], 1.0f);
  }
}

// A click counts inside the middle half of the screen, its edges included.
TEST(StartScreens, ClickToStartReloadsIntoTheMenu) {
  GameHarness game;
  game.FinishLoading();
  App* app = game.app;
  app->m_gameMode = App::ModeClickToStart;
  nx_app_SetUpdateRate(5);
  game.Click(159.0f, 240.0f);
  game.Click(320.0f, 361.0f);
  EXPECT_TRUE(game.HasText("Click to Start"));
  EXPECT_EQ(app->m_gameMode, App::ModeClickToStart);

  game.Click(160.0f, 360.0f);
  EXPECT_EQ(app->m_gameMode, App::ModeMenu);
  EXPECT_EQ(app->m_pointerLatch, 1);
  EXPECT_EQ(nx_app__updateRate, 60);
  // The reload restarted the loader, whose first step ran in the same update.
  EXPECT_EQ(app->m_loadStep, 2);
}

}  // namespace
