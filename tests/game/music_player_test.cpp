// The sequencer inside the headless game with the music switched on: tempo, chords and
// sections, and the jumps between frames.

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "game/globals.h"
#include "game/music_player.h"
#include "support/game_harness.h"

namespace {

constexpr int Seed = 37171650;

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

}  // namespace
