// Badges through the headless harness: the catalogue, awarding, the banners and the panel.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "game/globals.h"
#include "support/game_harness.h"

namespace {

// The x and y of the last update's banners, lowest slot first.
std::vector<std::pair<float, float>> Banners(const GameHarness& game) {
  std::vector<std::pair<float, float>> banners;
  for (int index : game.RecordsOfKind(c_MyApp::KindRect)) {
    const float* record = game.Record(index);
    if (record[c_MyApp::RecordBlue] == 80.0f && record[c_MyApp::RecordScaleX] == 160.0f) {
      banners.emplace_back(record[c_MyApp::RecordX], record[c_MyApp::RecordY]);
    }
  }
  return banners;
}

// A banner is fully shown from its 10th to its 230th update and frees its slot at the 241st.
// Banners stack upwards in the lowest free slots; with all 13 busy a badge is still earned,
// and a badge already earned or outside the flags shows nothing. Only badge 0 has a name.
TEST(Badges, BannersSlideStackAndFreeTheirSlots) {
  GameHarness game;
  game.FinishLoading();
  for (int badge : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0, -1, 256}) {
    game.app->p_AwardBadge(badge);
  }
  EXPECT_TRUE(game.app->m_badges[13]);
  std::vector<int> shown;
  for (int age = 2; age <= 241; ++age) {
    game.Update();
    std::vector<std::pair<float, float>> banners = Banners(game);
    ASSERT_EQ(banners.size(), 13u) << age;
    if (banners[0].first == 0.0f) shown.push_back(age);
  }
  EXPECT_EQ(Banners(game)[12].second, nx_Game_jscrh - 34.0f * 13);
  ASSERT_EQ(shown.size(), 221u);
  EXPECT_EQ(shown.front(), 10);
  EXPECT_EQ(game.app->m_badgePopupTimer[0], 0);
  EXPECT_EQ(game.app->m_badgePopupId[12], 12);
  EXPECT_TRUE(game.HasText("Test Badge"));
  EXPECT_EQ(game.app->p_BadgeDetail(0).ToUtf8(), "This is a Test Badge which has no purpose.");
  EXPECT_EQ(game.app->p_BadgeName(5).Length() + game.app->p_BadgeDetail(5).Length(), 0);
}

TEST(Badges, PanelScrollsByKeysAndDragNeverBelowZero) {
  GameHarness game;
  game.FinishLoading();
  game.app->m_badgesOpen = 1;
  for (int key : {40, 38}) {
    game.KeyDown(key);
    game.Update(3);
    game.KeyUp(key);
  }
  EXPECT_EQ(game.app->m_badgeScroll, 48.0f);
  game.MouseMove(320, 200);
  game.MouseDown();
  game.Update();
  for (auto [y, scroll] : {std::pair{210, 63.0f}, std::pair{100, 0.0f}}) {
    game.MouseMove(320, y);
    game.Update();
    EXPECT_EQ(game.app->m_badgeScroll, scroll);
  }
}

}  // namespace
