// Sound effects through the headless harness, with the audio device's channel calls written
// down: the jingle once a run, the ring of 24 channels, missing effects and the sound option.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "devices/audio.h"
#include "framework/audio.h"
#include "game/globals.h"
#include "support/game_harness.h"

namespace {

using Strings = std::vector<std::string>;

// The real device, with the channel operations the game makes written down in order.
class RecordingAudio : public gxtkAudio {
 public:
  Strings calls;

  int PlaySample(gxtkSample* sample, int channel, int flags) override {
    Log("play", channel, static_cast<float>(flags));
    return gxtkAudio::PlaySample(sample, channel, flags);
  }
  int StopChannel(int channel) override { return Log("stop", channel, 0.0f); }
  int SetVolume(int channel, float volume) override { return Log("volume", channel, volume); }
  int SetPan(int channel, float pan) override { return Log("pan", channel, pan); }
  int SetRate(int channel, float rate) override { return Log("rate", channel, rate); }

 private:
  int Log(const char* what, int channel, float value) {
    std::ostringstream line;
    line << what << ' ' << channel << ' ' << value;
    calls.push_back(line.str());
    return 0;
  }
};

TEST(SoundEffects, TheRingTakesChannelsInTurnUnlessGated) {
  GameHarness game;
  c_MyApp* app = game.app;
  RecordingAudio* audio = gc_new<RecordingAudio>();
  nx_audio_SetAudioDevice(audio);
  // The loader's jingle plays once, on channel 1; a reload for a new window size is silent.
  game.FinishLoading();
  game.Resize(800, 600);
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

// The menus' confirm sound (effect 98) is half as loud as their other sounds: starting a game,
// the cog opening the options, the console's overscan bar.
TEST(SoundEffects, MenusConfirmAtHalfVolume) {
  GameHarness game;
  game.FinishLoading();
  game.Update();
  RecordingAudio* audio = gc_new<RecordingAudio>();
  nx_audio_SetAudioDevice(audio);
  auto volumes = [&audio] {
    Strings heard;
    for (const std::string& call : audio->calls) {
      if (call.rfind("volume", 0) == 0) heard.push_back(call.substr(call.rfind(' ') + 1));
    }
    audio->calls.clear();
    return heard;
  };
  game.Press(39);  // right: the next item, with the select sound
  game.Update(2);
  EXPECT_EQ(volumes(), Strings{"1"});
  game.Press(13);
  game.Update();
  EXPECT_EQ(game.app->m_gameMode, c_MyApp::ModeStartGame);
  EXPECT_EQ(volumes(), Strings{"0.5"});

  game.app->m_gameMode = c_MyApp::ModeMenu;
  game.app->m_menuSel = 4;
  game.Update(2);
  game.Press(13);
  game.Update();
  EXPECT_EQ(game.app->m_optionsOpen, 1);
  EXPECT_EQ(volumes(), Strings{"0.5"});

  nx_Game_isOuya = 1;
  game.Update(30);
  volumes();
  game.Click(384, 110);  // the overscan bar
  EXPECT_EQ(volumes(), Strings{"0.5"});
  nx_Game_isOuya = 0;
}

}  // namespace
