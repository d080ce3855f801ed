// Whole games played by the autopilot under the sanitizers, with full collections forced as
// they go (after every host event through loading and the first games): every game ends and
// returns to the menu, every score lands in the lists by the rules, and the collector's live
// bytes stay level.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "runtime/gc.h"
#include "support/autopilot.h"

namespace {

using App = c_MyApp;

// A game's store that skips the write barrier is caught only when a collection ends between
// the store and the next use; through loading and this many updates of play one ends after
// every event.
constexpr int kCollectedUpdates = 2000;

// The lists after a game of `type` that scored `score`: into the top list above the first
// entry it beats, and always at the head of the last list.
std::vector<int> Entered(std::vector<int> lists, int type, int score) {
  auto top = lists.begin() + (type - 1) * 10;
  // Placed past the list when it beats no entry, and then dropped again with the list's last.
  lists.insert(std::find_if(top, top + 10, [score](int entry) { return score > entry; }), score);
  lists.erase(lists.begin() + type * 10);
  lists.insert(lists.begin() + 20 + type * 10, score);
  lists.erase(lists.begin() + 30 + type * 10);
  return lists;
}

// The records of an effect pool whose first slot (kind, or active) is above 0.
int Live(const Array<float>& pool, int records) {
  int live = 0;
  for (int i = 0; i < records; ++i) live += pool[i * App::EffectFloats] > 0.0f ? 1 : 0;
  return live;
}

TEST(Autopilot, PlaysTwentyWholeGames) {
  GameHarness game;
  game.host.collectEveryEvent = true;
  game.FinishLoading();
  const App& app = *game.app;
  Autopilot pilot(game);
  std::vector<int> liveBytes;
  int updates = 0;
  int mostParticles = 0;
  int mostRipples = 0;
  for (int played = 0; played < 20; ++played) {
    pilot.gameType = 1 + played % 3;
    // Every fifth game is given up from the pause menu instead of by losing the ball; in
    // another the ball is parked under a paddle and the game paused until the pools are full.
    bool quits = played % 5 == 4;
    bool parks = played % 5 == 2;
    pilot.hitsBeforeLosing = quits || parks ? 1000 : played % 7 * 2;
    pilot.updatesBeforeQuitting = quits ? 240 : (parks ? 4000 : 0);
    pilot.parkAfterHits = parks ? 3 : 0;
    pilot.parkedUpdates = 60;
    std::vector<int> before(app.m_highScores.Data(), app.m_highScores.Data() + 60);
    int finished = pilot.GamesFinished();
    for (int i = 0; i < 20000 && pilot.GamesFinished() == finished; ++i) {
      game.host.collectEveryEvent = updates < kCollectedUpdates;
      pilot.Update();
      if (++updates % 300 == 0) gc_collect_all();
      mostParticles = std::max(mostParticles, Live(app.m_particles, app.m_particleCount + 1));
      mostRipples = std::max(mostRipples, Live(app.m_ripples, App::RippleCount));
    }
    ASSERT_GT(pilot.GamesFinished(), finished) << "game " << played << " did not end";
    EXPECT_EQ(std::vector<int>(app.m_highScores.Data(), app.m_highScores.Data() + 60),
              Entered(before, pilot.gameType, app.m_score))
        << "game " << played << " scored " << app.m_score;
    gc_collect_all();
    liveBytes.push_back(gc_alloced_bytes);
  }
  // Parked under a paddle, the pause fills the particle pool and starts a ripple in every
  // update of a ripple's life.
  EXPECT_EQ(mostParticles, 251);
  EXPECT_GE(mostRipples, 40);
  // Scores varied: the autopilot played some games well.
  EXPECT_GT(*std::max_element(&app.m_highScores[0], &app.m_highScores[30]), 100);
  // What the collector keeps after the first game does not grow with further games.
  for (int played = 2; played < 20; ++played) {
    EXPECT_LE(liveBytes[played], liveBytes[1] + 16 * 1024) << played;
  }
}

}  // namespace
