// The play field: walls, the random draws of the pass and of the field operations, bounces,
// damage, items and the cell colours.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "support/game_harness.h"
#include "support/random_draws.h"

namespace {

using App = c_MyApp;

// On 640 x 480 a cell is 20 units and the grid starts at (0, -80): rows 4 to 27 have their
// centres on screen, rows 4 to 28 reach into it. Cell (x, y) is centred on (20x + 10, 20y - 70).
class Field : public testing::Test {
 protected:
  GameHarness game;
  App* app = game.app;

  void SetUp() override {
    app->m_gameType = 2;
    for (int i = 0; i < app->m_grid.Length(); ++i) app->m_grid[i] = 0.0f;
    for (int i = 0; i < app->m_ripples.Length(); ++i) app->m_ripples[i] = 0.0f;
    PutBallOn(16, 16);
  }
  float& Cell(int x, int y, int slot) {
    return app->m_grid[(y * App::GridSize + x) * App::CellFloats + slot];
  }
  bool IsBlock(int x, int y) { return Cell(x, y, App::CellStrength) > 0.0f; }
  float& Ball(int slot) { return app->m_players[App::Ball * App::EntityStride + slot]; }
  void PutBallOn(int x, int y) {
    Ball(App::EntityX) = 20.0f * x + 10.0f;
    Ball(App::EntityY) = 20.0f * y - 70.0f;
  }
  void Pass() {
    app->p_CLS2D(0.0f, 0.0f, 0.0f, 1.0f);
    app->p_DoBGGrid();
  }
};

TEST_F(Field, WallsStandOnTheOutermostVisibleCellsAndTheDrawsFollowThem) {
  app->m_gameType = 1;
  app->p_BuildWalls();
  // Whole grid columns and rows, doubled in game type 1.
  EXPECT_TRUE(IsBlock(0, 0) && IsBlock(31, 31) && IsBlock(15, 4) && IsBlock(15, 26));
  EXPECT_FALSE(IsBlock(2, 15) || IsBlock(15, 3) || IsBlock(15, 28) || IsBlock(15, 6));
  // Single walls: 124 cells take a repair draw, the 26 x 18 empty cells strictly inside the
  // walls' inner ring a sprinkle draw; the weakening draws for all 1024.
  app->m_gameType = 2;
  app->p_BuildWalls();
  EXPECT_EQ(DrawsOf([&] { app->p_FixGrid(); }), 124);
  EXPECT_EQ(DrawsOf([&] { app->p_AddBlocks(); }), 26 * 18);
  EXPECT_EQ(DrawsOf([&] { app->p_SmashGrid(); }), 1024);
  // The item chooser draws five times even with no item open yet; in type 3 all are open.
  app->m_itemsChosen = 0;
  EXPECT_EQ(DrawsOf([&] { app->p_Something(); }), 5);
  app->m_gameType = 3;
  EXPECT_EQ(DrawsOf([&] { app->p_Something(); }), 5);
  EXPECT_EQ(app->m_itemsChosen, 366);
}

// 800 cells reach into the screen; the walls cover 110 of them, and every other one draws once
// a pass for the waiting item, whether or not one waits.
TEST_F(Field, EveryEmptyCellOnScreenDrawsOnceAPass) {
  app->p_BuildWalls();
  app->m_pendingItem = 6;
  for (int pass = 0; pass < 100 && app->m_pendingItem != 0; ++pass) {
    ASSERT_EQ(DrawsOf([&] { Pass(); }), 690);
  }
  // The item lands inside columns and rows 7 to 25, and its cell draws no more.
  EXPECT_EQ(DrawsOf([&] { Pass(); }), 689);
  const float* item = game.Record(game.RecordsOfKind(App::SlotItems).at(0));
  EXPECT_TRUE(item[App::RecordX] > 140.0f && item[App::RecordX] < 520.0f);
  EXPECT_TRUE(item[App::RecordY] > 60.0f && item[App::RecordY] < 440.0f);
}

// The ripple of a hit takes the cell's ink: (x + y) rem 8 + 1, shifted back by half the reverse
// timer; at (0, 3) with the timer at 10 that is -1, grey.
TEST_F(Field, BlocksThrowTheBallTowardTheMiddleAndRippleInTheCellColour) {
  const int cases[][8] = {{16, 16, 0, 0, 0, 255, 25, 25},
                          {17, 20, 0, 0, -1, 25, 25, 255},
                          {0, 4, 0, 5, 4, 25, 255, 255},
                          {31, 27, 0, -5, -3, 255, 255, 25},
                          {0, 3, 10, 5, 4, 76, 76, 76}};
  for (const auto& test : cases) {
    SetUp();
    app->m_reverseTimer = test[2];
    Cell(test[0], test[1], App::CellStrength) = 1.0f;
    PutBallOn(test[0], test[1]);
    Pass();
    const float* ripple = &app->m_ripples[(App::RippleCount - 1) * App::EffectFloats];
    EXPECT_EQ(std::vector<float>({Ball(App::EntityVelocityX), Ball(App::EntityVelocityY),
                                  ripple[App::RippleRed], ripple[App::RippleGreen],
                                  ripple[App::RippleBlue]}),
              std::vector<float>(test + 3, test + 8))
        << test[0] << "," << test[1];
  }
}

TEST_F(Field, OnlyTheFirstBlockTouchedBouncesAndScores) {
  Cell(10, 10, App::CellStrength) = 1.0f;
  Cell(11, 10, App::CellStrength) = 1.0f;
  app->m_volley = 4;
  Ball(App::EntityX) = 220.0f;
  Ball(App::EntityY) = 130.0f;
  Pass();
  EXPECT_EQ(Ball(App::EntityVelocityX), 2.0f);
  EXPECT_FLOAT_EQ(Cell(10, 10, App::CellStrength), 0.5f);
  EXPECT_FLOAT_EQ(Cell(11, 10, App::CellStrength), 0.7f);
  EXPECT_EQ(app->m_volley, 0);
  // Without a combo a hit is still worth a point; the second direct hit breaks it in type 2.
  EXPECT_EQ(app->m_score, 1);
  app->m_combo = 7;
  Pass();
  EXPECT_EQ(app->m_score, 8);
  EXPECT_FALSE(IsBlock(10, 10));
  // Four direct hits in type 1; ten under power.
  for (auto [type, power, hits] : {std::array{1, 0, 4}, std::array{3, 100, 10}}) {
    app->m_gameType = type;
    app->m_powerTimer = power;
    Cell(0, 0, App::CellStrength) = 1.0f;
    int taken = 0;
    for (; IsBlock(0, 0) && taken < 100; ++taken) app->p_HitGrid(0, 0);
    EXPECT_EQ(taken, hits) << type;
  }
}

// The flash of the cell after an item keeps the item's turn and alpha: the pass does not reset
// them. The item cannot be taken until it has fully appeared.
TEST_F(Field, TheDrawStateCarriesFromCellToCellAndAnItemIsTakenOnceItHasAppeared) {
  Cell(10, 11, App::CellItem) = 3.0f;
  Cell(10, 11, App::CellAppear) = 31.0f;
  Cell(10, 12, App::CellFlashRed) = 500.0f;
  Pass();
  const float* flash = game.Record(game.RecordsOfKind(App::SlotItems).at(0) + 1);
  EXPECT_EQ(std::vector<float>({flash[App::RecordY], flash[App::RecordRed],
                                flash[App::RecordRotation], flash[App::RecordAlpha]}),
            std::vector<float>({160.0f, 220.0f, -120.0f, 1.0f - 30.0f / 90.0f}));
  PutBallOn(10, 11);
  for (int pass = 0; pass < 29; ++pass) Pass();
  EXPECT_EQ(app->m_powerTimer, 0);
  Pass();
  EXPECT_EQ(Cell(10, 11, App::CellItem), 0.0f);
  EXPECT_EQ(app->m_powerTimer, 720);
  EXPECT_EQ(app->m_score, 15);
}

}  // namespace
