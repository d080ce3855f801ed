// The credits box and the quit dialog through the headless harness.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/globals.h"
#include "support/child_process.h"
#include "support/game_harness.h"

namespace {

// A credits line's text (the harness compares texts without their spaces).
std::string Shown(int line) {
  return nx_Game_CreditText[line].ToUtf8();
}

void OpenCredits(GameHarness& game) {
  game.FinishLoading();
  game.app->m_creditsOpen = 1;
  game.Step(31);
  game.app->m_creditsScroll = 0.0f;
}

// Below line 3 the lines above the middle wrap to the end of the text instead of reading
// before it; the text wraps before "End", which never shows.
TEST(CreditsBox, ScrollsThroughLinesZeroToFiftyAndCloses) {
  GameHarness game;
  OpenCredits(game);
  ASSERT_EQ(Shown(51), "End");
  for (int first = 0; first < 2 * 51; ++first) {
    game.app->m_creditsLine = first;
    game.Update();
    EXPECT_FALSE(game.HasText("End")) << first;
    EXPECT_TRUE(game.HasText(Shown(first % 51))) << first;
  }
  game.app->m_creditsLine = 0;
  game.Update();
  EXPECT_TRUE(game.HasText(Shown(48) + Shown(49) + Shown(1) + Shown(2)));

  // 0.3 an update, 1.8 while up or down is held; a line moves on past 16.
  game.app->m_creditsScroll = 0.0f;
  game.Update(53);
  EXPECT_EQ(game.app->m_creditsLine, 0);
  game.KeyDown(40);
  game.Update(5);
  EXPECT_EQ(game.app->m_creditsLine, 1);
  EXPECT_NEAR(game.app->m_creditsScroll, 16.0f - 53 * 0.3f - 5 * 1.8f, 1e-3f);
  game.KeyUp(40);

  // A pointer closes the box only once its latch is free, and so does confirm.
  game.app->m_pointerLatch = 1;
  game.MouseDown();
  game.Update();
  EXPECT_EQ(game.app->m_creditsOpen, 1);
  game.MouseUp();
  game.Update();
  game.Click(320, 240);
  EXPECT_EQ(game.app->m_creditsOpen, 0);
  game.app->m_creditsOpen = 1;
  game.Press(13);
  game.Update();
  EXPECT_EQ(game.app->m_creditsOpen, 0);

  // While the card flies apart the box still takes a press: it clicks, and the pointer held on
  // to a carousel item then reaches nothing behind it.
  game.Update();
  ASSERT_GT(game.app->m_creditsSlide, 0);
  int ring = game.app->m_sfxNext;
  game.MouseMove(338, 100);
  game.MouseDown();
  game.Update();
  EXPECT_EQ(game.app->m_sfxNext, ring + 1);
  game.MouseMove(338, 312);
  game.Update();
  EXPECT_EQ(game.app->m_menuSel, 1);
  game.MouseUp();
}

// A window about 1200 x 250 gives a card two cells high, with no inner rows to colour.
TEST(CreditsCard, AWideLowWindowShowsTheCardAndItsReadout) {
  GameHarness game(1200, 250);
  OpenCredits(game);
  float cell = 640.0f / 12.0f;
  int cells = 0;
  int strips = 0;
  for (int index : game.RecordsOfKind(c_MyApp::KindRect)) {
    float height = game.Record(index)[c_MyApp::RecordScaleY];
    cells += height == cell ? 1 : 0;
    strips += height == cell - 16.0f ? 1 : 0;
  }
  EXPECT_EQ(cells, 2 * 12);
  EXPECT_EQ(strips, 2 * 10);
  EXPECT_TRUE(game.HasText("1200x250640x133"));
}

c_MyApp* quittingApp = nullptr;

// Back ends the program; with confirm in the same update the dialog first returns to the menu.
// The clear alpha stays within its range.
TEST(QuitDialog, BackEndsTheProgramEvenWithConfirm) {
  for (bool withConfirm : {false, true}) {
    ChildRun run = RunInChild([withConfirm] {
      GameHarness game;
      game.FinishLoading();
      game.app->m_gameMode = c_MyApp::ModeQuitDialog;
      quittingApp = game.app;
      std::atexit([] { std::printf("mode %d\n", quittingApp->m_gameMode); });
      game.Update();
      std::printf("alpha %g\n", game.app->m_clsAlpha);
      if (withConfirm) game.Press(13);
      game.Press(27);
      game.Update();
      std::_Exit(7);
    });
    EXPECT_EQ(run.status, 0) << withConfirm;
    EXPECT_EQ(run.output, withConfirm ? "alpha 0\nmode 1\n" : "alpha 0\nmode 4\n");
  }
}

}  // namespace
