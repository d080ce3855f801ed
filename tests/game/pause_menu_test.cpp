// The pause menu: its slide in steps of 24, the panels of both screen shapes, resume, quit,
// the option box over it, and the pointer's buttons.
#include <gtest/gtest.h>

#include <vector>

#include "support/game_harness.h"

namespace {

using App = c_MyApp;

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kLeft = 37;
constexpr int kRight = 39;

// The index of the last update's record of this kind at exactly this place, or -1.
int Find(GameHarness& game, float kind, float x, float y, float frame = 0.0f) {
  for (int index : game.RecordsOfKind(kind)) {
    const float* record = game.Record(index);
    if (record[App::RecordX] == x && record[App::RecordY] == y &&
        record[App::RecordFrame] == frame) {
      return index;
    }
  }
  return -1;
}

bool Recorded(GameHarness& game, float kind, float x, float y, float frame = 0.0f) {
  return Find(game, kind, x, y, frame) >= 0;
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
  void Pause() {
    game.Press(kEscape);
    game.Update();
    ASSERT_EQ(app->m_paused, 1);
    // The panel starts from wherever the last one left: here, above the screen at -64.
    game.Update(12);
  }
  // Presses and lets the key be seen released, so the next press acts.
  void Tap(int code) {
    game.Press(code);
    game.Update(2);
  }
};

class PortraitPauseMenu : public PauseMenu {
 protected:
  PortraitPauseMenu() : PauseMenu(480, 640) {}
};

TEST_F(PauseMenu, SlidesInAndOutInStepsOf24) {
  game.Press(kEscape);
  std::vector<int> heights;
  for (int i = 0; i < 16; ++i) {
    game.Update();
    heights.push_back(app->m_pauseY);
  }
  EXPECT_EQ(app->m_pauseDir, 1);
  EXPECT_EQ(app->m_pauseSel, 0);
  // From -64 it goes down until it is past the middle (240), and stays.
  for (int i = 0; i < 13; ++i) EXPECT_EQ(heights[i], -40 + 24 * i) << i;
  EXPECT_EQ(heights[13], 248);
  EXPECT_EQ(heights[15], 248);
  // The landscape panel round its centre, over a shade that darkens with its distance.
  EXPECT_TRUE(Recorded(game, App::KindRect, 320.0f - 140.0f, 248.0f - 52.0f));
  int shade = Find(game, App::KindRect, 320.0f - 128.0f, 248.0f - 64.0f) - 1;
  ASSERT_GE(shade, 0);
  EXPECT_EQ(game.Record(shade)[App::RecordScaleX], 640.0f);
  EXPECT_FLOAT_EQ(game.Record(shade)[App::RecordAlpha], 248.0f / 384.0f);

  // Resume (confirm on the highlighted button): up in steps of 24, gone once above -32.
  game.Press(kEnter);
  game.Update();
  EXPECT_EQ(app->m_pauseDir, -1);
  game.Update(11);
  EXPECT_EQ(app->m_pauseY, -16);
  EXPECT_EQ(app->m_paused, 1);
  game.Update();
  EXPECT_EQ(app->m_pauseY, -40);
  EXPECT_EQ(app->m_paused, 0);
}

TEST_F(PortraitPauseMenu, StandsTheButtonsAboveAnUprightPanel) {
  Pause();
  // 360 units wide: the panel's centre line is x = 180.
  float y = static_cast<float>(app->m_pauseY);
  EXPECT_TRUE(Recorded(game, App::KindRect, 180.0f - 128.0f, y - 80.0f));
  EXPECT_TRUE(Recorded(game, App::KindRect, 180.0f - 96.0f, y - 92.0f));
  EXPECT_TRUE(Recorded(game, App::KindRect, 180.0f - 96.0f, y + 84.0f));
  EXPECT_TRUE(Recorded(game, App::SlotIcons, 180.0f - 96.0f, y - 96.0f, 1.0f));
  EXPECT_TRUE(Recorded(game, App::SlotIcons, 180.0f + 96.0f, y - 96.0f, 10.0f));
  EXPECT_TRUE(Recorded(game, App::SlotIcons, 180.0f, y, 3.0f));
}

TEST_F(PauseMenu, QuitEndsTheGameIntoItsGameOver) {
  Pause();
  // Left highlights quit; right brings the highlight back; left again.
  Tap(kLeft);
  EXPECT_EQ(app->m_pauseSel, -1);
  EXPECT_TRUE(Recorded(game, App::SlotIcons, 320.0f - 140.0f, 248.0f - 64.0f, 6.0f));
  Tap(kRight);
  EXPECT_EQ(app->m_pauseSel, 0);
  Tap(kLeft);
  app->m_score = 77;
  game.Press(kEnter);
  game.Update();
  EXPECT_EQ(app->m_gameOver, 1);
  EXPECT_EQ(app->m_paused, 0);
  EXPECT_EQ(app->m_pauseY, -64);
  for (int i = 0; i < 100 && app->m_gameMode != App::ModeMenu; ++i) game.Update();
  EXPECT_EQ(app->m_gameMode, App::ModeMenu);
  EXPECT_EQ(app->m_highScores[40], 77);
  EXPECT_EQ(app->m_highScores[10], 77);
}

TEST_F(PauseMenu, OptionsOpenOverItAndBackResumes) {
  Pause();
  Tap(kRight);
  EXPECT_EQ(app->m_pauseSel, 1);
  game.Press(kEnter);
  game.Update();
  EXPECT_EQ(app->m_optionsOpen, 1);
  // The panel stays up under the box while it rises.
  game.Update(35);
  EXPECT_EQ(app->m_paused, 1);
  EXPECT_TRUE(Recorded(game, App::KindRect, 320.0f - 140.0f, 248.0f - 52.0f));
  // Back closes the box alone; the pause menu behind it does not take the same press.
  game.Press(kEscape);
  game.Update();
  EXPECT_EQ(app->m_optionsOpen, 0);
  EXPECT_EQ(app->m_pauseDir, 1);

  game.Update(35);
  Tap(kLeft);
  EXPECT_EQ(app->m_pauseSel, 0);
  game.Press(kEscape);
  game.Update();
  EXPECT_EQ(app->m_pauseDir, -1);
  EXPECT_EQ(app->m_gameOver, 0);
}

TEST_F(PauseMenu, ThePointerPausesResumesAndQuits) {
  game.Click(16.0f, 16.0f);
  ASSERT_EQ(app->m_paused, 1);
  game.Update(13);
  game.Click(320.0f, 248.0f);
  EXPECT_EQ(app->m_pauseDir, -1);
  game.Update(20);
  ASSERT_EQ(app->m_paused, 0);

  game.Click(16.0f, 16.0f);
  game.Update(13);
  game.Click(320.0f - 140.0f, static_cast<float>(app->m_pauseY) - 64.0f);
  EXPECT_EQ(app->m_gameOver, 1);
}

}  // namespace
