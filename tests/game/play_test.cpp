// Game flow on a 640 x 480 screen: the start, paddle hits, the ball's escape, what pausing
// stops, the combo timers, the game-over overlay and the score lists; and sound effects with
// the audio device's channel calls written down: the jingle once a run, the ring of 24
// channels, missing effects and the sound option.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/random.h"
#include "game/music_player.h"
#include "game/globals.h"
#include "support/game_harness.h"

namespace {

using App = c_MyApp;

using Strings = std::vector<std::string>;

// Cells of 20 units: the left paddle at x 60, the right one at 580, walls on columns 0 and 31
// and rows 4 and 27.
class Play : public testing::Test {
 protected:
  GameHarness game;
  App* app = game.app;
  RecordingAudio* audio = nullptr;

  void SetUp() override { game.FinishLoading(); }
  // Starts a game and records the sounds from then on.
  void Start(int type) {
    app->m_gameType = type;
    app->m_gameMode = App::ModeStartGame;
    game.Update();
    audio = RecordingAudio::Install(app);
  }
  void PutBall(float x, float y) {
    game.Entity(App::Ball, App::EntityX) = x;
    game.Entity(App::Ball, App::EntityY) = y;
    game.Entity(App::Ball, App::EntityVelocityX) = 0.0f;
    game.Entity(App::Ball, App::EntityVelocityY) = 0.0f;
  }
  std::vector<int> List(int start) {
    return std::vector<int>(app->m_highScores.Data() + start,
                            app->m_highScores.Data() + start + 10);
  }
};

TEST_F(Play, TheDuePaddleScoresTheOtherBreaksTheCombo) {
  Start(2);
  app->m_nextPaddle = App::LeftPaddle;
  PutBall(65.0f, 250.0f);
  game.Update();
  EXPECT_FLOAT_EQ(game.Entity(App::Ball, App::EntityVelocityX), 12.0f - 0.1f);
  EXPECT_FLOAT_EQ(game.Entity(App::Ball, App::EntityX), 68.0f + 12.0f);
  // Next paddle, combo, volley, score, item countdown.
  EXPECT_EQ(std::vector<int>({app->m_nextPaddle, app->m_combo, app->m_volley, app->m_score,
                              app->m_itemCountdown}),
            std::vector<int>({App::RightPaddle, 1, 1, 5, 9}));
  EXPECT_FLOAT_EQ(app->m_comboTimer, 129.0f);
  EXPECT_EQ(audio->effects, std::vector<int>{2});
  // The shown score catches up at once when it is fewer than 6 behind.
  EXPECT_TRUE(game.HasText("00000005"));

  // The right paddle mirrors it, and the combo grows.
  PutBall(575.0f, 240.0f);
  game.Update();
  EXPECT_FLOAT_EQ(game.Entity(App::Ball, App::EntityVelocityX), -12.0f + 0.1f);
  EXPECT_EQ(app->m_score, 5 + 10);

  // The other paddle: sound 6, then 3 for the combo lost; with no combo left, 6 alone.
  audio->effects.clear();
  for (int touch = 0; touch < 2; ++touch) {
    PutBall(575.0f, 240.0f);
    game.Update();
  }
  EXPECT_FLOAT_EQ(game.Entity(App::Ball, App::EntityVelocityX), -8.0f + 0.1f);
  EXPECT_EQ(audio->effects, (std::vector<int>{6, 3, 6}));
  EXPECT_EQ(std::vector<int>({app->m_nextPaddle, app->m_combo, app->m_volley}),
            std::vector<int>({App::LeftPaddle, 0, 0}));

  // The rate stops at 2, the ripple's speed does not: pitches 0.75 and 2.25 give speeds 6 and
  // 18, plus the same random part from the same generator state.
  int speeds[2] = {};
  for (int combo : {0, 60}) {
    for (int i = 0; i < app->m_ripples.Length(); ++i) app->m_ripples[i] = 0.0f;
    audio->rates.clear();
    app->m_nextPaddle = App::LeftPaddle;
    app->m_combo = combo;
    PutBall(65.0f, game.Entity(App::LeftPaddle, App::EntityY));
    nx_random_Seed = 12345;
    game.Update();
    EXPECT_FLOAT_EQ(audio->rates.at(0), combo == 0 ? 0.75f : 2.0f);
    speeds[combo / 60] = static_cast<int>(
        app->m_ripples[(App::RippleCount - 1) * App::EffectFloats + App::RippleSpeed]);
  }
  EXPECT_EQ(speeds[1] - speeds[0], 12);
}

TEST_F(Play, TheBallIsOutPastThirtyTwoUnitsBeyondTheScreen) {
  // x, y, and 2 when it is out (1 as it leaves, 2 at the end of that update).
  const float cases[][3] = {
      {-32.0f, 240.0f, 0}, {672.1f, 240.0f, 2}, {320.0f, -32.0f, 0}, {320.0f, 512.1f, 2}};
  for (const auto& [x, y, out] : cases) {
    Start(2);
    PutBall(x, y);
    game.Update();
    EXPECT_EQ(app->m_ballOut, out) << x << "," << y;
  }
  // The lost ball's sound comes in the next update, the game's end 30 updates after it left.
  game.Update(28);
  EXPECT_EQ(audio->effects, std::vector<int>{5});
  EXPECT_EQ(app->m_gameOver, 0);
  game.Update();
  EXPECT_EQ(app->m_gameOver, 1);
}

TEST_F(Play, TheTimersRunOnlyWhileTheBarShowsAndPausingStopsOnlyTheBallAndThem) {
  Start(2);
  PutBall(320.0f, 300.0f);
  app->m_combo = 4;
  app->m_comboTimer = 2.0f;
  game.Update();
  EXPECT_FLOAT_EQ(app->m_comboTimer, 1.0f);
  // Power makes the bar drain a fifth as fast, and spends itself meanwhile.
  app->m_powerTimer = 10;
  game.Update(4);
  EXPECT_FLOAT_EQ(app->m_comboTimer, 0.2f);
  EXPECT_EQ(app->m_powerTimer, 6);
  EXPECT_EQ(app->m_combo, 4);
  // Below 0.2 the combo ends with sound 3; with the bar gone, power stops running down.
  game.Update();
  EXPECT_EQ(app->m_combo, 0);
  int power = app->m_powerTimer;
  app->m_comboTimer = 0.0f;
  game.Update(5);
  EXPECT_EQ(app->m_powerTimer, power);
  EXPECT_EQ(audio->effects, std::vector<int>{3});

  game.Press(kEscape);
  game.Update();
  ASSERT_EQ(app->m_paused, 1);
  app->m_combo = 3;
  app->m_comboTimer = 50.0f;
  app->m_reverseTimer = 40;
  PutBall(320.0f, 300.0f);
  // Steering goes on (reversed, as the item left it): the left key builds up velocity to the
  // right, and the ball stays where it is.
  game.KeyDown(kLeft);
  game.Update(10);
  game.KeyUp(kLeft);
  EXPECT_GT(game.Entity(App::Ball, App::EntityVelocityX), 1.0f);
  EXPECT_EQ(game.Entity(App::Ball, App::EntityX), 320.0f);
  EXPECT_EQ(app->m_comboTimer, 50.0f);
  EXPECT_EQ(app->m_reverseTimer, 40);

  // A paddle gliding onto the resting ball keeps registering wrong hits.
  audio->effects.clear();
  app->m_nextPaddle = App::RightPaddle;
  PutBall(65.0f, 250.0f);
  game.Update(3);
  EXPECT_EQ(audio->effects, (std::vector<int>{6, 3, 6, 6}));
  EXPECT_EQ(game.Entity(App::Ball, App::EntityX), 68.0f);

  // Resumed, the ball moves off with the velocity the paddle gave it.
  game.Press(kEnter);
  game.Update(20);
  EXPECT_EQ(app->m_paused, 0);
  EXPECT_GT(game.Entity(App::Ball, App::EntityX), 68.0f);
}

// The game ends under the pause menu, which the player opened while the ball flew off: the
// way back to the menu clears the panel and stops the tune.
TEST_F(Play, TheOverlayAnnouncesTiesAtTheirPlaceButTheListStoresThemBelow) {
  for (int place = 0; place < 10; ++place) {
    app->m_highScores[10 + place] = 100 - 10 * place;
    app->m_highScores[40 + place] = place + 1;
  }
  Start(2);
  for (auto [score, rank] : {std::pair{100, "1st!"}, {50, "6th"}, {10, "10th"}, {9, ""}}) {
    app->m_score = score;
    EXPECT_EQ(app->p_MyNth().ToUtf8(), rank) << score;
  }
  int saves = game.host.saveCount;
  app->m_score = 50;
  PutBall(-100.0f, 240.0f);
  game.Update();
  game.Press(kEscape);
  game.Update(50);
  ASSERT_EQ(app->m_gameOver, 1);
  // The overlay's words stand four times the size of the text.
  std::string large;
  for (int index : game.RecordsOfKind(static_cast<float>(app->m_fontSlot))) {
    const float* glyph = game.Record(index);
    if (glyph[App::RecordScaleX] == 4.0f) large += static_cast<char>(glyph[App::RecordFrame] + 32);
  }
  EXPECT_EQ(large, "GAMEOVER");
  EXPECT_TRUE(game.HasText("New Highscore") && game.HasText("6th"));

  for (int i = 0; i < 200 && app->m_gameMode != App::ModeMenu; ++i) game.Update();
  EXPECT_EQ(List(10), std::vector<int>({100, 90, 80, 70, 60, 50, 50, 40, 30, 20}));
  EXPECT_EQ(List(40), std::vector<int>({50, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(game.host.saveCount, saves + 1);
  // The overlay fades out behind the menu from 75, two a step.
  EXPECT_EQ(app->m_gameOverTimer, 75 - 2 * 2);
  EXPECT_EQ(std::vector<int>({app->m_paused, app->m_pauseDir, app->m_pauseY}),
            std::vector<int>({0, -1, -64}));
  EXPECT_EQ(app->m_jm->m_state, 0);
}

TEST(SoundEffects, TheRingTakesChannelsInTurnUnlessGated) {
  GameHarness game;
  c_MyApp* app = game.app;
  RecordingAudio* audio = RecordingAudio::Install(app);
  // The loader's jingle plays once, on channel 1; a reload for a new window size is silent.
  game.FinishLoading();
  game.gl.windowWidth = 800;  // the window changes size
  game.gl.windowHeight = 600;
  game.Render();
  game.FinishLoading();
  EXPECT_EQ(audio->calls, (Strings{"stop 1 0", "play 1 0", "rate 1 1", "volume 1 1", "pan 1 0"}));

  // A missing effect takes its turn too: the channel is stopped and set up, nothing starts.
  audio->calls.clear();
  app->p_PlaySFX(98, 0.5f, 0.25f, 0.0f);
  app->p_PlaySFX(50, 1.0f, 1.0f, 0.0f);
  EXPECT_EQ(audio->calls, (Strings{"stop 2 0", "play 2 0", "rate 2 0.5", "volume 2 0.25", "pan 2 0",
                                   "stop 3 0", "rate 3 1", "volume 3 1", "pan 3 0"}));
  // Sound modes 0 and 3 (music only) touch no channel and keep the ring where it is.
  for (int mode : {0, 3}) {
    app->m_options[c_MyApp::OptionSound] = mode;
    app->p_PlaySFX2(4, 1.0f);
  }
  EXPECT_EQ(audio->calls.size(), 9u);
  // Round the ring from 4 to 23, then 0: the 25th effect is back on the first one's channel.
  app->m_options[c_MyApp::OptionSound] = 2;
  for (int i = 0; i < 24; ++i) {
    audio->calls.clear();
    app->p_PlaySFX2(4, 1.0f);
    EXPECT_EQ(audio->calls.at(0), "stop " + std::to_string((4 + i) % 24) + " 0");
  }
}

}  // namespace
