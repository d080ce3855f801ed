#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/audio.h"
#include "framework/audio.h"
#include "support/game_harness.h"

namespace {

// The real device, with the channel operations the game makes written down in order.
class RecordingAudio : public gxtkAudio {
 public:
  std::vector<std::string> calls;
  int plays = 0;

  int PlaySample(gxtkSample* sample, int channel, int flags) override {
    plays += 1;
    Log("play", channel, static_cast<float>(flags));
    return gxtkAudio::PlaySample(sample, channel, flags);
  }
  int StopChannel(int channel) override { return Log("stop", channel, 0.0f); }
  int SetVolume(int channel, float volume) override { return Log("volume", channel, volume); }
  int SetPan(int channel, float pan) override { return Log("pan", channel, pan); }
  int SetRate(int channel, float rate) override { return Log("rate", channel, rate); }

 private:
  int Log(const char* what, int channel, float value) {
    calls.push_back(what + (" " + std::to_string(channel)) + " " + std::to_string(value));
    return 0;
  }
};

RecordingAudio* InstallRecorder() {
  RecordingAudio* audio = gc_new<RecordingAudio>();
  nx_audio_SetAudioDevice(audio);
  return audio;
}

TEST(SoundEffects, TheRingTakesChannelsInTurnUnlessGated) {
  GameHarness game;
  c_MyApp* app = game.app;
  RecordingAudio* audio = InstallRecorder();
  // The loader's jingle plays once, on channel 1; a reload for a new window size is silent.
  game.FinishLoading();
  game.Resize(800, 600);
  game.Render();
  game.FinishLoading();
  EXPECT_EQ(audio->plays, 1);
  EXPECT_EQ(app->m_sfxNext, 1);

  audio->calls.clear();
  app->p_PlaySFX(98, 0.5f, 0.25f, 0.0f);
  // A missing effect takes its turn too: the channel is stopped and set up, nothing starts.
  app->p_PlaySFX(50, 1.0f, 1.0f, 0.0f);
  const std::vector<std::string> expected = {
      "stop 2 0.000000",   "play 2 0.000000",   "rate 2 0.500000",
      "volume 2 0.250000", "pan 2 0.000000",    "stop 3 0.000000",
      "rate 3 1.000000",   "volume 3 1.000000", "pan 3 0.000000"};
  EXPECT_EQ(audio->calls, expected);

  for (int mode : {0, 3}) {
    app->m_options[c_MyApp::OptionSound] = mode;
    app->p_PlaySFX2(4, 1.0f);
  }
  EXPECT_EQ(audio->calls.size(), expected.size());
  app->m_options[c_MyApp::OptionSound] = 2;
  // Round the ring: 4 to 23, then 0; the 25th effect is back on the first one's channel.
  std::vector<std::string> stops;
  for (int i = 0; i < 24; ++i) {
    audio->calls.clear();
    app->p_PlaySFX2(4, 1.0f);
    stops.push_back(audio->calls.at(0));
  }
  EXPECT_EQ(stops[19], "stop 23 0.000000");
  EXPECT_EQ(stops[20], "stop 0 0.000000");
  EXPECT_EQ(stops[23], "stop 3 0.000000");
}

}  // namespace
