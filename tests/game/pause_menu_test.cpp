// The pause menu: its slide in steps of 24, the panels of both screen shapes, the pointer and
// the keys on its buttons, the option box over it, and the console's overscan control.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "game/globals.h"
#include "support/game_harness.h"

namespace {

using App = c_MyApp;

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kLeft = 37;
constexpr int kRight = 39;

// The last record of the last update of this kind at exactly this place, or null.
const float* Find(GameHarness& game, float kind, float x, float y, float frame = 0.0f) {
  const float* found = nullptr;
  for (int index : game.RecordsOfKind(kind)) {
    const float* record = game.Record(index);
    if (record[App::RecordX] == x && record[App::RecordY] == y &&
        record[App::RecordFrame] == frame) {
      found = record;
    }
  }
  return found;
}

class PauseMenu : public testing::Test {
 protected:
  explicit PauseMenu(int width = 640, int height = 480) : game(width, height) {}

  GameHarness game;
  App* app = game.app;

  void SetUp() override {
    game.FinishLoading();
    app->m_gameType = 2;
    app->m_gameMode = App::ModeStartGame;
    game.Update();
  }
  // Pauses, and lets the panel come down from -64 to its rest.
  void Pause() {
    game.Press(kEscape);
    game.Update(13);
    ASSERT_EQ(app->m_paused, 1);
  }
  // Presses and lets the key be seen released, so the next press acts.
  void Tap(int code) {
    game.Press(code);
    game.Update(2);
  }
};

// Paused and resumed by the pointer on the pause button and on the resume button.
TEST_F(PauseMenu, SlidesInAndOutInStepsOf24) {
  game.Click(16.0f, 16.0f);
  std::vector<int> heights = {app->m_pauseY};
  for (int i = 0; i < 14; ++i) {
    game.Update();
    heights.push_back(app->m_pauseY);
  }
  // From -64 it goes down until it is past the middle (240), and stays.
  for (int i = 0; i < 13; ++i) EXPECT_EQ(heights[i], -40 + 24 * i) << i;
  EXPECT_EQ(heights[14], 248);
  // The landscape panel round its centre, over a shade that darkens with its distance.
  EXPECT_NE(Find(game, App::KindRect, 320.0f - 140.0f, 248.0f - 52.0f), nullptr);
  const float* shade = Find(game, App::KindRect, 0.0f, 0.0f);
  EXPECT_EQ(shade[App::RecordScaleX], 640.0f);
  EXPECT_FLOAT_EQ(shade[App::RecordAlpha], 248.0f / 384.0f);

  // Resumed: up in steps of 24, gone once above -32.
  game.Click(320.0f, 248.0f);
  game.Update(11);
  EXPECT_EQ(app->m_pauseY, -16);
  EXPECT_EQ(app->m_paused, 1);
  game.Update();
  EXPECT_EQ(app->m_pauseY, -40);
  EXPECT_EQ(app->m_paused, 0);
}

class PortraitPauseMenu : public PauseMenu {
 protected:
  PortraitPauseMenu() : PauseMenu(480, 640) {}
};

TEST_F(PortraitPauseMenu, StandsTheButtonsAboveAnUprightPanelAndBackResumes) {
  Pause();
  // 360 units wide: the panel's centre line is x = 180.
  float y = static_cast<float>(app->m_pauseY);
  EXPECT_NE(Find(game, App::KindRect, 180.0f - 128.0f, y - 80.0f), nullptr);
  EXPECT_NE(Find(game, App::SlotIcons, 180.0f - 96.0f, y - 96.0f, 1.0f), nullptr);
  EXPECT_NE(Find(game, App::SlotIcons, 180.0f + 96.0f, y - 96.0f, 10.0f), nullptr);
  EXPECT_NE(Find(game, App::SlotIcons, 180.0f, y, 3.0f), nullptr);
  Tap(kEscape);
  EXPECT_EQ(app->m_pauseDir, -1);
  EXPECT_EQ(app->m_gameOver, 0);
}

TEST_F(PauseMenu, KeysOpenTheOptionsOverItAndQuitIntoTheGameOver) {
  Pause();
  // On the console the shoulders step the overscan, a saved value of any size from within its
  // range.
  nx_Game_isOuya = 1;
  app->m_options[App::OptionOverscan] = INT_MIN;
  Tap('B');  // shoulder button 14
  nx_Game_isOuya = 0;
  nx_Game_overscan = 0.0f;
  EXPECT_EQ(app->m_options[App::OptionOverscan], 1);

  Tap(kRight);
  EXPECT_EQ(app->m_pauseSel, 1);
  Tap(kEnter);
  EXPECT_EQ(app->m_optionsOpen, 1);
  // The panel stays up under the box; back closes the box alone, not the menu behind it.
  game.Update(35);
  EXPECT_NE(Find(game, App::KindRect, 320.0f - 140.0f, 248.0f - 52.0f), nullptr);
  Tap(kEscape);
  EXPECT_EQ(app->m_optionsOpen, 0);
  EXPECT_EQ(app->m_pauseDir, 1);

  game.Update(35);
  Tap(kLeft);
  Tap(kLeft);
  EXPECT_EQ(app->m_pauseSel, -1);
  EXPECT_NE(Find(game, App::SlotIcons, 320.0f - 140.0f, 248.0f - 64.0f, 6.0f), nullptr);
  game.Press(kEnter);
  game.Update();
  EXPECT_EQ(std::vector<int>({app->m_gameOver, app->m_paused, app->m_pauseY}),
            std::vector<int>({1, 0, -64}));
  game.Update(100);
  EXPECT_EQ(app->m_gameMode, App::ModeMenu);
}

}  // namespace
