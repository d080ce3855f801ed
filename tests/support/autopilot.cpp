// The autopilot: menu choice, steering toward the due paddle, giving up, and the pause menu.
#include "support/autopilot.h"

#include <algorithm>

#include "framework/math.h"
#include "game/globals.h"

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

// The fastest the autopilot wants the ball to travel, and how much of the distance to the
// target it asks for per update: fast enough to reach the paddle in time, slow enough to stop.
constexpr float kCruiseSpeed = 7.0f;
constexpr float kApproachGain = 0.08f;
// Velocity errors smaller than this are left alone, so the keys do not chatter.
constexpr float kDeadBand = 0.5f;
// Parking asks for more push near the target, and minds smaller errors.
constexpr float kParkingGain = 0.15f;
constexpr float kParkingDeadBand = 0.2f;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

// Steps a menu's selection one item toward `wanted`, and confirms it once there.
void PressToward(GameHarness& game, int selected, int wanted) {
  game.Press(selected < wanted ? kRight : (selected > wanted ? kLeft : kEnter));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

void Autopilot::Update() {
  c_MyApp& app = *game_.app;
  ticks_ += 1;
  if (app.m_loadStep > 0) {
    ReleaseAll();
  } else if (app.m_gameMode == c_MyApp::ModeMenu) {
    InMenu();
  } else if (app.m_gameMode == c_MyApp::ModeInGame) {
    playUpdates_ += 1;
    if (app.m_nextPaddle != lastNextPaddle_) {
      hitsThisGame_ += 1;
      if (parkAfterHits > 0 && hitsThisGame_ >= parkAfterHits && parking_ == Parking::Off) {
        PlanParking(lastNextPaddle_);
      }
    }
    lastNextPaddle_ = app.m_nextPaddle;
    if (updatesBeforeQuitting > 0 && playUpdates_ > updatesBeforeQuitting) quitting_ = true;
    if (app.m_paused == 1) {
      InPauseMenu();
    } else if (app.m_gameOver > 0 || app.m_ballOut > 0) {
      ReleaseAll();
    } else if (quitting_ && app.m_optionsOpen == 0) {
      ReleaseAll();
      if (ticks_ % 2 == 0) game_.Press(kEscape);
    } else {
      InPlay();
    }
  } else {
    ReleaseAll();
  }
  int before = app.m_gameMode;
  game_.Update();
  bool fromGame = before == c_MyApp::ModeInGame || before == c_MyApp::ModeBackToMenu;
  if (fromGame && app.m_gameMode == c_MyApp::ModeMenu) gamesFinished_ += 1;
  if (before != c_MyApp::ModeInGame && app.m_gameMode == c_MyApp::ModeInGame) {
    playUpdates_ = 0;
    hitsThisGame_ = 0;
    lastNextPaddle_ = app.m_nextPaddle;
    quitting_ = false;
    parking_ = Parking::Off;
  }
}

void Autopilot::InMenu() {
  c_MyApp& app = *game_.app;
  ReleaseAll();
  bool boxOpen = app.m_creditsOpen == 1 || app.m_optionsOpen == 1 || app.m_badgesOpen == 1;
  // One press every other update: the key must be seen released before it acts again.
  if (!boxOpen && ticks_ % 2 == 0) PressToward(game_, app.m_menuSel, gameType);
}

void Autopilot::InPauseMenu() {
  c_MyApp& app = *game_.app;
  ReleaseAll();
  if (parking_ == Parking::Paused && ++parkedFor_ > parkedUpdates) quitting_ = true;
  if (parking_ == Parking::Paused && !quitting_) return;
  if (app.m_pauseDir != 1 || app.m_optionsOpen == 1 || ticks_ % 2 != 0) return;
  PressToward(game_, app.m_pauseSel, quitting_ ? -1 : 0);
}

void Autopilot::InPlay() {
  c_MyApp& app = *game_.app;
  // The paddle came to rest first, or took another hit: give the plan up.
  if (parking_ == Parking::Approaching && game_.Entity(parkPaddle_, c_MyApp::EntityY) ==
                                              game_.Entity(parkPaddle_, c_MyApp::EntityTargetY)) {
    parking_ = Parking::Off;
  }
  if (parking_ == Parking::Approaching) return Park();
  float cell = app.p_CellSize();
  // Giving up: the middle of the top wall, where a block throws the ball straight back, so the
  // same cell takes every hit until it breaks and the ball escapes through the gap.
  float targetX = app.p_GridLeft() + 16.5f * cell;
  float targetY = -nx_Game_jscrh;
  if (hitsThisGame_ < hitsBeforeLosing) {
    int paddle =
        app.m_nextPaddle == c_MyApp::RightPaddle ? c_MyApp::RightPaddle : c_MyApp::LeftPaddle;
    float home = paddle == c_MyApp::LeftPaddle ? 3.0f * cell : nx_Game_jscrw - 3.0f * cell;
    targetX = home + game_.Entity(paddle, c_MyApp::EntityX);
    // Clear of the walls: the paddle still reaches 38 units either side of its centre.
    targetY = std::clamp(game_.Entity(paddle, c_MyApp::EntityY), 2.0f * cell,
                         nx_Game_jscrh - 2.0f * cell);
  }
  float ballX = game_.Entity(c_MyApp::Ball, c_MyApp::EntityX);
  float ballY = game_.Entity(c_MyApp::Ball, c_MyApp::EntityY);
  Steer(std::clamp((targetX - ballX) * kApproachGain, -kCruiseSpeed, kCruiseSpeed),
        std::clamp((targetY - ballY) * kApproachGain, -kCruiseSpeed, kCruiseSpeed), kDeadBand);
}

void Autopilot::Park() {
  float ballX = game_.Entity(c_MyApp::Ball, c_MyApp::EntityX);
  float ballY = game_.Entity(c_MyApp::Ball, c_MyApp::EntityY);
  bool level = nx_math_Abs2(ballY - parkY_) < 6.0f;
  float speed = nx_math_Abs2(game_.Entity(c_MyApp::Ball, c_MyApp::EntityVelocityX)) +
                nx_math_Abs2(game_.Entity(c_MyApp::Ball, c_MyApp::EntityVelocityY));
  if (level && nx_math_Abs2(ballX - besideX_) < 15.0f) besideReached_ = true;
  if (besideReached_ && level && nx_math_Abs2(ballX - parkX_) < 8.0f && speed < 1.5f) {
    ReleaseAll();
    game_.Press(kEscape);
    parking_ = Parking::Paused;
    parkedFor_ = 0;
    return;
  }
  float nearX = besideReached_ ? parkX_ : besideX_;
  Steer(std::clamp((nearX - ballX) * kParkingGain, -kCruiseSpeed, kCruiseSpeed),
        std::clamp((parkY_ - ballY) * kParkingGain, -kCruiseSpeed, kCruiseSpeed), kParkingDeadBand);
}

void Autopilot::PlanParking(int paddle) {
  float cell = game_.app->p_CellSize();
  float from = game_.Entity(paddle, c_MyApp::EntityY);
  float to = game_.Entity(paddle, c_MyApp::EntityTargetY);
  // Just beyond where the paddle stops: it reaches 38 units either side, so it touches the
  // ball only at the end of its glide, long enough after the hit for the ball to get there.
  float restY = from > to ? to - 30.0f : to + 30.0f;
  if (nx_math_Abs2(from - to) < 80.0f || restY < 2.5f * cell ||
      restY > nx_Game_jscrh - 2.5f * cell) {
    return;
  }
  float home = paddle == c_MyApp::LeftPaddle ? 3.0f * cell : nx_Game_jscrw - 3.0f * cell;
  parkPaddle_ = paddle;
  parkX_ = home + game_.Entity(paddle, c_MyApp::EntityX);
  parkY_ = restY;
  besideX_ = parkX_ + (paddle == c_MyApp::LeftPaddle ? 50.0f : -50.0f);
  besideReached_ = false;
  parking_ = Parking::Approaching;
}

void Autopilot::Steer(float wantedX, float wantedY, float deadBand) {
  // While the controls are reversed, a player pushes the other way.
  float sign = game_.app->m_reverseTimer > 0 ? -1.0f : 1.0f;
  float errorX = (wantedX - game_.Entity(c_MyApp::Ball, c_MyApp::EntityVelocityX)) * sign;
  float errorY = (wantedY - game_.Entity(c_MyApp::Ball, c_MyApp::EntityVelocityY)) * sign;
  Hold(kLeft, errorX < -deadBand);
  Hold(kRight, errorX > deadBand);
  Hold(kUp, errorY < -deadBand);
  Hold(kDown, errorY > deadBand);
}

void Autopilot::Hold(int code, bool down) {
  bool& held = held_[code - kLeft];
  if (held == down) return;
  held = down;
  down ? game_.KeyDown(code) : game_.KeyUp(code);
}

void Autopilot::ReleaseAll() {
  for (int code = kLeft; code <= kDown; ++code) Hold(code, false);
}
