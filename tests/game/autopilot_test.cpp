// Whole games played by the autopilot under the sanitizers, with full collections forced as
// they go: every game ends and returns to the menu, every score lands in the lists by the
// rules, and the collector's live bytes stay level.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "runtime/gc.h"
#include "support/autopilot.h"

namespace {

using App = c_MyApp;

std::vector<int> Lists(const App& app) {
  std::vector<int> lists;
  for (int i = 0; i < 60; ++i) lists.push_back(app.m_highScores[i]);
  return lists;
}

// The lists after a game of `type` that scored `score`: into the top list above the first
// entry it beats, and always at the head of the last list.
std::vector<int> Entered(std::vector<int> lists, int type, int score) {
  auto top = lists.begin() + (type - 1) * 10;
  auto place = std::find_if(top, top + 10, [score](int entry) { return score > entry; });
  if (place != top + 10) {
    std::copy_backward(place, top + 9, top + 10);
    *place = score;
  }
  auto last = lists.begin() + 30 + (type - 1) * 10;
  std::copy_backward(last, last + 9, last + 10);
  *last = score;
  return lists;
}

int LiveParticles(const App& app) {
  int live = 0;
  for (int i = 0; i <= app.m_particleCount; ++i) {
    live += app.m_particles[i * App::EffectFloats + App::ParticleKind] > 0.0f ? 1 : 0;
  }
  return live;
}

int Ripples(const App& app) {
  int live = 0;
  for (int i = 0; i < App::RippleCount; ++i) {
    live += app.m_ripples[i * App::EffectFloats + App::RippleActive] > 0.0f ? 1 : 0;
  }
  return live;
}

TEST(Autopilot, PlaysTwentyWholeGames) {
  GameHarness game;
  game.FinishLoading();
  Autopilot pilot(game);
  std::vector<int> liveBytes;
  int updates = 0;
  int mostParticles = 0;
  int mostRipples = 0;
  for (int played = 0; played < 20; ++played) {
    pilot.gameType = 1 + played % 3;
    pilot.hitsBeforeLosing = played % 7 * 2;
    // Every fifth game is given up from the pause menu instead of by losing the ball; in
    // another the ball is parked under a paddle and the game paused until the pools are full.
    bool quits = played % 5 == 4;
    bool parks = played % 5 == 2;
    pilot.updatesBeforeQuitting = quits ? 240 : (parks ? 4000 : 0);
    if (quits || parks) pilot.hitsBeforeLosing = 1000;
    pilot.parkAfterHits = parks ? 3 : 0;
    pilot.parkedUpdates = 60;
    std::vector<int> before = Lists(*game.app);
    int finished = pilot.GamesFinished();
    for (int i = 0; i < 20000 && pilot.GamesFinished() == finished; ++i) {
      pilot.Update();
      if (++updates % 300 == 0) gc_collect_all();
      mostParticles = std::max(mostParticles, LiveParticles(*game.app));
      mostRipples = std::max(mostRipples, Ripples(*game.app));
    }
    ASSERT_GT(pilot.GamesFinished(), finished) << "game " << played << " did not end";
    EXPECT_EQ(game.app->m_gameType, pilot.gameType);
    EXPECT_EQ(Lists(*game.app), Entered(before, pilot.gameType, game.app->m_score))
        << "game " << played << " scored " << game.app->m_score;
    gc_collect_all();
    liveBytes.push_back(gc_alloced_bytes);
  }
  // Every list stays sorted, best first.
  for (int type = 0; type < 3; ++type) {
    const int* top = &game.app->m_highScores[type * 10];
    EXPECT_TRUE(std::is_sorted(top, top + 10, std::greater<int>())) << type;
  }
  // Parked under a paddle, the pause fills the particle pool and starts a ripple in every
  // update of a ripple's life.
  EXPECT_EQ(mostParticles, 251);
  EXPECT_GE(mostRipples, 40);
  // Scores varied: the autopilot played some games well.
  EXPECT_GT(*std::max_element(&game.app->m_highScores[0], &game.app->m_highScores[30]), 100);
  // What the collector keeps after the first game does not grow with further games.
  int settled = liveBytes[1];
  for (int played = 2; played < 20; ++played) {
    EXPECT_LE(liveBytes[played], settled + 16 * 1024) << played;
  }
}

}  // namespace
