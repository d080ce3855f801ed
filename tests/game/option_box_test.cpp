#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "game/globals.h"
#include "support/child_process.h"
#include "support/game_harness.h"

namespace {

constexpr int KeyEnter = 13;

// The box opened from the title menu and risen into place. Its rows then stand 40 apart
// from y = 128 at x = 84, the credits row at (W - 264, 258), the back button at (100, 60).
void OpenBox(GameHarness& game) {
  game.FinishLoading();
  game.Update();
  game.app->m_optionsOpen = 1;
  game.Update(30);
}

void Tap(GameHarness& game, int key) {
  game.Press(key);
  game.Update(2);
}

// Whether one text of the last update reads exactly `text`, spaces aside.
bool HasExactText(const GameHarness& game, std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  std::vector<std::string> texts = game.Texts();
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Where the first glyph of the text that reads `text` (without spaces) stands; -1 if none.
float FirstGlyphX(const GameHarness& game, const std::string& text) {
  std::vector<std::string> texts = game.Texts();
  std::vector<int> glyphs = game.RecordsOfKind(static_cast<float>(game.app->m_fontSlot));
  size_t first = 0;
  for (const std::string& drawn : texts) {
    if (drawn == text) return game.Record(glyphs[first])[c_MyApp::RecordX];
    first += drawn.size();
  }
  return -1.0f;
}

TEST(OptionBoxRows, TextsSoundModesAndClosingSaves) {
  GameHarness game;
  OpenBox(game);
  game.Click(150, 140);
  game.Update();
  for (const char* text : {"<[BACK]", "Sound : Off", "iCade : Off", "Fullscreen", "Credits"}) {
    EXPECT_TRUE(HasExactText(game, text)) << text;
  }
  // Left-aligned, a text's first glyph stands at its x: the rows' at 100, the credits at W - 264.
  EXPECT_EQ(FirstGlyphX(game, "Fullscreen"), 100.0f);
  EXPECT_EQ(FirstGlyphX(game, "Credits"), 376.0f);
  // With music the row cycles through four modes; without, a mode past "On" is out of range.
  nx_Game_HasMusic = 1;
  for (const char* text : {"Sound : SFX + Music", "Sound : SFX", "Sound : Music"}) {
    Tap(game, KeyEnter);
    EXPECT_TRUE(HasExactText(game, text)) << text;
  }
  nx_Game_HasMusic = 0;
  game.Update();
  EXPECT_EQ(game.app->m_options[c_MyApp::OptionSound], 0);
  game.Click(100, 60);
  EXPECT_EQ(game.app->m_optionsOpen, 0);
  EXPECT_EQ(game.host.saveCount, 1);
  // The sound mode is the sixth field of the saved state.
  EXPECT_EQ(game.host.state.rfind("0|0|0|0|0|0|", 0), 0u) << game.host.state;

  // Back closes the box and, held on, does not quit from the menu behind it.
  ChildRun run = RunInChild([] {
    GameHarness child;
    OpenBox(child);
    child.KeyDown(27);
    child.Update(3);
    _exit(child.app->m_optionsOpen == 0 && child.host.saveCount == 1 ? 5 : 6);
  });
  EXPECT_EQ(run.status, 5);
}

TEST(OptionBoxRows, KeysActOncePerPressAndTheCreditsRowShowsOverTheMenuOnly) {
  GameHarness game;
  OpenBox(game);
  for (int press = 0; press < 6; ++press) Tap(game, 40);
  EXPECT_EQ(game.app->m_optRow, 4);
  Tap(game, 38);
  game.KeyDown(KeyEnter);
  game.Update(4);
  game.KeyUp(KeyEnter);
  game.Update();
  EXPECT_EQ(game.host.windowOpens, 1);
  EXPECT_TRUE(HasExactText(game, "Windowed"));

  game.app->m_iCadeButtons[18] = 2;
  Tap(game, 38);
  Tap(game, KeyEnter);
  EXPECT_EQ(nx_Game_iCadeControls, 1);
  EXPECT_EQ(game.app->m_iCadeButtons[18], 0);

  // The credits row closes the box, and saves like every way out of it.
  game.Click(400, 270);
  EXPECT_EQ(game.app->m_creditsOpen, 1);
  EXPECT_EQ(game.app->m_optionsOpen, 0);
  EXPECT_EQ(game.host.saveCount, 1);

  // Over the pause menu the credits row last highlighted is not there.
  game.app->m_gameMode = c_MyApp::ModeInGame;
  game.app->m_optRow = 4;
  game.app->p_CLS2D(c_MyApp::Absent, 0.0f, 0.0f, 0.0f);
  game.app->p_OptionBox();
  EXPECT_EQ(game.app->m_optRow, 3);
  EXPECT_FALSE(game.HasText("Credits"));
}

TEST(OptionBoxConsole, OverscanBarAndShoulders) {
  GameHarness game;
  nx_Game_isOuya = 1;
  OpenBox(game);
  EXPECT_TRUE(game.HasText("L1 < Overscan > R1"));
  EXPECT_FALSE(game.HasText("iCade"));

  // The bar runs 256 wide from (256, 108).
  for (const auto& [before, after] : {std::pair{40, 1}, std::pair{16, 96}}) {
    game.app->m_options[c_MyApp::OptionOverscan] = before;
    game.Click(384, 110);
    game.Update();
    EXPECT_EQ(game.app->m_options[c_MyApp::OptionOverscan], after);
  }
  EXPECT_EQ(nx_Game_overscan, 96.0f);
  Tap(game, 'B');  // shoulder button 14
  EXPECT_EQ(game.app->m_options[c_MyApp::OptionOverscan], 80);
}

}  // namespace
