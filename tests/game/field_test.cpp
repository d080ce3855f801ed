// The play field: walls, items, bounces, damage and the cell colours, and the ripples' colour
// poured into the field.
#include <gtest/gtest.h>

#include <vector>

#include "support/game_harness.h"

namespace {

using App = c_MyApp;

// On 640 x 480 a cell is 20 units and the grid starts at (0, -80): rows 4 to 27 have their centres
// on screen, rows 4 to 28 reach into it. Cell (x, y) is centred on (20x + 10, 20y - 70).
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
  float& Ball(int slot) { return game.Entity(App::Ball, slot); }
  void PutBallOn(int x, int y) {
    Ball(App::EntityX) = 20.0f * x + 10.0f;
    Ball(App::EntityY) = 20.0f * y - 70.0f;
  }
  void Pass() {
    app->p_CLS2D(0.0f, 0.0f, 0.0f, 1.0f);
    app->p_DoBGGrid();
  }
};

// Whole grid columns and rows, doubled in game type 1; a waiting item lands inside columns and
// rows 7 to 25.
TEST_F(Field, WallsStandOnTheOutermostVisibleCellsAndItemsLandWithin) {
  app->m_gameType = 1;
  app->p_BuildWalls();
  EXPECT_TRUE(IsBlock(0, 0) && IsBlock(31, 31) && IsBlock(15, 4) && IsBlock(15, 26));
  EXPECT_FALSE(IsBlock(2, 15) || IsBlock(15, 3) || IsBlock(15, 28) || IsBlock(15, 6));
  app->m_pendingItem = 6;
  for (int pass = 0; pass < 100 && app->m_pendingItem != 0; ++pass) Pass();
  Pass();
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

// The flash of the cell after an item keeps the item's turn and alpha: the pass does not reset
// them. The item grows into its cell and cannot be taken until it has fully appeared.
TEST_F(Field, TheDrawStateCarriesFromCellToCellAndAnItemIsTakenOnceItHasAppeared) {
  Cell(10, 11, App::CellItem) = 3.0f;
  Cell(10, 11, App::CellAppear) = 31.0f;
  Cell(10, 12, App::CellFlashRed) = 500.0f;
  Cell(20, 20, App::CellItem) = 2.0f;
  Pass();
  const float* flash = game.Record(game.RecordsOfKind(App::SlotItems).at(0) + 1);
  EXPECT_EQ(std::vector<float>({flash[App::RecordY], flash[App::RecordRed],
                                flash[App::RecordRotation], flash[App::RecordAlpha]}),
            std::vector<float>({160.0f, 220.0f, -120.0f, 1.0f - 30.0f / 90.0f}));
  // Fully appeared, an item's 16-pixel frame fills its cell.
  std::vector<float> sizes;
  for (int index : game.RecordsOfKind(App::SlotItems)) {
    if (game.Record(index)[App::RecordX] == 410.0f)
      sizes.push_back(game.Record(index)[App::RecordScaleX] * 16.0f);
  }
  EXPECT_EQ(sizes, std::vector<float>{app->p_CellSize()});
  PutBallOn(10, 11);
  for (int pass = 0; pass < 29; ++pass) Pass();
  EXPECT_EQ(app->m_powerTimer, 0);
  Pass();
  EXPECT_EQ(Cell(10, 11, App::CellItem), 0.0f);
  EXPECT_EQ(app->m_powerTimer, 720);
  EXPECT_EQ(app->m_score, 15);
}

TEST_F(Field, ARipplePoursItsColourIntoTheCellsUnderItsRing) {
  auto flashRed = [this](int x, int y) { return Cell(x, y, App::CellFlashRed); };
  // (320, 240) is the corner of cells 15 and 16 both ways; the first ring, at most 17 units
  // wide, stays within them, with the intensity of this update.
  app->p_AddRipple(320.0f, 240.0f, 16, 200, 0, 0);
  app->p_DoRipples();
  EXPECT_GT(flashRed(15, 15) * flashRed(16, 15) * flashRed(15, 16) * flashRed(16, 16), 0.0f);
  float total = flashRed(15, 15) + flashRed(16, 15) + flashRed(15, 16) + flashRed(16, 16);
  EXPECT_NEAR(total, 32.0f * 200.0f * 0.78f, 0.01f);
  app->p_DoRipples();
  EXPECT_GT(flashRed(14, 15) * flashRed(17, 16) * flashRed(15, 14) * flashRed(16, 17), 0.0f);
}

}  // namespace
