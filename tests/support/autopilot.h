// A player for the headless game: it picks a game type in the title menu, steers the ball
// with the cursor keys toward the paddle that is due, and after a while stops trying and
// batters the top wall until the ball escapes, so tests and benchmarks can play whole games.
#pragma once

#include "support/game_harness.h"

// ---------------------------------------------------------------------------------------------
// Types

class Autopilot {
 public:
  explicit Autopilot(GameHarness& game) : game_(game) {}

  // The game type it starts from the title menu.
  int gameType = 2;
  // Correct paddle hits it plays for before it gives the game up.
  int hitsBeforeLosing = 8;
  // Updates of play after which it ends the game from the pause menu instead; 0 never.
  int updatesBeforeQuitting = 6000;
  // Correct hits after which it parks the ball where the paddle it has just hit will come to
  // rest, and pauses: the pause holds the ball but not the paddle, which then strikes the ball
  // every update, filling the particle and ripple pools. 0 never. It stays paused for
  // `parkedUpdates` and then quits from the pause menu.
  int parkAfterHits = 0;
  int parkedUpdates = 300;

  // Chooses this update's input as a player would from what the screen shows, then runs the
  // update.
  void Update();
  int GamesFinished() const { return gamesFinished_; }

 private:
  void InMenu();
  void InPauseMenu();
  void InPlay();
  // Holds the cursor keys that push the ball's velocity toward `wanted` on each axis, leaving
  // errors within `deadBand` alone.
  void Steer(float wantedX, float wantedY, float deadBand);
  // After a correct hit on `paddle`: chooses the resting place of the ball, if the paddle's
  // glide leaves time to get there.
  void PlanParking(int paddle);
  // Brings the ball to its resting place, level from the side, and pauses there.
  void Park();
  // A cursor key (37 to 40) held down or let go.
  void Hold(int code, bool down);
  void ReleaseAll();

  GameHarness& game_;
  // Left, up, right, down.
  bool held_[4] = {};
  int ticks_ = 0;
  int playUpdates_ = 0;
  int hitsThisGame_ = 0;
  int lastNextPaddle_ = 0;
  bool quitting_ = false;
  enum class Parking { Off, Approaching, Paused };
  Parking parking_ = Parking::Off;
  int parkPaddle_ = 0;
  float parkX_ = 0.0f;
  float parkY_ = 0.0f;
  // Beside the resting place, on the inner side, from where the ball slides in level.
  float besideX_ = 0.0f;
  bool besideReached_ = false;
  int parkedFor_ = 0;
  int gamesFinished_ = 0;
};
