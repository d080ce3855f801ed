// Game flow: starting a game, one update of play (paddles, ball, scoring, head-up texts), the
// pause request, the game-over overlay, and the score lists on the way back to the menu.
#include "game/my_app.h"

// <cmath> for the paddles' pulse and the integer part of random draws.
#include <cmath>

// The clock behind the paddles' pulse and the power colours.
#include "framework/app.h"
#include "framework/math.h"
#include "framework/random.h"
// The virtual screen size and the music switch.
#include "game/globals.h"
// The tune that starts and stops with each game.
#include "game/music_player.h"
#include "runtime/numbers.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

constexpr int nx_Game_TuneSeed = 37171650;
constexpr int nx_Game_TuneTempo = 100;

constexpr int nx_Game_ListLength = 10;
// The last lists follow the three top lists.
constexpr int nx_Game_LastListsStart = 30;
constexpr int nx_Game_GameTypes = 3;

constexpr int nx_Game_GameOverDelay = 90;
constexpr int nx_Game_GameOverFadeStart = 75;
// Updates the lost ball is shown leaving before the game is over.
constexpr int nx_Game_BallOutDelay = 30;

const char16_t* const nx_Game_Ranks[nx_Game_ListLength] = {
    u"1st!", u"2nd", u"3rd", u"4th", u"5th", u"6th", u"7th", u"8th", u"9th", u"10th",
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

int nx_Game_EntityIndex(int entity, int slot) {
  return entity * c_MyApp::EntityStride + slot;
}

// The score lists of a game type start here; -1 for a type that has none.
int nx_Game_TopList(int gameType) {
  if (gameType < 1 || gameType > nx_Game_GameTypes) return -1;
  return (gameType - 1) * nx_Game_ListLength;
}

// One paddle's easing is done by the caller; this draws the paddle and settles a touch of the
// ball. The left paddle sends the ball right (direction 1), the right one left (-1).
void nx_Game_Paddle(c_MyApp& app, int paddle, int pulse, float cell) {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  int other = paddle == c_MyApp::LeftPaddle ? c_MyApp::RightPaddle : c_MyApp::LeftPaddle;
  float direction = paddle == c_MyApp::LeftPaddle ? 1.0f : -1.0f;
  Array<float>& players = app.m_players;
  int ballX = nx_Game_EntityIndex(c_MyApp::Ball, c_MyApp::EntityX);
  int ballY = nx_Game_EntityIndex(c_MyApp::Ball, c_MyApp::EntityY);
  int ballVelocityX = nx_Game_EntityIndex(c_MyApp::Ball, c_MyApp::EntityVelocityX);
  float offset = players[nx_Game_EntityIndex(paddle, c_MyApp::EntityX)];
  float paddleY = players[nx_Game_EntityIndex(paddle, c_MyApp::EntityY)];

  app.p_SetCol(180.0f, 255.0f, 180.0f, 1.0f);
  if (app.m_nextPaddle == paddle) {
    float glow = static_cast<float>(pulse);
    app.p_SetCol(100.0f - glow, 220.0f - 1.5f * glow, 255.0f);
  }
  float home = paddle == c_MyApp::LeftPaddle ? 3.0f * cell : width - 3.0f * cell;
  int paddleX = nx_float_to_int_clamped(offset + home);
  int paddleRow = nx_float_to_int_clamped(paddleY);
  app.p_Rect(static_cast<float>(paddleX) - 8.0f, paddleY - 32.0f, 16.0f, 64.0f);

  if (nx_math_Abs2(players[ballX] - static_cast<float>(paddleX)) >= 14.0f ||
      nx_math_Abs2(players[ballY] - static_cast<float>(paddleRow)) >= 38.0f) {
    return;
  }
  float pitch = static_cast<float>(app.m_combo) / 40.0f + 0.75f;
  players[ballX] = static_cast<float>(paddleX) + 8.0f * direction;
  players[ballVelocityX] = 8.0f * direction;
  float sparkAngle = 90.0f * direction;

  if (app.m_nextPaddle == other) {
    app.p_AddRipple2(players[ballX], players[ballY], 0, 150, 0);
    app.p_PlaySFX(6, 1.0f, 1.0f, 0.0f);
    if (app.m_combo > 0) app.p_PlaySFX(3, 1.0f, 1.0f, 0.0f);
    app.m_combo = 0;
    app.m_comboTimer = 0.0f;
    app.m_volley = 0;
    for (int spark = 0; spark < 5; ++spark) {
      float angle = nx_random_Rnd2(-60.0f, 60.0f) + sparkAngle;
      app.p_ThrowParticle(players[ballX], players[ballY], 1, 2, angle, c_MyApp::Absent);
    }
  }
  if (app.m_nextPaddle == paddle) {
    app.p_AddRipple(players[ballX], players[ballY], nx_float_to_int_clamped(pitch * 8.0f), 10, 255,
                    80);
    app.m_combo += app.m_powerTimer > 0 ? 2 : 1;
    app.m_itemCountdown -= 1;
    if (app.m_itemCountdown < 0) {
      app.m_itemCountdown = app.p_Rand(2.0f, 6.0f);
      app.m_pendingItem = app.p_Something();
    }
    app.m_volley += 1;
    for (int spark = 0; spark < 17; ++spark) {
      float angle = nx_random_Rnd2(-60.0f, 60.0f) + sparkAngle;
      app.p_ThrowParticle(players[ballX], players[ballY], 1, 4, angle, c_MyApp::Absent);
    }
    if (pitch > 2.0f) pitch = 2.0f;
    app.p_PlaySFX(2, pitch, 1.0f, 0.0f);
    app.m_comboTimer = static_cast<float>(app.m_comboTime);
    app.p_Gimme(5 * app.m_combo, players[ballX] + 32.0f * direction, players[ballY]);
    app.m_nextPaddle = other;
    players[ballVelocityX] = 12.0f * direction;
    players[nx_Game_EntityIndex(paddle, c_MyApp::EntityTargetY)] =
        static_cast<float>(app.p_Rand(16.0f, height - 16.0f));
  }
}

// One axis of the ball: the move (held while paused or over), the escape test, and friction.
void nx_Game_MoveBall(c_MyApp& app, int positionSlot, int velocitySlot, float screenSize) {
  float& position = app.m_players[nx_Game_EntityIndex(c_MyApp::Ball, positionSlot)];
  float& velocity = app.m_players[nx_Game_EntityIndex(c_MyApp::Ball, velocitySlot)];
  if (app.m_ballOut == 0) {
    if (app.m_paused == 0 && app.m_gameOver == 0) position += velocity;
    float far = static_cast<float>(nx_float_to_int_clamped(screenSize)) + 32.0f;
    if (position < -32.0f || position > far) app.m_ballOut = 1;
  }
  if (velocity < 0.0f) velocity += 0.1f;
  if (velocity > 0.0f) velocity -= 0.1f;
  if (nx_math_Abs2(velocity) < 0.1f) {
    velocity = 0.0f;
  } else if (velocity < -12.0f) {
    velocity = -12.0f;
  } else if (velocity > 12.0f) {
    velocity = 12.0f;
  }
}

// Whether a finger holds a direction of the on-screen pad (its buttons are up, left, right and
// down, 0, 3, 5 and 8). Such a finger steers through the pad: every finger also counts as the
// pointer, and a pointer held still would otherwise fling nowhere and override the pad. The
// pad marks its buttons 1; an iCade's held letters mark theirs 2 and steer no finger.
bool nx_Game_FingerOnPad(const c_MyApp& app) {
  if (nx_Game_OnScreenControls != 1) return false;
  for (int button : {0, 3, 5, 8}) {
    if (app.m_iCadeButtons[button] == 1) return true;
  }
  return false;
}

// The steering of one update: the stick or keys push, a held pointer flings; reversed while
// the reverse item acts.
void nx_Game_Steer(c_MyApp& app) {
  float& velocityX = app.m_players[nx_Game_EntityIndex(c_MyApp::Ball, c_MyApp::EntityVelocityX)];
  float& velocityY = app.m_players[nx_Game_EntityIndex(c_MyApp::Ball, c_MyApp::EntityVelocityY)];
  if (app.m_pointerDown == 0 || nx_Game_FingerOnPad(app)) {
    if (app.m_reverseTimer < 1) {
      velocityX += app.m_stickX * 0.5f;
      velocityY += app.m_stickY * 0.5f;
      app.m_reverseTimer = 0;
    } else {
      velocityX -= app.m_stickX * 0.5f;
      velocityY -= app.m_stickY * 0.5f;
    }
  } else if (app.m_pointerDown > 0) {
    // The pointer's movement in float: the two positions may lie far apart before a layout.
    float movedX = static_cast<float>(app.m_mouseX) - static_cast<float>(app.m_oldMouseX);
    float movedY = static_cast<float>(app.m_mouseY) - static_cast<float>(app.m_oldMouseY);
    if (app.m_reverseTimer < 1) {
      velocityX += movedX / 3.0f;
      velocityY += movedY / 3.0f;
      app.m_reverseTimer = 0;
    } else {
      velocityX -= movedX * 0.25f;
      velocityY -= movedY * 0.25f;
    }
  }
}

// A counter of the head-up display: its value large, its name small and faint below it.
void nx_Game_HeadUpCounter(c_MyApp& app, float x, float cell, int value, const String& name) {
  app.p_SetSize(3.0f);
  app.p_SetCol(100.0f, 255.0f, 255.0f, 1.0f);
  app.p_Text(x, 4.0f * cell, String(value), 1.0f, 1.0f);
  app.p_SetSize(1.0f);
  app.p_Alpha(0.5f);
  app.p_Text(x, 5.0f * cell, name, 1.0f, 1.0f);
}

// The head-up texts: score, volley and combo.
void nx_Game_HeadUp(c_MyApp& app, float cell) {
  float width = nx_Game_jscrw;
  app.p_SetSize(2.0f);
  app.p_SetCol(100.0f, 255.0f, 100.0f, 0.8f);
  app.p_Text(width / 2.0f, 2.75f * cell, app.p_rstr(app.m_shownScore, 8, String(u"0")), 1.0f, 1.0f);
  nx_Game_HeadUpCounter(app, 0.75f * width, cell, app.m_volley, String(u"Volley"));
  nx_Game_HeadUpCounter(app, 0.25f * width, cell, app.m_combo, String(u"Combo"));
}

// The rainbow colour of the power effect, cycling ten times a second.
void nx_Game_PowerInk(c_MyApp& app) {
  app.p_Ink(nx_app_Millisecs() / 100 % 8 + 1, 1);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

int c_MyApp::p_LoadGame() {
  m_paused = 0;
  m_score = 0;
  m_gameOver = 0;
  m_gameOverTimer = 0;
  m_gameMode = ModeInGame;
  // The tune start reseeds the shared generator, music or not, so every game runs the same
  // sequence of draws.
  switch (m_gameType) {
    case 1:
      m_jm->p_JM_StartTune(String(u"Pasture Run/Tune_12"), nx_Game_TuneSeed, nx_Game_TuneTempo);
      break;
    case 2:
      m_jm->p_JM_StartTune(String(u"Retro/Cave Digger"), nx_Game_TuneSeed, nx_Game_TuneTempo);
      break;
    case 3:
      m_jm->p_JM_StartTune(String(u"Retro/PlumberEsque"), nx_Game_TuneSeed, nx_Game_TuneTempo);
      break;
    default:
      break;
  }
  p_NextLife();
  return 0;
}

int c_MyApp::p_NextLife() {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  p_ResetStars(100);
  p_ResetParticles(250);
  for (int i = 0; i < m_players.Length(); ++i) m_players[i] = 0.0f;

  m_score = 0;
  m_combo = 0;
  m_comboTime = 130;
  if (m_gameType == 1) m_comboTime = 160;
  if (m_gameType == 3) m_comboTime = 100;
  m_comboTimer = 0.0f;
  m_volley = 0;
  m_powerTimer = 0;
  m_reverseTimer = 0;
  m_itemCountdown = 10;
  m_itemsChosen = 0;
  m_pendingItem = 0;
  m_ballOut = 0;
  m_gameOver = 0;
  m_gameOverTimer = 0;
  m_paused = 0;

  for (int paddle : {LeftPaddle, RightPaddle}) {
    m_players[nx_Game_EntityIndex(paddle, EntityPresent)] = 1.0f;
    m_players[nx_Game_EntityIndex(paddle, EntityX)] = 0.0f;
    m_players[nx_Game_EntityIndex(paddle, EntityY)] = height / 2.0f;
    m_players[nx_Game_EntityIndex(paddle, EntityTargetY)] = height / 2.0f;
  }
  m_players[nx_Game_EntityIndex(Ball, EntityPresent)] = 1.0f;
  m_players[nx_Game_EntityIndex(Ball, EntityX)] = width / 2.0f;
  m_players[nx_Game_EntityIndex(Ball, EntityY)] = height / 2.0f;
  m_players[nx_Game_EntityIndex(Ball, EntityVelocityX)] = 0.0f;
  m_players[nx_Game_EntityIndex(Ball, EntityVelocityY)] = 0.0f;
  m_nextPaddle = nx_float_to_int_clamped(std::floor(nx_random_Rnd2(1.0f, 2.99f)));
  p_BuildWalls();
  return 0;
}

int c_MyApp::p_Game() {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  float cell = p_CellSize();

  p_CLS2D(0.0f, 0.0f, 0.0f, 1.0f);
  p_SetSize(3.0f, 3.0f);
  p_Alpha(0.2f);
  p_DrawImg(SlotMenu, width / 2.0f, height / 2.0f, 0.0f);

  p_AnalogueControl();
  p_DoBGGrid();
  p_DoRipples();

  p_ResetDraw();
  for (int paddle : {LeftPaddle, RightPaddle}) {
    float& y = m_players[nx_Game_EntityIndex(paddle, EntityY)];
    float target = m_players[nx_Game_EntityIndex(paddle, EntityTargetY)];
    y -= (y - target) * 0.03125f;
    if (nx_math_Abs2(y - target) < 2.0f) y = target;
  }
  float pulseAngle = static_cast<float>(nx_app_Millisecs() / 6) * RadiansPerDegree;
  int pulse = nx_float_to_int_clamped(nx_math_Abs2(std::sin(pulseAngle) * 90.0f));
  nx_Game_Paddle(*this, LeftPaddle, pulse, cell);
  nx_Game_Paddle(*this, RightPaddle, pulse, cell);

  float ballX = m_players[nx_Game_EntityIndex(Ball, EntityX)];
  float ballY = m_players[nx_Game_EntityIndex(Ball, EntityY)];
  if (m_powerTimer > 0) {
    nx_Game_PowerInk(*this);
    p_Rect(ballX - 10.0f, ballY - 10.0f, 20.0f, 20.0f);
  }
  p_SetCol(180.0f, 255.0f, 255.0f, 1.0f);
  p_Rect(ballX - 6.0f, ballY - 6.0f, 12.0f, 12.0f);

  nx_Game_MoveBall(*this, EntityX, EntityVelocityX, width);
  nx_Game_MoveBall(*this, EntityY, EntityVelocityY, height);
  nx_Game_Steer(*this);

  if (m_ballOut > 0) {
    if (m_ballOut == 2) p_PlaySFX(5, 1.0f, 1.0f, 0.0f);
    m_ballOut += 1;
    if (m_ballOut > nx_Game_BallOutDelay) m_gameOver = 1;
  }

  p_ResetDraw();
  p_DoParticles();
  p_ResetDraw();

  // In 64 bits: the eased value always lies between the two, but their difference need not
  // fit an int.
  long long behind = static_cast<long long>(m_shownScore) - m_score;
  m_shownScore = static_cast<int>(m_shownScore - behind / 6);
  behind = static_cast<long long>(m_shownScore) - m_score;
  if (behind > -6 && behind < 6) m_shownScore = m_score;

  nx_Game_HeadUp(*this, cell);

  bool running = m_paused == 0 && m_gameOver == 0 && m_ballOut == 0;
  p_SetCol(25.5f, 255.0f, 25.5f);
  if (m_reverseTimer > 0 && running) m_reverseTimer -= 1;

  if (m_powerTimer > 0) nx_Game_PowerInk(*this);
  p_Alpha(0.8f);
  // The power timer runs down only while the combo bar shows.
  if (m_comboTimer > 0.0f) {
    p_Rect(width / 2.0f - m_comboTimer, height - 2.5f * cell, 2.0f * m_comboTimer, 8.0f);
    if (running) {
      if (m_powerTimer == 0) {
        m_comboTimer -= 1.0f;
      } else if (m_powerTimer > 0) {
        m_comboTimer -= 0.2f;
        m_powerTimer -= 1;
      }
    }
  }

  if (m_comboTimer < 0.2f) {
    if (m_combo > 0) p_PlaySFX(3, 1.0f, 1.0f, 0.0f);
    m_combo = 0;
  }
  return 0;
}

int c_MyApp::p_InGame() {
  p_ResetDraw();
  m_menuSlide = -32;
  bool requested = false;
  for (int player = 0; player <= 3 && !requested; ++player) {
    requested = p_PlayKey(99, 1, player) != 0;
  }
  if (!requested && nx_Game_isOuya == 1) requested = p_PlayKeyAll(13) != 0;
  if (requested && m_paused == 0 && m_keyLatch == 0) {
    m_keyLatch = 1;
    m_paused = 1;
    m_pauseDir = 1;
    m_pauseSel = 0;
    p_PlaySFX2(98, 0.5f);
  }
  bool buttonPressed = p_Button2(16.0f, 16.0f, 0);
  if (buttonPressed && m_paused == 0 && m_pointerLatch == 0) {
    m_pointerLatch = 1;
    m_paused = 1;
    m_pauseDir = 1;
    m_pauseSel = 0;
    p_PlaySFX2(98, 0.5f);
  }
  if (m_paused == 1) p_PauseMenu();
  return 0;
}

int c_MyApp::p_GameOver() {
  float width = nx_Game_jscrw;
  float height = nx_Game_jscrh;
  if (m_gameOverTimer >= 1) {
    float timer = static_cast<float>(m_gameOverTimer);
    p_SetCol(0.0f, 0.0f, 0.0f, timer / 40.0f < 0.7f ? timer / 40.0f : 0.7f);
    p_Rect(-1.0f, -1.0f, width + 2.0f, height + 2.0f);
    long long band = static_cast<long long>(m_gameOverTimer) * 12;
    long long cap = nx_float_to_int_clamped(0.45f * height);
    if (band > cap) band = cap;
    float bandSize = static_cast<float>(band);
    p_ResetDraw();
    p_SetCol(255.0f, 255.0f, 0.0f, 0.5f);
    p_Rect(-1.0f, 0.45f * height - 8.0f, 2.0f * bandSize, 16.0f);
    p_SetCol(255.0f, 128.0f, 0.0f, 0.5f);
    p_Rect(width - 2.0f * bandSize, 0.55f * height - 8.0f, 2.0f * bandSize + 1.0f, 16.0f);
    p_SetSize(4.0f);
    p_SetCol(255.0f, 180.0f, 180.0f, 1.0f);
    p_Text(0.35f * width, bandSize, String(u"GAME"), 1.0f, 1.0f);
    p_Text(0.65f * width, height - bandSize, String(u"OVER"), 1.0f, 1.0f);
    String rank = p_MyNth();
    if (rank.Length() > 0) {
      p_SetCol(0.0f, 125.0f, 255.0f, 0.5f);
      p_Rect(0.35f * width, height - bandSize / 1.5f - 16.0f, 0.3f * width, 32.0f);
      p_SetSize(2.0f);
      p_SetCol(100.0f, 255.0f, 100.0f, 1.0f);
      // The backslash and n are two characters, which the text layout takes as a line break.
      p_Text(0.5f * width, height - bandSize / 1.5f, String(u"New Highscore\\n           ") + rank,
             0.5f, 2.0f);
    }
  }
  if (m_gameMode == ModeInGame) {
    m_gameOverTimer += 1;
    if (m_gameOverTimer >= nx_Game_GameOverDelay) {
      m_gameMode = ModeBackToMenu;
      m_gameOverTimer = nx_Game_GameOverFadeStart;
      m_jm->p_JM_Stop(1);
      // The player's own rules ask for a second stop while the music is on; it finds nothing
      // left playing.
      if (nx_Game_HasMusic == 1) m_jm->p_JM_Stop(1);
    }
  } else if (m_gameMode < ModeInGame) {
    m_gameOverTimer -= 2;
    if (m_gameOverTimer < 0) m_gameOverTimer = 0;
  }
  return 0;
}

int c_MyApp::p_LoadMenu() {
  p_ReturnFromGame();
  int top = nx_Game_TopList(m_gameType);
  if (top >= 0) {
    for (int place = 0; place < nx_Game_ListLength; ++place) {
      if (m_score > m_highScores[top + place]) {
        for (int below = nx_Game_ListLength - 1; below > place; --below) {
          m_highScores[top + below] = m_highScores[top + below - 1];
        }
        m_highScores[top + place] = m_score;
        break;
      }
    }
    int last = nx_Game_LastListsStart + top;
    for (int older = nx_Game_ListLength - 1; older > 0; --older) {
      m_highScores[last + older] = m_highScores[last + older - 1];
    }
    m_highScores[last] = m_score;
  }
  p_Save();
  return 0;
}

int c_MyApp::p_ReturnFromGame() {
  m_paused = 0;
  m_pauseDir = -1;
  m_pauseY = -64;
  m_jm->p_JM_Stop(1);
  return 0;
}

String c_MyApp::p_MyNth() {
  int top = nx_Game_TopList(m_gameType);
  if (top < 0) return String();
  for (int place = 0; place < nx_Game_ListLength; ++place) {
    if (m_score >= m_highScores[top + place]) return String(nx_Game_Ranks[place]);
  }
  return String();
}

int c_MyApp::p_Rand(float low, float high) {
  return nx_float_to_int_clamped(std::floor(nx_random_Rnd2(low, high + 0.99f)));
}

// A hook for posting a score to an online board; this system has none.
int c_MyApp::p_GC_PostScore(int, int) {
  return 0;
}
