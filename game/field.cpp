// The play field: the block grid's pass of every update (flash, items, the ball's highlight and
// block bounce, glow), block damage, walls and their repair, new blocks and the item chooser.
#include "game/my_app.h"

#include "framework/math.h"
#include "framework/random.h"
// The virtual screen size the grid is laid over.
#include "game/globals.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

// A colour as fractions of full brightness, or as channels of 0 to 255.
struct nx_Game_Colour {
  float red;
  float green;
  float blue;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

// The palette's inks 1 to 9; every other index is grey.
constexpr nx_Game_Colour nx_Game_Inks[] = {
    {1.0f, 0.1f, 0.1f}, {1.0f, 0.5f, 0.1f}, {1.0f, 1.0f, 0.1f},
    {0.1f, 1.0f, 0.1f}, {0.1f, 1.0f, 1.0f}, {0.1f, 0.1f, 1.0f},
    {0.5f, 0.1f, 1.0f}, {1.0f, 0.1f, 0.5f}, {1.0f, 1.0f, 1.0f},
};
constexpr nx_Game_Colour nx_Game_Grey = {0.3f, 0.3f, 0.3f};

constexpr int nx_Game_ItemBonus = 1;
constexpr int nx_Game_ItemBomb = 2;
constexpr int nx_Game_ItemPower = 3;
constexpr int nx_Game_ItemReverse = 5;
constexpr int nx_Game_ItemRepair = 6;
constexpr int nx_Game_ItemBlocks = 7;

// The new-blocks item throws five sparks of each of these inks.
constexpr int nx_Game_BlocksItemSparkInks[] = {1, 3, 4, 5};

constexpr int nx_Game_SoundBlockHit = 4;
constexpr int nx_Game_SoundPower = 7;
constexpr int nx_Game_SoundBonus = 8;
constexpr int nx_Game_SoundBomb = 9;
constexpr int nx_Game_SoundReverse = 10;
constexpr int nx_Game_SoundRepair = 11;

// An item lands only well inside the walls: columns and rows 7 to 25.
constexpr int nx_Game_ItemAreaFirst = 7;
constexpr int nx_Game_ItemAreaLast = 25;

constexpr int nx_Game_BallX = c_MyApp::Ball * c_MyApp::EntityStride + c_MyApp::EntityX;
constexpr int nx_Game_BallY = c_MyApp::Ball * c_MyApp::EntityStride + c_MyApp::EntityY;
constexpr int nx_Game_BallVelocityX =
    c_MyApp::Ball * c_MyApp::EntityStride + c_MyApp::EntityVelocityX;
constexpr int nx_Game_BallVelocityY =
    c_MyApp::Ball * c_MyApp::EntityStride + c_MyApp::EntityVelocityY;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

int nx_Game_CellStart(int x, int y) {
  return (y * c_MyApp::GridSize + x) * c_MyApp::CellFloats;
}

float nx_Game_ClampChannel(float value, float high) {
  if (value > high) return high;
  if (value < 0.0f) return 0.0f;
  return value;
}

nx_Game_Colour nx_Game_InkColour(int ink, int brightness) {
  int count = static_cast<int>(sizeof(nx_Game_Inks) / sizeof(nx_Game_Inks[0]));
  nx_Game_Colour fractions = ink >= 1 && ink <= count ? nx_Game_Inks[ink - 1] : nx_Game_Grey;
  float scale = static_cast<float>(brightness) * 255.0f;
  return {nx_Game_ClampChannel(fractions.red * scale, 255.0f),
          nx_Game_ClampChannel(fractions.green * scale, 255.0f),
          nx_Game_ClampChannel(fractions.blue * scale, 255.0f)};
}

// The cell's ink; the shift runs the colours along the diagonals while the steering is
// reversed. A negative sum keeps its sign through the remainder and comes out grey.
int nx_Game_CellInk(int x, int y, int shift) {
  return (x + y + shift) % 8 + 1;
}

// On the wall ring `inset` cells inside the visible bounds.
bool nx_Game_OnWall(const c_MyApp& app, int x, int y, int inset) {
  return x == app.m_gridMinX + inset || x == app.m_gridMaxX - inset ||
         y == app.m_gridMinY + inset || y == app.m_gridMaxY - inset;
}

void nx_Game_Sound(c_MyApp& app, int effect) {
  app.p_PlaySFX(effect, 1.0f, 1.0f, 0.0f);
}

void nx_Game_ThrowSparks(c_MyApp& app, float x, float y, int count, int ink) {
  for (int spark = 0; spark < count; ++spark) {
    app.p_ThrowParticle(x, y, 1, ink, nx_random_Rnd2(0.0f, 360.0f), c_MyApp::Absent);
  }
}

void nx_Game_RaiseCombo(c_MyApp& app, int step) {
  app.m_combo += step;
  app.m_comboTimer = static_cast<float>(app.m_comboTime);
}

// Applies one item's effects in their fixed order: combo and timers, sound, points, ripples,
// the field operation, sparks from the item's cell.
void nx_Game_CollectItem(c_MyApp& app, int item, float cellX, float cellY, float ballX,
                         float ballY) {
  switch (item) {
    case nx_Game_ItemBonus:
      nx_Game_RaiseCombo(app, app.m_powerTimer > 0 ? 2 : 1);
      nx_Game_Sound(app, nx_Game_SoundBonus);
      app.p_Gimme(5 * app.m_combo, ballX, ballY);
      app.p_AddRipple(ballX, ballY, 8, 255, 255, 0);
      nx_Game_ThrowSparks(app, cellX, cellY, 9, 3);
      break;
    case nx_Game_ItemBomb:
      app.m_combo = 0;
      app.m_comboTimer = 0.0f;
      nx_Game_Sound(app, nx_Game_SoundBomb);
      app.p_AddRipple(ballX, ballY, 8, 255, 0, 0);
      app.p_SmashGrid();
      nx_Game_ThrowSparks(app, cellX, cellY, 33, 1);
      break;
    case nx_Game_ItemPower:
      nx_Game_RaiseCombo(app, 1);
      app.m_powerTimer = 720;
      nx_Game_Sound(app, nx_Game_SoundPower);
      app.p_Gimme(15 * app.m_combo, ballX, ballY);
      app.p_AddRipple(ballX, ballY, 8, 0, 100, 255);
      nx_Game_ThrowSparks(app, cellX, cellY, 17, 5);
      break;
    case nx_Game_ItemReverse:
      nx_Game_RaiseCombo(app, 1);
      nx_Game_Sound(app, nx_Game_SoundReverse);
      app.p_Gimme(5 * app.m_combo, ballX, ballY);
      app.p_AddRipple(ballX, ballY, 4, 255, 150, 20);
      nx_Game_ThrowSparks(app, cellX, cellY, 17, 2);
      app.m_reverseTimer = 600;
      break;
    case nx_Game_ItemRepair:
      nx_Game_Sound(app, nx_Game_SoundRepair);
      app.p_AddRipple(ballX, ballY, 16, 255, 125, 0);
      app.p_FixGrid();
      nx_Game_ThrowSparks(app, cellX, cellY, 33, 2);
      break;
    case nx_Game_ItemBlocks:
      nx_Game_Sound(app, nx_Game_SoundRepair);
      app.p_AddRipple(ballX, ballY, 2, 255, 0, 0);
      app.p_AddRipple(ballX, ballY, 5, 255, 255, 0);
      app.p_AddRipple(ballX, ballY, 10, 0, 255, 0);
      app.p_AddRipple(ballX, ballY, 16, 0, 255, 255);
      app.p_AddBlocks();
      for (int ink : nx_Game_BlocksItemSparkInks) nx_Game_ThrowSparks(app, cellX, cellY, 5, ink);
      break;
    default:
      break;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

float c_MyApp::p_CellSize() {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  if (height * 0.03125f > width / 32.0f) return height / 32.0f;
  return width / 32.0f;
}

float c_MyApp::p_GridLeft() {
  return nx_Game_jscrw / 2.0f - 16.0f * p_CellSize();
}

float c_MyApp::p_GridTop() {
  return nx_Game_jscrh / 2.0f - 16.0f * p_CellSize();
}

int c_MyApp::p_FindVisibleBounds() {
  float cell = p_CellSize();
  float left = p_GridLeft();
  float top = p_GridTop();
  m_gridMinX = 64;
  m_gridMinY = 64;
  m_gridMaxX = -1;
  m_gridMaxY = -1;
  for (int x = 0; x < GridSize; ++x) {
    for (int y = 0; y < GridSize; ++y) {
      float centreX = left + static_cast<float>(x) * cell + cell / 2.0f;
      float centreY = top + static_cast<float>(y) * cell + cell / 2.0f;
      if (centreX > -2.0f && centreX < nx_Game_jscrw + 2.0f && centreY > -2.0f &&
          centreY < nx_Game_jscrh + 2.0f) {
        if (x < m_gridMinX) m_gridMinX = x;
        if (x > m_gridMaxX) m_gridMaxX = x;
        if (y < m_gridMinY) m_gridMinY = y;
        if (y > m_gridMaxY) m_gridMaxY = y;
      }
    }
  }
  return 0;
}

int c_MyApp::p_DoBGGrid() {
  m_blockHitThisUpdate = 0;
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  float cell = p_CellSize();
  float gridLeft = p_GridLeft();
  float gridTop = p_GridTop();
  p_ResetDraw();
  // The pass runs before the ball moves, and nothing in it moves the ball.
  float ballX = m_players[nx_Game_BallX];
  float ballY = m_players[nx_Game_BallY];

  for (int x = 0; x < GridSize; ++x) {
    for (int y = 0; y < GridSize; ++y) {
      float* slots = &m_grid[nx_Game_CellStart(x, y)];
      float left = gridLeft + static_cast<float>(x) * cell;
      float top = gridTop + static_cast<float>(y) * cell;
      float centreX = left + cell / 2.0f;
      float centreY = top + cell / 2.0f;

      bool lit =
          slots[CellFlashRed] > 0.0f || slots[CellFlashGreen] > 0.0f || slots[CellFlashBlue] > 0.0f;
      for (int channel = CellFlashRed; channel <= CellFlashBlue; ++channel) {
        if (slots[channel] > 0.0f) slots[channel] -= 16.0f;
        slots[channel] = nx_Game_ClampChannel(slots[channel], 220.0f);
      }

      if (left > -cell && left < width + cell && top > -cell && top < height + cell) {
        // The flash takes whatever alpha and rotation the previous cell left behind.
        if (lit) {
          p_SetCol(slots[CellFlashRed], slots[CellFlashGreen], slots[CellFlashBlue]);
          p_Rect(left, top, cell, cell);
        }
        // Every empty cell draws, whether or not an item waits: the draws keep the sequence.
        if (slots[CellItem] < 0.1f && slots[CellStrength] < 0.1f) {
          float chance = nx_random_Rnd2(0.0f, 1000.0f);
          if (chance < 2.0f && x >= nx_Game_ItemAreaFirst && x <= nx_Game_ItemAreaLast &&
              y >= nx_Game_ItemAreaFirst && y <= nx_Game_ItemAreaLast && m_pendingItem > 0) {
            slots[CellAppear] = 60.0f;
            slots[CellItem] = static_cast<float>(m_pendingItem);
            m_pendingItem = 0;
          }
        }
        if (slots[CellAppear] > 0.0f) slots[CellAppear] -= 1.0f;
        if (slots[CellItem] > 0.0f) {
          float appear = slots[CellAppear];
          p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
          float size = (appear + 10.0f) / 10.0f * cell * 0.0625f;
          p_SetSize(size, size);
          p_SetRot(appear * 4.0f);
          if (appear > 0.0f) p_Alpha(1.0f - appear / 90.0f);
          p_DrawImg(SlotItems, centreX, centreY, slots[CellItem] - 1.0f);
          if (nx_math_Abs2(centreX - ballX) < 22.0f && nx_math_Abs2(centreY - ballY) < 22.0f &&
              appear == 0.0f) {
            nx_Game_CollectItem(*this, nx_float_to_int_clamped(slots[CellItem]), centreX, centreY,
                                ballX, ballY);
            slots[CellItem] = 0.0f;
          }
          p_SetSize(1.0f);
        }
      }

      // The highlight and the bounce measure from the centre's whole pixel.
      float wholeX = static_cast<float>(nx_float_to_int_clamped(centreX));
      float wholeY = static_cast<float>(nx_float_to_int_clamped(centreY));
      if (nx_math_Abs2(wholeX - ballX) < cell + 4.0f &&
          nx_math_Abs2(wholeY - ballY) < cell + 4.0f) {
        p_Ink(nx_Game_CellInk(x, y, m_reverseTimer / 3), 1);
        p_Alpha(0.4f);
        p_Rect(left, top, cell, cell);
        if (m_powerTimer > 0) slots[CellGlow] = 40.0f;
      }

      if (slots[CellStrength] > 0.0f) {
        if (nx_math_Abs2(wholeX - ballX) < cell / 2.0f + 4.0f &&
            nx_math_Abs2(wholeY - ballY) < cell / 2.0f + 4.0f && m_blockHitThisUpdate == 0) {
          // The ball is thrown toward the middle, harder from blocks farther out.
          m_players[nx_Game_BallVelocityX] =
              static_cast<float>(nx_float_to_int_clamped(-static_cast<float>(x - 16) / 3.0f));
          m_players[nx_Game_BallVelocityY] =
              static_cast<float>(nx_float_to_int_clamped(-static_cast<float>(y - 16) / 3.0f));
          nx_Game_Colour ripple =
              nx_Game_InkColour(nx_Game_CellInk(x, y, -(m_reverseTimer / 2)), 1);
          p_AddRipple(wholeX, wholeY, 4, nx_float_to_int_clamped(ripple.red),
                      nx_float_to_int_clamped(ripple.green), nx_float_to_int_clamped(ripple.blue));
          nx_Game_ThrowSparks(*this, wholeX, wholeY, 5, nx_Game_CellInk(x, y, 0));
          p_HitGrid(x, y);
          p_Gimme(nx_math_Max(m_combo, 1), wholeX, wholeY);
          nx_Game_Sound(*this, nx_Game_SoundBlockHit);
          m_blockHitThisUpdate = 1;
        }
        p_Ink(nx_Game_CellInk(x, y, m_reverseTimer / 4), 1);
        p_Alpha(slots[CellStrength] * 0.75f + 0.25f);
        p_Rect(left, top, cell, cell);
      }

      if (slots[CellGlow] > 0.0f) {
        slots[CellGlow] -= 1.0f;
        p_Ink(nx_Game_CellInk(x, y, m_reverseTimer / 4), 1);
        p_Alpha(slots[CellGlow] / 60.0f);
        p_Rect(left, top, cell, cell);
      }
    }
  }
  p_ResetDraw();
  return 0;
}

int c_MyApp::p_HitGrid(int x, int y) {
  m_volley = 0;
  float power = m_powerTimer > 0 ? 0.2f : 1.0f;
  float neighbourDamage = 0.0f;
  if (m_gameType == 1) {
    neighbourDamage = 0.1f * power;
  } else if (m_gameType > 1) {
    neighbourDamage = 0.3f * power;
  }
  // Cells outside the grid, the centre included, are skipped.
  auto inside = [](int index) { return index >= 0 && index < GridSize; };
  for (int column = x - 1; column <= x + 1; ++column) {
    for (int row = y - 1; row <= y + 1; ++row) {
      if (!inside(column) || !inside(row)) continue;
      m_grid[nx_Game_CellStart(column, row) + CellStrength] -= neighbourDamage;
    }
  }
  if (inside(x) && inside(y)) m_grid[nx_Game_CellStart(x, y) + CellStrength] -= 0.2f * power;
  return 0;
}

int c_MyApp::p_BuildWalls() {
  p_FindVisibleBounds();
  for (int i = 0; i < m_grid.Length(); ++i) m_grid[i] = 0.0f;
  for (int x = 0; x < GridSize; ++x) {
    for (int y = 0; y < GridSize; ++y) {
      // Game type 1 has a double wall.
      if (nx_Game_OnWall(*this, x, y, 0) || (m_gameType == 1 && nx_Game_OnWall(*this, x, y, 1))) {
        m_grid[nx_Game_CellStart(x, y) + CellStrength] = 1.0f;
      }
    }
  }
  return 0;
}

int c_MyApp::p_FixGrid() {
  p_FindVisibleBounds();
  for (int x = 0; x < GridSize; ++x) {
    for (int y = 0; y < GridSize; ++y) {
      float& strength = m_grid[nx_Game_CellStart(x, y) + CellStrength];
      if (nx_Game_OnWall(*this, x, y, 0)) strength += nx_random_Rnd2(0.3f, 0.6f);
      if (m_gameType == 1 && nx_Game_OnWall(*this, x, y, 1)) {
        strength += nx_random_Rnd2(0.3f, 0.6f);
      }
      if (strength > 1.0f) strength = 1.0f;
    }
  }
  return 0;
}

int c_MyApp::p_AddBlocks() {
  p_FindVisibleBounds();
  for (int x = 0; x < GridSize; ++x) {
    for (int y = 0; y < GridSize; ++y) {
      if (x <= m_gridMinX + 2 || x >= m_gridMaxX - 2 || y <= m_gridMinY + 2 ||
          y >= m_gridMaxY - 2) {
        continue;
      }
      float& strength = m_grid[nx_Game_CellStart(x, y) + CellStrength];
      if (strength < 0.1f && nx_random_Rnd2(0.0f, 64.0f) < 1.0f) strength = 1.0f;
    }
  }
  return 0;
}

int c_MyApp::p_SmashGrid() {
  for (int x = 0; x < GridSize; ++x) {
    for (int y = 0; y < GridSize; ++y) {
      m_grid[nx_Game_CellStart(x, y) + CellStrength] -= nx_random_Rnd2(0.2f, 0.4f);
    }
  }
  return 0;
}

int c_MyApp::p_Something() {
  // In game type 3 every item is available from the first choice.
  if (m_gameType == 3) m_itemsChosen = 365;
  int chosen = m_itemsChosen;
  // All five draws are made every time; later rules override earlier ones.
  int item = 1;
  if (nx_random_Rnd2(0.0f, 40.0f) < 4.0f * static_cast<float>(m_gameType) && chosen > 1) item = 2;
  if (nx_random_Rnd2(0.0f, 40.0f) < 12.0f && chosen > 3) item = 3;
  if (nx_random_Rnd2(0.0f, 60.0f) < 6.0f && chosen > 5) item = 5;
  if (nx_random_Rnd2(0.0f, 50.0f) < 7.0f && chosen > 7) item = 6;
  if (nx_random_Rnd2(0.0f, 50.0f) < 8.0f && chosen > 9) item = 7;
  m_itemsChosen += 1;
  return item;
}

int c_MyApp::p_Gimme(int amount, float x, float y) {
  m_score += amount;
  p_AddParticle(99, x, y, 0.0f, -0.25f, amount, 3, 0);
  return 0;
}

int c_MyApp::p_Ink(int ink, int brightness) {
  nx_Game_Colour colour = nx_Game_InkColour(ink, brightness);
  p_SetCol(colour.red, colour.green, colour.blue);
  return 0;
}
