// Saved settings, badges and scores through the harness's state store: the first run's string,
// the three wrapping checksums, block-by-block loading with its messages, strings cut short,
// and a failed save.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/game_harness.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using Ints = std::vector<int>;
using Strings = std::vector<std::string>;

// A game started from `state`, and what its loading printed.
std::string Load(const std::string& state, std::unique_ptr<GameHarness>& game) {
  game.reset();
  CaptureStdout();
  game = std::make_unique<GameHarness>(640, 480, state);
  return GetCapturedStdout();
}

std::string Join(const Strings& fields) {
  std::string state;
  for (const std::string& field : fields) state += field + "|";
  return state;
}

TEST(SavedState, FirstRunPrintsNothingAndSavesTheRepairedDefaults) {
  std::unique_ptr<GameHarness> game;
  EXPECT_EQ(Load("", game), "");
  game->FinishLoading();
  CaptureStdout();
  game->host.SuspendGame();
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
  auto game = std::make_unique<GameHarness>();
  c_MyApp* app = game->app;
  for (int i = 0; i < c_MyApp::OptionCount; ++i)
    app->m_options[i] = i == 5 ? 1 : i == 10 || i == 11 ? 64 : 0;
  app->m_badges[31] = true;
  for (int i = 0; i < 60; ++i) app->m_highScores[i] = 1000 * (i + 1);
  app->m_highScores[0] = 2147483647;
  app->p_Save();
  std::vector<std::string> saved;
  std::istringstream text(game->host.state);
  for (std::string field; std::getline(text, field, '|');) saved.push_back(field);
  ASSERT_EQ(saved.size(), 98u);
  // The checksums; for the scores 4 times the largest int wraps round to -4 first.
  EXPECT_EQ((Strings{saved[25], saved[26], saved[34], saved[55]}),
            (Strings{"1349", "-2147483648", "-2147483648", "3290996"}));

  EXPECT_EQ(Load(Join(saved), game),
            "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\n"
            "Highscore 2 Loaded\n");
  EXPECT_EQ((Ints{game->app->m_badges[31], game->app->m_highScores[59]}), (Ints{1, 60000}));

  // Option 0 weighs nothing; game type 2's damaged block is reset alone.
  std::vector<std::string> fields = saved;
  fields[0] = "5";
  fields[76] = "1";
  EXPECT_EQ(Load(Join(fields), game),
            "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Checksum Invalid\n"
            "Highscore 2 Loaded\n");
  app = game->app;
  EXPECT_EQ((Ints{app->m_options[0], app->m_highScores[10], app->m_highScores[40],
                  app->m_highScores[20]}),
            (Ints{5, 0, 0, 21000}));

  // A number past 32 bits saturates and fails its block.
  fields = saved;
  fields[7] = "8";
  fields[27] = "99999999999999";
  EXPECT_EQ(Load(Join(fields), game),
            "Settings Checksum Invalid\nBadge Checksum Invalid\nHighscore 0 Loaded\n"
            "Highscore 1 Loaded\nHighscore 2 Loaded\n");
  app = game->app;
  EXPECT_EQ((Ints{app->m_options[7], app->m_options[5], app->m_badges[31], app->m_highScores[0]}),
            (Ints{0, 1, 0, 2147483647}));
}

// A string cut anywhere loads exactly the complete blocks before the cut, each ended by the
// "|" after its checksum, and leaves every later block at the value it started with.
TEST(SavedState, ACutStringLoadsOnlyTheCompleteBlocksBeforeTheCut) {
  auto game = std::make_unique<GameHarness>();
  c_MyApp* app = game->app;
  // Option 0 weighs nothing in its checksum but would read as badges 0 and 2 if the badge
  // block were taken from the settings' fields.
  app->m_options[0] = 5;
  app->m_options[7] = 8;
  app->m_badges[31] = true;
  for (int i = 0; i < 60; ++i) app->m_highScores[i] = i + 1;
  app->p_Save();
  const std::string saved = game->host.state;
  // Where each field ends: the index just past its "|".
  std::vector<size_t> ends;
  for (size_t at = saved.find('|'); at != std::string::npos; at = saved.find('|', at + 1))
    ends.push_back(at + 1);
  ASSERT_EQ(ends.size(), 98u);

  const Strings messages = {"Settings Loaded\n", "Badges Loaded\n", "Highscore 0 Loaded\n",
                            "Highscore 1 Loaded\n", "Highscore 2 Loaded\n"};
  struct Cut {
    int wholeFields;  // fields kept with their "|"
    int extra;        // characters of the next field kept after them, never all with its "|"
    int blocks;       // complete blocks
  };
  const Cut cuts[] = {{9, 0, 0},  {25, 0, 0},  {25, 3, 0}, {26, 0, 1}, {30, 1, 1},
                      {34, 0, 1}, {34, 11, 1}, {35, 0, 2}, {45, 0, 2}, {56, 0, 3},
                      {76, 0, 3}, {77, 0, 4},  {97, 2, 4}, {98, 0, 5}};
  for (const Cut& cut : cuts) {
    SCOPED_TRACE(cut.wholeFields);
    size_t length = cut.wholeFields == 0 ? 0 : ends[cut.wholeFields - 1];
    std::string expected;
    for (int block = 0; block < cut.blocks; ++block) expected += messages[block];
    EXPECT_EQ(Load(saved.substr(0, length + cut.extra), game), expected);
    app = game->app;
    const int blocks = cut.blocks;
    EXPECT_EQ((Ints{app->m_options[0], app->m_options[7], app->m_badges[0], app->m_badges[2],
                    app->m_badges[31], app->m_highScores[0], app->m_highScores[30],
                    app->m_highScores[10], app->m_highScores[20], app->m_highScores[59]}),
              (Ints{blocks >= 1 ? 5 : 0, blocks >= 1 ? 8 : 0, 0, 0, blocks >= 2,
                    blocks >= 3 ? 1 : 0, blocks >= 3 ? 31 : 0, blocks >= 4 ? 11 : 0,
                    blocks >= 5 ? 21 : 0, blocks >= 5 ? 60 : 0}));
  }
}

}  // namespace
