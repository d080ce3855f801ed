// Game flow on a 640 x 480 screen: the start and its random draws, paddle hits, the ball's
// escape, what pausing stops, the combo timers, the head-up texts, the game-over overlay, the
// score lists and the way back to the menu.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "devices/audio.h"
#include "framework/audio.h"
#include "framework/random.h"
#include "game/music_player.h"
#include "support/game_harness.h"

namespace {

using App = c_MyApp;

constexpr int kEnter = 13;
constexpr int kEscape = 27;
constexpr int kLeft = 37;

// The real device, noting which effect each play started and at what rate.
class EffectRecorder : public gxtkAudio {
 public:
  c_MyApp* app = nullptr;
  std::vector<int> effects;
  std::vector<float> rates;

  int PlaySample(gxtkSample* sample, int channel, int flags) override {
    int effect = -1;
    for (int n = 0; n < app->m_sfx.Length(); ++n) {
      if (app->m_sfx[n] != nullptr && app->m_sfx[n]->m_sample == sample) effect = n;
    }
    effects.push_back(effect);
    rates.push_back(0.0f);
    return gxtkAudio::PlaySample(sample, channel, flags);
  }
  int SetRate(int channel, float rate) override {
    if (!rates.empty()) rates.back() = rate;
    return gxtkAudio::SetRate(channel, rate);
  }
};

// A game on a 640 x 480 screen: cells of 20 units, the left paddle at x 60, the right one at
// 580, walls on columns 0 and 31 and rows 4 and 27.
class Play : public testing::Test {
 protected:
  GameHarness game;
  App* app = game.app;
  EffectRecorder* audio = nullptr;

  void SetUp() override { game.FinishLoading(); }

