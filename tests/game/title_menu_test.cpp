#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "game/globals.h"
#include "support/child_process.h"
#include "support/game_harness.h"

namespace {

constexpr int KeyEnter = 13;
constexpr int KeyEscape = 27;
constexpr int KeyRight = 39;

TEST(TitleMenuLists, LinesFitTheScreenHeight) {
  const std::pair<int, std::string> cases[] = {
      {480, "Top10901902903904905906907908909910Last10801802803804805806807808809810"},
      {300, "Top4901902903904Last4801802803804"},
      {200, "Highscore901Last801"},
  };
  for (const auto& [height, lists] : cases) {
    GameHarness game(640, height);
    game.FinishLoading();
    for (int line = 0; line < 10; ++line) {
      game.app->m_highScores[line] = 901 + line;
      game.app->m_highScores[30 + line] = 801 + line;
    }
    game.Update(2);  // the first menu update selects game type 1
    EXPECT_TRUE(game.HasText(lists)) << height;
    // The lists keep the score panel's alpha: dimmed text.
    int listGlyphs = 0;
    int dimmed = 0;
    for (int glyph : game.RecordsOfKind(static_cast<float>(game.app->m_fontSlot))) {
      const float* record = game.Record(glyph);
      if (record[c_MyApp::RecordBlue] != 100.0f) continue;
      listGlyphs += 1;
      dimmed += record[c_MyApp::RecordAlpha] == 0.4f;
    }
    EXPECT_GT(listGlyphs, 0);
    EXPECT_EQ(dimmed, listGlyphs);
  }
}

TEST(TitleMenuKeys, MoveAndConfirmOncePerPress) {
  GameHarness game;
  game.FinishLoading();
  // Enter from the very first menu update plays game type 1; held, it starts nothing more.
  game.KeyDown(KeyEnter);
  game.Update();
  EXPECT_EQ(game.app->m_gameMode, c_MyApp::ModeStartGame);
  EXPECT_EQ(game.app->m_gameType, 1);
  game.app->m_gameMode = c_MyApp::ModeMenu;
  game.Update(3);
  EXPECT_EQ(game.app->m_gameMode, c_MyApp::ModeMenu);
  game.KeyUp(KeyEnter);
  game.Update();

  // Right moves on, scrolling to the item, and stops at the cog, which hides both score
  // lists and opens the option box at its back row.
  for (int press = 0; press < 4; ++press) {
    game.Press(KeyRight);
    game.Update(2);
  }
  EXPECT_EQ(game.app->m_menuSel, 4);
  EXPECT_EQ(game.app->m_gameType, 3);
  EXPECT_FLOAT_EQ(game.app->m_menuPos, -264.0f);
  EXPECT_FALSE(game.HasText("Top") || game.HasText("Last"));
  game.app->m_optRow = 3;
  game.Press(KeyEnter);
  game.Update();
  EXPECT_EQ(game.app->m_optionsOpen, 1);
  EXPECT_EQ(game.app->m_optRow, 0);
}

TEST(TitleMenuPointer, TapsDragsAndCredits) {
  GameHarness game;
  game.FinishLoading();
  game.Update();
  // Items stand 88 apart from (250, 312), the first in the middle: a tap selects, a second
  // tap on the selected item plays it.
  game.Click(338, 312);
  EXPECT_EQ(game.app->m_menuSel, 2);
  EXPECT_EQ(game.app->m_gameMode, c_MyApp::ModeMenu);
  game.Update(40);
  game.Click(250, 312);
  EXPECT_EQ(game.app->m_gameMode, c_MyApp::ModeStartGame);
  EXPECT_EQ(game.app->m_gameType, 2);

  // A drag flings the carousel on; its release plays nothing.
  game.app->m_gameMode = c_MyApp::ModeMenu;
  game.MouseMove(100, 300);
  game.MouseDown();
  for (int step = 0; step <= 8; ++step) {
    game.MouseMove(100.0f - 10.0f * step, 300);
    game.Update();
  }
  EXPECT_EQ(game.app->m_pointerLatch, 2);
  game.MouseUp();
  game.Update(30);
  EXPECT_GE(game.app->m_menuSel, 3);
  EXPECT_EQ(game.app->m_gameMode, c_MyApp::ModeMenu);

  // The logo opens the credits; under a box the carousel's position chooses nothing.
  game.Click(570, 32);
  EXPECT_EQ(game.app->m_creditsOpen, 1);
  int selected = game.app->m_menuSel;
  game.app->m_menuPos = game.app->m_menuEased = 0.0f;
  game.Update();
  EXPECT_EQ(game.app->m_menuSel, selected);
}

TEST(TitleMenuBack, QuitsOnTheDesktopAndAsksOnTheConsole) {
  ChildRun run = RunInChild([] {
    GameHarness game;
    game.FinishLoading();
    game.Press(KeyEscape);
    game.Update();
    _exit(3);
  });
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "");

  GameHarness game;
  game.FinishLoading();
  nx_Game_isOuya = 1;
  game.Press(KeyEscape);
  game.Update();
  EXPECT_EQ(game.app->m_gameMode, c_MyApp::ModeQuitDialog);
}

}  // namespace
