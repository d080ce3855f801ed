// The sequencer inside the headless game with the music switched on: tempo, chords and
// sections, the envelope, end marks, jumps, pausing, and tune starts.

#include <gtest/gtest.h>

#include <AL/al.h>

#include <initializer_list>
#include <vector>

#include "devices/audio.h"
#include "game/globals.h"
#include "game/music_player.h"
#include "support/game_harness.h"

namespace {

constexpr int Seed = 37171650;
constexpr int LeadChannel = 29;  // voice 2, below the channel base of 32

// A loaded tune whose cells are all 0 (the stand-in window reads black) until a test writes
// one, with every voice playing in this section and the next.
class Music : public testing::Test {
 protected:
  GameHarness game;
  c_JMPlayer* jm = game.app->m_jm;

  void SetUp() override {
    nx_Game_HasMusic = 1;
    jm->p_JM_Init(32, 4, 3, 3, 4);
    jm->p_JM_StartTune(String(u"Pasture Run/Tune_12"), Seed, 100);
    for (int i = 0; i < 30 && jm->m_loadStep > 0; ++i) game.Render();
    ASSERT_EQ(jm->m_loadStep, 0);
    for (int voice = 0; voice < 5; ++voice) jm->m_voiceMute[voice] = jm->m_voiceNextMute[voice] = 0;
  }

  // Note, volume, effect and parameter.
  void SetCell(int frame, int voice, int row, std::initializer_list<int> columns) {
    int index = frame * 4096 + voice * 512 + row * 8;
    for (int value : columns) jm->m_notes[index++] = value;
  }

  // Updates until the sequencer has played one step.
  void NextStep() {
    int due = jm->m_nextTime;
    for (int i = 0; i < 20 && jm->m_nextTime == due; ++i) game.Update();
    ASSERT_NE(jm->m_nextTime, due);
  }