  void Start(int type) {
    app->m_gameType = type;
    app->m_gameMode = App::ModeStartGame;
    game.Update();
  }
  void RecordEffects() {
    audio = gc_new<EffectRecorder>();
    audio->app = app;
    nx_audio_SetAudioDevice(audio);
  }
  float& Entity(int entity, int slot) { return app->m_players[entity * App::EntityStride + slot]; }
  void PutBall(float x, float y, float velocityX = 0.0f, float velocityY = 0.0f) {
    Entity(App::Ball, App::EntityX) = x;
    Entity(App::Ball, App::EntityY) = y;
    Entity(App::Ball, App::EntityVelocityX) = velocityX;
    Entity(App::Ball, App::EntityVelocityY) = velocityY;
  }
  int TopEntry(int type, int place) { return app->m_highScores[(type - 1) * 10 + place]; }
  int LastEntry(int type, int place) { return app->m_highScores[30 + (type - 1) * 10 + place]; }
  // Ends the game by losing the ball and runs on until the title menu is back.
  void LoseBallAndReturn() {
    PutBall(-100.0f, 240.0f);
    for (int i = 0; i < 200 && app->m_gameMode != App::ModeMenu; ++i) game.Update();
  }
};

uint32_t Step(uint32_t seed, int draws) {
  for (int i = 0; i < draws; ++i) seed = seed * 1664525u + 1013904223u;
  return seed;
}

TEST_F(Play, AGameStartsFromTheSameRandomStateWhateverCameBefore) {
  // The tune start reseeds for the arrangement: its last reseed is voice 4's (seed + 28), then
  // 15 draws and the repeat count; the stars take 101 records of six draws, and the first
  // paddle one more.
  uint32_t expected = Step(37171650u + 28u, 15 + 1 + 606 + 1);
  float lastDraw = static_cast<float>(expected >> 8) / 16777216.0f;
  for (int type = 1; type <= 3; ++type) {
    nx_random_Seed = 1000 * type + 7;
    app->m_shownScore = 500;
    Start(type);
    EXPECT_EQ(static_cast<uint32_t>(nx_random_Seed), expected) << type;
    EXPECT_EQ(app->m_nextPaddle, static_cast<int>(1.0f + 1.99f * lastDraw));
    EXPECT_EQ(app->m_comboTime, type == 1 ? 160 : type == 2 ? 130 : 100);
    EXPECT_EQ(app->m_jm->m_state, 2);
    EXPECT_EQ(app->m_itemCountdown, 10);
    EXPECT_EQ(Entity(App::Ball, App::EntityX), 320.0f);
    EXPECT_EQ(Entity(App::LeftPaddle, App::EntityTargetY), 240.0f);
    // The shown score eases down from the last game's instead of starting at 0.
    EXPECT_EQ(app->m_shownScore, 500);
    game.Update();
    EXPECT_EQ(app->m_shownScore, 500 - 500 / 6);
  }
}

TEST_F(Play, TheDuePaddleScoresAndThrowsTheBallAcross) {
  Start(2);
  RecordEffects();
  app->m_nextPaddle = App::LeftPaddle;
  PutBall(65.0f, 250.0f);
  game.Update();
  EXPECT_FLOAT_EQ(Entity(App::Ball, App::EntityVelocityX), 12.0f - 0.1f);
  EXPECT_FLOAT_EQ(Entity(App::Ball, App::EntityX), 68.0f + 12.0f);
  EXPECT_EQ(app->m_nextPaddle, App::RightPaddle);
  EXPECT_EQ(app->m_combo, 1);
  EXPECT_EQ(app->m_volley, 1);
  EXPECT_EQ(app->m_score, 5);
  EXPECT_EQ(app->m_itemCountdown, 9);
  EXPECT_FLOAT_EQ(app->m_comboTimer, 129.0f);
  float target = Entity(App::LeftPaddle, App::EntityTargetY);
  EXPECT_TRUE(target >= 16.0f && target <= 464.0f && target == static_cast<int>(target));
  ASSERT_EQ(audio->effects, std::vector<int>{2});
  EXPECT_FLOAT_EQ(audio->rates[0], 0.75f);
  // The shown score catches up at once when it is fewer than 6 behind.
  EXPECT_TRUE(game.HasText("00000005"));
  EXPECT_TRUE(game.HasText("Combo"));

  // The right paddle mirrors it, and the combo grows.
  PutBall(575.0f, 240.0f);
  game.Update();
  EXPECT_FLOAT_EQ(Entity(App::Ball, App::EntityVelocityX), -12.0f + 0.1f);
  EXPECT_FLOAT_EQ(Entity(App::Ball, App::EntityX), 572.0f - 12.0f);
  EXPECT_EQ(app->m_nextPaddle, App::LeftPaddle);
  EXPECT_EQ(app->m_combo, 2);
  EXPECT_EQ(app->m_score, 5 + 10);

  // Touching the other paddle: sound 6, then 3 for the combo lost, and everything resets.
  audio->effects.clear();
  PutBall(575.0f, 240.0f);
  game.Update();
  EXPECT_FLOAT_EQ(Entity(App::Ball, App::EntityVelocityX), -8.0f + 0.1f);
  EXPECT_EQ(audio->effects, (std::vector<int>{6, 3}));
  EXPECT_EQ(app->m_combo, 0);
  EXPECT_EQ(app->m_volley, 0);
  EXPECT_EQ(app->m_comboTimer, 0.0f);
  EXPECT_EQ(app->m_nextPaddle, App::LeftPaddle);

  // With no combo to lose, a wrong touch plays sound 6 alone.
  audio->effects.clear();
  PutBall(575.0f, 240.0f);
  game.Update();
  EXPECT_EQ(audio->effects, std::vector<int>{6});
}

// The speed of the ripple a correct hit makes, from the same random state each time.
int RippleSpeedOfAHitWithCombo(int combo, float* rate) {
  GameHarness game;
  game.FinishLoading();
  App* app = game.app;
  app->m_gameType = 2;
  app->m_gameMode = App::ModeStartGame;
  game.Update();
  EffectRecorder* audio = gc_new<EffectRecorder>();
  audio->app = app;
  nx_audio_SetAudioDevice(audio);
  app->m_nextPaddle = App::LeftPaddle;
  app->m_combo = combo;
  app->m_players[App::Ball * App::EntityStride + App::EntityX] = 65.0f;
  nx_random_Seed = 12345;
  game.Update();
  *rate = audio->rates.empty() ? 0.0f : audio->rates[0];
  // The pool was empty, so the new ripple took the highest slot.
  return static_cast<int>(
      app->m_ripples[(App::RippleCount - 1) * App::EffectFloats + App::RippleSpeed]);
}

TEST(PlayPitch, AComboOf60PlaysAtTheCappedRateButRipplesAtTheFullPitch) {
  float plainRate = 0.0f;
  float comboRate = 0.0f;
  int plain = RippleSpeedOfAHitWithCombo(0, &plainRate);
  int combo = RippleSpeedOfAHitWithCombo(60, &comboRate);
  EXPECT_FLOAT_EQ(plainRate, 0.75f);
  EXPECT_FLOAT_EQ(comboRate, 2.0f);
  // Pitches 0.75 and 2.25 give speeds 6 and 18; the ripple's own random part is the same.
  EXPECT_EQ(combo - plain, 12);
}

TEST_F(Play, TheBallIsOutPastThirtyTwoUnitsBeyondTheScreen) {
  struct Case {
    float x, y;
    bool out;
  };
  const Case cases[] = {{-32.0f, 240.0f, false}, {-32.1f, 240.0f, true},  {672.0f, 240.0f, false},
                        {672.1f, 240.0f, true},  {320.0f, -32.0f, false}, {320.0f, 512.1f, true}};
  for (const Case& place : cases) {
    Start(2);
    PutBall(place.x, place.y);
    game.Update();
    EXPECT_EQ(app->m_ballOut, place.out ? 2 : 0) << place.x << "," << place.y;
  }
  // The lost ball's sound comes in the next update, the game's end 30 updates after it left.
  RecordEffects();
  game.Update(28);
  EXPECT_EQ(audio->effects[0], 5);
  EXPECT_EQ(app->m_gameOver, 0);
  game.Update();
  EXPECT_EQ(app->m_gameOver, 1);
}

TEST_F(Play, PausingStopsOnlyTheBallsMotionAndTheCountdowns) {
  Start(2);
  app->m_combo = 3;
  app->m_comboTimer = 50.0f;
  app->m_powerTimer = 0;
  app->m_reverseTimer = 0;
  PutBall(320.0f, 300.0f, 0.0f, 2.0f);
  app->m_reverseTimer = 40;
  game.Press(kEscape);
  game.Update();
  ASSERT_EQ(app->m_paused, 1);
  float comboTimer = app->m_comboTimer;
  int reverseTimer = app->m_reverseTimer;
  float ballY = Entity(App::Ball, App::EntityY);

  // Steering goes on (reversed, as the item left it): the left key builds up velocity to the
  // right, friction takes its share, and the ball stays where it is.
  game.KeyDown(kLeft);
  game.Update(10);
  game.KeyUp(kLeft);
  EXPECT_GT(Entity(App::Ball, App::EntityVelocityX), 1.0f);
  EXPECT_EQ(Entity(App::Ball, App::EntityX), 320.0f);
  EXPECT_EQ(Entity(App::Ball, App::EntityY), ballY);
  EXPECT_EQ(app->m_comboTimer, comboTimer);
  EXPECT_EQ(app->m_reverseTimer, reverseTimer);
  EXPECT_EQ(app->m_combo, 3);

  // A paddle gliding onto the resting ball keeps registering wrong hits.
  RecordEffects();
  app->m_nextPaddle = App::RightPaddle;
  PutBall(65.0f, 250.0f);
  game.Update(3);
  EXPECT_EQ(audio->effects, (std::vector<int>{6, 3, 6, 6}));
  EXPECT_EQ(app->m_combo, 0);
  EXPECT_EQ(Entity(App::Ball, App::EntityX), 68.0f);

  // Resumed, the ball moves off with the velocity the paddle gave it.
  game.Press(kEnter);
  game.Update(20);
  EXPECT_EQ(app->m_paused, 0);
  EXPECT_GT(Entity(App::Ball, App::EntityX), 68.0f);
}

TEST_F(Play, TheComboAndPowerTimersRunOnlyWhileTheBarShows) {
  Start(2);
  PutBall(320.0f, 300.0f);
  app->m_combo = 4;
  app->m_comboTimer = 2.0f;
  game.Update();
  EXPECT_FLOAT_EQ(app->m_comboTimer, 1.0f);
  EXPECT_EQ(app->m_combo, 4);
  // Power makes the bar drain a fifth as fast, and spends itself meanwhile.
  app->m_powerTimer = 10;
  game.Update();
  EXPECT_FLOAT_EQ(app->m_comboTimer, 0.8f);
  EXPECT_EQ(app->m_powerTimer, 9);
  game.Update(3);
  EXPECT_FLOAT_EQ(app->m_comboTimer, 0.2f);
  EXPECT_EQ(app->m_combo, 4);
  // Below 0.2 the combo ends with sound 3; with the bar gone, power stops running down.
  RecordEffects();
  game.Update();
  EXPECT_LT(app->m_comboTimer, 0.2f);
  EXPECT_EQ(app->m_combo, 0);
  EXPECT_EQ(audio->effects, std::vector<int>{3});
  int power = app->m_powerTimer;
  app->m_comboTimer = 0.0f;
  game.Update(5);
  EXPECT_EQ(app->m_powerTimer, power);
  EXPECT_EQ(audio->effects, std::vector<int>{3});
}

TEST_F(Play, GameOverAnnouncesTiesAtTheirPlaceButStoresThemBelow) {
  for (int place = 0; place < 10; ++place) {
    app->m_highScores[10 + place] = 100 - 10 * place;
    app->m_highScores[40 + place] = place + 1;
  }
  Start(2);
  int saves = game.host.saveCount;
  app->m_score = 50;
  PutBall(-100.0f, 240.0f);
  game.Update(31);
  ASSERT_EQ(app->m_gameOver, 1);
  game.Update(20);
  EXPECT_TRUE(game.HasText("GAME"));
  EXPECT_TRUE(game.HasText("OVER"));
  EXPECT_TRUE(game.HasText("New Highscore"));
  EXPECT_TRUE(game.HasText("6th"));

  for (int i = 0; i < 100 && app->m_gameMode != App::ModeMenu; ++i) game.Update();
  ASSERT_EQ(app->m_gameMode, App::ModeMenu);
  const int top[10] = {100, 90, 80, 70, 60, 50, 50, 40, 30, 20};
  const int last[10] = {50, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (int place = 0; place < 10; ++place) {
    EXPECT_EQ(TopEntry(2, place), top[place]) << place;
    EXPECT_EQ(LastEntry(2, place), last[place]) << place;
  }
  EXPECT_EQ(game.host.saveCount, saves + 1);
  // Type 2's saved block pairs each top entry with a last one.
  EXPECT_NE(game.host.state.find("|100|50|90|1|80|2|"), std::string::npos);
  // The overlay fades out behind the menu from 75, two a step.
  EXPECT_EQ(app->m_gameOverTimer, 75 - 2 * 2);
}

TEST_F(Play, ScoresThatTieTheTenthOrZeroAreAnnouncedButOnlyRemembered) {
  struct Case {
    int tenth;
    int score;
    const char* rank;
  };
  // All zero: a zero score claims first place; a tie with the tenth entry claims tenth.
  const Case cases[] = {{0, 0, "1st!"}, {10, 10, "10th"}};
  for (const Case& game_case : cases) {
    for (int place = 0; place < 10; ++place) {
      app->m_highScores[place] = game_case.tenth == 0 ? 0 : 100 - 10 * place;
    }
    Start(1);
    app->m_score = game_case.score;
    PutBall(-100.0f, 240.0f);
    game.Update(60);
    EXPECT_TRUE(game.HasText("New Highscore")) << game_case.rank;
    EXPECT_TRUE(game.HasText(game_case.rank));
    LoseBallAndReturn();
    EXPECT_EQ(TopEntry(1, 9), game_case.tenth);
    EXPECT_EQ(LastEntry(1, 0), game_case.score);
  }
  // A score below the whole list shows no rank.
  Start(1);
  app->m_score = 5;
  PutBall(-100.0f, 240.0f);
  game.Update(60);
  EXPECT_FALSE(game.HasText("New Highscore"));
}

TEST_F(Play, AGameThatEndsUnderThePauseMenuLeavesNoPanelAndNoTune) {
  // The ball is lost, and the player pauses while it flies off.
  Start(3);
  PutBall(-100.0f, 240.0f);
  game.Update();
  game.Press(kEscape);
  game.Update();
  ASSERT_EQ(app->m_paused, 1);
  for (int i = 0; i < 200 && app->m_gameMode != App::ModeMenu; ++i) game.Update();
  ASSERT_EQ(app->m_gameMode, App::ModeMenu);
  EXPECT_EQ(app->m_paused, 0);
  EXPECT_EQ(app->m_pauseDir, -1);
  EXPECT_EQ(app->m_pauseY, -64);
  EXPECT_EQ(app->m_jm->m_state, 0);
}

}  // namespace
