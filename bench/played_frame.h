// The heaviest frame the autopilot reaches in play, shared by the desktop and web benchmarks: a
// long game of type 1, its ripples lighting the whole field, then the ball parked under a
// paddle while paused, which fills the particle and ripple pools.
#pragma once

// <chrono> for timing the updates of play.
#include <chrono>
#include <utility>
#include <vector>

#include "bench/bench_runs.h"
#include "support/autopilot.h"
#include "support/game_harness.h"

// ---------------------------------------------------------------------------------------------
// Types

// A frame's draw records and clear colour, as the update that recorded them left them.
struct bench_Capture {
  std::vector<float> records;
  float clear[4] = {};
  double updateMicroseconds = 0.0;
  int heaviestRecords = 0;
};

// ---------------------------------------------------------------------------------------------
// Public functions

inline double bench_Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Keeps the frame the game recorded last, if it is the heaviest so far.
inline void bench_Keep(const GameHarness& game, bench_Capture& capture) {
  if (game.RecordCount() <= capture.heaviestRecords) return;
  capture.heaviestRecords = game.RecordCount();
  capture.records.assign(game.app->m_drawList.Data(),
                         game.app->m_drawList.Data() + game.app->m_drawCount);
  capture.clear[0] = game.app->m_clsRed;
  capture.clear[1] = game.app->m_clsGreen;
  capture.clear[2] = game.app->m_clsBlue;
  capture.clear[3] = game.app->m_clsAlpha;
}

// Plays headless until the heaviest frame of a `width` x `height` window, timing the updates of
// play; the update figure is the median of those whose pictures come near the heaviest.
inline bench_Capture bench_PlayedFrame(int width, int height) {
  constexpr int playUpdates = 14000;
  GameHarness game(width, height);
  game.FinishLoading();
  Autopilot pilot(game);
  pilot.gameType = 1;
  pilot.hitsBeforeLosing = 1000000;
  pilot.updatesBeforeQuitting = 0;
  pilot.parkAfterHits = 150;
  pilot.parkedUpdates = 150;
  bench_Capture capture;
  std::vector<std::pair<int, double>> updates;
  for (int update = 0; update < playUpdates && pilot.GamesFinished() == 0; ++update) {
    bool playing = game.app->m_gameMode == c_MyApp::ModeInGame;
    double start = bench_Seconds();
    pilot.Update();
    double seconds = bench_Seconds() - start;
    if (!playing) continue;
    updates.emplace_back(game.RecordCount(), seconds);
    bench_Keep(game, capture);
  }
  std::vector<double> heavy;
  for (const auto& [records, seconds] : updates) {
    if (records * 10 >= capture.heaviestRecords * 8) heavy.push_back(seconds * 1e6);
  }
  capture.updateMicroseconds = bench_Median(heavy);
  return capture;
}
