// The loading screen every loader step records, and the "Click to Start" screen.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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
  // The reload restarts the loader, whose first step runs in the same update.
  game.Click(160.0f, 360.0f);
  EXPECT_EQ(
      (std::vector<int>{app->m_gameMode, app->m_pointerLatch, nx_app__updateRate, app->m_loadStep}),
      (std::vector<int>{App::ModeMenu, 1, 60, 2}));
}

}  // namespace