  float LeadGain() {
    float gain = -1.0f;
    alGetSourcef(nx_audio_device->channels[LeadChannel].source, AL_GAIN, &gain);
    return gain;
  }
};

TEST_F(Music, StepsKeepTheTempoAndPatternsFollowTheChordsIntoNewSections) {
  jm->m_repeats = 4;
  const int nextMute[5] = {1, 1, 0, 1, 0};
  for (int voice = 0; voice < 5; ++voice) jm->m_voiceNextMute[voice] = nextMute[voice];
  SetCell(0, 2, 0, {13, 30, 0, 0});
  int firstDue = jm->m_nextTime;
  std::vector<float> patternRates;
  // Each step plays in the first update after it falls due, and the next is due 80 ms after
  // this one's due time: four patterns take 4 x 5,120 ms.
  for (int step = 0; step < 4 * 64; ++step) {
    int due = jm->m_nextTime;
    NextStep();
    ASSERT_TRUE(game.host.clockMs > due && game.host.clockMs - 17 <= due) << step;
    if (step % 64 == 0) patternRates.push_back(jm->m_voiceRate[2]);
  }
  EXPECT_EQ(jm->m_nextTime - firstDue, 4 * 5120);
  EXPECT_EQ(patternRates, (std::vector<float>{1.0f, 1.0f, 0.891f, 0.891f}));

  // The new section's voices come in as the old one said; both drums were due to fall silent,
  // so the first one plays on.
  EXPECT_EQ(jm->m_section, 1);
  for (int voice = 0; voice < 5; ++voice) {
    EXPECT_EQ(jm->m_voiceMute[voice], voice == 0 ? 0 : nextMute[voice]);
  }
}

TEST_F(Music, NotesFadeAndCellsCutOrEndThePattern) {
  SetCell(0, 2, 0, {13, 30, 0, 0});
  // Full volume while the envelope is 1 or more, then fading step by step to silence.
  float gain = 0.0f;
  for (int step = 0; step <= 16; ++step) {
    NextStep();
    if (step <= 4) {
      EXPECT_FLOAT_EQ(LeadGain(), 0.5f) << step;
    } else if (step < 16) {
      EXPECT_LT(LeadGain(), gain) << step;
    }
    gain = LeadGain();
  }
  EXPECT_EQ(gain, 0.0f);

  // Volume 31 on a sounding voice silences it at once.
  SetCell(0, 2, 20, {13, 30, 0, 0});
  SetCell(0, 2, 21, {0, 31, 0, 0});
  while (jm->m_row != 21) NextStep();
  NextStep();
  EXPECT_EQ(LeadGain(), 0.0f);

  // An end mark on the first voice: the others play row 63 in the same step.
  SetCell(0, 0, 30, {0, 0, 8, 0});
  SetCell(0, 2, 30, {1, 30, 0, 0});
  SetCell(0, 2, 63, {25, 30, 0, 0});
  while (jm->m_row != 30) NextStep();
  NextStep();
  EXPECT_FLOAT_EQ(jm->m_voiceRate[2], 2.0f);
  EXPECT_EQ(jm->m_row, 0);
  EXPECT_TRUE(jm->m_chords == String(u"qjj"));
}

TEST_F(Music, PauseMusicOffAndStopSilenceTheVoices) {
  // Pausing for one update silences the voices; the next step comes 150 ms after it at least.
  SetCell(0, 2, 0, {13, 30, 0, 0});
  NextStep();
  EXPECT_EQ(nx_audio_device->ChannelState(LeadChannel), 1);
  game.app->m_paused = 1;
  game.Update();
  EXPECT_EQ(nx_audio_device->ChannelState(LeadChannel), 0);
  int pausedAt = game.host.clockMs;
  game.app->m_paused = 0;
  NextStep();
  EXPECT_GT(game.host.clockMs, pausedAt + 150);
  EXPECT_LE(game.host.clockMs - 17, pausedAt + 150);

  // Effects only silences the tune at once; stopped for good, it plays no more.
  jm->m_row = 0;
  NextStep();
  game.app->m_options[c_MyApp::OptionSound] = 2;
  game.Update();
  EXPECT_EQ(nx_audio_device->ChannelState(LeadChannel), 0);
  game.app->m_options[c_MyApp::OptionSound] = 3;
  jm->p_JM_Stop(1);
  int row = jm->m_row;
  game.Update(30);
  EXPECT_EQ(jm->m_row, row);
}

TEST_F(Music, JumpsFollowTheParityOfTheRepeatsAndNeverLeaveTheTune) {
  struct Case {
    int from, parameter, repeats, landsOn;
  };
  Case cases[] = {{0, 1, 1, 1}, {0, 1, 2, 0}, {1, 2, 2, 0},
                  {1, 2, 3, 1}, {0, 2, 2, 0}, {62, 1, 1, 62}};
  for (const Case& test : cases) {
    for (int frame = 0; frame < 64; ++frame) SetCell(frame, 2, 0, {25, 30, 0, 0});
    SetCell(test.from, 2, 0, {13, 30, 27, test.parameter});
    jm->m_row = 0;
    jm->m_voiceFrame[2] = test.from;
    jm->m_repeats = test.repeats;
    NextStep();
    EXPECT_EQ(jm->m_voiceFrame[2], test.landsOn) << test.from << " " << test.repeats;
    // A voice that stays plays the jump cell's own note.
    EXPECT_FLOAT_EQ(jm->m_voiceRate[2], test.landsOn == test.from ? 1.0f : 2.0f);
  }
}

// A start goes back to the first row and chords, and loads only a tune it has not loaded.
TEST_F(Music, StartsRewindAndLoadOnlyANewTune) {
  jm->m_row = 40;
  jm->m_chords = String(u"j");
  jm->p_JM_StartTune(String(u"Pasture Run/Tune_12"), Seed, 100);
  EXPECT_EQ(jm->m_loadStep, 0);
  EXPECT_EQ(jm->m_row, 0);
  EXPECT_TRUE(jm->m_chords == String(u"qqjj"));
  jm->p_JM_StartTune(String(u"Retro/Cave Digger"), Seed, 100);
  EXPECT_EQ(jm->m_loadStep, 1);
}

}  // namespace
