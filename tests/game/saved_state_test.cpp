#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/game_harness.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

std::vector<std::string> Fields(const std::string& state) {
  std::vector<std::string> fields;
  for (size_t start = 0, bar; (bar = state.find('|', start)) != std::string::npos;
       start = bar + 1) {
    fields.push_back(state.substr(start, bar - start));
  }
  return fields;
}

// A game started from `fields`, and what its loading printed.
std::string Load(const std::vector<std::string>& fields, std::unique_ptr<GameHarness>& game) {
  std::string state;
  for (const std::string& field : fields) state += field + "|";
  game.reset();
  CaptureStdout();
  game = std::make_unique<GameHarness>(640, 480, state);
  return GetCapturedStdout();
}

TEST(SavedState, FirstRunPrintsNothingAndSavesTheRepairedDefaults) {
  std::unique_ptr<GameHarness> game;
  EXPECT_EQ(Load({}, game), "");
  game->FinishLoading();
  CaptureStdout();
  game->Suspend();
  EXPECT_EQ(GetCapturedStdout(), "");
  std::string expected = "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|2|0|0|0|0|0|0|0|0|0|1513|";
  for (int i = 0; i < 72; ++i) expected += "0|";
  EXPECT_EQ(game->host.state, expected);

  game->host.saveResult = -2;
  CaptureStdout();
  game->app->p_Save();
  EXPECT_EQ(GetCapturedStdout(), "Settings could not be saved\n");
}

TEST(SavedState, BlocksLoadAndFailOneByOne) {
  std::unique_ptr<GameHarness> game = std::make_unique<GameHarness>();
  c_MyApp* app = game->app;
  for (int i = 0; i < c_MyApp::OptionCount; ++i) app->m_options[i] = 0;
  app->m_options[c_MyApp::OptionSound] = 1;
  app->m_options[c_MyApp::OptionPadX] = 64;
  app->m_options[c_MyApp::OptionPadHeight] = 64;
  app->m_badges[31] = true;
  for (int i = 0; i < 60; ++i) app->m_highScores[i] = 1000 * (i + 1);
  app->m_highScores[0] = 2147483647;
  app->p_Save();
  const std::vector<std::string> saved = Fields(game->host.state);
  ASSERT_EQ(saved.size(), 98u);
  EXPECT_EQ(saved[25], "1349");
  EXPECT_EQ(saved[26], "-2147483648");
  EXPECT_EQ(saved[34], "-2147483648");
  // 4 times the largest int wraps round to -4, then the other weighted scores add up.
  EXPECT_EQ(saved[55], "3290996");

  EXPECT_EQ(Load(saved, game),
            "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\n"
            "Highscore 2 Loaded\n");
  EXPECT_TRUE(game->app->m_badges[31]);
  EXPECT_EQ(game->app->m_highScores[59], 60000);

  // Option 0 weighs nothing; game type 2's damaged block is reset alone.
  std::vector<std::string> fields = saved;
  fields[0] = "5";
  fields[76] = "1";
  EXPECT_EQ(Load(fields, game),
            "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Checksum Invalid\n"
            "Highscore 2 Loaded\n");
  EXPECT_EQ(game->app->m_options[0], 5);
  EXPECT_EQ(game->app->m_highScores[10], 0);
  EXPECT_EQ(game->app->m_highScores[40], 0);
  EXPECT_EQ(game->app->m_highScores[20], 21000);

  // A number past 32 bits saturates and fails its block; a cut string loads what it holds.
  fields = saved;
  fields[7] = "8";
  fields[27] = "99999999999999";
  fields.resize(70);
  EXPECT_EQ(Load(fields, game),
            "Settings Checksum Invalid\nBadge Checksum Invalid\nHighscore 0 Loaded\n");
  EXPECT_EQ(game->app->m_options[7], 0);
  EXPECT_EQ(game->app->m_options[c_MyApp::OptionSound], 1);
  EXPECT_FALSE(game->app->m_badges[31]);
  EXPECT_EQ(game->app->m_highScores[0], 2147483647);
  EXPECT_EQ(game->app->m_highScores[10], 0);
}

}  // namespace
