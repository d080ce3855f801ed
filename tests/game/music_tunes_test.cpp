// Tunes through the real render device and sound output: the shipped tunes' pictures decoded by
// drawing their frames into a window and reading them back, played against what the composer
// wrote and into OpenAL Soft's wave backend; and a picture too small to hold a tune.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "devices/audio.h"
#include "devices/graphics.h"
#include "framework/app.h"
#include "framework/graphics.h"
#include "game/music_player.h"
#include "support/picture_writer.h"
#include "support/window.h"
#include "support/wave_capture.h"
#include "tools/tune_assets.h"

namespace {

// A window, the host that reads files and keeps the clock, and a player loaded as the game's
// render step loads it.
struct TunePlayer {
  NxGlfwGame host;
  GLFWwindow* window = OpenTestWindow(128, 128);
  gxtkGraphics* device = gc_new<gxtkGraphics>();
  c_JMPlayer* player = gc_new<c_JMPlayer>()->m_new();

  TunePlayer() {
    nx_app__game = &host;
    nx_graphics_Init();
    nx_graphics_SetGraphicsDevice(device);
    player->p_JM_Init(32, 4, 3, 3, 4);
  }
  ~TunePlayer() {
    nx_app__game = nullptr;
    if (window != nullptr) glfwDestroyWindow(window);
    glfwTerminate();
  }

  // Tune names are relative to the tune folder. False unless the loader finished and every
  // render ended with the loader's corner black.
  bool Load(const std::string& picture) {
    std::string name = std::filesystem::relative(picture, std::filesystem::absolute("data/tunes"));
    player->p_JM_StartTune(String(name.substr(0, name.size() - 4).c_str()), 37171650, 100);
    bool black = true;
    for (int render = 0; render < 30 && player->m_loadStep > 0; ++render) {
      device->BeginRender();
      nx_graphics_BeginRender();
      player->p_JM_Alive_R();
      Array<int> pixels(64 * 64);
      nx_graphics_ReadPixels(pixels, 0, 0, 64, 64, 0, 64);
      for (int i = 0; i < pixels.Length(); ++i) black = black && (pixels[i] & 0xffffff) == 0;
      nx_graphics_EndRender();
      device->EndRender();
    }
    return black && player->m_loadStep == 0;
  }
};

// The real device with the channel each note starts on and the rate it was given (0 for the
// drums, which keep theirs).
class NoteRecorder : public gxtkAudio {
 public:
  std::map<int, float> rates;
  std::map<int, float> started;

  int SetRate(int channel, float rate) override {
    rates[channel] = rate;
    return gxtkAudio::SetRate(channel, rate);
  }
  int PlaySample(gxtkSample* sample, int channel, int flags) override {
    started[channel] = rates[channel];
    return gxtkAudio::PlaySample(sample, channel, flags);
  }
};

// Each shipped tune decodes to the cells the composer wrote, and its first bars play them:
// with every voice let in, each step starts exactly the voices with a note at their frame's
// row, the tonal ones at the note's pitch in the chord. Played in real time, it then sounds
// in every half second without clipping.
TEST(MusicTunes, ShippedTunesPlayWhatTheComposerWrote) {
  std::string capture = StartWaveCapture();
  TunePlayer tune;
  ASSERT_NE(tune.window, nullptr);
  nx_audio_Init();
  NoteRecorder* audio = gc_new<NoteRecorder>();
  nx_audio_SetAudioDevice(audio);
  ASSERT_NE(audio->alcContext, nullptr);
  c_JMPlayer* player = tune.player;

  constexpr size_t HalfSecond = 44100 * 2 * 2 / 2;
  for (const TuneAsset& composed : ComposeTunes()) {
    const std::string& name = composed.name;
    ASSERT_TRUE(tune.Load("data/tunes/" + name + ".png")) << name;
    int mismatches = 0;
    for (int cell = 0; cell < 63 * 4096; ++cell) {
      mismatches += player->m_notes[cell] != composed.cells[static_cast<size_t>(cell)];
    }
    EXPECT_EQ(mismatches, 0) << name;

    for (int voice = 0; voice < 5; ++voice) player->m_voiceMute[voice] = 0;
    for (int step = 0; step < 2 * 64 && !testing::Test::HasFailure(); ++step) {
      int row = player->m_row;
      audio->started.clear();
      player->m_nextTime = nx_app_Millisecs() - 1000;
      player->p_JM_Alive_U(0, 1);
      std::map<int, float> expected;
      for (int voice = 0; voice < 5; ++voice) {
        int note = composed.cells[static_cast<size_t>(
            TuneCellIndex(player->m_voiceFrame[voice], voice, row, 0))];
        if (note == 0) continue;
        expected[31 - voice] =
            voice < 2 ? 0.0f : player->p_GetPitch(note) * player->p_GetPitch_Alpha('q');
      }
      EXPECT_EQ(audio->started, expected) << name << " row " << row;
    }
    player->p_JM_Stop(1);

    player->p_JM_StartTune(String(name.c_str()), 37171650, 100);
    size_t from = std::filesystem::file_size(capture);
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1600);
    while (std::chrono::steady_clock::now() < end) {
      player->p_JM_Alive_U(0, 1);
      std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    player->p_JM_Stop(1);
    std::ifstream in(capture, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GE(bytes.size(), from + 3 * HalfSecond) << name;
    for (int half = 0; half < 3; ++half) {
      double sum = 0.0;
      int peak = 0;
      for (size_t i = from + half * HalfSecond; i < from + (half + 1) * HalfSecond; i += 2) {
        int sample = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
        sum += static_cast<double>(sample) * sample;
        peak = std::max(peak, std::abs(sample));
      }
      EXPECT_GT(std::sqrt(sum / (HalfSecond / 2)), 500.0) << name << " half " << half;
      EXPECT_LT(peak, 32767) << name << " half " << half;
    }
  }
  // A picture with room for fewer than 64 frames counts as missing (no picture, every voice
  // empty) rather than having frames grabbed outside it.
  std::vector<unsigned char> blank(512 * 448 * 4);
  std::string small = TempPath("small.png");
  ASSERT_NE(stbi_write_png(small.c_str(), 512, 448, 4, blank.data(), 512 * 4), 0);
  EXPECT_TRUE(tune.Load(small));
  EXPECT_EQ(player->m_tuneImage, nullptr);
  for (int band = 0; band < 5; ++band) EXPECT_EQ(player->m_lastFrame[band], 0);
  std::remove(small.c_str());
  std::remove(TempPath("alsoft.conf").c_str());
  std::remove(capture.c_str());
}

}  // namespace
