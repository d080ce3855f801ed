// The play field on a 640 x 480 screen: walls, the pass's random draws, bounces, damage,
// items and the cell colours.
#include <gtest/gtest.h>

#include "framework/random.h"
#include "support/game_harness.h"

namespace {

using App = c_MyApp;

// How many draws of the generator the call makes.
template <class Call>
int DrawsOf(Call call) {
  int before = nx_random_Seed;
  call();
  int after = nx_random_Seed;
  nx_random_Seed = before;
  int draws = 0;
  for (; nx_random_Seed != after && draws < 100000; ++draws) nx_random_Rnd();
  return draws;
}

// A cell is 20 units and the grid starts at (0, -80): rows 4 to 27 have their centres on
// screen, rows 4 to 28 reach into it. Cell (x, y) is centred on (20x + 10, 20y - 70).
class Field : public testing::Test {
 protected:
  GameHarness game;
  App* app = game.app;

  void SetUp() override {
    app->m_gameType = 2;
    for (int i = 0; i < app->m_grid.Length(); ++i) app->m_grid[i] = 0.0f;
    for (int i = 0; i < app->m_ripples.Length(); ++i) app->m_ripples[i] = 0.0f;
    app->p_ResetParticles(250);
    PutBall(320.0f, 250.0f);
  }
  float& Cell(int x, int y, int slot) {
    return app->m_grid[(y * App::GridSize + x) * App::CellFloats + slot];
  }
  bool IsBlock(int x, int y) { return Cell(x, y, App::CellStrength) > 0.0f; }
  float& Ball(int slot) { return app->m_players[App::Ball * App::EntityStride + slot]; }
  void PutBall(float x, float y) {
    Ball(App::EntityX) = x;
    Ball(App::EntityY) = y;
  }
  void PutBallOn(int x, int y) { PutBall(20.0f * x + 10.0f, 20.0f * y - 70.0f); }
  void Pass() {
    app->p_CLS2D(0.0f, 0.0f, 0.0f, 1.0f);
    app->p_DoBGGrid();
  }
};

TEST_F(Field, WallsStandOnTheOutermostVisibleCells) {
  app->m_gameType = 1;
  app->p_BuildWalls();
  EXPECT_EQ(app->m_gridMinY, 4);
  EXPECT_EQ(app->m_gridMaxY, 27);
  // Whole grid columns and rows, doubled in game type 1.
  EXPECT_TRUE(IsBlock(0, 0) && IsBlock(31, 31) && IsBlock(15, 4) && IsBlock(15, 26));
  EXPECT_FALSE(IsBlock(2, 15) || IsBlock(15, 3) || IsBlock(15, 28) || IsBlock(15, 6));
}

// A portrait screen (360 x 480 units) has its cells by the height; the columns stick out.
TEST(FieldGeometry, APortraitScreenSizesCellsByItsHeight) {
  GameHarness game(480, 640);
  EXPECT_FLOAT_EQ(game.app->p_CellSize(), 15.0f);
  game.app->p_BuildWalls();
  EXPECT_EQ(game.app->m_gridMinX, 4);
  EXPECT_EQ(game.app->m_gridMaxX, 27);
  EXPECT_EQ(game.app->m_gridMinY, 0);
  EXPECT_EQ(game.app->m_gridMaxY, 31);
}

// 800 cells reach into the screen; the walls cover 110 of them, and every other one draws once
// a pass for the waiting item, whether or not one waits.
TEST_F(Field, EveryEmptyCellOnScreenDrawsOnceAPass) {
  app->p_BuildWalls();
  EXPECT_EQ(DrawsOf([&] { Pass(); }), 690);
  app->m_pendingItem = 6;
  for (int pass = 0; pass < 100 && app->m_pendingItem != 0; ++pass) {
    ASSERT_EQ(DrawsOf([&] { Pass(); }), 690);
  }
  ASSERT_EQ(app->m_pendingItem, 0);
  // The item's cell draws no more.
  EXPECT_EQ(DrawsOf([&] { Pass(); }), 689);
  int placed = 0;
  for (int x = 7; x <= 25; ++x) {
    for (int y = 7; y <= 25; ++y) placed += Cell(x, y, App::CellItem) == 6.0f ? 1 : 0;
  }
  EXPECT_EQ(placed, 1);
}

TEST_F(Field, BlocksThrowTheBallTowardTheMiddle) {
  const int cases[][4] = {{16, 16, 0, 0}, {17, 20, 0, -1}, {0, 4, 5, 4}, {31, 27, -5, -3}};
  for (const auto& test : cases) {
    SetUp();
    Cell(test[0], test[1], App::CellStrength) = 1.0f;
    PutBallOn(test[0], test[1]);
    Pass();
    EXPECT_EQ(Ball(App::EntityVelocityX), test[2]) << test[0];
    EXPECT_EQ(Ball(App::EntityVelocityY), test[3]) << test[0];
  }
}

TEST_F(Field, OnlyTheFirstBlockTouchedBouncesAndScores) {
  Cell(10, 10, App::CellStrength) = 1.0f;
  Cell(11, 10, App::CellStrength) = 1.0f;
  app->m_volley = 4;
  PutBall(220.0f, 130.0f);
  Pass();
  EXPECT_EQ(Ball(App::EntityVelocityX), 2.0f);
  EXPECT_FLOAT_EQ(Cell(10, 10, App::CellStrength), 0.5f);
  EXPECT_FLOAT_EQ(Cell(11, 10, App::CellStrength), 0.7f);
  EXPECT_EQ(app->m_volley, 0);
  // Without a combo a hit is still worth a point.
  EXPECT_EQ(app->m_score, 1);
  app->m_combo = 7;
  Pass();
  EXPECT_EQ(app->m_score, 8);
  EXPECT_FALSE(IsBlock(10, 10));
}

TEST_F(Field, DirectHitsToBreakABlockByGameTypeAndPower) {
  auto hitsToBreak = [&](int gameType, int power) {
    app->m_gameType = gameType;
    app->m_powerTimer = power;
    Cell(0, 0, App::CellStrength) = 1.0f;
    int hits = 0;
    for (; IsBlock(0, 0) && hits < 100; ++hits) app->p_HitGrid(0, 0);
    return hits;
  };
  EXPECT_EQ(hitsToBreak(2, 0), 2);
  EXPECT_EQ(hitsToBreak(1, 0), 4);
  EXPECT_EQ(hitsToBreak(3, 100), 10);
}

TEST_F(Field, AnItemIsCollectedOnlyOnceItHasAppeared) {
  Cell(15, 15, App::CellItem) = 3.0f;
  Cell(15, 15, App::CellAppear) = 5.0f;
  PutBallOn(15, 15);
  for (int pass = 0; pass < 4; ++pass) Pass();
  EXPECT_EQ(app->m_powerTimer, 0);
  Pass();
  EXPECT_EQ(Cell(15, 15, App::CellItem), 0.0f);
  EXPECT_EQ(app->m_powerTimer, 720);
  EXPECT_EQ(app->m_score, 15);
}

TEST_F(Field, TheItemChooserAlwaysDrawsFiveTimes) {
  for (int gameType = 1; gameType <= 3; ++gameType) {
    for (int chosen : {0, 4, 100}) {
      app->m_gameType = gameType;
      app->m_itemsChosen = chosen;
      EXPECT_EQ(DrawsOf([&] { app->p_Something(); }), 5);
    }
  }
  EXPECT_EQ(app->m_itemsChosen, 366);
}

TEST_F(Field, TheDrawStateCarriesFromCellToCell) {
  Cell(10, 11, App::CellItem) = 3.0f;
  Cell(10, 11, App::CellAppear) = 31.0f;
  Cell(10, 12, App::CellFlashRed) = 500.0f;
  Pass();
  std::vector<int> items = game.RecordsOfKind(static_cast<float>(App::SlotItems));
  ASSERT_EQ(items.size(), 1u);
  // The next cell's flash, clamped to 220 after its fade, keeps the item's turn and alpha.
  const float* flash = game.Record(items[0] + 1);
  EXPECT_EQ(flash[App::RecordY], 160.0f);
  EXPECT_EQ(flash[App::RecordRed], 220.0f);
  EXPECT_EQ(flash[App::RecordRotation], -120.0f);
  EXPECT_FLOAT_EQ(flash[App::RecordAlpha], 1.0f - 30.0f / 90.0f);
}

TEST_F(Field, AHitRipplesInTheCellColourThatTheReverseTimerShifts) {
  auto rippleOfHitAt = [&](int x, int y, int reverse) {
    SetUp();
    app->m_reverseTimer = reverse;
    Cell(x, y, App::CellStrength) = 1.0f;
    PutBallOn(x, y);
    Pass();
    const float* ripple = &app->m_ripples[(App::RippleCount - 1) * App::EffectFloats];
    return std::vector<float>{ripple[App::RippleRed], ripple[App::RippleGreen],
                              ripple[App::RippleBlue]};
  };
  // (0 + 3) rem 8 + 1 = 4, green; with the timer at 10, (3 - 5) rem 8 + 1 = -1, grey.
  EXPECT_EQ(rippleOfHitAt(0, 3, 0), (std::vector<float>{25, 255, 25}));
  EXPECT_EQ(rippleOfHitAt(0, 3, 10), (std::vector<float>{76, 76, 76}));
}

}  // namespace
