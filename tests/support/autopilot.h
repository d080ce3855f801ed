// A player for the headless game: it picks a game type in the title menu, steers the ball
// with the cursor keys toward the paddle that is due, and after a while stops trying and
// batters the top wall until the ball escapes, so tests and benchmarks can play whole games.
#pragma once

#include "support/game_harness.h"

// ---------------------------------------------------------------------------------------------
// Types

class Autopilot {
 public:
  explicit Autopilot(GameHarness& game);
  Autopilot(const Autopilot&) = delete;
  Autopilot& operator=(const Autopilot&) = delete;

  // The game type it starts from the title menu.
  int gameType = 2;
  // Correct paddle hits it plays for before it gives the game up.
  int hitsBeforeLosing = 8;
  // Updates of play after which it ends the game from the pause menu instead; 0 never.
  int updatesBeforeQuitting = 6000;

  // Chooses this update's input as a player would from what the screen shows, then runs the
  // update.
  void Update();
  // Updates until a game has been started, played to its end, and the title menu is back.
  // False when that takes more than `limit` updates.
  bool PlayGame(int limit = 20000);
  int GamesFinished() const { return gamesFinished_; }

 private:
  void InMenu();
  void InPauseMenu();
  void InPlay();
  // Holds the cursor keys that push the ball's velocity toward `wanted` on each axis.
  void Steer(float wantedX, float wantedY);
  void Hold(int code, bool down);
  void ReleaseAll();

  GameHarness& game_;
  bool held_[4] = {};
  int ticks_ = 0;
  int playUpdates_ = 0;
  int hitsThisGame_ = 0;
  int lastNextPaddle_ = 0;
  bool quitting_ = false;
  int gamesFinished_ = 0;
};
